#pragma once
// Placing the vehicle and navigation-unit pictures on static controls
// (SS_BITMAP): the cached picture, or the brand's picture in its place.
// UI thread only.
#include "descriptors/inf_info.h"

#include <windows.h>

// A skin picture stretched one pixel beyond the control on every side;
// nothing for id 0 or a picture that does not load.
void setPngOnStatic(HWND control, UINT pngId);
// The entry's cached vehicle picture (downloaded when missing), else the
// picture of the session's brand (g_strCorpCode) in the stored region.
void setVehicleImage(HWND control, const InfInfo* entry);
// The same for the navigation unit, keeping the picture's aspect ratio over
// the control's width; nothing without an entry.
void setGpsImage(HWND control, const InfInfo* entry);
// Takes the bitmap back from the control and deletes it (before the
// control is destroyed).
void releaseStaticImage(HWND control);
