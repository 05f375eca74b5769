// The registration page: construction, controls, texts, fonts, layout,
// painting, the destination list and the drive events. The checks behind
// the update button and the hand-over are in dlg_car_reg_start.cpp.
#include "pages/vehicle/dlg_car_reg.h"

#include "descriptors/inf_info.h"
#include "engine/usb_detector.h"
#include "foundation/code_tables.h"
#include "foundation/logmanager.h"
#include "foundation/private_messages.h"
#include "foundation/program_strings.h"
#include "foundation/registered_messages.h"
#include "foundation/regsetting.h"
#include "pages/vehicle/car_reg_checks.h"
#include "resources/resource.h"
#include "shell/dlg_page_message.h"
#include "shell/dlg_root.h"
#include "shell/main_frame.h"
#include "shell/message_types.h"
#include "ui/dlang.h"
#include "ui/font_cache.h"
#include "ui/lang_library.h"
#include "ui/memory_canvas.h"
#include "ui/view_state.h"

#include <memory>

namespace {

constexpr COLORREF WHITE = RGB(255, 255, 255);
constexpr int MIRROR_IN_ARABIC = 2;
constexpr UINT IDB_REG_MARK = 428;
constexpr UINT IDB_REG_COMBO_FRAME = 430;
constexpr UINT IDB_REG_COMBO_ARROW = 329;
constexpr UINT IDB_REG_UPDATE_DR = 431;
constexpr UINT IDB_REG_UPDATE_TS = 432;
constexpr UINT IDB_REG_UPDATE_LV = 433;
constexpr UINT IDB_REG_UPDATE_LV_NA = 1740;
constexpr UINT IDB_REG_SIDEBAR = 434;
constexpr UINT IDB_REG_CHANGE = 438;
constexpr UINT IDB_REG_PATH_ICON = 467;
constexpr UINT IDB_REG_BULLET = 495;
constexpr UINT IDB_DEFAULT_TS = 529;
constexpr UINT IDB_DEFAULT_DR = 530;
constexpr UINT IDB_DEFAULT_LV = 531;
constexpr UINT IDB_DEFAULT_LV_NA = 1741;
constexpr UINT IDB_DEFAULT_CAR = 406;
constexpr UINT IDB_DEFAULT_NAVI = 490;

constexpr int TEXT_CHANGE = 12118;
constexpr int TEXT_PATH_TITLE = 12123;
constexpr int TEXT_DRIVE = 12124;
constexpr int TEXT_DRIVE_FREE = 12125;
constexpr int TEXT_REG_NOTE = 12126;
constexpr int TEXT_UPDATE = 12127;
constexpr int TEXT_LASTREG_1 = 12141;
constexpr int TEXT_LASTREG_2 = 12142;
constexpr int TEXT_MEDIUM = 12256;
constexpr int TEXT_FREE = 12272;

// The device name shrinks to 16 px from this width on.
constexpr int NAME_WIDTH = 470;

CString text(int id) { return CLangLibrary::loadLangString(static_cast<UINT>(id)); }

int language() { return CRegSetting::getLanguage(); }
bool arabicUi() { return language() == LANGUAGE_AR; }
int corp() { return CRegSetting::getLastUserCorp(); }
bool luvoNorthAmerica() {
    const int region = CRegSetting::getRegion();
    return region == REGION_US || region == REGION_CA;
}

void setWindowFont(CWnd& window, int pixelSize) {
    if (!window.GetSafeHwnd()) return;
    if (CFont* font = CFontCache::getFont(pixelSize)) {
        window.SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(font->GetSafeHandle()), TRUE);
    }
}

void setStaticFont(CStaticEx& control, int size, COLORREF colour) {
    control.setFontStyle(size, FALSE);
    control.m_textColor = colour;
    setWindowFont(control, size);
}

}  // namespace

