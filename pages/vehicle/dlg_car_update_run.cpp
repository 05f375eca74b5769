// The update page's run control: start and resume (Next), pause (Hold, Enter
// and the ThreadWait helper), the cancel question, the end of the page, the
// routines the engine's threads call, the end of the pre-check, the answers
// on message pages and the item callbacks that repair states before a resume.
#include "pages/vehicle/dlg_car_update.h"

#include "descriptors/inf_file_update.h"
#include "descriptors/inf_info.h"
#include "engine/copy_manager.h"
#include "engine/download_manager.h"
#include "engine/function_manager.h"
#include "engine/scoped_timer.h"
#include "engine/thread_name.h"
#include "engine/unzip_manager.h"
#include "engine/usb_detector.h"
#include "engine/vercheck_manager.h"
#include "foundation/current_ui.h"
#include "foundation/globalfunc.h"
#include "foundation/logmanager.h"
#include "foundation/message_pump.h"
#include "foundation/private_messages.h"
#include "foundation/program_strings.h"
#include "foundation/regsetting.h"
#include "pages/account/dlg_info_popup.h"
#include "pages/vehicle/dlg_car_finish.h"
#include "resources/resource.h"
#include "shell/dlg_page_message.h"
#include "shell/dlg_root.h"
#include "shell/main_frame.h"
#include "shell/message_types.h"
#include "ui/lang_library.h"
#include "ui/view_state.h"

#include <memory>

namespace {

long long nowSeconds() { return static_cast<long long>(time(nullptr)); }

void stageRecord(int stage) {
    CString text;
    text.Format(L"[D:%d,T:%s]", stage, CGlobalFunc::getTimeStamp().GetString());
    g_logManager.AddStatistics(text);
}

}  // namespace

// A button whose hover or pressed look stayed from the click that hid it
// would show it again when it comes back.
void CDlgCarUpdate::clearLooks(CPngButton& button) {
    button.m_bHover = FALSE;
    button.m_bPressed = FALSE;
    button.m_bTracking = FALSE;
}

void CDlgCarUpdate::record(const CString& text) { g_logManager.AddStatistics(text); }

// ---- item callbacks

bool CDlgCarUpdate::resetFailedItems(int, InfFileUpdate* item) {
    const int state = item->m_nState;
    if (state == ITEM_STATE_DOWNLOAD_FAILED || state == ITEM_STATE_UNZIP_FAILED) item->m_nState = ITEM_STATE_DOWNLOADING;
    return true;
}

bool CDlgCarUpdate::resetFailedItemsCheckPieces(int, InfFileUpdate* item) {
    const int state = item->m_nState;
    if (state == ITEM_STATE_DOWNLOAD_FAILED || state == ITEM_STATE_UNZIP_FAILED) {
        item->m_nState = ITEM_STATE_DOWNLOADING;
        function_manager::getInstance()->validateSplitPieces(item);
    }
    return true;
}

bool CDlgCarUpdate::discardFailedDownloads(int, InfFileUpdate* item) {
    const int state = item->m_nState;
    if (state != ITEM_STATE_DOWNLOAD_FAILED && state != ITEM_STATE_UNZIP_FAILED) return true;
    item->m_nState = ITEM_STATE_DOWNLOAD_READY;
    const CString folder = download_manager::getInstance()->m_strDownloadFolder;
    if (item->getNumSpan() > 0) {
        for (int n = 0; n < item->getNumSpan(); ++n) CGlobalFunc::deleteFile(item->getPartPath(folder, n));
    } else {
        CGlobalFunc::deleteFile(item->getFilePath(folder));
    }
    return true;
}

bool CDlgCarUpdate::retryFailedCopies(int, InfFileUpdate* item) {
    if (item->m_nState == ITEM_STATE_COPY_FAILED) item->m_nState = ITEM_STATE_COPYING;
    return true;
}

