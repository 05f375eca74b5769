// The finish page: the result it is handed, texts, fonts, layout, which of
// its controls show, and painting. Its buttons and answers are in
// dlg_car_finish_buttons.cpp.
#include "pages/vehicle/dlg_car_finish.h"

#include "descriptors/inf_file_head.h"
#include "descriptors/inf_info.h"
#include "foundation/code_tables.h"
#include "foundation/logmanager.h"
#include "foundation/private_messages.h"
#include "foundation/registered_messages.h"
#include "foundation/regsetting.h"
#include "ui/path_text.h"
#include "pages/vehicle/dlg_car_update.h"
#include "resources/resource.h"
#include "shell/dlg_root.h"
#include "shell/main_frame.h"
#include "ui/dlang.h"
#include "ui/font_cache.h"
#include "ui/lang_library.h"
#include "ui/memory_canvas.h"
#include "ui/view_state.h"

namespace {

constexpr COLORREF WHITE = RGB(255, 255, 255);
constexpr COLORREF PATH_TEXT = RGB(164, 170, 177);
constexpr int MIRROR_IN_ARABIC = 2;
constexpr UINT IDB_FINISH_PICTURE = 372;
constexpr UINT IDB_FINISH_SIDEBAR = 436;
constexpr UINT IDB_FINISH_ARROW = 474;
constexpr UINT IDB_FINISH_MAIN_TS = 443;
constexpr UINT IDB_FINISH_MAIN_DR = 444;
constexpr UINT IDB_FINISH_MAIN_LV = 445;
constexpr UINT IDB_FINISH_MAIN_LV_NA = 1731;
constexpr UINT IDB_FINISH_GUIDE = 446;
constexpr UINT IDB_FINISH_SIDE = 447;

constexpr int TEXT_FOLDER_TITLE = 12192;
constexpr int TEXT_REMOVE = 12337;
constexpr int TEXT_TITLE = 12339;
constexpr int TEXT_MESSAGE_1 = 12340;
constexpr int TEXT_MESSAGE_2 = 12341;
constexpr int TEXT_USB_GUIDE = 12342;
constexpr int TEXT_INSTALL_GUIDE = 12343;
constexpr int TEXT_FINISH = 12344;
constexpr int TEXT_CAR_SELECT = 12345;
constexpr int TEXT_FOLDER = 12346;
constexpr int TEXT_SD_CARD = 12347;
constexpr int TEXT_USB_COPY = 12348;

// Lower controls move down by this much when the message has three lines.
constexpr int THREE_LINE_SHIFT = 21;

CString text(int id) { return CLangLibrary::loadLangString(static_cast<UINT>(id)); }
int language() { return CRegSetting::getLanguage(); }
bool arabicUi() { return language() == LANGUAGE_AR; }
int corp() { return CRegSetting::getLastUserCorp(); }

void setWindowFont(CWnd& window, CFont* font) {
    if (window.GetSafeHwnd() && font) {
        window.SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(font->GetSafeHandle()), TRUE);
    }
}

void setButtonFont(CPngButton& button, int size) {
    button.m_nCaptionSize = size;
    setWindowFont(button, CFontCache::getFont(size));
}

}  // namespace

