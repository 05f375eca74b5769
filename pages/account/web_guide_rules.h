#pragma once
// The web guide's rules apart from its window: the guide address of a
// type and brand, its title, the OK picture, the layout, and where each
// ending leads.
#include "afx/string.h"

namespace web_guide {

constexpr int kBrowserId = 1596;
constexpr int kCheckId = 1630;
constexpr int kLabelId = 1547;
constexpr int kDialogId = 105;
constexpr int kCurrentLanguage = 99;

// The guide page of a type (0 to 17) for a brand (1 TS, 2 LV, 3 DR) in a
// region and language; empty when the pair has none. Types 2 to 16 follow
// the guide products' table and its site brands; 17 is one fixed page on
// each brand's own site.
CString guideAddress(int type, int brand, const CString& regionCode, const CString& languageCode);
// The update site of a brand: WEB_UPDATE_SITE_<code> of config.json.
CString updateSite(int brand);

int titleTextId(int type);
// The OK button's strip by brand (LV in North America has its own).
unsigned okImageId(int brand, int region);

// Types 0 and 17 carry the "do not show again" box.
bool hasCheckBox(int type);
// Whether showing declines for the stored choices of the brand.
bool declines(int type, bool checkedModelGuide, bool checkedSystemUpdate);

// Where OK (and a declined show) leads.
enum class Route { CAR_CHANGE, BACK, FINISH };
Route routeOf(int type);

struct Rect {
    int x, y, w, h;
};
// Client width and height; the label moves for brand 1 and widens in English.
Rect okRect(int w, int h);
Rect browserRect();
Rect checkRect(int h);
Rect labelRect(int h, int brand, int language);
// The label widened to its text up to 8 pixels before okLeft, and given a
// second line when the text is wider still.
Rect fitLabel(Rect label, int textWidth, int okLeft);
// The check box and its label: when the text does not fit up to the OK
// button, both move towards the page's edge (the box keeps a 10-pixel margin)
// so the label stays on one line; only beyond that does it take a second.
struct CheckRow {
    Rect box, label;
};
CheckRow fitCheckRow(Rect box, Rect label, int textWidth, int okLeft);

}  // namespace web_guide
