// The progress bar and the waiting animation, and what every control costs
// at rest: paints while idle, the layer's GDI objects after many paints,
// memory over many PNG loads.
#include "foundation/code_tables.h"
#include "tests/support/capture.h"
#include "tests/ui_controls/window_support.h"
#include "ui/edit_ctrl.h"
#include "ui/edit_placeholder_text.h"
#include "ui/image_combo.h"
#include "ui/list_wnd.h"
#include "ui/png_button.h"
#include "ui/png_with_text_button.h"
#include "ui/progress_ctrl_ex.h"
#include "ui/rich_edit_ctrl_ex.h"
#include "ui/static_ex.h"
#include "ui/waiting_static.h"

#include <gtest/gtest.h>
#include <psapi.h>

#include <memory>

using namespace ui_test;

namespace {

TEST(ProgressTest, FillFromEitherSideAndRangeChecks) {
    HostWindow host;
    ASSERT_TRUE(host.create(400, 100));
    CProgressCtrlEx bar;
    ASSERT_TRUE(bar.Create(WS_CHILD | WS_VISIBLE, CRect(10, 10, 311, 30), &host, 1401));
    bar.m_nLower = 0;
    bar.m_nUpper = 100;
    bar.m_bgColor = RGB(255, 255, 255);
    bar.m_barColor = RGB(255, 0, 0);
    struct Case {
        int language;
        int first, last;
    } cases[] = {{LANGUAGE_EN, 0, 149}, {LANGUAGE_AR, 151, 300}};
    bar.setPos(50);
    for (const auto& c : cases) {
        LanguageScope language(c.language);
        bar.Invalidate();
        pump(50);
        WindowShot shot;
        shot.capture(bar, true);
        EXPECT_EQ(shot.count(RGB(255, 0, 0), RECT{0, 5, 301, 6}), 150) << c.language;
        EXPECT_EQ(shot.at(c.first, 5), RGB(255, 0, 0)) << c.language;
        EXPECT_EQ(shot.at(c.last, 5), RGB(255, 0, 0)) << c.language;
    }
    bar.setPos(101);
    EXPECT_EQ(bar.m_fPos, 50.0f);
    bar.setPos(-1);
    EXPECT_EQ(bar.m_fPos, 50.0f);
    // an empty range draws an empty bar
    bar.m_nUpper = 0;
    bar.m_nLower = 0;
    bar.setPos(0);
    WindowShot shot;
    shot.capture(bar, true);
    EXPECT_EQ(shot.count(RGB(255, 0, 0)), 0);
}

class AnimationTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(host.create(300, 150));
        for (UINT id = 360; id <= 371; ++id) frames.emplace_back(CGdiFunc::loadPngResource(id));
        for (CWaitingStatic* w : {&first, &second}) {
            for (auto& f : frames) w->m_frames.push_back(f.get());
        }
        ASSERT_TRUE(first.Create(L"", WS_CHILD | WS_VISIBLE, CRect(10, 10, 120, 120), &host, 1501));
        ASSERT_TRUE(second.Create(L"", WS_CHILD | WS_VISIBLE, CRect(150, 10, 260, 120), &host, 1502));
    }
    HostWindow host;
    std::vector<std::unique_ptr<Gdiplus::Bitmap>> frames;
    CWaitingStatic first;
    CWaitingStatic second;
};

TEST_F(AnimationTest, TenFramesASecondAndNoneAfterStop) {
    EXPECT_EQ(first.m_nFrame, -1);
    ASSERT_TRUE(first.start());
    UINT id = first.timerId();
    EXPECT_TRUE(first.start());
    EXPECT_EQ(first.timerId(), id);
    pump(1050);
    int frame = first.m_nFrame;
    EXPECT_GE(frame, 7);
    EXPECT_LE(frame, 11);
    first.stop();
    int stopped = first.m_nFrame;
    pump(300);
    EXPECT_EQ(first.m_nFrame, stopped);
    first.stop();
    EXPECT_EQ(first.m_nFrame, stopped);

    // a frame fills the control with its skin colour
    WindowShot shot;
    shot.capture(first, true);
    EXPECT_NE(shot.at(55, 55), RGB(0xF5, 0xF5, 0xF5));
}

TEST_F(AnimationTest, TwoAnimationsRunIndependently) {
    ASSERT_TRUE(first.start());
    ASSERT_TRUE(second.start());
    EXPECT_NE(first.timerId(), second.timerId());
    pump(350);
    first.stop();
    int firstStopped = first.m_nFrame;
    int secondBefore = second.m_nFrame;
    pump(350);
    EXPECT_EQ(first.m_nFrame, firstStopped);
    EXPECT_NE(second.m_nFrame, secondBefore);
    second.stop();
}

