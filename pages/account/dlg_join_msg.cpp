#include "pages/account/dlg_join_msg.h"

#include "resources/resource.h"
#include "ui/view_state.h"

CDlgJoinMsg::CDlgJoinMsg(CBaseDialog* root) : CPlaceholderPage(IDD_JOIN_MSG, root, L"CDlgJoinMsg", VIEW_STATE_JOIN_MSG) {}
