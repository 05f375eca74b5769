#pragma once
// CWinApp: the application object. It carries the name, the registry
// profile calls and the run of the program: InitApplication, InitInstance,
// the message loop (Run) and ExitInstance, driven by AfxWinMain. The
// profile lives under HKEY_CURRENT_USER\Software\<registry key>\<profile
// name>\<section> once SetRegistryKey has been called. An empty section
// names the profile key itself.
#include "afx/cmdtarget.h"
#include "afx/string.h"

class CWnd;

class CWinApp : public CCmdTarget {
    DECLARE_DYNAMIC(CWinApp)
public:
    explicit CWinApp(LPCWSTR appName = nullptr);
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;
    // A later application object (a test's) stands in for this one until it
    // goes.
    ~CWinApp() override;

    void SetRegistryKey(LPCWSTR registryKey);

    UINT GetProfileInt(LPCWSTR section, LPCWSTR entry, int defaultValue);
    CString GetProfileString(LPCWSTR section, LPCWSTR entry, LPCWSTR defaultValue = nullptr);
    BOOL WriteProfileInt(LPCWSTR section, LPCWSTR entry, int value);
    // A null entry deletes the whole section; a null value deletes the entry.
    BOOL WriteProfileString(LPCWSTR section, LPCWSTR entry, LPCWSTR value);

    // Opened keys; the caller closes them. Null when no registry key is set.
    HKEY GetAppRegistryKey();
    HKEY GetSectionKey(LPCWSTR section);

    // The run. InitApplication/InitInstance return FALSE to end the program;
    // Run pumps messages until WM_QUIT and returns ExitInstance's result.
    virtual BOOL InitApplication() { return TRUE; }
    virtual BOOL InitInstance() { return TRUE; }
    virtual int Run();
    virtual int ExitInstance();
    // lCount counts the idle calls since the last message; TRUE asks for
    // more. The second call frees the thread's temporary wrappers.
    virtual BOOL OnIdle(LONG lCount);
    virtual BOOL PumpMessage();
    // From the target window up its parents to the main window's top-level
    // window, then the main window itself when the target lies elsewhere.
    virtual BOOL PreTranslateMessage(MSG* pMsg);
    virtual BOOL IsIdleMessage(MSG* pMsg);
    // What AfxMessageBox shows through (owner: the active popup of the main
    // window; caption: the application name).
    virtual int DoMessageBox(LPCWSTR lpszPrompt, UINT nType, UINT nIDPrompt);

    HICON LoadIcon(UINT nIDResource) const;
    HCURSOR LoadStandardCursor(LPCWSTR lpszCursorName) const { return ::LoadCursorW(nullptr, lpszCursorName); }

    LPCWSTR m_pszAppName = nullptr;
    LPCWSTR m_pszRegistryKey = nullptr;
    LPCWSTR m_pszProfileName = nullptr;
    CWnd* m_pMainWnd = nullptr;
    HINSTANCE m_hInstance = nullptr;
    LPWSTR m_lpCmdLine = nullptr;
    int m_nCmdShow = SW_SHOWNORMAL;

private:
    CString m_appName;
    CString m_registryKey;
    CWinApp* m_pPrevApp = nullptr;
};

CWinApp* AfxGetApp();
CWnd* AfxGetMainWnd();
inline LPCWSTR AfxGetAppName() {
    return AfxGetApp() ? AfxGetApp()->m_pszAppName : L"";
}

// The program's main routine: InitApplication, InitInstance, then Run (or
// ExitInstance when InitInstance fails).
int AfxWinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPWSTR lpCmdLine, int nCmdShow);
// One message through the application's pre-translation (or the plain walk
// when there is no application object); FALSE on WM_QUIT.
BOOL AfxPumpMessage();
BOOL AfxPreTranslateMessage(MSG* pMsg);

// Message boxes go through a seam so tests can answer them.
class IAfxMessageBoxSeam {
public:
    virtual ~IAfxMessageBoxSeam() = default;
    virtual int show(HWND hWndOwner, LPCWSTR lpszText, LPCWSTR lpszCaption, UINT nType) = 0;
};
// Null restores the platform's message box; returns the seam set before.
IAfxMessageBoxSeam* AfxSetMessageBoxSeam(IAfxMessageBoxSeam* seam);
int AfxMessageBox(LPCWSTR lpszText, UINT nType = MB_OK, UINT nIDHelp = 0);
int AfxMessageBox(UINT nIDPrompt, UINT nType = MB_OK, UINT nIDHelp = static_cast<UINT>(-1));

// OLE for this thread (uninitialised when AfxWinMain ends).
BOOL AfxOleInit();
// Loads the rich edit 2.0 library once; TRUE when it is there.
BOOL AfxInitRichEdit2();
// Nothing to do here: no ActiveX control is hosted.
inline void AfxEnableControlContainer() {}
