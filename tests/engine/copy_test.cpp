// The copy to the removable test drive R: and its verification.
#include "engine/copy_manager.h"
#include "engine/function_manager.h"
#include "engine/system_folder.h"
#include "engine/worker_manager.h"
#include "foundation/common_util.h"
#include "foundation/utilmanager.h"
#include "tests/engine/control_fixtures.h"
#include "tests/engine/engine_fixtures.h"
#include "tests/support/test_support.h"
#include "tests/webclient/standin_client.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>

namespace {

constexpr size_t kMiB = 1048576;

std::string pattern(size_t size, char seed) {
    std::string bytes(size, '\0');
    for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>((i * 31 + seed) ^ (i >> 12));
    return bytes;
}

// Clears the flag at the n-th positive count of the board.
class StoppingBoard : public score_board {
public:
    StoppingBoard(RunFlag* flag, int at) : m_flag(flag), m_at(at) {}
    void addCurrentSize(LONGLONG delta) override {
        score_board::addCurrentSize(delta);
        if (delta > 0 && ++m_seen == m_at) *m_flag = false;
    }

private:
    RunFlag* m_flag;
    int m_at;
    int m_seen = 0;
};

class Copy : public testing::Test {
protected:
    void SetUp() override {
        REQUIRE_STANDIN();
        if (GetDriveTypeW(L"R:\\") != DRIVE_REMOVABLE) GTEST_SKIP() << "no removable test drive R:";
        clearMedium();
        cm->m_strDownloadFolder = dir.path();
        cm->setBasePath(L"R:\\");
        cm->m_observers.add(page.hwnd());
        cm->m_bActive = true;
        copy_manager::setFileFault([this](const wchar_t* step, const CString&) -> DWORD {
            if (wcscmp(step, L"write") == 0) ++writes;
            return fault ? fault(step) : 0;
        });
    }
    // The items' folders on the medium (the descriptor's first level is
    // dropped there).
    static void clearMedium() {
        for (const wchar_t* folder : {L"R:\\INFO", L"R:\\PKG", L"R:\\MAP", L"R:\\ROAD"}) removeTree(folder);
    }
    void TearDown() override {
        copy_manager::setFileFault(nullptr);
        cm->m_observers.remove(page.hwnd());
        cm->m_pBoard = &score_board::getBoards()[BOARD_CHECK_AND_COPY];
        clearMedium();
    }

    // An item of content bytes: the descriptor's "version.txt" entry with
    // size and CRC of the content (crc overrides the CRC).
    InfFileUpdate* item(const std::string& content, const char* crc = nullptr) {
        auto descriptor = std::make_unique<Descriptor>();
        const std::string size = std::to_string(content.size());
        const std::string sum = crc ? crc : std::to_string(standin::crc32Of(content));
        EXPECT_TRUE(loadDescriptor(L"TS_A01_COMMON.inf", *descriptor, [&](std::string& text) {
            setEntryValue(text, "version.txt", "AG_FILESIZE", size);
            setEntryValue(text, "version.txt", "AG_FILECRC", sum);
        }));
        InfFileUpdate* result = descriptor->item(L"version.txt");
        result->m_nState = ITEM_STATE_UNZIPPED;
        CString source = result->getFilePath(dir.path());
        common_util::ensure_directory(source);
        writeBytes(source, content);
        descriptors.push_back(std::move(descriptor));
        return result;
    }
    CString target(InfFileUpdate* item) {
        CString path = item->getFilePath(L"R:\\");
        common_util::normalize_path(path);
        return path;
    }

    copy_manager* cm = copy_manager::getInstance();
    FakePage page;
    TempDir dir;
    std::vector<std::unique_ptr<Descriptor>> descriptors;
    RunFlag running{true};
    std::atomic<int> writes{0};
    std::function<DWORD(const wchar_t*)> fault;
};

}  // namespace

