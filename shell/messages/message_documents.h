#pragma once
// The documents of the message pages: the licence text carried in the
// program (resource "ETC" 408) and written to a file before it is shown, and
// the terms and consent documents that the installer puts into "\Eula\".
#include "afx/string.h"

#include <windows.h>

namespace msg {

constexpr int kLicenceResourceId = 408;
constexpr const wchar_t* kLicenceResourceType = L"ETC";

// "<appData>\Kestrune\License\".
CString licenceFolder(const CString& appDataPath);
// Writes the licence resource of module to "License_WIN.rtf" in the licence
// folder (created hidden when missing, the file rewritten every time) and
// returns the file's path; the empty text on any failure. A file that cannot
// be created is logged under logFunction ("Class::method" of the page).
CString writeLicenceFile(HMODULE module, const CString& appDataPath, const char* logFunction);

// "<install>\Eula\", created when missing and given the hidden attribute.
CString documentFolder(const CString& installPath);
// The terms of use of a UI language: install path + "\Eula\TermsOfUse_xx-XX.rtf".
CString termsFilePath(const CString& installPath, int language);
// The two consent documents of a region, in the document folder.
CString consentFilePath(const CString& installPath, int region, int which /* 1 or 2 */);

}  // namespace msg
