// The login worker: one thread per attempt. It touches no window and no
// state of the UI thread; it reads the attempt's values that the page fixed
// before the start, and hands everything else over in the three messages,
// sent so that the page's handlers run on the UI thread while it waits.
#include "pages/account/dlg_page_login.h"

#include "foundation/code_tables.h"
#include "foundation/globalfunc.h"
#include "foundation/log_statistics.h"
#include "foundation/logmanager.h"
#include "foundation/private_messages.h"
#include "foundation/registered_messages.h"
#include "foundation/regsetting.h"
#include "pages/account/login_result_table.h"
#include "shell/dlg_root.h"
#include "shell/message_types.h"
#include "shell/scan/picture_cache.h"
#include "webclient/api_endpoints.h"
#include "webclient/request_param.h"
#include "webclient/response_parser_login.h"
#include "webclient/webpost.h"

#include <memory>

UINT CDlgPageLogin::threadLogin(LPVOID param) {
    auto* page = static_cast<CDlgPageLogin*>(param);
    if (!page) return 0;
    const HWND window = page->GetSafeHwnd();
    ::SendMessageW(window, RWM_THREAD_START, 0, 0);
    const int result = page->TryLogin();
    if (result == 999) {
        // The handler takes the list over (the frame keeps it from then on).
        InfInfoList* list = page->m_pSuccessList;
        page->m_pSuccessList = nullptr;
        ::SendMessageW(window, RWM_LOGIN_PROCESS, 0, reinterpret_cast<LPARAM>(list));
    }
    ::SendMessageW(window, RWM_THREAD_END, static_cast<WPARAM>(result), 0);
    return 1;
}

int CDlgPageLogin::TryLogin() {
    m_strServerText.Empty();
    IShellFrame* shellFrame = frame();
    if (!shellFrame) return SERVER_ERROR_UNKNOWN;
    shellFrame->runNoticeDownload();

    const CString guid = CRegSetting::getClientGUID();
    const CString language = getLanguageCode(CRegSetting::getLanguage());
    const CString encryptedId = CWebPOST::EncryptValue(m_strWorkerID);
    const CString encryptedPassword = CWebPOST::EncryptValue(m_strWorkerPassword);
    const CString encryptedGuid = CWebPOST::EncryptValue(guid);
    const CString corpCode = getCorpCode(m_nAttemptCorp);
    const CString userType = getUserTypeName(m_nAttemptUserType);

    LoginLogInfo logInfo;
    logInfo.m_strEncryptedUserId = encryptedId;
    logInfo.m_strEncryptedUserType = CWebPOST::EncryptValue(userType);
    logInfo.m_strEncryptedCorp = CWebPOST::EncryptValue(corpCode);
    logInfo.m_strLanguage = language;
    logInfo.m_strUserId = m_strWorkerID;
    logInfo.m_strUserType = userType;
    logInfo.m_strCorp = corpCode;
    g_logManager.SetStatisticsLoginInfo(logInfo);

    RequestParamLogin request;
    request.setParam1(encryptedId);
    request.setParam2(CWebPOST::EncryptValue(corpCode));
    request.setParam3(encryptedPassword);
    request.setParam4(CWebPOST::EncryptValue(getRegionCode(CRegSetting::getRegion())));
    request.setParam5(encryptedGuid);
    request.m_strLoginType = CWebPOST::EncryptValue(m_bAttemptDealer ? L"D" : L"U");

    // Freed here unless the attempt succeeds; nothing else holds it.
    auto list = std::make_unique<InfInfoList>(true);
    list->setCorp(m_nAttemptCorp);
    list->setUserType(m_nAttemptUserType);
    CString text1, text2, text3, dealerCode;
    ResponseParserLogin parser(-1, 2, &text1, &text2, &text3, list.get(), &dealerCode);

    CWebPOST web;
    const CString reply =
        web.LoginStart(getServerHost(API_CHK_REGIST), getApiPath(API_CHK_REGIST), 443, request, TRUE);
    parser.parse(reply);
    const int code = parser.getResultCode();
    // A hidden-mode login stores nothing: its records name the ID it was
    // given, not the user's own saved one.
    const CString storedId = m_bAttemptHidden ? m_strWorkerID : CRegSetting::getUserID(m_nAttemptCorp);

    if (code == 200) {
        for (InfInfo* entry : list->m_list) {
            getVehicleImagePath(entry);
            getGpsImagePath(entry);
        }
        list->setText1(text1);
        list->setText2(text2);
        list->setText3(text3);
        list->setEncryptedId(encryptedId);
        list->setEncryptedPassword(encryptedPassword);
        list->setUserId(m_strWorkerID);
        list->setPassword(m_strWorkerPassword);
        list->setDealerCode(dealerCode);
        CString record;
        record.Format(L"[D:%d,T:%s,LT:%s,ID:%s,GUID:%s]", STAT_STAGE_LOGIN, CGlobalFunc::getTimeStamp().GetString(),
                      userType.GetString(), storedId.GetString(), guid.GetString());
        LOG_WRITE(L"[DEBUG_2_LOGIN][Login Success]");
        g_logManager.AddStatistics(record);
        m_pSuccessList = list.release();
        return 999;
    }

    // The first 900 of the run is retried at once, without a trace of it.
    if (code == 900 && m_nRetry900.fetch_add(1) == 0) return TryLogin();

    const LoginResultRow& row = loginResultRow(code);
    if (row.text == LoginServerText::Third) m_strServerText = text3;
    if (row.text == LoginServerText::First) m_strServerText = text1;
    LOG_WRITE(L"%s", formatLoginLogLine(row, storedId).GetString());
    const CString record =
        formatLoginRecord(row, code, CGlobalFunc::getTimeStamp(), userType, storedId, guid);
    if (!record.IsEmpty()) g_logManager.AddStatistics(record);
    return row.messageType;
}
