#pragma once
// A read-only rich-text view for the licence and terms documents: RTF read
// from a file, links opened in the browser, paragraphs switched to right to
// left for Arabic.
#include "afx/ctrl.h"

class CRichEditCtrlEx : public CRichEditCtrl {
    DECLARE_DYNAMIC(CRichEditCtrlEx)

public:
    CRichEditCtrlEx();
    ~CRichEditCtrlEx() override;

    BOOL loadRtfFile(const CString& path);
    void setLeftToRight(BOOL leftToRight);
    BOOL PreTranslateMessage(MSG* msg) override;

    // When set, the whole control is one link to it.
    CString m_strUrl;
    BOOL m_bPressed = FALSE;
    BOOL m_bLeftToRight = TRUE;
    BOOL m_bDirectionSwitch = TRUE;

protected:
    int OnCreate(LPCREATESTRUCT create);
    void OnLink(NMHDR* header, LRESULT* result);
    void OnMouseMove(UINT flags, CPoint point);
    void OnLButtonDown(UINT flags, CPoint point);
    void OnLButtonUp(UINT flags, CPoint point);
    LRESULT OnChangeLanguage(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()
};
