#include "ui/png_button.h"

#include "afx/paint_count.h"
#include "foundation/code_tables.h"
#include "foundation/registered_messages.h"
#include "ui/memory_canvas.h"
#include "ui/png_button_rules.h"

#include <algorithm>

IMPLEMENT_DYNAMIC(CPngButton, CButton)

BEGIN_MESSAGE_MAP(CPngButton, CButton)
    ON_WM_MOUSEMOVE()
    ON_MESSAGE(WM_MOUSEHOVER, &CPngButton::OnMouseHover)
    ON_MESSAGE(WM_MOUSELEAVE, &CPngButton::OnMouseLeave)
    ON_WM_LBUTTONDOWN()
    ON_WM_LBUTTONUP()
    ON_WM_LBUTTONDBLCLK()
    ON_WM_ENABLE()
    ON_WM_SIZE()
    ON_WM_SETCURSOR()
    ON_WM_ERASEBKGND()
    ON_REGISTERED_MESSAGE(RWM_CHANGE_LANGUAGE, &CPngButton::OnChangeLanguage)
END_MESSAGE_MAP()

namespace {

png_button::State stateOf(const CPngButton& b) {
    return png_button::State{b.m_bToggle != FALSE, b.m_bChecked != FALSE, b.m_bHover != FALSE,
                             b.m_bPressed != FALSE, b.m_bEnabled != FALSE};
}

}  // namespace

CPngButton::CPngButton() = default;

CPngButton::~CPngButton() {
    delete m_pImage;
    delete m_pIcon;
    releaseBackground();
}

