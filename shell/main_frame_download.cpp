// Update runs through the frame: preparation, stop, start, the download
// folder handed to the managers, the last-used vehicle, and the removal of
// downloaded descriptor folders.
#include "shell/main_frame.h"

#include "afx/file.h"
#include "descriptors/update_list_builder.h"
#include "engine/close_own_handles.h"
#include "engine/engine_control.h"
#include "foundation/code_tables.h"
#include "foundation/common_util.h"
#include "foundation/globalfunc.h"
#include "foundation/lastmodeinfo.h"
#include "foundation/logmanager.h"
#include "foundation/regsetting.h"
#include "shell/dlg_page_message.h"
#include "shell/dlg_root.h"
#include "ui/view_state.h"
#include "webclient/connectivity.h"
#include "webclient/response_parser_login.h"

namespace {

CString normalisedDataPath() {
    CString path = CRegSetting::getDataPath();
    path.Replace(L"/", L"\\");
    while (path.Find(L"\\\\", 1) >= 0) path.Replace(L"\\\\", L"\\");
    return path;
}

class WaitCursor {
public:
    WaitCursor() : m_old(SetCursor(LoadCursorW(nullptr, IDC_WAIT))) {}
    ~WaitCursor() { SetCursor(m_old); }

private:
    HCURSOR m_old;
};

}  // namespace

void CMainFrame::InitDownload(InfInfo* target, std::list<InfInfo*> descriptors) {
    engine_control::InitDownload(descriptors);
    if (!target || target->getInfFileName().IsEmpty()) return;
    // The readers drop such entries; one made elsewhere must not reach a path either.
    if (!ResponseParserLogin::isUsableDescriptorName(target->getInfFileName())) {
        LOG_WRITE(L"CMainFrame::InitDownload: descriptor name refused: '%s'", target->getInfFileName().GetString());
        return;
    }

    CString folder = CRegSetting::getDataPath();
    folder.TrimRight(L"\\/");
    // The engine's own rule for the folder, so the dealer file lies beside
    // the downloads.
    folder += L"\\" + update_list_builder::folderOf(target) + L"\\";
    if (GetFileAttributesW(folder.GetString()) == INVALID_FILE_ATTRIBUTES) common_util::ensure_directory(folder);
    if (!m_bDealerLogin) return;
    writeDealerFile(folder, m_pInfInfoList ? m_pInfInfoList->getDealerCode() : CString());
}

void CMainFrame::writeDealerFile(const CString& folder, const CString& code) {
    if (!frame_rules::isSafeDealerCode(code)) {
        LOG_WRITE(L"Dealer code refused for a file name: '%s'", code.GetString());
        return;
    }
    CString path = folder + frame_rules::dealerFileName(code);
    if (path.GetLength() > MAX_PATH) return;
    SetFileAttributesW(path.GetString(), FILE_ATTRIBUTE_NORMAL);
    common_util::ensure_directory(path);
    CFile file;
    CFileException error;
    if (!file.Open(path, CFile::modeCreate | CFile::modeWrite | CFile::shareDenyWrite, &error)) {
        LOG_WRITE(L"File Open Failed.[file:%s] (error code : %d)\n", path.GetString(), static_cast<int>(error.m_cause));
        return;
    }
    std::string bytes = frame_rules::dealerFileBytes(code);
    try {
        file.Write(bytes.data(), static_cast<UINT>(bytes.size()));
        file.Flush();
    } catch (CFileException* e) {
        LOG_WRITE(L"[FileOperationError][File:%s][ErrorCode:%d]", path.GetString(), static_cast<int>(GetLastError()));
        e->Delete();
    }
    file.Close();
}

void CMainFrame::setManagerPaths() { engine_control::setManagerPaths(); }

void CMainFrame::stopManagers() { engine_control::stopManagers(); }

BOOL CMainFrame::Stop() {
    LOG_WRITE(L"[ERR_INFO_600]");
    LOG_WRITE(L"[Pause=>s]");
    if (m_bTransferRunning.exchange(0) == 0) {
        LOG_WRITE(L"[Pause=>e]");
        return FALSE;
    }
    m_bStopped = 1;
    WaitCursor cursor;
    stopManagers();
    LOG_WRITE(L"[Pause=>e]");
    return TRUE;
}

