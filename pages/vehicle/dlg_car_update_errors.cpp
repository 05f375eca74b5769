// The update page's answer to failures: module errors with their automatic
// retries, messages and records, the connection re-check on its own thread,
// and the removal of the destination drive outside a transfer.
#include "pages/vehicle/dlg_car_update.h"

#include "descriptors/inf_file_update.h"
#include "descriptors/inf_info.h"
#include "engine/copy_manager.h"
#include "engine/download_manager.h"
#include "engine/function_manager.h"
#include "engine/thread_name.h"
#include "engine/unzip_manager.h"
#include "engine/usb_detector.h"
#include "foundation/globalfunc.h"
#include "foundation/logmanager.h"
#include "foundation/message_pump.h"
#include "foundation/private_messages.h"
#include "foundation/regsetting.h"
#include "foundation/utilmanager.h"
#include "shell/dlg_page_message.h"
#include "shell/dlg_root.h"
#include "shell/main_frame.h"
#include "shell/message_types.h"
#include "ui/view_state.h"
#include "webclient/internet_worker.h"

#include <wininet.h>

#include <deque>
#include <utility>

namespace {

constexpr int kDownloadRetries = 10;
constexpr int kUnzipRetries = 2;
constexpr int kNoMessage = 999;
constexpr int kNetworkAttempts = 3;
const wchar_t kProbePage[] = L"https://www.microsoft.com/download";

CString localPathOf(InfFileUpdate* item) { return item->getFilePath(CRegSetting::getDataPath()); }

ULONGLONG localSizeOf(const CString& path) {
    const ULONGLONG size = CUtilManager::getFileSize(path);
    return static_cast<LONGLONG>(size) < 0 ? 0 : size;
}

CString stamp() { return CGlobalFunc::getTimeStamp(); }

// Errors that arrive while one is being handled (its pumping lets them in)
// wait here and are handled afterwards, one by one.
std::deque<std::pair<WPARAM, LPARAM>>& pendingErrors() {
    static std::deque<std::pair<WPARAM, LPARAM>> errors;
    return errors;
}

}  // namespace

void CDlgCarUpdate::pauseQuietly() {
    if (CDlgRoot* r = root()) r->m_bUpdateHeld = 1;
    if (CMainFrame* f = frame()) f->stopManagers();
}

LRESULT CDlgCarUpdate::OnModuleError(WPARAM module, LPARAM detail) {
    if (m_bInModuleError) {
        pendingErrors().emplace_back(module, detail);
        return 0;
    }
    m_bInModuleError = TRUE;
    handleModuleError(static_cast<int>(module), static_cast<int>(detail));
    while (!pendingErrors().empty()) {
        const auto next = pendingErrors().front();
        pendingErrors().pop_front();
        handleModuleError(static_cast<int>(next.first), static_cast<int>(next.second));
    }
    m_bInModuleError = FALSE;
    return 0;
}

