#include "pages/account/dlg_join_msg.h"

#include "pages/account/document_helpers.h"

#include "foundation/code_tables.h"
#include "foundation/current_ui.h"
#include "foundation/globalfunc.h"
#include "foundation/program_strings.h"
#include "foundation/registered_messages.h"
#include "foundation/regsetting.h"
#include "pages/account/dlg_conf_msg.h"
#include "pages/account/dlg_page_login.h"
#include "resources/resource.h"
#include "shell/dlg_root.h"
#include "ui/dlang.h"
#include "ui/font_cache.h"
#include "ui/gdi_func.h"
#include "ui/lang_library.h"
#include "ui/memory_canvas.h"
#include "ui/rich_edit_ctrl_ex.h"
#include "ui/session_flags.h"
#include "ui/view_state.h"
#include "webclient/api_endpoints.h"

#include <cwchar>

namespace {

constexpr int kDialogId = VIEW_STATE_JOIN_MSG;
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBand = RGB(223, 223, 223);
constexpr COLORREF kBandText = RGB(93, 99, 105);
constexpr COLORREF kBody = RGB(94, 108, 125);
constexpr COLORREF kLabel = RGB(164, 170, 177);
constexpr COLORREF kCheckText = RGB(166, 173, 180);
// Posted by the paint: the do-not-show test runs outside WM_PAINT.
constexpr UINT UM_JOIN_CHECK_SKIP = WM_APP + 0x3A2;
constexpr LONGLONG kThirtyDays = 2592000;

CString dateText(const SYSTEMTIME& t) {
    CString text;
    text.Format(L"%d%02d%02d", t.wYear, t.wMonth, t.wDay);
    return text;
}

SYSTEMTIME today() {
    SYSTEMTIME now{};
    ::GetLocalTime(&now);
    return now;
}

CString userSection() { return getRegionCode(CRegSetting::getRegion()) + L"_User"; }



}  // namespace

bool joinNoticeSkipped(const CString& stored, const SYSTEMTIME& now) {
    if (stored.IsEmpty()) return false;
    FILETIME file{};
    if (!::SystemTimeToFileTime(&now, &file)) return false;
    ULARGE_INTEGER value{};
    value.LowPart = file.dwLowDateTime;
    value.HighPart = file.dwHighDateTime;
    value.QuadPart -= static_cast<ULONGLONG>(kThirtyDays) * 10000000ULL;
    file.dwLowDateTime = value.LowPart;
    file.dwHighDateTime = value.HighPart;
    SYSTEMTIME limit{};
    if (!::FileTimeToSystemTime(&file, &limit)) return false;
    return _wtoi(stored) > _wtoi(dateText(limit));
}

int joinCaptionSize(int length) { return length <= 15 ? 22 : length <= 22 ? 18 : 14; }

int nextCaptionSize(int length) { return length <= 18 ? 22 : length <= 22 ? 18 : 14; }

CString hideDateKey(int corp) {
    switch (corp) {
        case CORP_TS: return L"HIDE_CHECK_DATE_TS";
        case CORP_LV: return L"HIDE_CHECK_DATE_LV";
        case CORP_DR: return L"HIDE_CHECK_DATE_DR";
        default: return CString();
    }
}

BEGIN_MESSAGE_MAP(CDlgJoinMsg, CPlaceholderPage)
    ON_WM_PAINT()
    ON_WM_ERASEBKGND()
    ON_BN_CLICKED(IDOK, &CDlgJoinMsg::OnBnClickedNext)
    ON_BN_CLICKED(IDC_BUTTON_JOIN, &CDlgJoinMsg::OnBnClickedJoin)
    ON_STN_CLICKED(IDC_STATIC_TITLE2, &CDlgJoinMsg::OnStnClickedTitle2)
    ON_BN_CLICKED(IDC_CHECK_JOIN_SHOW30, &CDlgJoinMsg::OnBnClickedCheckShow30)
    ON_MESSAGE(UM_JOIN_CHECK_SKIP, &CDlgJoinMsg::OnCheckSkip)
    ON_REGISTERED_MESSAGE(RWM_CHANGE_LANGUAGE, &CDlgJoinMsg::OnChangeLanguagePage)
END_MESSAGE_MAP()

CDlgJoinMsg::CDlgJoinMsg(CBaseDialog* root) : CPlaceholderPage(IDD_JOIN_MSG, root, L"CDlgJoinMsg", VIEW_STATE_JOIN_MSG) {}

