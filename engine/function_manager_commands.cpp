// The effects of the queued commands on the command thread.
#include "engine/copy_manager.h"
#include "engine/function_manager.h"
#include "engine/function_manager_internal.h"
#include "engine/worker_manager.h"
#include "foundation/logmanager.h"
#include "foundation/message_pump.h"

#include <mutex>

namespace {

// How long FM_CMD_FORMAT and FM_CMD_FORMAT_DONE wait for a page thread.
constexpr DWORD kPageThreadWaitMs = 500;
// How long reset() waits for a command of the earlier run to end.
constexpr DWORD kResetWaitMs = 10000;

// Handles of the engine's own on the compute and format threads. The
// command object's handles are let go by whoever stops waiting for them;
// these are closed only once their thread has ended, so a second compute
// thread (a second pre-check rebuilding the items under the first) or a
// second format thread never starts beside a live one.
std::mutex g_pageThreadLock;
HANDLE g_computeThread = nullptr;
HANDLE g_formatThread = nullptr;

bool isAlive(HANDLE thread) {
    return thread && WaitForSingleObject(thread, 0) == WAIT_TIMEOUT;
}

HANDLE duplicateOf(HANDLE thread) {
    HANDLE own = nullptr;
    if (thread) DuplicateHandle(GetCurrentProcess(), thread, GetCurrentProcess(), &own, 0, FALSE, DUPLICATE_SAME_ACCESS);
    return own;
}

// Waits up to ms (pumping) for the thread behind own; when it has ended
// the handle is closed and true returned.
bool waitAndForget(HANDLE& own, DWORD ms) {
    HANDLE probe;
    {
        std::lock_guard<std::mutex> lock(g_pageThreadLock);
        if (!own) return true;
        probe = duplicateOf(own);
    }
    if (!function_manager::waitThread(probe, ms)) return false;
    std::lock_guard<std::mutex> lock(g_pageThreadLock);
    if (own) CloseHandle(own);
    own = nullptr;
    return true;
}

bool running(HANDLE& own) {
    std::lock_guard<std::mutex> lock(g_pageThreadLock);
    return isAlive(own);
}

void remember(HANDLE& own, HANDLE started) {
    std::lock_guard<std::mutex> lock(g_pageThreadLock);
    if (own) CloseHandle(own);
    own = duplicateOf(started);
}

}  // namespace

bool pageThreadsRunning() {
    return running(g_computeThread) || running(g_formatThread);
}

void function_manager::reset() {
    unsigned run = 0;
    {
        std::lock_guard<std::mutex> lock(m_queueMutex);
        run = ++m_nRun;
    }
    // A command of the earlier run still being carried out (a phase ending,
    // its messages, its done flag) ends before the state is cleared, so none
    // of it lands in the new run. The command thread may be sending to this
    // thread meanwhile: the wait pumps.
    if (GetCurrentThreadId() != m_dwCommandThreadId) {
        const ULONGLONG deadline = GetTickCount64() + kResetWaitMs;
        for (;;) {
            const unsigned running = m_nCommandRun.load();
            if (running == 0 || running == run) break;
            if (GetTickCount64() >= deadline) {
                LOG_WRITE(L"[ERR_ENGINE] a command of the earlier run still runs at reset");
                break;
            }
            waitPumpingMessages(5);
        }
    }
    {
        std::lock_guard<std::mutex> lock(m_queueMutex);
        m_nState = FM_STATE_IDLE;
        m_nQuit = 0;
        m_nPaused = 0;
    }
    m_nFormatRequested = 0;
    m_nDownloadDone = 0;
    m_nUnzipDone = 0;
    m_nCopyDone = 0;
    std::lock_guard<std::recursive_mutex> tasks(m_taskMutex);
    m_checkResets.clear();
}

void function_manager::runCommand(const function_command& command) {
    auto* page = static_cast<transfer_page*>(command.pointer);
    switch (command.code) {
    case FM_CMD_START:
        onStart(page);
        break;
    case FM_CMD_FORMAT:
        onFormat(command.parameter, page);
        break;
    case FM_CMD_RESTART:
        onRestart();
        break;
    case FM_CMD_FORMAT_DONE:
        onFormatDone();
        break;
    case FM_CMD_BEGIN_TRANSFER:
        onBeginTransfer(page);
        break;
    case FM_CMD_DOWNLOAD_DONE:
        onDownloadDone(static_cast<transfer_task*>(command.pointer));
        break;
    case FM_CMD_UNZIP_DONE:
    case FM_CMD_COPY_DONE:
        onWorkerDone();
        break;
    case FM_CMD_FINISH:
        m_nState = FM_STATE_FINISHED;
        break;
    default:
        // Codes without an effect are taken and dropped.
        break;
    }
}

