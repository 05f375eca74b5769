// The registration page's update button: the checks of the chosen
// destination, the question, the checks repeated at the answer, and the
// hand-over of the vehicle to the update page.
#include "pages/vehicle/dlg_car_reg.h"

#include "descriptors/inf_file_head.h"
#include "descriptors/inf_file_tail.h"
#include "descriptors/inf_info.h"
#include "engine/drive_probe.h"
#include "engine/usb_detector.h"
#include "foundation/code_tables.h"
#include "foundation/globalfunc.h"
#include "foundation/lastmodeinfo.h"
#include "foundation/log_statistics.h"
#include "foundation/logmanager.h"
#include "foundation/private_messages.h"
#include "foundation/program_strings.h"
#include "foundation/regsetting.h"
#include "pages/account/dlg_info_image_popup.h"
#include "pages/account/dlg_page_config.h"
#include "pages/vehicle/car_reg_checks.h"
#include "pages/vehicle/dlg_car_update.h"
#include "shell/dlg_page_message.h"
#include "shell/dlg_root.h"
#include "shell/main_frame.h"
#include "shell/message_types.h"
#include "ui/view_state.h"

#include <memory>

namespace {

constexpr int IMAGE_GUIDE_MEDIUM = 17;
constexpr int IMAGE_GUIDE_FROM_PAGE = 99;

CString stamp() { return CGlobalFunc::getTimeStamp(); }

void addRecord(const CString& record) { g_logManager.AddStatistics(record); }

// Sets a flag for the time of a call and clears it again, however the call
// ends.
class BusyScope {
public:
    explicit BusyScope(BOOL& flag) : m_flag(flag) { m_flag = TRUE; }
    ~BusyScope() { m_flag = FALSE; }
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;

private:
    BOOL& m_flag;
};

}  // namespace

std::unique_ptr<DriveInfo> CDlgCarReg::acceptedDrive(const CString& letter) {
    if (letter.IsEmpty()) return nullptr;
    auto info = std::make_unique<DriveInfo>();
    if (!CUSBDetector::getDriveInfo(letter[0], info.get())) return nullptr;
    return info;
}

CString CDlgCarReg::selectedDriveLetter() {
    const int index = m_comboDisk.GetCurSel();
    if (index < 0 || index >= m_comboDisk.GetCount()) return CString();
    const CString line = m_comboDisk.getItemText(index);
    const int colon = line.Find(L':');
    return colon < 0 ? CString() : line.Left(colon);
}

void CDlgCarReg::showMessage(int type, BOOL show) {
    CDlgRoot* r = root();
    if (!r) return;
    CDlgPageMessage* page = r->getMessagePage(999);
    if (!page) return;
    page->setMessageType(type, this);
    r->pushViewPage(VIEW_STATE_MESSAGE, show);
}

void CDlgCarReg::showImageGuide(BOOL autoSkip) {
    CDlgRoot* r = root();
    if (!r || !r->m_pPageInfoImagePopup) return;
    CWnd* popup = r->m_pPageInfoImagePopup;
    if (popup->GetSafeHwnd()) popup->SendMessage(UM_GUIDE_SHOW_PAGE, IMAGE_GUIDE_MEDIUM, IMAGE_GUIDE_FROM_PAGE);
    if (autoSkip) r->m_pPageInfoImagePopup->setAutoSkip(TRUE);
    r->pushViewPage(VIEW_STATE_INFO_IMAGE_POPUP, TRUE);
}

// ---------------------------------------------------------------- the press

void CDlgCarReg::OnClickedButtonCarUpdate() {
    // The descriptor download and the free-space retries pump this page's
    // messages: a second Enter meanwhile would ask twice.
    if (m_bBusy) return;
    BusyScope busy(m_bBusy);
    pressUpdate();
}