CDlgJoinMsg::~CDlgJoinMsg() {
    for (CRichEditCtrlEx* edit : {m_pRichText1, m_pRichText2}) {
        if (edit && edit->GetSafeHwnd()) edit->DestroyWindow();
        delete edit;
    }
    if (CDlgRoot* r = CDlgRoot::of(getRootDlg())) r->m_lang.removeDlg(kDialogId);
}

void CDlgJoinMsg::DoDataExchange(CDataExchange* dx) {
    DDX_Control(dx, IDC_STATIC_TITLE1, m_staticBody);
    DDX_Control(dx, IDC_STATIC_TITLE2, m_staticLabel);
    DDX_Control(dx, IDC_STATIC_TITLE3, m_staticTitle3);
    DDX_Control(dx, IDC_STATIC_TITLE4, m_staticTitle4);
    DDX_Control(dx, IDC_STATIC_TITLE5, m_staticTitle5);
    DDX_Control(dx, IDC_STATIC_ALERT, m_staticAlert);
    DDX_Control(dx, IDC_BUTTON_JOIN, m_btnJoin);
    DDX_Control(dx, IDOK, m_btnNext);
    DDX_Control(dx, IDC_CHECK_JOIN_SHOW30, m_checkShow30);
}

BOOL CDlgJoinMsg::OnInitDialog() {
    CBaseChildDialog::OnInitDialog();
    CDLang::moveWnd(getRootDlg(), this, 0, 60, 900, 590, 0);
    for (CStaticEx* s : {&m_staticBody, &m_staticTitle3, &m_staticTitle4, &m_staticTitle5}) s->m_nStyle = 514;
    m_staticLabel.m_nStyle = 17;
    m_btnNext.setImage(IDB_BUTTON_CANCEL_STRIP);
    m_checkShow30.setText(CString(), 14, FALSE, 0);
    m_checkShow30.m_bChecked = FALSE;
    layoutControls();
    applyTexts();
    applyFonts();
    return TRUE;
}

void CDlgJoinMsg::layoutControls() {
    CRect client;
    GetClientRect(&client);
    const int w = client.Width(), h = client.Height();
    auto place = [this](CWnd& control, int x, int y, int cx, int cy) {
        if (control.GetSafeHwnd()) CDLang::moveWnd(this, &control, x, y, cx, cy, 2);
    };
    place(m_staticBody, 0, 197, w, 250);
    place(m_staticLabel, 140, h - 130, w - 260, 20);
    place(m_staticTitle3, 0, 232, w, 70);
    place(m_staticTitle4, 0, 267, w, 30);
    place(m_staticTitle5, 0, 302, w, 30);
    place(m_checkShow30, 110, h - 132, 20, 20);
    place(m_btnJoin, w / 2 - 205, h - 70, 200, 50);
    place(m_btnNext, w / 2 + 5, h - 70, 200, 50);
    if (!m_pRichText1) m_pRichText1 = createDocumentEdit(this, CRect(94, 750, w - 94, 800), 0x7301);
    if (!m_pRichText2) m_pRichText2 = createDocumentEdit(this, CRect(94, 810, w - 94, 860), 0x7302);
    for (CRichEditCtrlEx* edit : {m_pRichText1, m_pRichText2}) {
        if (edit) edit->setLeftToRight(g_nCurrentLanguage != LANGUAGE_AR);
    }
}

void CDlgJoinMsg::applyFonts() {
    for (CStaticEx* s : {&m_staticBody, &m_staticTitle3, &m_staticTitle4, &m_staticTitle5}) s->m_nTextSize = 20;
    updateLabel();
    if (CFont* font = CFontCache::getFont(16)) {
        if (m_staticLabel.GetSafeHwnd()) m_staticLabel.SetFont(font, FALSE);
        if (m_checkShow30.GetSafeHwnd()) m_checkShow30.SetFont(font, FALSE);
    }
    m_staticLabel.m_textColor = kLabel;
    m_btnJoin.m_nCaptionSize = joinCaptionSize(CLangLibrary::loadLangString(12027).GetLength());
    m_btnNext.m_nCaptionSize = nextCaptionSize(CLangLibrary::loadLangString(12028).GetLength());
    for (CPngButton* b : {&m_btnJoin, &m_btnNext}) {
        if (CFont* font = CFontCache::getFont(b->m_nCaptionSize)) {
            if (b->GetSafeHwnd()) b->SetFont(font, FALSE);
        }
    }
}

