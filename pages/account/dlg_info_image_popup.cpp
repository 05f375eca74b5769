#include "pages/account/dlg_info_image_popup.h"

#include "foundation/code_tables.h"
#include "foundation/globalfunc.h"
#include "foundation/logmanager.h"
#include "foundation/private_messages.h"
#include "foundation/registered_messages.h"
#include "foundation/regsetting.h"
#include "pages/account/web_guide_rules.h"
#include "resources/resource.h"
#include "shell/dlg_root.h"
#include "ui/dlang.h"
#include "ui/font_cache.h"
#include "ui/gdi_func.h"
#include "ui/lang_library.h"
#include "ui/memory_canvas.h"
#include "ui/view_state.h"

#include <richedit.h>

namespace {

constexpr COLORREF kBody = RGB(255, 255, 255);
constexpr COLORREF kTitle = RGB(93, 99, 105);
constexpr COLORREF kText = RGB(94, 108, 125);
constexpr COLORREF kSoft = RGB(144, 150, 156);
constexpr COLORREF kPale = RGB(183, 183, 183);
constexpr COLORREF kLabel = RGB(122, 127, 133);
constexpr COLORREF kKey = RGB(175, 176, 177);
constexpr COLORREF kCheckText = RGB(166, 172, 180);
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kLinkBlue = RGB(70, 154, 255);
constexpr int kOkText = 12174;
constexpr int kLabelText = 12146;
// The box notifies on the button's press and toggles on its release: the
// label follows once the release has been handled.
constexpr UINT kFollowCheck = WM_APP + 0x133;
constexpr UINT kRichIds[3] = {0x7A01, 0x7A02, 0x7A03};

RECT toRect(const image_guide::Rect& r) { return {r.left, r.top, r.right, r.bottom}; }

std::unique_ptr<Gdiplus::Bitmap> loadPicture(unsigned id) {
    return std::unique_ptr<Gdiplus::Bitmap>(CGdiFunc::loadPngResource(id));
}

void drawPicture(Gdiplus::Graphics& g, Gdiplus::Bitmap* picture, int x, int y, int width, int height) {
    if (picture) g.DrawImage(picture, x, y, width, height);
}

}  // namespace

IMPLEMENT_DYNAMIC(CDlgInfoImagePopup, CDialog)

BEGIN_MESSAGE_MAP(CDlgInfoImagePopup, CBaseChildDialog)
    ON_REGISTERED_MESSAGE(RWM_CHANGE_LANGUAGE, &CDlgInfoImagePopup::OnChangeLanguage)
    ON_WM_PAINT()
    ON_WM_ERASEBKGND()
    ON_BN_CLICKED(IDOK, &CDlgInfoImagePopup::OnBnClickedOk)
    ON_MESSAGE(UM_GUIDE_SHOW, &CDlgInfoImagePopup::OnGuideShow)
    ON_MESSAGE(UM_GUIDE_SHOW_PAGE, &CDlgInfoImagePopup::OnGuideShowPage)
    ON_WM_SHOWWINDOW()
    ON_BN_CLICKED(IDC_STATIC_GUIDE_LABEL, &CDlgInfoImagePopup::OnClickedGuideLabel)
    ON_WM_LBUTTONDOWN()
    ON_WM_LBUTTONUP()
    ON_WM_MOUSEMOVE()
    ON_BN_CLICKED(IDC_CHECK_GUIDE, &CDlgInfoImagePopup::OnClickedGuideCheck)
    ON_MESSAGE(kFollowCheck, &CDlgInfoImagePopup::OnFollowCheck)
END_MESSAGE_MAP()

CDlgInfoImagePopup::CDlgInfoImagePopup(CBaseDialog* root) : CBaseChildDialog(IDD_INFO_IMAGE_POPUP, root) {
    m_ePageViewStatus = VIEW_STATE_NONE;
}

CDlgInfoImagePopup::~CDlgInfoImagePopup() {
    if (CDlgRoot* r = root()) r->m_lang.removeDlg(image_guide::kDialogId);
    for (auto& rich : m_rich) {
        if (rich && rich->GetSafeHwnd()) rich->DestroyWindow();
    }
}

CDlgRoot* CDlgInfoImagePopup::root() const { return dynamic_cast<CDlgRoot*>(m_pRootDlg); }

