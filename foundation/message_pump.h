#pragma once
// Waiting on a thread that may own windows: the thread's messages keep
// being dispatched, and the thread sleeps between them.
#include <windows.h>

// Returns after the given time by the tick counter. A WM_QUIT met on the way
// is posted again for the caller's own message loop.
void waitPumpingMessages(DWORD milliseconds);
