#include "webclient/vcrm_upload.h"
#include "afx/filefind.h"
#include "foundation/logmanager.h"
#include "webclient/upload_worker.h"

#include <shlwapi.h>

#include <cstdlib>
#include <set>

namespace {

// folder joined with name in a MAX_PATH buffer; empty when it does not fit.
CString joinPath(const CString& folder, const wchar_t* name) {
    wchar_t buffer[MAX_PATH] = {};
    if (folder.GetLength() >= MAX_PATH) return CString();
    wcscpy(buffer, folder.GetString());
    if (!PathAppendW(buffer, name)) return CString();
    return CString(buffer);
}

// The staged name: the extension replaced by ".zip", or ".zip" appended.
CString stagedName(const CString& path) {
    wchar_t drive[3], folder[256], name[256], extension[256];
    if (_wsplitpath_s(path.GetString(), drive, folder, name, extension) != 0) return CString();
    wchar_t joined[MAX_PATH];
    if (_wmakepath_s(joined, drive, folder, name, L".zip") != 0) return CString();
    return CString(joined);
}

RequestParamVCRM_Data uploadParams(int number) {
    RequestParamVCRM_Data params;
    params.m_strMsgCode = L"01";
    CString version;
    LogManager::getFileVersion(version);
    params.m_strApiVersion = version;
    params.m_strTermCode.Format(L"%02d", number);
    return params;
}

}  // namespace

int vcrm_copy_zip_files(const CString& source, const CString& staging) {
    const CString pattern = joinPath(source, L"*");
    if (pattern.IsEmpty()) return 0;
    int count = 0;
    std::set<CString> used;
    CFileFind find;
    BOOL more = find.FindFile(pattern.GetString());
    while (more) {
        more = find.FindNextFile();
        if (find.IsDots() || find.IsDirectory()) continue;
        ++count;
        const CString source = find.GetFilePath();
        CString target = stagedName(joinPath(staging, find.GetFileName().GetString()));
        CString key = target;
        key.MakeLower();
        if (target.IsEmpty() || !used.insert(key).second) {
            LOG_WRITE(L"[VCRM][not staged: name unusable or taken][%s]", source.GetString());
            continue;
        }
        if (!CopyFileW(source.GetString(), target.GetString(), FALSE)) {
            LOG_WRITE(L"[VCRM][not staged][%s][ErrCode:%d]", source.GetString(), static_cast<int>(GetLastError()));
        }
    }
    return count;
}

BOOL vcrm_upload_files(const CString& url, const CString& staging, int number, int found) {
    const CString pattern = joinPath(staging, L"*");
    if (pattern.IsEmpty()) return FALSE;
    const DWORD attributes = GetFileAttributesW(staging.GetString());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        LOG_WRITE(L"[VCRM][staging folder missing][%s]", staging.GetString());
        return FALSE;
    }
    int staged = 0;
    {
        CFileFind count;
        for (BOOL more = count.FindFile(pattern.GetString()); more;) {
            more = count.FindNextFile();
            if (!count.IsDots() && !count.IsDirectory()) ++staged;
        }
    }
    if (found >= 0 && staged < found) {
        LOG_WRITE(L"[VCRM][staged %d of %d files: nothing sent]", staged, found);
        return FALSE;
    }
    CFileFind find;
    BOOL more = find.FindFile(pattern.GetString());
    if (!more) return TRUE;
    const RequestParamVCRM_Data params = uploadParams(number);
    while (more) {
        more = find.FindNextFile();
        if (find.IsDots() || find.IsDirectory()) continue;
        const CString path = find.GetFilePath();
        upload_worker worker;
        std::string reply;  // the service's answer carries nothing the upload needs
        const bool sent = worker.vcrm_file_upload(url, params, path, [&](const BYTE* data, UINT32 count) {
            if (data && count) reply.append(reinterpret_cast<const char*>(data), count);
            return 1;
        });
        if (!sent) return FALSE;
        // Only a file the service has taken may go: whatever was refused
        // stays staged for the next attempt.
        if (!DeleteFileW(path.GetString())) {
            LOG_WRITE(L"[VCRM][staged file not deleted][%s][ErrCode:%d]", path.GetString(),
                      static_cast<int>(GetLastError()));
        }
    }
    return TRUE;
}