InfFileUpdate* CDlgCarUpdate::findItemInState(int state) {
    InfFileUpdate* found = nullptr;
    InfFileUpdateList::getInstance().forEach([&](int, InfFileUpdate* item) {
        if (item->m_nState != state) return true;
        found = item;
        return false;
    });
    return found;
}

// ---- buttons

void CDlgCarUpdate::showRunningButtons() {
    m_btnHold.ShowWindow(SW_SHOW);
    m_btnNext.ShowWindow(SW_HIDE);
    m_btnCancel.ShowWindow(SW_HIDE);
}

void CDlgCarUpdate::showPausedButtons() {
    clearLooks(m_btnHold);
    m_btnHold.setEnable(FALSE);
    m_btnHold.EnableWindow(FALSE);
    m_btnHold.ShowWindow(SW_HIDE);
    clearLooks(m_btnNext);
    m_btnNext.setEnable(TRUE);
    m_btnNext.EnableWindow(TRUE);
    m_btnNext.ShowWindow(SW_SHOW);
    m_btnNext.Invalidate(FALSE);
    m_btnCancel.ShowWindow(SW_SHOW);
}

void CDlgCarUpdate::lockTitleBar() {
    if (CDlgRoot* r = root()) {
        r->m_bTransferIdle = 0;
        r->enableTopButton(0, this, FALSE);
        r->enableTopButton(2, this, FALSE);
    }
}

void CDlgCarUpdate::OnBnClickedButtonNext() {
    CMainFrame* f = frame();
    CDlgRoot* r = root();
    if (!f || !r) return;
    download_fail_info fail = download_manager::getInstance()->getFailInfo();
    download_manager::getInstance()->setFailInfo(nullptr, fail.piece, fail.code, fail.status);

    if (r->m_bUpdateHeld) {
        if (!f->m_strSelectedDrive.IsEmpty()) {
            bool present = false;
            if (f->m_pUSBDetector) {
                f->m_pUSBDetector->updateAllDriveInfo();
                const CUSBDetector::DriveMap* drives = f->m_pUSBDetector->getAllDriveInfoList();
                present = drives && drives->count(static_cast<wchar_t>(towupper(f->m_strSelectedDrive[0]))) > 0;
            }
            if (!present) {
                SendMessage(UM_MODULE_ERROR, MODULE_COPY, MODULE_ERROR_COPY_TARGET);
                return;
            }
        }
        if (!f->m_bNetworkConnected) {
            SendMessage(UM_MODULE_ERROR, MODULE_NETWORK, 0);
            return;
        }
    }

    SetTimer(UPDATE_TIMER_PROGRESS, 1000, nullptr);
    r->m_bUpdateHeld = 0;
    function_manager* fm = function_manager::getInstance();
    fm->postCommand(FM_CMD_IDLE, 0, nullptr);
    if (!(m_bAutoRetry && m_bTitleLaidOut) && m_pTargetInfo) {
        setControlText(&m_stDeviceName, deviceNameText());
        layoutDeviceName(m_stDeviceName.getTextSize().cx);
    }
    fm->m_observers.add(m_hWnd);
    vercheck_manager::getInstance().m_observers.add(m_hWnd);
    download_manager::getInstance()->m_observers.add(m_hWnd);
    unzip_manager::getInstance()->m_observers.add(m_hWnd);
    copy_manager::getInstance()->m_observers.add(m_hWnd);
    fm->postCommand(FM_CMD_START, 0, static_cast<transfer_page*>(this));
    m_tDownloadStart = 0;
    m_tDownloadEnd = 0;
    m_tCopyEnd = 0;

    showRunningButtons();
    m_btnHold.setEnable(TRUE);
    m_btnHold.EnableWindow(TRUE);
    for (CWnd* w : {static_cast<CWnd*>(&m_stPercent), static_cast<CWnd*>(&m_stDownloaded),
                    static_cast<CWnd*>(&m_stTransferRate), static_cast<CWnd*>(&m_stFileTime),
                    static_cast<CWnd*>(&m_stFileCopy)}) {
        w->ShowWindow(SW_SHOW);
    }
    m_stResumeUpdate.ShowWindow(SW_HIDE);
    lockTitleBar();
    stageRecord(STAT_STAGE_DOWNLOAD);
    vercheck_manager::getInstance().m_observers.send_message_all(UM_TRANSFER_PHASE, TRANSFER_PHASE_DOWNLOAD, 0);
    vercheck_manager::getInstance().m_observers.send_message_all(UM_TRANSFER_PHASE, TRANSFER_PHASE_UNZIP, 0);
    fm->checkPhaseComplete();
}

