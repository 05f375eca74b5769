#pragma once
// Geometry of the root dialog's 60-pixel header, apart from its window: the
// five title buttons packed from the right edge, the logo chosen by brand,
// language and region, and the boxes of the header and footer texts. The
// Arabic interface mirrors the buttons; the text boxes follow the mirrored
// buttons, so they are given per direction.
#include "afx/string.h"

#include <windows.h>

#include <array>

namespace title_bar {

constexpr int HEADER_HEIGHT = 60;
constexpr int FOOTER_HEIGHT = 30;

// Packing order from the right edge.
enum Button { EXIT = 0, MINI, GUIDE, CONFIG, LOGOUT, BUTTON_COUNT };

struct ButtonSlot {
    bool present = false;  // the button has a window
    SIZE size = {0, 0};
};
struct ButtonPlace {
    bool placed = false;
    int x = 0;
    int y = 0;
};

std::array<ButtonPlace, BUTTON_COUNT> layoutButtons(int clientWidth, const std::array<ButtonSlot, BUTTON_COUNT>& slots,
                                                    bool arabic);

// PNG id of the header logo for a sign-in brand code ("TS", "LV", "DR",
// anything else for none).
UINT logoImageId(const CString& corpCode, bool arabic, int region);

// Boxes (left, top, right, bottom) from the buttons' client rectangles.
RECT subTitleRect(const RECT& logout, const RECT& config, bool arabic);
RECT titleRect(const RECT& logout, const RECT& config, bool arabic);

// The region name shown before sign-in, and the globe before it.
struct RegionNamePlace {
    RECT text;
    bool alignFar;
    int globeX;
};
RegionNamePlace regionNamePlace(const RECT& guide, int nameLength, bool lastCorpIsLuvo, bool arabic);

// Separator positions beside the buttons (the drawing does not mirror them).
int separatorBeforeX(const RECT& button, bool arabic);  // config and logout
int userIconX(const RECT& logout, int iconWidth, bool arabic);

// The footer's two fixed Latin strings, drawn left to right in every
// language: disjoint boxes, mirrored under Arabic, each text kept at the
// window's outer edge by its alignment (0 near = left, 2 far = right).
struct FooterText {
    RECT box;
    int align;
};
FooterText versionPlace(int width, int height, bool arabic);
FooterText rightsPlace(int width, int height, bool arabic);

// The group's one-line rights notice, drawn on the footer.
extern const wchar_t* const RIGHTS_NOTICE;

}  // namespace title_bar
