#pragma once
// The flat progress bar of the update screens: a plain bar painted with
// GDI+ that grows from the left, or from the right for Arabic.
#include "afx/ctrl.h"

class CProgressCtrlEx : public CProgressCtrl {
public:
    CProgressCtrlEx();
    ~CProgressCtrlEx() override;

    // A position outside the range is ignored; otherwise the bar repaints
    // at once.
    void setPos(int position);

    float m_fPos = 0;
    int m_nUpper = 1000;
    int m_nLower = 0;
    int m_nStep = 10;
    COLORREF m_bgColor;
    COLORREF m_barColor;

protected:
    void OnPaint();
    BOOL OnEraseBkgnd(CDC* dc);
    void OnSize(UINT type, int cx, int cy);
    DECLARE_MESSAGE_MAP()
};