BEGIN_MESSAGE_MAP(CDlgCarFinish, CBaseChildDialog)
    ON_BN_CLICKED(IDC_BUTTON_FINISH, &CDlgCarFinish::OnBnClickedButtonFinish)
    ON_BN_CLICKED(IDC_BUTTON_CAR_SELECT, &CDlgCarFinish::OnBnClickedButtonCarSelect)
    ON_WM_PAINT()
    ON_WM_ERASEBKGND()
    ON_BN_CLICKED(IDC_BUTTON_FOLDER, &CDlgCarFinish::OnBnClickedButtonFolder)
    ON_BN_CLICKED(IDC_BUTTON_USB, &CDlgCarFinish::OnBnClickedButtonUsb)
    ON_BN_CLICKED(IDC_BUTTON_INSTALL, &CDlgCarFinish::OnBnClickedButtonInstall)
    ON_BN_CLICKED(IDC_BUTTON_SDCARD, &CDlgCarFinish::OnBnClickedButtonSdcard)
    ON_REGISTERED_MESSAGE(RWM_CHANGE_LANGUAGE, &CDlgCarFinish::OnRegisteredMessage_ChangeLanguage)
    ON_REGISTERED_MESSAGE(RWM_MESSAGE_RESULT, &CDlgCarFinish::OnRegisteredMessage_MessageResult)
    ON_WM_SHOWWINDOW()
    ON_BN_CLICKED(IDC_CHECK_REMOVE_USB, &CDlgCarFinish::OnBnClickedCheckRemoveUsb)
    ON_STN_CLICKED(IDC_CHECK_REMOVE_USB_COMMENT, &CDlgCarFinish::OnClickedRemoveUsbComment)
    ON_MESSAGE(UM_FOLLOW_REMOVE_BOX, &CDlgCarFinish::OnFollowRemoveBox)
END_MESSAGE_MAP()

CDlgCarFinish::CDlgCarFinish(CBaseDialog* root) : CBaseChildDialog(IDD_CAR_FINISH, root) {
    // The page keeps the base's VIEW_STATE_NONE: a pull back to it leaves the
    // root's current view at NONE, which the hidden-mode rule relies on.
}

CDlgCarFinish::~CDlgCarFinish() {
    if (CDlgRoot* r = root()) r->m_lang.removeDlg(VIEW_STATE_CAR_FINISH);
    delete m_pImgSidebar;
    delete m_pImgPicture;
    delete m_pImgArrow;
    delete m_pImgArrowRtl;
    if (GetSafeHwnd()) DestroyWindow();
}

CMainFrame* CDlgCarFinish::frame() const { return dynamic_cast<CMainFrame*>(m_pMainFrame); }

CDlgRoot* CDlgCarFinish::root() const { return CDlgRoot::of(m_pRootDlg); }

void CDlgCarFinish::DoDataExchange(CDataExchange* dx) {
    CBaseChildDialog::DoDataExchange(dx);
    DDX_Control(dx, IDC_STATIC_FINISH_TITLE, m_stTitle);
    DDX_Control(dx, IDC_BUTTON_FINISH, m_btnFinish);
    DDX_Control(dx, IDC_STATIC_FINISH_MSG, m_stMessage);
    DDX_Control(dx, IDC_BUTTON_USB, m_btnUsbGuide);
    DDX_Control(dx, IDC_BUTTON_INSTALL, m_btnInstallGuide);
    DDX_Control(dx, IDC_BUTTON_CAR_SELECT, m_btnCarSelect);
    DDX_Control(dx, IDC_BUTTON_FOLDER, m_btnFolder);
    DDX_Control(dx, IDC_BUTTON_SDCARD, m_btnSdCard);
    DDX_Control(dx, IDC_CHECK_REMOVE_USB, m_checkRemove);
    DDX_Control(dx, IDC_STATIC_DOWNLOAD, m_stDownloadTitle);
    DDX_Control(dx, IDC_EDIT_DOWNLOAD_PATH, m_editDownloadPath);
    DDX_Control(dx, IDC_CHECK_REMOVE_USB_COMMENT, m_stRemoveComment);
}

BOOL CDlgCarFinish::setResult(InfInfo* info, wchar_t letter) {
    InfFileHead* head = info ? info->getInfFileHead() : nullptr;
    if (!head) {
        // The callers pass loaded vehicles; anything else keeps the result
        // shown before rather than ending the program from a handler.
        LOG_WRITE(L"inf_info has Null Point");
        return FALSE;
    }
    CDlgRoot* r = root();
    if (letter == 0) {
        m_strStorageCode = L"H";
        if (r) r->m_bDestIsDrive = 0;
    } else {
        m_strStorageCode = L"U";
        if (r) r->m_bDestIsDrive = 1;
    }
    m_strVehicleName = getLangCode(info->getDeviceNameIntl()) == L"KO" ? info->getDeviceName() : info->getDeviceNameIntl();
    m_strInfBaseName = head->getInfBaseName();
    return TRUE;
}

