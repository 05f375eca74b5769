#include "pages/account/login_layout.h"

#include "foundation/code_tables.h"
#include "resources/resource.h"

#include <algorithm>

namespace {

constexpr int kBrandColumnWidth = 240;
constexpr int kButtonHeight = 54;
constexpr int kNonMemberStep = 135;

void add(std::vector<LoginPlacement>& rows, UINT id, int x, int y, int cx, int cy) {
    rows.push_back({id, x, y, cx, cy, false});
}

void hide(std::vector<LoginPlacement>& rows, UINT id) { rows.push_back({id, 0, 0, 0, 0, true}); }

struct LinkWidths {
    int findDx, findCx, joinDx, joinCx;
};

LinkWidths linkWidths(int language) {
    switch (language) {
        case LANGUAGE_KO: return {-20, 240, 260, 130};
        case LANGUAGE_FR:
        case LANGUAGE_F1: return {0, 290, 310, 130};
        case LANGUAGE_RU: return {-40, 265, 245, 130};
        case LANGUAGE_AR: return {30, 220, 250, 70};
        default: return {0, 240, 260, 130};
    }
}

void addLinks(std::vector<LoginPlacement>& rows, int base, int y, int language) {
    const LinkWidths w = linkWidths(language);
    add(rows, IDC_BUTTON_LINK_FIND_ACC_PWD, base + w.findDx, y, w.findCx, 20);
    add(rows, IDC_BUTTON_LINK_USERJOIN, base + w.joinDx, y, w.joinCx, 20);
}

// The member form of the brand column, which the non-member layout shares.
void addColumnForm(std::vector<LoginPlacement>& rows, const LoginLayoutInput& in) {
    add(rows, IDC_BRAND_IMG, 370, 96, 400, 52);
    add(rows, IDC_STATIC_IDPWD_WRONG, 371, 141, in.width - 742, 55);
    add(rows, IDC_EDIT_ID, 375, 204, 380, 30);
    add(rows, IDC_EDIT_ID_FRAME, 368, 191, 400, 54);
    add(rows, IDC_EDIT_PWD, 375, 264, 380, 30);
    add(rows, IDC_EDIT_PWD_FRAME, 368, 251, 400, 54);
    add(rows, IDC_CHECK_IDSAVE, 380, 323, 20, 20);
    add(rows, IDC_CHECK_IDAUTO, 600, 323, 20, 20);
    add(rows, IDC_BUTTON_LOGIN, 370, in.height - 157 - kButtonHeight, 400, kButtonHeight);
    addLinks(rows, 370, in.height - 130, in.language);
}

void addLoading(std::vector<LoginPlacement>& rows, const LoginLayoutInput& in) {
    add(rows, IDC_STATIC_LOADING1, 15, 370, in.width - 30, 70);
    add(rows, IDC_STATIC_LOADING2, 15, 405, in.width - 30, 30);
}

const UINT kBrandColumn[] = {IDC_BUTTON_TS, IDC_BUTTON_LV, IDC_BUTTON_DR, IDC_BUTTON_NN};
const UINT kNonMember[] = {IDC_BUTTON_NN_TS, IDC_BUTTON_NN_LV, IDC_BUTTON_NN_DR};

}  // namespace

LoginLayout chooseLoginLayout(int region, int rootCorp, bool allBrands, bool dealer) {
    if (region == REGION_US || (region == REGION_RU && rootCorp == CORP_LV)) return LoginLayout::Us;
    if (region == REGION_KR || allBrands || dealer) return LoginLayout::BrandColumn;
    return LoginLayout::NonMember;
}

int loginEditOffset(int corp) { return corp == CORP_TS ? 4 : corp == CORP_DR ? 2 : 0; }

bool checkLabelTwoLines(int language) {
    return language == LANGUAGE_F1 || language == LANGUAGE_ES || language == LANGUAGE_RU;
}

RECT checkLabelRect(const LoginLayoutInput& in, bool saveLabel) {
    // The labels follow the boxes of the layout in use: the US form's boxes
    // sit at 259/464, every other form's at 380/600.
    const bool us = chooseLoginLayout(in.region, in.rootCorp, in.allBrands, in.dealer) == LoginLayout::Us;
    const int base = us ? 249 : 370;
    int x = base + (saveLabel ? 35 : (us ? 240 : 252));
    int y = us ? 299 : 318;
    if (in.corp == CORP_TS) y += 8;
    if (in.corp == CORP_DR) y += 2;
    const bool two = checkLabelTwoLines(in.language);
    if (two) y -= 5;
    const int cx = (saveLabel && in.corp == CORP_TS) ? 180 : 160;
    return RECT{x, y, x + cx, y + (two ? 40 : 30)};
}

DealerButtonStyle dealerButtonStyle(int rootCorp) {
    switch (rootCorp) {
        case CORP_TS: return {565, 565, 98, 16};
        case CORP_LV: return {568, 563, 106, 15};
        case CORP_DR: return {567, 565, 103, 15};
        default: return {567, 565, 98, 16};
    }
}

RECT dealerMarkRect(const RECT& dealerButton, int rootCorp, int markWidth, int markHeight) {
    const int dy = (rootCorp == CORP_LV || rootCorp == CORP_DR) ? 4 : 2;
    const int top = dealerButton.top + dy;
    const int room = std::max(1, static_cast<int>(dealerButton.bottom) - top);
    int width = std::max(1, markWidth);
    int height = std::max(1, markHeight);
    if (height > room) {
        width = std::max(1, width * room / height);
        height = room;
    }
    const int left = dealerButton.right + 10;
    return RECT{left, top, left + width, top + height};
}

