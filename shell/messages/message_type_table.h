#pragma once
// What each message type shows on a message page, as data: the text ids per
// control, the button captions, the icon and the extra controls. The text
// builder, the layout, the tests and the screenshot run all read this table.
#include <cstddef>

namespace msg {

// Control ids of the message-page templates (396 and 508).
enum Control {
    kHeading = 1546,
    kTitle = 1547,
    kSubtitle = 1548,
    kText1 = 1549,
    kText2 = 1550,
    kText3 = 1551,
    kDetail1 = 1575,
    kDetail2 = 1574,
    kLink = 1576,
    kCheck = 1573,
    kOk = 1100,
    kCancel = 1101,
    kRadioYes1 = 1612,
    kRadioNo1 = 1613,
    kRadioYes2 = 1614,
    kRadioNo2 = 1615,
    kFolderField = 1619,
    kFolderPath = 1508,
    kChangeFolder = 1537,
    kBrowser = 1596,
};

// In a text list: the text " " (a line the next id is appended to), and a
// control set to the empty text (used, nothing drawn).
constexpr int kTextSpace = -1;
constexpr int kTextEmpty = -2;

// Up to three ids; the first is set, the others are appended on new lines.
struct TextList {
    int ids[3];
    bool empty() const { return ids[0] == 0; }
};

enum class Icon { None, Error, Warning, Exit, Medium };

// What a type does beyond its plain texts (the builder's special rules).
enum class Rule {
    None,
    DetailLines,      // 10, 90: detail lines from parameters 0 and 1
    MediumPicture,    // 60
    LinkWithIcon,     // 51, 72, 94
    CheckBox,         // 70
    Placeholders,     // 75, 76, 1004, 1013, 1026, 1027
    ByLanguage,       // 80, 1023
    FolderBox,        // 81, 83, 1006
    FolderRow,        // 1012
    OpenFolder,       // 1020
    DownloadError,    // 91 to 93
    DownloadError95,  // 95
    UnzipError,       // 96
    CopyError,        // 100 to 102
    MediumBrand,      // 1000
    MediumMatched,    // 1002
    Waiting,          // 205
    Licence,          // 203
    Terms,            // 204
    Consent,          // 1007
    ByRegion,         // 1008 to 1010
    ByMediumType,     // 1016, 1018
    ByBrand,          // 1021
    RemoveDownloads,  // 1005
    RemovalAnswer,    // 1028 over the settings: texts of a removal that left files
    ParamTitle,       // 1017, 1019: the title is parameter 0
};

struct MessageTypeRow {
    int type;
    const wchar_t* name;
    TextList heading, title, subtitle, text1, text2, text3;
    int link;    // caption id of the link button, 0 when unused
    int check;   // caption id of the check box
    int ok;      // caption id of OK, 0 when the type has no OK
    int cancel;  // caption id of Cancel
    Icon icon;
    Rule rule;
};

// The 89 types of the pooled page, in ascending type order.
const MessageTypeRow* messageTypeTable(std::size_t* count);
// The five types of the page over the settings page.
const MessageTypeRow* configMessageTypeTable(std::size_t* count);
// The row of a type, or null for a type without one (999, unknown values).
const MessageTypeRow* findMessageType(int type);
const MessageTypeRow* findConfigMessageType(int type);

}  // namespace msg
