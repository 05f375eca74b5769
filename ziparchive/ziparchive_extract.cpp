#include "ziparchive/ziparchive.h"

#include "foundation/logmanager.h"
#include "ziparchive/zipentrypath.h"
#include "ziparchive/zippath.h"

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

    int slash = target.ReverseFind(L'\\');
    forceDirectory(target.Left(slash));
    CFile file(target.GetString(), CFile::modeCreate | CFile::modeWrite | CFile::shareDenyWrite);

    CZipAutoBuffer buffer(bufferSize);
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
