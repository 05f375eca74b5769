#pragma once
// Vehicle search and change page (view VIEW_STATE_CAR_CHANGE): stand-in.
#include "pages/account/placeholder_page.h"

class CDlgCarChange : public CPlaceholderPage {
public:
    explicit CDlgCarChange(CBaseDialog* root);
};
