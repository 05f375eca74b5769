#pragma once
// Where the login page puts its controls: the three layouts (US, brand
// column, non-member) as data, chosen from the region, the root's brand and
// the page's modes. Client coordinates of the 900 x 590 page before the
// language manager mirrors them for Arabic. Pure: the page and the tests
// read the same rows.
#include <windows.h>

#include <vector>

enum class LoginLayout { Us, BrandColumn, NonMember };

struct LoginLayoutInput {
    int region = 1;
    int rootCorp = 0;  // the root's brand
    int corp = 0;      // the brand the page shows
    int language = 2;
    bool allBrands = false;
    bool dealer = false;
    // The title text holds a line break: its static needs two lines.
    bool titleTwoLines = false;
    int width = 900;
    int height = 590;
};

struct LoginPlacement {
    UINT id;
    int x, y, cx, cy;
    bool hidden;  // the layout hides the control (its rectangle is then zero)
};

LoginLayout chooseLoginLayout(int region, int rootCorp, bool allBrands, bool dealer);

// Every control the layout places or hides, in one row each; controls the
// layout leaves where they are have no row.
std::vector<LoginPlacement> loginLayout(const LoginLayoutInput& in);

// The row of one control, or null.
const LoginPlacement* findPlacement(const std::vector<LoginPlacement>& rows, UINT id);

// The vertical offset of the edits in the US layout: 4 TS, 2 DR, else 0.
int loginEditOffset(int corp);

// The two check-box labels: two lines for F1, ES and RU.
bool checkLabelTwoLines(int language);
RECT checkLabelRect(const LoginLayoutInput& in, bool saveLabel);

// Dealer button by the root's brand: x, width and font size; y 565, or 563
// for LV.
struct DealerButtonStyle {
    int x, y, cx, fontSize;
};
DealerButtonStyle dealerButtonStyle(int rootCorp);

// Where the mark beside "Dealer Login" goes: 10 pixels after the button,
// 4 (LV, DR) or 2 pixels below its top, and no lower than the button's row,
// so that it never runs off the page into the footer. A mark taller than
// the room is scaled down, keeping its proportions.
RECT dealerMarkRect(const RECT& dealerButton, int rootCorp, int markWidth, int markHeight);

// The non-member buttons of the non-member layout, top to bottom.
std::vector<UINT> nonMemberOrder(int region);

// The two links of a layout, widened where their texts need more than the
// table gives even at the smallest size: a link keeps its start and grows,
// the sign-up link stays 10 pixels after the find-account link, and both
// move back as far as they would pass the page's right margin of 10.
void widenLinks(LoginPlacement& find, LoginPlacement& join, int findNeeds, int joinNeeds, int pageWidth);
