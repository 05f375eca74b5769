#include "shell/scan/consent_report.h"

#include "foundation/code_tables.h"
#include "foundation/regsetting.h"
#include "foundation/utilmanager.h"
#include "webclient/api_endpoints.h"
#include "webclient/webpost.h"

#include <memory>

UserPrivateReport UserPrivateReport::capture(const CString& userId, const CString& corpCode) {
    UserPrivateReport report;
    report.userId = userId;
    if (corpCode == L"TS" || corpCode == L"DR" || corpCode == L"LV") report.corpCode = corpCode;
    report.region = CRegSetting::getRegion();
    report.guid = CRegSetting::getClientGUID();
    report.consent1 = CRegSetting::isSendVcrmDesc1();
    report.consent2 = CRegSetting::isSendVcrmDesc2();
    return report;
}

RequestParamUserPrivate makeUserPrivateParam(const UserPrivateReport& report, const SYSTEMTIME& now) {
    CString time;
    time.Format(L"%04d%02d%02d%02d%02d%02d", now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond);
    RequestParamUserPrivate param;
    param.m_nLayout = 1;
    param.m_strUserID = CWebPOST::EncryptValue(report.userId);
    param.m_strCorp = CWebPOST::EncryptValue(report.corpCode);
    param.m_strRegion = CWebPOST::EncryptValue(getRegionCode(report.region));
    param.m_strGUID = CWebPOST::EncryptValue(report.guid);
    param.m_strConsent1 = CWebPOST::EncryptValue(report.consent1 ? L"Y" : L"N");
    param.m_strConsent2 = CWebPOST::EncryptValue(report.consent2 ? L"Y" : L"N");
    param.m_strAgreed = CWebPOST::EncryptValue(L"Y");
    param.m_strLocalTime = CWebPOST::EncryptValue(time);
    return param;
}

int requestUserPrivate(const UserPrivateReport& report) {
    if (report.region != REGION_KR) return 0;
    SYSTEMTIME now;
    GetLocalTime(&now);
    CWebPOST web;
    const CString reply = web.GetUserPrivate(getServerHost(API_CHK_PRIVATE), getApiPath(API_CHK_PRIVATE), 443,
                                             makeUserPrivateParam(report, now), TRUE);
    CString field, code;
    CUtilManager::getToken(reply, L"#!#", field, 1);
    CUtilManager::getToken(field, L"|*|", code, 0);
    const int result = _wtoi(code.GetString());
    if (result == 200) {
        const std::vector<CString>& keys = CRegSetting::getSettingKeys();
        AfxGetApp()->WriteProfileInt(keys[REG_SETTINGS_SECTION], keys[REG_SETTINGS_SEND_VCRM_DESC0], 1);
    }
    return result;
}

UINT UserPrivateThread(LPVOID param) {
    std::unique_ptr<UserPrivateReport> report(static_cast<UserPrivateReport*>(param));
    if (report && report->region == REGION_KR) requestUserPrivate(*report);
    return 1;
}

BOOL startUserPrivateThread(const UserPrivateReport& report) {
    if (report.region != REGION_KR) return FALSE;
    auto* copy = new UserPrivateReport(report);
    CWinThread* thread = AfxBeginThread(UserPrivateThread, copy, THREAD_PRIORITY_BELOW_NORMAL, 0, 0);
    if (!thread) delete copy;
    return thread ? TRUE : FALSE;
}
