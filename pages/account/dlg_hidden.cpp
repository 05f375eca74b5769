#include "pages/account/dlg_hidden.h"

#include "foundation/private_messages.h"
#include "resources/resource.h"
#include "ui/view_state.h"

CDlgHidden::CDlgHidden(CBaseDialog* root) : CPlaceholderPage(IDD_HIDDEN, root, L"CDlgHidden", VIEW_STATE_HIDDEN) {}

LRESULT CDlgHidden::OnCheckComplete(WPARAM wParam, LPARAM lParam) {
    CString entry;
    entry.Format(L"OnCheckComplete(%d,%d)", static_cast<int>(wParam), static_cast<int>(lParam));
    recordCall(entry);
    return 0;
}

LRESULT CDlgHidden::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == UM_CHECK_COMPLETE) return OnCheckComplete(wParam, lParam);
    return CPlaceholderPage::WindowProc(message, wParam, lParam);
}
