// Start-up helpers of the application: the log folder and the foreground
// window of an already running instance.
#include "foundation/globalfunc.h"

BOOL CGlobalFunc::createDirectoryPath(const CString& path) {
    CString built;
    int start = 0;
    for (;;) {
        int sep = path.Find(L'\\', start);
        CString part = sep < 0 ? path.Mid(start) : path.Mid(start, sep - start);
        if (part.IsEmpty()) return TRUE;
        built += part + L"\\";
        CreateDirectoryW(built.GetString(), nullptr);  // existing levels and roots pass
        if (sep < 0) return TRUE;
        start = sep + 1;
    }
}

void CGlobalFunc::forceForegroundWindow(HWND window) {
    HWND foreground = GetForegroundWindow();
    if (window == foreground) return;
    DWORD target = GetWindowThreadProcessId(window, nullptr);
    DWORD current = GetWindowThreadProcessId(foreground, nullptr);
    bool attached = target != current && AttachThreadInput(target, current, TRUE);
    SetForegroundWindow(window);
    BringWindowToTop(window);
    if (attached) AttachThreadInput(target, current, FALSE);
}
