#pragma once
// What the window bases do with a key before the dialog sees it. No dialog
// key may close a page or the root: Enter, Esc and Space are dropped, Alt+F4
// becomes the exit request, and Ctrl+Shift+F5 is the hidden-mode door.
#include <windows.h>

namespace key_rules {

enum Action {
    KEY_PASS,            // on to the dialog
    KEY_SWALLOW,         // Enter, Esc, Space
    KEY_EXIT_REQUEST,    // Alt+F4
    KEY_HIDDEN_MODE,     // Ctrl+Shift+F5; the window decides whether it applies
};

// ctrlHeld and shiftHeld are the asynchronous key states at the time.
Action classify(UINT message, WPARAM key, bool ctrlHeld, bool shiftHeld);
// Classifies with the live asynchronous key state.
Action classify(const MSG* msg);

}  // namespace key_rules
