// The title buttons' rules, the root's own message results, the exit button
// and the session services.
#include "tests/shell/shell_fixture.h"

#include "foundation/logmanager.h"
#include "foundation/program_strings.h"
#include "foundation/registered_messages.h"
#include "foundation/regsetting.h"
#include "pages/account/dlg_conf_msg.h"
#include "pages/account/dlg_page_config.h"
#include "pages/account/dlg_page_login.h"
#include "descriptors/inf_info.h"
#include "pages/vehicle/dlg_car_finish.h"
#include "pages/vehicle/dlg_car_reg.h"
#include "pages/vehicle/dlg_car_update.h"
#include "resources/resource.h"
#include "shell/dlg_page_message.h"
#include "shell/dlg_page_message_exit.h"
#include "shell/dlg_page_message_for_config.h"
#include "shell/message_types.h"
#include "ui/session_flags.h"
#include "ui/view_state.h"

namespace {

using RootButtons = RootFixture;

TEST_F(RootButtons, RestrictedRegionsNeverEnableLogout) {
    struct Case {
        int region, corp;
        bool restricted;
    } cases[] = {
        {0, 1, false}, {1, 2, false}, {2, 3, false}, {3, 1, true}, {5, 2, true}, {6, 3, true}, {7, 2, true},
        {9, 1, true}, {12, 2, true}, {11, 1, true}, {11, 3, true}, {11, 2, false}, {10, 1, false},
    };
    createRoot();
    g_bSignedIn = TRUE;
    for (const Case& c : cases) {
        EXPECT_EQ(CDlgRoot::isRestrictedRegion(c.region, c.corp) != FALSE, c.restricted) << c.region << "/" << c.corp;
        CRegSetting::setRegion(c.region);
        root->m_nCorp = c.corp;
        root->m_bTransferIdle = 1;
        root->updateTopButtons();
        EXPECT_EQ(root->m_btnLogout.IsWindowEnabled() != FALSE, !c.restricted) << c.region << "/" << c.corp;
        EXPECT_TRUE(root->m_btnConfig.IsWindowEnabled());
        root->enableTopButton(2, root->m_pPageLogin, TRUE);
        EXPECT_EQ(root->m_btnLogout.IsWindowEnabled() != FALSE, !c.restricted) << c.region << "/" << c.corp;
        // Signed in: both shown whatever the state.
        EXPECT_TRUE(root->m_btnLogout.IsWindowVisible());
        EXPECT_TRUE(root->m_btnConfig.IsWindowVisible());
    }
}

TEST_F(RootButtons, ExitFollowsTheLocksAndSettingsFollowTheTransfer) {
    createRoot();
    CRegSetting::setRegion(REGION_US);
    root->enableTopButton(1, root->m_pPageCarUpdate, FALSE);
    root->enableTopButton(1, root->m_pPageCarUpdate, FALSE);
    EXPECT_EQ(root->exitLocks().size(), 1u);
    root->updateTopButtons();
    EXPECT_FALSE(root->m_btnExit.IsWindowEnabled());
    root->enableTopButton(0, root.get(), TRUE);
    EXPECT_FALSE(root->m_btnExit.IsWindowEnabled());
    root->enableTopButton(1, root->m_pPageCarUpdate, TRUE);
    EXPECT_TRUE(root->m_btnExit.IsWindowEnabled());

    // An update under way: held or transferring disables, idle enables.
    struct Case {
        int idle, held;
        bool download, copy, enabled;
    } cases[] = {
        {1, 1, true, true, true}, {0, 0, true, false, false}, {0, 0, false, true, false},
        {0, 1, false, false, false}, {0, 0, false, false, true},
    };
    for (const Case& c : cases) {
        root->m_bTransferIdle = c.idle;
        root->m_bUpdateHeld = c.held;
        engine.download = c.download;
        engine.copy = c.copy;
        EXPECT_TRUE(root->updateTopButtons());
        EXPECT_EQ(root->m_btnConfig.IsWindowEnabled() != FALSE, c.enabled);
        EXPECT_EQ(root->m_btnLogout.IsWindowEnabled() != FALSE, c.enabled);
    }
    // Without a frame there is nothing to decide.
    CDlgRoot frameless(nullptr);
    EXPECT_FALSE(frameless.updateTopButtons());
}

using RootResults = RootFixture;

// 201, 202 and 1001 answered OK: the frame gets the exit flag and the
// statistics request; no quit is posted and the window stays (the frame's
// close shuts the engine down). A running download is stopped and joined
// before its resume files.
TEST_F(RootResults, ExitQuestionsOkEndTheProgram) {
    createRoot();
    for (int type : {SERVER_ERROR_ETC_PROGRAM_EXIT, SERVER_ERROR_ETC_PROGRAM_EXIT_UPDATE, SERVER_ETC_MEDIUM_UP_TO_DATE}) {
        frame.exitFlags = 0;
        mainFrame().sendStatics = 0;
        engine.calls.clear();
        engine.download = type == SERVER_ERROR_ETC_PROGRAM_EXIT_UPDATE;
        root->SendMessage(RWM_MESSAGE_RESULT, 1, type);
        pumpFor(30);
        EXPECT_EQ(frame.exitFlags, 1) << type;
        EXPECT_EQ(mainFrame().sendStatics, 1) << type;
        std::vector<CString> expected;
        if (type == SERVER_ERROR_ETC_PROGRAM_EXIT_UPDATE) expected = {L"stopAndJoin", L"writeResume"};
        EXPECT_EQ(engine.calls, expected) << type;
        EXPECT_TRUE(root->IsWindowVisible());
    }
}

TEST_F(RootResults, ExitQuestionCancelGivesTheButtonsBackAndTellsEveryPage) {
    createRoot();
    g_bSignedIn = TRUE;
    root->enableTopButton(0, root.get(), FALSE);
    root->SendMessage(RWM_MESSAGE_RESULT, 0, SERVER_ERROR_ETC_PROGRAM_EXIT);
    EXPECT_TRUE(root->m_btnConfig.IsWindowEnabled());
    EXPECT_TRUE(root->m_btnLogout.IsWindowEnabled());
    EXPECT_TRUE(root->m_btnConfig.IsWindowVisible());
    EXPECT_EQ(calls(root->m_pPageLogin, L"exitProgramCancel"), 1);
    EXPECT_EQ(frame.exitFlags, 0);
    EXPECT_EQ(mainFrame().sendStatics, 0);
}

TEST_F(RootResults, MediumInAnotherBrandOkSignsOutToThatBrand) {
    createRoot();
    root->pushViewPage(VIEW_STATE_CAR_REG, TRUE);
    root->showTitleButtons(1);
    g_strCorpCode = L"W";
    root->m_nMediumCorp = CORP_DR;
    root->m_strMediumCarName = L"Model Q";
    root->m_pPageLogin->m_nCorpButton = 1;
    root->m_pPageLogin->m_nCorp = CORP_TS;
    root->SendMessage(RWM_MESSAGE_RESULT, 1, SERVER_ETC_MEDIUM_NOT_IN_ACCOUNT);
    EXPECT_EQ(CRegSetting::getLastUserCorp(), CORP_DR);
    EXPECT_EQ(g_strCorpCode, CString(L"N"));
    EXPECT_EQ(root->m_nTitleButtons, 0);
    EXPECT_EQ(root->m_pPageLogin->m_nCorpButton, 4);
    EXPECT_EQ(root->m_eViewStatus, VIEW_STATE_LOGIN);
    CString records = statisticsRecords();
    int at = records.Find(L"[D:5,");
    ASSERT_GE(at, 0);
    EXPECT_GE(records.Find(L",BR:TS,BR:DR,NAME:Model Q]", at), 0) << static_cast<const char*>(CW2A(records.Mid(at)));
}

// 1000 answered Cancel is 1002 answered OK: the last vehicle, then the
// registration page. Other answers do nothing.
TEST_F(RootResults, MediumCancelIsMatchedOk) {
    struct Case {
        int result, type;
        bool registers;
    } cases[] = {
        {0, SERVER_ETC_MEDIUM_NOT_IN_ACCOUNT, true},
        {1, SERVER_ETC_MEDIUM_MATCHED, true},
        {0, SERVER_ETC_MEDIUM_MATCHED, false},
        {1, SERVER_ERROR_NETWORK_FAIL, false},
    };
    createRoot();
    for (const Case& c : cases) {
        root->pushViewPage(VIEW_STATE_LOGIN, TRUE);
        root->m_pPageLogin->clearCalls();
        root->SendMessage(RWM_MESSAGE_RESULT, c.result, c.type);
        EXPECT_EQ(calls(root->m_pPageLogin, L"matchLastVehicle"), c.registers ? 1 : 0) << c.type;
        EXPECT_EQ(root->m_eViewStatus, c.registers ? VIEW_STATE_CAR_REG : VIEW_STATE_LOGIN) << c.type;
    }
}

TEST_F(RootResults, ResetSessionBeforeAnyMessageAndWhileThePickerIsOpen) {
    createRoot();
    ASSERT_EQ(root->m_pCurMessagePage, nullptr);
    InfInfo car;
    root->m_pPageCarReg->m_pCarInfo = &car;
    root->m_pPageCarReg->m_stCarTitle.SetWindowText(L"Chosen");
    root->m_pPageCarReg->m_stSaveTitle.ShowWindow(SW_SHOW);
    g_strCorpCode = L"V";
    g_bFolderPickerOpen = TRUE;
    root->OnResetSession();
    EXPECT_EQ(g_strCorpCode, CString(L"N"));
    EXPECT_EQ(calls(root->m_pPageLogin, L"resetPage"), 0);
    EXPECT_NE(root->m_pPageCarReg->m_pCarInfo, nullptr);

    g_bFolderPickerOpen = FALSE;
    // The settings page loads the stored settings once when it is made.
    const int loads = calls(root->m_pPageConfig, L"loadSettings");
    root->SendMessage(WM_COMMAND, MAKEWPARAM(IDC_BUTTON_LOGOUT, BN_CLICKED),
                      reinterpret_cast<LPARAM>(root->m_btnLogout.m_hWnd));
    EXPECT_EQ(calls(root->m_pPageLogin, L"resetPage"), 1);
    EXPECT_EQ(calls(root->m_pPageConfig, L"loadSettings"), loads + 1);
    EXPECT_EQ(root->m_pPageCarReg->m_pCarInfo, nullptr);
    // refreshTexts without a vehicle: no name, no medium line.
    CString name;
    root->m_pPageCarReg->m_stCarTitle.GetWindowText(name);
    EXPECT_TRUE(name.IsEmpty());
    EXPECT_FALSE(root->m_pPageCarReg->m_stSaveTitle.GetStyle() & WS_VISIBLE);
    EXPECT_EQ(root->m_pPageCarUpdate->m_pTargetInfo, nullptr);
    EXPECT_EQ(root->m_pPageCarUpdate->m_chDrive, 0);
}

TEST_F(RootResults, SettingsButtonCarriesTheConsentsAndReturnToLoginSignsOut) {
    createRoot();
    g_nSendVcrmDesc1 = 1;
    g_nSendVcrmDesc2 = 0;
    CRegSetting::setSendVcrmDesc1();
    CRegSetting::setSendVcrmDesc2();
    g_nSendVcrmDesc1 = 0;
    root->OnBnClickedButtonConfig();
    EXPECT_EQ(g_nSendVcrmDesc1, 1);
    EXPECT_EQ(calls(root->m_pPageConfig, L"checkLanguageCodeFromServer(1)"), 1);
    EXPECT_EQ(root->m_pPageConfMsg->m_nConsent1, 1);
    EXPECT_EQ(root->m_eViewStatus, VIEW_STATE_CONFIG);

    g_bSignedIn = TRUE;
    frame.vehicleList = TRUE;
    CRegSetting::setLastUserCorp(CORP_LV);
    root->returnToLogin(0);
    EXPECT_FALSE(g_bSignedIn);
    EXPECT_EQ(frame.listClears, 1);
    EXPECT_EQ(calls(root->m_pPageLogin, L"selectBrand(2)"), 1);
    // selectBrand reads the brand's saved sign-in first, then the root asks again.
    EXPECT_EQ(calls(root->m_pPageLogin, L"loadSavedLoginInfo(2)"), 2);
    EXPECT_EQ(root->m_eViewStatus, VIEW_STATE_LOGIN);
}

using RootExit = RootFixture;

// During a download on the update page the first press marks the transfer
// and records stage 9; the update goes on behind the exit page and Cancel
// returns to it. The second press is the confirmed exit.
TEST_F(RootExit, ExitButtonDuringADownloadThenConfirmed) {
    createRoot();
    root->pushViewPage(VIEW_STATE_CAR_UPDATE, TRUE);
    engine.download = true;
    int before = statisticsRecords().GetLength();
    root->SendMessage(WM_COMMAND, MAKEWPARAM(IDC_BUTTON_EXIT, BN_CLICKED),
                      reinterpret_cast<LPARAM>(root->m_btnExit.m_hWnd));
    EXPECT_EQ(frame.transferMarks, 1);
    EXPECT_EQ(statisticsRecords().Mid(before).Left(5), CString(L"[D:9,"));
    EXPECT_EQ(root->m_eViewStatus, VIEW_STATE_EXIT);
    EXPECT_TRUE(engine.calls.empty());
    EXPECT_FALSE(root->m_btnConfig.IsWindowEnabled());
    EXPECT_TRUE(root->m_btnExit.IsWindowEnabled());

    root->m_pPageExit->OnBnClickedButtonCancel();
    EXPECT_EQ(root->m_pCurPage, static_cast<CBaseChildDialog*>(root->m_pPageCarUpdate));
    EXPECT_TRUE(root->m_pPageCarUpdate->IsWindowVisible());

    root->pushViewPage(VIEW_STATE_EXIT, TRUE);
    root->OnBnClickedButtonExit();
    pumpFor(30);
    EXPECT_FALSE(root->IsWindowVisible());
    std::vector<CString> expected = {L"stopAndJoin", L"writeResume", L"quit"};
    EXPECT_EQ(engine.calls, expected);
    EXPECT_EQ(frame.exitFlags, 1);
    EXPECT_EQ(mainFrame().sendStatics, 1);
}

TEST_F(RootExit, ExitButtonElsewhereRecordsNothingAndNeedsAFrameToExit) {
    createRoot();
    root->pushViewPage(VIEW_STATE_CAR_REG, TRUE);
    engine.download = true;
    int before = statisticsRecords().GetLength();
    root->OnBnClickedButtonExit();
    EXPECT_EQ(frame.transferMarks, 0);
    EXPECT_EQ(statisticsRecords().GetLength(), before);
    EXPECT_EQ(root->m_eViewStatus, VIEW_STATE_EXIT);

    root->m_pMainFrame = nullptr;
    root->OnBnClickedButtonExit();
    pumpFor(30);
    EXPECT_TRUE(root->IsWindowVisible());
    EXPECT_TRUE(engine.calls.empty());
    EXPECT_EQ(mainFrame().sendStatics, 0);
}

}  // namespace
