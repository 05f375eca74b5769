#include "shell/messages/message_layout.h"

#include "foundation/code_tables.h"
#include "shell/message_types.h"
#include "shell/messages/message_type_table.h"

#include <algorithm>
#include <initializer_list>

namespace msg {
namespace {

bool isOneOf(int value, std::initializer_list<int> values) {
    return std::find(values.begin(), values.end(), value) != values.end();
}

bool isErrorText(int type) {
    return isOneOf(type, {SERVER_ERROR_DOWNLOAD_FILE_SIZE, SERVER_ERROR_DOWNLOAD_FILE_CRC, SERVER_ERROR_DOWNLOAD_FAIL,
                          SERVER_ERROR_DOWNLOAD_ERROR, SERVER_ERROR_UNZIP_FAIL, SERVER_ERROR_COPY_FAIL,
                          SERVER_ERROR_COPY_NOT_FOUND_FILE, SERVER_ERROR_COPY_FILE_SIZE});
}
bool isDocument(int type) {
    return isOneOf(type, {SERVER_ERROR_ETC_OPEN_SOURCE_LICENSE, SERVER_ERROR_ETC_EULA, SERVER_ETC_DATA_CONSENT});
}

constexpr COLORREF kTextColour = 0x7D6C5E;
constexpr COLORREF kErrorTitleColour = 0x0000CB;
constexpr COLORREF kNoteColour = 0x383838;

}  // namespace

Box mirrored(const Box& box, int clientWidth, int language) {
    if (language != LANGUAGE_AR) return box;
    return Box{clientWidth - box.x - box.w, box.y, box.w, box.h};
}

int okFontSize(int n) {
    if (n > 22) return 14;
    if (n >= 21) return 16;
    if (n >= 16) return 18;
    return 22;
}

int cancelFontSize(int n) {
    if (n > 22) return 14;
    if (n >= 16) return 18;
    return 22;
}

int configButtonFontSize(int n) { return cancelFontSize(n); }

ButtonBoxes buttonBoxes(int type, bool cancelUsed, int w, int h) {
    ButtonBoxes out{};
    if (cancelUsed) {
        out.ok = Box{w / 2 - 205, h - 70, 200, 50};
        out.cancel = Box{w / 2 + 5, h - 70, 200, 50};
    } else if (isDocument(type)) {
        out.ok = Box{(w - 200) / 2, h - 60, 200, 50};
    } else {
        out.ok = Box{w / 2 - 100, h - 70, 200, 50};
    }
    return out;
}

ButtonBoxes openFolderBoxes(int w, int h) { return buttonBoxes(0, true, w, h); }

Box removeDownloadsTitleBox(int w) { return Box{(w - 500) / 2, 100, 240, 60}; }

Box radioBox(int control) {
    switch (control) {
    case kRadioYes1: return Box{110, 253, 200, 20};
    case kRadioNo1: return Box{360, 253, 200, 20};
    case kRadioYes2: return Box{110, 453, 200, 20};
    case kRadioNo2: return Box{360, 453, 200, 20};
    default: return Box{0, 0, 0, 0};
    }
}

Box folderPathBox(int type, int pathLength, int w) {
    if (type == SERVER_ETC_FIRST_OPEN) return Box{20, 370, 860, 20};
    if (type == SERVER_ERROR_UPDATE_CHECK_SAVE_FOLDER_UPDATE_HDD) {
        const int width = std::min(9 * pathLength, 860);
        return Box{(w - width) / 2, 455, width, 20};
    }
    return Box{90, 324, 570, 20};
}

Box folderFieldBox() { return Box{80, 314, 590, 40}; }
Box changeFolderBox() { return Box{680, 314, 140, 40}; }

Box firstOpenFolderBox(int language, int pathLength, int w) {
    int x = w / 2 - 9 * pathLength / 2;
    if (x < 0) x = 5;
    // These languages' longer invitation text ends higher up.
    if (isOneOf(language, {LANGUAGE_FR, LANGUAGE_F1, LANGUAGE_ES, LANGUAGE_PT})) return Box{x + 20, 320, 860, 20};
    return Box{x, 370, 860, 20};
}

std::vector<PlacedControl> refreshLayout(int type, bool cancelUsed, int pathLength, int w, int h) {
    const ButtonBoxes buttons = buttonBoxes(type, cancelUsed, w, h);
    std::vector<PlacedControl> out = {{kOk, buttons.ok}};
    if (cancelUsed) out.push_back({kCancel, buttons.cancel});
    if (type == SERVER_ETC_REMOVE_DOWNLOAD) out.push_back({kTitle, removeDownloadsTitleBox(w)});
    out.push_back({kBrowser, Box{0, 0, 0, 0}});
    for (int radio : {kRadioYes1, kRadioNo1, kRadioYes2, kRadioNo2}) out.push_back({radio, radioBox(radio)});
    out.push_back({kFolderPath, folderPathBox(type, pathLength, w)});
    out.push_back({kFolderField, folderFieldBox()});
    out.push_back({kChangeFolder, changeFolderBox()});
    return out;
}

std::vector<std::pair<int, int>> buttonFontSizes(int okLength, int cancelLength, bool configVariant) {
    return {{kCheck, kCheckLinkFontSize},
            {kLink, kCheckLinkFontSize},
            {kOk, configVariant ? configButtonFontSize(okLength) : okFontSize(okLength)},
            {kCancel, cancelFontSize(cancelLength)},
            {kChangeFolder, kChangeFolderFontSize}};
}

// The per-language widths were tuned to other faces than ours; a box is never
// narrower than what it holds (tick 18, gap 6, the caption and a little slack),
// and never runs past the page.
constexpr int kCheckLeft = 110, kCheckMinimumExtra = 28, kLinkSlack = 4, kPageMargin = 10;

Box checkBoxBox(int captionWidth, int language) {
    int width = captionWidth + kCheckMinimumExtra;
    if (language == LANGUAGE_ES || language == LANGUAGE_PT) width += 108;
    if (language == LANGUAGE_EN) width = 340;
    width = std::max(width, captionWidth + kCheckMinimumExtra);
    width = std::min(width, kPageWidth - kCheckLeft - kPageMargin);
    return Box{kCheckLeft, 460, width, 24};
}

int linkWidth(int cw, int language, int brand, int type) {
    int width = cw + 5;
    if (language == LANGUAGE_RU) width = cw * 3 / 5;
    if (language == LANGUAGE_FR || language == LANGUAGE_AR) width = cw + 25;
    if (brand == CORP_TS || brand == CORP_LV) width += 15;
    int correction = 0;
    switch (language) {
    case LANGUAGE_KO: correction = brand == CORP_DR ? -20 : -22; break;
    case LANGUAGE_EN: correction = brand == CORP_TS ? 20 : 35; break;
    case LANGUAGE_FR: correction = brand == CORP_TS ? -15 : brand == CORP_DR ? 0 : -10; break;
    case LANGUAGE_F1: correction = brand == CORP_TS ? 20 : 40; break;
    case LANGUAGE_ES: correction = brand == CORP_TS ? 10 : 25; break;
    case LANGUAGE_RU: correction = -5; break;
    case LANGUAGE_AR:
        correction = brand == CORP_TS   ? -20
                     : brand == CORP_LV ? -25
                                        : (type == SERVER_ERROR_DOWNLOAD_ERROR ? -60 : -65);
        break;
    default: break;
    }
    return width + correction;
}

Box linkBox(int cw, int language, int brand, int type, int bottom, int w) {
    int width = std::max(linkWidth(cw, language, brand, type), cw + kLinkSlack);
    width = std::min(width, w - 2 * kPageMargin);
    return Box{(w - width) / 2, bottom + 30, width, 24};
}

FolderAfterDrawing folderAfterDrawing(int type, int bottom, int language) {
    FolderAfterDrawing out;
    if (type == SERVER_ERROR_UPDATE_CHECK_MEMORY_UPDATE_HDD || type == SERVER_ETC_FIRST_OPEN) {
        out.shown = true;
        out.path = Box{20, bottom - 56, 860, 20};
    } else if (type == SERVER_ERROR_UPDATE_CHECK_SAVE_FOLDER_UPDATE_HDD) {
        out.shown = true;
        out.path = Box{20, bottom + 12, 860, 20};
    } else if (type == SERVER_ETC_SAVE_TO_HDD) {
        out.shown = true;
        out.row = true;
        out.field = Box{80, bottom + 12, 590, 40};
        out.button = Box{680, bottom + 12, 140, 40};
        out.path = Box{90, bottom + 22, 570, 20};
        out.rightAligned = language == LANGUAGE_AR;
    }
    return out;
}

int headingFontSize(int type, int language) {
    return type == SERVER_ERROR_UPDATE_CHECK_SAVE_FOLDER_UPDATE_HDD && language == LANGUAGE_IT ? 20 : 22;
}

int headingTop(int lastBrand) { return lastBrand == CORP_TS ? 8 : 4; }

int consentPictureOffset(int language, int subtitleLength, int rootBrand) {
    if (language == LANGUAGE_EN || subtitleLength >= 61) return 0;
    return rootBrand == CORP_TS ? 9 : 12;
}

int consentHeadingOffset(int language, int headingLength) {
    if (language == LANGUAGE_EN) return 0;
    return headingLength <= 60 ? 10 : 0;
}

int okButtonImage(int rootBrand, int region) {
    if (rootBrand == CORP_DR) return 470;
    if (rootBrand == CORP_LV) return region == REGION_US || region == REGION_CA ? 1736 : 471;
    return 469;
}

ElementStyle elementStyle(BlockElement element, int type, int language, int w) {
    ElementStyle s{30, 16, kTextColour, 10, w - 10};
    switch (element) {
    case BlockElement::Title:
        s.size = 20;
        if (language == LANGUAGE_RU &&
            isOneOf(type, {SERVER_ERROR_LOGIN_PASSWORD_LIMIT, SERVER_ERROR_UPDATE_CHECK_MEMORY_HDD,
                           SERVER_ERROR_UPDATE_CHECK_MEMORY_UPDATE_HDD, SERVER_ERROR_UPDATE_CHECK_SAVE_DRIVE_UPDATE_HDD,
                           SERVER_ERROR_LOGIN_NO_AUTHORITY_904}))
            s.size = 18;
        if (type == SERVER_ETC_SAVE_TO_HDD || type == SERVER_ETC_WAITING ||
            (type == SERVER_ETC_FIRST_OPEN && language == LANGUAGE_AR))
            s.size = 19;
        if (isErrorText(type)) s.colour = kErrorTitleColour;
        break;
    case BlockElement::Subtitle:
        s.gap = isErrorText(type) ? 15 : 30;
        s.size = type == SERVER_ETC_FIRST_OPEN && language == LANGUAGE_AR ? 19 : 20;
        break;
    case BlockElement::Text1:
        if ((type == SERVER_ERROR_NETWORK_FAIL || type == SERVER_ERROR_UPDATE_CHECK_INF_LOAD) &&
            (language == LANGUAGE_DE || language == LANGUAGE_RU))
            s.size = 15;
        if (type == SERVER_ERROR_USB_LOCK && language == LANGUAGE_FR) s.size = 15;
        if (type == SERVER_ETC_MEDIUM_NOT_IN_ACCOUNT) {
            s.size = 19;
            s.left = 1;
            s.right = w - 1;
        }
        if (type == SERVER_ETC_MEDIUM_MATCHED) s.size = 20;
        break;
    case BlockElement::Text2:
    case BlockElement::Text3:
        if (type == SERVER_ETC_MEDIUM_NOT_IN_ACCOUNT || type == SERVER_ETC_MEDIUM_MATCHED) s.size = 20;
        if (element == BlockElement::Text3) s.colour = kNoteColour;
        break;
    case BlockElement::Detail1:
    case BlockElement::Detail2:
        // The failing file or code, drawn as body text.
        break;
    }
    return s;
}

int elementAdvance(BlockElement element, int type, int h) {
    if (h <= 0) return 0;
    const bool heading = element == BlockElement::Title || element == BlockElement::Subtitle;
    // A short text still takes at least a line; a text of two or three lines
    // below the old thresholds (70 and 56) takes its own height, so that it
    // never runs into the next one.
    if (heading || type == SERVER_ETC_MEDIUM_NOT_IN_ACCOUNT || type == SERVER_ETC_MEDIUM_MATCHED)
        return std::max(h, 20);
    return std::max(h, 16);
}

BlockPlacement placeTextBlock(int type, int language, bool hasPicture, int w,
                              const std::function<bool(BlockElement)>& draws,
                              const std::function<int(BlockElement, const ElementStyle&, int top)>& measure) {
    BlockPlacement out;
    int y = hasPicture ? kTextsBelowIcon : 0;
    for (int i = 0; i < kBlockElements; ++i) {
        out.top[i] = -1;
        const BlockElement element = static_cast<BlockElement>(i);
        if (type == SERVER_ETC_SAVE_TO_HDD && element == BlockElement::Text1) {
            y += 135;  // the folder row goes here instead of the text
            continue;
        }
        if (!draws || !draws(element)) continue;
        const ElementStyle style = elementStyle(element, type, language, w);
        y += style.gap;
        out.top[i] = y;
        y += elementAdvance(element, type, measure ? measure(element, style, y) : 0);
    }
    out.height = y;
    return out;
}

int textBlockTop(int blockHeight) { return (445 - blockHeight) / 2 + 70; }

}  // namespace msg
