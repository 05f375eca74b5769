#include "ui/base_helpers.h"

#include "foundation/logmanager.h"
#include "ui/gdi_func.h"

namespace base_helpers {

void fillSolid(HDC dc, const RECT& rect, COLORREF colour) {
    CBrush brush;
    if (!brush.CreateSolidBrush(colour)) return;
    ::FillRect(dc, &rect, brush);
}

void releaseBitmap(Gdiplus::Bitmap*& bitmap) {
    delete bitmap;
    bitmap = nullptr;
}

void reloadBitmap(Gdiplus::Bitmap*& bitmap, UINT id) {
    releaseBitmap(bitmap);
    bitmap = CGdiFunc::loadPngResource(id);
}

BOOL postToMainWindow(UINT message, WPARAM wParam, LPARAM lParam) {
    CWnd* main = AfxGetMainWnd();
    HWND window = main ? main->GetSafeHwnd() : nullptr;
    if (!window) {
        LOG_WRITE(L"[ERR] no main window for message 0x%04X", message);
        return FALSE;
    }
    return ::PostMessageW(window, message, wParam, lParam);
}

RECT childRect(HWND parent, HWND child) {
    RECT r{0, 0, 0, 0};
    if (!child || !::GetWindowRect(child, &r)) return r;
    ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

}  // namespace base_helpers
