#include "ui/png_with_text_button.h"

#include "foundation/globalfunc.h"
#include "ui/font_cache.h"
#include "ui/memory_canvas.h"
#include "ui/text_rules.h"
#include "ui/png_button_rules.h"

IMPLEMENT_DYNAMIC(CPngWithTextButton, CWnd)

BEGIN_MESSAGE_MAP(CPngWithTextButton, CWnd)
    ON_WM_PAINT()
    ON_WM_MOUSEMOVE()
    ON_MESSAGE(WM_MOUSEHOVER, &CPngWithTextButton::OnMouseHover)
    ON_MESSAGE(WM_MOUSELEAVE, &CPngWithTextButton::OnMouseLeave)
    ON_WM_LBUTTONDOWN()
    ON_WM_LBUTTONUP()
    ON_WM_SETCURSOR()
    ON_WM_SIZE()
    ON_WM_ERASEBKGND()
END_MESSAGE_MAP()

namespace {

const COLORREF TEXT_GREY = 0x7D6C5E;
const UINT ICON_CHECK = 325;
const UINT ICON_DOT = 344;
const int ICON_FRAMES = 7;

bool isLinkKind(int kind) { return kind >= 2 && kind <= 6; }

}  // namespace

CPngWithTextButton::CPngWithTextButton(const CString& caption, int kind) : m_nKind(kind), m_strCaption(caption) {}

CPngWithTextButton::~CPngWithTextButton() { delete m_pIcon; }

bool CPngWithTextButton::opensLink(int kind, const CString& address) {
    if (!isLinkKind(kind) || address.IsEmpty()) return false;
    if (address.GetLength() > 3) return true;
    for (int i = 0; i < address.GetLength(); ++i) {
        if (address[i] != L' ') return true;
    }
    return false;
}

void CPngWithTextButton::setText(const CString& text, int size, BOOL bold, int kind) {
    m_strCaption = text;
    m_nTextSize = size;
    m_bBold = bold;
    m_nKind = kind;
    delete m_pIcon;
    m_pIcon = nullptr;
    if (kind == 0) {
        m_pIcon = CGdiFunc::loadPngResource(ICON_CHECK);
    } else if (kind < 2 || kind > 7) {
        m_pIcon = CGdiFunc::loadPngResource(ICON_DOT);
    }
}

void CPngWithTextButton::setCaption(const CString& text) { m_strCaption = text; }

void CPngWithTextButton::setUrl(const CString& address) { m_strUrl = address; }

void CPngWithTextButton::setEnable(BOOL enable) {
    m_bEnabled = enable;
    Invalidate(FALSE);
    ::EnableWindow(m_hWnd, enable);
}

CSize CPngWithTextButton::getTextExtent() {
    CString text = m_strCaption;
    if (text.IsEmpty()) GetWindowText(text);
    if (text.IsEmpty()) return CSize(0, 0);
    CClientDC dc(this);
    SIZE extent{};
    GetTextExtentPoint32W(dc, text, text.GetLength(), &extent);
    return CSize(extent.cx, extent.cy);
}

BOOL CPngWithTextButton::PreTranslateMessage(MSG* msg) { return CWnd::PreTranslateMessage(msg); }

void CPngWithTextButton::drawIcon(HDC dc, RECT& textBox) {
    if (!m_pIcon || (m_nKind >= 2 && m_nKind <= 7)) return;
    int iconWidth = static_cast<int>(m_pIcon->GetWidth());
    int frame = static_cast<int>(m_pIcon->GetHeight()) / ICON_FRAMES;
    int index = png_button::iconIndex(m_bChecked != FALSE, m_bHover != FALSE, m_bPressed != FALSE,
                                      m_bEnabled != FALSE);
    int y = m_nIconY > 0 ? m_nIconY : (m_rcClient.Height() - frame) / 2;
    Gdiplus::Graphics graphics(dc);
    bool flip = m_nRightToLeft == 1;
    if (flip) m_pIcon->RotateFlip(Gdiplus::RotateNoneFlipX);
    CGdiFunc::drawImagePart(&graphics, m_hWnd, m_pIcon, Gdiplus::Rect(m_nIconX, y, iconWidth, frame), index * frame,
                            iconWidth, frame);
    if (flip) m_pIcon->RotateFlip(Gdiplus::RotateNoneFlipX);
    if (CGdiFunc::isArabic()) {
        textBox.right -= iconWidth + 6;
    } else {
        textBox.left += iconWidth + 6;
    }
}

void CPngWithTextButton::drawWithWindowFont(HDC dc, const RECT& box, COLORREF colour) {
    HGDIOBJ font = reinterpret_cast<HGDIOBJ>(::SendMessageW(m_hWnd, WM_GETFONT, 0, 0));
    HGDIOBJ previous = font ? SelectObject(dc, font) : nullptr;
    SetTextColor(dc, colour);
    RECT rect = box;
    int lines = png_button::captionLineCount(m_strCaption);
    SIZE extent{};
    GetTextExtentPoint32W(dc, m_strCaption, m_strCaption.GetLength(), &extent);
    rect.top += png_button::captionTopShift(rect.bottom - rect.top, lines, extent.cy);
    UINT format = DT_END_ELLIPSIS | DT_VCENTER | text_rules::lineDrawTextFlags(m_bRightAlign, CGdiFunc::isArabic());
    DrawTextW(dc, m_strCaption, m_strCaption.GetLength(), &rect, format);
    if (previous) SelectObject(dc, previous);
}