void CDlgInfoImagePopup::DoDataExchange(CDataExchange* dx) {
    CBaseChildDialog::DoDataExchange(dx);
    DDX_Control(dx, IDOK, m_btnOk);
    DDX_Control(dx, IDC_CHECK_GUIDE, m_chkShow);
    DDX_Control(dx, IDC_STATIC_GUIDE_LABEL, m_staticLabel);
}

BOOL CDlgInfoImagePopup::OnInitDialog() {
    CBaseChildDialog::OnInitDialog();
    if (!AfxInitRichEdit2()) LOG_WRITE(L"[ERR] rich edit library not loaded");
    setupGuide();
    return TRUE;
}

void CDlgInfoImagePopup::setupGuide() {
    MoveWindow(0, 60, 900, 590, TRUE);
    setupGuideControls();
    if (m_btnOk.GetSafeHwnd()) m_btnOk.SetFont(CFontCache::getFont(22), FALSE);
    if (m_chkShow.GetSafeHwnd()) m_chkShow.SetFont(CFontCache::getFont(16), FALSE);
    if (m_staticLabel.GetSafeHwnd()) {
        m_staticLabel.SetFont(CFontCache::getFont(16), FALSE);
        m_staticLabel.setFontStyle(16, FALSE);
        m_staticLabel.m_textColor = kLabel;
    }
    loadTexts();
    placeControls();
}

void CDlgInfoImagePopup::createRichControls() {
    const DWORD multi = WS_CHILD | WS_VISIBLE | ES_MULTILINE | ES_READONLY;
    const DWORD single = WS_CHILD | WS_VISIBLE | ES_READONLY | ES_AUTOHSCROLL;
    const image_guide::Rect areas[3] = {{10, 85, 870, 200}, {10, 205, 870, 229}, {10, 85, 870, 200}};
    for (int i = 0; i < 3; ++i) {
        if (m_rich[i]) continue;
        auto rich = std::make_unique<CRichEditCtrlEx>();
        if (!rich->Create(i == RICH_LINK ? single : multi, toRect(areas[i]), this, kRichIds[i])) {
            LOG_WRITE(L"[ERR] image guide text area %d not created", i);
            continue;
        }
        rich->ShowWindow(SW_HIDE);
        rich->SetBackgroundColor(FALSE, kBody);
        PARAFORMAT2 para{};
        para.dwMask = PFM_ALIGNMENT;
        para.wAlignment = PFA_CENTER;
        rich->SetSel(0, -1);
        rich->SetParaFormat(para);
        if (i == RICH_TEXT) {
            rich->setLeftToRight(TRUE);
            rich->m_bDirectionSwitch = FALSE;
        } else if (i == RICH_TEXT_RTL) {
            rich->m_bLeftToRight = TRUE;
            rich->setLeftToRight(FALSE);
            rich->m_bDirectionSwitch = FALSE;
        }
        m_rich[i] = std::move(rich);
    }
}

void CDlgInfoImagePopup::setupGuideControls() {
    if (m_staticLabel.GetSafeHwnd()) m_staticLabel.m_nStyle = 17;
    if (m_chkShow.GetSafeHwnd()) {
        m_chkShow.setText(CString(), 14, FALSE, 0);
        m_chkShow.m_bChecked = m_chkShow.m_bChecked ? TRUE : FALSE;
    }
    followCheck();
    createRichControls();

    const bool guide = m_nGuideType == 0 || m_nGuideType == 17;
    const int box = guide && m_bAutoSkip ? SW_SHOW : SW_HIDE;
    if (m_chkShow.GetSafeHwnd()) m_chkShow.ShowWindow(box);
    if (m_staticLabel.GetSafeHwnd()) m_staticLabel.ShowWindow(box);
    if (!guide) {
        for (auto& rich : m_rich)
            if (rich) rich->ShowWindow(SW_HIDE);
        return;
    }
    loadPictures();
    const bool northAmerica = image_guide::isNorthAmerica(CRegSetting::getRegion());
    const bool arabic = CRegSetting::getLanguage() == LANGUAGE_AR;
    const CString link = m_nGuideType == 17 && northAmerica ? m_strGuideLink : CString();
    const bool shown[3] = {m_nGuideType == 17 && !arabic, m_nGuideType == 17 && northAmerica,
                           m_nGuideType == 17 && arabic};
    for (int i = 0; i < 3; ++i) {
        if (!m_rich[i]) continue;
        m_rich[i]->m_strUrl = link;
        m_rich[i]->ShowWindow(shown[i] ? SW_SHOW : SW_HIDE);
    }
}

