#pragma once
// The text builder of the message pages as a pure function: from a type's
// row and what the page knows at that moment (language, region, brand,
// parameters, download folder ...) to the texts each control gets and the
// extra work the page does for the type. The page applies the result through
// the language manager; tests read it directly.
#include "afx/string.h"
#include "shell/messages/message_type_table.h"

#include <functional>
#include <map>
#include <vector>

namespace msg {

struct MessageContext {
    int language = 0;   // LANGUAGE_*
    int region = 0;     // REGION_*
    int lastBrand = 0;  // the last brand (CORP_*)
    std::map<int, CString> params;
    CString messageNumber;  // the program-wide number text of the space messages
    CString dataPath;       // "DataPath"
    // False when the terms document of the UI language could not be loaded.
    bool termsLoaded = true;
    // The current vehicle's medium type; may throw. Empty: no current vehicle.
    std::function<CString()> mediumType;
    // A language text with its layout tags removed (the language library).
    std::function<CString(int id)> text;
    // The page over the settings page builds its own five types.
    bool configVariant = false;
    // The settings variant's removal answer: some downloads stayed.
    bool removalFailed = false;

    CString param(int index) const;
};

// One control's texts: either language texts (the first set, the others
// appended on new lines; kTextSpace is the text " ") or a value set as is.
struct ControlTexts {
    std::vector<int> ids;
    bool isValue = false;
    CString value;
};

struct Placeholder {
    int id;         // the text that holds it
    CString name;   // "[#Name#]"
    CString value;
};

enum class FolderBox { None, Path, Row };
enum class Document { None, Licence, Terms, Consent };

struct MessageContent {
    int type = 0;
    // Only used controls have an entry (heading, title, subtitle, body texts,
    // detail lines, link, check box, OK, Cancel).
    std::map<int, ControlTexts> controls;
    std::vector<Placeholder> placeholders;  // set before the texts
    Icon icon = Icon::None;

    int okCancelFontSize = 0;  // a type's own size for OK and Cancel, 0 when none
    // Link button: its address is the customer-centre page.
    int linkIconCaption = 0;   // 51, 72, 94: caption with icon kind 6
    bool linkFlag = false;     // 51
    bool linkUrlAtOnce = false;  // 94

    FolderBox folderBox = FolderBox::None;
    CString folderPath;        // text and hint of the folder path box
    bool folderCentred = false;
    int folderMaxChars = 0;
    int folderFontSize = 0;    // 0: the brand font's own size
    int changeFolderCaption = 0;  // 1012 "change", 1020 "open folder"
    bool openFolderButton = false;

    Document document = Document::None;
    bool startWaiting = false;     // 205
    bool consentDefaults = false;  // 1007: radios captioned and set to yes, answers 1, top buttons enabled
    bool clearDestIsDrive = false; // 1016, 1018

    bool uses(int control) const { return controls.count(control) != 0; }
};

MessageContent buildTexts(const MessageTypeRow* row, const MessageContext& context);
// buildTexts for the type on the pooled page or on the settings variant; an
// unknown type gives an empty content (header band only).
MessageContent buildTexts(int type, const MessageContext& context);

// The text a control ends up with, placeholders filled in, lines joined by
// "\n" (what the language manager would set).
CString resolvedText(const MessageContent& content, int control, const std::function<CString(int)>& text);

// Asking again for the message a page shows, by the same requester, only
// refreshes it (detail lines, document focus); 20, 47 and 100 always
// configure in full.
bool isRepeat(int type, int currentType, bool sameRequester);
// Types whose detail lines a repeat of the same message refreshes.
bool refreshesDetailLines(int type);

}  // namespace msg
