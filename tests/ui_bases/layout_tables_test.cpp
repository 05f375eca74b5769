// The bases' geometry and text rules as tables, without windows.
#include "ui/key_rules.h"
#include "ui/msg_box_layout.h"
#include "ui/notice_layout.h"
#include "ui/page_rules.h"
#include "ui/text_ids.h"
#include "ui/title_bar_layout.h"

#include "foundation/code_tables.h"

#include <gtest/gtest.h>

namespace {

using title_bar::ButtonSlot;

std::array<ButtonSlot, title_bar::BUTTON_COUNT> slots(int exitW, int miniW, int guideW, int configW, int logoutW,
                                                       int h = 24) {
    std::array<ButtonSlot, title_bar::BUTTON_COUNT> s{};
    int widths[] = {exitW, miniW, guideW, configW, logoutW};
    for (int i = 0; i < title_bar::BUTTON_COUNT; ++i) {
        s[i].present = widths[i] > 0;
        s[i].size = {widths[i], h};
    }
    return s;
}

TEST(TitleBarLayout, PacksFromTheRightAndMirrorsInArabic) {
    struct Case {
        const char* name;
        int clientWidth;
        std::array<ButtonSlot, title_bar::BUTTON_COUNT> slots;
        bool arabic;
        int x[5];  // -1: not placed
    } cases[] = {
        // 900 - 24 - 24 = 852; -15 -24 = 813; -41 -(24-5) = 753; -41 -24 = 688; -35 -60 = 593
        {"english", 900, slots(24, 24, 24, 24, 60), false, {852, 813, 753, 688, 593}},
        {"arabic", 900, slots(24, 24, 24, 24, 60), true, {24, 63, 123, 188, 247}},
        // A missing button still leaves its gap, but takes no width.
        {"no minimise", 900, slots(24, 0, 24, 24, 60), false, {852, -1, 777, 712, 617}},
        {"odd widths", 401, slots(30, 20, 11, 24, 61), false, {347, 312, 265, 200, 104}},
    };
    for (const Case& c : cases) {
        auto places = title_bar::layoutButtons(c.clientWidth, c.slots, c.arabic);
        for (int i = 0; i < title_bar::BUTTON_COUNT; ++i) {
            SCOPED_TRACE(testing::Message() << c.name << " button " << i);
            EXPECT_EQ(c.x[i] >= 0, places[i].placed);
            if (c.x[i] >= 0) {
                EXPECT_EQ(c.x[i], places[i].x);
            }
        }
    }
}

TEST(TitleBarLayout, ArabicExitButtonSits24FromTheLeftAndButtonsAreCentredVertically) {
    auto places = title_bar::layoutButtons(900, slots(24, 24, 24, 24, 60, 25), true);
    EXPECT_EQ(24, places[title_bar::EXIT].x);
    EXPECT_EQ(17, places[title_bar::EXIT].y);  // (60 - 25) / 2 rounds toward zero
}

TEST(TitleBarLayout, LogoByBrandLanguageAndRegion) {
    struct Case {
        const wchar_t* corp;
        bool arabic;
        int region;
        UINT id;
    } cases[] = {
        {L"TS", false, REGION_KR, 525}, {L"TS", true, REGION_ME, 1724},  {L"DR", false, REGION_EU, 526},
        {L"DR", true, REGION_ME, 1725}, {L"LV", false, REGION_US, 1749}, {L"LV", false, REGION_CA, 1749},
        {L"LV", true, REGION_CA, 1750}, {L"LV", false, REGION_KR, 527},  {L"LV", true, REGION_ME, 1726},
        {L"N", false, REGION_US, 524},  {L"", true, REGION_ME, 1723},    {L"ts", false, REGION_KR, 524},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.id, title_bar::logoImageId(c.corp, c.arabic, c.region))
            << CW2A(c.corp) << " arabic " << c.arabic << " region " << c.region;
    }
}

