#include "engine/transfer_rules.h"
#include "tests/engine/control_fixtures.h"

#include <gtest/gtest.h>

namespace {

TEST(TransferRules, SplitRepairBySizesOfThePieces) {
    const ULONGLONG u = kUnreadableSize;
    struct Case {
        const char* what;
        std::vector<ULONGLONG> sizes;
        bool repaired;
        std::vector<int> deleted;
    } cases[] = {
        {"no pieces: ends at once", {}, false, {}},
        {"one piece", {10}, true, {0}},
        {"two pieces", {10, 4}, true, {0}},
        {"three, middle agrees: the last is off", {10, 10, 3}, true, {2}},
        {"three, middle differs: the first is off", {10, 9, 3}, true, {0}},
        {"seven, all middles agree", {10, 10, 10, 10, 10, 10, 2}, true, {6}},
        {"seven, three of five agree", {10, 10, 9, 10, 8, 10, 2}, true, {2, 4}},
        {"seven, two of five agree", {10, 10, 9, 7, 8, 10, 2}, false, {}},
        {"seven, none agree", {10, 1, 2, 3, 4, 5, 6}, true, {0}},
        {"first unreadable", {u, u, u}, true, {0}},
    };
    for (const Case& c : cases) {
        split_repair plan = planSplitRepair(c.sizes);
        EXPECT_EQ(plan.repaired, c.repaired) << c.what;
        EXPECT_EQ(plan.deleted, c.deleted) << c.what;
    }
}

TEST(TransferRules, SkipCopyOnlyInsideTheHeadUnitsFolders) {
    struct Case {
        bool platform;
        const wchar_t* dest;
        const wchar_t* inf;
        bool skip;
    } cases[] = {
        {true, L"CAR\\VESPERLINK", L"CAR.inf", true},
        {true, L"CAR\\VESPERLINK\\sub", L"CAR.inf", true},
        {true, L"CAR\\VESPERLINK_M", L"CAR.inf", true},
        {true, L"CAR\\VESPERLINK_M\\a\\b", L"CAR.inf", true},
        {true, L"car\\vesperlink_m\\x", L"CAR.INF", true},
        {true, L"CAR/VESPERLINK/x", L"CAR.inf", true},
        {true, L"CAR\\VESPERLINKS", L"CAR.inf", false},
        {true, L"CAR\\VESPERLINK_MX\\a", L"CAR.inf", false},
        {true, L"CAR\\MAP", L"CAR.inf", false},
        {true, L"OTHER\\VESPERLINK", L"CAR.inf", false},
        {false, L"CAR\\VESPERLINK", L"CAR.inf", false},
        {true, L"", L"CAR.inf", false},
        {true, L"CAR\\VESPERLINK", L"", false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(isSkipCopyPath(c.platform, c.dest, c.inf), c.skip) << c.dest << L" " << c.inf << L" " << c.platform;
    }
}

TEST(TransferRules, OneTestForCountingAndChoosing) {
    struct Case {
        const char* what;
        const wchar_t* ver;
        const wchar_t* size;
        bool intact;
        int usable;
        bool takes;
    } cases[] = {
        {"ordinary", L"1", L"100", true, 1, true},
        {"version 0 never transfers, so it must not count", L"0", L"100", true, 1, false},
        {"exactly 128 GiB", L"1", L"137438953472", true, 1, true},
        {"broken guard", L"1", L"100", false, 1, false},
        {"not usable", L"1", L"100", true, 2, false},
    };
    for (const Case& c : cases) {
        ItemRow row{L"f.dat"};
        row.ver = c.ver;
        row.size = c.size;
        OwnedItem item(row);
        ASSERT_TRUE(item.ok()) << c.what;
        if (!c.intact) item->m_guard.word[2] = 0;
        item->m_nUsable = c.usable;
        EXPECT_EQ(isTransferItem(item.get()), c.takes) << c.what;
    }
    EXPECT_FALSE(isTransferItem(nullptr));
}

TEST(TransferRules, ProgressOverItemStates) {
    // state, download size, file size, skip, package, pieces done, on medium
    std::vector<item_progress> items = {
        {ITEM_STATE_DOWNLOAD_READY, 100, 90, false, false, 0, 0},
        {ITEM_STATE_DOWNLOADING, 200, 180, false, false, 50, 0},
        {ITEM_STATE_UNZIPPED, 300, 280, false, false, 0, 70},
        {ITEM_STATE_COPIED, 400, 380, false, true, 0, 0},
        {ITEM_STATE_COPIED, 500, 480, true, false, 0, 0},
    };
    progress_sums s = sumProgress(items);
    EXPECT_EQ(s.lowest, ITEM_STATE_DOWNLOAD_READY);
    EXPECT_EQ(s.highest, ITEM_STATE_COPIED);
    EXPECT_EQ(s.downloaded, 300u + 400 + 500 + 50);
    EXPECT_EQ(s.downloadedCount, 3u);
    EXPECT_EQ(s.unzipped, 1200u);
    EXPECT_EQ(s.unzippedCount, 3u);
    EXPECT_EQ(s.copied, 380u + 70);
    EXPECT_EQ(s.copiedCount, 1u);

    transfer_totals t = sumTotals(items);
    EXPECT_EQ(t.download, 1500u);
    EXPECT_EQ(t.count, 5u);
    EXPECT_EQ(t.unzip, 1500u + 380);  // the package is extracted twice
    EXPECT_EQ(t.copy, 90u + 180 + 280 + 380);
    EXPECT_EQ(t.copyCount, 4u);

    progress_sums none = sumProgress({});
    EXPECT_EQ(none.lowest, ITEM_STATE_COPIED);
}

}  // namespace
