#pragma once
// The last vehicle choice of one brand and sign-in kind, as the settings
// keep it. The vehicle pages decide what the two texts hold (the vehicle's
// INF file name and its model code).
#include "afx/string.h"

struct LastModeInfo {
    // The brand and kind are the caller's to set; they start as "no brand"
    // and "member" so a forgotten assignment names a harmless value.
    int nCorp = 0;      // CorpId
    int nUserType = 0;  // UserType
    CString strFirst;
    CString strSecond;

    LastModeInfo() = default;
    LastModeInfo(int corp, int userType) : nCorp(corp), nUserType(userType) {}
    LastModeInfo(int corp, int userType, const CString& first, const CString& second)
        : nCorp(corp), nUserType(userType), strFirst(first), strSecond(second) {}
};
