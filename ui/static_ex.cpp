#include "ui/static_ex.h"

#include "foundation/registered_messages.h"
#include "ui/font_cache.h"
#include "ui/memory_canvas.h"
#include "ui/text_rules.h"

IMPLEMENT_DYNAMIC(CStaticEx, CStatic)

BEGIN_MESSAGE_MAP(CStaticEx, CStatic)
    ON_WM_CREATE()
    ON_WM_LBUTTONDBLCLK()
    ON_WM_ERASEBKGND()
    ON_REGISTERED_MESSAGE(RWM_CHANGE_LANGUAGE, &CStaticEx::OnChangeLanguage)
END_MESSAGE_MAP()

namespace {

// A font of the current face, with the family it was made from.
class FaceFont {
public:
    FaceFont(int size, BOOL bold) : m_family(CGdiFunc::familyOf(g_strFontFace)) {
        m_font = new Gdiplus::Font(m_family, static_cast<Gdiplus::REAL>(size),
                                   bold ? Gdiplus::FontStyleBold : Gdiplus::FontStyleRegular, Gdiplus::UnitPixel);
    }
    ~FaceFont() {
        delete m_font;
        if (!CGdiFunc::isSharedFamily(m_family)) delete m_family;
    }
    FaceFont(const FaceFont&) = delete;
    FaceFont& operator=(const FaceFont&) = delete;
    Gdiplus::Font* get() const { return m_font; }

private:
    Gdiplus::FontFamily* m_family;
    Gdiplus::Font* m_font = nullptr;
};

}  // namespace

CStaticEx::CStaticEx() = default;
CStaticEx::~CStaticEx() = default;

void CStaticEx::followLanguage() {
    BOOL leftToRight = !CGdiFunc::isArabic();
    if (leftToRight != m_bLeftToRight) {
        m_bLeftToRight = leftToRight;
        if (m_hWnd) Invalidate(TRUE);
    }
}

void CStaticEx::PreSubclassWindow() {
    LONG_PTR style = GetWindowLongPtrW(m_hWnd, GWL_STYLE);
    SetWindowLongPtrW(m_hWnd, GWL_STYLE, (style & ~static_cast<LONG_PTR>(SS_TYPEMASK)) | SS_OWNERDRAW);
    followLanguage();
    CStatic::PreSubclassWindow();
}

int CStaticEx::OnCreate(LPCREATESTRUCT create) {
    int result = CStatic::OnCreate(create);
    followLanguage();
    return result;
}

CSize CStaticEx::measureText(const CString& text) {
    if (text.IsEmpty()) return CSize(0, 0);
    CClientDC dc(this);
    CSize size(0, 0);
    {
        Gdiplus::Graphics graphics(dc);
        FaceFont font(m_nTextSize, m_bBold);
        Gdiplus::RectF bounds = CGdiFunc::measureText(&graphics, font.get(), text);
        size = CSize(static_cast<int>(bounds.Width) + 10, static_cast<int>(bounds.Height));
    }
    return size;
}

void CStaticEx::setFontStyle(int size, BOOL bold) {
    m_nTextSize = size;
    if (bold != m_bBold) {
        m_bBold = bold;
        ::InvalidateRect(m_hWnd, nullptr, TRUE);
    }
}

CSize CStaticEx::getTextSize() {
    CString text;
    GetWindowText(text);
    return measureText(text);
}

void CStaticEx::DrawItem(LPDRAWITEMSTRUCT item) {
    CString text;
    GetWindowText(text);
    RECT rect = item->rcItem;
    // An empty label still covers its box: nothing else paints there (the
    // parent clips its children), so what the screen showed before, say a
    // page hidden a moment ago, would stay visible through it.
    if (text.IsEmpty()) {
        ::SetBkColor(item->hDC, m_bgColor);
        ::ExtTextOutW(item->hDC, 0, 0, ETO_OPAQUE, &rect, nullptr, 0, nullptr);
        return;
    }
    int width = rect.right - rect.left;
    int height = rect.bottom - rect.top;
    CMemoryCanvas canvas(item->hDC, width, height);
    SetBkMode(canvas.dc(), TRANSPARENT);
    canvas.fill(m_bgColor);
    {
        Gdiplus::Graphics graphics(canvas.dc());
        graphics.SetTextRenderingHint(Gdiplus::TextRenderingHintAntiAlias);
        FaceFont font(m_nTextSize, m_bBold);
        Gdiplus::SolidBrush brush(CGdiFunc::toColor(m_textColor));
        Gdiplus::StringFormat format;
        text_rules::staticFormat(format, m_bSingleLine != FALSE, m_bLeftToRight != FALSE, m_bRightAlign != FALSE);
        format.SetAlignment(
            static_cast<Gdiplus::StringAlignment>(text_rules::staticHorizontalAlign(m_nStyle, m_bRightAlign)));
        format.SetLineAlignment(static_cast<Gdiplus::StringAlignment>(text_rules::staticVerticalAlign(m_nStyle)));
        RECT local{0, 0, width, height};
        if (m_bSingleLine) {
            Gdiplus::RectF box(0, 0, static_cast<Gdiplus::REAL>(width), static_cast<Gdiplus::REAL>(height));
            CString shown = CGdiFunc::fitWithEllipsis(&graphics, font.get(), text, box.Width, !m_bLeftToRight);
            graphics.DrawString(shown, shown.GetLength(), font.get(), box, &format, &brush);
        } else {
            auto measure = [&](const CString& candidate) {
                Gdiplus::RectF bounds = CGdiFunc::measureText(&graphics, font.get(), candidate);
                // DrawString adds a sixth of the size at each end: a line that
                // fits only without it loses its last glyph at the edge.
                const Gdiplus::REAL padding = static_cast<Gdiplus::REAL>(m_nTextSize) / 3;
                return SIZE{static_cast<LONG>(bounds.Width + padding), static_cast<LONG>(bounds.Height)};
            };
            text_rules::StaticLines lines =
                text_rules::staticLines(text, width, m_bAutoLineHeight != FALSE, m_nLineHeight, measure);
            m_nLastLineHeight = lines.lineHeight;
            // The lines are already broken to the width; GDI+ adds padding at
            // both ends and would wrap a full line again inside its box,
            // drawing the rest over the next line.
            format.SetFormatFlags(format.GetFormatFlags() | Gdiplus::StringFormatFlagsNoWrap);
            int count = static_cast<int>(lines.lines.size());
            int top = text_rules::staticFirstLineTop(m_nStyle, local, count, lines.lineHeight);
            for (int i = 0; i < count; ++i) {
                Gdiplus::RectF box(0, static_cast<Gdiplus::REAL>(top + i * lines.lineHeight),
                                   static_cast<Gdiplus::REAL>(width),
                                   static_cast<Gdiplus::REAL>(lines.lineHeight));
                graphics.DrawString(lines.lines[static_cast<size_t>(i)], lines.lines[static_cast<size_t>(i)].GetLength(),
                                    font.get(), box, &format, &brush);
            }
        }
    }
    canvas.copyTo(item->hDC, rect.left, rect.top);
}

void CStaticEx::OnLButtonDblClk(UINT flags, CPoint point) {
    if (m_bDoubleClick) CStatic::OnLButtonDblClk(flags, point);
}

BOOL CStaticEx::OnEraseBkgnd(CDC*) { return FALSE; }

LRESULT CStaticEx::OnChangeLanguage(WPARAM, LPARAM) {
    followLanguage();
    return 0;
}
