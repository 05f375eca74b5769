// The command thread's commands, ticks, dispatch and phases. The thread is
// held inside a page routine (a gate) while a test looks at the queue, so
// what a command queues is seen before the thread takes it.
#include "engine/copy_manager.h"
#include "engine/engine_control.h"
#include "engine/function_manager.h"
#include "engine/score_board.h"
#include "engine/transfer_rules.h"
#include "engine/worker_manager.h"
#include "tests/engine/control_fixtures.h"
#include "tests/engine/control_page.h"
#include "tests/engine/engine_fixtures.h"
#include "tests/engine/pipeline_support.h"
#include "tests/support/test_support.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace {

// Holds the command thread in beginTransfer until released.
class Gate : public transfer_page {
public:
    Gate() : m_entered(CreateEventW(nullptr, TRUE, FALSE, nullptr)), m_release(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}
    ~Gate() override {
        CloseHandle(m_entered);
        CloseHandle(m_release);
    }
    int beginTransfer() override {
        SetEvent(m_entered);
        WaitForSingleObject(m_release, 20000);
        return 1;
    }
    void computeAndInitDownload() override {}
    void StartCarCopy() override {}
    bool waitEntered() { return WaitForSingleObject(m_entered, 10000) == WAIT_OBJECT_0; }
    void release() { SetEvent(m_release); }

private:
    HANDLE m_entered;
    HANDLE m_release;
};

void copy_manager_base(const CString& path) {
    copy_manager::getInstance()->setBasePath(path);
}

function_command cmd(int code, int parameter = 0, void* pointer = nullptr) {
    function_command c;
    c.code = code;
    c.parameter = parameter;
    c.pointer = pointer;
    return c;
}

// Whatever fails, a held compute routine is let go and its thread has
// ended before the page goes.
struct ComputeLetGo {
    ControlPage& page;
    ~ComputeLetGo() {
        page.holdCompute = false;
        waitEngineIdle(10000);
    }
};

class HeldEngine : public ::testing::Test {
protected:
    void SetUp() override {
        engine = function_manager::getInstance();
        engine->reset();
        gate = std::make_unique<Gate>();
        engine->postCommand(FM_CMD_BEGIN_TRANSFER, 0, gate.get());
        ASSERT_TRUE(gate->waitEntered());
    }

    void TearDown() override {
        clearQueue();
        engine->m_nState = FM_STATE_IDLE;
        engine->m_nPaused = 0;
        // A last gate behind the held command: once the thread enters it,
        // the held command has ended and nothing else is queued.
        Gate last;
        engine->postCommand(FM_CMD_BEGIN_TRANSFER, 0, &last);
        gate->release();
        EXPECT_TRUE(last.waitEntered());
        last.release();
        // reset() waits for the last gate's command to end.
        engine->reset();
    }

    // Queues the commands and a new gate, lets the thread run them and
    // holds it again at the new gate.
    void run(const std::vector<function_command>& commands) {
        auto next = std::make_unique<Gate>();
        {
            std::lock_guard<std::mutex> lock(engine->m_queueMutex);
            for (const function_command& c : commands) engine->m_queue.push_back(c);
            engine->m_queue.push_back(cmd(FM_CMD_BEGIN_TRANSFER, 0, next.get()));
        }
        SetEvent(engine->m_hEvent);
        gate->release();
        ASSERT_TRUE(next->waitEntered());
        retired.push_back(std::move(gate));
        gate = std::move(next);
    }

    std::vector<int> queued() {
        std::lock_guard<std::mutex> lock(engine->m_queueMutex);
        std::vector<int> codes;
        for (const function_command& c : engine->m_queue) codes.push_back(c.code);
        return codes;
    }

    void clearQueue() {
        std::lock_guard<std::mutex> lock(engine->m_queueMutex);
        engine->m_queue.clear();
    }

    function_manager* engine = nullptr;
    std::unique_ptr<Gate> gate;
    std::vector<std::unique_ptr<Gate>> retired;
};

