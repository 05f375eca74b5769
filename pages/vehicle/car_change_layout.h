#pragma once
// Where the vehicle search page puts its controls, and its brand's images
// and highlight colour: tables the page and the tests read without a window.
#include "afx/afx.h"

#include <vector>

namespace car_change_layout {

struct Placement {
    int id;
    int x, y, width, height;
};

// The controls at fixed places for a client height ch. headingWidth is the
// measured width of the search heading (1588), labelWidth that of the label
// beside it (1592).
std::vector<Placement> fixedPlacements(int ch, int headingWidth, int labelWidth);

// The list windows: 0 the car list, 1 the device list, 2 the result list
// (30 pixels high for exactly one row, else 50).
Placement listPlacement(int listId, int resultRows);

// OK and Cancel along the bottom; OK takes Cancel's place while Cancel is
// hidden.
struct Buttons {
    Placement ok;
    Placement cancel;
};
Buttons okCancel(int cw, int ch, bool cancelVisible);

// The link to the image guide, right-aligned on the first row; caption is
// the measured pixel width of its text.
Placement linkButton(int cw, int caption, bool arabic, int corp);

struct Brand {
    bool known;        // a brand with its own images; others keep theirs
    int stateImage;    // the three search-state toggles (7 frames)
    int okImage;
    COLORREF highlight;  // the typed part of result rows
};
Brand brandFor(int corp, int region);

// The heading above the search box is larger in Korean.
int headingSize(int language);

}  // namespace car_change_layout