void CDlgCarUpdate::OnBnClickedButtonHold() {
    CDlgRoot* r = root();
    CMainFrame* f = frame();
    if (!r || r->m_bUpdateHeld) return;
    m_nMsgType = UPDATE_PROGRESS_STATE_INIT;
    r->m_bUpdateHeld = 1;
    function_manager* fm = function_manager::getInstance();
    if (fm->m_nFormatting) {
        HCURSOR old = SetCursor(LoadCursorW(nullptr, IDC_WAIT));
        while (fm->m_nFormatting) waitPumpingMessages(1000);
        SetCursor(old);
    }
    if (m_pNetworkCheckThread || m_hNetworkCheckThread) stopNetworkCheck();
    if (f) f->stopManagers();
    stageRecord(STAT_STAGE_PAUSE);
    showStepProgress();
    clearLooks(m_btnHold);
    m_btnHold.Invalidate(FALSE);
    m_btnHold.setEnable(FALSE);
    m_btnHold.EnableWindow(FALSE);
    CWinThread* thread = AfxBeginThread(ThreadWait, this, THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED);
    if (!thread) {
        LOG_WRITE(L"CDlgCarUpdate::OnBnClickedButtonHold: ThreadWait not started [ErrorCode:%d]",
                  static_cast<int>(GetLastError()));
        return;
    }
    SetThreadName(thread, "ThreadWait");
    thread->ResumeThread();
}

// The waiting thread only marks the engine paused and watches the workers'
// busy bytes; the buttons change on the UI thread when it reports.
UINT CDlgCarUpdate::ThreadWait(LPVOID param) {
    scoped_timer timer(L"CDlgCarUpdate::ThreadWait", __FILE__, __LINE__, __func__);
    auto* page = static_cast<CDlgCarUpdate*>(param);
    function_manager* fm = function_manager::getInstance();
    {
        std::lock_guard<std::mutex> lock(fm->m_queueMutex);
        fm->m_nPaused = 1;
    }
    const HWND window = page->GetSafeHwnd();
    ::PostMessageW(window, UM_UPDATE_PAUSE_STEP, 0, 0);
    int slices = 0, unzipQuiet = 0, copyQuiet = 0;
    for (;;) {
        waitPumpingMessages(100);
        if (++slices >= 20) {
            g_bUnzipBusy = 0;
            g_bCopyBusy = 0;
            break;
        }
        if (g_bUnzipBusy) continue;
        if (unzipQuiet < 2) {
            ++unzipQuiet;
            continue;
        }
        if (g_bCopyBusy) continue;
        if (copyQuiet < 2) {
            ++copyQuiet;
            continue;
        }
        break;
    }
    unzip_manager::getInstance()->m_nBusy = 0;
    waitPumpingMessages(100);
    ::PostMessageW(window, UM_UPDATE_PAUSE_STEP, 1, 0);
    return 0;
}

LRESULT CDlgCarUpdate::OnPauseStep(WPARAM step, LPARAM) {
    CDlgRoot* r = root();
    if (!r || !r->m_bUpdateHeld) return 0;
    if (step == 0) {
        clearLooks(m_btnHold);
        m_btnHold.setEnable(FALSE);
        m_btnHold.EnableWindow(FALSE);
        m_btnHold.ShowWindow(SW_HIDE);
        clearLooks(m_btnNext);
        m_btnNext.setEnable(FALSE);
        m_btnNext.EnableWindow(FALSE);
        m_btnNext.ShowWindow(SW_SHOW);
        m_btnNext.Invalidate(FALSE);
        m_btnCancel.ShowWindow(SW_SHOW);
        setControlText(&m_stStatus, CLangLibrary::loadLangString(12287));
        lockTitleBar();
        return 0;
    }
    if (!frame() || !frame()->GetSafeHwnd()) return 0;
    showPausedButtons();
    return 0;
}

