#include "engine/function_manager.h"

#include "engine/scoped_timer.h"
#include "engine/thread_name.h"
#include "engine/worker_manager.h"
#include "foundation/logmanager.h"
#include "foundation/message_pump.h"

#include <algorithm>

namespace {

constexpr DWORD kEventWaitMs = 1000;
constexpr DWORD kExitWaitMs = 1100;
// The schedule runs when the idle-tick counter has passed this value.
constexpr int kTicksBeforeSchedule = 7;

// Download ends that reach the page as a download error; 1000 is a lost
// connection. Everything else ends silently (the task is handed out again).
bool isReportedDownloadError(int code) {
    return code == INET_STOPPED || (code >= INET_ERROR_OPEN && code <= INET_ERROR_READ) ||
           (code >= INET_ERROR_QUERY_LENGTH && code <= INET_ERROR_QUERY_DATA) || code == INET_ERROR_CERTIFICATE;
}

// Commands that start the run's preparation again (pre-check, medium).
bool restartsTheRun(int code) {
    return code == FM_CMD_START || code == FM_CMD_FORMAT || code == FM_CMD_RESTART;
}

}  // namespace

function_manager* function_manager::getInstance() {
    static function_manager* instance = [] {
        static function_manager manager;
        manager.start();
        return &manager;
    }();
    return instance;
}

function_manager::function_manager() {
    score_board* boards = score_board::getBoards();
    for (int i = 0; i < 4; ++i) m_pBoards[i] = &boards[i];
    m_dwStartTick = GetTickCount();
    m_hEvent = CreateEventW(nullptr, FALSE, TRUE, nullptr);
}

void function_manager::start() {
    InfFileUpdateList::getInstance().attachEngine(this);
    m_bRun = true;
    CWinThread* thread = AfxBeginThread(&function_manager::Thread_Function, this, THREAD_PRIORITY_NORMAL, 0,
                                        CREATE_SUSPENDED);
    if (!thread) {
        LOG_WRITE(L"[ERR_ENGINE] command thread not started [ErrorCode:%d]", static_cast<int>(GetLastError()));
        return;
    }
    DuplicateHandle(GetCurrentProcess(), thread->m_hThread, GetCurrentProcess(), &m_hCommandThread, 0, FALSE,
                    DUPLICATE_SAME_ACCESS);
    m_pCommandThread = thread;
    m_dwCommandThreadId = thread->m_nThreadID;
    SetThreadName(thread, "Thread_Function");
    thread->ResumeThread();
}

function_manager::~function_manager() {
    // Not a word to the update-item list: at exit it may be gone already,
    // and its own destructor lets go of the engine before it clears.
    m_bRun = false;
    if (m_hEvent) {
        SetEvent(m_hEvent);
    }
    if (m_hCommandThread) {
        WaitForSingleObject(m_hCommandThread, kExitWaitMs);
        CloseHandle(m_hCommandThread);
        m_hCommandThread = nullptr;
    }
    if (m_hComputeThread) CloseHandle(m_hComputeThread);
    if (m_hFormatThread) CloseHandle(m_hFormatThread);
    {
        // A record whose worker still runs is left to the process's end.
        std::lock_guard<std::mutex> lock(m_listMutex);
        for (transfer_task_list* list : {&m_downloadTasks, &m_unzipTasks, &m_copyTasks, &m_retiredTasks}) {
            for (transfer_task* task : *list) {
                if (!task->live) delete task;
            }
            list->clear();
        }
    }
    if (m_hEvent) CloseHandle(m_hEvent);
}

void function_manager::postCommand(int code, int parameter, void* pointer) {
    function_command command;
    command.code = code;
    command.parameter = parameter;
    command.pointer = pointer;
    postCommand(command);
}

