// The frame's message hub: drive removal, the statistics upload of a
// confirmed exit, the close path, the language broadcast.
#include "shell/main_frame.h"

#include "engine/copy_manager.h"
#include "engine/download_manager.h"
#include "engine/function_manager.h"
#include "engine/unzip_manager.h"
#include "engine/usb_detector.h"
#include "foundation/globalfunc.h"
#include "foundation/logmanager.h"
#include "foundation/private_messages.h"
#include "foundation/registered_messages.h"
#include "resources/resource.h"
#include "shell/dlg_root.h"
#include "shell/shell_engine.h"
#include "ui/base_child_dialog.h"
#include "ui/view_state.h"

namespace {

// The windows of a page that take part in a language switch: dialogs and
// the standard controls (the toolkit's controls derive from them).
bool takesLanguage(CWnd* window) {
    return dynamic_cast<CDialog*>(window) || dynamic_cast<CStatic*>(window) || dynamic_cast<CEdit*>(window) ||
           dynamic_cast<CComboBox*>(window) || dynamic_cast<CRichEditCtrl*>(window) ||
           dynamic_cast<CButton*>(window);
}

}  // namespace

BEGIN_MESSAGE_MAP(CMainFrame, CFrameWndEx)
    ON_WM_CREATE()
    ON_WM_WINDOWPOSCHANGING()
    ON_REGISTERED_MESSAGE(RWM_USBDETECTOR_MESSAGE, &CMainFrame::OnRegisteredMessage_USBDetectorMsg)
    ON_REGISTERED_MESSAGE(RWM_SEND_STATICS, &CMainFrame::OnRegisteredMessage_SendStaticsMsg)
    ON_REGISTERED_MESSAGE(RWM_SEND_STATICS_HIDDEN, &CMainFrame::OnRegisteredMessage_SendStaticsHiddenMsg)
    ON_WM_SETFOCUS()
    ON_WM_CLOSE()
    ON_MESSAGE(UM_START_UPDATE, &CMainFrame::OnStartUpdate)
    ON_WM_TIMER()
    ON_MESSAGE(UM_FRAME_DRIVE, &CMainFrame::OnFrameDrive)
    ON_MESSAGE(UM_SHOW_HIDDEN_PAGE, &CMainFrame::OnShowHiddenPage)
END_MESSAGE_MAP()

LRESULT CMainFrame::OnRegisteredMessage_USBDetectorMsg(WPARAM wParam, LPARAM lParam) {
    const wchar_t letter = static_cast<wchar_t>(LOWORD(wParam));
    CDlgRoot* root = m_pDlgRoot.load();
    if (!m_strSelectedDrive.IsEmpty() && lParam == 0) {
        DriveInfo info;
        BOOL acceptable = CUSBDetector::getDriveInfo(m_strSelectedDrive[0], &info);
        bool active = m_pDownloadManager->m_bActive.load() || m_pUnzipManager->m_bEnabled.load() ||
                      m_pCopyManager->m_bActive.load();
        bool formatting = m_pFunctionManager->m_nFormatting.load() != 0;
        bool held = root && root->m_bUpdateHeld;
        if (!acceptable && !formatting && active && !held) {
            LOG_WRITE(L"There is no Selected drive letter = '%c'", letter);
            CString record;
            record.Format(L"[E:%d,T:%s,PS:3,ED:REMOVE_USB,VN:%c]", STAT_STAGE_CANCEL,
                          CGlobalFunc::getTimeStamp().GetString(), letter);
            g_logManager.AddStatistics(record);
            LOG_WRITE(L"[ERR_11_USB_REMOVE][Drive : %c]", letter);
            if (root && root->m_pCurPage && root->m_pCurPage->GetSafeHwnd()) {
                root->m_pCurPage->SendMessage(UM_MODULE_ERROR, MODULE_COPY, MODULE_ERROR_COPY_TARGET);
            }
        }
    }
    LOG_WRITE(L"[Drive:%c-%d]", letter, static_cast<int>(lParam));
    return 0;
}

LRESULT CMainFrame::OnRegisteredMessage_SendStaticsMsg(WPARAM, LPARAM) {
    if (m_bExitProgram) {
        if (m_bStatisticsSent.exchange(true)) return 0;
        if (!g_logManager.hasStatisticsRecords()) {
            CString record;
            record.Format(L"[D:%d,T:%s]", STAT_STAGE_NONE, CGlobalFunc::getTimeStamp().GetString());
            g_logManager.AddStatistics(record);
        }
        CString code = g_logManager.SendStatistics();
        LOG_WRITE(L"[DEBUG_SERVER_LOG][Statics and ErrorLog Upload.][ResponseCode:%s]", code.GetString());
    }
    if (CWnd* main = AfxGetMainWnd()) main->PostMessage(WM_CLOSE, 0, 0);
    return 0;
}

