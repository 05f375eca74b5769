#pragma once
// CDialog: a window made from a dialog template. Create builds it modeless;
// DoModal runs it the library's way: the owner (and its top-level window) is
// disabled, the dialog runs its own message loop, in which messages are
// pre-translated as in the application's loop, until EndDialog. It works
// without owner or main window, before the application's loop runs and
// from inside another window's WM_CREATE.
#include "afx/wnd.h"

class CDataExchange {
public:
    CDataExchange(CWnd* pDlgWnd, BOOL bSaveAndValidate) : m_bSaveAndValidate(bSaveAndValidate), m_pDlgWnd(pDlgWnd) {}
    HWND PrepareCtrl(int nIDC);

    BOOL m_bSaveAndValidate;
    CWnd* m_pDlgWnd;
    HWND m_hWndLastControl = nullptr;
};

// Binds the control object to the dialog's control nIDC (once). A template
// without that control leaves the object unbound.
void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl);
// The control's window text to value when saving, value to the control
// otherwise; a missing control leaves both alone.
void DDX_Text(CDataExchange* pDX, int nIDC, CString& value);

class CDialog : public CWnd {
    DECLARE_DYNAMIC(CDialog)
public:
    CDialog() = default;
    explicit CDialog(UINT nIDTemplate, CWnd* pParentWnd = nullptr);
    explicit CDialog(LPCWSTR lpszTemplateName, CWnd* pParentWnd = nullptr);

    // Modeless. A null parent means the application's main window.
    virtual BOOL Create(UINT nIDTemplate, CWnd* pParentWnd = nullptr);
    virtual BOOL Create(LPCWSTR lpszTemplateName, CWnd* pParentWnd = nullptr);
    virtual BOOL CreateIndirect(LPCDLGTEMPLATEW lpDialogTemplate, CWnd* pParentWnd = nullptr);
    virtual INT_PTR DoModal();
    void EndDialog(int nResult);

    virtual BOOL OnInitDialog();
    BOOL PreTranslateMessage(MSG* pMsg) override;

    void NextDlgCtrl() const { ::SendMessageW(m_hWnd, WM_NEXTDLGCTL, 0, 0); }
    void PrevDlgCtrl() const { ::SendMessageW(m_hWnd, WM_NEXTDLGCTL, 1, 0); }
    void GotoDlgCtrl(CWnd* pWndCtrl) { ::SendMessageW(m_hWnd, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(pWndCtrl->GetSafeHwnd()), 1); }
    void SetDefID(UINT nID) { ::SendMessageW(m_hWnd, DM_SETDEFID, nID, 0); }

    LPCWSTR m_lpszTemplateName = nullptr;
    CWnd* m_pParentWnd = nullptr;

protected:
    virtual void OnOK();
    virtual void OnCancel();
    BOOL PreTranslateInput(LPMSG lpMsg);
    LRESULT HandleInitDialog(WPARAM, LPARAM);

    DECLARE_MESSAGE_MAP()

private:
    BOOL createFromTemplate(LPCWSTR lpszTemplateName, HWND hWndParent);
};

// The window a modal window should be owned by: the given window (or the
// main window) walked up to a non-child, and the top-level window above it
// (disabled here when it is another window).
HWND AfxGetSafeOwner(CWnd* pParent, HWND* pWndTop);

// The dialog template resource, or null.
LPCDLGTEMPLATEW AfxLoadDialogTemplate(LPCWSTR lpszTemplateName);
