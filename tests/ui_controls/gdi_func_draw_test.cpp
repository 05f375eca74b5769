// The drawing functions on real GDI+ surfaces: nine-slice pixels, mirrored
// images and text under the Arabic interface, the sizes text drawing
// reports, and PNG loading failures.
#include "foundation/code_tables.h"
#include "foundation/regsetting.h"
#include "ui/gdi_func.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

namespace {

// The interface language for one test; Arabic needs a region outside
// Korea, which admits only Korean and English.
class LanguageScope {
public:
    explicit LanguageScope(int language)
        : m_previousRegion(CRegSetting::getRegion()), m_previous(CRegSetting::getLanguage()) {
        CRegSetting::setRegion(language == LANGUAGE_AR ? REGION_ME : REGION_US);
        CRegSetting::setLanguage(language);
    }
    ~LanguageScope() {
        CRegSetting::setRegion(m_previousRegion);
        CRegSetting::setLanguage(m_previous);
    }

private:
    int m_previousRegion;
    int m_previous;
};

// A window only for its client width.
class WidthWindow {
public:
    explicit WidthWindow(int width) {
        RECT r{0, 0, width, 100};
        AdjustWindowRectEx(&r, WS_POPUP, FALSE, 0);
        m_hwnd = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, r.right - r.left, r.bottom - r.top, nullptr,
                                 nullptr, nullptr, nullptr);
    }
    ~WidthWindow() { DestroyWindow(m_hwnd); }
    HWND get() const { return m_hwnd; }

private:
    HWND m_hwnd;
};

Gdiplus::ARGB pixel(Gdiplus::Bitmap& bitmap, int x, int y) {
    Gdiplus::Color colour;
    bitmap.GetPixel(x, y, &colour);
    return colour.GetValue();
}

// A 30 by 30 skin: 10-pixel corners red, green, blue, yellow; edges grey;
// centre black.
std::unique_ptr<Gdiplus::Bitmap> frameSkin() {
    auto skin = std::make_unique<Gdiplus::Bitmap>(30, 30, PixelFormat32bppARGB);
    Gdiplus::Graphics g(skin.get());
    g.Clear(Gdiplus::Color(0xFF808080));
    Gdiplus::SolidBrush red(Gdiplus::Color(0xFFFF0000)), green(Gdiplus::Color(0xFF00FF00)),
        blue(Gdiplus::Color(0xFF0000FF)), yellow(Gdiplus::Color(0xFFFFFF00)), black(Gdiplus::Color(0xFF000000));
    g.FillRectangle(&red, 0, 0, 10, 10);
    g.FillRectangle(&green, 20, 0, 10, 10);
    g.FillRectangle(&blue, 0, 20, 10, 10);
    g.FillRectangle(&yellow, 20, 20, 10, 10);
    g.FillRectangle(&black, 10, 10, 10, 10);
    return skin;
}

TEST(GdiFuncDrawTest, NineSliceCornersStayEdgesStretch) {
    auto skin = frameSkin();
    struct Case {
        int width, height;
    } sizes[] = {{30, 30}, {120, 60}, {300, 200}};
    for (const auto& s : sizes) {
        SCOPED_TRACE(s.width);
        Gdiplus::Bitmap target(s.width, s.height, PixelFormat32bppARGB);
        Gdiplus::Graphics g(&target);
        g.Clear(Gdiplus::Color(0xFFFFFFFF));
        EXPECT_TRUE(CGdiFunc::drawNineSlice(&g, skin.get(), s.width, s.height, 10, 10, 10, 10));
        EXPECT_EQ(pixel(target, 0, 0), 0xFFFF0000u);
        EXPECT_EQ(pixel(target, 9, 9), 0xFFFF0000u);
        EXPECT_EQ(pixel(target, s.width - 1, 0), 0xFF00FF00u);
        EXPECT_EQ(pixel(target, 0, s.height - 1), 0xFF0000FFu);
        EXPECT_EQ(pixel(target, s.width - 1, s.height - 1), 0xFFFFFF00u);
        EXPECT_EQ(pixel(target, s.width / 2, 5), 0xFF808080u);
        EXPECT_EQ(pixel(target, 5, s.height / 2), 0xFF808080u);
        // the centre is the caller's
        EXPECT_EQ(pixel(target, s.width / 2, s.height / 2), 0xFFFFFFFFu);
    }
    Gdiplus::Bitmap target(10, 10, PixelFormat32bppARGB);
    Gdiplus::Graphics g(&target);
    EXPECT_FALSE(CGdiFunc::drawNineSlice(&g, nullptr, 10, 10, 1, 1, 1, 1));
    // smaller than the borders: nothing stretched, nothing crashes
    EXPECT_TRUE(CGdiFunc::drawNineSlice(&g, skin.get(), 10, 10, 10, 10, 10, 10));
}

