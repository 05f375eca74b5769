#include "tests/ui_controls/window_support.h"

#include "foundation/code_tables.h"
#include "foundation/private_messages.h"
#include "foundation/regsetting.h"

namespace ui_test {

namespace {

std::vector<std::pair<HWND, int>>* g_paints = nullptr;

void notePaint(HWND hwnd) {
    if (!g_paints) return;
    for (auto& entry : *g_paints) {
        if (entry.first == hwnd) {
            ++entry.second;
            return;
        }
    }
    g_paints->push_back({hwnd, 1});
}

POINT screenPoint(HWND hwnd, int x, int y) {
    POINT p{x, y};
    ClientToScreen(hwnd, &p);
    return p;
}

void sendMouse(DWORD flags, POINT at, DWORD data = 0) {
    INPUT input{};
    input.type = INPUT_MOUSE;
    int w = GetSystemMetrics(SM_CXSCREEN) - 1;
    int h = GetSystemMetrics(SM_CYSCREEN) - 1;
    input.mi.dx = (at.x * 65535 + w / 2) / w;
    input.mi.dy = (at.y * 65535 + h / 2) / h;
    input.mi.mouseData = data;
    input.mi.dwFlags = flags | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_MOVE;
    SendInput(1, &input, sizeof(input));
}

void sendKey(WORD vk, bool up) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = vk;
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    SendInput(1, &input, sizeof(input));
}

}  // namespace

void countPaints(std::vector<std::pair<HWND, int>>* counter) { g_paints = counter; }

void pump(DWORD forMs) {
    DWORD start = GetTickCount();
    do {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_PAINT) notePaint(msg.hwnd);
            if (!CWnd::WalkPreTranslateTree(nullptr, &msg)) {
                TranslateMessage(&msg);
                DispatchMessageW(&msg);
            }
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    } while (GetTickCount() - start < forMs);
}

bool pumpUntil(const std::function<bool()>& done, DWORD maxMs) {
    DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start >= maxMs) return false;
        pump(10);
    }
    return true;
}

void moveMouse(HWND hwnd, int x, int y) {
    sendMouse(0, screenPoint(hwnd, x, y));
    pump(30);
}

void press(HWND hwnd, int x, int y) {
    POINT at = screenPoint(hwnd, x, y);
    sendMouse(0, at);
    pump(10);
    sendMouse(MOUSEEVENTF_LEFTDOWN, at);
    pump(30);
}

void release(HWND hwnd, int x, int y) {
    sendMouse(MOUSEEVENTF_LEFTUP, screenPoint(hwnd, x, y));
    pump(30);
}

void click(HWND hwnd, int x, int y, bool doubleClick) {
    press(hwnd, x, y);
    release(hwnd, x, y);
    if (doubleClick) {
        POINT at = screenPoint(hwnd, x, y);
        sendMouse(MOUSEEVENTF_LEFTDOWN, at);
        sendMouse(MOUSEEVENTF_LEFTUP, at);
        pump(50);
    }
}

void wheel(HWND hwnd, int x, int y, int delta) {
    POINT at = screenPoint(hwnd, x, y);
    sendMouse(0, at);
    pump(10);
    sendMouse(MOUSEEVENTF_WHEEL, at, static_cast<DWORD>(delta));
    pump(80);
}

void key(WORD vk, bool ctrl) {
    if (ctrl) sendKey(VK_CONTROL, false);
    sendKey(vk, false);
    sendKey(vk, true);
    if (ctrl) sendKey(VK_CONTROL, true);
    pump(40);
}

void typeText(const wchar_t* text) {
    for (const wchar_t* c = text; *c; ++c) {
        SHORT scan = VkKeyScanW(*c);
        bool shift = (scan >> 8) & 1;
        if (shift) sendKey(VK_SHIFT, false);
        sendKey(LOBYTE(scan), false);
        sendKey(LOBYTE(scan), true);
        if (shift) sendKey(VK_SHIFT, true);
        pump(20);
    }
}

BEGIN_MESSAGE_MAP(HostWindow, CWnd)
    ON_MESSAGE(UM_LIST_SELECT, &HostWindow::OnListSelect)
    ON_MESSAGE(UM_EDIT_ENTER, &HostWindow::OnEditEnter)
    ON_WM_ERASEBKGND()
END_MESSAGE_MAP()

BOOL HostWindow::create(int width, int height, const wchar_t* title) {
    LPCWSTR className = AfxRegisterWndClass(CS_DBLCLKS, LoadCursorW(nullptr, IDC_ARROW));
    RECT r{0, 0, width, height};
    AdjustWindowRectEx(&r, WS_POPUP | WS_BORDER, FALSE, 0);
    BOOL ok = CreateEx(0, className, title, WS_POPUP | WS_BORDER | WS_VISIBLE | WS_CLIPCHILDREN, 20, 20,
                       r.right - r.left, r.bottom - r.top, nullptr, nullptr);
    if (ok) {
        // The first key of a fresh display session can get lost while the
        // keyboard is set up: a harmless Shift goes first, once.
        static bool warmedUp = false;
        if (!warmedUp) {
            warmedUp = true;
            sendKey(VK_SHIFT, false);
            sendKey(VK_SHIFT, true);
            pump(300);
        }
        // Input goes to the foreground window; the first window of a process
        // may take a moment to get there on the test display.
        for (int i = 0; i < 20 && ::GetForegroundWindow() != m_hWnd; ++i) {
            SetForegroundWindow();
            SetActiveWindow();
            pump(50);
        }
        pump(100);
    }
    return ok;
}

int HostWindow::count(UINT message, int code) const {
    int n = 0;
    for (const auto& notice : notices) n += notice.message == message && (code < 0 || notice.code == code);
    return n;
}

BOOL HostWindow::OnCommand(WPARAM wParam, LPARAM lParam) {
    // What reflection leaves over reaches the page; record exactly that.
    if (lParam && ReflectLastMsg(reinterpret_cast<HWND>(lParam))) return TRUE;
    notices.push_back({WM_COMMAND, LOWORD(wParam), HIWORD(wParam), ::GetCapture()});
    return TRUE;
}

LRESULT HostWindow::OnListSelect(WPARAM wParam, LPARAM) {
    notices.push_back({UM_LIST_SELECT, static_cast<int>(wParam), 0, ::GetCapture()});
    return 0;
}

LRESULT HostWindow::OnEditEnter(WPARAM, LPARAM) {
    notices.push_back({UM_EDIT_ENTER, 0, 0, ::GetCapture()});
    return 0;
}

BOOL HostWindow::OnEraseBkgnd(CDC* dc) {
    RECT client{};
    GetClientRect(&client);
    CBrush brush(m_background);
    FillRect(dc->GetSafeHdc(), &client, brush);
    return TRUE;
}

LanguageScope::LanguageScope(int language)
    : m_region(CRegSetting::getRegion()), m_language(CRegSetting::getLanguage()) {
    apply(language);
}

LanguageScope::~LanguageScope() {
    CRegSetting::setRegion(m_region);
    CRegSetting::setLanguage(m_language);
}

void LanguageScope::apply(int language) {
    int region = language == LANGUAGE_KO ? REGION_KR : language == LANGUAGE_AR ? REGION_ME : REGION_US;
    CRegSetting::setRegion(region);
    CRegSetting::setLanguage(language);
}

}  // namespace ui_test
