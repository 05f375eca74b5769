#pragma once
// The module whose resources (dialog templates, strings, icons) the layer
// loads: the program itself unless a caller sets another.
#include <windows.h>

HINSTANCE AfxGetInstanceHandle();
HINSTANCE AfxGetResourceHandle();
void AfxSetResourceHandle(HINSTANCE hInstResource);
