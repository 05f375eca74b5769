#pragma once
// The controller of the transfer engine: one command thread that takes
// commands from a queue, drives the items of the update-item list through
// their transfer states, hands each piece of work to a worker thread as a
// transfer_task and tells its listener windows when a phase starts or ends.
//
// Locks, always taken in this order: the task mutex (held while the next
// task is chosen, and by the update-item list while it adds or removes
// items), then the list mutex (the three task lists) or the queue mutex
// (the queue and the paused and quit flags). The list and queue mutexes are
// never held together.
#include "afx/thread.h"
#include "descriptors/inf_file_update.h"
#include "descriptors/update_item_engine.h"
#include "engine/score_board.h"
#include "engine/transfer_page.h"
#include "foundation/observer_list.h"
#include "foundation/private_messages.h"
#include "webclient/internet_worker.h"

#include <atomic>
#include <deque>
#include <map>
#include <mutex>
#include <vector>

class worker_manager;

enum {
    FM_CMD_IDLE = 0,
    FM_CMD_START = 1,
    FM_CMD_FORMAT = 2,
    FM_CMD_RESTART = 3,
    FM_CMD_FORMAT_DONE = 4,
    FM_CMD_BEGIN_TRANSFER = 5,
    FM_CMD_DOWNLOAD_DONE = 6,
    FM_CMD_UNZIP_DONE = 8,
    FM_CMD_COPY_DONE = 10,
    FM_CMD_PAUSE = 11,
    FM_CMD_FINISH = 12,
    FM_CMD_QUIT = 13,
    FM_CMD_TICK = 14,
};

enum {
    FM_STATE_IDLE = 0,
    FM_STATE_STARTED = 1,
    FM_STATE_TRANSFER = 5,
    FM_STATE_DOWNLOADED = 7,
    FM_STATE_UNZIPPED = 9,
    FM_STATE_PAUSED = 11,
    FM_STATE_FINISHED = 12,
    FM_STATE_QUIT = 13,
};

// The parameter of FM_CMD_UNZIP_DONE and FM_CMD_COPY_DONE for a worker
// whose task was released before it ended.
constexpr int FM_WORKER_STOPPED = -999;

// One entry of the command queue.
struct function_command {
    int code = FM_CMD_IDLE;
    // Drive letter (FORMAT), worker error (DOWNLOAD_DONE), 0 or -999.
    int parameter = 0;
    // A transfer_page (START, FORMAT, FORMAT_DONE, BEGIN_TRANSFER, RESTART),
    // a transfer_task (the workers' end commands), or null.
    void* pointer = nullptr;
    // The run the command belongs to; 0 takes the current one when queued.
    // A command of an earlier run is dropped.
    unsigned run = 0;
};

// One unit of work for a worker thread. Owned by the task lists and kept
// while the engine runs; a record whose worker still runs (live) is never
// reset or handed out again.
struct transfer_task {
    InfFileUpdate* item = nullptr;
    int slot = -1;
    CWinThread* thread = nullptr;
    worker_manager* owner = nullptr;
    // Cleared by anyone to stop the worker; the unzip and copy workers
    // watch it.
    RunFlag running{false};
    // 1 started, 2 finished, 0 to be done again.
    std::atomic<int> state{0};
    // -1 a whole file, 0 .. n-1 a piece of a split package; 0 for unzip and
    // copy.
    int piece = 0;
    // Download: size of the finished file or piece.
    std::atomic<ULONGLONG> bytesDone{0};
    // Copy: size of the partial file already on the medium.
    std::atomic<ULONGLONG> bytesOnMedium{0};
    // Set while a worker thread uses the record.
    std::atomic<bool> live{false};
    // The run that handed the record out; its worker's end command carries
    // it.
    std::atomic<unsigned> run{0};
};

using transfer_task_list = std::vector<transfer_task*>;

// The three task lists: download, unzip and copy.
enum class task_kind { download, unzip, copy };

class function_manager : public update_item_engine {
public:
    // The one object, built with its command thread on first use.
    static function_manager* getInstance();

    // The only way to queue a command; any thread.
    void postCommand(int code, int parameter, void* pointer);
    void postCommand(const function_command& command);
    // Starts a new run: commands and worker ends of the earlier one are
    // dropped from here on, a command of it still being carried out is
    // awaited (bounded, pumping; not on the command thread), then run state,
    // quit, paused, format requested and the done flags go to 0.
    void reset();
    // False on the command thread while it carries out a command of an
    // earlier run (after a reset); true elsewhere.
    bool isCurrentRun() const;
    // The item list is being rebuilt for a new run (from START's compute
    // thread until the list is built again): the items still in it are the
    // earlier run's, and no phase of this run is completed on them.
    bool itemsPending() const { return m_bItemsPending.load(); }
    // Called once the new run's item list is built.
    void itemsRebuilt() { m_bItemsPending = false; }

    // The stop gate of stopAll: while it is closed the choosers hand out
    // nothing and commands are held back, to be queued in their order when
    // it opens; only the ends of the workers being stopped are dropped. It
    // is not the page's pause: it drops no command of the page and ends no
    // pause set meanwhile. Nested stops keep it closed until the last.
    void closeStopGate();
    void openStopGate();
    bool stopGateClosed() const { return m_nStopGate.load() > 0; }

    // ---- progress and phases
    // The lowest state of the counted items (ITEM_STATE_COPIED when none);
    // raises boards 1 to 3 to the done bytes of every phase.
    int calcProgressState();
    void calcTotals();
    void checkPhaseComplete();
    void checkMediumFiles();
    bool validateSplitPieces(InfFileUpdate* item);
    bool isSkipCopy(InfFileUpdate* item);

