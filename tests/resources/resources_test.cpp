// The program's resources, the language library beside it and the brand
// fonts of the prefix, read the way the program reads them.
#include "resources/resource.h"
#include "skin_table.h"
#include "tests/support/test_support.h"

#include <gdiplus.h>
#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <regex>
#include <set>
#include <string>

namespace {

INT_PTR CALLBACK quietDialogProc(HWND, UINT message, WPARAM, LPARAM) {
    return message == WM_INITDIALOG ? TRUE : FALSE;
}

struct Window {
    HWND hwnd = nullptr;
    explicit Window(HWND h) : hwnd(h) {}
    ~Window() { if (hwnd) DestroyWindow(hwnd); }
};

}  // namespace

TEST(Resources, DialogTemplatesCreateWithTheirControls) {
    struct Case { int templateId; bool child; std::vector<int> controls; };
    const Case cases[] = {
        {IDD_BASE_DIALOG, false, {}},
        {IDD_MSG_BOX, false, {IDC_STATIC_TITLE, IDC_STATIC_MESSAGE, IDC_STATIC_LINK, IDC_BUTTON_OK, IDC_BUTTON_CANCEL}},
        {IDD_CHILD_NOTICE, true, {IDC_STATIC_TITLE, IDC_BUTTON_ITEM, IDC_STATIC_DATE, IDC_BUTTON_MORE}},
    };
    Window parent(CreateWindowExW(0, L"STATIC", L"parent", WS_POPUP, 0, 0, 900, 600, nullptr, nullptr, nullptr, nullptr));
    ASSERT_NE(parent.hwnd, nullptr);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.templateId);
        Window dialog(CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(c.templateId),
                                         c.child ? parent.hwnd : nullptr, quietDialogProc, 0));
        ASSERT_NE(dialog.hwnd, nullptr) << GetLastError();
        EXPECT_EQ((GetWindowLongW(dialog.hwnd, GWL_STYLE) & WS_CHILD) != 0, c.child);
        for (int id : c.controls) EXPECT_NE(GetDlgItem(dialog.hwnd, id), nullptr) << id;
    }
}

TEST(Resources, ProgramStringsIconAndManifest) {
    wchar_t text[256] = {};
    ASSERT_GT(LoadStringW(GetModuleHandleW(nullptr), IDP_OLE_INIT_FAILED, text, 256), 0);
    EXPECT_STREQ(text, L"OLE initialization failed.  Make sure that the OLE libraries are the correct version.");
    ASSERT_GT(LoadStringW(GetModuleHandleW(nullptr), IDR_MAINFRAME, text, 256), 0);
    EXPECT_STREQ(text, L"Kestrune");

    for (int size : {16, 32, 48}) {
        HICON icon = static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_MAINFRAME),
                                                   IMAGE_ICON, size, size, 0));
        EXPECT_NE(icon, nullptr) << size;
        if (icon) DestroyIcon(icon);
    }

    HRSRC found = FindResourceW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(1), RT_MANIFEST);
    ASSERT_NE(found, nullptr);
    std::string manifest(static_cast<const char*>(LockResource(LoadResource(GetModuleHandleW(nullptr), found))),
                         SizeofResource(GetModuleHandleW(nullptr), found));
    EXPECT_NE(manifest.find("level=\"requireAdministrator\""), std::string::npos);
    EXPECT_NE(manifest.find("name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\""), std::string::npos);
}

namespace {

class GdiplusTest : public testing::Test {
protected:
    void SetUp() override {
        Gdiplus::GdiplusStartupInput input;
        ASSERT_EQ(Gdiplus::GdiplusStartup(&m_token, &input, nullptr), Gdiplus::Ok);
    }
    void TearDown() override { Gdiplus::GdiplusShutdown(m_token); }

    static std::unique_ptr<Gdiplus::Bitmap> loadPng(int id) {
        HMODULE self = GetModuleHandleW(nullptr);
        HRSRC found = FindResourceW(self, MAKEINTRESOURCEW(id), L"PNG");
        if (!found) return nullptr;
        DWORD size = SizeofResource(self, found);
        HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, size);
        memcpy(GlobalLock(block), LockResource(LoadResource(self, found)), size);
        GlobalUnlock(block);
        IStream* stream = nullptr;
        CreateStreamOnHGlobal(block, TRUE, &stream);
        std::unique_ptr<Gdiplus::Bitmap> bitmap(Gdiplus::Bitmap::FromStream(stream));
        stream->Release();
        return bitmap && bitmap->GetLastStatus() == Gdiplus::Ok ? std::move(bitmap) : nullptr;
    }

    ULONG_PTR m_token = 0;
};

COLORREF pixel(Gdiplus::Bitmap& bitmap, int x, int y) {
    Gdiplus::Color c;
    bitmap.GetPixel(x, y, &c);
    return RGB(c.GetR(), c.GetG(), c.GetB());
}

}  // namespace

