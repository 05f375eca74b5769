#pragma once
// A stamp of the last WM_PAINT a window of this layer handled (0 before the
// first), unique across windows: a child that keeps a copy of what its
// parent painted behind it takes a new copy when the stamp moved. Printing
// (WM_PRINTCLIENT) does not count.
#include <windows.h>

UINT AfxGetPaintCount(HWND hWnd);
