#include "pages/account/dlg_conf_msg.h"

#include "resources/resource.h"
#include "ui/view_state.h"

CDlgConfMsg::CDlgConfMsg(CBaseDialog* root) : CPlaceholderPage(IDD_CONF_MSG, root, L"CDlgConfMsg", VIEW_STATE_CAR_CONFIG) {}
