// The report of the vehicle-data consents in region KR. The UI thread
// captures every value (the login page's user, the session's brand, the
// stored answers) so that the worker reads nothing the UI may be changing.
#include "shell/dlg_root.h"

#include "foundation/code_tables.h"
#include "foundation/program_strings.h"
#include "foundation/regsetting.h"
#include "pages/account/dlg_page_login.h"
#include "shell/scan/consent_report.h"
#include "ui/session_flags.h"

namespace {

UserPrivateReport captureReport(CDlgRoot& root) {
    // The report carries the client GUID: have one before it is read.
    if (root.m_pMainFrame) root.m_pMainFrame->requestGUID();
    return UserPrivateReport::capture(root.m_pPageLogin ? root.m_pPageLogin->m_strUserID : CString(), g_strCorpCode);
}

}  // namespace

void CDlgRoot::startUserPrivateThread() {
    if (CRegSetting::getRegion() != REGION_KR) return;
    ::startUserPrivateThread(captureReport(*this));
}

UINT CDlgRoot::UserPrivateThread(LPVOID param) { return ::UserPrivateThread(param); }

int CDlgRoot::requestUserPrivate() {
    if (CRegSetting::getRegion() != REGION_KR) return 0;
    return ::requestUserPrivate(captureReport(*this));
}
