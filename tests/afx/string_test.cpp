#include "afx/string.h"

#include <gtest/gtest.h>

namespace {

CString fmt(const wchar_t* f, ...) {
    va_list args;
    va_start(args, f);
    CString s;
    s.FormatV(f, args);
    va_end(args);
    return s;
}

// The wide format rules every log line and message relies on.
TEST(CStringFormat, FollowsTheMicrosoftRuntime) {
    CString wide = L"\uD55C\uAE00";
    struct Case {
        CString got;
        const wchar_t* want;
    } cases[] = {
        {fmt(L"[%s]", wide.GetString()), L"[\uD55C\uAE00]"},
        {fmt(L"[%ls]", L"abc"), L"[abc]"},
        {fmt(L"[%S]", "narrow"), L"[narrow]"},
        {fmt(L"[%hs]", "narrow"), L"[narrow]"},
        {fmt(L"%d|%5d|%-3d|", -42, 7, 1), L"-42|    7|1  |"},
        {fmt(L"%I64d", static_cast<long long>(-9000000000LL)), L"-9000000000"},
        {fmt(L"%lld", 9000000000LL), L"9000000000"},
        {fmt(L"%llu", 18446744073709551615ULL), L"18446744073709551615"},
        {fmt(L"%I64u", 18446744073709551615ULL), L"18446744073709551615"},
        {fmt(L"%04d-%02d", 7, 3), L"0007-03"},
        {fmt(L"%x %X %08x", 255, 255, 0xBEEF), L"ff FF 0000beef"},
        {fmt(L"%c", L'K'), L"K"},
        {fmt(L"%0.0f|%.2f", 12.4, 3.14159), L"12|3.14"},
        {fmt(L"100%%"), L"100%"},
    };
    for (const auto& c : cases) EXPECT_STREQ(c.got.GetString(), c.want);

    CStringA narrow;
    narrow.Format("%s-%d-%ls", "ab", 5, L"w");
    EXPECT_STREQ(narrow.GetString(), "ab-5-w");

    CString appended = L"x=";
    appended.AppendFormat(L"%d,%s", 1, L"y");
    EXPECT_STREQ(appended.GetString(), L"x=1,y");

    CString big;
    big.Format(L"%s", CString(L'a', 100000).GetString());
    EXPECT_EQ(big.GetLength(), 100000);
}

TEST(CStringOps, ExtractionClampsItsArguments) {
    CString s = L"Kestrune";
    struct Case {
        CString got;
        const wchar_t* want;
    } cases[] = {
        {s.Mid(3), L"trune"},       {s.Mid(3, 2), L"tr"},       {s.Mid(-2, 3), L"Kes"},
        {s.Mid(20), L""},           {s.Mid(6, 100), L"ne"},     {s.Mid(2, -1), L""},
        {s.Left(3), L"Kes"},        {s.Left(100), L"Kestrune"}, {s.Left(-1), L""},
        {s.Right(4), L"rune"},      {s.Right(100), L"Kestrune"}, {s.Right(0), L""},
        {s.SpanExcluding(L"tr"), L"Kes"}, {s.SpanIncluding(L"Ke"), L"Ke"},
    };
    for (const auto& c : cases) EXPECT_STREQ(c.got.GetString(), c.want);
}

TEST(CStringOps, Searching) {
    CString s = L"a\\b\\c.d.log";
    EXPECT_EQ(s.Find(L'\\'), 1);
    EXPECT_EQ(s.Find(L'\\', 2), 3);
    EXPECT_EQ(s.Find(L".log"), 7);
    EXPECT_EQ(s.Find(L"zz"), -1);
    EXPECT_EQ(s.Find(L'a', 50), -1);
    EXPECT_EQ(s.ReverseFind(L'.'), 7);
    EXPECT_EQ(s.ReverseFind(L'#'), -1);
    EXPECT_EQ(s.FindOneOf(L".\\"), 1);
    EXPECT_EQ(CString().Find(L""), 0);
}

TEST(CStringOps, TokenizeSkipsEmptyRunsAndEndsAtMinusOne) {
    CString s = L"|*|a||b|*|c|";
    int pos = 0;
    std::vector<CString> tokens;
    for (CString t = s.Tokenize(L"|*", pos); pos != -1; t = s.Tokenize(L"|*", pos)) tokens.push_back(t);
    ASSERT_EQ(tokens.size(), 3u);
    EXPECT_STREQ(tokens[0].GetString(), L"a");
    EXPECT_STREQ(tokens[1].GetString(), L"b");
    EXPECT_STREQ(tokens[2].GetString(), L"c");

    pos = 0;
    EXPECT_TRUE(CString(L"||").Tokenize(L"|", pos).IsEmpty());
    EXPECT_EQ(pos, -1);
    pos = -1;
    EXPECT_TRUE(s.Tokenize(L"|", pos).IsEmpty());
}

TEST(CStringOps, Modification) {
    CString s = L"  a-b-c \t\r\n";
    s.Trim();
    EXPECT_STREQ(s.GetString(), L"a-b-c");
    EXPECT_EQ(s.Replace(L"-", L"--"), 2);
    EXPECT_STREQ(s.GetString(), L"a--b--c");
    EXPECT_EQ(s.Replace(L'-', L'+'), 4);
    EXPECT_EQ(s.Remove(L'+'), 4);
    EXPECT_STREQ(s.GetString(), L"abc");
    EXPECT_EQ(s.Replace(L"", L"x"), 0);
    s.Insert(1, L"XY");
    s.Delete(0);
    EXPECT_STREQ(s.GetString(), L"XYbc");
    EXPECT_STREQ(s.MakeLower().GetString(), L"xybc");
    EXPECT_STREQ(s.MakeUpper().GetString(), L"XYBC");
    EXPECT_STREQ(s.MakeReverse().GetString(), L"CBYX");

    CString quoted = L"\"\"value\"";
    quoted.Trim(L'"');
    EXPECT_STREQ(quoted.GetString(), L"value");
    CString set = L"xxabyy";
    set.TrimLeft(L"x").TrimRight(L"y");
    EXPECT_STREQ(set.GetString(), L"ab");
}

TEST(CStringOps, ComparisonAndConcatenation) {
    CString a = L"Seoul";
    EXPECT_EQ(a.CompareNoCase(L"SEOUL"), 0);
    EXPECT_NE(a.Compare(L"SEOUL"), 0);
    EXPECT_LT(a.Compare(L"Seoum"), 0);
    EXPECT_TRUE(a == L"Seoul");
    EXPECT_TRUE(L"Seoul" == a);
    EXPECT_TRUE(a != CString(L"x"));
    EXPECT_STREQ((a + L"/" + CString(L"KR") + L'!').GetString(), L"Seoul/KR!");
    EXPECT_STREQ((L"[" + a).GetString(), L"[Seoul");
}

TEST(CStringOps, BufferAccess) {
    CString s;
    wchar_t* p = s.GetBuffer(10);
    wcscpy(p, L"abc");
    s.ReleaseBuffer();
    EXPECT_EQ(s.GetLength(), 3);
    p = s.GetBufferSetLength(5);
    p[3] = L'd';
    p[4] = L'e';
    s.ReleaseBuffer(5);
    EXPECT_STREQ(s.GetString(), L"abcde");
    s.GetBuffer(2);
    s.ReleaseBuffer(2);
    EXPECT_STREQ(s.GetString(), L"ab");
}

TEST(CStringConversion, AnsiAndUtf8) {
    CStringA ascii = "plain ascii";
    CString wide = ascii;
    EXPECT_STREQ(wide.GetString(), L"plain ascii");
    CStringA back = wide;
    EXPECT_STREQ(back.GetString(), "plain ascii");

    CString korean = L"\uD55C\uAE00";
    CStringA utf8 = WideToMultiByte(korean.GetString(), CP_UTF8);
    EXPECT_EQ(utf8.str(), std::string("\xED\x95\x9C\xEA\xB8\x80"));
    EXPECT_STREQ(MultiByteToWide(utf8.GetString(), CP_UTF8).GetString(), korean.GetString());
    EXPECT_STREQ(static_cast<const char*>(CW2A(korean.GetString(), CP_UTF8)), utf8.GetString());
    EXPECT_STREQ(static_cast<const wchar_t*>(CA2W(utf8.GetString(), CP_UTF8)), korean.GetString());
    EXPECT_TRUE(WideToMultiByte(nullptr, CP_UTF8).IsEmpty());

    // Strict decoding leaves the output alone for bytes that are not UTF-8.
    CString out = L"kept";
    EXPECT_FALSE(TryUtf8ToWide("caf\xE9", -1, out));
    EXPECT_EQ(out, CString(L"kept"));
    EXPECT_TRUE(TryUtf8ToWide(utf8.GetString(), utf8.GetLength(), out));
    EXPECT_EQ(out, korean);
    EXPECT_TRUE(TryUtf8ToWide("", 0, out));
    EXPECT_TRUE(out.IsEmpty());
}

}  // namespace
