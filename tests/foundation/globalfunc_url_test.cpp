#include "foundation/globalfunc.h"
#include "tests/support/test_support.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

class OpenUrlTest : public testing::Test {
protected:
    void SetUp() override {
        previous = CGlobalFunc::setUrlLauncher([this](const CString& target) { opened.push_back(target); });
    }
    void TearDown() override { CGlobalFunc::setUrlLauncher(previous); }

    std::vector<CString> opened;
    CGlobalFunc::UrlLauncher previous;
};

TEST_F(OpenUrlTest, WebAddressesAndFoldersOnly) {
    TempDir dir;
    ASSERT_TRUE(writeBytes(dir / L"tool.exe", "MZ"));
    CString folder = dir.path().Left(dir.path().GetLength() - 1);
    struct Case {
        CString url;
        bool opens;
    } cases[] = {
        {L"https://www.example.com/guide?lang=ko&x=%20", true},
        {L"HTTP://example.com", true},
        {L"http://example.com/\uD55C\uAE00", true},
        {folder, true},
        {dir.path(), true},
        {L"", false},
        {L"https://", false},
        {L"https:///path", false},
        {L"https://example.com/\" & calc.exe & \"", false},
        {L"https://example.com/a b", false},
        {L"https://example.com/\r\nx", false},
        {L"http://%COMSPEC%", true},  // harmless without a command interpreter
        {L"ftp://example.com/file", false},
        {L"file:///C:/Windows/System32/calc.exe", false},
        {L"javascript:alert(1)", false},
        {L"calc.exe", false},
        {dir / L"tool.exe", false},
        {dir / L"missing", false},
        {L"C:\\Windows\\System32\\cmd.exe", false},
        {L"sub\\folder", false},
        {L"\\\\localhost\\C$", false},  // a share is never asked for
        {L"//localhost/C$/", false},
        {L"\\\\?\\C:\\", false},
    };
    for (const auto& c : cases) {
        opened.clear();
        CGlobalFunc::openUrl(c.url);
        ASSERT_EQ(opened.size(), c.opens ? 1u : 0u) << c.url.GetString();
        if (c.opens) {
            EXPECT_EQ(opened[0], c.url);
        }
    }
}

TEST_F(OpenUrlTest, LauncherCanBeRestored) {
    auto recorder = CGlobalFunc::setUrlLauncher(nullptr);
    EXPECT_TRUE(static_cast<bool>(recorder));
    CGlobalFunc::setUrlLauncher(recorder);
    CGlobalFunc::openUrl(L"https://example.com");
    EXPECT_EQ(opened.size(), 1u);
}

}  // namespace
