#include "shell/dlg_root.h"

#include "foundation/logmanager.h"
#include "foundation/registered_messages.h"
#include "foundation/regsetting.h"
#include "pages/account/dlg_conf_msg.h"
#include "pages/account/dlg_hidden.h"
#include "pages/account/dlg_hidden_pwd.h"
#include "pages/account/dlg_info_image_popup.h"
#include "pages/account/dlg_info_popup.h"
#include "pages/account/dlg_join_msg.h"
#include "pages/account/dlg_page_config.h"
#include "pages/account/dlg_page_login.h"
#include "pages/vehicle/dlg_car_change.h"
#include "pages/vehicle/dlg_car_finish.h"
#include "pages/vehicle/dlg_car_reg.h"
#include "pages/vehicle/dlg_car_update.h"
#include "resources/resource.h"
#include "shell/dlg_page_message.h"
#include "shell/dlg_page_message_exit.h"
#include "shell/dlg_page_message_for_config.h"
#include "shell/message_types.h"
#include "ui/base_helpers.h"
#include "ui/view_state.h"
#include "webclient/notice_parser.h"

namespace {

constexpr UINT_PTR ROOT_TIMER = 777;
constexpr int ROOT_WIDTH = 900;
constexpr int ROOT_HEIGHT = 680;
// A notice record copied for the UI thread (lParam owns it).
constexpr UINT UM_ROOT_SHOW_NOTICES = WM_APP + 0x119;

// Buttons of the root template that are never shown.
constexpr UINT IDC_HIDDEN_CHANGE_LANGUAGE = 1;
constexpr UINT IDC_HIDDEN_1520 = 1520;
constexpr UINT IDC_HIDDEN_1521 = 1521;
constexpr UINT IDC_HIDDEN_1522 = 1522;
constexpr UINT IDC_HIDDEN_1524 = 1524;
constexpr UINT IDC_HIDDEN_USB_OVER = 1526;

template <class Page>
void destroyPage(Page*& page) {
    if (!page) return;
    if (page->GetSafeHwnd()) page->DestroyWindow();
    delete page;
    page = nullptr;
}

}  // namespace

BEGIN_MESSAGE_MAP(CDlgRoot, CBaseDialog)
    ON_WM_PAINT()
    ON_WM_GETMINMAXINFO()
    ON_WM_TIMER()
    ON_WM_DESTROY()
    ON_MESSAGE(UM_ROOT_SHOW_NOTICES, &CDlgRoot::OnShowNotices)
    ON_REGISTERED_MESSAGE(RWM_MESSAGE_RESULT, &CDlgRoot::OnRegisteredMessage_MessageResult)
    ON_BN_CLICKED(IDC_BUTTON_EXIT, &CDlgRoot::OnBnClickedButtonExit)
    ON_BN_CLICKED(IDC_BUTTON_LOGOUT, &CDlgRoot::OnBnClickedButtonLogout)
    ON_BN_CLICKED(IDC_BUTTON_CONFIG, &CDlgRoot::OnBnClickedButtonConfig)
    ON_BN_CLICKED(IDC_HIDDEN_CHANGE_LANGUAGE, &CDlgRoot::OnChangeLanguageButton)
    ON_BN_CLICKED(IDC_HIDDEN_1520, &CDlgRoot::OnHiddenButton)
    ON_BN_CLICKED(IDC_HIDDEN_1521, &CDlgRoot::OnHiddenButton)
    ON_BN_CLICKED(IDC_HIDDEN_1522, &CDlgRoot::OnHiddenButton)
    ON_BN_CLICKED(IDC_HIDDEN_1524, &CDlgRoot::OnHiddenButton)
    ON_BN_CLICKED(IDC_HIDDEN_USB_OVER, &CDlgRoot::OnUsbOverButton)
END_MESSAGE_MAP()

CDlgRoot::CDlgRoot(IShellFrame* mainFrame)
    : m_pMainFrame(mainFrame),
      m_eViewStatus(VIEW_STATE_NONE),
      m_eBaseViewStatus(VIEW_STATE_NONE),
      m_eBaseViewStatusOld(VIEW_STATE_NONE) {
    m_nWidth = ROOT_WIDTH;
    m_nHeight = ROOT_HEIGHT;
}

