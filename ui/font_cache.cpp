#include "ui/font_cache.h"

#include "foundation/code_tables.h"
#include "foundation/regsetting.h"

const wchar_t* const CFontCache::kFaceTessaly = L"KestruneTessaly Regular";
const wchar_t* const CFontCache::kFaceLuvo = L"KestruneLuvo Regular";
const wchar_t* const CFontCache::kFaceDravane = L"KestruneDravane Regular";
const wchar_t* const CFontCache::kFaceTahoma = L"Tahoma";
const wchar_t* const CFontCache::kFaceDejaVu = L"DejaVu Sans";

CString g_strFontFace = L"KestruneTessaly Regular";

namespace {

// face -> size -> font, one map per cache.
std::map<CString, CFontCache::SizeMap> g_caches[CFontCache::CACHE_COUNT];

}  // namespace

CString CFontCache::faceFor(int corp, int uiLanguage) {
    const bool arabic = uiLanguage == LANGUAGE_AR;
    switch (corp) {
    case CORP_LV: return arabic ? kFaceTahoma : kFaceLuvo;
    case CORP_DR: return arabic ? kFaceDejaVu : kFaceDravane;
    default: return kFaceTessaly;
    }
}

CString CFontCache::corpFace(int corp) {
    switch (corp) {
    case CORP_DR: return kFaceDravane;
    case CORP_LV: return kFaceLuvo;
    default: return kFaceTessaly;
    }
}

void CFontCache::selectFace() {
    g_strFontFace = faceFor(CRegSetting::getLastUserCorp(), CRegSetting::getLanguage());
}

void CFontCache::selectFaceForCorp(int corp) {
    g_strFontFace = faceFor(corp, CRegSetting::getLanguage());
}

CFontCache::SizeMap* CFontCache::getFaceMap(int cache, const CString& face) {
    if (cache < 0 || cache >= CACHE_COUNT) return nullptr;
    return &g_caches[cache][face];
}

CFont* CFontCache::findFont(int cache, const CString& face, int pixelSize) {
    SizeMap* sizes = getFaceMap(cache, face);
    if (!sizes) return nullptr;
    auto it = sizes->find(pixelSize);
    return it == sizes->end() ? nullptr : it->second;
}

CFont* CFontCache::cachedFont(int cache, const CString& face, int pixelSize, int weight, BOOL underline) {
    if (CFont* found = findFont(cache, face, pixelSize)) return found;
    LOGFONTW lf{};
    lf.lfHeight = -pixelSize;
    lf.lfWeight = weight;
    lf.lfUnderline = underline ? 1 : 0;
    wcsncpy_s(lf.lfFaceName, face.GetString(), _TRUNCATE);
    auto* font = new CFont;
    if (!font->CreateFontIndirect(&lf)) {
        delete font;
        return nullptr;
    }
    (*getFaceMap(cache, face))[pixelSize] = font;
    return font;
}

CFont* CFontCache::getFont(int pixelSize) {
    return cachedFont(CACHE_REGULAR, g_strFontFace, pixelSize, FW_NORMAL, FALSE);
}

CFont* CFontCache::getBoldFont(int pixelSize) {
    return cachedFont(CACHE_BOLD, g_strFontFace, pixelSize, FW_BOLD, FALSE);
}

CFont* CFontCache::getCorpFont(int corp, int pixelSize) {
    return cachedFont(CACHE_CORP, corpFace(corp), pixelSize, FW_NORMAL, FALSE);
}

void CFontCache::clear() {
    for (auto& cache : g_caches) {
        for (auto& [face, sizes] : cache) {
            for (auto& [size, font] : sizes) {
                font->DeleteObject();
                delete font;
            }
        }
        cache.clear();
    }
}

CString CFontCache::getBoldFileName(const CString& fileName) {
    static const struct { const wchar_t* regular; const wchar_t* bold; } files[] = {
        {L"KestruneDravane-Regular.ttf", L"KestruneDravane-Bold.ttf"},
        {L"KestruneLuvo-Regular.ttf", L"KestruneLuvo-Bold.ttf"},
        {L"KestruneTessaly-Regular.ttf", L"KestruneTessaly-Bold.ttf"},
        {L"DROIDSANS.TTF", L"DejaVuSans-Bold.ttf"},
        {L"tahoma.ttf", L"tahomabd.ttf"},
    };
    for (const auto& f : files) {
        if (fileName == f.regular) return f.bold;
    }
    return fileName;
}
