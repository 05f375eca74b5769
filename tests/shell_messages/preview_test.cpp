// Every message type drawn in Korean, English and Arabic by the page's
// painter, with its buttons, link, check box and folder box at the places
// the layout gives: photographs to look at, and pixel checks of the header
// band, the pictures and the texts.
#include "foundation/regsetting.h"
#include "shell/messages/message_layout.h"
#include "shell/messages/message_painter.h"
#include "tests/shell_messages/messages_fixture.h"
#include "tests/support/capture.h"
#include "ui/font_cache.h"
#include "ui/gdi_func.h"

#include "skin_table.h"

#include <memory>
#include <vector>

using namespace msg;

namespace {

COLORREF skinFill(int id) {
    for (const SkinRow& row : kSkinTable) {
        if (row.id == id) return row.fill[0];
    }
    return CLR_INVALID;
}

constexpr COLORREF kButton = 0x5D6369;

struct Control {
    Box box;
    CString caption;
    int size;
    bool button;  // filled with white caption; else caption on white with a frame
};

struct Preview {
    PageState state;
    std::vector<Control> controls;
    PaintResult painted;
};
Preview* g_preview = nullptr;

void drawControl(HDC dc, const Control& c, const PageState& s) {
    const Box b = mirrored(c.box, kPageWidth, s.language);
    const RECT r{b.x, b.y, b.x + b.w, b.y + b.h};
    HBRUSH brush = CreateSolidBrush(c.button ? kButton : RGB(255, 255, 255));
    FillRect(dc, &r, brush);
    DeleteObject(brush);
    if (!c.button) {
        HBRUSH edge = CreateSolidBrush(0xB1AAA4);
        FrameRect(dc, &r, edge);
        DeleteObject(edge);
    }
    CGdiFunc::drawText(dc, r, c.caption, s.face, c.size, FALSE, c.button ? RGB(255, 255, 255) : 0x69635D, 1);
}

LRESULT CALLBACK previewProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_ERASEBKGND) return 1;
    if (message != WM_PAINT || !g_preview) return DefWindowProcW(hwnd, message, wParam, lParam);
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    g_preview->painted = paintMessagePage(dc, kPageWidth, kPageHeight, g_preview->state);
    for (const Control& c : g_preview->controls) drawControl(dc, c, g_preview->state);
    EndPaint(hwnd, &ps);
    return 0;
}

class PreviewWindow {
public:
    PreviewWindow() {
        WNDCLASSW wc{};
        wc.lpfnWndProc = previewProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"KestruneMessagePreview";
        wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
        RegisterClassW(&wc);
        m_hwnd = CreateWindowExW(0, wc.lpszClassName, L"Message", WS_POPUP | WS_VISIBLE, 0, 0, kPageWidth,
                                 kPageHeight, nullptr, nullptr, wc.hInstance, nullptr);
    }
    ~PreviewWindow() {
        if (m_hwnd) DestroyWindow(m_hwnd);
    }
    HWND hwnd() const { return m_hwnd; }

private:
    HWND m_hwnd = nullptr;
};

// Parameters a requester would give, so that every text shows something.
MessageContext sampleContext(int type, int language, int region) {
    MessageContext c;
    c.language = language;
    c.region = region;
    c.lastBrand = CORP_TS;
    c.text = langText;
    c.messageNumber = L"12";
    c.dataPath = L"C:\\Users\\Public\\Documents\\Kestrune\\Download";
    c.mediumType = [] { return CString(L"SD"); };
    switch (type) {
    case 10: c.params = {{0, L"E:\\"}, {1, L"KESTRUNE_USB"}}; break;
    case 63: case 74: case 75: c.params = {{0, L"1.2 GB"}, {1, L"3.4 GB"}}; break;
    case 90: c.params = {{0, L"MAP_0001.zip"}, {1, L"E:\\MAP"}}; break;
    case 91: case 92: case 93: c.params = {{0, L"MAP_0001.zip"}}; break;
    case 95: c.params = {{0, L"ERR_AG_NUMSPAN"}}; break;
    case 96: c.params = {{0, L"ERR_UNZIP_FAIL_RENAME"}}; break;
    case 100: case 101: case 102: c.params = {{0, L"ERR_FILE_CRC"}, {1, L"MAP.001"}}; break;
    case 1000: c.params = {{0, L"V"}, {1, L"D5"}, {2, L"D5"}}; break;
    case 1002: c.params = {{0, L"4"}, {1, L"Tessaly T3"}, {2, L"Tessaly T7"}, {3, L"테살리 T3"}, {4, L"테살리 T7"}}; break;
    case 1004: c.params = {{0, L"USA"}}; break;
    case 1013: c.params = {{0, L"E:"}}; break;
    case 1017: c.params = {{0, langText(12182)}}; break;
    case 1019: c.params = {{0, langText(12214)}}; break;
    case 1026: case 1027: c.params = {{0, L"Luvo"}}; break;
    default: break;
    }
    return c;
}

