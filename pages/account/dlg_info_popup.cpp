#include "pages/account/dlg_info_popup.h"

#include "afx/dc.h"
#include "foundation/code_tables.h"
#include "foundation/logmanager.h"
#include "foundation/private_messages.h"
#include "foundation/registered_messages.h"
#include "foundation/regsetting.h"
#include "resources/resource.h"
#include "ui/base_dialog.h"
#include "ui/dlang.h"
#include "ui/font_cache.h"
#include "ui/gdi_func.h"
#include "ui/lang_library.h"
#include "ui/memory_canvas.h"
#include "ui/text_ids.h"
#include "ui/view_state.h"

#include <algorithm>

namespace {

constexpr COLORREF kBody = RGB(255, 255, 255);
constexpr COLORREF kTitle = RGB(93, 99, 105);
constexpr COLORREF kCheckText = RGB(166, 173, 180);
constexpr UINT kCoverId = 0xFFFF;
// The box notifies on the button's press and toggles on its release: the
// label follows once the release has been handled.
constexpr UINT kFollowCheck = WM_APP + 0x123;

void place(CWnd* parent, CWnd& control, const web_guide::Rect& r) {
    if (control.GetSafeHwnd()) CDLang::moveWnd(parent, &control, r.x, r.y, r.w, r.h, 2);
}

}  // namespace

IMPLEMENT_DYNAMIC(CDlgInfoPopup, CDialog)

BEGIN_MESSAGE_MAP(CDlgInfoPopup, CBaseChildDialog)
    ON_WM_CREATE()
    ON_WM_SHOWWINDOW()
    ON_WM_PAINT()
    ON_WM_ERASEBKGND()
    ON_BN_CLICKED(IDOK, &CDlgInfoPopup::OnBnClickedOk)
    ON_BN_CLICKED(IDC_STATIC_TITLE1, &CDlgInfoPopup::OnLabelClicked)
    ON_BN_CLICKED(IDC_CHECK_SHOW30, &CDlgInfoPopup::OnCheckClicked)
    ON_MESSAGE(UM_GUIDE_SHOW, &CDlgInfoPopup::OnGuideShow)
    ON_MESSAGE(UM_GUIDE_SHOW_PAGE, &CDlgInfoPopup::OnGuideShowPage)
    ON_REGISTERED_MESSAGE(RWM_CHANGE_LANGUAGE, &CDlgInfoPopup::OnChangeLanguage)
    ON_MESSAGE(kFollowCheck, &CDlgInfoPopup::OnFollowCheck)
END_MESSAGE_MAP()

CDlgInfoPopup::CDlgInfoPopup(CBaseDialog* root) : CBaseChildDialog(IDD_INFO_POPUP, root) {
    m_ePageViewStatus = VIEW_STATE_NONE;
}

CDlgInfoPopup::~CDlgInfoPopup() = default;

void CDlgInfoPopup::DoDataExchange(CDataExchange* dx) {
    CBaseChildDialog::DoDataExchange(dx);
    DDX_Control(dx, IDOK, m_btnOk);
    DDX_Control(dx, IDC_CHECK_SHOW30, m_chkShow);
    DDX_Control(dx, IDC_STATIC_TITLE1, m_staticLabel);
}

int CDlgInfoPopup::OnCreate(LPCREATESTRUCT create) {
    const int result = CBaseChildDialog::OnCreate(create);
    if (result == -1) return result;
    // Laid over the panel until its document is complete.
    if (!m_cover.Create(L"", WS_CHILD | WS_VISIBLE | SS_CENTER, CRect(0, 0, 0, 0), this, kCoverId)) {
        LOG_WRITE(L"[ERR] web guide cover not created");
    }
    return result;
}

BOOL CDlgInfoPopup::OnInitDialog() {
    CBaseChildDialog::OnInitDialog();
    const web_guide::Rect b = web_guide::browserRect();
    if (!m_browser.Create(WS_VISIBLE, CRect(b.x, b.y, b.x + b.w, b.y + b.h), this, web_guide::kBrowserId)) {
        LOG_WRITE(L"[ERR] web guide panel not created");
    }
    setupControls();
    m_bActive = 0;
    return TRUE;
}