void CDlgJoinMsg::updateLabel() {
    const BOOL bold = m_checkShow30.m_bChecked;
    if (m_staticLabel.m_bBold != bold || m_staticLabel.m_nTextSize != 16) {
        m_staticLabel.setFontStyle(16, bold);
        if (m_staticLabel.GetSafeHwnd()) m_staticLabel.Invalidate(FALSE);
    }
}

void CDlgJoinMsg::applyTexts() {
    if (CDlgRoot* r = CDlgRoot::of(getRootDlg())) {
        r->m_lang.setText(kDialogId, &m_staticAlert, 12020);
        r->m_lang.setText(kDialogId, &m_staticLabel, 12029);
    }
    auto hide = [](CWnd& w) {
        if (w.GetSafeHwnd() && (w.GetStyle() & WS_VISIBLE)) w.ShowWindow(SW_HIDE);
    };
    hide(m_staticAlert);
    const CString next = CLangLibrary::loadLangString(12028), join = CLangLibrary::loadLangString(12027);
    if (m_btnNext.m_strCaption != next) m_btnNext.setText(next, 16, 400);
    if (m_btnJoin.m_strCaption != join) m_btnJoin.setText(join, 16, 400);
    for (CStaticEx* s : {&m_staticBody, &m_staticTitle3, &m_staticTitle4, &m_staticTitle5}) hide(*s);
    m_checkShow30.m_textColor = kCheckText;
}

void CDlgJoinMsg::loadDocuments() {
    const CString licence = CDlgConfMsg::getResourceRtfFile("CDlgJoinMsg::getResourceRtfFile");
    ++m_nLicenceWrites;
    if (m_pRichText1) m_pRichText1->loadRtfFile(licence);
    const int language = CRegSetting::getLanguage();
    const wchar_t* name = language == LANGUAGE_ES   ? L"\\Eula\\TermsOfUse_br-ES.rtf"
                          : language == LANGUAGE_PT ? L"\\Eula\\TermsOfUse_br-PT.rtf"
                                                    : L"\\Eula\\TermsOfUse_ko-KR.rtf";
    if (m_pRichText2) m_pRichText2->loadRtfFile(CRegSetting::getInstallPath() + name);
    if (GetSafeHwnd() && IsWindowVisible()) SetFocus();
}

CString CDlgJoinMsg::bodyText() const {
    auto text = [](int id) { return CLangLibrary::loadLangString(static_cast<UINT>(id)); };
    const int brandText = m_strJoinCorp == L"TS"   ? 12023
                          : m_strJoinCorp == L"DR" ? 12022
                          : m_strJoinCorp == L"LV" ? 12024
                                                   : 0;
    return text(12021) + (brandText ? text(brandText) : CString()) + text(12026);
}

BOOL CDlgJoinMsg::showPage(BOOL show) {
    recordCall(show ? L"showPage(1)" : L"showPage(0)");
    applyTexts();
    applyFonts();
    layoutControls();
    if (!show) {
        m_bShown = FALSE;
        ShowWindow(SW_HIDE);
        return TRUE;
    }
    applyFonts();
    if (CDlgRoot* r = CDlgRoot::of(getRootDlg())) r->m_lang.setText(kDialogId, &m_staticAlert, 12020);
    applyBrand();
    m_bSkipPosted = FALSE;
    m_bShown = TRUE;
    ShowWindow(SW_SHOW);
    loadDocuments();
    return TRUE;
}

// The brand of the notice: Join's picture, the face, the stored date's name.
void CDlgJoinMsg::applyBrand() {
    m_strJoinCorp = g_strJoinCorpCode;
    const int corp = getCorpId(m_strJoinCorp);
    const int known = (m_strJoinCorp == L"TS" || m_strJoinCorp == L"LV" || m_strJoinCorp == L"DR") ? corp : CORP_NONE;
    UINT picture = IDB_BUTTON_OK_STRIP;
    if (known == CORP_DR) picture = IDB_BUTTON_OK_STRIP_DR;
    if (known == CORP_LV) {
        const int region = CRegSetting::getRegion();
        picture = region == REGION_US || region == REGION_CA ? IDB_BUTTON_OK_STRIP_LV_NA : IDB_BUTTON_OK_STRIP_LV;
    }
    if (m_btnJoin.GetSafeHwnd()) m_btnJoin.setImage(picture);
    CFontCache::selectFaceForCorp(known == CORP_NONE ? CORP_TS : known);
    m_strDateKey = hideDateKey(known);
    if (!m_strDateKey.IsEmpty() && AfxGetApp()->GetProfileString(userSection(), m_strDateKey, L"").IsEmpty()) {
        m_checkShow30.m_bChecked = FALSE;
    }
    updateLabel();
}

