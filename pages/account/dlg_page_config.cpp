#include "pages/account/dlg_page_config.h"

#include "resources/resource.h"
#include "ui/view_state.h"

CDlgPageConfig::CDlgPageConfig(CBaseDialog* root)
    : CPlaceholderPage(IDD_PAGE_CONFIG, root, L"CDlgPageConfig", VIEW_STATE_CONFIG) {
    m_ePageViewStatus = VIEW_STATE_CONFIG;
}

BOOL CDlgPageConfig::checkLanguageCodeFromServer(BOOL force) {
    CString entry;
    entry.Format(L"checkLanguageCodeFromServer(%d)", force ? 1 : 0);
    recordCall(entry);
    return m_bLanguageCheckResult;
}

int CDlgPageConfig::checkPathType(const CString& path) {
    recordCall(L"checkPathType(" + path + L")");
    return m_nPathType;
}

void CDlgPageConfig::loadSettings() { recordCall(L"loadSettings"); }
