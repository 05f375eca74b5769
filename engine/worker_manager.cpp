#include "engine/worker_manager.h"

#include "engine/close_own_handles.h"
#include "engine/copy_manager.h"
#include "engine/download_manager.h"
#include "engine/download_retry.h"
#include "engine/scoped_timer.h"
#include "engine/thread_name.h"
#include "engine/unzip_manager.h"
#include "foundation/logmanager.h"
#include "foundation/message_pump.h"
#include "foundation/utilmanager.h"
#include "foundation/common_util.h"
#include "webclient/internet_worker.h"

#include <algorithm>

namespace {

// stopAll waits this long in all for the workers it stopped.
constexpr DWORD kStopWaitMs = 3000;
constexpr DWORD kComputeWaitMs = 500;
// A worker that reported its end is about to end its thread.
constexpr DWORD kReportedWaitMs = 200;

// Waits rounds x ms, pumping, leaving early when the task is released or
// its session stopped.
void waitBetweenAttempts(int rounds, DWORD ms, const transfer_task* task, const RunFlag* session) {
    for (int i = 0; i < rounds; ++i) {
        if (!task->running || !session || !*session) return;
        waitPumpingMessages(ms);
    }
}

}  // namespace

worker_manager* worker_manager::getInstance() {
    static worker_manager manager;
    return &manager;
}

worker_manager::worker_manager() {
    SYSTEM_INFO info{};
    GetSystemInfo(&info);
    setProcessorCount(static_cast<int>(info.dwNumberOfProcessors));
    internet_worker::set_max_connections(static_cast<DWORD>(m_nDownloadSlots * 2));
}

worker_manager::~worker_manager() {
    for (slot& s : m_slots) {
        if (s.handle) CloseHandle(s.handle);
        s.handle = nullptr;
    }
}

void worker_manager::setProcessorCount(int processors) {
    processors = std::max(1, processors);
    m_nDownloadSlots = std::min(processors, MAX_DOWNLOAD_THREADS);
    m_nUnzipSlots = std::min(processors, 1);
    m_nCopySlots = std::min(processors, 1);
}

void worker_manager::SetThreadName(CWinThread* thread, const char* name) {
    ::SetThreadName(thread, name);
}

bool worker_manager::isSlotFree(int index) {
    if (index < 0 || index >= SLOT_COUNT) return false;
    std::lock_guard<std::recursive_mutex> lock(m_slotLock);
    return reapSlot(index);
}

bool worker_manager::reapSlot(int index) {
    slot& s = m_slots[index];
    if (!s.handle) return true;
    DWORD wait = s.reported ? kReportedWaitMs : 0;
    if (WaitForSingleObject(s.handle, wait) != WAIT_OBJECT_0) return false;
    CloseHandle(s.handle);
    s.handle = nullptr;
    s.thread = nullptr;
    s.task = nullptr;
    s.reported = false;
    return true;
}

int worker_manager::firstFreeDownloadSlot() {
    for (int i = 0; i < std::min(m_nDownloadSlots, MAX_DOWNLOAD_THREADS); ++i) {
        if (isSlotFree(i)) return i;
    }
    return -1;
}

int worker_manager::busyDownloadSlots() {
    int busy = 0;
    for (int i = 0; i < MAX_DOWNLOAD_THREADS; ++i) {
        if (!isSlotFree(i)) ++busy;
    }
    return busy;
}

bool worker_manager::startWorker(int index, AFX_THREADPROC proc, const char* name, transfer_task* task) {
    std::lock_guard<std::recursive_mutex> lock(m_slotLock);
    if (!reapSlot(index)) return false;
    CWinThread* thread = AfxBeginThread(proc, task, THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED);
    if (!thread) {
        LOG_WRITE(L"[ERR_ENGINE] %S not started [ErrorCode:%d]", name, static_cast<int>(GetLastError()));
        return false;
    }
    slot& s = m_slots[index];
    DuplicateHandle(GetCurrentProcess(), thread->m_hThread, GetCurrentProcess(), &s.handle, 0, FALSE,
                    DUPLICATE_SAME_ACCESS);
    s.reported = false;
    s.task = task;
    s.thread = thread;
    task->owner = this;
    task->thread = thread;
    {
        // Under the lock getOrCreateTask checks it with: a record is either
        // made ready again before its worker starts or left alone.
        std::lock_guard<std::mutex> records(function_manager::getInstance()->m_listMutex);
        task->live = true;
    }
    SetThreadName(thread, name);
    thread->ResumeThread();
    return true;
}

