#pragma once
// A rounded, frameless tool window floating over the desktop: a skinned
// background, a bold title in its 60-pixel header band (which also drags the
// window), and Alt+F4 or the system close command taken as Cancel.
#include "afx/afx.h"
#include "ui/png_button.h"

class CBasePopupDialog : public CDialog {
public:
    CBasePopupDialog(UINT templateId, CWnd* parent);
    ~CBasePopupDialog() override;

    void setTitle(CString text);
    void placeCloseButton();
    void setRoundRegion();
    void drawBackground(CDC* dc, BOOL centreTitle);

    Gdiplus::Bitmap* m_pImgBackground = nullptr;
    CPngButton m_btnClose;
    int m_nWidth = 400;
    int m_nHeight = 200;
    CString m_strTitle;

    BOOL PreTranslateMessage(MSG* msg) override;

protected:
    BOOL OnInitDialog() override;

    BOOL OnEraseBkgnd(CDC* dc);
    LRESULT OnNcHitTest(CPoint point);
    void OnSize(UINT type, int cx, int cy);
    void OnSysCommand(UINT id, LPARAM lParam);
    DECLARE_MESSAGE_MAP()
};