BOOL CDlgCarFinish::OnInitDialog() {
    CBaseChildDialog::OnInitDialog();
    SetWindowPos(nullptr, 0, 60, 900, 590, SWP_NOZORDER | SWP_NOACTIVATE);
    for (CStaticEx* s : {&m_stTitle, &m_stMessage, &m_stRemoveComment, &m_stDownloadTitle}) s->ModifyStyle(0, SS_OWNERDRAW);
    m_pImgSidebar = CGdiFunc::loadPngResource(IDB_FINISH_SIDEBAR);
    m_pImgPicture = CGdiFunc::loadPngResource(IDB_FINISH_PICTURE);
    m_pImgArrow = CGdiFunc::loadPngResource(IDB_FINISH_ARROW);
    if (m_pImgArrow) {
        m_pImgArrowRtl = m_pImgArrow->Clone(0, 0, static_cast<INT>(m_pImgArrow->GetWidth()),
                                            static_cast<INT>(m_pImgArrow->GetHeight()), m_pImgArrow->GetPixelFormat());
        if (m_pImgArrowRtl) m_pImgArrowRtl->RotateFlip(Gdiplus::RotateNoneFlipX);
    }
    for (CPngButton* b : {&m_btnFinish, &m_btnUsbGuide, &m_btnInstallGuide, &m_btnCarSelect, &m_btnFolder, &m_btnSdCard}) {
        b->ModifyStyle(0, BS_OWNERDRAW);
    }
    const int rtl = arabicUi() ? 1 : 0;
    for (CPngButton* b : {&m_btnUsbGuide, &m_btnInstallGuide}) {
        b->setImage(IDB_FINISH_GUIDE);
        b->m_nCenter = 1;
        b->m_nRightToLeft = rtl;
    }
    for (CPngButton* b : {&m_btnCarSelect, &m_btnFolder}) b->setImage(IDB_FINISH_SIDE);
    m_btnSdCard.m_nRightToLeft = rtl;
    m_editDownloadPath.SendMessage(EM_SETREADONLY, TRUE, 0);
    m_editDownloadPath.setColors(WHITE, PATH_TEXT);
    setString();
    layoutControls();
    applyFonts();
    showNotice();
    return TRUE;
}

// ---------------------------------------------------------------- texts and fonts

