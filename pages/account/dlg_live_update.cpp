#include "pages/account/dlg_live_update.h"

#include "afx/dc.h"
#include "afx/thread.h"
#include "foundation/config_file.h"
#include "foundation/logmanager.h"
#include "foundation/message_pump.h"
#include "foundation/private_messages.h"
#include "foundation/regsetting.h"
#include "resources/resource.h"
#include "ui/gdi_func.h"
#include "ui/lang_library.h"
#include "ui/text_ids.h"
#include "webclient/connectivity.h"

#include <commctrl.h>

#include <algorithm>

// What the worker thread holds: its own owner of the engine, so that the
// engine outlives the thread even when the popup is gone first.
struct CDlgLiveUpdate::Worker {
    std::shared_ptr<CUpdateManager> engine;
    std::atomic<bool> stop{false};
    std::atomic<bool> ended{false};
};

IMPLEMENT_DYNAMIC(CDlgLiveUpdate, CDialog)

// Chained to the plain dialog: the base popup's dragging, sizing and
// system-close handling are not wanted on this popup.
BEGIN_MESSAGE_MAP(CDlgLiveUpdate, CDialog)
    ON_MESSAGE(UM_LIVEUPDATE_COMPLETE, &CDlgLiveUpdate::OnLiveUpdateComplete)
    ON_MESSAGE(UM_LIVEUPDATE_PROGRESS, &CDlgLiveUpdate::OnLiveUpdateProgress)
    ON_MESSAGE(UM_LIVEUPDATE_ERROR, &CDlgLiveUpdate::OnLiveUpdateError)
    ON_MESSAGE(UM_DOWNLOAD_PROGRESS, &CDlgLiveUpdate::OnDownloadProgress)
    ON_WM_TIMER()
    ON_WM_DESTROY()
    ON_WM_PAINT()
END_MESSAGE_MAP()

CDlgLiveUpdate::CDlgLiveUpdate()
    : CBasePopupDialog(IDD_LIVE_UPDATE, nullptr), m_pEngine(std::make_shared<CUpdateManager>()) {
    // The popup runs before the application registers the common controls
    // in some callers, and its template holds a progress bar.
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&controls);
}

CDlgLiveUpdate::~CDlgLiveUpdate() {
    // DoModal waited already; this covers a popup that was never run modally.
    waitForWorker();
}

void CDlgLiveUpdate::DoDataExchange(CDataExchange* dx) {
    CBasePopupDialog::DoDataExchange(dx);
    DDX_Control(dx, IDC_STATIC_UPGRAGE_TITLE, m_staticMessage);
    DDX_Control(dx, IDC_PROGRESS_LIVE_UPDATE, m_progress);
}

INT_PTR CDlgLiveUpdate::DoModal() {
    const INT_PTR result = CBasePopupDialog::DoModal();
    waitForWorker();
    return result;
}

bool CDlgLiveUpdate::workerEnded() const { return !m_pWorker || m_pWorker->ended; }

BOOL CDlgLiveUpdate::OnInitDialog() {
    CBasePopupDialog::OnInitDialog();
    SetTimer(live_update::kConnectionTimer, live_update::kConnectionPeriodMs, nullptr);

    if (m_staticMessage.GetSafeHwnd()) {
        m_staticMessage.ModifyStyle(0, SS_OWNERDRAW);
        m_staticMessage.m_nStyle = 0x2;
        m_staticMessage.m_bAutoLineHeight = FALSE;
        m_staticMessage.m_nLineHeight = 18;
        m_staticMessage.setFontStyle(14, FALSE);
    }
    if (m_progress.GetSafeHwnd()) {
        m_progress.m_nLower = 0;
        m_progress.m_nUpper = 100;
        m_progress.m_bgColor = RGB(233, 233, 233);
        m_progress.m_barColor = RGB(75, 83, 93);
        m_progress.setPos(0);
    }
    MoveWindow(0, 0, live_update::kWidth, live_update::kHeight);

    // A second start of the program finds the popup by this text, so it is
    // in place before the check below can take its time.
    const CString title = CLangLibrary::loadLangString(IDS_SELF_UPDATE_WINDOW_TITLE);
    setTitle(title);
    SetWindowText(title);
    placeControls();
    if (m_staticMessage.GetSafeHwnd()) {
        const CString line = CLangLibrary::loadLangString(IDS_SELF_UPDATE_DOWNLOADING);
        m_staticMessage.SetWindowText(line);
        // One line of 18 pixels: a longer translation gets a smaller size
        // instead of losing its end.
        CRect place;
        m_staticMessage.GetClientRect(&place);
        for (int size = 14; size > 10 && m_staticMessage.measureText(line).cx > place.Width(); --size) {
            m_staticMessage.setFontStyle(size - 1, FALSE);
        }
    }
    setRoundRegion();
    CenterWindow();

    if (!m_bInstallPathGiven) m_strInstallPath = CRegSetting::getInstallPath();
    m_pEngine->setServerInfo(m_hWnd, m_strInstallPath);

    m_nCheckResult = checkLiveUpdate();
    switch (m_nCheckResult) {
        case 0:
            OnOK();
            break;
        case 1:
            if (!startWorker()) {
                LOG_WRITE(L"[ERR] self-update worker not started");
                m_nFailCode = LIVEUPDATE_FAIL_NETWORK;
                OnCancel();
            }
            break;
        default:
            m_nFailCode = m_nCheckResult == -8 ? LIVEUPDATE_FAIL_NOT_FOUND : LIVEUPDATE_FAIL_NETWORK;
            m_pEngine->cancelFlag = 1;
            m_pEngine->webPost.m_bCancel = true;
            OnCancel();
            break;
    }
    return TRUE;
}