TEST_F(HeldEngine, DispatchByLowestState) {
    struct Case {
        int lowest;
        std::vector<int> queued;
    } cases[] = {
        {0, {FM_CMD_START}},   {1, {FM_CMD_START}},   {2, {FM_CMD_START}},   {3, {FM_CMD_START}},
        {4, {}},               {99, {}},              {100, {FM_CMD_BEGIN_TRANSFER}}, {102, {FM_CMD_BEGIN_TRANSFER}},
        {103, {}},             {199, {}},             {200, {FM_CMD_BEGIN_TRANSFER}}, {202, {FM_CMD_BEGIN_TRANSFER}},
        {203, {}},             {300, {FM_CMD_BEGIN_TRANSFER}}, {302, {FM_CMD_BEGIN_TRANSFER}},
        {303, {}},             {-1, {}},
    };
    Gate page;
    for (const Case& c : cases) {
        clearQueue();
        engine->m_pPage = &page;
        engine->dispatchByState(c.lowest, &page);
        EXPECT_EQ(queued(), c.queued) << c.lowest;
        if (!c.queued.empty() && c.queued[0] == FM_CMD_START) {
            EXPECT_EQ(engine->m_pPage, nullptr) << c.lowest;
        }
    }
}

TEST_F(HeldEngine, PauseDropsAllButIdle) {
    engine->postCommand(FM_CMD_PAUSE, 0, nullptr);
    EXPECT_EQ(engine->m_nPaused.load(), 1);
    engine->postCommand(FM_CMD_START, 0, nullptr);
    engine->postCommand(FM_CMD_DOWNLOAD_DONE, 0, nullptr);
    EXPECT_TRUE(queued().empty());
    engine->postCommand(FM_CMD_IDLE, 0, nullptr);
    EXPECT_EQ(engine->m_nPaused.load(), 0);
    EXPECT_TRUE(queued().empty()) << "the IDLE that ends a pause is not queued";
    engine->postCommand(FM_CMD_START, 0, nullptr);
    EXPECT_EQ(queued(), std::vector<int>{FM_CMD_START});
    EXPECT_NE(engine->m_nState.load(), FM_STATE_PAUSED);
}

TEST_F(HeldEngine, ScheduleRunsOnTheNinthTick) {
    struct Case {
        int ticks;
        bool scheduled;
        int counter;
    } cases[] = {{8, false, 8}, {9, true, 0}, {10, true, 1}};
    for (const Case& c : cases) {
        engine->m_nLowestState = -7;
        std::vector<function_command> ticks(c.ticks, cmd(FM_CMD_IDLE));
        auto next = std::make_unique<Gate>();
        {
            std::lock_guard<std::mutex> lock(engine->m_queueMutex);
            for (const auto& t : ticks) engine->m_queue.push_back(t);
            engine->m_queue.push_back(cmd(FM_CMD_BEGIN_TRANSFER, 0, next.get()));
        }
        // BEGIN_TRANSFER zeroes the counter once its routine returns.
        gate->release();
        ASSERT_TRUE(next->waitEntered());
        retired.push_back(std::move(gate));
        gate = std::move(next);
        EXPECT_EQ(engine->m_nLowestState != -7, c.scheduled) << c.ticks;
        EXPECT_EQ(engine->m_nTickCount, c.counter) << c.ticks;
    }
}

TEST_F(HeldEngine, RestartWithoutAMediumBeginsWithoutAPage) {
    TestVehicle car({{L"a.dat"}});
    car.build();
    car.items()[0]->m_nState = ITEM_STATE_DOWNLOAD_READY;
    engine->m_chDrive = L'R';
    engine->m_nDownloadDone = 1;
    run({cmd(FM_CMD_RESTART, 0, nullptr)});
    EXPECT_EQ(engine->m_chDrive.load(), 0);
    EXPECT_EQ(engine->m_nFormatRequested.load(), 1);
    EXPECT_EQ(engine->m_nDownloadDone.load(), 0);
    std::lock_guard<std::mutex> lock(engine->m_queueMutex);
    ASSERT_EQ(engine->m_queue.size(), 1u);
    EXPECT_EQ(engine->m_queue.front().code, FM_CMD_BEGIN_TRANSFER);
    EXPECT_EQ(engine->m_queue.front().pointer, nullptr);
}

