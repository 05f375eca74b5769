#pragma once
// The vehicle pages' font set-up: a window takes the program's font of a
// pixel size; a label also draws its text at that size.
#include "afx/afx.h"

class CStaticEx;

namespace page_fonts {

void setWindowFont(CWnd& window, int pixelSize);
void setStaticFont(CStaticEx& control, int size);

}  // namespace page_fonts