TEST(GdiFuncDrawTest, ImagesMirrorInsideTheWindowInArabic) {
    WidthWindow window(900);
    Gdiplus::Bitmap mark(40, 10, PixelFormat32bppARGB);
    {
        Gdiplus::Graphics g(&mark);
        g.Clear(Gdiplus::Color(0xFFFF0000));
    }
    struct Case {
        int language;
        int inkX, emptyX;
    } cases[] = {{LANGUAGE_EN, 10, 850}, {LANGUAGE_AR, 850, 10}};
    for (const auto& c : cases) {
        LanguageScope language(c.language);
        Gdiplus::Bitmap target(900, 20, PixelFormat32bppARGB);
        Gdiplus::Graphics g(&target);
        g.Clear(Gdiplus::Color(0xFFFFFFFF));
        EXPECT_EQ(CGdiFunc::drawImage(window.get(), &g, &mark, 10, 0, 40, 10), Gdiplus::Ok);
        EXPECT_EQ(pixel(target, c.inkX + 20, 5), 0xFFFF0000u) << c.language;
        EXPECT_EQ(pixel(target, c.emptyX + 20, 5), 0xFFFFFFFFu) << c.language;

        // one frame of a strip: the second 5-pixel row
        g.Clear(Gdiplus::Color(0xFFFFFFFF));
        EXPECT_EQ(CGdiFunc::drawImagePart(&g, window.get(), &mark, Gdiplus::Rect(10, 10, 40, 5), 5, 40, 5),
                  Gdiplus::Ok);
        EXPECT_EQ(pixel(target, c.inkX + 20, 12), 0xFFFF0000u) << c.language;
    }
    EXPECT_EQ(CGdiFunc::drawImage(window.get(), nullptr, &mark, 0, 0, 1, 1), Gdiplus::InvalidParameter);
    EXPECT_EQ(CGdiFunc::drawImagePart(nullptr, nullptr, &mark, Gdiplus::Rect(0, 0, 1, 1), 0, 1, 1),
              Gdiplus::InvalidParameter);
}

// A memory DC over a white 900 by 60 DIB, read back pixel by pixel.
class Canvas {
public:
    Canvas() {
        BITMAPINFO info{};
        info.bmiHeader = {sizeof(BITMAPINFOHEADER), 900, -60, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        m_dc = CreateCompatibleDC(nullptr);
        m_bitmap = CreateDIBSection(m_dc, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&m_bits), nullptr, 0);
        m_old = SelectObject(m_dc, m_bitmap);
        for (int i = 0; i < 900 * 60; ++i) m_bits[i] = 0xFFFFFF;
    }
    ~Canvas() {
        SelectObject(m_dc, m_old);
        DeleteObject(m_bitmap);
        DeleteDC(m_dc);
    }
    HDC dc() const { return m_dc; }
    // Pixels that are not white inside [left, right).
    int ink(int left, int right) const {
        GdiFlush();
        int n = 0;
        for (int y = 0; y < 60; ++y)
            for (int x = left; x < right; ++x) n += (m_bits[y * 900 + x] & 0xFFFFFF) != 0xFFFFFF;
        return n;
    }
    bool inked(int x, int y) const {
        GdiFlush();
        return (m_bits[y * 900 + x] & 0xFFFFFF) != 0xFFFFFF;
    }

private:
    HDC m_dc;
    HBITMAP m_bitmap;
    HGDIOBJ m_old;
    DWORD* m_bits = nullptr;
};

