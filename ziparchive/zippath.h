#pragma once
// Folder operations of extraction.
#include "afx/string.h"

// Creates the folder and every missing parent. TRUE when the folder exists
// afterwards (a bare drive counts as existing); FALSE when a level cannot be
// made, for example because a file has its name.
BOOL forceDirectory(const CString& path);

// -1 folder, 1 file, 0 nothing there.
int getPathKind(const CString& path);

// TRUE when the path names a folder that can be entered.
BOOL isEnterableDirectory(const CString& path);
