#include "foundation/observer_list.h"

#include <algorithm>

void observer_list::add(HWND window) {
    if (!window) return;
    std::lock_guard<std::mutex> lock(m_lock);
    if (std::find(m_windows.begin(), m_windows.end(), window) == m_windows.end()) m_windows.push_back(window);
}

void observer_list::remove(HWND window) {
    std::lock_guard<std::mutex> lock(m_lock);
    m_windows.erase(std::remove(m_windows.begin(), m_windows.end(), window), m_windows.end());
}

std::vector<HWND> observer_list::snapshot() const {
    std::lock_guard<std::mutex> lock(m_lock);
    return m_windows;
}

LRESULT observer_list::send_message_all(UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    for (HWND window : snapshot()) result = SendMessageW(window, message, wParam, lParam);
    return result;
}

BOOL observer_list::post_message_all(UINT message, WPARAM wParam, LPARAM lParam) {
    BOOL result = FALSE;
    for (HWND window : snapshot()) result = PostMessageW(window, message, wParam, lParam);
    return result;
}
