// The text controls through the message loop: CEditCtrl's placeholder state
// machine and key filter, CEditPlaceholderText's Enter notice, CStaticEx's
// measuring and painting, the rich-text view, and the Arabic switch.
#include "foundation/code_tables.h"
#include "foundation/globalfunc.h"
#include "foundation/private_messages.h"
#include "foundation/registered_messages.h"
#include "tests/support/capture.h"
#include "tests/support/test_support.h"
#include "tests/ui_controls/window_support.h"
#include "ui/edit_ctrl.h"
#include "ui/edit_placeholder_text.h"
#include "ui/image_combo.h"
#include "ui/rich_edit_ctrl_ex.h"
#include "ui/static_ex.h"

#include <gtest/gtest.h>

using namespace ui_test;

namespace {

CString textOf(HWND hwnd) {
    CString text;
    CWnd::FromHandle(hwnd)->GetWindowText(text);
    return text;
}

void putOnClipboard(HWND owner, const wchar_t* text) {
    ASSERT_TRUE(OpenClipboard(owner));
    EmptyClipboard();
    size_t bytes = (wcslen(text) + 1) * sizeof(wchar_t);
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, bytes);
    memcpy(GlobalLock(block), text, bytes);
    GlobalUnlock(block);
    SetClipboardData(CF_UNICODETEXT, block);
    CloseClipboard();
}

class TextControlsTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(host.create(500, 400)); }
    HostWindow host;
};

TEST_F(TextControlsTest, EditPlaceholderStateMachine) {
    CEditCtrl edit;
    ASSERT_TRUE(edit.Create(WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL, CRect(20, 20, 220, 50), &host, 1101));
    edit.m_strPlaceholder = L"User ID";
    edit.m_bPassword = TRUE;
    edit.setText(L"");
    EXPECT_EQ(textOf(edit), CString(L"User ID"));
    EXPECT_EQ(edit.GetPasswordChar(), 0);

    click(edit, 100, 15);
    edit.SetFocus();
    typeText(L"a");
    EXPECT_EQ(textOf(edit), CString(L"a"));
    EXPECT_EQ(edit.GetPasswordChar(), L'*');
    EXPECT_TRUE(edit.m_bEditing);

    size_t before = host.notices.size();
    key(VK_BACK);
    EXPECT_EQ(textOf(edit), CString(L"User ID"));
    EXPECT_EQ(edit.GetPasswordChar(), 0);
    EXPECT_FALSE(edit.m_bEditing);
    bool updated = false;
    for (size_t i = before; i < host.notices.size(); ++i) {
        updated |= host.notices[i].code == EN_UPDATE && host.notices[i].id == 1101;
    }
    EXPECT_TRUE(updated);
    CString text;
    edit.getText(text);
    EXPECT_TRUE(text.IsEmpty());
    edit.getText(text, TRUE);
    EXPECT_EQ(text, CString(L"User ID"));
    // Backspace on the shown placeholder does nothing
    key(VK_BACK);
    EXPECT_EQ(textOf(edit), CString(L"User ID"));

    // the filter: letters and digits pass, "@", "-" and spaces do not
    edit.m_bPassword = FALSE;
    typeText(L"ab@- 9");
    EXPECT_EQ(textOf(edit), CString(L"ab9"));
    // Ctrl+X does nothing, Ctrl+V pastes unfiltered
    edit.SetSel(0, -1);
    key('X', true);
    EXPECT_EQ(textOf(edit), CString(L"ab9"));
    edit.SetSel(3, 3);
    putOnClipboard(host, L"-Z");
    key('V', true);
    EXPECT_EQ(textOf(edit), CString(L"ab9-Z"));
    // the whole selection deleted brings the placeholder back
    edit.SetSel(0, -1);
    key(VK_DELETE);
    EXPECT_EQ(textOf(edit), CString(L"User ID"));
}

TEST_F(TextControlsTest, PasswordWithoutPlaceholderIsMaskedFromTheFirstKey) {
    CEditCtrl edit;
    ASSERT_TRUE(edit.Create(WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL, CRect(20, 60, 220, 90), &host, 1102));
    edit.m_bPassword = TRUE;
    edit.setText(L"");
    click(edit, 100, 15);
    typeText(L"x");
    EXPECT_EQ(textOf(edit), CString(L"x"));
    EXPECT_EQ(edit.GetPasswordChar(), L'*');
}

TEST_F(TextControlsTest, EnterReachesTheTarget) {
    CEditPlaceholderText edit;
    ASSERT_TRUE(edit.Create(WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL, CRect(20, 100, 220, 140), &host, 1103));
    edit.m_strPlaceholder = L"Search";
    edit.m_pEnterTarget = &host;
    click(edit, 100, 20);
    typeText(L"ab");
    key(VK_RETURN);
    EXPECT_EQ(host.count(UM_EDIT_ENTER), 1);
    EXPECT_EQ(textOf(edit), CString(L"ab"));
    edit.m_pEnterTarget = nullptr;
    key(VK_RETURN);
    EXPECT_EQ(host.count(UM_EDIT_ENTER), 1);
}

