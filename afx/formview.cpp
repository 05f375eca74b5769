#include "afx/formview.h"

#include "afx/ctrl.h"
#include "afx/module.h"

IMPLEMENT_DYNAMIC(CFormView, CWnd)

BEGIN_MESSAGE_MAP(CFormView, CWnd)
    ON_WM_VSCROLL()
    ON_WM_HSCROLL()
    ON_WM_MOUSEWHEEL()
    ON_WM_SIZE()
END_MESSAGE_MAP()

const SIZE CFormView::sizeDefault = {0, 0};

namespace {
INT_PTR CALLBACK formDlgProc(HWND, UINT, WPARAM, LPARAM) {
    return FALSE;
}
}  // namespace

BOOL CFormView::Create(LPCWSTR, LPCWSTR, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID,
                       CCreateContext*) {
    LPCDLGTEMPLATEW tmpl = AfxLoadDialogTemplate(m_lpszTemplateName);
    if (!tmpl) return FALSE;
    AfxHookWindowCreate(this);
    HWND hWnd = ::CreateDialogIndirectParamW(AfxGetResourceHandle(), tmpl, pParentWnd->GetSafeHwnd(), &formDlgProc, 0);
    if (!AfxUnhookWindowCreate()) PostNcDestroy();
    if (!hWnd) return FALSE;
    // The template's style, without a frame; the requested size, id and
    // scroll bars (shown only while the content is larger).
    ModifyStyle(WS_BORDER | WS_CAPTION, dwStyle & (WS_BORDER | WS_VSCROLL | WS_HSCROLL));
    SetDlgCtrlID(static_cast<int>(nID));
    ::SetWindowPos(m_hWnd, nullptr, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                   SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    updateBars();
    if (dwStyle & WS_VISIBLE) ShowWindow(SW_NORMAL);
    return TRUE;
}

BOOL CFormView::PreTranslateMessage(MSG* pMsg) {
    bool key = pMsg->message >= WM_KEYFIRST && pMsg->message <= WM_KEYLAST;
    bool mouse = pMsg->message >= WM_MOUSEFIRST && pMsg->message <= WM_MOUSELAST && pMsg->message != WM_MOUSEWHEEL;
    return (key || mouse) && IsDialogMessage(pMsg);
}

void CFormView::SetScrollSizes(int, SIZE sizeTotal, const SIZE& sizePage, const SIZE& sizeLine) {
    m_totalLog = CSize(sizeTotal.cx < 0 ? 0 : sizeTotal.cx, sizeTotal.cy < 0 ? 0 : sizeTotal.cy);
    m_pageDev = sizePage;
    m_lineDev = sizeLine;
    if (m_pageDev.cx == 0) m_pageDev.cx = m_totalLog.cx / 10;
    if (m_pageDev.cy == 0) m_pageDev.cy = m_totalLog.cy / 10;
    if (m_lineDev.cx == 0) m_lineDev.cx = m_pageDev.cx / 10;
    if (m_lineDev.cy == 0) m_lineDev.cy = m_pageDev.cy / 10;
    if (m_lineDev.cx == 0) m_lineDev.cx = 1;
    if (m_lineDev.cy == 0) m_lineDev.cy = 1;
    updateBars();
}

int CFormView::scrollLimit(int bar) const {
    if (!m_hWnd) return 0;
    RECT client{};
    ::GetClientRect(m_hWnd, &client);
    const int limit = bar == SB_VERT ? m_totalLog.cy - client.bottom : m_totalLog.cx - client.right;
    return limit > 0 ? limit : 0;
}

void CFormView::updateBars() {
    // Showing or hiding a bar sends WM_SIZE back here.
    if (!m_hWnd || m_bUpdatingBars) return;
    m_bUpdatingBars = true;
    // Showing a bar narrows the client area, which may need the other bar:
    // settle in two rounds.
    for (int round = 0; round < 2; ++round) {
        RECT client{};
        ::GetClientRect(m_hWnd, &client);
        const bool needV = m_totalLog.cy > client.bottom;
        const bool needH = m_totalLog.cx > client.right;
        ::ShowScrollBar(m_hWnd, SB_VERT, needV && (GetStyle() & WS_VSCROLL) ? TRUE : FALSE);
        ::ShowScrollBar(m_hWnd, SB_HORZ, needH && (GetStyle() & WS_HSCROLL) ? TRUE : FALSE);
    }
    RECT client{};
    ::GetClientRect(m_hWnd, &client);
    const CSize clientSize(client.right, client.bottom);
    for (int bar : {SB_VERT, SB_HORZ}) {
        const int total = bar == SB_VERT ? m_totalLog.cy : m_totalLog.cx;
        const int page = bar == SB_VERT ? clientSize.cy : clientSize.cx;
        SCROLLINFO info{};
        info.cbSize = sizeof(info);
        info.fMask = SIF_RANGE | SIF_PAGE;
        info.nMin = 0;
        info.nMax = total > page ? total - 1 : 0;
        info.nPage = total > page ? static_cast<UINT>(page) : 0;
        ::SetScrollInfo(m_hWnd, bar, &info, TRUE);
    }
    m_bUpdatingBars = false;
    // Keep the position inside the new range.
    ScrollToPosition(m_ptScroll);
}

void CFormView::ScrollToPosition(POINT pt) {
    if (!m_hWnd) return;
    CPoint target(pt.x, pt.y);
    const int maxX = scrollLimit(SB_HORZ), maxY = scrollLimit(SB_VERT);
    if (target.x > maxX) target.x = maxX;
    if (target.y > maxY) target.y = maxY;
    if (target.x < 0) target.x = 0;
    if (target.y < 0) target.y = 0;
    const int dx = m_ptScroll.x - target.x, dy = m_ptScroll.y - target.y;
    m_ptScroll = target;
    SCROLLINFO info{};
    info.cbSize = sizeof(info);
    info.fMask = SIF_POS;
    info.nPos = target.y;
    ::SetScrollInfo(m_hWnd, SB_VERT, &info, TRUE);
    info.nPos = target.x;
    ::SetScrollInfo(m_hWnd, SB_HORZ, &info, TRUE);
    if (dx || dy) {
        ::ScrollWindowEx(m_hWnd, dx, dy, nullptr, nullptr, nullptr, nullptr,
                         SW_SCROLLCHILDREN | SW_INVALIDATE | SW_ERASE);
        ::UpdateWindow(m_hWnd);
    }
}

void CFormView::onScroll(int bar, UINT code) {
    const bool vertical = bar == SB_VERT;
    int pos = vertical ? m_ptScroll.y : m_ptScroll.x;
    const int line = vertical ? m_lineDev.cy : m_lineDev.cx;
    RECT client{};
    ::GetClientRect(m_hWnd, &client);
    const int page = vertical ? client.bottom : client.right;
    switch (code) {
        case SB_TOP: pos = 0; break;
        case SB_BOTTOM: pos = scrollLimit(bar); break;
        case SB_LINEUP: pos -= line; break;
        case SB_LINEDOWN: pos += line; break;
        case SB_PAGEUP: pos -= page; break;
        case SB_PAGEDOWN: pos += page; break;
        case SB_THUMBTRACK:
        case SB_THUMBPOSITION: {
            // The 32-bit track position: the message's own is 16 bits.
            SCROLLINFO info{};
            info.cbSize = sizeof(info);
            info.fMask = SIF_TRACKPOS;
            ::GetScrollInfo(m_hWnd, bar, &info);
            pos = info.nTrackPos;
            break;
        }
        default: return;
    }
    ScrollToPosition(vertical ? POINT{m_ptScroll.x, pos} : POINT{pos, m_ptScroll.y});
}

void CFormView::OnVScroll(UINT nSBCode, UINT, CScrollBar*) { onScroll(SB_VERT, nSBCode); }

void CFormView::OnHScroll(UINT nSBCode, UINT, CScrollBar*) { onScroll(SB_HORZ, nSBCode); }

BOOL CFormView::OnMouseWheel(UINT, short zDelta, CPoint) {
    if (scrollLimit(SB_VERT) == 0) return FALSE;
    UINT lines = 3;
    ::SystemParametersInfoW(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
    RECT client{};
    ::GetClientRect(m_hWnd, &client);
    const int step = lines == WHEEL_PAGESCROLL ? client.bottom : static_cast<int>(lines) * m_lineDev.cy;
    const int move = -zDelta * step / WHEEL_DELTA;
    ScrollToPosition(POINT{m_ptScroll.x, m_ptScroll.y + move});
    return TRUE;
}

void CFormView::OnSize(UINT, int, int) {
    Default();
    updateBars();
}
