#pragma once
// The current font face and the program-wide font caches: every face and
// pixel size is created once and shared by all windows until exit.
#include "afx/afx.h"

#include <map>

// The face every window draws its text in; follows the brand and language.
extern CString g_strFontFace;

class CFontCache {
public:
    // Face names the program uses.
    static const wchar_t* const kFaceTessaly;   // brand TS and any other brand; the initial face
    static const wchar_t* const kFaceLuvo;      // brand LV
    static const wchar_t* const kFaceDravane;   // brand DR
    static const wchar_t* const kFaceTahoma;    // brand LV in the Arabic UI
    static const wchar_t* const kFaceDejaVu;    // brand DR in the Arabic UI

    enum { CACHE_REGULAR = 0, CACHE_BOLD = 1, CACHE_CORP = 2, CACHE_UNDERLINE = 3, CACHE_COUNT = 4 };
    using SizeMap = std::map<int, CFont*>;

    // The current face from the last signed-in brand and the UI language.
    static void selectFace();
    static void selectFaceForCorp(int corp);
    // The face a brand gets in a UI language, and a brand's own face.
    static CString faceFor(int corp, int uiLanguage);
    static CString corpFace(int corp);

    // Cached fonts; null when the font cannot be created. Callers borrow them.
    static CFont* getFont(int pixelSize);
    static CFont* getBoldFont(int pixelSize);
    static CFont* getCorpFont(int corp, int pixelSize);

    // The size map of a face in a cache, created empty when missing; null
    // for a cache index outside 0..3.
    static SizeMap* getFaceMap(int cache, const CString& face);
    static CFont* findFont(int cache, const CString& face, int pixelSize);
    // Deletes every cached font; only when no window uses them any more.
    static void clear();

    static CString getBoldFileName(const CString& fileName);

private:
    static CFont* cachedFont(int cache, const CString& face, int pixelSize, int weight, BOOL underline);
};
