#pragma once
// Shared by the control tests and the gallery: a host window that records
// what its controls tell it, a message loop that runs PreTranslateMessage
// like the application's, real input through SendInput, and the interface
// language for one scope.
#include "afx/ctrl.h"

#include <functional>
#include <vector>

namespace ui_test {

// Runs the thread's messages for a while; PreTranslateMessage first, as the
// application's loop does. Counts WM_PAINT per window when asked.
void pump(DWORD forMs = 50);
// Pumps until the condition holds or the time is up: input sent through
// the display can take longer than a fixed pause on a busy machine.
bool pumpUntil(const std::function<bool()>& done, DWORD maxMs = 2000);
void countPaints(std::vector<std::pair<HWND, int>>* counter);

// Real input, in screen coordinates of a window's client point.
void moveMouse(HWND hwnd, int x, int y);
void click(HWND hwnd, int x, int y, bool doubleClick = false);
void press(HWND hwnd, int x, int y);
void release(HWND hwnd, int x, int y);
void wheel(HWND hwnd, int x, int y, int delta);
void key(WORD vk, bool ctrl = false);
void typeText(const wchar_t* text);

struct Notice {
    UINT message;  // WM_COMMAND, UM_LIST_SELECT, UM_EDIT_ENTER
    int id;
    int code;
    HWND capture;  // who held the mouse when it arrived
};

// A top-level window that hosts the controls and records their notices.
class HostWindow : public CWnd {
public:
    BOOL create(int width, int height, const wchar_t* title = L"Controls");
    std::vector<Notice> notices;
    int count(UINT message, int code = -1) const;
    COLORREF m_background = RGB(255, 255, 255);

protected:
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    LRESULT OnListSelect(WPARAM wParam, LPARAM lParam);
    LRESULT OnEditEnter(WPARAM wParam, LPARAM lParam);
    BOOL OnEraseBkgnd(CDC* dc);
    DECLARE_MESSAGE_MAP()
};

// The interface language (and a region that admits it) for one scope.
class LanguageScope {
public:
    explicit LanguageScope(int language);
    ~LanguageScope();
    static void apply(int language);

private:
    int m_region;
    int m_language;
};

}  // namespace ui_test
