// The control gallery: every control of the toolkit in its states, driven
// with real input, photographed in Korean, English and Arabic. Each picture
// goes to <build>\gallery\<language>\<nn>-<control>-<state>.png with a line
// in index.txt saying what it should show. The pictures are for review; the
// checks here are skin colours and notifications.
#include "foundation/code_tables.h"
#include "foundation/globalfunc.h"
#include "foundation/private_messages.h"
#include "foundation/registered_messages.h"
#include "tests/support/capture.h"
#include "tests/support/test_support.h"
#include "tests/ui_controls/window_support.h"
#include "ui/edit_ctrl.h"
#include "ui/edit_placeholder_text.h"
#include "ui/font_cache.h"
#include "ui/gdi_func.h"
#include "ui/image_combo.h"
#include "ui/lang_library.h"
#include "ui/list_wnd.h"
#include "ui/png_button.h"
#include "ui/png_with_text_button.h"
#include "ui/progress_ctrl_ex.h"
#include "ui/rich_edit_ctrl_ex.h"
#include "ui/static_ex.h"
#include "ui/waiting_static.h"

#include "skin_table.h"

#include <gtest/gtest.h>

#include <memory>

using namespace ui_test;

namespace {

const SkinRow& skin(int id) {
    for (const auto& row : kSkinTable) {
        if (row.id == id) return row;
    }
    static SkinRow none{};
    return none;
}

CString text(UINT id) { return CLangLibrary::loadLangString(id); }

// Draws what CGdiFunc draws: a nine-slice frame or the two line functions.
class GdiPanel : public CWnd {
public:
    int m_mode = 0;  // 0 nine-slice, 1 lines
    Gdiplus::Bitmap* m_pFrame = nullptr;
    BOOL create(CWnd* parent, const RECT& rect) {
        return CreateEx(0, AfxRegisterWndClass(0), L"", WS_CHILD | WS_VISIBLE, rect, parent, 0);
    }

protected:
    void OnPaint() {
        CPaintDC dc(this);
        CRect client;
        GetClientRect(&client);
        dc.FillSolidRect(&client, RGB(255, 255, 255));
        if (m_mode == 0) {
            Gdiplus::Graphics graphics(dc.GetSafeHdc());
            CGdiFunc::drawNineSlice(&graphics, m_pFrame, client.Width(), client.Height(), 14, 14, 60, 30);
            return;
        }
        RECT left{10, 10, client.Width() / 2 - 10, client.Height()};
        RECT right{client.Width() / 2 + 10, 10, client.Width() - 10, client.Height()};
        CString body = text(12445) + L" " + text(12211) + L" " + text(12167) + L" " + text(12421);
        CGdiFunc::drawTextLinesInWnd(m_hWnd, dc, 14, body, g_strFontFace, 0, RGB(0x38, 0x38, 0x38), FALSE, 0, 16,
                                     0, nullptr, left);
        CGdiFunc::drawTextLinesExInWnd(m_hWnd, dc, 14, body, g_strFontFace, 0, RGB(0x38, 0x38, 0x38), FALSE, 0, 16,
                                       0, nullptr, right);
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(GdiPanel, CWnd)
    ON_WM_PAINT()
END_MESSAGE_MAP()

// A parent of one colour.
class ColourPanel : public CWnd {
public:
    COLORREF m_colour = RGB(0, 0, 0);
    BOOL create(CWnd* parent, const RECT& rect) {
        return CreateEx(0, AfxRegisterWndClass(0), L"", WS_CHILD | WS_VISIBLE, rect, parent, 0);
    }

protected:
    void OnPaint() {
        CPaintDC dc(this);
        CRect client;
        GetClientRect(&client);
        dc.FillSolidRect(&client, m_colour);
    }
    BOOL OnEraseBkgnd(CDC*) { return TRUE; }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(ColourPanel, CWnd)
    ON_WM_PAINT()
    ON_WM_ERASEBKGND()
END_MESSAGE_MAP()

class GalleryPass {
public:
    GalleryPass(int language, const wchar_t* folder) : m_language(language), m_scope(language) {
        m_folder = moduleFolder() + L"..\\..\\gallery\\" + folder + L"\\";
        CGlobalFunc::createDirectory(m_folder);
        CLangLibrary::loadLanguage(language);
        CFontCache::selectFace();
    }

    void run();

private:
    // Saves one picture of a window and its index line; returns the copy.
    WindowShot shot(HWND hwnd, const wchar_t* control, const wchar_t* state, const CString& shows) {
        pump(60);
        WindowShot copy;
        copy.capture(hwnd, true);
        CString name;
        name.Format(L"%02d-%s-%s.png", ++m_number, control, state);
        copy.savePng(m_folder + name);
        writeScreenshotIndex(m_folder, name, shows);
        return copy;
    }
    void place(CWnd& control, int x, int y, int w, int h) {
        CGlobalFunc::moveChildWindow(m_host, control, x, y, w, h, 2);
    }
    void away() { moveMouse(m_host, 890, 670); }

    void buttons();
    void textButtons();
    void statics();
    void edits();
    void lists();
    void combo();
    void progressAndWaiting();
    void drawing();

    int m_language;
    LanguageScope m_scope;
    CString m_folder;
    int m_number = 0;
    HostWindow m_host;
};

void GalleryPass::run() {
    ASSERT_TRUE(m_host.create(900, 680, L"Gallery"));
    buttons();
    textButtons();
    statics();
    edits();
    lists();
    combo();
    progressAndWaiting();
    drawing();
}

void GalleryPass::buttons() {
    const SkinRow& row = skin(398);
    CPngButton ok;
    ASSERT_TRUE(ok.Create(L"", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, CRect(0, 0, 10, 10), &m_host, 100));
    ok.SetFont(CFontCache::getFont(16));
    ok.setImage(398);
    ok.setText(text(12174), 12, 400);
    ok.m_nRightToLeft = 0;
    place(ok, 20, 20, 130, 40);
    m_host.SendMessageToDescendants(RWM_CHANGE_LANGUAGE);
    away();
    EXPECT_EQ(shot(ok, L"button", L"normal", L"push button, normal frame, caption centred").at(5, 20), row.fill[0]);
    moveMouse(ok, 65, 20);
    pump(60);
    EXPECT_EQ(shot(ok, L"button", L"hover", L"push button, hover frame (another colour than normal)").at(5, 20),
              row.fill[1]);
    press(ok, 65, 20);
    EXPECT_EQ(shot(ok, L"button", L"pressed", L"push button, pressed frame").at(5, 20), row.fill[2]);
    release(ok, 65, 20);
    EXPECT_EQ(m_host.count(WM_COMMAND, BN_CLICKED), 1);
    ok.setEnable(FALSE);
    EXPECT_EQ(shot(ok, L"button", L"disabled", L"push button, disabled frame, caption in the disabled colour")
                  .at(5, 20),
              row.fill[3]);

    const SkinRow& checkRow = skin(325);
    CPngButton check;
    check.m_nFrameCount = 7;
    ASSERT_TRUE(check.Create(L"", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, CRect(0, 0, 10, 10), &m_host, 101));
    check.setImage(325);
    place(check, 170, 30, 18, 18);
    away();
    shot(check, L"check", L"unchecked", L"check button, unchecked frame");
    click(check, 9, 9);
    away();
    const SkinPoint& checked = checkRow.body[4];
    EXPECT_EQ(shot(check, L"check", L"checked", L"check button, checked frame: accent box with a white tick")
                  .at(checked.x, checked.y),
              checked.colour);
    check.setEnable(FALSE);
    const SkinPoint& greyed = checkRow.body[6];
    EXPECT_EQ(shot(check, L"check", L"checked-disabled", L"check button, checked and disabled (frame 6): grey box, tick")
                  .at(greyed.x, greyed.y),
              greyed.colour);

    CPngButton twoLines;
    ASSERT_TRUE(twoLines.Create(L"", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, CRect(0, 0, 10, 10), &m_host, 102));
    twoLines.SetFont(CFontCache::getFont(14));
    twoLines.setImage(398);
    twoLines.setText(text(12257) + L"\n" + text(12258), 10, 400);
    twoLines.updateSize();
    place(twoLines, 210, 20, twoLines.m_nFrameWidth, 40);
    shot(twoLines, L"button", L"two-lines", L"caption of two lines, centred as a block, nothing clipped");

    CPngButton wide;
    ASSERT_TRUE(wide.Create(L"", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, CRect(0, 0, 10, 10), &m_host, 103));
    wide.SetFont(CFontCache::getFont(16));
    wide.setImage(398);
    wide.setText(text(12421), 12, 400);
    place(wide, 380, 20, 300, 40);
    WindowShot stretched = shot(wide, L"button", L"stretched", L"300 pixels wide: end caps kept, middle stretched");
    EXPECT_EQ(stretched.at(150, 2), row.fill[0]);

    // A caption-only button (its image id does not load) copies what lies
    // behind it in its coloured parent.
    ColourPanel panel;
    panel.m_colour = RGB(0x2E, 0x8B, 0x57);
    ASSERT_TRUE(panel.create(&m_host, CRect(0, 0, 10, 10)));
    place(panel, 700, 10, 180, 60);
    CPngButton overPanel;
    ASSERT_TRUE(overPanel.Create(L"", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, CRect(20, 10, 160, 50), &panel, 105));
    overPanel.SetFont(CFontCache::getFont(16));
    overPanel.m_bTransparent = TRUE;
    EXPECT_FALSE(overPanel.setImage(65000));
    overPanel.setText(text(12136), 12, 400);
    panel.Invalidate();
    pump(80);
    overPanel.Invalidate();
    WindowShot behind = shot(panel, L"button", L"transparent",
                             L"white caption on the green parent: the button copies its parent's pixels");
    EXPECT_EQ(behind.at(25, 12), panel.m_colour);
}

void GalleryPass::textButtons() {
    std::vector<std::unique_ptr<CPngWithTextButton>> kinds;
    for (int kind = 0; kind <= 7; ++kind) {
        auto button = std::make_unique<CPngWithTextButton>();
        ASSERT_TRUE(button->Create(L"BUTTON", L"", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, CRect(0, 0, 10, 10), &m_host,
                                   200 + kind));
        button->SetFont(CFontCache::getFont(14));
        button->setText(text(kind % 2 ? 12054 : 12421), kind == 0 ? 14 : 16, kind >= 3, kind);
        button->m_linkColor = RGB(0x1E, 0x5A, 0xA0);
        button->m_linkHoverColor = RGB(0xC8, 0x28, 0x28);
        button->m_bgColor = kind == 4 ? RGB(0x5D, 0x63, 0x69) : RGB(0xF5, 0xF5, 0xF5);
        place(*button, 20 + (kind % 4) * 215, 90 + (kind / 4) * 40, 205, 30);
        kinds.push_back(std::move(button));
    }
    m_host.SendMessageToDescendants(RWM_CHANGE_LANGUAGE);
    away();
    for (int kind = 0; kind <= 7; ++kind) {
        CString state;
        state.Format(L"kind%d", kind);
        CString shows;
        shows.Format(L"text button kind %d: icon %s, its text colour", kind, kind < 2 ? L"shown" : L"none");
        shot(*kinds[static_cast<size_t>(kind)], L"textbutton", state, shows);
    }
    click(*kinds[0], 9, 15);
    away();
    shot(*kinds[0], L"textbutton", L"kind0-checked", L"kind 0 after a click: the check icon's checked frame");
    moveMouse(*kinds[3], 20, 15);
    pump(60);
    shot(*kinds[3], L"textbutton", L"kind3-hover", L"kind 3 under the mouse: link in the hover colour");
    away();
}

void GalleryPass::statics() {
    struct Label {
        const wchar_t* state;
        const wchar_t* shows;
        UINT textId;
        int width, height;
        std::function<void(CStaticEx&)> setup;
    } labels[] = {
        {L"single-ellipsis", L"one line cut with an ellipsis", 12445, 160, 30,
         [](CStaticEx& s) { s.m_bSingleLine = TRUE; }},
        {L"wrapped-24", L"wrapped text, 24-pixel lines", 12445, 200, 90, [](CStaticEx& s) { s.m_nTextSize = 14; }},
        {L"wrapped-32", L"wrapped text, 32-pixel lines", 12445, 200, 110, [](CStaticEx& s) { s.m_nTextSize = 26; }},
        {L"fixed-height", L"wrapped text, fixed 18-pixel lines", 12445, 200, 90,
         [](CStaticEx& s) { s.m_bAutoLineHeight = FALSE; s.m_nLineHeight = 18; }},
        {L"centred", L"single line centred", 12174, 200, 30,
         [](CStaticEx& s) { s.m_nStyle = 0x2 | 0x10; s.m_bSingleLine = TRUE; }},
        {L"right-aligned", L"single line aligned right", 12174, 200, 30,
         [](CStaticEx& s) { s.m_bRightAlign = TRUE; s.m_bSingleLine = TRUE; }},
        {L"bold", L"bold single line", 12421, 200, 30, [](CStaticEx& s) { s.m_bSingleLine = TRUE; s.setFontStyle(16, TRUE); }},
    };
    int x = 20;
    for (const auto& l : labels) {
        CStaticEx label;
        // The wrapped states get two sentences, so that every language breaks;
        // at 26 pixels one already does, and two would outgrow the box.
        const bool large = CString(l.state) == L"wrapped-32";
        CString body = l.textId == 12445 && !large ? text(12445) + L" " + text(12211) : text(l.textId);
        ASSERT_TRUE(label.Create(body, WS_CHILD | WS_VISIBLE, CRect(0, 0, 10, 10), &m_host, 300));
        label.m_bgColor = RGB(0xF0, 0xF0, 0xF0);
        l.setup(label);
        place(label, x, 190, l.width, l.height);
        label.SendMessage(RWM_CHANGE_LANGUAGE);
        shot(label, L"static", l.state, l.shows);
        if (CString(l.state) == L"wrapped-32") EXPECT_EQ(label.lastLineHeight(), 32);
        if (CString(l.state) == L"fixed-height") EXPECT_EQ(label.lastLineHeight(), 18);
    }
}

void GalleryPass::edits() {
    CEditCtrl id;
    ASSERT_TRUE(id.Create(WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL, CRect(0, 0, 10, 10), &m_host, 400));
    // The edit's own text grey, as the sign-in page keeps it: the frame skin
    // is light, so white text (and the placeholder with it) would vanish.
    id.SetFont(CFontCache::getFont(16));
    id.m_strPlaceholder = text(12206);
    id.setFrameImage(430);
    id.setText(L"");
    place(id, 20, 320, 260, 36);
    id.SendMessage(RWM_CHANGE_LANGUAGE);
    const WindowShot placeholder =
        shot(id, L"edit", L"placeholder", L"edit showing its placeholder in dark grey over the light combo frame skin");
    int ink = 0;
    for (int y = 0; y < placeholder.height(); ++y) {
        for (int x = 0; x < placeholder.width(); ++x) {
            const COLORREF c = placeholder.at(x, y);
            if (((c >> 16) & 0xFF) < 0xA0 && ((c >> 8) & 0xFF) < 0xA0 && (c & 0xFF) < 0xA0) ++ink;
        }
    }
    EXPECT_GT(ink, 40) << "the placeholder shows on the frame";
    CEditCtrl password;
    ASSERT_TRUE(password.Create(WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL, CRect(0, 0, 10, 10), &m_host, 401));
    password.SetFont(CFontCache::getFont(16));
    password.m_strPlaceholder = L"Password";
    password.m_bPassword = TRUE;
    password.setText(L"");
    place(password, 300, 320, 200, 36);
    click(password, 100, 18);
    typeText(L"secret");
    EXPECT_EQ(password.GetPasswordChar(), L'*');
    shot(password, L"edit", L"password", L"six masked characters");
    CEditCtrl hint;
    ASSERT_TRUE(hint.Create(WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL, CRect(0, 0, 10, 10), &m_host, 402));
    hint.SetFont(CFontCache::getFont(16));
    hint.setHintText(text(12211));
    place(hint, 520, 320, 360, 36);
    hint.SendMessage(RWM_CHANGE_LANGUAGE);
    shot(hint, L"edit", L"hint", L"empty edit with its painted hint, grey border");

    CEditPlaceholderText search;
    ASSERT_TRUE(search.Create(WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL, CRect(0, 0, 10, 10), &m_host, 403));
    search.SetFont(CFontCache::getFont(16));
    search.m_strPlaceholder = text(12167);
    search.m_pEnterTarget = &m_host;
    place(search, 20, 370, 300, 36);
    search.SendMessage(RWM_CHANGE_LANGUAGE);
    shot(search, L"placeholder", L"empty", L"placeholder text centred vertically, one-pixel frame");
    click(search, 100, 18);
    typeText(L"sonata");
    key(VK_RETURN);
    EXPECT_EQ(m_host.count(UM_EDIT_ENTER), 1);
    shot(search, L"placeholder", L"typed", L"typed text, no placeholder");
    CEditPlaceholderText framed;
    ASSERT_TRUE(framed.Create(WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL, CRect(0, 0, 10, 10), &m_host, 404));
    framed.SetFont(CFontCache::getFont(16));
    framed.m_strPlaceholder = text(12206);
    framed.setFrameImage(430);
    place(framed, 340, 370, 300, 36);
    framed.SendMessage(RWM_CHANGE_LANGUAGE);
    shot(framed, L"placeholder", L"frame-image", L"placeholder over the frame image");

    AfxInitRichEdit2();
    CRichEditCtrlEx rich;
    ASSERT_TRUE(rich.Create(WS_CHILD | WS_VISIBLE | ES_MULTILINE | ES_READONLY | WS_VSCROLL, CRect(0, 0, 10, 10),
                            &m_host, 405));
    place(rich, 20, 420, 420, 120);
    TempDir dir;
    std::string rtf = "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 DejaVu Sans;}}\\f0\\fs20 Licence\\par "
                      "Terms of use: https://example.test/terms\\par Third paragraph.\\par}";
    ASSERT_TRUE(writeBytes(dir / L"doc.rtf", rtf));
    EXPECT_TRUE(rich.loadRtfFile(dir / L"doc.rtf"));
    rich.SendMessage(RWM_CHANGE_LANGUAGE);
    // Wine's rich edit honours the paragraphs' right-to-left reading order
    // but not their move to the right edge; the caption says what it shows.
    shot(rich, L"richedit", L"loaded",
         m_language == LANGUAGE_AR
             ? L"RTF document, three lines on the grey F5 background, marked right to left (the full stop of "
               L"'Third paragraph.' stands at its start); at the left edge under Wine, at the right on Windows"
             : L"RTF document, three lines on the grey F5 background, at the left edge");
}

void GalleryPass::lists() {
    CStringList items;
    for (UINT id : {12257u, 12258u, 12421u, 12206u, 12174u, 12136u, 12054u, 12444u, 12135u, 12211u}) {
        items.AddTail(text(id));
    }
    items.AddTail(text(12166));
    items.GetHead() += L"{{{*}}}";
    CListWnd list(&m_host);
    list.m_pItems = &items;
    list.m_nListId = 3;
    list.m_highlightColor = RGB(0xE0, 0x40, 0x20);
    ASSERT_TRUE(list.Create(CRect(0, 0, 10, 10), &m_host, 500));
    place(list, 460, 420, 420, 200);
    list.setScrollBarRight(!CGdiFunc::isArabic());
    list.recalcLayout();
    away();
    shot(list, L"list", L"normal", L"32-pixel rows, first row with the mark image and no suffix, bar shown");
    moveMouse(list, 100, 32 + 10);
    shot(list, L"list", L"hover", L"second row in the hover colour");
    click(list, 100, 2 * 32 + 10);
    EXPECT_EQ(m_host.count(UM_LIST_SELECT), 1);
    away();
    WindowShot selected = shot(list, L"list", L"selected", L"third row selected");
    EXPECT_EQ(selected.at(list.m_bLeftToRight ? 5 : 400, 2 * 32 + 16), RGB(0xDB, 0xDE, 0xE2));
    list.SetFocus();
    wheel(list, 100, 100, -WHEEL_DELTA);
    EXPECT_EQ(list.m_nScrollPos, 25);
    shot(list, L"list", L"wheel", L"scrolled by 25 pixels after one wheel step");
    list.SendMessage(WM_VSCROLL, SB_PAGEDOWN);
    shot(list, L"list", L"pagedown", L"scrolled a page further; the heading row at the bottom");
    list_geometry::BarParts parts = list.m_scrollBar.parts();
    int barX = list.m_bLeftToRight ? 420 - 9 : 8;
    press(list, barX, parts.thumbTop + 3);
    moveMouse(list, barX, parts.thumbTop + 3 - 40);
    release(list, barX, parts.thumbTop + 3 - 40);
    shot(list, L"list", L"thumb-dragged", L"thumb dragged up by 40 pixels");

    list.setListStyle(L"S");
    list.m_strSearch = text(12257).Left(2);
    list.m_strSelected.Empty();
    list.recalcLayout();
    shot(list, L"list", L"search-S", L"25-pixel rows, the typed prefix in the highlight colour");
    list.setListStyle(L"SF");
    list.recalcLayout();
    click(list, 100, 10);
    EXPECT_EQ(m_host.count(UM_LIST_SELECT), 1);
    shot(list, L"list", L"fixed-SF", L"25-pixel rows that ignore clicks");
}

void GalleryPass::combo() {
    CImageCombo box;
    box.m_nSizeCode = 50;
    ASSERT_TRUE(box.Create(WS_CHILD | WS_VISIBLE | WS_VSCROLL | CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED |
                               CBS_HASSTRINGS,
                           CRect(0, 0, 10, 10), &m_host, 600));
    box.setArrowImages(430, 329);
    box.resetContent();
    box.addString(text(12257) + L"|*|SD");
    box.addString(text(12258));
    box.addString(text(12421));
    box.SetCurSel(1);
    place(box, 20, 560, 400, 160);
    box.SendMessage(RWM_CHANGE_LANGUAGE);
    away();
    shot(box, L"combo", L"closed", L"closed face: frame skin, arrow at the end (left in Arabic), large bold item");
    box.SetFocus();
    pump(50);
    shot(box, L"combo", L"focused", L"focused closed face");
    box.ShowDropDown(TRUE);
    pump(100);
    // The dropped list is a window of its own.
    COMBOBOXINFO info{};
    info.cbSize = sizeof(info);
    box.GetComboBoxInfo(&info);
    shot(info.hwndList, L"combo", L"dropped", L"the dropped list: three items, texts before |*| only, one selected");
    key(VK_DOWN);
    key(VK_RETURN);
    EXPECT_GE(m_host.count(WM_COMMAND, CBN_SELENDOK), 1);
    EXPECT_EQ(m_host.count(WM_COMMAND, CBN_SELCHANGE), 0);
}

void GalleryPass::progressAndWaiting() {
    CProgressCtrlEx bar;
    ASSERT_TRUE(bar.Create(WS_CHILD | WS_VISIBLE, CRect(0, 0, 10, 10), &m_host, 700));
    bar.m_nUpper = 100;
    bar.m_bgColor = RGB(0xE6, 0xE6, 0xE6);
    bar.m_barColor = RGB(0x2C, 0x7B, 0xD6);
    place(bar, 20, 620, 301, 14);
    for (int pos : {0, 50, 100}) {
        bar.setPos(pos);
        CString state;
        state.Format(L"%d", pos);
        CString shows;
        shows.Format(L"progress at %d of 100%s", pos, pos == 50 ? L", filled from the right in Arabic" : L"");
        WindowShot copy = shot(bar, L"progress", state, shows);
        EXPECT_EQ(copy.count(RGB(0x2C, 0x7B, 0xD6), RECT{0, 7, 301, 8}), pos * 301 / 100);
    }

    std::vector<std::unique_ptr<Gdiplus::Bitmap>> frames;
    CWaitingStatic waiting;
    for (UINT id = 360; id <= 371; ++id) {
        frames.emplace_back(CGdiFunc::loadPngResource(id));
        waiting.m_frames.push_back(frames.back().get());
    }
    ASSERT_TRUE(waiting.Create(L"", WS_CHILD | WS_VISIBLE, CRect(0, 0, 10, 10), &m_host, 701));
    place(waiting, 760, 20, 110, 110);
    for (int frame : {0, 5, 11}) {
        waiting.m_nFrame = frame;
        CString state;
        state.Format(L"frame%d", frame);
        CString shows;
        shows.Format(L"waiting animation frame %d (frame image %d): the arc turned %d degrees", frame, 360 + frame,
                     30 * frame);
        // Each frame's arc has its own shade: the point tells which frame is drawn.
        const SkinPoint& arc = skin(360 + frame).mark[0];
        EXPECT_EQ(shot(waiting, L"waiting", state, shows).at(arc.x, arc.y), arc.colour);
    }
}

void GalleryPass::drawing() {
    std::unique_ptr<Gdiplus::Bitmap> popup(CGdiFunc::loadPngResource(324));
    GdiPanel panel;
    panel.m_pFrame = popup.get();
    ASSERT_TRUE(panel.create(&m_host, CRect(0, 0, 10, 10)));
    struct Size {
        int w, h;
        const wchar_t* state;
    } sizes[] = {{120, 100}, {400, 200}, {860, 300}};
    for (const auto& s : sizes) {
        place(panel, 20, 20, s.w, s.h);
        CString state;
        state.Format(L"nineslice-%dx%d", s.w, s.h);
        WindowShot copy = shot(panel, L"gdi", state, L"popup skin by nine-slice: corners 1:1, edges stretched");
        EXPECT_EQ(copy.at(s.w / 2, 0), skin(324).edge[0]);
    }
    panel.m_mode = 1;
    place(panel, 20, 20, 860, 200);
    panel.Invalidate();
    shot(panel, L"gdi", L"textlines", L"left drawTextLines (16 becomes 24-pixel lines), right drawTextLinesEx (16)");
}

TEST(GalleryTest, Korean) { GalleryPass(LANGUAGE_KO, L"ko").run(); }
TEST(GalleryTest, English) { GalleryPass(LANGUAGE_EN, L"en").run(); }
TEST(GalleryTest, Arabic) { GalleryPass(LANGUAGE_AR, L"ar").run(); }

}  // namespace