bool worker_manager::startDownloadThread(int requested, transfer_task* task) {
    if (!task || !task->item) return false;
    int index = -1;
    for (int i = 0; i < std::min(m_nDownloadSlots, MAX_DOWNLOAD_THREADS); ++i) {
        if (isSlotFree(i)) {
            index = i;
            break;
        }
    }
    if (index < 0) {
        // Every slot is taken: a thread in the requested slot would share it.
        return false;
    }
    (void)requested;
    if (task->piece < 1) {
        InfFileUpdate* item = task->item;
        common_util::ensure_directory(item->getPartPath(m_strDownloadFolder, item->getNumSpan()));
        common_util::ensure_directory(item->getFilePath(m_strDownloadFolder));
    }
    task->slot = index;
    return startWorker(index, &worker_manager::DownloadThread_Function, "DownloadThread_Function", task);
}

bool worker_manager::startUnzipThread(transfer_task* task) {
    if (!task || !task->item) return false;
    task->slot = 0;
    return startWorker(SLOT_UNZIP, &worker_manager::UnzipThread_Function, "UnzipThread_Function", task);
}

bool worker_manager::startCopyThread(transfer_task* task) {
    if (!task || !task->item) return false;
    task->slot = 0;
    return startWorker(SLOT_COPY, &worker_manager::CopyThread_Function, "CopyThread_Function", task);
}

bool worker_manager::markReported(transfer_task* task, int firstSlot, int lastSlot) {
    bool found = false;
    for (int i = firstSlot; i <= lastSlot; ++i) {
        if (m_slots[i].task.load() == task) {
            m_slots[i].reported = true;
            found = true;
        }
    }
    return found;
}

void worker_manager::releaseTask(transfer_task* task) {
    task->running = false;
    // From here on the worker no longer touches the record.
    task->live = false;
}

bool worker_manager::finish(transfer_task* task, int firstSlot, int lastSlot, int command, int parameter) {
    if (!task) return false;
    if (!markReported(task, firstSlot, lastSlot)) {
        bool download = firstSlot == 0;
        if (download ? task->slot >= SLOT_UNZIP : task->slot != 0) return false;
    }
    function_command end;
    end.code = command;
    end.parameter = parameter;
    end.pointer = task;
    // The run that handed the record out: a later run drops the end.
    end.run = task->run.load();
    releaseTask(task);
    function_manager::getInstance()->postCommand(end);
    return true;
}

bool worker_manager::onDownloadFinished(transfer_task* task, int error) {
    return finish(task, 0, MAX_DOWNLOAD_THREADS - 1, FM_CMD_DOWNLOAD_DONE, error);
}

bool worker_manager::onUnzipFinished(transfer_task* task, int code) {
    return finish(task, SLOT_UNZIP, SLOT_UNZIP, FM_CMD_UNZIP_DONE, code);
}

bool worker_manager::onCopyFinished(transfer_task* task, int code) {
    return finish(task, SLOT_COPY, SLOT_COPY, FM_CMD_COPY_DONE, code);
}

