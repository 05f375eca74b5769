#include "ui/memory_canvas.h"

CMemoryCanvas::CMemoryCanvas(HDC dc, int width, int height)
    : m_width(width > 0 ? width : 1), m_height(height > 0 ? height : 1) {
    m_dc = CreateCompatibleDC(dc);
    m_bitmap = CreateCompatibleBitmap(dc, m_width, m_height);
    if (m_dc && m_bitmap) m_previous = SelectObject(m_dc, m_bitmap);
}

CMemoryCanvas::~CMemoryCanvas() {
    if (m_dc && m_previous) SelectObject(m_dc, m_previous);
    if (m_bitmap) DeleteObject(m_bitmap);
    if (m_dc) DeleteDC(m_dc);
}

void CMemoryCanvas::fill(COLORREF colour) {
    if (!valid()) return;
    RECT all{0, 0, m_width, m_height};
    HBRUSH brush = CreateSolidBrush(colour);
    FillRect(m_dc, &all, brush);
    DeleteObject(brush);
}

void CMemoryCanvas::copyTo(HDC target, int x, int y) const {
    if (valid()) BitBlt(target, x, y, m_width, m_height, m_dc, 0, 0, SRCCOPY);
}
