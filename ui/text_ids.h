// Ids of the language-library texts that the toolkit and the start-up use.
// The language library's build fails when one of them has no English text.
#pragma once

// Buttons and links shared by the popups.
constexpr int IDS_CANCEL = 12040;
constexpr int IDS_OK = 12045;
constexpr int IDS_CUSTOMER_CENTRE = 12054;

// Medium kinds of a drive description.
constexpr int IDS_MEDIUM_SD = 12257;
constexpr int IDS_MEDIUM_USB = 12258;
constexpr int IDS_MEDIUM_DVD = 12259;

// Notice bar.
constexpr int IDS_NOTICE_CAPTION = 12128;
constexpr int IDS_NOTICE_NONE = 12130;

// List window: rows that are headings, never selected.
constexpr int IDS_LIST_HEADING = 12166;
constexpr int IDS_LIST_HEADING_2 = 12167;

// Message box of the program's self-update.
constexpr int IDS_LIVEUPDATE_TITLE = 12421;
constexpr int IDS_LIVEUPDATE_NETWORK_FAIL = 12422;
constexpr int IDS_LIVEUPDATE_NETWORK_HINT = 12036;
constexpr int IDS_LIVEUPDATE_DOWNLOAD_FAIL = 12426;
constexpr int IDS_LIVEUPDATE_DOWNLOAD_HINT_1 = 12427;
constexpr int IDS_LIVEUPDATE_DOWNLOAD_HINT_2 = 12428;
constexpr int IDS_LIVEUPDATE_LINK = 12429;
constexpr int IDS_LIVEUPDATE_FILES_DAMAGED = 12643;   // holds "[#Update program name#] "
constexpr int IDS_LIVEUPDATE_DOWNLOAD_AGAIN = 12644;

// Start-up: the self-update popup's title (found by window title, so it is
// unique), and the notice of a second start.
constexpr int IDS_SELF_UPDATE_WINDOW_TITLE = 12417;
constexpr int IDS_ALREADY_RUNNING_TITLE = 12419;
constexpr int IDS_ALREADY_RUNNING = 12591;            // holds "[#Update Program Name#] "