void function_manager::postCommand(const function_command& command) {
    function_command stamped = command;
    if (stamped.run == 0) stamped.run = m_nRun.load();
    if (stamped.code == FM_CMD_DOWNLOAD_DONE && stamped.parameter != 0) {
        // An earlier run's download is no news to this run's listeners.
        if (stamped.run != m_nRun.load()) return;
        // Failed downloads never enter the queue: the listeners hear of them
        // at once, and the task, back in state 0, is handed out again.
        if (isReportedDownloadError(stamped.parameter)) {
            m_observers.send_message_all(UM_MODULE_ERROR, MODULE_DOWNLOAD, MODULE_ERROR_DOWNLOAD);
        } else if (stamped.parameter == INET_ERROR_NOT_CONNECTED) {
            m_observers.send_message_all(UM_MODULE_ERROR, MODULE_OFFLINE, 0);
        }
        return;
    }
    std::lock_guard<std::mutex> lock(m_queueMutex);
    if (stamped.code >= FM_CMD_QUIT) {
        m_nState = FM_STATE_QUIT;
        m_nQuit = 1;
        return;
    }
    if (stamped.code == FM_CMD_PAUSE) {
        m_nPaused = 1;
        return;
    }
    if (m_nPaused) {
        if (stamped.code == FM_CMD_IDLE) m_nPaused = 0;
        return;
    }
    if (m_nStopGate > 0) {
        // The ends of the workers this stop ends are no news: the schedule
        // after the stop looks at the items afresh (replayed, an end could
        // start a schedule on a list being rebuilt).
        const bool workerEnd = stamped.code == FM_CMD_DOWNLOAD_DONE || stamped.code == FM_CMD_UNZIP_DONE ||
                               stamped.code == FM_CMD_COPY_DONE;
        if (!workerEnd) m_heldCommands.push_back(stamped);
        return;
    }
    m_queue.push_back(stamped);
    if (m_hEvent) SetEvent(m_hEvent);
}

void function_manager::closeStopGate() {
    std::lock_guard<std::mutex> lock(m_queueMutex);
    ++m_nStopGate;
}

void function_manager::openStopGate() {
    std::lock_guard<std::mutex> lock(m_queueMutex);
    if (m_nStopGate == 0 || --m_nStopGate > 0) return;
    if (m_heldCommands.empty()) return;
    for (const function_command& held : m_heldCommands) m_queue.push_back(held);
    m_heldCommands.clear();
    if (m_hEvent) SetEvent(m_hEvent);
}

UINT function_manager::Thread_Function(LPVOID param) {
    scoped_timer timer(L"Function", __FILE__, __LINE__, __func__);
    static_cast<function_manager*>(param)->loop();
    return 1;
}

bool function_manager::takeCommand(function_command& command) {
    std::lock_guard<std::mutex> lock(m_queueMutex);
    command = function_command();
    if (!m_queue.empty()) {
        command = m_queue.front();
        m_queue.pop_front();
    }
    // Taken under the lock reset() raises the run with, so a reset either
    // sees this command running or the command sees the new run.
    const unsigned current = m_nRun.load();
    const unsigned run = command.run ? command.run : current;
    if (run != current && command.code != FM_CMD_QUIT) return false;
    m_nCommandRun = run;
    return true;
}

void function_manager::loop() {
    while (m_bRun) {
        size_t queued = 0;
        {
            std::lock_guard<std::mutex> lock(m_queueMutex);
            queued = m_queue.size();
        }
        if (queued == 0) {
            DWORD waited = WaitForSingleObject(m_hEvent, kEventWaitMs);
            if (waited == WAIT_FAILED) {
                LOG_WRITE(L"[ERR_ENGINE] command wait failed [ErrorCode:%d]", static_cast<int>(GetLastError()));
                break;
            }
            if (!m_bRun) break;
            ResetEvent(m_hEvent);
        }
        function_command command;
        if (!takeCommand(command)) continue;
        if (m_nQuit || command.code == FM_CMD_QUIT) {
            m_nState = FM_STATE_QUIT;
            worker_manager::getInstance()->stopAll();
            m_nCommandRun = 0;
            break;
        }
        if (m_nPaused && restartsTheRun(command.code)) {
            // Queued before the Hold: a paused run starts nothing again
            // until the page resumes it (IDLE, then START).
            LOG_WRITE(L"[ENGINE] command %d dropped: paused", command.code);
        } else if (command.code == FM_CMD_IDLE || command.code == FM_CMD_TICK) {
            onTick();
        } else {
            runCommand(command);
        }
        m_nCommandRun = 0;
    }
}

bool function_manager::isCurrentRun() const {
    if (GetCurrentThreadId() != m_dwCommandThreadId) return true;
    const unsigned run = m_nCommandRun.load();
    return run == 0 || run == m_nRun.load();
}

void function_manager::onTick() {
    if (m_nState < FM_STATE_STARTED) return;
    if (m_nTickCount > kTicksBeforeSchedule) {
        m_nTickCount = 0;
        scheduleNext(calcProgressState());
    } else {
        ++m_nTickCount;
    }
}

bool function_manager::waitThread(HANDLE& handle, DWORD ms) {
    if (!handle) return true;
    const ULONGLONG start = GetTickCount64();
    bool ended = false;
    for (;;) {
        if (WaitForSingleObject(handle, 0) == WAIT_OBJECT_0) {
            ended = true;
            break;
        }
        ULONGLONG elapsed = GetTickCount64() - start;
        if (elapsed >= ms) break;
        waitPumpingMessages(static_cast<DWORD>(std::min<ULONGLONG>(10, ms - elapsed)));
    }
    CloseHandle(handle);
    handle = nullptr;
    return ended;
}

