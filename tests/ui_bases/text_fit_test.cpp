// The toolkit's own windows hold their texts: in Korean, English, Arabic and
// Russian every text the message box and the notice bar carry is measured as
// its control measures it (GDI+ in the language's face, with the padding
// DrawString adds) and must fit the box its layout gives it. No pixels.
#include "tests/ui_bases/ui_env.h"

#include "foundation/code_tables.h"
#include "foundation/regsetting.h"
#include "ui/dlg_msg_box.h"
#include "ui/font_cache.h"
#include "ui/gdi_func.h"
#include "ui/lang_library.h"
#include "ui/msg_box_layout.h"
#include "ui/notice_layout.h"
#include "ui/text_ids.h"
#include "ui/text_rules.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cwchar>
#include <functional>
#include <memory>
#include <vector>

namespace {

const UiLanguage kFitLanguages[] = {
    {L"ko", REGION_KR, LANGUAGE_KO},
    {L"en", REGION_US, LANGUAGE_EN},
    {L"ar", REGION_ME, LANGUAGE_AR},
    {L"ru", REGION_RU, LANGUAGE_RU},
};

// Measures in the selected face at a pixel size.
class Measure {
public:
    Measure(int size, bool bold) : m_screen(GetDC(nullptr)), m_size(size) {
        m_graphics.reset(new Gdiplus::Graphics(m_screen));
        m_family = CGdiFunc::familyOf(g_strFontFace);
        m_font.reset(new Gdiplus::Font(m_family, static_cast<Gdiplus::REAL>(size),
                                       bold ? Gdiplus::FontStyleBold : Gdiplus::FontStyleRegular,
                                       Gdiplus::UnitPixel));
    }
    ~Measure() {
        m_font.reset();
        if (!CGdiFunc::isSharedFamily(m_family)) delete m_family;
        m_graphics.reset();
        ReleaseDC(nullptr, m_screen);
    }
    // One line, with the padding DrawString adds at both ends.
    SIZE line(const CString& text) const {
        Gdiplus::RectF bounds = CGdiFunc::measureText(m_graphics.get(), m_font.get(), text);
        return SIZE{static_cast<LONG>(bounds.Width + static_cast<Gdiplus::REAL>(m_size) / 3),
                    static_cast<LONG>(bounds.Height)};
    }
    // The height the static's lines take in a box of the given width.
    int wrappedHeight(const CString& text, int width, int lineHeight) const {
        text_rules::StaticLines lines =
            text_rules::staticLines(text, width, false, lineHeight, [&](const CString& c) { return line(c); });
        const int step = lines.lineHeight > 0 ? lines.lineHeight : lineHeight;
        int widest = 0;
        for (const CString& l : lines.lines) widest = std::max<int>(widest, line(l).cx);
        // A single word wider than the box is cut whatever the height.
        return widest > width ? INT_MAX : static_cast<int>(lines.lines.size()) * step;
    }

private:
    HDC m_screen;
    int m_size;
    std::unique_ptr<Gdiplus::Graphics> m_graphics;
    Gdiplus::FontFamily* m_family = nullptr;
    std::unique_ptr<Gdiplus::Font> m_font;
};

CString joined(const std::vector<int>& ids) {
    CString text;
    for (size_t i = 0; i < ids.size(); ++i) {
        CString part = CLangLibrary::loadLangString(static_cast<UINT>(ids[i]));
        part.Replace(L"[#Update program name#] ", L"Kestrune ");
        text += (i ? L"\n" : L"") + part;
    }
    return text;
}

// Each paragraph of a text wrapped on its own, as the static breaks lines.
int paragraphsHeight(const Measure& m, const CString& text, int width, int lineHeight) {
    int height = 0;
    int start = 0;
    for (;;) {
        int end = text.Find(L'\n', start);
        CString part = end < 0 ? text.Mid(start) : text.Mid(start, end - start);
        int h = part.IsEmpty() ? lineHeight : m.wrappedHeight(part, width, lineHeight);
        if (h == INT_MAX) return h;
        height += h;
        if (end < 0) return height;
        start = end + 1;
    }
}

class ToolkitTextFit : public testing::TestWithParam<UiLanguage> {
protected:
    void SetUp() override { useLanguage(GetParam()); }
    void TearDown() override { useLanguage(REGION_US, LANGUAGE_EN); }
};

}  // namespace

