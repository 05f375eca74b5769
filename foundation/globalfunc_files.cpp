// Folder trees and single files.
#include "foundation/globalfunc.h"
#include "afx/exception.h"
#include "afx/handle.h"
#include "foundation/logmanager.h"

#include <shlwapi.h>

#include <exception>
#include <vector>

namespace {

bool isSeparator(wchar_t c) {
    return c == L'\\' || c == L'/';
}

bool isFolder(const CString& path) {
    DWORD attributes = GetFileAttributesW(path.GetString());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// One level of createDirectory. Something that is not a folder standing in
// the way fails the level: the caller would otherwise write into a folder
// that does not exist.
bool ensureLevel(const CString& level) {
    DWORD attributes = GetFileAttributesW(level.GetString());
    if (attributes != INVALID_FILE_ATTRIBUTES) return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    if (CreateDirectoryW(level.GetString(), nullptr)) return true;
    // Another thread may have created it in between.
    return GetLastError() == ERROR_ALREADY_EXISTS && isFolder(level);
}

// Splits a folder path into the part that is never created (a drive such as
// "C:", a share "\\server\share", or nothing) and the folder levels below it.
bool splitRoot(const CString& path, CString& root, CString& folders) {
    if (path.GetLength() >= 2 && isSeparator(path[0]) && isSeparator(path[1])) {
        int pos = 2;
        CString server = path.Tokenize(L"\\/", pos);
        CString share = path.Tokenize(L"\\/", pos);
        if (server.IsEmpty() || share.IsEmpty()) return false;
        root = L"\\\\" + server + L"\\" + share;
        folders = pos < 0 ? CString() : path.Mid(pos);
        return true;
    }
    wchar_t drive[3], dir[260], name[256], ext[256];
    if (_wsplitpath_s(path.GetString(), drive, 3, dir, 260, name, 256, ext, 256) != 0) return false;
    root = drive;
    folders = dir;
    return true;
}

CString fullPath(const CString& path) {
    DWORD size = GetFullPathNameW(path.GetString(), 0, nullptr, nullptr);
    if (size == 0) return CString();
    std::vector<wchar_t> buffer(size + 1);
    DWORD n = GetFullPathNameW(path.GetString(), static_cast<DWORD>(buffer.size()), buffer.data(), nullptr);
    return n == 0 || n >= buffer.size() ? CString() : CString(buffer.data());
}

// An empty path, "\", "C:", "C:\" and "\\server\share" (also when reached
// through ".." or a relative path) name a whole volume. The device and
// long-path forms ("\\?\", "\\.\") are refused whole: the platform's root
// test does not know them, and no caller needs them.
bool namesVolumeRoot(const CString& path) {
    CString trimmed = path;
    trimmed.TrimRight(L"\\/");
    if (trimmed.IsEmpty()) return true;
    if (trimmed.GetLength() >= 2 && isSeparator(trimmed[0]) && isSeparator(trimmed[1])) {
        if (trimmed.GetLength() >= 3 && (trimmed[2] == L'?' || trimmed[2] == L'.')) return true;
        // Below a share there must be a folder: server, share, folder.
        int pieces = 0, pos = 2;
        bool climbs = false;
        for (CString piece = trimmed.Tokenize(L"\\/", pos); pos >= 0; piece = trimmed.Tokenize(L"\\/", pos)) {
            if (piece == L"..") climbs = true;
            else if (piece != L".") ++pieces;
        }
        if (pieces < 3 || climbs) return true;
    }
    if (trimmed.GetLength() == 2 && trimmed[1] == L':') return true;
    CString full = fullPath(path);
    return full.IsEmpty() || PathIsRootW(full.GetString());
}

// A junction or directory symbolic link: RemoveDirectory takes away the link
// and leaves its target alone.
void removeLink(const CString& link) {
    RemoveDirectoryW(link.GetString());
}

}  // namespace

BOOL CGlobalFunc::createDirectory(const CString& path) {
    if (path.IsEmpty()) return FALSE;
    try {
        CString folder = path;
        if (folder.Right(1) != L"\\") folder += L"\\";
        CString built, folders;
        if (!splitRoot(folder, built, folders)) return FALSE;
        int pos = 0;
        for (CString token = folders.Tokenize(L"\\/", pos); pos >= 0; token = folders.Tokenize(L"\\/", pos)) {
            built += L"\\" + token;
            if (!ensureLevel(built)) return FALSE;
        }
        return TRUE;
    } catch (CException* e) {
        wchar_t message[256] = {};
        e->GetErrorMessage(message, 255);
        e->Delete();
        LOG_WRITE(L"createDirectory fail");
        LOG_WRITE(L"%s Exception error: %s", L"CGlobalFunc::createDirectory", message);
    } catch (const std::exception& e) {
        CString message(e.what());
        LOG_WRITE(L"createDirectory fail");
        LOG_WRITE(L"%s Exception error: %s", L"CGlobalFunc::createDirectory", message.Left(255).GetString());
    }
    return FALSE;
}

BOOL CGlobalFunc::deleteDirectory(const CString& path) {
    if (namesVolumeRoot(path)) return FALSE;
    CString folder = path;
    if (!isSeparator(folder[folder.GetLength() - 1])) folder += L"\\";
    CString self = folder.Left(folder.GetLength() - 1);
    DWORD attributes = GetFileAttributesW(self.GetString());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT) &&
        (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        removeLink(self);
        return GetFileAttributesW(self.GetString()) == INVALID_FILE_ATTRIBUTES ? TRUE : FALSE;
    }

    WIN32_FIND_DATAW entry{};
    UniqueFindHandle find(FindFirstFileW((folder + L"*.*").GetString(), &entry));
    if (!find) return FALSE;
    // Everything that can go goes; the result says whether anything stayed.
    do {
        CString name = entry.cFileName;
        if (name == L"." || name == L"..") continue;
        CString child = folder + name;
        if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
            deleteFile(child);
        } else if (entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) {
            removeLink(child);
        } else {
            deleteDirectory(child);
        }
    } while (FindNextFileW(find.get(), &entry));
    find.reset();
    RemoveDirectoryW(self.GetString());
    return GetFileAttributesW(self.GetString()) == INVALID_FILE_ATTRIBUTES ? TRUE : FALSE;
}

BOOL CGlobalFunc::deleteFile(const CString& path) {
    DWORD attributes = GetFileAttributesW(path.GetString());
    if (attributes == INVALID_FILE_ATTRIBUTES) return TRUE;  // nothing there to delete
    if (attributes & FILE_ATTRIBUTE_READONLY) {
        SetFileAttributesW(path.GetString(), attributes & ~FILE_ATTRIBUTE_READONLY);
    }
    if (DeleteFileW(path.GetString())) return TRUE;
    LOG_WRITE(L"[deleteFile][%s][ErrCode:%d]", path.GetString(), static_cast<int>(GetLastError()));
    return FALSE;
}

BOOL CGlobalFunc::isFileExist(const CString& path, BOOL packageFlag) {
    if (packageFlag) {
        for (const wchar_t* name : {L"MAP.exe", L"HTML.exe", L"IMAGE.exe", L"SPOT.exe"}) {
            if (path.Find(name) >= 0) return TRUE;
        }
    }
    WIN32_FIND_DATAW found{};
    UniqueFindHandle find(FindFirstFileW(path.GetString(), &found));
    return find ? TRUE : FALSE;
}
