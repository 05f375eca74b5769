// Unzip and verification of whole files, single and split zips and the
// self-contained packages, in a local download folder.
#include "engine/package_names.h"
#include "engine/unzip_manager.h"
#include "engine/worker_manager.h"
#include "foundation/common_util.h"
#include "tests/engine/engine_fixtures.h"
#include "tests/support/test_support.h"
#include "tests/webclient/standin_client.h"

#include <gtest/gtest.h>

namespace {

// Stops the extraction from inside: clears the flag at the n-th counted chunk.
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

class Unzip : public testing::Test {
protected:
    void SetUp() override {
        REQUIRE_STANDIN();
        standin::clearFaults();
        ASSERT_TRUE(loadDescriptor(L"TS_A01_COMMON.inf", descriptor));
        um->m_strDownloadFolder = dir.path();
        worker_manager::getInstance()->m_strDownloadFolder = dir.path();
        um->m_observers.add(page.hwnd());
        um->m_bEnabled = true;
    }
    void TearDown() override {
        um->m_observers.remove(page.hwnd());
        um->m_pBoard = &score_board::getBoards()[BOARD_UNZIP];
    }

    // Puts what the download step would leave: the file, or every piece.
    void place(InfFileUpdate* item, const CString& name = CString()) {
        if (item->getNumSpan() == 0) {
            CString path = item->getFilePath(dir.path());
            common_util::ensure_directory(path);
            ASSERT_TRUE(writeBytes(path, fetch(pathOfUrl(name.IsEmpty() ? item->getFileUrl() : name))));
            return;
        }
        for (int k = 0; k < item->getNumSpan(); ++k) {
            CString path = item->getPartPath(dir.path(), k);
            common_util::ensure_directory(path);
            ASSERT_TRUE(writeBytes(path, fetch(pathOfUrl(item->getPartUrl(k)))));
        }
    }
    bool piecesGone(InfFileUpdate* item) {
        for (int k = 0; k < item->getNumSpan(); ++k) {
            if (fileExists(item->getPartPath(dir.path(), k))) return false;
        }
        return true;
    }
    CString folderOf(InfFileUpdate* item) {
        CString path = item->getFilePath(dir.path());
        return path.Left(path.ReverseFind(L'\\') + 1);
    }

    unzip_manager* um = unzip_manager::getInstance();
    FakePage page;
    TempDir dir;
    Descriptor descriptor;
    RunFlag running{true};
};

}  // namespace

TEST_F(Unzip, EveryKindEndsVerified) {
    const wchar_t* names[] = {L"version.txt", L"MAPDATA.zip", L"ROAD.zip", L"MAP.exe"};
    for (const wchar_t* name : names) {
        SCOPED_TRACE(CStringA(name).GetString());
        InfFileUpdate* item = descriptor.item(name);
        ASSERT_NE(item, nullptr);
        place(item);
        page.clear();
        EXPECT_EQ(um->func_unzip_Item(item, &running), 1);
        EXPECT_EQ(item->m_nState.load(), ITEM_STATE_UNZIPPED);
        EXPECT_TRUE(piecesGone(item));
        page.sync();
        EXPECT_EQ(page.count(UM_UNZIP_PROGRESS, 0, 1), 1);
        EXPECT_EQ(page.count(UM_MODULE_ERROR), 0);
        const CString file = item->getFilePath(dir.path());
        if (isPackageName(item->getFileName())) {
            EXPECT_TRUE(fileExists(file)) << "the package is kept for the next run";
            EXPECT_TRUE(fileExists(folderOf(item) + L"MAP\\MAP.INI"));
        } else {
            EXPECT_EQ(standin::crc32Of(readBytes(file)), item->getFileCrc());
        }
    }
    // Once more: the file is there and intact, so nothing is extracted.
    InfFileUpdate* road = descriptor.item(L"ROAD.zip");
    place(road);
    ULONGLONG before = um->m_pBoard->getCurrentSize();
    EXPECT_EQ(um->func_unzip_Item(road, &running), 1);
    EXPECT_EQ(um->m_pBoard->getCurrentSize(), before);
    EXPECT_TRUE(piecesGone(road));
}

TEST_F(Unzip, ErrorCodesMapToModuleDetails) {
    const int table[][2] = {
        {SIZE_ERROR_READ, MODULE_ERROR_FILE_SIZE}, {SIZE_ERROR_MISMATCH, MODULE_ERROR_FILE_SIZE},
        {CRC_ERROR_READ, MODULE_ERROR_CRC},        {CRC_ERROR_MISMATCH, MODULE_ERROR_CRC},
        {UNZIP_ERROR_NO_FILE, MODULE_ERROR_UNZIP_RENAME}, {UNZIP_ERROR_OPEN, MODULE_ERROR_UNZIP_RENAME},
        {UNZIP_ERROR_EXTRACT, MODULE_ERROR_UNZIP_MODULE}, {UNZIP_ERROR_STOPPED, 0}, {0, 0},
    };
    for (const auto& row : table) EXPECT_EQ(unzip_manager::moduleDetail(row[0]), row[1]) << row[0];
}

