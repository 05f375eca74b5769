#pragma once
// The web guide (view VIEW_STATE_INFO_POPUP): the guide page of a guide
// type for the last user's brand, shown as a panel that links to the page
// in the user's browser. Types 0 and 17 carry a "do not show again" box
// stored per brand.
#include "afx/afx.h"
#include "pages/account/web_browser2.h"
#include "pages/account/web_guide_rules.h"
#include "ui/base_child_dialog.h"
#include "ui/png_button.h"
#include "ui/png_with_text_button.h"
#include "ui/static_ex.h"

class CDlgInfoPopup : public CBaseChildDialog {
    DECLARE_DYNAMIC(CDlgInfoPopup)

public:
    explicit CDlgInfoPopup(CBaseDialog* root);
    ~CDlgInfoPopup() override;

    BOOL showPage(BOOL show) override;
    BOOL initPage() override;
    void skipPage() override;
    BOOL PreTranslateMessage(MSG* msg) override;

    // TRUE when the type has a guide page for the last user's brand; the
    // address is then handed to the browser panel. language: a language
    // id, or 99 for the current one.
    BOOL buildGuideUrl(int language);

    int m_bActive = 0;
    CString m_strGuideUrl;
    int m_nGuideType = 0;
    CWebBrowser2 m_browser;
    CStatic m_cover;
    CPngButton m_btnOk;
    CPngWithTextButton m_chkShow;
    CStaticEx m_staticLabel;

protected:
    void DoDataExchange(CDataExchange* dx) override;
    BOOL OnInitDialog() override;
    void OnOK() override;

    int OnCreate(LPCREATESTRUCT create);
    void OnShowWindow(BOOL show, UINT status);
    void OnPaint();
    BOOL OnEraseBkgnd(CDC* dc);
    void OnBnClickedOk();
    void OnLabelClicked();
    void OnCheckClicked();
    LRESULT OnGuideShow(WPARAM wParam, LPARAM lParam);
    LRESULT OnGuideShowPage(WPARAM wParam, LPARAM lParam);
    LRESULT OnChangeLanguage(WPARAM wParam, LPARAM lParam);
    LRESULT OnFollowCheck(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

private:
    // What the set-up and every address build apply: placement, box and
    // label, visibility by type, fonts, texts and layout.
    void setupControls();
    void applyTexts();
    void followCheck();
    void leave(web_guide::Route route);
};
