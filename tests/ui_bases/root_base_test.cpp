// The root dialog base with real messages: keys, closing, the title bar in
// both directions, header pixels, and paints that leave nothing behind.
#include "tests/support/capture.h"
#include "tests/ui_bases/ui_env.h"
#include "skin_table.h"

#include "foundation/globalfunc.h"
#include "foundation/program_strings.h"
#include "foundation/regsetting.h"
#include "resources/resource.h"
#include "ui/base_dialog.h"
#include "ui/session_flags.h"
#include "ui/view_state.h"
#include "webclient/api_endpoints.h"

#include <gtest/gtest.h>

namespace {

class TestRoot : public CBaseDialog {
public:
    TestRoot() { m_nWidth = 900, m_nHeight = 680; }
    int getViewStatus() const override { return m_nView; }
    int pushViewPage(int view, BOOL) override {
        m_pushed.push_back(view);
        m_nView = view;
        return 1;
    }
    int m_nView = VIEW_STATE_LOGIN;
    std::vector<int> m_pushed;

protected:
    void OnPaint() {
        CPaintDC dc(this);
        drawBackground(&dc);
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(TestRoot, CBaseDialog)
    ON_WM_PAINT()
END_MESSAGE_MAP()

class RootBase : public testing::Test {
protected:
    void SetUp() override {
        useLanguage(REGION_US, LANGUAGE_EN);
        g_bSignedIn = FALSE;
        g_strCorpCode = L"N";
        mainFrame().sendStatics = mainFrame().sendStaticsHidden = 0;
        ASSERT_TRUE(root.Create(IDD_BASE_DIALOG, nullptr));
        root.SetWindowPos(nullptr, 40, 40, 900, 680, SWP_NOZORDER);
        root.ShowWindow(SW_SHOW);
        pumpFor(100);
    }
    void TearDown() override {
        if (root.GetSafeHwnd()) root.DestroyWindow();
        g_bSignedIn = FALSE;
        g_strCorpCode = L"N";
    }
    RECT button(UINT id) { return childRectIn(root.m_hWnd, ::GetDlgItem(root.m_hWnd, id)); }

    TestRoot root;
};

TEST_F(RootBase, DialogKeysAndEveryCloseRequestLeaveTheRootOpen) {
    focusWindow(root.m_hWnd);
    for (WORD key : {VK_ESCAPE, VK_RETURN, VK_SPACE}) pressKeys({key});
    EXPECT_TRUE(IsWindowVisible(root.m_hWnd));
    EXPECT_EQ(0, mainFrame().sendStatics);

    pressKeys({VK_MENU, VK_F4});
    EXPECT_TRUE(IsWindowVisible(root.m_hWnd));
    EXPECT_EQ(1, mainFrame().sendStatics) << "Alt+F4 asks the main frame";

    root.SendMessage(WM_SYSCOMMAND, SC_CLOSE, 0);
    pumpFor();
    EXPECT_EQ(2, mainFrame().sendStatics) << "the system menu's Close";
    root.SendMessage(WM_COMMAND, IDCANCEL, 0);
    pumpFor();
    EXPECT_EQ(3, mainFrame().sendStatics) << "Cancel";
    EXPECT_TRUE(IsWindow(root.m_hWnd));
    EXPECT_EQ(0, mainFrame().sendStaticsHidden);
}

TEST_F(RootBase, CtrlShiftF5AsksForTheHiddenModeOnlyWithTheTitleButtons) {
    focusWindow(root.m_hWnd);
    pressKeys({VK_CONTROL, VK_SHIFT, VK_F5});
    EXPECT_EQ(0, mainFrame().sendStaticsHidden);
    root.showTitleButtons(1);
    focusWindow(root.m_hWnd);
    pressKeys({VK_CONTROL, VK_SHIFT, VK_F5});
    EXPECT_EQ(1, mainFrame().sendStaticsHidden);
    pressKeys({VK_CONTROL, VK_F5});
    EXPECT_EQ(1, mainFrame().sendStaticsHidden);
}

TEST_F(RootBase, TitleButtonsPackFromTheRightAndMirrorInArabic) {
    g_bSignedIn = TRUE;
    root.showTitleButtons(1);
    struct {
        int region, language;
        int exitLeft, logoutLeft;
    } cases[] = {
        {REGION_US, LANGUAGE_EN, 900 - 24 - 24, 900 - 24 - 24 - 15 - 24 - 41 - 19 - 41 - 24 - 35 - 60},
        {REGION_ME, LANGUAGE_AR, 24, 24 + 24 + 15 + 24 + 41 + 19 + 41 + 24 + 35},
    };
    for (const auto& c : cases) {
        useLanguage(c.region, c.language);
        root.layoutTitleButtons();
        pumpFor();
        EXPECT_EQ(c.exitLeft, button(IDC_BUTTON_EXIT).left) << c.language;
        EXPECT_EQ(18, button(IDC_BUTTON_EXIT).top);
        EXPECT_EQ(c.logoutLeft, button(IDC_BUTTON_LOGOUT).left) << c.language;
        EXPECT_TRUE(::IsWindowVisible(::GetDlgItem(root.m_hWnd, IDC_BUTTON_CONFIG)));
    }
    g_bSignedIn = FALSE;
    root.showTitleButtons(1);
    EXPECT_FALSE(::IsWindowVisible(::GetDlgItem(root.m_hWnd, IDC_BUTTON_LOGOUT)));
    EXPECT_TRUE(::IsWindowVisible(::GetDlgItem(root.m_hWnd, IDC_BUTTON_GUIDE)));
}

TEST_F(RootBase, HeaderAndFooterPixelsAreTheSkinColours) {
    g_strCorpCode = L"DR";
    for (const auto& c : {std::make_pair(LANGUAGE_EN, REGION_US), std::make_pair(LANGUAGE_AR, REGION_ME)}) {
        useLanguage(c.second, c.first);
        root.layoutTitleButtons();
        WindowShot shot;
        ASSERT_TRUE(shot.capture(root.m_hWnd, true));
        bool arabic = c.first == LANGUAGE_AR;
        // Logo 526 (Arabic 1725), 150 x 40, 14 pixels from its edge.
        const SkinPoint& logo = skinRow(arabic ? 1725 : 526).body[0];
        int logoLeft = arabic ? 900 - 14 - 150 : 14;
        EXPECT_EQ(logo.colour, shot.at(logoLeft + logo.x, 10 + logo.y)) << "logo, language " << c.first;
        EXPECT_NE(logo.colour, shot.at(arabic ? 900 - 10 : 10, 30)) << "nothing beyond 14 pixels";
        const SkinRow& background = skinRow(320);
        EXPECT_EQ(background.fill[0], shot.at(background.body[0].x, background.body[0].y)) << "background drawn 1:1";
        RECT footer = {0, 680 - 30, 900, 680};
        EXPECT_GT(shot.count(0x5D534B, footer), 900 * 30 / 2) << "footer band";
    }
}

// The version and the rights notice are Latin and read left to right in
// every language; under Arabic they trade ends. Each must start at its own
// end with an empty stretch between them (they once lay on top of each other).
TEST_F(RootBase, FooterTextsKeepToTheirEndsInBothDirections) {
    for (const auto& c : {std::make_pair(LANGUAGE_EN, REGION_US), std::make_pair(LANGUAGE_AR, REGION_ME)}) {
        useLanguage(c.second, c.first);
        root.Invalidate();
        pumpFor();
        WindowShot shot;
        ASSERT_TRUE(shot.capture(root.m_hWnd, true));
        const bool arabic = c.first == LANGUAGE_AR;
        auto ink = [&](int left, int right) {
            RECT r = {left, 680 - 30, right, 680};
            return (right - left) * 30 - shot.count(0x5D534B, r);
        };
        EXPECT_GT(ink(0, 60), 20) << "a text starts at the left end, language " << c.first;
        EXPECT_GT(ink(840, 900), 20) << "a text ends at the right end, language " << c.first;
        EXPECT_EQ(ink(arabic ? 400 : 250, arabic ? 650 : 500), 0) << "the middle stays empty, language " << c.first;
        // Under Arabic the short version text sits at the right, the long notice at the left.
        EXPECT_GT(ink(0, 400), ink(500, 900) * (arabic ? 2 : 0)) << c.first;
        EXPECT_GT(ink(500, 900), ink(0, 400) * (arabic ? 0 : 2)) << c.first;
    }
}

TEST_F(RootBase, ABackgroundOnePixelOffIsDrawnByNineSlice) {
    root.SetWindowPos(nullptr, 0, 0, 901, 680, SWP_NOMOVE | SWP_NOZORDER);
    pumpFor();
    WindowShot shot;
    ASSERT_TRUE(shot.capture(root.m_hWnd, true));
    // The centre of a nine-slice is not drawn: the white fill shows.
    EXPECT_EQ(RGB(255, 255, 255), shot.at(450, 300));
    // The header band is part of the top edge.
    EXPECT_EQ(skinRow(320).mark[0].colour, shot.at(450, 30)) << "the top edge is stretched";
}

TEST_F(RootBase, AMemberSeesTheTitleAndAGuestTheSecondText) {
    g_bSignedIn = TRUE;
    root.showTitleButtons(1);
    CRegSetting::setLastUserType(USER_TYPE_MEMBER);
    root.setTitle(L"Jane.Doe@Example");
    root.setSubTitle(L"Guest driver");
    EXPECT_EQ(CString(L"jane.doe@example"), root.m_strTitle);
    root.RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    EXPECT_EQ(CString(L"jane.doe@example"), root.m_strTitle);
    EXPECT_TRUE(root.m_strSubTitle.IsEmpty()) << "gone after the first paint";

    CRegSetting::setLastUserType(USER_TYPE_GUEST);
    root.setTitle(L"Jane");
    root.setSubTitle(L"Guest driver");
    root.RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    EXPECT_TRUE(root.m_strTitle.IsEmpty());
    EXPECT_EQ(CString(L"Guest driver"), root.m_strSubTitle);
    CRegSetting::setLastUserType(USER_TYPE_MEMBER);
}

TEST_F(RootBase, ThousandPaintsLeaveMemoryAndGdiFlatAndKeepTheLogo) {
    g_strCorpCode = L"TS";
    auto paint = [&] { root.RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN); };
    for (int i = 0; i < 20; ++i) paint();
    Gdiplus::Bitmap* logo = root.m_pImgLogo;
    DWORD gdi = gdiObjects();
    long wrappers = CGdiObject::liveCount() + CDC::liveCount();
    SIZE_T memory = pagefileUsage();
    for (int i = 0; i < 1000; ++i) paint();
    EXPECT_EQ(gdi, gdiObjects());
    EXPECT_EQ(wrappers, CGdiObject::liveCount() + CDC::liveCount());
    EXPECT_LT(pagefileUsage(), memory + 2 * 1024 * 1024);
    EXPECT_EQ(logo, root.m_pImgLogo) << "the logo is not read again while nothing changed";

    g_strCorpCode = L"LV";
    paint();
    EXPECT_NE(nullptr, root.m_pImgLogo);
    root.releaseLogo();
    paint();
    EXPECT_NE(nullptr, root.m_pImgLogo) << "a dropped logo comes back at the next paint";
}

TEST_F(RootBase, GuideOpensTheUpdateGuideAndMinimiseMinimises) {
    std::vector<CString> opened;
    auto previous = CGlobalFunc::setUrlLauncher([&](const CString& url) { opened.push_back(url); });
    RECT guide = button(IDC_BUTTON_GUIDE);
    clickAt(root.m_hWnd, guide.left + 5, guide.top + 5);
    CGlobalFunc::setUrlLauncher(previous);
    CString url = getWebPageUrl(WEB_PAGE_UPDATE_GUIDE);
    if (url.IsEmpty()) {
        EXPECT_TRUE(opened.empty());
    } else {
        ASSERT_EQ(1u, opened.size());
        EXPECT_EQ(url, opened[0]);
    }
    RECT mini = button(IDC_BUTTON_MINI);
    clickAt(root.m_hWnd, mini.left + 5, mini.top + 5);
    EXPECT_TRUE(root.IsIconic());
}

TEST_F(RootBase, DraggingByTheHeaderOnly) {
    CRect window;
    root.GetWindowRect(&window);
    EXPECT_EQ(HTCAPTION, root.SendMessage(WM_NCHITTEST, 0, MAKELPARAM(window.left + 300, window.top + 30)));
    EXPECT_NE(HTCAPTION, root.SendMessage(WM_NCHITTEST, 0, MAKELPARAM(window.left + 300, window.top + 300)));
}

TEST(RootBaseLists, AddOrRemoveListItem) {
    PageList list;
    int a = 0, b = 0;
    CBaseDialog::addOrRemoveListItem(&list, &a, 0);
    CBaseDialog::addOrRemoveListItem(&list, &a, 0);
    CBaseDialog::addOrRemoveListItem(&list, &b, 0);
    EXPECT_EQ(2u, list.size());
    list.push_back(&a);
    CBaseDialog::addOrRemoveListItem(&list, &a, 1);
    EXPECT_EQ(PageList{&b}, list);
    CBaseDialog::addOrRemoveListItem(&list, &a, 2);
    CBaseDialog::addOrRemoveListItem(&list, nullptr, 0);
    CBaseDialog::addOrRemoveListItem(nullptr, &a, 0);
    EXPECT_EQ(PageList{&b}, list);
}

class RootScreens : public RootBase, public testing::WithParamInterface<UiLanguage> {};

TEST_P(RootScreens, SignedOutAndSignedIn) {
    const UiLanguage& lang = GetParam();
    useLanguage(lang);
    g_strCorpCode = L"TS";
    root.layoutTitleButtons();
    CString name;
    name.Format(L"%s-root-01-signed-out", lang.tag);
    saveScreenshot(root.m_hWnd, name,
                   L"root base signed out: TS logo at the leading edge, region name with globe before the guide "
                   L"button, guide/minimise/exit buttons at the trailing edge, footer with version and rights notice"
                   L"; Arabic mirrored: version at the right end of the footer, rights notice at the left, "
                   L"apart from each other",
                   true);
    g_bSignedIn = TRUE;
    root.showTitleButtons(1);
    root.setTitle(L"driver@example.com");
    name.Format(L"%s-root-02-signed-in", lang.tag);
    saveScreenshot(root.m_hWnd, name,
                   L"root base signed in: settings and logout buttons shown, separators, user icon and the user "
                   L"name between logout and settings; Arabic mirrored",
                   true);
}

INSTANTIATE_TEST_SUITE_P(Languages, RootScreens, testing::ValuesIn(kLanguages),
                         [](const testing::TestParamInfo<UiLanguage>& info) {
                             return std::string(CW2A(info.param.tag));
                         });

}  // namespace
