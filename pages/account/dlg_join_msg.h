#pragma once
// Sign-up notice page (view VIEW_STATE_JOIN_MSG): stand-in.
#include "pages/account/placeholder_page.h"

class CDlgJoinMsg : public CPlaceholderPage {
public:
    explicit CDlgJoinMsg(CBaseDialog* root);
};