void CDlgCarUpdate::handleModuleError(int module, int detail) {
    LOG_WRITE(L"===================================\n");
    LOG_WRITE(L"Module Error: %d %d\n", module, detail);
    LOG_WRITE(L"===================================\n");
    CDlgRoot* r = root();
    CMainFrame* f = frame();
    const bool entryPause = r && r->m_bUpdateHeld;
    if (!f) return;
    int messageType = kNoMessage;
    CString param0, param1;
    CString text;

    switch (module) {
        case MODULE_COPY: {
            pauseQuietly();
            if (!f->m_bNetworkConnected) {
                if (r) {
                    if (CDlgPageMessage* message = r->getMessagePage(kNoMessage)) {
                        message->setMessageType(SERVER_ERROR_NETWORK_FAIL, this);
                        r->pushViewPage(VIEW_STATE_MESSAGE, TRUE);
                    }
                }
                pauseQuietly();
                return;
            }
            InfFileUpdate* item = findItemInState(ITEM_STATE_COPY_FAILED);
            if (!item) {
                param0 = L"ERR_REMOVED_FLASHDRIVE";
                text.Format(L"[E:%d,T:%s,PS:3,ED:REMOVE_USB,VN:%c]", STAT_STAGE_CANCEL, stamp().GetString(),
                            m_chDrive);
            } else {
                const CString local = localPathOf(item);
                if (detail == MODULE_ERROR_COPY_VERIFY) {
                    param0 = L"ERR_FILE_SIZE";
                    text.Format(L"[E:%d,T:%s,PS:3,ED:REMOVE_USB,IF:%lu,LF:%I64u,FP:%s]", STAT_STAGE_CANCEL,
                                stamp().GetString(), static_cast<unsigned long>(item->getFileSize()),
                                localSizeOf(local), local.GetString());
                } else {
                    param0 = L"COPY";
                    text.Format(L"[E:%d,T:%s,PS:3,ED:COPY,FP:%s]", STAT_STAGE_CANCEL, stamp().GetString(),
                                local.GetString());
                }
                param1 = item->getFileName();
            }
            record(text);
            messageType = SERVER_ERROR_COPY_FAIL;
            break;
        }
        case MODULE_FORMAT: {
            messageType = SERVER_ERROR_FORMAT_FAIL;
            const DWORD lastError = GetLastError();
            const DriveInfo* drive = f->m_pSelectedDriveInfo;
            const CString fileSystem = drive ? drive->fileSystem : CString();
            const long cluster = drive ? static_cast<long>(drive->clusterSize) : 0;
            text.Format(L"[E:%d,T:%s,VN:%s,UF:%s,UCS:%ld,ED:%ld]", STAT_STAGE_PAUSE, stamp().GetString(),
                        f->m_strSelectedDrive.GetString(), fileSystem.GetString(), cluster,
                        static_cast<long>(lastError));
            record(text);
            LOG_WRITE(L"[ERR_8_FORMAT][Drive : %s,UF : %s,UCS : %ld, ED:%ld]", f->m_strSelectedDrive.GetString(),
                      fileSystem.GetString(), cluster, static_cast<long>(lastError));
            pauseQuietly();
            break;
        }
        case MODULE_DOWNLOAD: {
            KillTimer(UPDATE_TIMER_PROGRESS);
            pauseQuietly();
            switch (detail) {
                case MODULE_ERROR_FILE_SIZE:
                case MODULE_ERROR_UNZIP_MODULE:
                case MODULE_ERROR_UNZIP_RENAME: {
                    messageType = detail == MODULE_ERROR_FILE_SIZE ? SERVER_ERROR_DOWNLOAD_FILE_SIZE
                                                                   : SERVER_ERROR_UNZIP_FAIL;
                    param0 = detail == MODULE_ERROR_FILE_SIZE     ? L"ERR_FILE_SIZE"
                             : detail == MODULE_ERROR_UNZIP_MODULE ? L"ERR_UNZIP_FAIL_MODULE"
                                                                   : L"ERR_UNZIP_FAIL_RENAME";
                    if (InfFileUpdate* item = findItemInState(ITEM_STATE_UNZIP_FAILED)) {
                        const CString local = localPathOf(item);
                        if (detail == MODULE_ERROR_FILE_SIZE) {
                            text.Format(L"[E:%d,T:%s,IF:%lu,LF:%I64u,ED:FILE_SIZE,FP:%s]", STAT_STAGE_DOWNLOAD,
                                        stamp().GetString(), static_cast<unsigned long>(item->getFileSize()),
                                        localSizeOf(local), local.GetString());
                        } else {
                            text.Format(L"[E:%d,T:%s,PS:3,ED:%s,FP:%s]", STAT_STAGE_DOWNLOAD, stamp().GetString(),
                                        detail == MODULE_ERROR_UNZIP_MODULE ? L"ZIP_MODULE" : L"ZIP_RENAME",
                                        local.GetString());
                        }
                        record(text);
                    }
                    break;
                }
                case MODULE_ERROR_DOWNLOAD: {
                    messageType = SERVER_ERROR_DOWNLOAD_ERROR;
                    param0 = L"ERR_DOWNLOAD";
                    const download_fail_info fail = download_manager::getInstance()->getFailInfo();
                    if (fail.item) {
                        const CString url =
                            fail.item->getNumSpan() == 0 || fail.piece < 0 ? fail.item->getFileUrl()
                                                                           : fail.item->getPartUrl(fail.piece);
                        text.Format(L"[E:%d,T:%s,PS:3,ED:%d,FP:%s]", STAT_STAGE_DOWNLOAD, stamp().GetString(),
                                    fail.code, url.GetString());
                        record(text);
                    }
                    break;
                }
                default:
                    messageType = SERVER_ERROR_DOWNLOAD_FAIL;
                    param0.Format(L"ERR_DOWNLOAD_%X", static_cast<unsigned>(detail));
                    break;
            }
            break;
        }
        case MODULE_OFFLINE:
        case MODULE_NETWORK:
            // A download that found no connection is a lost connection:
            // nothing else would ever resume it.
            param0 = module == MODULE_OFFLINE ? L"ERR_CHECK_UNPLUGGED" : L"ERR_CHECK_NETWORK";
            if (module == MODULE_OFFLINE) pauseQuietly();
            if (!f->m_bNetworkConnected) {
                startNetworkCheck();
                return;
            }
            break;
        default: break;
    }

    // Common part.
    if (!r) return;
    CDlgPageMessage* message = nullptr;
    if (!r->findMessagePage(SERVER_ERROR_USB_REMOVE_FAIL)) message = r->getMessagePage(kNoMessage);
    if (!message || r->getViewStatus() != VIEW_STATE_CAR_UPDATE) {
        // Nothing can be shown: the run stays paused, and the buttons say so
        // (Next resumes it).
        if (r->m_bUpdateHeld) showPausedButtons();
        return;
    }
    if (detail == MODULE_ERROR_DOWNLOAD) {
        param0 = L"ERR_DOWNLOAD_FAIL";
        if (m_nDownRetry < kDownloadRetries) {
            InfFileUpdateList::getInstance().forEach(resetFailedItems);
            ++m_nDownRetry;
            m_bAutoRetry = TRUE;
            waitPumpingMessages(100);
            if (!entryPause) OnBnClickedButtonNext();
            else showPausedButtons();
            return;
        }
        giveUpRetries(message, messageType, param0, param1);
        m_nDownRetry = 0;
        return;
    }
    if (detail == MODULE_ERROR_FILE_SIZE || detail == MODULE_ERROR_UNZIP_MODULE ||
        detail == MODULE_ERROR_UNZIP_RENAME) {
        if (m_nUnzipRetry < kUnzipRetries) {
            InfFileUpdateList::getInstance().forEach(m_nUnzipRetry == 0 ? resetFailedItemsCheckPieces
                                                                        : discardFailedDownloads);
            m_bAutoRetry = TRUE;
            r->m_bUpdateHeld = 0;
            ++m_nUnzipRetry;
            waitPumpingMessages(2000);
            if (!entryPause) {
                OnBnClickedButtonNext();
            } else {
                // The user's pause stands: Hold and Next must still see it.
                r->m_bUpdateHeld = 1;
                showPausedButtons();
            }
            return;
        }
        giveUpRetries(message, messageType, param0, param1);
        m_nUnzipRetry = 0;
        return;
    }
    if (module == MODULE_COPY || module == MODULE_DOWNLOAD) {
        message->setParam(param0, 0);
        message->setParam(param1, 1);
        m_nDownRetry = 0;
        m_nUnzipRetry = 0;
    }
    if (messageType != kNoMessage) {
        message->setMessageType(messageType, this);
        r->pushViewPage(VIEW_STATE_MESSAGE, TRUE);
    }
}

