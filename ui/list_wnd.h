#pragma once
// The owner-drawn, smoothly scrolling text list of the vehicle choice. It
// paints rows from a string list that its page owns, shows a hover and a
// selected row, marks items ending in "{{{*}}}" with a small image,
// highlights the typed part of each item in the search style "S" and tells
// its page through UM_LIST_SELECT when the user picks a row.
#include "afx/coll.h"
#include "afx/ctrl.h"
#include "ui/gdi_func.h"
#include "ui/scroll_bar_ex.h"

class CListWnd : public CWnd {
    DECLARE_DYNAMIC(CListWnd)

public:
    explicit CListWnd(CWnd* owner);
    ~CListWnd() override;

    BOOL Create(const RECT& rect, CWnd* parent, UINT id, DWORD style = WS_CHILD | WS_VISIBLE);

    void setListStyle(const CString& style);
    void recalcLayout();
    // Removes a trailing "{{{*}}}" from a text longer than 7 characters.
    static BOOL getItemText(CString& text);
    void moveSelection(UINT key);
    void scrollToTop();
    BOOL selectItemByText(const CString& text);
    void ensureVisible(int row);
    void setScrollBarRight(BOOL right);

    // Set by the owner.
    CWnd* m_pOwner;
    CStringList* m_pItems = nullptr;
    CString m_strSelected;
    int m_nListId = 0;
    CString m_strStyle;
    BOOL m_bLeftToRight = TRUE;
    COLORREF m_highlightColor = RGB(0, 0, 0);
    CString m_strSearch;
    int m_nScrollPos = 0;
    int m_nHOffset = 0;
    CRect m_rcClient;
    BOOL m_bScrollShown = FALSE;
    BOOL m_bSnapshot = FALSE;
    HBITMAP m_hSnapshot = nullptr;  // owned
    Gdiplus::Image* m_pBackground = nullptr;  // owned
    int m_nClickedRow = -1;
    BOOL m_bRemoveVScroll = TRUE;
    int m_nRowWidth = 530;
    CScrollBarEx m_scrollBar;
    Gdiplus::ARGB m_colors[8] = {0xFF000000, 0xFF000000, 0xFF000000, 0xFF000000,
                                 0xFF000000, 0xFF000000, 0xFF000000, 0xFF000000};
    int m_nHoverRow = -1;
    int m_nFontSize = 18;
    int m_nKeyboardRow = -1;
    CString m_strKeyboardText;

    int pitch() const;
    // A row's rectangle in the current reading direction.
    RECT rowBox(int row) const;
    int itemCount() const;
    CString itemAt(int index) const;

protected:
    int OnCreate(LPCREATESTRUCT create);
    void OnPaint();
    BOOL OnEraseBkgnd(CDC* dc);
    void OnSize(UINT type, int cx, int cy);
    void OnLButtonDown(UINT flags, CPoint point);
    void OnLButtonUp(UINT flags, CPoint point);
    void OnMouseMove(UINT flags, CPoint point);
    LRESULT OnMouseLeave(WPARAM wParam, LPARAM lParam);
    BOOL OnMouseWheel(UINT flags, short delta, CPoint point);
    void OnVScroll(UINT code, UINT position, CScrollBar* bar);
    LRESULT OnPrintClient(WPARAM wParam, LPARAM lParam);
    void OnNcCalcSize(BOOL calcValidRects, NCCALCSIZE_PARAMS* params);
    DECLARE_MESSAGE_MAP()

private:
    enum Colour { ODD_ROW, EVEN_ROW, SELECTED, HOVER, GREY_LIGHT, GREY_DARK, GREY_DARK2, BORDER };
    void drawRow(HDC dc, int row, bool hover);
    void drawSearchRow(HDC dc, int row, bool hover);
    void setBarPosition(int position);
    bool isHeading(const CString& text) const;

    CRITICAL_SECTION m_lock;
    Gdiplus::Bitmap* m_pMarker = nullptr;
};
