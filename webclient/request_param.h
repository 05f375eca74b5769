#pragma once
// One parameter class per web-service call. A caller fills the texts
// (already encrypted with CWebPOST::EncryptValue, except the vehicle-data
// values, which the class encrypts itself) and hands a copy to the request
// facade or the upload, which asks for the query string. Pairs go out in
// plain code-unit order of their names ("D1", "D10", "D11", "D12", "D2",
// ...), each value percent-encoded with the strict set.
#include "afx/string.h"
#include "webclient/cipher.h"

#include <json/value.h>

#include <map>

// The working structure of one query: names in code-unit order (wchar_t is
// an unsigned 16-bit unit here), the first value of a name kept.
class RequestParamMap {
public:
    explicit RequestParamMap(int plain) : m_plain(plain) {}
    RequestParamMap& add(const CString& name, const CString& value);
    // "name=value" pairs joined by "&". With the plain flag 0 every value
    // passes through the encoder first.
    CString makeQuery(const ValueEncoder& encoder) const;

private:
    std::map<CString, CString> m_pairs;
    int m_plain;
};

// The abstract base (its spelling is the service's API's own). Objects are
// created, copied and destroyed as their own class only.
class RequsetParam {
public:
    virtual CString makeQueryString() const = 0;

    int m_nPlain = 1;   // 1: texts go out as stored; 0: the class's encoder runs
    int m_nLayout = 1;  // layout of the parameter block; always 1

protected:
    RequsetParam() = default;
    RequsetParam(const RequsetParam&) = default;
    RequsetParam& operator=(const RequsetParam&) = default;
    ~RequsetParam() = default;
};

// "/api/GetGUID": D1 the region code.
class RequestParamGUID : public RequsetParam {
public:
    CString makeQueryString() const override;
    CString m_strRegion;
};

// "/api/ChkRegist": sign-in, or the guest catalogue with D1, D3 and D6 empty.
class RequestParamLogin : public RequsetParam {
public:
    CString makeQueryString() const override;
    void setParam1(const CString& text) { m_strUserID = text; }
    void setParam2(const CString& text) { m_strCorp = text; }
    void setParam3(const CString& text) { m_strPassword = text; }
    void setParam4(const CString& text) { m_strRegion = text; }
    void setParam5(const CString& text) { m_strGUID = text; }

    CString m_strUserID;     // D1
    CString m_strCorp;       // D2
    CString m_strPassword;   // D3
    CString m_strRegion;     // D4
    CString m_strGUID;       // D5
    CString m_strLoginType;  // D6: "U" member, "D" dealer
};

// "/api/GetLanguage": only the client GUID goes out (D1).
class RequestParamLanguage : public RequsetParam {
public:
    CString makeQueryString() const override;
    void setParam1(const CString& text) { m_strCorp = text; }
    void setParam2(const CString& text) { m_strRegion = text; }
    void setParam3(const CString& text) { m_strGUID = text; }

    CString m_strCorp;
    CString m_strRegion;
    CString m_strGUID;
};

// "/api/ChkDown": the report of a finished download.
class RequestParamSendCheck : public RequsetParam {
public:
    CString makeQueryString() const override;

    CString m_strRegion;         // D7
    CString m_strUser;           // D1: the user ID, or "nonmembers"
    CString m_strCorp;           // D2
    CString m_strGUID;           // D8
    CString m_strModelCode;      // D6
    CString m_strInfFileName;    // D4
    CString m_strDeviceName;     // D3
    CString m_strFixed;          // D5: "M"
    CString m_strSystemName;     // D9: "win"
    CString m_strSystemVersion;  // D10: "major.minor.servicepack"
    CString m_strTimeZone;       // D11
    CString m_strLocalTime;      // D12: "YYYYMMDDhhmmss"
};

// "/api/chkPrivate": the user's vehicle-data consents, D1 to D8.
class RequestParamUserPrivate : public RequsetParam {
public:
    CString makeQueryString() const override;

    CString m_strUserID;    // D1
    CString m_strCorp;      // D2
    CString m_strRegion;    // D3
    CString m_strGUID;      // D4
    CString m_strConsent1;  // D5: "Y" or "N"
    CString m_strConsent2;  // D6: "Y" or "N"
    CString m_strAgreed;    // D7: "Y"
    CString m_strLocalTime; // D8
};

// The vehicle-data upload's query: clear texts, encrypted while the query
// is built.
class RequestParamVCRM_Data : public RequsetParam {
public:
    RequestParamVCRM_Data() { m_nPlain = 0; }
    CString makeQueryString() const override;

    CString m_strMsgCode;     // "01"
    CString m_strApiVersion;  // the program's file version "%d.%d.%d"
    CString m_strTermCode;    // the terminal number, "%02d"
};

// "/api/SetDownErrorLog": the JSON body of the statistics and error-log
// upload, sent as JsonCpp's styled text.
class RequestParamJson : public RequsetParam {
public:
    CString makeQueryString() const override;
    Json::Value m_value;
};

// The language of the device name that the download-check report sends
// (D3): "KO" selects the entry's own device name, "EN" the other-language
// one. "EN" only when that name exists, the region is Korea and the UI
// language is not Korean.
CString getDeviceNameLangCode(const CString& intlName);
