#pragma once
// A brand's vehicles as a guest sees them: the sign-in request with an
// empty user ID and password. Runs on the caller's thread and blocks it.
#include "descriptors/inf_info.h"

#include <functional>

// Replaces catalog (a list it held is cleared and deleted) by a new owning
// list with the reply's vehicles. TRUE when the reply carried 200 with
// per-vehicle lists that agree, also when it lists no vehicle; on any
// failure catalog is still set, empty or partly filled.
BOOL requestGuestCatalog(InfInfoList*& catalog, int corp);

// How the scan obtains a catalogue; the program uses requestGuestCatalog.
using GuestCatalogRequest = std::function<BOOL(InfInfoList*& catalog, int corp)>;
