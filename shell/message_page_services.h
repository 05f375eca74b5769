#pragma once
// What the message pages' answers ask of the rest of the shell beyond the
// root dialog's own members: the first page after sign-in, the consent
// report, the removal of the downloaded files and the frame's copy of the
// download folder. The shell installs them once; tests install recorders.
// A service not installed does nothing (the first page reports none shown).
#include "afx/string.h"

#include <functional>

struct MessagePageServices {
    // TRUE when it showed a page.
    std::function<BOOL()> showPageAfterLogin;
    std::function<void()> startUserPrivateThread;
    // FALSE when a download stayed (or no frame could remove them).
    std::function<BOOL()> deleteDownloadFiles;
    std::function<void(const CString& folder)> setFrameDataPath;
};

// Returns the services in use before.
MessagePageServices setMessagePageServices(MessagePageServices services);
const MessagePageServices& messagePageServices();
