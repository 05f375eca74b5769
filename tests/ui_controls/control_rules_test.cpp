// The controls' state and layout rules without windows.
#include "ui/list_geometry.h"
#include "ui/png_button_rules.h"
#include "ui/text_rules.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using namespace png_button;

TEST(PngButtonRulesTest, FrameIndexAndCaptionColour) {
    struct Case {
        State state;
        int frames;
        int frame;
        CaptionColour colour;
    } cases[] = {
        {{false, false, false, false, true}, 4, 0, COLOUR_NORMAL},
        {{false, false, true, false, true}, 4, 1, COLOUR_HOVER},
        {{false, false, false, true, true}, 4, 2, COLOUR_PRESSED},
        // hover is tested before pressed
        {{false, false, true, true, true}, 4, 1, COLOUR_PRESSED},
        {{false, false, false, false, false}, 4, 3, COLOUR_DISABLED},
        {{true, false, false, false, true}, 7, 0, COLOUR_NORMAL},
        {{true, true, false, false, true}, 7, 4, COLOUR_CHECKED},
        {{true, true, true, false, true}, 7, 5, COLOUR_CHECKED_HOVER},
        {{true, true, false, true, true}, 7, 6, COLOUR_CHECKED_PRESSED},
        {{true, true, false, false, false}, 7, 6, COLOUR_DISABLED},
        {{true, true, false, false, false}, 8, 3, COLOUR_DISABLED},
        // a plain button's checked flag (double-click) changes only colours
        {{false, true, false, false, true}, 4, 0, COLOUR_CHECKED},
        {{false, true, true, false, true}, 4, 1, COLOUR_CHECKED_HOVER},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.state.toggle << c.state.checked << c.state.hover << c.state.pressed
                                        << c.state.enabled << " frames " << c.frames);
        EXPECT_EQ(frameIndex(c.state, c.frames), c.frame);
        EXPECT_EQ(captionColour(c.state), c.colour);
    }
}

TEST(PngButtonRulesTest, IconIndexOfTextButton) {
    struct Case {
        bool checked, hover, pressed, enabled;
        int index;
    } cases[] = {
        {false, false, false, true, 0}, {false, true, false, true, 1}, {false, false, true, true, 2},
        {false, true, true, true, 1},   {true, false, false, true, 4}, {true, true, false, true, 5},
        {true, false, true, true, 6},   {true, true, false, false, 3}, {false, false, false, false, 3},
    };
    for (const auto& c : cases) EXPECT_EQ(iconIndex(c.checked, c.hover, c.pressed, c.enabled), c.index);
}

TEST(PngButtonRulesTest, CaptionLinesAndPlacement) {
    struct Case {
        const wchar_t* caption;
        int lines;
    } cases[] = {{L"", 0}, {L"OK", 1}, {L"one\ntwo", 2}, {L"a\nb\nc", 3}, {L"\nb\nc", 1}, {L"ab\n", 2}};
    for (const auto& c : cases) EXPECT_EQ(captionLineCount(c.caption), c.lines) << testing::PrintToString(std::wstring(c.caption));
    // two 16-pixel lines in a 40-pixel button start 4 pixels down
    EXPECT_EQ(captionTopShift(40, 2, 16), 4);
    EXPECT_EQ(captionTopShift(10, 1, 16), -3);
    EXPECT_EQ(stretchCap(80, 200), 3);
    EXPECT_EQ(stretchCap(80, 82), 2);
    EXPECT_EQ(stretchCap(80, 80), 0);
}

using namespace list_geometry;

TEST(ListGeometryTest, RowsAndHitRows) {
    EXPECT_EQ(rowPitch(L"S"), 25);
    EXPECT_EQ(rowPitch(L"SF"), 25);
    EXPECT_EQ(rowPitch(L""), 32);
    EXPECT_EQ(rowPitch(L"s"), 32);

    RECT client{0, 0, 547, 200};
    RECT row = rowRect(2, 32, 10, client, 0);
    EXPECT_EQ(row.left, 1);
    EXPECT_EQ(row.right, 530);
    EXPECT_EQ(row.top, 55);
    EXPECT_EQ(row.bottom, 88);
    RECT searchRow = rowRect(0, 25, 0, client, 0);
    EXPECT_EQ(searchRow.bottom - searchRow.top, 26);

    struct Case {
        int y, position, pitch, count, row;
    } cases[] = {{0, 0, 32, 10, 0},  {31, 0, 32, 10, 0},  {32, 0, 32, 10, 1}, {5, 25, 25, 10, 1},
                 {199, 120, 32, 10, 9}, {10, 0, 32, 0, -1}, {330, 0, 32, 10, -1}, {-5, 0, 32, 10, -1}};
    for (const auto& c : cases) EXPECT_EQ(rowAt(c.y, c.position, c.pitch, c.count), c.row) << c.y;
}