TEST(TitleBarLayout, HeaderTextBoxesFollowTheButtons) {
    RECT logout = {593, 18, 653, 42}, config = {688, 18, 712, 42};
    RECT r = title_bar::subTitleRect(logout, config, false);
    EXPECT_EQ(408, r.left);
    EXPECT_EQ(648, r.right);
    r = title_bar::titleRect(logout, config, false);
    EXPECT_EQ(463, r.left);
    EXPECT_EQ(593, r.right);
    RECT logoutAr = {247, 18, 307, 42}, configAr = {188, 18, 212, 42};
    r = title_bar::subTitleRect(logoutAr, configAr, true);
    EXPECT_EQ(228, r.left);
    EXPECT_EQ(552, r.right);
    r = title_bar::titleRect(logoutAr, configAr, true);
    EXPECT_EQ(283, r.left);
    EXPECT_EQ(497, r.right);

    RECT guide = {753, 18, 777, 42};
    auto name = title_bar::regionNamePlace(guide, 13, false, false);  // "United States"
    EXPECT_EQ(630, name.text.left);
    EXPECT_EQ(2, name.text.top);
    EXPECT_EQ(732, name.text.right);
    EXPECT_FALSE(name.alignFar);
    EXPECT_EQ(600, name.globeX);
    RECT guideAr = {123, 18, 147, 42};
    name = title_bar::regionNamePlace(guideAr, 11, true, true);  // "Middle East", last brand Luvo
    EXPECT_EQ(168, name.text.left);
    EXPECT_EQ(1, name.text.top);
    EXPECT_EQ(283, name.text.right);
    EXPECT_TRUE(name.alignFar);
    EXPECT_EQ(287, name.globeX);

    EXPECT_EQ(60u, wcslen(title_bar::RIGHTS_NOTICE));

    // Footer: two disjoint boxes, mirrored as a pair, each text held at the
    // window's outer edge by its alignment.
    for (bool arabic : {false, true}) {
        auto version = title_bar::versionPlace(900, 680, arabic), rights = title_bar::rightsPlace(900, 680, arabic);
        RECT overlap{};
        EXPECT_FALSE(IntersectRect(&overlap, &version.box, &rights.box)) << arabic;
        EXPECT_EQ(version.align, arabic ? 2 : 0);
        EXPECT_EQ(rights.align, arabic ? 0 : 2);
        auto plain = title_bar::versionPlace(900, 680, false);
        if (arabic) EXPECT_EQ(version.box.left, 900 - plain.box.right);
    }
}

TEST(KeyRules, DialogKeysAreSwallowedAltF4AndCtrlShiftF5AreNamed) {
    using namespace key_rules;
    struct Case {
        UINT message;
        WPARAM key;
        bool ctrl, shift;
        Action action;
    } cases[] = {
        {WM_KEYDOWN, VK_RETURN, false, false, KEY_SWALLOW},
        {WM_KEYDOWN, VK_ESCAPE, false, false, KEY_SWALLOW},
        {WM_KEYDOWN, VK_SPACE, true, true, KEY_SWALLOW},
        {WM_SYSKEYDOWN, VK_RETURN, false, false, KEY_PASS},  // Alt+Enter is no dialog key
        {WM_SYSKEYDOWN, VK_F4, false, false, KEY_EXIT_REQUEST},
        {WM_KEYDOWN, VK_F4, false, false, KEY_PASS},
        {WM_KEYDOWN, VK_F5, true, true, KEY_HIDDEN_MODE},
        {WM_SYSKEYDOWN, VK_F5, true, true, KEY_HIDDEN_MODE},
        {WM_KEYDOWN, VK_F5, true, false, KEY_PASS},
        {WM_KEYDOWN, VK_F5, false, true, KEY_PASS},
        {WM_KEYUP, VK_RETURN, false, false, KEY_PASS},
        {WM_CHAR, VK_SPACE, false, false, KEY_PASS},
        {WM_KEYDOWN, 'A', false, false, KEY_PASS},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.action, classify(c.message, c.key, c.ctrl, c.shift))
            << "message " << c.message << " key " << c.key << " ctrl " << c.ctrl << " shift " << c.shift;
    }
}

