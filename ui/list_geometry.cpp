#include "ui/list_geometry.h"

#include <algorithm>
#include <cstdlib>

namespace list_geometry {

int rowPitch(const CString& style) { return style == L"S" || style == L"SF" ? 25 : 32; }

RECT rowRect(int row, int pitch, int scrollPosition, const RECT& client, int horizontalOffset) {
    int top = row * pitch - scrollPosition;
    return RECT{client.left - horizontalOffset + 1, top + 1, client.right - SCROLL_BAR_WIDTH, top + pitch + 2};
}

int rowAt(int y, int scrollPosition, int pitch, int count) {
    if (y + scrollPosition < 0) return -1;
    int row = (y + scrollPosition) / pitch;
    return row < count ? row : -1;
}

int scrollTarget(int code, int position, const Range& range) {
    int last = range.maximum - range.page;
    switch (code) {
    case SB_LINEUP: return std::max(position - SCROLL_STEP, 0);
    case SB_LINEDOWN: return std::min(position + SCROLL_STEP, last);
    case SB_PAGEUP: return std::max(position - range.page, 0);
    case SB_PAGEDOWN: return std::min(position + range.page, last);
    default: return position;
    }
}

std::vector<int> scrollSteps(int from, int target) {
    std::vector<int> steps;
    int count = std::abs(target - from) / SCROLL_STEP + 1;
    int direction = target < from ? -1 : 1;
    int position = from;
    for (int i = 0; i < count; ++i) {
        position += direction * SCROLL_STEP;
        if ((direction > 0 && position > target) || (direction < 0 && position < target)) position = target;
        steps.push_back(position);
    }
    return steps;
}

Layout layoutFor(int clientHeight, int pitch, int count) {
    int content = pitch * count;
    if (clientHeight < content) return Layout{true, Range{0, std::max(content, pitch), clientHeight}};
    return Layout{false, Range{0, 0, 0}};
}

int ensureVisiblePosition(int row, int pitch, int scrollPosition, int clientBottom) {
    int top = row * pitch - scrollPosition;
    int position = scrollPosition;
    if (top + 1 < 0) {
        position += top + 1;
    } else if (top + pitch + 2 > clientBottom) {
        position += top + pitch + 2 - clientBottom;
    }
    return std::max(position, 0);
}

BarParts barParts(int length, int thickness, const ScrollState& s) {
    BarParts parts{};
    parts.length = length;
    parts.track = std::max(length - 2 * thickness, 0);
    parts.arrowLength = parts.track < 1 ? length / 2 : thickness;
    int units = s.maximum - s.minimum - s.page + 1;
    int thumb = 1;
    if (units != 0 && parts.track > 19) thumb = std::max(parts.track * s.page / (s.maximum - s.minimum + 1), 20);
    if (s.page <= 50) thumb *= 10;
    parts.thumbLength = std::min(thumb, parts.track);
    int position = s.trackPosition != -1 ? s.trackPosition : s.position;
    int free = parts.track - parts.thumbLength;
    parts.thumbTop = parts.arrowLength + (units != 0 ? position * free / units : free / 2);
    return parts;
}

Part hitTest(int along, const BarParts& parts) {
    if (along < 0 || along < parts.arrowLength) return PART_UP;
    if (along < parts.thumbTop) return PART_PAGE_UP;
    if (along < parts.thumbTop + parts.thumbLength) return PART_THUMB;
    if (along < parts.length - parts.arrowLength) return PART_PAGE_DOWN;
    return PART_DOWN;
}

int dragPosition(int startPosition, int delta, const BarParts& parts, const ScrollState& s) {
    int free = parts.track - parts.thumbLength;
    int position = startPosition;
    if (free > 0) position += delta * (s.maximum - s.page - s.minimum + 1) / free;
    return std::clamp(position, s.minimum, std::max(s.maximum - s.page, s.minimum));
}

}  // namespace list_geometry
