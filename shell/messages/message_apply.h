#pragma once
// Puts a built message content on the page's controls through the language
// manager, so that a language change shows the same texts again: the
// placeholders first, then each control's first text set and the others
// appended. Values (parameters, built error texts) are set as they are.
#include "shell/messages/message_texts.h"

#include <windows.h>

#include <functional>

class CDLang;

namespace msg {

struct TextTargets {
    // The page's window of a control id; null skips the control.
    std::function<HWND(int control)> window;
    // Sets a value on a control; buttons also take it as their caption.
    // Without it the window text is set.
    std::function<void(int control, const CString& value)> setValue;
};

void applyMessageTexts(CDLang& lang, int dlgId, const MessageContent& content, const TextTargets& targets);

}  // namespace msg
