// The language manager: layout tags, registrations, placeholders, appended
// texts, page removal and controls whose window is gone.
#include "tests/ui/ui_fixtures.h"
#include "ui/dlang.h"
#include "ui/gdi_func.h"

#include <gdiplus.h>
#include <gtest/gtest.h>

TEST(DLang, LayoutTagsAreRemovedAndSummed) {
    struct Case {
        const wchar_t* text;
        const wchar_t* shown;
        int x, y, font, line;
        bool hide;
    };
    const Case cases[] = {
        {L"[x+5]word[x-2][hide]", L"word", 3, 0, 0, 0, true},
        {L"a[y+2]b[y-7]c", L"abc", 0, -5, 0, 0, false},
        {L"[font+]size[font-4]", L"size", 0, 0, -4, 0, false},   // no digits count 0
        {L"[line+ 3]x[line+-2]", L"x", 0, 0, 0, 1, false},       // blanks and one sign
        {L"[x+abc]t", L"t", 0, 0, 0, 0, false},
        {L"[x+5", L"[x+5", 0, 0, 0, 0, false},                   // no closing bracket
        {L"[x+1]a[x+2", L"a[x+2", 1, 0, 0, 0, false},            // later tags of the kind stay
        {L"[x+", L"[x+", 0, 0, 0, 0, false},                     // nothing after the head
        {L"[hide]t[hide]", L"t", 0, 0, 0, 0, true},
        {L"[X+1]case", L"[X+1]case", 0, 0, 0, 0, false},         // heads are case-sensitive
        {L"[#Brand#] [y+1]", L"[#Brand#] ", 0, 1, 0, 0, false},  // placeholders stay
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << CW2A(c.text, CP_UTF8));
        CDLang::DScript entry;
        CString text = c.text;
        CDLang::parseTags(text, entry, TRUE);
        EXPECT_EQ(text, CString(c.shown));
        EXPECT_EQ(entry.text, CString(c.shown));
        EXPECT_EQ(entry.x, c.x);
        EXPECT_EQ(entry.y, c.y);
        EXPECT_EQ(entry.font, c.font);
        EXPECT_EQ(entry.line, c.line);
        EXPECT_EQ(entry.hide, c.hide);
        // The same text again changes nothing.
        CString again = c.text;
        EXPECT_FALSE(CDLang::parseTags(again, entry, TRUE));
    }
    // Without sum the tags go and the values are reset.
    CDLang::DScript entry;
    CString text = L"[x+5]w[hide]";
    EXPECT_TRUE(CDLang::parseTags(text, entry, TRUE));
    text = L"[x+5]w[hide]";
    EXPECT_TRUE(CDLang::parseTags(text, entry, FALSE));
    EXPECT_EQ(entry.x, 0);
    EXPECT_FALSE(entry.hide);
    EXPECT_EQ(entry.text, CString(L"w"));
}

class DLangTest : public LangLibraryTest {
protected:
    Windows windows;
    CDLang lang;
};

TEST_F(DLangTest, SetTextRegistersAndShowsTheText) {
    HWND ok = windows.child(), other = windows.child();
    lang.setText(91, ok, 12045);
    EXPECT_EQ(Windows::text(ok), CString(L"OK"));
    EXPECT_EQ(lang.appliedId(ok), 12045);
    EXPECT_EQ(lang.registeredControl(12045), ok);

    // An id is shown by one control at a time.
    lang.setText(91, other, 12045);
    EXPECT_EQ(lang.registeredControl(12045), other);

    // Loaded without text: empty; never loaded: its id in brackets.
    lang.setText(91, ok, 12007);
    EXPECT_EQ(Windows::text(ok), CString());
    lang.applyText(ok, 12012);
    EXPECT_EQ(Windows::text(ok), CString(L"[12012]"));
    EXPECT_EQ(lang.appliedId(ok), 12012);

    // The current language decides.
    ASSERT_TRUE(CLangLibrary::loadLanguage(LANGUAGE_KO));
    lang.setLanguage(LANGUAGE_KO);
    lang.setText(91, ok, 12045);
    EXPECT_EQ(Windows::text(ok), CString(L"확인"));
}

