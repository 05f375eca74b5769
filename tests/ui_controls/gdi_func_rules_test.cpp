// The drawing functions' rules without a screen: nine-slice pieces, line
// breaking over a fixed measure, line steps, mirroring and string formats.
#include "ui/gdi_func.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using Gdiplus::Rect;

::testing::AssertionResult sameRect(const Rect& a, const Rect& b) {
    if (a.X == b.X && a.Y == b.Y && a.Width == b.Width && a.Height == b.Height) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "(" << a.X << "," << a.Y << "," << a.Width << "," << a.Height
                                         << ") != (" << b.X << "," << b.Y << "," << b.Width << "," << b.Height << ")";
}

TEST(GdiFuncRulesTest, NineSlicePiecesAtThreeSizes) {
    struct Case {
        int width, height;
        Rect topEdge, leftEdge, bottomRightDest;
    } cases[] = {
        // the dialog frame's borders 14, 14, 60, 30 on a 100 by 120 image
        {900, 680, Rect(14, 0, 872, 60), Rect(0, 60, 14, 590), Rect(886, 650, 14, 30)},
        {100, 120, Rect(14, 0, 72, 60), Rect(0, 60, 14, 30), Rect(86, 90, 14, 30)},
        // smaller than its borders: the stretched pieces stay empty
        {20, 50, Rect(14, 0, 0, 60), Rect(0, 60, 14, 0), Rect(6, 20, 14, 30)},
    };
    for (const auto& c : cases) {
        auto pieces = CGdiFunc::nineSlicePieces(100, 120, c.width, c.height, 14, 14, 60, 30);
        SCOPED_TRACE(c.width);
        EXPECT_TRUE(sameRect(pieces[0].source, Rect(0, 0, 14, 60)));
        EXPECT_TRUE(sameRect(pieces[0].destination, Rect(0, 0, 14, 60)));
        EXPECT_TRUE(sameRect(pieces[1].source, Rect(14, 0, 1, 60)));
        EXPECT_TRUE(sameRect(pieces[1].destination, c.topEdge));
        EXPECT_TRUE(sameRect(pieces[2].source, Rect(86, 0, 14, 60)));
        EXPECT_TRUE(sameRect(pieces[3].source, Rect(0, 60, 14, 1)));
        EXPECT_TRUE(sameRect(pieces[3].destination, c.leftEdge));
        EXPECT_TRUE(sameRect(pieces[4].source, Rect(0, 90, 14, 30)));
        EXPECT_TRUE(sameRect(pieces[5].source, Rect(86, 60, 14, 1)));
        EXPECT_TRUE(sameRect(pieces[6].source, Rect(86, 90, 14, 30)));
        EXPECT_TRUE(sameRect(pieces[6].destination, c.bottomRightDest));
        EXPECT_TRUE(sameRect(pieces[7].source, Rect(14, 90, 1, 30)));
    }
}

// Ten pixels per character.
int tenPerChar(const CString& text) { return text.GetLength() * 10; }

TEST(GdiFuncRulesTest, SplitLinesTable) {
    struct Case {
        const wchar_t* text;
        int limit;
        std::vector<CString> lines;
    } cases[] = {
        {L"alpha\n\nbeta", 200, {L"alpha", L"beta"}},
        {L"ab   cd", 200, {L"ab cd"}},
        // a word wider than the box breaks between characters, as wide as fits
        {L"abcdefghijklmnop short", 100, {L"abcdefghi", L"jklmnop", L"short"}},
        {L"go \uC885\uB8CC\uD558\uC2DC\uACA0\uC2B5\uB2C8\uAE4C?", 60,
         {L"go", L"\uC885\uB8CC\uD558\uC2DC\uACA0", L"\uC2B5\uB2C8\uAE4C?"}},
        {L"x\U0001F600\U0001F600\U0001F600", 45, {L"x\U0001F600", L"\U0001F600\U0001F600"}},
        // 95 is the largest width that still fits a limit of 100
        {L"aaaa bbbb", 100, {L"aaaa bbbb"}},
        {L"aaaa bbbbb", 100, {L"aaaa", L"bbbbb"}},
        {L"one two three four", 100, {L"one two", L"three", L"four"}},
        {L"x\n   \ny", 100, {L"x", L"", L"y"}},
        {L"", 100, {}},
        {L"\n\n", 100, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(c.text)));
        EXPECT_EQ(CGdiFunc::splitLinesBy(c.text, c.limit, tenPerChar), c.lines);
    }
}

TEST(GdiFuncRulesTest, LineStepOfBothTextFunctions) {
    struct Case {
        int lineHeight, rectHeight, spacing;
        int lines, linesEx;
    } cases[] = {
        {16, 100, 0, 24, 16}, {16, 100, 4, 28, 20}, {20, 100, 0, 24, 24}, {22, 100, 0, 22, 22},
        {-1, 30, 0, 30, 30},  {-1, 20, 0, 24, 24},  {-1, 12, 2, 26, 14}, {21, 100, 0, 21, 21},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.lineHeight);
        EXPECT_EQ(CGdiFunc::lineStep(c.lineHeight, c.rectHeight, c.spacing, false), c.lines);
        EXPECT_EQ(CGdiFunc::lineStep(c.lineHeight, c.rectHeight, c.spacing, true), c.linesEx);
    }
}

TEST(GdiFuncRulesTest, MirroringInsideAWindow) {
    RECT mirrored = CGdiFunc::mirrorRect(RECT{10, 5, 110, 25}, 900);
    EXPECT_EQ(mirrored.left, 790);
    EXPECT_EQ(mirrored.right, 890);
    EXPECT_EQ(mirrored.top, 5);
    EXPECT_EQ(mirrored.bottom, 25);
    EXPECT_EQ(CGdiFunc::mirrorX(10, 40, 900), 850);
}

TEST(GdiFuncRulesTest, StringFormatsPerLanguage) {
    struct Case {
        bool arabic;
        INT singleFlags;
        INT multiFlags;
    } cases[] = {
        {false, Gdiplus::StringFormatFlagsNoWrap, 0},
        {true, Gdiplus::StringFormatFlagsDirectionRightToLeft, Gdiplus::StringFormatFlagsDirectionRightToLeft},
    };
    for (const auto& c : cases) {
        Gdiplus::StringFormat single;
        CGdiFunc::singleLineFormat(single, Gdiplus::StringAlignmentFar, c.arabic);
        EXPECT_EQ(single.GetFormatFlags(), c.singleFlags);
        EXPECT_EQ(single.GetAlignment(), Gdiplus::StringAlignmentFar);
        EXPECT_EQ(single.GetLineAlignment(), Gdiplus::StringAlignmentCenter);
        EXPECT_EQ(single.GetTrimming(), Gdiplus::StringTrimmingEllipsisCharacter);

        Gdiplus::StringFormat multi;
        CGdiFunc::multiLineFormat(multi, Gdiplus::StringAlignmentCenter, Gdiplus::StringAlignmentFar, c.arabic);
        EXPECT_EQ(multi.GetFormatFlags(), c.multiFlags);
        EXPECT_EQ(multi.GetAlignment(), Gdiplus::StringAlignmentCenter);
        EXPECT_EQ(multi.GetLineAlignment(), Gdiplus::StringAlignmentFar);
    }
}

}  // namespace
