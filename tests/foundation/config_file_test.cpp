#include "foundation/config_file.h"
#include "foundation/globalfunc.h"
#include "tests/support/test_support.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

namespace {

class ConfigFileTest : public testing::Test {
protected:
    void SetUp() override {
        // Start every test from a known table.
        ASSERT_TRUE(writeBytes(path(), R"({"LIVEUPDATE_URL":"old"})"));
        ASSERT_TRUE(config().loadFile(path()));
    }

    static CConfigFile& config() { return *CConfigFile::getInstance(); }
    CString path() const { return dir / L"config.json"; }

    void expectUntouched() {
        EXPECT_EQ(config().table()->size(), 1u);
        EXPECT_EQ(config().getValue(L"LIVEUPDATE_URL"), CString(L"old"));
    }

    TempDir dir;
};

TEST_F(ConfigFileTest, LoadsEveryStringMember) {
    ASSERT_TRUE(writeBytes(path(),
                           "{\n  \"UPDATEFILE_PATH\": \"y\",\n  \"LIVEUPDATE_URL\": \"x\",\n"
                           "  \"GREETING\": \"\xEC\x95\x88\xEB\x85\x95\"\n}\n"));
    EXPECT_TRUE(config().loadFile(path()));
    EXPECT_EQ(config().table()->size(), 3u);
    EXPECT_EQ(config().getValue(L"LIVEUPDATE_URL"), CString(L"x"));
    EXPECT_EQ(config().getValue(L"UPDATEFILE_PATH"), CString(L"y"));
    EXPECT_EQ(config().getValue(L"GREETING"), CString(L"\uC548\uB155"));
    EXPECT_TRUE(config().getValue(L"MISSING").IsEmpty());
    EXPECT_STREQ(config().fileName(), "config.json");
}

TEST_F(ConfigFileTest, UnreadableFilesKeepTheTable) {
    const char* bad[] = {"", "   ", "{\"LIVEUPDATE_URL\": ", "not json", "[\"a\", \"b\"]", "\"text\"", "null"};
    for (const char* text : bad) {
        ASSERT_TRUE(writeBytes(path(), text));
        EXPECT_FALSE(config().loadFile(path())) << text;
        expectUntouched();
    }
    EXPECT_FALSE(config().loadFile(dir / L"missing.json"));
    expectUntouched();
}

TEST_F(ConfigFileTest, MembersThatAreNotTextNeverThrow) {
    ASSERT_TRUE(writeBytes(path(), R"({"LIVEUPDATE_URL":"u","PORT":8080,"ON":true,"LIST":[1],"MAP":{"a":"b"},"NONE":null})"));
    EXPECT_TRUE(config().loadFile(path()));
    EXPECT_EQ(config().getValue(L"LIVEUPDATE_URL"), CString(L"u"));
    EXPECT_EQ(config().getValue(L"PORT"), CString(L"8080"));
    EXPECT_EQ(config().getValue(L"ON"), CString(L"true"));
    EXPECT_EQ(config().table()->count(L"LIST"), 0u);
    EXPECT_EQ(config().table()->count(L"MAP"), 0u);
    EXPECT_EQ(config().table()->count(L"NONE"), 1u);
}

TEST_F(ConfigFileTest, LaterLoadReplacesTheTableAndByteOrderMarkIsSkipped) {
    ASSERT_TRUE(writeBytes(path(), "\xEF\xBB\xBF{\"UPDATEFILE_PATH\":\"/files\"}"));
    EXPECT_TRUE(config().loadFile(path()));
    EXPECT_EQ(config().table()->size(), 1u);
    EXPECT_EQ(config().getValue(L"UPDATEFILE_PATH"), CString(L"/files"));
}

TEST_F(ConfigFileTest, FolderOutsideAscii) {
    CString folder = dir / L"\uD504\uB85C\uADF8\uB7A8 \u00E9t\u00E9\\";
    ASSERT_TRUE(CreateDirectoryW(folder.GetString(), nullptr));
    ASSERT_TRUE(writeBytes(folder + L"config.json", R"({"LIVEUPDATE_URL":"k"})"));
    EXPECT_TRUE(config().loadFile(folder + L"config.json"));
    EXPECT_EQ(config().getValue(L"LIVEUPDATE_URL"), CString(L"k"));
}

TEST_F(ConfigFileTest, LoadReadsBesideTheProgram) {
    CString beside = CGlobalFunc::getModuleDirectory() + L"\\config.json";
    ASSERT_TRUE(writeBytes(beside, R"({"LIVEUPDATE_URL":"here"})"));
    EXPECT_TRUE(config().load());
    DeleteFileW(beside.GetString());
    EXPECT_EQ(config().getValue(L"LIVEUPDATE_URL"), CString(L"here"));
    EXPECT_FALSE(config().load());
    EXPECT_EQ(config().getValue(L"LIVEUPDATE_URL"), CString(L"here"));
}

// Readers on other threads while the table is replaced again and again: each
// sees one whole table.
TEST_F(ConfigFileTest, ReadersSeeOneWholeTable) {
    const CString a = dir / L"a.json", b = dir / L"b.json";
    ASSERT_TRUE(writeBytes(a, R"({"K":"a","L":"a"})"));
    ASSERT_TRUE(writeBytes(b, R"({"K":"b","L":"b","M":"b"})"));
    std::atomic<bool> done{false};
    std::atomic<int> mixed{0};
    std::vector<std::thread> readers;
    for (int r = 0; r < 3; ++r) {
        readers.emplace_back([&] {
            while (!done) {
                auto table = config().table();
                const CString k = table->count(L"K") ? table->at(L"K") : CString();
                const CString l = table->count(L"L") ? table->at(L"L") : CString();
                if (k != l) ++mixed;
                config().getValue(L"M");
            }
        });
    }
    for (int i = 0; i < 300; ++i) ASSERT_TRUE(config().loadFile(i % 2 ? a : b));
    done = true;
    for (auto& t : readers) t.join();
    EXPECT_EQ(mixed.load(), 0);
}

TEST(ModuleDirectory, FolderOfTheExecutable) {
    CString folder = CGlobalFunc::getModuleDirectory();
    EXPECT_EQ(folder + L"\\", moduleFolder());
    EXPECT_NE(folder.Right(1), CString(L"\\"));
    EXPECT_TRUE(fileExists(folder + L"\\test_foundation.exe"));
}

}  // namespace
