// The login page's look: controls, fonts, texts, the layouts of
// login_layout and the painting. Paint draws from state; what it must start
// (a pending sign-up brand) it posts.
#include "pages/account/dlg_page_login.h"

#include "foundation/code_tables.h"
#include "foundation/program_strings.h"
#include "foundation/regsetting.h"
#include "pages/account/login_texts.h"
#include "resources/resource.h"
#include "shell/dlg_root.h"
#include "shell/scan/picture_static.h"
#include "ui/dlang.h"
#include "ui/edit_ctrl.h"
#include "ui/font_cache.h"
#include "ui/gdi_func.h"
#include "ui/lang_library.h"
#include "ui/memory_canvas.h"
#include "ui/view_state.h"

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBand = RGB(0xEF, 0xF0, 0xF2);
constexpr COLORREF kWrongText = RGB(0xEB, 0x1A, 0x1A);
constexpr COLORREF kLabelText = RGB(0xA6, 0xAC, 0xB4);
constexpr COLORREF kTitleText = RGB(0x7A, 0x7F, 0x85);
constexpr COLORREF kLinkHover = RGB(0x5E, 0x6C, 0x7D);
constexpr UINT kCheckSkin = 325;

void showIf(CWnd& w, bool show) {
    if (!w.GetSafeHwnd()) return;
    // Only a change: showing or hiding inside a paint would paint again.
    if ((w.IsWindowVisible() != FALSE) != show) w.ShowWindow(show ? SW_SHOW : SW_HIDE);
}

void fillRect(HDC dc, const RECT& rect, COLORREF colour) {
    HBRUSH brush = ::CreateSolidBrush(colour);
    ::FillRect(dc, &rect, brush);
    ::DeleteObject(brush);
}

// Width of one line of text at a size, with the padding GDI+ adds at both
// ends of a drawn string.
int textWidth(const CString& text, int size) {
    HDC screen = ::GetDC(nullptr);
    if (!screen) return 0;
    int width = 0;
    {
        Gdiplus::Graphics graphics(screen);
        Gdiplus::FontFamily* family = CGdiFunc::familyOf(g_strFontFace);
        Gdiplus::Font font(family, static_cast<Gdiplus::REAL>(size), Gdiplus::FontStyleRegular, Gdiplus::UnitPixel);
        const Gdiplus::RectF bounds = CGdiFunc::measureText(&graphics, &font, text);
        width = static_cast<int>(bounds.Width) + size / 3 + 4;
        if (!CGdiFunc::isSharedFamily(family)) delete family;
    }
    ::ReleaseDC(nullptr, screen);
    return width;
}

// The largest size from `size` down at which two lines of the face fit
// `height` pixels.
int twoLineSize(int size, int height) {
    Gdiplus::FontFamily* family = CGdiFunc::familyOf(g_strFontFace);
    if (!family) return size;
    const double em = family->GetEmHeight(Gdiplus::FontStyleRegular);
    const double spacing = family->GetLineSpacing(Gdiplus::FontStyleRegular);
    if (em > 0) {
        while (size > 8 && 2.0 * size * spacing / em > height) --size;
    }
    if (!CGdiFunc::isSharedFamily(family)) delete family;
    return size;
}

}  // namespace

LoginLayoutInput CDlgPageLogin::layoutInput() const {
    LoginLayoutInput in;
    in.region = CRegSetting::getRegion();
    CDlgRoot* r = root();
    in.rootCorp = r ? r->m_nCorp : m_nCorp;
    in.corp = m_nCorp;
    in.language = CRegSetting::getLanguage();
    in.allBrands = m_bAllBrands != FALSE;
    in.dealer = m_bDealerMode != FALSE;
    in.titleTwoLines = m_bTitleTwoLines != FALSE;
    return in;
}