BEGIN_MESSAGE_MAP(CDlgCarReg, CBaseChildDialog)
    ON_BN_CLICKED(IDC_BUTTON_CAR_CHANG, &CDlgCarReg::OnBnClickedButtonCarChange)
    ON_BN_CLICKED(IDC_BUTTON_CAR_UPDATE, &CDlgCarReg::OnBnClickedButtonCarUpdate)
    ON_REGISTERED_MESSAGE(RWM_USBDETECTOR_MESSAGE, &CDlgCarReg::OnRegisteredMessage_USBDetectorMsg)
    ON_WM_PAINT()
    ON_WM_ERASEBKGND()
    ON_REGISTERED_MESSAGE(RWM_CHANGE_LANGUAGE, &CDlgCarReg::OnRegisteredMessage_ChangeLanguage)
    ON_CBN_SELENDOK(IDC_COMBO_DISK_LIST, &CDlgCarReg::OnSelEndOkDiskList)
    ON_REGISTERED_MESSAGE(RWM_MESSAGE_RESULT, &CDlgCarReg::OnMessageResult)
    ON_WM_CTLCOLOR()
END_MESSAGE_MAP()

CDlgCarReg::CDlgCarReg(CBaseDialog* root) : CBaseChildDialog(IDD_CAR_REG, root) {
    // The page keeps the base's VIEW_STATE_NONE: a pull back to it leaves the
    // root's current view at NONE, which the hidden-mode rule relies on.
}

CDlgCarReg::~CDlgCarReg() {
    if (CDlgRoot* r = root()) r->m_lang.removeDlg(VIEW_STATE_CAR_REG);
    delete m_pImgMark;
    delete m_pImgSidebar;
    delete m_pImgPathIcon;
    delete m_pImgBullet;
    if (GetSafeHwnd()) DestroyWindow();
}

CMainFrame* CDlgCarReg::frame() const { return dynamic_cast<CMainFrame*>(m_pMainFrame); }

CDlgRoot* CDlgCarReg::root() const { return CDlgRoot::of(m_pRootDlg); }

CUSBDetector* CDlgCarReg::watcher() const {
    CMainFrame* f = frame();
    return f ? f->m_pUSBDetector : nullptr;
}

void CDlgCarReg::DoDataExchange(CDataExchange* dx) {
    CBaseChildDialog::DoDataExchange(dx);
    DDX_Control(dx, IDC_STATIC_CAR_TITLE, m_stCarTitle);
    DDX_Control(dx, IDC_STATIC_CAR_IMAGE, m_stCarImage);
    DDX_Control(dx, IDC_STATIC_NAVI_IMAGE, m_stNaviImage);
    DDX_Control(dx, IDC_COMBO_DISK_LIST, m_comboDisk);
    DDX_Control(dx, IDC_STATIC_PATH_TITLE, m_stPathTitle);
    DDX_Control(dx, IDC_BUTTON_CAR_CHANG, m_btnCarChange);
    DDX_Control(dx, IDC_BUTTON_CAR_UPDATE, m_btnCarUpdate);
    DDX_Control(dx, IDC_STATIC_SAVE_TITLE, m_stSaveTitle);
    DDX_Control(dx, IDC_STATIC_CAR_REG_MSG, m_stRegMsg);
}

BOOL CDlgCarReg::OnInitDialog() {
    CBaseChildDialog::OnInitDialog();
    SetWindowPos(nullptr, 0, 60, 900, 590, SWP_NOZORDER | SWP_NOACTIVATE);
    for (CStaticEx* s : {&m_stCarTitle, &m_stPathTitle, &m_stSaveTitle, &m_stRegMsg}) s->ModifyStyle(0, SS_OWNERDRAW);
    // One-line labels: broken at a space, the medium line (as wide as its
    // measured text) lost its last word and a name too long even in the
    // small font its second line, both below their boxes. A name that does
    // not fit ends in an ellipsis instead.
    for (CStaticEx* s : {&m_stCarTitle, &m_stSaveTitle}) s->m_bSingleLine = TRUE;
    for (CStaticEx* s : {&m_stCarImage, &m_stNaviImage}) s->ModifyStyle(0, SS_BITMAP | SS_CENTERIMAGE);
    m_comboDisk.setArrowImages(IDB_REG_COMBO_FRAME, IDB_REG_COMBO_ARROW);
    m_comboDisk.SendMessage(CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), 34);
    m_comboDisk.SendMessage(CB_SETITEMHEIGHT, 0, 34);
    m_comboDisk.SendMessage(CB_SETMINVISIBLE, 5, 0);
    m_pImgMark = CGdiFunc::loadPngResource(IDB_REG_MARK);
    m_pImgSidebar = CGdiFunc::loadPngResource(IDB_REG_SIDEBAR);
    m_pImgPathIcon = CGdiFunc::loadPngResource(IDB_REG_PATH_ICON);
    m_pImgBullet = CGdiFunc::loadPngResource(IDB_REG_BULLET);
    for (CPngButton* b : {&m_btnCarChange, &m_btnCarUpdate}) b->ModifyStyle(0, BS_OWNERDRAW);
    m_btnCarChange.setImage(IDB_REG_CHANGE);
    m_btnCarChange.m_nRightToLeft = arabicUi() ? 1 : 0;
    applyFonts();
    applyTexts();
    layoutControls();
    showNotice();
    fillDiskCombo();
    return TRUE;
}

