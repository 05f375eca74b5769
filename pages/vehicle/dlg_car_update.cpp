// The update page: construction, controls, layout, the texts that do not
// depend on the phase, the hand-over of the target, initialisation, showing
// and painting. The timer and the phase displays are in
// dlg_car_update_progress.cpp.
#include "pages/vehicle/dlg_car_update.h"

#include "descriptors/inf_info.h"
#include "engine/copy_manager.h"
#include "engine/format_drive.h"
#include "engine/function_manager.h"
#include "engine/usb_detector.h"
#include "foundation/code_tables.h"
#include "foundation/current_ui.h"
#include "foundation/globalfunc.h"
#include "foundation/logmanager.h"
#include "foundation/private_messages.h"
#include "foundation/program_strings.h"
#include "foundation/regsetting.h"
#include "foundation/registered_messages.h"
#include "pages/vehicle/dlg_car_finish.h"
#include "pages/vehicle/page_fonts.h"
#include "pages/vehicle/update_page_layout.h"
#include "resources/resource.h"
#include "shell/dlg_page_message.h"
#include "shell/dlg_root.h"
#include "shell/main_frame.h"
#include "ui/dlang.h"
#include "ui/font_cache.h"
#include "ui/lang_library.h"
#include "ui/memory_canvas.h"
#include "ui/view_state.h"

#include <algorithm>
#include <memory>

BOOL g_bSaveToHDD = FALSE;

namespace {

constexpr COLORREF WHITE = 0xFFFFFF;
constexpr COLORREF PROGRESS_BACKGROUND = 0xF2F0EF;
constexpr COLORREF DESTINATION_TEXT = 0x69635D;
constexpr int MIRROR_IN_ARABIC = 2;
constexpr int IDB_EDIT_FRAME = 430;
constexpr int IDB_BULLET = 474;
constexpr int HOLD_CAPTION_OFFSET = 65;
constexpr int MESSAGE_COPY_FAIL = 100;

using page_fonts::setStaticFont;
using page_fonts::setWindowFont;

bool arabicUi() { return CRegSetting::getLanguage() == LANGUAGE_AR; }

}  // namespace

BEGIN_MESSAGE_MAP(CDlgCarUpdate, CBaseChildDialog)
    ON_WM_PAINT()
    ON_WM_ERASEBKGND()
    ON_WM_SHOWWINDOW()
    ON_WM_TIMER()
    ON_BN_CLICKED(IDOK, &CDlgCarUpdate::OnBnClickedOk)
    ON_BN_CLICKED(IDC_BUTTON_HOLD, &CDlgCarUpdate::OnBnClickedButtonHold)
    ON_BN_CLICKED(IDC_BUTTON_UPDATE_CANCEL, &CDlgCarUpdate::OnBnClickedButtonCancel)
    ON_BN_CLICKED(IDC_BUTTON_UPDATE_NEXT, &CDlgCarUpdate::OnBnClickedButtonNext)
    ON_MESSAGE(UM_CHECK_COMPLETE, &CDlgCarUpdate::OnCheckComplete)
    ON_MESSAGE(UM_TRANSFER_PHASE, &CDlgCarUpdate::OnTransferPhase)
    ON_MESSAGE(UM_DOWNLOAD_PROGRESS, &CDlgCarUpdate::OnDownloadProgress)
    ON_MESSAGE(UM_UNZIP_PROGRESS, &CDlgCarUpdate::OnUnzipProgress)
    ON_MESSAGE(UM_DOWNLOAD_COMPLETE, &CDlgCarUpdate::OnDownloadComplete)
    ON_MESSAGE(UM_UNZIP_COMPLETE, &CDlgCarUpdate::OnUnzipComplete)
    ON_MESSAGE(UM_COPY_COMPLETE, &CDlgCarUpdate::OnCopyComplete)
    ON_MESSAGE(UM_COPY_STEP_DONE, &CDlgCarUpdate::OnCopyStepDone)
    ON_MESSAGE(UM_CHECK_ITEM_DONE, &CDlgCarUpdate::OnIgnoredNotice)
    ON_MESSAGE(UM_COPY_PROGRESS, &CDlgCarUpdate::OnIgnoredNotice)
    ON_MESSAGE(0x911, &CDlgCarUpdate::OnIgnoredNotice)
    ON_MESSAGE(0x701, &CDlgCarUpdate::OnIgnoredNotice)
    ON_MESSAGE(0x702, &CDlgCarUpdate::OnIgnoredNotice)
    ON_MESSAGE(UM_MODULE_ERROR, &CDlgCarUpdate::OnModuleError)
    ON_MESSAGE(UM_UPDATE_PAUSE_STEP, &CDlgCarUpdate::OnPauseStep)
    ON_MESSAGE(UM_UPDATE_NETWORK_CHECKED, &CDlgCarUpdate::OnNetworkChecked)
    ON_REGISTERED_MESSAGE(RWM_MESSAGE_RESULT, &CDlgCarUpdate::OnRegisteredMessage_MessageResult)
    ON_REGISTERED_MESSAGE(RWM_USBDETECTOR_MESSAGE, &CDlgCarUpdate::OnRegisteredMessage_USBDetectorMsg)
    ON_REGISTERED_MESSAGE(RWM_CHANGE_LANGUAGE, &CDlgCarUpdate::OnChangeLanguage)
