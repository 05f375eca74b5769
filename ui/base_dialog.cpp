#include "ui/base_dialog.h"

#include "foundation/code_tables.h"
#include "foundation/globalfunc.h"
#include "foundation/logmanager.h"
#include "foundation/program_strings.h"
#include "foundation/registered_messages.h"
#include "foundation/regsetting.h"
#include "resources/resource.h"
#include "ui/base_helpers.h"
#include "ui/font_cache.h"
#include "ui/gdi_func.h"
#include "ui/memory_canvas.h"
#include "ui/key_rules.h"
#include "ui/session_flags.h"
#include "ui/title_bar_layout.h"
#include "ui/view_state.h"
#include "webclient/api_endpoints.h"

using base_helpers::releaseBitmap;

namespace {

constexpr COLORREF HEADER_TEXT_COLOUR = 0xBEB9B4;
constexpr COLORREF FOOTER_COLOUR = 0x5D534B;
constexpr COLORREF FOOTER_TEXT_COLOUR = 0xF2F0EF;
constexpr int ALIGN_NEAR = 0, ALIGN_CENTRE = 1, ALIGN_FAR = 2;

void drawAt(Gdiplus::Graphics& g, Gdiplus::Bitmap* image, int x, int y) {
    if (image) g.DrawImage(image, x, y, static_cast<INT>(image->GetWidth()), static_cast<INT>(image->GetHeight()));
}

int centredTop(Gdiplus::Bitmap* image) { return (title_bar::HEADER_HEIGHT - static_cast<int>(image->GetHeight())) / 2; }

}  // namespace

BEGIN_MESSAGE_MAP(CBaseDialog, CDialog)
    ON_WM_ERASEBKGND()
    ON_WM_NCHITTEST()
    ON_WM_SIZE()
    ON_WM_SYSCOMMAND()
    ON_BN_CLICKED(IDC_BUTTON_GUIDE, &CBaseDialog::OnBnClickedButtonGuide)
    ON_BN_CLICKED(IDC_BUTTON_MINI, &CBaseDialog::OnBnClickedButtonMini)
END_MESSAGE_MAP()

CBaseDialog::CBaseDialog(CWnd* parent) : CDialog(IDD_BASE_DIALOG, parent) {}

CBaseDialog::~CBaseDialog() {
    releaseBitmap(m_pImgBackground);
    releaseBitmap(m_pImgLogo);
    releaseBitmap(m_pImgSeparator);
    releaseBitmap(m_pImgUser);
    releaseBitmap(m_pImgGlobe);
}

int CBaseDialog::getViewStatus() const { return VIEW_STATE_NONE; }

int CBaseDialog::pushViewPage(int, BOOL) { return 0; }
void CBaseDialog::pullViewPage() {}
void CBaseDialog::enableTopButton(int, CWnd*, BOOL) {}

BOOL CBaseDialog::allowsHiddenMode() const {
    int view = getViewStatus();
    return m_nTitleButtons && (view == VIEW_STATE_CAR_REG || view == VIEW_STATE_CAR_CHANGE);
}

BOOL CBaseDialog::OnInitDialog() {
    CDialog::OnInitDialog();
    ModifyStyle(WS_CAPTION | WS_THICKFRAME, 0);
    ModifyStyleEx(WS_EX_DLGMODALFRAME | WS_EX_CLIENTEDGE, 0);
    SetWindowPos(nullptr, 0, 0, m_nWidth, m_nHeight, SWP_NOMOVE | SWP_NOZORDER);
    loadImages();
    return TRUE;
}

