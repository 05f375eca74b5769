// The login page's data: the server-code table and the layouts, without a
// window.
#include "pages/account/login_layout.h"
#include "pages/account/login_result_table.h"
#include "pages/account/login_texts.h"

#include "foundation/code_tables.h"
#include "resources/resource.h"
#include "shell/message_types.h"

#include <gtest/gtest.h>

TEST(LoginResultTable, CodesWithoutARowOfTheirOwnAreANetworkFailure) {
    for (int code : {902, 404, 410, 424, 499, 0, -1, 200, 1000}) {
        SCOPED_TRACE(code);
        const LoginResultRow& row = loginResultRow(code);
        EXPECT_EQ(SERVER_ERROR_NETWORK_FAIL, row.messageType);
        EXPECT_EQ(CString(L"[E:1,T:20261211,PS:0,ED:1000]"),
                  formatLoginRecord(row, code, L"20261211", L"member", L"id", L"guid"));
    }
}

TEST(LoginResultTable, RecordsCarryTheStoredIdAndForSomeTheGuid) {
    struct Case {
        int code, type;
        LoginServerText text;
        const wchar_t* record;
    } cases[] = {
        {401, SERVER_ERROR_LOGIN_INCORRECT_ID_PASSWORD, LoginServerText::None, L"[E:3,T:T1,LT:member,ID:me,ED:401]"},
        {403, SERVER_ERROR_LOGIN_DEALER_PASSWORD_INIT, LoginServerText::Third, L"[E:3,T:T1,LT:member,ID:me,ED:403]"},
        {700, SERVER_ERROR_UPDATE_CHECK_INF_LIMIT, LoginServerText::None,
         L"[E:3,T:T1,LT:member,ID:me,GUID:G,ED:700]"},
        {900, SERVER_ERROR_LOGIN_SYSTEM, LoginServerText::Third, L"[E:3,T:T1,LT:member,ID:me,GUID:G,ED:900]"},
        {901, SERVER_ERROR_LOGIN_UNKNOWN_SERVER, LoginServerText::Third, L"[E:3,T:T1,LT:member,ID:me,GUID:G,ED:901]"},
        {903, SERVER_ERROR_LOGIN_NO_AUTHORITY_903, LoginServerText::Third, L"[E:3,T:T1,LT:member,ID:me,ED:903]"},
        {904, SERVER_ERROR_LOGIN_NO_AUTHORITY_904, LoginServerText::First, L"[E:3,T:T1,LT:member,ID:me,ED:904]"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code);
        const LoginResultRow& row = loginResultRow(c.code);
        EXPECT_EQ(c.type, row.messageType);
        EXPECT_EQ(c.text, row.text);
        EXPECT_EQ(CString(c.record), formatLoginRecord(row, c.code, L"T1", L"member", L"me", L"G"));
    }
    EXPECT_EQ(CString(L"[ERR_4_LOGIN][Invalid Login Info][ID:me]"), formatLoginLogLine(loginResultRow(400), L"me"));
}

namespace {
LoginLayoutInput input(int region, int corp, int language = LANGUAGE_EN) {
    LoginLayoutInput in;
    in.region = region;
    in.rootCorp = corp;
    in.corp = corp;
    in.language = language;
    return in;
}
int yOf(const std::vector<LoginPlacement>& rows, UINT id) {
    const LoginPlacement* p = findPlacement(rows, id);
    return p ? p->y : -1;
}
}  // namespace

TEST(LoginLayoutTable, LayoutFollowsRegionBrandAndModes) {
    EXPECT_EQ(LoginLayout::Us, chooseLoginLayout(REGION_US, CORP_DR, true, true));
    EXPECT_EQ(LoginLayout::Us, chooseLoginLayout(REGION_RU, CORP_LV, false, false));
    EXPECT_EQ(LoginLayout::NonMember, chooseLoginLayout(REGION_RU, CORP_TS, false, false));
    EXPECT_EQ(LoginLayout::BrandColumn, chooseLoginLayout(REGION_KR, CORP_TS, false, false));
    EXPECT_EQ(LoginLayout::BrandColumn, chooseLoginLayout(REGION_EU, CORP_TS, false, true));
    EXPECT_EQ(LoginLayout::BrandColumn, chooseLoginLayout(REGION_EU, CORP_TS, true, false));
}