void CDlgPageLogin::initControls() {
    const std::pair<CPngButton*, UINT> strips[] = {
        {&m_btnTs, IDB_LOGIN_TS},       {&m_btnDr, IDB_LOGIN_DR},       {&m_btnLv, IDB_LOGIN_LV},
        {&m_btnNn, IDB_LOGIN_NN},       {&m_btnNnTs, IDB_LOGIN_NN_TS}, {&m_btnNnDr, IDB_LOGIN_NN_DR},
        {&m_btnNnLv, IDB_LOGIN_NN_LV},  {&m_btnLogin, IDB_LOGIN_BUTTON_DR},
        {&m_btnLoginNm, IDB_BUTTON_CANCEL_STRIP}, {&m_checkSave, kCheckSkin}, {&m_checkAuto, kCheckSkin},
    };
    // The check boxes' strip has seven frames, the checked ones included:
    // the count is set before the strip, which reads it.
    // Their template text (a tab) is no caption: the labels beside them
    // carry the words.
    for (CPngButton* box : {&m_checkSave, &m_checkAuto}) {
        box->m_nFrameCount = 7;
        box->m_bNoCaption = TRUE;
    }
    for (const auto& s : strips) {
        if (s.first->GetSafeHwnd()) s.first->setImage(s.second);
    }
    for (CWnd* w : std::initializer_list<CWnd*>{&m_btnNnTs, &m_btnNnLv, &m_btnNnDr, &m_staticWrong,
                                                &m_staticLoading1, &m_staticLoading2}) {
        if (w->GetSafeHwnd()) w->ShowWindow(SW_HIDE);
    }
    if (m_editID.GetSafeHwnd()) {
        m_editID.SetLimitText(255);
        m_editID.m_pEnterTarget = this;
    }
    if (m_editPwd.GetSafeHwnd()) {
        m_editPwd.SetLimitText(255);
        m_editPwd.SetPasswordChar(L'*');
        m_editPwd.m_pEnterTarget = this;
    }
    const bool arabic = CRegSetting::getLanguage() == LANGUAGE_AR;
    for (CEditPlaceholderText* e : {&m_editID, &m_editPwd}) {
        if (!e->GetSafeHwnd()) continue;
        // The reading order of the language: right-aligned for Arabic.
        e->ModifyStyle(arabic ? ES_LEFT : ES_RIGHT, arabic ? ES_RIGHT : ES_LEFT);
    }
    for (CEdit* f : {&m_editIDFrame, &m_editPwdFrame}) {
        if (f->GetSafeHwnd()) f->EnableWindow(FALSE);
    }
    m_staticLoading1.m_nStyle |= 0x2;
    m_staticLoading2.m_nStyle |= 0x2;
    m_staticWrong.m_textColor = kWrongText;
    m_staticTitle.m_textColor = kTitleText;
    m_staticTitle2.m_textColor = kTitleText;
    // The titles lie on a band in both layouts that show them, centred as
    // the band's emblem and the column's captions are.
    for (CStaticEx* title : {&m_staticTitle, &m_staticTitle2}) {
        title->m_bgColor = kBand;
        title->m_nStyle |= 0x2;
    }
    for (CPngWithTextButton* label : {&m_staticCheckSave, &m_staticCheckAuto}) label->m_textColor = kLabelText;
    for (CPngWithTextButton* link : {&m_linkFind, &m_linkJoin}) {
        link->m_textColor = kLabelText;
        link->m_linkColor = kLabelText;
        link->m_linkHoverColor = m_bDealerMode ? kLabelText : kLinkHover;
    }
    if (!m_pEmblem) m_pEmblem = CGdiFunc::loadPngResource(IDB_LOGIN_EMBLEM);
    if (!m_pNnBack) m_pNnBack = CGdiFunc::loadPngResource(IDB_LOGIN_NN_BACK);
    if (!m_pSpare) m_pSpare = CGdiFunc::loadPngResource(IDB_LOGIN_SPARE);
    if (!m_pDealerMark) m_pDealerMark = CGdiFunc::loadPngResource(IDB_LOGIN_DEALER_MARK);
    layoutCheckTexts();
    applyFonts();
    showBrandPicture(CRegSetting::getLastUserCorp());
}