Gdiplus::Image* iconFor(Icon icon) {
    static std::unique_ptr<Gdiplus::Bitmap> error(CGdiFunc::loadPngResource(536));
    static std::unique_ptr<Gdiplus::Bitmap> warning(CGdiFunc::loadPngResource(537));
    static std::unique_ptr<Gdiplus::Bitmap> exitIcon(CGdiFunc::loadPngResource(1630));
    static std::unique_ptr<Gdiplus::Bitmap> medium(CGdiFunc::loadPngResource(373));
    switch (icon) {
    case Icon::Error: return error.get();
    case Icon::Warning: return warning.get();
    case Icon::Exit: return exitIcon.get();
    case Icon::Medium: return medium.get();
    default: return nullptr;
    }
}

Preview preview(int type, int language, bool config) {
    const int region = language == LANGUAGE_KO ? REGION_KR : REGION_US;
    MessageContext ctx = sampleContext(type, language, region);
    ctx.configVariant = config;
    const MessageContent content = buildTexts(type, ctx);
    static std::unique_ptr<Gdiplus::Bitmap> document(CGdiFunc::loadPngResource(474));

    Preview p;
    PageState& s = p.state;
    s.type = type;
    s.language = language;
    s.lastBrand = CORP_TS;
    s.rootBrand = CORP_TS;
    s.face = CFontCache::faceFor(CORP_TS, language);
    const auto text = [&](int control) { return resolvedText(content, control, langText); };
    s.texts.heading = text(kHeading);
    s.texts.title = text(kTitle);
    s.texts.subtitle = text(kSubtitle);
    s.texts.text[0] = text(kText1);
    s.texts.text[1] = text(kText2);
    s.texts.text[2] = text(kText3);
    s.texts.detail[0] = text(kDetail1);
    s.texts.detail[1] = text(kDetail2);
    if (type == 1007) s.texts.text[0] = s.texts.text[1] = CString();  // drawn as documents
    s.picture = config && type != 82 && type != 83 ? nullptr : iconFor(content.icon);
    s.docImage = document.get();

    const bool cancel = content.uses(kCancel) || content.openFolderButton;
    const ButtonBoxes buttons = content.openFolderButton ? openFolderBoxes(kPageWidth, kPageHeight)
                                                         : buttonBoxes(type, cancel, kPageWidth, kPageHeight);
    const CString ok = text(kOk);
    const CString cancelCaption = content.openFolderButton ? langText(content.changeFolderCaption) : text(kCancel);
    const int own = content.okCancelFontSize;
    if (content.uses(kOk)) {
        p.controls.push_back({buttons.ok, ok, own ? own : config ? configButtonFontSize(ok.GetLength())
                                                                 : okFontSize(ok.GetLength()), true});
    }
    if (cancel) {
        p.controls.push_back({buttons.cancel, cancelCaption,
                              own ? own : cancelFontSize(cancelCaption.GetLength()), true});
    }
    if (content.consentDefaults) {
        for (int radio : {kRadioYes1, kRadioNo1, kRadioYes2, kRadioNo2}) {
            const bool yes = radio == kRadioYes1 || radio == kRadioYes2;
            p.controls.push_back({radioBox(radio), langText(yes ? 12493 : 12494), 16, false});
        }
    }
    return p;
}

// Width of a caption as the toolkit measures it in the page's face.
int captionWidth(const CString& text, const CString& face, int size) {
    HDC screen = GetDC(nullptr);
    int width = 0;
    {
        Gdiplus::Graphics graphics(screen);
        Gdiplus::FontFamily* family = CGdiFunc::familyOf(face);
        Gdiplus::Font font(family, static_cast<Gdiplus::REAL>(size), Gdiplus::FontStyleRegular, Gdiplus::UnitPixel);
        // As drawn: DrawString's padding of a sixth of the size at each end.
        width = static_cast<int>(CGdiFunc::measureText(&graphics, &font, text).Width + static_cast<float>(size) / 3);
        if (!CGdiFunc::isSharedFamily(family)) delete family;
    }
    ReleaseDC(nullptr, screen);
    return width;
}

