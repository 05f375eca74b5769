#pragma once
// The page base's rules that need no window: the fitting font size, the
// drive-type caption, the name variant and where the waiting animation sits.
#include "afx/string.h"

#include <functional>

namespace page_rules {

// The largest size from startSize down whose layout needs at most maxLines
// lines; the search stops at 4 (or below the start when it is smaller).
// linesAt gives the number of lines at a size.
int fitFontSizeBy(int startSize, int maxLines, const std::function<int(int size)>& linesAt);

// Language text id of a drive's medium description, or 0 when the
// description itself is the caption. Case-sensitive.
int driveTypeTextId(const CString& mediaType);

constexpr int WAITING_SIZE = 110;
constexpr int WAITING_TOP = 230;
int waitingLeft(int clientWidth, bool arabic);

}  // namespace page_rules
