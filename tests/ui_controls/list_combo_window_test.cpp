// The list window, its scroll bar and the image combo with real input:
// UM_LIST_SELECT, the scroll steps, the thumb drag, searches and keyboard
// moves, and which combo notices reach the page.
#include "foundation/private_messages.h"
#include "tests/support/capture.h"
#include "tests/ui_controls/window_support.h"
#include "ui/image_combo.h"
#include "ui/lang_library.h"
#include "ui/list_wnd.h"

#include <gtest/gtest.h>

using namespace ui_test;

namespace {

class ListTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(host.create(600, 400));
        for (int i = 0; i < 10; ++i) {
            CString item;
            item.Format(L"Vehicle %d", i);
            items.AddTail(item);
        }
        list.m_pItems = &items;
        list.m_nListId = 7;
        ASSERT_TRUE(list.Create(CRect(10, 10, 557, 210), &host, 1201));
        list.recalcLayout();
        pump(50);
    }
    HostWindow host;
    CStringList items;
    CListWnd list{&host};
};

TEST_F(ListTest, LayoutShowsTheBarOnlyWhenNeeded) {
    EXPECT_TRUE(list.m_bScrollShown);
    EXPECT_EQ(list.m_scrollBar.state().page, 200);
    EXPECT_EQ(list.m_scrollBar.state().maximum, 320);
    EXPECT_TRUE(list.m_scrollBar.IsWindowVisible());
    list.SendMessage(WM_VSCROLL, SB_LINEDOWN);
    EXPECT_EQ(list.m_nScrollPos, 25);
    while (items.GetCount() > 5) items.RemoveTail();
    list.recalcLayout();
    EXPECT_FALSE(list.m_bScrollShown);
    EXPECT_EQ(list.m_nScrollPos, 0);
    EXPECT_FALSE(list.m_scrollBar.IsWindowVisible());
}

TEST_F(ListTest, ClicksSelectAndNotify) {
    click(list, 100, 2 * 32 + 10);
    ASSERT_EQ(host.count(UM_LIST_SELECT), 1);
    EXPECT_EQ(host.notices.back().id, 7);
    EXPECT_EQ(list.m_strSelected, CString(L"Vehicle 2"));
    EXPECT_EQ(list.m_nKeyboardRow, 2);
    moveMouse(list, 100, 3 * 32 + 10);
    EXPECT_EQ(list.m_nHoverRow, 3);

    list.setListStyle(L"SF");
    list.recalcLayout();
    click(list, 100, 10);
    EXPECT_EQ(host.count(UM_LIST_SELECT), 1);
    EXPECT_EQ(list.m_strSelected, CString(L"Vehicle 2"));
}

TEST_F(ListTest, WheelAndPagesScrollInSteps) {
    // the wheel goes to the focus window
    list.SetFocus();
    wheel(list, 100, 100, -WHEEL_DELTA);
    EXPECT_EQ(list.m_nScrollPos, 25);
    EXPECT_EQ(list.m_scrollBar.state().position, 25);
    list.SendMessage(WM_VSCROLL, SB_PAGEDOWN);
    EXPECT_EQ(list.m_nScrollPos, 120);
    wheel(list, 100, 100, WHEEL_DELTA);
    EXPECT_EQ(list.m_nScrollPos, 95);
    list.SendMessage(WM_VSCROLL, SB_PAGEUP);
    EXPECT_EQ(list.m_nScrollPos, 0);
}

TEST_F(ListTest, ThumbDragCoversTheRange) {
    list_geometry::BarParts parts = list.m_scrollBar.parts();
    int x = 547 - 17 + 8;
    int y = parts.thumbTop + parts.thumbLength / 2;
    press(list, x, y);
    moveMouse(list, x, y + (parts.track - parts.thumbLength) / 2);
    EXPECT_GT(list.m_nScrollPos, 40);
    EXPECT_LT(list.m_nScrollPos, 80);
    moveMouse(list, x, y + parts.track);
    EXPECT_EQ(list.m_nScrollPos, 120);
    release(list, x, y + parts.track);
    EXPECT_EQ(list.m_nScrollPos, 120);
    EXPECT_EQ(list.m_scrollBar.state().trackPosition, -1);
    EXPECT_EQ(list.m_scrollBar.state().position, 120);

    // a click on the track pages
    press(list, x, 20);
    release(list, x, 20);
    EXPECT_EQ(list.m_nScrollPos, 0);
}

