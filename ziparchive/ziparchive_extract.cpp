#include "ziparchive/ziparchive.h"

#include "foundation/logmanager.h"
#include "ziparchive/zipentrypath.h"
#include "ziparchive/zippath.h"

#include <vector>

namespace {

// zipExtractBusy goes back to 0 however the extraction ends, an exception
// included: the update page would otherwise wait on it for good.
struct ExtractBusyGuard {
    ~ExtractBusyGuard() { zipExtractBusy = 0; }
};

constexpr DWORD kReplaceableAttributes = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;

// Makes the missing folders of a file whose open found no path, with one
// call per missing level and no look-ups: the deepest level is made first,
// and only a level whose own parent is missing sends the walk one level up.
// Looking each level up first costs a directory search per level, which
// under Wine weighs as much as writing a few small files. What cannot be
// made is left for the file's second open to report.
void makeMissingFolders(const CString& folder) {
    std::vector<int> missing;  // lengths of the levels still to make, deepest first
    for (int length = folder.GetLength(); length > 0; length = folder.Left(length).ReverseFind(L'\\')) {
        if (CreateDirectoryW(folder.Left(length).GetString(), nullptr)) break;
        const DWORD error = GetLastError();
        if (error == ERROR_ALREADY_EXISTS) break;
        if (error != ERROR_PATH_NOT_FOUND) return;
        missing.push_back(length);
    }
    for (auto it = missing.rbegin(); it != missing.rend(); ++it) {
        if (!CreateDirectoryW(folder.Left(*it).GetString(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) return;
    }
}

// Opens the entry's file for writing. The usual case costs one call: the
// folder is made only when the open finds it missing (once per folder, not
// once per file), and an earlier read-only or hidden copy of the entry is
// made writable only when it refuses the open.
void createEntryFile(CFile& file, const CString& target) {
    const UINT flags = CFile::modeCreate | CFile::modeWrite | CFile::shareDenyWrite;
    CFileException error;
    if (file.Open(target.GetString(), flags, &error)) return;
    if (error.m_lOsError == ERROR_PATH_NOT_FOUND) {
        makeMissingFolders(target.Left(target.ReverseFind(L'\\')));
    } else if (error.m_lOsError == ERROR_ACCESS_DENIED) {
        const DWORD old = GetFileAttributesW(target.GetString());
        if (old != INVALID_FILE_ATTRIBUTES && !(old & FILE_ATTRIBUTE_DIRECTORY) && (old & kReplaceableAttributes)) {
            SetFileAttributesW(target.GetString(), old & ~kReplaceableAttributes);
        }
    }
    if (!file.Open(target.GetString(), flags, &error)) {
        AfxThrowFileException(error.m_cause, error.m_lOsError, target.GetString());
    }
}

}  // namespace

bool CZipArchive::ExtractFile(WORD index, LPCWSTR folder, bool fullPath, LPCWSTR newName, ZipCallback callback,
                              void* userData, DWORD bufferSize) {
    // Without a folder the entry would land at the root of the current drive;
    // a buffer of 0 bytes would never finish the read loop.
    if (bufferSize == 0 || !folder || !*folder) return false;

    CZipFileHeader header;
    if (!GetFileInfo(header, index)) return false;
    CString name = newName ? CString(newName) : header.GetFileName();
    // Some tools mark folders only by the trailing separator.
    bool directory = header.IsDirectory() || name.Right(1) == L"\\" || name.Right(1) == L"/";
    // Without the entry's own folders a folder entry has nothing to add.
    if (directory && !fullPath) return forceDirectory(folder) != FALSE;

    CString target;
    if (!buildEntryTargetPath(folder, name, fullPath, target)) {
        LOG_WRITE(L"[ZipEntryRefused][entry:%s]", name.GetString());
        return false;
    }

    if (directory) {
        if (!forceDirectory(target)) return false;
        SetFileAttributesW(target.GetString(), header.GetSystemAttr());
        return true;
    }

    if (!OpenEntry(index)) return false;
    ExtractBusyGuard busy;
    CFile file;
    try {
        createEntryFile(file, target);
    } catch (...) {
        CloseEntry(nullptr, true);
        throw;
    }

    char* buffer = m_extractBuffer.Allocate(bufferSize);
    DWORD sum = 0;
    DWORD count = 0;
    do {
        DWORD taken = 0;
        count = ReadEntry(buffer, bufferSize, &taken);
        zipExtractBusy = 1;
        if (count == 0) break;
        file.Write(buffer, count);
        sum += taken;
        if (callback && !callback(static_cast<int>(taken), static_cast<int>(sum), userData)) break;
    } while (count == bufferSize);
    zipExtractBusy = 0;

    return CloseEntry(file) == 1;
}
