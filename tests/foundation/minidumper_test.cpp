#include "foundation/minidumper.h"
#include "tests/support/test_support.h"

#include <gtest/gtest.h>

namespace {

DWORD runCrashChild(const CString& folder) {
    // No separator before the closing quote: it would escape the quote.
    CString arg = folder;
    arg.TrimRight(L'\\');
    CString cmd = L"\"" + moduleFolder() + L"crash_child.exe\" \"" + arg + L"\"";
    STARTUPINFOW si{sizeof(si)};
    PROCESS_INFORMATION pi{};
    if (!CreateProcessW(nullptr, cmd.GetBuffer(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
        return 0xFFFFFFFF;
    }
    WaitForSingleObject(pi.hProcess, 60000);
    DWORD code = 0;
    GetExitCodeProcess(pi.hProcess, &code);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return code;
}

TEST(MiniDumperTest, ACrashWritesTheDumpAndTellsTheUser) {
    TempDir dir;
    CString dump = MiniDumper::dumpPath();
    DeleteFileW(dump.GetString());

    for (int round = 0; round < 2; ++round) {  // the second crash replaces the first dump
        DWORD code = runCrashChild(dir.path());
        EXPECT_EQ(code, static_cast<DWORD>(EXCEPTION_ACCESS_VIOLATION));

        std::string bytes = readBytes(dump);
        ASSERT_GE(bytes.size(), 32u);
        EXPECT_EQ(bytes.substr(0, 4), "MDMP");

        std::string notice = readBytes(dir / L"notice.txt");
        std::string expected =
            "[Saved dump file to '" + std::string(WideToMultiByte(dump.GetString(), CP_UTF8).GetString()) + "']";
        EXPECT_EQ(notice, expected);

        SYSTEMTIME now;
        GetLocalTime(&now);
        CString logName;
        logName.Format(L"Kestrune_WIN_%04d%02d%02d.log", now.wYear, now.wMonth, now.wDay);
        std::string log = readBytes(dir / logName);
        EXPECT_NE(log.find("[MiniDumper::MiniDumper:"), std::string::npos) << log;
        EXPECT_NE(log.find("[MiniDumper Init Success.]"), std::string::npos);
        EXPECT_NE(log.find("[MiniDumper::UnhandledException:"), std::string::npos);
        EXPECT_NE(log.find(expected), std::string::npos);
        DeleteFileW((dir / logName).GetString());
    }
}

TEST(TestDrives, AreRemovable) {
    EXPECT_EQ(GetDriveTypeW(L"R:\\"), static_cast<UINT>(DRIVE_REMOVABLE));
    EXPECT_EQ(GetDriveTypeW(L"S:\\"), static_cast<UINT>(DRIVE_REMOVABLE));
    EXPECT_EQ(GetDriveTypeW(L"C:\\"), static_cast<UINT>(DRIVE_FIXED));
}

}  // namespace
