#pragma once
// Geometry of the list window and its image scroll bar, apart from the
// windows: row pitch and rectangles, hit rows, scroll targets and the
// 25-pixel step sequence, the scroll bar's parts, thumb and hit test.
#include "afx/string.h"

#include <windows.h>

#include <vector>

namespace list_geometry {

constexpr int SCROLL_BAR_WIDTH = 17;
constexpr int SCROLL_STEP = 25;

// 25 pixels in the search styles "S" and "SF", 32 otherwise.
int rowPitch(const CString& style);
// Row i: from the client's left (less the horizontal offset) + 1 to the
// client's right less the scroll bar, from its top + 1 to top + pitch + 2.
RECT rowRect(int row, int pitch, int scrollPosition, const RECT& client, int horizontalOffset);
// The row under y, or -1.
int rowAt(int y, int scrollPosition, int pitch, int count);

struct Range {
    int minimum;
    int maximum;
    int page;
};
// The target of a scroll code (SB_LINEUP .. SB_BOTTOM) from a position.
int scrollTarget(int code, int position, const Range& range);
// The positions the list passes on its way to the target, one redraw each.
std::vector<int> scrollSteps(int from, int target);

struct Layout {
    bool scrollBarShown;
    Range range;  // all 0 when no scrolling is needed
};
Layout layoutFor(int clientHeight, int pitch, int count);
// The scroll position that brings a row into view (the scroll bar shown).
int ensureVisiblePosition(int row, int pitch, int scrollPosition, int clientBottom);

// ---- the scroll bar (along its axis; a horizontal bar swaps the axes)
enum Part {
    PART_NONE = -1,
    PART_UP = 0,
    PART_DOWN = 1,
    PART_PAGE_UP = 2,
    PART_PAGE_DOWN = 3,
    PART_THUMB = 5,
};

struct ScrollState {
    int minimum;
    int maximum;
    int page;
    int position;
    int trackPosition;  // -1 = none
};

struct BarParts {
    int arrowLength;
    int track;       // length between the arrows
    int thumbTop;
    int thumbLength;
    int length;
};
// One thumb length serves drawing and hit testing.
BarParts barParts(int length, int thickness, const ScrollState& state);
Part hitTest(int along, const BarParts& parts);
// The position a drag reaches after moving the pointer by delta pixels.
int dragPosition(int startPosition, int delta, const BarParts& parts, const ScrollState& state);

}  // namespace list_geometry