void CDlgCarReg::pressUpdate() {
    CDlgRoot* r = root();
    if (!r || !m_pCarInfo) return;
    CMainFrame* f = frame();
    if (f) {
        f->m_bDownloadReported = 0;
        f->m_bCopyReported = 0;
        f->m_bResumed = 0;
        f->m_nDownloadedFiles = 0;
    }
    r->m_bDestIsDrive = 0;

    InfInfo* car = m_pCarInfo;
    if (!car->getInfFileHead()) {
        CString record;
        record.Format(L"[E:%d,T:%s,PS:1,ED:%d,FP:%s]", STAT_STAGE_LOGIN, stamp().GetString(),
                      car->getLastWorkerResult(), car->getInfFileUrl().GetString());
        addRecord(record);
        showMessage(SERVER_ERROR_UPDATE_CHECK_INF_LOAD);
        return;
    }
    // The download may have pumped a drive event or a reset through.
    if (m_pCarInfo != car) return;
    setUpdateLogInfo();
    if (car->getMapUpdate() == 0) {
        showMessage(SERVER_ETC_NOT_SUPPORT_MAP_UPDATE);
        LOG_WRITE(L"[ERR_6_CAR_SELECT][Not Support Map Update][NAME:%s]", car->getDeviceName().GetString());
        CString record;
        record.Format(L"[E:%d,T:%s,NAME:%s]", STAT_STAGE_DESTINATION, stamp().GetString(),
                      car->getDeviceName().GetString());
        addRecord(record);
        return;
    }
    const int index = m_comboDisk.GetCurSel();
    if (index < 0 || index >= static_cast<int>(m_vecDiskList.size())) return;
    const BOOL sdMedium = car->getMediaType() == L"SD" ? TRUE : FALSE;
    if (m_vecDiskList[static_cast<size_t>(index)].chLetter == 0) pressToFolder(sdMedium);
    else pressToDrive(sdMedium);
}

void CDlgCarReg::pressToFolder(BOOL sdMedium) {
    CDlgRoot* r = root();
    const CString vn = car_reg::folderDriveLetter(CRegSetting::getDataPath());
    CDlgPageMessage* page = r->getMessagePage(SERVER_ETC_SAVE_TO_HDD);
    if (!page) return;
    page->setMessageType(SERVER_ETC_SAVE_TO_HDD, this);
    r->pushViewPage(VIEW_STATE_MESSAGE, sdMedium ? FALSE : TRUE);
    if (sdMedium) showImageGuide(TRUE);
    CString record;
    record.Format(L"[D:%d,T:%s,ST:%s,VN:%s]", STAT_STAGE_DESTINATION, stamp().GetString(), L"HDD", vn.GetString());
    addRecord(record);
}

void CDlgCarReg::pressToDrive(BOOL sdMedium) {
    CDlgRoot* r = root();
    CMainFrame* f = frame();
    const CString letter = selectedDriveLetter();
    const std::unique_ptr<DriveInfo> drive = acceptedDrive(letter);
    CDlgPageMessage* page = r->getMessagePage(999);
    if (!page) return;
    if (!drive) {
        page->setMessageType(SERVER_ERROR_USB_REMOVE_FAIL, this);
        r->pushViewPage(VIEW_STATE_MESSAGE, sdMedium ? FALSE : TRUE);
        if (sdMedium) showImageGuide(FALSE);
        return;
    }
    bool earlierDownload = false;
    for (const DiskListEntry& entry : m_vecDiskList) {
        if (entry.chLetter == 0 && entry.nMark == 1) earlierDownload = true;
    }
    if (earlierDownload) {
        if (f) f->m_bDownloadReported = 1;
    } else if (!checkDiskSpace()) {
        return;
    }
    page->setParam(letter, 0);
    const int deviceType = f && f->Cur_inf ? f->Cur_inf->getDeviceType() : 0;
    if (car_reg::refusedAsTooLarge(drive->totalKB, deviceType)) {
        page->setMessageType(SERVER_ERROR_USB_IS_BIGSIZE, this);
        r->pushViewPage(VIEW_STATE_MESSAGE, FALSE);
        showImageGuide(FALSE);
        CString record;
        record.Format(L"[E:%d,T:%s,VN:%s,SERVER_ERROR_USB_IS_BIGSIZE]", STAT_STAGE_MEDIUM_CHECK, stamp().GetString(),
                      letter.GetString());
        addRecord(record);
        return;
    }
    CDlgPageMessage* question = r->getMessagePage(SERVER_ETC_SAVE_TO_SD);
    if (!question) return;
    question->setMessageType(SERVER_ETC_SAVE_TO_SD, this);
    r->pushViewPage(VIEW_STATE_MESSAGE, TRUE);
    if (sdMedium) showImageGuide(TRUE);
    CString record;
    record.Format(L"[D:%d,T:%s,ST:%s,VN:%s]", STAT_STAGE_DESTINATION, stamp().GetString(), L"USB", letter.GetString());
    addRecord(record);
}

// ---------------------------------------------------------------- the answers

