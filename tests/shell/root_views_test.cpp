// The root's views, page history and message-page pool, with the stand-in
// pages and real windows.
#include "tests/shell/shell_fixture.h"

#include "foundation/globalfunc.h"
#include "foundation/regsetting.h"
#include "pages/account/dlg_hidden.h"
#include "pages/account/dlg_info_image_popup.h"
#include "pages/account/dlg_hidden_pwd.h"
#include "pages/account/dlg_page_config.h"
#include "pages/account/dlg_page_login.h"
#include "pages/vehicle/dlg_car_change.h"
#include "pages/vehicle/dlg_car_finish.h"
#include "pages/vehicle/dlg_car_reg.h"
#include "shell/dlg_page_message.h"
#include "shell/dlg_page_message_exit.h"
#include "shell/dlg_page_message_for_config.h"
#include "shell/message_types.h"
#include "ui/view_state.h"

namespace {

// Every constant that the log has a name for carries that name.
TEST(MessageTypes, NamesMatchTheLogTable) {
#define ROW(name) {name, L"" #name}
    struct Row {
        int value;
        const wchar_t* name;
    } rows[] = {
        ROW(SERVER_ERROR_USB_REMOVE_FAIL), ROW(SERVER_ERROR_NETWORK_FAIL), ROW(SERVER_ERROR_LOGIN_WRONG_IDPWD),
        ROW(SERVER_ERROR_LOGIN_INVALID_VIN), ROW(SERVER_ERROR_LOGIN_NOT_SUPPORT_UPDATE_VIN),
        ROW(SERVER_ERROR_LOGIN_AUTHORITY), ROW(SERVER_ERROR_LOGIN_SYSTEM), ROW(SERVER_ERROR_LOGIN_SERVER_UPDATE),
        ROW(SERVER_ERROR_LOGIN_UNKNOWN), ROW(SERVER_ERROR_USB_ZERO), ROW(SERVER_ERROR_USB_LOCK),
        ROW(SERVER_ERROR_USB_NTFS), ROW(SERVER_ERROR_USB_OVER), ROW(SERVER_ERROR_UPDATE_CHECK_BACKUP),
        ROW(SERVER_ERROR_UPDATE_CHECK_INF_LIMIT), ROW(SERVER_ERROR_UPDATE_CHECK_INF_DOWNLOAD_FAIL),
        ROW(SERVER_ERROR_UPDATE_CHECK_MEMORY_USB), ROW(SERVER_ERROR_UPDATE_CHECK_MEMORY_UPDATE_USB),
        ROW(SERVER_ERROR_UPDATE_CHECK_MEMORY_HDD), ROW(SERVER_ERROR_FORMAT_FAIL),
        ROW(SERVER_ERROR_UPDATE_CHECK_MEMORY_UPDATE_HDD), ROW(SERVER_ERROR_UPDATE_CHECK_SAVE_DRIVE_UPDATE_HDD),
        ROW(SERVER_ERROR_UPDATE_CHECK_SAVE_FOLDER_UPDATE_HDD),
        ROW(SERVER_ERROR_UPDATE_CHECK_LASTEST_VERSION_ENDUSER),
        ROW(SERVER_ERROR_UPDATE_CHECK_LASTEST_VERSION_DEALERPRE), ROW(SERVER_ERROR_DOWNLOAD_ZIP),
        ROW(SERVER_ERROR_DOWNLOAD_FILE_SIZE), ROW(SERVER_ERROR_DOWNLOAD_FILE_CRC), ROW(SERVER_ERROR_DOWNLOAD_FAIL),
        ROW(SERVER_ERROR_COPY_FAIL), ROW(SERVER_ERROR_COPY_NOT_FOUND_FILE), ROW(SERVER_ERROR_COPY_FILE_SIZE),
        ROW(SERVER_ERROR_LANGUAGE_FAIL), ROW(SERVER_ERROR_ETC_UPDATE_CANCEL), ROW(SERVER_ERROR_CHANGE_FOLDER_FAIL),
        ROW(SERVER_ERROR_CHANGE_FOLDER_READONLY), ROW(SERVER_ERROR_ETC_CHANGE_FOLDER),
        ROW(SERVER_ERROR_ETC_PROGRAM_EXIT), ROW(SERVER_ERROR_ETC_PROGRAM_EXIT_UPDATE),
        ROW(SERVER_ERROR_ETC_OPEN_SOURCE_LICENSE), ROW(SERVER_ERROR_ETC_EULA), ROW(SERVER_ERROR_UNKNOWN),
        ROW(SERVER_ERROR_NONE), ROW(SERVER_FINISH_UPDATE_GUIDE), ROW(SERVER_ERROR_LOGIN_INCORRECT_ID_PASSWORD),
        ROW(SERVER_ERROR_LOGIN_PASSWORD_EXPIRED), ROW(SERVER_ERROR_LOGIN_FAILED_EXCEEDED_COUNT),
        ROW(SERVER_ERROR_LOGIN_PASSWORD_NEEDS_REST), ROW(SERVER_ERROR_LOGIN_ACCESS_DENIED),
        ROW(SERVER_ERROR_LOGIN_TEMPORARY_PASSWORD_EXPIRED), ROW(SERVER_ERROR_LOGIN_INVALID_LOGIN_ATTEMPTS),
        ROW(SERVER_ERROR_LOGIN_DIFFERENT_TOKEN_ID), ROW(SERVER_ERROR_LOGIN_UNKOWN),
    };
#undef ROW
    for (const Row& row : rows) {
        EXPECT_EQ(CGlobalFunc::getErrorName(static_cast<unsigned>(row.value)), CString(row.name)) << row.value;
    }
    // The views' names come from the same module.
    EXPECT_EQ(CGlobalFunc::getViewStateName(VIEW_STATE_PAGE_FOR_CONFIG), CString(L"VIEW_STATE_PAGE_FOR_CONFIG"));
}

using RootViews = RootFixture;

TEST_F(RootViews, StartsOnLoginAsTheFirstBaseViewAndHistoryEntry) {
    createRoot();
    EXPECT_EQ(root->m_eViewStatus, VIEW_STATE_LOGIN);
    EXPECT_EQ(root->m_eBaseViewStatus, VIEW_STATE_LOGIN);
    EXPECT_EQ(root->m_eBaseViewStatusOld, VIEW_STATE_NONE);
    ASSERT_EQ(root->m_vecPageHistory.size(), 1u);
    EXPECT_EQ(root->m_vecPageHistory[0], static_cast<CBaseChildDialog*>(root->m_pPageLogin));
    EXPECT_EQ(calls(root->m_pPageLogin, L"initPage"), 1);
    EXPECT_TRUE(root->m_pPageLogin->IsWindowVisible());
    CString title;
    root->GetWindowText(title);
    EXPECT_EQ(title, CString(L"Kestrune"));
    // The settings message page is its own view but carries the message view.
    EXPECT_EQ(root->m_pPageMsgForConfig->m_ePageViewStatus, VIEW_STATE_MESSAGE);
    EXPECT_EQ(root->m_pPageExit->m_ePageViewStatus, VIEW_STATE_MESSAGE);
}

TEST_F(RootViews, SameViewTwiceDoesNothingTheSecondTime) {
    createRoot();
    EXPECT_EQ(root->pushViewPage(VIEW_STATE_CAR_REG, TRUE), 1);
    size_t history = root->m_vecPageHistory.size();
    // A second showPage would make the page visible again.
    root->m_pPageCarReg->ShowWindow(SW_HIDE);
    EXPECT_EQ(root->pushViewPage(VIEW_STATE_CAR_REG, TRUE), 0);
    EXPECT_EQ(root->m_vecPageHistory.size(), history);
    EXPECT_FALSE(root->m_pPageCarReg->IsWindowVisible());
}

// An overlay and back: no second initPage, the history keeps the base
// pages, and the view id is the page's own (100 for the registration page),
// which must not close the hidden-mode door.
TEST_F(RootViews, OverlayAndPullComeBackWithoutInitAndKeepHiddenModeOpen) {
    createRoot();
    root->pushViewPage(VIEW_STATE_CAR_REG, TRUE);
    root->showTitleButtons(1);
    root->pushViewPage(VIEW_STATE_CONFIG, TRUE);
    EXPECT_EQ(root->m_eBaseViewStatus, VIEW_STATE_CAR_REG);
    EXPECT_FALSE(root->allowsHiddenMode());
    root->pullViewPage();
    EXPECT_EQ(root->m_pCurPage, static_cast<CBaseChildDialog*>(root->m_pPageCarReg));
    EXPECT_TRUE(root->m_pPageCarReg->IsWindowVisible());
    EXPECT_EQ(root->m_eViewStatus, VIEW_STATE_NONE);
    ASSERT_EQ(root->m_vecPageHistory.size(), 2u);
    EXPECT_EQ(root->m_vecPageHistory[0], static_cast<CBaseChildDialog*>(root->m_pPageLogin));
    EXPECT_TRUE(root->allowsHiddenMode());

    // Ctrl+Shift+F5 on the page itself opens the hidden-mode password view.
    focusWindow(root->m_pPageCarReg->m_hWnd);
    pressKeys({VK_CONTROL, VK_SHIFT, VK_F5});
    EXPECT_EQ(root->m_eViewStatus, VIEW_STATE_HIDDEN_PWD);
    EXPECT_EQ(root->m_pCurPage, static_cast<CBaseChildDialog*>(root->m_pPageHiddenPWD));
}

TEST_F(RootViews, ClearedHistoryEntriesAreSkippedAndEmptied) {
    createRoot();
    root->pushViewPage(VIEW_STATE_CAR_REG, TRUE);
    root->pushViewPage(VIEW_STATE_LOGIN, TRUE);
    ASSERT_EQ(root->m_vecPageHistory.size(), 3u);
    EXPECT_EQ(root->m_vecPageHistory[0], nullptr);
    root->pullViewPage();
    EXPECT_EQ(root->m_pCurPage, static_cast<CBaseChildDialog*>(root->m_pPageCarReg));
    root->pullViewPage();
    EXPECT_TRUE(root->m_vecPageHistory.empty());
    EXPECT_EQ(root->m_pCurPage, static_cast<CBaseChildDialog*>(root->m_pPageCarReg));
}

TEST_F(RootViews, DeclinedPageIsSkippedAndUnknownViewKeepsThePage) {
    createRoot();
    // The search page opens the image guide over itself as it comes up.
    root->pushViewPage(VIEW_STATE_CAR_CHANGE, TRUE);
    CBaseChildDialog* guide = root->m_pCurPage;
    ASSERT_NE(guide, nullptr);
    EXPECT_EQ(root->m_eViewStatus, VIEW_STATE_INFO_IMAGE_POPUP);
    root->pushViewPage(4242, TRUE);
    EXPECT_EQ(root->m_pCurPage, guide);
    EXPECT_EQ(root->m_eBaseViewStatus, VIEW_STATE_CAR_CHANGE);
    EXPECT_TRUE(guide->IsWindowVisible());

    // With the brand's "do not show again" stored the guide declines, and
    // its skip leads on to the search page.
    root->pushViewPage(VIEW_STATE_LOGIN, TRUE);
    const int brand = CRegSetting::getLastUserCorp();
    CRegSetting::setCheckedSoftwareModelGuide(brand, TRUE);
    root->pushViewPage(VIEW_STATE_CAR_CHANGE, TRUE);
    CRegSetting::setCheckedSoftwareModelGuide(brand, FALSE);
    EXPECT_EQ(root->m_eViewStatus, VIEW_STATE_CAR_CHANGE);
    EXPECT_FALSE(root->m_pPageInfoImagePopup->IsWindowVisible());
}

// The pool: which page a request gets.
TEST_F(RootViews, PoolHandsOutFreeOpenAndNewPages) {
    createRoot();
    CDlgPageMessage* first = root->getMessagePage(SERVER_ERROR_NONE);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(root->m_pCurMessagePage, first);

    // free: the same page again, nothing new made
    EXPECT_EQ(root->getMessagePage(SERVER_ERROR_NONE), first);
    EXPECT_EQ(pool().size(), 1u);

    // open and shown: handed back unchanged; a second push of the message
    // view only marks it as asked again
    first->setMessageType(SERVER_ERROR_NETWORK_FAIL, root->m_pPageCarReg);
    root->pushViewPage(VIEW_STATE_MESSAGE, TRUE);
    EXPECT_FALSE(first->m_bClosed);
    EXPECT_EQ(root->getMessagePage(SERVER_ERROR_NONE), first);
    size_t history = root->m_vecPageHistory.size();
    root->pushViewPage(VIEW_STATE_MESSAGE, TRUE);
    EXPECT_EQ(root->m_bMessageReshown, 1);
    EXPECT_EQ(root->m_vecPageHistory.size(), history);

    // open but hidden by a view switch: not handed out, a new page is made
    root->pushViewPage(VIEW_STATE_CAR_REG, TRUE);
    EXPECT_EQ(root->m_bMessageReshown, 0);
    CDlgPageMessage* second = root->getMessagePage(SERVER_ERROR_NONE);
    ASSERT_NE(second, nullptr);
    EXPECT_NE(second, first);
    EXPECT_EQ(root->m_pCurMessagePage, second);

    // busy: a free page whose OK still waits is passed over
    first->closePage(TRUE);
    first->m_bOkProcessing = TRUE;
    EXPECT_EQ(root->getMessagePage(SERVER_ERROR_NONE), second);
    first->m_bOkProcessing = FALSE;
    EXPECT_EQ(root->getMessagePage(SERVER_ERROR_NONE), first);
    EXPECT_EQ(pool().size(), 2u);
    EXPECT_EQ(root->findMessagePage(SERVER_ERROR_NETWORK_FAIL), nullptr);
}

TEST_F(RootViews, TwoExitQuestionsUseTwoPagesAndFindFindsTheOpenOne) {
    createRoot();
    CDlgPageMessage* first = root->getMessagePage(SERVER_ERROR_ETC_PROGRAM_EXIT);
    first->setMessageType(SERVER_ERROR_ETC_PROGRAM_EXIT, root->m_pPageCarFinish);
    root->pushViewPage(VIEW_STATE_MESSAGE, TRUE);
    CDlgPageMessage* second = root->getMessagePage(SERVER_ERROR_ETC_PROGRAM_EXIT);
    ASSERT_NE(second, nullptr);
    EXPECT_NE(second, first);
    EXPECT_EQ(root->findMessagePage(SERVER_ERROR_ETC_PROGRAM_EXIT), first);
    // Any other request still gets the open page.
    EXPECT_EQ(root->getMessagePage(SERVER_ERROR_NONE), first);
}

// Without a root window no page window can be made: null, nothing kept.
TEST_F(RootViews, PageWhoseWindowFailsIsNotHandedOut) {
    CDlgRoot windowless(&frame);
    EXPECT_EQ(windowless.getMessagePage(SERVER_ERROR_NONE), nullptr);
    ASSERT_NE(windowless.m_pMessagePages, nullptr);
    EXPECT_TRUE(windowless.m_pMessagePages->empty());
    EXPECT_EQ(windowless.m_pCurMessagePage, nullptr);
    EXPECT_EQ(windowless.findMessagePage(SERVER_ERROR_NONE), nullptr);
}

// Alt+F4 aimed at the root: swallowed on login, an exit request elsewhere.
TEST_F(RootViews, AltF4OnTheRootFollowsTheLoginRule) {
    createRoot();
    MSG msg{};
    msg.hwnd = root->m_hWnd;
    msg.message = WM_SYSKEYDOWN;
    msg.wParam = VK_F4;
    EXPECT_TRUE(root->PreTranslateMessage(&msg));
    pumpFor(30);
    EXPECT_EQ(mainFrame().sendStatics, 0);
    root->pushViewPage(VIEW_STATE_CAR_REG, TRUE);
    focusWindow(root->m_hWnd);
    pressKeys({VK_MENU, VK_F4});
    EXPECT_EQ(mainFrame().sendStatics, 1);
}

}  // namespace
