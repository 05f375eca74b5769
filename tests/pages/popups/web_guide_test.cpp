// The web guide page on a recording root: which guide types have a page for
// which brand, declining and skipping, OK's routes and stored choices, the
// box and its label, the keys, and the link that alone opens the browser.
#include "tests/ui_bases/ui_env.h"

#include "foundation/code_tables.h"
#include "foundation/globalfunc.h"
#include "foundation/private_messages.h"
#include "foundation/registered_messages.h"
#include "foundation/regsetting.h"
#include "pages/account/dlg_info_popup.h"
#include "resources/resource.h"
#include "tests/pages/popups/guide_root.h"
#include "tests/support/capture.h"
#include "tests/webclient/standin_client.h"
#include "ui/base_dialog.h"
#include "ui/view_state.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

class WebGuide : public testing::Test {
protected:
    // The box's caption sits on the panel's white, on one line at least as
    // wide as its text in bold (the ticked look), in every language.
    void expectLabelOnThePanel(const WindowShot& shot) {
        CStaticEx& label = page->m_staticLabel;
        ASSERT_TRUE(label.IsWindowVisible());
        const RECT box = childRectIn(root.m_hWnd, label.m_hWnd);
        CString text;
        label.GetWindowText(text);
        const BOOL bold = label.m_bBold;
        label.m_bBold = TRUE;
        const int needed = label.measureText(text).cx;
        label.m_bBold = bold;
        EXPECT_GE(box.right - box.left, needed) << static_cast<const char*>(CW2A(text));
        EXPECT_EQ(box.bottom - box.top, 20) << "one line";
        EXPECT_EQ(shot.count(RGB(239, 240, 242), box), 0) << "no grey box";
        EXPECT_EQ(shot.at(box.right - 2, box.top + 1), RGB(255, 255, 255));
    }

    void SetUp() override {
        standin::available();  // the sites of config.json when an instance runs
        useLanguage(REGION_US, LANGUAGE_EN);
        CRegSetting::setLastUserCorp(CORP_TS);
        for (int brand : {CORP_TS, CORP_LV, CORP_DR}) {
            CRegSetting::setCheckedSoftwareModelGuide(brand, FALSE);
            CRegSetting::setCheckedSystemUpdate(brand, FALSE);
        }
        CGlobalFunc::setUrlLauncher([this](const CString& target) { opened.push_back(target); });
        ASSERT_TRUE(root.create());
        page = std::make_unique<CDlgInfoPopup>(&root);
        ASSERT_TRUE(page->Create(IDD_INFO_POPUP, &root));
        pumpFor(60);
    }
    void TearDown() override {
        if (page && page->GetSafeHwnd()) page->DestroyWindow();
        page.reset();
        if (root.GetSafeHwnd()) root.DestroyWindow();
        CGlobalFunc::setUrlLauncher({});
        CRegSetting::setLastUserCorp(CORP_TS);
    }
    LRESULT ask(UINT message, int type, int language = 99) {
        return page->SendMessage(message, static_cast<WPARAM>(type), static_cast<LPARAM>(language));
    }
    // Shown as the root would: the type first, then the view.
    BOOL show(int type) {
        ask(UM_GUIDE_SHOW_PAGE, type);
        const BOOL shown = page->showPage(TRUE);
        pumpFor(60);
        return shown;
    }

    GuideRoot root;
    std::unique_ptr<CDlgInfoPopup> page;
    std::vector<CString> opened;
};

