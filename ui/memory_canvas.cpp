#include "ui/memory_canvas.h"

CMemoryCanvas::CMemoryCanvas(HDC dc, int width, int height)
    : m_width(width > 0 ? width : 1), m_height(height > 0 ? height : 1) {
    m_dc.CreateCompatibleDC(CDC::FromHandle(dc));
    m_bitmap.CreateCompatibleBitmap(CDC::FromHandle(dc), m_width, m_height);
    if (valid()) m_previous = ::SelectObject(m_dc.GetSafeHdc(), m_bitmap.GetSafeHandle());
}

CMemoryCanvas::~CMemoryCanvas() {
    if (m_previous) ::SelectObject(m_dc.GetSafeHdc(), m_previous);
}

void CMemoryCanvas::fill(COLORREF colour) { fill(RECT{0, 0, m_width, m_height}, colour); }

void CMemoryCanvas::fill(const RECT& area, COLORREF colour) {
    if (!valid()) return;
    CBrush brush(colour);
    ::FillRect(m_dc.GetSafeHdc(), &area, brush);
}

void CMemoryCanvas::copyTo(HDC target, int x, int y) const {
    if (valid()) ::BitBlt(target, x, y, m_width, m_height, m_dc.GetSafeHdc(), 0, 0, SRCCOPY);
}