TEST(GdiFuncDrawTest, TextRectanglesMirrorInArabic) {
    WidthWindow window(900);
    struct Case {
        int language;
        int inkLeft, emptyLeft;
    } cases[] = {{LANGUAGE_EN, 10, 790}, {LANGUAGE_AR, 790, 10}};
    for (const auto& c : cases) {
        LanguageScope language(c.language);
        Canvas single;
        CGdiFunc::drawTextInWnd(window.get(), single.dc(), RECT{10, 0, 110, 30}, L"Text", L"DejaVu Sans", 16, FALSE,
                                RGB(0, 0, 0), 0);
        EXPECT_GT(single.ink(c.inkLeft, c.inkLeft + 100), 0) << c.language;
        EXPECT_EQ(single.ink(c.emptyLeft, c.emptyLeft + 100), 0) << c.language;

        Canvas lines;
        CGdiFunc::drawTextLinesInWnd(window.get(), lines.dc(), 16, L"Two words", L"DejaVu Sans", 0, RGB(0, 0, 0),
                                     FALSE, 0, 24, 0, nullptr, RECT{10, 0, 110, 60});
        EXPECT_GT(lines.ink(c.inkLeft, c.inkLeft + 100), 0) << c.language;
        EXPECT_EQ(lines.ink(c.emptyLeft, c.emptyLeft + 100), 0) << c.language;
    }
}

// A link's underline lies at the bottom of the font's descent: every pixel
// it adds is at or below the lowest ink of the same text drawn without it,
// so it never runs through the strokes of g, j, p, q and y.
TEST(GdiFuncDrawTest, UnderlineSitsBelowTheDescenders) {
    for (int size : {12, 16, 22}) {
        SCOPED_TRACE(size);
        Canvas plain, underlined;
        const RECT box{10, 0, 400, 36};
        CGdiFunc::drawTextLines(plain.dc(), size, L"gjpqy Help", L"DejaVu Sans", 0, 0, FALSE, 1, -1, 0, nullptr, box);
        CGdiFunc::drawTextLines(underlined.dc(), size, L"gjpqy Help", L"DejaVu Sans", 0, 0, TRUE, 1, -1, 0, nullptr,
                                box);
        int lowestInk = -1, added = 0, highestAdded = 60;
        for (int y = 0; y < 60; ++y) {
            for (int x = 0; x < 900; ++x) {
                if (plain.inked(x, y)) lowestInk = y;
                if (underlined.inked(x, y) && !plain.inked(x, y)) {
                    ++added;
                    highestAdded = std::min(highestAdded, y);
                }
            }
        }
        ASSERT_GE(lowestInk, 0);
        EXPECT_GT(added, 30) << "an underline is drawn";
        EXPECT_GE(highestAdded, lowestInk);
        EXPECT_LT(highestAdded, 36) << "inside the line's box";
    }
}