TEST(PageRules, FitFontSizeCountsLinesDownToFour) {
    // Lines needed at a size: the text fits in 2 lines from size 12 down.
    auto twoLinesFrom12 = [](int size) { return size > 12 ? 3 : 2; };
    auto never = [](int) { return 9; };
    auto always = [](int) { return 1; };
    struct Case {
        const char* name;
        int start, maxLines;
        std::function<int(int)> lines;
        int expected;
    } cases[] = {
        {"fits at start", 20, 3, twoLinesFrom12, 20},
        {"drops until it fits", 20, 2, twoLinesFrom12, 12},
        {"never fits from 20", 20, 2, never, 4},
        {"never fits from 5", 5, 2, never, 4},
        {"start 3 never fits", 3, 2, never, 2},
        {"start 3 fits", 3, 2, always, 3},
        {"exactly the maximum", 14, 3, [](int) { return 3; }, 14},
    };
    for (const auto& c : cases) {
        std::vector<int> tried;
        int size = page_rules::fitFontSizeBy(c.start, c.maxLines, [&](int s) {
            tried.push_back(s);
            return c.lines(s);
        });
        EXPECT_EQ(c.expected, size) << c.name;
        for (int s : tried) EXPECT_GT(s, c.start < 5 ? c.start - 1 : 4) << c.name << ": laid out at " << s;
    }
}

TEST(PageRules, DriveTypeCaption) {
    struct Case {
        const wchar_t* description;
        int id;  // 0: the description itself
    } cases[] = {
        {L"SD", 12257},        {L"SD USB", 12257}, {L"USB", 12258},    {L"USB DVD", 0},  {L"DVD-RW", 12259},
        {L"HDD", 12257},       {L"", 12257},       {L"usb", 12257},    {L"sd", 12257},   {L"MicroSDHC", 12257},
        {L"External DVD USB", 0},
    };
    for (const auto& c : cases) EXPECT_EQ(c.id, page_rules::driveTypeTextId(c.description)) << CW2A(c.description);
}

TEST(PageRules, WaitingAnimationMirrorsWithTheOddRemainder) {
    EXPECT_EQ(395, page_rules::waitingLeft(900, false));
    EXPECT_EQ(395, page_rules::waitingLeft(900, true));
    EXPECT_EQ(395, page_rules::waitingLeft(901, false));  // (901 - 110) / 2
    EXPECT_EQ(396, page_rules::waitingLeft(901, true));   // one pixel apart
}