END_MESSAGE_MAP()

CDlgCarUpdate::CDlgCarUpdate(CBaseDialog* root) : CBaseChildDialog(IDD_CAR_UPDATE, root) {
    m_ePageViewStatus = VIEW_STATE_CAR_UPDATE;
    g_bSaveToHDD = FALSE;
    function_manager::getInstance()->m_nPlatformFolder = 0;
    LOG_WRITE(L"m_nMsgType = %s", msgTypeName(m_nMsgType).GetString());
}

CDlgCarUpdate::~CDlgCarUpdate() {
    stopNetworkCheck();
    if (CDlgRoot* r = root()) r->m_lang.removeDlg(VIEW_STATE_CAR_UPDATE);
    m_dDownRemainSec = 0;
    m_dCopyRemainSec = 0;
    delete m_pImgBackground;
    delete m_pImgSaveIcon;
    delete m_pImgBullet;
    delete m_pImgBulletRtl;
    if (GetSafeHwnd()) DestroyWindow();
}

CMainFrame* CDlgCarUpdate::frame() const { return dynamic_cast<CMainFrame*>(m_pMainFrame); }

CDlgRoot* CDlgCarUpdate::root() const { return dynamic_cast<CDlgRoot*>(m_pRootDlg); }

bool CDlgCarUpdate::hasCurrentEntry() const {
    CMainFrame* f = frame();
    return f && f->Cur_inf;
}

BOOL CDlgCarUpdate::isPaused() const {
    CDlgRoot* r = root();
    return r && r->m_bUpdateHeld ? TRUE : FALSE;
}

void CDlgCarUpdate::DoDataExchange(CDataExchange* dx) {
    CBaseChildDialog::DoDataExchange(dx);
    DDX_Control(dx, IDC_STATIC_CAR_TITLE_1, m_stDeviceName);
    DDX_Control(dx, IDC_STATIC_CAR_TITLE_2, m_stMediumType);
    DDX_Control(dx, IDC_STATIC_CAR_TITLE_2_1, m_stDeviceTypeName);
    DDX_Control(dx, IDC_STATIC_CAR_IMAGE, m_stCarImage);
    DDX_Control(dx, IDC_BUTTON_HOLD, m_btnHold);
    DDX_Control(dx, IDC_PROGRESS_UPDATE, m_progress);
    DDX_Control(dx, IDC_STATIC_STATUS, m_stStatus);
    DDX_Control(dx, IDC_STATIC_PERCENT, m_stPercent);
    DDX_Control(dx, IDC_STATIC_RESUMEUPDATE, m_stResumeUpdate);
    DDX_Control(dx, IDC_STATIC_DOWNLOADED, m_stDownloaded);
    DDX_Control(dx, IDC_STATIC_TRANSFER_RATE, m_stTransferRate);
    DDX_Control(dx, IDC_STATIC_MSG1, m_stMsg1);
    DDX_Control(dx, IDC_STATIC_MSG2, m_stMsg2);
    DDX_Control(dx, IDC_STATIC_CAR_TITLE_3, m_stSaveTitle);
    DDX_Control(dx, IDC_STATIC_CAR_SAVE_PATH, m_stSavePath);
    DDX_Control(dx, IDC_EDIT_SAVE_PATH, m_editSavePath);
    DDX_Control(dx, IDC_STATIC_FILE_TIME, m_stFileTime);
    DDX_Control(dx, IDC_STATIC_FILE_COPY, m_stFileCopy);
    DDX_Control(dx, IDC_BUTTON_UPDATE_CANCEL, m_btnCancel);
    DDX_Control(dx, IDC_BUTTON_UPDATE_NEXT, m_btnNext);
}

