#pragma once
// CFormView, as far as a form inside a page needs it: a child window made
// from a dialog template, whose controls are bound in OnInitialUpdate.
// Unlike the document/view framework's views it does not delete itself when
// its window goes: the page that creates it destroys and deletes it.
#include "afx/dialog.h"

class CFormView : public CWnd {
    DECLARE_DYNAMIC(CFormView)
public:
    explicit CFormView(UINT nIDTemplate) : m_lpszTemplateName(MAKEINTRESOURCEW(nIDTemplate)) {}

    BOOL Create(LPCWSTR lpszClassName, LPCWSTR lpszWindowName, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd,
                UINT nID, CCreateContext* pContext = nullptr) override;
    virtual void OnInitialUpdate() { UpdateData(FALSE); }
    BOOL PreTranslateMessage(MSG* pMsg) override;

    LPCWSTR m_lpszTemplateName;
};