TEST(MsgBoxLayout, TypedLayoutsByTypeAndLanguage) {
    using namespace msg_box_layout;
    struct Case {
        int type, language;
        int width, height;
        int titleW, messageY, linkX, linkW, okX, okY;
        bool message, link, cancel;
    } cases[] = {
        {0, LANGUAGE_EN, 400, 284, 352, 168, 0, 0, 135, 234, true, false, false},
        {1, LANGUAGE_EN, 400, 326, 352, 144, 67, 265, 135, 276, true, true, false},
        {1, LANGUAGE_ES, 400, 326, 352, 154, 37, 325, 135, 276, true, true, false},
        {1, LANGUAGE_PT, 400, 326, 352, 154, 52, 295, 135, 276, true, true, false},
        {1, LANGUAGE_KO, 400, 326, 352, 144, 117, 165, 135, 276, true, true, false},
        {1, LANGUAGE_AR, 400, 326, 352, 144, 117, 165, 135, 276, true, true, false},
        {2, LANGUAGE_KO, 500, 250, 452, 0, 0, 0, 100, 190, false, false, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "type " << c.type << " language " << c.language);
        Layout l = typed(c.type, c.language);
        EXPECT_TRUE(l.prepared);
        EXPECT_EQ(c.width, l.width);
        EXPECT_EQ(c.height, l.height);
        EXPECT_TRUE(l.title.shown);
        EXPECT_EQ(90, l.title.y);
        EXPECT_EQ(c.titleW, l.title.width);
        EXPECT_EQ(c.message, l.message.shown);
        if (c.message) {
            EXPECT_EQ(c.messageY, l.message.y);
        }
        EXPECT_EQ(c.link, l.link.shown);
        EXPECT_EQ(c.link, l.linkEnabled);
        if (c.link) {
            EXPECT_EQ(c.linkX, l.link.x);
            EXPECT_EQ(228, l.link.y);
            EXPECT_EQ(c.linkW, l.link.width);
        }
        EXPECT_EQ(c.okX, l.ok.x);
        EXPECT_EQ(c.okY, l.ok.y);
        EXPECT_EQ(IDS_OK, l.okText);
        EXPECT_EQ(IDS_LIVEUPDATE_TITLE, l.popupTitleText);
        EXPECT_EQ(c.cancel, l.cancel.shown);
        if (c.cancel) {
            EXPECT_EQ(250, l.cancel.x);
        }
    }
    EXPECT_EQ((std::vector<int>{12643, 12644}), typed(2, LANGUAGE_EN).titleTexts);
    EXPECT_EQ((std::vector<int>{12427, 12428}), typed(1, LANGUAGE_EN).messageTexts);
    EXPECT_FALSE(typed(3, LANGUAGE_EN).prepared);
    EXPECT_FALSE(typed(-1, LANGUAGE_EN).prepared);
}

TEST(MsgBoxLayout, PlainLayoutHeightByLayoutValue) {
    using namespace msg_box_layout;
    for (int value : {4, 0, 1, 2, 3, 7}) {
        Layout l = plain(value);
        EXPECT_EQ(400, l.width);
        EXPECT_EQ(220, l.height);
        EXPECT_EQ(value == 4 ? 70 : 90, l.title.height) << value;
        EXPECT_EQ(0x12u, l.titleAlign);
        EXPECT_EQ(160, l.ok.y);
        EXPECT_FALSE(l.cancel.shown);
        EXPECT_FALSE(l.message.shown);
        EXPECT_FALSE(l.link.shown);
    }
}

TEST(NoticeLayout, CaptionWidthIsBoundedAndTheDateColumnFixed) {
    struct Case {
        int measured, corp;
        int cw, y;
    } cases[] = {
        {40, CORP_LV, 65, 0}, {65, CORP_DR, 65, 0}, {100, CORP_TS, 100, 2}, {150, CORP_NONE, 150, 0},
        {200, CORP_TS, 150, 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.measured);
        auto l = notice_layout::layout(c.measured, 900, c.corp);
        EXPECT_EQ(c.cw, l.captionWidth);
        EXPECT_EQ(28, l.caption.x);
        EXPECT_EQ(c.cw + 30, l.caption.width);
        EXPECT_EQ(c.cw + 72, l.item.x);
        EXPECT_EQ(683 - c.cw, l.item.width);
        EXPECT_EQ(755, l.date.x);
        EXPECT_EQ(93, l.date.width);
        for (auto box : {l.caption, l.item, l.date}) {
            EXPECT_EQ(c.y, box.y);
            EXPECT_EQ(40, box.height);
        }
    }
    auto more = notice_layout::moreButton(900);
    EXPECT_EQ(865, more.x);
    RECT moreRect = {865, 10, 885, 30};
    EXPECT_EQ(850, notice_layout::markX(moreRect, 900, false));
    RECT moreAr = {15, 10, 35, 30};
    EXPECT_EQ(850, notice_layout::markX(moreAr, 900, true));
}

}  // namespace