void CDlgInfoPopup::setupControls() {
    MoveWindow(0, 60, 900, 590, TRUE);
    if (m_staticLabel.GetSafeHwnd()) m_staticLabel.m_nStyle = 17;
    if (m_chkShow.GetSafeHwnd()) {
        m_chkShow.setText(CString(), 14, FALSE, 0);
        m_chkShow.m_bChecked = m_chkShow.m_bChecked ? TRUE : FALSE;
    }
    const int show = web_guide::hasCheckBox(m_nGuideType) ? SW_SHOW : SW_HIDE;
    if (m_chkShow.GetSafeHwnd()) m_chkShow.ShowWindow(show);
    if (m_staticLabel.GetSafeHwnd()) m_staticLabel.ShowWindow(show);
    if (m_btnOk.GetSafeHwnd()) m_btnOk.SetFont(CFontCache::getFont(22), FALSE);
    if (m_chkShow.GetSafeHwnd()) m_chkShow.SetFont(CFontCache::getFont(16), FALSE);
    if (m_staticLabel.GetSafeHwnd()) m_staticLabel.SetFont(CFontCache::getFont(16), FALSE);
    followCheck();
    applyTexts();

    CRect client;
    GetClientRect(&client);
    const int w = client.Width(), h = client.Height();
    place(this, m_btnOk, web_guide::okRect(w, h));
    place(this, m_browser, web_guide::browserRect());
    // The label takes the width its text needs in bold, up to the OK
    // button, and a second line beyond that: the fixed box would cut the
    // sentence in the longer languages.
    web_guide::CheckRow row{web_guide::checkRect(h),
                            web_guide::labelRect(h, CRegSetting::getLastUserCorp(), CRegSetting::getLanguage())};
    if (m_staticLabel.GetSafeHwnd()) {
        CString text;
        m_staticLabel.GetWindowText(text);
        const BOOL bold = m_staticLabel.m_bBold;
        m_staticLabel.m_bBold = TRUE;
        row = web_guide::fitCheckRow(row.box, row.label, m_staticLabel.measureText(text).cx,
                                     web_guide::okRect(w, h).x);
        m_staticLabel.m_bBold = bold;
    }
    place(this, m_chkShow, row.box);
    place(this, m_staticLabel, row.label);
}

void CDlgInfoPopup::applyTexts() {
    if (m_btnOk.GetSafeHwnd()) m_btnOk.setText(CLangLibrary::loadLangString(IDS_MSG_USB_REMOVE_FAIL_OK), 16, 400);
    if (m_chkShow.GetSafeHwnd()) m_chkShow.m_textColor = kCheckText;
    if (m_staticLabel.GetSafeHwnd()) {
        m_staticLabel.SetWindowText(CLangLibrary::loadLangString(12146));
        m_staticLabel.m_bgColor = kBody;
        m_staticLabel.Invalidate(FALSE);
    }
    if (m_browser.GetSafeHwnd()) {
        m_browser.setTexts(CLangLibrary::loadLangString(IDS_WEB_GUIDE_PANEL_TEXT),
                           CLangLibrary::loadLangString(IDS_WEB_GUIDE_LINK));
    }
}

// The label is bold exactly while the box is ticked.
void CDlgInfoPopup::followCheck() {
    if (!m_staticLabel.GetSafeHwnd() || !m_chkShow.GetSafeHwnd()) return;
    m_staticLabel.setFontStyle(16, m_chkShow.m_bChecked ? TRUE : FALSE);
    m_staticLabel.Invalidate(FALSE);
}

BOOL CDlgInfoPopup::buildGuideUrl(int language) {
    setupControls();
    const int brand = CRegSetting::getLastUserCorp();
    const CString region = getRegionCode(CRegSetting::getRegion());
    const CString code =
        getLanguageCode(language == web_guide::kCurrentLanguage ? CRegSetting::getLanguage() : language);
    m_strGuideUrl = web_guide::guideAddress(m_nGuideType, brand, region, code);
    if (m_browser.GetSafeHwnd() && !m_strGuideUrl.IsEmpty()) {
        m_browser.m_bDocumentComplete = 0;
        m_browser.Navigate(m_strGuideUrl);
    } else if (m_browser.GetSafeHwnd()) {
        // No stale address of an earlier guide stays on the panel.
        m_browser.showAddress(CString());
    }
    return m_strGuideUrl.IsEmpty() ? FALSE : TRUE;
}

LRESULT CDlgInfoPopup::OnGuideShow(WPARAM wParam, LPARAM) {
    m_nGuideType = static_cast<int>(wParam);
    return buildGuideUrl(web_guide::kCurrentLanguage);
}

LRESULT CDlgInfoPopup::OnGuideShowPage(WPARAM wParam, LPARAM lParam) {
    m_nGuideType = static_cast<int>(wParam);
    return buildGuideUrl(static_cast<int>(lParam));
}

LRESULT CDlgInfoPopup::OnChangeLanguage(WPARAM, LPARAM) {
    buildGuideUrl(web_guide::kCurrentLanguage);
    Invalidate(FALSE);
    return 0;
}

BOOL CDlgInfoPopup::showPage(BOOL show) {
    if (show) {
        const int brand = CRegSetting::getLastUserCorp();
        if (web_guide::declines(m_nGuideType, CRegSetting::isCheckedSoftwareModelGuide(brand) != FALSE,
                                CRegSetting::isCheckedSystemUpdate(brand) != FALSE)) {
            if (GetSafeHwnd()) ShowWindow(SW_HIDE);
            m_bShown = FALSE;
            return FALSE;
        }
    }
    m_browser.m_bDocumentComplete = 0;
    m_bShown = show ? TRUE : FALSE;
    if (GetSafeHwnd()) ShowWindow(show ? SW_SHOW : SW_HIDE);
    return TRUE;
}