void CBaseDialog::loadImages() {
    base_helpers::reloadBitmap(m_pImgBackground, IDB_ROOT_BACKGROUND);
    struct Slot {
        CPngButton& button;
        UINT id;
        UINT image;
        bool visible;
    } slots[] = {
        {m_btnConfig, IDC_BUTTON_CONFIG, IDB_BUTTON_CONFIG, false},
        {m_btnGuide, IDC_BUTTON_GUIDE, IDB_BUTTON_GUIDE, true},
        {m_btnMini, IDC_BUTTON_MINI, IDB_BUTTON_MINI, true},
        {m_btnExit, IDC_BUTTON_EXIT, IDB_BUTTON_EXIT, true},
        {m_btnLogout, IDC_BUTTON_LOGOUT, IDB_BUTTON_LOGOUT, false},
    };
    for (Slot& s : slots) {
        if (!s.button.GetSafeHwnd()) {
            DWORD style = WS_CHILD | BS_OWNERDRAW | (s.visible ? WS_VISIBLE : 0);
            if (!s.button.Create(L"", style, CRect(0, 0, 0, 0), this, s.id)) {
                LOG_WRITE(L"[ERR] title button %u not created", s.id);
                continue;
            }
        }
        s.button.setImage(s.image);
    }
    base_helpers::reloadBitmap(m_pImgLogo, IDB_LOGO_NONE);
    m_nLogoId = IDB_LOGO_NONE;
    base_helpers::reloadBitmap(m_pImgUser, IDB_USER_ICON);
    base_helpers::reloadBitmap(m_pImgSeparator, IDB_SEPARATOR);
    base_helpers::reloadBitmap(m_pImgGlobe, IDB_GLOBE);
    layoutTitleButtons();
}

void CBaseDialog::layoutTitleButtons() {
    if (!GetSafeHwnd()) return;
    CRect client;
    GetClientRect(&client);
    CPngButton* buttons[title_bar::BUTTON_COUNT] = {&m_btnExit, &m_btnMini, &m_btnGuide, &m_btnConfig, &m_btnLogout};
    std::array<title_bar::ButtonSlot, title_bar::BUTTON_COUNT> slots{};
    for (int i = 0; i < title_bar::BUTTON_COUNT; ++i) {
        if (!buttons[i]->GetSafeHwnd()) continue;
        CSize size = buttons[i]->getSize();
        slots[i].present = true;
        slots[i].size = {size.cx, size.cy};
    }
    auto places = title_bar::layoutButtons(client.Width(), slots, CGdiFunc::isArabic());
    for (int i = 0; i < title_bar::BUTTON_COUNT; ++i) {
        if (!places[i].placed) continue;
        buttons[i]->MoveWindow(places[i].x, places[i].y, slots[i].size.cx, slots[i].size.cy, TRUE);
    }
    Invalidate(TRUE);
}

void CBaseDialog::showTitleButtons(int flag) {
    m_nTitleButtons = flag;
    bool signedIn = flag && g_bSignedIn;
    if (signedIn) {
        if (m_btnConfig.GetSafeHwnd()) m_btnConfig.setImage(IDB_BUTTON_CONFIG_ON);
        if (m_btnGuide.GetSafeHwnd()) m_btnGuide.setImage(IDB_BUTTON_GUIDE);
        if (m_btnMini.GetSafeHwnd()) m_btnMini.setImage(IDB_BUTTON_MINI);
        if (m_btnExit.GetSafeHwnd()) m_btnExit.setImage(IDB_BUTTON_EXIT);
    }
    for (CPngButton* b : {&m_btnConfig, &m_btnLogout}) {
        if (b->GetSafeHwnd()) b->ShowWindow(signedIn ? SW_SHOW : SW_HIDE);
    }
    invalidateHeader();
}

void CBaseDialog::setTitle(const CString& text) {
    m_strTitle = text;
    m_strTitle.MakeLower();
    invalidateHeader();
}

void CBaseDialog::setSubTitle(const CString& text) {
    m_strSubTitle = text;
    invalidateHeader();
}

void CBaseDialog::invalidateHeader() {
    if (!GetSafeHwnd()) return;
    CRect client;
    GetClientRect(&client);
    CRect band(0, 0, client.Width(), title_bar::HEADER_HEIGHT);
    InvalidateRect(&band, TRUE);
}

void CBaseDialog::addOrRemoveListItem(PageList* list, void* item, int mode) {
    if (!list || !item) return;
    if (mode == 0) {
        for (void* p : *list) {
            if (p == item) return;
        }
        list->push_back(item);
    } else if (mode == 1) {
        list->remove(item);
    }
}

void CBaseDialog::releaseLogo() {
    releaseBitmap(m_pImgLogo);
    m_nLogoId = 0;
}