CDlgRoot::~CDlgRoot() {
    destroyPages();
    delete m_pMessagePages;
    m_pMessagePages = nullptr;
    base_helpers::releaseBitmap(m_pFallbackPicture);
    m_lang.clear();
    m_vecPageHistory.clear();
}

BOOL CDlgRoot::OnInitDialog() {
    CBaseDialog::OnInitDialog();
    SetWindowText(L"Kestrune");
    // The root stays a frameless popup that clips its pages; of the rest
    // only the system menu and the minimise box remain.
    LONG style = ::GetWindowLongW(m_hWnd, GWL_STYLE);
    LONG kept = style & (WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN | WS_MINIMIZE);
    ::SetWindowLongW(m_hWnd, GWL_STYLE, kept | WS_SYSMENU | WS_MINIMIZEBOX);
    HINSTANCE instance = AfxGetResourceHandle();
    HICON icon = ::LoadIconW(instance, MAKEINTRESOURCEW(IDR_MAINFRAME));
    if (icon) {
        SetIcon(icon, TRUE);
        SetIcon(icon, FALSE);
    }
    createPages();
    pushViewPage(VIEW_STATE_LOGIN, TRUE);
    SetTimer(ROOT_TIMER, 100, nullptr);
    return TRUE;
}

// Every page once, then their windows. Pooled message pages come later.
void CDlgRoot::createPages() {
    m_pPageLogin = new CDlgPageLogin(this);
    m_pPageConfig = new CDlgPageConfig(this);
    m_pPageConfMsg = new CDlgConfMsg(this);
    m_pPageCarReg = new CDlgCarReg(this);
    m_pPageCarChange = new CDlgCarChange(this);
    m_pPageCarUpdate = new CDlgCarUpdate(this);
    m_pPageCarFinish = new CDlgCarFinish(this);
    m_pPageInfoPopup = new CDlgInfoPopup(this);
    m_pPageInfoImagePopup = new CDlgInfoImagePopup(this);
    m_pPageJoinMsg = new CDlgJoinMsg(this);
    m_pPageHidden = new CDlgHidden(this);
    m_pPageHiddenPWD = new CDlgHiddenPWD(this);
    m_pPageExit = new CDlgPageMessageExit(this);
    m_pPageMsgForConfig = new CDlgPageMessageForConfig(this);

    struct Window {
        CDialog* page;
        UINT templateId;
    } windows[] = {
        {m_pPageMsgForConfig, IDD_PAGE_MESSAGE_FOR_CONFIG},
        {m_pPageExit, IDD_PAGE_MESSAGE_EXIT},
        {m_pPageLogin, IDD_PAGE_LOGIN},
        {m_pPageConfig, IDD_PAGE_CONFIG},
        {m_pPageConfMsg, IDD_CONF_MSG},
        {m_pPageCarReg, IDD_CAR_REG},
        {m_pPageCarChange, IDD_CAR_CHANGE},
        {m_pPageCarUpdate, IDD_CAR_UPDATE},
        {m_pPageCarFinish, IDD_CAR_FINISH},
        {m_pPageInfoPopup, IDD_INFO_POPUP},
        {m_pPageInfoImagePopup, IDD_INFO_IMAGE_POPUP},
        {m_pPageJoinMsg, IDD_JOIN_MSG},
        {m_pPageHidden, IDD_HIDDEN},
        {m_pPageHiddenPWD, IDD_HIDDEN_PWD},
    };
    for (const Window& w : windows) {
        if (!w.page->Create(w.templateId, this)) LOG_WRITE(L"[ERR] page window %u not created", w.templateId);
    }
}

void CDlgRoot::destroyPages() {
    destroyPage(m_pPageLogin);
    destroyPage(m_pPageConfig);
    destroyPage(m_pPageConfMsg);
    destroyPage(m_pPageCarReg);
    destroyPage(m_pPageCarChange);
    destroyPage(m_pPageCarUpdate);
    destroyPage(m_pPageCarFinish);
    destroyPage(m_pPageInfoImagePopup);
    destroyPage(m_pPageInfoPopup);
    destroyPage(m_pPageJoinMsg);
    destroyPage(m_pPageHidden);
    destroyPage(m_pPageHiddenPWD);
    destroyPage(m_pPageExit);
    destroyPage(m_pPageMsgForConfig);
    if (m_pMessagePages) {
        for (CDlgPageMessage*& page : *m_pMessagePages) destroyPage(page);
        m_pMessagePages->clear();
    }
    m_pCurPage = nullptr;
    m_pCurMessagePage = nullptr;
    m_pShownMessagePage = nullptr;
    m_vecPageHistory.clear();
}

