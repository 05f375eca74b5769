#pragma once
// What the root decides after a sign-in over plain facts: the page or
// message of showPageAfterLogin, the "no registered vehicle" message of the
// brand, and the medium's names from another brand's catalogue. The root's
// AutoMatchAndLastMode carries the scan's decision itself.
#include "descriptors/inf_info.h"
#include "shell/message_types.h"
#include "shell/scan/guest_catalog.h"
#include "ui/view_state.h"

struct LoginDestination {
    // A message (MessageType) shown with VIEW_STATE_MESSAGE; 0 for none.
    int messageType = 0;
    // The view to push; VIEW_STATE_NONE when what is on screen stays (a
    // message already shown by the scan or the catalogue search).
    int view = VIEW_STATE_NONE;
    // 1006 is about to be shown (m_bFirstOpenShown).
    bool firstOpenShown = false;
};

// showPageAfterLogin: 1006 at first start, 1007 in KR while the consent
// was never given, else the registration page. messagePage says whether a
// message page can be had; without one the result is "no destination".
LoginDestination pageAfterLogin(BOOL firstOpen, int eula, int region, bool messagePage);

// Any entry of the account in the group listed first (registered).
bool hasRegisteredVehicle(const InfInfoList* account);

// The "no registered vehicle" message of the last signed-in brand; 0 for none.
int noVehicleMessageType(int lastUserCorp);

// Message 1000's parameters: the brand letter of the medium's brand and the
// device names of the catalogue's common entries of the model (the last
// such entry wins).
struct MediumNames {
    CString letter;
    CString name;
    CString nameIntl;
    // FALSE when the catalogue request failed: the caller keeps the names it had.
    BOOL requested = FALSE;
};

// Requests the brand's catalogue and looks the model up; the catalogue is
// freed. TRUE when the request succeeded and a name was found.
BOOL findMediumInCatalog(int corp, int mediumCorp, const CString& modelCode, const GuestCatalogRequest& request,
                         MediumNames& names);
