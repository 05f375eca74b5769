// The vehicle search page: construction, controls, texts, fonts, layout,
// showing and painting. The search and the lists are in
// dlg_car_change_search.cpp, the buttons and keys in
// dlg_car_change_actions.cpp.
#include "pages/vehicle/dlg_car_change.h"

#include "descriptors/inf_info.h"
#include "foundation/code_tables.h"
#include "foundation/current_ui.h"
#include "foundation/globalfunc.h"
#include "foundation/private_messages.h"
#include "foundation/registered_messages.h"
#include "foundation/regsetting.h"
#include "pages/account/dlg_info_image_popup.h"
#include "pages/vehicle/car_change_layout.h"
#include "pages/vehicle/page_fonts.h"
#include "resources/resource.h"
#include "shell/dlg_page_message.h"
#include "shell/dlg_root.h"
#include "shell/message_types.h"
#include "shell/main_frame.h"
#include "ui/dlang.h"
#include "ui/font_cache.h"
#include "ui/lang_library.h"
#include "ui/memory_canvas.h"
#include "ui/view_state.h"

#include <algorithm>

namespace {

constexpr COLORREF WHITE = 0xFFFFFF;
constexpr COLORREF HEADING_TEXT = 0x7D6C5E;
constexpr COLORREF LABEL_TEXT = 0xB1AAA4;
constexpr COLORREF LIST_TITLE_TEXT = 0x69635D;
constexpr COLORREF LINK_TEXT = 0x69635D;
constexpr int MIRROR_IN_ARABIC = 2;
constexpr int DIALOG_ID = VIEW_STATE_CAR_CHANGE;
// The seven state slots of the search-state toggles: white in the pressed
// and the checked-pressed faces, grey elsewhere.
constexpr COLORREF STATE_TEXT[7] = {0xB1AAA4, 0xB1AAA4, 0xFFFFFF, 0xB1AAA4, 0xB1AAA4, 0xFFFFFF, 0xB1AAA4};

bool arabicUi() { return CRegSetting::getLanguage() == LANGUAGE_AR; }

CString text(int id) { return CLangLibrary::loadLangString(static_cast<UINT>(id)); }

using page_fonts::setStaticFont;
using page_fonts::setWindowFont;

// The caption's width as the link draws it (GDI+, the program's face, in
// pixels); the window's own extent would measure the dialog font.
int captionWidth(HWND window, const CString& caption, int size) {
    HDC dc = ::GetDC(window);
    if (!dc) return 0;
    int width = 0;
    {
        Gdiplus::Graphics graphics(dc);
        Gdiplus::FontFamily* family = CGdiFunc::familyOf(g_strFontFace);
        {
            Gdiplus::Font font(family, static_cast<Gdiplus::REAL>(size), Gdiplus::FontStyleRegular,
                               Gdiplus::UnitPixel);
            width = static_cast<int>(CGdiFunc::measureText(&graphics, &font, caption).Width + 0.5f);
        }
        if (!CGdiFunc::isSharedFamily(family)) delete family;
    }
    ::ReleaseDC(window, dc);
    return width;
}

CString linkCaption() { return (arabicUi() ? CString(L"\x25C0") : CString(L"\x25B6")) + text(12164); }

}  // namespace

BEGIN_MESSAGE_MAP(CDlgCarChange, CBaseChildDialog)
    ON_BN_CLICKED(IDOK, &CDlgCarChange::OnBnClickedOk)
    ON_BN_CLICKED(IDCANCEL, &CDlgCarChange::OnBnClickedCancel)
    ON_MESSAGE(UM_LIST_SELECT, &CDlgCarChange::OnListSelect)
    ON_WM_PAINT()
    ON_WM_ERASEBKGND()
    ON_BN_CLICKED(IDC_SEARCH_CAR, &CDlgCarChange::OnBnClickedSearchCar)
    ON_BN_CLICKED(IDC_SEARCH_MODEL, &CDlgCarChange::OnBnClickedSearchModel)
    ON_BN_CLICKED(IDC_SEARCH_SW, &CDlgCarChange::OnBnClickedSearchSw)
    ON_REGISTERED_MESSAGE(RWM_CHANGE_LANGUAGE, &CDlgCarChange::OnRegisteredMessage_ChangeLanguage)
    ON_EN_UPDATE(IDC_EDIT_CAR_SEARCH, &CDlgCarChange::OnEnUpdateSearchText)
    ON_REGISTERED_MESSAGE(RWM_MESSAGE_RESULT, &CDlgCarChange::OnRegisteredMessage_MessageResult)
    ON_BN_CLICKED(IDC_BTN_RIGHT_MSG, &CDlgCarChange::OnBnClickedRightMsg)
    ON_WM_SHOWWINDOW()
    ON_WM_CTLCOLOR()
