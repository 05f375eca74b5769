// The two skinned buttons with real input: one BN_CLICKED per click with
// the capture already released, frames and caption colours from state,
// toggling, links, and mirroring under Arabic.
#include "foundation/code_tables.h"
#include "foundation/globalfunc.h"
#include "foundation/registered_messages.h"
#include "tests/support/capture.h"
#include "tests/ui_controls/window_support.h"
#include "ui/memory_canvas.h"
#include "ui/png_button.h"
#include "ui/png_with_text_button.h"

#include "skin_table.h"

#include <gtest/gtest.h>

#include <memory>
#include <utility>
#include <vector>

using namespace ui_test;

namespace {

const SkinRow& skin(int id) {
    for (const auto& row : kSkinTable) {
        if (row.id == id) return row;
    }
    static SkinRow none{};
    return none;
}

// Lets the double-click time pass, so that the next press is a new click.
void settle() { pump(GetDoubleClickTime() + 50); }

COLORREF pixelOf(HWND hwnd, int x, int y) {
    WindowShot shot;
    shot.capture(hwnd, true);
    return shot.at(x, y);
}

// A parent that paints itself in OnPaint and clips its children, as the
// pages do: one colour left of its middle, another right of it.
class TwoTonePanel : public CWnd {
public:
    COLORREF m_left = RGB(255, 255, 255);
    COLORREF m_right = RGB(0x2A, 0x30, 0x37);
    BOOL create(CWnd* parent, const RECT& rect) {
        return CreateEx(0, AfxRegisterWndClass(0), L"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, rect, parent, 0);
    }

protected:
    void OnPaint() {
        CPaintDC paint(this);
        CRect client;
        GetClientRect(&client);
        CMemoryCanvas canvas(paint.GetSafeHdc(), client.Width(), client.Height());
        canvas.fill(RECT{0, 0, client.Width() / 2, client.Height()}, m_left);
        canvas.fill(RECT{client.Width() / 2, 0, client.Width(), client.Height()}, m_right);
        canvas.copyTo(paint.GetSafeHdc());
    }
    BOOL OnEraseBkgnd(CDC*) { return TRUE; }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(TwoTonePanel, CWnd)
    ON_WM_PAINT()
    ON_WM_ERASEBKGND()
END_MESSAGE_MAP()

class ButtonsTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(host.create(500, 300)); }
    HostWindow host;
};

TEST_F(ButtonsTest, PushButtonFramesAndOneClickPerClick) {
    CPngButton button;
    ASSERT_TRUE(button.Create(L"", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, CRect(20, 20, 60, 40), &host, 1001));
    ASSERT_TRUE(button.setImage(398));
    CRect client;
    button.GetClientRect(&client);
    EXPECT_EQ(client.Width(), 130);
    EXPECT_EQ(client.Height(), 40);
    const SkinRow& row = skin(398);
    moveMouse(host, 400, 250);
    pump(100);
    EXPECT_EQ(pixelOf(button, 65, 20), row.fill[0]);

    moveMouse(button, 65, 20);
    pump(100);
    EXPECT_TRUE(button.m_bHover);
    EXPECT_EQ(pixelOf(button, 65, 20), row.fill[1]);

    press(button, 65, 20);
    EXPECT_TRUE(button.m_bPressed);
    EXPECT_EQ(pixelOf(button, 65, 20), row.fill[2]);
    release(button, 65, 20);
    ASSERT_EQ(host.count(WM_COMMAND, BN_CLICKED), 1);
    EXPECT_EQ(host.notices.back().capture, nullptr);

    settle();
    click(button, 65, 20);
    EXPECT_EQ(host.count(WM_COMMAND, BN_CLICKED), 2);
    // An owner-drawn button reports the second press of a double-click as
    // BN_DOUBLECLICKED; the double-click flips a plain button's checked
    // flag, which only the caption colours read.
    settle();
    click(button, 65, 20, true);
    EXPECT_EQ(host.count(WM_COMMAND, BN_CLICKED), 3);
    EXPECT_EQ(host.count(WM_COMMAND, BN_DOUBLECLICKED), 1);
    EXPECT_TRUE(button.m_bChecked);

    button.setEnable(FALSE);
    pump(50);
    EXPECT_FALSE(button.m_bHover);
    EXPECT_EQ(pixelOf(button, 65, 20), row.fill[3]);
    settle();
    click(button, 65, 20);
    EXPECT_EQ(host.count(WM_COMMAND, BN_CLICKED), 3);
}

TEST_F(ButtonsTest, CheckButtonTogglesOncePerClick) {
    CPngButton check;
    ASSERT_TRUE(check.Create(L"", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, CRect(20, 100, 40, 120), &host, 1002));
    check.m_nFrameCount = 7;
    ASSERT_TRUE(check.setImage(325));
    EXPECT_TRUE(check.m_bToggle);
    const SkinRow& row = skin(325);
    // Input and repaints arrive through the display server when they do:
    // each step waits for its effect (bounded) before it is judged.
    auto clicks = [&] { return host.count(WM_COMMAND, BN_CLICKED); };
    auto shows = [&](const SkinPoint& p) { return pumpUntil([&] { return pixelOf(check, p.x, p.y) == p.colour; }); };
    click(check, 9, 9);
    EXPECT_TRUE(pumpUntil([&] { return clicks() >= 1 && check.m_bChecked; }));
    EXPECT_EQ(clicks(), 1);
    moveMouse(host, 400, 250);
    EXPECT_TRUE(shows(row.body[4])) << "checked, not hovered";
    check.setEnable(FALSE);
    EXPECT_TRUE(shows(row.body[6])) << "checked and disabled";
    check.setEnable(TRUE);
    settle();
    click(check, 9, 9);
    EXPECT_TRUE(pumpUntil([&] { return clicks() >= 2 && !check.m_bChecked; }));
    pump(50);
    EXPECT_EQ(clicks(), 2) << "one toggle per click";
}

TEST_F(ButtonsTest, FrameSizeFromTheStripAndTheCaption) {
    CPngButton button;
    ASSERT_TRUE(button.Create(L"", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, CRect(20, 20, 30, 30), &host, 1010));
    ASSERT_TRUE(button.setImage(326));
    CRect client;
    button.GetClientRect(&client);
    EXPECT_EQ(client.Width(), 24);
    EXPECT_EQ(client.Height(), 24);
    button.setText(L"A caption wider than the strip", 12, 400);
    EXPECT_EQ(button.m_colors[0], RGB(255, 255, 255));
    EXPECT_EQ(button.m_nCaptionSize, 16);
    button.updateSize();
    CClientDC dc(&button);
    SIZE extent{};
    GetTextExtentPoint32W(dc, button.m_strCaption, button.m_strCaption.GetLength(), &extent);
    EXPECT_EQ(button.m_nFrameWidth, extent.cx + 15);
    EXPECT_EQ(button.m_nFrameHeight, 24);
    // an id without an image leaves the button as it was
    EXPECT_FALSE(button.setImage(65000));
    EXPECT_EQ(button.image(), nullptr);
    button.GetClientRect(&client);
    EXPECT_EQ(client.Width(), 24);
}

TEST_F(ButtonsTest, StretchedButtonKeepsItsEndCaps) {
    CPngButton wide;
    ASSERT_TRUE(wide.Create(L"", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, CRect(20, 150, 40, 170), &host, 1003));
    ASSERT_TRUE(wide.setImage(398));
    wide.SetWindowPos(nullptr, 0, 0, 300, 40, SWP_NOMOVE | SWP_NOZORDER);
    pump(50);
    EXPECT_EQ(wide.m_nFrameWidth, 300);
    const SkinRow& row = skin(398);
    moveMouse(host, 400, 280);
    WindowShot shot;
    shot.capture(wide, true);
    EXPECT_EQ(shot.at(0, 20), row.edge[0]);
    EXPECT_EQ(shot.at(299, 20), row.edge[0]);
    EXPECT_EQ(shot.at(150, 20), row.fill[0]);
    EXPECT_EQ(shot.at(150, 0), row.edge[0]);
}

// The rounded corners of a strip show what the parent paints behind them
// at each paint: on either colour, across the border of two, mirrored or
// not, and again after the parent changed. Repeated paints leave the GDI
// counts where they were.
TEST_F(ButtonsTest, CornersShowTheParentBehindThem) {
    TwoTonePanel panel;
    ASSERT_TRUE(panel.create(&host, CRect(0, 0, 480, 120)));
    const struct {
        int x;
        int rightToLeft;
        const char* where;
    } cases[] = {
        {20, 2, "left"}, {320, 2, "right"}, {240 - 65, 2, "across"}, {240 - 65, 1, "across, mirrored"},
        {320, 1, "right, mirrored"},
    };
    std::vector<std::unique_ptr<CPngButton>> buttons;
    int id = 1100;
    for (const auto& c : cases) {
        auto b = std::make_unique<CPngButton>();
        ASSERT_TRUE(b->Create(L"", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, CRect(c.x, 40, c.x + 10, 50), &panel, id++));
        ASSERT_TRUE(b->setImage(398));
        b->m_nRightToLeft = c.rightToLeft;
        buttons.push_back(std::move(b));
    }
    moveMouse(host, 400, 250);
    auto expectCorners = [&](const char* when) {
        for (size_t i = 0; i < buttons.size(); ++i) {
            const int x = cases[i].x;
            const COLORREF left = x < 240 ? panel.m_left : panel.m_right;
            const COLORREF right = x + 130 <= 240 ? panel.m_left : panel.m_right;
            WindowShot shot;
            shot.capture(*buttons[i], true);
            EXPECT_EQ(left, shot.at(0, 0)) << when << ", " << cases[i].where;
            EXPECT_EQ(left, shot.at(0, 39)) << when << ", " << cases[i].where;
            EXPECT_EQ(right, shot.at(129, 0)) << when << ", " << cases[i].where;
            EXPECT_EQ(right, shot.at(129, 39)) << when << ", " << cases[i].where;
            EXPECT_EQ(skin(398).fill[0], shot.at(65, 20)) << when << ", " << cases[i].where;
        }
    };
    expectCorners("first paint");
    // A window larger than one frame shows the parent where the frame ends.
    CPngButton box;
    ASSERT_TRUE(box.Create(L"", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, CRect(20, 90, 30, 100), &panel, 1120));
    box.m_nFrameCount = 7;
    ASSERT_TRUE(box.setImage(325));
    box.SetWindowPos(nullptr, 0, 0, 20, 20, SWP_NOMOVE | SWP_NOZORDER);
    {
        WindowShot shot;
        shot.capture(box, true);
        EXPECT_EQ(panel.m_left, shot.at(10, 19));
        EXPECT_EQ(skin(325).fill[0], shot.at(skin(325).body[0].x, skin(325).body[0].y));
    }
    std::swap(panel.m_left, panel.m_right);
    panel.RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    expectCorners("after the parent changed");

    const long gdi = CGdiObject::liveCount(), dcs = CDC::liveCount();
    const DWORD handles = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    for (int i = 0; i < 40; ++i) panel.RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    EXPECT_EQ(gdi, CGdiObject::liveCount());
    EXPECT_EQ(dcs, CDC::liveCount());
    EXPECT_EQ(handles, GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS));
}