// The automatic retries are used up: the failed items start again from
// nothing, and the user decides on the message.
void CDlgCarUpdate::giveUpRetries(CDlgPageMessage* message, int type, const CString& param0, const CString& param1) {
    m_bAutoRetry = FALSE;
    KillTimer(UPDATE_TIMER_PROGRESS);
    if (CMainFrame* f = frame()) f->stopManagers();
    InfFileUpdateList::getInstance().forEach(discardFailedDownloads);
    message->setParam(param0, 0);
    message->setParam(param1, 1);
    message->setMessageType(type, this);
    if (CDlgRoot* r = root()) r->pushViewPage(VIEW_STATE_MESSAGE, TRUE);
}

// ---- connection re-check

void CDlgCarUpdate::startNetworkCheck() {
    clearLooks(m_btnHold);
    m_btnHold.setEnable(FALSE);
    m_btnHold.EnableWindow(FALSE);
    m_btnHold.Invalidate(FALSE);
    stopNetworkCheck();
    KillTimer(UPDATE_TIMER_PROGRESS);
    if (CDlgRoot* r = root()) r->m_bUpdateHeld = 0;
    if (CMainFrame* f = frame()) f->stopManagers();
    m_bNetworkCheckStop = false;
    CWinThread* thread = AfxBeginThread(NetworkCheckThread, this, THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED);
    if (!thread) {
        LOG_WRITE(L"CDlgCarUpdate::startNetworkCheck: thread not started [ErrorCode:%d]",
                  static_cast<int>(GetLastError()));
        return;
    }
    DuplicateHandle(GetCurrentProcess(), thread->m_hThread, GetCurrentProcess(), &m_hNetworkCheckThread, 0, FALSE,
                    DUPLICATE_SAME_ACCESS);
    m_pNetworkCheckThread = thread;
    SetThreadName(thread, "NetworkCheckThread");
    thread->ResumeThread();
}