bool function_manager::startPageThread(AFX_THREADPROC proc, const char* name, transfer_page* page,
                                       CWinThread*& thread, HANDLE& handle) {
    CWinThread* started = AfxBeginThread(proc, page, THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED);
    if (!started) {
        LOG_WRITE(L"[ERR_ENGINE] %S not started [ErrorCode:%d]", name, static_cast<int>(GetLastError()));
        return false;
    }
    if (handle) CloseHandle(handle);
    handle = nullptr;
    DuplicateHandle(GetCurrentProcess(), started->m_hThread, GetCurrentProcess(), &handle, 0, FALSE,
                    DUPLICATE_SAME_ACCESS);
    thread = started;
    SetThreadName(started, name);
    started->ResumeThread();
    return true;
}

UINT function_manager::ComputeThread_Function(LPVOID param) {
    scoped_timer timer(L"Compute", __FILE__, __LINE__, __func__);
    if (auto* page = static_cast<transfer_page*>(param)) page->computeAndInitDownload();
    // A routine that built no list leaves the earlier one in place.
    getInstance()->itemsRebuilt();
    return 1;
}

UINT function_manager::FormatThread_Function(LPVOID param) {
    scoped_timer timer(L"Format", __FILE__, __LINE__, __func__);
    auto* page = static_cast<transfer_page*>(param);
    if (page) page->StartCarCopy();
    getInstance()->postCommand(FM_CMD_FORMAT_DONE, 0, page);
    return 1;
}

// ---- task records

transfer_task* function_manager::findTask(transfer_task_list& list, InfFileUpdate* item, int piece) {
    if (m_nQuit) return nullptr;
    std::lock_guard<std::mutex> lock(m_listMutex);
    for (transfer_task* task : list) {
        if (task->item == item && task->piece == piece) return task;
    }
    return nullptr;
}

transfer_task* function_manager::getOrCreateTask(transfer_task_list& list, InfFileUpdate* item, int piece) {
    if (m_nQuit) return nullptr;
    // Looked up and made ready in one step: two choosers (the command thread
    // and the copy thread's medium check) never make two records of one
    // piece, and neither resets a record a worker took meanwhile.
    std::lock_guard<std::mutex> lock(m_listMutex);
    transfer_task* task = nullptr;
    for (transfer_task* known : list) {
        if (known->item == item && known->piece == piece) {
            task = known;
            break;
        }
    }
    if (task && task->live) return nullptr;
    if (sharesAFileWithALiveTask(item, piece, kindOf(list))) return nullptr;
    if (!task) {
        task = new transfer_task;
        list.push_back(task);
    }
    task->item = item;
    task->piece = piece;
    task->running = true;
    task->bytesDone = 0;
    task->bytesOnMedium = 0;
    task->thread = nullptr;
    task->run = m_nRun.load();
    task->state = 1;
    return task;
}

task_kind function_manager::kindOf(const transfer_task_list& list) const {
    if (&list == &m_downloadTasks) return task_kind::download;
    if (&list == &m_unzipTasks) return task_kind::unzip;
    return task_kind::copy;
}

bool function_manager::sharesAFileWithALiveTask(InfFileUpdate* item, int piece, task_kind kind) {
    // Paths below the download folder, which every task of a run shares.
    const std::vector<CString> wanted = worker_manager::taskFiles(kind, item, piece, CString());
    const std::pair<const transfer_task_list*, task_kind> lists[] = {
        {&m_downloadTasks, task_kind::download}, {&m_unzipTasks, task_kind::unzip}, {&m_copyTasks, task_kind::copy}};
    for (const auto& list : lists) {
        for (const transfer_task* other : *list.first) {
            if (!other->live || !other->item) continue;
            for (const CString& used : worker_manager::taskFiles(list.second, other->item, other->piece, CString())) {
                for (const CString& file : wanted) {
                    if (used.CompareNoCase(file) == 0) return true;
                }
            }
        }
    }
    return false;
}

void function_manager::removeItemRecords(InfFileUpdate* item) {
    // A later item may be built at the same address.
    m_checkResets.erase(item);
    std::lock_guard<std::mutex> lock(m_listMutex);
    for (transfer_task_list* list : {&m_downloadTasks, &m_unzipTasks, &m_copyTasks}) {
        list->erase(std::remove_if(list->begin(), list->end(),
                                   [&](transfer_task* task) {
                                       if (task->item != item) return false;
                                       task->running = false;
                                       task->item = nullptr;
                                       m_retiredTasks.push_back(task);
                                       return true;
                                   }),
                    list->end());
    }
}
