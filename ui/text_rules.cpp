#include "ui/text_rules.h"

#include "ui/gdi_func.h"

#include <algorithm>

namespace text_rules {

int staticHorizontalAlign(int styleFlags, bool rightAlign) {
    if (styleFlags & STATIC_CENTER) return Gdiplus::StringAlignmentCenter;
    if ((styleFlags & STATIC_RIGHT) || rightAlign) return Gdiplus::StringAlignmentFar;
    return Gdiplus::StringAlignmentNear;
}

int staticVerticalAlign(int styleFlags) {
    return (styleFlags & STATIC_VCENTER) ? Gdiplus::StringAlignmentCenter : Gdiplus::StringAlignmentNear;
}

int staticLineHeight(bool automatic, int fixedHeight, int measuredHeight) {
    if (!automatic && fixedHeight > 0) return fixedHeight;
    if (measuredHeight <= 24) return 24;
    if (measuredHeight <= 32) return 32;
    return measuredHeight;
}

StaticLines staticLines(const CString& text, int width, bool automatic, int fixedHeight,
                        const std::function<SIZE(const CString&)>& measure) {
    StaticLines result{{}, 0};
    result.lines = CGdiFunc::splitLinesBy(text, width, [&](const CString& candidate) {
        SIZE size = measure(candidate);
        if (size.cx > width - 5) result.lineHeight = staticLineHeight(automatic, fixedHeight, size.cy);
        return static_cast<int>(size.cx);
    });
    // Lines that end at a line feed are closed without a width check, so
    // nothing chose a height: stacked at one place they would draw over
    // each other. Take it from the tallest line, by the same rule.
    if (result.lineHeight == 0 && result.lines.size() > 1) {
        int tallest = 0;
        for (const CString& line : result.lines) tallest = std::max<int>(tallest, measure(line).cy);
        result.lineHeight = staticLineHeight(automatic, fixedHeight, tallest);
    }
    return result;
}

int staticFirstLineTop(int styleFlags, const RECT& rect, int lineCount, int lineHeight) {
    if (!(styleFlags & STATIC_VCENTER)) return 0;
    return (rect.bottom - lineCount * lineHeight - rect.top) / 2;
}

void staticFormat(Gdiplus::StringFormat& format, bool singleLine, bool leftToRight, bool rightAlign) {
    bool keepLeftToRight = leftToRight || rightAlign;
    if (singleLine) {
        format.SetFormatFlags(keepLeftToRight ? Gdiplus::StringFormatFlagsNoWrap
                                              : Gdiplus::StringFormatFlagsDirectionRightToLeft |
                                                    Gdiplus::StringFormatFlagsNoWrap);
        format.SetTrimming(Gdiplus::StringTrimmingEllipsisCharacter);
    } else if (!keepLeftToRight) {
        format.SetFormatFlags(Gdiplus::StringFormatFlagsDirectionRightToLeft);
    }
}

CString comboShownText(const CString& full, CString* rest) {
    int at = full.Find(L"|*|");
    if (at < 0) {
        if (rest) rest->Empty();
        return full;
    }
    if (rest) *rest = CString(full.GetString() + at + 3);
    return CString(full.GetString(), at);
}

LineAlignment lineAlignment(bool trailing, bool rightToLeft) {
    return LineAlignment{trailing ? Gdiplus::StringAlignmentFar : Gdiplus::StringAlignmentNear, rightToLeft};
}

UINT lineDrawTextFlags(bool trailing, bool rightToLeft) {
    const bool right = trailing != rightToLeft;
    return (right ? DT_RIGHT : DT_LEFT) | (rightToLeft ? DT_RTLREADING : 0);
}

CString lineEllipsis(bool rightToLeft) { return rightToLeft ? CString(L"\u2026\u200F") : CString(L"\u2026"); }

void comboFormat(Gdiplus::StringFormat& format, bool leftToRight) {
    // The closed box's text starts at the leading edge: the right one in
    // Arabic, where the arrow moves to the left.
    format.SetAlignment(lineAlignment(false, !leftToRight).alignment);
    format.SetLineAlignment(Gdiplus::StringAlignmentNear);
    format.SetTrimming(Gdiplus::StringTrimmingEllipsisCharacter);
    format.SetFormatFlags(leftToRight ? Gdiplus::StringFormatFlagsNoWrap
                                      : Gdiplus::StringFormatFlagsDirectionRightToLeft);
}

ComboFace comboFace(int width, int height, SIZE arrow, bool leftToRight) {
    constexpr int kEdge = 10;  // from the box's edge to the arrow or the text
    constexpr int kGap = 6;    // between the text and the arrow
    ComboFace face{};
    const int arrowLeft = leftToRight ? width - arrow.cx - kEdge : kEdge;
    const int arrowTop = (height - arrow.cy) / 2;
    face.arrow = RECT{arrowLeft, arrowTop, arrowLeft + arrow.cx, arrowTop + arrow.cy};
    // Inside the one-pixel frame.
    if (leftToRight) {
        face.text = RECT{kEdge, 1, face.arrow.left - kGap, height - 1};
    } else {
        face.text = RECT{face.arrow.right + kGap, 1, width - kEdge, height - 1};
    }
    if (face.text.right < face.text.left) face.text.right = face.text.left;
    return face;
}

UINT comboTextFlags(bool leftToRight, bool centred) {
    return DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS | (centred ? DT_VCENTER : DT_TOP) |
           lineDrawTextFlags(false, !leftToRight);
}

int comboFaceHeight(int asked, int fontPixels) {
    // A line takes about 1.2 times the font's pixel size; 4 pixels above and
    // below it.
    const int needed = (fontPixels * 6 + 4) / 5 + 8;
    return asked > needed ? asked : needed;
}

Fill progressFill(int clientWidth, double position, int lower, int upper, bool rightToLeft) {
    int filled = 0;
    if (upper != lower) filled = static_cast<int>(clientWidth * (position - lower) / (upper - lower));
    if (filled < 0) filled = 0;
    return rightToLeft ? Fill{clientWidth - filled, filled} : Fill{0, filled};
}

int nextFrame(int frame, int frameCount) {
    if (frameCount <= 0) return -1;
    int next = frame + 1;
    return next >= frameCount ? 0 : next;
}

}  // namespace text_rules