BOOL CPngButton::setImage(UINT id, BOOL) {
    LONG_PTR style = GetWindowLongPtrW(m_hWnd, GWL_STYLE);
    SetWindowLongPtrW(m_hWnd, GWL_STYLE, (style & ~static_cast<LONG_PTR>(BS_TYPEMASK)) | BS_OWNERDRAW);
    delete m_pImage;
    m_pImage = CGdiFunc::loadPngResource(id);
    if (!m_pImage) return FALSE;
    CSize size = getSize();
    m_nFrameWidth = size.cx;
    m_nFrameHeight = size.cy;
    m_bToggle = m_nFrameCount > 6;
    m_bChecked = FALSE;
    ::SetWindowPos(m_hWnd, nullptr, 0, 0, m_nFrameWidth, m_nFrameHeight,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    return TRUE;
}

void CPngButton::setIconImage(UINT id) {
    delete m_pIcon;
    m_pIcon = CGdiFunc::loadPngResource(id);
    Invalidate(FALSE);
}

CSize CPngButton::getSize() {
    if (!m_pImage) return CSize(0, 0);
    int width = static_cast<int>(m_pImage->GetWidth());
    int frames = m_nFrameCount > 0 ? m_nFrameCount : 1;
    int height = static_cast<int>(m_pImage->GetHeight()) / frames;
    if (!m_strCaption.IsEmpty()) {
        CClientDC client(this);
        HDC dc = client.GetSafeHdc();
        HGDIOBJ font = reinterpret_cast<HGDIOBJ>(::SendMessageW(m_hWnd, WM_GETFONT, 0, 0));
        HGDIOBJ previous = font ? SelectObject(dc, font) : nullptr;
        SIZE extent{};
        GetTextExtentPoint32W(dc, m_strCaption, m_strCaption.GetLength(), &extent);
        if (previous) SelectObject(dc, previous);
        if (extent.cx + 15 > width) width = extent.cx + 15;
    }
    return CSize(width, height);
}

void CPngButton::updateSize() {
    CSize size = getSize();
    m_nFrameWidth = size.cx;
    m_nFrameHeight = size.cy;
}

void CPngButton::setTextColor(COLORREF colour) {
    for (COLORREF& c : m_colors) c = colour;
}

void CPngButton::setText(const CString& text, int points, int weight) {
    m_strCaption = text;
    setTextColor(RGB(255, 255, 255));
    m_nCaptionSize = points * 96 / 72;
    m_nCaptionWeight = weight;
}

BOOL CPngButton::setCheck(int checked) {
    m_bChecked = checked;
    return ::InvalidateRect(m_hWnd, nullptr, FALSE);
}

void CPngButton::setEnable(BOOL enable) {
    m_bEnabled = enable;
    if (!enable) m_bHover = m_bPressed = FALSE;
    Invalidate(FALSE);
    ::EnableWindow(m_hWnd, enable);
}

void CPngButton::moveTo(int x, int y) {
    ::SetWindowPos(m_hWnd, nullptr, x, y, m_nFrameWidth, m_nFrameHeight, SWP_NOZORDER | SWP_NOREDRAW);
}

BOOL CPngButton::PreTranslateMessage(MSG* msg) { return CButton::PreTranslateMessage(msg); }

void CPngButton::releaseBackground() {
    if (m_backgroundDC.GetSafeHdc() && m_hBackgroundOld) ::SelectObject(m_backgroundDC, m_hBackgroundOld);
    m_backgroundDC.DeleteDC();
    m_background.DeleteObject();
    m_hBackgroundOld = nullptr;
    m_backgroundArea = RECT{0, 0, 0, 0};
}

namespace {

// One rendering of a parent's client area per paint of it, shared by all
// the buttons on it: a page with n buttons is rendered once after it
// painted, not n times. It holds one DC and one bitmap for the process.
class ParentSnapshot {
public:
    // Copies area (the parent's client coordinates) into target at (0, 0);
    // renders the parent first when the copy is of another parent, an older
    // paint of it, or another size. False while a rendering is under way (a
    // parent whose paint leads back to a button) or when GDI refuses.
    bool copyTo(HWND parent, const RECT& area, HDC target) {
        if (m_bRendering) return false;
        RECT client{};
        ::GetClientRect(parent, &client);
        const UINT stamp = AfxGetPaintCount(parent);
        const bool current = m_dc && parent == m_hParent && stamp == m_nStamp && client.right == m_size.cx &&
                             client.bottom == m_size.cy && !::GetUpdateRect(parent, nullptr, FALSE);
        if (!current && !render(parent, stamp, client, target)) return false;
        ::BitBlt(target, 0, 0, area.right - area.left, area.bottom - area.top, m_dc, area.left, area.top, SRCCOPY);
        return true;
    }

private:
    bool render(HWND parent, UINT stamp, const RECT& client, HDC compatible) {
        if (client.right <= 0 || client.bottom <= 0) return false;
        if (!m_dc || client.right != m_size.cx || client.bottom != m_size.cy) {
            release();
            m_dc = ::CreateCompatibleDC(compatible);
            m_bitmap = m_dc ? ::CreateCompatibleBitmap(compatible, client.right, client.bottom) : nullptr;
            if (!m_bitmap) {
                release();
                return false;
            }
            m_hOld = ::SelectObject(m_dc, m_bitmap);
            m_size = SIZE{client.right, client.bottom};
        }
        m_hParent = nullptr;
        m_bRendering = true;
        const int saved = ::SaveDC(m_dc);
        // As the parent would paint itself: its background, then its client
        // area (our window layer hands WM_PRINTCLIENT to the parent's OnPaint).
        ::SendMessageW(parent, WM_ERASEBKGND, reinterpret_cast<WPARAM>(m_dc), 0);
        ::SendMessageW(parent, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(m_dc), PRF_CLIENT);
        ::RestoreDC(m_dc, saved);
        m_bRendering = false;
        m_hParent = parent;
        m_nStamp = stamp;
        return true;
    }

    void release() {
        if (m_dc && m_hOld) ::SelectObject(m_dc, m_hOld);
        if (m_bitmap) ::DeleteObject(m_bitmap);
        if (m_dc) ::DeleteDC(m_dc);
        m_dc = nullptr;
        m_bitmap = nullptr;
        m_hOld = nullptr;
        m_hParent = nullptr;
        m_size = SIZE{0, 0};
    }

    HDC m_dc = nullptr;
    HBITMAP m_bitmap = nullptr;
    HGDIOBJ m_hOld = nullptr;
    HWND m_hParent = nullptr;
    UINT m_nStamp = 0;
    SIZE m_size{0, 0};
    bool m_bRendering = false;
};

ParentSnapshot& parentSnapshot() {
    static ParentSnapshot* snapshot = new ParentSnapshot;  // the UI thread's, never torn down
    return *snapshot;
}

}  // namespace

void CPngButton::paintParentBackground(HDC target, int width, int height) {
    HWND parent = ::GetParent(m_hWnd);
    if (!parent) return;
    RECT area{};
    ::GetWindowRect(m_hWnd, &area);
    ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&area), 2);
    // Two points map a mirrored parent with swapped edges.
    const int left = std::min(area.left, area.right);
    area = RECT{left, area.top, left + width, area.top + height};
    const UINT paints = AfxGetPaintCount(parent);
    const bool kept = m_backgroundDC.GetSafeHdc() && ::EqualRect(&area, &m_backgroundArea) &&
                      paints == m_nBackgroundPaints && !::GetUpdateRect(parent, nullptr, FALSE);
    if (!kept) {
        releaseBackground();
        if (!m_backgroundDC.CreateCompatibleDC(CDC::FromHandle(target)) ||
            !m_background.CreateCompatibleBitmap(CDC::FromHandle(target), width, height)) {
            releaseBackground();
            return;
        }
        m_hBackgroundOld = ::SelectObject(m_backgroundDC, m_background.GetSafeHandle());
        if (!parentSnapshot().copyTo(parent, area, m_backgroundDC.GetSafeHdc())) {
            releaseBackground();
            return;
        }
        m_backgroundArea = area;
        m_nBackgroundPaints = paints;
    }
    ::BitBlt(target, 0, 0, width, height, m_backgroundDC, 0, 0, SRCCOPY);
}