void CDlgInfoImagePopup::loadPictures() {
    image_guide::Pictures ids{};
    if (!image_guide::picturesFor(m_nGuideType, CRegSetting::getLastUserCorp(), CRegSetting::getRegion(),
                                  CRegSetting::getLanguage(), ids)) {
        return;
    }
    m_pMain = loadPicture(ids.main);
    m_pIcon1 = loadPicture(ids.icon1);
    m_pIcon2 = loadPicture(ids.icon2);
    m_pIcon3 = loadPicture(ids.icon3);
    m_pSide = loadPicture(ids.side);
    m_pMarker = loadPicture(ids.marker);
}

void CDlgInfoImagePopup::formatRichText(CRichEditCtrl& control, int points, COLORREF colour, BOOL exactSpacing) {
    control.SetSel(0, -1);
    CHARFORMAT2W format{};
    // Regular weight: the control's default face may be a bold one.
    format.dwMask = CFM_FACE | CFM_SIZE | CFM_COLOR | CFM_BOLD;
    format.dwEffects = 0;
    format.yHeight = points * 20;
    format.crTextColor = colour;
    wcsncpy_s(format.szFaceName, g_strFontFace.GetString(), _TRUNCATE);
    control.SetSelectionCharFormat(format);
    // New text takes the control's default paragraph: centre it (and keep
    // a right-to-left area right to left) on every text.
    PARAFORMAT2 para{};
    para.dwMask = PFM_ALIGNMENT | PFM_RTLPARA;
    para.wAlignment = PFA_CENTER;
    para.wEffects = (control.GetExStyle() & WS_EX_RTLREADING) ? PFE_RTLPARA : 0;
    if (exactSpacing) {
        para.dwMask |= PFM_LINESPACING;
        para.bLineSpacingRule = 4;  // exactly dyLineSpacing twips
        para.dyLineSpacing = 390;
    }
    control.SetParaFormat(para);
    control.SetSel(0, 0);
}

void CDlgInfoImagePopup::emphasiseText(CRichEditCtrl& control, const CString& phrase, BOOL red, BOOL wholeWord) {
    if (phrase.IsEmpty()) return;
    FINDTEXTEXW find{};
    find.chrg.cpMin = 0;
    find.chrg.cpMax = -1;
    find.lpstrText = phrase.GetString();
    const DWORD flags = FR_DOWN | FR_MATCHCASE | (wholeWord ? FR_WHOLEWORD : 0);
    if (control.FindText(flags, &find) < 0) return;
    control.SetSel(find.chrgText.cpMin, find.chrgText.cpMax);
    CHARFORMAT2W format{};
    format.dwMask = CFM_COLOR;
    format.dwEffects = 0;  // the automatic colour cleared
    format.crTextColor = red ? kRed : kLinkBlue;
    if (!red) {
        format.dwMask |= CFM_UNDERLINE;
        format.dwEffects |= CFE_UNDERLINE;
    }
    control.SetSelectionCharFormat(format);
    control.SetSel(0, 0);
}

