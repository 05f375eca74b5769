// Download attempts and download threads against the stand-in.
#include "engine/download_manager.h"
#include "engine/function_manager.h"
#include "engine/worker_manager.h"
#include "foundation/common_util.h"
#include "foundation/utilmanager.h"
#include "tests/engine/engine_fixtures.h"
#include "tests/support/test_support.h"
#include "tests/webclient/standin_client.h"

#include <gtest/gtest.h>

#include <thread>

namespace {

class Download : public testing::Test {
protected:
    void SetUp() override {
        REQUIRE_STANDIN();
        standin::clearFaults();
        ASSERT_TRUE(loadDescriptor(L"TS_A01_COMMON.inf", descriptor));
        whole = descriptor.item(L"MAP.exe");
        split = descriptor.item(L"ROAD.zip");
        ASSERT_NE(whole, nullptr);
        ASSERT_NE(split, nullptr);
        ASSERT_EQ(split->getNumSpan(), 3);
        dm->m_observers.add(page.hwnd());
        worker_manager::getInstance()->m_strDownloadFolder = dir.path();
        dm->start();
        standin::markRequests();
    }
    void TearDown() override {
        dm->stop();
        dm->m_observers.remove(page.hwnd());
        if (standin::available()) standin::clearFaults();
    }

    CString urlOf(InfFileUpdate* item, int piece) {
        return piece < 0 ? item->getFileUrl() : item->getPartUrl(piece);
    }
    CString pathOf(InfFileUpdate* item, int piece) {
        return piece < 0 ? item->getFilePath(dir.path()) : item->getPartPath(dir.path(), piece);
    }
    std::string bodyOf(InfFileUpdate* item, int piece) { return fetch(pathOfUrl(urlOf(item, piece))); }
    bool attempt(InfFileUpdate* item, int piece) {
        common_util::ensure_directory(pathOf(item, piece));
        return dm->func_downlaod_worker(error, status, item, urlOf(item, piece), pathOf(item, piece),
                                        dm->currentSessionFlag());
    }
    void fault(InfFileUpdate* item, int piece, const std::string& rule) {
        CStringA path(pathOfUrl(urlOf(item, piece)));
        standin::setFaults("[{\"path\": \"" + std::string(path.GetString()) + "\", " + rule + "}]");
    }

    download_manager* dm = download_manager::getInstance();
    score_board* board = &score_board::getBoards()[BOARD_DOWNLOAD];
    FakePage page;
    TempDir dir;
    Descriptor descriptor;
    InfFileUpdate* whole = nullptr;
    InfFileUpdate* split = nullptr;
    int error = -1;
    int status = -1;
};

testing::AssertionResult sameBytes(const std::string& got, const std::string& want) {
    if (got == want) return testing::AssertionSuccess();
    return testing::AssertionFailure() << "got " << got.size() << " bytes, want " << want.size();
}

}  // namespace

TEST_F(Download, FreshWholeFile) {
    const ULONGLONG before = board->getCurrentSize();
    ASSERT_TRUE(attempt(whole, -1));
    EXPECT_EQ(error, 0);
    EXPECT_EQ(status, 200);
    const CString path = pathOf(whole, -1);
    EXPECT_EQ(standin::crc32Of(readBytes(path)), whole->getFileCrc());
    EXPECT_EQ(board->getCurrentSize() - before, static_cast<ULONGLONG>(whole->getFileSize()));
    page.sync();
    EXPECT_EQ(page.count(UM_DOWNLOAD_PROGRESS, 0, -1), 1);
}

