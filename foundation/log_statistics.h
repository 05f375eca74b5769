#pragma once
// The statistics that go up to the web service with the error log: the
// records the pages and workers append ("[D:%d,T:%s..." events and
// "[E:%d,T:%s..." errors) and a dozen values about the user, the vehicle and
// the program. The log manager keeps them for the whole run.
#include "afx/string.h"

// What the sign-in hands over for each request.
struct LoginLogInfo {
    LoginLogInfo() : m_strEncryptedUserType(L"U") {}

    CString m_strEncryptedUserId;
    CString m_strEncryptedUserType;  // of "member" or "guest"
    CString m_strEncryptedCorp;
    CString m_strUnused;             // nothing fills or reads it
    CString m_strLanguage;           // two-letter code of the UI language
    CString m_strUserId;
    CString m_strUserType;           // "member" or "guest"
    CString m_strCorp;
};

// What the registration page hands over for the chosen vehicle.
struct UpdateLogInfo {
    CString m_strInfPath;        // descriptor folder URL
    CString m_strDeviceMCode;
    CString m_strDeviceName;
    CString m_strOldMapVersion;
    CString m_strOldSwVersion;
    CString m_strNewMapVersion;
    CString m_strNewSwVersion;
};

// The statistics context; every text empty at start and never cleared.
struct StatisticsContext {
    CString lastCode;       // first item of the last record ("E:3")
    CString osType;
    CString osVersion;
    CString clientVersion;
    CString localTime;      // of the last upload
    CString clientId;
    CString region;
    CString language;
    CString encryptedCorp;
    CString encryptedUserType;
    CString encryptedUserId;
    CString deviceName;
    CString deviceMCode;
    CString oldSwVersion;
    CString oldMapVersion;
    CString newSwVersion;
    CString newMapVersion;
    CString infPath;
    CString errorLog;       // every record, back to back
    CString corporate;
    CString userType;
    CString userId;
};
