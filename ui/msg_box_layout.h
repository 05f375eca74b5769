#pragma once
// What CDlgMsgBox shows for each kind of message, as data: popup size,
// where each control sits (before mirroring), which texts it carries and
// which controls are shown. Typed messages are the self-update failures;
// plain messages carry a free text and one OK button.
#include <windows.h>

#include <vector>

enum PopupMsgType {
    POPUP_MSG_TYPE_LIVEUPDATE_NETWORK_FAIL = 0,
    POPUP_MSG_TYPE_LIVEUPDATE_DOWNLOAD_FAIL = 1,
    POPUP_MSG_TYPE_LIVEUPDATE_DOWN_FILE_AND_CRC_SIZE = 2,
    POPUP_MSG_TYPE_NONE = 3,  // nothing prepared
};

namespace msg_box_layout {

struct Place {
    bool shown = false;
    int x = 0, y = 0, width = 0, height = 0;
};

struct Layout {
    bool prepared = false;  // false: the controls are left as they are
    int width = 0, height = 0;
    Place title, message, link, ok, cancel;
    // Language text ids, joined with a line feed. A title of the
    // self-update-damaged message has the program's name put in.
    std::vector<int> titleTexts, messageTexts;
    int popupTitleText = 0;  // 0: the caller's title
    int okText = 0, cancelText = 0;
    bool linkEnabled = false;
    UINT titleAlign = 0;  // CStaticEx alignment flags of the title
};

// Typed mode, by message type and UI language.
Layout typed(int type, int language);
// Plain mode; layout value 4 is the short text area.
Layout plain(int layoutValue);

}  // namespace msg_box_layout
