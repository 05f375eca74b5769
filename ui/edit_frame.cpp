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
        graphics.DrawImage(frame, 0, 0, width, height + 2);
    } else {
        CBrush brush(border);
        RECT box{0, 0, width, height};
        ::FrameRect(dc, &box, brush);
    }
}