TEST_F(ButtonsTest, RightToLeftModesFollowTheLanguage) {
    CPngButton follows, never;
    ASSERT_TRUE(follows.Create(L"", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, CRect(20, 20, 40, 40), &host, 1004));
    ASSERT_TRUE(never.Create(L"", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, CRect(20, 80, 40, 100), &host, 1005));
    for (CPngButton* b : {&follows, &never}) {
        b->setImage(398);
        b->m_strCaption = L"Caption";
        b->m_nLeftOffset = 4;  // near the left edge unless mirrored
        b->setTextColor(RGB(0, 0, 0));
    }
    follows.m_nRightToLeft = 0;
    {
        LanguageScope arabic(LANGUAGE_AR);
        host.SendMessageToDescendants(RWM_CHANGE_LANGUAGE);
        pump(80);
        EXPECT_EQ(follows.m_nRightToLeft, 1);
        EXPECT_EQ(never.m_nRightToLeft, 2);
        const SkinRow& row = skin(398);
        auto inkLeftRight = [&](HWND hwnd) {
            WindowShot shot;
            shot.capture(hwnd, true);
            RECT left{0, 0, 65, 40}, right{65, 0, 130, 40};
            int fillLeft = shot.count(row.fill[0], left) + shot.count(row.edge[0], left);
            int fillRight = shot.count(row.fill[0], right) + shot.count(row.edge[0], right);
            return std::make_pair(65 * 40 - fillLeft, 65 * 40 - fillRight);
        };
        moveMouse(host, 400, 280);
        auto mirrored = inkLeftRight(follows);
        auto plain = inkLeftRight(never);
        EXPECT_GT(mirrored.second, mirrored.first);
        EXPECT_GT(plain.first, plain.second);
    }
    host.SendMessageToDescendants(RWM_CHANGE_LANGUAGE);
    EXPECT_EQ(follows.m_nRightToLeft, 0);
}