void CDlgInfoImagePopup::loadTexts() {
    const int region = CRegSetting::getRegion();
    const int language = CRegSetting::getLanguage();
    const image_guide::Texts ids = image_guide::textsFor(m_nGuideType, region);
    m_strTitle = CLangLibrary::loadLangString(ids.title);
    for (int i = 0; i < 11; ++i) m_strText[i] = ids.t[i] ? CLangLibrary::loadLangString(ids.t[i]) : CString();

    if (m_nGuideType == 17 && m_rich[RICH_TEXT] && m_rich[RICH_LINK] && m_rich[RICH_TEXT_RTL]) {
        CRichEditCtrlEx& text = language == LANGUAGE_AR ? *m_rich[RICH_TEXT_RTL] : *m_rich[RICH_TEXT];
        const wchar_t* joint = language == LANGUAGE_KO || language == LANGUAGE_ES ? L"\n" : L" ";
        text.SetWindowText(m_strText[0] + joint + m_strText[1]);
        formatRichText(text, 14, kText, TRUE);
        m_rich[RICH_LINK]->SetWindowText(m_strText[4]);
        formatRichText(*m_rich[RICH_LINK], 11, kLabel, FALSE);
        // Korean phrases are not separated by word breaks the search knows.
        const BOOL wholeWord = language == LANGUAGE_KO ? FALSE : TRUE;
        const image_guide::Emphasis emphasis = image_guide::emphasisFor(region, language);
        if (emphasis.t2Red) emphasiseText(text, m_strText[2], TRUE, wholeWord);
        if (emphasis.t3Red) emphasiseText(text, m_strText[3], TRUE, wholeWord);
        emphasiseText(*m_rich[RICH_LINK], m_strText[5], FALSE, wholeWord);
    }

    if (m_btnOk.GetSafeHwnd()) m_btnOk.setText(CLangLibrary::loadLangString(kOkText), 16, 400);
    if (m_chkShow.GetSafeHwnd()) m_chkShow.m_textColor = kCheckText;
    if (m_staticLabel.GetSafeHwnd()) {
        if (CDlgRoot* r = root()) {
            r->m_lang.setText(image_guide::kDialogId, &m_staticLabel, kLabelText);
        } else {
            m_staticLabel.SetWindowText(CLangLibrary::loadLangString(kLabelText));
        }
        m_staticLabel.m_bgColor = kBody;
        m_staticLabel.Invalidate(FALSE);
    }
}

void CDlgInfoImagePopup::placeControls() {
    CRect client;
    GetClientRect(&client);
    const int w = client.Width(), h = client.Height();
    const int brand = CRegSetting::getLastUserCorp();
    if (m_btnOk.GetSafeHwnd()) CDLang::moveWnd(this, &m_btnOk, w / 2 - 100, h - 65, 200, 50, 2);
    const int boxX = m_nGuideType == 0 ? 60 : 115;
    const int labelX = m_nGuideType == 0 ? 85 : 140;
    // The label takes the width its text needs in bold: up to the OK
    // button, the box and label moved towards the edge when that is short,
    // and a second line only beyond that.
    web_guide::CheckRow row{{boxX, h - 49, 20, 20},
                            {labelX, h - 50 + (brand == CORP_TS ? 3 : 0), (w / 2 - 100) - labelX - 1, 20}};
    if (m_staticLabel.GetSafeHwnd()) {
        CString text;
        m_staticLabel.GetWindowText(text);
        const BOOL bold = m_staticLabel.m_bBold;
        m_staticLabel.m_bBold = TRUE;
        row = web_guide::fitCheckRow(row.box, row.label, m_staticLabel.measureText(text).cx, w / 2 - 100);
        m_staticLabel.m_bBold = bold;
        CDLang::moveWnd(this, &m_staticLabel, row.label.x, row.label.y, row.label.w, row.label.h, 2);
    }
    if (m_chkShow.GetSafeHwnd()) CDLang::moveWnd(this, &m_chkShow, row.box.x, row.box.y, row.box.w, row.box.h, 2);
    for (auto& r : m_rect) r = {};
    image_guide::rectanglesFor(m_nGuideType, brand, CRegSetting::getLanguage(), m_rect);
}

// The label is bold exactly while the box is ticked.
void CDlgInfoImagePopup::followCheck() {
    if (!m_staticLabel.GetSafeHwnd() || !m_chkShow.GetSafeHwnd()) return;
    const BOOL bold = m_chkShow.m_bChecked ? TRUE : FALSE;
    if (m_staticLabel.m_bBold == bold && m_staticLabel.m_nTextSize == 16) return;
    m_staticLabel.setFontStyle(16, bold);
    m_staticLabel.Invalidate(FALSE);
}

BOOL CDlgInfoImagePopup::prepareGuide(int language) {
    const int brand = CRegSetting::getLastUserCorp();
    const CString region = getRegionCode(CRegSetting::getRegion());
    const CString code =
        getLanguageCode(language == web_guide::kCurrentLanguage ? CRegSetting::getLanguage() : language);
    // The address first: the set-up hands it to the linked areas, so no
    // address of an earlier guide or brand stays on them.
    m_strGuideLink = image_guide::guideLink(m_nGuideType, brand, region, code);
    setupGuide();
    Invalidate(FALSE);
    return m_strGuideLink.IsEmpty() ? FALSE : TRUE;
}