void CDlgCarFinish::setString() {
    if (!GetSafeHwnd()) return;
    CDlgRoot* r = root();
    if (r) r->m_lang.setText(VIEW_STATE_CAR_FINISH, &m_stTitle, TEXT_TITLE);
    else m_stTitle.SetWindowText(text(TEXT_TITLE));
    m_stTitle.m_textColor = RGB(94, 108, 125);
    const CString second = text(TEXT_MESSAGE_2);
    m_stMessage.SetWindowText(text(TEXT_MESSAGE_1) + L"\n" + second);
    m_stMessage.m_textColor = RGB(93, 99, 105);
    m_nThreeLines = second.Find(L'\n') >= 0 ? 1 : 0;
    m_btnUsbGuide.setText(text(TEXT_USB_GUIDE), 16, 400);
    m_btnInstallGuide.setText(text(TEXT_INSTALL_GUIDE), 16, 400);
    for (CPngButton* b : {&m_btnUsbGuide, &m_btnInstallGuide}) {
        for (COLORREF& c : b->m_colors) c = RGB(137, 137, 137);
        b->m_nLeftOffset = 10;
        b->m_nRightInset = 35;
        b->m_nTopOffset = 0;
    }
    m_btnSdCard.setText(text(TEXT_SD_CARD), 16, 400);
    m_btnCarSelect.setText(text(TEXT_CAR_SELECT), 16, 400);
    m_btnFolder.setText(text(TEXT_FOLDER), 16, 400);
    m_btnFinish.setText(text(TEXT_FINISH), 16, 400);
    m_checkRemove.m_textColor = RGB(166, 172, 180);
    m_checkRemove.ShowWindow(SW_HIDE);
    m_stRemoveComment.ShowWindow(SW_HIDE);
    if (r) r->m_lang.setText(VIEW_STATE_CAR_FINISH, &m_stDownloadTitle, TEXT_FOLDER_TITLE);
    else m_stDownloadTitle.SetWindowText(text(TEXT_FOLDER_TITLE));
    m_editDownloadPath.SetWindowText(CRegSetting::getDataPath());
    m_editDownloadPath.setTextColor(PATH_TEXT);
    CMainFrame* f = frame();
    if (f && f->Cur_inf) {
        if (!f->Cur_inf->m_guard.intact()) {
            LOG_WRITE(L"Cur_inf is Invalid. Reload Cur_Inf");
        } else {
            m_btnSdCard.setText(text(f->Cur_inf->getMediaType() == L"SD" ? TEXT_SD_CARD : TEXT_USB_COPY), 16, 400);
        }
    }
}

void CDlgCarFinish::applyFonts() {
    if (!GetSafeHwnd()) return;
    const int lang = language();
    m_stTitle.setFontStyle(33, FALSE);
    setWindowFont(m_stTitle, CFontCache::getFont(33));

    CString message;
    m_stMessage.GetWindowText(message);
    CRect box;
    m_stMessage.GetWindowRect(&box);
    int size = getFitFontSize(&m_stMessage, message, 25, 22, 15, 3, box);
    if (size <= 0) {
        size = 23;
        if (lang == LANGUAGE_EN || lang == LANGUAGE_RU || lang < 1 || lang > 13) size = 25;
        else if (lang == LANGUAGE_F1) size = 21;
    }
    m_stMessage.setFontStyle(size, FALSE);
    setWindowFont(m_stMessage, CFontCache::getFont(size));

    int usb = text(TEXT_USB_GUIDE).GetLength() > 20 ? 12 : 16;
    if (lang == LANGUAGE_F1) usb = 10;
    else if (lang == LANGUAGE_EN || lang == LANGUAGE_FR) usb = 11;
    else if (lang == LANGUAGE_RU) usb = 9;
    setButtonFont(m_btnUsbGuide, usb);
    setButtonFont(m_btnInstallGuide, text(TEXT_INSTALL_GUIDE).GetLength() > 20 ? 12 : 16);
    int car = 16;
    if (lang == LANGUAGE_FR) car = corp() == CORP_LV ? 15 : 16;
    else if (lang == LANGUAGE_F1 || lang == LANGUAGE_RU || lang == LANGUAGE_DE) car = 14;
    setButtonFont(m_btnCarSelect, car);
    setButtonFont(m_btnFolder, text(TEXT_FOLDER).GetLength() > 30 ? 12 : 16);
    int sd = 16;
    if (lang == LANGUAGE_FR || lang == LANGUAGE_F1) sd = 14;
    else if (lang == LANGUAGE_RU) sd = 13;
    setButtonFont(m_btnSdCard, sd);
    setButtonFont(m_btnFinish, lang == LANGUAGE_FR || lang == LANGUAGE_F1 ? 14 : 16);
    setWindowFont(m_checkRemove, CFontCache::getFont(16));
    const BOOL bold = m_checkRemove.m_bChecked;
    m_stRemoveComment.setFontStyle(14, bold);
    m_stRemoveComment.m_textColor = PATH_TEXT;
    setWindowFont(m_stRemoveComment, bold ? CFontCache::getBoldFont(14) : CFontCache::getFont(14));
    m_stDownloadTitle.setFontStyle(16, FALSE);
    m_stDownloadTitle.m_textColor = RGB(94, 94, 94);
    setWindowFont(m_stDownloadTitle, CFontCache::getFont(14));
    m_editDownloadPath.SendMessage(EM_SETREADONLY, TRUE, 0);
    m_editDownloadPath.setColors(WHITE, PATH_TEXT);
    setWindowFont(m_editDownloadPath, CFontCache::getCorpFont(corp(), 20));
    m_editDownloadPath.SetWindowText(CRegSetting::getDataPath());
    m_editDownloadPath.SetWindowText(fitPathText(&m_editDownloadPath));
}

