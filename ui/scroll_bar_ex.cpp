#include "ui/scroll_bar_ex.h"

#include "ui/memory_canvas.h"

IMPLEMENT_DYNAMIC(CScrollBarEx, CScrollBar)

BEGIN_MESSAGE_MAP(CScrollBarEx, CScrollBar)
    ON_WM_CREATE()
    ON_WM_PAINT()
    ON_WM_SIZE()
    ON_WM_ERASEBKGND()
    ON_WM_LBUTTONDOWN()
    ON_WM_LBUTTONDBLCLK()
    ON_WM_LBUTTONUP()
    ON_WM_MOUSEMOVE()
    ON_MESSAGE(WM_MOUSELEAVE, &CScrollBarEx::OnMouseLeave)
    ON_WM_TIMER()
END_MESSAGE_MAP()

namespace {

const UINT IMAGE_TRACK = 345;
const UINT IMAGE_DOWN = 346;
const UINT IMAGE_THUMB = 347;
const UINT IMAGE_UP = 348;
const UINT_PTR TIMER_FIRST = 200;
const UINT_PTR TIMER_REPEAT = 100;

}  // namespace

CScrollBarEx::CScrollBarEx() = default;

CScrollBarEx::~CScrollBarEx() {
    delete m_pUp;
    delete m_pDown;
    delete m_pThumb;
    delete m_pTrack;
}

list_geometry::BarParts CScrollBarEx::parts() const {
    return m_bVertical ? list_geometry::barParts(m_nHeight, m_nWidth, m_info)
                       : list_geometry::barParts(m_nWidth, m_nHeight, m_info);
}

LRESULT CScrollBarEx::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == SBM_SETSCROLLINFO) {
        auto* info = reinterpret_cast<SCROLLINFO*>(lParam);
        if (info) {
            if (info->fMask & SIF_PAGE) m_info.page = static_cast<int>(info->nPage);
            if (info->fMask & SIF_POS) m_info.position = info->nPos;
            if (info->fMask & SIF_RANGE) {
                m_info.minimum = info->nMin;
                m_info.maximum = info->nMax;
            }
        }
        if (wParam) ::InvalidateRect(m_hWnd, nullptr, FALSE);
        return 1;
    }
    if (message == SBM_GETSCROLLINFO) {
        auto* info = reinterpret_cast<SCROLLINFO*>(lParam);
        if (info) {
            info->nPage = static_cast<UINT>(m_info.page);
            info->nPos = m_info.position;
            info->nTrackPos = m_info.trackPosition;
            info->nMin = m_info.minimum;
            info->nMax = m_info.maximum;
        }
        return 1;
    }
    return CScrollBar::WindowProc(message, wParam, lParam);
}

int CScrollBarEx::OnCreate(LPCREATESTRUCT create) {
    int result = CScrollBar::OnCreate(create);
    m_bVertical = (create->style & SBS_VERT) != 0;
    m_pUp = CGdiFunc::loadPngResource(IMAGE_UP);
    m_pDown = CGdiFunc::loadPngResource(IMAGE_DOWN);
    m_pThumb = CGdiFunc::loadPngResource(IMAGE_THUMB);
    m_pTrack = CGdiFunc::loadPngResource(IMAGE_TRACK);
    return result;
}

void CScrollBarEx::OnSize(UINT type, int cx, int cy) {
    CScrollBar::OnSize(type, cx, cy);
    m_nWidth = cx;
    m_nHeight = cy;
}

BOOL CScrollBarEx::OnEraseBkgnd(CDC*) { return TRUE; }

void CScrollBarEx::OnPaint() {
    PAINTSTRUCT paint{};
    HDC dc = ::BeginPaint(m_hWnd, &paint);
    RECT client{};
    ::GetClientRect(m_hWnd, &client);
    {
        CMemoryCanvas canvas(dc, client.right, client.bottom);
        Gdiplus::Graphics graphics(canvas.dc());
        if (m_pTrack) graphics.DrawImage(m_pTrack, 0, 0, client.right, client.bottom);
        list_geometry::BarParts p = parts();
        if (m_pUp) {
            graphics.DrawImage(m_pUp, 0, 0, static_cast<INT>(m_pUp->GetWidth()), static_cast<INT>(m_pUp->GetHeight()));
        }
        if (m_pDown) {
            int height = static_cast<int>(m_pDown->GetHeight());
            graphics.DrawImage(m_pDown, 0, p.length - p.arrowLength, static_cast<INT>(m_pDown->GetWidth()), height);
        }
        if (!m_bNoThumb && m_pThumb && p.thumbLength > 0) {
            int width = static_cast<int>(m_pThumb->GetWidth());
            using Gdiplus::Rect;
            Gdiplus::ImageAttributes tile;
            tile.SetWrapMode(Gdiplus::WrapModeTileFlipXY);
            graphics.DrawImage(m_pThumb, Rect(2, p.thumbTop, width, 2), 0, 0, width, 2, Gdiplus::UnitPixel);
            if (p.thumbLength > 4) {
                graphics.DrawImage(m_pThumb, Rect(2, p.thumbTop + 2, width, p.thumbLength - 4), 0, 2, width, 2,
                                   Gdiplus::UnitPixel, &tile);
            }
            graphics.DrawImage(m_pThumb, Rect(2, p.thumbTop + p.thumbLength - 2, width, 2), 0, 4, width, 2,
                               Gdiplus::UnitPixel);
        }
        canvas.copyTo(dc);
    }
    ::EndPaint(m_hWnd, &paint);
}

