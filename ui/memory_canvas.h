#pragma once
// An off-screen bitmap selected into a memory device context for one paint:
// controls draw into it and copy it to the window in one step, so that a
// repaint never flickers. Every GDI object is released on destruction.
#include <windows.h>

class CMemoryCanvas {
public:
    // A canvas compatible with dc, width by height pixels.
    CMemoryCanvas(HDC dc, int width, int height);
    ~CMemoryCanvas();
    CMemoryCanvas(const CMemoryCanvas&) = delete;
    CMemoryCanvas& operator=(const CMemoryCanvas&) = delete;

    HDC dc() const { return m_dc; }
    int width() const { return m_width; }
    int height() const { return m_height; }
    bool valid() const { return m_dc && m_bitmap; }
    void fill(COLORREF colour);
    // Copies the whole canvas to (x, y) of the target.
    void copyTo(HDC target, int x = 0, int y = 0) const;

private:
    HDC m_dc = nullptr;
    HBITMAP m_bitmap = nullptr;
    HGDIOBJ m_previous = nullptr;
    int m_width;
    int m_height;
};