TEST(WaitingStaticTest, IndexMinusOnePaintsOnlyTheBackground) {
    HostWindow host;
    ASSERT_TRUE(host.create(200, 150));
    CWaitingStatic idle;
    ASSERT_TRUE(idle.Create(L"", WS_CHILD | WS_VISIBLE, CRect(10, 10, 120, 120), &host, 1503));
    pump(50);
    WindowShot shot;
    shot.capture(idle, true);
    EXPECT_EQ(shot.count(RGB(0xF5, 0xF5, 0xF5)), 110 * 110);
}

// Every control of the toolkit on one window.
struct AllControls {
    explicit AllControls(HostWindow& host) {
        AfxInitRichEdit2();
        button.Create(L"", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, CRect(10, 10, 40, 40), &host, 1);
        button.setImage(398);
        text.Create(L"BUTTON", L"", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, CRect(10, 60, 200, 90), &host, 2);
        text.setText(L"Remember me", 16, FALSE, 1);
        label.Create(L"A label that wraps over two lines", WS_CHILD | WS_VISIBLE, CRect(10, 100, 150, 160), &host, 3);
        edit.Create(WS_CHILD | WS_VISIBLE, CRect(10, 170, 200, 200), &host, 4);
        edit.m_strPlaceholder = L"ID";
        edit.setText(L"");
        edit.setHintText(L"hint");
        search.Create(WS_CHILD | WS_VISIBLE, CRect(10, 210, 200, 240), &host, 5);
        search.m_strPlaceholder = L"Search";
        rich.Create(WS_CHILD | WS_VISIBLE | ES_MULTILINE, CRect(220, 10, 500, 100), &host, 6);
        for (int i = 0; i < 12; ++i) items.AddTail(L"Row");
        list.m_pItems = &items;
        list.Create(CRect(220, 110, 500, 260), &host, 7);
        list.recalcLayout();
        combo.Create(WS_CHILD | WS_VISIBLE | CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED | CBS_HASSTRINGS,
                     CRect(10, 250, 200, 400), &host, 8);
        combo.setArrowImages(430, 329);
        combo.addString(L"Item");
        combo.SetCurSel(0);
        progress.Create(WS_CHILD | WS_VISIBLE, CRect(220, 270, 500, 290), &host, 9);
        progress.setPos(300);
        waiting.Create(L"", WS_CHILD | WS_VISIBLE, CRect(220, 300, 330, 410), &host, 10);
    }
    std::vector<HWND> windows() const {
        return {button, text, label, edit, search, rich, list, list.m_scrollBar.m_hWnd, combo, progress, waiting};
    }
    CPngButton button;
    CPngWithTextButton text;
    CStaticEx label;
    CEditCtrl edit;
    CEditPlaceholderText search;
    CRichEditCtrlEx rich;
    CStringList items;
    CListWnd list{nullptr};
    CImageCombo combo;
    CProgressCtrlEx progress;
    CWaitingStatic waiting;
};

TEST(ResourcesTest, IdleControlsStopPainting) {
    HostWindow host;
    ASSERT_TRUE(host.create(520, 420));
    AllControls all(host);
    moveMouse(host, 510, 410);
    pump(500);
    std::vector<std::pair<HWND, int>> paints;
    countPaints(&paints);
    pump(500);
    countPaints(nullptr);
    for (const auto& entry : paints) {
        wchar_t name[64] = {};
        GetClassNameW(entry.first, name, 64);
        EXPECT_LE(entry.second, 2) << testing::PrintToString(std::wstring(name));
    }
}

TEST(ResourcesTest, ThousandPaintsGiveEveryGdiObjectBack) {
    HostWindow host;
    ASSERT_TRUE(host.create(520, 420));
    AllControls all(host);
    pump(100);
    long dcs = CDC::liveCount();
    long objects = CGdiObject::liveCount();
    for (int i = 0; i < 1000; ++i) {
        for (HWND hwnd : all.windows()) RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        if (i % 50 == 0) AfxDeleteTempMaps();
    }
    pump(50);
    AfxDeleteTempMaps();
    EXPECT_EQ(CDC::liveCount(), dcs);
    EXPECT_EQ(CGdiObject::liveCount(), objects);
}

TEST(ResourcesTest, PngLoadsDoNotGrowTheProcess) {
    auto usage = [] {
        PROCESS_MEMORY_COUNTERS counters{};
        GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof(counters));
        return counters.PagefileUsage;
    };
    for (int i = 0; i < 200; ++i) delete CGdiFunc::loadPngResource(345);
    SIZE_T before = usage();
    for (int i = 0; i < 10000; ++i) {
        Gdiplus::Bitmap* image = CGdiFunc::loadPngResource(345);
        ASSERT_NE(image, nullptr);
        delete image;
    }
    SIZE_T after = usage();
    EXPECT_LT(after, before + 1024 * 1024) << before << " -> " << after;
}

}  // namespace
