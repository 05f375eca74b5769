// The command object's queue, the boards, the retry rule, the session ring,
// thread names and the file-removal helpers.
#include "afx/thread.h"
#include "engine/close_own_handles.h"
#include "engine/download_manager.h"
#include "engine/download_retry.h"
#include "engine/function_manager.h"
#include "engine/scoped_timer.h"
#include "engine/thread_name.h"
#include "engine/unzip_worker.h"
#include "engine/worker_manager.h"
#include "tests/engine/control_fixtures.h"
#include "tests/engine/engine_fixtures.h"
#include "tests/support/test_support.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

namespace {

struct PostCase {
    int code;
    int parameter;
    WPARAM module;  // 0: no message
    LPARAM detail;
};

}  // namespace

TEST(FunctionManager, FailedDownloadEndsReachTheListenersAtOnce) {
    FakePage page;
    function_manager* fm = function_manager::getInstance();
    fm->m_observers.add(page.hwnd());
    const PostCase cases[] = {
        {FM_CMD_DOWNLOAD_DONE, INET_STOPPED, MODULE_DOWNLOAD, MODULE_ERROR_DOWNLOAD},
        {FM_CMD_DOWNLOAD_DONE, 1001, MODULE_DOWNLOAD, MODULE_ERROR_DOWNLOAD},
        {FM_CMD_DOWNLOAD_DONE, 1009, MODULE_DOWNLOAD, MODULE_ERROR_DOWNLOAD},
        {FM_CMD_DOWNLOAD_DONE, 1011, MODULE_DOWNLOAD, MODULE_ERROR_DOWNLOAD},
        {FM_CMD_DOWNLOAD_DONE, 1015, MODULE_DOWNLOAD, MODULE_ERROR_DOWNLOAD},
        // A refused certificate is an error the user must see, not a silent
        // retry for ever.
        {FM_CMD_DOWNLOAD_DONE, INET_ERROR_CERTIFICATE, MODULE_DOWNLOAD, MODULE_ERROR_DOWNLOAD},
        {FM_CMD_DOWNLOAD_DONE, INET_ERROR_NOT_CONNECTED, MODULE_OFFLINE, 0},
        {FM_CMD_DOWNLOAD_DONE, 1, 0, 0},
        {FM_CMD_DOWNLOAD_DONE, 1010, 0, 0},
        {FM_CMD_DOWNLOAD_DONE, 1016, 0, 0},
        {FM_CMD_DOWNLOAD_DONE, 1017, 0, 0},
    };
    for (const PostCase& c : cases) {
        page.clear();
        fm->postCommand(c.code, c.parameter, nullptr);
        // Sent, not posted: it is there when postCommand returns.
        std::vector<FakePage::Record> got = page.records();
        if (c.module == 0) {
            EXPECT_TRUE(got.empty()) << "parameter " << c.parameter;
        } else {
            ASSERT_EQ(got.size(), 1u) << "parameter " << c.parameter;
            EXPECT_EQ(got[0].message, UM_MODULE_ERROR);
            EXPECT_EQ(got[0].wParam, c.module) << "parameter " << c.parameter;
            EXPECT_EQ(got[0].lParam, c.detail) << "parameter " << c.parameter;
        }
    }
    fm->m_observers.remove(page.hwnd());
    page.clear();
    fm->postCommand(FM_CMD_DOWNLOAD_DONE, 1001, nullptr);
    EXPECT_TRUE(page.records().empty()) << "a removed window hears nothing";
}

TEST(FunctionManager, PauseDropsEveryCommandButIdle) {
    function_manager* fm = function_manager::getInstance();
    auto queued = [fm] {
        std::lock_guard<std::mutex> lock(fm->m_queueMutex);
        return fm->m_queue.size();
    };
    fm->postCommand(FM_CMD_PAUSE, 0, nullptr);
    EXPECT_EQ(fm->m_nPaused.load(), 1);
    EXPECT_NE(fm->m_nState.load(), FM_STATE_PAUSED);
    fm->postCommand(7, 0, nullptr);
    fm->postCommand(FM_CMD_BEGIN_TRANSFER, 0, nullptr);
    EXPECT_EQ(queued(), 0u);
    fm->postCommand(FM_CMD_IDLE, 0, nullptr);
    EXPECT_EQ(fm->m_nPaused.load(), 0);
    EXPECT_EQ(queued(), 0u) << "the idle that ends a pause is not queued";
}