// A check box's caption keeps its place when checked: the rows its ink
// covers right of the tick are the same in both states.
TEST_F(ButtonsTest, CheckedCaptionKeepsItsBaseline) {
    CPngWithTextButton check(L"Backup gjpqy", 0);
    ASSERT_TRUE(check.Create(L"BUTTON", L"", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, CRect(20, 250, 220, 274), &host,
                             1010));
    check.setText(L"Backup gjpqy", 12, FALSE, 0);
    moveMouse(host, 400, 280);
    auto inkRows = [&] {
        check.Invalidate();
        pump(60);
        WindowShot shot;
        shot.capture(check, true);
        const COLORREF background = shot.at(shot.width() - 1, 0);
        int top = -1, bottom = -1;
        for (int y = 0; y < shot.height(); ++y) {
            for (int x = 26; x < shot.width(); ++x) {
                if (shot.at(x, y) == background) continue;
                if (top < 0) top = y;
                bottom = y;
                break;
            }
        }
        return std::make_pair(top, bottom);
    };
    const auto unchecked = inkRows();
    ASSERT_GE(unchecked.first, 0) << "the caption is drawn";
    check.m_bChecked = TRUE;
    const auto checked = inkRows();
    EXPECT_EQ(checked, unchecked);
    EXPECT_LT(checked.second, 23) << "descenders inside the box";
}

