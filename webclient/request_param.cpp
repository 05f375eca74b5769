#include "webclient/request_param.h"
#include "foundation/code_tables.h"
#include "foundation/regsetting.h"
#include "webclient/url_encode.h"

#include <json/writer.h>

RequestParamMap& RequestParamMap::add(const CString& name, const CString& value) {
    m_pairs.emplace(name, value);
    return *this;
}

CString RequestParamMap::makeQuery(const ValueEncoder& encoder) const {
    CString result;
    for (const auto& pair : m_pairs) {
        if (!result.IsEmpty()) result += L"&";
        CStringA bytes = WideToMultiByte(pair.second.GetString(), CP_UTF8);
        if (m_plain == 0 && encoder) encoder(bytes, pair.second);
        result += pair.first + L"=" + urlEncode(bytes.GetString(), true);
    }
    return result;
}

CString RequestParamGUID::makeQueryString() const {
    return RequestParamMap(m_nPlain).add(L"D1", m_strRegion).makeQuery(nullptr);
}

CString RequestParamLogin::makeQueryString() const {
    return RequestParamMap(m_nPlain)
        .add(L"D1", m_strUserID)
        .add(L"D2", m_strCorp)
        .add(L"D3", m_strPassword)
        .add(L"D4", m_strRegion)
        .add(L"D5", m_strGUID)
        .add(L"D6", m_strLoginType)
        .makeQuery(nullptr);
}

CString RequestParamLanguage::makeQueryString() const {
    return RequestParamMap(m_nPlain).add(L"D1", m_strGUID).makeQuery(nullptr);
}

CString RequestParamSendCheck::makeQueryString() const {
    return RequestParamMap(m_nPlain)
        .add(L"D1", m_strUser)
        .add(L"D2", m_strCorp)
        .add(L"D3", m_strDeviceName)
        .add(L"D4", m_strInfFileName)
        .add(L"D5", m_strFixed)
        .add(L"D6", m_strModelCode)
        .add(L"D7", m_strRegion)
        .add(L"D8", m_strGUID)
        .add(L"D9", m_strSystemName)
        .add(L"D10", m_strSystemVersion)
        .add(L"D11", m_strTimeZone)
        .add(L"D12", m_strLocalTime)
        .makeQuery(nullptr);
}

CString RequestParamUserPrivate::makeQueryString() const {
    return RequestParamMap(m_nPlain)
        .add(L"D1", m_strUserID)
        .add(L"D2", m_strCorp)
        .add(L"D3", m_strRegion)
        .add(L"D4", m_strGUID)
        .add(L"D5", m_strConsent1)
        .add(L"D6", m_strConsent2)
        .add(L"D7", m_strAgreed)
        .add(L"D8", m_strLocalTime)
        .makeQuery(nullptr);
}

CString RequestParamVCRM_Data::makeQueryString() const {
    return RequestParamMap(m_nPlain)
        .add(L"msgCode", m_strMsgCode)
        .add(L"apiVersion", m_strApiVersion)
        .add(L"termCode", m_strTermCode)
        .makeQuery(encodeVehicleDataValue);
}

CString RequestParamJson::makeQueryString() const {
    Json::StyledWriter writer;
    std::string text = writer.write(m_value);
    return MultiByteToWide(text.c_str(), CP_UTF8, static_cast<int>(text.size()));
}

CString getDeviceNameLangCode(const CString& intlName) {
    if (intlName.IsEmpty() || CRegSetting::getRegion() != REGION_KR || CRegSetting::getLanguage() == LANGUAGE_KO) {
        return L"KO";
    }
    return L"EN";
}