TEST(FunctionManager, OneObjectStartedOnceWithItsThread) {
    function_manager* first = nullptr;
    std::thread other([&] { first = function_manager::getInstance(); });
    function_manager* second = function_manager::getInstance();
    other.join();
    EXPECT_EQ(first, second);
    ASSERT_NE(second->m_hCommandThread, nullptr);
    EXPECT_EQ(WaitForSingleObject(second->m_hCommandThread, 0), static_cast<DWORD>(WAIT_TIMEOUT));
    // A stopwatch's one effect is the engine; its start tick lies behind.
    scoped_timer timer(L"Test", __FILE__, __LINE__, __func__);
    EXPECT_LE(second->m_dwStartTick, GetTickCount());
    wchar_t text[64];
    scoped_timer::formatSince(1000, 1000 + 62345, text, 64);
    EXPECT_STREQ(text, L"start-1:02.345");
}

TEST(FunctionManager, TaskRecordsAreReusedButNeverWhileTheirWorkerRuns) {
    function_manager* fm = function_manager::getInstance();
    InfFileUpdate item;
    transfer_task_list list;
    transfer_task* task = fm->getOrCreateTask(list, &item, 2);
    ASSERT_NE(task, nullptr);
    EXPECT_EQ(task->state.load(), 1);
    EXPECT_TRUE(task->running.load());
    task->state = 2;
    task->bytesDone = 77;
    EXPECT_EQ(fm->getOrCreateTask(list, &item, 2), task);
    EXPECT_EQ(task->bytesDone.load(), 0u);
    EXPECT_EQ(fm->findTask(list, &item, 1), nullptr);
    task->live = true;
    EXPECT_EQ(fm->getOrCreateTask(list, &item, 2), nullptr);
    task->live = false;
    delete task;
}

TEST(FunctionManager, ChoosersRacingForOnePieceShareOneRecord) {
    // The command thread and the copy thread's medium check may ask for the
    // same piece at once: one record, whoever looks first.
    function_manager* fm = function_manager::getInstance();
    InfFileUpdate item;
    for (int round = 0; round < 200; ++round) {
        transfer_task_list list;
        std::atomic<bool> go{false};
        transfer_task* got[4] = {};
        std::vector<std::thread> choosers;
        for (transfer_task*& result : got) {
            choosers.emplace_back([&] {
                while (!go) std::this_thread::yield();
                result = fm->getOrCreateTask(list, &item, 0);
            });
        }
        go = true;
        for (std::thread& t : choosers) t.join();
        ASSERT_EQ(list.size(), 1u) << "round " << round;
        for (transfer_task* result : got) EXPECT_EQ(result, list[0]);
        delete list[0];
    }
}

TEST(FunctionManager, ClearingTheItemListDropsItsTasks) {
    function_manager* fm = function_manager::getInstance();
    InfFileUpdate gone, kept;
    transfer_task* download = nullptr;
    transfer_task* copy = nullptr;
    transfer_task* other = nullptr;
    {
        std::lock_guard<std::recursive_mutex> lock(fm->m_taskMutex);
        download = fm->getOrCreateTask(fm->m_downloadTasks, &gone, -1);
        copy = fm->getOrCreateTask(fm->m_copyTasks, &gone, 0);
        other = fm->getOrCreateTask(fm->m_unzipTasks, &kept, 0);
        fm->removeItemRecords(&gone);
    }
    EXPECT_EQ(fm->findTask(fm->m_downloadTasks, &gone, -1), nullptr);
    EXPECT_EQ(fm->findTask(fm->m_copyTasks, &gone, 0), nullptr);
    EXPECT_EQ(fm->findTask(fm->m_unzipTasks, &kept, 0), other);
    // A queued end command may still name a dropped record: it stays
    // allocated, stopped and without its item.
    EXPECT_FALSE(download->running.load());
    EXPECT_EQ(copy->item, nullptr);
    fm->removeItemRecords(&kept);
}

TEST(ScoreBoard, CountersAndFlag) {
    score_board board;
    board.setCurrentSize(100);
    board.addCurrentSize(-40);
    EXPECT_EQ(board.getCurrentSize(), 60u);
    board.raiseCurrentSize(50);
    EXPECT_EQ(board.getCurrentSize(), 60u) << "bytes added by workers are not taken back";
    board.raiseCurrentSize(90);
    EXPECT_EQ(board.getCurrentSize(), 90u);
    board.setFlag(1);
    board.setTotalCount(3);
    board.reset();
    EXPECT_EQ(board.getTotalCount(), 0u);
    EXPECT_EQ(board.takeFlag(), 1) << "reset leaves the flag";
    EXPECT_EQ(board.takeFlag(), 0);

    // Three download threads add at once: no byte is lost.
    std::vector<std::thread> threads;
    for (int t = 0; t < 3; ++t) {
        threads.emplace_back([&] {
            for (int i = 0; i < 100000; ++i) board.addCurrentSize(3);
        });
    }
    for (auto& t : threads) t.join();
    EXPECT_EQ(board.getCurrentSize(), 900000u);
    EXPECT_EQ(&score_board::getBoards()[4], score_board::getBoards() + 4);
}