TEST_F(HeldEngine, ProgressAndTotalsOverItemStates) {
    TestVehicle car({
        {L"a.dat", L"100"},
        {L"HTML.exe", L"40"},
        {L"b.idx", L"30", L"1", L"MAP", L"b.zip", L"60", 3},
        {L"zero.dat", L"10", L"0"},  // never transferred: neither counted
    });
    car.build();
    ASSERT_EQ(car.items().size(), 4u);
    for (InfFileUpdate* item : car.items()) item->m_nState = ITEM_STATE_DOWNLOAD_READY;

    score_board* boards = score_board::getBoards();
    engine->calcTotals();
    EXPECT_EQ(boards[BOARD_DOWNLOAD].getTotalSize(), 100u + 40 + 60);
    EXPECT_EQ(boards[BOARD_DOWNLOAD].getTotalCount(), 3u);
    EXPECT_EQ(boards[BOARD_UNZIP].getTotalSize(), 200u + 40) << "a package is extracted twice";
    EXPECT_EQ(boards[BOARD_COPY_TOTALS].getTotalSize(), 100u + 40 + 30);
    EXPECT_EQ(boards[BOARD_COPY_TOTALS].takeFlag(), 1);

    EXPECT_EQ(engine->calcProgressState(), ITEM_STATE_DOWNLOAD_READY);
    car.item(L"a.dat")->m_nState = ITEM_STATE_COPIED;
    car.item(L"HTML.exe")->m_nState = ITEM_STATE_UNZIPPED;
    car.item(L"b.idx")->m_nState = ITEM_STATE_DOWNLOADED;
    EXPECT_EQ(engine->calcProgressState(), ITEM_STATE_DOWNLOADED) << "the item that is never taken does not hold it";
    EXPECT_EQ(engine->m_nHighestState, ITEM_STATE_COPIED);
    EXPECT_EQ(boards[BOARD_DOWNLOAD].getCurrentSize(), 200u);
    EXPECT_EQ(boards[BOARD_UNZIP].getCurrentSize(), 140u);
    EXPECT_EQ(boards[BOARD_COPY_TOTALS].getCurrentSize(), 100u);

    // Bytes the workers added beyond the item states are never taken back.
    boards[BOARD_DOWNLOAD].setCurrentSize(250);
    car.item(L"b.idx")->m_nState = ITEM_STATE_DOWNLOAD_READY;
    engine->calcProgressState();
    EXPECT_EQ(boards[BOARD_DOWNLOAD].getCurrentSize(), 250u);

    ver_file_list::getInstance().clear();
    InfFileUpdateList::getInstance().clear();
    EXPECT_EQ(engine->calcProgressState(), ITEM_STATE_COPIED) << "an empty list has nothing left";
}

