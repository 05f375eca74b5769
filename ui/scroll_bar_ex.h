#pragma once
// An image-drawn scroll bar that keeps its own scroll information, draws
// arrows, track and thumb from PNG skins and repeats arrow and page clicks
// on a timer. Its owner receives WM_VSCROLL (WM_HSCROLL) as from a
// standard bar.
#include "afx/ctrl.h"
#include "ui/gdi_func.h"
#include "ui/list_geometry.h"

class CScrollBarEx : public CScrollBar {
    DECLARE_DYNAMIC(CScrollBarEx)

public:
    CScrollBarEx();
    ~CScrollBarEx() override;

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    CWnd* m_pOwner = nullptr;
    BOOL m_bNoThumb = FALSE;

    const list_geometry::ScrollState& state() const { return m_info; }
    list_geometry::BarParts parts() const;

protected:
    int OnCreate(LPCREATESTRUCT create);
    void OnPaint();
    void OnSize(UINT type, int cx, int cy);
    BOOL OnEraseBkgnd(CDC* dc);
    void OnLButtonDown(UINT flags, CPoint point);
    void OnLButtonDblClk(UINT flags, CPoint point);
    void OnLButtonUp(UINT flags, CPoint point);
    void OnMouseMove(UINT flags, CPoint point);
    LRESULT OnMouseLeave(WPARAM wParam, LPARAM lParam);
    void OnTimer(UINT_PTR id);
    DECLARE_MESSAGE_MAP()

private:
    int along(CPoint point) const { return m_bVertical ? point.y : point.x; }
    bool insidePart(int part, CPoint point) const;
    void notify(int code, int position, bool withHandle);
    void stopRepeat();

    int m_nWidth = 0;
    int m_nHeight = 0;
    BOOL m_bVertical = TRUE;
    BOOL m_bDragging = FALSE;
    int m_nDragX = 0;
    int m_nDragY = 0;
    int m_nDragPos = 0;
    int m_nPressedPart = -1;
    BOOL m_bAutoRepeat = FALSE;
    int m_nHoverPart = -1;
    BOOL m_bOutside = FALSE;
    BOOL m_bTracking = FALSE;
    list_geometry::ScrollState m_info{0, 0, 0, 0, -1};
    Gdiplus::Bitmap* m_pUp = nullptr;
    Gdiplus::Bitmap* m_pDown = nullptr;
    Gdiplus::Bitmap* m_pThumb = nullptr;
    Gdiplus::Bitmap* m_pTrack = nullptr;
};