TEST_F(Unzip, FailuresAreReportedAndCleanedUp) {
    struct Case {
        const char* name;
        const char* zip;
        const char* key;  // descriptor value changed, or null
        std::string value;
        bool corrupt;     // bytes of the zip spoiled
        bool missing;     // nothing placed
        LPARAM detail;    // 0: no message
    } cases[] = {
        {"whole file, other CRC", "version.txt", "AG_FILECRC", "12345", false, false, MODULE_ERROR_CRC},
        {"whole file, other size", "version.txt", "AG_FILESIZE", "99", false, false, MODULE_ERROR_FILE_SIZE},
        {"zip missing", "MAPDATA.zip", nullptr, "", false, true, MODULE_ERROR_UNZIP_RENAME},
        {"zip corrupt", "MAPDATA.zip", nullptr, "", true, false, MODULE_ERROR_UNZIP_MODULE},
        {"last entry is another file", "MAPDATA.zip", "AG_FILENAME", "OTHER.IDX", false, false, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Descriptor edited;
        ASSERT_TRUE(loadDescriptor(L"TS_A01_COMMON.inf", edited, [&](std::string& text) {
            if (c.key) setEntryValue(text, c.zip, c.key, c.value);
        }));
        InfFileUpdate* item = edited.item(CString(c.zip));
        ASSERT_NE(item, nullptr);
        if (!c.missing) place(item);
        if (c.corrupt) {
            CString path = item->getPartPath(dir.path(), 0);
            std::string bytes = readBytes(path);
            for (size_t i = 200; i < bytes.size() / 2; ++i) bytes[i] = static_cast<char>(bytes[i] ^ 0x5A);
            writeBytes(path, bytes);
        }
        page.clear();
        EXPECT_EQ(um->func_unzip_Item(item, &running), 0);
        EXPECT_EQ(item->m_nState.load(), ITEM_STATE_DOWNLOAD_READY) << "to be fetched again, not checked again";
        page.sync();
        EXPECT_EQ(page.count(UM_MODULE_ERROR), c.detail ? 1 : 0);
        if (c.detail) {
            EXPECT_EQ(page.count(UM_MODULE_ERROR, MODULE_DOWNLOAD, c.detail), 1);
        }
        EXPECT_FALSE(fileExists(item->getFilePath(dir.path()))) << "a bad result is deleted";
        EXPECT_TRUE(piecesGone(item)) << "the pieces go, to be fetched again";
    }
}

TEST_F(Unzip, StopMidEntryCountsOnlyFinishedEntries) {
    InfFileUpdate* road = descriptor.item(L"ROAD.zip");
    place(road);
    StoppingBoard board(&running, 3);
    board.setCurrentSize(500);
    um->m_pBoard = &board;
    EXPECT_EQ(um->func_unzip_Item(road, &running), 0);
    EXPECT_EQ(road->m_nState.load(), ITEM_STATE_UNZIP_FAILED);
    EXPECT_EQ(board.getCurrentSize(), 500u);
    page.sync();
    EXPECT_EQ(page.count(UM_MODULE_ERROR), 0) << "a stop is no error";
    EXPECT_FALSE(piecesGone(road)) << "a stop keeps the pieces";
    EXPECT_EQ(zipExtractBusy.load(), 0);
}

TEST_F(Unzip, PackagesByNameIgnoringCase) {
    const std::string package = fetch(pathOfUrl(descriptor.item(L"MAP.exe")->getFileUrl()));
    struct Case {
        const char* name;
        const wchar_t* probe;  // a file the extraction must leave
    } cases[] = {
        {"vnt.exe", L"MAP.INI"},
        {"Map.Exe", L"MAP\\MAP.INI"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Descriptor renamed;
        ASSERT_TRUE(loadDescriptor(L"TS_A01_COMMON.inf", renamed, [&](std::string& text) {
            setEntryValue(text, "MAP.exe", "AG_FILENAME", std::string("\"") + c.name + "\"");
            setEntryValue(text, "MAP.exe", "AG_ZIPNAME", c.name);
        }));
        InfFileUpdate* item = renamed.item(CString(c.name));
        ASSERT_NE(item, nullptr);
        const CString path = item->getFilePath(dir.path());
        common_util::ensure_directory(path);
        ASSERT_TRUE(writeBytes(path, package));
        EXPECT_EQ(um->func_unzip_Item(item, &running), 1);
        EXPECT_EQ(item->m_nState.load(), ITEM_STATE_UNZIPPED);
        EXPECT_TRUE(fileExists(folderOf(item) + c.probe));
    }
}
