#include "afx/dialog.h"

#include "afx/app.h"
#include "afx/module.h"

IMPLEMENT_DYNAMIC(CDialog, CWnd)

BEGIN_MESSAGE_MAP(CDialog, CWnd)
    ON_COMMAND(IDOK, &CDialog::OnOK)
    ON_COMMAND(IDCANCEL, &CDialog::OnCancel)
    ON_MESSAGE(WM_INITDIALOG, &CDialog::HandleInitDialog)
END_MESSAGE_MAP()

namespace {

// Every message reaches the object through its window procedure; the
// dialog manager's procedure has nothing left to do.
INT_PTR CALLBACK afxDlgProc(HWND, UINT, WPARAM, LPARAM) {
    return FALSE;
}

}  // namespace

HWND CDataExchange::PrepareCtrl(int nIDC) {
    m_hWndLastControl = ::GetDlgItem(m_pDlgWnd->m_hWnd, nIDC);
    return m_hWndLastControl;
}

void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl) {
    if (rControl.m_hWnd) return;
    if (HWND hWndCtrl = pDX->PrepareCtrl(nIDC)) rControl.SubclassWindow(hWndCtrl);
}

void DDX_Text(CDataExchange* pDX, int nIDC, CString& value) {
    HWND hWndCtrl = pDX->PrepareCtrl(nIDC);
    if (!hWndCtrl) return;
    if (pDX->m_bSaveAndValidate) {
        const int length = ::GetWindowTextLengthW(hWndCtrl);
        CString text;
        if (length > 0) {
            ::GetWindowTextW(hWndCtrl, text.GetBuffer(length + 1), length + 1);
            text.ReleaseBuffer();
        }
        value = text;
    } else {
        ::SetWindowTextW(hWndCtrl, value.GetString());
    }
}

BOOL CWnd::UpdateData(BOOL bSaveAndValidate) {
    CDataExchange dx(this, bSaveAndValidate);
    DoDataExchange(&dx);
    return TRUE;
}

LPCDLGTEMPLATEW AfxLoadDialogTemplate(LPCWSTR lpszTemplateName) {
    HINSTANCE hInst = AfxGetResourceHandle();
    HRSRC res = ::FindResourceW(hInst, lpszTemplateName, MAKEINTRESOURCEW(5) /* RT_DIALOG */);
    if (!res) return nullptr;
    HGLOBAL data = ::LoadResource(hInst, res);
    return data ? static_cast<LPCDLGTEMPLATEW>(::LockResource(data)) : nullptr;
}

HWND AfxGetSafeOwner(CWnd* pParent, HWND* pWndTop) {
    HWND hWnd = pParent->GetSafeHwnd();
    if (!hWnd) {
        CWnd* main = AfxGetMainWnd();
        hWnd = main->GetSafeHwnd();
    }
    // A popup cannot be owned by a child window.
    while (hWnd && (::GetWindowLongPtrW(hWnd, GWL_STYLE) & WS_CHILD)) hWnd = ::GetParent(hWnd);
    HWND hWndTop = hWnd;
    for (HWND t = hWnd; t; t = ::GetParent(t)) hWndTop = t;
    if (!pParent && hWnd) hWnd = ::GetLastActivePopup(hWnd);
    if (pWndTop) {
        if (hWndTop && ::IsWindowEnabled(hWndTop) && hWndTop != hWnd) {
            *pWndTop = hWndTop;
            ::EnableWindow(hWndTop, FALSE);
        } else {
            *pWndTop = nullptr;
        }
    }
    return hWnd;
}

CDialog::CDialog(UINT nIDTemplate, CWnd* pParentWnd)
    : m_lpszTemplateName(MAKEINTRESOURCEW(nIDTemplate)), m_pParentWnd(pParentWnd) {}

CDialog::CDialog(LPCWSTR lpszTemplateName, CWnd* pParentWnd)
    : m_lpszTemplateName(lpszTemplateName), m_pParentWnd(pParentWnd) {}

BOOL CDialog::Create(UINT nIDTemplate, CWnd* pParentWnd) {
    return Create(MAKEINTRESOURCEW(nIDTemplate), pParentWnd);
}

BOOL CDialog::Create(LPCWSTR lpszTemplateName, CWnd* pParentWnd) {
    m_lpszTemplateName = lpszTemplateName;
    if (!pParentWnd) pParentWnd = AfxGetMainWnd();
    m_pParentWnd = pParentWnd;
    LPCDLGTEMPLATEW tmpl = AfxLoadDialogTemplate(lpszTemplateName);
    return tmpl ? CreateIndirect(tmpl, pParentWnd) : FALSE;
}