void function_manager::onStart(transfer_page* page) {
    worker_manager::getInstance()->stopAll();
    {
        // Starting over is the page's retry: failed checks count anew.
        std::lock_guard<std::recursive_mutex> tasks(m_taskMutex);
        m_checkResets.clear();
    }
    m_pPage = page;
    if (m_nFormatRequested) {
        postCommand(FM_CMD_FORMAT, m_chDrive.load(), page);
    } else if (running(g_computeThread)) {
        LOG_WRITE(L"[ENGINE] START while the compute thread still runs: not started again");
    } else {
        // The compute routine rebuilds the item list: until it has, the
        // items are the earlier run's, finished or stopped, and must not end
        // this run.
        m_bItemsPending = true;
        if (startPageThread(&function_manager::ComputeThread_Function, "ComputeThread_Function", page,
                            m_pComputeThread, m_hComputeThread)) {
            remember(g_computeThread, m_hComputeThread);
        } else {
            m_bItemsPending = false;
        }
    }
    m_nState = FM_STATE_STARTED;

    struct phase {
        std::atomic<int>& done;
        UINT complete;
        int notice;
    } phases[] = {
        {m_nDownloadDone, UM_DOWNLOAD_COMPLETE, TRANSFER_PHASE_DOWNLOAD},
        {m_nUnzipDone, UM_UNZIP_COMPLETE, TRANSFER_PHASE_UNZIP},
        {m_nCopyDone, UM_COPY_COMPLETE, TRANSFER_PHASE_COPY},
    };
    for (const phase& p : phases) {
        if (p.done) m_observers.post_message_all(p.complete, 0, 1);
        else m_observers.post_message_all(UM_TRANSFER_PHASE, p.notice, 0);
    }
}

void function_manager::onFormat(int parameter, transfer_page* page) {
    m_chDrive = static_cast<wchar_t>(LOWORD(parameter));
    m_nFormatRequested = 1;
    m_nDownloadDone = 0;
    m_nUnzipDone = 0;
    m_nCopyDone = 0;
    if (waitAndForget(g_computeThread, kPageThreadWaitMs)) {
        if (m_hComputeThread) CloseHandle(m_hComputeThread);
        m_hComputeThread = nullptr;
        m_pComputeThread = nullptr;
    }
    if (waitAndForget(g_formatThread, kPageThreadWaitMs)) {
        if (m_hFormatThread) CloseHandle(m_hFormatThread);
        m_hFormatThread = nullptr;
        m_pFormatThread = nullptr;
        // The medium's version files as an earlier run left them: the
        // preparation writes this run's over them.
        if (m_chDrive != 0) copy_manager::getInstance()->rememberResumableCopies();
        if (startPageThread(&function_manager::FormatThread_Function, "FormatThread_Function", page, m_pFormatThread,
                            m_hFormatThread)) {
            remember(g_formatThread, m_hFormatThread);
        }
    } else {
        // Two preparations of one medium at once would format it under the
        // copy; the running one queues its FORMAT_DONE.
        LOG_WRITE(L"[ENGINE] FORMAT while the format thread still runs: not started again");
    }
    calcTotals();
    dispatchByState(calcProgressState(), page);
}

void function_manager::onRestart() {
    m_nFormatRequested = 1;
    m_chDrive = 0;
    m_nDownloadDone = 0;
    m_nUnzipDone = 0;
    m_nCopyDone = 0;
    calcTotals();
    checkMediumFiles();
    dispatchByState(calcProgressState(), nullptr);
}

void function_manager::onFormatDone() {
    if (waitAndForget(g_formatThread, kPageThreadWaitMs)) {
        if (m_hFormatThread) CloseHandle(m_hFormatThread);
        m_hFormatThread = nullptr;
        m_pFormatThread = nullptr;
    }
    m_observers.post_message_all(UM_TRANSFER_PHASE, TRANSFER_PHASE_COPY, 0);
    calcTotals();
    checkMediumFiles();
    scheduleNext(calcProgressState());
}

void function_manager::onBeginTransfer(transfer_page* page) {
    if (page) page->beginTransfer();
    else postCommand(FM_CMD_DOWNLOAD_DONE, 0, nullptr);
    m_nState = FM_STATE_TRANSFER;
    m_nTickCount = 0;
}

void function_manager::onDownloadDone(transfer_task* task) {
    if (task) {
        // A record taken off the lists (its item freed with the list) is
        // not followed to its item.
        std::lock_guard<std::recursive_mutex> tasks(m_taskMutex);
        bool listed = false;
        {
            std::lock_guard<std::mutex> lock(m_listMutex);
            for (transfer_task* known : m_downloadTasks) listed = listed || known == task;
        }
        if (listed && task->piece == -1) finishDownloadedItem(task->item);
    } else {
        if (!m_nDownloadDone) m_observers.post_message_all(UM_TRANSFER_PHASE, TRANSFER_PHASE_DOWNLOAD, 0);
        if (!m_nUnzipDone) m_observers.post_message_all(UM_TRANSFER_PHASE, TRANSFER_PHASE_UNZIP, 0);
    }
    scheduleNext(calcProgressState());
    m_nTickCount = 0;
}

void function_manager::onWorkerDone() {
    scheduleNext(calcProgressState());
    m_nTickCount = 0;
}
