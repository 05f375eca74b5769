// The attribute and helper wrappers of CWnd.
#include "afx/wnd.h"

#include "afx/app.h"
#include "afx/thread_state.h"

#include <vector>

BOOL CWnd::ModifyStyle(DWORD dwRemove, DWORD dwAdd, UINT nFlags) {
    DWORD style = GetStyle();
    DWORD newStyle = (style & ~dwRemove) | dwAdd;
    if (style == newStyle) return FALSE;
    ::SetWindowLongPtrW(m_hWnd, GWL_STYLE, static_cast<LONG_PTR>(newStyle));
    if (nFlags) ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | nFlags);
    return TRUE;
}

BOOL CWnd::ModifyStyleEx(DWORD dwRemove, DWORD dwAdd, UINT nFlags) {
    DWORD style = GetExStyle();
    DWORD newStyle = (style & ~dwRemove) | dwAdd;
    if (style == newStyle) return FALSE;
    ::SetWindowLongPtrW(m_hWnd, GWL_EXSTYLE, static_cast<LONG_PTR>(newStyle));
    if (nFlags) ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | nFlags);
    return TRUE;
}

void CWnd::GetWindowText(CString& rString) const {
    int n = ::GetWindowTextLengthW(m_hWnd);
    wchar_t* buf = rString.GetBufferSetLength(n);
    ::GetWindowTextW(m_hWnd, buf, n + 1);
    rString.ReleaseBuffer();
}

int CWnd::GetDlgItemText(int nID, CString& rString) const {
    rString.Empty();
    if (HWND h = ::GetDlgItem(m_hWnd, nID)) FromHandle(h)->GetWindowText(rString);
    return rString.GetLength();
}

void CWnd::SetFont(CFont* pFont, BOOL bRedraw) {
    ::SendMessageW(m_hWnd, WM_SETFONT, reinterpret_cast<WPARAM>(CGdiObject::handleOf(pFont)), bRedraw);
}

CFont* CWnd::GetFont() const {
    return CFont::FromHandle(reinterpret_cast<HFONT>(::SendMessageW(m_hWnd, WM_GETFONT, 0, 0)));
}

void CWnd::SetIcon(HICON hIcon, BOOL bBigIcon) {
    ::SendMessageW(m_hWnd, WM_SETICON, bBigIcon ? ICON_BIG : ICON_SMALL, reinterpret_cast<LPARAM>(hIcon));
}

CWnd* CWnd::GetTopLevelParent() const {
    HWND h = m_hWnd;
    for (;;) {
        HWND next = (::GetWindowLongPtrW(h, GWL_STYLE) & WS_CHILD) ? ::GetParent(h) : ::GetWindow(h, GW_OWNER);
        if (!next) break;
        h = next;
    }
    return FromHandle(h);
}

BOOL CWnd::SetWindowPos(const CWnd* pWndInsertAfter, int x, int y, int cx, int cy, UINT nFlags) {
    return ::SetWindowPos(m_hWnd, pWndInsertAfter->GetSafeHwnd(), x, y, cx, cy, nFlags);
}

BOOL CWnd::RedrawWindow(LPCRECT lpRectUpdate, CRgn* prgnUpdate, UINT flags) {
    return ::RedrawWindow(m_hWnd, lpRectUpdate, static_cast<HRGN>(CGdiObject::handleOf(prgnUpdate)), flags);
}

void CWnd::CenterWindow(CWnd* pAlternateOwner) {
    DWORD style = GetStyle();
    HWND hWndCenter = pAlternateOwner->GetSafeHwnd();
    if (!pAlternateOwner) hWndCenter = (style & WS_CHILD) ? ::GetParent(m_hWnd) : ::GetWindow(m_hWnd, GW_OWNER);
    CRect rcDlg;
    GetWindowRect(&rcDlg);
    CRect rcArea, rcCenter;
    if (!(style & WS_CHILD)) {
        // An invisible or minimised owner is no reference: centre on the screen.
        if (hWndCenter) {
            DWORD centerStyle = static_cast<DWORD>(::GetWindowLongPtrW(hWndCenter, GWL_STYLE));
            if (!(centerStyle & WS_VISIBLE) || (centerStyle & WS_MINIMIZE)) hWndCenter = nullptr;
        }
        MONITORINFO mi{};
        mi.cbSize = sizeof(mi);
        if (!hWndCenter) {
            ::GetMonitorInfoW(::MonitorFromWindow(m_hWnd, MONITOR_DEFAULTTOPRIMARY), &mi);
            rcCenter = mi.rcWork;
            rcArea = mi.rcWork;
        } else {
            ::GetWindowRect(hWndCenter, &rcCenter);
            ::GetMonitorInfoW(::MonitorFromWindow(hWndCenter, MONITOR_DEFAULTTONEAREST), &mi);
            rcArea = mi.rcWork;
        }
    } else {
        HWND hWndParent = ::GetParent(m_hWnd);
        ::GetClientRect(hWndParent, &rcArea);
        ::GetClientRect(hWndCenter, &rcCenter);
        ::MapWindowPoints(hWndCenter, hWndParent, reinterpret_cast<POINT*>(&rcCenter), 2);
        ::MapWindowPoints(nullptr, hWndParent, reinterpret_cast<POINT*>(&rcDlg), 2);
    }
    int x = (rcCenter.left + rcCenter.right) / 2 - rcDlg.Width() / 2;
    int y = (rcCenter.top + rcCenter.bottom) / 2 - rcDlg.Height() / 2;
    if (x + rcDlg.Width() > rcArea.right) x = rcArea.right - rcDlg.Width();
    if (x < rcArea.left) x = rcArea.left;
    if (y + rcDlg.Height() > rcArea.bottom) y = rcArea.bottom - rcDlg.Height();
    if (y < rcArea.top) y = rcArea.top;
    ::SetWindowPos(m_hWnd, nullptr, x, y, -1, -1, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CWnd::SendMessageToDescendants(UINT message, WPARAM wParam, LPARAM lParam, BOOL bDeep, BOOL bOnlyPerm) {
    std::vector<HWND> children;
    for (HWND h = ::GetTopWindow(m_hWnd); h; h = ::GetWindow(h, GW_HWNDNEXT)) children.push_back(h);
    for (HWND h : children) {
        if (!::IsWindow(h)) continue;
        if (bOnlyPerm) {
            if (CWnd* pWnd = FromHandlePermanent(h)) AfxCallWndProc(pWnd, h, message, wParam, lParam);
        } else {
            ::SendMessageW(h, message, wParam, lParam);
        }
        if (bDeep && ::IsWindow(h) && ::GetTopWindow(h)) {
            CWnd temp;
            temp.m_hWnd = h;
            temp.SendMessageToDescendants(message, wParam, lParam, bDeep, bOnlyPerm);
            temp.m_hWnd = nullptr;
        }
    }
}

int CWnd::MessageBox(LPCWSTR lpszText, LPCWSTR lpszCaption, UINT nType) {
    if (!lpszCaption) lpszCaption = AfxGetApp() ? AfxGetApp()->m_pszAppName : L"";
    return ::MessageBoxW(m_hWnd, lpszText, lpszCaption, nType);
}