TEST(LoginLayoutTable, NonMemberButtonsStackByRegionWithTheDealerButtonBelow) {
    struct Case {
        int region;
        int ts, lv, dr;
    } cases[] = {
        {REGION_EU, 160, 430, 295},
        {REGION_RU, 160, 430, 295},
        {REGION_ME, 160, 295, 430},
        {REGION_TR, 430, 160, 295},
        {REGION_BR, 430, 160, 295},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.region);
        auto rows = loginLayout(input(c.region, CORP_DR));
        EXPECT_EQ(c.ts, yOf(rows, IDC_BUTTON_NN_TS));
        EXPECT_EQ(c.lv, yOf(rows, IDC_BUTTON_NN_LV));
        EXPECT_EQ(c.dr, yOf(rows, IDC_BUTTON_NN_DR));
        EXPECT_EQ(565, yOf(rows, IDC_STATIC_DEALER));
        EXPECT_TRUE(findPlacement(rows, IDC_BUTTON_TS)->hidden);
    }
    EXPECT_EQ(563, dealerButtonStyle(CORP_LV).y);  // LV sits 2 pixels higher
    EXPECT_EQ(106, dealerButtonStyle(CORP_LV).cx);
}

TEST(LoginLayoutTable, UsFormMovesTheEditsByBrandAndHidesTheColumns) {
    for (int corp : {CORP_TS, CORP_LV, CORP_DR}) {
        SCOPED_TRACE(corp);
        auto rows = loginLayout(input(REGION_US, corp));
        EXPECT_EQ(184 + loginEditOffset(corp), yOf(rows, IDC_EDIT_ID));
        EXPECT_EQ(246 + loginEditOffset(corp), yOf(rows, IDC_EDIT_PWD));
        EXPECT_EQ(424, yOf(rows, IDC_BUTTON_LOGIN_NM));
        for (UINT id : {IDC_STATIC_TITLE, IDC_BUTTON_NN, IDC_BUTTON_NN_TS, IDC_STATIC_DEALER}) {
            EXPECT_TRUE(findPlacement(rows, id)->hidden) << id;
        }
    }
    EXPECT_EQ(4, loginEditOffset(CORP_TS));
    EXPECT_EQ(2, loginEditOffset(CORP_DR));
    EXPECT_EQ(0, loginEditOffset(CORP_LV));
}

TEST(LoginLayoutTable, BrandColumnAndLinksByLanguage) {
    auto rows = loginLayout(input(REGION_KR, CORP_TS, LANGUAGE_KO));
    EXPECT_EQ(590 - 157 - 54, yOf(rows, IDC_BUTTON_LOGIN));
    EXPECT_EQ(nullptr, findPlacement(rows, IDC_BUTTON_LOGIN_NM));  // not moved
    const int ys[] = {156, 247, 338, 429};
    const UINT ids[] = {IDC_BUTTON_TS, IDC_BUTTON_LV, IDC_BUTTON_DR, IDC_BUTTON_NN};
    for (int i = 0; i < 4; ++i) EXPECT_EQ(ys[i], yOf(rows, ids[i]));
    struct Link {
        int language, findX, findCx, joinX, joinCx;
    } links[] = {
        {LANGUAGE_KO, 350, 240, 630, 130}, {LANGUAGE_FR, 370, 290, 680, 130}, {LANGUAGE_RU, 330, 265, 615, 130},
        {LANGUAGE_AR, 400, 220, 620, 70},  {LANGUAGE_EN, 370, 240, 630, 130},
    };
    for (const Link& l : links) {
        SCOPED_TRACE(l.language);
        auto r = loginLayout(input(REGION_KR, CORP_TS, l.language));
        const LoginPlacement* find = findPlacement(r, IDC_BUTTON_LINK_FIND_ACC_PWD);
        const LoginPlacement* join = findPlacement(r, IDC_BUTTON_LINK_USERJOIN);
        EXPECT_EQ(l.findX, find->x);
        EXPECT_EQ(l.findCx, find->cx);
        EXPECT_EQ(l.joinX, join->x);
        EXPECT_EQ(l.joinCx, join->cx);
        EXPECT_EQ(460, find->y);
    }
}

// The labels sit beside the boxes of the layout in use, on two lines (and 5
// pixels higher) for F1, ES and RU.
TEST(LoginLayoutTable, CheckLabelsFollowTheirBoxes) {
    struct Case {
        int region, corp, language;
        RECT save, autoLabel;
    } cases[] = {
        {REGION_KR, CORP_TS, LANGUAGE_KO, {405, 326, 585, 356}, {622, 326, 782, 356}},
        {REGION_KR, CORP_DR, LANGUAGE_RU, {405, 315, 565, 355}, {622, 315, 782, 355}},
        {REGION_US, CORP_LV, LANGUAGE_ES, {284, 294, 444, 334}, {489, 294, 649, 334}},
        {REGION_US, CORP_TS, LANGUAGE_EN, {284, 307, 464, 337}, {489, 307, 649, 337}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.region << " " << c.corp << " " << c.language);
        const LoginLayoutInput in = input(c.region, c.corp, c.language);
        const RECT save = checkLabelRect(in, true), autoLabel = checkLabelRect(in, false);
        EXPECT_EQ(c.save.left, save.left);
        EXPECT_EQ(c.save.top, save.top);
        EXPECT_EQ(c.save.right, save.right);
        EXPECT_EQ(c.save.bottom, save.bottom);
        EXPECT_EQ(c.autoLabel.left, autoLabel.left);
        EXPECT_EQ(c.autoLabel.top, autoLabel.top);
    }
}

