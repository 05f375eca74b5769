#pragma once
// The terms form inside the terms page: the terms of use and, in region KR,
// the two consent documents, each with an agree / disagree pair. Outside KR
// only the terms show and nothing scrolls; in KR the form scrolls over 900
// pixels. The consents live here until the page's OK takes them.
#include "afx/afx.h"
#include "afx/formview.h"
#include "ui/edit_ctrl.h"
#include "ui/png_with_text_button.h"
#include "ui/static_ex.h"

class CRichEditCtrlEx;

class CDlgConfChild : public CFormView {
    DECLARE_DYNAMIC(CDlgConfChild)

public:
    CDlgConfChild();
    ~CDlgConfChild() override;

    void OnInitialUpdate() override;
    // "<install>\Eula\", created hidden when missing.
    static CString getEulaFolder();
    // The document file (1 terms, 3 and 4 the consents) of a region.
    static CString getEulaFileName(int region, int document);

    void layoutControls();
    void applyTexts();
    void loadDocuments();

    // Labels: titles of documents 1, 3, 4; missing-file labels; button names.
    CStaticEx m_staticTitle1, m_staticTitle3, m_staticTitle4;
    CStaticEx m_staticEmpty1, m_staticEmpty3, m_staticEmpty4;
    CStaticEx m_staticBtnName1, m_staticBtnName3, m_staticBtnName4;
    CRichEditCtrlEx* m_pDocument[3] = {nullptr, nullptr, nullptr};
    // Document frames and the section marks (one line / two line titles).
    CEditCtrl m_box1, m_box3, m_box4;
    CEditCtrl m_icon1, m_icon3, m_icon4, m_icon1High, m_icon3High, m_icon4High;
    CPngWithTextButton m_btnAgree1, m_btnDisagree1, m_btnAgree2, m_btnDisagree2;
    int m_bCollapsed = 1;
    int m_nRegion;
    int m_nConsent1 = 0;
    int m_nConsent2 = 0;

    void OnBnClickedRadio1();
    void OnBnClickedRadio2();
    void OnBnClickedRadio3();
    void OnBnClickedRadio4();

protected:
    void DoDataExchange(CDataExchange* dx) override;
    void OnShowWindow(BOOL show, UINT status);
    void OnPaint();
    BOOL OnEraseBkgnd(CDC* dc);
    void OnTimer(UINT_PTR id);
    DECLARE_MESSAGE_MAP()

private:
    void settle(CPngWithTextButton& agree, CPngWithTextButton& disagree, bool clickedAgree, int& consent);
    void showSections(bool shown);
    // The four marks from the two consents.
    void applyMarks();
};
