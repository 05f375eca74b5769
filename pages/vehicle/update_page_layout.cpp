#include "pages/vehicle/update_page_layout.h"

#include "foundation/code_tables.h"
#include "resources/resource.h"

#include <algorithm>

namespace update_page_layout {

std::vector<Placement> fixedPlacements(int cw, int ch, const CString& corpCode) {
    const int pathY = corpCode == L"DR" ? 249 : corpCode == L"TS" ? 252 : 248;
    return {
        {IDC_STATIC_CAR_TITLE_1, 510, 50, 420, 25},
        {IDC_STATIC_CAR_TITLE_2_1, 510, 80, 420, 25},
        {IDC_STATIC_CAR_TITLE_2, 510, 110, 420, 25},
        {IDC_STATIC_CAR_TITLE_3, 544, 213, 300, 20},
        {IDC_STATIC_CAR_SAVE_PATH, 514, pathY, 300, 20},
        {IDC_EDIT_SAVE_PATH, 510, 239, 340, 37},
        {IDC_STATIC_CAR_IMAGE, 160, 50, 340, 223},
        {IDC_PROGRESS_UPDATE, 160, 358, cw - 210, 13},
        {IDC_STATIC_DOWNLOADED, 170, ch - 205, 330, 20},
        {IDC_STATIC_TRANSFER_RATE, 170, ch - 185, 330, 20},
        {IDC_STATIC_FILE_TIME, 513, ch - 205, 350, 20},
        {IDC_STATIC_FILE_COPY, 513, ch - 185, 345, 20},
        {IDC_BUTTON_UPDATE_CANCEL, cw - 250, ch - 135, 200, 50},
        {IDC_BUTTON_HOLD, cw - 270, ch - 135, 220, 50},
        {IDC_BUTTON_UPDATE_NEXT, cw - 460, ch - 135, 200, 60},
    };
}

std::vector<Placement> titlePlacements(int titleWidth, bool measured) {
    const bool twoLines = titleWidth > 360;
    if (measured) {
        if (twoLines) {
            return {{IDC_STATIC_CAR_TITLE_1, 510, 50, titleWidth, 50},
                    {IDC_STATIC_CAR_TITLE_2_1, 540, 105, 330, 25},
                    {IDC_STATIC_CAR_TITLE_2, 540, 135, 350, 25}};
        }
        return {{IDC_STATIC_CAR_TITLE_1, 510, 50, 360, 25},
                {IDC_STATIC_CAR_TITLE_2_1, 540, 80, 330, 25},
                {IDC_STATIC_CAR_TITLE_2, 540, 110, 350, 25}};
    }
    if (!twoLines) {
        return {{IDC_STATIC_CAR_TITLE_1, 510, 50, 360, 25},
                {IDC_STATIC_CAR_TITLE_2_1, 510, 80, 360, 25},
                {IDC_STATIC_CAR_TITLE_2, 510, 110, 380, 25}};
    }
    return {{IDC_STATIC_CAR_TITLE_1, 510, 50, titleWidth, 50},
            {IDC_STATIC_CAR_TITLE_2_1, 510, 105, 360, 25},
            {IDC_STATIC_CAR_TITLE_2, 510, 135, 380, 25}};
}

Brand brandFor(int corp, int region) {
    if (corp == CORP_DR) return {IDB_UPDATE_HOLD_DR, IDB_BUTTON_OK_STRIP_DR, 0x5F2C00};
    if (corp == CORP_LV) {
        if (region == REGION_US || region == REGION_CA) return {IDB_UPDATE_HOLD_LV_NA, IDB_BUTTON_OK_STRIP_LV_NA, 0x2B16BB};
        return {IDB_UPDATE_HOLD_LV, IDB_BUTTON_OK_STRIP_LV, 0x2900EA};
    }
    return {IDB_UPDATE_HOLD_TS, IDB_BUTTON_OK_STRIP, 0x4F6BA3};
}

MessageLines messageLines(bool paused, int language, int cw, int ch, int statusWidth, int percentWidth) {
    MessageLines lines{};
    lines.paused = paused;
    if (paused) {
        lines.msg1 = {IDC_STATIC_MSG1, 160, ch - 210, 700, 70};
        lines.msg2 = {IDC_STATIC_MSG2, 160, ch - 185, 470, 20};
        return lines;
    }
    // The status line ends before the percentage (placed at cw - w - 80):
    // a long status would otherwise run under it.
    const int statusRoom = cw - percentWidth - 80 - 10 - 160;
    lines.status = {IDC_STATIC_STATUS, 160, 318, std::max(0, std::min(statusWidth + 300, statusRoom)), 40};
    int y1 = ch - 135, y2 = ch - 110;
    if (language == LANGUAGE_KO) {
        y1 = ch - 121;
        y2 = ch - 106;
    } else if (language == LANGUAGE_ES) {
        y1 = ch - 141;
        y2 = ch - 120;
    }
    lines.msg1 = {IDC_STATIC_MSG1, 160, y1, 470, 70};
    lines.msg2 = {IDC_STATIC_MSG2, 160, y2, 470, 40};
    return lines;
}

}  // namespace update_page_layout
