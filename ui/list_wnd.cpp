#include "ui/list_wnd.h"

#include "foundation/private_messages.h"
#include "ui/lang_library.h"
#include "ui/list_geometry.h"

IMPLEMENT_DYNAMIC(CListWnd, CWnd)

BEGIN_MESSAGE_MAP(CListWnd, CWnd)
    ON_WM_CREATE()
    ON_WM_PAINT()
    ON_WM_ERASEBKGND()
    ON_WM_SIZE()
    ON_WM_LBUTTONDOWN()
    ON_WM_LBUTTONUP()
    ON_WM_MOUSEMOVE()
    ON_MESSAGE(WM_MOUSELEAVE, &CListWnd::OnMouseLeave)
    ON_WM_MOUSEWHEEL()
    ON_WM_VSCROLL()
    ON_MESSAGE(WM_PRINTCLIENT, &CListWnd::OnPrintClient)
    ON_WM_NCCALCSIZE()
END_MESSAGE_MAP()

namespace {

const wchar_t MARK[] = L"{{{*}}}";
const UINT IMAGE_MARKER = 1689;
const UINT SCROLL_BAR_ID = 0xEA10;
const int TEXT_HEADING = 12166;

}  // namespace

CListWnd::CListWnd(CWnd* owner) : m_pOwner(owner) { InitializeCriticalSectionAndSpinCount(&m_lock, 0); }

CListWnd::~CListWnd() {
    if (m_hSnapshot) DeleteObject(m_hSnapshot);
    delete m_pBackground;
    delete m_pMarker;
    if (m_scrollBar.GetSafeHwnd()) m_scrollBar.DestroyWindow();
    DeleteCriticalSection(&m_lock);
}

BOOL CListWnd::Create(const RECT& rect, CWnd* parent, UINT id, DWORD style) {
    CString className = AfxRegisterWndClass(CS_DBLCLKS, ::LoadCursorW(nullptr, IDC_ARROW));
    return CWnd::Create(className, L"", style, rect, parent, id);
}

int CListWnd::pitch() const { return list_geometry::rowPitch(m_strStyle); }

RECT CListWnd::rowBox(int row) const {
    RECT box = list_geometry::rowRect(row, pitch(), m_nScrollPos, m_rcClient, m_nHOffset);
    // Without the scroll bar the rows take its strip too: left bare, the
    // strip would show the list's grey ground beside every row.
    if (!m_bScrollShown) {
        box.right += list_geometry::SCROLL_BAR_WIDTH;
        return box;
    }
    // With the scroll bar on the left the rows keep their width and leave
    // the bar's strip on that side, as they do on the right otherwise.
    if (!m_bLeftToRight) OffsetRect(&box, list_geometry::SCROLL_BAR_WIDTH, 0);
    return box;
}

int CListWnd::itemCount() const { return m_pItems ? static_cast<int>(m_pItems->GetCount()) : 0; }

CString CListWnd::itemAt(int index) const {
    if (!m_pItems || index < 0 || index >= itemCount()) return CString();
    POSITION at = m_pItems->FindIndex(index);
    return at ? m_pItems->GetAt(at) : CString();
}

bool CListWnd::isHeading(const CString& text) const { return text == CLangLibrary::loadLangString(TEXT_HEADING); }

BOOL CListWnd::getItemText(CString& text) {
    int length = text.GetLength();
    if (length <= 7 || CString(text.GetString() + length - 7) != MARK) return FALSE;
    text = CString(text.GetString(), length - 7);
    return TRUE;
}

void CListWnd::setListStyle(const CString& style) { m_strStyle = style; }

void CListWnd::setBarPosition(int position) {
    if (!m_scrollBar.GetSafeHwnd()) return;
    SCROLLINFO info{sizeof(info), SIF_POS, 0, 0, 0, position, 0};
    ::SendMessageW(m_scrollBar.GetSafeHwnd(), SBM_SETSCROLLINFO, TRUE, reinterpret_cast<LPARAM>(&info));
}

void CListWnd::recalcLayout() {
    RECT client{};
    ::GetClientRect(m_hWnd, &client);
    if (client.bottom - client.top < 1 || !m_pItems) return;
    list_geometry::Layout layout = list_geometry::layoutFor(client.bottom - client.top, pitch(), itemCount());
    SCROLLINFO info{sizeof(info), SIF_PAGE | SIF_RANGE | SIF_POS, layout.range.minimum, layout.range.maximum,
                    static_cast<UINT>(layout.range.page), 0, 0};
    if (layout.scrollBarShown) {
        int track = m_scrollBar.state().trackPosition;
        m_nScrollPos = track == -1 ? 0 : track;
        info.nPos = m_nScrollPos;
        ::SendMessageW(m_scrollBar.GetSafeHwnd(), SBM_SETSCROLLINFO, TRUE, reinterpret_cast<LPARAM>(&info));
        m_bScrollShown = TRUE;
        m_scrollBar.m_bNoThumb = FALSE;
        m_scrollBar.ShowWindow(SW_SHOW);
    } else {
        ::SendMessageW(m_scrollBar.GetSafeHwnd(), SBM_SETSCROLLINFO, TRUE, reinterpret_cast<LPARAM>(&info));
        m_nScrollPos = 0;
        m_bScrollShown = FALSE;
        m_scrollBar.m_bNoThumb = TRUE;
        m_scrollBar.ShowWindow(SW_HIDE);
    }
    ::GetClientRect(m_hWnd, &client);
    m_rcClient = client;
    ::InvalidateRect(m_hWnd, nullptr, FALSE);
}

