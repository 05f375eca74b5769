// The message page over the settings page, on a root with every page: the
// removal question and its answer on one page, back to the settings, no
// answer by Enter, a full set-up for the same message again.
#include "tests/pages/page_fixture.h"
#include "tests/support/capture.h"

#include "foundation/code_tables.h"
#include "pages/vehicle/dlg_car_reg.h"
#include "pages/account/dlg_page_config.h"
#include "resources/resource.h"
#include "shell/dlg_page_message_for_config.h"
#include "shell/dlg_root.h"
#include "shell/shell_engine.h"
#include "shell/shell_frame.h"
#include "ui/session_flags.h"
#include "ui/view_state.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

class IdleEngine : public IShellEngine {
public:
    bool isDownloadActive() override { return false; }
    bool isUnzipActive() override { return false; }
    bool isCopyActive() override { return false; }
    bool isIdle() override { return true; }
    void stopAndJoin() override {}
    void writeResumeVersionFiles() override {}
    void postQuit() override {}
    void closeOwnHandles(const CString&) override {}
};

class QuietFrame : public IShellFrame {
public:
    void setExitFlag() override {}
    void setTransferRunning() override {}
    InfInfo* currentEntry() override { return nullptr; }
    BOOL hasVehicleList() override { return TRUE; }
    void clearVehicleList() override {}
    BOOL hasOwnVerFile(const CString&) override { return FALSE; }
};

class MessageForConfig : public testing::Test {
protected:
    void SetUp() override {
        useLanguage(REGION_US, LANGUAGE_EN);
        g_bSignedIn = TRUE;
        g_bFolderPickerOpen = FALSE;
        setShellEngine(&engine);
        root = std::make_unique<CDlgRoot>(&frame);
        ASSERT_TRUE(root->Create(IDD_BASE_DIALOG, nullptr));
        root->SetWindowPos(nullptr, 40, 40, 900, 680, SWP_NOZORDER);
        root->ShowWindow(SW_SHOW);
        pumpFor(80);
        page = root->m_pPageMsgForConfig;
        ASSERT_NE(nullptr, page);
        ASSERT_NE(nullptr, page->GetSafeHwnd());
        root->pushViewPage(VIEW_STATE_CONFIG, TRUE);
    }
    void TearDown() override {
        if (root && root->GetSafeHwnd()) root->DestroyWindow();
        root.reset();
        setShellEngine(nullptr);
        g_bSignedIn = FALSE;
        pumpFor(20);
    }
    void ask(int type, CWnd* requester) {
        page->setMessageType(type, requester);
        root->pushViewPage(VIEW_STATE_PAGE_FOR_CONFIG, TRUE);
        pumpFor(80);
    }
    void click(CWnd& button) {
        ASSERT_TRUE(button.IsWindowVisible());
        CRect r;
        button.GetClientRect(&r);
        focusWindow(page->m_hWnd);
        // Two clicks on one spot within the double-click time make a
        // double click, which a button does not take as a press.
        DWORD since = GetTickCount() - lastClick;
        if (since < GetDoubleClickTime()) pumpFor(GetDoubleClickTime() - since + 50);
        clickAt(button.m_hWnd, r.Width() / 2, r.Height() / 2);
        lastClick = GetTickCount();
    }

    IdleEngine engine;
    QuietFrame frame;
    std::unique_ptr<CDlgRoot> root;
    CDlgPageMessageForConfig* page = nullptr;
    DWORD lastClick = 0;
};

