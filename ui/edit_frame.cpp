#include "ui/edit_frame.h"

#include "afx/dc.h"
#include "afx/gdi.h"

void drawEditFrame(CWnd& edit, Gdiplus::Bitmap* frame, COLORREF border) {
    RECT window{};
    ::GetWindowRect(edit.m_hWnd, &window);
    int width = window.right - window.left;
    int height = window.bottom - window.top;
    CWindowDC dc(&edit);
    if (frame) {
        Gdiplus::Graphics graphics(dc.GetSafeHdc());
        // The image's border is its outermost row and column: drawn at the
        // window's own size, all four sides stay inside it.
        graphics.DrawImage(frame, 0, 0, width, height);
    } else {
        CBrush brush(border);
        RECT box{0, 0, width, height};
        ::FrameRect(dc, &box, brush);
    }
}
