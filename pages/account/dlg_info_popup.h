#pragma once
// Web guide popup page (view VIEW_STATE_INFO_POPUP): stand-in.
#include "pages/account/placeholder_page.h"

class CDlgInfoPopup : public CPlaceholderPage {
public:
    explicit CDlgInfoPopup(CBaseDialog* root);
};