TEST_F(MessageForConfig, RemovalQuestionBecomesItsAnswerOnThePageThenOkReturnsToTheSettings) {
    EXPECT_EQ(VIEW_STATE_MESSAGE, page->m_ePageViewStatus);
    ask(SERVER_ETC_REMOVE_DOWNLOAD, nullptr);
    EXPECT_TRUE(page->IsWindowVisible());
    EXPECT_FALSE(root->m_pPageConfig->IsWindowVisible());
    EXPECT_TRUE(page->m_btnOk.IsWindowVisible());
    EXPECT_TRUE(page->m_btnCancel.IsWindowVisible());
    EXPECT_FALSE(root->m_btnConfig.m_bEnabled) << "settings wait for the answer";
    EXPECT_FALSE(root->m_btnLogout.m_bEnabled);
    WindowShot shot = saveScreenshot(root->m_hWnd, L"CDlgPageMessageForConfig",
                   L"the root with the settings' removal question: its heading in the grey band, the "
                   L"question centred under it, OK and Cancel captioned at the bottom",
                   true);
    RECT band = {0, 60, 900, 120};
    int bandPixels = shot.count(0xDFDFDF, band);
    EXPECT_GT(bandPixels, 900 * 60 / 2);
    EXPECT_LT(bandPixels, 900 * 60 - 100) << "no name painted";

    click(page->m_btnOk);
    EXPECT_EQ(SERVER_ETC_DOWNLOAD_REMOVED, page->m_eMessageType);
    EXPECT_TRUE(page->IsWindowVisible()) << "the answer stays on the same page";
    EXPECT_FALSE(page->m_btnCancel.IsWindowVisible());

    click(page->m_btnOk);
    EXPECT_FALSE(page->IsWindowVisible());
    EXPECT_TRUE(page->m_bClosed);
    EXPECT_EQ(root->m_pPageConfig, root->m_pCurPage);
    EXPECT_TRUE(root->m_pPageConfig->IsWindowVisible());
}

TEST_F(MessageForConfig, CancelOnTheRemovalQuestionAnswersOnlyARequesterOtherThanItself) {
    // A stand-in page that records its answers (the real pages act on them).
    CPlaceholderPage recorder(IDD_CAR_REG, root.get(), L"Recorder", VIEW_STATE_NONE);
    ASSERT_TRUE(recorder.Create(IDD_CAR_REG, root.get()));
    CPlaceholderPage* requester = &recorder;
    struct {
        CWnd* requester;
        int answers;
    } cases[] = {{nullptr, 0}, {requester, 1}};
    for (const auto& c : cases) {
        requester->clearCalls();
        ask(SERVER_ETC_REMOVE_DOWNLOAD, c.requester);
        click(page->m_btnCancel);
        EXPECT_FALSE(page->IsWindowVisible());
        EXPECT_EQ(c.answers, requester->callCount(L"messageResult(1005,0)"));
        EXPECT_EQ(root->m_pPageConfig, root->m_pCurPage);
    }
    recorder.DestroyWindow();
}

// The pooled page answers Enter for some messages; this page never does.
TEST_F(MessageForConfig, EnterAnswersNoMessage) {
    for (int type : {SERVER_ERROR_UPDATE_CHECK_SAVE_DRIVE_UPDATE_HDD, SERVER_ERROR_UPDATE_CHECK_SAVE_FOLDER_UPDATE_HDD,
                     SERVER_ETC_REMOVE_DOWNLOAD, SERVER_ETC_DOWNLOAD_REMOVED, SERVER_ERROR_LOGIN_WRONG_IDPWD}) {
        ask(type, nullptr);
        focusWindow(page->m_hWnd);
        pressKeys({VK_RETURN});
        EXPECT_TRUE(page->IsWindowVisible()) << type;
        EXPECT_EQ(type, page->m_eMessageType);
        page->closePage(FALSE);
    }
}

TEST_F(MessageForConfig, TheSameMessageAgainIsSetUpInFull) {
    ask(SERVER_ETC_DOWNLOAD_REMOVED, nullptr);
    page->m_btnOk.ShowWindow(SW_HIDE);
    page->setMessageType(SERVER_ETC_DOWNLOAD_REMOVED, nullptr);
    EXPECT_TRUE(page->m_btnOk.IsWindowVisible());
}

}  // namespace
