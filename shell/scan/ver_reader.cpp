#include "shell/scan/ver_reader.h"

#include "engine/vercheck_manager.h"

#include <windows.h>

BOOL readVerFile(const CString& path, ver_file_data& data) {
    data.clear();
    CString text;
    // The same readers as the download folder's pre-check, so that a name
    // outside ASCII reads alike on both sides.
    if (!readUnicodeTextFile(text, path) && !readByteTextFile(text, path)) return FALSE;
    data.parse(text);
    return TRUE;
}

CString firstVerFile(const CString& root) {
    WIN32_FIND_DATAW found{};
    HANDLE find = FindFirstFileW((root + L"*.ver").GetString(), &found);
    if (find == INVALID_HANDLE_VALUE) return CString();
    FindClose(find);
    return root + found.cFileName;
}

CString mediumRoot(const CString& driveOrFolder) {
    if (driveOrFolder.GetLength() == 1) return driveOrFolder + L":\\";
    if (driveOrFolder.GetLength() == 2 && driveOrFolder[1] == L':') return driveOrFolder + L"\\";
    return driveOrFolder;
}
