#include "foundation/utilmanager.h"
#include "tests/foundation/global_log.h"
#include "tests/support/test_support.h"

#include <gtest/gtest.h>

#include <thread>

namespace {

TEST(UtilManagerGetToken, SplitsAtEveryOccurrence) {
    struct Case {
        const wchar_t* text;
        const wchar_t* separator;
        int n;
        bool found;
        const wchar_t* token;
    } cases[] = {
        {L"200#!#OK#!#abc", L"#!#", 0, true, L"200"},
        {L"200#!#OK#!#abc", L"#!#", 1, true, L"OK"},
        {L"200#!#OK#!#abc", L"#!#", 2, true, L"abc"},
        {L"200#!#OK#!#abc", L"#!#", 3, false, L""},
        {L"plain", L"#!#", 0, true, L"plain"},
        {L"plain", L"#!#", 1, false, L""},
        {L"a#!#", L"#!#", 1, true, L""},
        {L"#!#b", L"#!#", 0, true, L""},
        {L"", L"#!#", 0, true, L""},
        {L"", L"#!#", 1, false, L""},
        {L"x|*|y|*|", L"|*|", 2, true, L""},
        {L"ab#!", L"#!#", 0, true, L"ab#!"},  // a separator cut by the end does not count
        // Overlapping occurrences at 1 and 2: the token between them is empty.
        {L"a###b", L"##", 0, true, L"a"},
        {L"a###b", L"##", 1, true, L""},
        {L"a###b", L"##", 2, true, L"b"},
        {L"a,b", L"", 0, true, L"a,b"},
        {L"a,b", L",", -1, false, L""},
    };
    for (const auto& c : cases) {
        CString token = L"stale";
        EXPECT_EQ(CUtilManager::getToken(c.text, c.separator, token, c.n), c.found) << c.text << " " << c.n;
        EXPECT_STREQ(token.GetString(), c.token) << c.text << " " << c.n;
    }
}

TEST(UtilManagerGetLine, HandsOutLinesOneByOne) {
    struct Case {
        const char* buffer;
        std::vector<const wchar_t*> lines;
    } cases[] = {
        {"first\r\nsecond\r\n", {L"first", L"second"}},
        {"\r\nb", {L"", L"b"}},
        {"no end", {L"no end"}},
        // A lone CR ends a line but keeps the character after it.
        {"a\rb\r\nc", {L"a", L"b", L"c"}},
        {"a\r", {L"a"}},
        {"a\r\r\nb", {L"a", L"", L"b"}},
        {"", {}},
    };
    for (const auto& c : cases) {
        CStringA buffer(c.buffer);
        CString line;
        for (const wchar_t* want : c.lines) {
            ASSERT_EQ(CUtilManager::getLine(line, buffer), 1) << c.buffer;
            EXPECT_STREQ(line.GetString(), want) << c.buffer;
        }
        line = L"kept";
        EXPECT_EQ(CUtilManager::getLine(line, buffer), 0) << c.buffer;
        EXPECT_STREQ(line.GetString(), L"kept");
    }
}

TEST(UtilManagerGetLine, StopsAtTheTerminatingZero) {
    CStringA buffer("one\r\ntwo", 8);
    buffer += '\0';
    buffer += "hidden";
    CString line;
    EXPECT_EQ(CUtilManager::getLine(line, buffer), 1);
    EXPECT_EQ(CUtilManager::getLine(line, buffer), 1);
    EXPECT_STREQ(line.GetString(), L"two");
    EXPECT_EQ(CUtilManager::getLine(line, buffer), 0);
}

TEST(UtilManagerGetFileSize, SizesAndFailures) {
    TempDir dir;
    ASSERT_TRUE(writeBytes(dir / L"empty.bin", ""));
    ASSERT_TRUE(writeBytes(dir / L"five.bin", "12345"));
    EXPECT_EQ(CUtilManager::getFileSize(dir / L"empty.bin"), 0u);
    EXPECT_EQ(CUtilManager::getFileSize(dir / L"five.bin"), 5u);
    EXPECT_EQ(CUtilManager::getFileSize(dir / L"missing.bin"), static_cast<ULONGLONG>(-1));
    EXPECT_EQ(CUtilManager::getFileSize(L""), 0u);

    // Beyond 4 GiB: a sparse file, so the test writes nothing.
    CString big = dir / L"big.bin";
    {
        UniqueFileHandle file(CreateFileW(big.GetString(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr));
        ASSERT_TRUE(file);
        LARGE_INTEGER at;
        at.QuadPart = 5LL << 30;
        ASSERT_TRUE(SetFilePointerEx(file.get(), at, nullptr, FILE_BEGIN));
        ASSERT_TRUE(SetEndOfFile(file.get()));
    }
    EXPECT_EQ(CUtilManager::getFileSize(big), 5ULL << 30);
}

class CheckCrcTest : public testing::Test {
protected:
    void SetUp() override {
        globalLogFolder();
        path = dir / L"digits.bin";
        ASSERT_TRUE(writeBytes(path, "123456789"));
    }

    TempDir dir;
    CString path;
};

TEST_F(CheckCrcTest, MatchKeepsAndMismatchDeletes) {
    EXPECT_TRUE(CUtilManager::CheckCRC(path, 0xCBF43926u));
    EXPECT_TRUE(fileExists(path));

    EXPECT_FALSE(CUtilManager::CheckCRC(path, 0x80000001u));
    EXPECT_FALSE(fileExists(path));
    // Both values signed, as the server's field reads them.
    EXPECT_NE(globalLogText().find("[ERR_UPDATE_3060][ServerCRC:-2147483647][FileCRC:-873187034]"),
              std::string::npos);
}

TEST_F(CheckCrcTest, ReadOnlyMismatchIsDeletedToo) {
    SetFileAttributesW(path.GetString(), FILE_ATTRIBUTE_READONLY);
    EXPECT_FALSE(CUtilManager::CheckCRC(path, 1));
    EXPECT_FALSE(fileExists(path));
}

LRESULT CALLBACK recordingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_APP) *reinterpret_cast<bool*>(GetWindowLongPtrW(window, GWLP_USERDATA)) = true;
    return DefWindowProcW(window, message, wParam, lParam);
}

