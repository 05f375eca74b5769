// The root's own questions and title buttons: exit, the results of the
// messages it asked, the session reset, the settings button and the return
// to the login page.
#include "shell/dlg_root.h"

#include "foundation/code_tables.h"
#include "foundation/globalfunc.h"
#include "foundation/logmanager.h"
#include "foundation/private_messages.h"
#include "foundation/program_strings.h"
#include "foundation/registered_messages.h"
#include "foundation/regsetting.h"
#include "pages/account/dlg_conf_msg.h"
#include "pages/account/dlg_page_config.h"
#include "pages/account/dlg_page_login.h"
#include "pages/vehicle/dlg_car_reg.h"
#include "pages/vehicle/dlg_car_update.h"
#include "resources/resource.h"
#include "shell/dlg_page_message.h"
#include "shell/message_types.h"
#include "shell/shell_engine.h"
#include "ui/base_helpers.h"
#include "ui/font_cache.h"
#include "ui/session_flags.h"
#include "ui/view_state.h"

// A confirmed exit: a running download is stopped and the engine joined
// before its version files are written (mode 2), so that nothing writes the
// folder behind them and a later run continues; then the clean-up of an
// update copied to a drive.
void CDlgRoot::confirmedExitEngineSteps() {
    IShellEngine& engine = shellEngine();
    if (engine.isDownloadActive()) {
        engine.stopAndJoin();
        engine.writeResumeVersionFiles();
    }
}