TEST_F(GdiplusTest, EverySkinHasItsSizeFramesAndColours) {
    std::set<COLORREF> fills;
    for (const SkinRow& row : kSkinTable) {
        SCOPED_TRACE(row.id);
        auto bitmap = loadPng(row.id);
        ASSERT_NE(bitmap, nullptr);
        ASSERT_EQ(static_cast<int>(bitmap->GetWidth()), row.width);
        ASSERT_EQ(static_cast<int>(bitmap->GetHeight()), row.frameHeight * row.frames);
        for (int f = 0; f < row.frames; ++f) {
            int top = f * row.frameHeight;
            // Every published point shows its colour, and every body shows.
            const SkinPoint& body = row.body[f];
            ASSERT_GE(body.x, 0) << "frame " << f;
            EXPECT_EQ(body.colour, row.fill[f]) << "frame " << f;
            EXPECT_EQ(pixel(*bitmap, body.x, top + body.y), row.fill[f]) << "frame " << f;
            const SkinPoint& mark = row.mark[f];
            if (mark.x >= 0) EXPECT_EQ(pixel(*bitmap, mark.x, top + mark.y), mark.colour) << "frame " << f;
            EXPECT_EQ(pixel(*bitmap, 0, top + row.frameHeight / 2), row.edge[f]) << "frame " << f;
            EXPECT_TRUE(fills.insert(row.fill[f]).second) << "colour used twice";
        }
    }
    // Sizes that the windows rely on.
    const std::map<int, std::pair<int, int>> fixed = {
        {IDB_SCROLL_TRACK, {17, 212}}, {IDB_SCROLL_THUMB, {13, 6}}, {IDB_LIST_MARK, {21, 21}},
        {IDB_COMBO_FRAME, {693, 43}}, {IDB_COMBO_ARROW, {10, 7}}};
    for (const SkinRow& row : kSkinTable) {
        auto it = fixed.find(row.id);
        if (it == fixed.end()) continue;
        EXPECT_EQ(row.width, it->second.first) << row.id;
        EXPECT_EQ(row.frameHeight * row.frames, it->second.second) << row.id;
    }
}

