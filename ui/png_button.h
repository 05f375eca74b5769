#pragma once
// The skinned push or check button: its whole look comes from one PNG strip
// of state frames (normal, hover, pressed, disabled; check buttons add
// checked, checked with hover, checked and pressed), with an optional
// caption in the window's font over it.
#include "afx/ctrl.h"
#include "ui/gdi_func.h"

class CPngButton : public CButton {
    DECLARE_DYNAMIC(CPngButton)

public:
    CPngButton();
    ~CPngButton() override;

    BOOL setImage(UINT id, BOOL unused = FALSE);
    CSize getSize();
    void updateSize();
    void setTextColor(COLORREF colour);
    void setText(const CString& text, int points, int weight);
    BOOL setCheck(int checked);
    void setEnable(BOOL enable);
    void moveTo(int x, int y);
    // An optional second strip drawn over the face, frame by frame.
    void setIconImage(UINT id);

    BOOL PreTranslateMessage(MSG* msg) override;
    void DrawItem(LPDRAWITEMSTRUCT item) override;

    // Read by the drawing; pages set them directly.
    int m_nFrameCount = 4;
    int m_nFrameWidth = 0;
    int m_nFrameHeight = 0;
    COLORREF m_colors[7] = {0, 0, 0, 0, 0, 0, 0};
    BOOL m_bHover = FALSE;
    BOOL m_bTracking = FALSE;
    BOOL m_bPressed = FALSE;
    BOOL m_bEnabled = TRUE;
    BOOL m_bToggle = FALSE;
    BOOL m_bChecked = FALSE;
    // Pages may still set it; every button shows its parent's background
    // through the transparent pixels of its strip, set or not.
    BOOL m_bTransparent = FALSE;
    int m_nLeftOffset = 0;
    int m_nRightInset = 0;
    int m_nTopOffset = 0;
    int m_nIconX = 0;
    int m_nIconY = 0;
    BOOL m_bHidden = FALSE;
    CString m_strCaption;
    int m_nCaptionSize = 16;
    int m_nCaptionWeight = 0;
    CString m_strFaceName;
    BOOL m_bNoCaption = FALSE;
    int m_nCenter = 0;
    // 2 never mirrored, 0 left to right now, 1 mirrored now (0 and 1
    // follow the language).
    int m_nRightToLeft = 2;

    Gdiplus::Bitmap* image() const { return m_pImage; }

protected:
    void OnMouseMove(UINT flags, CPoint point);
    LRESULT OnMouseHover(WPARAM wParam, LPARAM lParam);
    LRESULT OnMouseLeave(WPARAM wParam, LPARAM lParam);
    void OnLButtonDown(UINT flags, CPoint point);
    void OnLButtonUp(UINT flags, CPoint point);
    void OnLButtonDblClk(UINT flags, CPoint point);
    void OnEnable(BOOL enable);
    void OnSize(UINT type, int cx, int cy);
    BOOL OnSetCursor(CWnd* wnd, UINT hitTest, UINT message);
    BOOL OnEraseBkgnd(CDC* dc);
    LRESULT OnChangeLanguage(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

private:
    void drawFace(HDC target, const RECT& client);
    // Copies what lies behind the button in its parent into target: a kept
    // copy, taken again from the parent's shared rendering (WM_PRINTCLIENT)
    // when the parent has painted since, waits to paint, or the button moved.
    void paintParentBackground(HDC target, int width, int height);
    void releaseBackground();

    Gdiplus::Bitmap* m_pImage = nullptr;
    Gdiplus::Bitmap* m_pIcon = nullptr;
    CDC m_backgroundDC;
    CBitmap m_background;
    HGDIOBJ m_hBackgroundOld = nullptr;
    RECT m_backgroundArea{0, 0, 0, 0};  // in the parent's client area
    UINT m_nBackgroundPaints = 0;       // the parent's paint count then
};
