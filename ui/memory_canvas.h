#pragma once
// An off-screen bitmap selected into a memory device context for one paint:
// controls draw into it and copy it to the window in one step, so that a
// repaint never flickers. The DC and bitmap are the class library's
// wrappers, released on destruction.
#include "afx/dc.h"

class CMemoryCanvas {
public:
    // A canvas compatible with dc, width by height pixels.
    CMemoryCanvas(HDC dc, int width, int height);
    ~CMemoryCanvas();
    CMemoryCanvas(const CMemoryCanvas&) = delete;
    CMemoryCanvas& operator=(const CMemoryCanvas&) = delete;

    HDC dc() const { return m_dc.GetSafeHdc(); }
    CDC& cdc() { return m_dc; }
    int width() const { return m_width; }
    int height() const { return m_height; }
    bool valid() const { return m_dc.GetSafeHdc() && m_bitmap.GetSafeHandle(); }
    void fill(COLORREF colour);
    void fill(const RECT& area, COLORREF colour);
    // Copies the whole canvas to (x, y) of the target.
    void copyTo(HDC target, int x = 0, int y = 0) const;

private:
    CDC m_dc;
    CBitmap m_bitmap;
    HGDIOBJ m_previous = nullptr;
    int m_width;
    int m_height;
};