TEST_F(ButtonsTest, TextButtonLinksAndClicks) {
    std::vector<CString> opened;
    auto previous = CGlobalFunc::setUrlLauncher([&](const CString& target) { opened.push_back(target); });
    CPngWithTextButton link(L"Customer centre", 2);
    ASSERT_TRUE(link.Create(L"BUTTON", L"", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, CRect(20, 200, 220, 230), &host,
                            1006));
    link.setText(L"Customer centre", 14, FALSE, 2);
    link.setUrl(L" ");
    click(link, 20, 15);
    EXPECT_TRUE(opened.empty());
    EXPECT_EQ(host.count(WM_COMMAND, BN_CLICKED), 1);
    EXPECT_EQ(host.notices.back().capture, nullptr);
    EXPECT_TRUE(link.m_bChecked);
    link.setUrl(L"https://example.test/centre");
    settle();
    click(link, 20, 15);
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(host.count(WM_COMMAND, BN_CLICKED), 2);
    EXPECT_FALSE(link.m_bChecked);

    // kind 7 toggles but never opens
    link.setText(L"Plain", 14, TRUE, 7);
    settle();
    click(link, 20, 15);
    EXPECT_EQ(opened.size(), 1u);
    CGlobalFunc::setUrlLauncher(previous);

    EXPECT_FALSE(CPngWithTextButton::opensLink(2, L"   "));
    EXPECT_TRUE(CPngWithTextButton::opensLink(2, L" a "));
    EXPECT_TRUE(CPngWithTextButton::opensLink(6, L"    "));
    EXPECT_FALSE(CPngWithTextButton::opensLink(7, L"https://x.test"));
    EXPECT_FALSE(CPngWithTextButton::opensLink(1, L"https://x.test"));
}

}  // namespace
