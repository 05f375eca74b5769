#include "pages/account/dlg_page_login.h"

#include "resources/resource.h"
#include "ui/view_state.h"

BOOL g_bGuestLogin = FALSE;

CDlgPageLogin::CDlgPageLogin(CBaseDialog* root)
    : CPlaceholderPage(IDD_PAGE_LOGIN, root, L"CDlgPageLogin", VIEW_STATE_LOGIN) {
    m_ePageViewStatus = VIEW_STATE_LOGIN;
}

void CDlgPageLogin::focusPassword() { recordCall(L"focusPassword"); }

void CDlgPageLogin::loadSavedLoginInfo(int corp) {
    CString entry;
    entry.Format(L"loadSavedLoginInfo(%d)", corp);
    recordCall(entry);
}

void CDlgPageLogin::matchLastVehicle() { recordCall(L"matchLastVehicle"); }

void CDlgPageLogin::OnBnClickedButtonNnTs() {
    recordCall(L"OnBnClickedButtonNnTs");
    g_bGuestLogin = TRUE;
}

void CDlgPageLogin::OnBnClickedButtonNnLv() {
    recordCall(L"OnBnClickedButtonNnLv");
    g_bGuestLogin = TRUE;
}

void CDlgPageLogin::OnBnClickedButtonNnDr() {
    recordCall(L"OnBnClickedButtonNnDr");
    g_bGuestLogin = TRUE;
}

void CDlgPageLogin::resetPage() {
    recordCall(L"resetPage");
    m_nCorpButton = 4;
    g_bGuestLogin = FALSE;
}

void CDlgPageLogin::selectBrand(int corp) {
    CString entry;
    entry.Format(L"selectBrand(%d)", corp);
    recordCall(entry);
    m_nCorp = corp;
}
