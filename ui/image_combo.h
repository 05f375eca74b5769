#pragma once
// The skinned drop-down list of the settings and vehicle pages: its closed
// face is a frame skin and an arrow, its items are drawn with GDI+ in the
// current face. Each item keeps a full text beside the shown one: what
// follows "|*|" is not shown, but the page reads it back.
#include "afx/ctrl.h"
#include "ui/gdi_func.h"

#include <map>

class CImageCombo : public CComboBox {
    DECLARE_DYNAMIC(CImageCombo)

public:
    CImageCombo();
    ~CImageCombo() override;

    void setArrowImages(UINT frameId, UINT arrowId);
    int addString(const CString& text);
    void clearImages();
    void resetContent();
    CString getItemText(int index) const;

    void PreSubclassWindow() override;
    void DrawItem(LPDRAWITEMSTRUCT item) override;
    void MeasureItem(LPMEASUREITEMSTRUCT item) override;

    BOOL m_bPressed = FALSE;
    BOOL m_bHover = FALSE;
    BOOL m_bFocus = FALSE;
    BOOL m_bLeftToRight = TRUE;
    // 50 selects the large item font (20 pixels, bold).
    int m_nSizeCode = 0;

protected:
    void OnPaint();
    void OnMouseMove(UINT flags, CPoint point);
    void OnTimer(UINT_PTR id);
    void OnLButtonDown(UINT flags, CPoint point);
    void OnLButtonUp(UINT flags, CPoint point);
    void OnSetFocus(CWnd* old);
    void OnKillFocus(CWnd* next);
    BOOL OnSelChange();
    LRESULT OnChangeLanguage(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

private:
    void paintFace(HDC target);
    void timerStep();

    Gdiplus::Bitmap* m_pFrame = nullptr;
    Gdiplus::Bitmap* m_pArrow = nullptr;
    std::map<int, CString> m_texts;
};
