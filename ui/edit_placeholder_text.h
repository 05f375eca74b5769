#pragma once
// A plain input field that paints a placeholder over itself while it is
// empty, keeps its single line in the vertical middle and tells its page
// when Enter is pressed (UM_EDIT_ENTER).
#include "afx/ctrl.h"
#include "ui/gdi_func.h"

class CEditPlaceholderText : public CEdit {
    DECLARE_DYNAMIC(CEditPlaceholderText)

public:
    CEditPlaceholderText();
    ~CEditPlaceholderText() override;

    // A skin drawn over the window in place of the one-pixel frame; owned.
    void setFrameImage(UINT id);
    BOOL PreTranslateMessage(MSG* msg) override;

    CWnd* m_pEnterTarget = nullptr;
    COLORREF m_placeholderColor = RGB(0x38, 0x38, 0x38);
    COLORREF m_borderColor = RGB(0xAB, 0xAB, 0xAB);
    CString m_strPlaceholder;
    BOOL m_bBlockIme = FALSE;

protected:
    void OnSize(UINT type, int cx, int cy);
    void OnNcPaint();
    void OnPaint();
    LRESULT OnChangeLanguage(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

private:
    void drawFrame();

    Gdiplus::Bitmap* m_pFrame = nullptr;
};
