#include "foundation/logmanager.h"
#include "tests/support/test_support.h"

#include <gtest/gtest.h>

namespace {

const CTime kNow(2024, 1, 31, 12, 0, 0);
const SYSTEMTIME kToday{2024, 1, 3, 31, 12, 0, 0, 0};

bool makeFile(const CString& path, ULONGLONG size, const CTime& written) {
    CFile f;
    if (!f.Open(path.GetString(), CFile::modeCreate | CFile::modeWrite)) return false;
    f.SetLength(size);
    f.Close();
    return setFileTimeLocal(path, written);
}

TEST(LogHousekeeping, DatePassKeepsTenDaysOfStampsInTheName) {
    TempDir parent;
    // A folder whose own name holds today's stamp must not decide anything.
    CString folder = parent / L"run_20240131.d\\";
    ASSERT_TRUE(CreateDirectoryW(folder.GetString(), nullptr));
    struct Case {
        const wchar_t* name;
        bool kept;
    } cases[] = {
        {L"Kestrune_WIN_20240131.log", true},
        {L"Kestrune_WIN_20240122.log", true},
        {L"Kestrune_WIN_20240121.log", false},
        {L"kestrune_win_20231231.LOG", false},
        {L"Kestrune_WIN_20240201.log", false},
        // Not a name the writers produce: never ours to delete.
        {L"notes.txt", true},
        {L"Kestrune_WIN_20240101.log.bak", true},
        {L"Kestrune_WIN_2024010.log", true},
        {L"Kestrune_WIN_2024x101.log", true},
        {L"20240101", true},
        {L"other_20240101.txt", true},
        {L"setup_20240101.log", true},
    };
    for (const auto& c : cases) ASSERT_TRUE(makeFile(folder + c.name, 10, kNow));
    ASSERT_TRUE(CreateDirectoryW((folder + L"sub").GetString(), nullptr));

    LogManager log;
    log.init(folder, L"Kestrune_WIN.log", 0, 10, 0);
    log.deleteOldLogs(kToday);
    for (const auto& c : cases) EXPECT_EQ(fileExists(folder + c.name), c.kept) << c.name;
    EXPECT_TRUE(fileExists(folder + L"sub"));
}

TEST(LogHousekeeping, RelativeFolderIsLeftAlone) {
    TempDir dir;
    ASSERT_TRUE(makeFile(dir / L"Kestrune_WIN_20200101.log", 10, kNow));
    wchar_t previous[MAX_PATH] = {};
    GetCurrentDirectoryW(MAX_PATH, previous);
    ASSERT_TRUE(SetCurrentDirectoryW(dir.path().GetString()));
    for (const wchar_t* folder : {L"", L".\\"}) {
        LogManager log;
        log.init(folder, L"Kestrune_WIN.log", 1, 1, 0);
        log.deleteOldLogs(kToday);
    }
    SetCurrentDirectoryW(previous);
    EXPECT_TRUE(fileExists(dir / L"Kestrune_WIN_20200101.log"));
}

// The writer names its file by GetLocalTime; the C runtime's clock follows a
// TZ variable that the system clock ignores. Today's file survives either way.
TEST(LogHousekeeping, TodayIsTheWritersDay) {
    TempDir dir;
    SYSTEMTIME now;
    GetLocalTime(&now);
    // A zone whose date differs from the system's at this hour.
    _wputenv(now.wHour >= 12 ? L"TZ=XYZ-14" : L"TZ=XYZ+12");
    _tzset();
    {
        LogManager log;
        log.init(dir.path(), L"Kestrune_WIN.log", 0, 1, LogManager::OUTPUT_FILE);
        log.log("LogHousekeeping::TodayIsTheWritersDay", __LINE__, L"line");
        log.deleteOldLogs();
    }
    _wputenv(L"TZ=");
    _tzset();
    CString name;
    name.Format(L"Kestrune_WIN_%04d%02d%02d.log", now.wYear, now.wMonth, now.wDay);
    EXPECT_TRUE(fileExists(dir / name));
}

TEST(LogHousekeeping, ZeroSettingsDeleteNothing) {
    TempDir dir;
    ASSERT_TRUE(makeFile(dir / L"Kestrune_WIN_20200101.log", 200, kNow - CTimeSpan(100, 0, 0, 0)));
    LogManager log;
    log.init(dir.path(), L"Kestrune_WIN.log", 0, 0, 0);
    log.deleteOldLogs(kToday);
    EXPECT_TRUE(fileExists(dir / L"Kestrune_WIN_20200101.log"));
}

TEST(LogHousekeeping, SizePassDeletesOldestFirst) {
    TempDir dir;
    auto nameOf = [](int i) {
        CString name;
        name.Format(L"Kestrune_WIN_202401%02d.log", i + 1);
        return name;
    };
    for (int i = 0; i < 12; ++i) {
        ASSERT_TRUE(makeFile(dir / nameOf(i), 10000000, kNow - CTimeSpan(0, 0, 0, 100 - i)));
    }
    ASSERT_TRUE(makeFile(dir / L"foreign.bin", 50000000, kNow - CTimeSpan(0, 0, 0, 200)));
    LogManager log;
    log.init(dir.path(), L"Kestrune_WIN.log", 104857600, 0, 0);
    log.deleteOldLogs(kToday);
    EXPECT_FALSE(fileExists(dir / nameOf(0)));
    EXPECT_FALSE(fileExists(dir / nameOf(1)));
    for (int i = 2; i < 12; ++i) EXPECT_TRUE(fileExists(dir / nameOf(i))) << i;
    EXPECT_TRUE(fileExists(dir / L"foreign.bin"));
}

TEST(LogHousekeeping, EqualTimesGoInFolderOrder) {
    TempDir dir;
    const wchar_t* names[] = {L"Kestrune_WIN_20240129.log", L"Kestrune_WIN_20240128.log",
                              L"Kestrune_WIN_20240130.log"};
    for (auto n : names) ASSERT_TRUE(makeFile(dir / n, 1000, kNow));
    CFileFind find;
    std::vector<CString> order;
    BOOL more = find.FindFile((dir / L"*.*").GetString());
    while (more) {
        more = find.FindNextFile();
        if (!find.IsDots()) order.push_back(find.GetFileName());
    }
    find.Close();
    ASSERT_EQ(order.size(), 3u);

    LogManager log;
    log.init(dir.path(), L"Kestrune_WIN.log", 2000, 0, 0);
    log.deleteOldLogs(kToday);
    EXPECT_FALSE(fileExists(dir / order[0]));
    EXPECT_TRUE(fileExists(dir / order[1]));
    EXPECT_TRUE(fileExists(dir / order[2]));
}

}  // namespace
