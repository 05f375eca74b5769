#include "pages/account/dlg_hidden_pwd.h"

#include "foundation/regsetting.h"
#include "foundation/registered_messages.h"
#include "foundation/private_messages.h"
#include "pages/account/dlg_page_login.h"
#include "pages/account/web_guide_rules.h"
#include "resources/resource.h"
#include "shell/dlg_root.h"
#include "ui/dlang.h"
#include "ui/font_cache.h"
#include "ui/gdi_func.h"
#include "ui/lang_library.h"
#include "ui/memory_canvas.h"
#include "ui/session_flags.h"
#include "ui/view_state.h"

namespace {

constexpr COLORREF kBody = RGB(255, 255, 255);
constexpr COLORREF kFieldText = RGB(93, 99, 105);
constexpr COLORREF kLabel = RGB(144, 150, 156);
constexpr int kTitleText = 12576;
constexpr int kOkText = 12174;
// While a sign-in started here runs: the fields come back when it ends.
constexpr UINT_PTR kLoginWatch = 1;

}  // namespace

IMPLEMENT_DYNAMIC(CDlgHiddenPWD, CDialog)

BEGIN_MESSAGE_MAP(CDlgHiddenPWD, CBaseChildDialog)
    ON_WM_PAINT()
    ON_WM_ERASEBKGND()
    ON_BN_CLICKED(IDOK, &CDlgHiddenPWD::OnBnClickedOk)
    ON_WM_CLOSE()
    ON_WM_TIMER()
    ON_REGISTERED_MESSAGE(RWM_CHANGE_LANGUAGE, &CDlgHiddenPWD::OnChangeLanguage)
END_MESSAGE_MAP()

CDlgHiddenPWD::CDlgHiddenPWD(CBaseDialog* root) : CBaseChildDialog(IDD_HIDDEN_PWD, root) {
    m_ePageViewStatus = VIEW_STATE_HIDDEN_PWD;
}

CDlgHiddenPWD::~CDlgHiddenPWD() {
    if (CDlgRoot* r = root()) r->m_lang.removeDlg(VIEW_STATE_HIDDEN_PWD);
}

CDlgRoot* CDlgHiddenPWD::root() const { return CDlgRoot::of(getRootDlg()); }

void CDlgHiddenPWD::DoDataExchange(CDataExchange* dx) {
    CBaseChildDialog::DoDataExchange(dx);
    DDX_Control(dx, IDC_STATIC_TITLE, m_staticTitle);
    DDX_Control(dx, IDOK, m_btnOk);
    DDX_Control(dx, IDC_EDIT_ID, m_editID);
    DDX_Control(dx, IDC_EDIT_PWD, m_editPwd);
}

BOOL CDlgHiddenPWD::OnInitDialog() {
    CBaseChildDialog::OnInitDialog();
    MoveWindow(0, 60, 900, 590, TRUE);
    initFields();
    refreshTexts();
    placeControls();
    applyFonts();
    return TRUE;
}

void CDlgHiddenPWD::initFields() {
    for (CEditPlaceholderText* field : {&m_editID, &m_editPwd}) {
        if (!field->GetSafeHwnd()) continue;
        field->m_placeholderColor = kFieldText;
        field->m_borderColor = 0;
        field->m_strPlaceholder = L" ";
        field->SendMessage(EM_LIMITTEXT, 255, 0);
        field->m_pEnterTarget = this;
        field->m_bBlockIme = TRUE;
    }
    if (m_editPwd.GetSafeHwnd()) m_editPwd.SendMessage(EM_SETPASSWORDCHAR, L'*', 0);
    if (m_editID.GetSafeHwnd()) m_editID.SetFocus();
    if (m_editPwd.GetSafeHwnd()) m_editPwd.SetFocus();
}

void CDlgHiddenPWD::refreshTexts() {
    if (m_staticTitle.GetSafeHwnd()) m_staticTitle.SetWindowText(CLangLibrary::loadLangString(kTitleText));
    if (m_btnOk.GetSafeHwnd()) m_btnOk.setText(CLangLibrary::loadLangString(kOkText), 16, 400);
}

void CDlgHiddenPWD::applyFonts() {
    if (m_btnOk.GetSafeHwnd()) m_btnOk.SetFont(CFontCache::getFont(20), FALSE);
    if (m_staticTitle.GetSafeHwnd()) {
        m_staticTitle.SetFont(CFontCache::getFont(20), FALSE);
        m_staticTitle.setFontStyle(20, FALSE);
        m_staticTitle.m_nStyle = 0x2 | 0x10;
        m_staticTitle.Invalidate(FALSE);
    }
    for (CEditPlaceholderText* field : {&m_editID, &m_editPwd})
        if (field->GetSafeHwnd()) field->SetFont(CFontCache::getFont(16), FALSE);
}

