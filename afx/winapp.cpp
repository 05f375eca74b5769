// The application's run: the message loop, pre-translation, idle time and
// the program-wide helpers around it.
#include "afx/app.h"

#include "afx/dialog.h"
#include "afx/module.h"
#include "afx/thread_state.h"
#include "afx/wnd.h"

#include <ole2.h>

#include <atomic>

namespace {

std::atomic<IAfxMessageBoxSeam*> g_messageBoxSeam{nullptr};
thread_local bool t_oleInitialised = false;

BOOL preTranslateWithMain(CWnd* pMainWnd, MSG* pMsg) {
    if (CWnd::WalkPreTranslateTree(pMainWnd ? pMainWnd->m_hWnd : nullptr, pMsg)) return TRUE;
    // A message for another top-level window (a modeless dialog) gets a
    // last look from the main window.
    if (pMainWnd) {
        CWnd* pWnd = CWnd::FromHandle(pMsg->hwnd);
        if (pWnd && pWnd->GetTopLevelParent() != pMainWnd) return pMainWnd->PreTranslateMessage(pMsg);
    }
    return FALSE;
}

BOOL pumpOne(CWinApp* app) {
    MSG& msg = AfxGetThreadState()->msgCur;
    if (!::GetMessageW(&msg, nullptr, 0, 0)) return FALSE;
    if (msg.message == WM_KICKIDLE) return TRUE;
    BOOL eaten = app ? app->PreTranslateMessage(&msg) : preTranslateWithMain(nullptr, &msg);
    if (!eaten) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    return TRUE;
}

}  // namespace

CWnd* AfxGetMainWnd() {
    CWinApp* app = AfxGetApp();
    return app ? app->m_pMainWnd : nullptr;
}

BOOL AfxPumpMessage() {
    CWinApp* app = AfxGetApp();
    return app ? app->PumpMessage() : pumpOne(nullptr);
}

BOOL AfxPreTranslateMessage(MSG* pMsg) {
    CWinApp* app = AfxGetApp();
    return app ? app->PreTranslateMessage(pMsg) : preTranslateWithMain(nullptr, pMsg);
}

BOOL CWinApp::PumpMessage() {
    return pumpOne(this);
}

BOOL CWinApp::PreTranslateMessage(MSG* pMsg) {
    return preTranslateWithMain(m_pMainWnd, pMsg);
}

BOOL CWinApp::IsIdleMessage(MSG* pMsg) {
    static thread_local POINT lastPos{-1, -1};
    static thread_local UINT lastMessage = 0;
    // Repeated mouse moves at one place, paints and caret blinks do not
    // restart idle processing.
    if (pMsg->message == WM_MOUSEMOVE || pMsg->message == WM_NCMOUSEMOVE) {
        bool same = pMsg->message == lastMessage && pMsg->pt.x == lastPos.x && pMsg->pt.y == lastPos.y;
        lastPos = pMsg->pt;
        lastMessage = pMsg->message;
        return !same;
    }
    return pMsg->message != WM_PAINT && pMsg->message != 0x0118 /* WM_SYSTIMER */;
}

BOOL CWinApp::OnIdle(LONG lCount) {
    if (lCount <= 0) return TRUE;
    AfxDeleteTempMaps();
    return FALSE;
}

int CWinApp::Run() {
    // No main window: nothing could ever end the loop.
    if (!m_pMainWnd) ::PostQuitMessage(0);
    bool idle = true;
    LONG idleCount = 0;
    MSG peek{};
    for (;;) {
        while (idle && !::PeekMessageW(&peek, nullptr, 0, 0, PM_NOREMOVE)) {
            if (!OnIdle(idleCount++)) idle = false;
        }
        do {
            if (!PumpMessage()) return ExitInstance();
            if (IsIdleMessage(&AfxGetThreadState()->msgCur)) {
                idle = true;
                idleCount = 0;
            }
        } while (::PeekMessageW(&peek, nullptr, 0, 0, PM_NOREMOVE));
    }
}

int CWinApp::ExitInstance() {
    return static_cast<int>(AfxGetThreadState()->msgCur.wParam);
}

HICON CWinApp::LoadIcon(UINT nIDResource) const {
    return ::LoadIconW(AfxGetResourceHandle(), MAKEINTRESOURCEW(nIDResource));
}

int CWinApp::DoMessageBox(LPCWSTR lpszPrompt, UINT nType, UINT) {
    HWND hWndTop = nullptr;
    HWND hWnd = AfxGetSafeOwner(nullptr, &hWndTop);
    if ((nType & MB_ICONMASK) == 0) {
        switch (nType & MB_TYPEMASK) {
        case MB_OK:
        case MB_OKCANCEL: nType |= MB_ICONEXCLAMATION; break;
        case MB_YESNO:
        case MB_YESNOCANCEL: nType |= MB_ICONQUESTION; break;
        default: break;
        }
    }
    IAfxMessageBoxSeam* seam = g_messageBoxSeam.load();
    int result = seam ? seam->show(hWnd, lpszPrompt, m_pszAppName, nType)
                      : ::MessageBoxW(hWnd, lpszPrompt, m_pszAppName, nType);
    if (hWndTop) ::EnableWindow(hWndTop, TRUE);
    return result;
}

IAfxMessageBoxSeam* AfxSetMessageBoxSeam(IAfxMessageBoxSeam* seam) {
    return g_messageBoxSeam.exchange(seam);
}

int AfxMessageBox(LPCWSTR lpszText, UINT nType, UINT nIDHelp) {
    if (CWinApp* app = AfxGetApp()) return app->DoMessageBox(lpszText, nType, nIDHelp);
    IAfxMessageBoxSeam* seam = g_messageBoxSeam.load();
    return seam ? seam->show(nullptr, lpszText, L"", nType) : ::MessageBoxW(nullptr, lpszText, L"", nType);
}

int AfxMessageBox(UINT nIDPrompt, UINT nType, UINT nIDHelp) {
    CString text;
    text.LoadString(nIDPrompt);
    return AfxMessageBox(text.GetString(), nType, nIDHelp == static_cast<UINT>(-1) ? nIDPrompt : nIDHelp);
}

BOOL AfxOleInit() {
    if (t_oleInitialised) return TRUE;
    if (FAILED(::OleInitialize(nullptr))) return FALSE;
    t_oleInitialised = true;
    return TRUE;
}

BOOL AfxInitRichEdit2() {
    // By full path from the system folder, never a planted copy.
    static HMODULE lib = [] {
        wchar_t system[MAX_PATH] = {};
        const UINT n = ::GetSystemDirectoryW(system, MAX_PATH);
        if (n == 0 || n >= MAX_PATH) return static_cast<HMODULE>(nullptr);
        return ::LoadLibraryW((CString(system) + L"\\riched20.dll").GetString());
    }();
    return lib != nullptr;
}

int AfxWinMain(HINSTANCE hInstance, HINSTANCE, LPWSTR lpCmdLine, int nCmdShow) {
    CWinApp* app = AfxGetApp();
    if (!app) return -1;
    app->m_hInstance = hInstance;
    app->m_lpCmdLine = lpCmdLine;
    app->m_nCmdShow = nCmdShow;
    int code = -1;
    if (app->InitApplication()) {
        if (!app->InitInstance()) {
            if (app->m_pMainWnd) app->m_pMainWnd->DestroyWindow();
            code = app->ExitInstance();
        } else {
            code = app->Run();
        }
    }
    AfxDeleteTempMaps();
    if (t_oleInitialised) {
        ::OleUninitialize();
        t_oleInitialised = false;
    }
    return code;
}