void CDlgRoot::OnBnClickedButtonExit() {
    if (m_eViewStatus != VIEW_STATE_EXIT) {
        IShellEngine& engine = shellEngine();
        if (m_eBaseViewStatus == VIEW_STATE_CAR_UPDATE && (engine.isDownloadActive() || engine.isCopyActive())) {
            // The update goes on behind the exit page; Cancel returns to it.
            if (m_pMainFrame) m_pMainFrame->setTransferRunning();
            LOG_WRITE(L"[DEBUG_7_UPDATE_PAUSE][ExitButtonClicked]");
            CString record;
            record.Format(L"[D:%d,T:%s]", STAT_STAGE_PAUSE, CGlobalFunc::getTimeStamp().GetString());
            g_logManager.AddStatistics(record);
        }
        pushViewPage(VIEW_STATE_EXIT, TRUE);
        enableTopButton(0, this, FALSE);
        if (m_btnLogout.GetSafeHwnd()) m_btnLogout.setEnable(FALSE);
        showSignedInButtons();
        refreshExitButton();
        return;
    }
    if (!m_pMainFrame) return;
    SetWindowPos(nullptr, 0, 0, 0, 0, SWP_HIDEWINDOW | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    confirmedExitEngineSteps();
    shellEngine().postQuit();
    cleanDownloadFolder();
    m_pMainFrame->setExitFlag();
    base_helpers::postToMainWindow(RWM_SEND_STATICS);
}

LRESULT CDlgRoot::OnRegisteredMessage_MessageResult(WPARAM wParam, LPARAM lParam) {
    int result = static_cast<int>(wParam);
    int type = static_cast<int>(lParam);
    LOG_WRITE(L"MessageType = %s, Result = %d", CGlobalFunc::getErrorName(static_cast<unsigned>(type)).GetString(),
              result);
    switch (type) {
        case SERVER_ERROR_ETC_PROGRAM_EXIT:
        case SERVER_ERROR_ETC_PROGRAM_EXIT_UPDATE:
        case SERVER_ETC_MEDIUM_UP_TO_DATE:
            if (result == 1) {
                if (m_pMainFrame) {
                    confirmedExitEngineSteps();
                    cleanDownloadFolder();
                    m_pMainFrame->setExitFlag();
                }
                base_helpers::postToMainWindow(RWM_SEND_STATICS);
            } else if (result == 0) {
                enableTopButton(0, this, TRUE);
                if (m_btnLogout.GetSafeHwnd()) {
                    m_btnLogout.setEnable(!isRestrictedRegion(CRegSetting::getRegion(), m_nCorp));
                }
                showSignedInButtons();
                refreshExitButton();
                sendToPages(RWM_EXIT_PROGRAM_CANCEL);
            }
            break;
        case SERVER_ETC_MEDIUM_NOT_IN_ACCOUNT:
            if (result == 1) {
                CRegSetting::setLastUserCorp(m_nMediumCorp);
                showTitleButtons(FALSE);
                g_strCorpCode = L"N";
                CFontCache::selectFace();
                if (m_pPageLogin) m_pPageLogin->m_nCorpButton = 4;
                pushViewPage(VIEW_STATE_LOGIN, TRUE);
                if (m_pPageLogin) {
                    CString record;
                    record.Format(L"[D:%d,T:%s,LT:%s,ID:%s,GUID:%s,BR:%s,BR:%s,NAME:%s]", STAT_STAGE_VEHICLE_SELECT,
                                  CGlobalFunc::getTimeStamp().GetString(),
                                  getUserTypeName(m_pPageLogin->m_nUserType).GetString(),
                                  CRegSetting::getUserID(m_pPageLogin->m_nCorp).GetString(),
                                  CRegSetting::getClientGUID().GetString(),
                                  getCorpCode(m_pPageLogin->m_nCorp).GetString(),
                                  getCorpCode(m_nMediumCorp).GetString(), m_strMediumCarName.GetString());
                    g_logManager.AddStatistics(record);
                }
            } else if (result == 0) {
                OnRegisteredMessage_MessageResult(1, SERVER_ETC_MEDIUM_MATCHED);
            }
            break;
        case SERVER_ETC_MEDIUM_MATCHED:
            if (result == 1) {
                if (m_pPageLogin) m_pPageLogin->matchLastVehicle();
                pushViewPage(VIEW_STATE_CAR_REG, TRUE);
            }
            break;
        default:
            break;
    }
    return 0;
}

void CDlgRoot::OnResetSession() {
    g_strCorpCode = L"N";
    if (g_bFolderPickerOpen) return;
    if (m_pPageCarUpdate) m_pPageCarUpdate->setUpdateTarget(nullptr, 0);
    if (m_pPageConfig) m_pPageConfig->loadSettings();
    if (m_pPageCarReg) {
        m_pPageCarReg->m_pCarInfo = nullptr;
        m_pPageCarReg->refreshTexts();
    }
    if (m_pPageLogin) {
        m_pPageLogin->resetPage();
        // Before any message there is no pooled page to tidy.
        if (m_pCurMessagePage) {
            for (CPngWithTextButton& radio : m_pCurMessagePage->m_radio) {
                if (radio.GetSafeHwnd()) radio.ShowWindow(SW_HIDE);
            }
        }
    }
}

void CDlgRoot::OnBnClickedButtonConfig() {
    if (g_bFolderPickerOpen) return;
    if (m_pPageConfig) m_pPageConfig->checkLanguageCodeFromServer(TRUE);
    g_nSendVcrmDesc1 = CRegSetting::isSendVcrmDesc1() ? 1 : 0;
    g_nSendVcrmDesc2 = CRegSetting::isSendVcrmDesc2() ? 1 : 0;
    if (m_pPageConfMsg) {
        m_pPageConfMsg->m_nConsent1 = g_nSendVcrmDesc1;
        m_pPageConfMsg->m_nConsent2 = g_nSendVcrmDesc2;
    }
    pushViewPage(VIEW_STATE_CONFIG, TRUE);
}

void CDlgRoot::returnToLogin(int corp) {
    if (!m_pPageLogin) return;
    if (m_pMainFrame) m_pMainFrame->clearVehicleList();
    g_bSignedIn = FALSE;
    if (corp == 0) corp = CRegSetting::getLastUserCorp();
    showTitleButtons(FALSE);
    m_pPageLogin->selectBrand(corp);
    m_pPageLogin->loadSavedLoginInfo(corp);
    pushViewPage(VIEW_STATE_LOGIN, TRUE);
}