// The logo follows brand, language and region; it is read again only when
// one of them changed or a page dropped it.
void CBaseDialog::loadLogo() {
    UINT id = title_bar::logoImageId(g_strCorpCode, CGdiFunc::isArabic(), CRegSetting::getRegion());
    if (m_pImgLogo && id == m_nLogoId) return;
    base_helpers::reloadBitmap(m_pImgLogo, id);
    m_nLogoId = m_pImgLogo ? id : 0;
}

RECT CBaseDialog::buttonRect(CWnd& button) const { return base_helpers::childRect(m_hWnd, button.GetSafeHwnd()); }

void CBaseDialog::drawBackground(CDC* dc) {
    if (!dc || !GetSafeHwnd()) return;
    loadLogo();
    bool arabic = CGdiFunc::isArabic();
    CRect client;
    GetClientRect(&client);
    CMemoryCanvas canvas(dc->GetSafeHdc(), client.Width(), client.Height());
    if (!canvas.valid()) return;
    HDC mem = canvas.dc();
    SetBkMode(mem, TRANSPARENT);
    canvas.fill(0xFFFFFF);
    {
        Gdiplus::Graphics g(mem);
        g.SetSmoothingMode(Gdiplus::SmoothingModeNone);
        if (m_pImgBackground) {
            if (static_cast<int>(m_pImgBackground->GetWidth()) == m_nWidth &&
                static_cast<int>(m_pImgBackground->GetHeight()) == m_nHeight) {
                drawAt(g, m_pImgBackground, 0, 0);
            } else {
                CGdiFunc::drawNineSlice(&g, m_pImgBackground, m_nWidth, m_nHeight, 14, 14, 60, 30);
            }
        }
        if (m_pImgLogo) {
            CGdiFunc::drawImage(m_hWnd, &g, m_pImgLogo, 14, centredTop(m_pImgLogo),
                                static_cast<int>(m_pImgLogo->GetWidth()), static_cast<int>(m_pImgLogo->GetHeight()));
        }
        if (m_pImgSeparator) {
            int y = centredTop(m_pImgSeparator);
            if (m_btnGuide.GetSafeHwnd() && m_btnGuide.IsWindowVisible()) {
                RECT guide = buttonRect(m_btnGuide);
                drawAt(g, m_pImgSeparator, guide.left - 20, y);
                drawAt(g, m_pImgSeparator, guide.right + 20, y);
            }
            if (g_bSignedIn) {
                drawAt(g, m_pImgSeparator, title_bar::separatorBeforeX(buttonRect(m_btnConfig), arabic), y);
                if (m_pImgUser) {
                    RECT logout = buttonRect(m_btnLogout);
                    drawAt(g, m_pImgSeparator, title_bar::separatorBeforeX(logout, arabic), y);
                    drawAt(g, m_pImgUser, title_bar::userIconX(logout, static_cast<int>(m_pImgUser->GetWidth()), arabic),
                           centredTop(m_pImgUser));
                }
            }
        }
        if (!g_bSignedIn && m_pImgGlobe && m_btnGuide.GetSafeHwnd()) {
            CString name = getRegionName(CRegSetting::getRegion());
            auto place = title_bar::regionNamePlace(buttonRect(m_btnGuide), name.GetLength(),
                                                    CRegSetting::getLastUserCorp() == CORP_LV, arabic);
            drawAt(g, m_pImgGlobe, place.globeX, centredTop(m_pImgGlobe));
        }
    }
    drawHeaderTexts(mem, arabic);

    RECT footer = {0, m_nHeight - title_bar::FOOTER_HEIGHT, client.Width(), m_nHeight};
    base_helpers::fillSolid(mem, footer, FOOTER_COLOUR);
    CString version;
    if (!LogManager::getFileVersion(version)) version = L"0.0.0";
    CString versionText;
    versionText.Format(L"%s %s", L"Version", version.GetString());
    // Latin strings read left to right even under Arabic; a right-to-left
    // flag would swap near and far on Windows and lay one over the other.
    const auto versionAt = title_bar::versionPlace(client.Width(), m_nHeight, arabic);
    const auto rightsAt = title_bar::rightsPlace(client.Width(), m_nHeight, arabic);
    CGdiFunc::drawLeftToRightText(mem, versionAt.box, versionText, g_strFontFace, 12, FALSE, FOOTER_TEXT_COLOUR,
                                  versionAt.align);
    CGdiFunc::drawLeftToRightText(mem, rightsAt.box, title_bar::RIGHTS_NOTICE, g_strFontFace, 10, FALSE,
                                  FOOTER_TEXT_COLOUR, rightsAt.align);

    canvas.copyTo(dc->GetSafeHdc());
}

