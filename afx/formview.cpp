#include "afx/formview.h"

#include "afx/module.h"

IMPLEMENT_DYNAMIC(CFormView, CWnd)

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
    // The template's style, without a frame; the requested size and id.
    ModifyStyle(WS_BORDER | WS_CAPTION, dwStyle & WS_BORDER);
    SetDlgCtrlID(static_cast<int>(nID));
    ::SetWindowPos(m_hWnd, nullptr, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                   SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    if (dwStyle & WS_VISIBLE) ShowWindow(SW_NORMAL);
    return TRUE;
}

BOOL CFormView::PreTranslateMessage(MSG* pMsg) {
    bool key = pMsg->message >= WM_KEYFIRST && pMsg->message <= WM_KEYLAST;
    bool mouse = pMsg->message >= WM_MOUSEFIRST && pMsg->message <= WM_MOUSELAST;
    return (key || mouse) && IsDialogMessage(pMsg);
}
