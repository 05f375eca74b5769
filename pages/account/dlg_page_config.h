#pragma once
// Settings page (view VIEW_STATE_CONFIG): stand-in; the checks answer what a
// test set.
#include "pages/account/placeholder_page.h"

class CDlgPageConfig : public CPlaceholderPage {
public:
    explicit CDlgPageConfig(CBaseDialog* root);

    BOOL checkLanguageCodeFromServer(BOOL force);
    // 0 the folder can be the download folder, 1 its drive cannot, 2 the
    // folder cannot.
    int checkPathType(const CString& path);
    void loadSettings();

    BOOL m_bLanguageCheckResult = TRUE;
    int m_nPathType = 0;
};
