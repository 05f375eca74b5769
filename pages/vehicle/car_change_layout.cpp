#include "pages/vehicle/car_change_layout.h"

#include "foundation/code_tables.h"
#include "pages/vehicle/update_page_layout.h"
#include "resources/resource.h"

namespace car_change_layout {

std::vector<Placement> fixedPlacements(int ch, int headingWidth, int labelWidth) {
    return {
        {IDC_STATIC_CHANGE_VER_TITLE, 50, 16, headingWidth + 50, 25},
        {IDC_STATIC_CHANGE_SEL_TITLE, 50, 146, headingWidth + 50, 20},
        {IDC_STATIC_CHANG_MSG, headingWidth + 55, 70, labelWidth, 20},
        {IDC_SEARCH_MODEL, 50, 15, 260, 40},
        {IDC_SEARCH_CAR, 320, 15, 260, 40},
        {IDC_SEARCH_SW, 590, 15, 260, 40},
        {IDC_STATIC_CAR_LIST_TITLE, 60, 170, 260, 20},
        {IDC_STATIC_DEVICE_LIST_TITLE, 330, 170, 300, 20},
        {IDC_EDIT_CAR_SEARCH, 57, 54, 780, 25},
        {IDC_COMBO_CAR_SEARCH_FRAME, 50, 42, 800, 40},
        {IDC_STATIC_CAR_IMAGE, 50, ch - 252, 260, 180},
        {IDC_STATIC_CAR_SELECT_1, 317, ch - 255, 530, 25},
        {IDC_STATIC_CAR_SELECT_2, 347, ch - 225, 500, 25},
        {IDC_STATIC_CAR_SELECT_3, 347, ch - 194, 500, 25},
    };
}

Placement listPlacement(int listId, int resultRows) {
    switch (listId) {
        case 0: return {0, 50, 198, 260, 130};
        case 1: return {1, 320, 198, 530, 130};
        default: return {2, 50, 88, 800, resultRows == 1 ? 30 : 50};
    }
}

Buttons okCancel(int cw, int ch, bool cancelVisible) {
    const Placement left{0, cw - 460, ch - 132, 200, 50};
    const Placement right{0, cw - 250, ch - 132, 200, 50};
    Buttons b;
    b.ok = cancelVisible ? left : right;
    b.cancel = cancelVisible ? right : left;
    b.ok.id = IDOK;
    b.cancel.id = IDCANCEL;
    return b;
}

Placement linkButton(int cw, int caption, bool arabic, int corp) {
    const int scaled = caption * 106 / 100;
    if (!arabic) return {IDC_BTN_RIGHT_MSG, cw - (scaled + 6) - 50, 18, scaled + 6, 20};
    const int offset = corp == CORP_TS ? -5 : corp == CORP_DR ? 0 : 20;
    const int width = scaled + offset;
    return {IDC_BTN_RIGHT_MSG, cw - width - 45, 18, width, 20};
}

Brand brandFor(int corp, int region) {
    // The highlight is the brand colour the update page uses too.
    const COLORREF colour = update_page_layout::brandFor(corp, region).colour;
    switch (corp) {
        case CORP_TS: return {true, IDB_CAR_SEARCH_STATE_TS, IDB_BUTTON_OK_STRIP, colour};
        case CORP_DR: return {true, IDB_CAR_SEARCH_STATE_DR, IDB_BUTTON_OK_STRIP_DR, colour};
        case CORP_LV:
            if (region == REGION_US || region == REGION_CA)
                return {true, IDB_CAR_SEARCH_STATE_LV_NA, IDB_BUTTON_OK_STRIP_LV_NA, colour};
            return {true, IDB_CAR_SEARCH_STATE_LV, IDB_BUTTON_OK_STRIP_LV, colour};
        default: return {false, 0, 0, colour};
    }
}

int headingSize(int language) { return language == LANGUAGE_KO ? 16 : 14; }

}  // namespace car_change_layout