// ---------------------------------------------------------------- texts

void CDlgCarReg::applyFonts() {
    const int lang = language();
    setStaticFont(m_stSaveTitle, 18, RGB(85, 85, 85));
    setStaticFont(m_stCarTitle, m_stCarTitle.m_nTextSize == 16 ? 16 : 22, RGB(94, 108, 125));
    setStaticFont(m_stPathTitle, 18, RGB(93, 99, 105));
    m_stRegMsg.setFontStyle(lang == LANGUAGE_ES ? 17 : 18, FALSE);
    setWindowFont(m_stRegMsg, lang == LANGUAGE_ES ? 17 : 18);
    setWindowFont(m_btnCarChange, lang == LANGUAGE_FR ? 16 : 19);
    const bool longCaption = text(TEXT_UPDATE).GetLength() > 15;
    setWindowFont(m_btnCarUpdate, lang != LANGUAGE_ES && longCaption ? 16 : 22);
}

void CDlgCarReg::applyTexts() {
    refreshTexts();
    if (CDlgRoot* r = root()) r->m_lang.setText(VIEW_STATE_CAR_REG, &m_stPathTitle, TEXT_PATH_TITLE);
    else m_stPathTitle.SetWindowText(text(TEXT_PATH_TITLE));
    m_btnCarChange.setText(text(TEXT_CHANGE), 16, 400);
    for (COLORREF& c : m_btnCarChange.m_colors) c = RGB(112, 115, 118);
    m_btnCarUpdate.setText(text(TEXT_UPDATE), 16, 400);
    for (CPngButton* b : {&m_btnCarChange, &m_btnCarUpdate}) b->ModifyStyle(0, BS_CENTER);
    switch (language()) {
        case LANGUAGE_KO: m_btnCarChange.m_nLeftOffset = 66; m_btnCarChange.m_nTopOffset = 0; break;
        case LANGUAGE_EN: m_btnCarChange.m_nLeftOffset = 31; m_btnCarChange.m_nTopOffset = 0; break;
        case LANGUAGE_FR:
        case LANGUAGE_AR: m_btnCarChange.m_nLeftOffset = 0; m_btnCarChange.m_nTopOffset = 0; break;
        case LANGUAGE_F1:
        case LANGUAGE_ES:
        case LANGUAGE_RU: m_btnCarChange.m_nLeftOffset = -26; m_btnCarChange.m_nTopOffset = 0; break;
        default: break;
    }
    m_btnCarUpdate.m_nLeftOffset = 0;
    m_btnCarUpdate.m_nTopOffset = 0;
    const BOOL rtl = arabicUi() ? TRUE : FALSE;
    if (rtl != m_bComboRtl && m_comboDisk.GetSafeHwnd()) {
        // As the settings page's lists: read from the right, the arrow and
        // the open list's scroll bar on the left.
        m_comboDisk.setLeftToRight(rtl ? FALSE : TRUE);
        m_bComboRtl = rtl;
    }
    // The combo paints its face itself: its arrow and text follow its flag.
    m_comboDisk.m_bLeftToRight = rtl ? FALSE : TRUE;
}