void CPngWithTextButton::drawTextPart(HDC dc, const RECT& box) {
    COLORREF link = m_bHover ? m_linkHoverColor : m_linkColor;
    // The line drawing sets the right-to-left flag in Arabic, which makes
    // this leading edge the right one.
    int align = text_rules::lineAlignment(m_bRightAlign, CGdiFunc::isArabic()).alignment;
    const CString& face = g_strFontFace;
    auto lines = [&](COLORREF colour, BOOL underline, int verticalAlign) {
        CGdiFunc::drawTextLines(dc, m_nTextSize, m_strCaption, face, align, colour, underline, verticalAlign, -1, 0,
                                nullptr, box);
    };
    auto single = [&](COLORREF colour) {
        CGdiFunc::drawText(dc, box, m_strCaption, face, m_nTextSize, m_bBold, colour, align);
    };
    bool small = m_nTextSize <= 15;
    switch (m_nKind) {
    case 0:
        m_textColor = TEXT_GREY;
        // One way of drawing for both states: the checked one once took the
        // bottom-aligned lines, which moved the caption down and cut descenders.
        if (small) {
            drawWithWindowFont(dc, box, m_textColor);
        } else {
            lines(m_textColor, FALSE, Gdiplus::StringAlignmentFar);
        }
        break;
    case 2:
        m_textColor = link;
        if (small) {
            drawWithWindowFont(dc, box, m_textColor);
        } else {
            lines(m_textColor, TRUE, Gdiplus::StringAlignmentNear);
        }
        break;
    case 3:
    case 7:
        m_textColor = link;
        single(m_textColor);
        break;
    case 4:
        m_textColor = RGB(255, 255, 255);
        single(m_textColor);
        break;
    case 5:
        m_textColor = TEXT_GREY;
        lines(m_textColor, TRUE, Gdiplus::StringAlignmentNear);
        break;
    case 6:
        m_textColor = TEXT_GREY;
        single(m_textColor);
        break;
    default:  // 1 and 8 or more
        m_textColor = TEXT_GREY;
        if (small) {
            drawWithWindowFont(dc, box, m_textColor);
        } else {
            lines(m_textColor, FALSE, Gdiplus::StringAlignmentNear);
        }
        break;
    }
}

void CPngWithTextButton::OnPaint() {
    PAINTSTRUCT paint{};
    HDC dc = ::BeginPaint(m_hWnd, &paint);
    RECT client{};
    ::GetClientRect(m_hWnd, &client);
    m_rcClient = client;
    {
        CMemoryCanvas canvas(dc, client.right, client.bottom);
        bool whiteOnly = m_nKind == 1 || m_nKind == 6 || m_nKind >= 8;
        canvas.fill(whiteOnly ? RGB(255, 255, 255) : m_bgColor);
        SetBkMode(canvas.dc(), TRANSPARENT);
        RECT textBox = client;
        drawIcon(canvas.dc(), textBox);
        drawTextPart(canvas.dc(), textBox);
        canvas.copyTo(dc);
    }
    ::EndPaint(m_hWnd, &paint);
}

void CPngWithTextButton::OnMouseMove(UINT flags, CPoint point) {
    if (!m_bHover) {
        TRACKMOUSEEVENT track{sizeof(track), TME_HOVER | TME_LEAVE, m_hWnd, 1};
        m_bHover = TrackMouseEvent(&track);
    }
    CWnd::OnMouseMove(flags, point);
}

LRESULT CPngWithTextButton::OnMouseHover(WPARAM, LPARAM) {
    m_bHover = TRUE;
    Invalidate(FALSE);
    return 0;
}

LRESULT CPngWithTextButton::OnMouseLeave(WPARAM, LPARAM) {
    m_bHover = FALSE;
    Invalidate(FALSE);
    return 0;
}

void CPngWithTextButton::OnLButtonDown(UINT flags, CPoint point) {
    m_bHover = FALSE;
    m_bPressed = TRUE;
    ::SetCapture(m_hWnd);
    Invalidate(FALSE);
    CWnd::OnLButtonDown(flags, point);
}

void CPngWithTextButton::OnLButtonUp(UINT flags, CPoint point) {
    RECT client{};
    ::GetClientRect(m_hWnd, &client);
    if (m_bPressed && PtInRect(&client, POINT{point.x, point.y})) {
        m_bChecked = !m_bChecked;
        if (opensLink(m_nKind, m_strUrl)) CGlobalFunc::openUrl(m_strUrl);
    }
    m_bPressed = FALSE;
    m_bHover = TRUE;
    Invalidate(FALSE);
    // The button's own handling lets the capture go before BN_CLICKED.
    CWnd::OnLButtonUp(flags, point);
    if (::GetCapture() == m_hWnd) ::ReleaseCapture();
}

BOOL CPngWithTextButton::OnSetCursor(CWnd* wnd, UINT hitTest, UINT message) {
    bool hand = (isLinkKind(m_nKind) && !m_strUrl.IsEmpty()) || m_nKind == 7;
    if (hand) {
        POINT cursor{};
        ::GetCursorPos(&cursor);
        ::ScreenToClient(m_hWnd, &cursor);
        RECT client{};
        ::GetClientRect(m_hWnd, &client);
        if (PtInRect(&client, cursor)) {
            ::SetCursor(::LoadCursorW(nullptr, IDC_HAND));
            ::InvalidateRect(m_hWnd, &client, FALSE);
            return TRUE;
        }
    }
    return CWnd::OnSetCursor(wnd, hitTest, message);
}

void CPngWithTextButton::OnSize(UINT type, int cx, int cy) {
    CWnd::OnSize(type, cx, cy);
    m_rcClient = CRect(0, 0, cx, cy);
    if (cx > m_nWidth) {
        m_nWidth = cx;
        Invalidate(FALSE);
    }
}

BOOL CPngWithTextButton::OnEraseBkgnd(CDC*) { return TRUE; }
