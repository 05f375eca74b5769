#include "foundation/common_util.h"
#include "tests/support/test_support.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

std::vector<CString> splitAll(const CString& text, const CString& separator, int stopAt = -1) {
    std::vector<CString> tokens;
    common_util::split(text, separator, [&](int index, const CString& token) {
        EXPECT_EQ(index, static_cast<int>(tokens.size()));
        tokens.push_back(token);
        return index != stopAt;
    });
    return tokens;
}

TEST(CommonUtilSplit, EveryTokenCounts) {
    struct Case {
        const wchar_t* text;
        const wchar_t* separator;
        std::vector<CString> tokens;
    } cases[] = {
        {L"", L",", {L""}},
        {L"abc", L",", {L"abc"}},
        {L",", L",", {L"", L""}},
        {L"a,,b,", L",", {L"a", L"", L"b", L""}},
        {L"k=v\r\nx=y\r\n", L"\r\n", {L"k=v", L"x=y", L""}},
        {L"a\nb", L"\r\n", {L"a\nb"}},
        {L"a=b=c", L"=", {L"a", L"b", L"c"}},
    };
    for (const auto& c : cases) EXPECT_EQ(splitAll(c.text, c.separator), c.tokens) << c.text;
}

TEST(CommonUtilSplit, CallbackStopsTheSplit) {
    std::vector<CString> seen;
    bool result = common_util::split(L"a,b,c", L",", [&](int index, const CString& token) {
        seen.push_back(token);
        return index < 1;
    });
    EXPECT_FALSE(result);
    EXPECT_EQ(seen, (std::vector<CString>{L"a", L"b"}));
    EXPECT_TRUE(common_util::split(L"a,b", L",", [](int, const CString&) { return true; }));
}

TEST(CommonUtilNextToken, PositionsAndEnd) {
    CString token;
    int position = 2;
    EXPECT_TRUE(common_util::next_token(token, L"ab", position, L","));
    EXPECT_TRUE(token.IsEmpty());
    EXPECT_EQ(position, -1);
    EXPECT_FALSE(common_util::next_token(token, L"ab", position, L","));

    position = 5;  // past the end
    EXPECT_TRUE(common_util::next_token(token, L"ab", position, L","));
    EXPECT_TRUE(token.IsEmpty());
    EXPECT_EQ(position, -1);

    position = 0;
    EXPECT_FALSE(common_util::next_token(token, L"", position, L","));

    position = 1;
    EXPECT_TRUE(common_util::next_token(token, L"x#!#y", position, L"#!#"));
    EXPECT_EQ(token, CString(L""));
    EXPECT_EQ(position, 4);
}

TEST(CommonUtilFindValue, LastPairIgnoringAsciiCaseWins) {
    common_util::key_value_list pairs{{L"Key", L"1"}, {L"other", L"x"}, {L"KEY", L"2"}, {L"\u00C9T", L"e"}};
    EXPECT_EQ(common_util::find_value(pairs, L"key"), CString(L"2"));
    EXPECT_EQ(common_util::find_value(pairs, L"OTHER"), CString(L"x"));
    EXPECT_TRUE(common_util::find_value(pairs, L"missing").IsEmpty());
    EXPECT_TRUE(common_util::find_value(pairs, L"ke").IsEmpty());
    // Only ASCII letters fold.
    EXPECT_TRUE(common_util::find_value(pairs, L"\u00E9t").IsEmpty());
}

TEST(CommonUtilExpandVariables, SubstituteOrRemove) {
    common_util::key_value_list pairs{{L"ROOT", L"D:\\data"}, {L"A", L"x"}, {L"A", L"second"}, {L"B", L"y"}};
    struct Case {
        const wchar_t* text;
        const wchar_t* substituted;
        const wchar_t* removed;
    } cases[] = {
        {L"$ROOT$\\maps", L"D:\\data\\maps", L"\\maps"},
        {L"$NOPE$\\maps", L"NOPE\\maps", L"NOPE\\maps"},
        {L"a$$b", L"a", L"a"},
        {L"  $A$  ", L"x", L""},
        {L"plain text ", L"plain text", L"plain text"},
        {L"$root$", L"root", L"root"},  // references are case-sensitive
        {L"$A$/$B$", L"x/y", L"/"},
        {L"pre$A$", L"prex", L"pre"},
        {L"$A$$B$", L"x", L""},  // "$$" ends the text
        {L"$", L"", L""},
    };
    for (const auto& c : cases) {
        EXPECT_STREQ(common_util::expand_variables(pairs, c.text, 1).GetString(), c.substituted) << c.text;
        EXPECT_STREQ(common_util::expand_variables(pairs, c.text, 0).GetString(), c.removed) << c.text;
    }
}

TEST(CommonUtilExtractNumber, KeepsDigitsAndMinus) {
    struct Case {
        const wchar_t* text;
        const wchar_t* number;
    } cases[] = {
        {L"", L"0"}, {L"abc", L""}, {L"12 kB", L"12"}, {L"-1-2", L"-1-2"}, {L" 3,421,780,262 ", L"3421780262"},
    };
    for (const auto& c : cases) EXPECT_STREQ(common_util::extract_number(c.text).GetString(), c.number) << c.text;
}

TEST(CommonUtilEnsureDirectory, CreatesFoldersNotTheFile) {
    TempDir dir;
    EXPECT_TRUE(common_util::ensure_directory(dir / L"a\\b/c.txt"));
    EXPECT_TRUE(fileExists(dir / L"a\\b"));
    EXPECT_FALSE(fileExists(dir / L"a\\b\\c.txt"));
    EXPECT_TRUE(common_util::ensure_directory(dir / L"a\\b\\again.txt"));  // existing folders pass
    EXPECT_TRUE(common_util::ensure_directory(dir / L"d\\e\\"));
    EXPECT_TRUE(fileExists(dir / L"d\\e"));
    EXPECT_TRUE(common_util::ensure_directory(L""));
}