BOOL CDlgInfoPopup::initPage() { return 1; }

void CDlgInfoPopup::leave(web_guide::Route route) {
    CBaseDialog* root = getRootDlg();
    switch (route) {
        case web_guide::Route::CAR_CHANGE:
            if (root) root->pushViewPage(VIEW_STATE_CAR_CHANGE, TRUE);
            break;
        case web_guide::Route::BACK:
            if (root) root->pullViewPage();
            break;
        case web_guide::Route::FINISH:
            // The next guide starts from the software-model guide again.
            SendMessage(UM_GUIDE_SHOW_PAGE, 0, web_guide::kCurrentLanguage);
            if (root) root->pushViewPage(VIEW_STATE_CAR_FINISH, TRUE);
            break;
    }
}

void CDlgInfoPopup::skipPage() { leave(web_guide::routeOf(m_nGuideType)); }

void CDlgInfoPopup::OnOK() { OnBnClickedOk(); }

void CDlgInfoPopup::OnBnClickedOk() {
    m_bActive = 0;
    const int brand = CRegSetting::getLastUserCorp();
    const BOOL checked = m_chkShow.m_bChecked ? TRUE : FALSE;
    const web_guide::Route route = web_guide::routeOf(m_nGuideType);
    if (route == web_guide::Route::CAR_CHANGE) {
        CRegSetting::setCheckedSoftwareModelGuide(brand, checked);
        if (checked) m_chkShow.m_bChecked = FALSE;
        followCheck();
        leave(route);
    } else if (route == web_guide::Route::BACK) {
        ShowWindow(SW_HIDE);
        leave(route);
        CRegSetting::setCheckedSystemUpdate(brand, checked);
        m_chkShow.m_bChecked = FALSE;
        followCheck();
    } else {
        leave(route);
    }
}

void CDlgInfoPopup::OnLabelClicked() {
    if (!m_chkShow.GetSafeHwnd()) return;
    m_chkShow.m_bChecked = m_chkShow.m_bChecked ? FALSE : TRUE;
    m_chkShow.Invalidate(FALSE);
    followCheck();
}

// The box toggles itself.
void CDlgInfoPopup::OnCheckClicked() { followCheck(); }

LRESULT CDlgInfoPopup::OnFollowCheck(WPARAM, LPARAM) {
    followCheck();
    return 0;
}

BOOL CDlgInfoPopup::PreTranslateMessage(MSG* msg) {
    if (msg->message == WM_LBUTTONUP && msg->hwnd == m_chkShow.GetSafeHwnd()) PostMessage(kFollowCheck);
    if (msg->message == WM_KEYDOWN && msg->wParam == VK_RETURN) {
        OnBnClickedOk();
        return TRUE;
    }
    return CBaseChildDialog::PreTranslateMessage(msg);
}

void CDlgInfoPopup::OnShowWindow(BOOL show, UINT status) {
    m_browser.m_bDocumentComplete = 0;
    CBaseChildDialog::OnShowWindow(show, status);
    if (!show) return;
    applyTexts();
    if (m_btnOk.GetSafeHwnd()) {
        m_btnOk.setImage(web_guide::okImageId(CRegSetting::getLastUserCorp(), CRegSetting::getRegion()));
    }
    if (CBaseDialog* root = getRootDlg()) {
        root->enableTopButton(0, this, TRUE);
        root->enableTopButton(2, this, TRUE);
    }
    m_bActive = 1;
    buildGuideUrl(web_guide::kCurrentLanguage);
}

BOOL CDlgInfoPopup::OnEraseBkgnd(CDC*) { return TRUE; }

void CDlgInfoPopup::OnPaint() {
    CPaintDC dc(this);
    CRect client;
    GetClientRect(&client);
    if (m_browser.GetSafeHwnd() && m_cover.GetSafeHwnd()) {
        if (!m_browser.m_bDocumentComplete) {
            CRect area;
            m_browser.GetWindowRect(&area);
            ScreenToClient(&area);
            m_cover.MoveWindow(area, FALSE);
            m_cover.ShowWindow(SW_SHOW);
        } else {
            m_cover.ShowWindow(SW_HIDE);
        }
    }
    CMemoryCanvas canvas(dc.GetSafeHdc(), client.Width(), client.Height());
    if (!canvas.valid()) return;
    canvas.fill(kBody);
    const RECT title = {0, 0, client.Width(), 65};
    CGdiFunc::drawText(canvas.dc(), title, CLangLibrary::loadLangString(web_guide::titleTextId(m_nGuideType)),
                       g_strFontFace, 22, FALSE, kTitle, 1);
    canvas.copyTo(dc.GetSafeHdc());
}