TEST_F(ListTest, SearchesStopAtTheHeadingAndKeysDoNotWrap) {
    CString heading = CLangLibrary::loadLangString(12166);
    items.RemoveAll();
    items.AddTail(L"Plain");
    items.AddTail(L"Marked{{{*}}}");
    items.AddTail(heading);
    items.AddTail(L"After");
    list.recalcLayout();
    struct Case {
        const wchar_t* text;
        BOOL found;
    } cases[] = {{L"Plain", TRUE},         {L"Plain{{{*}}}", TRUE}, {L"Marked{{{*}}}", TRUE},
                 {L"Marked", FALSE},       {L"After", FALSE},       {L"Nothing", FALSE}};
    for (const auto& c : cases) {
        EXPECT_EQ(list.selectItemByText(c.text), c.found) << testing::PrintToString(std::wstring(c.text));
        EXPECT_EQ(list.m_strSelected, CString(c.text));
    }
    EXPECT_EQ(host.count(UM_LIST_SELECT), 0);

    CString text = L"Marked{{{*}}}";
    EXPECT_TRUE(CListWnd::getItemText(text));
    EXPECT_EQ(text, CString(L"Marked"));
    CString shortText = L"{{{*}}}";
    EXPECT_FALSE(CListWnd::getItemText(shortText));

    list.moveSelection(VK_DOWN);
    list.moveSelection(VK_DOWN);
    EXPECT_EQ(host.count(UM_LIST_SELECT), 2);
    EXPECT_EQ(list.m_strSelected, CString(L"Marked{{{*}}}"));
    // the heading stops the keyboard
    list.moveSelection(VK_DOWN);
    EXPECT_EQ(list.m_nKeyboardRow, -1);
    EXPECT_EQ(host.count(UM_LIST_SELECT), 2);
    list.moveSelection(VK_UP);
    EXPECT_EQ(list.m_nKeyboardRow, -1);

    items.RemoveAll();
    items.AddTail(L"One");
    items.AddTail(L"Two");
    list.recalcLayout();
    list.m_nKeyboardRow = -1;
    list.moveSelection(VK_DOWN);
    list.moveSelection(VK_DOWN);
    list.moveSelection(VK_DOWN);
    EXPECT_EQ(list.m_nKeyboardRow, 1);
    EXPECT_EQ(list.m_strSelected, CString(L"Two"));
}

TEST(ImageComboTest, TextsAndWhichNoticesReachThePage) {
    HostWindow host;
    ASSERT_TRUE(host.create(500, 300));
    // Pages take the box over from their dialog template.
    HWND box = CreateWindowExW(0, L"COMBOBOX", L"",
                               WS_CHILD | WS_VISIBLE | WS_VSCROLL | CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED |
                                   CBS_HASSTRINGS,
                               20, 20, 400, 230, host, reinterpret_cast<HMENU>(1301), nullptr, nullptr);
    CImageCombo combo;
    ASSERT_TRUE(combo.SubclassWindow(box));
    EXPECT_TRUE(combo.GetStyle() & WS_CLIPCHILDREN);
    combo.setArrowImages(430, 329);
    EXPECT_EQ(combo.addString(L"Korea|*|KR"), 0);
    EXPECT_EQ(combo.addString(L"Middle East"), 1);
    EXPECT_EQ(combo.getItemText(0), CString(L"Korea|*|KR"));
    EXPECT_EQ(combo.getItemText(1), CString(L"Middle East"));
    EXPECT_TRUE(combo.getItemText(2).IsEmpty());
    combo.resetContent();
    EXPECT_TRUE(combo.getItemText(0).IsEmpty());
    EXPECT_EQ(combo.GetCount(), 0);
    combo.addString(L"First");
    combo.addString(L"Second|*|2");
    combo.SetCurSel(0);

    combo.SetFocus();
    pump(50);
    key(VK_F4);
    key(VK_DOWN);
    key(VK_RETURN);
    EXPECT_EQ(combo.GetCurSel(), 1);
    EXPECT_GE(host.count(WM_COMMAND, CBN_SELENDOK), 1);
    EXPECT_EQ(host.count(WM_COMMAND, CBN_SELCHANGE), 0);
}

