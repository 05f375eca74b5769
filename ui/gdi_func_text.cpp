// Text measuring, line breaking and drawing of the drawing functions.
#include "ui/gdi_func.h"
#include "ui/text_rules.h"

#include <algorithm>
#include <cmath>
#include <memory>

namespace {

// A family from familyOf, deleted unless it is the shared one.
class FamilyRef {
public:
    explicit FamilyRef(const CString& face) : m_family(CGdiFunc::familyOf(face)) {}
    ~FamilyRef() {
        if (!CGdiFunc::isSharedFamily(m_family)) delete m_family;
    }
    FamilyRef(const FamilyRef&) = delete;
    FamilyRef& operator=(const FamilyRef&) = delete;
    Gdiplus::FontFamily* get() const { return m_family; }

private:
    Gdiplus::FontFamily* m_family;
};

std::vector<CString> splitAt(const CString& text, wchar_t separator) {
    std::vector<CString> parts;
    CString part;
    for (int i = 0; i < text.GetLength(); ++i) {
        wchar_t c = text[i];
        if (c == separator) {
            if (!part.IsEmpty()) parts.push_back(part);
            part.Empty();
        } else {
            part += c;
        }
    }
    if (!part.IsEmpty()) parts.push_back(part);
    return parts;
}

// A one-pixel line under the text as the format places it in box, at the
// bottom of the font's descent, across the ink's width (the padding that
// GDI+ adds at both ends, a sixth of the size, left out).
void drawUnderline(Gdiplus::Graphics& graphics, const Gdiplus::Font& font, const Gdiplus::FontFamily& family,
                   const Gdiplus::StringFormat& format, const CString& text, const Gdiplus::RectF& box,
                   COLORREF colour) {
    const INT style = Gdiplus::FontStyleRegular;
    const Gdiplus::REAL em = family.GetEmHeight(style);
    if (em <= 0) return;
    const Gdiplus::REAL size = font.GetSize();
    const Gdiplus::REAL ascent = size * family.GetCellAscent(style) / em;
    const Gdiplus::REAL descent = size * family.GetCellDescent(style) / em;
    const Gdiplus::REAL lineHeight = font.GetHeight(&graphics);
    Gdiplus::REAL top = box.Y;
    if (format.GetLineAlignment() == Gdiplus::StringAlignmentCenter) top += (box.Height - lineHeight) / 2;
    else if (format.GetLineAlignment() == Gdiplus::StringAlignmentFar) top += box.Height - lineHeight;
    Gdiplus::RectF bounds;
    graphics.MeasureString(text, text.GetLength(), &font, box, &format, &bounds);
    const Gdiplus::REAL pad = size / 6;
    const Gdiplus::REAL y = std::min(std::floor(top + ascent + descent), box.Y + box.Height - 1);
    Gdiplus::Pen pen(CGdiFunc::toColor(colour), 1);
    graphics.DrawLine(&pen, bounds.X + pad, y, bounds.X + bounds.Width - pad, y);
}

int drawLines(HWND window, HDC dc, int size, const CString& text, const CString& face, int horizontalAlign,
              COLORREF colour, BOOL underline, int verticalAlign, int lineHeight, int lineSpacing,
              int* firstLineFree, RECT rect, bool ex) {
    if (window && CGdiFunc::isArabic()) rect = CGdiFunc::mirrorRect(rect, CGdiFunc::clientWidth(window));
    Gdiplus::Graphics graphics(dc);
    graphics.SetTextRenderingHint(Gdiplus::TextRenderingHintAntiAlias);
    FamilyRef family(face);
    // The underline is drawn by hand at the font's descent: the face's own
    // underline position runs through the descenders of g, p and y.
    Gdiplus::Font font(family.get(), static_cast<Gdiplus::REAL>(size), Gdiplus::FontStyleRegular,
                       Gdiplus::UnitPixel);
    Gdiplus::StringFormat format;
    CGdiFunc::multiLineFormat(format, horizontalAlign, verticalAlign, CGdiFunc::isArabic());

    int step = CGdiFunc::lineStep(lineHeight, rect.bottom - rect.top, lineSpacing, ex);
    std::vector<CString> lines = CGdiFunc::splitLines(&graphics, &font, text, (rect.right - rect.left) - 3);
    int used = step * static_cast<int>(lines.size());
    if (firstLineFree && !lines.empty()) {
        Gdiplus::RectF bounds;
        graphics.MeasureString(lines[0], lines[0].GetLength(), &font, Gdiplus::PointF(0, 0), &bounds);
        *firstLineFree = static_cast<int>(step - bounds.Height);
    }
    Gdiplus::SolidBrush brush(CGdiFunc::toColor(colour));
    for (size_t i = 0; i < lines.size(); ++i) {
        Gdiplus::RectF box(static_cast<Gdiplus::REAL>(rect.left),
                           static_cast<Gdiplus::REAL>(rect.top + static_cast<int>(i) * step),
                           static_cast<Gdiplus::REAL>(rect.right - rect.left), static_cast<Gdiplus::REAL>(step));
        graphics.DrawString(lines[i], lines[i].GetLength(), &font, box, &format, &brush);
        if (underline && !lines[i].IsEmpty()) drawUnderline(graphics, font, *family.get(), format, lines[i], box, colour);
    }
    return used;
}

}  // namespace