void CBaseDialog::drawHeaderTexts(HDC dc, bool arabic) {
    if (g_bSignedIn) {
        RECT logout = buttonRect(m_btnLogout), config = buttonRect(m_btnConfig);
        bool guest = CRegSetting::getLastUserType() == USER_TYPE_GUEST;
        // A guest sees the second text, a member the first; whichever is
        // drawn clears the other for good.
        if ((guest || m_strTitle.IsEmpty()) && !m_strSubTitle.IsEmpty()) {
            CGdiFunc::drawText(dc, title_bar::subTitleRect(logout, config, arabic), m_strSubTitle, g_strFontFace, 12,
                               FALSE, HEADER_TEXT_COLOUR, ALIGN_CENTRE);
            m_strTitle.Empty();
        }
        if (!m_strTitle.IsEmpty()) {
            CGdiFunc::drawText(dc, title_bar::titleRect(logout, config, arabic), m_strTitle, g_strFontFace, 11, FALSE,
                               HEADER_TEXT_COLOUR, ALIGN_CENTRE);
            m_strSubTitle.Empty();
        }
        return;
    }
    if (!m_btnGuide.GetSafeHwnd()) return;
    CString name = getRegionName(CRegSetting::getRegion());
    auto place = title_bar::regionNamePlace(buttonRect(m_btnGuide), name.GetLength(),
                                            CRegSetting::getLastUserCorp() == CORP_LV, arabic);
    CGdiFunc::drawText(dc, place.text, name, g_strFontFace, 14, FALSE, HEADER_TEXT_COLOUR,
                       place.alignFar ? ALIGN_FAR : ALIGN_NEAR);
}

BOOL CBaseDialog::OnEraseBkgnd(CDC*) { return FALSE; }

LRESULT CBaseDialog::OnNcHitTest(CPoint point) {
    CPoint client = point;
    ScreenToClient(&client);
    CRect rect;
    GetClientRect(&rect);
    if (client.y >= 0 && client.y < title_bar::HEADER_HEIGHT && client.x >= 0 && client.x < rect.right) {
        return HTCAPTION;
    }
    return CDialog::OnNcHitTest(point);
}

void CBaseDialog::OnSize(UINT type, int cx, int cy) {
    CDialog::OnSize(type, cx, cy);
    m_nWidth = cx;
    m_nHeight = cy;
    SetWindowRgn(nullptr, TRUE);
    layoutTitleButtons();
}

void CBaseDialog::OnSysCommand(UINT id, LPARAM lParam) {
    if ((id & 0xFFF0) == SC_CLOSE) {
        ShowWindow(SW_SHOWNORMAL);
        base_helpers::postToMainWindow(RWM_SEND_STATICS);
        return;
    }
    CDialog::OnSysCommand(id, lParam);
}

void CBaseDialog::OnCancel() { base_helpers::postToMainWindow(RWM_SEND_STATICS); }

BOOL CBaseDialog::PreTranslateMessage(MSG* msg) {
    switch (key_rules::classify(msg)) {
        case key_rules::KEY_SWALLOW:
            return TRUE;
        case key_rules::KEY_EXIT_REQUEST:
            base_helpers::postToMainWindow(RWM_SEND_STATICS);
            return TRUE;
        case key_rules::KEY_HIDDEN_MODE:
            if (m_nTitleButtons) {
                base_helpers::postToMainWindow(RWM_SEND_STATICS_HIDDEN);
                return TRUE;
            }
            break;
        case key_rules::KEY_PASS:
            break;
    }
    return CDialog::PreTranslateMessage(msg);
}

void CBaseDialog::OnBnClickedButtonGuide() { CGlobalFunc::openUrl(getWebPageUrl(WEB_PAGE_UPDATE_GUIDE)); }

void CBaseDialog::OnBnClickedButtonMini() { ShowWindow(SW_SHOWMINIMIZED); }
