#pragma once
// The language library "Lang.dll" beside the program: one string table per
// Windows language id, read by text id in the current UI language. The
// application object forwards its loadLanguage / loadLangString /
// changeLanguage to these.
#include "afx/afx.h"

class CDLang;

class CLangLibrary {
public:
    // Windows language id of a UI language (LANGUAGE_*); 0x409 for any other value.
    static LANGID langIdFor(int uiLanguage);

    // Selects the language's string tables; loads the library once. FALSE,
    // after a message box, when the library is missing or cannot be loaded.
    static BOOL loadLanguage(int uiLanguage);
    // The text of an id in the current language; "" when there is none.
    // Without a library: the program's own string table.
    static CString loadLangString(UINT id);
    // The settings page's language switch (nothing happens unless apply).
    static BOOL changeLanguage(int uiLanguage, BOOL apply);

    static HMODULE library() { return s_library; }
    static LANGID languageId() { return s_langId; }

    // Set by the shell: the root dialog's language manager (null while there
    // is none) and the broadcast of RWM_CHANGE_LANGUAGE to every window.
    using RootLangHook = CDLang* (*)();
    using BroadcastHook = void (*)();
    static void setChangeHooks(RootLangHook rootLang, BroadcastHook broadcast);

    // Seams for tests: where the library is looked for (empty: beside the
    // program) and the loaded library itself (the former one is returned and
    // stays loaded; null lets loadLanguage load again). Message boxes go
    // through AfxMessageBox and its seam.
    static void setLibraryPath(const CString& path);
    static HMODULE exchangeLibrary(HMODULE library);

private:
    static HMODULE s_library;
    static LANGID s_langId;
};
