#include "pages/account/dlg_hidden_pwd.h"

#include "resources/resource.h"
#include "ui/view_state.h"

CDlgHiddenPWD::CDlgHiddenPWD(CBaseDialog* root) : CPlaceholderPage(IDD_HIDDEN_PWD, root, L"CDlgHiddenPWD", VIEW_STATE_HIDDEN_PWD) {
    m_ePageViewStatus = VIEW_STATE_HIDDEN_PWD;
}