int CDlgLiveUpdate::checkLiveUpdate() {
    CConfigFile* config = CConfigFile::getInstance();
    if (config->load()) {
        // A key the file lacks replaces the built-in value all the same:
        // the retry below falls back to the built-in server.
        m_pEngine->serverUrl = config->getValue(L"LIVEUPDATE_URL");
        m_pEngine->serverFolder = config->getValue(L"UPDATEFILE_PATH");
    }
    const int result = m_pEngine->checkUpdateNeeded();
    if (result == 0 || result == 1) return result;
    m_pEngine->setServerInfo(m_hWnd, m_strInstallPath);
    return m_pEngine->checkUpdateNeeded();
}

void CDlgLiveUpdate::placeControls() {
    CRect client;
    GetClientRect(&client);
    const bool rtl = CRegSetting::getLanguage() == LANGUAGE_AR;
    const live_update::Rect text = live_update::messageRect(client.Width(), rtl);
    const live_update::Rect bar = live_update::barRect(client.Width(), rtl);
    if (m_staticMessage.GetSafeHwnd()) {
        m_staticMessage.SetWindowPos(nullptr, text.x, text.y, text.w, text.h, SWP_NOZORDER);
    }
    if (m_progress.GetSafeHwnd()) m_progress.SetWindowPos(nullptr, bar.x, bar.y, bar.w, bar.h, SWP_NOZORDER);
}

bool CDlgLiveUpdate::startWorker() {
    m_pWorker = std::make_shared<Worker>();
    m_pWorker->engine = m_pEngine;
    auto* param = new std::shared_ptr<Worker>(m_pWorker);
    CWinThread* thread = AfxBeginThread(WorkerThread, param, THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED);
    if (!thread) {
        delete param;
        m_pWorker->ended = true;
        return false;
    }
    // The thread object deletes itself at the thread's end; the popup
    // waits on a handle of its own.
    HANDLE own = nullptr;
    DuplicateHandle(GetCurrentProcess(), thread->m_hThread, GetCurrentProcess(), &own, SYNCHRONIZE, FALSE, 0);
    m_hWorkerThread.reset(own);
    thread->ResumeThread();
    return true;
}

UINT __cdecl CDlgLiveUpdate::WorkerThread(LPVOID param) {
    if (!param) return 0;
    std::unique_ptr<std::shared_ptr<Worker>> owner(static_cast<std::shared_ptr<Worker>*>(param));
    Worker& worker = **owner;
    if (!worker.stop) worker.engine->doLiveUpdate();
    worker.ended = true;
    return 1;
}

void CDlgLiveUpdate::stopEngine() {
    if (m_pWorker) m_pWorker->stop = true;
    m_pEngine->cancelFlag = 1;
    m_pEngine->webPost.m_bCancel = true;
    closeInternetHandleSlot(m_pEngine->internetHandle);
    closeInternetHandleSlot(m_pEngine->requestHandle);
}

