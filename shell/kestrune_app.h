#pragma once
// The application object: what has to happen before any window exists
// (registry root, GDI+, log, configuration, language library, crash dump,
// single instance, TLS options), the hidden main frame, and the housekeeping
// at the end of the run.
#include "afx/afx.h"

#ifndef ID_APP_ABOUT
#define ID_APP_ABOUT 0xE140
#endif

class CKestruneApp : public CWinAppEx {
public:
    CKestruneApp();
    ~CKestruneApp() override;

    BOOL InitApplication() override;
    BOOL InitInstance() override;
    int ExitInstance() override;

    // TRUE when this start must not run (another instance, its notice, a
    // self-update in progress, or the installer removing the program).
    BOOL isAlreadyRunning();
    // Switches TLS 1.1 and 1.2 on in the user's Internet options; 0 or the
    // registry error. A missing "SecureProtocols" value stays missing.
    LONG enableTls();
    static LONG enableTlsAt(HKEY root, LPCWSTR subKey);
    // Libraries load from the system folder and the program's own only.
    static BOOL restrictDllSearch();
    void initLog();

    // The language library, forwarded to the loader that keeps it.
    BOOL loadLanguage(int uiLanguage);
    CString loadLangString(UINT id);
    BOOL changeLanguage(int uiLanguage, BOOL apply);

    void OnAppAbout();

    // GDI+ stopped and started again (font registration); the drawing code
    // gets the new token.
    // Messages are pumped for pauseMs while it is down.
    void restartGdiplus(DWORD pauseMs);

    // Window titles the single-instance rules look for.
    static const wchar_t* const kRunningTitle;
    static const wchar_t* const kAlreadyRunningTitle;
    static const wchar_t* const kInstallerTitle;
    static const wchar_t* const kMutexName;

    DECLARE_MESSAGE_MAP()

private:
    void startGdiplus();
    void stopGdiplus();

    HANDLE m_hMutex = nullptr;
    HMODULE m_hLangDll = nullptr;
    ULONG_PTR m_gdiplusToken = 0;
};

// The one application object (defined by the program).
CKestruneApp* GetKestruneApp();

// The about box (template 100); no window of the program issues the command.
class CAboutDlg : public CDialog {
public:
    CAboutDlg();
};