LRESULT CDlgCarReg::OnRegisteredMessage_MessageResult(WPARAM result, LPARAM type) {
    LOG_WRITE(L"MessageType = %s, Result = %d", CGlobalFunc::getErrorName(static_cast<unsigned>(type)).GetString(),
              static_cast<int>(result));
    CMainFrame* f = frame();
    if (result != 1 || m_bBusy || !f) return 0;
    BusyScope busy(m_bBusy);
    const bool online = f->m_bNetworkConnected == 1;
    switch (static_cast<int>(type)) {
        case SERVER_ERROR_NETWORK_FAIL:
            if (!online) showMessage(SERVER_ERROR_NETWORK_FAIL);
            break;
        case SERVER_ETC_SAVE_TO_HDD:
            if (!checkDiskSpace()) break;
            if (!online) {
                showMessage(SERVER_ERROR_NETWORK_FAIL);
                break;
            }
            handOver();
            break;
        case SERVER_ETC_SAVE_TO_SD: answerDrive(); break;
        default: break;
    }
    return 0;
}

void CDlgCarReg::answerDrive() {
    CDlgRoot* r = root();
    if (!r) return;
    CMainFrame* f = frame();
    const CString letter = selectedDriveLetter();
    std::unique_ptr<DriveInfo> drive = acceptedDrive(letter);
    CDlgPageMessage* page = r->getMessagePage(999);
    if (!page) return;
    if (!drive) {
        showMessage(SERVER_ERROR_USB_REMOVE_FAIL);
        return;
    }
    if (drive->readOnly) {
        drive->readOnly = CUSBDetector::clearReadOnly(*drive) ? 0 : 1;
        if (drive->readOnly) {
            showMessage(SERVER_ERROR_USB_LOCK);
            CString record;
            record.Format(L"[E:%d,T:%s,VN:%s,ED:LOCK]", STAT_STAGE_MEDIUM_CHECK, stamp().GetString(), letter.GetString());
            addRecord(record);
            LOG_WRITE(L"[DEBUG_6_USB_CHECK][USB is readonly][Drive : %s]", letter.GetString());
            return;
        }
    }
    // As at the press: an earlier complete download in the folder needs no
    // room there, so its check would refuse space the update does not use.
    bool earlierDownload = false;
    for (const DiskListEntry& entry : m_vecDiskList) {
        if (entry.chLetter == 0 && entry.nMark == 1) earlierDownload = true;
    }
    if (!earlierDownload && !checkDiskSpace()) return;
    if (!checkMediumSpace(drive.get())) return;
    if (!(f && f->m_bNetworkConnected == 1)) {
        showMessage(SERVER_ERROR_NETWORK_FAIL);
        return;
    }
    handOver();
}

void CDlgCarReg::handOver() {
    CDlgRoot* r = root();
    const int index = m_comboDisk.GetCurSel();
    if (r && index >= 0 && index < static_cast<int>(m_vecDiskList.size())) {
        const wchar_t letter = m_vecDiskList[static_cast<size_t>(index)].chLetter;
        g_bSaveToHDD = letter == 0 ? TRUE : FALSE;
        if (r->m_pPageCarUpdate) r->m_pPageCarUpdate->setUpdateTarget(m_pCarInfo, letter);
        if (m_pCarInfo) {
            CRegSetting::setLastMode(LastModeInfo(CRegSetting::getLastUserCorp(), CRegSetting::getLastUserType(),
                                                  m_pCarInfo->getInfFileName(), m_pCarInfo->getModelCode()));
        }
        r->pushViewPage(VIEW_STATE_CAR_UPDATE, TRUE);
    }
    if (CUSBDetector* w = watcher()) w->removeListener(m_hWnd);
}

// ---------------------------------------------------------------- the checks

BOOL CDlgCarReg::sumUpdateSize(ULONGLONG& bytes) {
    bytes = 0;
    CMainFrame* f = frame();
    if (!f || !f->m_pInfInfoList || !f->Cur_inf) return FALSE;
    std::unique_ptr<InfInfoList> model(f->m_pInfInfoList->filterByModelCode(f->Cur_inf->getModelCode()));
    if (!model) return FALSE;
    CDlgRoot::mergeInfTails(model.get());
    for (InfInfo* entry : model->m_list) {
        InfFileTailMap* tails = entry ? entry->getInfFileTails() : nullptr;
        if (!tails) return FALSE;
        tails->forEach([&bytes](int, InfFileTail* tail) {
            if (tail && tail->getFileSize() > 0) bytes += static_cast<ULONGLONG>(tail->getFileSize());
            return true;
        });
    }
    return TRUE;
}

