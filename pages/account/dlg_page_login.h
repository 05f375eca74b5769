#pragma once
// Login page (view VIEW_STATE_LOGIN): stand-in with the fields and calls the
// shell and the message pages use.
#include "pages/account/placeholder_page.h"

// A non-member entry was chosen (set by the non-member entries, cleared by
// the page's reset); what follows a sign-in and the message pages read it.
extern BOOL g_bGuestLogin;

class CDlgPageLogin : public CPlaceholderPage {
public:
    explicit CDlgPageLogin(CBaseDialog* root);

    void focusPassword();
    void loadSavedLoginInfo(int corp);
    void matchLastVehicle();
    void OnBnClickedButtonNnTs();
    void OnBnClickedButtonNnLv();
    void OnBnClickedButtonNnDr();
    // Back to the state after construction: no brand button pressed.
    void resetPage();
    void selectBrand(int corp);

    // Brand (corp id) the page shows.
    int m_nCorp = 0;
    // Pressed brand-column button: 1 TS, 2 LV, 3 DR, 5 non-member, 4 none.
    int m_nCorpButton = 4;
    int m_nUserType = 0;  // USER_TYPE_MEMBER or USER_TYPE_GUEST
    CString m_strUserID;
    // For the statistics record of a sign-out to another brand.
    int m_nSignedInCorp = 0;
    int m_nLoginKind = 0;
};
