// The pooled message page's core: configuring, parameters, showing and
// closing, and the generic answers to the requester.
#include "tests/shell/shell_fixture.h"

#include "foundation/registered_messages.h"
#include "pages/account/dlg_page_config.h"
#include "pages/vehicle/dlg_car_finish.h"
#include "pages/vehicle/dlg_car_reg.h"
#include "resources/resource.h"
#include "shell/dlg_page_message.h"
#include "shell/message_types.h"
#include "ui/lang_library.h"
#include "ui/view_state.h"

namespace {

class MessagePage : public RootFixture {
protected:
    // A page from the pool, configured and shown over the registration page.
    CDlgPageMessage* ask(int type, CWnd* requester) {
        CDlgPageMessage* page = root->getMessagePage(SERVER_ERROR_NONE);
        EXPECT_NE(page, nullptr);
        page->setMessageType(type, requester);
        root->pushViewPage(VIEW_STATE_MESSAGE, TRUE);
        return page;
    }
    void click(CDlgPageMessage* page, UINT id) {
        page->SendMessage(WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(page->GetDlgItem(id)->m_hWnd));
    }
    void SetUp() override {
        RootFixture::SetUp();
        createRoot();
        root->pushViewPage(VIEW_STATE_CAR_REG, TRUE);
    }
};

TEST_F(MessagePage, EveryCloseForgetsTheParameters) {
    CDlgPageMessage* page = ask(SERVER_ERROR_USB_REMOVE_FAIL, recorder());
    page->setParam(L"E:", 0);
    page->setParam(L"F:", 0);
    EXPECT_EQ(page->getParam(0), CString(L"F:"));
    page->closePage(FALSE);
    EXPECT_TRUE(page->getParam(0).IsEmpty());
    page->setParam(L"G:", 1);
    page->closePage(TRUE);
    EXPECT_TRUE(page->m_mapParam.empty());
    EXPECT_TRUE(page->m_bClosed);
}

TEST_F(MessagePage, RequesterRules) {
    CDlgPageMessage* page = root->getMessagePage(SERVER_ERROR_NONE);
    page->setMessageType(SERVER_ERROR_NETWORK_FAIL, recorder());
    EXPECT_EQ(page->m_pRequestPage, static_cast<CWnd*>(recorder()));
    page->closePage(TRUE);
    // Free again: a null or settings-page requester leaves it without one.
    for (CWnd* requester : {static_cast<CWnd*>(nullptr), static_cast<CWnd*>(root->m_pPageConfig)}) {
        page->setMessageType(SERVER_ERROR_USB_LOCK, recorder());
        page->closePage(TRUE);
        page->setMessageType(SERVER_ERROR_USB_NTFS, requester);
        EXPECT_EQ(page->m_pRequestPage, nullptr);
    }
    // The settings page does hear the connection and language-list answers.
    for (int type : {SERVER_ERROR_NETWORK_FAIL, SERVER_ERROR_LANGUAGE_FAIL}) {
        page->closePage(TRUE);
        page->setMessageType(type, root->m_pPageConfig);
        EXPECT_EQ(page->m_pRequestPage, static_cast<CWnd*>(root->m_pPageConfig)) << type;
    }
    page->closePage(TRUE);
    // Open: a chained message without a requester keeps the one that asked.
    page->setMessageType(SERVER_ERROR_USB_LOCK, recorder());
    root->pushViewPage(VIEW_STATE_MESSAGE, TRUE);
    page->setMessageType(SERVER_ERROR_USB_NTFS, nullptr);
    EXPECT_EQ(page->m_pRequestPage, static_cast<CWnd*>(recorder()));
    page->setMessageType(SERVER_ERROR_USB_OVER, root->m_pPageConfig);
    EXPECT_EQ(page->m_pRequestPage, static_cast<CWnd*>(recorder()));
}

// The same message for the same requester only refreshes; the exit question
// then does not record itself as the message it replaced.
TEST_F(MessagePage, RepeatOnlyRefreshesAndSomeTypesAlwaysConfigure) {
    CDlgPageMessage* page = ask(SERVER_ERROR_ETC_PROGRAM_EXIT, root->m_pPageCarFinish);
    // The document boxes exist but show only for the documents.
    ASSERT_NE(page->m_pRichText1, nullptr);
    ASSERT_NE(page->m_pRichText2, nullptr);
    EXPECT_FALSE(page->m_pRichText1->IsWindowVisible());
    page->setMessageType(SERVER_ERROR_ETC_OPEN_SOURCE_LICENSE, root->m_pPageCarFinish);
    EXPECT_TRUE(page->m_pRichText1->IsWindowVisible());
    EXPECT_FALSE(page->m_pRichText2->IsWindowVisible());
    EXPECT_EQ(page->m_ePrevMessageType, SERVER_ERROR_ETC_PROGRAM_EXIT);
    page->setMessageType(SERVER_ETC_SAVE_TO_HDD, root->m_pPageCarFinish);
    EXPECT_FALSE(page->m_pRichText1->IsWindowVisible());
    EXPECT_TRUE(page->m_btnChangeFolder.IsWindowVisible());
    EXPECT_TRUE(page->m_editFolderFrame.IsWindowVisible());
    page->setMessageType(SERVER_ERROR_ETC_PROGRAM_EXIT, root->m_pPageCarFinish);
    EXPECT_FALSE(page->m_btnChangeFolder.IsWindowVisible());
    EXPECT_EQ(page->m_ePrevMessageType, SERVER_ETC_SAVE_TO_HDD);
    page->m_ePrevMessageType = SERVER_ERROR_NONE;
    EXPECT_EQ(page->m_ePrevMessageType, SERVER_ERROR_NONE);
    page->setMessageType(SERVER_ERROR_ETC_PROGRAM_EXIT, root->m_pPageCarFinish);
    EXPECT_EQ(page->m_ePrevMessageType, SERVER_ERROR_NONE);
    page->setMessageType(SERVER_ERROR_ETC_PROGRAM_EXIT, recorder());
    EXPECT_EQ(page->m_ePrevMessageType, SERVER_ERROR_ETC_PROGRAM_EXIT);
}

TEST_F(MessagePage, OkAndCancelGoBackAndAnswerTheRequester) {
    struct Case {
        UINT button;
        int type;
        const wchar_t* answer;
    } cases[] = {
        {IDC_BUTTON_OK, SERVER_ERROR_USB_LOCK, L"messageResult(61,1)"},
        {IDC_BUTTON_CANCEL, SERVER_ERROR_UPDATE_CHECK_MEMORY_USB, L"messageResult(74,0)"},
        {IDC_BUTTON_OK, SERVER_ETC_UPDATE_CANCEL_CONFIRM, L"messageResult(1014,1)"},
    };
    for (const Case& c : cases) {
        recorder()->clearCalls();
        root->m_bUpdateHeld = 1;
        CDlgPageMessage* page = ask(c.type, recorder());
        click(page, c.button);
        EXPECT_EQ(recorder()->callCount(c.answer), 1) << c.type;
        EXPECT_TRUE(page->m_bClosed);
        EXPECT_FALSE(page->IsWindowVisible());
        EXPECT_EQ(root->m_pCurPage, static_cast<CBaseChildDialog*>(root->m_pPageCarReg));
        EXPECT_EQ(root->m_bUpdateHeld, c.type == SERVER_ETC_UPDATE_CANCEL_CONFIRM ? 0 : 1);
    }
}

// A retry answer waits for the unlock thread with the UI running; a second
// OK in that time is not a second answer.
TEST_F(MessagePage, RetryWaitsForTheUnlockThreadAndIgnoresASecondOk) {
    CDlgPageMessage* page = ask(SERVER_ERROR_NETWORK_FAIL, recorder());
    page->m_btnOk.m_strCaption = CLangLibrary::loadLangString(12039);
    HWND ok = page->m_btnOk.m_hWnd;
    page->PostMessage(WM_COMMAND, MAKEWPARAM(IDC_BUTTON_OK, BN_CLICKED), reinterpret_cast<LPARAM>(ok));
    page->PostMessage(WM_COMMAND, MAKEWPARAM(IDC_BUTTON_OK, BN_CLICKED), reinterpret_cast<LPARAM>(ok));
    pumpUntil([&] { return recorder()->callCount(L"messageResult(20,1)") > 0; }, 3000);
    pumpFor(100);
    EXPECT_EQ(recorder()->callCount(L"messageResult(20,1)"), 1);
    EXPECT_FALSE(page->m_bOkProcessing);
    EXPECT_EQ(g_nButtonLock.load(), 0);

    // While an answer is pending, neither button answers.
    page = ask(SERVER_ERROR_USB_LOCK, recorder());
    page->m_bOkProcessing = TRUE;
    click(page, IDC_BUTTON_OK);
    click(page, IDC_BUTTON_CANCEL);
    g_bFolderPickerOpen = TRUE;
    page->m_bOkProcessing = FALSE;
    click(page, IDC_BUTTON_OK);
    EXPECT_EQ(recorder()->callCount(L"messageResult(61,1)"), 0);
    EXPECT_FALSE(page->m_bClosed);
}

// The exit question locks the exit button while it shows; OK goes to the
// root (the program ends), Cancel gives the button back without an answer.
TEST_F(MessagePage, ExitQuestionLocksExitAndAnswersTheRoot) {
    CDlgPageMessage* page = ask(SERVER_ERROR_ETC_PROGRAM_EXIT, recorder());
    ASSERT_EQ(root->exitLocks().size(), 1u);
    EXPECT_FALSE(root->m_btnExit.IsWindowEnabled());
    click(page, IDC_BUTTON_CANCEL);
    EXPECT_TRUE(root->exitLocks().empty());
    EXPECT_TRUE(root->m_btnExit.IsWindowEnabled());
    EXPECT_TRUE(page->m_bClosed);
    EXPECT_EQ(recorder()->callCount(L"messageResult(201,0)"), 0);
    EXPECT_EQ(root->m_pCurPage, static_cast<CBaseChildDialog*>(root->m_pPageCarReg));

    page = ask(SERVER_ERROR_ETC_PROGRAM_EXIT, recorder());
    click(page, IDC_BUTTON_OK);
    pumpFor(30);
    EXPECT_EQ(frame.exitFlags, 1);
    EXPECT_EQ(mainFrame().sendStatics, 1);
    EXPECT_EQ(recorder()->callCount(L"messageResult(201,1)"), 0);
}

TEST_F(MessagePage, EnterAnswersOnlyTheLoginRefusals) {
    for (int type : {SERVER_ERROR_LOGIN_WRONG_IDPWD, SERVER_ERROR_USB_LOCK}) {
        recorder()->clearCalls();
        CDlgPageMessage* page = ask(type, recorder());
        MSG msg{};
        msg.hwnd = page->m_hWnd;
        msg.message = WM_KEYDOWN;
        msg.wParam = VK_RETURN;
        EXPECT_TRUE(page->PreTranslateMessage(&msg));
        EXPECT_EQ(page->m_bClosed != FALSE, type == SERVER_ERROR_LOGIN_WRONG_IDPWD) << type;
        if (!page->m_bClosed) page->closePage(FALSE);
    }
}

// The root's hidden button asks a message of its own; the answer comes back
// to the root, which does nothing with it.
TEST_F(MessagePage, HiddenButtonAsksTheUsbMessageForTheRoot) {
    root->SendMessage(WM_COMMAND, MAKEWPARAM(1526, BN_CLICKED), 0);
    CDlgPageMessage* page = root->m_pCurMessagePage;
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(page->m_eMessageType, SERVER_ERROR_USB_OVER);
    EXPECT_EQ(page->m_pRequestPage, static_cast<CWnd*>(root.get()));
    EXPECT_EQ(root->m_eViewStatus, VIEW_STATE_MESSAGE);
    click(page, IDC_BUTTON_OK);
    EXPECT_EQ(root->m_pCurPage, static_cast<CBaseChildDialog*>(root->m_pPageCarReg));
    EXPECT_EQ(frame.exitFlags, 0);
}

}  // namespace
