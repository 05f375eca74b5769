#include "foundation/observer_list.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

namespace {

// Message-only windows that record the order they were reached in and
// answer with their own number.
struct Recorder {
    static std::vector<int>& order() {
        static std::vector<int> calls;
        return calls;
    }
    static observer_list*& addOnSend() {
        static observer_list* list = nullptr;
        return list;
    }

    static LRESULT CALLBACK proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == WM_APP + 1) {
            int id = static_cast<int>(GetWindowLongPtrW(window, GWLP_USERDATA));
            order().push_back(id * 1000 + static_cast<int>(wParam) + static_cast<int>(lParam));
            if (addOnSend()) addOnSend()->add(window);  // re-entry while the list is walked
            return id;
        }
        return DefWindowProcW(window, message, wParam, lParam);
    }

    static HWND make(int id) {
        static ATOM atom = [] {
            WNDCLASSW cls{};
            cls.lpfnWndProc = proc;
            cls.hInstance = GetModuleHandleW(nullptr);
            cls.lpszClassName = L"ObserverRecorder";
            return RegisterClassW(&cls);
        }();
        (void)atom;
        HWND window = CreateWindowExW(0, L"ObserverRecorder", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                      GetModuleHandleW(nullptr), nullptr);
        SetWindowLongPtrW(window, GWLP_USERDATA, id);
        return window;
    }
};

void pump() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
}

TEST(ObserverList, EmptyListDoesNothing) {
    observer_list list;
    EXPECT_EQ(list.send_message_all(WM_APP + 1, 0, 0), 0);
    EXPECT_FALSE(list.post_message_all(WM_APP + 1, 0, 0));
}

TEST(ObserverList, WindowsListedOnceInOrder) {
    HWND first = Recorder::make(1), second = Recorder::make(2);
    observer_list list;
    list.add(first);
    list.add(nullptr);
    list.add(second);
    list.add(first);

    Recorder::order().clear();
    EXPECT_EQ(list.send_message_all(WM_APP + 1, 5, 2), 2);  // the last window's answer
    EXPECT_EQ(Recorder::order(), (std::vector<int>{1007, 2007}));

    Recorder::order().clear();
    EXPECT_TRUE(list.post_message_all(WM_APP + 1, 3, 0));
    EXPECT_TRUE(Recorder::order().empty());
    pump();
    EXPECT_EQ(Recorder::order(), (std::vector<int>{1003, 2003}));

    // A destroyed last window: its post fails and that is the result.
    DestroyWindow(second);
    EXPECT_FALSE(list.post_message_all(WM_APP + 1, 0, 0));
    pump();
    DestroyWindow(first);
}

TEST(ObserverList, HandlerMayAddWhileBeingNotified) {
    HWND window = Recorder::make(3);
    observer_list list;
    list.add(window);
    Recorder::addOnSend() = &list;
    Recorder::order().clear();
    EXPECT_EQ(list.send_message_all(WM_APP + 1, 0, 0), 3);
    Recorder::addOnSend() = nullptr;
    EXPECT_EQ(Recorder::order().size(), 1u);
    DestroyWindow(window);
}

// Workers post while the UI thread adds windows: every post lands on a
// window that was listed, and nothing is lost or torn.
TEST(ObserverList, WorkersPostWhileWindowsAreAdded) {
    std::vector<HWND> windows;
    for (int i = 0; i < 40; ++i) windows.push_back(Recorder::make(10 + i));
    observer_list list;
    list.add(windows[0]);
    std::atomic<int> posted{0};
    std::vector<std::thread> workers;
    // Bounded, so that the posts stay below the thread's queue limit.
    for (int t = 0; t < 4; ++t) {
        workers.emplace_back([&] {
            for (int i = 0; i < 50; ++i) {
                if (list.post_message_all(WM_NULL, 0, 0)) ++posted;
                Sleep(0);
            }
        });
    }
    for (HWND window : windows) list.add(window);
    for (auto& w : workers) w.join();
    pump();
    EXPECT_EQ(posted.load(), 200);

    Recorder::order().clear();
    list.send_message_all(WM_APP + 1, 0, 0);
    EXPECT_EQ(Recorder::order().size(), windows.size());
    for (HWND window : windows) DestroyWindow(window);
}

}  // namespace
