// The frame's own threads: connectivity every second, and the notice
// download started by the one-shot timer.
#include "shell/main_frame.h"

#include "foundation/globalfunc.h"
#include "foundation/logmanager.h"
#include "foundation/private_messages.h"
#include "shell/dlg_root.h"
#include "ui/view_state.h"
#include "webclient/api_endpoints.h"
#include "webclient/connectivity.h"

namespace {

constexpr UINT_PTR kNoticeTimer = 1004;
constexpr DWORD kJoinMs = 10000;

// Waits up to ms for the event, dispatching this thread's messages. True
// when the event is set.
bool waitEventPumping(HANDLE event, DWORD ms) {
    const DWORD start = GetTickCount();
    for (;;) {
        DWORD elapsed = GetTickCount() - start;
        if (elapsed >= ms) return WaitForSingleObject(event, 0) == WAIT_OBJECT_0;
        DWORD r = MsgWaitForMultipleObjects(1, &event, FALSE, ms - elapsed, QS_ALLINPUT);
        if (r == WAIT_OBJECT_0) return true;
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                PostQuitMessage(static_cast<int>(msg.wParam));
                return WaitForSingleObject(event, 0) == WAIT_OBJECT_0;
            }
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
}

// Joins a thread, bounded, while this (window-owning) thread keeps
// dispatching: the thread may be sending to our windows.
bool joinPumping(HANDLE thread, DWORD ms) {
    if (!thread) return true;
    return waitEventPumping(thread, ms);
}

}  // namespace

UINT CMainFrame::ThreadNetwork(LPVOID param) {
    auto* frame = static_cast<CMainFrame*>(param);
    if (!frame) return 1;
    frame->networkLoop();
    return 1;
}

void CMainFrame::networkLoop() {
    while (!waitEventPumping(m_hStopEvent, 1000)) {
        SetThreadExecutionState(ES_CONTINUOUS | ES_SYSTEM_REQUIRED);
        frame_rules::NetworkPoll poll;
        poll.downloadsDone = m_bDownloadReported.load() != 0;
        DWORD flags = 0;
        if (!poll.downloadsDone) poll.connected = isInternetConnected(flags);
        CDlgRoot* root = m_pDlgRoot.load();
        HWND page = nullptr;
        poll.rootExists = root != nullptr;
        poll.stopped = m_bStopped.load() != 0;
        if (!poll.downloadsDone && !poll.connected && root) poll.updatePageDownloading = updatePageDownloading(root, page);

        frame_rules::NetworkActions act = m_networkWatch.step(poll);
        if (!act.polled) continue;
        m_bNetworkConnected = act.setConnected ? 1 : 0;
        if (act.clearStopped) m_bStopped = 0;
        if (act.logLoss) LOG_WRITE(L"[ERR_UPDATE_3040][InternetGetConnectedStateEx Faild : %#010x]", flags);
        if (act.record) {
            CString record;
            record.Format(L"[E:%d,T:%s,PS:3,ED:%s]", STAT_STAGE_NETWORK, CGlobalFunc::getTimeStamp().GetString(),
                          L"1000");
            g_logManager.AddStatistics(record);
        }
        if (act.stop) Stop();
        if (act.notifyPage && page) ::SendMessageW(page, UM_MODULE_ERROR, MODULE_NETWORK, 0);
    }
}

UINT CMainFrame::NoticeThread(LPVOID param) {
    auto* frame = static_cast<CMainFrame*>(param);
    if (!frame) return 0;
    stNoticeResult result;
    {
        // The timer's thread and the login worker share one parser.
        std::lock_guard<std::mutex> lock(frame->m_noticeMutex);
        frame->m_noticeParser.readNotice(getServerHost(API_GET_NOTICE), getApiPath(API_GET_NOTICE), 443,
                                         frame->m_hStopEvent);
        frame->m_noticeParser.getResult(result);
    }
    // A closing frame shows no notice.
    if (frame->m_hStopEvent && WaitForSingleObject(frame->m_hStopEvent, 0) == WAIT_OBJECT_0) return 1;
    if (CDlgRoot* root = frame->m_pDlgRoot.load()) root->showNotices(result);
    return 1;
}

void CMainFrame::startNoticeTimer(UINT milliseconds) {
    if (GetSafeHwnd()) SetTimer(kNoticeTimer, milliseconds, nullptr);
}

void CMainFrame::OnTimer(UINT_PTR nIDEvent) {
    if (nIDEvent == kNoticeTimer) {
        KillTimer(kNoticeTimer);
        startNoticeThread();
    }
    Default();
}

void CMainFrame::startNoticeThread() {
    std::lock_guard<std::mutex> lock(m_threadMutex);
    for (auto it = m_noticeThreads.begin(); it != m_noticeThreads.end();) {
        if (WaitForSingleObject(*it, 0) == WAIT_OBJECT_0) {
            CloseHandle(*it);
            it = m_noticeThreads.erase(it);
        } else {
            ++it;
        }
    }
    CWinThread* thread = AfxBeginThread(NoticeThread, this, THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED);
    if (!thread) return;
    HANDLE own = nullptr;
    DuplicateHandle(GetCurrentProcess(), thread->m_hThread, GetCurrentProcess(), &own, 0, FALSE,
                    DUPLICATE_SAME_ACCESS);
    if (own) m_noticeThreads.push_back(own);
    thread->ResumeThread();
}

bool CMainFrame::stopThreads() {
    bool ended = true;
    if (m_hStopEvent) SetEvent(m_hStopEvent);
    if (m_hNetworkThread) {
        if (!joinPumping(m_hNetworkThread, kJoinMs)) {
            LOG_WRITE(L"ThreadNetwork did not end in time");
            ended = false;
        }
        CloseHandle(m_hNetworkThread);
        m_hNetworkThread = nullptr;
    }
    std::list<HANDLE> notices;
    {
        std::lock_guard<std::mutex> lock(m_threadMutex);
        notices.swap(m_noticeThreads);
    }
    // A notice that waits for a slow server must not hold the close up.
    if (!notices.empty()) m_noticeParser.abortDownload();
    for (HANDLE thread : notices) {
        if (!joinPumping(thread, kJoinMs)) {
            LOG_WRITE(L"NoticeThread did not end in time");
            ended = false;
        }
        CloseHandle(thread);
    }
    return ended;
}