END_MESSAGE_MAP()

CDlgCarChange::CDlgCarChange(CBaseDialog* root)
    : CBaseChildDialog(IDD_CAR_CHANGE, root), m_btnRightMsg(CString(), 3) {
    m_ePageViewStatus = VIEW_STATE_CAR_CHANGE;
    m_whiteBrush.CreateSolidBrush(WHITE);
}

CDlgCarChange::~CDlgCarChange() {
    if (CDlgRoot* r = root()) r->m_lang.removeDlg(DIALOG_ID);
    // The list windows go before their rows and before the page.
    m_pListCar.reset();
    m_pListDevice.reset();
    m_pListResult.reset();
    m_pCarItems.reset();
    m_pDeviceItems.reset();
    m_pResultItems.reset();
    delete m_pSearchIcon;
    m_pSearchIcon = nullptr;
    if (GetSafeHwnd()) DestroyWindow();
}

CMainFrame* CDlgCarChange::frame() const { return dynamic_cast<CMainFrame*>(m_pMainFrame); }

CDlgRoot* CDlgCarChange::root() const { return dynamic_cast<CDlgRoot*>(m_pRootDlg); }

const std::list<InfInfo*>* CDlgCarChange::vehicles() const {
    CMainFrame* f = frame();
    return f && f->m_pInfInfoList ? &f->m_pInfInfoList->m_list : nullptr;
}

void CDlgCarChange::DoDataExchange(CDataExchange* dx) {
    CBaseChildDialog::DoDataExchange(dx);
    DDX_Control(dx, IDC_SEARCH_CAR, m_btnSearchCar);
    DDX_Control(dx, IDC_SEARCH_MODEL, m_btnSearchModel);
    DDX_Control(dx, IDC_SEARCH_SW, m_btnSearchSw);
    DDX_Control(dx, IDOK, m_btnOk);
    DDX_Control(dx, IDCANCEL, m_btnCancel);
    DDX_Control(dx, IDC_STATIC_CAR_LIST_TITLE, m_stCarListTitle);
    DDX_Control(dx, IDC_STATIC_DEVICE_LIST_TITLE, m_stDeviceListTitle);
    DDX_Control(dx, IDC_STATIC_CHANG_MSG, m_stChangMsg);
    DDX_Control(dx, IDC_STATIC_CHANGE_VER_TITLE, m_stVerTitle);
    DDX_Control(dx, IDC_STATIC_CHANGE_SEL_TITLE, m_stSelTitle);
    DDX_Control(dx, IDC_STATIC_CAR_IMAGE, m_stCarImage);
    DDX_Control(dx, IDC_BTN_RIGHT_MSG, m_btnRightMsg);
    DDX_Control(dx, IDC_EDIT_CAR_SEARCH, m_editSearch);
    DDX_Control(dx, IDC_STATIC_CAR_SELECT_1, m_stSelect1);
    DDX_Control(dx, IDC_STATIC_CAR_SELECT_2, m_stSelect2);
    DDX_Control(dx, IDC_STATIC_CAR_SELECT_3, m_stSelect3);
    DDX_Control(dx, IDC_COMBO_CAR_HIDDEN, m_comboHidden);
    DDX_Control(dx, IDC_COMBO_CAR_SEARCH_FRAME, m_comboFrame);
}

BOOL CDlgCarChange::OnInitDialog() {
    CBaseChildDialog::OnInitDialog();
    SetWindowPos(nullptr, 0, 60, 900, 590, SWP_NOZORDER | SWP_NOACTIVATE);
    initControls();
    showNotice();
    m_stSelect1.m_bRightAlign = arabicUi() ? TRUE : FALSE;
    setControlTexts();
    setControlFonts();
    layoutControls();
    return TRUE;
}

void CDlgCarChange::createList(std::unique_ptr<CListWnd>& list, std::unique_ptr<CStringList>& items, int id) {
    if (list) return;
    list = std::make_unique<CListWnd>(this);
    items = std::make_unique<CStringList>();
    list->m_pItems = items.get();
    list->m_nListId = id;
    if (id == 2) {
        list->setListStyle(L"S");
        list->m_highlightColor =
            car_change_layout::brandFor(CRegSetting::getLastUserCorp(), CRegSetting::getRegion()).highlight;
    }
    list->Create(CRect(0, 0, 0, 0), this, static_cast<UINT>(0xE100 + id),
                 WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN);
    if (id != 2) list->m_nFontSize = 18;
}

