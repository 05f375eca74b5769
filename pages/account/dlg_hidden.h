#pragma once
// Hidden bulk-download page (view VIEW_STATE_HIDDEN): stand-in that records
// the end of the pre-check.
#include "pages/account/placeholder_page.h"

class CDlgHidden : public CPlaceholderPage {
public:
    explicit CDlgHidden(CBaseDialog* root);

    // UM_CHECK_COMPLETE.
    LRESULT OnCheckComplete(WPARAM wParam, LPARAM lParam);

protected:
    DECLARE_MESSAGE_MAP()
};
