#include "shell/dlg_page_message_for_config.h"

#include "foundation/globalfunc.h"
#include "foundation/logmanager.h"
#include "foundation/registered_messages.h"
#include "foundation/regsetting.h"
#include "resources/resource.h"
#include "shell/dlg_root.h"
#include "shell/message_page_services.h"
#include "ui/session_flags.h"
#include "ui/view_state.h"

namespace {

CString nameOf(int type) { return CGlobalFunc::getErrorName(static_cast<unsigned>(type)); }

}  // namespace

BEGIN_MESSAGE_MAP(CDlgPageMessageForConfig, CDlgPageMessage)
    ON_REGISTERED_MESSAGE(RWM_CHANGE_LANGUAGE, &CDlgPageMessageForConfig::OnChangeLanguage)
END_MESSAGE_MAP()

CDlgPageMessageForConfig::CDlgPageMessageForConfig(CBaseDialog* root)
    : CDlgPageMessage(root, IDD_PAGE_MESSAGE_FOR_CONFIG) {
    // Shown as its own view, it carries the message view like every
    // message page.
    m_ePageViewStatus = VIEW_STATE_MESSAGE;
}

void CDlgPageMessageForConfig::setMessageType(int type, CWnd* requester) {
    CSingleLock hold(&m_mutexMessage, TRUE);
    // Every call configures in full: the pooled page's shortcut for the
    // same message again does not apply here.
    int previous = m_eMessageType;
    m_eMessageType = SERVER_ERROR_NONE;
    // Only the removal's own answer carries its result.
    if (type != SERVER_ETC_DOWNLOAD_REMOVED) m_bRemovalFailed = false;
    if (type == SERVER_ETC_DOWNLOAD_REMOVED) {
        for (CWnd* control : {static_cast<CWnd*>(&m_staticAlert), static_cast<CWnd*>(&m_staticTitle1),
                              static_cast<CWnd*>(&m_btnOk)}) {
            if (control->GetSafeHwnd()) control->ShowWindow(SW_SHOW);
        }
    }
    CDlgPageMessage::setMessageType(type, requester);
    if (type == SERVER_ERROR_ETC_PROGRAM_EXIT || type == SERVER_ERROR_ETC_OPEN_SOURCE_LICENSE ||
        type == SERVER_ERROR_ETC_EULA || type == SERVER_ETC_REMOVE_DOWNLOAD) {
        m_ePrevMessageType = previous;
    }
    updateFonts();
    layoutControls();
    BOOL leftToRight = CRegSetting::getLanguage() != LANGUAGE_AR;
    if (m_pRichText1) m_pRichText1->setLeftToRight(leftToRight);
    if (m_pRichText2) m_pRichText2->setLeftToRight(leftToRight);
    if (GetSafeHwnd()) Invalidate(FALSE);
}

msg::MessageContext CDlgPageMessageForConfig::textContext() const {
    msg::MessageContext context = CDlgPageMessage::textContext();
    context.removalFailed = m_bRemovalFailed;
    return context;
}

BOOL CDlgPageMessageForConfig::PreTranslateMessage(MSG* msg) { return CBaseChildDialog::PreTranslateMessage(msg); }

BOOL CDlgPageMessageForConfig::showPage(BOOL show) {
    BOOL shown = CDlgPageMessage::showPage(show);
    // The settings and the sign-out wait until the settings' question is
    // answered; the exit button follows the exit locks.
    if (show && shown) lockTopButtons();
    return shown;
}

void CDlgPageMessageForConfig::OnBnClickedButtonOk() {
    if (m_bOkProcessing) return;
    int type = m_eMessageType;
    switch (type) {
        case SERVER_ETC_REMOVE_DOWNLOAD:
            // The question becomes its answer on the same page; a removal that
            // left files behind says so instead of reporting them gone.
            m_bRemovalFailed =
                !messagePageServices().deleteDownloadFiles || !messagePageServices().deleteDownloadFiles();
            setMessageType(SERVER_ETC_DOWNLOAD_REMOVED, this);
            return;
        case SERVER_ERROR_UPDATE_CHECK_SAVE_DRIVE_UPDATE_HDD:
        case SERVER_ERROR_UPDATE_CHECK_SAVE_FOLDER_UPDATE_HDD:
            LOG_WRITE(L"SERVER_ERROR_DETAIL = %s ==> s", nameOf(type).GetString());
            closePage(FALSE);
            LOG_WRITE(L"SERVER_ERROR_DETAIL = %s ==> e", nameOf(type).GetString());
            return;
        default:
            closePage(FALSE);
            return;
    }
}

void CDlgPageMessageForConfig::OnBnClickedButtonCancel() {
    if (g_bFolderPickerOpen) return;
    int type = m_eMessageType;
    LOG_WRITE(L"SERVER_ERROR_DETAIL = %s ==> s", nameOf(type).GetString());
    m_mutexMessage.Lock();
    CDlgRoot* r = root();
    CWnd* settings = r ? reinterpret_cast<CWnd*>(r->m_pPageConfig) : nullptr;
    CWnd* login = r ? reinterpret_cast<CWnd*>(r->m_pPageLogin) : nullptr;
    bool plainRequester = m_pRequestPage && m_pRequestPage != settings && m_pRequestPage != login;
    if (r && r->m_bMessageReshown) {
        m_mutexMessage.Unlock();
        if (m_ePrevMessageType != SERVER_ERROR_ETC_PROGRAM_EXIT && plainRequester) {
            r->showTitleButtons(CRegSetting::getLastUserCorp());
        }
        return;
    }
    // Before any pooled page was shown both are null: that is no page shown.
    if (r && r->m_pShownMessagePage && r->m_pShownMessagePage == r->m_pCurMessagePage) {
        m_mutexMessage.Unlock();
        if (plainRequester) r->showTitleButtons(CRegSetting::getLastUserCorp());
        closePage(FALSE);
        return;
    }
    CWnd* requester = m_pRequestPage;
    closePage(FALSE);
    if (requester && requester->GetSafeHwnd()) {
        ::SendMessageW(requester->GetSafeHwnd(), RWM_MESSAGE_RESULT, 0, static_cast<LPARAM>(type));
    }
    m_mutexMessage.Unlock();
    LOG_WRITE(L"SERVER_ERROR_DETAIL = %s ==> e", nameOf(type).GetString());
}

LRESULT CDlgPageMessageForConfig::OnChangeLanguage(WPARAM, LPARAM) {
    refresh();
    Invalidate(TRUE);
    return 0;
}