ULONGLONG threadCpuMs() {
    FILETIME created, exited, kernel, user;
    GetThreadTimes(GetCurrentThread(), &created, &exited, &kernel, &user);
    auto ms = [](const FILETIME& t) { return ((static_cast<ULONGLONG>(t.dwHighDateTime) << 32) | t.dwLowDateTime) / 10000; };
    return ms(kernel) + ms(user);
}

// The writer still holds the file for a second: the retry three seconds
// later succeeds, and the caller's window kept getting its messages.
TEST_F(CheckCrcTest, FileReleasedDuringTheWaitSucceeds) {
    WNDCLASSW cls{};
    cls.lpfnWndProc = recordingProc;
    cls.hInstance = GetModuleHandleW(nullptr);
    cls.lpszClassName = L"CheckCrcRecorder";
    RegisterClassW(&cls);
    HWND window = CreateWindowExW(0, cls.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, cls.hInstance, nullptr);
    ASSERT_NE(window, nullptr);
    bool handled = false;
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&handled));
    PostMessageW(window, WM_APP, 0, 0);

    UniqueFileHandle writer(CreateFileW(path.GetString(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(writer);
    std::thread release([&writer] {
        Sleep(1000);
        writer.reset();
    });
    ULONGLONG cpuBefore = threadCpuMs();
    bool ok = CUtilManager::CheckCRC(path, 0xCBF43926u);
    ULONGLONG cpu = threadCpuMs() - cpuBefore;
    release.join();

    EXPECT_TRUE(ok);
    EXPECT_TRUE(handled);
    // Spinning through the wait would burn its three seconds of CPU.
    EXPECT_LT(cpu, 1500u);
    DestroyWindow(window);
}

TEST_F(CheckCrcTest, FileHeldLongerFailsAndStays) {
    UniqueFileHandle writer(CreateFileW(path.GetString(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(writer);
    EXPECT_FALSE(CUtilManager::CheckCRC(path, 0xCBF43926u));
    writer.reset();
    EXPECT_TRUE(fileExists(path));
    CString line;
    line.Format(L"[FileOpenError#2][File:%s][ErrorCode:32]", path.GetString());
    EXPECT_NE(globalLogText().find(utf8(line)), std::string::npos);
}

}  // namespace
