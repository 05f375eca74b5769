#include "ui/base_popup_dialog.h"

#include "foundation/logmanager.h"
#include "resources/resource.h"
#include "ui/base_helpers.h"
#include "ui/font_cache.h"
#include "ui/gdi_func.h"
#include "ui/memory_canvas.h"
#include "ui/key_rules.h"

namespace {
constexpr int HEADER_HEIGHT = 60;
constexpr COLORREF TITLE_COLOUR = 0x383838;
}  // namespace

BEGIN_MESSAGE_MAP(CBasePopupDialog, CDialog)
    ON_WM_ERASEBKGND()
    ON_WM_NCHITTEST()
    ON_WM_SIZE()
    ON_WM_SYSCOMMAND()
END_MESSAGE_MAP()

CBasePopupDialog::CBasePopupDialog(UINT templateId, CWnd* parent) : CDialog(templateId, parent) {}

CBasePopupDialog::~CBasePopupDialog() { base_helpers::releaseBitmap(m_pImgBackground); }

void CBasePopupDialog::setTitle(CString text) { m_strTitle = text; }

BOOL CBasePopupDialog::OnInitDialog() {
    CDialog::OnInitDialog();
    ModifyStyle(WS_CAPTION | WS_THICKFRAME, 0);
    // A tool window has no taskbar button.
    ModifyStyleEx(WS_EX_APPWINDOW | WS_EX_DLGMODALFRAME | WS_EX_CLIENTEDGE, WS_EX_TOOLWINDOW);
    SetWindowPos(nullptr, 0, 0, m_nWidth, m_nHeight, SWP_NOMOVE | SWP_NOZORDER);
    SetWindowText(m_strTitle);
    base_helpers::reloadBitmap(m_pImgBackground, IDB_POPUP_BACKGROUND);
    if (!m_btnClose.GetSafeHwnd()) {
        if (m_btnClose.Create(L"", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, CRect(0, 0, 0, 0), this, IDC_BUTTON_EXIT)) {
            m_btnClose.setImage(IDB_BUTTON_EXIT);
        } else {
            LOG_WRITE(L"[ERR] close button not created");
        }
    }
    if (m_btnClose.GetSafeHwnd()) m_btnClose.ShowWindow(SW_HIDE);
    placeCloseButton();
    return TRUE;
}

void CBasePopupDialog::placeCloseButton() {
    if (!m_btnClose.GetSafeHwnd()) return;
    CRect client;
    GetClientRect(&client);
    int x = client.right - 132;
    if (CGdiFunc::isArabic()) x = client.Width() - x - 24;
    m_btnClose.MoveWindow(x, 18, 24, 24, TRUE);
}

void CBasePopupDialog::setRoundRegion() {
    CRect window;
    GetWindowRect(&window);
    HRGN region = ::CreateRoundRectRgn(0, 0, window.Width() + 1, window.Height() + 1, 18, 18);
    if (!region) return;
    // The window owns the region from here on.
    if (!SetWindowRgn(region, TRUE)) ::DeleteObject(region);
}

void CBasePopupDialog::drawBackground(CDC* dc, BOOL centreTitle) {
    if (!dc || !m_pImgBackground) return;
    CRect client;
    GetClientRect(&client);
    CMemoryCanvas canvas(dc->GetSafeHdc(), client.Width(), client.Height());
    if (!canvas.valid()) return;
    canvas.fill(0xFFFFFF);
    {
        Gdiplus::Graphics g(canvas.dc());
        if (static_cast<int>(m_pImgBackground->GetWidth()) == m_nWidth &&
            static_cast<int>(m_pImgBackground->GetHeight()) == m_nHeight) {
            g.DrawImage(m_pImgBackground, 0, 0, m_nWidth, m_nHeight);
        } else {
            CGdiFunc::drawNineSlice(&g, m_pImgBackground, m_nWidth, m_nHeight, 14, 14, HEADER_HEIGHT, 30);
        }
    }
    if (m_strTitle.IsEmpty()) GetWindowText(m_strTitle);
    RECT title = {14, 0, m_nWidth, HEADER_HEIGHT};
    CGdiFunc::drawText(canvas.dc(), title, m_strTitle, g_strFontFace, 18, TRUE, TITLE_COLOUR, centreTitle ? 1 : 0);
    canvas.copyTo(dc->GetSafeHdc());
}

BOOL CBasePopupDialog::OnEraseBkgnd(CDC*) { return FALSE; }

LRESULT CBasePopupDialog::OnNcHitTest(CPoint point) {
    CPoint client = point;
    ScreenToClient(&client);
    CRect rect;
    GetClientRect(&rect);
    if (client.y >= 0 && client.y < HEADER_HEIGHT && client.x >= 0 && client.x < rect.right) return HTCAPTION;
    return CDialog::OnNcHitTest(point);
}

void CBasePopupDialog::OnSize(UINT type, int cx, int cy) {
    CDialog::OnSize(type, cx, cy);
    m_nWidth = cx;
    m_nHeight = cy;
    setRoundRegion();
    placeCloseButton();
}

void CBasePopupDialog::OnSysCommand(UINT id, LPARAM lParam) {
    if ((id & 0xFFF0) == SC_CLOSE) {
        OnCancel();
        return;
    }
    CDialog::OnSysCommand(id, lParam);
}

BOOL CBasePopupDialog::PreTranslateMessage(MSG* msg) {
    switch (key_rules::classify(msg)) {
        case key_rules::KEY_SWALLOW:
            return TRUE;
        case key_rules::KEY_EXIT_REQUEST:
            OnCancel();
            return TRUE;
        default:
            break;
    }
    return CDialog::PreTranslateMessage(msg);
}
