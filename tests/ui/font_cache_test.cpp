// Font faces by brand and language, and the four caches.
#include "foundation/code_tables.h"
#include "foundation/regsetting.h"
#include "tests/ui/ui_fixtures.h"
#include "ui/font_cache.h"

#include <gtest/gtest.h>

namespace {

LOGFONTW logFont(CFont* font) {
    LOGFONTW lf{};
    if (font) font->GetLogFont(&lf);
    return lf;
}

class FontCacheTest : public testing::Test {
protected:
    void SetUp() override {
        CFontCache::clear();
        m_baseline = CGdiObject::liveCount();
        g_strFontFace = CFontCache::kFaceTessaly;
    }
    void TearDown() override {
        CFontCache::clear();
        EXPECT_EQ(CGdiObject::liveCount(), m_baseline);
        g_strFontFace = CFontCache::kFaceTessaly;
        CRegSetting::setRegion(REGION_KR);
        CRegSetting::setLanguage(LANGUAGE_KO);
    }
    long m_baseline = 0;
};

}  // namespace

TEST(FontFaces, FaceByBrandAndLanguage) {
    const struct { int corp; int language; const wchar_t* face; } cases[] = {
        {CORP_TS, LANGUAGE_EN, L"KestruneTessaly Regular"}, {CORP_TS, LANGUAGE_AR, L"KestruneTessaly Regular"},
        {CORP_LV, LANGUAGE_KO, L"KestruneLuvo Regular"},    {CORP_LV, LANGUAGE_AR, L"Tahoma"},
        {CORP_DR, LANGUAGE_DE, L"KestruneDravane Regular"}, {CORP_DR, LANGUAGE_AR, L"DejaVu Sans"},
        {CORP_NONE, LANGUAGE_AR, L"KestruneTessaly Regular"}, {7, LANGUAGE_EN, L"KestruneTessaly Regular"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CFontCache::faceFor(c.corp, c.language), CString(c.face)) << c.corp << " " << c.language;
    const struct { int corp; const wchar_t* face; } brands[] = {
        {CORP_TS, L"KestruneTessaly Regular"}, {CORP_LV, L"KestruneLuvo Regular"},
        {CORP_DR, L"KestruneDravane Regular"}, {CORP_NONE, L"KestruneTessaly Regular"}};
    for (const auto& b : brands) EXPECT_EQ(CFontCache::corpFace(b.corp), CString(b.face)) << b.corp;
}

TEST_F(FontCacheTest, SelectFaceFollowsTheSettings) {
    CRegSetting::setRegion(REGION_ME);
    CRegSetting::setLanguage(LANGUAGE_AR);
    CRegSetting::setLastUserCorp(CORP_LV);
    CFontCache::selectFace();
    EXPECT_EQ(g_strFontFace, CString(L"Tahoma"));
    CFontCache::selectFaceForCorp(CORP_TS);
    EXPECT_EQ(g_strFontFace, CString(L"KestruneTessaly Regular"));
    CFontCache::selectFaceForCorp(CORP_DR);
    EXPECT_EQ(g_strFontFace, CString(L"DejaVu Sans"));
    CRegSetting::setLanguage(LANGUAGE_EN);
    CFontCache::selectFaceForCorp(CORP_DR);
    EXPECT_EQ(g_strFontFace, CString(L"KestruneDravane Regular"));
}

TEST_F(FontCacheTest, FontsAreMadeOnceAndKeptAcrossFaceChanges) {
    CFont* first = CFontCache::getFont(16);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(CFontCache::getFont(16), first);
    LOGFONTW lf = logFont(first);
    EXPECT_EQ(lf.lfHeight, -16);
    EXPECT_EQ(lf.lfWeight, FW_NORMAL);
    EXPECT_EQ(lf.lfUnderline, 0);
    EXPECT_EQ(lf.lfCharSet, ANSI_CHARSET);
    EXPECT_STREQ(lf.lfFaceName, L"KestruneTessaly Regular");

    CFont* bold = CFontCache::getBoldFont(16);
    ASSERT_NE(bold, nullptr);
    EXPECT_NE(bold, first);
    EXPECT_EQ(logFont(bold).lfWeight, FW_BOLD);

    CFontCache::selectFaceForCorp(CORP_LV);
    CFont* luvo = CFontCache::getFont(16);
    ASSERT_NE(luvo, nullptr);
    EXPECT_NE(luvo, first);
    EXPECT_STREQ(logFont(luvo).lfFaceName, L"KestruneLuvo Regular");
    // The old face's font stays cached.
    EXPECT_EQ(CFontCache::findFont(CFontCache::CACHE_REGULAR, L"KestruneTessaly Regular", 16), first);
    EXPECT_EQ(CFontCache::findFont(CFontCache::CACHE_REGULAR, L"KestruneTessaly Regular", 17), nullptr);
}

TEST_F(FontCacheTest, BrandFontsAreTheBrandsOwnWhateverTheCurrentFace) {
    for (const wchar_t* current : {CFontCache::kFaceTessaly, CFontCache::kFaceLuvo, CFontCache::kFaceDejaVu}) {
        g_strFontFace = current;
        CFont* ts = CFontCache::getCorpFont(CORP_TS, 16);
        CFont* lv = CFontCache::getCorpFont(CORP_LV, 16);
        CFont* dr = CFontCache::getCorpFont(CORP_DR, 16);
        ASSERT_TRUE(ts && lv && dr);
        EXPECT_TRUE(ts != lv && lv != dr && ts != dr);
        EXPECT_STREQ(logFont(ts).lfFaceName, L"KestruneTessaly Regular");
        EXPECT_STREQ(logFont(lv).lfFaceName, L"KestruneLuvo Regular");
        EXPECT_STREQ(logFont(dr).lfFaceName, L"KestruneDravane Regular");
        EXPECT_EQ(CFontCache::getCorpFont(CORP_NONE, 16), ts);
    }
}

TEST_F(FontCacheTest, FaceMapsAndTheUnderlineCache) {
    EXPECT_EQ(CFontCache::getFaceMap(4, L"Tahoma"), nullptr);
    EXPECT_EQ(CFontCache::getFaceMap(-1, L"Tahoma"), nullptr);
    EXPECT_EQ(CFontCache::findFont(4, L"Tahoma", 14), nullptr);

    // The message box files its underlined font in cache 3 itself.
    CFontCache::SizeMap* sizes = CFontCache::getFaceMap(CFontCache::CACHE_UNDERLINE, g_strFontFace);
    ASSERT_NE(sizes, nullptr);
    EXPECT_TRUE(sizes->empty());
    auto* underlined = new CFont;
    LOGFONTW lf{};
    lf.lfHeight = -14;
    lf.lfUnderline = 1;
    wcscpy_s(lf.lfFaceName, CString(g_strFontFace).GetString());
    ASSERT_TRUE(underlined->CreateFontIndirect(&lf));
    (*sizes)[14] = underlined;
    EXPECT_EQ(CFontCache::findFont(CFontCache::CACHE_UNDERLINE, g_strFontFace, 14), underlined);
    // Faces are compared exactly.
    EXPECT_EQ(CFontCache::findFont(CFontCache::CACHE_UNDERLINE, L"kestrunetessaly regular", 14), nullptr);
}

TEST_F(FontCacheTest, ClearReleasesEveryFont) {
    const DWORD gdiBefore = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    for (int size = 10; size < 30; ++size) {
        CFontCache::getFont(size);
        CFontCache::getBoldFont(size);
        CFontCache::getCorpFont(CORP_DR, size);
    }
    EXPECT_EQ(CGdiObject::liveCount(), m_baseline + 60);
    CFontCache::clear();
    EXPECT_EQ(CGdiObject::liveCount(), m_baseline);
    EXPECT_EQ(GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS), gdiBefore);
    EXPECT_EQ(CFontCache::findFont(CFontCache::CACHE_REGULAR, g_strFontFace, 16), nullptr);
}

TEST(FontFiles, BoldCompanionOfEachRegularFile) {
    const std::pair<const wchar_t*, const wchar_t*> cases[] = {
        {L"KestruneDravane-Regular.ttf", L"KestruneDravane-Bold.ttf"},
        {L"KestruneLuvo-Regular.ttf", L"KestruneLuvo-Bold.ttf"},
        {L"KestruneTessaly-Regular.ttf", L"KestruneTessaly-Bold.ttf"},
        {L"DROIDSANS.TTF", L"DejaVuSans-Bold.ttf"},
        {L"tahoma.ttf", L"tahomabd.ttf"},
        {L"droidsans.ttf", L"droidsans.ttf"},              // case matters
        {L"KestruneTessaly Regular", L"KestruneTessaly Regular"},  // a face name is not a file
        {L"", L""},
    };
    for (const auto& [file, bold] : cases)
        EXPECT_EQ(CFontCache::getBoldFileName(file), CString(bold)) << CW2A(file, CP_UTF8);
}