TEST(ScoreBoard, UnzipCallbackCountsPast2GiBAndTakesAStoppedEntryBack) {
    score_board board;
    board.setCurrentSize(1000);
    RunFlag running{true};
    unzip_progress progress;
    progress.flags.first = &running;
    progress.board = &board;
    const int chunk = 65535;
    const int calls = 40000;  // about 2.6 GB for one entry
    int sum32 = 0;
    for (int i = 0; i < calls; ++i) {
        sum32 = static_cast<int>(static_cast<unsigned>(sum32) + chunk);  // the archive's own running sum
        ASSERT_TRUE(unzipProgressCallback(chunk, sum32, &progress));
    }
    EXPECT_EQ(board.getCurrentSize(), 1000u + static_cast<ULONGLONG>(chunk) * calls);
    running = false;
    EXPECT_FALSE(unzipProgressCallback(chunk, sum32, &progress));
    EXPECT_EQ(board.getCurrentSize(), 1000u);

    EXPECT_FALSE(unzipProgressCallback(1, 1, nullptr));
    unzip_progress boardless;
    EXPECT_TRUE(unzipProgressCallback(1, 1, &boardless));
}

TEST(DownloadRetry, AttemptCounts) {
    // Each case lists the errors of every attempt; the last one ends them.
    const int send = INET_ERROR_SEND_REQUEST;
    const std::vector<int> cases[] = {
        {1014, 1014, 1014},
        {send, send, send, send, send, send, send, send, send, send},
        {1009, 1009, send, send, send, send, send, send, send, send, send, 1014},
        {1009, 1009, send, send, send, send, send, send, send, send, send, send},
        {0, 0, 0},
    };
    for (const std::vector<int>& errors : cases) {
        download_retry retry;
        for (size_t i = 0; i < errors.size(); ++i) {
            EXPECT_EQ(retry.afterFailure(errors[i]), i + 1 < errors.size())
                << "attempt " << i + 1 << " of " << errors.size();
        }
    }
    download_retry retry;
    retry.afterFailure(send);
    EXPECT_EQ(retry.waitRounds() * retry.waitMs(), 5000u);
    retry.afterFailure(1014);
    EXPECT_EQ(retry.waitRounds() * retry.waitMs(), 500u);
}

TEST(DownloadSession, RingOfFlagsWraps) {
    download_manager* dm = download_manager::getInstance();
    dm->start();
    const RunFlag* first = dm->currentSessionFlag();
    const int firstIndex = dm->sessionIndex();
    EXPECT_TRUE(first->load());
    dm->stop();
    EXPECT_FALSE(first->load());
    EXPECT_FALSE(dm->m_bActive.load());
    for (int i = 0; i < download_manager::SESSION_FLAGS - 1; ++i) {
        dm->start();
        EXPECT_FALSE(first->load()) << "an old thread's session stays stopped";
        dm->stop();
    }
    dm->start();
    EXPECT_EQ(dm->sessionIndex(), firstIndex);
    EXPECT_EQ(dm->currentSessionFlag(), first);
    EXPECT_TRUE(first->load());
    dm->stop();
    // 31 wraps to 0.
    while (dm->sessionIndex() != download_manager::SESSION_FLAGS - 1) {
        dm->start();
        dm->stop();
    }
    dm->start();
    EXPECT_EQ(dm->sessionIndex(), 0);
    dm->stop();
}

TEST(WorkerManager, SlotCountsFollowTheProcessors) {
    worker_manager* wm = worker_manager::getInstance();
    const int counts[][2] = {{1, 1}, {2, 2}, {3, 3}, {4, 3}, {16, 3}};
    for (const auto& c : counts) {
        wm->setProcessorCount(c[0]);
        EXPECT_EQ(wm->m_nDownloadSlots, c[1]);
        EXPECT_EQ(wm->m_nUnzipSlots, 1);
        EXPECT_EQ(wm->m_nCopySlots, 1);
    }
}

