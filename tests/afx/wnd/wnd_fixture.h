#pragma once
// Helpers of the window-layer tests: pumping the thread's messages the way
// the application's loop does, real keyboard input, an ordered trace.
#include "afx/afx.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

// Pumps messages through the application's pre-translation until done()
// holds or the time-out passes; false on time-out.
bool pumpUntil(const std::function<bool()>& done, DWORD timeoutMs = 3000);
// Pumps for a while (lets the display settle).
void pumpFor(DWORD ms);
// A key press and release through the system's input queue.
void pressKey(WORD vk);
// Makes top the foreground window and focuses control; true when both hold.
bool focusControl(CWnd& top, CWnd& control);
// Removes what a test leaves in the queue (WM_QUIT after a main window went).
void drainQueue();
// Saves the window's pixels as <build>/screenshots/<name>.png and appends a
// line to index.txt saying what the picture should show.
bool saveScreenshot(CWnd& wnd, const wchar_t* name, const char* shows);

struct Trace {
    std::vector<std::string> items;
    void add(const std::string& s) { items.push_back(s); }
};

// The application object of one test; it stands in for the test program's
// own while it lives.
class ScopedApp : public CWinApp {
public:
    ScopedApp() : CWinApp(L"KestruneWndTest") {}
};