void CDlgCarChange::initControls() {
    m_bHideResultList = TRUE;
    for (CStaticEx* s : {&m_stChangMsg, &m_stVerTitle, &m_stSelTitle, &m_stCarListTitle, &m_stDeviceListTitle,
                         &m_stSelect1, &m_stSelect2, &m_stSelect3}) {
        s->ModifyStyle(0, SS_OWNERDRAW);
    }
    m_stCarImage.ModifyStyle(0, SS_BITMAP | SS_CENTERIMAGE);
    createList(m_pListCar, m_pCarItems, 0);
    createList(m_pListDevice, m_pDeviceItems, 1);
    createList(m_pListResult, m_pResultItems, 2);
    m_btnSearchCar.setCheck(FALSE);
    for (CPngButton* b : {&m_btnOk, &m_btnCancel, &m_btnSearchCar, &m_btnSearchModel, &m_btnSearchSw}) {
        b->ModifyStyle(0, BS_OWNERDRAW);
    }
    m_btnCancel.setImage(IDB_BUTTON_CANCEL_STRIP);
    delete m_pSearchIcon;
    m_pSearchIcon = CGdiFunc::loadPngResource(IDB_CAR_SEARCH_ICON);
    m_editSearch.SendMessage(EM_LIMITTEXT, 128, 0);
    m_editSearch.ShowWindow(SW_SHOW);
    m_comboFrame.ModifyStyle(0, CBS_OWNERDRAWFIXED);
    m_comboFrame.EnableWindow(FALSE);
    // A closed combo box is as high as its selection field: the frame
    // behind the search box is the box's 40 pixels.
    m_comboFrame.SendMessage(CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), 34);
}

void CDlgCarChange::setControlTexts() {
    if (CDlgRoot* r = root()) {
        r->m_lang.setText(DIALOG_ID, &m_stVerTitle, 12163);
        r->m_lang.setText(DIALOG_ID, &m_stSelTitle, 13173);
        r->m_lang.setText(DIALOG_ID, &m_stCarListTitle, 12151);
        r->m_lang.setText(DIALOG_ID, &m_stDeviceListTitle, 12152);
    }
    m_btnSearchCar.setText(text(12147), 16, 400);
    m_btnSearchSw.setText(text(12148), 16, 400);
    m_btnSearchModel.setText(text(12149), 16, 400);
    m_btnOk.setText(text(12019), 16, 400);
    m_btnCancel.setText(text(12154), 16, 400);
    m_btnRightMsg.setText(linkCaption(), 16, FALSE, 3);
    m_btnRightMsg.setUrl(L" ");
    m_stChangMsg.SetWindowText(CString());

    m_stVerTitle.m_textColor = HEADING_TEXT;
    m_stSelTitle.m_textColor = HEADING_TEXT;
    m_stChangMsg.m_textColor = LABEL_TEXT;
    m_stCarListTitle.m_textColor = LIST_TITLE_TEXT;
    m_stDeviceListTitle.m_textColor = LIST_TITLE_TEXT;
    for (CStaticEx* s : {&m_stSelect1, &m_stSelect2, &m_stSelect3}) s->m_textColor = LIST_TITLE_TEXT;
    m_btnRightMsg.m_textColor = LINK_TEXT;
    m_btnRightMsg.m_linkColor = HEADING_TEXT;
    m_btnRightMsg.m_linkHoverColor = HEADING_TEXT;
    for (CPngButton* b : {&m_btnSearchCar, &m_btnSearchModel, &m_btnSearchSw}) {
        for (int i = 0; i < 7; ++i) b->m_colors[i] = STATE_TEXT[i];
    }
    m_editSearch.setColors(WHITE, LABEL_TEXT);
    m_editSearch.setBorderColor(WHITE);
    m_editSearch.setHintText(text(12165));
    updateOkButton();
    const BOOL right = arabicUi() ? FALSE : TRUE;
    for (CListWnd* list : {m_pListCar.get(), m_pListDevice.get(), m_pListResult.get()}) {
        if (list) list->setScrollBarRight(right);
    }
}