// ------------------------------------------------------------ language library
namespace {

using TextMap = std::map<UINT, std::wstring>;

struct LangDll {
    HMODULE module = LoadLibraryExW((moduleFolder() + L"Lang.dll").GetString(), nullptr,
                                    LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    ~LangDll() { if (module) FreeLibrary(module); }

    std::vector<UINT> blocks() const {
        std::vector<UINT> out;
        EnumResourceNamesW(module, RT_STRING, [](HMODULE, LPCWSTR, LPWSTR name, LONG_PTR p) -> BOOL {
            if (IS_INTRESOURCE(name)) reinterpret_cast<std::vector<UINT>*>(p)->push_back(LOWORD(name));
            return TRUE;
        }, reinterpret_cast<LONG_PTR>(&out));
        return out;
    }

    TextMap texts(LANGID lang) const {
        TextMap out;
        for (UINT block : blocks()) {
            HRSRC found = FindResourceExW(module, RT_STRING, MAKEINTRESOURCEW(block), lang);
            if (!found) continue;
            const WORD* p = static_cast<const WORD*>(LockResource(LoadResource(module, found)));
            const WORD* end = p + SizeofResource(module, found) / 2;
            for (UINT i = 0; i < 16 && p < end; ++i) {
                WORD n = *p++;
                if (n) out[(block - 1) * 16 + i] = std::wstring(reinterpret_cast<const wchar_t*>(p), n);
                p += n;
            }
        }
        return out;
    }
};

const LANGID kLangIds[] = {0x412, 0x409, 0x40C, 0xC0C, 0x540A, 0x416, 0x419,
                           0x407, 0x410, 0x41F, 0x3801, 0x1000, 0x40A};

std::set<std::wstring> placeholders(const std::wstring& text) {
    static const std::wregex pattern(L"\\[#[^\\]]*#\\]");
    std::set<std::wstring> out;
    for (auto it = std::wsregex_iterator(text.begin(), text.end(), pattern); it != std::wsregex_iterator(); ++it)
        out.insert(it->str() == L"[#업데이트 프로그램명#]" ? L"[#Update Program Name#]" : it->str());
    return out;
}

}  // namespace

TEST(LanguageLibrary, ThirteenTablesKoreanAndArabicOfTheirOwnTheRestEnglish) {
    LangDll dll;
    ASSERT_NE(dll.module, nullptr);
    TextMap english = dll.texts(0x409);
    ASSERT_GT(english.size(), 400u);
    for (LANGID lang : kLangIds) {
        SCOPED_TRACE(lang);
        TextMap texts = dll.texts(lang);
        ASSERT_EQ(texts.size(), english.size());
        if (lang == 0x412 || lang == 0x3801) {
            EXPECT_NE(texts[12045], english[12045]);
            for (const auto& [id, text] : texts) {
                ASSERT_TRUE(english.count(id)) << id;
                EXPECT_EQ(placeholders(text), placeholders(english[id])) << id;
            }
        } else {
            EXPECT_EQ(texts, english);
        }
    }
    EXPECT_EQ(dll.texts(0x412)[12045], L"확인");
    EXPECT_EQ(dll.texts(0x3801)[12045], L"موافق");
}

TEST(LanguageLibrary, ExactPlaceholdersAndAUniqueSelfUpdateTitle) {
    LangDll dll;
    ASSERT_NE(dll.module, nullptr);
    for (LANGID lang : kLangIds) {
        SCOPED_TRACE(lang);
        TextMap texts = dll.texts(lang);
        EXPECT_NE(texts[12643].find(L"[#Update program name#] "), std::wstring::npos);
        EXPECT_NE(texts[12591].find(L"[#Update Program Name#] "), std::wstring::npos);
        ASSERT_FALSE(texts[12417].empty());
        for (const auto& [id, text] : texts) {
            if (id != 12417) EXPECT_NE(text, texts[12417]) << id;
        }
    }
}

// ------------------------------------------------------------ fonts
namespace {

struct ScreenDc {
    HDC dc = GetDC(nullptr);
    ~ScreenDc() { ReleaseDC(nullptr, dc); }
};

struct SelectedFont {
    HDC dc;
    HFONT font;
    HGDIOBJ old;
    SelectedFont(HDC d, const wchar_t* face, int weight) : dc(d) {
        LOGFONTW lf{};
        lf.lfHeight = -16;
        lf.lfWeight = weight;
        wcscpy_s(lf.lfFaceName, face);
        font = CreateFontIndirectW(&lf);
        old = SelectObject(dc, font);
    }
    ~SelectedFont() {
        SelectObject(dc, old);
        DeleteObject(font);
    }
    std::wstring face() const {
        wchar_t name[LF_FACESIZE] = {};
        GetTextFaceW(dc, LF_FACESIZE, name);
        return name;
    }
    std::wstring fullName() const {
        UINT size = GetOutlineTextMetricsW(dc, 0, nullptr);
        std::vector<BYTE> buffer(size);
        auto* otm = reinterpret_cast<OUTLINETEXTMETRICW*>(buffer.data());
        if (!size || !GetOutlineTextMetricsW(dc, size, otm)) return L"";
        return reinterpret_cast<const wchar_t*>(buffer.data() + reinterpret_cast<UINT_PTR>(otm->otmpFaceName));
    }
    bool hasGlyphs(const wchar_t* text) const {
        int n = static_cast<int>(wcslen(text));
        std::vector<WORD> glyphs(n);
        if (GetGlyphIndicesW(dc, text, n, glyphs.data(), GGI_MARK_NONEXISTING_GLYPHS) == GDI_ERROR) return false;
        for (WORD g : glyphs) if (g == 0xFFFF) return false;
        return true;
    }
};

}  // namespace

TEST_F(GdiplusTest, EveryFaceTheProgramNamesIsInstalled) {
    struct Case { const wchar_t* face; const wchar_t* regular; const wchar_t* bold; bool hangul; bool arabic; };
    const Case cases[] = {
        {L"KestruneTessaly Regular", L"KestruneTessaly Regular", L"KestruneTessaly Bold", true, true},
        {L"KestruneLuvo Regular", L"KestruneLuvo Regular", L"KestruneLuvo Bold", true, false},
        {L"KestruneDravane Regular", L"KestruneDravane Regular", L"KestruneDravane Bold", true, true},
        {L"DejaVu Sans", nullptr, nullptr, false, true},
        {L"Tahoma", nullptr, nullptr, false, true},
    };
    Gdiplus::InstalledFontCollection installed;
    int count = installed.GetFamilyCount();
    std::vector<Gdiplus::FontFamily> families(count);
    int found = 0;
    installed.GetFamilies(count, families.data(), &found);
    std::set<std::wstring> names;
    for (int i = 0; i < found; ++i) {
        wchar_t name[LF_FACESIZE] = {};
        families[i].GetFamilyName(name, LANG_NEUTRAL);
        names.insert(name);
    }

    ScreenDc screen;
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << CW2A(c.face, CP_UTF8));
        EXPECT_TRUE(names.count(c.face));
        SelectedFont regular(screen.dc, c.face, FW_NORMAL);
        EXPECT_EQ(regular.face(), c.face);
        if (c.regular) {
            EXPECT_EQ(regular.fullName(), c.regular);
            SelectedFont bold(screen.dc, c.face, FW_BOLD);
            EXPECT_EQ(bold.fullName(), c.bold);
            if (c.hangul) EXPECT_TRUE(bold.hasGlyphs(L"한국어 업데이트"));
        }
        if (c.hangul) EXPECT_TRUE(regular.hasGlyphs(L"한국어 업데이트"));
        if (c.arabic) EXPECT_TRUE(regular.hasGlyphs(L"تحديث"));
        EXPECT_TRUE(regular.hasGlyphs(L"Update"));
    }
}
