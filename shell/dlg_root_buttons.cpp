// The title buttons' rules: settings and logout follow the transfer and the
// region, exit follows the pages' exit locks.
#include "shell/dlg_root.h"

#include "foundation/regsetting.h"
#include "pages/account/dlg_hidden_pwd.h"
#include "shell/shell_engine.h"
#include "ui/session_flags.h"

BOOL CDlgRoot::isRestrictedRegion(int region, int corp) {
    switch (region) {
        case 3: case 5: case 6: case 7: case 9: case 12:
            return TRUE;
        case 11:
            return corp == 1 || corp == 3;
        default:
            return FALSE;
    }
}

void CDlgRoot::showSignedInButtons() {
    if (!g_bSignedIn) return;
    // The hidden sign-in keeps both away for as long as it is up, whoever
    // refreshes the title buttons meanwhile.
    if (m_pCurPage && m_pCurPage == static_cast<CBaseChildDialog*>(m_pPageHiddenPWD)) return;
    if (m_btnConfig.GetSafeHwnd()) m_btnConfig.ShowWindow(SW_SHOW);
    if (m_btnLogout.GetSafeHwnd()) m_btnLogout.ShowWindow(SW_SHOW);
}

// Enabled exactly while no page holds an exit lock.
void CDlgRoot::refreshExitButton() {
    if (!m_btnExit.GetSafeHwnd()) return;
    m_btnExit.setEnable(exitLocks().empty() ? TRUE : FALSE);
    m_btnExit.Invalidate(FALSE);
}

void CDlgRoot::enableTopButton(int kind, CWnd* page, BOOL enable) {
    if (kind == 2 && isRestrictedRegion(CRegSetting::getRegion(), m_nCorp)) enable = FALSE;
    if (!page) return;
    switch (kind) {
        case 0:
            if (m_btnConfig.GetSafeHwnd()) m_btnConfig.setEnable(enable);
            break;
        case 1:
            addOrRemoveListItem(&exitLocks(), page, enable ? 1 : 0);
            break;
        case 2:
            if (m_btnLogout.GetSafeHwnd()) m_btnLogout.setEnable(enable);
            break;
        default:
            break;
    }
    showSignedInButtons();
    refreshExitButton();
}

BOOL CDlgRoot::updateTopButtons() {
    if (!m_pMainFrame) return FALSE;
    BOOL enable = TRUE;
    if (!m_bTransferIdle) {
        IShellEngine& engine = shellEngine();
        enable = (engine.isDownloadActive() || engine.isCopyActive() || m_bUpdateHeld == 1) ? FALSE : TRUE;
    }
    enableTopButton(0, this, enable);
    if (m_btnLogout.GetSafeHwnd()) {
        m_btnLogout.setEnable(enable && !isRestrictedRegion(CRegSetting::getRegion(), m_nCorp));
    }
    showSignedInButtons();
    refreshExitButton();
    return TRUE;
}