BOOL CDlgCarUpdate::OnInitDialog() {
    CBaseChildDialog::OnInitDialog();
    SetWindowPos(nullptr, 0, 60, 900, 590, SWP_NOZORDER | SWP_NOACTIVATE);
    Invalidate(FALSE);
    m_tDownloadStart = 0;
    m_tCopyStart = 0;
    initControls();
    refreshTexts();
    applyFonts();
    layoutControls();
    showNotice();
    m_rateText = update_progress::RateText{};
    return TRUE;
}

void CDlgCarUpdate::initControls() {
    CStaticEx* drawn[] = {&m_stStatus,     &m_stPercent,        &m_stResumeUpdate, &m_stDownloaded, &m_stTransferRate,
                          &m_stFileTime,   &m_stFileCopy,       &m_stDeviceName,   &m_stDeviceTypeName,
                          &m_stMediumType, &m_stSaveTitle,      &m_stSavePath,     &m_stMsg1,       &m_stMsg2};
    for (CStaticEx* s : drawn) s->ModifyStyle(0, SS_OWNERDRAW);
    m_stCarImage.ModifyStyle(0, SS_BITMAP | SS_CENTERIMAGE);
    for (CStaticEx* s : {&m_stStatus, &m_stDownloaded, &m_stTransferRate, &m_stMsg1, &m_stMsg2}) s->m_nStyle = 1;
    m_stPercent.m_nStyle = 4;
    m_progress.m_bgColor = PROGRESS_BACKGROUND;

    // The drive watcher is the frame's; drive events reach the page from it.
    if (CMainFrame* f = frame(); f && f->m_pUSBDetector) f->m_pUSBDetector->registerNotify(m_hWnd);
    m_pImgBackground = CGdiFunc::loadPngResource(IDB_UPDATE_BACKGROUND);
    for (CPngButton* b : {&m_btnHold, &m_btnNext, &m_btnCancel}) b->ModifyStyle(0, BS_OWNERDRAW);
    m_btnCancel.setImage(IDB_BUTTON_CANCEL_STRIP);
    m_pImgSaveIcon = CGdiFunc::loadPngResource(IDB_UPDATE_SAVE_ICON);

    m_editSavePath.setBorderColor(WHITE);
    m_editSavePath.SendMessage(EM_LIMITTEXT, 255, 0);
    m_editSavePath.setFrameImage(IDB_EDIT_FRAME);
    m_editSavePath.SendMessage(EM_SETREADONLY, TRUE, 0);
    m_editSavePath.EnableWindow(FALSE);

    m_pImgBullet = CGdiFunc::loadPngResource(IDB_BULLET);
    m_pImgBulletRtl = CGdiFunc::loadPngResource(IDB_UPDATE_BULLET_RTL);

    m_btnHold.ShowWindow(SW_SHOW);
    m_btnNext.ShowWindow(SW_HIDE);
    m_btnCancel.ShowWindow(SW_HIDE);
    m_stResumeUpdate.ShowWindow(SW_HIDE);
}

void CDlgCarUpdate::applyFonts() {
    for (CPngButton* b : {&m_btnHold, &m_btnNext, &m_btnCancel}) setWindowFont(*b, 22);
    setStaticFont(m_stDeviceName, 18);
    setStaticFont(m_stDeviceTypeName, 16);
    setStaticFont(m_stMediumType, 16);
    setStaticFont(m_stSavePath, 16);
    setStaticFont(m_stStatus, 18);
    setStaticFont(m_stMsg1, 16);
    setStaticFont(m_stMsg2, 15);
    setStaticFont(m_stPercent, 30);
    setWindowFont(m_editSavePath, 16);
    fitInfoFont(20);
}

