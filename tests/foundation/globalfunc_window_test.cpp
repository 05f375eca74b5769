#include "foundation/globalfunc.h"
#include "foundation/regsetting.h"
#include "tests/support/test_support.h"

#include <gtest/gtest.h>

namespace {

class WindowTest : public testing::Test {
protected:
    void SetUp() override {
        // A popup without borders: its client area is exactly 900 by 600.
        parent = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 900, 600, nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(parent, nullptr);
        child = CreateWindowExW(0, L"STATIC", L"", WS_CHILD, 0, 0, 10, 10, parent, nullptr, nullptr, nullptr);
        ASSERT_NE(child, nullptr);
    }
    void TearDown() override { DestroyWindow(parent); }

    RECT childRect() const {
        RECT r{};
        GetWindowRect(child, &r);
        MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
        return r;
    }

    HWND parent = nullptr;
    HWND child = nullptr;
};

TEST_F(WindowTest, MoveChildMirrorsByKind) {
    AfxGetApp()->WriteProfileString(L"Settings", L"Region", L"EU");
    struct Case {
        const wchar_t* language;
        int kind;
        bool withParent;
        int left;
    } cases[] = {
        {L"en-US", 0, true, 100}, {L"en-US", 1, true, 600}, {L"en-US", 2, true, 100},
        {L"ar-AR", 2, true, 600}, {L"ar-AR", 0, true, 100}, {L"ar-AR", 3, true, 100},
        {L"en-US", 1, false, 100},  // nothing to mirror against
    };
    for (const auto& c : cases) {
        AfxGetApp()->WriteProfileString(L"Settings", L"Language", c.language);
        EXPECT_TRUE(CGlobalFunc::moveChildWindow(c.withParent ? parent : nullptr, child, 100, 20, 200, 30, c.kind));
        RECT r = childRect();
        EXPECT_EQ(r.left, c.left) << c.language << " kind " << c.kind;
        EXPECT_EQ(r.top, 20);
        EXPECT_EQ(r.right - r.left, 200);
        EXPECT_EQ(r.bottom - r.top, 30);
    }
    EXPECT_FALSE(CGlobalFunc::moveChildWindow(parent, nullptr, 0, 0, 1, 1, 1));
    AfxGetApp()->WriteProfileString(L"Settings", nullptr, nullptr);
}

TEST_F(WindowTest, InvalidateChildMarksItsAreaOnly) {
    ShowWindow(parent, SW_SHOWNOACTIVATE);
    UpdateWindow(parent);
    SetWindowPos(child, nullptr, 300, 100, 50, 40, SWP_NOZORDER);
    ValidateRect(parent, nullptr);
    CGlobalFunc::invalidateChild(parent, child);
    RECT update{};
    ASSERT_TRUE(GetUpdateRect(parent, &update, FALSE));
    EXPECT_EQ(update.left, 300);
    EXPECT_EQ(update.top, 100);
    EXPECT_EQ(update.right, 350);
    EXPECT_EQ(update.bottom, 140);
    CGlobalFunc::invalidateChild(nullptr, child);  // no parent: nothing happens
}

TEST(GlobalDrawRoundBox, WhiteBoxWithGreyOutline) {
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 900, 100);
    ReleaseDC(nullptr, screen);
    HGDIOBJ old = SelectObject(dc, bitmap);
    RECT all{0, 0, 900, 100};
    HBRUSH black = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    FillRect(dc, &all, black);
    HGDIOBJ penBefore = GetCurrentObject(dc, OBJ_PEN);

    CGlobalFunc::drawRoundBox(dc, 10, 60);

    const COLORREF grey = RGB(202, 202, 202), white = RGB(255, 255, 255), background = RGB(0, 0, 0);
    struct Case {
        int x, y;
        COLORREF colour;
    } cases[] = {
        {110, 35, grey}, {789, 35, grey}, {400, 10, grey}, {400, 59, grey}, {400, 35, white},
        {109, 35, background}, {790, 35, background}, {400, 9, background}, {400, 60, background},
        {110, 10, background},  // the rounded corner leaves the corner pixel
    };
    for (const auto& c : cases) EXPECT_EQ(GetPixel(dc, c.x, c.y), c.colour) << c.x << "," << c.y;
    EXPECT_EQ(GetCurrentObject(dc, OBJ_PEN), penBefore);

    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
}

}  // namespace