void CDlgCarChange::setControlFonts() {
    setStaticFont(m_stVerTitle, car_change_layout::headingSize(CRegSetting::getLanguage()));
    setStaticFont(m_stSelTitle, 16);
    setStaticFont(m_stChangMsg, 20);
    setStaticFont(m_stCarListTitle, 17);
    setStaticFont(m_stDeviceListTitle, 17);
    setStaticFont(m_stSelect1, 20);
    setStaticFont(m_stSelect2, 18);
    setStaticFont(m_stSelect3, 18);
    m_btnRightMsg.m_nTextSize = 14;
    setWindowFont(m_btnRightMsg, 14);
    for (CPngButton* b : {&m_btnSearchCar, &m_btnSearchModel, &m_btnSearchSw}) setWindowFont(*b, 16);
    setWindowFont(m_btnOk, 22);
    setWindowFont(m_btnCancel, 22);
    setWindowFont(m_editSearch, 16);
}

void CDlgCarChange::layoutControls() {
    if (!GetSafeHwnd()) return;
    CRect client;
    GetClientRect(&client);
    CString heading, selHeading, label;
    m_stVerTitle.GetWindowText(heading);
    m_stSelTitle.GetWindowText(selHeading);
    m_stChangMsg.GetWindowText(label);
    // Both headings take the search heading's width; the one above the
    // lists is longer in every language and would be cut at that width.
    const int headingWidth =
        std::max<int>(m_stVerTitle.measureText(heading).cx, m_stSelTitle.measureText(selHeading).cx);
    const int labelWidth = label.IsEmpty() ? 0 : m_stChangMsg.measureText(label).cx;
    for (const car_change_layout::Placement& p :
         car_change_layout::fixedPlacements(client.Height(), headingWidth, labelWidth)) {
        CDLang::moveWnd(this, GetDlgItem(p.id), p.x, p.y, p.width, p.height, MIRROR_IN_ARABIC);
    }
    const int resultRows = m_pResultItems ? static_cast<int>(m_pResultItems->GetCount()) : 0;
    for (CListWnd* list : {m_pListCar.get(), m_pListDevice.get(), m_pListResult.get()}) {
        if (!list) continue;
        const car_change_layout::Placement p = car_change_layout::listPlacement(list->m_nListId, resultRows);
        CGlobalFunc::moveChildWindow(m_hWnd, list->GetSafeHwnd(), p.x, p.y, p.width, p.height, MIRROR_IN_ARABIC);
    }

    m_btnRightMsg.m_nTextSize = 14;
    setWindowFont(m_btnRightMsg, 14);
    const car_change_layout::Placement link = car_change_layout::linkButton(
        client.Width(), captionWidth(m_btnRightMsg.GetSafeHwnd(), linkCaption(), 14), arabicUi(),
        CRegSetting::getLastUserCorp());
    CDLang::moveWnd(this, &m_btnRightMsg, link.x, link.y, link.width, link.height, MIRROR_IN_ARABIC);

    m_comboHidden.ShowWindow(SW_HIDE);
    setStaticFont(m_stVerTitle, car_change_layout::headingSize(CRegSetting::getLanguage()));
    setStaticFont(m_stSelTitle, 16);
    m_stVerTitle.Invalidate(FALSE);
    m_stSelTitle.Invalidate(FALSE);
}

void CDlgCarChange::setBrandImages() {
    const car_change_layout::Brand brand =
        car_change_layout::brandFor(CRegSetting::getLastUserCorp(), CRegSetting::getRegion());
    if (m_pListResult) m_pListResult->m_highlightColor = brand.highlight;
    if (!brand.known) return;
    for (CPngButton* b : {&m_btnSearchCar, &m_btnSearchModel, &m_btnSearchSw}) {
        // Seven frames: the strip's checked faces make it a toggle.
        b->m_nFrameCount = 7;
        b->setImage(brand.stateImage);
    }
    m_btnOk.setImage(brand.okImage);
}

BOOL CDlgCarChange::initPage() {
    m_bRefreshOnShow = 1;
    const int corp = CRegSetting::getLastUserCorp();
    CRegSetting::setCheckedSoftwareModelGuide(corp, CRegSetting::isCheckedSoftwareModelGuide(corp));
    if (CDlgRoot* r = root()) {
        if (CDlgPageMessage* message = r->getMessagePage(999)) {
            message->setMessageType(SERVER_ETC_CAR_CHANGE_GUIDE, this);
        }
        if (CDlgInfoImagePopup* guide = r->m_pPageInfoImagePopup) {
            if (guide->GetSafeHwnd()) guide->SendMessage(UM_GUIDE_SHOW_PAGE, 0, 99);
            guide->setAutoSkip(TRUE);
        }
        r->pushViewPage(VIEW_STATE_INFO_IMAGE_POPUP, TRUE);
    }
    setBrandImages();
    m_btnSearchCar.setCheck(TRUE);
    setControlFonts();
    return TRUE;
}