TEST(ListGeometryTest, LayoutShowsTheBarOnlyWhenNeeded) {
    Layout ten = layoutFor(200, 32, 10);
    EXPECT_TRUE(ten.scrollBarShown);
    EXPECT_EQ(ten.range.page, 200);
    EXPECT_EQ(ten.range.maximum, 320);
    Layout five = layoutFor(200, 32, 5);
    EXPECT_FALSE(five.scrollBarShown);
    EXPECT_EQ(five.range.maximum, 0);
}

TEST(ListGeometryTest, ScrollTargetsAndStepSequences) {
    Range range{0, 320, 200};
    struct Case {
        int code, position;
        std::vector<int> steps;
    } cases[] = {
        {SB_LINEDOWN, 0, {25, 25}},
        {SB_PAGEDOWN, 0, {25, 50, 75, 100, 120}},
        {SB_LINEDOWN, 110, {120}},
        {SB_LINEUP, 120, {95, 95}},
        {SB_PAGEUP, 120, {95, 70, 45, 20, 0}},
        {SB_LINEUP, 0, {0}},
        {SB_TOP, 60, {60}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "code " << c.code << " from " << c.position);
        EXPECT_EQ(scrollSteps(c.position, scrollTarget(c.code, c.position, range)), c.steps);
    }
}

TEST(ListGeometryTest, EnsureVisibleUsesThePitch) {
    struct Case {
        int row, pitch, position, bottom, result;
    } cases[] = {
        {0, 32, 0, 200, 0},   {9, 32, 0, 200, 122}, {1, 32, 100, 200, 33},
        {9, 25, 0, 200, 52},  {3, 25, 0, 200, 0},   {0, 25, 10, 200, 1},
    };
    for (const auto& c : cases) EXPECT_EQ(ensureVisiblePosition(c.row, c.pitch, c.position, c.bottom), c.result);
}

TEST(ScrollBarGeometryTest, PartsThumbAndHitTest) {
    // a 17 by 200 bar: track 166 between two 17-pixel arrows
    ScrollState state{0, 320, 200, 0, -1};
    BarParts parts = barParts(200, 17, state);
    EXPECT_EQ(parts.arrowLength, 17);
    EXPECT_EQ(parts.track, 166);
    EXPECT_EQ(parts.thumbLength, 166 * 200 / 321);
    EXPECT_EQ(parts.thumbTop, 17);
    struct Hit {
        int along;
        Part part;
    } hits[] = {{-1, PART_UP}, {16, PART_UP}, {17, PART_THUMB}, {17 + 102, PART_THUMB}, {17 + 103, PART_PAGE_DOWN},
                {182, PART_PAGE_DOWN}, {183, PART_DOWN}, {199, PART_DOWN}};
    for (const auto& h : hits) EXPECT_EQ(hitTest(h.along, parts), h.part) << h.along;

    state.position = 120;
    parts = barParts(200, 17, state);
    EXPECT_EQ(parts.thumbTop, 17 + 120 * (166 - 103) / 121);
    EXPECT_EQ(hitTest(20, parts), PART_PAGE_UP);

    // the track position wins while dragging
    state.trackPosition = 0;
    EXPECT_EQ(barParts(200, 17, state).thumbTop, 17);
}

TEST(ScrollBarGeometryTest, SmallPagesAndShortBars) {
    // page 50 or less: ten times the length, clamped to the track
    ScrollState small{0, 1000, 50, 0, -1};
    BarParts parts = barParts(200, 17, small);
    EXPECT_EQ(parts.thumbLength, std::min(20 * 10, 166));
    ScrollState tiny{0, 10000, 40, 0, -1};
    EXPECT_EQ(barParts(400, 17, tiny).thumbLength, 20 * 10);
    // no room for a track: the arrows share the length
    BarParts shortBar = barParts(30, 17, ScrollState{0, 320, 200, 0, -1});
    EXPECT_EQ(shortBar.track, 0);
    EXPECT_EQ(shortBar.arrowLength, 15);
    EXPECT_EQ(hitTest(14, shortBar), PART_UP);
    EXPECT_EQ(hitTest(15, shortBar), PART_DOWN);
}

TEST(ScrollBarGeometryTest, DragCoversTheRange) {
    ScrollState state{0, 320, 200, 0, -1};
    BarParts parts = barParts(200, 17, state);
    int free = parts.track - parts.thumbLength;
    EXPECT_EQ(dragPosition(0, 0, parts, state), 0);
    EXPECT_EQ(dragPosition(0, free, parts, state), 120);
    EXPECT_EQ(dragPosition(0, free / 2, parts, state), free / 2 * 121 / free);
    EXPECT_EQ(dragPosition(60, -500, parts, state), 0);
    EXPECT_EQ(dragPosition(60, 500, parts, state), 120);
}

