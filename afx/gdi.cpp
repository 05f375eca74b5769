#include "afx/gdi.h"

#include "afx/dc.h"
#include "afx/module.h"
#include "afx/thread_state.h"

#include <atomic>

IMPLEMENT_DYNAMIC(CGdiObject, CObject)
IMPLEMENT_DYNAMIC(CPen, CGdiObject)
IMPLEMENT_DYNAMIC(CBrush, CGdiObject)
IMPLEMENT_DYNAMIC(CFont, CGdiObject)
IMPLEMENT_DYNAMIC(CBitmap, CGdiObject)
IMPLEMENT_DYNAMIC(CRgn, CGdiObject)

namespace {

std::atomic<long> g_liveGdi{0};

CGdiObject* newWrapperFor(HGDIOBJ h) {
    switch (::GetObjectType(h)) {
    case OBJ_PEN:
    case OBJ_EXTPEN: return new CPen;
    case OBJ_BRUSH: return new CBrush;
    case OBJ_FONT: return new CFont;
    case OBJ_BITMAP: return new CBitmap;
    case OBJ_REGION: return new CRgn;
    default: return new CGdiObject;
    }
}

}  // namespace

CGdiObject::~CGdiObject() {
    DeleteObject();
}

long CGdiObject::liveCount() {
    return g_liveGdi.load();
}

CGdiObject* CGdiObject::FromHandle(HGDIOBJ hObject) {
    if (!hObject) return nullptr;
    auto& temps = AfxGetThreadState()->temporaryGdi;
    auto it = temps.find(hObject);
    if (it != temps.end()) return it->second;
    CGdiObject* wrapper = newWrapperFor(hObject);
    wrapper->m_hObject = hObject;  // borrowed: not counted, never deleted
    temps.emplace(hObject, wrapper);
    return wrapper;
}

void afxDeleteTempGdiObjects(AfxThreadState* state) {
    for (auto& entry : state->temporaryGdi) {
        entry.second->m_hObject = nullptr;
        delete entry.second;
    }
    state->temporaryGdi.clear();
}

BOOL CGdiObject::Attach(HGDIOBJ hObject) {
    if (!hObject) return FALSE;
    DeleteObject();
    m_hObject = hObject;
    ++g_liveGdi;
    return TRUE;
}

namespace {

// A FromHandle wrapper borrows its handle: it neither counts nor deletes it.
bool isTemporary(const CGdiObject* object, HGDIOBJ h) {
    const auto& temps = AfxGetThreadState()->temporaryGdi;
    auto it = temps.find(h);
    return it != temps.end() && it->second == object;
}

}  // namespace

HGDIOBJ CGdiObject::Detach() {
    HGDIOBJ h = m_hObject;
    if (h && !isTemporary(this, h)) --g_liveGdi;
    m_hObject = nullptr;
    return h;
}

BOOL CGdiObject::DeleteObject() {
    if (!m_hObject) return FALSE;
    // The owner of a borrowed handle deletes it, not the temporary.
    if (isTemporary(this, m_hObject)) return FALSE;
    return ::DeleteObject(Detach());
}

int CGdiObject::GetObject(int nCount, LPVOID lpObject) const {
    return m_hObject ? ::GetObjectW(m_hObject, nCount, lpObject) : 0;
}

UINT CGdiObject::GetObjectType() const {
    return m_hObject ? ::GetObjectType(m_hObject) : 0;
}

BOOL CFont::CreateFont(int nHeight, int nWidth, int nEscapement, int nOrientation, int nWeight, BYTE bItalic,
                       BYTE bUnderline, BYTE cStrikeOut, BYTE nCharSet, BYTE nOutPrecision, BYTE nClipPrecision,
                       BYTE nQuality, BYTE nPitchAndFamily, LPCWSTR lpszFacename) {
    return Attach(::CreateFontW(nHeight, nWidth, nEscapement, nOrientation, nWeight, bItalic, bUnderline, cStrikeOut,
                                nCharSet, nOutPrecision, nClipPrecision, nQuality, nPitchAndFamily, lpszFacename));
}

BOOL CFont::CreatePointFont(int nPointSize, LPCWSTR lpszFaceName, CDC* pDC) {
    HDC hdc = pDC ? pDC->m_hDC : ::GetDC(nullptr);
    LOGFONTW lf{};
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfHeight = -MulDiv(nPointSize, ::GetDeviceCaps(hdc, LOGPIXELSY), 720);
    lstrcpynW(lf.lfFaceName, lpszFaceName ? lpszFaceName : L"", LF_FACESIZE);
    if (!pDC) ::ReleaseDC(nullptr, hdc);
    return CreateFontIndirect(&lf);
}

BOOL CBitmap::CreateCompatibleBitmap(CDC* pDC, int nWidth, int nHeight) {
    return Attach(::CreateCompatibleBitmap(pDC->m_hDC, nWidth, nHeight));
}

BOOL CBitmap::LoadBitmap(UINT nIDResource) {
    return Attach(::LoadBitmapW(AfxGetResourceHandle(), MAKEINTRESOURCEW(nIDResource)));
}
