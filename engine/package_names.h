#pragma once
// The self-contained packages: items whose file is a zip of its own that
// the unzip step extracts once more into a folder beside it, and that the
// copy step puts on the medium as those folders. One list, compared with the
// item's file name ignoring case, for every step that treats them apart.
#include "afx/string.h"

// Index in the package table, or -1 for an ordinary file.
int packageIndex(const CString& fileName);
inline bool isPackageName(const CString& fileName) {
    return packageIndex(fileName) >= 0;
}
// The file name part of a path ("\" or "/").
CString fileNameOf(const CString& path);
// The folder beside the package that its contents go to ("" for its own).
CString packageFolder(const CString& fileName);