void CDlgPageLogin::applyFonts() {
    m_staticLoading1.setFontStyle(20, TRUE);
    m_staticLoading2.setFontStyle(20, TRUE);
    for (CEditPlaceholderText* e : {&m_editID, &m_editPwd}) {
        if (e->GetSafeHwnd()) e->SetFont(CFontCache::getFont(16), FALSE);
    }
    m_staticWrong.setFontStyle(16, FALSE);
    m_linkFind.m_nTextSize = 16;
    m_linkJoin.m_nTextSize = 16;
    m_btnDealer.m_nTextSize = dealerButtonStyle(layoutInput().rootCorp).fontSize;
    // A skinned button draws its caption in its window's font; the caption
    // size it keeps is not read by the drawing.
    for (CPngButton* b : {&m_btnLogin, &m_btnLoginNm, &m_btnTs, &m_btnLv, &m_btnDr, &m_btnNn}) {
        b->m_nCaptionSize = 22;
        if (b->GetSafeHwnd()) b->SetFont(CFontCache::getFont(22), FALSE);
    }
    for (CPngButton* b : {&m_checkSave, &m_checkAuto}) {
        if (b->GetSafeHwnd()) b->SetFont(CFontCache::getFont(16), FALSE);
    }
    int titleSize = 16;
    if (CRegSetting::getRegion() != REGION_KR && !m_bDealerMode) {
        titleSize = CRegSetting::getLanguage() == LANGUAGE_KO ? 15 : 22;
        if (m_bAllBrands) titleSize = 16;
        m_staticTitle2.m_bgColor = kBand;
    }
    // A two-line title keeps both lines inside its static.
    if (m_bTitleTwoLines) {
        const LoginPlacement* title = findPlacement(loginLayout(layoutInput()), IDC_STATIC_TITLE_LINE2);
        if (title && !title->hidden) titleSize = twoLineSize(titleSize, title->cy);
    }
    m_staticTitle.setFontStyle(titleSize, FALSE);
    m_staticTitle2.setFontStyle(titleSize, FALSE);
}

void CDlgPageLogin::loadTexts() {
    auto text = [](int id) { return CLangLibrary::loadLangString(id); };
    m_btnTs.setText(text(kTextBrandTs), 22, 0);
    m_btnLv.setText(text(kTextBrandLv), 22, 0);
    m_btnDr.setText(text(kTextBrandDr), 22, 0);
    m_btnNn.setText(text(kTextGuest), 22, 0);
    m_editID.m_strPlaceholder = text(kTextIdHint);
    m_editPwd.m_strPlaceholder = text(kTextPasswordHint);
    m_staticCheckSave.setText(text(kTextSaveId), 16, FALSE, 7);
    m_staticCheckAuto.setText(text(kTextAutoLogin), 16, FALSE, 7);
    m_btnLogin.setText(text(kTextLogin), 22, 0);
    m_btnLoginNm.setText(text(kTextLoginGuest), 22, 0);
    m_linkJoin.setText(text(kTextJoin), 16, FALSE, 5);
    m_linkFind.setText(text(kTextFindAccount), 16, FALSE, 5);
    if (m_staticLoading1.GetSafeHwnd()) m_staticLoading1.SetWindowText(text(kTextLoading));
    if (m_staticWrong.GetSafeHwnd()) m_staticWrong.SetWindowText(text(kTextWrongIdPassword));
    m_btnDealer.setText(L"Dealer Login", 16, FALSE, 7);

    const int region = CRegSetting::getRegion();
    const CString title = loginTitleText(text(kTextTitle), region, CRegSetting::getLanguage());
    m_bTitleTwoLines = loginTitleHasTwoLines(title, region, CRegSetting::getLanguage()) ? TRUE : FALSE;
    if (!m_staticTitle.GetSafeHwnd() || !m_staticTitle2.GetSafeHwnd()) return;
    if (title.Find(L'\n') > 0) {
        m_staticTitle2.SetWindowText(title);
        m_staticTitle2.ShowWindow(SW_SHOW);
        m_staticTitle.SetWindowText(CString());
        // Empty, it would only cover the band.
        m_staticTitle.ShowWindow(SW_HIDE);
    } else if (CRegSetting::getLanguage() == LANGUAGE_EN) {
        m_staticTitle2.SetWindowText(title);
        m_staticTitle2.ShowWindow(SW_SHOW);
        m_staticTitle.SetWindowText(CString());
        m_staticTitle.ShowWindow(SW_HIDE);
    } else {
        m_staticTitle.SetWindowText(title);
        m_staticTitle.ShowWindow(SW_SHOW);
        m_staticTitle2.SetWindowText(CString());
        m_staticTitle2.ShowWindow(SW_HIDE);
    }
    CDlgRoot* r = root();
    if (region == REGION_US || (region == REGION_RU && r && r->m_nCorp == CORP_LV)) {
        m_staticTitle.ShowWindow(SW_HIDE);
        m_staticTitle2.ShowWindow(SW_HIDE);
    }
}

void CDlgPageLogin::fitCheckText(CPngWithTextButton& label, const RECT& rect) {
    if (!label.GetSafeHwnd()) return;
    const CRect box(rect);
    const int lines = checkLabelTwoLines(CRegSetting::getLanguage()) ? 2 : 1;
    int size = getFitFontSize(&label, label.m_strCaption, 16, 0, 0, lines, box);
    if (size > 16 || size < 12) size = size < 0 ? 16 : (size > 16 ? 16 : 12);
    label.m_nTextSize = size;
    CDLang::moveWnd(this, &label, box.left, box.top, box.Width(), box.Height(), 2);
}