void CDlgCarReg::refreshTexts() {
    if (!GetSafeHwnd()) return;
    if (!m_pCarInfo) {
        m_stSaveTitle.ShowWindow(SW_HIDE);
        m_stCarTitle.SetWindowText(L"");
        layoutControls();
        Invalidate(FALSE);
        return;
    }
    const CString name = getLangCode(m_pCarInfo->getDeviceNameIntl()) == L"KO" ? m_pCarInfo->getDeviceName()
                                                                             : m_pCarInfo->getDeviceNameIntl();
    m_stCarTitle.setFontStyle(22, FALSE);
    const int size = m_stCarTitle.measureText(name).cx < NAME_WIDTH ? 22 : 16;
    setStaticFont(m_stCarTitle, size, RGB(94, 108, 125));
    m_stSaveTitle.SetWindowText(text(TEXT_MEDIUM) + L": " + getDriveTypeText(m_pCarInfo->getMediaType()));
    m_stSaveTitle.ShowWindow(SW_SHOW);
    m_stCarTitle.SetWindowText(name);
    layoutControls();
    Invalidate(TRUE);
}

// ---------------------------------------------------------------- layout

void CDlgCarReg::layoutControls() {
    if (!GetSafeHwnd()) return;
    const int c = corp();
    CDLang::moveWnd(this, &m_stCarTitle, 160, c == CORP_LV || c == CORP_DR ? 56 : 59, 470, 40, MIRROR_IN_ARABIC);
    CMainFrame* f = frame();
    if (f && f->Cur_inf && m_pCarInfo) {
        const int width = m_stSaveTitle.getTextSize().cx;
        CDLang::moveWnd(this, &m_stSaveTitle, 850 - width, 333, width, 25, MIRROR_IN_ARABIC);
    }
    CDLang::moveWnd(this, &m_stCarImage, 160, 96, 340, 230, MIRROR_IN_ARABIC);
    CDLang::moveWnd(this, &m_stNaviImage, 510, 96, 340, 230, MIRROR_IN_ARABIC);
    CDLang::moveWnd(this, &m_stPathTitle, 194, c == CORP_TS ? 363 : 360, 500, 20, MIRROR_IN_ARABIC);
    CDLang::moveWnd(this, &m_comboDisk, 160, 390, 690, 40, MIRROR_IN_ARABIC);
    CDLang::moveWnd(this, &m_btnCarChange, 630, 46, 223, 43, MIRROR_IN_ARABIC);
    CDLang::moveWnd(this, &m_btnCarUpdate, 630, 455, 220, 50, MIRROR_IN_ARABIC);
    placeNote();
}

// In Arabic the labels read from the right: each ends at its bullet or
// icon, which the mirrored layout puts on their right.
void CDlgCarReg::alignLabels() {
    const BOOL right = arabicUi() ? TRUE : FALSE;
    for (CStaticEx* label : {&m_stCarTitle, &m_stSaveTitle, &m_stPathTitle}) {
        if (label->m_bRightAlign == right) continue;
        label->m_bRightAlign = right;
        if (label->GetSafeHwnd()) label->Invalidate(FALSE);
    }
}

void CDlgCarReg::placeNote() {
    CString note;
    m_stRegMsg.GetWindowText(note);
    CDLang::moveWnd(this, &m_stRegMsg, 160, note.GetLength() > 45 ? 460 : 470, 470, 70, MIRROR_IN_ARABIC);
}

void CDlgCarReg::setRegMessageText() {
    if (CDlgRoot* r = root()) r->m_lang.setText(VIEW_STATE_CAR_REG, &m_stRegMsg, TEXT_REG_NOTE);
    else m_stRegMsg.SetWindowText(text(TEXT_REG_NOTE));
}

// ---------------------------------------------------------------- page interface