LRESULT CMainFrame::OnRegisteredMessage_SendStaticsHiddenMsg(WPARAM, LPARAM) {
    CDlgRoot* root = m_pDlgRoot.load();
    if (!root) return 0;
    // After a pull the view id can stay at "none" while the registration
    // page shows: the root answers from what it shows.
    if (!root->allowsHiddenMode()) return 0;
    root->pushViewPage(VIEW_STATE_HIDDEN_PWD, TRUE);
    return 1;
}

void CMainFrame::OnClose() {
    if (m_bExitProgram) {
        // A close request that arrives while this one pumps is the same exit.
        if (m_bClosing.exchange(true)) return;
        // The engine's threads end before the windows and objects they
        // report to go (stop, quit, bounded join that pumps).
        shellEngine().stopAndJoin();
        const bool engineEnded = shellEngine().lastJoinCompleted();
        deleteTempFolders();
        const bool threadsEnded = stopThreads();
        if (engineEnded) {
            destroyRoot();
        } else {
            keepRootForRunningThreads();
        }
        if (!engineEnded || !threadsEnded) {
            // The threads that still run use the frame's members.
            LOG_WRITE(L"CMainFrame::OnClose: a join gave up; the frame and the root stay until the process ends");
            m_bKeepAfterDestroy = true;
        }
        Default();
        return;
    }
    CDlgRoot* root = m_pDlgRoot.load();
    if (!root || !root->GetSafeHwnd()) return;
    HWND exitButton = ::GetDlgItem(root->GetSafeHwnd(), IDC_BUTTON_EXIT);
    if (exitButton && ::IsWindowEnabled(exitButton)) {
        root->PostMessage(WM_COMMAND, MAKEWPARAM(IDC_BUTTON_EXIT, BN_CLICKED), reinterpret_cast<LPARAM>(exitButton));
    }
}

LRESULT CMainFrame::OnStartUpdate(WPARAM wParam, LPARAM) {
    Start(static_cast<BOOL>(wParam));
    return 0;
}

LRESULT CMainFrame::OnFrameDrive(WPARAM wParam, LPARAM) {
    const wchar_t letter = static_cast<wchar_t>(LOWORD(wParam));
    if (HIWORD(wParam) == 1) {
        wchar_t root[] = {letter, L':', L'\\', 0};
        ULARGE_INTEGER free{}, total{};
        if (GetDiskFreeSpaceExW(root, &free, &total, nullptr)) {
            m_mapDriveSpace[letter] = {total.QuadPart / 1024, free.QuadPart / 1024};
        } else {
            m_mapDriveSpace[letter] = {0, 0};
        }
    } else {
        m_mapDriveSpace.erase(letter);
    }
    return 1;
}

LRESULT CMainFrame::OnShowHiddenPage(WPARAM, LPARAM) {
    if (CDlgRoot* root = m_pDlgRoot.load()) root->pushViewPage(VIEW_STATE_HIDDEN, TRUE);
    return 0;
}

void CMainFrame::deleteTempFolders() {
    CString base = CGlobalFunc::getAppDataPath();
    if (base.IsEmpty()) return;
    base += L"\\Kestrune";
    CGlobalFunc::deleteDirectory(base + L"\\License");
    CGlobalFunc::deleteDirectory(base + L"\\Notice");
}

void CMainFrame::broadcastChangeLanguage() {
    const UINT message = RWM_CHANGE_LANGUAGE;
    for (HWND child = ::GetWindow(m_hWnd, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        ::SendMessageW(child, message, 0, 0);
    }
    CDlgRoot* root = m_pDlgRoot.load();
    if (!root || !root->GetSafeHwnd()) return;
    for (HWND child = ::GetWindow(root->GetSafeHwnd(), GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        CWnd* page = CWnd::FromHandlePermanent(child);
        if (!page || !dynamic_cast<CBaseChildDialog*>(page)) continue;
        ::SendMessageW(child, message, 0, 0);
        for (HWND control = ::GetWindow(child, GW_CHILD); control; control = ::GetWindow(control, GW_HWNDNEXT)) {
            CWnd* window = CWnd::FromHandlePermanent(control);
            if (window && takesLanguage(window)) {
                ::SendMessageW(control, message, 0, 0);
            }
        }
    }
    root->layoutTitleButtons();
    RECT header{0, 0, 900, 60};
    RECT bottom{14, 650, 886, 700};
    ::InvalidateRect(root->GetSafeHwnd(), &header, TRUE);
    ::InvalidateRect(root->GetSafeHwnd(), &bottom, TRUE);
}
