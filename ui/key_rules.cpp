#include "ui/key_rules.h"

namespace key_rules {

Action classify(UINT message, WPARAM key, bool ctrlHeld, bool shiftHeld) {
    if (message != WM_KEYDOWN && message != WM_SYSKEYDOWN) return KEY_PASS;
    if (message == WM_KEYDOWN && (key == VK_RETURN || key == VK_ESCAPE || key == VK_SPACE)) return KEY_SWALLOW;
    if (message == WM_SYSKEYDOWN && key == VK_F4) return KEY_EXIT_REQUEST;
    if (key == VK_F5 && ctrlHeld && shiftHeld) return KEY_HIDDEN_MODE;
    return KEY_PASS;
}

Action classify(const MSG* msg) {
    if (!msg) return KEY_PASS;
    bool ctrl = (GetAsyncKeyState(VK_CONTROL) & 0x8000) != 0;
    bool shift = (GetAsyncKeyState(VK_SHIFT) & 0x8000) != 0;
    return classify(msg->message, msg->wParam, ctrl, shift);
}

}  // namespace key_rules