void CDlgHiddenPWD::placeControls() {
    CRect client;
    GetClientRect(&client);
    if (m_staticTitle.GetSafeHwnd()) CDLang::moveWnd(this, &m_staticTitle, 200, 150, 500, 90, 2);
    if (m_editID.GetSafeHwnd()) CDLang::moveWnd(this, &m_editID, 300, 250, 350, 25, 2);
    if (m_editPwd.GetSafeHwnd()) CDLang::moveWnd(this, &m_editPwd, 300, 300, 350, 25, 2);
    if (m_btnOk.GetSafeHwnd()) {
        CDLang::moveWnd(this, &m_btnOk, client.Width() / 2 - 100, client.Height() - 170, 200, 50, 2);
    }
}

BOOL CDlgHiddenPWD::initPage() {
    if (m_btnOk.GetSafeHwnd()) {
        m_btnOk.setImage(web_guide::okImageId(CRegSetting::getLastUserCorp(), CRegSetting::getRegion()));
    }
    return TRUE;
}

BOOL CDlgHiddenPWD::showPage(BOOL show) {
    if (!show) {
        m_bShown = FALSE;
        if (GetSafeHwnd()) {
            ShowWindow(SW_HIDE);
            SendMessage(UM_CLOSE_DROPDOWN, 0, 0);
        }
        return TRUE;
    }
    CDlgRoot* r = root();
    if (r) {
        r->enableTopButton(0, this, FALSE);
        r->enableTopButton(2, this, FALSE);
    }
    refreshTexts();
    m_bShown = TRUE;
    if (GetSafeHwnd()) ShowWindow(SW_SHOW);
    // Neither settings nor sign-out while this page is up.
    if (r && g_bSignedIn) {
        if (r->m_btnConfig.GetSafeHwnd()) r->m_btnConfig.ShowWindow(SW_HIDE);
        if (r->m_btnLogout.GetSafeHwnd()) r->m_btnLogout.ShowWindow(SW_HIDE);
    }
    if (m_editPwd.GetSafeHwnd()) m_editPwd.EnableWindow(TRUE);
    return TRUE;
}

void CDlgHiddenPWD::OnBnClickedOk() {
    CString id, password;
    m_editID.GetWindowText(id);
    m_editPwd.GetWindowText(password);
    if (id.IsEmpty()) {
        m_editID.SetFocus();
        return;
    }
    if (password.IsEmpty()) {
        m_editPwd.SetFocus();
        return;
    }
    CDlgRoot* r = root();
    CDlgPageLogin* login = r ? r->m_pPageLogin : nullptr;
    // One sign-in at a time: the login page refuses a second one itself,
    // and the fields of this page stay as the running one left them.
    if (login && (login->isWorkerRunning() || login->m_bWaiting)) return;
    m_editID.EnableWindow(FALSE);
    m_editPwd.EnableWindow(FALSE);
    m_btnOk.m_bHover = m_btnOk.m_bPressed = FALSE;
    m_btnOk.setEnable(FALSE);
    if (r) {
        r->m_hHiddenRequester = m_hWnd;
        r->m_bHiddenHandOver = 1;
    }
    if (login) login->loginWithIdPassword(id, password);
    m_btnOk.setEnable(TRUE);
    SetTimer(kLoginWatch, 100, nullptr);
}

// The fields come back once the sign-in has ended, whatever its result.
void CDlgHiddenPWD::OnTimer(UINT_PTR id) {
    if (id != kLoginWatch) {
        CBaseChildDialog::OnTimer(id);
        return;
    }
    CDlgRoot* r = root();
    CDlgPageLogin* login = r ? r->m_pPageLogin : nullptr;
    if (login && (login->isWorkerRunning() || login->m_bWaiting)) return;
    KillTimer(kLoginWatch);
    m_editID.EnableWindow(TRUE);
    m_editPwd.EnableWindow(TRUE);
}

// The root closes the requester after a successful sign-in: the page only
// hides, so that view 109 can open again.
void CDlgHiddenPWD::OnClose() {
    m_bShown = FALSE;
    ShowWindow(SW_HIDE);
}

LRESULT CDlgHiddenPWD::OnChangeLanguage(WPARAM, LPARAM) {
    refreshTexts();
    applyFonts();
    placeControls();
    if (m_editPwd.GetSafeHwnd()) {
        m_editPwd.SetFocus();
        m_editPwd.Invalidate(FALSE);
    }
    return 0;
}

BOOL CDlgHiddenPWD::OnEraseBkgnd(CDC*) { return TRUE; }

void CDlgHiddenPWD::OnPaint() {
    CPaintDC paint(this);
    CRect client;
    GetClientRect(&client);
    CMemoryCanvas canvas(paint.GetSafeHdc(), client.Width(), client.Height());
    if (!canvas.valid()) return;
    canvas.fill(kBody);
    // One line each, left of its field; "PASSWORD" needs a little more
    // than the field's 100-pixel margin, so the boxes start 20 pixels
    // further left.
    const RECT id = {180, 250, 296, 275};
    const RECT password = {180, 300, 296, 325};
    CGdiFunc::drawTextInWnd(m_hWnd, canvas.dc(), id, L"ID", g_strFontFace, 16, FALSE, kLabel, 0);
    CGdiFunc::drawTextInWnd(m_hWnd, canvas.dc(), password, L"PASSWORD", g_strFontFace, 16, FALSE, kLabel, 0);
    canvas.copyTo(paint.GetSafeHdc());
}
