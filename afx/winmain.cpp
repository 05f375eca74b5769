// The entry point of a program built on the layer: everything else is the
// application object's. Linked only into programs that ask for wWinMain.
#include "afx/app.h"

extern "C" int WINAPI wWinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPWSTR lpCmdLine, int nCmdShow) {
    return AfxWinMain(hInstance, hPrevInstance, lpCmdLine, nCmdShow);
}
