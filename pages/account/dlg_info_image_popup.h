#pragma once
// Image guide popup page (view VIEW_STATE_INFO_IMAGE_POPUP): stand-in.
#include "pages/account/placeholder_page.h"

class CDlgInfoImagePopup : public CPlaceholderPage {
public:
    explicit CDlgInfoImagePopup(CBaseDialog* root);
};
