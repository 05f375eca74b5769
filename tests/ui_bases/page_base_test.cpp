// The page base with real messages: its key filter, the waiting animation,
// the notice bar it owns, and the text helpers that need a window.
#include "tests/support/capture.h"
#include "tests/ui_bases/ui_env.h"

#include "foundation/globalfunc.h"
#include "foundation/registered_messages.h"
#include "foundation/regsetting.h"
#include "resources/resource.h"
#include "ui/base_child_dialog.h"
#include "ui/base_dialog.h"
#include "ui/dlg_child_notice.h"
#include "ui/gdi_func.h"
#include "ui/lang_library.h"
#include "ui/session_flags.h"
#include "ui/text_ids.h"
#include "ui/view_state.h"

#include <gtest/gtest.h>

namespace {

class PageRoot : public CBaseDialog {
public:
    int getViewStatus() const override { return m_nView; }
    int pushViewPage(int view, BOOL) override {
        m_pushed.push_back(view);
        return 1;
    }
    int m_nView = VIEW_STATE_CAR_REG;
    std::vector<int> m_pushed;
};

// An empty child page from a template in memory.
class TestPage : public CBaseChildDialog {
public:
    explicit TestPage(CBaseDialog* root) : CBaseChildDialog(0, root) {}
    BOOL create() {
        struct {
            DLGTEMPLATE head;
            WORD menu, windowClass, title;
        } t{};
        t.head.style = WS_CHILD | DS_CONTROL | WS_CLIPCHILDREN;
        return CreateIndirect(&t.head, m_pRootDlg);
    }
    BOOL showPage(BOOL show) override {
        ShowWindow(show ? SW_SHOW : SW_HIDE);
        m_bShown = show;
        return TRUE;
    }
    BOOL initPage() override { return TRUE; }
    void OnOK() override { ++dialogKeys; }
    void OnCancel() override { ++dialogKeys; }
    int dialogKeys = 0;
};

class PageBase : public testing::Test {
protected:
    void SetUp() override {
        useLanguage(REGION_US, LANGUAGE_EN);
        mainFrame().sendStatics = 0;
        root.m_nWidth = 900;
        root.m_nHeight = 680;
        ASSERT_TRUE(root.Create(IDD_BASE_DIALOG, nullptr));
        root.SetWindowPos(nullptr, 40, 40, 900, 680, SWP_NOZORDER);
        root.ShowWindow(SW_SHOW);
        page = new TestPage(&root);
        ASSERT_TRUE(page->create());
        page->showPage(TRUE);
        pumpFor(100);
    }
    void TearDown() override {
        if (page->GetSafeHwnd()) page->DestroyWindow();
        delete page;
        if (root.GetSafeHwnd()) root.DestroyWindow();
    }
    int waitingControls() {
        int n = 0;
        for (HWND c = ::GetWindow(page->m_hWnd, GW_CHILD); c; c = ::GetWindow(c, GW_HWNDNEXT)) {
            if (::GetDlgCtrlID(c) == 0xFFFF) ++n;
        }
        return n;
    }