TEST_F(WebGuide, GuidePagesPerTypeAndBrand) {
    // The brand whose site carries the page of (type, brand), 0 for none.
    const int TS = CORP_TS, LV = CORP_LV, DR = CORP_DR;
    const int site[18][3] = {
        {0, 0, 0},    {0, 0, 0},    {0, 0, DR},   {DR, LV, DR}, {DR, LV, DR}, {DR, LV, DR},
        {DR, LV, DR}, {TS, LV, DR}, {TS, LV, DR}, {TS, LV, DR}, {TS, 0, 0},   {TS, LV, DR},
        {TS, LV, DR}, {TS, LV, DR}, {0, LV, DR},  {TS, 0, 0},   {TS, 0, 0},   {TS, LV, DR},
    };
    for (int brand : {TS, LV, DR}) {
        CRegSetting::setLastUserCorp(brand);
        for (int type = 0; type <= 17; ++type) {
            SCOPED_TRACE(testing::Message() << "type " << type << ", brand " << brand);
            const int expected = site[type][brand - 1];
            EXPECT_EQ(expected ? 1 : 0, ask(UM_GUIDE_SHOW, type));
            if (!expected) {
                EXPECT_TRUE(page->m_strGuideUrl.IsEmpty());
                EXPECT_TRUE(page->m_browser.url().IsEmpty()) << "no earlier address stays";
                EXPECT_FALSE(page->m_browser.link().GetStyle() & WS_VISIBLE);
                continue;
            }
            EXPECT_TRUE(page->m_browser.link().GetStyle() & WS_VISIBLE);
            const CString prefix = web_guide::updateSite(expected) +
                                   (type == 17 ? CString(L"/KR/KO/sdcardinfopop") : CString(L"/US/EN/systemGuide/"));
            EXPECT_EQ(0, page->m_strGuideUrl.Find(prefix)) << CStringA(page->m_strGuideUrl).GetString();
            if (type == 17) EXPECT_STREQ(prefix.GetString(), page->m_strGuideUrl.GetString());
            EXPECT_STREQ(page->m_strGuideUrl.GetString(), page->m_browser.url().GetString());
        }
    }
    // Types 3 and 4 share their page.
    ask(UM_GUIDE_SHOW, 3);
    const CString three = page->m_strGuideUrl;
    ask(UM_GUIDE_SHOW, 4);
    EXPECT_STREQ(three.GetString(), page->m_strGuideUrl.GetString());

    // Another region and language change the path, not type 17's page.
    useLanguage(REGION_KR, LANGUAGE_KO);
    CRegSetting::setLastUserCorp(DR);
    ask(UM_GUIDE_SHOW, 17);
    EXPECT_STREQ((web_guide::updateSite(DR) + L"/KR/KO/sdcardinfopop").GetString(), page->m_strGuideUrl.GetString());
    ask(UM_GUIDE_SHOW, 7);
    EXPECT_NE(-1, page->m_strGuideUrl.Find(L"/KR/KO/systemGuide/"));
    EXPECT_EQ(1, ask(UM_GUIDE_SHOW_PAGE, 7, LANGUAGE_EN));
    EXPECT_NE(-1, page->m_strGuideUrl.Find(L"/KR/EN/systemGuide/")) << "English although the UI is Korean";
    useLanguage(REGION_US, LANGUAGE_EN);
    EXPECT_TRUE(opened.empty()) << "building an address opens nothing";
}

TEST_F(WebGuide, StoredChoiceDeclinesAndSkipMovesOn) {
    struct {
        int type;
        bool modelGuide, systemUpdate;
        BOOL shows;
        std::vector<int> pushes;
        int pulls;
    } cases[] = {
        {0, true, false, FALSE, {VIEW_STATE_CAR_CHANGE}, 0},
        {17, false, true, FALSE, {}, 1},
        {0, false, true, TRUE, {}, 0},   // the other type's choice
        {17, true, false, TRUE, {}, 0},
        {5, true, true, TRUE, {}, 0},    // other types have no box
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "type " << c.type);
        CRegSetting::setCheckedSoftwareModelGuide(CORP_LV, c.modelGuide);
        CRegSetting::setCheckedSystemUpdate(CORP_LV, c.systemUpdate);
        CRegSetting::setLastUserCorp(CORP_LV);
        root.pushes.clear();
        root.pulls = 0;
        EXPECT_EQ(c.shows, show(c.type));
        EXPECT_EQ(c.shows != FALSE, page->IsWindowVisible() != FALSE);
        if (!c.shows) page->skipPage();
        EXPECT_EQ(c.pushes, root.pushes);
        EXPECT_EQ(c.pulls, root.pulls);
        page->showPage(FALSE);
        // Another brand's choice is not this brand's.
        CRegSetting::setLastUserCorp(CORP_DR);
        EXPECT_TRUE(show(c.type));
        page->showPage(FALSE);
    }
    // Any other type moves on to the finish page and starts over from 0.
    show(9);
    root.pushes.clear();
    page->skipPage();
    EXPECT_EQ(std::vector<int>{VIEW_STATE_CAR_FINISH}, root.pushes);
    EXPECT_EQ(0, page->m_nGuideType);
}