LRESULT CDlgInfoImagePopup::OnGuideShow(WPARAM wParam, LPARAM) {
    m_nGuideType = static_cast<int>(wParam);
    return prepareGuide(web_guide::kCurrentLanguage);
}

LRESULT CDlgInfoImagePopup::OnGuideShowPage(WPARAM wParam, LPARAM lParam) {
    m_nGuideType = static_cast<int>(wParam);
    return prepareGuide(static_cast<int>(lParam));
}

LRESULT CDlgInfoImagePopup::OnChangeLanguage(WPARAM, LPARAM) {
    prepareGuide(web_guide::kCurrentLanguage);
    return 0;
}

BOOL CDlgInfoImagePopup::showPage(BOOL show) {
    if (show && m_bAutoSkip) {
        const int brand = CRegSetting::getLastUserCorp();
        const bool declined = (m_nGuideType == 0 && CRegSetting::isCheckedSoftwareModelGuide(brand)) ||
                              (m_nGuideType == 17 && CRegSetting::isCheckedSystemUpdate(brand));
        if (declined) {
            if (GetSafeHwnd()) {
                ShowWindow(SW_HIDE);
                SendMessage(UM_CLOSE_DROPDOWN, 0, 0);
            }
            return FALSE;
        }
    }
    m_bShown = show ? TRUE : FALSE;
    if (GetSafeHwnd()) {
        ShowWindow(show ? SW_SHOW : SW_HIDE);
        if (!show) SendMessage(UM_CLOSE_DROPDOWN, 0, 0);
    }
    return TRUE;
}

BOOL CDlgInfoImagePopup::initPage() { return TRUE; }

void CDlgInfoImagePopup::skipPage() {
    CBaseDialog* r = getRootDlg();
    if (!r) return;
    if (m_nGuideType == 0) r->pushViewPage(VIEW_STATE_CAR_CHANGE, TRUE);
    else if (m_nGuideType == 17) r->pullViewPage();
}

void CDlgInfoImagePopup::OnOK() { OnBnClickedOk(); }

void CDlgInfoImagePopup::OnBnClickedOk() {
    const int brand = CRegSetting::getLastUserCorp();
    const bool ticked = m_chkShow.m_bChecked != FALSE;
    CBaseDialog* r = getRootDlg();
    if (m_nGuideType == 0) {
        if (ticked) {
            CRegSetting::setCheckedSoftwareModelGuide(brand, 1);
            m_chkShow.m_bChecked = FALSE;
            m_bAutoSkip = false;
            followCheck();
        }
        if (r) r->pushViewPage(VIEW_STATE_CAR_CHANGE, TRUE);
    } else if (m_nGuideType == 17) {
        m_bShown = FALSE;
        ShowWindow(SW_HIDE);
        SendMessage(UM_CLOSE_DROPDOWN, 0, 0);
        if (r) r->pullViewPage();
        if (ticked) {
            CRegSetting::setCheckedSystemUpdate(brand, 1);
            m_chkShow.m_bChecked = FALSE;
            m_bAutoSkip = false;
            followCheck();
        }
    }
}

void CDlgInfoImagePopup::OnClickedGuideLabel() {
    if (!m_chkShow.GetSafeHwnd()) return;
    m_chkShow.m_bChecked = m_chkShow.m_bChecked ? FALSE : TRUE;
    m_chkShow.Invalidate(FALSE);
    followCheck();
}

// The box toggles itself.
void CDlgInfoImagePopup::OnClickedGuideCheck() { followCheck(); }

LRESULT CDlgInfoImagePopup::OnFollowCheck(WPARAM, LPARAM) {
    followCheck();
    return 0;
}

BOOL CDlgInfoImagePopup::PreTranslateMessage(MSG* msg) {
    if (msg->message == WM_LBUTTONUP && msg->hwnd == m_chkShow.GetSafeHwnd()) PostMessage(kFollowCheck);
    if (msg->message == WM_KEYDOWN && msg->wParam == VK_RETURN) {
        OnBnClickedOk();
        return TRUE;
    }
    return CBaseChildDialog::PreTranslateMessage(msg);
}

