// The root's small services to pages and frame: notices from another
// thread, the finish result, the broadcasts, the hidden commands, and the
// header signed out and in.
#include "tests/shell/shell_fixture.h"

#include "descriptors/inf_info.h"
#include "foundation/registered_messages.h"
#include "foundation/regsetting.h"
#include "pages/account/dlg_page_login.h"
#include "pages/vehicle/dlg_car_change.h"
#include "pages/vehicle/dlg_car_finish.h"
#include "pages/vehicle/dlg_car_reg.h"
#include "resources/resource.h"
#include "shell/dlg_page_message_for_config.h"
#include "tests/support/capture.h"
#include "ui/dlg_child_notice.h"
#include "ui/session_flags.h"
#include "ui/view_state.h"

#include <thread>

namespace {

using RootServices = RootFixture;

// The notice thread hands its record over; the pages take it on their own
// thread (a bar refuses an update from another one).
TEST_F(RootServices, NoticesFromAnotherThreadReachThePages) {
    createRoot();
    root->pushViewPage(VIEW_STATE_CAR_REG, TRUE);
    root->m_pPageCarReg->showNotice();
    root->m_pPageCarChange->showNotice();
    ASSERT_NE(root->m_pPageCarReg->m_pNotice, nullptr);
    stNoticeResult notice;
    notice.nStatus = 0;
    notice.strTitle = L"Maps for spring";
    notice.strMoreURL = L"https://notice.example/list";
    std::thread worker([&] { root->showNotices(notice); });
    worker.join();
    notice.strTitle = L"changed after the hand-over";
    pumpUntil([&] { return !root->m_pPageCarReg->m_pNotice->m_stNoticeResult.strTitle.IsEmpty(); }, 1000);
    EXPECT_EQ(root->m_pPageCarReg->m_pNotice->m_stNoticeResult.strTitle, CString(L"Maps for spring"));
    EXPECT_EQ(root->m_pPageCarChange->m_pNotice->m_stNoticeResult.strTitle, CString(L"Maps for spring"));
}

TEST_F(RootServices, FinishResultNeedsAnEntry) {
    createRoot();
    root->setFinishResult(nullptr, 'E');
    EXPECT_TRUE(root->m_pPageCarFinish->m_strStorageCode.IsEmpty());
    // An entry whose descriptor cannot be had keeps the previous result.
    InfInfo unloaded;
    root->setFinishResult(&unloaded, 'E');
    EXPECT_TRUE(root->m_pPageCarFinish->m_strStorageCode.IsEmpty());
    EXPECT_EQ(root->m_bDestIsDrive, 0);
    InfInfo entry;
    ASSERT_EQ(entry.readInfText(L"[HEAD]\r\nROOT_URL=https://host/contents/pkg\r\nUPDATE_VERSION=1\r\n"
                                L"[F]\r\nAG_FILENAME=a\r\n"), 1);
    root->setFinishResult(&entry, 'E');
    EXPECT_EQ(root->m_pPageCarFinish->m_strStorageCode, CString(L"U"));
    EXPECT_EQ(root->m_bDestIsDrive, 1);
}

TEST_F(RootServices, ConfigClosedReachesEveryPage) {
    createRoot();
    root->broadcastConfigClosed();
    EXPECT_EQ(calls(root->m_pPageLogin, L"configClosed"), 1);
}

// The template's hidden buttons: "change language" stores the other of the
// first two languages and tells nobody; the others do nothing.
TEST_F(RootServices, HiddenCommands) {
    createRoot();
    CRegSetting::setLanguage(1);
    root->SendMessage(WM_COMMAND, MAKEWPARAM(1, BN_CLICKED), 0);
    EXPECT_EQ(CRegSetting::getLanguage(), 2);
    EXPECT_EQ(calls(root->m_pPageLogin, L"changeLanguage"), 0);
    root->SendMessage(WM_COMMAND, MAKEWPARAM(1, BN_CLICKED), 0);
    EXPECT_EQ(CRegSetting::getLanguage(), 1);
    CRegSetting::setLanguage(7);
    root->SendMessage(WM_COMMAND, MAKEWPARAM(1, BN_CLICKED), 0);
    EXPECT_EQ(CRegSetting::getLanguage(), 1);
    for (int id : {1520, 1521, 1522, 1524}) root->SendMessage(WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0);
    EXPECT_EQ(root->m_eViewStatus, VIEW_STATE_LOGIN);
    MINMAXINFO info{};
    root->SendMessage(WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    EXPECT_EQ(info.ptMaxSize.x, 900);
    EXPECT_EQ(info.ptMaxSize.y, 680);
}

TEST_F(RootServices, HeaderSignedOutAndIn) {
    createRoot();
    WindowShot out = saveScreenshot(root->m_hWnd, L"header_signed_out",
                                    L"root on the login page, signed out: region name beside the guide button, no "
                                    L"settings or logout button",
                                    true);
    RECT header = {0, 0, 900, 60};
    EXPECT_EQ(out.count(skinFill(IDB_BUTTON_LOGOUT), header), 0);

    g_bSignedIn = TRUE;
    root->setTitle(L"ts.us");
    root->showTitleButtons(CORP_TS);
    root->pushViewPage(VIEW_STATE_CAR_REG, TRUE);
    root->updateTopButtons();
    pumpFor(80);
    WindowShot in = saveScreenshot(root->m_hWnd, L"header_signed_in",
                                   L"root on the registration page, signed in: the user's name between the settings "
                                   L"and logout buttons, both enabled",
                                   true);
    EXPECT_GT(in.count(skinFill(IDB_BUTTON_LOGOUT), header), 100);
    EXPECT_GT(in.count(skinFill(IDB_BUTTON_CONFIG_ON), header), 100);
}

}  // namespace
