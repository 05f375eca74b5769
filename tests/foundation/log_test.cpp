#include "foundation/globalfunc.h"
#include "foundation/logmanager.h"
#include "foundation/logwriter.h"
#include "tests/foundation/global_log.h"
#include "tests/support/test_support.h"

#include <gtest/gtest.h>

#include <regex>
#include <thread>

namespace {

std::vector<std::string> splitLines(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0, end;
    while ((end = text.find("\r\n", start)) != std::string::npos) {
        lines.push_back(text.substr(start, end - start));
        start = end + 2;
    }
    if (start < text.size()) lines.push_back(text.substr(start));
    return lines;
}

CString todaysFile(const CString& folder, const CString& name = L"Kestrune_WIN.log") {
    SYSTEMTIME now;
    GetLocalTime(&now);
    return LogWriter::dayFileName(folder + name, now);
}

TEST(LogWriterTest, DayFileNames) {
    SYSTEMTIME d{};
    d.wYear = 2024;
    d.wMonth = 1;
    d.wDay = 31;
    struct Case {
        const wchar_t* path;
        const wchar_t* want;
    } cases[] = {
        {L"C:\\k\\log\\Kestrune_WIN.log", L"C:\\k\\log\\Kestrune_WIN_20240131.log"},
        {L"D:\\logs\\trace", L"D:\\logs\\trace_20240131"},
        {L"D:\\logs\\a.b.log", L"D:\\logs\\a.b_20240131.log"},
        {L".log", L".log_20240131"},
    };
    for (const auto& c : cases) EXPECT_STREQ(LogWriter::dayFileName(c.path, d).GetString(), c.want);
}

TEST(LogManagerTest, LineFormatUtf8AndCrLf) {
    TempDir dir;
    LogManager log;
    log.init(dir.path(), L"Kestrune_WIN.log", 104857600, 10, 15);
    log.log("CUtilManager::CheckCRC", 416, L"[%s][%d]", L"\uD55C\uAE00", 7);
    log.log("A::b", 1, L"two\nlines");

    std::string text = readBytes(todaysFile(dir.path()));
    auto lines = splitLines(text);
    ASSERT_EQ(lines.size(), 3u);
    std::regex head(R"(^\[\d{4}-\d{2}-\d{2} \d{2}:\d{2}:\d{2}\.\d{3}\]\[(\d+)\]\[CUtilManager::CheckCRC:416\] (.*)$)");
    std::smatch m;
    ASSERT_TRUE(std::regex_match(lines[0], m, head)) << lines[0];
    EXPECT_EQ(std::stoul(m[1].str()), GetCurrentProcessId());
    EXPECT_EQ(m[2].str(), "[\xED\x95\x9C\xEA\xB8\x80][7]");
    EXPECT_NE(lines[1].find("[A::b:1] two"), std::string::npos);
    EXPECT_EQ(lines[2], "lines");
    EXPECT_EQ(text.substr(text.size() - 2), "\r\n");
    EXPECT_EQ(text.find("\r\r"), std::string::npos);
}

TEST(LogManagerTest, NoLocationLinesAreUtf8Too) {
    TempDir dir;
    LogManager log;
    log.init(dir.path(), L"Kestrune_WIN.log", 0, 0, LogManager::OUTPUT_FILE);
    log.logNoLocation(L"[D:%d,T:%s]", 2, L"\uD55C");
    auto lines = splitLines(readBytes(todaysFile(dir.path())));
    ASSERT_EQ(lines.size(), 1u);
    std::regex head(R"(^\[\d{4}-\d{2}-\d{2} \d{2}:\d{2}:\d{2}\.\d{3}\]\[\d+\] \[D:2,T:\xED\x95\x9C\]$)");
    EXPECT_TRUE(std::regex_match(lines[0], head)) << lines[0];
}

TEST(LogManagerTest, FlagsAndInitDecideWhereLinesGo) {
    TempDir dir;
    {
        LogManager log;
        log.log("A::b", 1, L"before init");
        log.init(dir.path(), L"debug_only.log", 0, 0, LogManager::OUTPUT_DEBUGGER);
        log.log("A::b", 2, L"debugger only");
    }
    EXPECT_FALSE(fileExists(todaysFile(dir.path(), L"debug_only.log")));
    {
        LogManager log;
        log.init(dir.path(), L"file_only.log", 0, 0, LogManager::OUTPUT_FILE);
        log.log("A::b", 3, L"to file");
    }
    EXPECT_TRUE(fileExists(todaysFile(dir.path(), L"file_only.log")));
}

TEST(LogManagerTest, LongMessagesAreCut) {
    TempDir dir;
    LogManager log;
    log.init(dir.path(), L"Kestrune_WIN.log", 0, 0, LogManager::OUTPUT_FILE);
    CString huge(L'x', 200000);
    log.log("A::b", 1, L"%s", huge.GetString());
    auto lines = splitLines(readBytes(todaysFile(dir.path())));
    ASSERT_EQ(lines.size(), 1u);
    size_t body = lines[0].size() - lines[0].find("] ") - 2;
    EXPECT_EQ(body, static_cast<size_t>(LogManager::kMaxMessageChars));
}

TEST(LogManagerTest, ConcurrentLinesNeverInterleave) {
    TempDir dir;
    LogManager log;
    log.init(dir.path(), L"Kestrune_WIN.log", 0, 0, LogManager::OUTPUT_FILE);
    const int threads = 8, perThread = 150;
    std::vector<std::thread> workers;
    for (int t = 0; t < threads; ++t) {
        workers.emplace_back([&log, t] {
            CString body(static_cast<wchar_t>(L'a' + t), 3000);
            for (int i = 0; i < perThread; ++i) log.log("Worker::run", t, L"<%d:%s>", t, body.GetString());
        });
    }
    for (auto& w : workers) w.join();

    auto lines = splitLines(readBytes(todaysFile(dir.path())));
    ASSERT_EQ(lines.size(), static_cast<size_t>(threads * perThread));
    std::regex shape(R"(^\[[^\]]+\]\[\d+\]\[Worker::run:(\d)\] <(\d):([a-h])\3{2999}>$)");
    for (const auto& line : lines) {
        std::smatch m;
        ASSERT_TRUE(std::regex_match(line, m, shape));
        EXPECT_EQ(m[1].str(), m[2].str());
        EXPECT_EQ(m[3].str()[0], 'a' + std::stoi(m[2].str()));
    }
}

struct NamedCaller {
    static void report() { LOG_WRITE(L"named %d", 1); }
};

TEST(LogManagerTest, MacroNamesClassAndMethod) {
    globalLogFolder();
    NamedCaller::report();
    std::string text = globalLogText();
    EXPECT_NE(text.find("[NamedCaller::report:"), std::string::npos) << text;
    EXPECT_NE(text.find("] named 1\r\n"), std::string::npos);
}

TEST(LogManagerTest, FileVersionComesFromTheResource) {
    CString version;
    EXPECT_TRUE(LogManager::getFileVersion(version));
    EXPECT_EQ(version, CString(KESTRUNE_VERSION_TEXT));
}

TEST(LogFolder, InstallPathJoins) {
    struct Case {
        const wchar_t* install;
        const wchar_t* folder;
    } cases[] = {
        {L"C:\\Program Files\\Kestrune", L"C:\\Program Files\\Kestrune\\log\\"},
        {L"C:\\Program Files\\Kestrune\\", L"C:\\Program Files\\Kestrune\\log\\"},
        {L"C:\\Kestrune\\\\", L"C:\\Kestrune\\log\\"},
        {L"\\\\server\\share\\K", L"\\\\server\\share\\K\\log\\"},
    };
    for (const auto& c : cases) EXPECT_STREQ(logFolderForInstallPath(c.install).GetString(), c.folder);
    // Without a usable install path: beside the program, never "\log\" of the
    // current drive.
    for (const wchar_t* install : {L"", L"  ", L"relative\\K"}) {
        EXPECT_EQ(logFolderForInstallPath(install), moduleFolder() + L"log\\") << install;
    }
}

TEST(CreateDirectoryPath, StopsAtTheFirstEmptyPart) {
    TempDir dir;
    EXPECT_TRUE(CGlobalFunc::createDirectoryPath(dir / L"a\\b\\c\\"));
    EXPECT_TRUE(fileExists(dir / L"a\\b\\c"));
    EXPECT_TRUE(CGlobalFunc::createDirectoryPath(dir / L"x\\\\y"));
    EXPECT_TRUE(fileExists(dir / L"x"));
    EXPECT_FALSE(fileExists(dir / L"x\\y"));
    EXPECT_TRUE(CGlobalFunc::createDirectoryPath(dir / L"plain"));
    EXPECT_TRUE(fileExists(dir / L"plain"));
    // A log folder under an install path with a trailing separator.
    CString folder = logFolderForInstallPath(dir / L"inst\\");
    EXPECT_TRUE(CGlobalFunc::createDirectoryPath(folder));
    EXPECT_TRUE(fileExists(dir / L"inst\\log"));
}

}  // namespace

TEST(LogManagerTest, OldSwVersionSetterTouchesOnlyItsValue) {
    LogManager log;
    log.SetStatisticsUpdateInfo(UpdateLogInfo{L"u", L"A01", L"dev", L"om", L"os", L"nm", L"ns"});
    log.SetStatisticsOldSwVersion(L"KOR.TS.A01.000.SD.STD_240501");
    StatisticsContext c = log.getStatisticsContext();
    EXPECT_STREQ(c.oldSwVersion.GetString(), L"KOR.TS.A01.000.SD.STD_240501");
    EXPECT_STREQ(c.newSwVersion.GetString(), L"ns");
    EXPECT_STREQ(c.deviceMCode.GetString(), L"A01");
    // An empty read clears what an earlier medium left.
    log.SetStatisticsOldSwVersion(L"");
    EXPECT_TRUE(log.getStatisticsContext().oldSwVersion.IsEmpty());
}