TEST(GdiFuncDrawTest, SizesAndHeightsReported) {
    Canvas canvas;
    const CString text = L"A rather long text that never fits into forty pixels";
    SIZE whole = CGdiFunc::drawText(canvas.dc(), RECT{0, 0, 40, 30}, text, L"DejaVu Sans", 16, FALSE, 0, 0);
    SIZE shortText = CGdiFunc::drawText(canvas.dc(), RECT{0, 0, 40, 30}, L"A", L"DejaVu Sans", 16, FALSE, 0, 0);
    EXPECT_GT(whole.cx, 300);
    EXPECT_GT(whole.cy, 10);
    EXPECT_LT(shortText.cx, 20);
    // the cut text stays inside its rectangle, ending in an ellipsis
    EXPECT_EQ(canvas.ink(41, 900), 0);
    {
        Gdiplus::Graphics graphics(canvas.dc());
        Gdiplus::FontFamily family(L"DejaVu Sans");
        Gdiplus::Font font(&family, 16, Gdiplus::FontStyleRegular, Gdiplus::UnitPixel);
        CString cut = CGdiFunc::fitWithEllipsis(&graphics, &font, text, 120);
        EXPECT_LT(cut.GetLength(), text.GetLength());
        EXPECT_EQ(cut[cut.GetLength() - 1], L'\u2026');
        EXPECT_LE(CGdiFunc::measureText(&graphics, &font, cut).Width, 120);
        EXPECT_EQ(CGdiFunc::fitWithEllipsis(&graphics, &font, L"Fits", 120), CString(L"Fits"));
        // A right-to-left line keeps its ellipsis at the cut, its left end,
        // and still fits with the mark.
        const CString arabic = L"\u062A\u0639\u0630\u0651\u0631 \u062D\u0630\u0641 \u0628\u0639\u0636 "
                               L"\u0627\u0644\u0645\u0644\u0641\u0627\u062A \u0627\u0644\u062A\u064A";
        CString cutRtl = CGdiFunc::fitWithEllipsis(&graphics, &font, arabic, 80, true);
        EXPECT_LT(cutRtl.GetLength(), arabic.GetLength() + 2);
        EXPECT_EQ(cutRtl.Right(2), CString(L"\u2026\u200F"));
        EXPECT_LE(CGdiFunc::measureText(&graphics, &font, cutRtl).Width, 80);
        EXPECT_EQ(CGdiFunc::fitWithEllipsis(&graphics, &font, L"\u0644\u0627", 120, true), CString(L"\u0644\u0627"));
    }

    // a face that is not installed falls back to the shared "Arial" family
    Canvas fallback;
    SIZE arial = CGdiFunc::drawText(fallback.dc(), RECT{0, 0, 300, 30}, L"Fallback", L"No Such Face", 16, TRUE, 0, 0);
    EXPECT_GT(arial.cx, 0);
    EXPECT_GT(fallback.ink(0, 300), 0);

    struct Case {
        bool ex;
        int lineHeight, spacing;
        int used;
    } cases[] = {{false, 16, 0, 48}, {true, 16, 0, 32}, {false, 22, 2, 48}, {true, 20, 0, 48}};
    for (const auto& c : cases) {
        Canvas lines;
        int firstFree = -1000;
        // three lines in 120 pixels
        RECT box{0, 0, 120, 60};
        const CString three = L"first line\nsecond line\nthird";
        int used = c.ex ? CGdiFunc::drawTextLinesEx(lines.dc(), 14, three, L"No Such Face", 0, 0, FALSE, 0,
                                                    c.lineHeight, c.spacing, &firstFree, box) / 3 * 2
                        : CGdiFunc::drawTextLines(lines.dc(), 14, three, L"No Such Face", 0, 0, FALSE, 0,
                                                  c.lineHeight, c.spacing, &firstFree, box) / 3 * 2;
        EXPECT_EQ(used, c.used) << c.ex << " " << c.lineHeight;
        EXPECT_GT(firstFree, -1000);
        EXPECT_LT(firstFree, c.used / 2);
        EXPECT_GT(lines.ink(0, 120), 0);
    }
}

TEST(GdiFuncDrawTest, PngLoadingFailuresGiveNoBitmap) {
    EXPECT_EQ(CGdiFunc::loadPngResource(65000), nullptr);
    ULONG_PTR token = CGdiFunc::getGdiplusToken();
    CGdiFunc::setGdiplusToken(0);
    EXPECT_EQ(CGdiFunc::loadPngResource(345), nullptr);
    CGdiFunc::setGdiplusToken(token);
    HMODULE module = CGdiFunc::getResourceModule();
    CGdiFunc::setResourceModule(nullptr);
    EXPECT_EQ(CGdiFunc::loadPngResource(345), nullptr);
    CGdiFunc::setResourceModule(module);
}

}  // namespace
