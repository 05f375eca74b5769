#pragma once
// The frame both edit controls draw in their non-client area: the frame
// image stretched over the whole window (two pixels taller, as the skin's
// shadow row hangs below), or a one-pixel border without an image.
#include "afx/wnd.h"

#include <windows.h>
#include <gdiplus.h>

void drawEditFrame(CWnd& edit, Gdiplus::Bitmap* frame, COLORREF border);
