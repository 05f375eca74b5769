#include "pages/account/dlg_info_popup.h"

#include "resources/resource.h"
#include "ui/view_state.h"

CDlgInfoPopup::CDlgInfoPopup(CBaseDialog* root) : CPlaceholderPage(IDD_INFO_POPUP, root, L"CDlgInfoPopup", VIEW_STATE_INFO_POPUP) {}
