// Self-update: fetching the files, putting them in place, the whole run.
#include "afx/filefind.h"
#include "engine/update_manager.h"
#include "foundation/globalfunc.h"
#include "foundation/logmanager.h"
#include "foundation/private_messages.h"
#include "foundation/utilmanager.h"

namespace {

CString versionText(LONGLONG version) {
    CString text;
    text.Format(L"%05d", static_cast<int>(version));
    return text;
}

bool exists(const CString& path) {
    return GetFileAttributesW(path.GetString()) != INVALID_FILE_ATTRIBUTES;
}

// folder\prefix + name for a file at folder\name.
CString besides(const CString& place, const wchar_t* prefix) {
    const int slash = place.ReverseFind(L'\\');
    return place.Left(slash + 1) + prefix + place.Mid(slash + 1);
}

}  // namespace

BOOL CUpdateManager::DownloadUpdateFile() {
    if (!hasUsableInstallPath() || !isSecure()) return FALSE;
    CGlobalFunc::createDirectory(normalizeUpdatePath(installPath + L"\\tmp\\"));
    webPost.m_hOwner = m_hOwner;
    ULONGLONG total = 0;
    ULONGLONG fetched = 0;
    const CString firstLocal = localList.empty() ? CString(L"00000") : versionText(localList.front().version);

    for (UpdateInfo& s : serverList) {
        if (!s.updateNeeded) continue;
        const CString url = serverUrlOf(s);
        ULONGLONG size = 0;
        int code = CWebPOST::GetDownloadFileSize(url, downloadTargetOf(s), FALSE, size);
        if (code == 1 && size > 0) {
            total += size;
            s.downloadReady = 1;
            s.serverSize = static_cast<LONGLONG>(size);
            continue;
        }
        // A listed file whose probe gave no size was not answered (a reply
        // cut or dropped): skipping it would report an update that left the
        // old file in place.
        if (code == 1 && s.listedSize <= 0) continue;
        if (code == 1) code = 0;
        LOG_WRITE(L"[ERR_3_LIVEUPDATE][LOV:%I64d,LNV:%I64d]", s.localVersion, s.version);
        CString detail;
        detail.Format(L"LOV:%s,LNV:%s,ED:%d,FP:%s", firstLocal.GetString(), versionText(s.version).GetString(), code,
                      url.GetString());
        addErrorRecord(STAT_STAGE_LOGIN_RESULT, detail);
        LOG_WRITE(L"[ERR_3_LIVE_UPDATE][Server File Not Found]");
        if (m_hOwner) PostMessageW(m_hOwner, UM_LIVEUPDATE_ERROR, 0, static_cast<LPARAM>(code));
        status = code;
        return FALSE;
    }

    int toFetch = 0;
    for (const UpdateInfo& s : serverList) {
        if (s.updateNeeded && s.downloadReady) ++toFetch;
    }
    int done = 0;
    auto fail = [&](WPARAM error, int stage, const wchar_t* logText) {
        if (m_hOwner) PostMessageW(m_hOwner, UM_LIVEUPDATE_ERROR, error, 0);
        status = 0;
        CString detail;
        detail.Format(L"PS:%d,ED:%s", 99, L"1000");
        addErrorRecord(stage, detail);
        LOG_WRITE(L"%s", logText);
        return FALSE;
    };
    for (UpdateInfo& s : serverList) {
        if (!s.updateNeeded || !s.downloadReady) continue;
        if (cancelFlag) return FALSE;
        const CString url = serverUrlOf(s);
        const CString target = downloadTargetOf(s);
        LOG_WRITE(L"Download-Server Path = '%s'", url.GetString());
        LOG_WRITE(L"Download-Local Path = '%s'", target.GetString());
        webPost.m_ullJobTotal = total;
        ULONGLONG fileCount = 0;
        const BOOL ok = webPost.HttpDownload_(url, target, fetched, fileCount, TRUE, nullptr, internetHandle,
                                              requestHandle);
        // A run the popup stopped ends without a message of its own.
        if (cancelFlag) return FALSE;
        if (!ok) return fail(2, STAT_STAGE_LOGIN, L"[ERR_2_LIVE_UPDATE][Network Disconnect]");
        if (s.listedSize != s.serverSize) return fail(0x5B, 91, L"[ERR_2_LIVE_UPDATE][Download File Size Error]");
        if (!CUtilManager::CheckCRC(target, static_cast<UINT32>(s.crc))) {
            return fail(0x5C, 92, L"[ERR_2_LIVE_UPDATE][Download CRC Size Error]");
        }
        ++done;
        // Counts of files: the popup's bar is lParam * 100 / wParam.
        if (m_hOwner) SendMessageW(m_hOwner, UM_LIVEUPDATE_PROGRESS, static_cast<WPARAM>(toFetch), static_cast<LPARAM>(done));
    }
    return TRUE;
}