Gdiplus::RectF CGdiFunc::measureText(Gdiplus::Graphics* graphics, const Gdiplus::Font* font, const CString& text,
                                     int count) {
    Gdiplus::RectF bounds;
    if (count < 0) count = text.GetLength();
    if (!graphics || !font || count <= 0) return bounds;
    Gdiplus::StringFormat format;
    Gdiplus::CharacterRange range(0, count);
    format.SetMeasurableCharacterRanges(1, &range);
    Gdiplus::Region region;
    Gdiplus::RectF layout(0, 0, 65536, 65536);
    if (graphics->MeasureCharacterRanges(text, text.GetLength(), font, layout, &format, 1, &region) ==
        Gdiplus::Ok) {
        region.GetBounds(&bounds, graphics);
    }
    return bounds;
}

std::vector<CString> CGdiFunc::splitLinesBy(const CString& text, int widthLimit,
                                            const std::function<int(const CString&)>& measureWidth) {
    std::vector<CString> result;
    auto fits = [&](const CString& s) { return measureWidth(s) <= widthLimit - 5; };
    for (const CString& line : splitAt(text, L'\n')) {
        CString current;
        for (CString word : splitAt(line, L' ')) {
            CString candidate = current.IsEmpty() ? word : current + L" " + word;
            if (fits(candidate)) {
                current = candidate;
                continue;
            }
            if (!current.IsEmpty()) result.push_back(current);
            // A word wider than the box (a Korean phrase has no spaces to
            // break at) is broken between characters, each piece as wide as
            // fits; a line drawn wider than its box wraps inside it and
            // overprints the next one.
            while (word.GetLength() > 1 && !fits(word)) {
                int keep = 1;
                while (keep < word.GetLength() - 1 && fits(word.Left(keep + 1))) ++keep;
                if (keep > 1 && IS_HIGH_SURROGATE(word[keep - 1])) --keep;
                result.push_back(word.Left(keep));
                word = word.Mid(keep);
            }
            current = word;
        }
        result.push_back(current);
    }
    return result;
}

std::vector<CString> CGdiFunc::splitLines(Gdiplus::Graphics* graphics, const Gdiplus::Font* font,
                                          const CString& text, int widthLimit) {
    return splitLinesBy(text, widthLimit, [&](const CString& candidate) {
        return static_cast<int>(measureText(graphics, font, candidate).Width);
    });
}

CString CGdiFunc::fitWithEllipsis(Gdiplus::Graphics* graphics, const Gdiplus::Font* font, const CString& text,
                                  Gdiplus::REAL width, bool rightToLeft) {
    const CString ellipsis = text_rules::lineEllipsis(rightToLeft);
    // Measured as drawn, with the padding the drawing adds at both ends.
    auto fits = [&](const CString& candidate) {
        Gdiplus::RectF bounds;
        graphics->MeasureString(candidate, candidate.GetLength(), font, Gdiplus::PointF(0, 0), &bounds);
        return bounds.Width <= width;
    };
    if (text.IsEmpty() || fits(text)) return text;
    // The longest prefix that still fits with the ellipsis behind it.
    int low = 0;
    int high = text.GetLength() - 1;
    while (low < high) {
        int middle = (low + high + 1) / 2;
        if (fits(CString(text.GetString(), middle) + ellipsis)) {
            low = middle;
        } else {
            high = middle - 1;
        }
    }
    return CString(text.GetString(), low) + ellipsis;
}

int CGdiFunc::lineStep(int lineHeight, int rectHeight, int lineSpacing, bool ex) {
    int height = lineHeight == -1 ? rectHeight : lineHeight;
    if (ex ? height == 20 : height <= 20) height = 24;
    return height + lineSpacing;
}

void CGdiFunc::singleLineFormat(Gdiplus::StringFormat& format, int horizontalAlign, bool rightToLeft) {
    format.SetAlignment(static_cast<Gdiplus::StringAlignment>(horizontalAlign));
    format.SetLineAlignment(Gdiplus::StringAlignmentCenter);
    format.SetTrimming(Gdiplus::StringTrimmingEllipsisCharacter);
    // Arabic may wrap inside its rectangle instead of being cut.
    format.SetFormatFlags(rightToLeft ? Gdiplus::StringFormatFlagsDirectionRightToLeft
                                      : Gdiplus::StringFormatFlagsNoWrap);
}

