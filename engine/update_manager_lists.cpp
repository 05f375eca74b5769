// Self-update: the two update lists and the decision what to fetch.
#include "afx/file.h"
#include "descriptors/inf_file_update.h"
#include "engine/update_manager.h"
#include "foundation/globalfunc.h"
#include "foundation/logmanager.h"
#include "foundation/private_messages.h"
#include "foundation/utilmanager.h"

#include <functional>

namespace {

const wchar_t kListName[] = L"UpdateInfo.txt";

std::vector<CString> splitSkippingEmpty(const CString& text, wchar_t separator) {
    std::vector<CString> parts;
    int start = 0;
    for (int i = 0; i <= text.GetLength(); ++i) {
        if (i < text.GetLength() && text[i] != separator) continue;
        if (i > start) parts.push_back(text.Mid(start, i - start));
        start = i + 1;
    }
    return parts;
}

// version|path[|size|crc] into an entry; false for a line that names no file.
bool parseEntry(const std::vector<CString>& fields, UpdateInfo& entry) {
    const std::vector<CString> parts = splitSkippingEmpty(fields[1], L'/');
    if (parts.empty()) return false;
    entry.version = _wtoi(fields[0].GetString());
    for (size_t i = 0; i + 1 < parts.size(); ++i) entry.folder += L"/" + parts[i];
    entry.fileName = parts.back();
    return true;
}

CString versionText(LONGLONG version) {
    CString text;
    text.Format(L"%05d", static_cast<int>(version));
    return text;
}

bool fileExists(const CString& path) {
    return GetFileAttributesW(path.GetString()) != INVALID_FILE_ATTRIBUTES;
}

}  // namespace

void CUpdateManager::loadLocalInfoFile() {
    localList.clear();
    CString path;
    path.Format(L"%s/Info/%s", installPath.GetString(), kListName);
    path = normalizeUpdatePath(path);
    if (!fileExists(path)) {
        LOG_WRITE(L"Live Update info file is not exist! : %s", path.GetString());
        return;
    }
    CFile file;
    if (!file.Open(path.GetString(), CFile::modeRead | CFile::shareDenyWrite)) {
        LOG_WRITE(L"Live Update info file open fail! : %s", path.GetString());
        return;
    }
    CStringA bytes;
    try {
        const ULONGLONG length = file.GetLength();
        if (length > 16 * 1024 * 1024) {
            LOG_WRITE(L"Live Update info file open fail! : %s", path.GetString());
            return;
        }
        const UINT size = static_cast<UINT>(length);
        const UINT got = file.Read(bytes.GetBufferSetLength(static_cast<int>(size)), size);
        bytes.ReleaseBuffer(static_cast<int>(got));
    } catch (CException* e) {
        e->Delete();
        LOG_WRITE(L"Live Update info file open fail! : %s", path.GetString());
        return;
    }
    const CString text(bytes);
    for (CString line : splitSkippingEmpty(text, L'\n')) {
        line.Trim();
        const std::vector<CString> fields = splitSkippingEmpty(line, L'|');
        UpdateInfo entry;
        if (fields.size() == 2 && parseEntry(fields, entry)) localList.push_back(entry);
    }
}

void CUpdateManager::addErrorRecord(int stage, const CString& detail) const {
    CString record;
    record.Format(L"[E:%d,T:%s,%s]", stage, CGlobalFunc::getTimeStamp().GetString(), detail.GetString());
    g_logManager.AddStatistics(record);
}

