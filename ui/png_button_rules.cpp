#include "ui/png_button_rules.h"

#include <cstdlib>

namespace png_button {

int frameIndex(const State& s, int frameCount) {
    if (s.toggle && s.checked) {
        if (s.hover) return 5;
        if (s.pressed) return 6;
        if (!s.enabled) return frameCount == 7 ? 6 : 3;
        return 4;
    }
    if (s.hover) return 1;
    if (s.pressed) return 2;
    if (!s.enabled) return 3;
    return 0;
}

CaptionColour captionColour(const State& s) {
    if (!s.enabled) return COLOUR_DISABLED;
    if (s.checked) {
        if (s.pressed) return COLOUR_CHECKED_PRESSED;
        if (s.hover) return COLOUR_CHECKED_HOVER;
        return COLOUR_CHECKED;
    }
    if (s.pressed) return COLOUR_PRESSED;
    if (s.hover) return COLOUR_HOVER;
    return COLOUR_NORMAL;
}

int iconIndex(bool checked, bool hover, bool pressed, bool enabled) {
    if (!enabled) return 3;
    if (checked) return hover ? 5 : pressed ? 6 : 4;
    return hover ? 1 : pressed ? 2 : 0;
}

int captionLineCount(const CString& caption) {
    if (caption.IsEmpty()) return 0;
    int lines = 1;
    int at = 0;
    while ((at = caption.Find(L'\n', at)) > 0) {
        ++lines;
        ++at;
    }
    return lines;
}

int captionTopShift(int rectHeight, int lineCount, int lineHeight) {
    return (rectHeight - lineCount * lineHeight) / 2;
}

int stretchCap(int imageWidth, int frameWidth) {
    int difference = std::abs(imageWidth - frameWidth);
    return difference < 3 ? difference : 3;
}

}  // namespace png_button
