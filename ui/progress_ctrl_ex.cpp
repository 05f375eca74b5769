#include "ui/progress_ctrl_ex.h"

#include "ui/gdi_func.h"
#include "ui/text_rules.h"

BEGIN_MESSAGE_MAP(CProgressCtrlEx, CProgressCtrl)
    ON_WM_PAINT()
    ON_WM_ERASEBKGND()
    ON_WM_SIZE()
END_MESSAGE_MAP()

CProgressCtrlEx::CProgressCtrlEx() : m_bgColor(GetSysColor(COLOR_WINDOW)), m_barColor(GetSysColor(COLOR_HIGHLIGHT)) {}

CProgressCtrlEx::~CProgressCtrlEx() = default;

void CProgressCtrlEx::setPos(int position) {
    if (position < m_nLower || position > m_nUpper) return;
    m_fPos = static_cast<float>(position);
    ::RedrawWindow(m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}

void CProgressCtrlEx::OnSize(UINT type, int cx, int cy) {
    CProgressCtrl::OnSize(type, cx, cy);
    // Set once per size: setting it while painting would invalidate the
    // window again and again.
    // A rounded-rectangle region leaves out its right and bottom edges.
    ::SetWindowRgn(m_hWnd, CreateRoundRectRgn(0, 0, cx + 1, cy + 1, 0, 0), TRUE);
}

BOOL CProgressCtrlEx::OnEraseBkgnd(CDC*) { return TRUE; }

void CProgressCtrlEx::OnPaint() {
    PAINTSTRUCT paint{};
    HDC dc = ::BeginPaint(m_hWnd, &paint);
    RECT client{};
    ::GetClientRect(m_hWnd, &client);
    {
        Gdiplus::Graphics graphics(dc);
        Gdiplus::SolidBrush background(CGdiFunc::toColor(m_bgColor));
        graphics.FillRectangle(&background, 0, 0, client.right, client.bottom);
        text_rules::Fill fill = text_rules::progressFill(client.right, m_fPos, m_nLower, m_nUpper,
                                                         CGdiFunc::isArabic());
        if (fill.width > 0) {
            Gdiplus::SolidBrush bar(CGdiFunc::toColor(m_barColor));
            graphics.FillRectangle(&bar, fill.x, 0, fill.width, client.bottom);
        }
    }
    ::EndPaint(m_hWnd, &paint);
}
