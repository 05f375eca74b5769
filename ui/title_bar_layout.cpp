#include "ui/title_bar_layout.h"

#include "foundation/code_tables.h"

namespace title_bar {

const wchar_t* const RIGHTS_NOTICE = L"Copyright (c) Corvessa Group. All rights reserved worldwide.";

std::array<ButtonPlace, BUTTON_COUNT> layoutButtons(int clientWidth, const std::array<ButtonSlot, BUTTON_COUNT>& slots,
                                                    bool arabic) {
    // Gap before each button, and how much of its width it takes: the guide
    // button leans 5 pixels into the gap before it.
    static const int gaps[BUTTON_COUNT] = {24, 15, 41, 41, 35};
    static const int overlap[BUTTON_COUNT] = {0, 0, 5, 0, 0};
    std::array<ButtonPlace, BUTTON_COUNT> places{};
    int cursor = clientWidth;
    for (int i = 0; i < BUTTON_COUNT; ++i) {
        cursor -= gaps[i];
        if (!slots[i].present) continue;
        int width = slots[i].size.cx;
        cursor -= width - overlap[i];
        ButtonPlace& place = places[i];
        place.placed = true;
        place.x = arabic ? clientWidth - width - cursor : cursor;
        place.y = (HEADER_HEIGHT - static_cast<int>(slots[i].size.cy)) / 2;
    }
    return places;
}

UINT logoImageId(const CString& corpCode, bool arabic, int region) {
    if (corpCode == L"TS") return arabic ? 1724 : 525;
    if (corpCode == L"DR") return arabic ? 1725 : 526;
    if (corpCode == L"LV") {
        if (region == REGION_US || region == REGION_CA) return arabic ? 1750 : 1749;
        return arabic ? 1726 : 527;
    }
    return arabic ? 1723 : 524;
}

RECT subTitleRect(const RECT& logout, const RECT& config, bool arabic) {
    if (arabic) return {config.left + 40, 5, logout.right + 245, HEADER_HEIGHT};
    return {logout.right - 245, 5, config.left - 40, HEADER_HEIGHT};
}

RECT titleRect(const RECT& logout, const RECT& config, bool arabic) {
    if (arabic) return {config.left + 95, 5, logout.right + 190, HEADER_HEIGHT};
    return {logout.right - 190, 5, config.left - 95, HEADER_HEIGHT};
}

RegionNamePlace regionNamePlace(const RECT& guide, int nameLength, bool lastCorpIsLuvo, bool arabic) {
    int top = lastCorpIsLuvo ? 1 : 2;
    RegionNamePlace place{};
    if (arabic) {
        int base = guide.right;
        place.text = {base + 21, top, guide.right + 125 + nameLength, HEADER_HEIGHT};
        place.alignFar = true;
        place.globeX = base + 140;
    } else {
        int base = guide.left - nameLength;
        place.text = {base - 110, top, guide.left - 21, HEADER_HEIGHT};
        place.alignFar = false;
        place.globeX = base - 140;
    }
    return place;
}

int separatorBeforeX(const RECT& button, bool arabic) { return arabic ? button.right + 20 : button.left - 20; }

int userIconX(const RECT& logout, int iconWidth, bool arabic) {
    return arabic ? logout.right + 178 - iconWidth : logout.left - 178;
}

FooterText versionPlace(int width, int height, bool arabic) {
    if (arabic) return {{width - 214, height - 29, width - 14, height}, 2};
    return {{14, height - 29, 214, height}, 0};
}

FooterText rightsPlace(int width, int height, bool arabic) {
    if (arabic) return {{20, height - 27, width - 220, height}, 0};
    return {{220, height - 27, width - 20, height}, 2};
}

}  // namespace title_bar
