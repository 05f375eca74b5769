#pragma once
// Where the controls of the notice bar sit, before mirroring: the caption
// takes its measured width within bounds, the notice title the space after
// it, the date a fixed column, the More button the right end.
#include <windows.h>

namespace notice_layout {

struct Box {
    int x, y, width, height;
};

struct Layout {
    int captionWidth;  // measured width, bounded
    Box caption, item, date;
};

Layout layout(int measuredCaptionWidth, int clientWidth, int lastCorp);
Box moreButton(int clientWidth);
// Left of the mark beside the More button, as handed to the window-relative
// image drawing (which mirrors it once more under Arabic).
int markX(const RECT& more, int clientWidth, bool arabic);

constexpr int BAR_HEIGHT = 40;
constexpr COLORREF BAR_COLOUR = 0xBEB9B4;

}  // namespace notice_layout