TEST_F(WebGuide, OkStoresTheBoxForTheBrandAndRoutes) {
    CRegSetting::setLastUserCorp(CORP_DR);
    ASSERT_TRUE(show(0));
    EXPECT_TRUE(page->m_chkShow.IsWindowVisible());
    EXPECT_TRUE(page->m_staticLabel.IsWindowVisible());
    EXPECT_EQ(std::vector<int>({1, 21}), root.buttons) << "settings and logout asked on";
    EXPECT_EQ(1, page->m_bActive);
    page->m_chkShow.m_bChecked = TRUE;
    page->SendMessage(WM_COMMAND, IDOK);
    EXPECT_EQ(0, page->m_bActive);
    EXPECT_EQ(std::vector<int>{VIEW_STATE_CAR_CHANGE}, root.pushes);
    EXPECT_TRUE(CRegSetting::isCheckedSoftwareModelGuide(CORP_DR));
    EXPECT_FALSE(CRegSetting::isCheckedSoftwareModelGuide(CORP_TS));
    EXPECT_FALSE(CRegSetting::isCheckedSoftwareModelGuide(CORP_LV));
    EXPECT_FALSE(page->m_chkShow.m_bChecked);
    EXPECT_FALSE(show(0)) << "the next showing declines";

    page->m_chkShow.m_bChecked = TRUE;
    ASSERT_TRUE(show(17));
    page->SendMessage(WM_COMMAND, IDOK);
    EXPECT_EQ(1, root.pulls);
    EXPECT_FALSE(page->IsWindowVisible());
    EXPECT_TRUE(CRegSetting::isCheckedSystemUpdate(CORP_DR));
    EXPECT_FALSE(CRegSetting::isCheckedSystemUpdate(CORP_TS));

    root.pushes.clear();
    ASSERT_TRUE(show(7));
    EXPECT_FALSE(page->m_chkShow.IsWindowVisible());
    page->SendMessage(WM_COMMAND, IDOK);
    EXPECT_EQ(std::vector<int>{VIEW_STATE_CAR_FINISH}, root.pushes);
    EXPECT_EQ(0, page->m_nGuideType);
}

// Real input: the label toggles the box, the box toggles itself, the label
// is bold exactly while ticked; Enter is OK, Esc and Space do nothing.
TEST_F(WebGuide, BoxLabelAndKeys) {
    ASSERT_TRUE(show(0));
    const RECT label = childRectIn(page->m_hWnd, page->m_staticLabel.m_hWnd);
    const RECT box = childRectIn(page->m_hWnd, page->m_chkShow.m_hWnd);
    struct {
        const RECT* where;
        BOOL checked;
    } clicks[] = {{&label, TRUE}, {&label, FALSE}, {&box, TRUE}, {&label, FALSE}, {&box, TRUE}};
    // Each click lands a few pixels from the last, so that two clicks on
    // one control never make a double click.
    int shift = 0;
    for (const auto& c : clicks) {
        shift = (shift + 6) % 12;
        clickAt(page->m_hWnd, c.where->left + 3 + shift, (c.where->top + c.where->bottom) / 2);
        EXPECT_EQ(c.checked, page->m_chkShow.m_bChecked);
        EXPECT_EQ(c.checked, page->m_staticLabel.m_bBold);
    }
    for (WORD key : {VK_ESCAPE, VK_SPACE}) {
        focusWindow(page->m_hWnd);
        pressKeys({key});
        EXPECT_TRUE(root.pushes.empty()) << key;
        EXPECT_TRUE(page->IsWindowVisible()) << key;
    }
    focusWindow(page->m_hWnd);
    pressKeys({VK_RETURN});
    EXPECT_EQ(std::vector<int>{VIEW_STATE_CAR_CHANGE}, root.pushes);
    EXPECT_TRUE(CRegSetting::isCheckedSoftwareModelGuide(CORP_TS));
}

// Nothing opens by itself; each click on the link opens the address once.
TEST_F(WebGuide, OnlyTheLinkOpensTheGuide) {
    CRegSetting::setLastUserCorp(CORP_LV);
    ASSERT_TRUE(show(8));
    ask(UM_GUIDE_SHOW, 8);
    page->SendMessage(RWM_CHANGE_LANGUAGE, 0, 0);
    page->showPage(FALSE);
    page->showPage(TRUE);
    pumpFor(60);
    EXPECT_TRUE(opened.empty());
    ASSERT_EQ(1, page->m_browser.m_bDocumentComplete);
    EXPECT_FALSE(page->m_cover.IsWindowVisible()) << "the panel is complete at once";

    CPngWithTextButton& link = page->m_browser.link();
    ASSERT_TRUE(link.IsWindowVisible());
    const RECT r = childRectIn(page->m_hWnd, link.m_hWnd);
    for (size_t n = 1; n <= 2; ++n) {
        // Apart far enough not to count as a double click.
        clickAt(page->m_hWnd, r.left + 4 + static_cast<int>(n % 2) * 12, (r.top + r.bottom) / 2);
        ASSERT_EQ(n, opened.size());
        EXPECT_STREQ(page->m_strGuideUrl.GetString(), opened.back().GetString());
    }
}