void CDlgLiveUpdate::waitForWorker() {
    if (!m_pWorker || !m_hWorkerThread) return;
    // After completion the worker has only its return left; any other end
    // stops it where it is.
    const bool stopping = !m_bCompleting;
    if (stopping && !m_pWorker->ended) stopEngine();
    const ULONGLONG start = GetTickCount64();
    HANDLE thread = m_hWorkerThread.get();
    bool quitSeen = false;
    WPARAM quitCode = 0;
    for (;;) {
        const ULONGLONG elapsed = GetTickCount64() - start;
        if (elapsed >= live_update::kWorkerWaitMs) break;
        const DWORD slice = static_cast<DWORD>(std::min<ULONGLONG>(50, live_update::kWorkerWaitMs - elapsed));
        const DWORD woke = quitSeen ? WaitForSingleObject(thread, slice)
                                    : MsgWaitForMultipleObjects(1, &thread, FALSE, slice, QS_ALLINPUT);
        if (woke == WAIT_OBJECT_0) {
            m_hWorkerThread.reset();
            if (quitSeen) PostQuitMessage(static_cast<int>(quitCode));
            return;
        }
        // The engine clears its cancel flag when its run begins: a stop
        // that came before that is applied again until the worker is out.
        if (stopping) stopEngine();
        MSG msg;
        while (!quitSeen && PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                quitSeen = true;
                quitCode = msg.wParam;
                break;
            }
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
    LOG_WRITE(L"[LiveUpdate worker still running after %u ms: the engine stays with it]",
              static_cast<unsigned>(live_update::kWorkerWaitMs));
    m_hWorkerThread.reset();
    if (quitSeen) PostQuitMessage(static_cast<int>(quitCode));
}

void CDlgLiveUpdate::OnCancel() {
    // Once completion began the files are in place: ending now as a
    // failure would leave the old build running over the new files.
    if (m_bCompleting) return;
    if (m_pWorker && !m_pWorker->ended) stopEngine();
    CBasePopupDialog::OnCancel();
}

LRESULT CDlgLiveUpdate::OnLiveUpdateProgress(WPARAM wParam, LPARAM lParam) {
    const int percent = live_update::filePercent(wParam, lParam);
    if (percent != live_update::kNoChange && m_progress.GetSafeHwnd()) m_progress.setPos(percent);
    return 1;
}

LRESULT CDlgLiveUpdate::OnDownloadProgress(WPARAM wParam, LPARAM lParam) {
    const int percent = live_update::downloadPercent(wParam, lParam);
    if (percent != live_update::kNoChange && m_progress.GetSafeHwnd()) m_progress.setPos(percent);
    return 1;
}

LRESULT CDlgLiveUpdate::OnLiveUpdateError(WPARAM wParam, LPARAM lParam) {
    if (m_bCompleting) return 1;
    m_nFailCode = live_update::failCodeOfError(wParam, lParam);
    OnCancel();
    return 1;
}

LRESULT CDlgLiveUpdate::OnLiveUpdateComplete(WPARAM, LPARAM) {
    if (m_bCompleting) return 1;
    m_bCompleting = true;
    // A connection lost during the passes below must not cancel an update
    // whose files are already replaced.
    KillTimer(live_update::kConnectionTimer);
    if (m_progress.GetSafeHwnd()) m_progress.setPos(100);
    LOG_WRITE(L"LiveUpdate Complete!!");
    for (int pass = 0; pass < live_update::kCompletionPasses; ++pass) {
        waitPumpingMessages(live_update::kCompletionPassMs);
    }
    const CString code = g_logManager.SendStatistics();
    LOG_WRITE(L"[DEBUG_SERVER_LOG][Statics and ErrorLog Upload.][ResponseCode:%s]", code.GetString());
    OnOK();
    return 1;
}

void CDlgLiveUpdate::OnTimer(UINT_PTR id) {
    if (id == live_update::kConnectionTimer && !m_bCompleting && !isInternetConnected()) {
        m_nFailCode = LIVEUPDATE_FAIL_NETWORK;
        stopEngine();
        OnCancel();
    }
    Default();
}

void CDlgLiveUpdate::OnPaint() {
    CPaintDC dc(this);
    drawBackground(&dc, FALSE);
}

void CDlgLiveUpdate::OnDestroy() {
    CBasePopupDialog::OnDestroy();
    KillTimer(live_update::kConnectionTimer);
}