UINT worker_manager::DownloadThread_Function(LPVOID param) {
    scoped_timer timer(L"Download", __FILE__, __LINE__, __func__);
    auto* task = static_cast<transfer_task*>(param);
    worker_manager* self = getInstance();
    download_manager* downloads = download_manager::getInstance();
    // The flag of the session this thread belongs to: a later session does
    // not revive it.
    const RunFlag* session = downloads->currentSessionFlag();
    InfFileUpdate* item = task->item;
    const CString folder = self->m_strDownloadFolder;
    CString url, path;
    if (task->piece < 0) {
        url = item->getFileUrl();
        path = item->getFilePath(folder);
    } else {
        url = item->getPartUrl(task->piece);
        path = item->getPartPath(folder, task->piece);
    }

    bool ok = false;
    int error = 0;
    int status = 0;
    download_retry retry;
    for (;;) {
        bool attempt = false;
        try {
            attempt = downloads->func_downlaod_worker(error, status, item, url, path, session);
        } catch (CException* e) {
            wchar_t text[256] = {};
            e->GetErrorMessage(text, 255);
            LOG_WRITE(L"[ERR_DOWNLOAD] attempt failed [url:%s][%s]", url.GetString(), text);
            e->Delete();
            attempt = false;
        } catch (...) {
            LOG_WRITE(L"[ERR_DOWNLOAD] attempt failed [url:%s]", url.GetString());
            attempt = false;
        }
        ok = attempt;
        if (ok) break;
        if (!retry.afterFailure(error) || !*session || !task->running) break;
        waitBetweenAttempts(retry.waitRounds(), retry.waitMs(), task, session);
        if (!*session || !task->running) break;
    }

    if (ok && task->running) {
        ULONGLONG size = CUtilManager::getFileSize(path);
        task->bytesDone = size == ULLONG_MAX ? 0 : size;
        task->state = 2;
        self->onDownloadFinished(task, 0);
        return 1;
    }
    if (!ok) {
        downloads->setFailInfo(item, task->piece, error, status);
    }
    task->state = 0;
    if (error >= INET_ERROR_NOT_CONNECTED) {
        self->onDownloadFinished(task, error);
    } else {
        // A stopped session or a local file that did not open: the slot
        // goes quietly, and a later schedule hands the task out again.
        self->markReported(task, 0, MAX_DOWNLOAD_THREADS - 1);
        releaseTask(task);
    }
    return 1;
}

UINT worker_manager::UnzipThread_Function(LPVOID param) {
    scoped_timer timer(L"Unzip", __FILE__, __LINE__, __func__);
    auto* task = static_cast<transfer_task*>(param);
    try {
        unzip_manager::getInstance()->func_unzip_Item(task->item, &task->running);
    } catch (CException* e) {
        wchar_t text[256] = {};
        e->GetErrorMessage(text, 255);
        LOG_WRITE(L"[ERR_UNZIP] %s", text);
        e->Delete();
    }
    task->state = 2;
    getInstance()->onUnzipFinished(task, task->running ? 0 : FM_WORKER_STOPPED);
    return 1;
}

UINT worker_manager::CopyThread_Function(LPVOID param) {
    scoped_timer timer(L"Copy", __FILE__, __LINE__, __func__);
    auto* task = static_cast<transfer_task*>(param);
    try {
        copy_manager::getInstance()->func_copy_Item(task->item, &task->running);
    } catch (CException* e) {
        wchar_t text[256] = {};
        e->GetErrorMessage(text, 255);
        LOG_WRITE(L"[ERR_COPY] %s", text);
        e->Delete();
    }
    task->state = 2;
    getInstance()->onCopyFinished(task, task->running ? 0 : FM_WORKER_STOPPED);
    return 1;
}

void worker_manager::stopAll() {
    function_manager* fm = function_manager::getInstance();
    fm->closeStopGate();
    if (fm->m_hComputeThread) {
        function_manager::waitThread(fm->m_hComputeThread, kComputeWaitMs);
        fm->m_pComputeThread = nullptr;
    }
    const int order[] = {SLOT_UNZIP, SLOT_COPY, 0, 1, 2};
    for (int index : order) {
        if (transfer_task* task = m_slots[index].task.load()) task->running = false;
    }
    const ULONGLONG start = GetTickCount64();
    for (int index : order) {
        while (!isSlotFree(index) && GetTickCount64() - start < kStopWaitMs) waitPumpingMessages(10);
        if (!isSlotFree(index)) {
            LOG_WRITE(L"[ERR_ENGINE] worker of slot %d still runs; the slot stays taken", index);
        }
    }
    fm->openStopGate();
}
