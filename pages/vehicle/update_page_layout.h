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
// statusWidth: the status line's measured text width.
MessageLines messageLines(bool paused, int language, int ch, int statusWidth);

}  // namespace update_page_layout