using namespace text_rules;

TEST(StaticExRulesTest, LineHeights) {
    struct Case {
        bool automatic;
        int fixed, measured, height;
    } cases[] = {{true, -1, 20, 24}, {true, -1, 24, 24}, {true, -1, 30, 32}, {true, -1, 40, 40},
                 {false, 18, 40, 18}, {false, -1, 30, 32}, {false, 0, 20, 24}, {true, 18, 30, 32}};
    for (const auto& c : cases) EXPECT_EQ(staticLineHeight(c.automatic, c.fixed, c.measured), c.height);

    auto measure = [](int height) {
        return [height](const CString& text) { return SIZE{text.GetLength() * 10, height}; };
    };
    StaticLines wrapped = staticLines(L"aaaa bbbb cccc", 100, true, -1, measure(30));
    EXPECT_EQ(wrapped.lines, (std::vector<CString>{L"aaaa bbbb", L"cccc"}));
    EXPECT_EQ(wrapped.lineHeight, 32);
    StaticLines fits = staticLines(L"short", 100, true, -1, measure(30));
    EXPECT_EQ(fits.lines.size(), 1u);
    EXPECT_EQ(fits.lineHeight, 0);
    // Lines broken only at line feeds still get a height, so they never
    // draw over each other.
    StaticLines feeds = staticLines(L"one\ntwo", 100, true, -1, measure(20));
    EXPECT_EQ(feeds.lines, (std::vector<CString>{L"one", L"two"}));
    EXPECT_EQ(feeds.lineHeight, 24);
    EXPECT_EQ(staticLines(L"one\ntwo", 100, false, 18, measure(20)).lineHeight, 18);
    EXPECT_EQ(staticLines(L"aaaa bbbb cccc", 100, false, 18, measure(30)).lineHeight, 18);

    EXPECT_EQ(staticFirstLineTop(STATIC_VCENTER, RECT{0, 0, 100, 100}, 2, 24), 26);
    EXPECT_EQ(staticFirstLineTop(0, RECT{0, 0, 100, 100}, 2, 24), 0);
    EXPECT_EQ(staticHorizontalAlign(9, false), Gdiplus::StringAlignmentNear);
    EXPECT_EQ(staticHorizontalAlign(STATIC_CENTER | STATIC_RIGHT, false), Gdiplus::StringAlignmentCenter);
    EXPECT_EQ(staticHorizontalAlign(STATIC_RIGHT, false), Gdiplus::StringAlignmentFar);
    EXPECT_EQ(staticHorizontalAlign(0, true), Gdiplus::StringAlignmentFar);
    EXPECT_EQ(staticVerticalAlign(STATIC_VCENTER), Gdiplus::StringAlignmentCenter);
}

TEST(StaticExRulesTest, FormatFlagsPerLanguage) {
    const INT rtl = Gdiplus::StringFormatFlagsDirectionRightToLeft;
    const INT noWrap = Gdiplus::StringFormatFlagsNoWrap;
    struct Case {
        bool singleLine, leftToRight, rightAlign;
        INT flags;
    } cases[] = {
        {true, true, false, noWrap},  {true, false, false, rtl | noWrap}, {true, false, true, noWrap},
        {false, true, false, 0},      {false, false, false, rtl},         {false, false, true, 0},
    };
    for (const auto& c : cases) {
        Gdiplus::StringFormat format;
        staticFormat(format, c.singleLine, c.leftToRight, c.rightAlign);
        EXPECT_EQ(format.GetFormatFlags(), c.flags) << c.singleLine << c.leftToRight << c.rightAlign;
    }
    Gdiplus::StringFormat combo;
    comboFormat(combo, true);
    EXPECT_EQ(combo.GetFormatFlags(), noWrap);
    comboFormat(combo, false);
    EXPECT_EQ(combo.GetFormatFlags(), rtl);
}

// Where a control places a line itself, Arabic mirrors the edge through the
// reading order, never through Wine's drawing: with the GDI+ flag Near is
// the right edge; DrawText needs the edge and the reading order both.
TEST(ReadingOrderRulesTest, LeadingEdgeMirroredForRightToLeft) {
    const struct {
        bool trailing, rightToLeft;
        Gdiplus::StringAlignment alignment;
        UINT drawText;
    } cases[] = {
        {false, false, Gdiplus::StringAlignmentNear, DT_LEFT},
        {true, false, Gdiplus::StringAlignmentFar, DT_RIGHT},
        {false, true, Gdiplus::StringAlignmentNear, DT_RIGHT | DT_RTLREADING},
        {true, true, Gdiplus::StringAlignmentFar, DT_LEFT | DT_RTLREADING},
    };
    for (const auto& c : cases) {
        const LineAlignment a = lineAlignment(c.trailing, c.rightToLeft);
        EXPECT_EQ(a.alignment, c.alignment) << c.trailing << c.rightToLeft;
        EXPECT_EQ(a.rightToLeft, c.rightToLeft);
        EXPECT_EQ(lineDrawTextFlags(c.trailing, c.rightToLeft), c.drawText) << c.trailing << c.rightToLeft;
    }
    EXPECT_EQ(lineEllipsis(false), CString(L"\u2026"));
    EXPECT_EQ(lineEllipsis(true), CString(L"\u2026\u200F"));
    // The closed combo box's text starts at the leading edge in both orders.
    for (bool leftToRight : {true, false}) {
        Gdiplus::StringFormat combo;
        comboFormat(combo, leftToRight);
        EXPECT_EQ(combo.GetAlignment(), Gdiplus::StringAlignmentNear);
        EXPECT_EQ((combo.GetFormatFlags() & Gdiplus::StringFormatFlagsDirectionRightToLeft) != 0, !leftToRight);
    }
}