TEST(CommonUtilEnsureDirectory, FileInTheWayFails) {
    TempDir dir;
    ASSERT_TRUE(writeBytes(dir / L"blocker", "x"));
    // As the last level and in the middle of the path.
    EXPECT_FALSE(common_util::ensure_directory(dir / L"blocker\\file.txt"));
    EXPECT_FALSE(common_util::ensure_directory(dir / L"blocker\\deeper\\file.txt"));
    EXPECT_FALSE(fileExists(dir / L"blocker\\deeper"));
}

TEST(CommonUtilEnsureDirectory, LongPathsAreRefused) {
    TempDir dir;
    CString base = dir.path();
    CString folder = base + CString(L'f', 100) + L"\\";
    CString tooLong = folder + CString(L'g', 100) + L"\\" + CString(L'n', 300 - folder.GetLength() - 101);
    ASSERT_GT(tooLong.GetLength(), MAX_PATH);
    EXPECT_FALSE(common_util::ensure_directory(tooLong));
    EXPECT_FALSE(fileExists(folder));

    CString separatorLast = base + CString(L'h', MAX_PATH - 1 - base.GetLength()) + L"\\";
    ASSERT_EQ(separatorLast.GetLength(), MAX_PATH);
    EXPECT_FALSE(common_util::ensure_directory(separatorLast));
}

TEST(CommonUtilNormalizePath, DropsTheFirstFolder) {
    struct Case {
        const wchar_t* path;
        const wchar_t* normalized;
    } cases[] = {
        {L"E:\\pkg\\map\\a.dat", L"E:\\map\\a.dat"},
        {L"E:/pkg//map/a.dat", L"E:\\map\\a.dat"},
        {L"E:\\a.ver", L"E:\\a.ver"},
        {L"E:\\pkg\\a.ver", L"E:\\a.ver"},
        {L"a.ver", L""},
        {L"", L""},
        {L"E:\\pkg\\map\\sub\\", L"E:\\map\\sub"},
        {L"E:\\pkg\\..\\..\\a.dat", L"E:\\a.dat"},  // cannot climb above the medium's root
    };
    for (const auto& c : cases) {
        CString path = c.path;
        common_util::normalize_path(path);
        EXPECT_STREQ(path.GetString(), c.normalized) << c.path;
    }
    CString tooLong = L"E:\\pkg\\" + CString(L'x', 200) + L"\\" + CString(L'y', 100) + L".dat";
    common_util::normalize_path(tooLong);
    EXPECT_TRUE(tooLong.IsEmpty());
}

// Below a medium root: the root's own folders stay, the item's first folder
// goes. A medium given as a folder keeps its place.
TEST(CommonUtilNormalizePath, BelowARootKeepsTheRoot) {
    const CString deep = L"Z:\\" + CString(L'd', 240) + L"\\";
    const struct {
        const wchar_t* root;
        CString path;
        const wchar_t* normalized;
    } cases[] = {
        {L"E:\\", L"E:\\pkg\\map\\a.dat", L"E:\\map\\a.dat"},
        {L"E:\\", L"E:\\pkg\\a.ver", L"E:\\a.ver"},
        {L"E:", L"E:\\pkg\\map\\a.dat", L"E:\\map\\a.dat"},
        {L"C:\\tmp\\medium\\", L"C:\\tmp\\medium\\pkg\\map\\a.dat", L"C:\\tmp\\medium\\map\\a.dat"},
        {L"C:\\tmp\\medium", L"C:\\tmp\\medium\\pkg\\map\\a.dat", L"C:\\tmp\\medium\\map\\a.dat"},
        {L"c:/TMP/medium/", L"C:\\tmp\\medium\\pkg//map/a.dat", L"c:\\TMP\\medium\\map\\a.dat"},
        {L"C:\\tmp\\medium\\", L"C:\\tmp\\medium\\pkg\\a.ver", L"C:\\tmp\\medium\\a.ver"},
        {L"C:\\tmp\\medium\\", L"C:\\tmp\\medium\\a.ver", L"C:\\tmp\\medium\\a.ver"},
        // No climbing out of the medium.
        {L"C:\\tmp\\medium\\", L"C:\\tmp\\medium\\pkg\\..\\..\\a.dat", L"C:\\tmp\\medium\\a.dat"},
        // A path outside the root is taken from its drive on.
        {L"C:\\tmp\\medium\\", L"D:\\pkg\\map\\a.dat", L"D:\\map\\a.dat"},
        {L"C:\\tmp\\medium\\", L"C:\\tmp\\mediumx\\pkg\\a.dat", L"C:\\mediumx\\pkg\\a.dat"},
        // The whole result stays within 259 characters.
        {deep.GetString(), deep + L"pkg\\" + CString(L'f', 14) + L".dat", L""},
        {deep.GetString(), deep + L"pkg\\" + CString(L'f', 10) + L".dat", nullptr},
    };
    for (const auto& c : cases) {
        CString path = c.path;
        common_util::normalize_path(path, c.root);
        const CString expected = c.normalized ? CString(c.normalized) : deep + CString(L'f', 10) + L".dat";
        EXPECT_STREQ(expected.GetString(), path.GetString()) << CStringA(c.path).GetString();
    }
}

}  // namespace
