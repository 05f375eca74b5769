#pragma once
// Static helpers that every subsystem calls.
#include "afx/string.h"

class CGlobalFunc {
public:
    // Creates a folder path one "\"-separated level at a time; stops at the
    // first empty part. Always TRUE.
    static BOOL createDirectoryPath(const CString& path);
    // Brings a window of this or another process to the front.
    static void forceForegroundWindow(HWND window);
};
