#pragma once
// The current UI language id and region id of the running program. They are
// 2 (English) and 1 (KR) until the settings page first loads the stored
// values; the settings page keeps them, the update and terms pages read them.
// Assigned on the UI thread only.
extern int g_nCurrentLanguage;
extern int g_nCurrentRegion;
