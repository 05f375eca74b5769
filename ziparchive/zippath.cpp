#include "ziparchive/zippath.h"

#include "afx/handle.h"

#include <vector>

namespace {

// Drive-and-folder part with its trailing separator ("C:\a\" for "C:\a\b").
CString parentOf(const CString& path) {
    int slash = path.ReverseFind(L'\\');
    if (slash >= 0) return path.Left(slash + 1);
    if (path.GetLength() >= 2 && path[1] == L':') return path.Left(2);
    return CString();
}

}  // namespace

BOOL forceDirectory(const CString& path) {
    CString p = path;
    p.TrimRight(L'\\');
    // Walk up to the first level that exists, then create downwards. Every
    // level is a prefix of the path, so only the lengths are kept; a name of
    // thousands of levels costs neither stack nor quadratic memory.
    std::vector<int> missing;
    for (;;) {
        CString parent = parentOf(p);
        if (parent == p || getPathKind(p) == -1) break;
        missing.push_back(p.GetLength());
        p = parent;
        p.TrimRight(L'\\');
    }
    for (auto it = missing.rbegin(); it != missing.rend(); ++it) {
        if (!CreateDirectoryW(path.Left(*it).GetString(), nullptr)) return FALSE;
    }
    return TRUE;
}

int getPathKind(const CString& path) {
    WIN32_FIND_DATAW data;
    UniqueFindHandle find(FindFirstFileW(path.GetString(), &data));
    if (find) return (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ? -1 : 1;
    // A search does not find roots such as "C:\".
    return isEnterableDirectory(path) ? -1 : 0;
}

BOOL isEnterableDirectory(const CString& path) {
    // Asked through the attributes rather than by changing the current
    // directory, which is process-wide and would race with other threads.
    DWORD attributes = GetFileAttributesW(path.GetString());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}