// The controls placed below the drawn block (link, check box, folder row),
// known once the block is painted.
void placeAfterBlock(Preview& p, int type, int language, bool config) {
    const MessageContent content = buildTexts(type, [&] {
        MessageContext c = sampleContext(type, language, language == LANGUAGE_KO ? REGION_KR : REGION_US);
        c.configVariant = config;
        return c;
    }());
    int bottom = p.painted.blockBottom;
    if (content.uses(kCheck)) {
        const CString caption = resolvedText(content, kCheck, langText);
        p.controls.push_back({checkBoxBox(captionWidth(caption, p.state.face, 16), language), caption, 16, false});
        bottom += 24;
    }
    if (content.uses(kLink)) {
        const CString caption =
            content.linkIconCaption ? langText(content.linkIconCaption) : resolvedText(content, kLink, langText);
        p.controls.push_back({linkBox(captionWidth(caption, p.state.face, 16), language, CORP_TS, type, bottom, kPageWidth), caption,
                              16, false});
    }
    const FolderAfterDrawing folder = folderAfterDrawing(type, bottom, language);
    if (folder.shown && content.folderBox != FolderBox::None) {
        p.controls.push_back({folder.path, content.folderPath, 15, false});
        if (folder.row) {
            p.controls.push_back({folder.button, langText(content.changeFolderCaption), kChangeFolderFontSize, true});
        }
    }
}

const wchar_t* languageName(int language) {
    return language == LANGUAGE_KO ? L"ko" : language == LANGUAGE_AR ? L"ar" : L"en";
}

class MessagePreview : public testing::Test {
protected:
    void TearDown() override {
        CRegSetting::setLanguage(LANGUAGE_EN);
        CLangLibrary::loadLanguage(LANGUAGE_EN);
    }

    // Paints, places the controls that follow the block, paints again and
    // photographs the page.
    WindowShot shoot(int type, int language, bool config, const CString& name) {
        Preview p = preview(type, language, config);
        g_preview = &p;
        InvalidateRect(m_window.hwnd(), nullptr, FALSE);
        UpdateWindow(m_window.hwnd());
        placeAfterBlock(p, type, language, config);
        // What this type really shows: some types have no heading, no text
        // or no button at all.
        const PageTexts& t = p.state.texts;
        bool texts = !t.title.IsEmpty() || !t.subtitle.IsEmpty();
        for (const CString& line : t.text) texts = texts || !line.IsEmpty();
        for (const CString& line : t.detail) texts = texts || !line.IsEmpty();
        int buttons = 0;
        for (const Control& c : p.controls) buttons += c.button ? 1 : 0;
        CString shows;
        shows.Format(L"message %d%s in %s: grey header %s, %s%s; %s; "
                     L"no clipped or overlapping text, no boxes for glyphs%s",
                     type, config ? L" over the settings page" : L"", languageName(language),
                     t.heading.IsEmpty() ? L"without a heading" : L"with the heading",
                     p.state.picture ? L"its picture centred above the texts" : L"no picture",
                     texts ? L"" : L", no text (the type has none)",
                     buttons == 0 ? L"no buttons" : buttons == 1 ? L"one button captioned" : L"its buttons captioned",
                     language == LANGUAGE_AR ? L"; buttons and folder row mirrored, text right to left" : L"");
        WindowShot shot = saveScreenshot(m_window.hwnd(), name, shows, true);
        for (const Control& c : p.controls) {
            if (!c.button) continue;
            EXPECT_FALSE(c.caption.IsEmpty()) << type;
            EXPECT_LE(captionWidth(c.caption, p.state.face, c.size), c.box.w - 4)
                << type << " caption " << static_cast<const char*>(CW2A(c.caption.GetString(), CP_UTF8));
        }
        g_preview = nullptr;
        return shot;
    }

    PreviewWindow m_window;
};

}  // namespace

