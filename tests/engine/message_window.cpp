#include "tests/engine/message_window.h"

#include <chrono>

namespace {

const wchar_t kClassName[] = L"KestruneEngineTestWindow";

void registerClassOnce() {
    static bool registered = [] {
        WNDCLASSW wc{};
        wc.lpfnWndProc = DefWindowProcW;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = kClassName;
        return RegisterClassW(&wc) != 0;
    }();
    (void)registered;
}

}  // namespace

MessageWindow::MessageWindow() {
    registerClassOnce();
    m_thread = std::thread([this] { run(); });
    std::unique_lock<std::mutex> hold(m_lock);
    m_changed.wait(hold, [this] { return m_ready; });
}

MessageWindow::~MessageWindow() {
    closeWindow();
}

void MessageWindow::closeWindow() {
    if (!m_thread.joinable()) return;
    if (m_hwnd) PostMessageW(m_hwnd, WM_CLOSE, 0, 0);
    m_thread.join();
}

void MessageWindow::run() {
    HWND hwnd = CreateWindowExW(0, kClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, GetModuleHandleW(nullptr),
                                nullptr);
    if (hwnd) {
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&MessageWindow::windowProc));
    }
    {
        std::lock_guard<std::mutex> hold(m_lock);
        m_hwnd = hwnd;
        m_ready = true;
    }
    m_changed.notify_all();
    if (!hwnd) return;
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

LRESULT CALLBACK MessageWindow::windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<MessageWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (message == WM_CLOSE) {
        DestroyWindow(hwnd);
        return 0;
    }
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    if (self && message >= WM_USER) {
        self->onMessage(message, wParam, lParam);
        Handler handler;
        {
            std::lock_guard<std::mutex> hold(self->m_lock);
            handler = self->m_handler;
        }
        if (handler) handler(message, wParam, lParam);
        {
            std::lock_guard<std::mutex> hold(self->m_lock);
            self->m_messages.push_back({message, wParam, lParam});
        }
        self->m_changed.notify_all();
        return 0;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

void MessageWindow::setHandler(Handler handler) {
    std::lock_guard<std::mutex> hold(m_lock);
    m_handler = std::move(handler);
}

std::vector<recorded_message> MessageWindow::messages() const {
    std::lock_guard<std::mutex> hold(m_lock);
    return m_messages;
}

size_t MessageWindow::count(UINT message, WPARAM wParam, LPARAM lParam) const {
    size_t n = 0;
    for (const auto& m : messages()) n += m.message == message && m.wParam == wParam && m.lParam == lParam;
    return n;
}

size_t MessageWindow::count(UINT message) const {
    size_t n = 0;
    for (const auto& m : messages()) n += m.message == message;
    return n;
}

void MessageWindow::clear() {
    std::lock_guard<std::mutex> hold(m_lock);
    m_messages.clear();
}

bool MessageWindow::waitFor(const std::function<bool(const std::vector<recorded_message>&)>& pred, DWORD ms) const {
    std::unique_lock<std::mutex> hold(m_lock);
    return m_changed.wait_for(hold, std::chrono::milliseconds(ms), [&] { return pred(m_messages); });
}

bool MessageWindow::waitForMessage(UINT message, WPARAM wParam, LPARAM lParam, DWORD ms) const {
    return waitFor(
        [&](const std::vector<recorded_message>& all) {
            for (const auto& m : all) {
                if (m.message == message && m.wParam == wParam && m.lParam == lParam) return true;
            }
            return false;
        },
        ms);
}