// The closed box: the arrow 10 pixels in from the trailing edge, the text
// between the leading margin and the arrow, at the leading edge with the
// language's reading order.
TEST(ImageComboRulesTest, ClosedBoxMirroredForRightToLeft) {
    const struct {
        bool leftToRight;
        RECT arrow, text;
        UINT edge;
    } cases[] = {
        {true, {240, 16, 250, 23}, {10, 1, 234, 39}, DT_LEFT},
        {false, {10, 16, 20, 23}, {26, 1, 250, 39}, DT_RIGHT | DT_RTLREADING},
    };
    for (const auto& c : cases) {
        const ComboFace face = comboFace(260, 40, SIZE{10, 7}, c.leftToRight);
        EXPECT_TRUE(EqualRect(&face.arrow, &c.arrow)) << c.leftToRight << " arrow " << face.arrow.left;
        EXPECT_TRUE(EqualRect(&face.text, &c.text)) << c.leftToRight << " text " << face.text.left << ","
                                                    << face.text.right;
        for (bool centred : {true, false}) {
            const UINT flags = comboTextFlags(c.leftToRight, centred);
            EXPECT_EQ(flags & (DT_RIGHT | DT_RTLREADING), c.edge);
            EXPECT_EQ((flags & DT_VCENTER) != 0, centred);
            EXPECT_EQ(flags & (DT_SINGLELINE | DT_END_ELLIPSIS | DT_NOPREFIX),
                      static_cast<UINT>(DT_SINGLELINE | DT_END_ELLIPSIS | DT_NOPREFIX));
        }
    }
    // Too narrow for text: an empty text box, never a reversed one.
    const ComboFace narrow = comboFace(20, 40, SIZE{10, 7}, true);
    EXPECT_GE(narrow.text.right, narrow.text.left);
}

// The selection field keeps the asked height unless the font needs more.
TEST(ImageComboRulesTest, FaceHeightFitsTheFont) {
    const struct {
        int asked, font, height;
    } cases[] = {{34, 16, 34}, {34, 20, 34}, {20, 16, 28}, {0, 20, 32}, {40, 40, 56}};
    for (const auto& c : cases) EXPECT_EQ(comboFaceHeight(c.asked, c.font), c.height) << c.asked << "/" << c.font;
}

TEST(ImageComboRulesTest, ShownTextBeforeTheSeparator) {
    CString rest;
    EXPECT_EQ(comboShownText(L"Korea|*|KR|*|1", &rest), CString(L"Korea"));
    EXPECT_EQ(rest, CString(L"KR|*|1"));
    EXPECT_EQ(comboShownText(L"Plain", &rest), CString(L"Plain"));
    EXPECT_TRUE(rest.IsEmpty());
    EXPECT_EQ(comboShownText(L"|*|code", &rest), CString(L""));
    EXPECT_EQ(rest, CString(L"code"));
}

TEST(ProgressRulesTest, FillFromEitherSide) {
    struct Case {
        int width;
        double position;
        int lower, upper;
        bool rtl;
        int x, filled;
    } cases[] = {
        {301, 50, 0, 100, false, 0, 150}, {301, 50, 0, 100, true, 151, 150}, {301, 0, 0, 100, false, 0, 0},
        {301, 100, 0, 100, true, 0, 301}, {200, 500, 0, 1000, false, 0, 100}, {200, 5, 5, 5, false, 0, 0},
    };
    for (const auto& c : cases) {
        Fill fill = progressFill(c.width, c.position, c.lower, c.upper, c.rtl);
        EXPECT_EQ(fill.x, c.x);
        EXPECT_EQ(fill.width, c.filled);
    }
    EXPECT_EQ(nextFrame(-1, 12), 0);
    EXPECT_EQ(nextFrame(10, 12), 11);
    EXPECT_EQ(nextFrame(11, 12), 0);
    EXPECT_EQ(nextFrame(0, 0), -1);
}

}  // namespace
