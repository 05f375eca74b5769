#include "engine/score_board.h"
#include "engine/vercheck_manager.h"
#include "foundation/private_messages.h"
#include "tests/engine/control_fixtures.h"
#include "tests/engine/message_window.h"
#include "tests/support/test_support.h"

#include <gtest/gtest.h>

namespace {

std::string utf8(const CString& text) {
    return std::string(WideToMultiByte(text.GetString(), CP_UTF8).GetString());
}

std::string utf16WithMark(const CString& text) {
    std::string bytes("\xFF\xFE", 2);
    bytes.append(reinterpret_cast<const char*>(text.GetString()), text.GetLength() * sizeof(wchar_t));
    return bytes;
}

// A version file of the current generation listing (dest, name, version).
CString verText(std::initializer_list<std::tuple<const wchar_t*, const wchar_t*, int>> lines) {
    CString text = L"+|2024.05.01|SW|TS|CAR|123|0\n";
    for (const auto& line : lines) {
        text.AppendFormat(L"%s|%s|%d|0|10|1\n", std::get<0>(line), std::get<1>(line), std::get<2>(line));
    }
    return text;
}

class PreCheck : public ::testing::Test {
protected:
    void SetUp() override {
        vercheck_manager::getInstance().setDownloadFolder(dir.path());
    }
    void TearDown() override {
        // A window handle is reused once its window is gone: a later test's
        // page must not hear this check.
        for (HWND window : listeners) vercheck_manager::getInstance().m_observers.remove(window);
    }
    void listen(MessageWindow& page) {
        listeners.push_back(page.hwnd());
        vercheck_manager::getInstance().m_observers.add(page.hwnd());
    }
    CString at(const CString& relative) { return dir.path() + relative; }
    // A descriptor folder an earlier check made (it carries the mark).
    bool madeByUs(const CString& name) {
        return writeFileAt(at(name + L"\\" + vercheck_manager::ownFolderMark()), "");
    }
    std::vector<HWND> listeners;
    void run() { vercheck_manager::getInstance().checkMedium(); }

