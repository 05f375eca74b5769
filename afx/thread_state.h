#pragma once
// Per-thread state of the window layer: the creation hook, the handle maps
// and the message being handled. Handle maps are per thread, as windows are.
// Internal to afx/.
#include <windows.h>

#include <unordered_map>

class CWnd;
class CDC;
class CGdiObject;

// A window printing its client area into a DC it was handed (WM_PRINTCLIENT):
// its CPaintDC draws there instead of beginning a paint.
struct AfxPrintTarget {
    HWND hWnd;
    HDC hDC;
    AfxPrintTarget* prev;
};

struct AfxThreadState {
    HHOOK hHookCbt = nullptr;
    CWnd* pWndInit = nullptr;  // the object whose window is being created
    std::unordered_map<HWND, CWnd*> permanentWnd;
    std::unordered_map<HWND, CWnd*> temporaryWnd;
    std::unordered_map<HDC, CDC*> temporaryDC;
    std::unordered_map<HGDIOBJ, CGdiObject*> temporaryGdi;
    MSG lastSentMsg{};         // for Default()
    MSG msgCur{};              // the message the loop pumped last
    AfxPrintTarget* printTarget = nullptr;
};

// Never null; lives as long as the process (late global destructors may
// still unregister windows).
AfxThreadState* AfxGetThreadState();

void afxDeleteTempDCs(AfxThreadState* state);
void afxDeleteTempGdiObjects(AfxThreadState* state);
