#pragma once
// How many times a window of this layer has handled WM_PAINT: a child that
// keeps a copy of what its parent painted behind it takes a new copy when
// the count moved. Printing (WM_PRINTCLIENT) does not count.
#include <windows.h>

UINT AfxGetPaintCount(HWND hWnd);