TEST(LoginLayoutTable, SkinsByBrandAndRegion) {
    EXPECT_EQ(459u, loginButtonStrip(CORP_TS, REGION_KR));
    EXPECT_EQ(461u, loginButtonStrip(CORP_LV, REGION_KR));
    EXPECT_EQ(1733u, loginButtonStrip(CORP_LV, REGION_US));
    EXPECT_EQ(1733u, loginButtonStrip(CORP_LV, REGION_CA));
    EXPECT_EQ(460u, loginButtonStrip(CORP_DR, REGION_US));
    EXPECT_EQ(1744u, brandPicture(CORP_LV, REGION_CA));
    EXPECT_EQ(0u, brandPicture(CORP_NONE, REGION_KR));
    EXPECT_EQ(CString(L"N"), corpCodeOrNone(CORP_NONE));
}

// The non-member layout's title statics per language: Korean gets two
// lines, English one static of its own; a title with a line break always
// gets the height of two lines.
TEST(LoginLayoutTable, NonMemberTitleFitsItsLines) {
    struct Case {
        int language;
        bool twoLines;
        RECT title, second;  // x, y, width, height
    } cases[] = {
        {LANGUAGE_KO, true, {0, 30, 900, 25}, {0, 30, 900, 50}},
        {LANGUAGE_EN, false, {0, 30, 0, 0}, {0, 30, 900, 25}},
        {LANGUAGE_EN, true, {0, 30, 0, 0}, {0, 30, 900, 50}},
        {LANGUAGE_AR, true, {0, 30, 900, 25}, {0, 25, 900, 50}},
        {LANGUAGE_RU, false, {0, 30, 900, 25}, {0, 25, 900, 25}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.language << " " << c.twoLines);
        LoginLayoutInput in = input(REGION_EU, CORP_TS, c.language);
        in.titleTwoLines = c.twoLines;
        const auto rows = loginLayout(in);
        for (const auto& [id, r] : {std::make_pair(IDC_STATIC_TITLE, c.title),
                                    std::make_pair(IDC_STATIC_TITLE_LINE2, c.second)}) {
            const LoginPlacement* p = findPlacement(rows, id);
            ASSERT_NE(nullptr, p);
            EXPECT_EQ(r.left, p->x) << id;
            EXPECT_EQ(r.top, p->y) << id;
            EXPECT_EQ(r.right, p->cx) << id;
            EXPECT_EQ(r.bottom, p->cy) << id;
        }
    }
    // Outside KR the French title loses its break; elsewhere it keeps it.
    EXPECT_FALSE(loginTitleHasTwoLines(L"Connexion\npour la mise", REGION_EU, LANGUAGE_FR));
    EXPECT_TRUE(loginTitleHasTwoLines(L"Connexion\npour la mise", REGION_KR, LANGUAGE_FR));
    EXPECT_TRUE(loginTitleHasTwoLines(L"Sign in\nto update", REGION_EU, LANGUAGE_EN));
    EXPECT_FALSE(loginTitleHasTwoLines(L"\nSign in", REGION_EU, LANGUAGE_EN));
}

// Dealer and all-brands modes put every region on the brand column; region
// 11 keeps the US form for LV only and drops LV from the guest buttons of
// its other brands.
TEST(LoginLayoutTable, ModesAndRegion11) {
    for (bool dealer : {false, true}) {
        LoginLayoutInput in = input(REGION_TR, CORP_DR);
        in.dealer = dealer;
        in.allBrands = !dealer;
        const auto rows = loginLayout(in);
        SCOPED_TRACE(dealer);
        EXPECT_EQ(156, yOf(rows, IDC_BUTTON_TS));
        EXPECT_EQ(429, yOf(rows, IDC_BUTTON_NN));
        EXPECT_TRUE(findPlacement(rows, IDC_STATIC_DEALER)->hidden);
        EXPECT_EQ(204, yOf(rows, IDC_EDIT_ID));
        EXPECT_EQ(0, findPlacement(rows, IDC_STATIC_TITLE)->x);
        EXPECT_EQ(240, findPlacement(rows, IDC_STATIC_TITLE)->cx);
    }
    EXPECT_EQ(LoginLayout::Us, chooseLoginLayout(REGION_RU, CORP_LV, false, false));
    EXPECT_EQ(LoginLayout::NonMember, chooseLoginLayout(REGION_RU, CORP_DR, false, false));
    EXPECT_EQ(LoginLayout::NonMember, chooseLoginLayout(REGION_BR, CORP_TS, false, false));
    EXPECT_EQ(LoginLayout::Us, chooseLoginLayout(REGION_US, CORP_TS, true, true));
}

