#pragma once
// CWinApp: the application object. Here it carries the name and the
// registry profile calls; the profile lives under
// HKEY_CURRENT_USER\Software\<registry key>\<profile name>\<section> once
// SetRegistryKey has been called. An empty section names the profile key
// itself.
#include "afx/string.h"

class CWinApp {
public:
    explicit CWinApp(LPCWSTR appName = nullptr);
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;
    virtual ~CWinApp();

    void SetRegistryKey(LPCWSTR registryKey);

    UINT GetProfileInt(LPCWSTR section, LPCWSTR entry, int defaultValue);
    CString GetProfileString(LPCWSTR section, LPCWSTR entry, LPCWSTR defaultValue = nullptr);
    BOOL WriteProfileInt(LPCWSTR section, LPCWSTR entry, int value);
    // A null entry deletes the whole section; a null value deletes the entry.
    BOOL WriteProfileString(LPCWSTR section, LPCWSTR entry, LPCWSTR value);

    // Opened keys; the caller closes them. Null when no registry key is set.
    HKEY GetAppRegistryKey();
    HKEY GetSectionKey(LPCWSTR section);

    LPCWSTR m_pszAppName = nullptr;
    LPCWSTR m_pszRegistryKey = nullptr;
    LPCWSTR m_pszProfileName = nullptr;

private:
    CString m_appName;
    CString m_registryKey;
};

CWinApp* AfxGetApp();