    // ---- scheduling (command thread)
    void dispatchByState(int lowest, transfer_page* page);
    void scheduleNext(int lowest);
    void startDownloads();
    void startUnzip();
    void startCopy();
    // The caller holds the task mutex.
    transfer_task* nextDownloadTask(bool wholeFilesFirst);
    transfer_task* nextUnzipTask();
    void finishDownloadedItem(InfFileUpdate* item);
    void onDownloadPhaseDone();
    // The unzip worker's check of a downloaded item failed and its files
    // were deleted: the item goes back to be downloaded (every piece), at
    // most kCheckResetsPerRun times a run. After that it stays failed and
    // is not taken again until the page starts over.
    void onCheckFailed(InfFileUpdate* item);
    // The item's check failed more often than a run allows.
    bool checkGivenUp(InfFileUpdate* item);
    static constexpr int kCheckResetsPerRun = 3;

    // ---- task records
    // The task of list for item and piece, created when missing and made
    // ready (running 1, counts 0, state 1). Null while quit is set or while
    // the record's worker still runs.
    transfer_task* getOrCreateTask(transfer_task_list& list, InfFileUpdate* item, int piece);
    transfer_task* findTask(transfer_task_list& list, InfFileUpdate* item, int piece);
    // True when a worker still runs on a local file the task would use (two
    // items of one name in one folder): that task waits until it has ended,
    // so no file is written or deleted by two workers at once. The caller
    // holds the list mutex.
    bool sharesAFileWithALiveTask(InfFileUpdate* item, int piece, task_kind kind);
    // update_item_engine: drops every task of the item from the three lists.
    void removeItemRecords(InfFileUpdate* item) override;
    void lockTasks() override { m_taskMutex.lock(); }
    void unlockTasks() override { m_taskMutex.unlock(); }

    // ---- thread procedures
    static UINT Thread_Function(LPVOID param);
    static UINT ComputeThread_Function(LPVOID param);
    static UINT FormatThread_Function(LPVOID param);

    // Runs one command from the queue on the command thread (not ticks).
    void runCommand(const function_command& command);
    // Waits for the thread behind handle at most ms milliseconds, pumping
    // messages, then closes the handle; true when it had ended.
    static bool waitThread(HANDLE& handle, DWORD ms);

    ~function_manager() override;

    // ---- fields other parts of the program read or set
    observer_list m_observers;
    std::atomic<int> m_nState{FM_STATE_IDLE};
    std::atomic<int> m_nPaused{0};
    std::atomic<int> m_nStopGate{0};
    // Commands posted while the stop gate is closed; under the queue mutex.
    std::deque<function_command> m_heldCommands;
    std::atomic<int> m_nQuit{0};
    int m_nLowestState = 0;
    int m_nHighestState = 0;
    score_board* m_pBoards[4] = {};
    CWinThread* m_pCommandThread = nullptr;
    CWinThread* m_pComputeThread = nullptr;
    CWinThread* m_pFormatThread = nullptr;
    // Handles of our own on those threads: the thread objects delete
    // themselves when their thread ends.
    HANDLE m_hCommandThread = nullptr;
    HANDLE m_hComputeThread = nullptr;
    HANDLE m_hFormatThread = nullptr;
    HANDLE m_hEvent = nullptr;
    std::deque<function_command> m_queue;
    std::mutex m_queueMutex;
    std::recursive_mutex m_taskMutex;
    std::mutex m_listMutex;
    transfer_task_list m_downloadTasks;
    transfer_task_list m_unzipTasks;
    transfer_task_list m_copyTasks;
    // Records taken off the lists while the engine runs: a queued end
    // command or a worker may still point at them.
    transfer_task_list m_retiredTasks;
    transfer_page* m_pPage = nullptr;
    std::atomic<int> m_nFormatRequested{0};
    std::atomic<int> m_nDownloadDone{0};
    std::atomic<int> m_nUnzipDone{0};
    std::atomic<int> m_nCopyDone{0};
    std::atomic<int> m_nPlatformFolder{0};
    std::atomic<int> m_nFormatting{0};
    std::atomic<wchar_t> m_chDrive{0};
    DWORD m_dwStartTick = 0;
    std::atomic<bool> m_bRun{false};
    // Idle ticks since the last schedule; the schedule runs on every 9th.
    int m_nTickCount = 0;
    // The current run (raised by reset), the run of the command the command
    // thread is carrying out (0 between commands), and that thread's id.
    std::atomic<unsigned> m_nRun{1};
    std::atomic<unsigned> m_nCommandRun{0};
    DWORD m_dwCommandThreadId = 0;
    std::atomic<bool> m_bItemsPending{false};
    // Failed checks per item in this run; under the task mutex.
    std::map<const InfFileUpdate*, int> m_checkResets;

    function_manager(const function_manager&) = delete;
    function_manager& operator=(const function_manager&) = delete;

private:
    function_manager();
    task_kind kindOf(const transfer_task_list& list) const;
    void start();
    void loop();
    // Takes the next command (an idle tick when none); false for one of an
    // earlier run, which is dropped.
    bool takeCommand(function_command& command);
    void onTick();
    // Effects of the commands, one per code (function_manager_commands.cpp).
    void onStart(transfer_page* page);
    void onFormat(int parameter, transfer_page* page);
    void onRestart();
    void onFormatDone();
    void onBeginTransfer(transfer_page* page);
    void onDownloadDone(transfer_task* task);
    void onWorkerDone();
    // Starts a compute or format thread for the page; the handle is ours.
    bool startPageThread(AFX_THREADPROC proc, const char* name, transfer_page* page, CWinThread*& thread,
                         HANDLE& handle);
};