TEST(LoginLayoutTable, DealerButtonByRootBrand) {
    struct Case {
        int corp;
        DealerButtonStyle style;
    } cases[] = {
        {CORP_TS, {565, 565, 98, 16}},
        {CORP_LV, {568, 563, 106, 15}},
        {CORP_DR, {567, 565, 103, 15}},
        {CORP_NONE, {567, 565, 98, 16}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.corp);
        const DealerButtonStyle s = dealerButtonStyle(c.corp);
        EXPECT_EQ(c.style.x, s.x);
        EXPECT_EQ(c.style.y, s.y);
        EXPECT_EQ(c.style.cx, s.cx);
        EXPECT_EQ(c.style.fontSize, s.fontSize);
        const auto rows = loginLayout(input(REGION_EU, c.corp));
        const LoginPlacement* p = findPlacement(rows, IDC_STATIC_DEALER);
        EXPECT_EQ(c.style.x, p->x);
        EXPECT_EQ(c.style.cx, p->cx);
        EXPECT_EQ(20, p->cy);
    }
}

// The mark beside "Dealer Login" stays in the button's row, below its top
// by the brand's offset, 10 pixels after it; a tall mark shrinks to the row.
TEST(LoginLayoutTable, DealerMarkStaysInTheButtonsRow) {
    struct Case {
        int corp;
        int markWidth, markHeight;
        RECT expected;
    } cases[] = {
        {CORP_TS, 8, 24, {673, 567, 679, 585}},
        {CORP_LV, 8, 24, {684, 567, 689, 583}},
        {CORP_DR, 8, 24, {680, 569, 685, 585}},
        {CORP_TS, 8, 8, {673, 567, 681, 575}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.corp);
        const LoginPlacement* p = findPlacement(loginLayout(input(REGION_EU, c.corp)), IDC_STATIC_DEALER);
        ASSERT_NE(nullptr, p);
        const RECT button{p->x, p->y, p->x + p->cx, p->y + p->cy};
        const RECT mark = dealerMarkRect(button, c.corp, c.markWidth, c.markHeight);
        EXPECT_EQ(c.expected.left, mark.left);
        EXPECT_EQ(c.expected.top, mark.top);
        EXPECT_EQ(c.expected.right, mark.right);
        EXPECT_EQ(c.expected.bottom, mark.bottom);
        EXPECT_LE(mark.bottom, 590) << "on the page";
    }
}

// The labels of F1, ES and RU take two lines; the others one.
TEST(LoginLayoutTable, CheckLabelLinesByLanguage) {
    for (int language : {LANGUAGE_F1, LANGUAGE_ES, LANGUAGE_RU}) EXPECT_TRUE(checkLabelTwoLines(language)) << language;
    for (int language : {LANGUAGE_KO, LANGUAGE_EN, LANGUAGE_FR, LANGUAGE_AR}) {
        EXPECT_FALSE(checkLabelTwoLines(language)) << language;
    }
    const RECT f1 = checkLabelRect(input(REGION_KR, CORP_LV, LANGUAGE_F1), false);
    EXPECT_EQ(622, f1.left);
    EXPECT_EQ(318 - 5, f1.top);
    EXPECT_EQ(40, f1.bottom - f1.top);
}

// Links whose texts need more than their widths grow from their start; the
// sign-up link follows the find-account link and both stay on the page.
TEST(LoginLayoutTable, LinksGrowToTheirTexts) {
    struct Case {
        int findNeeds, joinNeeds;
        int findX, findCx, joinX, joinCx;
    } cases[] = {
        {0, 0, 279, 220, 499, 70},      // both fit
        {300, 90, 279, 300, 589, 90},   // the sign-up link moves after the wider one
        {0, 90, 279, 220, 509, 90},     // only the sign-up link grows, after a gap
        {560, 120, 200, 560, 770, 120}, // too wide for the right margin: both move back
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.findNeeds << " " << c.joinNeeds);
        LoginPlacement find{IDC_BUTTON_LINK_FIND_ACC_PWD, 279, 505, 220, 20, false};
        LoginPlacement join{IDC_BUTTON_LINK_USERJOIN, 499, 505, 70, 20, false};
        widenLinks(find, join, c.findNeeds, c.joinNeeds, 900);
        EXPECT_EQ(c.findX, find.x);
        EXPECT_EQ(c.findCx, find.cx);
        EXPECT_EQ(c.joinX, join.x);
        EXPECT_EQ(c.joinCx, join.cx);
        EXPECT_LE(join.x + join.cx, 890);
        if (c.findNeeds || c.joinNeeds) EXPECT_GE(join.x, find.x + find.cx + 10);
    }
}
