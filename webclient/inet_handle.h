#pragma once
// Owners of WinINet handles (Internet, connection, request and URL handles).
#include "afx/handle.h"

#include <wininet.h>

#include <atomic>

struct InternetHandleTraits {
    using Type = HINTERNET;
    static Type invalid() { return nullptr; }
    static void close(Type h) { InternetCloseHandle(h); }
};
using UniqueInternetHandle = UniqueHandle<InternetHandleTraits>;

// A handle that another thread may close to abort a transfer: whoever takes
// it out first closes it, so it is closed exactly once.
using InternetHandleSlot = std::atomic<HINTERNET>;

inline void closeInternetHandleSlot(InternetHandleSlot& slot) {
    HINTERNET old = slot.exchange(nullptr);
    if (old) InternetCloseHandle(old);
}