    TempDir dir;
};

TEST_F(PreCheck, KeepsWhatAnEarlierRunFinished) {
    TestVehicle car({
        {L"kept.dat"},                                                             // recorded, right size
        {L"MAP.exe"},                                                              // a package goes back to 200
        {L"split.idx", L"10", L"1", L"MAP", L"split.zip", L"30", 3},              // kept; its pieces go
        {L"older.dat", L"10", L"2"},                                               // recorded version 1
        {L"short.dat"},                                                            // cut short: resumes
        {L"long.dat"},                                                             // longer than listed
        {L"unchecked.dat"},                                                        // fetched, never checked
        {L"missing.dat"},                                                          // not there
        {L"unlisted.dat", L"10", L"0"},                                            // version 0, no line: matches
    });
    car.build();
    ASSERT_EQ(car.items().size(), 9u);
    ASSERT_TRUE(madeByUs(L"CAR"));
    ASSERT_TRUE(writeFileAt(at(L"CAR\\CAR.ver"), utf8(verText({{L"CAR\\MAP", L"kept.dat", 1},
                                                              {L"CAR\\MAP", L"MAP.exe", 1},
                                                              {L"CAR\\MAP", L"split.idx", 1},
                                                              {L"CAR\\MAP", L"older.dat", 1},
                                                              {L"CAR\\MAP", L"short.dat", 1},
                                                              {L"CAR\\MAP", L"long.dat", 1}}) +
                                                     L"CAR\\MAP|unchecked.dat|1|0|10|0\n")));
    for (const wchar_t* name : {L"kept.dat", L"MAP.exe", L"split.idx", L"older.dat", L"unlisted.dat", L"unchecked.dat"})
        ASSERT_TRUE(writeFileAt(at(CString(L"CAR\\MAP\\") + name), std::string(10, 'x')));
    ASSERT_TRUE(writeFileAt(at(L"CAR\\MAP\\short.dat"), std::string(9, 'x')));
    ASSERT_TRUE(writeFileAt(at(L"CAR\\MAP\\long.dat"), std::string(12, 'x')));
    for (const wchar_t* piece : {L"split.000", L"split.001", L"split.zip"})
        ASSERT_TRUE(writeFileAt(at(CString(L"CAR\\MAP\\") + piece), std::string(10, 'p')));

    MessageWindow page;
    listen(page);
    run();

    struct Expect {
        const wchar_t* name;
        int state;
        bool fileStays;
    } expected[] = {
        {L"kept.dat", ITEM_STATE_UNZIPPED, true},       {L"MAP.exe", ITEM_STATE_DOWNLOADED, true},
        {L"split.idx", ITEM_STATE_UNZIPPED, true},      {L"older.dat", ITEM_STATE_DOWNLOAD_READY, false},
        {L"short.dat", ITEM_STATE_DOWNLOAD_READY, true},  {L"long.dat", ITEM_STATE_DOWNLOAD_READY, false},
        {L"unchecked.dat", ITEM_STATE_DOWNLOADED, true},  {L"missing.dat", ITEM_STATE_DOWNLOAD_READY, false},
        {L"unlisted.dat", ITEM_STATE_UNZIPPED, true},
    };
    for (const Expect& e : expected) {
        ASSERT_NE(car.item(e.name), nullptr) << e.name;
        EXPECT_EQ(car.item(e.name)->m_nState.load(), e.state) << e.name;
        EXPECT_EQ(fileExists(at(CString(L"CAR\\MAP\\") + e.name)), e.fileStays) << e.name;
    }
    for (const wchar_t* piece : {L"split.000", L"split.001", L"split.zip"})
        EXPECT_FALSE(fileExists(at(CString(L"CAR\\MAP\\") + piece))) << piece;

    // The version file is written anew: the kept items are listed as done.
    std::string written = readBytes(at(L"CAR\\CAR.ver"));
    EXPECT_NE(written.find("CAR\\MAP|kept.dat|1|0|10|1"), std::string::npos) << written;
    EXPECT_NE(written.find("CAR\\MAP|older.dat|2|0|10|0"), std::string::npos) << written;

    score_board& board = score_board::getBoards()[BOARD_CHECK_AND_COPY];
    EXPECT_EQ(board.getTotalCount(), 9u);
    EXPECT_EQ(board.getCurrentCount(), 9u);
    EXPECT_EQ(board.getTotalSize(), 90u);

    ASSERT_TRUE(page.waitForMessage(UM_CHECK_COMPLETE, 0, 1, 20000));
    EXPECT_EQ(page.count(UM_TRANSFER_PHASE, TRANSFER_PHASE_CHECK, 0), 1u);
    EXPECT_EQ(page.count(UM_CHECK_ITEM_DONE), 9u);
    EXPECT_EQ(page.messages().front().message, static_cast<UINT>(UM_TRANSFER_PHASE));
    EXPECT_EQ(page.messages().back().message, static_cast<UINT>(UM_CHECK_COMPLETE));
}

TEST_F(PreCheck, ReadsBothGenerationsWithNamesBeyondAscii) {
    const CString name = L"\u5730\u56F3_\u00E9t\u00E9.dat";
    for (bool older : {false, true}) {
        TestVehicle car({{name}});
        car.build();
        ASSERT_TRUE(writeFileAt(at(L"CAR\\MAP\\") + name, std::string(10, 'x')));
        CString text = verText({{L"CAR\\MAP", name.GetString(), 1}});
        if (older) text = L"*|2024.05.01|SW|CAR|123|0\r\nCAR\\MAP|" + name + L"|1|0|10|1\r\n";
        ASSERT_TRUE(madeByUs(L"CAR"));
        ASSERT_TRUE(writeFileAt(at(L"CAR\\CAR.ver"), older ? utf16WithMark(text) : utf8(text)));
        run();
        EXPECT_EQ(car.items()[0]->m_nState.load(), ITEM_STATE_UNZIPPED) << (older ? "UTF-16" : "UTF-8");
        EXPECT_TRUE(fileExists(at(L"CAR\\MAP\\") + name));
    }
}

TEST_F(PreCheck, RemovesLeftoversButKeepsFilesInOtherLetterCase) {
    TestVehicle car({{L"Data.BIN"}, {L"big.idx", L"10", L"1", L"MAP", L"big.zip", L"20", 2}});
    car.build();
    ASSERT_TRUE(writeFileAt(at(L"CAR\\MAP\\data.bin"), std::string(10, 'x')));  // extracted in other case
    ASSERT_TRUE(writeFileAt(at(L"car\\map\\BIG.000"), std::string(10, 'p')));    // a piece, still wanted
    ASSERT_TRUE(writeFileAt(at(L"CAR\\MAP\\old.001"), "stale"));
    ASSERT_TRUE(writeFileAt(at(L"CAR\\OLD\\deep\\x.dat"), "stale"));
    ASSERT_TRUE(writeFileAt(at(L"OTHER\\keep.me"), "not ours"));
    ASSERT_TRUE(writeFileAt(at(L"top.txt"), "not ours"));
    ASSERT_TRUE(madeByUs(L"CAR"));
    ASSERT_TRUE(writeFileAt(at(L"CAR\\CAR.ver"), utf8(verText({{L"CAR\\MAP", L"Data.BIN", 1}}))));

    run();

    EXPECT_EQ(car.item(L"Data.BIN")->m_nState.load(), ITEM_STATE_UNZIPPED);
    EXPECT_TRUE(fileExists(at(L"CAR\\MAP\\data.bin")));
    EXPECT_TRUE(fileExists(at(L"car\\map\\BIG.000")));
    EXPECT_FALSE(fileExists(at(L"CAR\\MAP\\old.001")));
    EXPECT_FALSE(fileExists(at(L"CAR\\OLD\\deep\\x.dat")));
    EXPECT_EQ(GetFileAttributesW(at(L"CAR\\OLD").GetString()), INVALID_FILE_ATTRIBUTES);
    EXPECT_TRUE(fileExists(at(L"OTHER\\keep.me")));
    EXPECT_TRUE(fileExists(at(L"top.txt")));
    EXPECT_TRUE(fileExists(at(L"CAR\\CAR.ver")));
}

TEST_F(PreCheck, CleansOnlyAFolderItMadeThatHoldsItsOwnVersionFile) {
    // A vehicle named like a folder of the user's beside the downloads.
    TestVehicle car({{L"a.dat"}});
    car.build();
    const std::string ver = utf8(verText({{L"CAR\\MAP", L"a.dat", 1}}));
    struct Case {
        const char* what;
        bool mark;
        bool verFile;
        bool cleaned;
    } cases[] = {
        {"the user's folder", false, false, false},
        {"the user's folder after a run wrote its version file there", false, true, false},
        {"a folder the check made, before its first version file", true, false, false},
        {"a folder the check made, with its version file", true, true, true},
    };
    for (const Case& c : cases) {
        removeTree(at(L"CAR"));
        ASSERT_TRUE(writeFileAt(at(L"CAR\\holiday.jpg"), "photo"));
        ASSERT_TRUE(writeFileAt(at(L"CAR\\Album\\x.jpg"), "photo"));
        if (c.mark) {
            ASSERT_TRUE(madeByUs(L"CAR"));
        }
        if (c.verFile) {
            ASSERT_TRUE(writeFileAt(at(L"CAR\\CAR.ver"), ver));
        }
        run();
        EXPECT_EQ(fileExists(at(L"CAR\\holiday.jpg")), !c.cleaned) << c.what;
        EXPECT_EQ(fileExists(at(L"CAR\\Album\\x.jpg")), !c.cleaned) << c.what;
        EXPECT_EQ(fileExists(at(CString(L"CAR\\") + vercheck_manager::ownFolderMark())), c.mark) << c.what;
    }

    // A folder that is not there is made by the check, with its mark: from
    // the next run on, what the runs leave in it is cleaned.
    removeTree(at(L"CAR"));
    run();
    EXPECT_TRUE(fileExists(at(CString(L"CAR\\") + vercheck_manager::ownFolderMark())));
    ASSERT_TRUE(writeFileAt(at(L"CAR\\CAR.ver"), ver));
    ASSERT_TRUE(writeFileAt(at(L"CAR\\MAP\\stale.dat"), "old"));
    run();
    EXPECT_FALSE(fileExists(at(L"CAR\\MAP\\stale.dat")));
    EXPECT_TRUE(fileExists(at(CString(L"CAR\\") + vercheck_manager::ownFolderMark()))) << "the mark is kept";
}

TEST_F(PreCheck, CleansNothingOutsideAnAbsoluteDownloadFolder) {
    TestVehicle car({{L"a.dat"}});
    car.build();
    ASSERT_TRUE(writeFileAt(at(L"CAR\\MAP\\stray.dat"), "x"));
    for (const wchar_t* folder : {L"", L"relative\\folder"}) {
        vercheck_manager::getInstance().setDownloadFolder(folder);
        run();
        EXPECT_TRUE(fileExists(at(L"CAR\\MAP\\stray.dat"))) << folder;
    }
}

TEST_F(PreCheck, StopLeavesTheRestUnchecked) {
    std::vector<ItemRow> rows;
    for (int i = 0; i < 300; ++i) {
        CString name;
        name.Format(L"f%03d.dat", i);
        rows.push_back({name});
    }
    TestVehicle car(rows);
    car.build();

    MessageWindow page;
    vercheck_manager& check = vercheck_manager::getInstance();
    listen(page);
    // Stopped from inside the check, after its third item.
    int seen = 0;
    check.m_afterItem = [&](InfFileUpdate*) {
        if (++seen == 3) check.stop();
    };
    run();
    check.m_afterItem = nullptr;

    int unchecked = 0;
    for (InfFileUpdate* item : car.items()) unchecked += item->m_nState.load() == ITEM_STATE_NEW;
    EXPECT_EQ(unchecked, 300 - 3);
    EXPECT_FALSE(vercheck_manager::getInstance().isRunning());
    EXPECT_TRUE(page.waitForMessage(UM_CHECK_COMPLETE, 0, 1, 20000));
}

}  // namespace