// ---------------------------------------------------------------- layout

void CDlgCarFinish::layoutControls() {
    if (!GetSafeHwnd()) return;
    UINT strip = IDB_FINISH_MAIN_TS;
    if (corp() == CORP_DR) strip = IDB_FINISH_MAIN_DR;
    else if (corp() == CORP_LV) {
        const int region = CRegSetting::getRegion();
        strip = region == REGION_US || region == REGION_CA ? IDB_FINISH_MAIN_LV_NA : IDB_FINISH_MAIN_LV;
    }
    m_btnSdCard.setImage(strip);
    m_btnFinish.setImage(strip);
    CRect client;
    GetClientRect(&client);
    const int w = client.Width();
    struct Place {
        CWnd* control;
        int x, y2, y3, cx, cy;
    };
    const Place places[] = {
        {&m_stTitle, 165, 19, 19, w - 220, 50},
        {&m_stMessage, 125, 187, 187, w - 140, 70},
        {&m_btnUsbGuide, 160, 336, 357, 250, 34},
        {&m_btnInstallGuide, 160, 375, 396, 250, 34},
        {&m_btnSdCard, 630, 336, 357, 220, 34},
        {&m_btnFolder, 630, 375, 396, 220, 34},
        {&m_btnCarSelect, 630, 414, 435, 220, 34},
        {&m_btnFinish, 630, 336, 357, 220, 34},
        {&m_checkRemove, 166, 286, 307, 20, 20},
        {&m_stRemoveComment, 190, 284, 305, 290, 50},
        {&m_stDownloadTitle, 175, 269, 290, 500, 25},
        {&m_editDownloadPath, 159, 294, 315, 720, 40},
    };
    for (const Place& p : places) CDLang::moveWnd(this, p.control, p.x, lowerY(p.y2, p.y3), p.cx, p.cy, MIRROR_IN_ARABIC);
    updateControls();
}

void CDlgCarFinish::updateControls() {
    CMainFrame* f = frame();
    if (!f || !f->Cur_inf || !GetSafeHwnd()) return;
    if (CDlgRoot* r = root()) r->m_bSettingsChanged = 0;
    const CString medium = f->Cur_inf->getMediaType();
    const bool sdButton = !medium.IsEmpty() && medium != L"DVD" && m_strStorageCode == L"H";
    m_btnSdCard.ShowWindow(sdButton ? SW_SHOW : SW_HIDE);
    m_btnFinish.ShowWindow(sdButton ? SW_HIDE : SW_SHOW);
    if (m_strStorageCode == L"U") {
        m_checkRemove.ShowWindow(SW_SHOW);
        m_stRemoveComment.ShowWindow(SW_SHOW);
        m_checkRemove.m_bChecked = TRUE;
        m_checkRemove.Invalidate(FALSE);
        m_stRemoveComment.setFontStyle(14, TRUE);
        setWindowFont(m_stRemoveComment, CFontCache::getBoldFont(14));
        m_stDownloadTitle.ShowWindow(SW_HIDE);
        m_editDownloadPath.ShowWindow(SW_HIDE);
        CString comment = text(TEXT_REMOVE);
        comment.Replace(L"[#Vehicle#]", CString(L"\x200F\x200E") + m_strVehicleName + L"\x200E");
        const int width = commentWidth(comment, [this](const CString& part) { return m_stRemoveComment.measureText(part).cx; });
        CDLang::moveWnd(this, &m_stRemoveComment, 190, lowerY(286, 307), width, 50, MIRROR_IN_ARABIC);
        m_checkRemove.setText(CString(), 14, 0, 0);
        m_stRemoveComment.SetWindowText(comment);
        m_stRemoveComment.Invalidate(TRUE);
    } else if (m_strStorageCode == L"H") {
        m_checkRemove.ShowWindow(SW_HIDE);
        m_stRemoveComment.ShowWindow(SW_HIDE);
        m_stDownloadTitle.ShowWindow(SW_SHOW);
        m_editDownloadPath.ShowWindow(SW_SHOW);
    }
}

