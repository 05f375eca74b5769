#pragma once
// The 40-pixel bar along the bottom of the vehicle pages: a fixed caption,
// the current notice's title as a link to its page, its date, and a More
// button that opens the notice list.
#include "afx/afx.h"
#include "ui/png_button.h"
#include "ui/png_with_text_button.h"
#include "ui/static_ex.h"
#include "webclient/notice_parser.h"

class CDlgChildNotice : public CDialog {
public:
    explicit CDlgChildNotice(CWnd* parent = nullptr);
    ~CDlgChildNotice() override;

    void layoutNotice();
    void refreshNotice();

    CStaticEx m_staticTitle;
    CPngWithTextButton m_btnItem;
    CStaticEx m_staticDate;
    CPngButton m_btnMore;
    stNoticeResult m_stNoticeResult;
    Gdiplus::Bitmap* m_pImgMark = nullptr;

    BOOL PreTranslateMessage(MSG* msg) override;

protected:
    void DoDataExchange(CDataExchange* dx) override;
    BOOL OnInitDialog() override;

    void OnPaint();
    void OnSize(UINT type, int cx, int cy);
    LRESULT OnChangeLanguage(WPARAM wParam, LPARAM lParam);
    void OnBnClickedButtonMore();
    BOOL OnEraseBkgnd(CDC* dc);
    DECLARE_MESSAGE_MAP()
};
