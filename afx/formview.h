#pragma once
// CFormView, as far as a form inside a page needs it: a child window made
// from a dialog template, whose controls are bound in OnInitialUpdate, and
// that scrolls its controls when its content is larger than its client area
// (SetScrollSizes; scroll bars and the mouse wheel move the content).
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

    // ---- scrolling (map mode MM_TEXT only: one unit is one pixel)
    static const SIZE sizeDefault;
    // The content's size; a page and a line step of 0 (sizeDefault) become a
    // tenth of the total and a tenth of the page. A size of 0 by 0 removes
    // the bars and shows the content from its origin.
    void SetScrollSizes(int nMapMode, SIZE sizeTotal, const SIZE& sizePage = sizeDefault,
                        const SIZE& sizeLine = sizeDefault);
    CPoint GetScrollPosition() const { return m_ptScroll; }
    CSize GetTotalSize() const { return m_totalLog; }
    // Moves the content so that pt is at the client's top left, within the
    // scroll range.
    void ScrollToPosition(POINT pt);

    LPCWSTR m_lpszTemplateName;

protected:
    void OnVScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar);
    void OnHScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar);
    BOOL OnMouseWheel(UINT nFlags, short zDelta, CPoint pt);
    void OnSize(UINT nType, int cx, int cy);
    DECLARE_MESSAGE_MAP()

private:
    void updateBars();
    int scrollLimit(int bar) const;
    void onScroll(int bar, UINT code);

    CSize m_totalLog{0, 0};
    CSize m_pageDev{0, 0};
    CSize m_lineDev{0, 0};
    CPoint m_ptScroll{0, 0};
    bool m_bUpdatingBars = false;
};