TEST_F(Copy, FreshFileIsCopiedAndVerified) {
    const std::string content = pattern(5 * kMiB + 123, 1);
    InfFileUpdate* it = item(content);
    const ULONGLONG before = cm->m_pBoard->getCurrentSize();
    const ULONGLONG copiedBefore = g_nCopiedBytes.load();
    EXPECT_EQ(cm->func_copy_Item(it, &running), 1);
    EXPECT_EQ(it->m_nState.load(), ITEM_STATE_COPIED);
    EXPECT_TRUE(readBytes(target(it)) == content);
    EXPECT_EQ(writes.load(), 6) << "1 MiB chunks";
    const ULONGLONG counted = cm->m_pBoard->getCurrentSize() - before;
    EXPECT_NEAR(static_cast<double>(counted), static_cast<double>(content.size()), 64.0);
    EXPECT_EQ(g_nCopiedBytes.load() - copiedBefore, content.size());
    page.sync();
    EXPECT_GE(page.count(UM_COPY_PROGRESS), 6);
    EXPECT_EQ(page.count(UM_MODULE_ERROR), 0);
    EXPECT_EQ(g_bCopyBusy.load(), 0);

    // A 0-byte file: nothing to write, verified by size and CRC.
    InfFileUpdate* empty = item(std::string(), "0");
    clearMedium();
    writes = 0;
    EXPECT_EQ(cm->func_copy_Item(empty, &running), 1);
    EXPECT_EQ(empty->m_nState.load(), ITEM_STATE_COPIED);
    EXPECT_EQ(writes.load(), 0);
    EXPECT_TRUE(fileExists(target(empty)));
}

