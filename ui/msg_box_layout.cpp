#include "ui/msg_box_layout.h"

#include "foundation/code_tables.h"
#include "ui/text_ids.h"

namespace msg_box_layout {

namespace {

Place at(int x, int y, int width, int height) {
    Place p;
    p.shown = true;
    p.x = x;
    p.y = y;
    p.width = width;
    p.height = height;
    return p;
}

// The customer-centre link is as wide as its caption in each language.
int linkWidth(int language) {
    switch (language) {
        case LANGUAGE_EN: return 265;
        case LANGUAGE_ES: return 325;
        case LANGUAGE_PT: return 295;
        default: return 165;
    }
}

}  // namespace

Layout typed(int type, int language) {
    Layout l;
    if (type < 0 || type > 2) return l;
    l.prepared = true;
    l.popupTitleText = IDS_LIVEUPDATE_TITLE;
    l.okText = IDS_OK;
    l.titleAlign = 0x2;
    switch (type) {
        case POPUP_MSG_TYPE_LIVEUPDATE_NETWORK_FAIL:
            l.width = 400;
            l.height = 284;
            l.titleTexts = {IDS_LIVEUPDATE_NETWORK_FAIL};
            l.title = at(24, 90, 352, 48);
            l.messageTexts = {IDS_LIVEUPDATE_NETWORK_HINT};
            l.message = at(24, 168, 352, 36);
            l.ok = at(135, 234, 130, 40);
            break;
        case POPUP_MSG_TYPE_LIVEUPDATE_DOWNLOAD_FAIL: {
            l.width = 400;
            l.height = 326;
            l.titleTexts = {IDS_LIVEUPDATE_DOWNLOAD_FAIL};
            l.title = at(24, 90, 352, 48);
            l.messageTexts = {IDS_LIVEUPDATE_DOWNLOAD_HINT_1, IDS_LIVEUPDATE_DOWNLOAD_HINT_2};
            // Two long lines in Spanish and Portuguese need the room above.
            int y = (language == LANGUAGE_ES || language == LANGUAGE_PT) ? 154 : 144;
            l.message = at(24, y, 352, 54);
            int w = linkWidth(language);
            l.link = at((400 - w) / 2, 228, w, 18);
            l.linkEnabled = true;
            l.ok = at(135, 276, 130, 40);
            break;
        }
        case POPUP_MSG_TYPE_LIVEUPDATE_DOWN_FILE_AND_CRC_SIZE:
            l.width = 500;
            l.height = 250;
            l.titleTexts = {IDS_LIVEUPDATE_FILES_DAMAGED, IDS_LIVEUPDATE_DOWNLOAD_AGAIN};
            l.title = at(24, 90, 452, 48);
            l.ok = at(100, 190, 130, 40);
            l.cancel = at(250, 190, 130, 40);
            l.cancelText = IDS_CANCEL;
            break;
    }
    return l;
}

Layout plain(int layoutValue) {
    Layout l;
    l.prepared = true;
    l.width = 400;
    l.height = 220;
    l.title = at(1, 60, 398, layoutValue == 4 ? 70 : 90);
    l.titleAlign = 0x12;
    l.ok = at(135, 160, 130, 40);
    l.okText = IDS_OK;
    return l;
}

}  // namespace msg_box_layout