void CDlgPageLogin::layoutCheckTexts() {
    const LoginLayoutInput in = layoutInput();
    fitCheckText(m_staticCheckSave, checkLabelRect(in, true));
    fitCheckText(m_staticCheckAuto, checkLabelRect(in, false));
    // A long link text gets a smaller font; one that does not fit even at
    // 12 pixels gets a wider link.
    const auto rows = loginLayout(in);
    const LoginPlacement* findRow = findPlacement(rows, IDC_BUTTON_LINK_FIND_ACC_PWD);
    const LoginPlacement* joinRow = findPlacement(rows, IDC_BUTTON_LINK_USERJOIN);
    if (!findRow || !joinRow || !m_linkFind.GetSafeHwnd() || !m_linkJoin.GetSafeHwnd()) return;
    int needs[2] = {0, 0};
    CPngWithTextButton* links[2] = {&m_linkFind, &m_linkJoin};
    const LoginPlacement* rowsOf[2] = {findRow, joinRow};
    for (int i = 0; i < 2; ++i) {
        CPngWithTextButton* link = links[i];
        const CRect box(0, 0, rowsOf[i]->cx, rowsOf[i]->cy);
        const int size = getFitFontSize(link, link->m_strCaption, 16, 0, 0, 1, box);
        link->m_nTextSize = size < 0 ? 16 : (size < 12 ? 12 : size);
        needs[i] = size >= 12 ? 0 : textWidth(link->m_strCaption, link->m_nTextSize);
    }
    LoginPlacement find = *findRow, join = *joinRow;
    widenLinks(find, join, needs[0], needs[1], in.width);
    for (const LoginPlacement& p : {find, join}) {
        CDLang::moveWnd(m_hWnd, ::GetDlgItem(m_hWnd, static_cast<int>(p.id)), p.x, p.y, p.cx, p.cy, 2);
    }
    // "Dealer Login" starts at its brand's size and shrinks to its width.
    if (m_btnDealer.GetSafeHwnd()) {
        CRect box;
        m_btnDealer.GetClientRect(&box);
        const int start = dealerButtonStyle(layoutInput().rootCorp).fontSize;
        const int size = getFitFontSize(&m_btnDealer, m_btnDealer.m_strCaption, start, 0, 0, 1, box);
        m_btnDealer.m_nTextSize = size < 0 ? start : (size < 12 ? 12 : size);
    }
}

