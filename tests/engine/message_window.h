#pragma once
// A message-only window on a pumping thread of its own that records what it
// receives (sent or posted), as a page would: the engine's threads send to
// it and wait, so it must never wait on them itself.
#include <windows.h>

#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

struct recorded_message {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

class MessageWindow {
public:
    // Runs on the window's thread for every message before it is recorded.
    using Handler = std::function<void(UINT, WPARAM, LPARAM)>;

    MessageWindow();
    virtual ~MessageWindow();
    MessageWindow(const MessageWindow&) = delete;
    MessageWindow& operator=(const MessageWindow&) = delete;

    HWND hwnd() const { return m_hwnd; }
    void setHandler(Handler handler);

    std::vector<recorded_message> messages() const;
    size_t count(UINT message, WPARAM wParam, LPARAM lParam) const;
    size_t count(UINT message) const;
    void clear();
    // Waits until pred holds over the recorded messages; false on time-out.
    bool waitFor(const std::function<bool(const std::vector<recorded_message>&)>& pred, DWORD ms) const;
    bool waitForMessage(UINT message, WPARAM wParam, LPARAM lParam, DWORD ms) const;

protected:
    // Closes the window and ends its thread; a derived class calls it first
    // in its destructor, so no message reaches it half destroyed.
    void closeWindow();
    // Runs on the window's thread before the handler.
    virtual void onMessage(UINT, WPARAM, LPARAM) {}

private:
    static LRESULT CALLBACK windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    void run();

    HWND m_hwnd = nullptr;
    std::thread m_thread;
    mutable std::mutex m_lock;
    mutable std::condition_variable m_changed;
    std::vector<recorded_message> m_messages;
    Handler m_handler;
    bool m_ready = false;
};