void CDlgCarUpdate::stopNetworkCheck() {
    m_bNetworkCheckStop = true;
    m_pNetworkCheckThread = nullptr;
    if (!m_hNetworkCheckThread) return;
    // The thread only probes: it ends within one probe. Its outcome, posted
    // meanwhile, is dropped by the stop flag.
    while (WaitForSingleObject(m_hNetworkCheckThread, 0) == WAIT_TIMEOUT) waitPumpingMessages(20);
    CloseHandle(m_hNetworkCheckThread);
    m_hNetworkCheckThread = nullptr;
}

// The thread asks for the connection and posts what it found; the page
// walks the items and resumes on its own thread.
UINT CDlgCarUpdate::NetworkCheckThread(LPVOID param) {
    auto* page = static_cast<CDlgCarUpdate*>(param);
    const HWND window = page->GetSafeHwnd();
    CMainFrame* f = page->frame();
    if (!f || !f->GetSafeHwnd()) return 0;
    bool found = false;
    for (int attempt = 0; attempt < kNetworkAttempts && !found && !page->m_bNetworkCheckStop; ++attempt) {
        // The frame's own thread already sees the connection again.
        if (f->m_bNetworkConnected) {
            found = true;
            break;
        }
        internet_worker probe;
        found = probe.internet_connected_state_check();
        if (!found) DeleteUrlCacheEntryW(kProbePage);
    }
    if (page->m_bNetworkCheckStop) return 0;
    ::PostMessageW(window, UM_UPDATE_NETWORK_CHECKED, found ? 1 : 0, 0);
    return 1;
}

LRESULT CDlgCarUpdate::OnNetworkChecked(WPARAM found, LPARAM) {
    if (m_bNetworkCheckStop) return 0;
    m_pNetworkCheckThread = nullptr;
    if (m_hNetworkCheckThread) {
        WaitForSingleObject(m_hNetworkCheckThread, INFINITE);
        CloseHandle(m_hNetworkCheckThread);
        m_hNetworkCheckThread = nullptr;
    }
    CDlgRoot* r = root();
    CMainFrame* f = frame();
    if (!r || !f) return 0;
    if (found) {
        InfFileUpdateList::getInstance().forEach(resetFailedItems);
        waitPumpingMessages(1000);
        if (m_bNetworkCheckStop || r->m_bUpdateHeld) return 0;
        OnBnClickedButtonNext();
        m_bAutoRetry = TRUE;
        DeleteUrlCacheEntryW(kProbePage);
        return 0;
    }
    f->stopManagers();
    CString text;
    text.Format(L"[E:%d,T:%s,PS:3,ED:1000]", STAT_STAGE_NETWORK, stamp().GetString());
    record(text);
    CDlgPageMessage* message = r->getMessagePage(kNoMessage);
    if (!message) {
        r->m_bUpdateHeld = 1;
        showPausedButtons();
        return 0;
    }
    message->setMessageType(SERVER_ERROR_NETWORK_FAIL, this);
    r->pushViewPage(VIEW_STATE_MESSAGE, TRUE);
    return 0;
}