TEST_F(DLangTest, PlaceholderValuesSurviveSetTextButNotALanguageChange) {
    HWND title = windows.child();
    // Recorded before the control is registered, shown once it is.
    lang.setTextParam(12607, L"[#Brand#]", L"Luvo");
    lang.setText(91, title, 12607);
    EXPECT_EQ(Windows::text(title), CString(L"The brand is now Luvo."));
    // A new value is applied at once.
    lang.setTextParam(12607, L"[#Brand#]", L"Dravane");
    EXPECT_EQ(Windows::text(title), CString(L"The brand is now Dravane."));
    // Several placeholders, every occurrence, case-sensitive.
    HWND body = windows.child();
    lang.setTextParam(12237, L"[#Remaining Space#]", L"1 GB");
    lang.setTextParam(12237, L"[#required space#]", L"never");
    lang.setText(91, body, 12237);
    lang.setTextParam(12237, L"[#Required Space#]", L"8 GB");
    EXPECT_EQ(Windows::text(body), CString(L"Free: 1 GB, needed: 8 GB."));

    lang.setLanguage(LANGUAGE_EN);
    EXPECT_EQ(lang.script(12607), nullptr);
    lang.setText(91, title, 12607);
    EXPECT_EQ(Windows::text(title), CString(L"The brand is now [#Brand#]."));
    // An id without text records nothing.
    lang.setTextParam(12007, L"[#Brand#]", L"Luvo");
    EXPECT_EQ(lang.script(12007), nullptr);
}

TEST_F(DLangTest, AppendTextAddsALine) {
    HWND body = windows.child(L"First line");
    lang.appendText(91, body, 12045);
    EXPECT_EQ(Windows::text(body), CString(L"First line\nOK"));
    lang.appendText(91, body, 12040);
    EXPECT_EQ(Windows::text(body), CString(L"First line\nOK\nCancel"));
    // The inner step shows a text never loaded by its id.
    lang.appendTextTo(body, 12039);
    EXPECT_EQ(Windows::text(body), CString(L"First line\nOK\nCancel\n[12039]"));
}

TEST_F(DLangTest, RemovedPagesAndDestroyedControlsAreNotWritten) {
    HWND kept = windows.child(), removed = windows.child(), gone = windows.child();
    lang.setText(90, kept, 12045);
    lang.setText(91, removed, 12607);
    lang.setText(92, gone, 12216);

    lang.removeDlg(91);
    EXPECT_EQ(lang.registeredControl(12607), nullptr);
    EXPECT_EQ(lang.appliedId(removed), -1);
    lang.setTextParam(12607, L"[#Brand#]", L"Luvo");
    EXPECT_EQ(Windows::text(removed), CString(L"The brand is now [#Brand#]."));
    EXPECT_EQ(lang.script(12607)->params.at(L"[#Brand#]"), CString(L"Luvo"));
    EXPECT_EQ(lang.registeredControl(12045), kept);

    // A page that destroyed its control without unregistering it.
    DestroyWindow(gone);
    lang.setTextParam(12216, L"[#Number#]", L"32");
    EXPECT_EQ(lang.registeredControl(12216), nullptr);
    lang.applyText(gone, 12216);
    lang.appendTextTo(gone, 12216);
    EXPECT_EQ(lang.appliedId(gone), -1);
}

namespace {
std::vector<std::pair<HWND, CString>> g_captions;
void recordCaption(HWND control, const CString& text) { g_captions.emplace_back(control, text); }
}  // namespace

TEST_F(DLangTest, ButtonsReceiveTheirCaptionThroughTheControlHook) {
    CDLang::setControlHooks(recordCaption, nullptr);
    g_captions.clear();
    HWND button = windows.child();
    lang.setText(91, button, 12040);
    lang.appendText(91, button, 12045);  // appended texts set no caption
    CDLang::setControlHooks(nullptr, nullptr);
    ASSERT_EQ(g_captions.size(), 1u);
    EXPECT_EQ(g_captions[0].first, button);
    EXPECT_EQ(g_captions[0].second, CString(L"Cancel"));
}

