// Self-update: set-up, paths and the clean-up of what earlier runs and the
// maker's earlier product left behind.
#include "engine/update_manager.h"

#include "afx/app.h"
#include "afx/filefind.h"
#include "foundation/globalfunc.h"
#include "foundation/logmanager.h"
#include "foundation/regsetting.h"
#include "webclient/api_endpoints.h"

#include <shlobj.h>

namespace {

const wchar_t kEarlierProductValue[] = L"HvqInstallPath";

// "X:\..." or "\\server\share...": a path that cannot land on whatever the
// current drive or folder happens to be.
bool isAbsolutePath(const CString& path) {
    if (path.GetLength() >= 3 && iswalpha(path[0]) && path[1] == L':' && (path[2] == L'\\' || path[2] == L'/')) {
        return true;
    }
    return path.GetLength() > 2 && path[0] == L'\\' && path[1] == L'\\' && path[2] != L'\\';
}

// Full, normalised, without a trailing separator; empty when not absolute.
CString comparablePath(const CString& path) {
    if (!isAbsolutePath(path)) return CString();
    wchar_t full[MAX_PATH * 2] = {};
    DWORD n = GetFullPathNameW(normalizeUpdatePath(path).GetString(), MAX_PATH * 2, full, nullptr);
    if (n == 0 || n >= MAX_PATH * 2) return CString();
    CString result(full);
    while (result.GetLength() > 3 && result.Right(1) == L"\\") result.Truncate(result.GetLength() - 1);
    return result;
}

// Whether inner is outer itself or lies somewhere below it.
bool isWithin(const CString& inner, const CString& outer) {
    if (inner.IsEmpty() || outer.IsEmpty()) return false;
    if (inner.CompareNoCase(outer.GetString()) == 0) return true;
    CString prefix = outer.Right(1) == L"\\" ? outer : outer + L"\\";
    return inner.GetLength() > prefix.GetLength() && inner.Left(prefix.GetLength()).CompareNoCase(prefix.GetString()) == 0;
}

bool isDirectory(const CString& path) {
    const DWORD attributes = GetFileAttributesW(path.GetString());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

CString programFilesFolder() {
    wchar_t buffer[MAX_PATH] = {};
    if (!SHGetSpecialFolderPathW(nullptr, buffer, CSIDL_PROGRAM_FILES, FALSE)) return CString();
    return CString(buffer);
}

// The maker's earlier product lived here; nothing else of the maker's
// folder is ours to remove.
CString earlierProductFolder() {
    const CString programFiles = programFilesFolder();
    return programFiles.IsEmpty() ? CString() : programFiles + L"\\Corvessa\\Harnoval";
}

// Whether the folder holds nothing but the vehicle-data packages and version
// files the earlier product left there (in any depth, no link anywhere).
bool holdsOnlyEarlierVehicleData(const CString& folder, int depth = 0) {
    if (depth > 16) return false;
    WIN32_FIND_DATAW found{};
    HANDLE find = FindFirstFileW((folder + L"\\*").GetString(), &found);
    if (find == INVALID_HANDLE_VALUE) return GetLastError() == ERROR_FILE_NOT_FOUND;
    bool only = true;
    do {
        const CString name(found.cFileName);
        if (name == L"." || name == L"..") continue;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) {
            only = false;
        } else if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            only = holdsOnlyEarlierVehicleData(folder + L"\\" + name, depth + 1);
        } else {
            const CString extension = name.Mid(name.ReverseFind(L'.') + 1);
            only = name.Find(L'.') >= 0 && (extension.CompareNoCase(L"zip") == 0 || extension.CompareNoCase(L"ver") == 0);
        }
    } while (only && FindNextFileW(find, &found));
    FindClose(find);
    return only;
}

}  // namespace

CString normalizeUpdatePath(const CString& path) {
    CString result(path);
    result.Replace(L'/', L'\\');
    while (result.Find(L"\\\\") >= 0) result.Replace(L"\\\\", L"\\");
    return result;
}

CUpdateManager::CUpdateManager() : programFiles{L"/Kestrune.exe", L"/Lang.dll"} {
    CWinApp* app = AfxGetApp();
    if (!app) return;
    const CString earlier = app->GetProfileString(L"", kEarlierProductValue, L"");
    if (earlier.IsEmpty()) return;
    // Any process of the user can write this value, and the program runs
    // as administrator: only a folder of the earlier product is removed.
    const CString folder = comparablePath(earlier);
    const CString own = comparablePath(CGlobalFunc::getModuleDirectory());
    if (!folder.IsEmpty() && isWithin(folder, comparablePath(earlierProductFolder())) && !isWithin(own, folder)) {
        CGlobalFunc::deleteDirectory(folder);
    } else {
        LOG_WRITE(L"[HvqInstallPath not removed][%s]", earlier.GetString());
    }
    app->WriteProfileString(L"", kEarlierProductValue, nullptr);
}

