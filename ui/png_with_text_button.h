#pragma once
// A flat text control with an optional small state icon before its text:
// a plain label, a check-box-like label or a link that opens its address in
// the browser, by kind. The window is a button, so that its page receives
// BN_CLICKED as from any button.
#include "afx/ctrl.h"
#include "ui/gdi_func.h"

class CPngWithTextButton : public CWnd {
    DECLARE_DYNAMIC(CPngWithTextButton)

public:
    explicit CPngWithTextButton(const CString& caption = CString(), int kind = 0);
    ~CPngWithTextButton() override;

    void setText(const CString& text, int size, BOOL bold, int kind);
    void setCaption(const CString& text);
    void setUrl(const CString& address);
    void setEnable(BOOL enable);
    CSize getTextExtent();

    BOOL PreTranslateMessage(MSG* msg) override;

    int m_nKind;
    CRect m_rcClient;
    BOOL m_bHover = FALSE;
    BOOL m_bPressed = FALSE;
    BOOL m_bChecked = FALSE;
    BOOL m_bEnabled = TRUE;
    BOOL m_bRightAlign = FALSE;
    int m_nWidth = 1;
    int m_nIconX = 0;
    int m_nIconY = 0;
    int m_nTextSize = 14;
    BOOL m_bBold = FALSE;
    CString m_strCaption;
    CString m_strUrl;
    COLORREF m_textColor = RGB(0x38, 0x38, 0x38);
    COLORREF m_bgColor = RGB(255, 255, 255);
    COLORREF m_linkColor = RGB(0x38, 0x38, 0x38);
    COLORREF m_linkHoverColor = RGB(0x38, 0x38, 0x38);
    // 2 never mirrored; 1 mirrors the icon.
    int m_nRightToLeft = 2;

    // Whether a click opens the address (kinds 2 to 6).
    static bool opensLink(int kind, const CString& address);

protected:
    void OnPaint();
    void OnMouseMove(UINT flags, CPoint point);
    LRESULT OnMouseHover(WPARAM wParam, LPARAM lParam);
    LRESULT OnMouseLeave(WPARAM wParam, LPARAM lParam);
    void OnLButtonDown(UINT flags, CPoint point);
    void OnLButtonUp(UINT flags, CPoint point);
    BOOL OnSetCursor(CWnd* wnd, UINT hitTest, UINT message);
    void OnSize(UINT type, int cx, int cy);
    BOOL OnEraseBkgnd(CDC* dc);
    DECLARE_MESSAGE_MAP()

private:
    void drawIcon(HDC dc, RECT& textBox);
    void drawTextPart(HDC dc, const RECT& box);
    void drawWithWindowFont(HDC dc, const RECT& box, COLORREF colour);

    Gdiplus::Bitmap* m_pIcon = nullptr;
};