void CDlgCarUpdate::layoutControls() {
    CRect client;
    GetClientRect(&client);
    using namespace update_page_layout;
    for (const Placement& p : fixedPlacements(client.Width(), client.Height(), CString(g_strCorpCode))) {
        CWnd* control = GetDlgItem(p.id);
        if (!control) continue;
        if (p.id == IDC_STATIC_CAR_SAVE_PATH) {
            // The destination text stands over the edit box's frame.
            m_stSavePath.ShowWindow(SW_HIDE);
            m_stSavePath.SetWindowPos(&m_editSavePath, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
            m_stSavePath.ShowWindow(SW_SHOW);
        }
        CDLang::moveWnd(this, control, p.x, p.y, p.width, p.height, MIRROR_IN_ARABIC);
    }
    const int w = m_stPercent.getTextSize().cx;
    CDLang::moveWnd(this, &m_stPercent, client.Width() - w - 80, 318, w + 40, 33, MIRROR_IN_ARABIC);
    for (const Placement& p : titlePlacements(m_nTitleWidth, false)) {
        CDLang::moveWnd(this, GetDlgItem(p.id), p.x, p.y, p.width, p.height, MIRROR_IN_ARABIC);
    }
    centreNextCaption();
}

// Next's place is taller than its face: its caption is centred on the face,
// level with Cancel's beside it, not on the blank strip below.
void CDlgCarUpdate::centreNextCaption() {
    CRect client;
    m_btnNext.GetClientRect(&client);
    const int face = m_btnNext.m_nFrameHeight;
    m_btnNext.m_nTopOffset = face > 0 && face < client.Height() ? face - client.Height() : 0;
    m_btnNext.Invalidate(FALSE);
}

CString CDlgCarUpdate::deviceNameText() const {
    if (!m_pTargetInfo) return CString();
    const CString intl = m_pTargetInfo->getDeviceNameIntl();
    return getLangCode(intl) == L"KO" ? m_pTargetInfo->getDeviceName() : intl;
}

void CDlgCarUpdate::layoutDeviceName(int width) {
    const bool twoLines = width > update_progress::DEVICE_NAME_ONE_LINE;
    // A long name is as wide as measured on one line, but never past the
    // page's edge (mirrored, past its left edge).
    CRect client;
    GetClientRect(&client);
    width = std::min(width, std::max<int>(update_progress::DEVICE_NAME_ONE_LINE + 1, client.Width() - 510));
    if (twoLines) {
        CString name;
        m_stDeviceName.GetWindowText(name);
        m_stDeviceName.SetWindowText(update_progress::splitDeviceName(name));
    }
    for (const update_page_layout::Placement& p : update_page_layout::titlePlacements(width, true)) {
        CDLang::moveWnd(this, GetDlgItem(p.id), p.x, p.y, p.width, p.height, MIRROR_IN_ARABIC);
    }
    m_nTitleWidth = width;
    m_bTitleLaidOut = TRUE;
}

CString CDlgCarUpdate::lineText(int labelId, int valueId) const {
    return CLangLibrary::loadLangString(static_cast<UINT>(labelId)) + L": " +
           CLangLibrary::loadLangString(static_cast<UINT>(valueId));
}

void CDlgCarUpdate::refreshTexts() {
    if (!GetSafeHwnd()) return;
    if (!m_bTitleLaidOut && m_pTargetInfo) {
        setControlText(&m_stDeviceName, deviceNameText());
        layoutDeviceName(m_stDeviceName.getTextSize().cx);
    }

    const CString caption = CLangLibrary::loadLangString(12252);
    setControlText(&m_stSaveTitle, caption);
    CRect captionRect;
    m_stSaveTitle.GetWindowRect(&captionRect);
    const int fit = getFitFontSize(&m_stSaveTitle, caption, 16, 16, 12, 1, captionRect);
    setStaticFont(m_stSaveTitle, fit > 0 ? fit : 16);
    m_stSavePath.m_textColor = DESTINATION_TEXT;
    m_editSavePath.setTextColor(WHITE);

    m_btnHold.setText(CLangLibrary::loadLangString(12269), 16, 400);
    m_btnHold.m_nLeftOffset = HOLD_CAPTION_OFFSET;
    m_btnNext.setText(CLangLibrary::loadLangString(12289), 16, 400);
    m_btnCancel.setText(CLangLibrary::loadLangString(12290), 16, 400);

    if (isPaused()) {
        showStepProgress();
    } else {
        m_stPercent.SetWindowText(formatPercent(0));
        m_stPercent.ShowWindow(SW_HIDE);
    }

    if (m_pTargetInfo && !showSaveTarget()) return;

    setControlText(&m_stStatus, CLangLibrary::loadLangString(12274));
    setControlText(&m_stDownloaded, lineText(12265, 12278));
    setControlText(&m_stTransferRate, lineText(12277, 12278));
    setControlText(&m_stFileTime, lineText(12279, 12280));
    setControlText(&m_stFileCopy, g_bSaveToHDD ? CString(L" ") : lineText(12281, 12278));
    setControlText(&m_stMsg1, CLangLibrary::loadLangString(12268));
    setControlText(&m_stMsg2, CString());
    fitInfoFontToTimeLine();

    if (isPaused()) {
        setStatusTexts(CLangLibrary::loadLangString(12287), CLangLibrary::loadLangString(12288), CString());
        hideInfoLines(false);
    }
    // The lines shown again must not stay under a paused run's wide message.
    layoutMessageLines();
}

bool CDlgCarUpdate::showSaveTarget() {
    CString text;
    if (g_bSaveToHDD) {
        CMainFrame* f = frame();
        text = update_progress::folderDestination(f ? f->m_strDownloadFolder : CString(),
                                                  CLangLibrary::loadLangString(12124),
                                                  CRegSetting::getLanguage() == LANGUAGE_ES);
    } else {
        DriveInfo drive;
        CUSBDetector::getDriveInfo(m_chDrive, &drive);
        // A drive that has gone reads 0: keep what the page showed.
        if (drive.totalKB == 0) return false;
        text.Format(L"%s: %s%s", drive.getRootPath().GetString(), CLangLibrary::loadLangString(12125).GetString(),
                    update_progress::driveSizePart(drive.totalKB).GetString());
    }
    setControlText(&m_stSavePath, text);
    return true;
}

void CDlgCarUpdate::setTargetTexts() {
    if (!m_pTargetInfo) return;
    const int typeText = update_progress::deviceTypeTextId(m_pTargetInfo->getDeviceType());
    setControlText(&m_stDeviceTypeName,
                   typeText ? CLangLibrary::loadLangString(static_cast<UINT>(typeText)) : CString());
    setControlText(&m_stMediumType, CLangLibrary::loadLangString(12119) + L": " +
                                        getDriveTypeText(m_pTargetInfo->getMediaType()));
}

void CDlgCarUpdate::setStatusTexts(const CString& status, const CString& msg1, const CString& msg2) {
    setControlText(&m_stStatus, status);
    setControlText(&m_stMsg1, msg1);
    setControlText(&m_stMsg2, msg2);
    for (CWnd* w : {static_cast<CWnd*>(&m_stStatus), static_cast<CWnd*>(&m_stMsg1), static_cast<CWnd*>(&m_stMsg2)}) {
        CGlobalFunc::invalidateChild(m_hWnd, w->GetSafeHwnd());
    }
}

void CDlgCarUpdate::setControlText(CWnd* control, const CString& text) {
    if (!control || !control->GetSafeHwnd()) return;
    CString shown;
    control->GetWindowText(shown);
    // An unchanged text is not set again: the once-a-second displays would
    // repaint every line each tick.
    if (shown != text) control->SetWindowText(text);
    if (!control->IsWindowVisible()) control->ShowWindow(SW_SHOW);
    if (auto* button = dynamic_cast<CPngButton*>(control)) button->setText(text, 16, 400);
}

CString CDlgCarUpdate::formatPercent(int percent) {
    return update_progress::formatPercent(percent, g_nCurrentLanguage == LANGUAGE_AR);
}

void CDlgCarUpdate::fitInfoFont(int maxSize) {
    if (!m_stFileCopy.GetSafeHwnd()) return;
    CString text;
    m_stFileCopy.GetWindowText(text);
    CRect rect;
    m_stFileCopy.GetWindowRect(&rect);
    const int fit = getFitFontSize(&m_stFileCopy, text, maxSize, maxSize, 12, 1, rect);
    const int size = fit >= 1 && fit <= maxSize - 1 ? fit : maxSize;
    for (CStaticEx* s : {&m_stDownloaded, &m_stTransferRate, &m_stFileTime, &m_stFileCopy}) {
        if (s->m_nTextSize == size) continue;
        setStaticFont(*s, size);
    }
}

void CDlgCarUpdate::fitInfoFontToTimeLine() {
    CString text;
    m_stFileTime.GetWindowText(text);
    CRect rect;
    m_stFileTime.GetWindowRect(&rect);
    const int fit = getFitFontSize(&m_stFileTime, text, 16, 16, 12, 1, rect);
    fitInfoFont(fit < 0 ? 16 : fit);
}

CString CDlgCarUpdate::msgTypeName(int type) {
    switch (type) {
        case UPDATE_PROGRESS_STATE_FORMAT: return L"UPDATE_PROGRESS_STATE_FORMAT";
        case UPDATE_PROGRESS_STATE_DOWNLOAD: return L"UPDATE_PROGRESS_STATE_DOWNLOAD";
        case UPDATE_PROGRESS_STATE_COPY: return L"UPDATE_PROGRESS_STATE_COPY";
        case UPDATE_PROGRESS_STATE_INIT: return L"UPDATE_PROGRESS_STATE_INIT";
        default: return CString();
    }
}

void CDlgCarUpdate::setUpdateTarget(InfInfo* info, wchar_t letter) {
    m_pTargetInfo = info;
    m_chDrive = letter;
    m_pCarInfo = info;
    m_stDeviceName.m_bLeftToRight = arabicUi() ? FALSE : TRUE;
    copy_manager::getInstance()->setBasePath(CString());
    CMainFrame* f = frame();
    if (letter != 0) {
        CString path;
        path.Format(L"%c:\\", letter);
        if (CDlgRoot* r = root(); r && r->m_pPageCarFinish) r->m_pPageCarFinish->m_strDriveRoot = path;
        copy_manager::getInstance()->setBasePath(path);
        if (!f || !f->m_pUSBDetector) return;
        f->m_strSelectedDrive = path;
        // One record per hand-over; the previous run's is freed here.
        auto drive = std::make_unique<DriveInfo>();
        CUSBDetector::getDriveInfo(path[0], drive.get());
        delete f->m_pSelectedDriveInfo;
        f->m_pSelectedDriveInfo = drive.release();
        // Recorded now, when the user chose it: the format erases only this
        // volume, not whatever the letter leads to later.
        m_strVolumeName = formatVolumeName(path);
    } else if (f) {
        f->m_strSelectedDrive.Empty();
        m_strVolumeName.Empty();
    }
    if (info) {
        setTargetTexts();
        if (CDlgRoot* r = root()) r->setVehicleImage(&m_stCarImage, info);
    }
}

BOOL CDlgCarUpdate::initPage() {
    CMainFrame* f = frame();
    CDlgRoot* r = root();
    if (!f || !f->m_pInfInfoList || !f->Cur_inf || !r) return FALSE;

    const update_page_layout::Brand brand =
        update_page_layout::brandFor(CRegSetting::getLastUserCorp(), CRegSetting::getRegion());
    m_btnHold.setImage(brand.holdImage);
    m_btnNext.setImage(brand.nextImage);
    centreNextCaption();
    m_stPercent.m_textColor = brand.colour;
    m_progress.m_barColor = brand.colour;
    m_btnHold.m_nRightToLeft = arabicUi() ? 1 : 0;

    m_nMsgType = UPDATE_PROGRESS_STATE_INIT;
    SetTimer(UPDATE_TIMER_PROGRESS, 1000, nullptr);
    LOG_WRITE(L"m_nMsgType = %s", msgTypeName(m_nMsgType).GetString());
    m_progress.SetRange(0, 100);
    // The bar paints from its own range, not the control's.
    m_progress.m_nLower = 0;
    m_progress.m_nUpper = 100;
    m_progress.setPos(0);
    m_stDeviceName.m_bLeftToRight = arabicUi() ? FALSE : TRUE;
    showStepProgress();

    r->enableTopButton(0, this, FALSE);
    r->enableTopButton(2, this, FALSE);

    function_manager::getInstance()->reset();
    m_bFormatted = FALSE;
    m_bPageEnded = FALSE;
    r->m_bUpdateHeld = 0;
    r->m_bTransferIdle = 1;
    // The run starts as if the user had pressed Next.
    PostMessage(WM_COMMAND, IDC_BUTTON_UPDATE_NEXT, 0);
    applyFonts();
    return TRUE;
}

BOOL CDlgCarUpdate::showPage(BOOL show) {
    m_bShown = show ? TRUE : FALSE;
    if (show) {
        ShowWindow(SW_SHOW);
    } else {
        ShowWindow(SW_HIDE);
        SendMessage(UM_CLOSE_DROPDOWN, 0, 0);
    }
    return TRUE;
}

void CDlgCarUpdate::OnShowWindow(BOOL show, UINT status) {
    CBaseChildDialog::OnShowWindow(show, status);
    CDlgRoot* r = root();
    // The copy-failure message keeps the copy start for its retry.
    if (!r || !r->findMessagePage(MESSAGE_COPY_FAIL)) m_tCopyStart = 0;
    if (!show) return;
    if (m_nMsgType == UPDATE_PROGRESS_STATE_PAUSE) {
        m_btnHold.setEnable(FALSE);
        m_btnHold.EnableWindow(FALSE);
    }
    m_pNetworkCheckThread = nullptr;
    if (!hasCurrentEntry()) return;
    m_pTargetInfo = frame()->Cur_inf;
    setTargetTexts();
    setControlText(&m_stDeviceName, deviceNameText());
    m_nTitleWidth = m_stDeviceName.getTextSize().cx;
    m_bTitleLaidOut = FALSE;
    refreshTexts();
}

// Everything is placed again for the new language (mirrored or not); the
// device name is measured again last, in the new face.
LRESULT CDlgCarUpdate::OnChangeLanguage(WPARAM, LPARAM) {
    applyFonts();
    layoutControls();
    m_bTitleLaidOut = FALSE;
    refreshTexts();
    Invalidate(FALSE);
    return 0;
}

BOOL CDlgCarUpdate::OnEraseBkgnd(CDC* dc) {
    CRect client;
    GetClientRect(&client);
    if (dc) dc->FillSolidRect(&client, WHITE);
    return TRUE;
}

void CDlgCarUpdate::OnPaint() {
    CPaintDC dc(this);
    CRect client;
    GetClientRect(&client);
    CMemoryCanvas canvas(dc.GetSafeHdc(), client.Width(), client.Height());
    if (!canvas.valid()) return;
    canvas.fill(WHITE);
    {
        Gdiplus::Graphics graphics(canvas.dc());
        if (m_pImgBackground) {
            CGdiFunc::drawImage(m_hWnd, &graphics, m_pImgBackground, 0, 0, m_pImgBackground->GetWidth(),
                                m_pImgBackground->GetHeight());
        }
        const bool arabic = arabicUi();
        const int cw = client.Width();
        int d = CRegSetting::getLastUserCorp() == CORP_TS ? 4 : 0;
        auto clientRectOf = [this](CWnd& control) {
            CRect r;
            control.GetWindowRect(&r);
            ScreenToClient(&r);
            return r;
        };
        if (m_pImgSaveIcon) {
            const CRect r = clientRectOf(m_stSaveTitle);
            const int iw = static_cast<int>(m_pImgSaveIcon->GetWidth());
            // drawImage mirrors x under Arabic; the rectangle is already
            // mirrored, so the left edge comes from the right one.
            const int x = (arabic ? cw - r.right : r.left) - iw - 10;
            CGdiFunc::drawImage(m_hWnd, &graphics, m_pImgSaveIcon, x, r.top - d, iw,
                                static_cast<int>(m_pImgSaveIcon->GetHeight()));
        }
        if (CRegSetting::getLanguage() == LANGUAGE_RU) d += 4;
        if (m_pImgBullet) {
            const bool copyLine = !g_bSaveToHDD && m_chDrive != 0;
            for (CStaticEx* line : {&m_stDownloaded, &m_stTransferRate, &m_stFileTime, &m_stFileCopy}) {
                if (line == &m_stFileCopy && !copyLine) continue;
                if (!line->IsWindowVisible()) continue;
                const CRect r = clientRectOf(*line);
                Gdiplus::Bitmap* bullet = arabic && m_pImgBulletRtl ? m_pImgBulletRtl : m_pImgBullet;
                const int x = arabic ? cw - r.right - 10 : r.left - 10;
                CGdiFunc::drawImage(m_hWnd, &graphics, bullet, x, r.top - d + 4,
                                    static_cast<int>(m_pImgBullet->GetWidth()),
                                    static_cast<int>(m_pImgBullet->GetHeight()));
            }
        }
    }
    canvas.copyTo(dc.GetSafeHdc());
}

LRESULT CDlgCarUpdate::OnTransferPhase(WPARAM wParam, LPARAM) {
    switch (static_cast<int>(wParam)) {
        case TRANSFER_PHASE_CHECK:
            m_bCheckPhase = TRUE;
            if (CRegSetting::getRegion() == REGION_KR) {
                // The upload pumps while it talks to the service: the end of
                // the pre-check may come meanwhile, and its format must wait
                // until the medium's files are off it.
                m_bUploading = TRUE;
                uploadOfflineVehicleData();
                m_bUploading = FALSE;
                if (m_bCheckCompleteHeld) {
                    m_bCheckCompleteHeld = FALSE;
                    OnCheckComplete(0, m_nHeldCheckResult);
                }
            }
            break;
        case TRANSFER_PHASE_DOWNLOAD: m_bDownloadPhase = TRUE; break;
        case TRANSFER_PHASE_COPY: m_bCopyPhase = TRUE; break;
        case TRANSFER_PHASE_COPY_STEP: m_bCopyStepPhase = TRUE; break;
        case TRANSFER_PHASE_UNZIP:
            m_bUnzipPhase = TRUE;
            m_bCopyPhase = TRUE;
            break;
        default: break;
    }
    layoutMessageLines();
    setControlText(&m_stMsg1, CLangLibrary::loadLangString(12268));
    if (isPaused()) {
        setStatusTexts(CLangLibrary::loadLangString(12287), CLangLibrary::loadLangString(12288), CString());
        hideInfoLines(false);
    }
    return 0;
}

void CDlgCarUpdate::layoutMessageLines() {
    if (!GetSafeHwnd()) return;
    CRect client;
    GetClientRect(&client);
    CString status;
    m_stStatus.GetWindowText(status);
    const update_page_layout::MessageLines lines =
        update_page_layout::messageLines(isPaused() != FALSE, CRegSetting::getLanguage(), client.Width(),
                                         client.Height(), m_stStatus.measureText(status).cx,
                                         m_stPercent.getTextSize().cx);
    if (lines.paused) hideInfoLines(true);
    else CDLang::moveWnd(this, &m_stStatus, lines.status.x, lines.status.y, lines.status.width, lines.status.height,
                         MIRROR_IN_ARABIC);
    CDLang::moveWnd(this, &m_stMsg1, lines.msg1.x, lines.msg1.y, lines.msg1.width, lines.msg1.height, MIRROR_IN_ARABIC);
    CDLang::moveWnd(this, &m_stMsg2, lines.msg2.x, lines.msg2.y, lines.msg2.width, lines.msg2.height, MIRROR_IN_ARABIC);
}

void CDlgCarUpdate::hideInfoLines(bool percentToo) {
    for (CWnd* w : {static_cast<CWnd*>(&m_stDownloaded), static_cast<CWnd*>(&m_stTransferRate),
                    static_cast<CWnd*>(&m_stFileTime), static_cast<CWnd*>(&m_stFileCopy)}) {
        if (w->GetSafeHwnd()) w->ShowWindow(SW_HIDE);
    }
    if (percentToo && m_stPercent.GetSafeHwnd()) m_stPercent.ShowWindow(SW_HIDE);
}

void CDlgCarUpdate::enableHold() {
    m_stResumeUpdate.ShowWindow(SW_HIDE);
    m_btnHold.setEnable(TRUE);
    m_btnHold.Invalidate(FALSE);
    m_btnHold.EnableWindow(TRUE);
}