void CListWnd::scrollToTop() {
    if (m_bSnapshot) return;
    m_nScrollPos = 0;
    recalcLayout();
}

void CListWnd::ensureVisible(int row) {
    if (row < 0 || row >= itemCount() || !m_bScrollShown) return;
    RECT client{};
    ::GetClientRect(m_hWnd, &client);
    m_nScrollPos = list_geometry::ensureVisiblePosition(row, pitch(), m_nScrollPos, client.bottom);
    setBarPosition(m_nScrollPos);
    ::InvalidateRect(m_hWnd, nullptr, FALSE);
}

BOOL CListWnd::selectItemByText(const CString& text) {
    m_strSelected = text;
    BOOL found = FALSE;
    if (!text.IsEmpty()) {
        int count = itemCount();
        int row = 0;
        for (; row < count; ++row) {
            CString item = itemAt(row);
            if (isHeading(item)) break;
            if (item == text || item + MARK == text) {
                found = TRUE;
                break;
            }
        }
        ensureVisible(found ? row : count);
    }
    ::InvalidateRect(m_hWnd, nullptr, FALSE);
    return found;
}

void CListWnd::moveSelection(UINT key) {
    int count = itemCount();
    if (count == 0) return;
    if (key == VK_DOWN) {
        ++m_nKeyboardRow;
        if (m_nKeyboardRow > count - 1) {
            m_nKeyboardRow = count - 1;
            m_strKeyboardText.Empty();
        }
        CString item = itemAt(m_nKeyboardRow);
        if (isHeading(item) || item == CLangLibrary::loadLangString(12167)) {
            m_nKeyboardRow = -1;
            return;
        }
        m_strSelected = item;
        if (item != m_strKeyboardText) {
            m_strKeyboardText = item;
            if (m_pOwner) ::SendMessageW(m_pOwner->GetSafeHwnd(), UM_LIST_SELECT, m_nListId, 0);
            if (m_nKeyboardRow > 1) ::SendMessageW(m_hWnd, WM_VSCROLL, SB_LINEDOWN, 0);
        }
    } else if (key == VK_UP) {
        int previous = m_nKeyboardRow;
        --m_nKeyboardRow;
        if (m_nKeyboardRow < 0) {
            m_nKeyboardRow = -1;
            m_strKeyboardText.Empty();
            ::InvalidateRect(m_hWnd, nullptr, FALSE);
            return;
        }
        CString item = itemAt(m_nKeyboardRow);
        m_strSelected = item;
        if (item != m_strKeyboardText) {
            m_strKeyboardText = item;
            if (m_pOwner) ::SendMessageW(m_pOwner->GetSafeHwnd(), UM_LIST_SELECT, m_nListId, 0);
            if (previous != count - 1) ::SendMessageW(m_hWnd, WM_VSCROLL, SB_LINEUP, 0);
        }
    }
    ::InvalidateRect(m_hWnd, nullptr, FALSE);
}

void CListWnd::setScrollBarRight(BOOL right) {
    if (right == m_bLeftToRight) return;
    m_bLeftToRight = right;
    RECT window{};
    ::GetClientRect(m_hWnd, &window);
    int x = right ? window.right - list_geometry::SCROLL_BAR_WIDTH : 0;
    ::SetWindowPos(m_scrollBar.GetSafeHwnd(), nullptr, x, 0, list_geometry::SCROLL_BAR_WIDTH, window.bottom,
                   SWP_NOZORDER | SWP_NOACTIVATE);
    ::InvalidateRect(m_scrollBar.GetSafeHwnd(), nullptr, TRUE);
    ::InvalidateRect(m_hWnd, nullptr, FALSE);
}

int CListWnd::OnCreate(LPCREATESTRUCT create) {
    if (CWnd::OnCreate(create) == -1) return -1;
    RECT bar{0, 0, list_geometry::SCROLL_BAR_WIDTH, create->cy};
    m_scrollBar.m_pOwner = this;
    m_scrollBar.Create(WS_CHILD | WS_VISIBLE | SBS_VERT, bar, this, SCROLL_BAR_ID);
    const Gdiplus::ARGB colours[8] = {0xFFFFFFFF, 0xFFFFFFFF, 0xFFDBDEE2, 0xFFDBDEE2,
                                      0xFFA4AAB1, 0xFF5D6369, 0xFF5D6369, 0xFFCFD4DA};
    for (int i = 0; i < 8; ++i) m_colors[i] = colours[i];
    m_pMarker = CGdiFunc::loadPngResource(IMAGE_MARKER);
    return 0;
}

BOOL CListWnd::OnEraseBkgnd(CDC*) { return TRUE; }

