#include "foundation/logmanager.h"
#include "tests/support/test_support.h"

#include <gtest/gtest.h>

namespace {

const CTime kNow(2024, 1, 31, 12, 0, 0);

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
        {L"notes.txt", false},
        {L"Kestrune_WIN_20240131.log.bak", false},
        {L"20240130", true},
        {L"other_20240125.txt", true},
        {L"Kestrune_WIN_20240201.log", false},
    };
    for (const auto& c : cases) ASSERT_TRUE(makeFile(folder + c.name, 10, kNow));
    ASSERT_TRUE(CreateDirectoryW((folder + L"sub").GetString(), nullptr));

    LogManager log;
    log.init(folder, L"Kestrune_WIN.log", 0, 10, 0);
    log.deleteOldLogs(kNow.GetTime());
    for (const auto& c : cases) EXPECT_EQ(fileExists(folder + c.name), c.kept) << c.name;
    EXPECT_TRUE(fileExists(folder + L"sub"));
}

TEST(LogHousekeeping, ZeroSettingsDeleteNothing) {
    TempDir dir;
    ASSERT_TRUE(makeFile(dir / L"old.txt", 200, kNow - CTimeSpan(100, 0, 0, 0)));
    LogManager log;
    log.init(dir.path(), L"Kestrune_WIN.log", 0, 0, 0);
    log.deleteOldLogs(kNow.GetTime());
    EXPECT_TRUE(fileExists(dir / L"old.txt"));
}

TEST(LogHousekeeping, SizePassDeletesOldestFirst) {
    TempDir dir;
    for (int i = 0; i < 12; ++i) {
        CString name;
        name.Format(L"Kestrune_WIN_202401%02d.log", 20 + i % 10);
        name.Format(L"f%02d_20240131.log", i);
        ASSERT_TRUE(makeFile(dir / name, 10000000, kNow - CTimeSpan(0, 0, 0, 100 - i)));
    }
    LogManager log;
    log.init(dir.path(), L"Kestrune_WIN.log", 104857600, 10, 0);
    log.deleteOldLogs(kNow.GetTime());
    EXPECT_FALSE(fileExists(dir / L"f00_20240131.log"));
    EXPECT_FALSE(fileExists(dir / L"f01_20240131.log"));
    for (int i = 2; i < 12; ++i) {
        CString name;
        name.Format(L"f%02d_20240131.log", i);
        EXPECT_TRUE(fileExists(dir / name)) << i;
    }
}

TEST(LogHousekeeping, EqualTimesGoInFolderOrder) {
    TempDir dir;
    const wchar_t* names[] = {L"b_20240131.log", L"a_20240131.log", L"c_20240131.log"};
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
    log.deleteOldLogs(kNow.GetTime());
    EXPECT_FALSE(fileExists(dir / order[0]));
    EXPECT_TRUE(fileExists(dir / order[1]));
    EXPECT_TRUE(fileExists(dir / order[2]));
}

}  // namespace