void CDlgCarUpdate::OnBnClickedButtonCancel() {
    CDlgRoot* r = root();
    if (!frame() || !r) return;
    CDlgPageMessage* message = r->getMessagePage(SERVER_ETC_UPDATE_CANCEL_CONFIRM);
    if (!message) return;
    message->setMessageType(SERVER_ETC_UPDATE_CANCEL_CONFIRM, this);
    r->pushViewPage(VIEW_STATE_MESSAGE, TRUE);
    stageRecord(STAT_STAGE_CANCEL);
}

BOOL CDlgCarUpdate::PreTranslateMessage(MSG* msg) {
    if (msg->message == WM_KEYDOWN && msg->wParam == VK_RETURN) {
        OnBnClickedButtonHold();
        return TRUE;
    }
    return CBaseChildDialog::PreTranslateMessage(msg);
}

void CDlgCarUpdate::endPage() {
    // A folder run gets both completions, one of them possibly while the
    // report pumps: the page leaves once.
    if (m_bPageEnded) return;
    m_bPageEnded = TRUE;
    OnBnClickedOk();
}

void CDlgCarUpdate::OnBnClickedOk() {
    CDlgRoot* r = root();
    if (!r) return;
    CString typeName;
    m_stDeviceTypeName.GetWindowText(typeName);
    if (CDlgPageMessage* message = r->getMessagePage(SERVER_FINISH_UPDATE_GUIDE)) message->setParam(typeName, 0);
    if (r->m_pPageCarFinish && m_pCarInfo) r->m_pPageCarFinish->setResult(m_pCarInfo, m_chDrive);
    LRESULT guide = 0;
    if (r->m_pPageInfoPopup && r->m_pPageInfoPopup->GetSafeHwnd() && m_pTargetInfo) {
        guide = r->m_pPageInfoPopup->SendMessage(UM_GUIDE_SHOW, static_cast<WPARAM>(m_pTargetInfo->getDeviceType()), 0);
    }
    const bool koreanHome = g_nCurrentRegion == 1 && g_nCurrentLanguage == 2;
    r->pushViewPage(guide == 1 && !koreanHome ? VIEW_STATE_INFO_POPUP : VIEW_STATE_CAR_FINISH, TRUE);
}

// ---- engine callbacks

int CDlgCarUpdate::beginTransfer() {
    if (!frame()) return FALSE;
    if (m_tDownloadStart == 0) {
        m_tDownloadStart = nowSeconds();
        requestDownloadRestart();
    }
    if (function_manager::getInstance()->calcProgressState() > ITEM_STATE_DOWNLOADED) {
        vercheck_manager::getInstance().m_observers.post_message_all(UM_DOWNLOAD_COMPLETE, 0, 1);
    }
    download_manager::getInstance()->start();
    unzip_manager::getInstance()->start();
    function_manager::getInstance()->postCommand(FM_CMD_DOWNLOAD_DONE, 0, nullptr);
    return TRUE;
}

void CDlgCarUpdate::computeAndInitDownload() {
    CMainFrame* f = frame();
    if (!f || !f->m_pInfInfoList || !f->Cur_inf) return;
    InfInfo* entry = f->Cur_inf;
    std::unique_ptr<InfInfoList> sameModel(f->m_pInfInfoList->filterByModelCode(entry->getModelCode()));
    std::list<InfInfo*> descriptors;
    if (sameModel) {
        CDlgRoot::mergeInfTails(sameModel.get());
        descriptors = sameModel->m_list;
    }
    f->InitDownload(entry, descriptors);
    CString text;
    text.Format(L"[D:%d,T:%s,NAME:%s,FP:%s]", STAT_STAGE_MEDIUM_CHECK, CGlobalFunc::getTimeStamp().GetString(),
                entry->getDeviceName().GetString(), entry->getInfFileName().GetString());
    record(text);
}

