#pragma once
// What the sign-in service's answer codes become: the message the login page
// shows, where the server's text comes from, the log line and the shape of
// the statistics record. Pure data and formatting, read by the login worker
// and by the tests.
#include "afx/string.h"

enum class LoginServerText {
    None,   // m_strServerText stays empty
    Third,  // the reply's third text (message or link)
    First,  // the reply's first text (the link of 904)
};

enum class LoginRecordShape {
    Id,          // [E:%d,T:%s,LT:%s,ID:%s,ED:<code>]
    IdGuid,      // [E:%d,T:%s,LT:%s,ID:%s,GUID:%s,ED:<code>]
    Network,     // [E:%d,T:%s,PS:0,ED:1000]
};

struct LoginResultRow {
    int serverCode;  // 0 in the network row, which takes every other code
    int messageType;
    LoginServerText text;
    const wchar_t* logLine;  // "%s" takes the stored ID where the line has one
    LoginRecordShape record;
};

// The row of a refused answer; codes without a row of their own (902, 404,
// 410, a reply without a code, -1 for no reply) take the network row.
const LoginResultRow& loginResultRow(int serverCode);

// Every row, the network row last.
const LoginResultRow* loginResultRows(size_t& count);

// The statistics record of a refused answer.
CString formatLoginRecord(const LoginResultRow& row, int serverCode, const CString& timeStamp,
                          const CString& userType, const CString& storedId, const CString& guid);

// The log line of a refused answer.
CString formatLoginLogLine(const LoginResultRow& row, const CString& storedId);