std::vector<UINT> nonMemberOrder(int region) {
    const bool tsLast = region == REGION_TR || region == REGION_BR;
    const bool drFirst = region == REGION_EU || region == REGION_RU;
    std::vector<UINT> order;
    if (!tsLast) order.push_back(IDC_BUTTON_NN_TS);
    order.push_back(drFirst ? IDC_BUTTON_NN_DR : IDC_BUTTON_NN_LV);
    order.push_back(drFirst ? IDC_BUTTON_NN_LV : IDC_BUTTON_NN_DR);
    if (tsLast) order.push_back(IDC_BUTTON_NN_TS);
    return order;
}

std::vector<LoginPlacement> loginLayout(const LoginLayoutInput& in) {
    std::vector<LoginPlacement> rows;
    const LoginLayout layout = chooseLoginLayout(in.region, in.rootCorp, in.allBrands, in.dealer);
    addLoading(rows, in);
    if (layout == LoginLayout::Us) {
        const int k = loginEditOffset(in.corp);
        hide(rows, IDC_STATIC_TITLE);
        hide(rows, IDC_STATIC_TITLE_LINE2);
        for (UINT id : kBrandColumn) hide(rows, id);
        for (UINT id : kNonMember) hide(rows, id);
        hide(rows, IDC_STATIC_DEALER);
        add(rows, IDC_BRAND_IMG, 249, 74, 400, 52);
        add(rows, IDC_STATIC_IDPWD_WRONG, 250, 172, in.width - 500, 55);
        add(rows, IDC_EDIT_ID, 254, 184 + k, 380, 30);
        add(rows, IDC_EDIT_ID_FRAME, 249, 172, 400, 52);
        add(rows, IDC_EDIT_PWD, 254, 246 + k, 380, 30);
        add(rows, IDC_EDIT_PWD_FRAME, 249, 234, 400, 52);
        add(rows, IDC_CHECK_IDSAVE, 259, 304, 20, 20);
        add(rows, IDC_CHECK_IDAUTO, 464, 304, 20, 20);
        add(rows, IDC_BUTTON_LOGIN, 249, 360, 400, kButtonHeight);
        add(rows, IDC_BUTTON_LOGIN_NM, 249, 424, 400, kButtonHeight);
        addLinks(rows, 249, 505, in.language);
        return rows;
    }
    if (layout == LoginLayout::BrandColumn) {
        add(rows, IDC_STATIC_TITLE, 0, 0, kBrandColumnWidth, 43);
        add(rows, IDC_STATIC_TITLE_LINE2, 0, 39, kBrandColumnWidth, 43);
        const int ys[] = {156, 247, 338, 429};
        for (int i = 0; i < 4; ++i) add(rows, kBrandColumn[i], 0, ys[i], kBrandColumnWidth, 91);
        add(rows, IDC_BUTTON_NN_TS, 338, 99, 460, 120);
        add(rows, IDC_BUTTON_NN_LV, 338, 234, 460, 120);
        add(rows, IDC_BUTTON_NN_DR, 338, 369, 460, 120);
        hide(rows, IDC_STATIC_DEALER);
        addColumnForm(rows, in);
        return rows;
    }
    if (in.language == LANGUAGE_EN) {
        add(rows, IDC_STATIC_TITLE, 0, 30, 0, 0);
    } else {
        add(rows, IDC_STATIC_TITLE, 0, 30, in.width, 25);
    }
    // A two-line title keeps its top but gets the height of two lines,
    // whatever the language: 25 pixels would show only its first line.
    const int titleHeight = (in.language == LANGUAGE_KO || in.titleTwoLines) ? 50 : 25;
    if (in.language == LANGUAGE_KO || in.language == LANGUAGE_EN) {
        add(rows, IDC_STATIC_TITLE_LINE2, 0, 30, in.width, titleHeight);
    } else {
        add(rows, IDC_STATIC_TITLE_LINE2, 0, 25, in.width, titleHeight);
    }
    for (UINT id : kBrandColumn) hide(rows, id);
    int y = 160;
    for (UINT id : nonMemberOrder(in.region)) {
        add(rows, id, 220, y, 460, 120);
        y += kNonMemberStep;
    }
    const DealerButtonStyle dealer = dealerButtonStyle(in.rootCorp);
    add(rows, IDC_STATIC_DEALER, dealer.x, dealer.y, dealer.cx, 20);
    addColumnForm(rows, in);
    return rows;
}

const LoginPlacement* findPlacement(const std::vector<LoginPlacement>& rows, UINT id) {
    for (const LoginPlacement& row : rows) {
        if (row.id == id) return &row;
    }
    return nullptr;
}

void widenLinks(LoginPlacement& find, LoginPlacement& join, int findNeeds, int joinNeeds, int pageWidth) {
    if (findNeeds <= find.cx && joinNeeds <= join.cx) return;
    find.cx = std::max(find.cx, findNeeds);
    join.cx = std::max(join.cx, joinNeeds);
    join.x = std::max(join.x, find.x + find.cx + 10);
    const int overflow = join.x + join.cx - (pageWidth - 10);
    if (overflow > 0) {
        find.x = std::max(10, find.x - overflow);
        join.x = std::max(find.x + find.cx + 10, join.x - overflow);
    }
}
