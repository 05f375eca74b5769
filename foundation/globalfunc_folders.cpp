// The user's special folders and the program folder.
#include "foundation/globalfunc.h"
#include "afx/handle.h"

#include <shlobj.h>

#include <vector>

namespace {

// FOLDERID_Downloads, spelled out so that no GUID library is needed.
const GUID kDownloadsFolder = {0x374DE290, 0x123F, 0x4565, {0x91, 0x64, 0x39, 0xC4, 0x92, 0x5E, 0x46, 0x7B}};

CString specialFolder(int csidl) {
    wchar_t path[MAX_PATH] = {};
    if (!SHGetSpecialFolderPathW(nullptr, path, csidl, FALSE)) return CString();
    return path;
}

using KnownFolderPathFn = HRESULT(WINAPI*)(REFKNOWNFOLDERID, DWORD, HANDLE, PWSTR*);

CString knownFolder(KnownFolderPathFn call, const GUID& id) {
    PWSTR path = nullptr;
    HRESULT hr = call(id, 0, nullptr, &path);
    CString result;
    if (SUCCEEDED(hr) && path) result = path;
    CoTaskMemFree(path);  // the shell may hand out memory even on failure
    return result;
}

}  // namespace

CString CGlobalFunc::getDocumentsPath() {
    return specialFolder(CSIDL_PERSONAL);
}

CString CGlobalFunc::getAppDataPath() {
    return specialFolder(CSIDL_APPDATA);
}

CString CGlobalFunc::getFontsPath() {
    return specialFolder(CSIDL_FONTS);
}

CString CGlobalFunc::getDownloadsPath() {
    if (isVistaOrGreater()) return knownFolder(&SHGetKnownFolderPath, kDownloadsFolder);
    // Older systems may lack the call altogether.
    UniqueModule shell(LoadLibraryW(L"shell32.dll"));
    if (!shell) return CString();
    auto call = reinterpret_cast<KnownFolderPathFn>(GetProcAddress(shell.get(), "SHGetKnownFolderPath"));
    return call ? knownFolder(call, kDownloadsFolder) : CString();
}

CString CGlobalFunc::getModuleDirectory() {
    // Grown until the whole path fits: a path cut at MAX_PATH would name
    // another folder.
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        DWORD n = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (n == 0) return CString();
        if (n < buffer.size()) break;
        if (buffer.size() >= 32768) return CString();
        buffer.resize(buffer.size() * 2);
    }
    CString path(buffer.data());
    int slash = path.ReverseFind(L'\\');
    return slash < 0 ? CString() : path.Left(slash);
}