TEST_F(HeldEngine, PhaseCompletionByLowestState) {
    ControlPage page(0, {});
    engine->m_observers.add(page.hwnd());
    TestVehicle car({{L"a.dat"}, {L"b.dat"}});
    car.build();
    struct Case {
        const char* what;
        int formatRequested, formatting, state;
        wchar_t drive;
        int lowest;
        int stateAfter;
        std::vector<UINT> posted;
    } cases[] = {
        {"not prepared yet", 0, 0, FM_STATE_TRANSFER, L'R', 303, FM_STATE_TRANSFER, {}},
        {"while formatting", 1, 1, FM_STATE_TRANSFER, L'R', 303, FM_STATE_TRANSFER, {}},
        {"downloads done", 1, 0, FM_STATE_TRANSFER, L'R', 200, FM_STATE_DOWNLOADED, {UM_DOWNLOAD_COMPLETE}},
        {"extracted, medium", 1, 0, FM_STATE_TRANSFER, L'R', 300, FM_STATE_DOWNLOADED,
         {UM_DOWNLOAD_COMPLETE, UM_DOWNLOAD_COMPLETE, UM_UNZIP_COMPLETE}},
        {"extracted, folder", 1, 0, FM_STATE_DOWNLOADED, 0, 300, FM_STATE_FINISHED,
         {UM_DOWNLOAD_COMPLETE, UM_UNZIP_COMPLETE, UM_COPY_COMPLETE}},
        {"copied", 1, 0, FM_STATE_UNZIPPED, L'R', 303, FM_STATE_FINISHED,
         {UM_DOWNLOAD_COMPLETE, UM_UNZIP_COMPLETE, UM_COPY_COMPLETE}},
        {"copied, already finished", 1, 0, FM_STATE_FINISHED, L'R', 303, FM_STATE_FINISHED, {}},
        {"still downloading", 1, 0, FM_STATE_TRANSFER, L'R', 101, FM_STATE_TRANSFER, {}},
    };
    for (const Case& c : cases) {
        for (InfFileUpdate* item : car.items()) item->m_nState = c.lowest;
        engine->m_nFormatRequested = c.formatRequested;
        engine->m_nFormatting = c.formatting;
        engine->m_nState = c.state;
        engine->m_chDrive = c.drive;
        page.clear();
        engine->checkPhaseComplete();
        // Posted messages arrive in order; the check marks the end.
        PostMessageW(page.hwnd(), WM_APP + 99, 0, 0);
        ASSERT_TRUE(page.waitForMessage(WM_APP + 99, 0, 0, 20000));
        std::vector<UINT> posted;
        for (const recorded_message& m : page.messages()) {
            if (m.message != WM_APP + 99) posted.push_back(m.message);
        }
        EXPECT_EQ(posted, c.posted) << c.what;
        EXPECT_EQ(engine->m_nState.load(), c.stateAfter) << c.what;
    }
    engine->m_nFormatting = 0;
}

TEST_F(HeldEngine, MediumFilesAreMeasuredNotTrusted) {
    TestVehicle car({{L"equal.dat"}, {L"short.dat"}, {L"long.dat"}, {L"missing.dat"}, {L"empty.dat"}});
    car.build();
    // On the medium an item lies below its destination without the first
    // folder (R:\MAP\ for CAR\MAP).
    const CString folder = L"R:\\MAP\\";
    removeTree(folder);
    copy_manager_base(L"R:\\");
    for (InfFileUpdate* item : car.items()) item->m_nState = ITEM_STATE_UNZIPPED;
    writeFileAt(folder + L"equal.dat", std::string(10, 'e'));
    writeFileAt(folder + L"short.dat", std::string(4, 's'));
    writeFileAt(folder + L"long.dat", std::string(12, 'l'));
    writeFileAt(folder + L"empty.dat", std::string());

    engine->checkMediumFiles();

    EXPECT_EQ(car.item(L"equal.dat")->m_nState.load(), ITEM_STATE_UNZIPPED) << "left to the copy's CRC check";
    EXPECT_EQ(car.item(L"missing.dat")->m_nState.load(), ITEM_STATE_UNZIPPED);
    EXPECT_EQ(car.item(L"long.dat")->m_nState.load(), ITEM_STATE_UNZIPPED);
    EXPECT_TRUE(waitUntil([&] { return !fileExists(folder + L"long.dat"); }));
    EXPECT_TRUE(fileExists(folder + L"equal.dat"));
    transfer_task* partial = engine->findTask(engine->m_copyTasks, car.item(L"short.dat"), 0);
    ASSERT_NE(partial, nullptr);
    EXPECT_EQ(partial->bytesOnMedium.load(), 4u);
    EXPECT_EQ(engine->findTask(engine->m_copyTasks, car.item(L"missing.dat"), 0), nullptr);
    EXPECT_EQ(engine->findTask(engine->m_copyTasks, car.item(L"empty.dat"), 0), nullptr);
    copy_manager_base(CString());
    removeTree(folder);
}

