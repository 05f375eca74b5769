// Placement and painting helpers of the pages.
#include "foundation/globalfunc.h"
#include "foundation/code_tables.h"
#include "foundation/regsetting.h"

namespace {

// Selects a GDI object into a device context for one scope.
class SelectedObject {
public:
    SelectedObject(HDC dc, HGDIOBJ object) : m_dc(dc), m_previous(SelectObject(dc, object)) {}
    ~SelectedObject() { SelectObject(m_dc, m_previous); }
    SelectedObject(const SelectedObject&) = delete;
    SelectedObject& operator=(const SelectedObject&) = delete;

private:
    HDC m_dc;
    HGDIOBJ m_previous;
};

class OwnedPen {
public:
    explicit OwnedPen(HPEN pen) : m_pen(pen) {}
    ~OwnedPen() { if (m_pen) DeleteObject(m_pen); }
    OwnedPen(const OwnedPen&) = delete;
    OwnedPen& operator=(const OwnedPen&) = delete;
    HPEN get() const { return m_pen; }

private:
    HPEN m_pen;
};

}  // namespace

BOOL CGlobalFunc::moveChildWindow(HWND parent, HWND child, int x, int y, int width, int height, int mirrorKind) {
    if (!child) return FALSE;
    bool mirror = mirrorKind == 1 || (mirrorKind == 2 && CRegSetting::getLanguage() == LANGUAGE_AR);
    if (mirror && parent) {
        RECT client{};
        GetClientRect(parent, &client);
        x = client.right - x - width;
    }
    return SetWindowPos(child, nullptr, x, y, width, height, SWP_NOZORDER);
}

void CGlobalFunc::invalidateChild(HWND parent, HWND child) {
    if (!parent || !child) return;
    RECT area{};
    GetWindowRect(child, &area);
    // Two points, so that a mirrored parent swaps left and right for us.
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&area), 2);
    InvalidateRect(parent, &area, FALSE);
}

void CGlobalFunc::drawRoundBox(HDC dc, int top, int bottom) {
    if (!dc) return;
    OwnedPen pen(CreatePen(PS_SOLID, 1, RGB(202, 202, 202)));
    SelectedObject brush(dc, GetStockObject(WHITE_BRUSH));
    SelectedObject outline(dc, pen.get());
    RoundRect(dc, 110, top, 790, bottom, 6, 6);
}
