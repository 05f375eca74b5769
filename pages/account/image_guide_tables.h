#pragma once
// The image guides' content as data: the pictures, texts and text
// rectangles of the software-model guide (0) and the system-update guide
// (17) by brand, region and language, and the guide's web address.
#include "afx/string.h"

namespace image_guide {

constexpr int kDialogId = 112;

bool isNorthAmerica(int region);

// PNG resource ids; the marker is the same for every guide.
struct Pictures {
    unsigned main, icon1, icon2, icon3, side, marker;
};
// Guides 0 and 17 only (other guide types load no pictures): false then.
bool picturesFor(int type, int brand, int region, int language, Pictures& out);

// Language-library ids of the title and of t0 to t10 (0: no text).
struct Texts {
    int title;
    int t[11];
};
Texts textsFor(int type, int region);

struct Rect {
    int left, top, right, bottom;
};
// r0 to r6; false for a guide type that sets none.
bool rectanglesFor(int type, int brand, int language, Rect (&out)[7]);

// The phrases guide 17 emphasises in its text: red t2 in North America
// (and t3 as well in Canadian French), red t3 elsewhere.
struct Emphasis {
    bool t2Red, t3Red;
};
Emphasis emphasisFor(int region, int language);

// The brand's support page on the maker's site (WEB_MAKER_SITE +
// "/<brand word>/"); empty for a brand without one.
CString supportAddress(int brand);
// The guide's web address: the system guides of types 2 to 16 (the web
// guide's table), guide 17's support page; empty otherwise.
CString guideLink(int type, int brand, const CString& regionCode, const CString& languageCode);

}  // namespace image_guide