TEST_F(HeldEngine, NoCopyWithoutAMediumRoot) {
    TestVehicle car({{L"a.dat"}});
    car.build();
    car.items()[0]->m_nState = ITEM_STATE_UNZIPPED;
    copy_manager_base(CString());
    copy_manager::getInstance()->m_bActive = true;
    engine->m_chDrive = L'R';
    engine->m_nState = FM_STATE_UNZIPPED;
    engine->startCopy();
    EXPECT_EQ(engine->findTask(engine->m_copyTasks, car.items()[0], 0), nullptr);
    EXPECT_EQ(car.items()[0]->m_nState.load(), ITEM_STATE_UNZIPPED);
    EXPECT_NE(engine->m_nState.load(), FM_STATE_FINISHED);
    copy_manager::getInstance()->m_bActive = false;
}

TEST_F(HeldEngine, SplitPiecesRepairedOnDisk) {
    TempDir downloads;
    engine_control::setManagerPaths(downloads.path());
    TestVehicle car({{L"s.idx", L"10", L"1", L"MAP", L"s.zip", L"30", 3}, {L"whole.dat"}});
    car.build();
    InfFileUpdate* split = car.item(L"s.idx");
    writeFileAt(downloads / L"CAR\\MAP\\s.000", std::string(10, 'a'));
    writeFileAt(downloads / L"CAR\\MAP\\s.001", std::string(10, 'b'));
    writeFileAt(downloads / L"CAR\\MAP\\s.zip", std::string(7, 'c'));
    {
        std::lock_guard<std::recursive_mutex> tasks(engine->m_taskMutex);
        for (int k = 0; k < 3; ++k) {
            transfer_task* task = engine->getOrCreateTask(engine->m_downloadTasks, split, k);
            ASSERT_NE(task, nullptr);
            task->state = 2;
            task->bytesDone = 10;
        }
    }
    EXPECT_TRUE(engine->validateSplitPieces(split));
    EXPECT_TRUE(fileExists(downloads / L"CAR\\MAP\\s.000"));
    EXPECT_TRUE(fileExists(downloads / L"CAR\\MAP\\s.001"));
    EXPECT_FALSE(fileExists(downloads / L"CAR\\MAP\\s.zip"));
    EXPECT_EQ(engine->findTask(engine->m_downloadTasks, split, 2)->state.load(), 0);
    EXPECT_EQ(engine->findTask(engine->m_downloadTasks, split, 0)->state.load(), 2);

    // Not split: nothing to compare, and the answer comes at once.
    EXPECT_FALSE(engine->validateSplitPieces(car.item(L"whole.dat")));
    EXPECT_FALSE(engine->validateSplitPieces(nullptr));
}

TEST_F(HeldEngine, FailedCheckFetchesEveryPieceAgainAFewTimesARun) {
    TestVehicle car({{L"s.idx", L"10", L"1", L"MAP", L"s.zip", L"30", 3}, {L"whole.dat"}});
    car.build();
    InfFileUpdate* split = car.item(L"s.idx");
    car.item(L"whole.dat")->m_nState = ITEM_STATE_COPIED;
    auto piecesFinished = [&] {
        std::lock_guard<std::recursive_mutex> tasks(engine->m_taskMutex);
        for (int k = 0; k < 3; ++k) {
            transfer_task* task = engine->getOrCreateTask(engine->m_downloadTasks, split, k);
            ASSERT_NE(task, nullptr);
            task->state = 2;
            task->bytesDone = 10;
        }
    };
    for (int round = 1; round <= function_manager::kCheckResetsPerRun; ++round) {
        piecesFinished();
        engine->m_nDownloadDone = 1;
        engine->m_nState = FM_STATE_DOWNLOADED;
        split->m_nState = ITEM_STATE_UNZIP_FAILED;
        engine->onCheckFailed(split);
        EXPECT_EQ(split->m_nState.load(), ITEM_STATE_DOWNLOAD_READY) << round;
        for (int k = 0; k < 3; ++k) EXPECT_EQ(engine->findTask(engine->m_downloadTasks, split, k)->state.load(), 0) << k;
        EXPECT_EQ(engine->m_nDownloadDone.load(), 0) << "the download phase opens again";
        EXPECT_EQ(engine->m_nState.load(), FM_STATE_TRANSFER);
    }
    // Beyond the bound: the item stays failed and is not checked again.
    piecesFinished();
    split->m_nState = ITEM_STATE_UNZIP_FAILED;
    engine->onCheckFailed(split);
    EXPECT_EQ(split->m_nState.load(), ITEM_STATE_UNZIP_FAILED);
    std::lock_guard<std::recursive_mutex> tasks(engine->m_taskMutex);
    EXPECT_EQ(engine->nextUnzipTask(), nullptr);
    EXPECT_EQ(engine->findTask(engine->m_unzipTasks, split, 0), nullptr);
}

