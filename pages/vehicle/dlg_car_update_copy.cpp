// The update page's medium step and the end of a run: StartCarCopy on the
// engine's format thread, the progress and completion notices, the check of
// the copied files on the medium and the package-folder step.
#include "pages/vehicle/dlg_car_update.h"

#include "afx/file.h"
#include "descriptors/inf_file_update.h"
#include "descriptors/inf_info.h"
#include "descriptors/ver_file.h"
#include "engine/copy_manager.h"
#include "engine/format_drive.h"
#include "engine/function_manager.h"
#include "engine/transfer_rules.h"
#include "engine/vercheck_manager.h"
#include "foundation/common_util.h"
#include "foundation/globalfunc.h"
#include "foundation/logmanager.h"
#include "foundation/message_pump.h"
#include "foundation/private_messages.h"
#include "foundation/utilmanager.h"
#include "shell/dlg_root.h"
#include "shell/frame_rules.h"
#include "shell/main_frame.h"

namespace {

constexpr int kFormatAttempts = 5;

long long nowSeconds() { return static_cast<long long>(time(nullptr)); }

// Packages the engine unpacks into folders on the medium: no file of that
// name lands there.
bool isHeadUnitProgram(const CString& name) {
    for (const wchar_t* program : {L"MAP.exe", L"vnt.exe", L"HTML.exe", L"SPOT.exe", L"IMAGE.exe"}) {
        if (name.CompareNoCase(program) == 0) return true;
    }
    return false;
}

bool isDirectory(const CString& path) {
    WIN32_FIND_DATAW data{};
    HANDLE find = FindFirstFileW(path.GetString(), &data);
    if (find == INVALID_HANDLE_VALUE) return false;
    FindClose(find);
    return (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

}  // namespace

void CDlgCarUpdate::StartCarCopy() {
    CMainFrame* f = frame();
    if (!f) return;
    function_manager* fm = function_manager::getInstance();
    if (m_chDrive != 0) {
        CString root;
        root.Format(L"%c:\\", m_chDrive);
        if (!m_bFormatted) {
            const int platform = m_pTargetInfo ? m_pTargetInfo->getDeviceType() : 0;
            if (platform == 9 || platform == 11 || platform == 12) {
                fm->m_nPlatformFolder = isDirectory(root + L"/QORVEL7") ? 1 : 0;
            }
            fm->m_nFormatting = 1;
            CString type;
            type.Format(L"%d", platform);
            for (int attempt = 0; attempt < kFormatAttempts; ++attempt) {
                if (formatDrive(root, type, m_strVolumeName)) {
                    m_bFormatted = TRUE;
                    break;
                }
                if (attempt + 1 < kFormatAttempts) waitPumpingMessages(1000);
            }
            fm->m_nFormatting = 0;
            if (!m_bFormatted) {
                vercheck_manager::getInstance().m_observers.send_message_all(UM_MODULE_ERROR, MODULE_FORMAT, 0);
                return;
            }
        }
        m_bCopyRateReset = true;
        if (f->m_bDealerLogin && f->m_pInfInfoList) CMainFrame::writeDealerFile(root, f->m_pInfInfoList->getDealerCode());
    }
    if (m_tCopyStart == 0) {
        m_tCopyStart = nowSeconds();
        requestCopyRestart();
    }
    copy_manager* copy = copy_manager::getInstance();
    const CString base = copy->getBasePath();
    if (!base.IsEmpty()) ver_file_list::getInstance().write(base, 3);
    copy->m_bActive = true;
    vercheck_manager::getInstance().m_observers.post_message_all(UM_TRANSFER_PHASE, TRANSFER_PHASE_COPY, 0);
    if (base.IsEmpty()) copy->m_bActive = false;
}

// The report of a finished update and its records; the page ends either way.
void CDlgCarUpdate::reportCompletion() {
    CMainFrame* f = frame();
    const BOOL accepted = sendDownCheck();
    LOG_WRITE(L"[DEBUG_%d_UPDATE_COMPLETE][Update Complete.]", 13);
    CString text;
    text.Format(L"[D:%d,T:%s,NAME:%s][COMPLETE]", STAT_STAGE_COMPLETE, CGlobalFunc::getTimeStamp().GetString(),
                f && f->Cur_inf ? f->Cur_inf->getDeviceName().GetString() : L"");
    record(text);
    if (accepted) {
        text.Format(L"[E:%d,T:%s]", STAT_STAGE_NONE, CGlobalFunc::getTimeStamp().GetString());
        record(text);
    }
}

LRESULT CDlgCarUpdate::OnDownloadProgress(WPARAM wParam, LPARAM lParam) {
    if (wParam == 0 && lParam == -1) {
        m_nDownRetry = 0;
        if (CMainFrame* f = frame()) ++f->m_nDownloadedFiles;
    }
    return 0;
}

LRESULT CDlgCarUpdate::OnUnzipProgress(WPARAM, LPARAM lParam) {
    if (lParam == 1) m_nUnzipRetry = 0;
    return 0;
}

LRESULT CDlgCarUpdate::OnDownloadComplete(WPARAM, LPARAM lParam) {
    LOG_WRITE(L"[Download Complete]");
    CMainFrame* f = frame();
    if (lParam != 1 || !f) return 0;
    const int reported = f->m_bDownloadReported.exchange(1);
    m_bDownloadPhase = FALSE;
    m_tDownloadEnd = nowSeconds();
    if (m_chDrive != 0 || reported || f->m_nDownloadedFiles <= 0) return 0;
    reportCompletion();
    return 0;
}

LRESULT CDlgCarUpdate::OnUnzipComplete(WPARAM, LPARAM lParam) {
    m_bUnzipPhase = FALSE;
    function_manager* fm = function_manager::getInstance();
    if (!fm->m_nPaused && fm->m_nState != FM_STATE_FINISHED && lParam == 1 && m_chDrive == 0) endPage();
    return 0;
}

LRESULT CDlgCarUpdate::OnCopyComplete(WPARAM, LPARAM lParam) {
    LOG_WRITE(L"[Copy Complete]");
    m_tCopyEnd = nowSeconds();
    CMainFrame* f = frame();
    if (lParam != 1 || !f) return 0;
    m_bCopyPhase = FALSE;
    CDlgRoot* r = root();
    if (m_chDrive == 0) {
        if (r) r->m_bTransferIdle = 1;
        f->m_bCopyReported = 1;
        endPage();
        return 0;
    }
    CString rootPath;
    rootPath.Format(L"%c:\\", m_chDrive);
    BOOL allGood = TRUE;
    InfFileUpdateList::getInstance().forEach(
        [&](int, InfFileUpdate* item) { return verifyCopiedFiles(allGood, rootPath, item); });
    if (!allGood) {
        SendMessage(UM_MODULE_ERROR, MODULE_COPY, MODULE_ERROR_COPY_WRITE);
        return 0;
    }
    // Only a copy that passed the check counts as reported, so a good retry
    // after a failed check still reports.
    if (r) r->m_bTransferIdle = 1;
    const int reported = f->m_bCopyReported.exchange(1);
    if (!reported) reportCompletion();
    m_tDownloadStart = 0;
    m_tCopyStart = 0;
    m_tDownloadEnd = 0;
    m_tCopyEnd = 0;
    endPage();
    return 0;
}

bool CDlgCarUpdate::verifyCopiedFiles(BOOL& allGood, const CString& root, InfFileUpdate* item) {
    // Items the run never takes are not expected on the medium.
    if (!isTransferItem(item)) return true;
    if (item->m_nState < ITEM_STATE_COPIED) allGood = FALSE;
    if (function_manager::getInstance()->isSkipCopy(item)) return true;
    if (isHeadUnitProgram(item->getFileName())) return true;
    CString path = item->getFilePath(root);
    common_util::normalize_path(path, root);
    const ULONGLONG size = CUtilManager::getFileSize(path);
    if (size == kUnreadableSize || static_cast<LONGLONG>(size) != item->getFileSize()) {
        allGood = FALSE;
        item->m_nState = ITEM_STATE_UNZIPPED;
    }
    return true;
}

LRESULT CDlgCarUpdate::OnCopyStepDone(WPARAM, LPARAM lParam) {
    m_bCopyStepPhase = FALSE;
    if (lParam == 1) m_progress.setPos(100);
    return 0;
}

LRESULT CDlgCarUpdate::OnIgnoredNotice(WPARAM, LPARAM) { return 0; }
