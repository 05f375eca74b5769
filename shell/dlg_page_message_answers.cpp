// The generic answers of a message page: the page closes, goes back to the
// previous view and the requester receives RWM_MESSAGE_RESULT. A retry
// answer waits for the button-unlock thread first.
#include "shell/dlg_page_message.h"

#include "foundation/globalfunc.h"
#include "foundation/logmanager.h"
#include "foundation/registered_messages.h"
#include "foundation/regsetting.h"
#include "pages/account/dlg_page_config.h"
#include "pages/account/dlg_page_login.h"
#include "shell/dlg_root.h"
#include "ui/lang_library.h"

namespace {

constexpr int TEXT_RETRY = 12039;

CString nameOf(int type) { return CGlobalFunc::getErrorName(static_cast<unsigned>(type)); }

}  // namespace

UINT CDlgPageMessage::ButtonUnlockThread(LPVOID param) {
    auto* page = static_cast<CDlgPageMessage*>(param);
    DWORD waitMs = page ? page->m_nUnlockWaitMs : 100;
    DWORD start = GetTickCount();
    while (GetTickCount() - start < waitMs) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        Sleep(1);
    }
    g_nButtonLock = 0;
    return 0;
}

// The UI keeps working while the unlock thread runs: waiting messages are
// processed, then the application's idle work, until the thread clears the
// lock.
void CDlgPageMessage::waitForButtonUnlock() {
    CWinApp* app = AfxGetApp();
    while (g_nButtonLock.load() == 1) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
            if (!AfxPumpMessage()) PostQuitMessage(0);
            if (g_nButtonLock.load() != 1) break;
        }
        if (app) {
            for (LONG count = 0; app->OnIdle(count); ++count) {
            }
        }
        if (g_nButtonLock.load() == 1) MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    }
}

void CDlgPageMessage::deliverOk(int type) {
    CSingleLock hold(&m_mutexMessage, TRUE);
    int answer = 1;
    if (type == SERVER_ERROR_UPDATE_CHECK_BACKUP) {
        answer = m_checkBackup.m_bChecked ? 1 : 0;
    }
    if (m_btnOk.m_strCaption == CLangLibrary::loadLangString(TEXT_RETRY)) {
        m_bOkProcessing = TRUE;
        g_nButtonLock = 1;
        m_nUnlockWaitMs = type == SERVER_ERROR_NETWORK_FAIL ? 300 : 100;
        CWinThread* thread = AfxBeginThread(ButtonUnlockThread, this);
        if (thread) {
            waitForButtonUnlock();
        } else {
            g_nButtonLock = 0;
        }
        m_bOkProcessing = FALSE;
    }
    if (m_pRequestPage && m_pRequestPage->GetSafeHwnd()) {
        ::SendMessageW(m_pRequestPage->GetSafeHwnd(), RWM_MESSAGE_RESULT, static_cast<WPARAM>(answer),
                       static_cast<LPARAM>(type));
    }
}

void CDlgPageMessage::OnBnClickedButtonOk() {
    // A second answer while the first waits would be delivered twice.
    if (g_bFolderPickerOpen || m_bOkProcessing.load()) return;
    if (answerOkOnPage()) return;
    CDlgRoot* r = root();
    int type = m_eMessageType;
    LOG_WRITE(L"SERVER_ERROR_DETAIL = %s ==> s", nameOf(type).GetString());
    if (type == SERVER_ERROR_ETC_PROGRAM_EXIT) {
        closePage(TRUE);
    } else {
        if (type == SERVER_ETC_UPDATE_CANCEL_CONFIRM && r) r->m_bUpdateHeld = 0;
        closePage(FALSE);
    }
    if (type == SERVER_ERROR_ETC_PROGRAM_EXIT) {
        if (r && r->GetSafeHwnd()) ::SendMessageW(r->GetSafeHwnd(), RWM_MESSAGE_RESULT, 1, type);
    } else if (!deliverOkOnPage(type)) {
        deliverOk(type);
    }
    LOG_WRITE(L"SERVER_ERROR_DETAIL = %s ==> e", nameOf(type).GetString());
}

void CDlgPageMessage::OnBnClickedButtonCancel() {
    if (g_bFolderPickerOpen || m_bOkProcessing.load()) return;
    if (answerCancelOnPage()) return;
    CDlgRoot* r = root();
    int type = m_eMessageType;
    LOG_WRITE(L"SERVER_ERROR_DETAIL = %s ==> s", nameOf(type).GetString());
    m_mutexMessage.Lock();
    if (type == SERVER_ERROR_ETC_PROGRAM_EXIT && r) {
        r->updateTopButtons();
        r->enableTopButton(1, this, TRUE);
    }
    if (type == SERVER_ERROR_ETC_PROGRAM_EXIT || type == SERVER_ERROR_ETC_OPEN_SOURCE_LICENSE ||
        type == SERVER_ERROR_ETC_EULA || type == SERVER_ETC_REMOVE_DOWNLOAD) {
        // Back to the message this one replaced.
        m_mutexMessage.Unlock();
        setMessageType(m_ePrevMessageType, m_pRequestPage);
        CWnd* settings = r ? static_cast<CWnd*>(r->m_pPageConfig) : nullptr;
        CWnd* login = r ? static_cast<CWnd*>(r->m_pPageLogin) : nullptr;
        bool plainRequester = m_pRequestPage && m_pRequestPage != settings && m_pRequestPage != login;
        if (r && r->m_bMessageReshown) {
            if (m_ePrevMessageType != SERVER_ERROR_ETC_PROGRAM_EXIT && plainRequester) {
                r->showTitleButtons(CRegSetting::getLastUserCorp());
            }
            LOG_WRITE(L"SERVER_ERROR_DETAIL = %s ==> e", nameOf(type).GetString());
            return;
        }
        if (r && r->m_pShownMessagePage == r->m_pCurMessagePage) {
            if (plainRequester) r->showTitleButtons(CRegSetting::getLastUserCorp());
            closePage(FALSE);
            LOG_WRITE(L"SERVER_ERROR_DETAIL = %s ==> e", nameOf(type).GetString());
            return;
        }
        m_mutexMessage.Lock();
    }
    closePage(FALSE);
    if (m_pRequestPage && m_pRequestPage->GetSafeHwnd()) {
        ::SendMessageW(m_pRequestPage->GetSafeHwnd(), RWM_MESSAGE_RESULT, 0, static_cast<LPARAM>(type));
    }
    m_mutexMessage.Unlock();
    LOG_WRITE(L"SERVER_ERROR_DETAIL = %s ==> e", nameOf(type).GetString());
}
