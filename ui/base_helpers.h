#pragma once
// Small pieces shared by the window bases.
#include "afx/afx.h"

#include <objidl.h>
#include <gdiplus.h>

namespace base_helpers {

void fillSolid(HDC dc, const RECT& rect, COLORREF colour);
// Deletes the bitmap and clears the pointer.
void releaseBitmap(Gdiplus::Bitmap*& bitmap);
// Replaces the bitmap with a new load of a PNG resource.
void reloadBitmap(Gdiplus::Bitmap*& bitmap, UINT id);
// Posts to the application's main window; FALSE when there is none.
BOOL postToMainWindow(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
// A child's window rectangle in its parent's client coordinates.
RECT childRect(HWND parent, HWND child);

}  // namespace base_helpers
