#pragma once
// Layout rules of the text controls and the small animated controls, apart
// from their windows: CStaticEx's alignment, line breaking and line height,
// the string formats each control kind builds, the image combo's item
// text, the progress fill and the waiting animation's frame step.
#include "afx/string.h"

#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include <functional>
#include <vector>

namespace text_rules {

// ---- Reading order of a line a control places itself
// A line starts at its leading edge: the left one, the right one when it is
// read right to left; trailing puts it at the other edge. With the GDI+
// right-to-left flag Near is the right edge, so the pair below always goes
// together.
struct LineAlignment {
    Gdiplus::StringAlignment alignment;
    bool rightToLeft;
};
LineAlignment lineAlignment(bool trailing, bool rightToLeft);
// The same choice for DrawText: the edge (DT_LEFT or DT_RIGHT, which
// DT_RTLREADING does not swap) and the reading order.
UINT lineDrawTextFlags(bool trailing, bool rightToLeft);
// What ends a cut line: the ellipsis, followed in a right-to-left line by a
// right-to-left mark so that it stands at the cut (the line's left end) even
// in a left-to-right paragraph.
CString lineEllipsis(bool rightToLeft);

// ---- CStaticEx
enum StaticStyle {
    STATIC_CENTER = 0x2,
    STATIC_RIGHT = 0x4,
    STATIC_VCENTER = 0x10,
};
int staticHorizontalAlign(int styleFlags, bool rightAlign);
int staticVerticalAlign(int styleFlags);
// The line height chosen when a line is closed, from the measured height of
// the candidate that did not fit.
int staticLineHeight(bool automatic, int fixedHeight, int measuredHeight);

struct StaticLines {
    std::vector<CString> lines;
    int lineHeight;  // 0 for a single line that fits
};
// measure gives the integer width and height of a candidate line.
StaticLines staticLines(const CString& text, int width, bool automatic, int fixedHeight,
                        const std::function<SIZE(const CString&)>& measure);
// Top of the first line: 0, or centred with STATIC_VCENTER.
int staticFirstLineTop(int styleFlags, const RECT& rect, int lineCount, int lineHeight);
void staticFormat(Gdiplus::StringFormat& format, bool singleLine, bool leftToRight, bool rightAlign);

// ---- CImageCombo
// The shown text of an item: what stands before the first "|*|".
CString comboShownText(const CString& full, CString* rest = nullptr);
void comboFormat(Gdiplus::StringFormat& format, bool leftToRight);
// The closed box of a given size: the arrow 10 pixels in from the trailing
// edge (the left one in Arabic), vertically centred, and the text between
// the leading edge's margin and the arrow.
struct ComboFace {
    RECT arrow;
    RECT text;
};
ComboFace comboFace(int width, int height, SIZE arrow, bool leftToRight);
// DrawText flags of an item's text: one line, cut with an ellipsis, at the
// leading edge with the reading order of the language (DT_RIGHT and
// DT_RTLREADING in Arabic); vertically centred, or at the top for an item
// that carries hidden text.
UINT comboTextFlags(bool leftToRight, bool centred);
// The selection field's height for a font: at least the asked height, and
// enough for the font's line with its margins.
int comboFaceHeight(int asked, int fontPixels);

// ---- CProgressCtrlEx
struct Fill {
    int x;
    int width;
};
// Empty when the range is empty.
Fill progressFill(int clientWidth, double position, int lower, int upper, bool rightToLeft);

// ---- CWaitingStatic
int nextFrame(int frame, int frameCount);

}  // namespace text_rules
