#include "shell/messages/message_apply.h"

#include "ui/dlang.h"

namespace msg {

void applyMessageTexts(CDLang& lang, int dlgId, const MessageContent& content, const TextTargets& targets) {
    for (const Placeholder& p : content.placeholders) lang.setTextParam(p.id, p.name, p.value);
    for (const auto& [control, texts] : content.controls) {
        HWND window = targets.window ? targets.window(control) : nullptr;
        if (!window) continue;
        if (texts.isValue) {
            if (targets.setValue) {
                targets.setValue(control, texts.value);
            } else {
                SetWindowTextW(window, texts.value.GetString());
            }
            continue;
        }
        bool first = true;
        for (int id : texts.ids) {
            if (id == kTextSpace) {
                // A line of its own that the folder box covers; not a language text.
                SetWindowTextW(window, L" ");
            } else if (first) {
                lang.setText(dlgId, window, id);
            } else {
                lang.appendText(dlgId, window, id);
            }
            first = false;
        }
    }
}

}  // namespace msg