BOOL CDialog::CreateIndirect(LPCDLGTEMPLATEW lpDialogTemplate, CWnd* pParentWnd) {
    AfxHookWindowCreate(this);
    HWND hWnd = ::CreateDialogIndirectParamW(AfxGetResourceHandle(), lpDialogTemplate, pParentWnd->GetSafeHwnd(),
                                             &afxDlgProc, 0);
    if (!AfxUnhookWindowCreate()) PostNcDestroy();
    return hWnd != nullptr;
}

INT_PTR CDialog::DoModal() {
    LPCDLGTEMPLATEW tmpl = m_lpszTemplateName ? AfxLoadDialogTemplate(m_lpszTemplateName) : nullptr;
    if (!tmpl) return -1;

    HWND hWndTop = nullptr;
    HWND hWndParent = AfxGetSafeOwner(m_pParentWnd, &hWndTop);
    bool enableParent = false;
    if (hWndParent && hWndParent != ::GetDesktopWindow() && ::IsWindowEnabled(hWndParent)) {
        ::EnableWindow(hWndParent, FALSE);
        enableParent = true;
    }

    m_nModalResult = -1;
    m_nFlags |= WF_CONTINUEMODAL;
    AfxHookWindowCreate(this);
    HWND hWnd = ::CreateDialogIndirectParamW(AfxGetResourceHandle(), tmpl, hWndParent, &afxDlgProc, 0);
    if (!AfxUnhookWindowCreate()) PostNcDestroy();
    if (hWnd && m_hWnd) {
        // EndDialog inside OnInitDialog ends the dialog before its loop.
        if (m_nFlags & WF_CONTINUEMODAL) {
            DWORD flags = MLF_SHOWONIDLE;
            if (GetStyle() & DS_NOIDLEMSG) flags |= MLF_NOIDLEMSG;
            RunModalLoop(flags);
        }
        if (m_hWnd) {
            ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0,
                           SWP_HIDEWINDOW | SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | SWP_NOZORDER);
        }
    }
    m_nFlags &= ~WF_CONTINUEMODAL;
    if (enableParent) ::EnableWindow(hWndParent, TRUE);
    if (hWndParent && m_hWnd && ::GetActiveWindow() == m_hWnd) ::SetActiveWindow(hWndParent);
    DestroyWindow();
    if (hWndTop) ::EnableWindow(hWndTop, TRUE);
    return m_nModalResult;
}

void CDialog::EndDialog(int nResult) {
    if (m_nFlags & (WF_MODALLOOP | WF_CONTINUEMODAL)) EndModalLoop(nResult);
    ::EndDialog(m_hWnd, nResult);
}

LRESULT CDialog::HandleInitDialog(WPARAM, LPARAM) {
    return OnInitDialog();
}

BOOL CDialog::OnInitDialog() {
    UpdateData(FALSE);
    return TRUE;
}

void CDialog::OnOK() {
    if (!UpdateData(TRUE)) return;
    EndDialog(IDOK);
}

void CDialog::OnCancel() {
    EndDialog(IDCANCEL);
}

BOOL CDialog::PreTranslateMessage(MSG* pMsg) {
    if (CWnd::PreTranslateMessage(pMsg)) return TRUE;
    // Esc in a multi-line edit would be eaten by the edit: it cancels the
    // dialog as in any other control, unless Cancel is disabled.
    if (pMsg->message == WM_KEYDOWN && (pMsg->wParam == VK_ESCAPE || pMsg->wParam == VK_CANCEL) &&
        (::GetWindowLongPtrW(pMsg->hwnd, GWL_STYLE) & ES_MULTILINE)) {
        wchar_t cls[16] = {};
        ::GetClassNameW(pMsg->hwnd, cls, 16);
        if (lstrcmpiW(cls, L"Edit") == 0) {
            HWND hItem = ::GetDlgItem(m_hWnd, IDCANCEL);
            if (!hItem || ::IsWindowEnabled(hItem)) {
                SendMessage(WM_COMMAND, IDCANCEL, 0);
                return TRUE;
            }
        }
    }
    return PreTranslateInput(pMsg);
}

BOOL CDialog::PreTranslateInput(LPMSG lpMsg) {
    bool key = lpMsg->message >= WM_KEYFIRST && lpMsg->message <= WM_KEYLAST;
    bool mouse = lpMsg->message >= WM_MOUSEFIRST && lpMsg->message <= WM_MOUSELAST;
    if (!key && !mouse) return FALSE;
    return IsDialogMessage(lpMsg);
}
