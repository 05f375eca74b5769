#pragma once
// The exit page: asks the user to confirm leaving the program. OK ends the
// program in order (engine stopped, resume files, clean-up, statistics);
// Cancel goes back to the view before it.
#include "afx/afx.h"
#include "ui/base_child_dialog.h"
#include "ui/png_button.h"
#include "ui/static_ex.h"

class CDlgRoot;

class CDlgPageMessageExit : public CBaseChildDialog {
public:
    explicit CDlgPageMessageExit(CBaseDialog* root, UINT templateId = 507);
    ~CDlgPageMessageExit() override;

    BOOL showPage(BOOL show) override;
    BOOL initPage() override { return TRUE; }

    void OnBnClickedButtonOk();
    void OnBnClickedButtonCancel();

    // The message text id shown now: 13449 while a transfer is active.
    static int messageTextId();
    // The OK image strip of the root's brand and the region.
    static UINT okImageFor(int corp, int region);

    CStaticEx m_staticTitle;    // 1546
    CStaticEx m_staticMessage;  // 1547
    CPngButton m_btnOk;         // 1100
    CPngButton m_btnCancel;     // 1101
    Gdiplus::Bitmap* m_pImage = nullptr;
    UINT m_nOkImage = 0;  // the strip OK wears now

protected:
    void DoDataExchange(CDataExchange* dx) override;
    BOOL OnInitDialog() override;
    void OnPaint();
    BOOL OnEraseBkgnd(CDC* dc);
    LRESULT OnChangeLanguage(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

private:
    CDlgRoot* root() const;
    void applyTexts();
};
