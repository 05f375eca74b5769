// The member form's rules: the login button and the two check boxes follow
// the edits, the saved sign-in is written, and the keys of the page.
#include "pages/account/dlg_page_login.h"

#include "foundation/code_tables.h"
#include "foundation/regsetting.h"
#include "shell/dlg_root.h"
#include "ui/session_flags.h"

void CDlgPageLogin::OnEnUpdateEdit() { updateLoginButtons(); }

void CDlgPageLogin::updateLoginButtons() {
    if (!m_btnLogin.GetSafeHwnd() || !m_checkSave.GetSafeHwnd() || !m_checkAuto.GetSafeHwnd()) return;
    const bool hasId = !editText(m_editID).IsEmpty();
    const bool hasPassword = !editText(m_editPwd).IsEmpty();
    m_btnLogin.setEnable(hasId && hasPassword ? TRUE : FALSE);
    const BOOL anyText = (hasId || hasPassword) ? TRUE : FALSE;
    if (anyText) {
        if (!m_checkSave.m_bEnabled && !m_checkSave.m_bChecked) m_checkSave.setCheck(1);
        if (!m_bDealerMode && !m_checkAuto.m_bEnabled && !m_checkAuto.m_bChecked) m_checkAuto.setCheck(1);
    } else {
        m_checkSave.setCheck(0);
        m_checkAuto.setCheck(0);
    }
    m_checkSave.setEnable(anyText);
    m_checkAuto.setEnable(anyText && !m_bDealerMode);
    m_staticCheckSave.m_bChecked = m_checkSave.m_bChecked;
    m_staticCheckAuto.m_bChecked = m_checkAuto.m_bChecked;
    m_staticCheckSave.Invalidate(FALSE);
    m_staticCheckAuto.Invalidate(FALSE);
}

void CDlgPageLogin::OnBnClickedCheckIdSave() {
    if (!m_checkSave.m_bChecked) {
        m_checkAuto.setCheck(0);
    } else if (m_bFirstSaveTick) {
        if (!m_bDealerMode) m_checkAuto.setCheck(1);
        m_bFirstSaveTick = FALSE;
    }
    m_staticCheckSave.m_bChecked = m_checkSave.m_bChecked;
    m_staticCheckAuto.m_bChecked = m_checkAuto.m_bChecked;
    m_staticCheckSave.Invalidate(FALSE);
    m_staticCheckAuto.Invalidate(FALSE);
}

void CDlgPageLogin::OnBnClickedCheckIdAuto() {
    if (m_checkAuto.m_bChecked) {
        m_checkSave.setCheck(1);
        m_bFirstSaveTick = FALSE;
    }
    m_staticCheckSave.m_bChecked = m_checkSave.m_bChecked;
    m_staticCheckAuto.m_bChecked = m_checkAuto.m_bChecked;
    m_staticCheckSave.Invalidate(FALSE);
    m_staticCheckAuto.Invalidate(FALSE);
}

// A label toggles its box first, as a click on the box would.
void CDlgPageLogin::OnClickedStaticCheckIdSave() {
    if (!m_checkSave.m_bEnabled) return;
    m_checkSave.setCheck(m_checkSave.m_bChecked ? 0 : 1);
    OnBnClickedCheckIdSave();
}

void CDlgPageLogin::OnClickedStaticCheckIdAuto() {
    if (!m_checkAuto.m_bEnabled) return;
    m_checkAuto.setCheck(m_checkAuto.m_bChecked ? 0 : 1);
    OnBnClickedCheckIdAuto();
}

void CDlgPageLogin::storeLoginInfo() {
    if (m_checkAuto.m_bChecked) m_checkSave.setCheck(1);
    CString id, password;
    if (!m_checkSave.m_bChecked && !m_checkAuto.m_bChecked) m_checkAuto.setCheck(0);
    if (m_checkSave.m_bChecked) {
        id = editText(m_editID);
        password = editText(m_editPwd);
    }
    // A hidden-mode account is never stored, nor anything for a guest.
    if (m_nUserType != USER_TYPE_MEMBER || m_bHiddenLogin) return;
    CRegSetting::setUserID(m_nCorp, id);
    CRegSetting::setUserInfo(m_nCorp, password);
    CRegSetting::setCheckedSave(m_nCorp, m_checkSave.m_bChecked ? 1 : 0);
    CRegSetting::setCheckedAuto(m_nCorp, m_checkAuto.m_bChecked ? 1 : 0);
}

void CDlgPageLogin::setWrongNoticeShown(BOOL shown) {
    m_mapSavedLogin[m_nCorp].nWrongNotice = shown ? 1 : 0;
    if (m_staticWrong.GetSafeHwnd()) m_staticWrong.ShowWindow(shown ? SW_SHOW : SW_HIDE);
}

void CDlgPageLogin::refreshBusyState() {
    CDlgRoot* r = root();
    if (!r) return;
    // The exit lock: the root's exit button stays disabled while waiting.
    // The root shows settings and sign-out for a signed-in user through its
    // own rule, which keeps them away while the hidden sign-in is up: this
    // runs for every message of the page, shown or not.
    r->enableTopButton(1, this, m_bWaiting ? FALSE : TRUE);
}

BOOL CDlgPageLogin::PreTranslateMessage(MSG* msg) {
    if (msg->message == WM_KEYDOWN && msg->wParam == VK_TAB) {
        CWnd* target = (::GetFocus() == m_editID.GetSafeHwnd()) ? static_cast<CWnd*>(&m_editPwd) : &m_editID;
        if (target->GetSafeHwnd()) {
            target->SetFocus();
            ::SendMessageW(target->GetSafeHwnd(), EM_SETSEL, 0, -1);
        }
        return TRUE;
    }
    if (msg->message == WM_KEYDOWN && msg->wParam == VK_F1 && (GetKeyState(VK_SHIFT) & 0x8000) &&
        (GetKeyState(VK_CONTROL) & 0x8000)) {
        CDlgRoot* r = root();
        if (r && !r->m_nTitleButtons && CRegSetting::getRegion() != REGION_KR) {
            m_bAllBrands = TRUE;
            setLoginKind(CORP_TS, USER_TYPE_MEMBER, TRUE);
            Invalidate(FALSE);
            applyFonts();
            layoutControls();
        }
        return TRUE;
    }
    if (msg->message == WM_SYSKEYDOWN && msg->wParam == VK_F4 && m_bWaiting) return TRUE;
    refreshBusyState();
    return CBaseChildDialog::PreTranslateMessage(msg);
}