void CListWnd::OnSize(UINT type, int cx, int cy) {
    CWnd::OnSize(type, cx, cy);
    m_rcClient = CRect(0, 0, cx, cy);
    if (m_bSnapshot) return;
    int x = m_bLeftToRight ? cx - list_geometry::SCROLL_BAR_WIDTH : 0;
    ::SetWindowPos(m_scrollBar.GetSafeHwnd(), nullptr, x, 0, list_geometry::SCROLL_BAR_WIDTH, cy,
                   SWP_NOZORDER | SWP_NOACTIVATE);
    recalcLayout();
    m_nRowWidth = m_bScrollShown ? cx - list_geometry::SCROLL_BAR_WIDTH : cx;
}

void CListWnd::OnLButtonDown(UINT flags, CPoint point) {
    if (m_strStyle != L"SF") ::SetFocus(m_hWnd);
    CWnd::OnLButtonDown(flags, point);
}

void CListWnd::OnLButtonUp(UINT flags, CPoint point) {
    if (m_strStyle == L"SF") return;
    ::ReleaseCapture();
    int row = list_geometry::rowAt(point.y, m_nScrollPos, pitch(), itemCount());
    m_nKeyboardRow = row;
    if (row >= 0) {
        m_strSelected = itemAt(row);
        m_nClickedRow = row;
    }
    ::InvalidateRect(m_hWnd, nullptr, FALSE);
    if (row >= 0 && m_pOwner) ::SendMessageW(m_pOwner->GetSafeHwnd(), UM_LIST_SELECT, m_nListId, 0);
    CWnd::OnLButtonUp(flags, point);
}

void CListWnd::OnMouseMove(UINT flags, CPoint point) {
    if (m_strStyle == L"SF") return;
    int row = list_geometry::rowAt(point.y, m_nScrollPos, pitch(), itemCount());
    if (row < 0) {
        if (m_nHoverRow != -1) {
            m_nHoverRow = -1;
            ::InvalidateRect(m_hWnd, nullptr, FALSE);
        }
    } else if (row != m_nHoverRow) {
        RECT box = rowBox(row);
        if (PtInRect(&box, POINT{point.x, point.y})) {
            m_nHoverRow = row;
            ::InvalidateRect(m_hWnd, nullptr, FALSE);
        }
    }
    TRACKMOUSEEVENT track{sizeof(track), TME_LEAVE, m_hWnd, 0};
    TrackMouseEvent(&track);
    CWnd::OnMouseMove(flags, point);
}

LRESULT CListWnd::OnMouseLeave(WPARAM, LPARAM) {
    m_nHoverRow = -1;
    ::InvalidateRect(m_hWnd, nullptr, FALSE);
    return 0;
}

BOOL CListWnd::OnMouseWheel(UINT, short delta, CPoint) {
    ::PostMessageW(m_hWnd, WM_VSCROLL, delta < 0 ? SB_LINEDOWN : SB_LINEUP, 0);
    return TRUE;
}

void CListWnd::OnVScroll(UINT code, UINT position, CScrollBar*) {
    const list_geometry::ScrollState& bar = m_scrollBar.state();
    list_geometry::Range range{bar.minimum, bar.maximum, bar.page};
    switch (code) {
    case SB_LINEUP:
    case SB_LINEDOWN:
    case SB_PAGEUP:
    case SB_PAGEDOWN:
    case SB_TOP:
    case SB_BOTTOM: {
        int target = list_geometry::scrollTarget(static_cast<int>(code), bar.position, range);
        for (int step : list_geometry::scrollSteps(m_nScrollPos, target)) {
            // A short pause between the steps is the whole animation.
            Sleep(1);
            m_nScrollPos = step;
            ::RedrawWindow(m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
            setBarPosition(step);
        }
        break;
    }
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: {
        int track = bar.trackPosition != -1 ? bar.trackPosition : static_cast<int>(position);
        m_nScrollPos = std::min(track, std::max(bar.maximum - bar.page, 0));
        setBarPosition(m_nScrollPos);
        ::InvalidateRect(m_hWnd, nullptr, FALSE);
        break;
    }
    default:
        break;
    }
}

LRESULT CListWnd::OnPrintClient(WPARAM wParam, LPARAM) {
    if (!m_hSnapshot) return 0;
    HDC target = reinterpret_cast<HDC>(wParam);
    BITMAP info{};
    GetObjectW(m_hSnapshot, sizeof(info), &info);
    CDC source;
    source.CreateCompatibleDC(CDC::FromHandle(target));
    HGDIOBJ old = ::SelectObject(source, m_hSnapshot);
    ::BitBlt(target, 0, 0, info.bmWidth, info.bmHeight, source, 0, 0, SRCCOPY);
    ::SelectObject(source, old);
    return 0;
}

void CListWnd::OnNcCalcSize(BOOL calcValidRects, NCCALCSIZE_PARAMS* params) {
    if (m_bRemoveVScroll) ModifyStyle(WS_VSCROLL, 0);
    CWnd::OnNcCalcSize(calcValidRects, params);
}