void CDlgInfoImagePopup::OnShowWindow(BOOL show, UINT status) {
    CBaseChildDialog::OnShowWindow(show, status);
    if (!show) return;
    loadTexts();
    if (m_btnOk.GetSafeHwnd()) {
        m_btnOk.setImage(web_guide::okImageId(CRegSetting::getLastUserCorp(), CRegSetting::getRegion()));
    }
    if (CBaseDialog* r = getRootDlg()) {
        r->enableTopButton(0, this, TRUE);
        const BOOL restricted = CDlgRoot::isRestrictedRegion(CRegSetting::getRegion(), CRegSetting::getLastUserCorp());
        r->enableTopButton(2, this, restricted ? FALSE : TRUE);
    }
    prepareGuide(web_guide::kCurrentLanguage);
}

CRect CDlgInfoImagePopup::mainPictureRect() const {
    if (!m_pMain || !GetSafeHwnd()) return CRect();
    CRect client;
    GetClientRect(&client);
    const int width = static_cast<int>(m_pMain->GetWidth());
    const int height = static_cast<int>(m_pMain->GetHeight());
    const int x = CRegSetting::getLanguage() == LANGUAGE_AR ? client.Width() - width - 10 : 10;
    return CRect(x, 60, x + width, 60 + height);
}

void CDlgInfoImagePopup::OnLButtonDown(UINT flags, CPoint point) {
    const bool linked = m_nGuideType == 17 && image_guide::isNorthAmerica(CRegSetting::getRegion()) && m_pMain;
    if (linked && mainPictureRect().PtInRect(point)) {
        SetCapture();
        m_bCapture = true;
        ::SetCursor(::LoadCursorW(nullptr, IDC_HAND));
    }
    CBaseChildDialog::OnLButtonDown(flags, point);
}

void CDlgInfoImagePopup::OnLButtonUp(UINT flags, CPoint point) {
    if (m_bCapture) {
        m_bCapture = false;
        if (::GetCapture() == m_hWnd) {
            ::SetCursor(::LoadCursorW(nullptr, IDC_ARROW));
            ::ReleaseCapture();
            if (mainPictureRect().PtInRect(point) && !m_strGuideLink.IsEmpty()) CGlobalFunc::openUrl(m_strGuideLink);
        }
    }
    CBaseChildDialog::OnLButtonUp(flags, point);
}

void CDlgInfoImagePopup::OnMouseMove(UINT flags, CPoint point) {
    const bool linked = m_nGuideType == 17 && image_guide::isNorthAmerica(CRegSetting::getRegion()) && m_pMain;
    if (linked) ::SetCursor(::LoadCursorW(nullptr, mainPictureRect().PtInRect(point) ? IDC_HAND : IDC_ARROW));
    CBaseChildDialog::OnMouseMove(flags, point);
}

BOOL CDlgInfoImagePopup::OnEraseBkgnd(CDC*) { return TRUE; }