// ---------------------------------------------------------------- page interface

BOOL CDlgCarFinish::initPage() {
    setString();
    applyFonts();
    if (CDlgRoot* r = root()) {
        r->m_bTransferIdle = 1;
        r->updateTopButtons();
        if (r->m_pPageCarUpdate) r->m_pPageCarUpdate->m_tCopyStart = 0;
    }
    return TRUE;
}

BOOL CDlgCarFinish::showPage(BOOL show) {
    if (show) {
        m_bShown = TRUE;
        ShowWindow(SW_SHOW);
        layoutControls();
    } else {
        m_bShown = FALSE;
        ShowWindow(SW_HIDE);
        SendMessage(UM_CLOSE_DROPDOWN, 0, 0);
    }
    return TRUE;
}

LRESULT CDlgCarFinish::OnRegisteredMessage_ChangeLanguage(WPARAM, LPARAM) {
    CDlgRoot* r = root();
    if (!(r && r->m_bSettingsChanged)) setString();
    return 0;
}

void CDlgCarFinish::OnShowWindow(BOOL show, UINT status) {
    CBaseChildDialog::OnShowWindow(show, status);
    applyFonts();
}

// ---------------------------------------------------------------- painting

BOOL CDlgCarFinish::OnEraseBkgnd(CDC*) { return TRUE; }

void CDlgCarFinish::OnPaint() {
    CPaintDC dc(this);
    CRect client;
    GetClientRect(&client);
    CMemoryCanvas canvas(dc.GetSafeHdc(), client.Width(), client.Height());
    if (!canvas.valid()) return;
    canvas.fill(WHITE);
    {
        Gdiplus::Graphics graphics(canvas.dc());
        auto draw = [&](Gdiplus::Bitmap* image, int x, int y) {
            if (image) {
                CGdiFunc::drawImage(m_hWnd, &graphics, image, x, y, static_cast<int>(image->GetWidth()),
                                    static_cast<int>(image->GetHeight()));
            }
        };
        if (m_strStorageCode == L"H") {
            int y = 274 + (m_nThreeLines ? THREE_LINE_SHIFT : 0);
            if (corp() == CORP_TS) y -= 4;
            else if (corp() == CORP_DR) y -= 1;
            // drawImage places it mirrored in the Arabic UI; the flipped
            // copy keeps it pointing at the path.
            draw(arabicUi() && m_pImgArrowRtl ? m_pImgArrowRtl : m_pImgArrow, 160, y);
        }
        draw(m_pImgSidebar, 0, 0);
        if (m_pImgPicture) {
            const int sidebar = m_pImgSidebar ? static_cast<int>(m_pImgSidebar->GetWidth()) : 0;
            const int x = (sidebar + client.Width() - static_cast<int>(m_pImgPicture->GetWidth())) / 2;
            draw(m_pImgPicture, x, 81);
        }
    }
    canvas.copyTo(dc.GetSafeHdc());
}
