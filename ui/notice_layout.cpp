#include "ui/notice_layout.h"

#include "foundation/code_tables.h"

#include <algorithm>

namespace notice_layout {

Layout layout(int measuredCaptionWidth, int clientWidth, int lastCorp) {
    Layout l{};
    l.captionWidth = std::min(150, std::max(65, measuredCaptionWidth));
    // The Tessaly face sits high in its line box.
    int y = lastCorp == CORP_TS ? 2 : 0;
    int cw = l.captionWidth;
    l.caption = {28, y, cw + 30, BAR_HEIGHT};
    l.item = {cw + 72, y, 683 - cw, BAR_HEIGHT};
    l.date = {755, y, clientWidth - 807, BAR_HEIGHT};
    return l;
}

Box moreButton(int clientWidth) { return {clientWidth - 35, 10, 20, 20}; }

int markX(const RECT& more, int clientWidth, bool arabic) {
    return arabic ? clientWidth - more.right - 15 : more.left - 15;
}

}  // namespace notice_layout