    PageRoot root;
    TestPage* page = nullptr;
};

TEST_F(PageBase, SitsUnderTheHeader) {
    RECT r = childRectIn(root.m_hWnd, page->m_hWnd);
    EXPECT_EQ(0, r.left);
    EXPECT_EQ(60, r.top);
    EXPECT_EQ(900, r.right - r.left);
    EXPECT_EQ(590, r.bottom - r.top);
    EXPECT_EQ(VIEW_STATE_NONE, page->m_ePageViewStatus);
    EXPECT_EQ(&root, page->getRootDlg());
    EXPECT_EQ(1, page->setAutoSkip(7));
    EXPECT_TRUE(page->m_bAutoSkip);
    EXPECT_EQ(0, page->setAutoSkip(FALSE));
}

TEST_F(PageBase, DialogKeysDoNothingAndAltF4AsksTheMainFrame) {
    focusWindow(page->m_hWnd);
    for (WORD key : {VK_ESCAPE, VK_RETURN, VK_SPACE}) pressKeys({key});
    EXPECT_EQ(0, page->dialogKeys);
    EXPECT_TRUE(page->IsWindowVisible());
    pressKeys({VK_MENU, VK_F4});
    EXPECT_EQ(1, mainFrame().sendStatics);
    EXPECT_TRUE(IsWindow(root.m_hWnd));
}

TEST_F(PageBase, CtrlShiftF5OpensThePasswordViewOnlyOnTheVehiclePagesWithTitleButtons) {
    struct {
        int titleButtons, view;
        bool opens;
    } cases[] = {
        {1, VIEW_STATE_CAR_REG, true},  {1, VIEW_STATE_CAR_CHANGE, true}, {0, VIEW_STATE_CAR_REG, false},
        {1, VIEW_STATE_LOGIN, false},   {1, VIEW_STATE_NONE, false},     {1, VIEW_STATE_CAR_UPDATE, false},
    };
    for (const auto& c : cases) {
        root.m_nTitleButtons = c.titleButtons;
        root.m_nView = c.view;
        root.m_pushed.clear();
        focusWindow(page->m_hWnd);
        pressKeys({VK_CONTROL, VK_SHIFT, VK_F5});
        EXPECT_EQ(c.opens ? std::vector<int>{VIEW_STATE_HIDDEN_PWD} : std::vector<int>{}, root.m_pushed)
            << "title buttons " << c.titleButtons << " view " << c.view;
    }
}

TEST_F(PageBase, WaitingAnimationIsMadeOnceAndTypesShowOrHideIt) {
    page->showWaiting(1);
    page->showWaiting(1);
    EXPECT_EQ(1, waitingControls());
    EXPECT_TRUE(page->m_bWaiting);
    HWND waiting = page->m_waitingStatic.GetSafeHwnd();
    EXPECT_TRUE(::IsWindowVisible(waiting));
    RECT r = childRectIn(page->m_hWnd, waiting);
    EXPECT_EQ(395, r.left);
    EXPECT_EQ(230, r.top);
    EXPECT_EQ(110, r.right - r.left);

    page->showWaiting(2);
    EXPECT_FALSE(::IsWindowVisible(waiting));
    EXPECT_FALSE(page->m_bWaiting);
    page->showWaiting(1);
    page->showWaiting(5);
    EXPECT_FALSE(page->m_bWaiting);
    EXPECT_TRUE(::IsWindowVisible(waiting)) << "type 5 only clears the flag";
    page->showWaiting(0);
    EXPECT_FALSE(::IsWindowVisible(waiting));
    EXPECT_EQ(1, waitingControls());
}

TEST_F(PageBase, ArabicAnimationIsMirroredWithTheOddPixel) {
    useLanguage(REGION_ME, LANGUAGE_AR);
    page->SetWindowPos(nullptr, 0, 0, 901, 590, SWP_NOMOVE | SWP_NOZORDER);
    page->showWaiting(1);
    EXPECT_EQ(396, childRectIn(page->m_hWnd, page->m_waitingStatic.GetSafeHwnd()).left);
    page->showWaiting(0);
}

TEST_F(PageBase, AnimationTurnsAboutTenFramesPerSecond) {
    page->showWaiting(1);
    int frames = 0, last = page->m_waitingStatic.m_nFrame.load();
    DWORD start = GetTickCount();
    pumpUntil(
        [&] {
            int now = page->m_waitingStatic.m_nFrame.load();
            if (now != last) {
                frames += (now - last + 12) % 12;
                last = now;
            }
            return false;
        },
        1050);
    page->showWaiting(0);
    EXPECT_GE(GetTickCount() - start, 1050u);
    EXPECT_GE(frames, 8);
    EXPECT_LE(frames, 12);
}

stNoticeResult notice(int status, const wchar_t* more) {
    stNoticeResult n;
    n.nStatus = status;
    n.strPubDate = L"[2026-12-01]";
    n.strTitle = L"Winter map update now available";
    n.strDtlURL = L"https://notice.invalid/detail/7";
    n.strMoreURL = more;
    return n;
}

TEST_F(PageBase, NoticeBarIsMadeOnceAndMoreFollowsTheRecord) {
    page->showNotice();
    CDlgChildNotice* bar = page->m_pNotice;
    ASSERT_NE(nullptr, bar);
    page->showNotice();
    EXPECT_EQ(bar, page->m_pNotice);
    RECT r = childRectIn(page->m_hWnd, bar->m_hWnd);
    EXPECT_EQ(550, r.top);
    EXPECT_EQ(900, r.right - r.left);
    EXPECT_FALSE(bar->m_btnMore.IsWindowEnabled()) << "no notice yet";
    EXPECT_FALSE(::IsWindowVisible(bar->m_staticDate.m_hWnd));

    std::vector<CString> opened;
    auto previous = CGlobalFunc::setUrlLauncher([&](const CString& url) { opened.push_back(url); });
    stNoticeResult withMore = notice(0, L"https://notice.invalid/list");
    page->updateNotice(&withMore);
    pumpFor();
    EXPECT_TRUE(bar->m_btnMore.IsWindowEnabled());
    EXPECT_TRUE(::IsWindowVisible(bar->m_staticDate.m_hWnd));
    RECT more = childRectIn(bar->m_hWnd, bar->m_btnMore.m_hWnd);
    clickAt(bar->m_hWnd, more.left + 10, more.top + 10);
    ASSERT_EQ(1u, opened.size()) << "More goes to the launcher";
    EXPECT_EQ(CString(L"https://notice.invalid/list"), opened[0]);

    stNoticeResult noMore = notice(0, L"");
    page->updateNotice(&noMore);
    pumpFor();
    EXPECT_FALSE(bar->m_btnMore.IsWindowEnabled());
    clickAt(bar->m_hWnd, more.left + 10, more.top + 10);
    EXPECT_EQ(1u, opened.size()) << "a disabled More opens nothing";

    for (int status : {1, 2, 3}) {
        stNoticeResult other = notice(status, L"https://notice.invalid/list");
        page->updateNotice(&other);
        EXPECT_FALSE(bar->m_btnMore.IsWindowEnabled()) << status;
        EXPECT_FALSE(::IsWindowVisible(bar->m_staticDate.m_hWnd)) << status;
    }
    page->updateNotice(nullptr);
    CGlobalFunc::setUrlLauncher(previous);
}

TEST_F(PageBase, NoticeLayoutFollowsTheBrandAndMirrorsInArabic) {
    CRegSetting::setLastUserCorp(CORP_TS);
    page->showNotice();
    CDlgChildNotice* bar = page->m_pNotice;
    stNoticeResult n = notice(0, L"https://notice.invalid/list");
    page->updateNotice(&n);
    RECT caption = childRectIn(bar->m_hWnd, bar->m_staticTitle.m_hWnd);
    RECT date = childRectIn(bar->m_hWnd, bar->m_staticDate.m_hWnd);
    EXPECT_EQ(28, caption.left);
    EXPECT_EQ(2, caption.top) << "Tessaly sits two pixels lower";
    EXPECT_EQ(755, date.left);

    useLanguage(REGION_ME, LANGUAGE_AR);
    CRegSetting::setLastUserCorp(CORP_DR);  // the brand is kept per region
    bar->SendMessage(RWM_CHANGE_LANGUAGE, 0, 0);
    caption = childRectIn(bar->m_hWnd, bar->m_staticTitle.m_hWnd);
    date = childRectIn(bar->m_hWnd, bar->m_staticDate.m_hWnd);
    RECT more = childRectIn(bar->m_hWnd, bar->m_btnMore.m_hWnd);
    EXPECT_EQ(900 - 28, caption.right);
    EXPECT_EQ(0, caption.top);
    EXPECT_EQ(900 - 755, date.right);
    EXPECT_EQ(15, more.left);
}

TEST_F(PageBase, NoticeBarSwallowsKeysAndRefreshesWithoutGrowing) {
    page->showNotice();
    CDlgChildNotice* bar = page->m_pNotice;
    MSG key = {bar->m_hWnd, WM_KEYDOWN, 'A', 0};
    EXPECT_TRUE(bar->PreTranslateMessage(&key));
    stNoticeResult n = notice(0, L"https://notice.invalid/list");
    for (int i = 0; i < 20; ++i) page->updateNotice(&n);
    pumpFor();
    DWORD gdi = gdiObjects();
    long wrappers = CGdiObject::liveCount() + CDC::liveCount();
    SIZE_T memory = pagefileUsage();
    for (int i = 0; i < 1000; ++i) {
        page->updateNotice(&n);
        bar->RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    }
    EXPECT_EQ(gdi, gdiObjects());
    EXPECT_EQ(wrappers, CGdiObject::liveCount() + CDC::liveCount());
    EXPECT_LT(pagefileUsage(), memory + 2 * 1024 * 1024);
}

TEST_F(PageBase, HeaderPaintsItsBandAndTitle) {
    CClientDC window(page);
    CDC memory;
    ASSERT_TRUE(memory.CreateCompatibleDC(&window));
    CBitmap bitmap;
    ASSERT_TRUE(bitmap.CreateCompatibleBitmap(&window, 900, 100));
    CBitmap* previous = memory.SelectObject(&bitmap);
    RECT all = {0, 0, 900, 100};
    ::FillRect(memory.GetSafeHdc(), &all, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
    page->drawHeader(&memory, L"Sign in");
    EXPECT_EQ(COLORREF(0xDFDFDF), memory.GetPixel(5, 5));
    EXPECT_EQ(COLORREF(0xDFDFDF), memory.GetPixel(895, 59));
    EXPECT_EQ(COLORREF(0), memory.GetPixel(450, 60)) << "60 pixels high";
    int title = 0;
    for (int x = 380; x < 520; ++x) {
        for (int y = 10; y < 55; ++y) title += memory.GetPixel(x, y) != COLORREF(0xDFDFDF);
    }
    EXPECT_GT(title, 30) << "the title is drawn in the middle";
    memory.SelectObject(previous);
}

TEST_F(PageBase, FitFontSizeShrinksUntilTheLinesFit) {
    CRect box(0, 0, 200, 100);
    CString longText = L"A long sentence that cannot stand on one line of two hundred pixels at a large size";
    EXPECT_EQ(-1, CBaseChildDialog::getFitFontSize(nullptr, longText, 20, 24, 0, 1, box));
    EXPECT_EQ(-1, CBaseChildDialog::getFitFontSize(page, L"", 20, 24, 0, 1, box));
    EXPECT_EQ(20, CBaseChildDialog::getFitFontSize(page, L"Short", 20, 24, 0, 1, box));
    int three = CBaseChildDialog::getFitFontSize(page, longText, 30, 24, 0, 3, box);
    int two = CBaseChildDialog::getFitFontSize(page, longText, 30, 24, 0, 2, box);
    EXPECT_LT(three, 30);
    EXPECT_LE(two, three) << "fewer lines allowed, smaller text";
    EXPECT_GT(two, 4);
    EXPECT_EQ(2, CBaseChildDialog::getFitFontSize(page, longText + longText + longText, 3, 24, 0, 1, box));
}

TEST_F(PageBase, DriveTypeTextAndNameVariant) {
    EXPECT_EQ(CLangLibrary::loadLangString(IDS_MEDIUM_SD), CBaseChildDialog::getDriveTypeText(L"SD USB"));
    EXPECT_EQ(CLangLibrary::loadLangString(IDS_MEDIUM_USB), CBaseChildDialog::getDriveTypeText(L"USB"));
    EXPECT_EQ(CLangLibrary::loadLangString(IDS_MEDIUM_DVD), CBaseChildDialog::getDriveTypeText(L"DVD"));
    EXPECT_EQ(CString(L"USB DVD-ROM"), CBaseChildDialog::getDriveTypeText(L"USB DVD-ROM"));
    EXPECT_FALSE(CLangLibrary::loadLangString(IDS_MEDIUM_USB).IsEmpty());

    struct {
        int region, language;
        const wchar_t* name;
        const wchar_t* code;
    } cases[] = {
        {REGION_KR, LANGUAGE_EN, L"Sonata", L"EN"}, {REGION_KR, LANGUAGE_KO, L"Sonata", L"KO"},
        {REGION_US, LANGUAGE_EN, L"Sonata", L"KO"}, {REGION_KR, LANGUAGE_EN, L"", L"KO"},
    };
    for (const auto& c : cases) {
        CRegSetting::setRegion(c.region);
        CRegSetting::setLanguage(c.language);
        EXPECT_EQ(CString(c.code), CBaseChildDialog::getLangCode(c.name)) << c.region << " " << c.language;
    }
}

class NoticeScreens : public PageBase, public testing::WithParamInterface<UiLanguage> {};

TEST_P(NoticeScreens, NoticeAndNone) {
    const UiLanguage& lang = GetParam();
    useLanguage(lang);
    CRegSetting::setLastUserCorp(CORP_LV);
    page->showNotice();
    CDlgChildNotice* bar = page->m_pNotice;
    bar->SendMessage(RWM_CHANGE_LANGUAGE, 0, 0);
    CString name;
    name.Format(L"%s-notice-01-none", lang.tag);
    saveScreenshot(bar->m_hWnd, name,
                   L"notice bar without a notice: caption, the no-notice text, no date, More disabled with its mark"
                   L"; Arabic mirrored (caption at the right, More at the left)",
                   true);
    stNoticeResult n = notice(0, L"https://notice.invalid/list");
    page->updateNotice(&n);
    name.Format(L"%s-notice-02-notice", lang.tag);
    saveScreenshot(bar->m_hWnd, name,
                   L"notice bar with a notice: caption, title 'Winter map update now available', date "
                   L"[2026-12-01], More enabled; Arabic mirrored",
                   true);
}

INSTANTIATE_TEST_SUITE_P(Languages, NoticeScreens, testing::ValuesIn(kLanguages),
                         [](const testing::TestParamInfo<UiLanguage>& info) {
                             return std::string(CW2A(info.param.tag));
                         });

}  // namespace