void CDlgInfoImagePopup::OnPaint() {
    CPaintDC paint(this);
    CRect client;
    GetClientRect(&client);
    const int w = client.Width();
    CMemoryCanvas canvas(paint.GetSafeHdc(), w, client.Height());
    if (!canvas.valid()) return;
    canvas.fill(kBody);
    const HDC dc = canvas.dc();
    const HWND wnd = m_hWnd;
    const CString& face = g_strFontFace;
    const int brand = CRegSetting::getLastUserCorp();
    const int language = CRegSetting::getLanguage();
    const bool arabic = language == LANGUAGE_AR;
    {
        Gdiplus::Graphics g(dc);
        if (m_pMain) {
            const CRect at = mainPictureRect();
            drawPicture(g, m_pMain.get(), at.left, at.top, at.Width(), at.Height());
        }
        if (m_nGuideType == 0) {
            const auto x = [&](int left) { return arabic ? w - left - 24 : left; };
            const int icons[3][4] = {{46, 101, 442, 98}, {44, 217, 442, 184}, {248, 279, 442, 267}};
            Gdiplus::Bitmap* pictures[3] = {m_pIcon1.get(), m_pIcon2.get(), m_pIcon3.get()};
            for (int i = 0; i < 3; ++i) {
                drawPicture(g, pictures[i], x(icons[i][0]), icons[i][1], 24, 24);
                drawPicture(g, pictures[i], x(icons[i][2]), icons[i][3], 24, 24);
            }
            if (m_pSide) {
                const int sw = static_cast<int>(m_pSide->GetWidth()), sh = static_cast<int>(m_pSide->GetHeight());
                drawPicture(g, m_pSide.get(), arabic ? w - sw - 279 : 279, 270, sw, sh);
            }
        }
    }
    if (m_nGuideType == 0) {
        CGdiFunc::drawTextLinesInWnd(wnd, dc, 11, m_strText[0], face, 0, kSoft, FALSE, 0, 11, 1, nullptr,
                                     toRect(m_rect[0]));
        CGdiFunc::drawTextLinesInWnd(wnd, dc, 11, m_strText[2], face, 0, kSoft, FALSE, 0, 11, 1, nullptr,
                                     toRect(m_rect[2]));
        const int s = brand == CORP_LV ? 10 : 11;
        if (language == LANGUAGE_KO || language == LANGUAGE_EN) {
            const int size = language == LANGUAGE_KO ? s + 1 : s;
            CGdiFunc::drawTextLinesInWnd(wnd, dc, size, m_strText[1], face, 0, kPale, FALSE, 1, size, 1, nullptr,
                                         toRect(m_rect[1]));
        } else {
            const int size = language == LANGUAGE_F1 || language == LANGUAGE_ES ? s - 1 : s;
            CGdiFunc::drawTextLinesExInWnd(wnd, dc, size, m_strText[1], face, 0, kPale, FALSE, 1, size, 2, nullptr,
                                           toRect(m_rect[1]));
        }
        for (int i = 3; i <= 5; ++i) {
            CGdiFunc::drawTextLinesExInWnd(wnd, dc, 17, m_strText[i], face, 0, kText, FALSE, 0,
                                           m_rect[i].bottom - m_rect[i].top, 0, nullptr, toRect(m_rect[i]));
        }
        drawTextBlock(dc, w);
    } else if (m_nGuideType == 17) {
        const COLORREF colours[5] = {kText, kKey, kLabel, kKey, kLabel};
        for (int i = 0; i < 5; ++i) {
            const image_guide::Rect& r = m_rect[2 + i];
            CGdiFunc::drawTextLinesExInWnd(wnd, dc, 16, m_strText[6 + i], face, i == 0 ? 1 : 0, colours[i], FALSE, 0,
                                           r.bottom - r.top, 0, nullptr, toRect(r));
        }
    }
    const RECT title = {0, brand == CORP_TS ? 8 : 4, w, 65};
    const int titleSize = language == LANGUAGE_FR || language == LANGUAGE_DE ? 20 : 22;
    CGdiFunc::drawTextInWnd(wnd, dc, title, m_strTitle, face, titleSize, FALSE, kTitle, 1);
    canvas.copyTo(paint.GetSafeHdc());
}

void CDlgInfoImagePopup::drawTextBlock(HDC dc, int clientWidth) {
    const image_guide::Rect& r6 = m_rect[6];
    const int width = r6.right - r6.left, height = r6.bottom - r6.top;
    if (width <= 0 || height <= 0) return;
    CRect client;
    GetClientRect(&client);
    CMemoryCanvas block(dc, client.Width(), client.Height());
    if (!block.valid()) return;
    block.fill(kBody);
    const RECT box = {0, 0, width, height};
    int used = CGdiFunc::drawTextLinesEx(block.dc(), 15, m_strText[6], g_strFontFace, 0, kText, FALSE, 0, 15, 3,
                                         nullptr, box);
    used = std::min(used + 4, client.Height());
    const bool arabic = CRegSetting::getLanguage() == LANGUAGE_AR;
    const int top = r6.top + (height - used) / 2;
    const int left = arabic ? clientWidth - r6.left - width : r6.left;
    ::BitBlt(dc, left, top, width, used, block.dc(), 0, 0, SRCCOPY);
    if (!m_pMarker) return;
    const int brand = CRegSetting::getLastUserCorp();
    int offset = 0;
    if (brand == CORP_LV || brand == CORP_DR) offset = 5;
    else if (CRegSetting::getLanguage() == LANGUAGE_ES) offset = 2;
    Gdiplus::Graphics g(dc);
    g.DrawImage(m_pMarker.get(), arabic ? clientWidth - 453 : 442, top + offset, 11, 11);
}
