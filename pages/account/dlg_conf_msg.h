#pragma once
// Terms page (view VIEW_STATE_CAR_CONFIG), opened from the settings page: a
// header band, the terms form (CDlgConfChild) built each time the page shows
// and destroyed when it hides, and OK, which hands the form's two consents
// to the page for the settings page's OK. The root loads the stored
// consents into the page before the settings view opens.
#include "pages/account/placeholder_page.h"
#include "ui/png_button.h"
#include "ui/static_ex.h"

class CDlgConfChild;
class CRichEditCtrlEx;

class CDlgConfMsg : public CPlaceholderPage {
public:
    explicit CDlgConfMsg(CBaseDialog* root);
    ~CDlgConfMsg() override;

    BOOL showPage(BOOL show) override;
    BOOL initPage() override { return TRUE; }

    // The texts the form reads (g_strTerms...), from the language library.
    static void loadSharedTexts();
    // Writes the program's licence document ("License_WIN.rtf") and returns
    // its path; empty when it could not be written.
    static CString getResourceRtfFile(const char* logFunction = "CDlgConfMsg::getResourceRtfFile");
    // The terms file of the off-screen second document.
    static CString loadTermsFile(int region, int language);

    void applyTexts();
    void layoutControls();
    // The licence file written and the off-screen documents loaded: once per
    // showing and per language change.
    void loadDocuments();

    int m_nTermsRegion = 99;  // 99: no region picked for the form
    int m_nConsent1 = 0;      // 1 agreed, 0 not
    int m_nConsent2 = 0;
    CDlgConfChild* m_pForm = nullptr;
    CRect m_rcForm;
    CRichEditCtrlEx* m_pRichText1 = nullptr;
    CRichEditCtrlEx* m_pRichText2 = nullptr;
    CStaticEx m_staticTitle[4];
    CStaticEx m_staticAlert;
    CPngButton m_btnOk, m_btnCancel;
    // How often the licence file was written (one per showing or language
    // change, never per paint).
    int m_nLicenceWrites = 0;

    void OnBnClickedOk();

protected:
    void DoDataExchange(CDataExchange* dx) override;
    BOOL OnInitDialog() override;
    void OnPaint();
    BOOL OnEraseBkgnd(CDC* dc);
    LRESULT OnChangeLanguagePage(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

private:
    void destroyForm();
};
