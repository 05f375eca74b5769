#pragma once
// Drives Kestrune.exe from outside: starts it, finds its windows by process,
// clicks and types with SendInput, and reads and writes its registry key.
#include "afx/afx.h"

#include <functional>
#include <vector>

namespace driver {

// HKCU\Software\Corvessa\Kestrune and its sections.
extern const wchar_t* const kAppKey;
void resetSettings(const CString& region = L"US", const CString& language = L"en-US");
void setAppDword(const wchar_t* section, const wchar_t* name, DWORD value);
DWORD appDword(const wchar_t* section, const wchar_t* name, DWORD fallback);
CString appString(const wchar_t* section, const wchar_t* name);

class Program {
public:
    Program() = default;
    ~Program();
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    bool start();
    bool running() const;
    // True when the process ended within ms.
    bool waitExit(DWORD ms) const;
    void kill();
    DWORD pid() const { return m_pi.dwProcessId; }

    std::vector<HWND> windows(bool visibleOnly) const;
    // The first top-level window of the process that matches, within ms.
    HWND waitWindow(const std::function<bool(HWND)>& match, DWORD ms) const;
    HWND waitRoot(DWORD ms) const;  // the visible 900 x 680 window

private:
    PROCESS_INFORMATION m_pi{};
};

bool waitUntil(const std::function<bool()>& done, DWORD ms);
CString windowText(HWND hwnd);
// A visible descendant of parent with the control id, or null.
HWND findVisibleControl(HWND parent, int id);
// The visible page of the root that holds the control id (shown or not).
HWND visiblePageWith(HWND root, int id);

void clickAt(int x, int y);
void clickControl(HWND control);
// Alt+F4 to the window (brought to the front first).
void altF4(HWND window);

}  // namespace driver