void CPngButton::drawFace(HDC target, const RECT& client) {
    int clientWidth = client.right - client.left;
    int clientHeight = client.bottom - client.top;
    int index = png_button::frameIndex(stateOf(*this), m_nFrameCount);
    Gdiplus::Graphics graphics(target);
    // The strip is drawn whole, shifted to the frame: the frames below this
    // one stay out of a window taller than a frame.
    if (m_nFrameHeight > 0) graphics.SetClip(Gdiplus::Rect(0, 0, clientWidth, m_nFrameHeight));
    if (m_pImage) {
        int imageWidth = static_cast<int>(m_pImage->GetWidth());
        int imageHeight = static_cast<int>(m_pImage->GetHeight());
        int top = -index * m_nFrameHeight;
        if (clientWidth > imageWidth) {
            graphics.DrawImage(m_pImage, 0, top, imageWidth, imageHeight);
            graphics.DrawImage(m_pImage, client.right - imageWidth, top, imageWidth, imageHeight);
            int cap = png_button::stretchCap(imageWidth, m_nFrameWidth);
            Gdiplus::ImageAttributes tile;
            tile.SetWrapMode(Gdiplus::WrapModeTileFlipXY);
            graphics.DrawImage(m_pImage, Gdiplus::Rect(cap, top, clientWidth - 2 * cap, imageHeight),
                               imageWidth / 2 - 1, 0, 1, imageHeight, Gdiplus::UnitPixel, &tile);
        } else {
            graphics.DrawImage(m_pImage, 0, top, imageWidth, imageHeight);
        }
    }
    if (m_pIcon) {
        int frames = m_nFrameCount > 0 ? m_nFrameCount : 1;
        int iconWidth = static_cast<int>(m_pIcon->GetWidth());
        int iconFrame = static_cast<int>(m_pIcon->GetHeight()) / frames;
        int x = m_nIconX < 1 ? (clientWidth - iconWidth) / 2 : m_nIconX;
        int y = m_nIconY < 1 ? (clientHeight - iconFrame) / 2 : m_nIconY;
        graphics.DrawImage(m_pIcon, Gdiplus::Rect(x, y, iconWidth, iconFrame), 0, index * iconFrame, iconWidth,
                           iconFrame, Gdiplus::UnitPixel);
    }
}

