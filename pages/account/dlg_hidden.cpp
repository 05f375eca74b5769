#include "pages/account/dlg_hidden.h"

#include "foundation/private_messages.h"
#include "resources/resource.h"
#include "ui/view_state.h"

BEGIN_MESSAGE_MAP(CDlgHidden, CPlaceholderPage)
    ON_MESSAGE(UM_CHECK_COMPLETE, OnCheckComplete)
END_MESSAGE_MAP()

CDlgHidden::CDlgHidden(CBaseDialog* root) : CPlaceholderPage(IDD_HIDDEN, root, L"CDlgHidden", VIEW_STATE_HIDDEN) {}

LRESULT CDlgHidden::OnCheckComplete(WPARAM wParam, LPARAM lParam) {
    CString entry;
    entry.Format(L"OnCheckComplete(%d,%d)", static_cast<int>(wParam), static_cast<int>(lParam));
    recordCall(entry);
    return 0;
}