TEST_F(Download, ResumesAPartialPieceAndTakes200Or416) {
    const std::string body = bodyOf(split, 1);
    ASSERT_GT(body.size(), 1000u);
    const size_t half = body.size() / 2;
    const CString path = pathOf(split, 1);

    struct Case {
        const char* name;
        const char* fault;  // null: none
        size_t held;        // bytes on disk before the attempt
    } cases[] = {
        {"ranged", nullptr, half},
        {"answered 200", "\"ignore_range\": true", half},
        {"complete, 416", nullptr, body.size()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        standin::clearFaults();
        if (c.fault) fault(split, 1, c.fault);
        common_util::ensure_directory(path);
        ASSERT_TRUE(writeBytes(path, body.substr(0, c.held)));
        standin::markRequests();
        const ULONGLONG before = board->getCurrentSize();
        ASSERT_TRUE(attempt(split, 1)) << "error " << error << " status " << status;
        EXPECT_TRUE(sameBytes(readBytes(path), body));
        EXPECT_EQ(board->getCurrentSize() - before, body.size() - c.held) << "only the new bytes count";
        std::vector<Json::Value> log = standin::requests("/contents/pkg/*");
        ASSERT_FALSE(log.empty());
        EXPECT_EQ(standin::header(log[0], "Range"), "bytes=" + std::to_string(c.held) + "-");
        if (c.held == body.size()) {
            EXPECT_EQ(log[0]["status"].asInt(), 416);
        }
    }
}

TEST_F(Download, FailedAttemptKeepsItsPartUnlessItCannotBelong) {
    const std::string body = bodyOf(whole, -1);
    const CString path = pathOf(whole, -1);
    // A cut body is continued by the client on its next connection; here
    // the server then fails, so the attempt ends with a part on disk.
    const std::string cutThenFail = "\"cut\": 300000, \"times\": 1}, {\"path\": \"" +
                                    std::string(CStringA(pathOfUrl(urlOf(whole, -1))).GetString()) +
                                    "\", \"status\": 500";
    struct Case {
        const char* name;
        std::string fault;
        std::string held;
        int error;
        bool kept;  // the part stays, its bytes stay counted
    } cases[] = {
        {"body cut short", cutThenFail, std::string(), INET_ERROR_HTTP_STATUS, true},
        {"cut after a resumed part", cutThenFail, body.substr(0, body.size() / 3), INET_ERROR_HTTP_STATUS, true},
        {"not found", "\"status\": 404", std::string(), INET_ERROR_HTTP_STATUS, true},
        // The held part is longer than the file: the server answers 416.
        {"a part the ranges do not fit", "\"times\": 0", body + "xx", INET_ERROR_HTTP_STATUS, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fault(whole, -1, c.fault);
        common_util::ensure_directory(path);
        ASSERT_TRUE(writeBytes(path, c.held));
        const ULONGLONG before = board->getCurrentSize();
        EXPECT_FALSE(attempt(whole, -1));
        EXPECT_EQ(error, c.error);
        EXPECT_EQ(fileExists(path), c.kept);
        if (c.kept) {
            const std::string part = readBytes(path);
            EXPECT_TRUE(body.compare(0, part.size(), part) == 0) << "the part is the file's start";
            EXPECT_GE(part.size(), c.held.size());
            EXPECT_EQ(board->getCurrentSize() - before, part.size() - c.held.size()) << "the kept bytes stay counted";
        } else {
            EXPECT_EQ(board->getCurrentSize(), before) << "exactly the attempt's bytes go back";
        }
    }
}

TEST_F(Download, OneByteOverTheDescriptorIsRefused) {
    Descriptor shorter;
    const std::string size = std::to_string(whole->getFileSize() - 1);
    ASSERT_TRUE(loadDescriptor(L"TS_A01_COMMON.inf", shorter, [&](std::string& text) {
        setEntryValue(text, "MAP.exe", "AG_FILESIZE", size);
        setEntryValue(text, "MAP.exe", "AG_ZIPSIZE", size);
    }));
    InfFileUpdate* item = shorter.item(L"MAP.exe");
    ASSERT_EQ(item->getFileSize(), whole->getFileSize() - 1);
    const ULONGLONG before = board->getCurrentSize();
    EXPECT_FALSE(attempt(item, -1));
    EXPECT_EQ(error, INET_ERROR_READ);
    EXPECT_FALSE(fileExists(pathOf(item, -1)));
    EXPECT_EQ(board->getCurrentSize(), before);
}

TEST_F(Download, PauseMidFileKeepsThePartFetched) {
    // A zip of one piece, larger than the client's delivery batch (1 MiB).
    InfFileUpdate* zip = descriptor.item(L"MAPDATA.zip");
    ASSERT_EQ(zip->getNumSpan(), 1);
    const std::string body = bodyOf(zip, 0);
    ASSERT_GT(body.size(), 1100000u);
    const CString path = pathOf(zip, 0);
    common_util::ensure_directory(path);
    ASSERT_TRUE(writeBytes(path, body.substr(0, 50000)));
    fault(zip, 0, "\"rate\": 500000");
    const ULONGLONG before = board->getCurrentSize();
    bool result = true;
    std::thread download([&] { result = attempt(zip, 0); });
    EXPECT_TRUE(waitUntil([&] { return board->getCurrentSize() > before; }));
    dm->stop();
    download.join();
    EXPECT_FALSE(result);
    EXPECT_EQ(error, INET_STOPPED);
    // The part stays for the next attempt to continue; what it holds beyond
    // the earlier 50000 bytes is what this attempt counted.
    const std::string part = readBytes(path);
    EXPECT_GT(part.size(), 50000u);
    EXPECT_TRUE(body.compare(0, part.size(), part) == 0);
    EXPECT_EQ(board->getCurrentSize() - before, part.size() - 50000);
}

namespace {

// Download tasks of the command object's list for pieces or a whole file.
std::vector<transfer_task*> tasksFor(InfFileUpdate* item, std::initializer_list<int> pieces) {
    function_manager* fm = function_manager::getInstance();
    std::vector<transfer_task*> tasks;
    std::lock_guard<std::recursive_mutex> lock(fm->m_taskMutex);
    for (int piece : pieces) tasks.push_back(fm->getOrCreateTask(fm->m_downloadTasks, item, piece));
    return tasks;
}

}  // namespace

TEST_F(Download, ThreePiecesOnThreeSlots) {
    worker_manager* wm = worker_manager::getInstance();
    wm->setProcessorCount(8);
    ASSERT_TRUE(waitUntil([&] { return wm->busyDownloadSlots() == 0; }));
    standin::setFaults("[{\"path\": \"/contents/pkg/TS_A01_COMMON/ROAD/*\", \"rate\": 400000}]");
    std::vector<transfer_task*> tasks = tasksFor(split, {0, 1, 2});
    for (transfer_task* task : tasks) {
        ASSERT_NE(task, nullptr);
        ASSERT_TRUE(wm->startDownloadThread(task->piece, task));
    }
    EXPECT_EQ(wm->busyDownloadSlots(), 3);
    transfer_task extra;
    extra.item = split;
    extra.piece = 0;
    EXPECT_FALSE(wm->startDownloadThread(0, &extra)) << "no fourth thread";
    EXPECT_NE(tasks[0]->slot, tasks[1]->slot);
    EXPECT_NE(tasks[1]->slot, tasks[2]->slot);
    ASSERT_TRUE(waitUntil([&] {
        for (transfer_task* task : tasks) {
            if (task->live) return false;
        }
        return true;
    }, 60000));
    for (transfer_task* task : tasks) {
        EXPECT_EQ(task->state.load(), 2);
        const std::string body = bodyOf(split, task->piece);
        EXPECT_EQ(task->bytesDone.load(), body.size());
        EXPECT_TRUE(sameBytes(readBytes(pathOf(split, task->piece)), body));
    }
    EXPECT_TRUE(waitUntil([&] { return wm->busyDownloadSlots() == 0; }));
}

TEST_F(Download, ThreadReportsAFinalErrorOnceWithItsRecord) {
    worker_manager* wm = worker_manager::getInstance();
    function_manager* fm = function_manager::getInstance();
    fm->m_observers.add(page.hwnd());
    fault(split, 2, "\"status\": 404");
    // The first piece's thread makes the folders; this one comes alone.
    common_util::ensure_directory(pathOf(split, 2));
    transfer_task* task = tasksFor(split, {2})[0];
    ASSERT_TRUE(wm->startDownloadThread(2, task));
    // The end is reported before the thread ends.
    ASSERT_TRUE(waitUntil([&] { return worker_manager::getInstance()->busyDownloadSlots() == 0; }));
    fm->m_observers.remove(page.hwnd());
    EXPECT_EQ(task->state.load(), 0) << "handed out again by a later schedule";
    EXPECT_EQ(page.count(UM_MODULE_ERROR, MODULE_DOWNLOAD, MODULE_ERROR_DOWNLOAD), 1);
    download_fail_info fail = dm->getFailInfo();
    EXPECT_EQ(fail.item, split);
    EXPECT_EQ(fail.piece, 2);
    EXPECT_EQ(fail.code, INET_ERROR_HTTP_STATUS);
    EXPECT_EQ(fail.status, 404);
    EXPECT_EQ(standin::requests("/contents/pkg/*").size(), 3u) << "three attempts";
}

TEST_F(Download, StoppedSessionReleasesTheSlotQuietly) {
    worker_manager* wm = worker_manager::getInstance();
    function_manager* fm = function_manager::getInstance();
    fm->m_observers.add(page.hwnd());
    dm->stop();
    transfer_task* task = tasksFor(whole, {-1})[0];
    ASSERT_TRUE(wm->startDownloadThread(0, task));
    // The end is reported before the thread ends.
    ASSERT_TRUE(waitUntil([&] { return worker_manager::getInstance()->busyDownloadSlots() == 0; }));
    fm->m_observers.remove(page.hwnd());
    EXPECT_EQ(task->state.load(), 0);
    EXPECT_FALSE(task->running.load());
    EXPECT_EQ(page.count(UM_MODULE_ERROR), 0);
    EXPECT_TRUE(standin::requests("/contents/pkg/*").empty());
    EXPECT_TRUE(waitUntil([&] { return wm->busyDownloadSlots() == 0; }));
}

TEST_F(Download, RefusedCertificateReachesThePage) {
    // The stand-in's address as one decimal number reaches the same server,
    // but its certificate does not name it.
    const CString host = standin::host();
    unsigned a = 0, b = 0, c = 0, d = 0;
    swscanf(host.GetString(), L"%u.%u.%u.%u", &a, &b, &c, &d);
    const std::string alias = std::to_string((static_cast<unsigned long>(a) << 24) | (b << 16) | (c << 8) | d);
    const std::string dotted(CStringA(host).GetString());
    Descriptor unnamed;
    ASSERT_TRUE(loadDescriptor(L"TS_A01_COMMON.inf", unnamed, [&](std::string& text) {
        for (size_t at = text.find(dotted); at != std::string::npos; at = text.find(dotted, at + alias.size())) {
            text.replace(at, dotted.size(), alias);
        }
    }));
    InfFileUpdate* item = unnamed.item(L"MAP.exe");
    ASSERT_NE(item->getFileUrl().Find(CString(alias.c_str())), -1);
    function_manager* fm = function_manager::getInstance();
    fm->m_observers.add(page.hwnd());
    transfer_task* task = tasksFor(item, {-1})[0];
    ASSERT_TRUE(worker_manager::getInstance()->startDownloadThread(0, task));
    // The end is reported before the thread ends.
    ASSERT_TRUE(waitUntil([&] { return worker_manager::getInstance()->busyDownloadSlots() == 0; }));
    fm->m_observers.remove(page.hwnd());
    EXPECT_EQ(page.count(UM_MODULE_ERROR, MODULE_DOWNLOAD, MODULE_ERROR_DOWNLOAD), 1);
    EXPECT_EQ(dm->getFailInfo().code, INET_ERROR_CERTIFICATE);
    EXPECT_EQ(dm->getFailInfo().piece, -1);
    EXPECT_TRUE(standin::requests("/contents/pkg/*").empty()) << "refused before any request";
}