void CPngButton::DrawItem(LPDRAWITEMSTRUCT item) {
    if (m_bHidden) return;
    HDC dc = item->hDC;
    RECT client{};
    ::GetClientRect(m_hWnd, &client);
    // The whole window, also where it is larger than one frame (a 20-pixel
    // box around an 18-pixel strip): what the frame leaves shows the parent.
    int width = client.right > 0 ? client.right : m_nFrameWidth;
    int height = client.bottom > 0 ? client.bottom : m_nFrameHeight;
    CMemoryCanvas canvas(dc, width, height);
    int oldMode = SetBkMode(dc, TRANSPARENT);
    if (m_nRightToLeft == 1) {
        // The canvas is copied mirrored: the background goes in mirrored,
        // so that it comes out as the parent shows it.
        CMemoryCanvas behind(dc, width, height);
        paintParentBackground(behind.dc(), width, height);
        ::StretchBlt(canvas.dc(), width - 1, 0, -width, height, behind.dc(), 0, 0, width, height, SRCCOPY);
    } else {
        paintParentBackground(canvas.dc(), width, height);
    }
    drawFace(canvas.dc(), client);

    DWORD oldLayout = GetLayout(dc);
    if (m_nRightToLeft == 1) SetLayout(dc, LAYOUT_RTL);
    canvas.copyTo(dc);

    SetTextColor(dc, m_colors[png_button::captionColour(stateOf(*this))]);
    CString caption = m_strCaption;
    if (caption.IsEmpty()) GetWindowText(caption);
    if (!m_bNoCaption && !caption.IsEmpty()) {
        RECT box = client;
        box.left += m_nLeftOffset;
        box.top += m_nTopOffset;
        box.right -= m_nRightInset;
        int lines = png_button::captionLineCount(caption);
        SIZE extent{};
        GetTextExtentPoint32W(dc, caption, caption.GetLength(), &extent);
        box.top += png_button::captionTopShift(box.bottom - box.top, lines, extent.cy);
        UINT format = DT_VCENTER;
        if (m_nLeftOffset < 1 || m_nCenter == 1) format |= DT_CENTER;
        DrawTextW(dc, caption, caption.GetLength(), &box, format);
    }
    SetLayout(dc, oldLayout);
    SetBkMode(dc, oldMode);
}

void CPngButton::OnMouseMove(UINT flags, CPoint point) {
    if (!m_bTracking) {
        TRACKMOUSEEVENT track{sizeof(track), TME_HOVER | TME_LEAVE, m_hWnd, 1};
        m_bTracking = TrackMouseEvent(&track);
    }
    CButton::OnMouseMove(flags, point);
}

LRESULT CPngButton::OnMouseHover(WPARAM, LPARAM) {
    m_bHover = TRUE;
    Invalidate(FALSE);
    return 0;
}

LRESULT CPngButton::OnMouseLeave(WPARAM, LPARAM) {
    m_bTracking = FALSE;
    m_bHover = FALSE;
    Invalidate(FALSE);
    return 0;
}

void CPngButton::OnLButtonDown(UINT flags, CPoint point) {
    m_bHover = FALSE;
    m_bPressed = TRUE;
    ::SetCapture(m_hWnd);
    Invalidate(FALSE);
    CButton::OnLButtonDown(flags, point);
}

void CPngButton::OnLButtonUp(UINT flags, CPoint point) {
    RECT client{};
    ::GetClientRect(m_hWnd, &client);
    if (m_bToggle && m_bPressed && PtInRect(&client, POINT{point.x, point.y})) m_bChecked = !m_bChecked;
    m_bPressed = FALSE;
    m_bHover = TRUE;
    Invalidate(FALSE);
    // The button's own handling lets the capture go before it sends
    // BN_CLICKED; a handler may hide the page or open a modal box.
    CButton::OnLButtonUp(flags, point);
    if (::GetCapture() == m_hWnd) ::ReleaseCapture();
}

void CPngButton::OnLButtonDblClk(UINT flags, CPoint point) {
    if (!m_bToggle) m_bChecked = !m_bChecked;
    CButton::OnLButtonDblClk(flags, point);
}

void CPngButton::OnEnable(BOOL enable) {
    CButton::OnEnable(enable);
    m_bEnabled = enable;
    if (!enable) m_bHover = m_bPressed = FALSE;
}

void CPngButton::OnSize(UINT type, int cx, int cy) {
    CButton::OnSize(type, cx, cy);
    if (cx > m_nFrameWidth) {
        m_nFrameWidth = cx;
        Invalidate(FALSE);
    }
}

BOOL CPngButton::OnSetCursor(CWnd* wnd, UINT hitTest, UINT message) {
    if (wnd && wnd->m_hWnd == m_hWnd) {
        ::SetCursor(::LoadCursorW(nullptr, IDC_HAND));
        return TRUE;
    }
    return CButton::OnSetCursor(wnd, hitTest, message);
}

BOOL CPngButton::OnEraseBkgnd(CDC*) { return TRUE; }

LRESULT CPngButton::OnChangeLanguage(WPARAM, LPARAM) {
    if (m_nRightToLeft == 0 || m_nRightToLeft == 1) {
        int wanted = CGdiFunc::isArabic() ? 1 : 0;
        if (wanted != m_nRightToLeft) {
            m_nRightToLeft = wanted;
            Invalidate(FALSE);
        }
    }
    return 0;
}
