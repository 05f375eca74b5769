#pragma once
// A label painted with GDI+ in the program's current face: one line cut
// with an ellipsis, or word-wrapped over lines whose height follows the
// measured text or a fixed value.
#include "afx/ctrl.h"
#include "ui/gdi_func.h"

class CStaticEx : public CStatic {
    DECLARE_DYNAMIC(CStaticEx)

public:
    CStaticEx();
    ~CStaticEx() override;

    // Width (+10) and height of a text at the control's size and weight.
    CSize measureText(const CString& text);
    // Repaints only when the weight changes.
    void setFontStyle(int size, BOOL bold);
    CSize getTextSize();

    void PreSubclassWindow() override;
    void DrawItem(LPDRAWITEMSTRUCT item) override;

    int m_nTextSize = 14;
    BOOL m_bBold = FALSE;
    int m_nStyle = 9;  // 0x2 centre, 0x4 right, 0x10 vertical centre
    COLORREF m_textColor = RGB(0x38, 0x38, 0x38);
    COLORREF m_bgColor = RGB(255, 255, 255);
    BOOL m_bAutoLineHeight = TRUE;
    int m_nLineHeight = -1;
    BOOL m_bSingleLine = FALSE;
    BOOL m_bDoubleClick = TRUE;
    BOOL m_bLeftToRight = TRUE;
    BOOL m_bRightAlign = FALSE;

    // The line height of the last paint (0 when nothing was broken).
    int lastLineHeight() const { return m_nLastLineHeight; }

protected:
    int OnCreate(LPCREATESTRUCT create);
    void OnLButtonDblClk(UINT flags, CPoint point);
    BOOL OnEraseBkgnd(CDC* dc);
    LRESULT OnChangeLanguage(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

private:
    void followLanguage();

    int m_nLastLineHeight = 0;
};