TEST(ThreadName, NamedWithoutADebugger) {
    ASSERT_FALSE(IsDebuggerPresent());
    CWinThread* thread = AfxBeginThread([](LPVOID) -> UINT { return 0; }, nullptr, THREAD_PRIORITY_NORMAL, 0,
                                        CREATE_SUSPENDED);
    ASSERT_NE(thread, nullptr);
    thread->m_bAutoDelete = FALSE;
    SetThreadName(thread, "DownloadThread_Function");
    SetThreadName(nullptr, "x");
    SetThreadName(thread, nullptr);
    using GetThreadDescriptionFn = HRESULT(WINAPI*)(HANDLE, PWSTR*);
    auto get = reinterpret_cast<GetThreadDescriptionFn>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "GetThreadDescription"));
    if (get) {
        PWSTR text = nullptr;
        ASSERT_TRUE(SUCCEEDED(get(thread->m_hThread, &text)));
        CString expected;
        expected.Format(L"* DownloadThread_Function (0x%x)", thread->m_nThreadID);
        EXPECT_EQ(CString(text), expected);
        LocalFree(text);
    }
    thread->ResumeThread();
    // Deleted only once it ended.
    ASSERT_EQ(WaitForSingleObject(thread->m_hThread, 120000), static_cast<DWORD>(WAIT_OBJECT_0));
    delete thread;
}