// The message box's title (16 bold on 24-pixel lines), message (14 on 18),
// buttons (16) and link (14) for each of its typed layouts.
TEST_P(ToolkitTextFit, MessageBoxTexts) {
    const int language = GetParam().language;
    const Measure title(16, true), body(14, false), button(16, false);
    for (int type : {POPUP_MSG_TYPE_LIVEUPDATE_NETWORK_FAIL, POPUP_MSG_TYPE_LIVEUPDATE_DOWNLOAD_FAIL,
                     POPUP_MSG_TYPE_LIVEUPDATE_DOWN_FILE_AND_CRC_SIZE}) {
        SCOPED_TRACE(testing::Message() << "type " << type);
        const msg_box_layout::Layout l = msg_box_layout::typed(type, language);
        ASSERT_TRUE(l.prepared);
        if (l.title.shown) {
            EXPECT_LE(paragraphsHeight(title, joined(l.titleTexts), l.title.width, 24), l.title.height) << "title";
        }
        if (l.message.shown) {
            EXPECT_LE(paragraphsHeight(body, joined(l.messageTexts), l.message.width, 18), l.message.height)
                << "message";
        }
        const struct {
            const msg_box_layout::Place& place;
            int text;
            const Measure& measure;
            const char* what;
        } lines[] = {{l.ok, l.okText ? l.okText : IDS_OK, button, "OK"},
                     {l.cancel, l.cancelText ? l.cancelText : IDS_CANCEL, button, "Cancel"},
                    };
        for (const auto& r : lines) {
            if (!r.place.shown) continue;
            const SIZE size = r.measure.line(CLangLibrary::loadLangString(static_cast<UINT>(r.text)));
            EXPECT_LE(size.cx, r.place.width) << r.what;
            EXPECT_LE(size.cy, r.place.height) << r.what;
        }
        // The link draws its caption (the customer centre) with the window's
        // underlined 14-pixel font through DrawText, which adds no padding.
        if (l.link.shown && l.linkEnabled) {
            LOGFONTW lf{};
            lf.lfHeight = -14;
            lf.lfUnderline = 1;
            wcsncpy(lf.lfFaceName, g_strFontFace.GetString(), LF_FACESIZE - 1);
            HFONT font = CreateFontIndirectW(&lf);
            HDC dc = CreateCompatibleDC(nullptr);
            HGDIOBJ previous = SelectObject(dc, font);
            const CString caption = CLangLibrary::loadLangString(IDS_CUSTOMER_CENTRE);
            SIZE size{};
            GetTextExtentPoint32W(dc, caption.GetString(), caption.GetLength(), &size);
            SelectObject(dc, previous);
            DeleteDC(dc);
            DeleteObject(font);
            EXPECT_LE(size.cx, l.link.width) << "link";
            EXPECT_LE(size.cy, l.link.height) << "link";
        }
    }
}

// The notice bar's caption (16) takes its measured width within bounds, and
// the "no notice" line (12) the space after it on a page's bar, for every
// brand's layout.
TEST_P(ToolkitTextFit, NoticeBarTexts) {
    const Measure caption(16, false), item(12, false);
    const CString captionText = CLangLibrary::loadLangString(IDS_NOTICE_CAPTION);
    const CString noneText = CLangLibrary::loadLangString(IDS_NOTICE_NONE);
    for (int corp : {CORP_TS, CORP_DR, CORP_LV}) {
        SCOPED_TRACE(testing::Message() << "brand " << corp);
        // What the bar measures: the static's width plus its 10 pixels.
        const int measured = caption.line(captionText).cx + 10;
        const notice_layout::Layout l = notice_layout::layout(measured, 900, corp);
        EXPECT_LE(caption.line(captionText).cx, l.caption.width);
        EXPECT_LE(caption.line(captionText).cy, l.caption.height);
        EXPECT_LE(item.line(noneText).cx, l.item.width);
        EXPECT_LE(item.line(noneText).cy, l.item.height);
    }
}

INSTANTIATE_TEST_SUITE_P(Languages, ToolkitTextFit, testing::ValuesIn(kFitLanguages),
                         [](const testing::TestParamInfo<UiLanguage>& info) {
                             return std::string(CW2A(info.param.tag));
                         });