BOOL CDlgCarReg::initPage() {
    CMainFrame* f = frame();
    if (!f) return TRUE;
    if (!m_pCarInfo) setDefaultImages();
    CDlgRoot* r = root();
    CUSBDetector* w = watcher();
    if (!r || !w) return TRUE;
    UINT strip = IDB_REG_UPDATE_TS;
    if (corp() == CORP_DR) strip = IDB_REG_UPDATE_DR;
    else if (corp() == CORP_LV) strip = luvoNorthAmerica() ? IDB_REG_UPDATE_LV_NA : IDB_REG_UPDATE_LV;
    m_btnCarUpdate.setImage(strip);
    m_btnCarUpdate.m_nRightToLeft = arabicUi() ? 1 : 0;
    w->updateAllDriveInfo();
    if (!w->getAllDriveInfoList()) {
        LOG_WRITE(L"CUSBDetector::getAllDriveInfoList() == NULL!");
        return TRUE;
    }
    r->m_bTransferIdle = 1;
    m_comboDisk.resetContent();
    setDiskListSD();
    setRegMessageText();
    w->addListener(m_hWnd);
    return TRUE;
}

BOOL CDlgCarReg::showPage(BOOL show) {
    if (show) {
        if (CDlgRoot* r = root()) r->updateTopButtons();
        m_bShown = TRUE;
        ShowWindow(SW_SHOW);
        alignLabels();
        applyFonts();
        applyTexts();
        layoutControls();
        fillDiskCombo();
    } else {
        m_bShown = FALSE;
        ShowWindow(SW_HIDE);
        SendMessage(UM_CLOSE_DROPDOWN, 0, 0);
    }
    return TRUE;
}

BOOL CDlgCarReg::PreTranslateMessage(MSG* msg) {
    if (msg->message == WM_KEYDOWN && msg->wParam == VK_RETURN) {
        OnClickedButtonCarUpdate();
        return TRUE;
    }
    return CBaseChildDialog::PreTranslateMessage(msg);
}

void CDlgCarReg::setCarInfo(InfInfo* info) {
    if (!info) return;
    m_pCarInfo = info;
    CMainFrame* f = frame();
    if (f) f->Cur_inf = info;
    if (CDlgRoot* r = root()) {
        // A finish whose exit was cancelled leaves the flag set; a later
        // confirmed exit must not delete the folder of the vehicle chosen now.
        r->m_bDestIsDrive = 0;
        r->setVehicleImage(&m_stCarImage, info);
        r->setGpsImage(&m_stNaviImage, info);
    }
    refreshTexts();
    if (f) fillDiskCombo();
}

void CDlgCarReg::setDefaultImages() {
    CDlgRoot* r = root();
    if (!r) return;
    const CString code(g_strCorpCode);
    UINT car = IDB_DEFAULT_CAR;
    UINT navi = IDB_DEFAULT_NAVI;
    if (code == L"TS") car = navi = IDB_DEFAULT_TS;
    else if (code == L"DR") car = navi = IDB_DEFAULT_DR;
    else if (code == L"LV") car = navi = luvoNorthAmerica() ? IDB_DEFAULT_LV_NA : IDB_DEFAULT_LV;
    r->setPngOnStatic(&m_stCarImage, car);
    r->setPngOnStatic(&m_stNaviImage, navi);
    switchToSearch(FALSE);
}

void CDlgCarReg::switchToSearch(BOOL showCancel) {
    CDlgRoot* r = root();
    if (!r) return;
    r->pushViewPage(VIEW_STATE_CAR_CHANGE, TRUE);
    CWnd* search = reinterpret_cast<CWnd*>(r->m_pPageCarChange);
    if (search && search->GetSafeHwnd()) {
        if (HWND cancel = ::GetDlgItem(search->GetSafeHwnd(), IDCANCEL)) ::ShowWindow(cancel, showCancel ? SW_SHOW : SW_HIDE);
    }
}

void CDlgCarReg::OnBnClickedButtonCarChange() { switchToSearch(TRUE); }

// ---------------------------------------------------------------- destinations

void CDlgCarReg::setDiskListSD() {
    m_vecDiskList.clear();
    CUSBDetector* w = watcher();
    if (!w) return;
    w->updateAllDriveInfo();
    CUSBDetector::DriveMap* drives = w->getAllDriveInfoList();
    if (!drives) {
        LOG_WRITE(L"CUSBDetector::getAllDriveInfoList() == NULL!");
        return;
    }
    CDlgRoot* r = root();
    if (m_pCarInfo && r) r->readLastReg(m_pCarInfo, CString());
    m_vecDiskList.push_back(DiskListEntry{1, m_strRegTag == L"lastreg" ? 1 : 2, 0});
    for (const auto& [letter, record] : *drives) {
        if (!record) continue;
        if (m_pCarInfo && r) r->readRegVer(m_pCarInfo, CString(letter));
        m_vecDiskList.push_back(DiskListEntry{2, m_strRegTag == L"lastreg" ? 1 : 2, letter});
    }
}

