#pragma once
// The worker threads of the transfer engine: up to three download threads,
// one unzip and one copy thread, each started for one transfer_task, and the
// engine's file-removal helpers. A slot stays taken until its thread has
// ended (the slot keeps a handle of its own), so a task record is never
// used by two threads at once.
#include "afx/thread.h"
#include "engine/function_manager.h"

#include <atomic>
#include <mutex>
#include <vector>

constexpr int MAX_DOWNLOAD_THREADS = 3;

class worker_manager {
public:
    enum { SLOT_UNZIP = 3, SLOT_COPY = 4, SLOT_COUNT = 5 };

    static worker_manager* getInstance();

    // Slot counts for a processor count (the object uses the machine's).
    void setProcessorCount(int processors);

    // Starts a download thread for the task: in the requested slot when it
    // is the first free one or none is free, else in the first free one.
    bool startDownloadThread(int slot, transfer_task* task);
    bool startUnzipThread(transfer_task* task);
    bool startCopyThread(transfer_task* task);
    // True when no thread holds the slot; a thread that has ended is
    // released here.
    bool isSlotFree(int slot);
    // The first free download slot within the download slot count, or -1.
    int firstFreeDownloadSlot();

    // A worker's end: the slot is released and the end command queued.
    // False for a null task or a task that is not of that slot kind.
    bool onDownloadFinished(transfer_task* task, int error);
    bool onUnzipFinished(transfer_task* task, int code);
    bool onCopyFinished(transfer_task* task, int code);

    // Pauses the command queue, stops and waits (bounded, pumping) for the
    // worker threads, forgets them and un-pauses.
    void stopAll();

    // DeleteFile; a file held by another handle goes to a short-lived
    // thread that keeps trying (true at once).
    bool removeFile(const CString& path);
    // Remove threads that have not ended yet.
    static int removeThreadsRunning();
    // Retries while the file is shared, pumping messages, for budgetMs.
    bool deleteFileRetry(int budgetMs, const CString& path);
    // Deletes what the path names (a file, or a folder tree).
    void deleteFolder(const CString& path);
    // Closes this process's handles on the file at path, or below the
    // folder at path (::closeOwnHandles), unless more task records than
    // the caller's own (ownTasks) whose worker still runs work there:
    // their handles are the engine's own, and a closed value is reused, so
    // the worker's writes would land in another file. False when refused
    // or when the handle table could not be read.
    bool closeOwnHandles(const CString& path, int ownTasks = 0);
    // How many task records whose worker still runs work on a file at path
    // or below it (a download's file or piece, an unzip's package and file,
    // a copy's source and its file on the medium).
    int liveTasksOnPath(const CString& path);
    // The files a task of a list works on, under root (download folder or
    // medium): a download its file or piece, an unzip the item's package
    // and file, a copy its source (and, with medium, its target there).
    static std::vector<CString> taskFiles(task_kind kind, const InfFileUpdate* item, int piece, const CString& root,
                                          const CString& medium = CString());
    static void SetThreadName(CWinThread* thread, const char* name);

    static UINT DownloadThread_Function(LPVOID param);
    static UINT UnzipThread_Function(LPVOID param);
    static UINT CopyThread_Function(LPVOID param);
    static UINT RemoveThread_Function(LPVOID param);

    // The running download thread count (tests and the benchmarks).
    int busyDownloadSlots();

    CString m_strDownloadFolder;
    int m_nDownloadSlots = 0;
    int m_nUnzipSlots = 0;
    int m_nCopySlots = 0;

    struct slot {
        std::atomic<CWinThread*> thread{nullptr};
        HANDLE handle = nullptr;
        std::atomic<transfer_task*> task{nullptr};
        // The worker has reported its end; the thread is about to end.
        std::atomic<bool> reported{false};
    };
    slot m_slots[SLOT_COUNT];

    worker_manager(const worker_manager&) = delete;
    worker_manager& operator=(const worker_manager&) = delete;

private:
    worker_manager();
    ~worker_manager();
    bool reapSlot(int slot);
    bool startWorker(int slot, AFX_THREADPROC proc, const char* name, transfer_task* task);
    bool finish(transfer_task* task, int firstSlot, int lastSlot, int command, int parameter);
    // Marks the slots that hold the task's thread as reported; true if any.
    bool markReported(transfer_task* task, int firstSlot, int lastSlot);
    // Clears the task's running flag and lets go of the record.
    static void releaseTask(transfer_task* task);

    // Guards taking and releasing the slots' handles (the command thread
    // and stopAll's caller may look at a slot at once).
    std::recursive_mutex m_slotLock;
};