bool CScrollBarEx::insidePart(int part, CPoint point) const {
    return list_geometry::hitTest(along(point), parts()) == part;
}

void CScrollBarEx::notify(int code, int position, bool withHandle) {
    HWND owner = m_pOwner ? m_pOwner->GetSafeHwnd() : ::GetParent(m_hWnd);
    if (!owner) return;
    ::SendMessageW(owner, m_bVertical ? WM_VSCROLL : WM_HSCROLL, MAKEWPARAM(code, position),
                   withHandle ? reinterpret_cast<LPARAM>(m_hWnd) : 0);
}

void CScrollBarEx::stopRepeat() {
    ::KillTimer(m_hWnd, TIMER_FIRST);
    ::KillTimer(m_hWnd, TIMER_REPEAT);
    m_bAutoRepeat = FALSE;
}

void CScrollBarEx::OnLButtonDown(UINT, CPoint point) {
    ::SetCapture(m_hWnd);
    int part = list_geometry::hitTest(along(point), parts());
    if (part == list_geometry::PART_THUMB) {
        m_bDragging = TRUE;
        m_nDragX = point.x;
        m_nDragY = point.y;
        m_nDragPos = m_info.position;
        m_info.trackPosition = m_info.position;
        return;
    }
    m_nPressedPart = part;
    notify(part, 0, false);
    ::SetTimer(m_hWnd, TIMER_FIRST, 500, nullptr);
    m_bOutside = FALSE;
    ::InvalidateRect(m_hWnd, nullptr, FALSE);
}

void CScrollBarEx::OnLButtonDblClk(UINT flags, CPoint point) { OnLButtonDown(flags, point); }

void CScrollBarEx::OnTimer(UINT_PTR id) {
    if (id != TIMER_FIRST && id != TIMER_REPEAT) {
        CScrollBar::OnTimer(id);
        return;
    }
    if (id == TIMER_FIRST) {
        ::KillTimer(m_hWnd, TIMER_FIRST);
        ::SetTimer(m_hWnd, TIMER_REPEAT, 100, nullptr);
        m_bAutoRepeat = TRUE;
    }
    if (m_bOutside) return;
    switch (m_nPressedPart) {
    case list_geometry::PART_UP:
        if (m_info.position <= m_info.minimum) {
            stopRepeat();
        } else {
            notify(SB_LINEUP, 0, true);
        }
        break;
    case list_geometry::PART_DOWN:
        if (m_info.position < m_info.maximum - m_info.page - m_info.minimum + 1) {
            notify(SB_LINEDOWN, 0, true);
        } else {
            stopRepeat();
        }
        break;
    case list_geometry::PART_PAGE_UP:
    case list_geometry::PART_PAGE_DOWN: {
        POINT cursor{};
        ::GetCursorPos(&cursor);
        ::ScreenToClient(m_hWnd, &cursor);
        if (insidePart(list_geometry::PART_THUMB, CPoint(cursor.x, cursor.y))) {
            stopRepeat();
        } else {
            notify(m_nPressedPart == list_geometry::PART_PAGE_UP ? SB_PAGEUP : SB_PAGEDOWN, 0, true);
        }
        break;
    }
    default:
        stopRepeat();
    }
}

void CScrollBarEx::OnMouseMove(UINT flags, CPoint point) {
    if (!m_bTracking) {
        TRACKMOUSEEVENT track{sizeof(track), TME_LEAVE, m_hWnd, 0};
        m_bTracking = TrackMouseEvent(&track);
    }
    if (m_bDragging) {
        int delta = m_bVertical ? point.y - m_nDragY : point.x - m_nDragX;
        int position = list_geometry::dragPosition(m_nDragPos, delta, parts(), m_info);
        if (position != m_info.trackPosition) {
            m_info.trackPosition = position;
            ::InvalidateRect(m_hWnd, nullptr, FALSE);
            ::UpdateWindow(m_hWnd);
            notify(SB_THUMBTRACK, position, true);
        }
        return;
    }
    if (m_nPressedPart < 0) {
        int part = list_geometry::hitTest(along(point), parts());
        if (part != m_nHoverPart) {
            m_nHoverPart = part;
            ::InvalidateRect(m_hWnd, nullptr, FALSE);
        }
    } else {
        m_bOutside = !insidePart(m_nPressedPart, point);
    }
    CScrollBar::OnMouseMove(flags, point);
}

LRESULT CScrollBarEx::OnMouseLeave(WPARAM, LPARAM) {
    m_bTracking = FALSE;
    m_nHoverPart = -1;
    return 0;
}

void CScrollBarEx::OnLButtonUp(UINT, CPoint) {
    if (::GetCapture() == m_hWnd) ::ReleaseCapture();
    if (m_bDragging) {
        m_bDragging = FALSE;
        notify(SB_THUMBPOSITION, m_info.trackPosition, true);
        m_info.trackPosition = -1;
    } else {
        stopRepeat();
        m_nPressedPart = -1;
    }
    ::InvalidateRect(m_hWnd, nullptr, FALSE);
}