void CDlgCarReg::fillDiskCombo() {
    if (!m_comboDisk.GetSafeHwnd()) return;
    const int remembered = static_cast<int>(m_comboDisk.SendMessage(CB_GETCURSEL));
    // The free-space retries pump messages: a drive event may rebuild the
    // list under this walk.
    const std::vector<DiskListEntry> entries = m_vecDiskList;
    for (const DiskListEntry& entry : entries) {
        if (entry.chLetter == 0) {
            // Built before the combo is emptied: a fill run by an event in
            // the pumped wait must not leave its lines under this one's.
            const CString line = makeFolderEntryText();
            m_comboDisk.clearImages();
            m_comboDisk.SendMessage(CB_RESETCONTENT);
            // The text is kept in the combo's item store as well.
            m_comboDisk.addString(line);
            m_comboDisk.SendMessage(CB_SETCURSEL, 0);
            continue;
        }
        if (!m_pCarInfo) break;
        const CString medium = m_pCarInfo->getMediaType();
        if (medium.IsEmpty() || medium == L"DVD") continue;
        DriveInfo info;
        CUSBDetector::getDriveInfo(entry.chLetter, &info);
        if (info.totalKB == 0) return;
        m_comboDisk.addString(makeDriveEntryText(entry.chLetter, info.totalKB));
        m_comboDisk.SendMessage(CB_SETCURSEL, 1);
    }
    if (remembered != -1) {
        // An index beyond the rebuilt lines clears the selection (not every
        // combo implementation does so by itself).
        const bool listed = remembered < m_comboDisk.GetCount();
        m_comboDisk.SendMessage(CB_SETCURSEL, listed ? static_cast<WPARAM>(remembered) : static_cast<WPARAM>(-1));
    }
    showNoteFor(static_cast<int>(m_comboDisk.SendMessage(CB_GETCURSEL)));
}

void CDlgCarReg::showNoteFor(int index) {
    if (index < 0 || index >= static_cast<int>(m_vecDiskList.size())) return;
    if (m_vecDiskList[static_cast<size_t>(index)].nMark == 1) {
        m_stRegMsg.SetWindowText(text(TEXT_LASTREG_1) + L"\n" + text(TEXT_LASTREG_2));
    } else {
        setRegMessageText();
    }
    placeNote();
    m_stRegMsg.Invalidate(TRUE);
}

CString CDlgCarReg::makeFolderEntryText() {
    const CString letter = car_reg::folderDriveLetter(CRegSetting::getDataPath());
    ULONGLONG total = 0, free = 0;
    if (letter.IsEmpty()) {
        // ":\" names no drive; the retries would only pump for nothing.
        LOG_WRITE(L"download folder without a drive letter");
    } else {
        car_reg::driveSpaceOn(letter, total, free);
    }
    return text(TEXT_DRIVE) + L" \x200F[" + formatDiskSize(total) + L"] - " + text(TEXT_FREE) + L": \x200F" +
           formatDiskSize(free);
}

CString CDlgCarReg::makeDriveEntryText(wchar_t letter, ULONGLONG totalKB) {
    CString line;
    line.Format(L"%c: ", letter);
    return line + text(TEXT_DRIVE_FREE) + L"  \x200F" + car_reg::formatDriveSize(totalKB);
}

CString CDlgCarReg::formatDiskSize(ULONGLONG bytes) { return car_reg::formatDiskSize(bytes, arabicUi()); }

Gdiplus::Bitmap* CDlgCarReg::createMarginBitmap(Gdiplus::Bitmap* bitmap, int width, int height) {
    if (!bitmap) return nullptr;
    auto* copy = new Gdiplus::Bitmap(width + 2, height + 2, bitmap->GetPixelFormat());
    {
        Gdiplus::Graphics graphics(copy);
        graphics.DrawImage(bitmap, 0, 0, width + 2, height + 2);
    }
    delete bitmap;
    return copy;
}

