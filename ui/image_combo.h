#pragma once
// The skinned drop-down list of the settings and vehicle pages: its closed
// face is a frame skin and an arrow, its items are drawn with GDI+ in the
// current face. Each item keeps a full text beside the shown one: what
// follows "|*|" is not shown, but the page reads it back.
#include "afx/ctrl.h"
#include "ui/gdi_func.h"
#include "ui/text_rules.h"

#include <map>

class CImageCombo : public CComboBox {
    DECLARE_DYNAMIC(CImageCombo)

public:
    CImageCombo();
    ~CImageCombo() override;

    void setArrowImages(UINT frameId, UINT arrowId);
    // The reading direction: in Arabic the text stands at the right, read
    // right to left, the arrow at the left and the list's bar at the left.
    void setLeftToRight(BOOL leftToRight);
    // The closed box's text and arrow places for its current size.
    text_rules::ComboFace faceLayout() const;
    // The item font's pixel size: 20 (bold) for the large kind, else 16.
    int itemFontPixels() const { return m_nSizeCode == 50 ? 20 : 16; }
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
    LRESULT OnSetItemHeight(WPARAM wParam, LPARAM lParam);
    LRESULT OnSetFontMessage(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

private:
    void paintFace(HDC target);
    // An item's shown text in the item font, inside box.
    void drawItemText(HDC dc, const RECT& box, const CString& text, COLORREF ink, bool centred) const;
    CString itemText(int index) const;
    int m_nAskedFaceHeight = 0;  // 0: none asked yet
    void timerStep();

    Gdiplus::Bitmap* m_pFrame = nullptr;
    Gdiplus::Bitmap* m_pArrow = nullptr;
    std::map<int, CString> m_texts;
};
