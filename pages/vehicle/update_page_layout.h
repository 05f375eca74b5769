#pragma once
// Where the update page puts its controls, by brand, language and the
// measured device name, and its brand's images and colour: tables the page
// and the tests read without a window.
#include "afx/afx.h"

#include <vector>

namespace update_page_layout {

struct Placement {
    int id;
    int x, y, width, height;
};

// Every control at its fixed place for a client of cw by ch; the
// destination text's y follows the brand code.
std::vector<Placement> fixedPlacements(int cw, int ch, const CString& corpCode);
// Device name, device-type and medium lines. measured: the name has just
// been measured (titleWidth wider than one line breaks it in two);
// otherwise the page's second pass after the fixed placements.
std::vector<Placement> titlePlacements(int titleWidth, bool measured);

struct Brand {
    int holdImage;
    int nextImage;
    COLORREF colour;
};
Brand brandFor(int corp, int region);

struct MessageLines {
    bool paused;
    Placement status;
    Placement msg1;
    Placement msg2;
};
// statusWidth and percentWidth: the measured text widths of the status line
// and of the percentage, which stands at the right end of the same row.
MessageLines messageLines(bool paused, int language, int cw, int ch, int statusWidth, int percentWidth);

}  // namespace update_page_layout
