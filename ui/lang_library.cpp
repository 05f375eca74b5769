#include "ui/lang_library.h"

#include "foundation/code_tables.h"
#include "ui/dlang.h"

HMODULE CLangLibrary::s_library = nullptr;
LANGID CLangLibrary::s_langId = 0x409;

namespace {

CLangLibrary::RootLangHook g_rootLang = nullptr;
CLangLibrary::BroadcastHook g_broadcast = nullptr;
CString g_pathOverride;

CString libraryPath() {
    if (!g_pathOverride.IsEmpty()) return g_pathOverride;
    wchar_t module[MAX_PATH] = {};
    DWORD n = GetModuleFileNameW(nullptr, module, MAX_PATH);
    CString folder(module, static_cast<int>(n));
    int slash = folder.ReverseFind(L'\\');
    folder = slash >= 0 ? folder.Left(slash) : CString();
    return folder + L"\\Lang.dll";
}

CString ownString(UINT id) {
    const wchar_t* text = nullptr;
    int n = LoadStringW(AfxGetResourceHandle(), id, reinterpret_cast<LPWSTR>(&text), 0);
    return n > 0 && text ? CString(text, n) : CString();
}

}  // namespace

LANGID CLangLibrary::langIdFor(int uiLanguage) {
    static const LANGID ids[] = {0x412, 0x409, 0x40C, 0xC0C, 0x540A, 0x416, 0x419,
                                 0x407, 0x410, 0x41F, 0x3801, 0x1000, 0x40A};
    if (uiLanguage >= LANGUAGE_KO && uiLanguage <= LANGUAGE_E2) return ids[uiLanguage - LANGUAGE_KO];
    return 0x409;
}

BOOL CLangLibrary::loadLanguage(int uiLanguage) {
    s_langId = langIdFor(uiLanguage);
    if (s_library) return TRUE;
    CString path = libraryPath();
    if (GetFileAttributesW(path.GetString()) == INVALID_FILE_ATTRIBUTES) {
        CString text;
        text.Format(L"Load failed language file - not exist : %s", path.GetString());
        AfxMessageBox(text.GetString());
        return FALSE;
    }
    // Only its string tables are read: mapped as an image resource, none of
    // its code (entry point, imports) ever runs in this elevated process.
    HMODULE library = LoadLibraryExW(path.GetString(), nullptr, LOAD_LIBRARY_AS_IMAGE_RESOURCE | LOAD_LIBRARY_AS_DATAFILE);
    if (!library) {
        CString text;
        text.Format(L"Load failed language file : %s", path.GetString());
        AfxMessageBox(text.GetString());
        return FALSE;
    }
    s_library = library;
    return TRUE;
}

CString CLangLibrary::loadLangString(UINT id) {
    if (!s_library) return ownString(id);
    HRSRC found = FindResourceExW(s_library, RT_STRING, MAKEINTRESOURCEW(id / 16 + 1), s_langId);
    if (!found) return CString();
    HGLOBAL loaded = LoadResource(s_library, found);
    const WORD* block = loaded ? static_cast<const WORD*>(LockResource(loaded)) : nullptr;
    if (!block) return CString();
    // Every step is checked against the block's end: a malformed library
    // must never make us read past its resource.
    const size_t words = SizeofResource(s_library, found) / sizeof(WORD);
    size_t at = 0;
    for (UINT entry = 0; entry < id % 16; ++entry) {
        if (at >= words) return CString();
        at += 1 + static_cast<size_t>(block[at]);
    }
    if (at >= words) return CString();
    const size_t count = block[at];
    if (count == 0 || count > words - at - 1) return CString();
    return CString(reinterpret_cast<const wchar_t*>(block + at + 1), static_cast<int>(count));
}

BOOL CLangLibrary::changeLanguage(int uiLanguage, BOOL apply) {
    if (!apply) return TRUE;
    if (g_rootLang) {
        if (CDLang* lang = g_rootLang()) lang->setLanguage(uiLanguage);
    }
    if (!loadLanguage(uiLanguage)) return FALSE;
    if (g_broadcast) g_broadcast();
    return TRUE;
}

void CLangLibrary::setChangeHooks(RootLangHook rootLang, BroadcastHook broadcast) {
    g_rootLang = rootLang;
    g_broadcast = broadcast;
}

void CLangLibrary::setLibraryPath(const CString& path) {
    g_pathOverride = path;
}

HMODULE CLangLibrary::exchangeLibrary(HMODULE library) {
    HMODULE old = s_library;
    s_library = library;
    return old;
}