TEST_F(HeldEngine, SkipCopyByTheFolderTheItemLandsIn) {
    // Items of a model descriptor that land below the common descriptor's
    // folder CAR, where the head unit's own folders are left alone.
    OwnedItem headUnit({L"m.dat", L"10", L"1", L"VESPERLINK"}, L"MODEL.inf", L"CAR");
    OwnedItem map({L"o.dat", L"10", L"1", L"MAP"}, L"MODEL.inf", L"CAR");
    ASSERT_TRUE(headUnit.ok());
    ASSERT_TRUE(map.ok());
    // Their destinations as rewritten below the common folder.
    headUnit->setDestPath(L"CAR\\VESPERLINK");
    map->setDestPath(L"CAR\\MAP");
    engine->m_nPlatformFolder = 1;
    EXPECT_TRUE(engine->isSkipCopy(headUnit.get()));
    EXPECT_FALSE(engine->isSkipCopy(map.get()));
    engine->m_nPlatformFolder = 0;
    EXPECT_FALSE(engine->isSkipCopy(headUnit.get()));
}

TEST_F(HeldEngine, StopHoldsCommandsBackAndLeavesAHoldAlone) {
    // What a page does while the stop waits for the workers: it answers a
    // message with FM_CMD_FORMAT, and the user may press Hold after it. The
    // stop waits for the "compute thread", which posts them.
    struct Case {
        const char* what;
        bool hold;
        int pausedAfter;
    } cases[] = {
        {"a command posted during the stop", false, 0},
        {"a Hold pressed during the stop", true, 1},
    };
    for (const Case& c : cases) {
        clearQueue();
        engine->m_nPaused = 0;
        struct poster_args {
            function_manager* engine;
            bool hold;
        } args{engine, c.hold};
        HANDLE poster = CreateThread(
            nullptr, 0,
            [](LPVOID param) -> DWORD {
                auto* a = static_cast<poster_args*>(param);
                while (!a->engine->stopGateClosed()) Sleep(1);
                // A worker the stop ends reports it: dropped, no news.
                a->engine->postCommand(FM_CMD_COPY_DONE, 0, nullptr);
                a->engine->postCommand(FM_CMD_FORMAT, 'R', nullptr);
                if (a->hold) a->engine->postCommand(FM_CMD_PAUSE, 0, nullptr);
                return 0;
            },
            &args, 0, nullptr);
        ASSERT_NE(poster, nullptr);
        HANDLE own = nullptr;
        DuplicateHandle(GetCurrentProcess(), poster, GetCurrentProcess(), &own, 0, FALSE, DUPLICATE_SAME_ACCESS);
        engine->m_hComputeThread = poster;
        worker_manager::getInstance()->stopAll();
        // The stop gives a thread that does not end half a second: the
        // poster must have ended for the case to mean anything.
        ASSERT_EQ(WaitForSingleObject(own, 0), WAIT_OBJECT_0) << c.what;
        CloseHandle(own);
        EXPECT_EQ(queued(), std::vector<int>{FM_CMD_FORMAT}) << c.what << ": held back, then queued";
        EXPECT_EQ(engine->m_nPaused.load(), c.pausedAfter) << c.what;
        EXPECT_FALSE(engine->stopGateClosed());
    }
    engine->m_nPaused = 0;
}