TEST_F(MessagePreview, EveryTypeInKoreanEnglishAndArabic) {
    ASSERT_TRUE(m_window.hwnd());
    std::size_t count = 0;
    const MessageTypeRow* table = messageTypeTable(&count);
    for (int language : {LANGUAGE_KO, LANGUAGE_EN, LANGUAGE_AR}) {
        CRegSetting::setLanguage(language);
        ASSERT_TRUE(CLangLibrary::loadLanguage(language));
        for (std::size_t i = 0; i < count; ++i) {
            const MessageTypeRow& row = table[i];
            SCOPED_TRACE(testing::Message() << row.type << " " << CW2A(languageName(language)));
            CString name;
            name.Format(L"%s_%04d", languageName(language), row.type);
            const WindowShot shot = shoot(row.type, language, false, name);
            EXPECT_EQ(shot.at(2, 2), 0xDFDFDFu);
            const RECT block{0, 60, kPageWidth, kPageHeight - 75};
            if (row.icon == Icon::Error) EXPECT_GT(shot.count(skinFill(536), block), 5000);
            if (row.icon == Icon::Warning) EXPECT_GT(shot.count(skinFill(537), block), 5000);
            if (row.icon == Icon::Exit) EXPECT_GT(shot.count(skinFill(1630), block), 5000);
            if (row.icon == Icon::Medium) EXPECT_GT(shot.count(skinFill(373), block), 20000);
            const bool document = row.type == 203 || row.type == 204 || row.type == 1007;
            if (document) EXPECT_GT(shot.count(skinFill(474), block), 100);
            // Some ink in the block when the type has a title.
            if (!row.title.empty() && !document) {
                const int white = shot.count(RGB(255, 255, 255), block);
                const int area = (block.right - block.left) * (block.bottom - block.top);
                EXPECT_GT(area - white, 300);
            }
        }
    }
}

TEST_F(MessagePreview, SettingsVariantTypes) {
    for (int language : {LANGUAGE_KO, LANGUAGE_EN, LANGUAGE_AR}) {
        CRegSetting::setLanguage(language);
        ASSERT_TRUE(CLangLibrary::loadLanguage(language));
        for (int type : {82, 83, 203, 1005, 1028}) {
            CString name;
            name.Format(L"%s_config_%04d", languageName(language), type);
            const WindowShot shot = shoot(type, language, true, name);
            EXPECT_EQ(shot.at(2, 2), 0xDFDFDFu) << type;
            const RECT block{0, 60, kPageWidth, kPageHeight - 75};
            EXPECT_EQ(shot.count(skinFill(537), block) > 5000, type == 82 || type == 83) << type;
        }
    }
}

// Every message type's check box and link, in the languages whose captions
// run longest or whose faces are widest, with every brand's tuned link
// width: the box holds the measured caption (tick and gap included) and
// stays on the page.
TEST_F(MessagePreview, CheckBoxAndLinkHoldTheirCaptionInEveryLanguage) {
    std::size_t count = 0;
    const MessageTypeRow* table = messageTypeTable(&count);
    int checked = 0;
    for (int language : {LANGUAGE_KO, LANGUAGE_EN, LANGUAGE_AR, LANGUAGE_RU}) {
        CRegSetting::setLanguage(language);
        ASSERT_TRUE(CLangLibrary::loadLanguage(language));
        for (int brand : {CORP_TS, CORP_DR, CORP_LV}) {
            const CString face = CFontCache::faceFor(brand, language);
            for (std::size_t i = 0; i < count; ++i) {
                const int type = table[i].type;
                SCOPED_TRACE(testing::Message() << type << " language " << language << " brand " << brand);
                const int region = language == LANGUAGE_KO ? REGION_KR : REGION_US;
                const MessageContent content = buildTexts(type, sampleContext(type, language, region));
                if (content.uses(kCheck)) {
                    const int width = captionWidth(resolvedText(content, kCheck, langText), face, 16);
                    const Box box = checkBoxBox(width, language);
                    EXPECT_LE(width + 18 + 6, box.w);
                    EXPECT_LE(box.x + box.w, kPageWidth);
                    ++checked;
                }
                if (content.uses(kLink)) {
                    const CString caption = content.linkIconCaption ? langText(content.linkIconCaption)
                                                                    : resolvedText(content, kLink, langText);
                    const int width = captionWidth(caption, face, 16);
                    const Box box = linkBox(width, language, brand, type, 400, kPageWidth);
                    EXPECT_LE(width, box.w);
                    EXPECT_GE(box.x, 0);
                    EXPECT_LE(box.x + box.w, kPageWidth);
                    ++checked;
                }
            }
        }
    }
    EXPECT_GT(checked, 0);
}
