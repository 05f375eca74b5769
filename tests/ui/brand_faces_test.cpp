// Sample texts in every face the program draws with, in English, Korean and
// Arabic, drawn with the font cache's GDI fonts (the controls' path) and
// with GDI+ (the drawing functions' path), photographed for review.
#include "tests/support/capture.h"
#include "tests/ui/ui_fixtures.h"
#include "ui/font_cache.h"

#include <gdiplus.h>
#include <gtest/gtest.h>

namespace {

const wchar_t* const kFaces[] = {L"KestruneTessaly Regular", L"KestruneLuvo Regular", L"KestruneDravane Regular",
                                 L"DejaVu Sans", L"Tahoma"};
const wchar_t* const kSamples[] = {L"Update your navigation 0123", L"내비게이션을 업데이트하세요",
                                   L"تحديث نظام الملاحة"};
constexpr COLORREF kInk = RGB(0x20, 0x20, 0x60);
constexpr int kRow = 34, kTop = 10, kLabel = 180, kColumn = 340, kLastExtra = 60;

// A label font of the test's own.
class PixelFont {
public:
    PixelFont(const wchar_t* face, int pixels, int weight) {
        LOGFONTW lf{};
        lf.lfHeight = -pixels;
        lf.lfWeight = weight;
        wcsncpy_s(lf.lfFaceName, face, _TRUNCATE);
        m_font = CreateFontIndirectW(&lf);
    }
    ~PixelFont() { DeleteObject(m_font); }
    HFONT get() const { return m_font; }

private:
    HFONT m_font;
};

// Row r, column c (0 GDI regular, 1 GDI bold, 2 GDI+), sample s.
RECT cell(int face, int sample, int column) {
    int top = kTop + (face * 3 + sample) * kRow;
    int left = kLabel + column * kColumn;
    return RECT{left, top, left + kColumn - 10 + (column == 2 ? kLastExtra : 0), top + kRow};
}

void paint(HWND hwnd, HDC dc) {
    RECT client{};
    GetClientRect(hwnd, &client);
    FillRect(dc, &client, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, kInk);
    Gdiplus::Graphics graphics(dc);
    graphics.SetTextRenderingHint(Gdiplus::TextRenderingHintAntiAliasGridFit);
    Gdiplus::SolidBrush ink(Gdiplus::Color(255, GetRValue(kInk), GetGValue(kInk), GetBValue(kInk)));
    for (int f = 0; f < static_cast<int>(std::size(kFaces)); ++f) {
        CString face = kFaces[f];
        RECT label{8, kTop + f * 3 * kRow, kLabel - 8, kTop + (f * 3 + 1) * kRow};
        PixelFont small(L"Tahoma", 13, FW_NORMAL);
        SelectObject(dc, small.get());
        DrawTextW(dc, face.GetString(), -1, &label, DT_SINGLELINE | DT_VCENTER);
        SelectObject(dc, GetStockObject(SYSTEM_FONT));
        Gdiplus::FontFamily family(face.GetString());
        Gdiplus::Font font(&family, 20, Gdiplus::FontStyleRegular, Gdiplus::UnitPixel);
        for (int s = 0; s < static_cast<int>(std::size(kSamples)); ++s) {
            bool rtl = s == 2;
            UINT align = DT_SINGLELINE | DT_VCENTER | (rtl ? DT_RIGHT | DT_RTLREADING : DT_LEFT);
            g_strFontFace = face;
            for (int weight = 0; weight < 2; ++weight) {
                CFont* cached = weight ? CFontCache::getBoldFont(20) : CFontCache::getFont(20);
                if (!cached) continue;
                HGDIOBJ old = SelectObject(dc, cached->m_hObject);
                RECT r = cell(f, s, weight);
                DrawTextW(dc, kSamples[s], -1, &r, align);
                SelectObject(dc, old);
            }
            RECT r = cell(f, s, 2);
            Gdiplus::StringFormat format;
            format.SetLineAlignment(Gdiplus::StringAlignmentCenter);
            format.SetFormatFlags(Gdiplus::StringFormatFlagsNoWrap);
            if (rtl) {
                format.SetFormatFlags(Gdiplus::StringFormatFlagsNoWrap | Gdiplus::StringFormatFlagsDirectionRightToLeft);
                format.SetAlignment(Gdiplus::StringAlignmentNear);
            }
            Gdiplus::RectF box(static_cast<float>(r.left), static_cast<float>(r.top),
                               static_cast<float>(r.right - r.left), static_cast<float>(r.bottom - r.top));
            graphics.DrawString(kSamples[s], -1, &font, box, &format, &ink);
        }
    }
    SelectObject(dc, GetStockObject(SYSTEM_FONT));
}

LRESULT CALLBACK sampleProc(HWND hwnd, UINT message, WPARAM wp, LPARAM lp) {
    if (message == WM_PAINT) {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd, &ps);
        paint(hwnd, dc);
        EndPaint(hwnd, &ps);
        return 0;
    }
    if (message == WM_ERASEBKGND) return 1;
    return DefWindowProcW(hwnd, message, wp, lp);
}

class GdiplusSession {
public:
    GdiplusSession() {
        Gdiplus::GdiplusStartupInput input;
        Gdiplus::GdiplusStartup(&m_token, &input, nullptr);
    }
    ~GdiplusSession() { Gdiplus::GdiplusShutdown(m_token); }

private:
    ULONG_PTR m_token = 0;
};

}  // namespace

TEST(BrandFaces, SampleTextsInEveryFaceAndScript) {
    GdiplusSession gdiplus;
    WNDCLASSW wc{};
    wc.lpfnWndProc = sampleProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"KestruneFaceSamples";
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    RegisterClassW(&wc);
    const int height = kTop * 2 + static_cast<int>(std::size(kFaces)) * 3 * kRow;
    HWND window = CreateWindowExW(0, wc.lpszClassName, L"Faces", WS_POPUP | WS_VISIBLE, 0, 0,
                                  kLabel + 3 * kColumn + kLastExtra, height, nullptr, nullptr, wc.hInstance, nullptr);
    ASSERT_NE(window, nullptr);
    pumpMessages(100);
    WindowShot shot = saveScreenshot(
        window, L"brand_faces",
        L"five faces (KestruneTessaly, KestruneLuvo, KestruneDravane Regular, DejaVu Sans, Tahoma), each with an "
        L"English, a Korean and a right-aligned Arabic line; columns: GDI regular, GDI bold (visibly heavier), "
        L"GDI+; every glyph drawn, no boxes");
    ASSERT_GT(shot.width(), 0);
    for (int f = 0; f < static_cast<int>(std::size(kFaces)); ++f) {
        for (int s = 0; s < static_cast<int>(std::size(kSamples)); ++s) {
            for (int column = 0; column < 3; ++column) {
                // Text was drawn into every cell (anti-aliasing leaves some pixels in the exact ink).
                RECT r = cell(f, s, column);
                int darkish = 0;
                for (int y = r.top; y < r.bottom; ++y)
                    for (int x = r.left; x < r.right; ++x)
                        if (GetRValue(shot.at(x, y)) < 0x90) ++darkish;
                EXPECT_GT(darkish, 40) << "face " << f << " sample " << s << " column " << column;
            }
        }
    }
    DestroyWindow(window);
    g_strFontFace = CFontCache::kFaceTessaly;
    CFontCache::clear();
}
