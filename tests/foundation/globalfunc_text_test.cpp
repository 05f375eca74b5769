#include "foundation/globalfunc.h"
#include "tests/support/test_support.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <regex>

namespace {

TEST(GlobalFormatSize, UnitsAndStopUnit) {
    struct Case {
        UINT kilobytes;
        const wchar_t* stop;
        const wchar_t* text;
    } cases[] = {
        {0, L"", L"0"},
        {3, L"", L"3 KB"},
        {1024, L"", L"1024 KB"},
        {1025, L"", L"1.0 MB"},
        {1536, L"", L"1.5 MB"},
        {1024 * 1024, L"", L"1024.0 MB"},
        {1024 * 1024 + 1, L"", L"1.0 GB"},
        {5242880, L"M", L"5120.0 MB"},
        {3, L"M", L"3 KB"},
        {5242880, L"G", L"5.0 GB"},
        {0xFFFFFFFFu, L"", L"4.0 TB"},
        {0xFFFFFFFFu, L"M", L"4194304.0 MB"},
    };
    for (const auto& c : cases) {
        EXPECT_STREQ(CGlobalFunc::formatSize(c.kilobytes, c.stop).GetString(), c.text) << c.kilobytes << " " << c.stop;
    }
}

TEST(GlobalFormatNumber, GroupsOfThree) {
    struct Case {
        double number;
        const wchar_t* text;
    } cases[] = {
        {1234567.0, L"1,234,567"}, {-1234.0, L"-1,234"}, {999.0, L"999"}, {0.0, L"0"}, {1000.0, L"1,000"},
        {4294967296.0, L"4,294,967,296"}, {999.5, L"1,000"}, {-0.4, L"0"}, {0.5, L"1"}, {-2.5, L"-3"},
        {12.49, L"12"},
    };
    for (const auto& c : cases) EXPECT_STREQ(CGlobalFunc::formatNumber(c.number).GetString(), c.text) << c.number;
    // Far too many digits for the platform's buffer: still a whole number.
    CString huge = CGlobalFunc::formatNumber(1e120);
    EXPECT_GT(huge.GetLength(), 100);
    EXPECT_EQ(huge.SpanIncluding(L"0123456789"), huge);
}

TEST(GlobalWideToUtf8, ConvertsAndAllocates) {
    EXPECT_EQ(CGlobalFunc::wideToUtf8(nullptr), nullptr);
    struct Case {
        const wchar_t* text;
        const char* bytes;
    } cases[] = {
        {L"", ""},
        {L"abc", "abc"},
        {L"\uD55C\uAE00", "\xED\x95\x9C\xEA\xB8\x80"},
        {L"\U0001F697", "\xF0\x9F\x9A\x97"},
    };
    for (const auto& c : cases) {
        char* bytes = CGlobalFunc::wideToUtf8(c.text);
        ASSERT_NE(bytes, nullptr);
        EXPECT_STREQ(bytes, c.bytes);
        free(bytes);
    }
}

TEST(GlobalTimeStamp, HoursToMilliseconds) {
    std::wregex shape(LR"(^\d{2}:\d{2}:\d{2}\.\d{3}$)");
    EXPECT_TRUE(std::regex_match(CGlobalFunc::getTimeStamp().str(), shape));
}

TEST(GlobalSystem, VersionAndFolders) {
    EXPECT_TRUE(CGlobalFunc::isVistaOrGreater());
    int major = -1, minor = -1, servicePack = -1;
    EXPECT_TRUE(CGlobalFunc::getOsVersion(major, minor, servicePack));
    EXPECT_GE(major, 6);
    EXPECT_GE(minor, 0);
    EXPECT_GE(servicePack, 0);
    EXPECT_LE(servicePack, 9);
    int again[3] = {};
    EXPECT_TRUE(CGlobalFunc::getOsVersion(again[0], again[1], again[2]));
    EXPECT_EQ(again[0], major);
    EXPECT_EQ(again[2], servicePack);

    for (const CString& folder : {CGlobalFunc::getDocumentsPath(), CGlobalFunc::getAppDataPath(),
                                  CGlobalFunc::getFontsPath(), CGlobalFunc::getDownloadsPath()}) {
        EXPECT_EQ(folder.Mid(1, 2), CString(L":\\")) << folder.GetString();
        EXPECT_NE(folder.Right(1), CString(L"\\")) << folder.GetString();
    }
    EXPECT_EQ(CGlobalFunc::getFontsPath().Right(6).MakeLower(), CString(L"\\fonts"));
}

}  // namespace
