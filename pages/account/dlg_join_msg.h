#pragma once
// Sign-up notice page (view VIEW_STATE_JOIN_MSG): shown in KR when a user
// goes on without membership for a brand. It invites the user to sign up
// (Join opens the brand's sign-up page and returns to the member form) or
// goes on as a guest (Next). A ticked box stores today's date per brand and
// region; within 30 days of it the notice closes itself.
#include "pages/account/placeholder_page.h"
#include "ui/png_button.h"
#include "ui/png_with_text_button.h"
#include "ui/static_ex.h"

class CRichEditCtrlEx;

// The stored date (yyyymmdd) still skips the notice on today's date: it is
// after the day 30 days before today. A date that is not a number never does.
bool joinNoticeSkipped(const CString& stored, const SYSTEMTIME& today);
// The Join and Next captions' font sizes by their lengths.
int joinCaptionSize(int length);
int nextCaptionSize(int length);
// "HIDE_CHECK_DATE_TS" and the like; empty for a brand without one.
CString hideDateKey(int corp);

class CDlgJoinMsg : public CPlaceholderPage {
public:
    explicit CDlgJoinMsg(CBaseDialog* root);
    ~CDlgJoinMsg() override;

    BOOL showPage(BOOL show) override;
    BOOL initPage() override { return TRUE; }

    void applyFonts();
    void applyTexts();
    void layoutControls();
    // The notice text as the body shows it.
    CString bodyText() const;

    CString m_strJoinCorp = L"N";
    CStaticEx m_staticBody, m_staticLabel, m_staticTitle3, m_staticTitle4, m_staticTitle5, m_staticAlert;
    CPngButton m_btnJoin, m_btnNext;
    CPngWithTextButton m_checkShow30;
    CRichEditCtrlEx* m_pRichText1 = nullptr;
    CRichEditCtrlEx* m_pRichText2 = nullptr;
    // How often the licence file was written (once per showing or language
    // change, never per paint).
    int m_nLicenceWrites = 0;

    void OnBnClickedNext();
    void OnBnClickedJoin();
    void OnStnClickedTitle2();
    void OnBnClickedCheckShow30();

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* dx) override;
    void OnPaint();
    BOOL OnEraseBkgnd(CDC* dc);
    LRESULT OnChangeLanguagePage(WPARAM wParam, LPARAM lParam);
    LRESULT OnCheckSkip(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

private:
    void applyBrand();
    void loadDocuments();
    void updateLabel();
    void close();
    CString m_strDateKey;
    BOOL m_bSkipPosted = FALSE;
};