BOOL CDlgCarReg::checkDiskSpace() {
    CDlgRoot* r = root();
    if (!r) return FALSE;
    const CString folder = CRegSetting::getDataPath();
    const CString vn = car_reg::folderDriveLetter(folder);
    if (driveQueries().getDriveType(vn + L":\\") != DRIVE_FIXED) {
        showMessage(SERVER_ERROR_UPDATE_CHECK_SAVE_DRIVE_UPDATE_HDD);
        CString record;
        record.Format(L"[E:%d,T:%s,VN:%s,ED:PATHTYPE]", STAT_STAGE_FOLDER, stamp().GetString(), vn.GetString());
        addRecord(record);
        return FALSE;
    }
    if (r->m_pPageConfig && r->m_pPageConfig->checkPathType(folder) == 2) {
        showMessage(SERVER_ERROR_UPDATE_CHECK_SAVE_FOLDER_UPDATE_HDD);
        return FALSE;
    }
    if (::GetFileAttributesW(folder.GetString()) == INVALID_FILE_ATTRIBUTES) {
        showMessage(SERVER_ERROR_UPDATE_CHECK_SAVE_FOLDER_UPDATE_HDD);
        CString record;
        record.Format(L"[E:%d,T:%s,VN:%s,ED:SETERR]", STAT_STAGE_FOLDER, stamp().GetString(), vn.GetString());
        addRecord(record);
        return FALSE;
    }
    const ULONGLONG usable = getUsableFreeSpace(vn);
    CMainFrame* f = frame();
    if (!f || !f->m_pInfInfoList) return FALSE;
    ULONGLONG update = 0;
    if (!sumUpdateSize(update)) {
        showMessage(SERVER_ERROR_UPDATE_CHECK_INF_LOAD);
        return FALSE;
    }
    const car_reg::LocalSpace space = car_reg::checkLocalSpace(update, usable);
    if (space.passes) return TRUE;
    CDlgPageMessage* page = r->getMessagePage(999);
    if (!page) return FALSE;
    g_strMessageNumber = space.requiredGB;
    CString record;
    record.Format(L"[E:%d,T:%s,VN:%s,HRS:%s,HFS:%s]", STAT_STAGE_FOLDER, stamp().GetString(), vn.GetString(),
                  space.hrs.GetString(), space.hfs.GetString());
    addRecord(record);
    page->setMessageType(SERVER_ERROR_UPDATE_CHECK_MEMORY_UPDATE_HDD, this);
    r->pushViewPage(VIEW_STATE_MESSAGE, TRUE);
    return FALSE;
}

ULONGLONG CDlgCarReg::getUsableFreeSpace(const CString& letter) { return car_reg::usableFreeSpaceOn(letter); }

BOOL CDlgCarReg::checkMediumSpace(const DriveInfo* drive) {
    CDlgRoot* r = root();
    CMainFrame* f = frame();
    if (!r || !drive || !f || !f->m_pInfInfoList) return FALSE;
    ULONGLONG update = 0;
    if (!sumUpdateSize(update)) {
        showMessage(SERVER_ERROR_UPDATE_CHECK_INF_LOAD);
        return FALSE;
    }
    const car_reg::MediumSpace space = car_reg::checkMediumSpace(update, drive->totalKB);
    if (space.passes) return TRUE;
    CDlgPageMessage* page = r->getMessagePage(999);
    if (!page) return FALSE;
    page->setParam(space.mediumGB, 0);
    page->setParam(space.needGB, 1);
    page->setMessageType(SERVER_ERROR_UPDATE_CHECK_MEMORY_UPDATE_USB, this);
    r->pushViewPage(VIEW_STATE_MESSAGE, TRUE);
    const CString letter = drive->getDriveLetter();
    CString record;
    record.Format(L"[E:%d,T:%s,VN:%s,URS:%s,UTS:%s,UFS:%s]", STAT_STAGE_MEDIUM_CHECK, stamp().GetString(),
                  letter.GetString(), space.needGB.GetString(), space.mediumGB.GetString(), space.mediumGB.GetString());
    addRecord(record);
    return FALSE;
}

void CDlgCarReg::setUpdateLogInfo() {
    CMainFrame* f = frame();
    if (!f || !f->Cur_inf) return;
    InfInfo* cur = f->Cur_inf;
    LOG_WRITE(L"[DEBUG_5_VECHICLE_SELECT][DeviceName : %s, InfUrl : %s]", cur->getDeviceName().GetString(),
              cur->getInfUrl().GetString());
    UpdateLogInfo info;
    info.m_strInfPath = cur->getInfUrl();
    info.m_strDeviceMCode = cur->getModelCode();
    info.m_strDeviceName = cur->getDeviceName();
    if (CDlgRoot* r = root()) {
        info.m_strOldMapVersion = r->m_strLastRegInfVersion;
        info.m_strOldSwVersion = r->m_strLastRegSwVersion;
    }
    if (InfFileHead* head = cur->getInfFileHead()) info.m_strNewMapVersion = head->getVersion();
    info.m_strNewSwVersion = cur->getSwVersionMask();
    g_logManager.SetStatisticsUpdateInfo(info);
}