void CDlgCarReg::OnSelEndOkDiskList() {
    if (frame() && m_pCarInfo) fillDiskCombo();
}

LRESULT CDlgCarReg::OnRegisteredMessage_USBDetectorMsg(WPARAM wParam, LPARAM lParam) {
    const wchar_t letter = static_cast<wchar_t>(LOWORD(wParam));
    LOG_WRITE(L"[Drive:%c-%d]", letter, static_cast<int>(lParam));
    CDlgRoot* r = root();
    if (lParam == 1 && r) {
        if (!r->getMessagePage(999)) return 0;
        if (r->scanVerFiles() == 0 && r->m_pPageCarReg) r->m_pPageCarReg->m_strRegTag = L"reg";
        if (r->m_bMediumUnmatched == 1) {
            CDlgPageMessage* page = r->getMessagePage(999);
            if (!page) return 0;
            page->setMessageType(SERVER_ETC_MEDIUM_UP_TO_DATE, r);
            r->pushViewPage(VIEW_STATE_MESSAGE, TRUE);
        } else if (r->m_bMediumOtherCorp == 1) {
            r->findMediumInCatalog(r->m_nMediumCorp);
        } else if (r->m_bMatchMessageShown == 1) {
        } else {
            r->showTitleButtons(corp());
            r->pushViewPage(VIEW_STATE_CAR_REG, TRUE);
        }
    }
    m_comboDisk.clearImages();
    m_comboDisk.SendMessage(CB_RESETCONTENT);
    setDiskListSD();
    fillDiskCombo();
    if (lParam == 1) {
        for (size_t i = 0; i < m_vecDiskList.size(); ++i) {
            if (m_vecDiskList[i].chLetter != letter) continue;
            if (static_cast<int>(i) < m_comboDisk.GetCount()) {
                m_comboDisk.SendMessage(CB_SETCURSEL, i);
                showNoteFor(static_cast<int>(i));
            }
            break;
        }
    }
    SetFocus();
    return 0;
}

LRESULT CDlgCarReg::OnRegisteredMessage_ChangeLanguage(WPARAM, LPARAM) {
    alignLabels();
    applyFonts();
    applyTexts();
    layoutControls();
    fillDiskCombo();
    for (CWnd* w : {static_cast<CWnd*>(&m_stRegMsg), static_cast<CWnd*>(&m_btnCarChange),
                    static_cast<CWnd*>(&m_stCarImage), static_cast<CWnd*>(&m_stNaviImage)}) {
        CRect r;
        w->GetWindowRect(&r);
        ScreenToClient(&r);
        InvalidateRect(&r, FALSE);
    }
    return 0;
}

// ---------------------------------------------------------------- painting

BOOL CDlgCarReg::OnEraseBkgnd(CDC*) { return TRUE; }

void CDlgCarReg::OnPaint() {
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
        draw(m_pImgSidebar, 0, 0);
        draw(m_pImgPathIcon, 160, 360);
        if (m_pImgBullet && m_stSaveTitle.IsWindowVisible()) {
            CRect line;
            m_stSaveTitle.GetWindowRect(&line);
            ScreenToClient(&line);
            // drawImage mirrors x under Arabic: the left edge comes from the
            // already mirrored right one.
            const int x = arabicUi() ? client.Width() - line.right - 6 : line.left - 6;
            draw(m_pImgBullet, x, line.top + 9);
        }
    }
    canvas.copyTo(dc.GetSafeHdc());
}

HBRUSH CDlgCarReg::OnCtlColor(CDC* dc, CWnd* wnd, UINT ctlColor) {
    if (ctlColor == CTLCOLOR_STATIC && wnd && wnd->GetDlgCtrlID() == IDC_STATIC_NAVI_IMAGE) {
        dc->SetBkMode(TRANSPARENT);
        // The page is white and clips its children: a null brush would leave
        // whatever the screen held wherever the picture does not cover the
        // control (no picture, or a smaller one).
        return static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH));
    }
    return reinterpret_cast<HBRUSH>(Default());
}
