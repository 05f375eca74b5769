#pragma once
// Program-wide state of the sign-in, kept on the UI thread.
#include <windows.h>

// TRUE after a successful sign-in, FALSE after a logout or session reset;
// the header reads it for the user's buttons and texts.
extern BOOL g_bSignedIn;
