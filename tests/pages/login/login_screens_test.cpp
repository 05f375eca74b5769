// The login page photographed on the root in each layout, language and
// state, with checks of what a picture can get wrong: controls overlapping,
// a title cut to one line, a caption wider than its button, an Arabic page
// not mirrored, a skin that is not the login page's own.
#include "tests/pages/login/login_fixture.h"

#include "pages/account/login_texts.h"
#include "skin_table.h"
#include "ui/font_cache.h"
#include "ui/gdi_func.h"

namespace {

constexpr COLORREF kBand = 0xF2F0EF;  // #EFF0F2 as COLORREF

bool intersects(const RECT& a, const RECT& b) {
    RECT out;
    return IntersectRect(&out, &a, &b) != FALSE;
}

}  // namespace

class LoginScreens : public LoginPage {
protected:
    WindowShot shoot(const CString& name, const CString& shows) {
        root->RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        pumpFor(150);
        return saveScreenshot(root->m_hWnd, name, shows, true);
    }
    // Visible controls of the page that share pixels: none may, except an
    // edit over its frame and the two title statics of a split title.
    void expectNoOverlap() {
        std::vector<std::pair<int, RECT>> shown;
        for (HWND child = ::GetWindow(page->m_hWnd, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
            if (!::IsWindowVisible(child)) continue;
            RECT r = childRectIn(page->m_hWnd, child);
            if (r.right <= r.left || r.bottom <= r.top) continue;
            shown.emplace_back(::GetDlgCtrlID(child), r);
        }
        const std::pair<int, int> allowed[] = {{IDC_EDIT_ID, IDC_EDIT_ID_FRAME},
                                               {IDC_EDIT_PWD, IDC_EDIT_PWD_FRAME},
                                               {IDC_STATIC_TITLE, IDC_STATIC_TITLE_LINE2}};
        for (size_t i = 0; i < shown.size(); ++i) {
            for (size_t j = i + 1; j < shown.size(); ++j) {
                const int a = shown[i].first, b = shown[j].first;
                bool ok = false;
                for (const auto& p : allowed) ok = ok || (p.first == a && p.second == b) || (p.first == b && p.second == a);
                if (!ok) EXPECT_FALSE(intersects(shown[i].second, shown[j].second)) << a << " and " << b;
            }
        }
    }
    // The member form's frame sits where the table puts it, mirrored in
    // Arabic.
    void expectPlacedAsTheTable() {
        const auto rows = loginLayout(page->layoutInput());
        for (UINT id : {IDC_EDIT_ID_FRAME, IDC_BUTTON_LOGIN, IDC_BUTTON_NN_TS}) {
            const LoginPlacement* p = findPlacement(rows, id);
            HWND control = ::GetDlgItem(page->m_hWnd, static_cast<int>(id));
            if (!p || p->hidden || !::IsWindowVisible(control)) continue;
            const RECT r = childRectIn(page->m_hWnd, control);
            const int left = CRegSetting::getLanguage() == LANGUAGE_AR ? 900 - p->x - p->cx : p->x;
            EXPECT_EQ(left, r.left) << id;
            EXPECT_EQ(p->y, r.top) << id;
        }
    }
    // A button strip's body colour (one of the given frames) shows near the
    // control's leading edge, clear of its caption.
    void expectStrip(const WindowShot& shot, CWnd& control, int skin, std::initializer_list<int> frames) {
        ASSERT_TRUE(control.IsWindowVisible()) << skin;
        const RECT r = childRectIn(root->m_hWnd, control.m_hWnd);
        const SkinRow& row = skinRow(skin);
        const int x = CRegSetting::getLanguage() == LANGUAGE_AR ? r.right - 1 - 8 : r.left + 8;
        const COLORREF seen = shot.at(x, (r.top + r.bottom) / 2);
        bool found = false;
        for (int f : frames) found = found || seen == row.fill[f];
        EXPECT_TRUE(found) << "skin " << skin << " in control " << control.GetDlgCtrlID() << " shows " << std::hex
                           << seen;
    }
    // The pixels at the four corners of a control: what lies behind it.
    void expectCorners(const WindowShot& shot, CWnd& control, COLORREF behind) {
        ASSERT_TRUE(control.IsWindowVisible());
        const RECT r = childRectIn(root->m_hWnd, control.m_hWnd);
        for (POINT p : {POINT{r.left, r.top}, POINT{r.right - 1, r.top}, POINT{r.left, r.bottom - 1},
                        POINT{r.right - 1, r.bottom - 1}}) {
            EXPECT_EQ(behind, shot.at(p.x, p.y)) << "control " << control.GetDlgCtrlID() << " at " << p.x << ","
                                                 << p.y;
        }
    }
    // A check box shows an unchecked frame of its seven-frame strip, a light
    // box on the white page, and the page around it.
    void expectCheckBox(const WindowShot& shot, CPngButton& box) {
        ASSERT_TRUE(box.IsWindowVisible());
        const RECT r = childRectIn(root->m_hWnd, box.m_hWnd);
        const SkinRow& row = skinRow(325);
        const COLORREF seen = shot.at(r.left + row.body[0].x, r.top + row.body[0].y);
        EXPECT_TRUE(seen == row.fill[0] || seen == row.fill[3]) << "check box " << box.GetDlgCtrlID() << " shows "
                                                               << std::hex << seen;
        EXPECT_GE(std::min({GetRValue(seen), GetGValue(seen), GetBValue(seen)}), 0xD0) << "a light box";
        EXPECT_EQ(RGB(255, 255, 255), shot.at(r.right - 1, r.bottom - 1)) << "the page below the strip";
    }
    // The pixel size of the font a control draws its caption in.
    static int fontPixels(CWnd& control) {
        LOGFONTW font{};
        HGDIOBJ handle = reinterpret_cast<HGDIOBJ>(control.SendMessage(WM_GETFONT));
        if (!handle || !::GetObjectW(handle, sizeof(font), &font)) return 0;
        return font.lfHeight < 0 ? -font.lfHeight : font.lfHeight;
    }
    // A picture is drawn as it is, not mirrored: its sample point shows.
    void expectPicture(const WindowShot& shot, CWnd& control, int skin) {
        ASSERT_TRUE(control.IsWindowVisible()) << skin;
        const RECT r = childRectIn(root->m_hWnd, control.m_hWnd);
        const SkinPoint& point = skinRow(skin).body[0];
        EXPECT_EQ(point.colour, shot.at(r.left + point.x, r.top + point.y)) << "picture " << skin;
    }
};

TEST_F(LoginScreens, Layouts) {
    enum class Then { Nothing, GuestColumn, Dealer };
    struct Case {
        const wchar_t* file;
        int region, language, corp;
        Then then;
        const wchar_t* shows;
    } cases[] = {
        {L"ko_kr_brand_column_ts", REGION_KR, LANGUAGE_KO, CORP_TS, Then::Nothing,
         L"Korean, region KR: grey brand column on the left with the title in two lines on top, TS (blue) "
         L"pressed, LV (green), DR (red), guest (dark) with the grey person picture under it; TS wordmark "
         L"picture, ID and password edits, two check labels, login button, two links; nothing clipped"},
        {L"ko_kr_brand_column_lv", REGION_KR, LANGUAGE_KO, CORP_LV, Then::Nothing,
         L"Korean, region KR, brand LV pressed in the column; Luvo wordmark and green login button"},
        {L"ko_kr_brand_column_dr", REGION_KR, LANGUAGE_KO, CORP_DR, Then::Nothing,
         L"Korean, region KR, brand DR pressed in the column; Dravane wordmark and red login button"},
        {L"ko_kr_guest_column", REGION_KR, LANGUAGE_KO, CORP_TS, Then::GuestColumn,
         L"Korean, region KR: guest pressed in the column; three large non-member buttons TS, LV, DR stacked "
         L"on the right, no edits"},
        {L"en_us_form", REGION_US, LANGUAGE_EN, CORP_TS, Then::Nothing,
         L"English, region US: no title, no columns; TS wordmark, edits, check labels, login and guest "
         L"buttons, links at the bottom"},
        {L"en_eu_non_member", REGION_EU, LANGUAGE_EN, CORP_TS, Then::Nothing,
         L"English, region EU: grey band on top with the title in two whole lines and the car emblem; "
         L"non-member TS and DR stacked (no LV), 'Dealer Login' whole under them with its mark"},
        {L"en_eu_dealer", REGION_EU, LANGUAGE_EN, CORP_TS, Then::Dealer,
         L"English, region EU after 'Dealer Login': brand column with TS, LV, DR and no guest button, the "
         L"title split over the two statics, the member form with the auto-login box disabled"},
        {L"en_tr_non_member", REGION_TR, LANGUAGE_EN, CORP_TS, Then::Nothing,
         L"English, region TR: a guest signs in at once (restricted region): header and grey band only, "
         L"no buttons while it runs"},
        {L"ar_eu_non_member", REGION_EU, LANGUAGE_AR, CORP_TS, Then::Nothing,
         L"Arabic, region EU: the non-member layout mirrored, title in two lines, 'Dealer Login' whole with "
         L"its mark on its left"},
        {L"ar_eu_dealer", REGION_EU, LANGUAGE_AR, CORP_TS, Then::Dealer,
         L"Arabic, region EU after 'Dealer Login': the dealer brand column mirrored, its grey band and buttons on "
         L"the right, the member form on the left"},
        {L"ar_us_form", REGION_US, LANGUAGE_AR, CORP_TS, Then::Nothing,
         L"Arabic, region US: the US form mirrored, edits right-aligned, check boxes right of their labels, "
         L"Arabic link widths"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(narrow(c.file));
        restart(c.region, c.language, c.corp);
        if (c.region == REGION_TR) {
            // The automatic guest login of a restricted region runs.
            writeBytes(standin_log::folder() + L"faults.json", "[]");
        }
        if (c.then == Then::GuestColumn) {
            ::SendMessageW(page->m_hWnd, WM_COMMAND, MAKEWPARAM(IDC_BUTTON_NN, BN_CLICKED), 0);
        } else if (c.then == Then::Dealer) {
            ::SendMessageW(page->m_hWnd, WM_COMMAND, MAKEWPARAM(IDC_STATIC_DEALER, STN_CLICKED),
                           reinterpret_cast<LPARAM>(page->m_btnDealer.m_hWnd));
        }
        pumpFor(100);
        const WindowShot shot = shoot(c.file, c.shows);
        if (c.region == REGION_TR) {
            page->joinWorker();
            continue;
        }
        expectNoOverlap();
        expectPlacedAsTheTable();
        const LoginLayoutInput in = page->layoutInput();
        const LoginLayout layout = chooseLoginLayout(in.region, in.rootCorp, in.allBrands, in.dealer);
        // Captions in the sizes of the font table.
        for (CWnd* b : std::initializer_list<CWnd*>{&page->m_btnLogin, &page->m_btnLoginNm, &page->m_btnTs,
                                                     &page->m_btnLv, &page->m_btnDr, &page->m_btnNn}) {
            EXPECT_EQ(22, fontPixels(*b)) << b->GetDlgCtrlID();
        }
        if (c.then != Then::GuestColumn && layout != LoginLayout::NonMember) {
            expectPicture(shot, page->m_staticBrandImg, brandPicture(c.corp, c.region));
            // Empty edits: the login button shows its brand's disabled frame.
            expectStrip(shot, page->m_btnLogin, loginButtonStrip(c.corp, c.region), {0, 1, 2, 3});
            expectCorners(shot, page->m_btnLogin, RGB(255, 255, 255));
            expectCheckBox(shot, page->m_checkSave);
            expectCheckBox(shot, page->m_checkAuto);
        }
        if (layout == LoginLayout::BrandColumn) {
            expectStrip(shot, page->m_btnTs, IDB_LOGIN_TS, {0, 1, 2});
            expectStrip(shot, page->m_btnLv, IDB_LOGIN_LV, {0, 1, 2});
            expectStrip(shot, page->m_btnDr, IDB_LOGIN_DR, {0, 1, 2});
            // The column's band shows at the buttons' rounded corners.
            expectCorners(shot, page->m_btnTs, kBand);
            expectCorners(shot, page->m_btnDr, kBand);
        }
        if (c.then == Then::GuestColumn) {
            for (auto pair : {std::make_pair(&page->m_btnNnTs, IDB_LOGIN_NN_TS),
                              std::make_pair(&page->m_btnNnLv, IDB_LOGIN_NN_LV),
                              std::make_pair(&page->m_btnNnDr, IDB_LOGIN_NN_DR)}) {
                expectStrip(shot, *pair.first, pair.second, {0, 1});
            }
        }
        if (layout == LoginLayout::NonMember) {
            expectStrip(shot, page->m_btnNnTs, IDB_LOGIN_NN_TS, {0, 1});
            expectStrip(shot, page->m_btnNnDr, IDB_LOGIN_NN_DR, {0, 1});
            // The title's second line is drawn: the lower half of its
            // static holds more than the band.
            ASSERT_TRUE(page->m_staticTitle2.IsWindowVisible());
            const RECT title = childRectIn(root->m_hWnd, page->m_staticTitle2.m_hWnd);
            EXPECT_GE(title.bottom - title.top, 50);
            const RECT lower = {title.left, title.top + 26, title.right, title.bottom};
            EXPECT_LT(shot.count(kBand, lower), (lower.right - lower.left) * (lower.bottom - lower.top));
            // "Dealer Login" fits its button on one line.
            ASSERT_TRUE(page->m_btnDealer.IsWindowVisible());
            HDC screen = ::GetDC(nullptr);
            {
                Gdiplus::Graphics measure(screen);
                Gdiplus::FontFamily* family = CGdiFunc::familyOf(g_strFontFace);
                Gdiplus::Font font(family, static_cast<Gdiplus::REAL>(page->m_btnDealer.m_nTextSize),
                                   Gdiplus::FontStyleRegular, Gdiplus::UnitPixel);
                const RECT dealer = childRectIn(page->m_hWnd, page->m_btnDealer.m_hWnd);
                EXPECT_EQ(1u, CGdiFunc::splitLines(&measure, &font, page->m_btnDealer.m_strCaption,
                                                   dealer.right - dealer.left - 3)
                                  .size());
                if (!CGdiFunc::isSharedFamily(family)) delete family;
            }
            ::ReleaseDC(nullptr, screen);
            // Its mark stands in its row on its trailing side, and nothing
            // of it runs off the page into the footer.
            const COLORREF mark = skinRow(IDB_LOGIN_DEALER_MARK).fill[0];
            const RECT dealer = childRectIn(root->m_hWnd, page->m_btnDealer.m_hWnd);
            const bool arabic = CRegSetting::getLanguage() == LANGUAGE_AR;
            const RECT beside = arabic ? RECT{dealer.left - 30, dealer.top, dealer.left, dealer.bottom}
                                       : RECT{dealer.right, dealer.top, dealer.right + 30, dealer.bottom};
            EXPECT_GT(shot.count(mark, beside), 20);
            const RECT below = {0, childRectIn(root->m_hWnd, page->m_hWnd).bottom, shot.width(), shot.height()};
            EXPECT_EQ(0, shot.count(mark, below));
            expectCorners(shot, page->m_btnNnTs, RGB(255, 255, 255));
        }
        if (c.then == Then::Dealer) {
            EXPECT_FALSE(page->m_btnNn.IsWindowVisible());
            EXPECT_FALSE(page->m_checkAuto.m_bEnabled);
        }
    }
}

// The waiting state and a refusal over the page, in each language.
TEST_F(LoginScreens, WaitingAndRefusal) {
    const struct {
        const wchar_t* tag;
        int region, language;
    } languages[] = {{L"ko_kr", REGION_KR, LANGUAGE_KO}, {L"en_us", REGION_US, LANGUAGE_EN},
                     {L"ar_eu", REGION_EU, LANGUAGE_AR}};
    for (const auto& l : languages) {
        SCOPED_TRACE(narrow(l.tag));
        restart(l.region, l.language);
        setFaults(R"([{"path": "/api/ChkRegist", "stall": 3, "stall_after": -1, "times": 1}])");
        page->m_editID.SetWindowText(L"refuse.401");
        page->m_editPwd.SetWindowText(L"refuse");
        ::SendMessageW(page->m_hWnd, WM_COMMAND, MAKEWPARAM(IDC_BUTTON_LOGIN, BN_CLICKED),
                       reinterpret_cast<LPARAM>(page->m_btnLogin.m_hWnd));
        ASSERT_TRUE(pumpUntil([&] { return page->m_bWaiting != FALSE; }, 10000));
        // While waiting: the exit button is locked, a hidden-mode login sends nothing.
        EXPECT_FALSE(root->exitLocks().empty());
        const size_t from = logSize();
        page->loginWithIdPassword(L"ts.member", L"Tessaly#2024");
        shoot(CString(l.tag) + L"_waiting",
              L"waiting state: the page header with the sign-in text, the waiting animation and 'please wait' "
              L"under it; no form, no buttons");
        expectNoOverlap();
        waitEnd();
        setFaults("[]");
        EXPECT_LE(chkRegist(from).size(), 1u);
        ASSERT_NE(nullptr, shownMessage());
        EXPECT_EQ(SERVER_ERROR_LOGIN_INCORRECT_ID_PASSWORD, shownMessage()->m_eMessageType);
        shoot(CString(l.tag) + L"_1029", L"message 1029 (wrong ID or password) over the page, OK button whole");
        shownMessage()->closePage(TRUE);
    }
}