BOOL CMainFrame::Start(BOOL resume) {
    if (resume) {
        CString detail;
        detail.Format(L"D:%d", 8);
        LOG_WRITE(L"[ERR_INFO_601][%s]", detail.GetString());
    }
    LOG_WRITE(L"[=>s]");
    if (!resume) {
        m_bDownloadReported = 0;
        m_bResumed = 0;
    }
    m_bCopyReported = 0;
    if (!m_pSelectedDriveInfo) {
        m_bTransferRunning = 0;
        return FALSE;
    }
    WaitCursor cursor;
    DWORD flags = 0;
    if (!isInternetConnected(flags) && !m_bDownloadReported) {
        LOG_WRITE(L"[ERR_PRE_2040][InternetGetConnectedStateEx Faild : %#010x]", flags);
        if (CDlgRoot* root = m_pDlgRoot.load()) {
            if (CDlgPageMessage* page = root->getMessagePage(999)) {
                page->setMessageType(20, root->m_pCurPage);
                root->pushViewPage(VIEW_STATE_MESSAGE, TRUE);
            }
        }
        return FALSE;
    }
    m_bNetworkConnected = 1;
    m_bStopped = 0;
    // No inventory object exists in this program, so a transfer is never
    // started through the frame.
    m_bTransferRunning = 0;
    return FALSE;
}

void CMainFrame::setDownloadPaths() {
    // Only the inventory would read the folders; without one the normalised
    // path has no taker.
    (void)normalisedDataPath();
}

InfInfo* CMainFrame::findLastModeVehicle() {
    LastModeInfo info(CRegSetting::getLastUserCorp(), CRegSetting::getLastUserType());
    BOOL found = CRegSetting::getLastMode(info);
    if (!found || info.strFirst.IsEmpty() || info.strSecond.IsEmpty() || info.nCorp == CORP_NONE || !m_pInfInfoList ||
        m_pInfInfoList->empty()) {
        return nullptr;
    }
    for (InfInfo* entry : m_pInfInfoList->m_list) {
        if (entry && entry->getInfFileName().CompareNoCase(info.strFirst) == 0 &&
            entry->getModelCode().CompareNoCase(info.strSecond) == 0) {
            return entry;
        }
    }
    return nullptr;
}

BOOL CMainFrame::hasOwnVerFile(const CString& folder) { return folderHasOwnVerFile(folder); }

BOOL CMainFrame::folderHasOwnVerFile(const CString& folder) {
    CString name = frame_rules::ownName(folder);
    CString pattern = folder;
    pattern.TrimRight(L"\\/");
    pattern += L"\\*.ver";
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW(pattern.GetString(), &data);
    if (find == INVALID_HANDLE_VALUE) return FALSE;
    FindClose(find);
    CString file(data.cFileName);
    int dot = file.ReverseFind(L'.');
    if (dot >= 0) file = file.Left(dot);
    return file.CompareNoCase(name) == 0;
}

BOOL CMainFrame::deleteDownloadFiles() {
    CString chosen = m_strDownloadFolder.IsEmpty() ? CRegSetting::getDataPath() : m_strDownloadFolder;
    // No download folder, or one that is gone: nothing downloaded is left.
    if (chosen.IsEmpty()) return TRUE;
    CString folder;
    // Only a real download folder is walked: never a drive root, a relative
    // path (the current folder) or a folder that is not there.
    if (!frame_rules::isCleanableFolder(chosen, folder)) {
        LOG_WRITE(L"Download folder not removable: '%s'", chosen.GetString());
        return GetFileAttributesW(chosen.GetString()) == INVALID_FILE_ATTRIBUTES ? TRUE : FALSE;
    }
    if (CDlgRoot* root = m_pDlgRoot.load()) root->closeExplorerWindows(folder);
    closeOwnHandles(folder);
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW((folder + L"*.*").GetString(), &data);
    if (find == INVALID_HANDLE_VALUE) return TRUE;
    std::list<CString> doomed;
    do {
        if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) continue;
        if (wcscmp(data.cFileName, L".") == 0 || wcscmp(data.cFileName, L"..") == 0) continue;
        // A link leads elsewhere: it is not one of our download folders.
        if (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) continue;
        CString sub = folder + data.cFileName;
        // Only a folder the engine made: a user's folder that holds a copy
        // of one of our version files is not a download.
        if (folderHasOwnVerFile(sub) && frame_rules::carriesOwnFolderMark(sub)) doomed.push_back(sub);
    } while (FindNextFileW(find, &data));
    FindClose(find);
    BOOL removed = TRUE;
    for (const CString& sub : doomed) {
        CGlobalFunc::deleteDirectory(sub);
        RemoveDirectoryW(sub.GetString());
        // A file another program holds open keeps its folder.
        if (GetFileAttributesW(sub.GetString()) != INVALID_FILE_ATTRIBUTES) {
            LOG_WRITE(L"[ERR] CMainFrame::deleteDownloadFiles: '%s' stays", sub.GetString());
            removed = FALSE;
        }
    }
    return removed;
}

void CMainFrame::setVehicleList(InfInfoList* list) {
    std::lock_guard<std::mutex> lock(m_listMutex);
    if (m_pInfInfoList && m_pInfInfoList != list) m_lstRetiredInfInfoList.push_back(m_pInfInfoList);
    m_pInfInfoList = list;
}