CUpdateManager::~CUpdateManager() {
    closeInternetHandleSlot(requestHandle);
    closeInternetHandleSlot(internetHandle);
}

void CUpdateManager::setServerInfo(HWND owner, const CString& path) {
    m_hOwner = owner;
    installPath = path;
    // The deployment's server (config.json), or an address that never
    // resolves when none is configured.
    serverUrl = getServerHost(API_LIVE_UPDATE);
    serverFolder = getApiPath(API_LIVE_UPDATE);
}

bool CUpdateManager::hasUsableInstallPath() const {
    return isAbsolutePath(installPath);
}

bool CUpdateManager::isSecure() const {
    return serverUrl.Left(8).CompareNoCase(L"https://") == 0;
}

int CUpdateManager::serverPort() const {
    return isSecure() ? INTERNET_DEFAULT_HTTPS_PORT : getServerPort(API_LIVE_UPDATE);
}

CString CUpdateManager::serverHost() const {
    CString host(serverUrl);
    host.Replace(L"https://", L"");
    host.Replace(L"http://", L"");
    return host;
}

CString CUpdateManager::placeOf(const UpdateInfo& info) const {
    CString folder = installPath + L"\\";
    if (!info.folder.IsEmpty()) folder += info.folder + L"\\";
    return normalizeUpdatePath(folder + info.fileName);
}

CString CUpdateManager::downloadTargetOf(const UpdateInfo& info) const {
    CString folder = installPath + L"\\tmp\\";
    if (!info.folder.IsEmpty()) folder += info.folder + L"\\";
    return normalizeUpdatePath(folder + info.fileName);
}

CString CUpdateManager::serverUrlOf(const UpdateInfo& info) const {
    CString url;
    url.Format(L"%s:%d%s", serverUrl.GetString(), serverPort(), serverFolder.GetString());
    if (!info.folder.IsEmpty()) url += info.folder.Mid(1) + L"/";
    return url + info.fileName;
}

void CUpdateManager::deleteOldFolder(const CString& folder) const {
    const CString target = comparablePath(folder);
    if (target.IsEmpty() || !isDirectory(target)) return;
    const CString own = comparablePath(installPath);
    const CString data = comparablePath(CRegSetting::getDataPath());
    if (isWithin(own, target) || isWithin(data, target)) {
        LOG_WRITE(L"[Folder kept: it holds the program or its data][%s]", target.GetString());
        return;
    }
    CGlobalFunc::deleteDirectory(target);
}

void CUpdateManager::cleanEarlierProduct() {
    const CString earlier = earlierProductFolder();
    if (!earlier.IsEmpty() && isDirectory(earlier)) deleteOldFolder(earlier);
}

void CUpdateManager::deleteTempFolderFiles() {
    LOG_WRITE(L"");
    if (hasUsableInstallPath()) {
        CGlobalFunc::deleteDirectory(normalizeUpdatePath(installPath + L"\\tmp"));
        for (const CString& file : programFiles) {
            const int slash = file.ReverseFind(L'/');
            CString aside = installPath + L"\\" + file.Left(slash + 1) + L"_" + file.Mid(slash + 1);
            aside = normalizeUpdatePath(aside);
            if (GetFileAttributesW(aside.GetString()) != INVALID_FILE_ATTRIBUTES) CGlobalFunc::deleteFile(aside);
        }
    }
    // A download folder that is empty or relative would make its
    // neighbour the "VCRM" folder of whatever the current folder is.
    // "VCRM" is a name any user may have given a folder of their own: it
    // goes only when it holds nothing but the earlier product's vehicle data.
    auto deleteEarlierVehicleData = [this](const CString& folder) {
        const CString target = comparablePath(folder);
        if (target.IsEmpty() || !isDirectory(target)) return;
        const DWORD attributes = GetFileAttributesW(target.GetString());
        if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) || !holdsOnlyEarlierVehicleData(target)) {
            LOG_WRITE(L"[Folder kept: not only the earlier product's vehicle data][%s]", target.GetString());
            return;
        }
        deleteOldFolder(target);
    };
    const CString dataPath = CRegSetting::getDataPath();
    if (isAbsolutePath(dataPath)) deleteEarlierVehicleData(dataPath + L"\\..\\VCRM");
    const CString documents = CGlobalFunc::getDocumentsPath();
    if (!documents.IsEmpty()) {
        deleteOldFolder(documents + L"\\Corvessa");
        deleteEarlierVehicleData(documents + L"\\VCRM");
    }
    if (hasUsableInstallPath()) cleanEarlierProduct();
}