namespace {

HANDLE holdFile(const CString& path) {
    return CreateFileW(path.GetString(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
}

bool handleOpen(HANDLE h) {
    DWORD flags = 0;
    return GetHandleInformation(h, &flags) != FALSE;
}

}  // namespace

TEST(FileRemoval, CloseOwnHandlesOnAFileAndOnAFolder) {
    TempDir dir;
    CreateDirectoryW((dir / L"sub").GetString(), nullptr);
    HANDLE a = holdFile(dir / L"sub\\a.bin");
    HANDLE b = holdFile(dir / L"sub\\b.bin");
    HANDLE outside = holdFile(dir / L"c.bin");
    ASSERT_NE(a, INVALID_HANDLE_VALUE);

    EXPECT_TRUE(closeOwnHandles(dir / L"sub\\a.bin"));
    EXPECT_FALSE(handleOpen(a));
    EXPECT_TRUE(handleOpen(b));
    EXPECT_TRUE(DeleteFileW((dir / L"sub\\a.bin").GetString()));

    EXPECT_TRUE(closeOwnHandles(dir / L"sub"));
    EXPECT_FALSE(handleOpen(b));
    EXPECT_TRUE(handleOpen(outside)) << "a file beside the folder is not touched";
    // A handle that is no file is left alone.
    HANDLE event = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    EXPECT_TRUE(closeOwnHandles(dir.path()));
    EXPECT_TRUE(handleOpen(event));
    CloseHandle(event);
}

TEST(FileRemoval, RemoveFileOnAHeldFile) {
    TempDir dir;
    const CString path = dir / L"held.bin";
    worker_manager* wm = worker_manager::getInstance();
    EXPECT_FALSE(wm->removeFile(dir / L"missing.bin"));

    writeBytes(dir / L"free.bin", "x");
    EXPECT_TRUE(wm->removeFile(dir / L"free.bin"));
    EXPECT_FALSE(fileExists(dir / L"free.bin"));

    HANDLE held = holdFile(path);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    EXPECT_TRUE(wm->removeFile(path)) << "handed to the remove thread";
    EXPECT_TRUE(fileExists(path));
    CloseHandle(held);
    EXPECT_TRUE(waitUntil([&] { return !fileExists(path); }, 10000));

    // The remove thread deletes the file it was handed, never a new one
    // made at the same path meanwhile.
    held = holdFile(path);
    EXPECT_TRUE(wm->removeFile(path));
    CloseHandle(held);
    DeleteFileW(path.GetString());
    // While the remove thread still has the old file open its delete is
    // pending and the name cannot be taken: the new file is made once that
    // handle is closed.
    ASSERT_TRUE(waitUntil([&] { return writeBytes(path, "new content"); }, 10000));
    // Until the thread has ended it may still meet the new file.
    EXPECT_TRUE(waitUntil([] { return worker_manager::removeThreadsRunning() == 0; }, 10000));
    EXPECT_EQ(readBytes(path), "new content");
}

namespace {

// Two items of one name in one folder, and one of another name; their
// task records are dropped at the end.
struct SameFolderItems {
    OwnedItem first{ItemRow{L"a.dat"}};
    OwnedItem twin{ItemRow{L"a.dat"}};
    OwnedItem other{ItemRow{L"b.dat"}};
    ~SameFolderItems() {
        function_manager* fm = function_manager::getInstance();
        std::lock_guard<std::recursive_mutex> tasks(fm->m_taskMutex);
        for (InfFileUpdate* item : {first.get(), twin.get(), other.get()}) fm->removeItemRecords(item);
    }
};

transfer_task_list& listOf(function_manager* fm, task_kind kind) {
    return kind == task_kind::download ? fm->m_downloadTasks
                                       : kind == task_kind::unzip ? fm->m_unzipTasks : fm->m_copyTasks;
}

}  // namespace

TEST(LiveWorkers, ATaskWaitsForTheWorkerOnItsFile) {
    function_manager* fm = function_manager::getInstance();
    struct Case {
        const char* what;
        task_kind running;
        bool twin;  // the second task is the twin's (same file), else the other item's
        task_kind wanted;
        bool waits;
    } cases[] = {
        {"a download of the same file", task_kind::download, true, task_kind::download, true},
        {"an unzip of the same file", task_kind::download, true, task_kind::unzip, true},
        {"a copy from the same file", task_kind::unzip, true, task_kind::copy, true},
        {"a download of the same file while it is copied", task_kind::copy, true, task_kind::download, true},
        {"a download of another file", task_kind::download, false, task_kind::download, false},
    };
    for (const Case& c : cases) {
        SameFolderItems items;
        ASSERT_TRUE(items.first.ok() && items.twin.ok() && items.other.ok());
        std::lock_guard<std::recursive_mutex> tasks(fm->m_taskMutex);
        transfer_task* worker = fm->getOrCreateTask(listOf(fm, c.running), items.first.get(), -1);
        ASSERT_NE(worker, nullptr) << c.what;
        worker->live = true;
        InfFileUpdate* second = c.twin ? items.twin.get() : items.other.get();
        transfer_task* next = fm->getOrCreateTask(listOf(fm, c.wanted), second, -1);
        EXPECT_EQ(next == nullptr, c.waits) << c.what;
        worker->live = false;
        EXPECT_NE(fm->getOrCreateTask(listOf(fm, c.wanted), second, -1), nullptr) << c.what << ": once it has ended";
    }
}

TEST(LiveWorkers, HandlesOfALiveWorkerAreNeverClosedByPath) {
    TempDir dir;
    function_manager* fm = function_manager::getInstance();
    worker_manager* wm = worker_manager::getInstance();
    const CString savedFolder = wm->m_strDownloadFolder;
    wm->m_strDownloadFolder = dir.path();
    SameFolderItems items;
    ASSERT_TRUE(items.first.ok());
    const CString path = items.first->getFilePath(dir.path());
    ASSERT_TRUE(writeFileAt(path, "part"));
    transfer_task* worker = nullptr;
    {
        std::lock_guard<std::recursive_mutex> tasks(fm->m_taskMutex);
        worker = fm->getOrCreateTask(fm->m_downloadTasks, items.first.get(), -1);
    }
    ASSERT_NE(worker, nullptr);
    worker->live = true;
    // The worker's own handle on its file.
    HANDLE held = holdFile(path);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    EXPECT_EQ(wm->liveTasksOnPath(path), 1);
    EXPECT_EQ(wm->liveTasksOnPath(dir.path()), 1) << "a folder counts the workers below it";

    struct Case {
        const char* what;
        CString path;
        int ownTasks;
    } cases[] = {
        {"the file", path, 0},
        {"the file, with / and a doubled separator", path.Left(path.ReverseFind(L'\\')) + L"/\\a.dat", 0},
        {"the download folder", dir.path(), 0},
    };
    for (const Case& c : cases) {
        EXPECT_FALSE(wm->closeOwnHandles(c.path, c.ownTasks)) << c.what;
        EXPECT_TRUE(handleOpen(held)) << c.what;
    }
    // The download asking for its own file: one live task is itself.
    EXPECT_TRUE(wm->closeOwnHandles(path, 1));
    EXPECT_FALSE(handleOpen(held)) << "no other worker on it: the forgotten handle goes";

    held = holdFile(path);
    worker->live = false;
    EXPECT_TRUE(wm->closeOwnHandles(dir.path()));
    EXPECT_FALSE(handleOpen(held)) << "no live worker: closed";
    wm->m_strDownloadFolder = savedFolder;
}

TEST(FileRemoval, DeleteFileRetryWaitsWhileShared) {
    TempDir dir;
    const CString path = dir / L"shared.bin";
    HANDLE held = holdFile(path);
    worker_manager* wm = worker_manager::getInstance();
    EXPECT_FALSE(wm->deleteFileRetry(0, path));
    std::thread release([held] {
        Sleep(300);
        CloseHandle(held);
    });
    // The budget only bounds a fault: the removal ends once the file is free.
    EXPECT_TRUE(wm->deleteFileRetry(120000, path));
    release.join();
    EXPECT_FALSE(fileExists(path));
}
