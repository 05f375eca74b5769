#pragma once
// The state rules of the two skinned buttons, apart from their windows:
// which frame of a strip shows, which caption colour applies, and where a
// caption of several lines starts.
#include "afx/string.h"

namespace png_button {

// Index into CPngButton's seven caption colours.
enum CaptionColour {
    COLOUR_NORMAL = 0,
    COLOUR_HOVER = 1,
    COLOUR_PRESSED = 2,
    COLOUR_DISABLED = 3,
    COLOUR_CHECKED_HOVER = 4,
    COLOUR_CHECKED_PRESSED = 5,
    COLOUR_CHECKED = 6,
};

struct State {
    bool toggle;   // a check button (more than 6 frames)
    bool checked;
    bool hover;
    bool pressed;
    bool enabled;
};

// Frame of the strip; hover wins over pressed.
int frameIndex(const State& state, int frameCount);
// The checked flag counts here also for plain buttons.
CaptionColour captionColour(const State& state);
// Frame of CPngWithTextButton's 7-frame icon strip.
int iconIndex(bool checked, bool hover, bool pressed, bool enabled);
// 0 for an empty caption, else 1 plus each "\n" after the first character
// (a "\n" in first place ends the count).
int captionLineCount(const CString& caption);
// How far the caption rectangle's top moves down to centre its lines.
int captionTopShift(int rectHeight, int lineCount, int lineHeight);
// The end caps kept when a button is stretched wider than its strip.
int stretchCap(int imageWidth, int frameWidth);

}  // namespace png_button
