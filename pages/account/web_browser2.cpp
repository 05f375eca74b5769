#include "pages/account/web_browser2.h"

#include "afx/dc.h"
#include "ui/font_cache.h"
#include "ui/gdi_func.h"
#include "ui/memory_canvas.h"

#include <algorithm>

namespace {

constexpr COLORREF kPanel = RGB(247, 248, 250);
constexpr COLORREF kText = RGB(93, 99, 105);
constexpr COLORREF kAddress = RGB(130, 136, 142);
constexpr COLORREF kLink = RGB(40, 96, 170);
constexpr int kLinkId = 1;
constexpr int kTextTop = 150;
constexpr int kLinkTop = 210;
constexpr int kLinkHeight = 26;
constexpr int kAddressTop = 246;

}  // namespace

IMPLEMENT_DYNAMIC(CWebBrowser2, CWnd)

BEGIN_MESSAGE_MAP(CWebBrowser2, CWnd)
    ON_WM_PAINT()
    ON_WM_ERASEBKGND()
    ON_WM_SIZE()
END_MESSAGE_MAP()

CWebBrowser2::CWebBrowser2() = default;
CWebBrowser2::~CWebBrowser2() = default;

BOOL CWebBrowser2::Create(DWORD style, const RECT& rect, CWnd* parent, UINT id) {
    const LPCWSTR cls = AfxRegisterWndClass(0, ::LoadCursorW(nullptr, IDC_ARROW));
    if (!CWnd::Create(cls, L"", style | WS_CHILD | WS_CLIPCHILDREN, rect, parent, id)) return FALSE;
    // A notifying static, as the message pages' links: its click reaches
    // the owner as a command.
    if (!m_link.Create(L"STATIC", L"", WS_CHILD | WS_VISIBLE | SS_NOTIFY, CRect(0, 0, 0, 0), this, kLinkId)) {
        return FALSE;
    }
    m_link.setText(CString(), 16, TRUE, 2);
    m_link.m_bgColor = kPanel;
    m_link.m_textColor = kLink;
    m_link.m_linkColor = kLink;
    m_link.m_linkHoverColor = kLink;
    placeLink();
    return TRUE;
}

void CWebBrowser2::Navigate(const CString& url) {
    showAddress(url);
    OnDocumentComplete();
}

void CWebBrowser2::showAddress(const CString& url) {
    m_strUrl = url;
    m_link.setUrl(url);
    // A guide without a page offers no link.
    if (m_link.GetSafeHwnd()) m_link.ShowWindow(url.IsEmpty() ? SW_HIDE : SW_SHOW);
    Invalidate(FALSE);
}

void CWebBrowser2::setTexts(const CString& text, const CString& linkCaption) {
    m_strText = text;
    m_link.setCaption(linkCaption);
    placeLink();
    Invalidate(FALSE);
}

void CWebBrowser2::OnDocumentComplete() {
    m_bDocumentComplete = 1;
    // The popup drops its cover on its next paint.
    if (HWND top = ::GetAncestor(m_hWnd, GA_ROOT)) ::InvalidateRect(top, nullptr, TRUE);
    Invalidate(FALSE);
}

void CWebBrowser2::placeLink() {
    if (!m_link.GetSafeHwnd()) return;
    CRect client;
    GetClientRect(&client);
    // Measured as the link draws it (its face, size and weight), so the
    // caption is never cut in any language.
    CString caption = m_link.m_strCaption;
    int textWidth = 0;
    if (!caption.IsEmpty()) {
        HDC dc = ::GetDC(m_hWnd);
        {
            Gdiplus::Graphics graphics(dc);
            Gdiplus::Font font(g_strFontFace.GetString(), static_cast<Gdiplus::REAL>(m_link.m_nTextSize),
                               m_link.m_bBold ? Gdiplus::FontStyleBold : Gdiplus::FontStyleRegular, Gdiplus::UnitPixel);
            textWidth = static_cast<int>(CGdiFunc::measureText(&graphics, &font, caption).Width);
        }
        ::ReleaseDC(m_hWnd, dc);
    }
    const int width = std::min<int>(client.Width() - 40, textWidth + 6);
    m_link.MoveWindow((client.Width() - width) / 2, kLinkTop, std::max(width, 1), kLinkHeight);
}

void CWebBrowser2::OnSize(UINT type, int cx, int cy) {
    CWnd::OnSize(type, cx, cy);
    placeLink();
}

BOOL CWebBrowser2::OnEraseBkgnd(CDC*) { return TRUE; }

void CWebBrowser2::OnPaint() {
    CPaintDC dc(this);
    CRect client;
    GetClientRect(&client);
    CMemoryCanvas canvas(dc.GetSafeHdc(), client.Width(), client.Height());
    if (!canvas.valid()) return;
    canvas.fill(kPanel);
    const RECT text = {20, kTextTop, client.Width() - 20, kTextTop + 30};
    CGdiFunc::drawText(canvas.dc(), text, m_strText, g_strFontFace, 18, FALSE, kText, 1);
    const RECT address = {20, kAddressTop, client.Width() - 20, kAddressTop + 24};
    CGdiFunc::drawText(canvas.dc(), address, m_strUrl, g_strFontFace, 14, FALSE, kAddress, 1);
    canvas.copyTo(dc.GetSafeHdc());
}