void CDlgRoot::OnPaint() {
    CPaintDC dc(this);
    drawBackground(&dc);
}

// Alt+F4 aimed at the root while the login page shows goes nowhere; every
// other key takes the base's rules (Enter, Esc and Space dropped, the exit
// request, the hidden-mode door).
BOOL CDlgRoot::PreTranslateMessage(MSG* msg) {
    if (msg->message == WM_SYSKEYDOWN && msg->wParam == VK_F4 && m_pPageLogin &&
        m_pCurPage == static_cast<CBaseChildDialog*>(m_pPageLogin)) {
        return TRUE;
    }
    return CBaseDialog::PreTranslateMessage(msg);
}

void CDlgRoot::OnGetMinMaxInfo(MINMAXINFO* info) {
    info->ptMaxSize.x = ROOT_WIDTH;
    info->ptMaxSize.y = ROOT_HEIGHT;
    Default();
}

void CDlgRoot::OnTimer(UINT_PTR) { Default(); }

BOOL CDlgRoot::allowsHiddenMode() const {
    if (!m_nTitleButtons || !m_pCurPage) return FALSE;
    return m_pCurPage == static_cast<CBaseChildDialog*>(m_pPageCarReg) ||
           m_pCurPage == static_cast<CBaseChildDialog*>(m_pPageCarChange);
}

BOOL CDlgRoot::isConfigPageCurrent() const {
    return m_pPageConfig && m_pCurPage == static_cast<CBaseChildDialog*>(m_pPageConfig);
}

BOOL CDlgRoot::isLoginPageCurrent() const {
    return m_pPageLogin && m_pCurPage == static_cast<CBaseChildDialog*>(m_pPageLogin);
}

void CDlgRoot::setFinishResult(InfInfo* entry, char drive) {
    if (m_pPageCarFinish && entry) m_pPageCarFinish->setResult(entry, static_cast<wchar_t>(drive));
}

void CDlgRoot::showNotices(const stNoticeResult& notice) {
    auto* copy = new stNoticeResult(notice);
    if (!GetSafeHwnd() || !::PostMessageW(m_hWnd, UM_ROOT_SHOW_NOTICES, 0, reinterpret_cast<LPARAM>(copy))) {
        delete copy;
    }
}

LRESULT CDlgRoot::OnShowNotices(WPARAM, LPARAM lParam) {
    std::unique_ptr<stNoticeResult> notice(reinterpret_cast<stNoticeResult*>(lParam));
    if (!notice) return 0;
    CBaseChildDialog* pages[] = {m_pPageCarReg, m_pPageCarChange, m_pPageCarUpdate, m_pPageCarFinish};
    for (CBaseChildDialog* page : pages) {
        if (page) page->updateNotice(notice.get());
    }
    return 0;
}

// Notices still on their way own their records.
void CDlgRoot::OnDestroy() {
    MSG msg;
    while (::PeekMessageW(&msg, m_hWnd, UM_ROOT_SHOW_NOTICES, UM_ROOT_SHOW_NOTICES, PM_REMOVE)) {
        delete reinterpret_cast<stNoticeResult*>(msg.lParam);
    }
    KillTimer(ROOT_TIMER);
    Default();
}

void CDlgRoot::OnBnClickedButtonLogout() { OnResetSession(); }

void CDlgRoot::OnHiddenButton() {}

// Stores the other of the first two UI languages; no window is told.
void CDlgRoot::OnChangeLanguageButton() { CRegSetting::setLanguage(CRegSetting::getLanguage() == 1 ? 2 : 1); }

void CDlgRoot::OnUsbOverButton() {
    CDlgPageMessage* page = getMessagePage(SERVER_ERROR_NONE);
    if (!page) return;
    page->setMessageType(SERVER_ERROR_USB_OVER, this);
    pushViewPage(VIEW_STATE_MESSAGE, TRUE);
}

void CDlgRoot::sendToPages(UINT message) {
    for (HWND child = ::GetWindow(m_hWnd, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        CWnd* wnd = CWnd::FromHandlePermanent(child);
        if (wnd && dynamic_cast<CBaseChildDialog*>(wnd)) ::SendMessageW(child, message, 0, 0);
    }
}