TEST_F(HeldEngine, APausedRunStaysPaused) {
    // Items a Hold left unchecked, a START the page queued before the Hold
    // (the thread was busy), then a schedule's worth of idle ticks.
    TestVehicle car({{L"a.dat"}, {L"b.dat"}});
    car.build();
    Gate page;
    engine->m_pPage = &page;
    engine->m_nState = FM_STATE_TRANSFER;
    engine->m_nTickCount = 0;
    engine->m_nPaused = 1;
    const HANDLE compute = engine->m_hComputeThread;
    const HANDLE format = engine->m_hFormatThread;
    std::vector<function_command> commands{cmd(FM_CMD_START, 0, &page), cmd(FM_CMD_FORMAT, 'R', &page)};
    for (int tick = 0; tick < 9; ++tick) commands.push_back(cmd(FM_CMD_TICK));
    run(commands);

    EXPECT_EQ(engine->m_nState.load(), FM_STATE_TRANSFER) << "no START ran";
    EXPECT_EQ(engine->m_nFormatRequested.load(), 0) << "no FORMAT ran";
    EXPECT_EQ(engine->m_hComputeThread, compute) << "no compute thread started";
    EXPECT_EQ(engine->m_hFormatThread, format) << "no format thread started";
    EXPECT_TRUE(queued().empty()) << "the ninth tick queued nothing";
    EXPECT_EQ(engine->m_nTickCount, 0) << "the schedule ran on the ninth tick";
    EXPECT_EQ(engine->m_nPaused.load(), 1);
    for (InfFileUpdate* item : car.items()) EXPECT_EQ(item->m_nState.load(), ITEM_STATE_NEW);
    engine->m_nPaused = 0;
}

TEST_F(HeldEngine, TicksStartNothingWhileThePreCheckRuns) {
    // Items still new, a pre-check (the compute routine) slower than a
    // schedule: the ninth tick waits for it but queues no second START,
    // which would rebuild the items once the first check has ended.
    TestVehicle car({{L"a.dat"}});
    car.build();
    ControlPage page(0, {});
    page.holdCompute = true;
    ComputeLetGo letGo{page};
    run({cmd(FM_CMD_START, 0, static_cast<transfer_page*>(&page))});
    ASSERT_TRUE(waitUntil([&] { return page.computeCalls.load() == 1; }, 10000));
    engine->m_nTickCount = 0;
    run(std::vector<function_command>(9, cmd(FM_CMD_TICK)));
    EXPECT_EQ(engine->m_nTickCount, 0) << "the schedule ran";
    EXPECT_TRUE(queued().empty()) << "no START while the pre-check runs";
    clearQueue();
}

TEST(CommandThread, StartTwiceRunsOneComputeThreadAndAnEmptyListEnds) {
    function_manager* engine = function_manager::getInstance();
    ASSERT_TRUE(waitEngineIdle(10000));
    engine->reset();
    ControlPage page(0, {});
    page.holdCompute = true;
    ComputeLetGo letGo{page};
    auto startsSeen = [](int wanted) {
        return [wanted](const std::vector<recorded_message>& all) {
            int starts = 0;
            for (const recorded_message& m : all) {
                starts += m.message == UM_TRANSFER_PHASE && m.wParam == TRANSFER_PHASE_DOWNLOAD;
            }
            return starts >= wanted;
        };
    };
    // The second START follows the first one's effects, so that it meets
    // the compute thread the first one started.
    page.next();
    ASSERT_TRUE(page.waitFor(startsSeen(1), 10000));
    page.next();
    ASSERT_TRUE(page.waitFor(startsSeen(2), 10000));
    EXPECT_EQ(page.computeCalls.load(), 1);
    page.holdCompute = false;

    // The empty list: nothing to transfer, every phase complete at once.
    ASSERT_TRUE(page.waitForMessage(UM_COPY_COMPLETE, 0, 1, 20000));
    EXPECT_EQ(page.computeCalls.load(), 1);
    EXPECT_EQ(page.beginCalls.load(), 0) << "dispatch queues nothing for an empty list";
    EXPECT_EQ(engine->m_nState.load(), FM_STATE_FINISHED);
    EXPECT_TRUE(waitEngineIdle(10000));
    engine->reset();
}

