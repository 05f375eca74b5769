#include "foundation/common_util.h"

#include <shlwapi.h>

namespace {

bool isFolder(const CString& path) {
    DWORD attributes = GetFileAttributesW(path.GetString());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

}  // namespace

namespace common_util {

bool ensure_directory(const CString& path) {
    if (path.IsEmpty()) return true;
    // The folders are made with the plain (MAX_PATH) file calls.
    if (path.GetLength() > MAX_PATH ||
        (path.GetLength() == MAX_PATH && (path[MAX_PATH - 1] == L'\\' || path[MAX_PATH - 1] == L'/')))
        return false;
    for (int i = 0; i < path.GetLength(); ++i) {
        if (path[i] != L'\\' && path[i] != L'/') continue;
        CString prefix = path.Left(i + 1);
        if (isFolder(prefix)) continue;
        if (CreateDirectoryW(prefix.GetString(), nullptr)) continue;
        if (GetLastError() != ERROR_ALREADY_EXISTS) return false;
        // A file of that name: the path's file could never be written there.
        if (!isFolder(prefix.Left(i))) return false;
    }
    return true;
}

void normalize_path(CString& path) {
    CString text = path;
    text.Replace(L'/', L'\\');
    text.Replace(L"\\\\", L"\\");
    path.Empty();

    wchar_t drive[3], dir[256], name[256], ext[256];
    if (_wsplitpath_s(text.GetString(), drive, 3, dir, 256, name, 256, ext, 256) != 0) return;
    CString folders = dir;
    if (folders.IsEmpty()) return;

    wchar_t built[MAX_PATH] = {};
    wcscpy_s(built, drive);
    int pos = 0;
    bool first = true;
    for (CString part = folders.Tokenize(L"\\", pos); pos >= 0; part = folders.Tokenize(L"\\", pos)) {
        // The item's first folder is where the download keeps it, not a
        // folder of the medium.
        if (first) {
            first = false;
            continue;
        }
        if (!PathAppendW(built, part.GetString())) return;
    }
    CString file = CString(name) + ext;
    if (!file.IsEmpty() && !PathAppendW(built, file.GetString())) return;
    path = built;
}

void normalize_path(CString& path, const CString& root) {
    CString base = root;
    base.Replace(L'/', L'\\');
    base.Replace(L"\\\\", L"\\");
    if (!base.IsEmpty() && base.Right(1) != L"\\") base += L'\\';
    CString text = path;
    text.Replace(L'/', L'\\');
    text.Replace(L"\\\\", L"\\");
    // A drive's root ("E:\\") has no level of its own to keep.
    if (base.GetLength() <= 3 || text.GetLength() <= base.GetLength() ||
        text.Left(base.GetLength()).CompareNoCase(base) != 0) {
        normalize_path(path);
        return;
    }
    // The part below the root, normalised as if on a drive of its own, so
    // that ".." cannot climb above the root either.
    CString below = L"Q:\\" + text.Mid(base.GetLength());
    normalize_path(below);
    path.Empty();
    if (below.IsEmpty()) return;
    const CString joined = base + below.Mid(3);
    if (joined.GetLength() < MAX_PATH) path = joined;
}

bool is_unusable_name_level(const CString& level) {
    for (int i = 0; i < level.GetLength(); ++i) {
        if (level[i] < 0x20) return true;
    }
    // Windows opens the device for these base names whatever the folder and
    // extension: "C:\\out\\nul.txt" is the null device.
    CString base = level;
    int dot = base.Find(L'.');
    if (dot >= 0) base = base.Left(dot);
    base.TrimRight(L' ');
    base.MakeUpper();
    static const wchar_t* const fixed[] = {L"CON", L"PRN", L"AUX", L"NUL", L"CONIN$", L"CONOUT$"};
    for (const wchar_t* name : fixed) {
        if (base == name) return true;
    }
    return base.GetLength() == 4 && (base.Left(3) == L"COM" || base.Left(3) == L"LPT") && base[3] >= L'1' &&
           base[3] <= L'9';
}

}  // namespace common_util
