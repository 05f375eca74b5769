#include "afx/dc.h"

#include "afx/thread_state.h"
#include "afx/wnd.h"

#include <atomic>

IMPLEMENT_DYNAMIC(CDC, CObject)
IMPLEMENT_DYNAMIC(CPaintDC, CDC)
IMPLEMENT_DYNAMIC(CClientDC, CDC)
IMPLEMENT_DYNAMIC(CWindowDC, CDC)

namespace {
std::atomic<long> g_liveDC{0};
}

long CDC::liveCount() {
    return g_liveDC.load();
}

CDC::~CDC() {
    DeleteDC();
}

CDC* CDC::FromHandle(HDC hDC) {
    if (!hDC) return nullptr;
    auto& temps = AfxGetThreadState()->temporaryDC;
    auto it = temps.find(hDC);
    if (it != temps.end()) return it->second;
    auto* dc = new CDC;
    dc->m_hDC = dc->m_hAttribDC = hDC;  // borrowed
    temps.emplace(hDC, dc);
    return dc;
}

void afxDeleteTempDCs(AfxThreadState* state) {
    for (auto& entry : state->temporaryDC) {
        entry.second->m_hDC = entry.second->m_hAttribDC = nullptr;
        delete entry.second;
    }
    state->temporaryDC.clear();
}

BOOL CDC::Attach(HDC hDC) {
    if (!hDC) return FALSE;
    DeleteDC();
    m_hDC = m_hAttribDC = hDC;
    ++g_liveDC;
    return TRUE;
}

namespace {

// A FromHandle wrapper borrows its DC: it neither counts nor deletes it.
bool isTemporary(const CDC* dc, HDC h) {
    const auto& temps = AfxGetThreadState()->temporaryDC;
    auto it = temps.find(h);
    return it != temps.end() && it->second == dc;
}

}  // namespace

HDC CDC::Detach() {
    HDC h = m_hDC;
    if (h && !isTemporary(this, h)) --g_liveDC;
    m_hDC = m_hAttribDC = nullptr;
    return h;
}

BOOL CDC::DeleteDC() {
    if (!m_hDC) return FALSE;
    // The owner of a borrowed DC deletes it, not the temporary.
    if (isTemporary(this, m_hDC)) return FALSE;
    return ::DeleteDC(Detach());
}

BOOL CDC::CreateCompatibleDC(CDC* pDC) {
    return Attach(::CreateCompatibleDC(pDC ? pDC->m_hDC : nullptr));
}

CPen* CDC::SelectObject(CPen* pPen) {
    return static_cast<CPen*>(CGdiObject::FromHandle(::SelectObject(m_hDC, CGdiObject::handleOf(pPen))));
}
CBrush* CDC::SelectObject(CBrush* pBrush) {
    return static_cast<CBrush*>(CGdiObject::FromHandle(::SelectObject(m_hDC, CGdiObject::handleOf(pBrush))));
}
CFont* CDC::SelectObject(CFont* pFont) {
    return static_cast<CFont*>(CGdiObject::FromHandle(::SelectObject(m_hDC, CGdiObject::handleOf(pFont))));
}
CBitmap* CDC::SelectObject(CBitmap* pBitmap) {
    return static_cast<CBitmap*>(CGdiObject::FromHandle(::SelectObject(m_hDC, CGdiObject::handleOf(pBitmap))));
}
CGdiObject* CDC::SelectObject(CGdiObject* pObject) {
    return CGdiObject::FromHandle(::SelectObject(m_hDC, CGdiObject::handleOf(pObject)));
}
CGdiObject* CDC::SelectStockObject(int nIndex) {
    return CGdiObject::FromHandle(::SelectObject(m_hDC, ::GetStockObject(nIndex)));
}

CPoint CDC::SetViewportOrg(int x, int y) {
    POINT old{};
    ::SetViewportOrgEx(m_hDC, x, y, &old);
    return old;
}

CPoint CDC::SetWindowOrg(int x, int y) {
    POINT old{};
    ::SetWindowOrgEx(m_hDC, x, y, &old);
    return old;
}

BOOL CDC::BitBlt(int x, int y, int nWidth, int nHeight, CDC* pSrcDC, int xSrc, int ySrc, DWORD dwRop) {
    return ::BitBlt(m_hDC, x, y, nWidth, nHeight, pSrcDC ? pSrcDC->m_hDC : nullptr, xSrc, ySrc, dwRop);
}

BOOL CDC::StretchBlt(int x, int y, int nWidth, int nHeight, CDC* pSrcDC, int xSrc, int ySrc, int nSrcWidth,
                     int nSrcHeight, DWORD dwRop) {
    return ::StretchBlt(m_hDC, x, y, nWidth, nHeight, pSrcDC ? pSrcDC->m_hDC : nullptr, xSrc, ySrc, nSrcWidth,
                        nSrcHeight, dwRop);
}

void CDC::FillSolidRect(LPCRECT lpRect, COLORREF clr) {
    ::SetBkColor(m_hDC, clr);
    ::ExtTextOutW(m_hDC, 0, 0, ETO_OPAQUE, lpRect, nullptr, 0, nullptr);
}

void CDC::FillSolidRect(int x, int y, int cx, int cy, COLORREF clr) {
    RECT r{x, y, x + cx, y + cy};
    FillSolidRect(&r, clr);
}

void CDC::Draw3dRect(LPCRECT r, COLORREF clrTopLeft, COLORREF clrBottomRight) {
    int x = r->left, y = r->top, cx = r->right - r->left, cy = r->bottom - r->top;
    FillSolidRect(x, y, cx - 1, 1, clrTopLeft);
    FillSolidRect(x, y, 1, cy - 1, clrTopLeft);
    FillSolidRect(x + cx, y, -1, cy, clrBottomRight);
    FillSolidRect(x, y + cy, cx, -1, clrBottomRight);
}

CPoint CDC::MoveTo(int x, int y) {
    POINT old{};
    ::MoveToEx(m_hDC, x, y, &old);
    return old;
}

CSize CDC::GetTextExtent(LPCWSTR lpszString, int nCount) const {
    SIZE s{};
    ::GetTextExtentPoint32W(m_hDC, lpszString, nCount, &s);
    return s;
}

CPaintDC::CPaintDC(CWnd* pWnd) : m_hWnd(pWnd->m_hWnd) {
    const AfxPrintTarget* print = AfxGetThreadState()->printTarget;
    if (print && print->hWnd == m_hWnd) {
        m_bPrinting = true;
        m_ps.hdc = print->hDC;
        ::GetClientRect(m_hWnd, &m_ps.rcPaint);
        Attach(print->hDC);
        return;
    }
    Attach(::BeginPaint(m_hWnd, &m_ps));
}

CPaintDC::~CPaintDC() {
    if (!m_hDC) return;
    // A printed paint gives the DC back to its sender untouched.
    if (!m_bPrinting) ::EndPaint(m_hWnd, &m_ps);
    Detach();
}

CClientDC::CClientDC(CWnd* pWnd) : m_hWnd(pWnd ? pWnd->m_hWnd : nullptr) {
    Attach(::GetDC(m_hWnd));
}

CClientDC::~CClientDC() {
    if (m_hDC) ::ReleaseDC(m_hWnd, Detach());
}

CWindowDC::CWindowDC(CWnd* pWnd) : m_hWnd(pWnd ? pWnd->m_hWnd : nullptr) {
    Attach(::GetWindowDC(m_hWnd));
}

CWindowDC::~CWindowDC() {
    if (m_hDC) ::ReleaseDC(m_hWnd, Detach());
}
