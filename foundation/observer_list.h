#pragma once
// The windows a transfer manager notifies. The UI thread adds windows while
// the managers' worker threads post to them, so the list is guarded and
// every walk goes over a copy: a handler may add a window while it is sent
// a notification.
#include <windows.h>

#include <mutex>
#include <vector>

class observer_list {
public:
    // Null and already listed windows are ignored.
    void add(HWND window);
    // A window that is not listed is ignored.
    void remove(HWND window);
    // SendMessage to every window in the order they were added; the last
    // window's result, 0 for an empty list.
    LRESULT send_message_all(UINT message, WPARAM wParam, LPARAM lParam);
    // PostMessage to every window; the last post's result, 0 for an empty list.
    BOOL post_message_all(UINT message, WPARAM wParam, LPARAM lParam);

private:
    std::vector<HWND> snapshot() const;

    mutable std::mutex m_lock;
    std::vector<HWND> m_windows;
};
