#include "foundation/message_pump.h"

#include <algorithm>

namespace {

constexpr DWORD kSliceMs = 50;

}  // namespace

void waitPumpingMessages(DWORD milliseconds) {
    const ULONGLONG start = GetTickCount64();
    bool quitSeen = false;
    WPARAM quitCode = 0;
    for (;;) {
        ULONGLONG elapsed = GetTickCount64() - start;
        if (elapsed >= milliseconds) break;
        DWORD slice = static_cast<DWORD>(std::min<ULONGLONG>(kSliceMs, milliseconds - elapsed));
        if (quitSeen) {
            // Taking messages now would only find the quit again.
            Sleep(slice);
            continue;
        }
        MsgWaitForMultipleObjectsEx(0, nullptr, slice, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                quitSeen = true;
                quitCode = msg.wParam;
                break;
            }
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
    if (quitSeen) PostQuitMessage(static_cast<int>(quitCode));
}