void CDlgJoinMsg::OnPaint() {
    CPaintDC paint(this);
    CRect client;
    GetClientRect(&client);
    CMemoryCanvas canvas(paint.GetSafeHdc(), client.Width(), client.Height());
    if (!canvas.valid()) return;
    const int w = client.Width();
    canvas.fill(kWhite);
    canvas.fill(RECT{0, 0, w, 60}, kBand);
    CString header;
    if (m_staticAlert.GetSafeHwnd()) m_staticAlert.GetWindowText(header);
    const int top = CRegSetting::getLastUserCorp() == CORP_TS ? 8 : 4;
    CGdiFunc::drawTextInWnd(m_hWnd, canvas.dc(), RECT{0, top, w, 60}, header, g_strFontFace, 22, FALSE, kBandText, 1);
    const RECT body{10, 207, w - 10, 207 + 250};
    CGdiFunc::drawTextLinesInWnd(m_hWnd, canvas.dc(), 20, bodyText(), g_strFontFace, 1, kBody, FALSE, 0, 22, 13,
                                 nullptr, body);
    canvas.copyTo(paint.GetSafeHdc(), 0, 0);
    if (m_bShown && !m_bSkipPosted) {
        m_bSkipPosted = TRUE;
        PostMessage(UM_JOIN_CHECK_SKIP);
    }
}

BOOL CDlgJoinMsg::OnEraseBkgnd(CDC*) { return TRUE; }

LRESULT CDlgJoinMsg::OnCheckSkip(WPARAM, LPARAM) {
    if (!m_bShown || m_strDateKey.IsEmpty()) return 0;
    const CString stored = AfxGetApp()->GetProfileString(userSection(), m_strDateKey, L"");
    if (joinNoticeSkipped(stored, today())) {
        g_bGuestLogin = TRUE;
        close();
    }
    return 0;
}

void CDlgJoinMsg::close() {
    m_bShown = FALSE;
    ShowWindow(SW_HIDE);
    if (CDlgRoot* r = CDlgRoot::of(getRootDlg())) r->pullViewPage();
}

void CDlgJoinMsg::OnBnClickedNext() {
    const CString key = hideDateKey(getCorpId(g_strJoinCorpCode));
    const bool known = g_strJoinCorpCode == L"TS" || g_strJoinCorpCode == L"LV" || g_strJoinCorpCode == L"DR";
    if (m_checkShow30.m_bChecked && known && !key.IsEmpty()) {
        AfxGetApp()->WriteProfileString(userSection(), key, dateText(today()));
    }
    g_bGuestLogin = TRUE;
    close();
}

void CDlgJoinMsg::OnBnClickedJoin() {
    const bool known = m_strJoinCorp == L"TS" || m_strJoinCorp == L"LV" || m_strJoinCorp == L"DR";
    if (known) {
        const CString url = getJoinPageUrl(getCorpId(m_strJoinCorp));
        if (!url.IsEmpty()) CGlobalFunc::openUrl(url);
    }
    CDlgRoot* r = CDlgRoot::of(getRootDlg());
    if (r && r->m_pPageLogin) r->m_pPageLogin->m_nUserType = USER_TYPE_MEMBER;
    if (r) r->m_nCorp = CORP_NONE;
    g_strJoinCorpCode = L"N";
    g_strCorpCode = L"N";
    m_bShown = FALSE;
    ShowWindow(SW_HIDE);
    if (r && r->m_pPageLogin) r->returnToLogin(CRegSetting::getLastUserCorp());
}

void CDlgJoinMsg::OnStnClickedTitle2() {
    m_checkShow30.m_bChecked = !m_checkShow30.m_bChecked;
    if (m_checkShow30.GetSafeHwnd()) m_checkShow30.Invalidate(FALSE);
    updateLabel();
}

void CDlgJoinMsg::OnBnClickedCheckShow30() { updateLabel(); }

LRESULT CDlgJoinMsg::OnChangeLanguagePage(WPARAM, LPARAM) {
    recordCall(L"changeLanguage");
    applyTexts();
    applyFonts();
    layoutControls();
    if (m_bShown) loadDocuments();
    return 0;
}