int CUpdateManager::loadServerInfoFile() {
    serverList.clear();
    const CString host = serverHost();
    const CString object = serverFolder + kListName;
    const int port = serverPort();
    CWebPOST check;
    const int code = check.HttpCheckStatus(host, object, port, L"GET", isSecure());
    if (code < 0) {
        LOG_WRITE(L"[ERR_LIVE_UPDATE][URL:%s][HTTP CheckCode:%d]", (host + object).GetString(), code);
        CString detail;
        if (code == -8) {
            detail.Format(L"LOV:%s,LNV:%s,ED:%d,FP:%s",
                          (localList.empty() ? CString(L"00000") : versionText(localList.front().version)).GetString(),
                          L"0", 404, (host + object).GetString());
            addErrorRecord(STAT_STAGE_LOGIN_RESULT, detail);
            LOG_WRITE(L"[ERR_3_LIVE_UPDATE][Server File Not Found]");
        } else if (code == -6 || code == -1) {
            detail.Format(L"PS:%d,ED:1000", 99);
            addErrorRecord(STAT_STAGE_LOGIN, detail);
            LOG_WRITE(L"[ERR_2_LIVE_UPDATE][Network Disconnect]");
        }
        return code;
    }

    ResponseData* data = new ResponseData();
    if (!check.Submit(host, object, data, port, nullptr, L"GET", isSecure())) {
        check.FreeData(&data);
        return -8;
    }
    CStringA buffer(reinterpret_cast<const char*>(data->pData), static_cast<int>(data->count));
    check.FreeData(&data);

    CString line;
    while (CUtilManager::getLine(line, buffer)) {
        line.Trim();
        if (line.IsEmpty()) continue;
        const std::vector<CString> fields = splitSkippingEmpty(line, L'|');
        if (fields.size() < 2) continue;
        // The list comes over the network and the program runs as
        // administrator: a path that climbs out of the install folder, or
        // names a drive or a stream, is never fetched.
        if (!isContainedName(fields[1])) {
            LOG_WRITE(L"[ERR_LIVE_UPDATE][Path refused][%s]", line.GetString());
            continue;
        }
        UpdateInfo entry;
        if (!parseEntry(fields, entry)) continue;
        // The deployment's addresses are the administrator's, not the
        // update server's.
        if (entry.folder.IsEmpty() && entry.fileName.CompareNoCase(L"config.json") == 0) {
            LOG_WRITE(L"[ERR_LIVE_UPDATE][config.json is never replaced][%s]", line.GetString());
            continue;
        }
        if (fields.size() >= 4) {
            entry.listedSize = _wtoi64(fields[2].GetString());
            entry.crc = _wcstoui64(fields[3].GetString(), nullptr, 10);
        }
        entry.updateNeeded = 1;
        serverList.push_back(entry);
    }
    return 1;
}

int CUpdateManager::checkUpdateNeeded() {
    if (!hasUsableInstallPath()) {
        // An empty or relative install path would put the program's files
        // wherever the current folder happens to be.
        LOG_WRITE(L"[LiveUpdate skipped][Install path not usable:'%s']", installPath.GetString());
        return 0;
    }
    deleteTempFolderFiles();
    if (!isSecure()) {
        LOG_WRITE(L"[LiveUpdate skipped][Not over HTTPS:'%s']", serverUrl.GetString());
        return 0;
    }
    loadLocalInfoFile();
    const int code = loadServerInfoFile();
    if (code < 0) return code;
    if (serverList.empty()) return 0;

    bool anyNeeded = false;
    for (UpdateInfo& s : serverList) {
        for (const UpdateInfo& l : localList) {
            if (l.key() != s.key()) continue;
            if (!fileExists(placeOf(s))) break;
            // Kept also when older, so a file that is not replaced keeps
            // its version in the new local list.
            s.localVersion = l.version;
            if (l.version >= s.version) {
                s.updateNeeded = 0;
                break;
            }
        }
        if (s.updateNeeded) anyNeeded = true;
    }
    return anyNeeded ? 1 : 0;
}

void CUpdateManager::SaveInfoFile() {
    const CString folder = normalizeUpdatePath(installPath + L"\\Info\\");
    CGlobalFunc::createDirectory(folder);
    const CString path = folder + kListName;
    CString text;
    for (const UpdateInfo& s : serverList) {
        const LONGLONG version = (s.updateNeeded == 1 && s.downloadReady == 1) ? s.version : s.localVersion;
        text.AppendFormat(L"%s|%s\r\n", versionText(version).GetString(), s.key().GetString());
    }
    const CStringA bytes(text);
    // Written beside the list and moved over it, so a failed write never
    // leaves a half list that would make the next run fetch everything.
    const CString temporary = path + L".new";
    CFile file;
    if (!file.Open(temporary.GetString(), CFile::modeCreate | CFile::modeWrite)) {
        LOG_WRITE(L"[FileOpenError][File:%s][Code:%d]", temporary.GetString(), static_cast<int>(GetLastError()));
        return;
    }
    try {
        file.SeekToBegin();
        file.Write(bytes.GetString(), static_cast<UINT>(bytes.GetLength()));
        file.Close();
    } catch (CException* e) {
        e->Delete();
        LOG_WRITE(L"[FileOperationError][File:%s][ErrorCode:%d]", temporary.GetString(), static_cast<int>(GetLastError()));
        file.Abort();
        DeleteFileW(temporary.GetString());
        return;
    }
    if (!MoveFileExW(temporary.GetString(), path.GetString(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        LOG_WRITE(L"[FileWriteError][File:%s][Code:%d]", path.GetString(), static_cast<int>(GetLastError()));
        DeleteFileW(temporary.GetString());
    }
}