BOOL CDlgCarChange::showPage(BOOL show) {
    if (!show) {
        m_bShown = FALSE;
        ShowWindow(SW_HIDE);
        SendMessage(UM_CLOSE_DROPDOWN, 0, 0);
        return TRUE;
    }
    const std::list<InfInfo*>* list = vehicles();
    if (!list) return FALSE;
    m_mapSwMask = buildMaskIndex(*list);
    if (m_pListResult) m_pListResult->m_nKeyboardRow = -1;
    for (CPngButton* b : {&m_btnSearchCar, &m_btnSearchModel, &m_btnSearchSw}) b->ShowWindow(SW_HIDE);
    if (CDlgRoot* r = root()) r->updateTopButtons();
    m_bShown = TRUE;
    ShowWindow(SW_SHOW);
    setWindowFont(m_editSearch, 16);
    m_stSelect1.m_bRightAlign = arabicUi() ? TRUE : FALSE;
    setControlTexts();
    setControlFonts();
    layoutControls();
    return TRUE;
}

LRESULT CDlgCarChange::OnRegisteredMessage_ChangeLanguage(WPARAM, LPARAM) {
    const BOOL right = arabicUi() ? FALSE : TRUE;
    for (CListWnd* list : {m_pListCar.get(), m_pListDevice.get(), m_pListResult.get()}) {
        if (list) list->setScrollBarRight(right);
    }
    setSearchCar();
    setSearchModel();
    m_stSelect1.m_bRightAlign = arabicUi() ? TRUE : FALSE;
    setControlTexts();
    setControlFonts();
    layoutControls();
    Invalidate(FALSE);
    return 0;
}

BOOL CDlgCarChange::OnEraseBkgnd(CDC*) { return TRUE; }

// The disabled frame behind the search box would fill its field with the
// dialog's grey, which shows above the box.
HBRUSH CDlgCarChange::OnCtlColor(CDC* dc, CWnd* control, UINT ctlColor) {
    if (control && control->GetSafeHwnd() == m_comboFrame.GetSafeHwnd()) {
        dc->SetBkColor(WHITE);
        return static_cast<HBRUSH>(m_whiteBrush.GetSafeHandle());
    }
    return CBaseChildDialog::OnCtlColor(dc, control, ctlColor);
}

void CDlgCarChange::OnPaint() {
    CPaintDC dc(this);
    CRect client;
    GetClientRect(&client);
    CMemoryCanvas canvas(dc.GetSafeHdc(), client.Width(), client.Height());
    if (canvas.valid()) {
        canvas.fill(WHITE);
        SetBkMode(canvas.dc(), TRANSPARENT);
        Gdiplus::Graphics graphics(canvas.dc());
        const bool arabic = arabicUi();
        if (m_pSearchIcon) {
            const int iw = static_cast<int>(m_pSearchIcon->GetWidth());
            const int ih = static_cast<int>(m_pSearchIcon->GetHeight());
            if (arabic) m_pSearchIcon->RotateFlip(Gdiplus::RotateNoneFlipX);
            for (CStaticEx* header : {&m_stCarListTitle, &m_stDeviceListTitle}) {
                CRect r;
                header->GetWindowRect(&r);
                ScreenToClient(&r);
                // The header is already mirrored; the icon goes on its
                // reading-start side, drawn without a second mirroring.
                const int x = arabic ? r.right - iw + 10 : r.left - 10;
                graphics.DrawImage(m_pSearchIcon, x, r.top + 3, iw, ih);
            }
            if (arabic) m_pSearchIcon->RotateFlip(Gdiplus::RotateNoneFlipX);
        }
    }
    canvas.copyTo(dc.GetSafeHdc());

    if (m_bHideResultList) {
        if (m_pListResult) m_pListResult->ShowWindow(SW_HIDE);
        m_bHideResultList = FALSE;
    }
    const car_change_layout::Buttons b =
        car_change_layout::okCancel(client.Width(), client.Height(), m_btnCancel.IsWindowVisible() != FALSE);
    CDLang::moveWnd(this, &m_btnOk, b.ok.x, b.ok.y, b.ok.width, b.ok.height, MIRROR_IN_ARABIC);
    CDLang::moveWnd(this, &m_btnCancel, b.cancel.x, b.cancel.y, b.cancel.width, b.cancel.height, MIRROR_IN_ARABIC);
}