TEST(CommandThread, AnEarlierRunNeitherEndsNorFeedsTheNext) {
    function_manager* engine = function_manager::getInstance();
    ASSERT_TRUE(waitEngineIdle(10000));
    engine->reset();
    // The earlier run: its items copied, its copy side still on, and the
    // record of a copy worker that has yet to report its end.
    TestVehicle car({{L"a.dat"}, {L"b.dat"}});
    car.build();
    for (InfFileUpdate* item : car.items()) item->m_nState = ITEM_STATE_COPIED;
    ControlPage page(L'R', {});
    engine->m_observers.add(page.hwnd());
    copy_manager::getInstance()->m_observers.add(page.hwnd());
    copy_manager::getInstance()->m_bActive = true;
    engine->m_chDrive = L'R';
    transfer_task* earlier = nullptr;
    {
        std::lock_guard<std::recursive_mutex> tasks(engine->m_taskMutex);
        earlier = engine->getOrCreateTask(engine->m_copyTasks, car.items()[0], 0);
    }
    ASSERT_NE(earlier, nullptr);
    earlier->state = 2;

    // Holds the thread with a command queued behind what was posted (so
    // that has been taken), lets the page's queue catch up, then looks.
    auto afterTaken = [&](const std::function<void()>& look) {
        Gate gate;
        engine->postCommand(FM_CMD_BEGIN_TRANSFER, 0, &gate);
        ASSERT_TRUE(gate.waitEntered());
        PostMessageW(page.hwnd(), WM_APP + 99, 0, 0);
        ASSERT_TRUE(page.waitForMessage(WM_APP + 99, 0, 0, 20000));
        look();
        gate.release();
    };
    auto nothingEnded = [&](const char* what) {
        EXPECT_EQ(page.count(UM_COPY_COMPLETE), 0u) << what;
        EXPECT_EQ(engine->m_nCopyDone.load(), 0) << what;
        EXPECT_NE(engine->m_nState.load(), FM_STATE_FINISHED) << what;
    };

    // A new run begins: the earlier worker's end comes after the reset.
    engine->reset();
    function_command stale = cmd(FM_CMD_COPY_DONE, 0, earlier);
    stale.run = earlier->run;
    page.clear();
    engine->postCommand(stale);
    afterTaken([&] { nothingEnded("an earlier worker's end"); });

    // START: the compute routine has not rebuilt the list yet, and an end
    // of this run's schedules on the earlier run's items.
    engine->reset();
    page.holdCompute = true;
    ComputeLetGo letGo{page};
    page.next();
    ASSERT_TRUE(page.waitForMessage(UM_TRANSFER_PHASE, TRANSFER_PHASE_DOWNLOAD, 0, 10000));
    page.clear();
    engine->postCommand(FM_CMD_COPY_DONE, 0, nullptr);
    afterTaken([&] { nothingEnded("the earlier run's items while the list is rebuilt"); });

    // Once the list is rebuilt (empty here), this run ends on its own items.
    page.holdCompute = false;
    EXPECT_TRUE(page.waitForMessage(UM_COPY_COMPLETE, 0, 1, 20000));
    EXPECT_TRUE(waitEngineIdle(10000));
    copy_manager::getInstance()->m_bActive = false;
    engine->reset();
}

}  // namespace