// ---- drive events

LRESULT CDlgCarUpdate::OnRegisteredMessage_USBDetectorMsg(WPARAM letter, LPARAM arrived) {
    LOG_WRITE(L"[Drive:%c-%d]", static_cast<wchar_t>(letter), static_cast<int>(arrived));
    CMainFrame* f = frame();
    CDlgRoot* r = root();
    if (!f || !f->m_pUSBDetector || !r) return 0;
    if (r->m_eBaseViewStatus != VIEW_STATE_CAR_UPDATE) return 0;
    if (download_manager::getInstance()->m_bActive || copy_manager::getInstance()->m_bActive ||
        unzip_manager::getInstance()->m_bEnabled) {
        return 0;
    }
    if (!f->m_strSelectedDrive.IsEmpty()) {
        DriveInfo drive;
        if (CUSBDetector::getDriveInfo(f->m_strSelectedDrive[0], &drive) &&
            m_nMsgType != UPDATE_PROGRESS_STATE_FORMAT) {
            LOG_WRITE(L"Removable Drive is not disconnect");
            return 0;
        }
    }
    f->m_pUSBDetector->updateAllDriveInfo();
    if (!f->m_pUSBDetector->getAllDriveInfoList()) {
        LOG_WRITE(L"CUSBDetector::getAllDriveInfoList() == NULL!");
        return 0;
    }
    LOG_WRITE(L"m_nMsgType == %s", msgTypeName(m_nMsgType).GetString());
    if (m_nMsgType == UPDATE_PROGRESS_STATE_DOWNLOAD) f->stopManagers();
    if (arrived != 0 || f->m_strSelectedDrive.IsEmpty() || !m_bFormatted || r->m_bUpdateHeld) return 0;
    const CString removed(static_cast<wchar_t>(letter));
    const CString selected = f->m_strSelectedDrive.Left(1);
    if (removed.CompareNoCase(selected) != 0) return 0;
    LOG_WRITE(L"Removed drive letter = '%s', Selected drive letter = '%s'", removed.GetString(), selected.GetString());
    if (r->isConfigPageCurrent() || r->findMessagePage(SERVER_ERROR_ETC_PROGRAM_EXIT) ||
        r->findMessagePage(SERVER_ERROR_ETC_PROGRAM_EXIT_UPDATE)) {
        return 0;
    }
    CDlgPageMessage* message = r->getMessagePage(kNoMessage);
    if (!message) return 0;
    if (m_nMsgType != UPDATE_PROGRESS_STATE_FORMAT) message->setParam(L"ERR_REMOVED_FLASHDRIVE", 0);
    LOG_WRITE(L"Removed drive letter = '%s', Selected drive letter = '%s'", removed.GetString(), selected.GetString());
    CString text;
    text.Format(L"[E:%d,T:%s,PS:3,ED:REMOVE_USB,VN:%s]", STAT_STAGE_CANCEL, stamp().GetString(), removed.GetString());
    record(text);
    LOG_WRITE(L"[ERR_11_USB_REMOVE][Drive : %s]", removed.GetString());
    message->setMessageType(SERVER_ERROR_COPY_FAIL, this);
    r->pushViewPage(VIEW_STATE_MESSAGE, TRUE);
    m_nMsgType = UPDATE_PROGRESS_STATE_FORMAT;
    return 0;
}