TEST_F(DLangTest, MoveWndMirrorsByKind) {
    HWND child = windows.child();
    RECT client{};
    GetClientRect(windows.parent(), &client);
    const struct { int kind; int x; } cases[] = {{0, 10}, {1, client.right - 10 - 100}, {2, 10}, {3, 10}};
    for (const auto& c : cases) {
        ASSERT_TRUE(CDLang::moveWnd(windows.parent(), child, 10, 5, 100, 20, c.kind));
        RECT r{};
        GetWindowRect(child, &r);
        MapWindowPoints(nullptr, windows.parent(), reinterpret_cast<POINT*>(&r), 2);
        EXPECT_EQ(r.left, c.x) << c.kind;
        EXPECT_EQ(r.top, 5);
        EXPECT_EQ(r.right - r.left, 100);
    }
}

TEST_F(DLangTest, WindowObjectsThatAreDeletedAreSkipped) {
    auto* title = new CStatic;
    CStatic kept;
    ASSERT_TRUE(title->Create(L"", WS_CHILD | WS_VISIBLE, CRect(0, 0, 200, 20), CWnd::FromHandle(windows.parent()), 100));
    ASSERT_TRUE(kept.Create(L"", WS_CHILD | WS_VISIBLE, CRect(0, 30, 200, 50), CWnd::FromHandle(windows.parent()), 101));
    lang.setText(91, title, 12607);
    lang.setText(91, &kept, 12045);
    EXPECT_EQ(lang.appliedId(title), 12607);
    CString shown;
    kept.GetWindowText(shown);
    EXPECT_EQ(shown, CString(L"OK"));

    // A page deletes a control without unregistering it: the manager keeps
    // only the handle, finds the window gone and forgets it.
    delete title;
    lang.setTextParam(12607, L"[#Brand#]", L"Luvo");
    EXPECT_EQ(lang.registeredControl(12607), nullptr);
    lang.setTextParam(12045, L"[#Unused#]", L"x");
    EXPECT_EQ(lang.registeredControl(12045), kept.GetSafeHwnd());
}

// Spaced text keeps the line height it is given (16 + 4 per line); unspaced
// short lines are widened to 24. Both are judged by the heights the drawing
// functions themselves report for the same text.
TEST_F(DLangTest, DrawTextTakesTheSpacedVariantOnlyWithSpacing) {
    ULONG_PTR token = 0;
    Gdiplus::GdiplusStartupInput input;
    ASSERT_EQ(Gdiplus::GdiplusStartup(&token, &input, nullptr), Gdiplus::Ok);
    {
        HWND label = windows.child(L"First line\nSecond line\nThird line");
        HDC screen = GetDC(nullptr);
        HDC dc = CreateCompatibleDC(screen);
        HBITMAP bitmap = CreateCompatibleBitmap(screen, 400, 300);
        HGDIOBJ old = SelectObject(dc, bitmap);
        const RECT rect{0, 0, 400, 300};
        const CString text = L"First line\nSecond line\nThird line", face = L"Tahoma";
        const int spaced = CGdiFunc::drawTextLinesEx(dc, 14, text, face, 0, 0, FALSE, 0, 16, 4, nullptr, rect);
        const int plain = CGdiFunc::drawTextLines(dc, 14, text, face, 0, 0, FALSE, 0, 16, 0, nullptr, rect);
        ASSERT_NE(spaced, CGdiFunc::drawTextLines(dc, 14, text, face, 0, 0, FALSE, 0, 16, 4, nullptr, rect))
            << "the two variants must differ for this case to tell them apart";
        EXPECT_EQ(lang.drawText(dc, label, face, 14, 0, 0, FALSE, 0, 16, 4, rect), spaced);
        EXPECT_EQ(lang.drawText(dc, label, face, 14, 0, 0, FALSE, 0, 16, 0, rect), plain);
        SelectObject(dc, old);
        DeleteObject(bitmap);
        DeleteDC(dc);
        ReleaseDC(nullptr, screen);
    }
    Gdiplus::GdiplusShutdown(token);
}
