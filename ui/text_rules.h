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
    int lineHeight;  // 0 when nothing had to be broken
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