// Gives target the times of source, as the copy does to every file it
// stops.
void stampLike(const CString& target, const CString& source) {
    HANDLE from = CreateFileW(source.GetString(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    HANDLE to = CreateFileW(target.GetString(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    EXPECT_TRUE(copy_manager::copyFileTime(from, to));
    CloseHandle(from);
    CloseHandle(to);
}

// Another day's file.
void stampOld(const CString& target) {
    HANDLE to = CreateFileW(target.GetString(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    SYSTEMTIME day{2020, 1, 3, 1, 12, 0, 0, 0};
    FILETIME time{};
    SystemTimeToFileTime(&day, &time);
    EXPECT_TRUE(SetFileTime(to, nullptr, nullptr, &time));
    CloseHandle(to);
}

// A shorter file of the item's name on the medium is resumed only when it
// is this item's own; a file another version left there (an earlier, smaller
// update) is replaced from byte 0 without a copy error.
TEST_F(Copy, ShorterFileResumedOnlyWhenItIsThisItemsOwn) {
    const std::string content = pattern(5 * kMiB, 2);
    const std::string older = pattern(3 * kMiB, 9);
    const CString ver = dir / L"medium.ver";
    struct Case {
        const char* name;
        std::string onMedium;
        const char* done;       // the medium's record of the file: done column; null for none
        bool sameVersion;       // the record is of this item's version, CRC and size
        bool stamped;           // the file carries the source's times
        int writes;
    } cases[] = {
        {"interrupted earlier run of this version", content.substr(0, 3 * kMiB), "0", true, true, 2},
        {"older version, recorded as done", older, "1", false, false, 5},
        {"older version with the source's times", older, "1", false, true, 5},
        {"record of this version, file not stamped by a copy", older, "0", true, false, 5},
        {"no record", older, nullptr, false, true, 5},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        clearMedium();
        page.clear();
        InfFileUpdate* it = item(content);
        common_util::ensure_directory(target(it));
        writeBytes(target(it), c.onMedium);
        if (c.stamped) stampLike(target(it), it->getFilePath(dir.path()));
        else stampOld(target(it));
        DeleteFileW(ver.GetString());
        if (c.done) {
            char line[160];
            if (c.sameVersion) {
                snprintf(line, sizeof(line), "MAP|version.txt|%d|%d|%llu|%s\n", it->getVer(),
                         static_cast<int>(it->getFileCrc()), static_cast<unsigned long long>(it->getFileSize()), c.done);
            } else {
                snprintf(line, sizeof(line), "MAP|version.txt|%d|77|%u|%s\n", it->getVer() - 1,
                         static_cast<unsigned>(older.size()), c.done);
            }
            writeBytes(ver, std::string("+|2024.05.01|SW|TS|TS_A01_COMMON|A01|0\n") + line);
        }
        cm->rememberResumableCopies({ver});
        writes = 0;
        EXPECT_EQ(cm->func_copy_Item(it, &running), 1);
        EXPECT_EQ(it->m_nState.load(), ITEM_STATE_COPIED);
        EXPECT_EQ(writes.load(), c.writes) << (c.writes == 2 ? "went on at byte 3,145,728" : "began at byte 0");
        EXPECT_TRUE(readBytes(target(it)) == content);
        page.sync();
        EXPECT_EQ(page.count(UM_MODULE_ERROR), 0);
    }

    // A file this run began and stopped goes on where it stopped, whatever
    // the medium's records say.
    clearMedium();
    cm->rememberResumableCopies({});
    InfFileUpdate* it = item(content);
    fault = [&](const wchar_t* step) -> DWORD {
        if (wcscmp(step, L"write") == 0 && writes == 3) running = false;
        return 0;
    };
    writes = 0;
    cm->func_copy_Item(it, &running);
    ASSERT_EQ(CUtilManager::getFileSize(target(it)), 3 * kMiB);
    fault = nullptr;
    running = true;
    writes = 0;
    EXPECT_EQ(cm->func_copy_Item(it, &running), 1);
    EXPECT_EQ(writes.load(), 2);
    EXPECT_TRUE(readBytes(target(it)) == content);
}

TEST_F(Copy, FileAlreadyOnTheMedium) {
    const std::string content = pattern(2 * kMiB, 3);
    struct Case {
        const char* name;
        std::string onMedium;
        int writes;
    } cases[] = {
        {"same content", content, 0},
        {"other content of that size", pattern(2 * kMiB, 4), 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        InfFileUpdate* it = item(content);
        common_util::ensure_directory(target(it));
        writeBytes(target(it), c.onMedium);
        writes = 0;
        score_board::getBoards()[BOARD_COPY_TOTALS].takeFlag();
        EXPECT_EQ(cm->func_copy_Item(it, &running), 1);
        EXPECT_EQ(it->m_nState.load(), ITEM_STATE_COPIED);
        EXPECT_EQ(writes.load(), c.writes);
        EXPECT_TRUE(readBytes(target(it)) == content);
        EXPECT_EQ(score_board::getBoards()[BOARD_COPY_TOTALS].takeFlag(), c.writes == 0 ? 1 : 0);
    }
}

TEST_F(Copy, CrcMismatchFailsAndRemovesTheCopy) {
    InfFileUpdate* it = item(pattern(kMiB + 5, 5), "1234");
    EXPECT_EQ(cm->func_copy_Item(it, &running), 1);
    EXPECT_EQ(it->m_nState.load(), ITEM_STATE_COPY_FAILED);
    EXPECT_EQ(page.count(UM_MODULE_ERROR, MODULE_COPY, MODULE_ERROR_COPY_VERIFY), 1);
    EXPECT_TRUE(waitUntil([&] { return !fileExists(target(it)); }));

    // A missing source is a failure of its own.
    InfFileUpdate* gone = item("abc");
    DeleteFileW(gone->getFilePath(dir.path()).GetString());
    page.clear();
    EXPECT_EQ(cm->func_copy_Item(gone, &running), 1);
    EXPECT_EQ(gone->m_nState.load(), ITEM_STATE_COPY_FAILED);
    EXPECT_EQ(page.count(UM_MODULE_ERROR, MODULE_COPY, MODULE_ERROR_COPY_VERIFY), 1);
}

TEST_F(Copy, StopMidCopyAndMidVerifyLeaveNoVerdict) {
    const std::string content = pattern(4 * kMiB, 6);
    {
        SCOPED_TRACE("mid-copy");
        InfFileUpdate* it = item(content);
        fault = [&](const wchar_t* step) -> DWORD {
            if (wcscmp(step, L"write") == 0 && writes == 2) running = false;
            return 0;
        };
        EXPECT_EQ(cm->func_copy_Item(it, &running), 1);
        EXPECT_EQ(it->m_nState.load(), ITEM_STATE_UNZIPPED);
        EXPECT_EQ(CUtilManager::getFileSize(target(it)), 2 * kMiB) << "kept, to be resumed";
        EXPECT_EQ(page.count(UM_MODULE_ERROR), 0);
        EXPECT_EQ(g_bCopyBusy.load(), 0);
    }
    {
        SCOPED_TRACE("mid-verify");
        clearMedium();
        fault = nullptr;
        running = true;
        InfFileUpdate* it = item(content);
        StoppingBoard board(&running, 4 + 2);  // four chunks copied, then half the check
        cm->m_pBoard = &board;
        EXPECT_EQ(cm->func_copy_Item(it, &running), 1);
        EXPECT_EQ(it->m_nState.load(), ITEM_STATE_UNZIPPED);
        EXPECT_TRUE(fileExists(target(it))) << "no verdict, nothing deleted";
        EXPECT_EQ(page.count(UM_MODULE_ERROR), 0);
    }
}

TEST_F(Copy, PackageFoldersAndVnt) {
    Descriptor descriptor;
    ASSERT_TRUE(loadDescriptor(L"TS_A01_COMMON.inf", descriptor));
    InfFileUpdate* map = descriptor.item(L"MAP.exe");
    CString folder = map->getFilePath(dir.path());
    folder = folder.Left(folder.ReverseFind(L'\\') + 1);
    const char* files[] = {"MAP\\TPEG_IMAGE\\a.bin", "MAP\\TPEG_IMAGE\\deep\\b.bin", "MAP\\TPEG_IMAGE_NEW\\c.bin",
                           "MAP\\OTHER\\d.bin"};
    for (const char* f : files) {
        CString path = folder + CString(f);
        common_util::ensure_directory(path);
        writeBytes(path, std::string(f));
    }
    // Present with its size already: counted, not copied again.
    common_util::ensure_directory(L"R:\\PKG\\MAP\\TPEG_IMAGE\\a.bin");
    writeBytes(L"R:\\PKG\\MAP\\TPEG_IMAGE\\a.bin", std::string(files[0]));
    map->m_nState = ITEM_STATE_UNZIPPED;
    EXPECT_EQ(cm->func_copy_Item(map, &running), 1);
    EXPECT_EQ(map->m_nState.load(), ITEM_STATE_COPIED);
    EXPECT_EQ(readBytes(L"R:\\PKG\\MAP\\TPEG_IMAGE\\deep\\b.bin"), files[1]);
    EXPECT_EQ(readBytes(L"R:\\PKG\\MAP\\TPEG_IMAGE_NEW\\c.bin"), files[2]);
    EXPECT_FALSE(fileExists(L"R:\\PKG\\MAP\\OTHER"));
    EXPECT_EQ(page.count(UM_COPY_STEP_DONE, 0, 1), 1);
    EXPECT_EQ(page.count(UM_TRANSFER_PHASE, TRANSFER_PHASE_COPY_STEP, 0), 1);
    score_board& packageBoard = score_board::getBoards()[BOARD_PACKAGE_COPY];
    EXPECT_EQ(packageBoard.getTotalCount(), 3u);
    EXPECT_EQ(packageBoard.getCurrentCount(), 3u);

    Descriptor renamed;
    ASSERT_TRUE(loadDescriptor(L"TS_A01_COMMON.inf", renamed, [](std::string& text) {
        setEntryValue(text, "MAP.exe", "AG_FILENAME", "vnt.exe");
        setEntryValue(text, "MAP.exe", "AG_ZIPNAME", "vnt.exe");
    }));
    InfFileUpdate* vnt = renamed.item(L"vnt.exe");
    vnt->m_nState = ITEM_STATE_UNZIPPED;
    EXPECT_EQ(cm->func_copy_Item(vnt, &running), 1);
    EXPECT_EQ(vnt->m_nState.load(), ITEM_STATE_COPIED) << "nothing to copy, and no failure";
}

TEST_F(Copy, CorruptMediumIsRepairedOnce) {
    const CString stubs = moduleFolder() + L"stubsys";
    ASSERT_TRUE(fileExists(stubs + L"\\chkdsk.exe"));
    const CString previous = setSystemFolder(stubs);
    DeleteFileW((stubs + L"\\chkdsk.log").GetString());
    const std::string content = pattern(kMiB + 7, 8);
    {
        SCOPED_TRACE("repaired");
        InfFileUpdate* it = item(content);
        int seeks = 0;
        fault = [&](const wchar_t* step) -> DWORD {
            return wcscmp(step, L"seek") == 0 && ++seeks == 1 ? ERROR_FILE_CORRUPT : 0;
        };
        EXPECT_EQ(cm->func_copy_Item(it, &running), 1);
        EXPECT_EQ(it->m_nState.load(), ITEM_STATE_COPIED);
        EXPECT_EQ(page.count(UM_MODULE_ERROR), 0);
        std::string log = readBytes(stubs + L"\\chkdsk.log");
        EXPECT_NE(log.find("/F /X \"R:\"|Y"), std::string::npos) << "the volume, quoted: " << log;
    }
    {
        SCOPED_TRACE("stays corrupt");
        clearMedium();
        DeleteFileW((stubs + L"\\chkdsk.log").GetString());
        InfFileUpdate* it = item(content);
        fault = [](const wchar_t* step) -> DWORD { return wcscmp(step, L"seek") == 0 ? ERROR_FILE_CORRUPT : 0; };
        page.clear();
        EXPECT_EQ(cm->func_copy_Item(it, &running), 1);
        EXPECT_EQ(it->m_nState.load(), ITEM_STATE_UNZIPPED);
        EXPECT_EQ(page.count(UM_MODULE_ERROR, MODULE_COPY, MODULE_ERROR_COPY_TARGET), 1);
        std::string log = readBytes(stubs + L"\\chkdsk.log");
        size_t runs = 0;
        for (size_t at = log.find("chkdsk.exe"); at != std::string::npos; at = log.find("chkdsk.exe", at + 1)) ++runs;
        EXPECT_EQ(runs, 1u) << "one repair per file";
    }
    setSystemFolder(previous);
}

TEST_F(Copy, StopAllStopsTheCopyThreadAndWaitsForIt) {
    worker_manager* wm = worker_manager::getInstance();
    function_manager* fm = function_manager::getInstance();
    InfFileUpdate* it = item(pattern(24 * kMiB, 9));
    fault = [](const wchar_t* step) -> DWORD {
        if (wcscmp(step, L"write") == 0) Sleep(40);
        return 0;
    };
    transfer_task* task = nullptr;
    {
        std::lock_guard<std::recursive_mutex> lock(fm->m_taskMutex);
        task = fm->getOrCreateTask(fm->m_copyTasks, it, 0);
    }
    ASSERT_NE(task, nullptr);
    ASSERT_TRUE(wm->startCopyThread(task));
    EXPECT_FALSE(wm->isSlotFree(worker_manager::SLOT_COPY));
    EXPECT_FALSE(wm->startCopyThread(task)) << "one copy thread";
    ASSERT_TRUE(waitUntil([&] { return writes.load() >= 2; }));
    wm->stopAll();
    EXPECT_TRUE(wm->isSlotFree(worker_manager::SLOT_COPY)) << "joined, not forgotten";
    EXPECT_FALSE(task->live.load());
    EXPECT_EQ(it->m_nState.load(), ITEM_STATE_UNZIPPED) << "stopped before a verdict";
    EXPECT_LT(writes.load(), 24);
    EXPECT_EQ(fm->m_nPaused.load(), 0) << "a stop is no pause";
    EXPECT_FALSE(fm->stopGateClosed());
}

namespace {

bool lastWriteTime(const CString& path, FILETIME& time, const FILETIME* set = nullptr) {
    HANDLE file = CreateFileW(path.GetString(), FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES,
                              FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    bool ok = set ? SetFileTime(file, nullptr, nullptr, set) != FALSE : GetFileTime(file, nullptr, nullptr, &time) != FALSE;
    CloseHandle(file);
    return ok;
}

}  // namespace

TEST_F(Copy, PackageFilesSkipOnlyOnSizeAndTimeAndAreReadBack) {
    const CString source = dir.path() + L"pkg";
    const CString medium = L"R:\\PKG";
    const std::string bytes = "package page";
    for (const wchar_t* name : {L"same.htm", L"other_time.htm", L"fresh.htm"})
        ASSERT_TRUE(writeFileAt(source + L"\\HTML\\" + name, bytes));
    // On the medium: one left by an earlier copy (size and time kept, its
    // bytes spoiled to see that it is not touched), one of equal size but
    // another time (what an interrupted copy leaves).
    ASSERT_TRUE(writeFileAt(medium + L"\\HTML\\same.htm", ""));
    ASSERT_TRUE(CopyFileW((source + L"\\HTML\\same.htm").GetString(), (medium + L"\\HTML\\same.htm").GetString(), FALSE));
    FILETIME kept{};
    ASSERT_TRUE(lastWriteTime(medium + L"\\HTML\\same.htm", kept));
    ASSERT_TRUE(writeBytes(medium + L"\\HTML\\same.htm", std::string(bytes.size(), 'k')));
    ASSERT_TRUE(lastWriteTime(medium + L"\\HTML\\same.htm", kept, &kept));
    ASSERT_TRUE(writeBytes(medium + L"\\HTML\\other_time.htm", std::string(bytes.size(), 'o')));

    const run_flags flags{&running, nullptr};
    EXPECT_EQ(cm->copyPackageFolders(L"HTML.exe", source, L"R:\\PKG", flags), 1);
    EXPECT_EQ(readBytes(medium + L"\\HTML\\same.htm"), std::string(bytes.size(), 'k')) << "size and time: skipped";
    EXPECT_EQ(readBytes(medium + L"\\HTML\\other_time.htm"), bytes) << "size alone: copied";
    EXPECT_EQ(readBytes(medium + L"\\HTML\\fresh.htm"), bytes);

    // A medium that keeps other bytes than it was given: the read-back
    // fails the package and the bad copy goes.
    DeleteFileW((medium + L"\\HTML\\fresh.htm").GetString());
    fault = [](const wchar_t* step) -> DWORD {
        if (wcscmp(step, L"tree-copy") == 0) writeBytes(L"R:\\PKG\\HTML\\fresh.htm", "package pagE");
        return 0;
    };
    EXPECT_EQ(cm->copyPackageFolders(L"HTML.exe", source, L"R:\\PKG", flags), 0);
    EXPECT_TRUE(waitUntil([&] { return !fileExists(medium + L"\\HTML\\fresh.htm"); }));

    // A stop ends the walk before the next file: nothing more is copied.
    fault = nullptr;
    removeTree(medium);
    running = false;
    EXPECT_EQ(cm->copyPackageFolders(L"HTML.exe", source, L"R:\\PKG", flags), 0);
    int copied = 0;
    for (const wchar_t* name : {L"same.htm", L"other_time.htm", L"fresh.htm"})
        copied += fileExists(medium + L"\\HTML\\" + name);
    EXPECT_EQ(copied, 0);
}
