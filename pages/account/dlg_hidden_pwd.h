#pragma once
// Hidden-mode sign-in page (view VIEW_STATE_HIDDEN_PWD): stand-in.
#include "pages/account/placeholder_page.h"

class CDlgHiddenPWD : public CPlaceholderPage {
public:
    explicit CDlgHiddenPWD(CBaseDialog* root);
};