TEST_F(TextControlsTest, StaticMeasuresAndPaintsOnlyItsBackgroundWhenEmpty) {
    CStaticEx label;
    ASSERT_TRUE(label.Create(L"Label", WS_CHILD | WS_VISIBLE, CRect(20, 150, 220, 200), &host, 1104));
    label.m_bgColor = RGB(0xF0, 0xF0, 0xF0);
    pump(80);
    WindowShot shot;
    shot.capture(label, true);
    EXPECT_GT(shot.count(RGB(0xF0, 0xF0, 0xF0)), 100);
    // Without text the label still covers its box with its background: its
    // parent clips it out, so nothing else would paint there.
    label.m_bgColor = RGB(255, 0, 0);
    label.SetWindowText(L"");
    label.Invalidate();
    pump(80);
    shot.capture(label, true);
    EXPECT_EQ(shot.count(RGB(255, 0, 0)), 200 * 50);
    EXPECT_EQ(label.measureText(L"").cx, 0);
    label.m_bgColor = RGB(255, 255, 255);
    CSize size = label.measureText(L"Measure me");
    EXPECT_GT(size.cx, 10);
    EXPECT_GT(size.cy, 0);
    label.SetWindowText(L"Measure me");
    EXPECT_EQ(label.getTextSize().cx, size.cx);
    label.setFontStyle(14, TRUE);
    EXPECT_GT(label.getTextSize().cx, size.cx);
    pump(80);
    shot.capture(label, true);
    EXPECT_GT(shot.count(RGB(255, 255, 255)), 100);
}

TEST_F(TextControlsTest, RichTextLoadsAndFollowsArabic) {
    AfxInitRichEdit2();
    CRichEditCtrlEx rich;
    ASSERT_TRUE(rich.Create(WS_CHILD | WS_VISIBLE | ES_MULTILINE | ES_READONLY, CRect(20, 210, 400, 380), &host,
                            1105));
    TempDir dir;
    CString path = dir / L"doc.rtf";
    ASSERT_TRUE(writeBytes(path, "{\\rtf1\\ansi First paragraph\\par Second paragraph\\par}"));
    EXPECT_FALSE(rich.loadRtfFile(L""));
    EXPECT_TRUE(rich.IsWindowVisible());
    EXPECT_TRUE(rich.loadRtfFile(path));
    EXPECT_TRUE(rich.IsWindowVisible());
    CString text;
    rich.GetWindowText(text);
    EXPECT_GE(text.Find(L"Second paragraph"), 0);

    {
        LanguageScope arabic(LANGUAGE_AR);
        host.SendMessageToDescendants(RWM_CHANGE_LANGUAGE);
        PARAFORMAT2 format{};
        rich.SetSel(0, -1);
        rich.GetParaFormat(format);
        EXPECT_TRUE(format.wEffects & PFE_RTLPARA);
        EXPECT_EQ(rich.GetExStyle() & 0x7000, 0x7000u);
    }
    host.SendMessageToDescendants(RWM_CHANGE_LANGUAGE);
    PARAFORMAT2 format{};
    rich.SetSel(0, -1);
    rich.GetParaFormat(format);
    EXPECT_FALSE(format.wEffects & PFE_RTLPARA);
    EXPECT_EQ(rich.GetExStyle() & 0x7000, 0u);

    // Wine drops RTF link fields, so the link path is driven directly.
    std::vector<CString> opened;
    auto previous = CGlobalFunc::setUrlLauncher([&](const CString& t) { opened.push_back(t); });
    rich.SetWindowText(L"see https://example.test/terms here");
    ENLINK link{};
    link.nmhdr = {rich.m_hWnd, 1105, EN_LINK};
    link.msg = WM_LBUTTONDOWN;
    link.chrg = {4, 30};
    EXPECT_EQ(host.SendMessage(WM_NOTIFY, 1105, reinterpret_cast<LPARAM>(&link)), 1);
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0], CString(L"https://example.test/terms"));
    link.msg = WM_MOUSEMOVE;
    EXPECT_EQ(host.SendMessage(WM_NOTIFY, 1105, reinterpret_cast<LPARAM>(&link)), 0);
    CGlobalFunc::setUrlLauncher(previous);

    EXPECT_FALSE(rich.loadRtfFile(dir / L"missing.rtf"));
    EXPECT_FALSE(rich.IsWindowVisible());
}

TEST_F(TextControlsTest, ArabicSwitchesStylesOfEditsAndCombo) {
    CEditCtrl edit;
    CEditPlaceholderText search;
    CImageCombo combo;
    CStaticEx label;
    ASSERT_TRUE(edit.Create(WS_CHILD | WS_VISIBLE, CRect(20, 20, 200, 50), &host, 1110));
    ASSERT_TRUE(search.Create(WS_CHILD | WS_VISIBLE, CRect(20, 60, 200, 90), &host, 1111));
    ASSERT_TRUE(combo.Create(WS_CHILD | WS_VISIBLE | CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED | CBS_HASSTRINGS,
                             CRect(20, 100, 300, 300), &host, 1112));
    ASSERT_TRUE(label.Create(L"Label", WS_CHILD | WS_VISIBLE, CRect(20, 320, 200, 350), &host, 1113));
    {
        LanguageScope arabic(LANGUAGE_AR);
        host.SendMessageToDescendants(RWM_CHANGE_LANGUAGE);
        for (CWnd* w : std::initializer_list<CWnd*>{&edit, &search}) {
            EXPECT_TRUE(w->GetStyle() & ES_RIGHT);
            EXPECT_TRUE(w->GetExStyle() & WS_EX_RTLREADING);
        }
        EXPECT_EQ(combo.GetExStyle() & 0x3000, 0x3000u);
        EXPECT_FALSE(combo.m_bLeftToRight);
        EXPECT_FALSE(label.m_bLeftToRight);
        edit.modifyAlignStyle(0, ES_LEFT);
        EXPECT_TRUE(edit.GetStyle() & ES_RIGHT);
    }
    host.SendMessageToDescendants(RWM_CHANGE_LANGUAGE);
    EXPECT_FALSE(edit.GetStyle() & ES_RIGHT);
    EXPECT_FALSE(search.GetExStyle() & WS_EX_RTLREADING);
    EXPECT_EQ(combo.GetExStyle() & 0x3000, 0u);
    EXPECT_TRUE(label.m_bLeftToRight);
}

}  // namespace
