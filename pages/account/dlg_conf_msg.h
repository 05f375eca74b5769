#pragma once
// Terms page (view VIEW_STATE_CAR_CONFIG): stand-in holding the two consent
// states the root and the settings page pass through it.
#include "pages/account/placeholder_page.h"

class CDlgConfMsg : public CPlaceholderPage {
public:
    explicit CDlgConfMsg(CBaseDialog* root);

    int m_nTermsRegion = 99;  // 99: no region picked for the form
    int m_nConsent1 = 0;      // 1 agreed, 0 not
    int m_nConsent2 = 0;
};