// The closed box in both reading orders: its extended styles, the asked
// selection-field height kept through a font change (and raised for a
// height the font cannot fit), and the frame's border on all four sides.
TEST(ImageComboTest, ClosedBoxByReadingOrder) {
    HostWindow host;
    ASSERT_TRUE(host.create(500, 300));
    HWND box = CreateWindowExW(0, L"COMBOBOX", L"",
                               WS_CHILD | WS_VISIBLE | WS_VSCROLL | CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED |
                                   CBS_HASSTRINGS,
                               20, 20, 260, 230, host, reinterpret_cast<HMENU>(1302), nullptr, nullptr);
    CImageCombo combo;
    ASSERT_TRUE(combo.SubclassWindow(box));
    combo.setArrowImages(430, 329);
    combo.addString(L"Middle East|*|ME");
    combo.SetCurSel(0);
    const DWORD rtl = WS_EX_RIGHT | WS_EX_RTLREADING | WS_EX_LEFTSCROLLBAR;
    // The pages' font of their lists: 18 pixels.
    CFont font;
    font.CreateFont(-18, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                    CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, L"DejaVu Sans");

    for (BOOL leftToRight : {FALSE, TRUE}) {
        SCOPED_TRACE(leftToRight);
        combo.setLeftToRight(leftToRight);
        EXPECT_EQ(leftToRight ? 0u : rtl, combo.GetExStyle() & rtl);
        // The box may add its own margin to the field, never take from it.
        combo.SetItemHeight(-1, 34);
        combo.SetFont(&font, TRUE);
        const int field = combo.GetItemHeight(-1);
        EXPECT_GE(field, 34);
        EXPECT_LE(field, 34 + 4);
        RECT window{};
        combo.GetWindowRect(&window);
        const int height = window.bottom - window.top;
        EXPECT_GE(height, field);
        const text_rules::ComboFace face = combo.faceLayout();
        if (leftToRight) {
            EXPECT_EQ(260 - 10, face.arrow.right);
            EXPECT_EQ(10, face.text.left);
            EXPECT_LE(face.text.right, face.arrow.left);
        } else {
            EXPECT_EQ(10, face.arrow.left);
            EXPECT_EQ(260 - 10, face.text.right);
            EXPECT_GE(face.text.left, face.arrow.right);
        }
        pump(50);
        WindowShot shot;
        ASSERT_TRUE(shot.capture(combo.m_hWnd, true));
        const COLORREF white = RGB(255, 255, 255);
        for (POINT p : {POINT{0, height / 2}, POINT{259, height / 2}, POINT{130, 0}, POINT{130, height - 1}}) {
            EXPECT_NE(white, shot.at(p.x, p.y)) << p.x << "," << p.y;
        }
    }
    // Too low for its font: raised to what the item font needs (the box may
    // raise it further for its own font), and never lowered again by a font
    // change.
    combo.SetItemHeight(-1, 12);
    EXPECT_GE(combo.GetItemHeight(-1), text_rules::comboFaceHeight(12, combo.itemFontPixels()));
    combo.SetFont(&font, TRUE);
    EXPECT_GE(combo.GetItemHeight(-1), text_rules::comboFaceHeight(12, combo.itemFontPixels()));
}

}  // namespace