TEST_F(WebGuide, PicturesOfTypes3And17) {
    for (const UiLanguage& language : kLanguages) {
        useLanguage(language);
        CRegSetting::setLastUserCorp(CORP_LV);
        for (int type : {3, 17}) {
            ASSERT_TRUE(show(type));
            page->SendMessage(RWM_CHANGE_LANGUAGE, 0, 0);
            pumpFor(100);
            CString name;
            name.Format(L"web_guide_%s_type%d", language.tag, type);
            const WindowShot shot = saveScreenshot(
                root.m_hWnd, name,
                type == 17 ? L"web guide, system-update guide (type 17): title, the panel's sentence that the guide "
                             L"is a web page, the blue link and the address under it; the box with 'do not show "
                             L"again' bottom left (bottom right in Arabic), OK centred"
                           : L"web guide for platform type 3: title 'Guide', the panel's sentence, the blue link "
                             L"and the systemGuide address; no box; OK centred");
            EXPECT_GT(shot.count(RGB(247, 248, 250)), 100000) << "the panel";
            if (type == 17) expectLabelOnThePanel(shot);
            page->showPage(FALSE);
        }
    }
    useLanguage(REGION_US, LANGUAGE_EN);
}

}  // namespace

namespace {

TEST(WebGuideRules, LayoutTitlesPicturesAndRoutes) {
    using namespace web_guide;
    const Rect ok = okRect(900, 590);
    EXPECT_EQ(350, ok.x);
    EXPECT_EQ(525, ok.y);
    const Rect ts = labelRect(590, CORP_TS, LANGUAGE_EN), lv = labelRect(590, CORP_LV, LANGUAGE_KO);
    EXPECT_EQ(543, ts.y);
    EXPECT_EQ(140, ts.w);
    EXPECT_EQ(540, lv.y);
    EXPECT_EQ(110, lv.w);
    struct {
        int text;
        int x, y, w, h;
    } fits[] = {
        {100, 85, 543, 140, 20},  // fits the box as it is
        {200, 85, 543, 200, 20},  // widened
        {257, 85, 543, 257, 20},  // up to the OK button less 8
        {300, 85, 533, 257, 40},  // two lines
    };
    for (const auto& f : fits) {
        const Rect r = fitLabel(ts, f.text, ok.x);
        EXPECT_EQ(f.x, r.x) << f.text;
        EXPECT_EQ(f.y, r.y) << f.text;
        EXPECT_EQ(f.w, r.w) << f.text;
        EXPECT_EQ(f.h, r.h) << f.text;
    }
    // Too wide for the room up to the button: box and label move towards
    // the edge (box margin 10) before the label takes a second line.
    struct {
        int text;
        int boxX, labelX, w, h;
    } rows[] = {
        {200, 60, 85, 200, 20},  // fits where it stands
        {273, 44, 69, 273, 20},  // moved by the shortfall
        {307, 10, 35, 307, 20},  // moved as far as the margin allows
        {320, 10, 35, 307, 40},  // two lines
    };
    for (const auto& c : rows) {
        const CheckRow r = fitCheckRow(checkRect(590), ts, c.text, ok.x);
        EXPECT_EQ(c.boxX, r.box.x) << c.text;
        EXPECT_EQ(c.labelX, r.label.x) << c.text;
        EXPECT_EQ(c.w, r.label.w) << c.text;
        EXPECT_EQ(c.h, r.label.h) << c.text;
        EXPECT_EQ(r.label.x - r.box.x, 25) << c.text;
    }
    EXPECT_EQ(12145, titleTextId(0));
    EXPECT_EQ(13363, titleTextId(17));
    EXPECT_EQ(12359, titleTextId(5));
    struct {
        int brand, region;
        unsigned id;
    } pictures[] = {{CORP_LV, REGION_US, 1736}, {CORP_LV, REGION_CA, 1736}, {CORP_LV, REGION_KR, 471},
                    {CORP_DR, REGION_US, 470},  {CORP_TS, REGION_US, 469},  {0, REGION_US, 469}};
    for (const auto& p : pictures) EXPECT_EQ(p.id, okImageId(p.brand, p.region)) << p.brand << "," << p.region;
    EXPECT_EQ(Route::CAR_CHANGE, routeOf(0));
    EXPECT_EQ(Route::BACK, routeOf(17));
    EXPECT_EQ(Route::FINISH, routeOf(1));
}

}  // namespace
