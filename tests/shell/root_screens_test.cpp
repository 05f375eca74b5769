// Pictures of the root: every view with its page, and the exit page in
// Korean, English and Arabic. Checked by skin and header colours.
#include "tests/shell/shell_fixture.h"

#include "foundation/globalfunc.h"
#include "foundation/program_strings.h"
#include "foundation/regsetting.h"
#include "resources/resource.h"
#include "pages/account/dlg_join_msg.h"
#include "pages/vehicle/dlg_car_reg.h"
#include "shell/dlg_page_message.h"
#include "shell/dlg_page_message_exit.h"
#include "shell/message_types.h"
#include "tests/support/capture.h"
#include "skin_table.h"
#include "ui/lang_library.h"
#include "ui/view_state.h"

namespace {

constexpr COLORREF PAGE_HEADER = 0xDFDFDF;

using RootScreens = RootFixture;

TEST_F(RootScreens, EveryViewShowsItsPage) {
    const int views[] = {VIEW_STATE_LOGIN, VIEW_STATE_CONFIG, VIEW_STATE_MESSAGE, VIEW_STATE_CAR_REG,
                         VIEW_STATE_CAR_CHANGE, VIEW_STATE_CAR_UPDATE, VIEW_STATE_CAR_FINISH, VIEW_STATE_INFO_POPUP,
                         VIEW_STATE_CAR_CONFIG, VIEW_STATE_JOIN_MSG, VIEW_STATE_HIDDEN, VIEW_STATE_HIDDEN_PWD,
                         VIEW_STATE_EXIT, VIEW_STATE_PAGE_FOR_CONFIG, VIEW_STATE_INFO_IMAGE_POPUP};
    createRoot();
    for (int view : views) {
        if (view == VIEW_STATE_MESSAGE) {
            CDlgPageMessage* page = root->getMessagePage(SERVER_ERROR_NONE);
            ASSERT_NE(page, nullptr);
            page->setMessageType(SERVER_ERROR_NETWORK_FAIL, root->m_pPageCarReg);
        }
        // The login page shows the sign-up notice for the brand it chose.
        if (view == VIEW_STATE_JOIN_MSG) g_strJoinCorpCode = L"TS";
        root->pushViewPage(view, TRUE);
        pumpFor(80);
        if (view == VIEW_STATE_JOIN_MSG) {
            g_strJoinCorpCode = L"N";
            const CString brand = CLangLibrary::loadLangString(12023);
            ASSERT_FALSE(brand.IsEmpty());
            EXPECT_NE(root->m_pPageJoinMsg->bodyText().Find(brand), -1) << root->m_pPageJoinMsg->bodyText().GetString();
        }
        ASSERT_NE(root->m_pCurPage, nullptr) << view;
        EXPECT_TRUE(root->m_pCurPage->IsWindowVisible()) << view;
        // Exactly one page shows.
        int shown = 0;
        for (HWND child = GetWindow(root->m_hWnd, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
            if (CWnd* wnd = CWnd::FromHandlePermanent(child)) {
                if (dynamic_cast<CBaseChildDialog*>(wnd) && IsWindowVisible(child)) ++shown;
            }
        }
        EXPECT_EQ(shown, 1) << view;

        CString name = CGlobalFunc::getViewStateName(view);
        CString file;
        file.Format(L"view_%03d_%s", view, name.GetString());
        CString shows;
        shows.Format(L"root 900x680 in view %s (%d): header with region name, the page below it paints its class "
                     L"name in a grey band and the view it serves (the message view: SERVER_ERROR_NETWORK_FAIL "
                     L"with OK and Cancel; the exit view: the exit page)",
                     name.GetString(), view);
        // The update page is no stand-in: it paints its own background.
        const bool update = view == VIEW_STATE_CAR_UPDATE;
        if (view == VIEW_STATE_CAR_REG || view == VIEW_STATE_CAR_FINISH) {
            shows.Format(L"root 900x680 in view %s (%d): header, the page's white body with its dark sidebar on "
                         L"the left (no vehicle, no result handed over)",
                         name.GetString(), view);
        }
        if (view == VIEW_STATE_JOIN_MSG) {
            shows.Format(L"root 900x680 in view %s (%d): header, the sign-up notice for Tessaly: grey title band, the "
                         L"notice naming Tessaly, the do-not-show box with its label, Sign up and Continue as guest",
                         name.GetString(), view);
        }
        if (update) shows.Format(L"root 900x680 in view %s (%d): header, the update page's flat background below it",
                                 name.GetString(), view);
        WindowShot shot = saveScreenshot(root->m_hWnd, file, shows, true);
        RECT band = {0, 62, 900, 118};
        // The registration and finish pages paint their left sidebar; the
        // other real pages their own form and title; only the stand-ins
        // still in the pool show the grey band.
        const bool ownPaint = view == VIEW_STATE_LOGIN || view == VIEW_STATE_INFO_POPUP ||
                              view == VIEW_STATE_INFO_IMAGE_POPUP || view == VIEW_STATE_HIDDEN ||
                              view == VIEW_STATE_HIDDEN_PWD || view == VIEW_STATE_CONFIG ||
                              view == VIEW_STATE_CAR_CONFIG || view == VIEW_STATE_JOIN_MSG ||
                              view == VIEW_STATE_CAR_CHANGE;
        if (view == VIEW_STATE_CAR_REG || view == VIEW_STATE_CAR_FINISH) {
            EXPECT_GT(shot.count(skinFill(view == VIEW_STATE_CAR_REG ? 434 : 436), band), 100 * 50) << view;
        } else if (!ownPaint) {
            EXPECT_GT(shot.count(update ? skinFill(IDB_UPDATE_BACKGROUND) : PAGE_HEADER, band), 900 * 20) << view;
        }
    }
}

class ExitScreens : public RootFixture, public testing::WithParamInterface<int> {};

TEST_P(ExitScreens, ExitPageInTheLanguage) {
    const UiLanguage& language = kLanguages[GetParam()];
    useLanguage(language);
    createRoot();
    root->pushViewPage(VIEW_STATE_CAR_REG, TRUE);
    root->OnBnClickedButtonExit();
    pumpFor(120);
    CDlgPageMessageExit* page = root->m_pPageExit;
    ASSERT_TRUE(page->IsWindowVisible());

    CString file, shows;
    file.Format(L"exit_page_%s", language.tag);
    shows.Format(L"exit page (%s): grey header with the exit title, the exit illustration (blue disc with the exit glyph) centred, "
                 L"the question under it, OK (brand TS strip) and white-captioned Cancel at the bottom%s",
                 language.tag, language.language == LANGUAGE_AR ? L"; mirrored: OK right of Cancel" : L"");
    WindowShot shot = saveScreenshot(root->m_hWnd, file, shows, true);

    // The illustration at (395, 205) of the page, which sits 60 below the header.
    const SkinPoint& illustration = skinRow(IDB_EXIT_IMAGE).body[0];
    EXPECT_EQ(shot.at(395 + illustration.x, 60 + 205 + illustration.y), illustration.colour);
    RECT header = {0, 62, 900, 118};
    EXPECT_GT(shot.count(PAGE_HEADER, header), 900 * 20);
    // The question's text is drawn between the illustration and the buttons.
    RECT text = {100, 60 + 345, 800, 60 + 400};
    EXPECT_GT(900 * 55 - shot.count(0xFFFFFF, text), 50);

    RECT ok = childRectIn(root->m_hWnd, page->m_btnOk.m_hWnd);
    RECT cancel = childRectIn(root->m_hWnd, page->m_btnCancel.m_hWnd);
    EXPECT_EQ(ok.right - ok.left, 200);
    EXPECT_EQ(ok.top, 60 + 590 - 70);
    if (language.language == LANGUAGE_AR) {
        EXPECT_GT(ok.left, cancel.left);
    } else {
        EXPECT_LT(ok.left, cancel.left);
    }
    EXPECT_GT(shot.count(skinFill(IDB_BUTTON_OK_STRIP), ok), 200 * 30);
    EXPECT_GT(shot.count(skinFill(IDB_BUTTON_CANCEL_STRIP), cancel), 200 * 30);
}

INSTANTIATE_TEST_SUITE_P(Languages, ExitScreens, testing::Values(0, 1, 2));

TEST(ExitPage, TextAndOkStripFollowTheStateAndBrand) {
    FakeEngine engine;
    setShellEngine(&engine);
    struct Active {
        bool download, unzip, copy;
        int text;
    } actives[] = {{false, false, false, 12445}, {true, false, false, 13449}, {false, true, false, 13449},
                   {false, false, true, 13449}};
    for (const Active& a : actives) {
        engine.download = a.download;
        engine.unzip = a.unzip;
        engine.copy = a.copy;
        EXPECT_EQ(CDlgPageMessageExit::messageTextId(), a.text);
    }
    setShellEngine(nullptr);
    struct Strip {
        int corp, region;
        UINT image;
    } strips[] = {{CORP_LV, REGION_US, 1736}, {CORP_LV, 7, 1736}, {CORP_LV, REGION_KR, 471},
                  {CORP_DR, 7, 470},        {CORP_TS, 7, 469},  {0, REGION_US, 469}};
    for (const Strip& s : strips) EXPECT_EQ(CDlgPageMessageExit::okImageFor(s.corp, s.region), s.image);
}

// Brand LV in region 7: OK wears the North American strip; OK there ends
// the program in order.
TEST_F(RootScreens, ExitPageBrandTwoRegionSevenAndOk) {
    useLanguage(7, LANGUAGE_EN);
    createRoot();
    root->m_nCorp = CORP_LV;
    root->OnBnClickedButtonExit();
    pumpFor(150);
    CDlgPageMessageExit* page = root->m_pPageExit;
    WindowShot shot = saveScreenshot(root->m_hWnd, L"exit_page_lv_region7",
                                     L"exit page, brand LV in region 7: OK wears the North American LV strip", true);
    RECT ok = childRectIn(root->m_hWnd, page->m_btnOk.m_hWnd);
    EXPECT_GT(shot.count(skinFill(IDB_BUTTON_OK_STRIP_LV_NA), ok), 200 * 30);

    engine.copy = true;
    page->Invalidate(FALSE);
    pumpFor(60);
    page->OnBnClickedButtonOk();
    pumpFor(30);
    EXPECT_FALSE(root->IsWindowVisible());
    std::vector<CString> expected = {L"quit"};
    EXPECT_EQ(engine.calls, expected);
    EXPECT_EQ(frame.exitFlags, 1);
    EXPECT_EQ(mainFrame().sendStatics, 1);
}

}  // namespace

namespace {

// Repainting the exit page and a message page leaves no GDI object behind,
// and the exit page's OK strip is loaded once, not per paint.
TEST_F(RootScreens, PaintsLeaveNothingBehind) {
    createRoot();
    CDlgPageMessage* message = root->getMessagePage(SERVER_ERROR_NONE);
    ASSERT_NE(message, nullptr);
    message->setMessageType(SERVER_ERROR_NETWORK_FAIL, root.get());
    for (int view : {VIEW_STATE_MESSAGE, VIEW_STATE_EXIT}) {
        root->pushViewPage(view, TRUE);
        auto paint = [&] { root->RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN); };
        for (int i = 0; i < 10; ++i) paint();
        Gdiplus::Bitmap* okStrip = root->m_pPageExit->m_btnOk.image();
        DWORD gdi = gdiObjects();
        long wrappers = CGdiObject::liveCount() + CDC::liveCount();
        for (int i = 0; i < 300; ++i) paint();
        EXPECT_EQ(gdi, gdiObjects()) << view;
        EXPECT_EQ(wrappers, CGdiObject::liveCount() + CDC::liveCount()) << view;
        EXPECT_EQ(okStrip, root->m_pPageExit->m_btnOk.image()) << view;
    }
}

}  // namespace
