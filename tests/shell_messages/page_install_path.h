#pragma once
// The install path the documents are read from: the tests' program folder,
// where the build puts "Eula\".
#include "afx/afx.h"

inline CString programFolder() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    CString folder = path;
    return folder.Left(folder.ReverseFind(L'\\'));
}

inline void useInstallPath(const CString& folder) {
    AfxGetApp()->WriteProfileString(L"", L"InstallPath", folder);
}