void CDlgPageLogin::layoutControls() {
    if (!GetSafeHwnd()) return;
    for (const LoginPlacement& p : loginLayout(layoutInput())) {
        HWND control = ::GetDlgItem(m_hWnd, static_cast<int>(p.id));
        if (!control) continue;
        CDLang::moveWnd(m_hWnd, control, p.x, p.y, p.cx, p.cy, 2);
        if (p.hidden) ::ShowWindow(control, SW_HIDE);
    }
    // The edits lie over their frames.
    if (m_editID.GetSafeHwnd()) m_editID.SetWindowPos(&wndTop, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    if (m_editPwd.GetSafeHwnd()) m_editPwd.SetWindowPos(&wndTop, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    layoutCheckTexts();
}

void CDlgPageLogin::showMemberForm(int userType) {
    const bool member = userType == USER_TYPE_MEMBER;
    for (CWnd* w : std::initializer_list<CWnd*>{&m_staticBrandImg, &m_editID, &m_editPwd, &m_editIDFrame,
                                                &m_editPwdFrame, &m_checkSave, &m_checkAuto, &m_staticCheckSave,
                                                &m_staticCheckAuto, &m_btnLogin, &m_linkFind, &m_linkJoin}) {
        showIf(*w, member);
    }
    if (!member) showIf(m_staticWrong, false);
}

void CDlgPageLogin::updateGuestButtons() {
    const bool show = m_nUserType == USER_TYPE_GUEST && !m_bAutoGuest;
    showIf(m_btnNnDr, show);
    showIf(m_btnNnTs, show);
    showIf(m_btnNnLv, show && CRegSetting::getRegion() != REGION_RU);
}

void CDlgPageLogin::showBrandPicture(int corp) {
    const UINT id = brandPicture(corp, CRegSetting::getRegion());
    if (!id || !m_staticBrandImg.GetSafeHwnd()) return;
    // setPngOnStatic deletes the bitmap it replaces.
    setPngOnStatic(m_staticBrandImg.GetSafeHwnd(), id);
}

void CDlgPageLogin::showWaiting(int type) {
    CBaseChildDialog::showWaiting(type);
    if (type == 1) {
        m_bWaitingStarted = TRUE;
        for (CWnd* w : std::initializer_list<CWnd*>{
                 &m_staticTitle, &m_staticTitle2, &m_editID, &m_editPwd, &m_editIDFrame, &m_editPwdFrame,
                 &m_checkSave, &m_checkAuto, &m_staticCheckSave, &m_staticCheckAuto, &m_btnLogin, &m_btnLoginNm,
                 &m_btnTs, &m_btnLv, &m_btnDr, &m_btnNn, &m_linkFind, &m_linkJoin, &m_staticBrandImg,
                 &m_staticLoading2, &m_btnDealer, &m_btnNnTs, &m_btnNnLv, &m_btnNnDr}) {
            showIf(*w, false);
        }
        showIf(m_staticLoading1, true);
    } else {
        showIf(m_staticLoading1, false);
        showIf(m_staticLoading2, false);
        const LoginLayoutInput in = layoutInput();
        if (chooseLoginLayout(in.region, in.rootCorp, in.allBrands, in.dealer) == LoginLayout::Us) {
            for (CWnd* w : std::initializer_list<CWnd*>{&m_staticTitle, &m_staticTitle2, &m_btnTs, &m_btnLv, &m_btnDr,
                                                        &m_btnNn, &m_btnNnTs, &m_btnNnLv, &m_btnNnDr}) {
                showIf(*w, false);
            }
        } else {
            loadTexts();
            updateGuestButtons();
        }
        showIf(m_staticBrandImg, m_nUserType == USER_TYPE_MEMBER);
    }
    if (GetSafeHwnd()) Invalidate(FALSE);
}

BOOL CDlgPageLogin::OnEraseBkgnd(CDC* dc) {
    fillBackground(dc);
    return TRUE;
}

void CDlgPageLogin::fillBackground(CDC* dc) {
    if (!dc) return;
    CRect client;
    GetClientRect(&client);
    fillRect(dc->GetSafeHdc(), client, kWhite);
}

void CDlgPageLogin::OnPaint() {
    CPaintDC paint(this);
    CRect client;
    GetClientRect(&client);
    CMemoryCanvas canvas(paint.GetSafeHdc(), client.Width(), client.Height());
    if (!canvas.valid()) return;
    const HDC dc = canvas.dc();
    ::SetBkMode(dc, TRANSPARENT);
    fillBackground(&canvas.cdc());
    Gdiplus::Graphics graphics(dc);
    const LoginLayoutInput in = layoutInput();
    const LoginLayout layout = chooseLoginLayout(in.region, in.rootCorp, in.allBrands, in.dealer);
    const int width = client.Width();
    if (m_bWaiting) {
        const bool guest = CRegSetting::getLastUserType() == USER_TYPE_GUEST;
        drawHeader(&canvas.cdc(), CLangLibrary::loadLangString(guest ? kTextPreparing : kTextLogin));
    } else if (layout == LoginLayout::NonMember) {
        const bool dealerShown = in.region == REGION_EU || in.region == REGION_TR;
        showIf(m_btnDealer, dealerShown);
        fillRect(dc, RECT{0, 0, width, 120}, kBand);
        showMemberForm(USER_TYPE_GUEST);
        showIf(m_btnLoginNm, false);
        showIf(m_btnNnDr, !m_bAutoGuest);
        showIf(m_btnNnLv, !m_bAutoGuest && in.region != REGION_EU && in.region != REGION_RU);
        showIf(m_btnNnTs, !m_bAutoGuest && in.region != REGION_TR && in.region != REGION_BR);
        for (CPngButton* b : brandColumnButtons()) showIf(*b, false);
        if (m_pEmblem) CGdiFunc::drawImage(m_hWnd, &graphics, m_pEmblem, width / 2 - 10, 89, 20, 20);
        if (dealerShown && m_pDealerMark && m_btnDealer.GetSafeHwnd()) {
            // The table's rectangle before mirroring: drawImage mirrors it
            // for Arabic as it mirrors the button.
            const LoginPlacement* row = findPlacement(loginLayout(in), IDC_STATIC_DEALER);
            if (row) {
                const RECT mark = dealerMarkRect(RECT{row->x, row->y, row->x + row->cx, row->y + row->cy}, in.rootCorp,
                                                 static_cast<int>(m_pDealerMark->GetWidth()),
                                                 static_cast<int>(m_pDealerMark->GetHeight()));
                CGdiFunc::drawImage(m_hWnd, &graphics, m_pDealerMark, mark.left, mark.top, mark.right - mark.left,
                                    mark.bottom - mark.top);
            }
        }
    } else if (layout == LoginLayout::BrandColumn) {
        if (m_bAllBrands) {
            for (CPngButton* b : brandColumnButtons()) showIf(*b, true);
        }
        showIf(m_btnDealer, false);
        showIf(m_btnLoginNm, false);
        showMemberForm(m_nUserType);
        // The column's band lies under the column, which Arabic mirrors.
        RECT band{0, 0, 240, client.Height()};
        if (CGdiFunc::isArabic()) band = CGdiFunc::mirrorRect(band, width);
        fillRect(dc, band, kBand);
        if (m_pEmblem) CGdiFunc::drawImage(m_hWnd, &graphics, m_pEmblem, 110, 114, 20, 20);
        if (m_bDealerMode) {
            if (m_btnNn.GetSafeHwnd()) {
                showIf(m_btnNn, false);
                if (m_btnNn.m_bChecked) m_btnNn.setCheck(0);
                if (m_btnNn.m_bEnabled) m_btnNn.setEnable(FALSE);
            }
        } else if (m_pNnBack && m_btnNn.GetSafeHwnd()) {
            CRect r;
            m_btnNn.GetWindowRect(&r);
            ScreenToClient(&r);
            CGdiFunc::drawImage(m_hWnd, &graphics, m_pNnBack, 15, r.bottom, static_cast<int>(m_pNnBack->GetWidth()),
                                static_cast<int>(m_pNnBack->GetHeight()));
        }
    } else {
        showIf(m_btnDealer, false);
        for (CWnd* w : std::initializer_list<CWnd*>{&m_staticBrandImg, &m_editID, &m_editPwd, &m_editIDFrame,
                                                    &m_editPwdFrame, &m_checkSave, &m_staticCheckSave, &m_linkFind,
                                                    &m_btnLogin, &m_btnLoginNm, &m_linkJoin, &m_checkAuto,
                                                    &m_staticCheckAuto}) {
            showIf(*w, true);
        }
        for (CWnd* w : std::initializer_list<CWnd*>{&m_btnNnTs, &m_btnNnLv, &m_btnNnDr}) showIf(*w, false);
        for (CPngButton* b : brandColumnButtons()) showIf(*b, m_bAllBrands != FALSE);
    }
    canvas.copyTo(paint.GetSafeHdc());
    handlePendingJoin();
}

// A sign-up notice closed without its Join left a brand pending: the
// non-member login of that brand starts once, from a posted message.
void CDlgPageLogin::handlePendingJoin() {
    if (m_bJoinPosted) return;
    if (g_strJoinCorpCode == L"TS" || g_strJoinCorpCode == L"DR" || g_strJoinCorpCode == L"LV") {
        m_bJoinPosted = TRUE;
        PostMessage(UM_LOGIN_PENDING_JOIN, 0, 0);
    }
}

LRESULT CDlgPageLogin::OnPendingJoin(WPARAM, LPARAM) {
    m_bJoinPosted = FALSE;
    int corp = 0;
    if (g_strJoinCorpCode == L"TS") corp = CORP_TS;
    if (g_strJoinCorpCode == L"DR") corp = CORP_DR;
    if (g_strJoinCorpCode == L"LV") corp = CORP_LV;
    if (!corp || m_bWaiting || !IsWindowVisible()) return 0;
    g_strJoinCorpCode = L"N";
    if (m_nCorp == corp && m_nUserType == USER_TYPE_GUEST) {
        CPngButton& b = corp == CORP_LV ? m_btnNnLv : corp == CORP_DR ? m_btnNnDr : m_btnNnTs;
        if (b.GetSafeHwnd()) b.setCheck(1);
    } else {
        setLoginKind(corp, USER_TYPE_GUEST, TRUE);
    }
    if (m_editID.GetSafeHwnd()) m_editID.SetFocus();
    g_bGuestLogin = TRUE;
    startGuestLogin();
    return 0;
}