LRESULT CDlgCarUpdate::OnCheckComplete(WPARAM, LPARAM result) {
    if (m_bUploading) {
        m_bCheckCompleteHeld = TRUE;
        m_nHeldCheckResult = result;
        return 0;
    }
    m_bCheckPhase = FALSE;
    requestDownloadRestart();
    function_manager* fm = function_manager::getInstance();
    // The engine gave up waiting for the old run's workers: the list was
    // never built for this run, and a format now would erase the medium
    // for nothing. It counts as a failed download.
    if (result == 0 && !isPaused() && fm->itemsPending()) {
        LOG_WRITE(L"CDlgCarUpdate::OnCheckComplete: item list not built, no format");
        SendMessage(UM_MODULE_ERROR, MODULE_DOWNLOAD, MODULE_ERROR_DOWNLOAD);
        return 0;
    }
    fm->postCommand(FM_CMD_FORMAT, m_chDrive, static_cast<transfer_page*>(this));
    return 0;
}

// ---- answers

void CDlgCarUpdate::leaveForRegistration() {
    CDlgRoot* r = root();
    if (!r) return;
    r->pushViewPage(VIEW_STATE_CAR_REG, TRUE);
    r->enableTopButton(0, this, TRUE);
    r->enableTopButton(2, this, CDlgRoot::isRestrictedRegion(CRegSetting::getRegion(), r->m_nCorp) ? FALSE : TRUE);
}

LRESULT CDlgCarUpdate::OnRegisteredMessage_MessageResult(WPARAM answer, LPARAM type) {
    LOG_WRITE(L"MessageType = %s, Result = %d", CGlobalFunc::getErrorName(static_cast<unsigned>(type)).GetString(),
              static_cast<int>(answer));
    CDlgRoot* r = root();
    CMainFrame* f = frame();
    if (!r || !f) return 0;
    switch (static_cast<int>(type)) {
        case SERVER_ERROR_NETWORK_FAIL:
        case SERVER_ERROR_DOWNLOAD_ZIP:
        case SERVER_ERROR_DOWNLOAD_FILE_SIZE:
        case SERVER_ERROR_DOWNLOAD_FAIL:
        case SERVER_ERROR_DOWNLOAD_ERROR:
        case SERVER_ERROR_UNZIP_FAIL:
            r->m_bUpdateHeld = 0;
            if (answer != 1) {
                leaveForRegistration();
            } else if (f->m_bNetworkConnected) {
                m_nMsgType = UPDATE_PROGRESS_STATE_DOWNLOAD;
                InfFileUpdateList::getInstance().forEach(resetFailedItems);
                OnBnClickedButtonNext();
            } else {
                if (CDlgPageMessage* message = r->getMessagePage(999)) {
                    message->setMessageType(SERVER_ERROR_NETWORK_FAIL, this);
                    r->pushViewPage(VIEW_STATE_MESSAGE, TRUE);
                }
                OnBnClickedButtonHold();
            }
            break;
        case SERVER_ERROR_FORMAT_FAIL:
        case SERVER_ETC_UPDATE_CANCEL_CONFIRM:
            if (answer == 1) {
                showRunningButtons();
                leaveForRegistration();
            }
            break;
        case SERVER_ERROR_COPY_FAIL:
            r->m_bUpdateHeld = 0;
            if (answer == 1) {
                InfFileUpdateList::getInstance().forEach(retryFailedCopies);
                OnBnClickedButtonNext();
            } else {
                leaveForRegistration();
            }
            break;
        case SERVER_FINISH_UPDATE_GUIDE:
            if (answer == 1) {
                r->setFinishResult(m_pCarInfo, static_cast<char>(m_chDrive));
                r->pushViewPage(VIEW_STATE_CAR_FINISH, TRUE);
            }
            break;
        default: break;
    }
    return 0;
}
