// The language library loader: language ids, the string-block walk on the
// real and on a crafted library, a missing or broken library, the switch.
#include "foundation/code_tables.h"
#include "tests/support/test_support.h"
#include "tests/ui/ui_fixtures.h"
#include "ui/dlang.h"
#include "ui/lang_library.h"

#include <gtest/gtest.h>

TEST(LangLibrary, LanguageIdOfEveryUiLanguage) {
    const std::pair<int, LANGID> cases[] = {
        {LANGUAGE_KO, 0x412}, {LANGUAGE_EN, 0x409}, {LANGUAGE_FR, 0x40C}, {LANGUAGE_F1, 0xC0C},
        {LANGUAGE_ES, 0x540A}, {LANGUAGE_PT, 0x416}, {LANGUAGE_RU, 0x419}, {LANGUAGE_DE, 0x407},
        {LANGUAGE_IT, 0x410}, {LANGUAGE_TR, 0x41F}, {LANGUAGE_AR, 0x3801}, {LANGUAGE_E1, 0x1000},
        {LANGUAGE_E2, 0x40A}, {0, 0x409}, {14, 0x409}, {-1, 0x409}};
    for (const auto& [language, langId] : cases) EXPECT_EQ(CLangLibrary::langIdFor(language), langId) << language;
}

TEST_F(LangLibraryTest, TextsOfTheRealLibraryByLanguage) {
    struct Case { int language; UINT id; const wchar_t* text; };
    const Case cases[] = {
        {LANGUAGE_EN, 12045, L"OK"},
        {LANGUAGE_KO, 12045, L"확인"},
        {LANGUAGE_AR, 12045, L"موافق"},
        {LANGUAGE_FR, 12045, L"OK"},       // the other tables copy English
        {LANGUAGE_E1, 12040, L"Cancel"},
        {LANGUAGE_EN, 12345, L"Choose another vehicle"},  // entry 9 of block 772
        {LANGUAGE_EN, 12007, L""},         // a gap in a block that exists
        {LANGUAGE_EN, 100, L""},           // no block: the program's table is not asked
        {0, 12045, L"OK"},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(CLangLibrary::loadLanguage(c.language));
        EXPECT_EQ(CLangLibrary::loadLangString(c.id), CString(c.text)) << c.language << " " << c.id;
    }
    // Loaded once: later calls only switch the language.
    HMODULE first = CLangLibrary::library();
    ASSERT_TRUE(CLangLibrary::loadLanguage(LANGUAGE_KO));
    EXPECT_EQ(CLangLibrary::library(), first);
    EXPECT_EQ(CLangLibrary::languageId(), 0x412);
    // Mapped as an image resource (the loader marks such handles in their
    // low bits), so none of the library's code can run.
    EXPECT_NE(reinterpret_cast<ULONG_PTR>(first) & 3, 0u);
    EXPECT_EQ(GetModuleHandleW(L"Lang.dll"), nullptr);
}

TEST_F(LangLibraryTest, MalformedBlocksAreNeverReadPastTheirEnd) {
    HMODULE crafted = LoadLibraryW((moduleFolder() + L"LangCrafted.dll").GetString());
    ASSERT_NE(crafted, nullptr);
    useLibrary(crafted);
    ASSERT_TRUE(CLangLibrary::loadLanguage(LANGUAGE_EN));
    const std::pair<UINT, const wchar_t*> cases[] = {
        {1600, L"First"}, {1601, L""},   // the count runs past the block
        {1602, L""},                     // the walk passes the end
        {1616, L"A"}, {1618, L"C"}, {1619, L""}, {1631, L""},  // the block ends after three entries
        {1632, L""},                     // empty block
        {1648, L""},                     // half a character after the count
        {1664, L""}, {1665, L"Last"}, {1666, L""},
    };
    for (const auto& [id, text] : cases) EXPECT_EQ(CLangLibrary::loadLangString(id), CString(text)) << id;
    // Only English exists in it, and there is no fallback to it.
    ASSERT_TRUE(CLangLibrary::loadLanguage(LANGUAGE_KO));
    EXPECT_EQ(CLangLibrary::loadLangString(1600), CString());
}

TEST_F(LangLibraryTest, MissingOrBrokenLibraryStopsWithItsMessage) {
    TempDir dir;
    ASSERT_TRUE(writeBytes(dir / L"Lang.dll", "not a library"));
    const struct { CString path; const wchar_t* format; } cases[] = {
        {dir / L"none\\Lang.dll", L"Load failed language file - not exist : %s"},
        {dir / L"Lang.dll", L"Load failed language file : %s"},
    };
    for (const auto& c : cases) {
        useLibrary(nullptr);
        CLangLibrary::setLibraryPath(c.path);
        s_messages.clear();
        EXPECT_FALSE(CLangLibrary::loadLanguage(LANGUAGE_AR));
        CString expected;
        expected.Format(c.format, c.path.GetString());
        ASSERT_EQ(s_messages.size(), 1u);
        EXPECT_EQ(s_messages[0], expected);
        EXPECT_EQ(CLangLibrary::languageId(), 0x3801);  // set even when loading fails
        EXPECT_EQ(CLangLibrary::library(), nullptr);
        // Without a library the program's own strings answer.
        EXPECT_EQ(CLangLibrary::loadLangString(100),
                  CString(L"OLE initialization failed.  Make sure that the OLE libraries are the correct version."));
        EXPECT_EQ(CLangLibrary::loadLangString(12045), CString());
    }
}

namespace {
CDLang* g_rootLang = nullptr;
int g_broadcasts = 0;
CDLang* rootLang() { return g_rootLang; }
void broadcast() { ++g_broadcasts; }
}  // namespace

TEST_F(LangLibraryTest, ChangeLanguageResetsTheManagerAndBroadcasts) {
    CDLang lang;
    g_rootLang = &lang;
    g_broadcasts = 0;
    CLangLibrary::setChangeHooks(rootLang, broadcast);
    lang.setTextParam(12607, L"[#Brand#]", L"Luvo");
    ASSERT_NE(lang.script(12607), nullptr);

    EXPECT_TRUE(CLangLibrary::changeLanguage(LANGUAGE_KO, FALSE));  // not applied: nothing happens
    EXPECT_EQ(CLangLibrary::languageId(), 0x409);
    EXPECT_NE(lang.script(12607), nullptr);
    EXPECT_EQ(g_broadcasts, 0);

    EXPECT_TRUE(CLangLibrary::changeLanguage(LANGUAGE_KO, TRUE));
    EXPECT_EQ(CLangLibrary::languageId(), 0x412);
    EXPECT_EQ(lang.script(12607), nullptr);
    EXPECT_EQ(g_broadcasts, 1);

    // A failed load reports FALSE and broadcasts nothing.
    useLibrary(nullptr);
    CLangLibrary::setLibraryPath(L"Z:\\nonexistent\\Lang.dll");
    EXPECT_FALSE(CLangLibrary::changeLanguage(LANGUAGE_EN, TRUE));
    EXPECT_EQ(g_broadcasts, 1);
    CLangLibrary::setChangeHooks(nullptr, nullptr);
    g_rootLang = nullptr;
}