void CGdiFunc::multiLineFormat(Gdiplus::StringFormat& format, int horizontalAlign, int verticalAlign,
                               bool rightToLeft) {
    if (rightToLeft) format.SetFormatFlags(Gdiplus::StringFormatFlagsDirectionRightToLeft);
    format.SetAlignment(static_cast<Gdiplus::StringAlignment>(horizontalAlign));
    format.SetLineAlignment(static_cast<Gdiplus::StringAlignment>(verticalAlign));
}

namespace {

SIZE drawOneLine(HDC dc, const RECT& rect, const CString& text, const CString& face, int size, BOOL bold,
                 COLORREF colour, int horizontalAlign, bool rightToLeft);

}  // namespace

SIZE CGdiFunc::drawText(HDC dc, const RECT& rect, const CString& text, const CString& face, int size, BOOL bold,
                        COLORREF colour, int horizontalAlign) {
    return drawOneLine(dc, rect, text, face, size, bold, colour, horizontalAlign, isArabic());
}

SIZE CGdiFunc::drawLeftToRightText(HDC dc, const RECT& rect, const CString& text, const CString& face, int size,
                                   BOOL bold, COLORREF colour, int horizontalAlign) {
    return drawOneLine(dc, rect, text, face, size, bold, colour, horizontalAlign, false);
}

namespace {

SIZE drawOneLine(HDC dc, const RECT& rect, const CString& text, const CString& face, int size, BOOL bold,
                 COLORREF colour, int horizontalAlign, bool rightToLeft) {
    Gdiplus::Graphics graphics(dc);
    graphics.SetTextRenderingHint(Gdiplus::TextRenderingHintAntiAlias);
    FamilyRef family(face);
    Gdiplus::Font font(family.get(), static_cast<Gdiplus::REAL>(size),
                       bold ? Gdiplus::FontStyleBold : Gdiplus::FontStyleRegular, Gdiplus::UnitPixel);
    Gdiplus::StringFormat format;
    CGdiFunc::singleLineFormat(format, horizontalAlign, rightToLeft);
    Gdiplus::SolidBrush brush(CGdiFunc::toColor(colour));
    Gdiplus::RectF box(static_cast<Gdiplus::REAL>(rect.left), static_cast<Gdiplus::REAL>(rect.top),
                       static_cast<Gdiplus::REAL>(rect.right - rect.left),
                       static_cast<Gdiplus::REAL>(rect.bottom - rect.top));
    CString shown = rightToLeft ? text : CGdiFunc::fitWithEllipsis(&graphics, &font, text, box.Width);
    graphics.DrawString(shown, shown.GetLength(), &font, box, &format, &brush);
    Gdiplus::RectF measured = CGdiFunc::measureText(&graphics, &font, text);
    return SIZE{static_cast<LONG>(measured.Width), static_cast<LONG>(measured.Height)};
}

}  // namespace

SIZE CGdiFunc::drawTextInWnd(HWND window, HDC dc, const RECT& rect, const CString& text, const CString& face,
                             int size, BOOL bold, COLORREF colour, int horizontalAlign) {
    RECT box = rect;
    if (window && isArabic()) box = mirrorRect(rect, clientWidth(window));
    return drawText(dc, box, text, face, size, bold, colour, horizontalAlign);
}

int CGdiFunc::drawTextLines(HDC dc, int size, const CString& text, const CString& face, int horizontalAlign,
                            COLORREF colour, BOOL underline, int verticalAlign, int lineHeight, int lineSpacing,
                            int* firstLineFree, const RECT& rect) {
    return drawLines(nullptr, dc, size, text, face, horizontalAlign, colour, underline, verticalAlign, lineHeight,
                     lineSpacing, firstLineFree, rect, false);
}

int CGdiFunc::drawTextLinesEx(HDC dc, int size, const CString& text, const CString& face, int horizontalAlign,
                              COLORREF colour, BOOL underline, int verticalAlign, int lineHeight, int lineSpacing,
                              int* firstLineFree, const RECT& rect) {
    return drawLines(nullptr, dc, size, text, face, horizontalAlign, colour, underline, verticalAlign, lineHeight,
                     lineSpacing, firstLineFree, rect, true);
}

int CGdiFunc::drawTextLinesInWnd(HWND window, HDC dc, int size, const CString& text, const CString& face,
                                 int horizontalAlign, COLORREF colour, BOOL underline, int verticalAlign,
                                 int lineHeight, int lineSpacing, int* firstLineFree, const RECT& rect) {
    return drawLines(window, dc, size, text, face, horizontalAlign, colour, underline, verticalAlign, lineHeight,
                     lineSpacing, firstLineFree, rect, false);
}

int CGdiFunc::drawTextLinesExInWnd(HWND window, HDC dc, int size, const CString& text, const CString& face,
                                   int horizontalAlign, COLORREF colour, BOOL underline, int verticalAlign,
                                   int lineHeight, int lineSpacing, int* firstLineFree, const RECT& rect) {
    return drawLines(window, dc, size, text, face, horizontalAlign, colour, underline, verticalAlign, lineHeight,
                     lineSpacing, firstLineFree, rect, true);
}