BOOL CUpdateManager::CopyUpdateFile() {
    BOOL allPlaced = TRUE;
    for (UpdateInfo& s : serverList) {
        if (!s.updateNeeded || !s.downloadReady) continue;
        const CString place = placeOf(s);
        const CString copy = besides(place, L"__");
        const CString aside = besides(place, L"_");
        const CString download = downloadTargetOf(s);
        // A folder would step aside whole and be replaced by the file.
        const DWORD attributes = GetFileAttributesW(place.GetString());
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
            LOG_WRITE(L"[LiveUpdate refused][The place is a folder][%s]", place.GetString());
            s.downloadReady = 0;
            allPlaced = FALSE;
            continue;
        }
        CGlobalFunc::createDirectory(place.Left(place.ReverseFind(L'\\') + 1));
        // A file moved aside by an earlier run and no longer running.
        if (exists(aside)) CGlobalFunc::deleteFile(aside);

        if (!CopyFileW(download.GetString(), copy.GetString(), FALSE)) {
            s.downloadReady = 0;
            LOG_WRITE(L"CopyFile fail!! strDownloadPath : %s", download.GetString());
            LOG_WRITE(L"CopyFile fail!! strCopyTempPath : %s", copy.GetString());
            allPlaced = FALSE;
            continue;
        }
        // A running program file can be moved to another name but not
        // deleted, so the old file steps aside before the copy takes its
        // place. Whatever fails, the file is never left missing.
        bool movedAside = false;
        if (exists(place)) {
            LOG_WRITE(L"Rename ==== strOriginalPath : %s :::::: strOriginalRenamePath : %s", place.GetString(),
                      aside.GetString());
            if (!MoveFileW(place.GetString(), aside.GetString())) {
                LOG_WRITE(L"[Rename fail][%s][ErrCode:%d]", place.GetString(), static_cast<int>(GetLastError()));
                CGlobalFunc::deleteFile(copy);
                s.downloadReady = 0;
                allPlaced = FALSE;
                continue;
            }
            movedAside = true;
        }
        LOG_WRITE(L"Rename ==== strCopyTempPath : %s :::::: newFileName : %s", copy.GetString(), place.GetString());
        if (!MoveFileW(copy.GetString(), place.GetString())) {
            LOG_WRITE(L"[Rename fail][%s][ErrCode:%d]", copy.GetString(), static_cast<int>(GetLastError()));
            if (movedAside && !MoveFileW(aside.GetString(), place.GetString())) {
                LOG_WRITE(L"[Rename back fail][%s][ErrCode:%d]", aside.GetString(), static_cast<int>(GetLastError()));
            }
            CGlobalFunc::deleteFile(copy);
            s.downloadReady = 0;
            allPlaced = FALSE;
            continue;
        }
        // Fails quietly while the old file still runs; the next check
        // removes it.
        if (movedAside) CGlobalFunc::deleteFile(aside);
    }
    return allPlaced;
}

int CUpdateManager::doLiveUpdate() {
    cancelFlag = 0;
    webPost.m_bCancel = false;
    if (!hasUsableInstallPath()) {
        LOG_WRITE(L"[LiveUpdate skipped][Install path not usable:'%s']", installPath.GetString());
        return 0;
    }
    if (!isSecure()) {
        LOG_WRITE(L"[LiveUpdate skipped][Not over HTTPS:'%s']", serverUrl.GetString());
        return 0;
    }
    if (!DownloadUpdateFile() || status != 1 || cancelFlag) return 0;
    const BOOL placed = CopyUpdateFile();
    // The files that did take their places are listed with their new
    // versions either way, the others keep their old ones.
    SaveInfoFile();
    deleteTempFolderFiles();
    if (!placed) {
        // Restarting would find the same old file and try again at every
        // start for as long as the cause lasts.
        LOG_WRITE(L"[ERR_LIVE_UPDATE][A file stayed old]");
        CString detail;
        detail.Format(L"PS:%d,ED:%s", 99, L"1001");
        addErrorRecord(93, detail);
        if (m_hOwner) PostMessageW(m_hOwner, UM_LIVEUPDATE_ERROR, kLiveUpdateNotReplaced, 0);
        return 0;
    }
    CString record;
    record.Format(L"[D:%d,T:%s,LOV:%s,LNV:%s][LU-SUCCESS]", STAT_STAGE_NETWORK, CGlobalFunc::getTimeStamp().GetString(),
                  (localList.empty() ? CString(L"00000") : versionText(localList.front().version)).GetString(),
                  (serverList.empty() ? CString(L"00000") : versionText(serverList.front().version)).GetString());
    g_logManager.AddStatistics(record);
    if (m_hOwner) PostMessageW(m_hOwner, UM_LIVEUPDATE_COMPLETE, 0, 0);
    return 1;
}
