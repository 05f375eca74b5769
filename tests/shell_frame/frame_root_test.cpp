// The frame with its root, as the start-up chain builds them: the language
// broadcast, the notice timer, drive removal during a transfer and the
// connectivity thread on the update page.
#include "descriptors/inf_info.h"
#include "engine/copy_manager.h"
#include "engine/download_manager.h"
#include "engine/function_manager.h"
#include "engine/unzip_manager.h"
#include "engine/usb_detector.h"
#include "engine/vercheck_manager.h"
#include "foundation/config_file.h"
#include "foundation/logmanager.h"
#include "foundation/private_messages.h"
#include "foundation/registered_messages.h"
#include "foundation/regsetting.h"
#include "pages/account/dlg_page_login.h"
#include "pages/account/placeholder_page.h"
#include "pages/vehicle/dlg_car_change.h"
#include "pages/vehicle/dlg_car_finish.h"
#include "pages/vehicle/dlg_car_reg.h"
#include "pages/vehicle/dlg_car_update.h"
#include "resources/resource.h"
#include "shell/dlg_page_message.h"
#include "shell/dlg_page_message_exit.h"
#include "shell/dlg_root.h"
#include "shell/message_types.h"
#include "shell/main_frame.h"
#include "shell/shell_engine.h"
#include "tests/shell_frame/standin_log.h"
#include "tests/support/capture.h"
#include "tests/support/test_support.h"
#include "ui/dlg_msg_box.h"
#include "ui/lang_library.h"
#include "ui/view_state.h"
#include "webclient/connectivity.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>

#include <atomic>
#include <map>
#include <memory>
#include <thread>

namespace {

bool waitFor(const std::function<bool()>& done, DWORD ms) {
    DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start > ms) return false;
        pumpMessages(20);
    }
    return true;
}

// Counts the messages a window receives, by message and parameters.
class MessageCounter {
public:
    explicit MessageCounter(HWND hwnd) : m_hwnd(hwnd) { SetWindowSubclass(hwnd, proc, 1, reinterpret_cast<DWORD_PTR>(this)); }
    ~MessageCounter() { RemoveWindowSubclass(m_hwnd, proc, 1); }
    int count(UINT message, WPARAM w, LPARAM l) const {
        auto it = m_seen.find({message, w, l});
        return it == m_seen.end() ? 0 : it->second;
    }

private:
    static LRESULT CALLBACK proc(HWND h, UINT m, WPARAM w, LPARAM l, UINT_PTR, DWORD_PTR self) {
        ++reinterpret_cast<MessageCounter*>(self)->m_seen[{m, w, l}];
        return DefSubclassProc(h, m, w, l);
    }
    HWND m_hwnd;
    std::map<std::tuple<UINT, WPARAM, LPARAM>, int> m_seen;
};

int occurrences(const CString& text, const CString& what) {
    int n = 0;
    for (int at = text.Find(what); at >= 0; at = text.Find(what, at + 1)) ++n;
    return n;
}

}  // namespace

class FrameWithRoot : public ::testing::Test {
protected:
    void SetUp() override {
        static TempDir logs;
        static const bool ready = (g_logManager.init(logs.path(), L"frame.log", 1 << 20, 10, 1),
                                   CConfigFile::getInstance()->load());
        ASSERT_TRUE(ready);
        CRegSetting::setDataPath(m_data.path());
        CMainFrame::setLiveUpdateRunner([](CMainFrame*) { return CMainFrame::LiveUpdateOutcome{}; });
        CMainFrame::setBoxRunner([](CDlgMsgBox&) { return static_cast<INT_PTR>(IDOK); });
        frame = new CMainFrame;
        AfxGetApp()->m_pMainWnd = frame;
        ASSERT_TRUE(frame->LoadFrame(IDR_MAINFRAME, 0xCF8000));
        root = frame->m_pDlgRoot.load();
        ASSERT_TRUE(root) << "the fonts of the fixture are installed";
        pumpMessages(200);
    }
    void TearDown() override {
        setShellEngine(nullptr);
        setConnectivityProbe({});
        AfxGetApp()->m_pMainWnd = nullptr;
        if (frame) frame->DestroyWindow();
        CMainFrame::setLiveUpdateRunner({});
        CMainFrame::setBoxRunner({});
        CRegSetting::setDataPath(CString());
    }

    TempDir m_data;
    CMainFrame* frame = nullptr;
    CDlgRoot* root = nullptr;
};

TEST_F(FrameWithRoot, RootIsCentredOnLoginAndTheFrameHidden) {
    RECT r{};
    ::GetWindowRect(root->GetSafeHwnd(), &r);
    EXPECT_EQ(900, r.right - r.left);
    EXPECT_EQ(680, r.bottom - r.top);
    EXPECT_EQ(VIEW_STATE_LOGIN, root->getViewStatus());
    EXPECT_FALSE(::IsWindowVisible(frame->GetSafeHwnd()));
    EXPECT_FALSE(CRegSetting::getDataPath().IsEmpty());
}

TEST_F(FrameWithRoot, LanguageSwitchReachesEveryPageAndControlOnce) {
    // The settings pages grew from the stand-in page and are counted by
    // their windows, as the other written pages are.
    std::vector<std::unique_ptr<MessageCounter>> pages;
    std::vector<CString> names;
    for (HWND child = ::GetWindow(root->GetSafeHwnd(), GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        if (auto* page = dynamic_cast<CPlaceholderPage*>(CWnd::FromHandlePermanent(child))) {
            pages.push_back(std::make_unique<MessageCounter>(child));
            names.push_back(page->className());
        }
    }
    // The login page is a real page that keeps a call record of its own;
    // the other written pages are counted by their windows.
    CDlgPageLogin* login = root->m_pPageLogin;
    ASSERT_TRUE(login);
    login->clearCalls();
    ASSERT_TRUE(root->m_pPageExit);
    MessageCounter okButton(root->m_pPageExit->m_btnOk.GetSafeHwnd());
    MessageCounter exitPage(root->m_pPageExit->GetSafeHwnd());
    MessageCounter searchPage(root->m_pPageCarChange->GetSafeHwnd());
    MessageCounter regPage(root->m_pPageCarReg->GetSafeHwnd());
    MessageCounter finishPage(root->m_pPageCarFinish->GetSafeHwnd());
    frame->broadcastChangeLanguage();
    EXPECT_EQ(1, regPage.count(RWM_CHANGE_LANGUAGE, 0, 0));
    EXPECT_EQ(1, finishPage.count(RWM_CHANGE_LANGUAGE, 0, 0));
    for (size_t i = 0; i < pages.size(); ++i)
        EXPECT_EQ(1, pages[i]->count(RWM_CHANGE_LANGUAGE, 0, 0)) << CStringA(names[i]).GetString();
    EXPECT_EQ(1, login->callCount(L"changeLanguage"));
    EXPECT_EQ(1, exitPage.count(RWM_CHANGE_LANGUAGE, 0, 0));
    EXPECT_EQ(1, searchPage.count(RWM_CHANGE_LANGUAGE, 0, 0));
    EXPECT_EQ(1, okButton.count(RWM_CHANGE_LANGUAGE, 0, 0));

    // The settings page's switch goes through the frame the same way.
    login->clearCalls();
    ASSERT_TRUE(CLangLibrary::changeLanguage(LANGUAGE_EN, TRUE));
    for (size_t i = 0; i < pages.size(); ++i)
        EXPECT_EQ(2, pages[i]->count(RWM_CHANGE_LANGUAGE, 0, 0)) << CStringA(names[i]).GetString();
    EXPECT_EQ(1, login->callCount(L"changeLanguage"));
    EXPECT_EQ(2, okButton.count(RWM_CHANGE_LANGUAGE, 0, 0));
}

TEST_F(FrameWithRoot, NoticeTimerFetchesOnceAndParallelFetchesTakeTurns) {
    const size_t before = standin_log::of("GetNotice").size();
    frame->SetTimer(1004, 100, nullptr);
    EXPECT_TRUE(waitFor([&] { return standin_log::of("GetNotice").size() == before + 1; }, 15000));
    pumpMessages(1000);
    EXPECT_EQ(before + 1, standin_log::of("GetNotice").size());

    // Each reply takes a second: one parser, so two fetches take two.
    writeBytes(standin_log::folder() + L"faults.json",
               "[{\"path\": \"/api/*/GetNotice\", \"stall\": 1.0, \"stall_after\": -1, \"times\": 2}]");
    const DWORD start = GetTickCount();
    std::thread a([&] { CMainFrame::NoticeThread(frame); });
    std::thread b([&] { CMainFrame::NoticeThread(frame); });
    while (!waitFor([&] { return standin_log::of("GetNotice").size() >= before + 3; }, 100)) {
    }
    a.join();
    b.join();
    EXPECT_GE(GetTickCount() - start, 1900u);
    writeBytes(standin_log::folder() + L"faults.json", "[]");
    EXPECT_EQ(0u, CMainFrame::NoticeThread(nullptr));
    stNoticeResult result;
    frame->m_noticeParser.getResult(result);
    EXPECT_EQ(0, result.nStatus);
}

// A close does not wait for a notice that a slow server holds up: the
// download is broken off, the join succeeds within its bound although the
// server would keep the reply for minutes, and no notice is shown.
TEST_F(FrameWithRoot, CloseBreaksOffASlowNoticeDownload) {
    const struct {
        const char* what;
        const char* fault;
    } cases[] = {
        {"no status line yet", R"([{"path": "/api/*/GetNotice", "stall": 600, "stall_after": -1, "times": 1}])"},
        {"part of the body sent", R"([{"path": "/api/*/GetNotice", "stall": 600, "stall_after": 16, "times": 1}])"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        if (!frame) SetUp();
        const size_t before = standin_log::of("GetNotice").size();
        writeBytes(standin_log::folder() + L"faults.json", c.fault);
        frame->SetTimer(1004, 10, nullptr);
        // The request is logged when the server starts holding it.
        EXPECT_TRUE(waitFor([&] { return standin_log::of("GetNotice").size() > before; }, 30000));
        EXPECT_TRUE(frame->stopThreads());
        stNoticeResult result;
        frame->m_noticeParser.getResult(result);
        EXPECT_EQ(2, result.nStatus);
        writeBytes(standin_log::folder() + L"faults.json", "[]");
        TearDown();
        frame = nullptr;
    }
}

TEST_F(FrameWithRoot, DestinationRemovedDuringCopyIsReportedOncePerNotice) {
    struct Case {
        const char* what;
        bool held;
        bool formatting;
        int reports;
    } cases[] = {{"copying", false, false, 1}, {"paused", true, false, 0}, {"formatting", false, true, 0}};
    CWnd* page = root->m_pPageCarUpdate;
    ASSERT_TRUE(root->m_pPageCarUpdate);
    root->m_pCurPage = root->m_pPageCarUpdate;
    frame->m_strSelectedDrive = L"Q:\\";
    copy_manager::getInstance()->m_bActive = true;
    for (const Case& c : cases) {
        MessageCounter counter(page->GetSafeHwnd());
        root->m_bUpdateHeld = c.held ? 1 : 0;
        function_manager::getInstance()->m_nFormatting = c.formatting ? 1 : 0;
        const int records = occurrences(g_logManager.getStatisticsContext().errorLog, L"ED:REMOVE_USB,VN:Q");
        frame->SendMessage(RWM_USBDETECTOR_MESSAGE, L'Q', 0);
        frame->SendMessage(RWM_USBDETECTOR_MESSAGE, L'Q', 1);  // an arrival changes nothing
        EXPECT_EQ(c.reports, counter.count(UM_MODULE_ERROR, MODULE_COPY, MODULE_ERROR_COPY_TARGET)) << c.what;
        EXPECT_EQ(records + c.reports, occurrences(g_logManager.getStatisticsContext().errorLog, L"ED:REMOVE_USB,VN:Q"))
            << c.what;
    }
    copy_manager::getInstance()->m_bActive = false;
    function_manager::getInstance()->m_nFormatting = 0;
    root->m_bUpdateHeld = 0;
    frame->m_strSelectedDrive.Empty();
}

TEST_F(FrameWithRoot, ConnectionLostWhileDownloadingTellsThePageOncePerLoss) {
    CDlgCarUpdate* update = root->m_pPageCarUpdate;
    ASSERT_TRUE(update);
    update->m_nMsgType = UPDATE_PROGRESS_STATE_DOWNLOAD;
    std::atomic<bool> online{true};
    setConnectivityProbe([&](DWORD& flags) {
        flags = 0;
        return online.load();
    });
    root->pushViewPage(VIEW_STATE_CAR_UPDATE, TRUE);
    MessageCounter counter(update->GetSafeHwnd());
    const CString loss = L"PS:3,ED:1000]";
    const int records = occurrences(g_logManager.getStatisticsContext().errorLog, loss);
    // The page re-checks on its own, finds no connection either, records the
    // loss too and shows message 20; back from it, the page downloads again.
    auto pageGivesUp = [&] {
        EXPECT_TRUE(waitFor([&] { return root->findMessagePage(SERVER_ERROR_NETWORK_FAIL) != nullptr; }, 10000));
        if (CDlgPageMessage* message = root->findMessagePage(SERVER_ERROR_NETWORK_FAIL)) message->closePage(FALSE);
        update->m_nMsgType = UPDATE_PROGRESS_STATE_DOWNLOAD;
    };
    online = false;
    EXPECT_TRUE(waitFor([&] { return counter.count(UM_MODULE_ERROR, MODULE_NETWORK, 0) == 1; }, 5000));
    pumpMessages(2500);
    EXPECT_EQ(1, counter.count(UM_MODULE_ERROR, MODULE_NETWORK, 0));
    pageGivesUp();
    EXPECT_EQ(records + 2, occurrences(g_logManager.getStatisticsContext().errorLog, loss));
    online = true;
    EXPECT_TRUE(waitFor([&] { return frame->m_bNetworkConnected.load() == 1; }, 5000));
    online = false;
    EXPECT_TRUE(waitFor([&] { return counter.count(UM_MODULE_ERROR, MODULE_NETWORK, 0) == 2; }, 5000));
    pageGivesUp();
    EXPECT_EQ(records + 4, occurrences(g_logManager.getStatisticsContext().errorLog, loss));
    update->m_nMsgType = UPDATE_PROGRESS_STATE_IDLE;
}

namespace {

// The engine as the exit path sees it: a download under way, every call
// recorded in order.
class DownloadingEngine : public IShellEngine {
public:
    bool isDownloadActive() override { return true; }
    bool isUnzipActive() override { return false; }
    bool isCopyActive() override { return false; }
    bool isIdle() override { return false; }
    void stopAndJoin() override { calls.push_back("stopAndJoin"); }
    void writeResumeVersionFiles() override { calls.push_back("writeResumeVersionFiles"); }
    void postQuit() override { calls.push_back("postQuit"); }
    void closeOwnHandles(const CString&) override { calls.push_back("closeOwnHandles"); }
    std::vector<std::string> calls;
};

}  // namespace

TEST_F(FrameWithRoot, ExitDuringADownloadKeepsItBehindTheExitPageAndJoinsTheEngineOnOk) {
    DownloadingEngine engine;
    setShellEngine(&engine);
    // A download in progress, and a drive flag an earlier run left behind.
    CreateDirectoryW((m_data / L"Model").GetString(), nullptr);
    writeBytes(m_data / L"Model\\Model.ver", "v");
    writeBytes(m_data / (CString(L"Model\\") + vercheck_manager::ownFolderMark()), "");
    writeBytes(m_data / L"Model\\MAP.zip.part", "partial");
    InfInfo entry;
    entry.setInfFileName(L"Model.inf");
    frame->Cur_inf = &entry;
    root->m_bDestIsDrive = 1;
    root->pushViewPage(VIEW_STATE_CAR_UPDATE, TRUE);
    const size_t uploads = standin_log::of("SetDownErrorLog").size();

    root->SendMessage(WM_COMMAND, IDC_BUTTON_EXIT);
    EXPECT_EQ(VIEW_STATE_EXIT, root->getViewStatus());
    EXPECT_EQ(1, frame->m_bTransferRunning.load());
    EXPECT_EQ(13449, CDlgPageMessageExit::messageTextId());
    EXPECT_NE(-1, g_logManager.getStatisticsContext().errorLog.Find(L"[D:9,T:"));
    root->m_pPageExit->SendMessage(WM_COMMAND, IDC_BUTTON_CANCEL);
    EXPECT_EQ(VIEW_STATE_CAR_UPDATE, root->getViewStatus());
    EXPECT_TRUE(engine.calls.empty());

    root->SendMessage(WM_COMMAND, IDC_BUTTON_EXIT);
    const HWND frameWindow = frame->GetSafeHwnd();
    root->m_pPageExit->SendMessage(WM_COMMAND, IDC_BUTTON_OK);
    ASSERT_GE(engine.calls.size(), 2u);
    EXPECT_EQ("stopAndJoin", engine.calls[0]);
    EXPECT_EQ("writeResumeVersionFiles", engine.calls[1]);
    EXPECT_EQ(1, frame->m_bExitProgram.load());
    // The upload, then the close: the frame goes with its root.
    EXPECT_TRUE(waitFor([&] { return !::IsWindow(frameWindow); }, 20000));
    frame = nullptr;
    EXPECT_EQ(uploads + 1, standin_log::of("SetDownErrorLog").size());
    EXPECT_TRUE(::GetFileAttributesW((m_data / L"Model\\MAP.zip.part").GetString()) != INVALID_FILE_ATTRIBUTES);
    setShellEngine(nullptr);
}

// After a confirmed exit the root stays up while the upload and the close
// run: further close requests (Alt+F4 on the root, one nested in the
// engine's join) neither upload again nor start a second close.
class ClosingEngine : public DownloadingEngine {
public:
    void stopAndJoin() override {
        DownloadingEngine::stopAndJoin();
        if (frame && calls.size() == 1) frame->SendMessage(WM_CLOSE, 0, 0);
    }
    CMainFrame* frame = nullptr;
};

TEST_F(FrameWithRoot, ConfirmedExitUploadsAndClosesOnce) {
    ClosingEngine engine;
    engine.frame = frame;
    setShellEngine(&engine);
    const size_t uploads = standin_log::of("SetDownErrorLog").size();
    const HWND frameWindow = frame->GetSafeHwnd();
    frame->m_bExitProgram = 1;
    frame->SendMessage(RWM_SEND_STATICS, 0, 0);
    frame->SendMessage(RWM_SEND_STATICS, 0, 0);
    EXPECT_TRUE(waitFor([&] { return !::IsWindow(frameWindow); }, 20000));
    frame = nullptr;
    EXPECT_EQ(uploads + 1, standin_log::of("SetDownErrorLog").size());
    EXPECT_EQ(1, std::count(engine.calls.begin(), engine.calls.end(), std::string("stopAndJoin")));
    setShellEngine(nullptr);
}

// An engine thread outlived the bounded join: it may still hold a page, so
// the root and its pages, and the frame, are kept instead of freed.
class UnjoinedEngine : public DownloadingEngine {
public:
    bool lastJoinCompleted() override { return false; }
};

TEST_F(FrameWithRoot, FailedJoinKeepsTheRootAndTheFrame) {
    UnjoinedEngine engine;
    setShellEngine(&engine);
    const HWND frameWindow = frame->GetSafeHwnd();
    // With no vehicle chosen the registration page would move on to the search.
    InfInfo car;
    root->m_pPageCarReg->m_pCarInfo = &car;
    root->pushViewPage(VIEW_STATE_CAR_REG, TRUE);
    frame->m_bExitProgram = 1;
    frame->SendMessage(RWM_SEND_STATICS, 0, 0);
    EXPECT_TRUE(waitFor([&] { return !::IsWindow(frameWindow); }, 20000));
    // Both objects are still there for the thread that holds them.
    EXPECT_EQ(nullptr, frame->m_pDlgRoot.load());
    EXPECT_EQ(VIEW_STATE_CAR_REG, root->getViewStatus());
    EXPECT_EQ(1, frame->m_bExitProgram.load());
    setShellEngine(nullptr);
    delete root;
    delete frame;
    frame = nullptr;
}

TEST_F(FrameWithRoot, StartOfflineAsksThroughAMessagePageAndNeverStartsWithoutInventory) {
    EXPECT_FALSE(frame->Start(FALSE));  // no destination drive
    frame->m_pSelectedDriveInfo = new DriveInfo;
    setConnectivityProbe([](DWORD& flags) {
        flags = 0;
        return false;
    });
    // A poll of the frame's connectivity thread that still saw the connection
    // would clear the stop mark: the mark is set once a poll saw the loss.
    frame->m_bNetworkConnected = 1;
    ASSERT_TRUE(waitFor([&] { return frame->m_bNetworkConnected.load() == 0; }, 5000));
    frame->m_bStopped = 1;
    EXPECT_FALSE(frame->Start(FALSE));
    EXPECT_EQ(VIEW_STATE_MESSAGE, root->getViewStatus());
    EXPECT_TRUE(root->findMessagePage(SERVER_ERROR_NETWORK_FAIL));
    EXPECT_EQ(1, frame->m_bStopped.load());

    setConnectivityProbe({});
    EXPECT_FALSE(frame->Start(TRUE));
    EXPECT_EQ(1, frame->m_bNetworkConnected.load());
    EXPECT_EQ(0, frame->m_bStopped.load());
    EXPECT_EQ(0, frame->m_bTransferRunning.load());
}

TEST_F(FrameWithRoot, HiddenModeShortcutOpensThePasswordPageOnlyFromTheVehiclePages) {
    struct Case {
        int view;
        int titleButtons;
        LRESULT expected;
    } cases[] = {{VIEW_STATE_LOGIN, 1, 0}, {VIEW_STATE_CAR_REG, 0, 0}, {VIEW_STATE_CAR_REG, 1, 1},
                 {VIEW_STATE_CAR_CHANGE, 1, 1}, {VIEW_STATE_CAR_FINISH, 1, 0}};
    // With no vehicle chosen the registration page would move on to the search.
    InfInfo car;
    root->m_pPageCarReg->m_pCarInfo = &car;
    for (const Case& c : cases) {
        root->pushViewPage(c.view, TRUE);
        // The search page comes up behind the image guide; its OK goes back.
        if (c.view == VIEW_STATE_CAR_CHANGE) root->pullViewPage();
        root->m_nTitleButtons = c.titleButtons;
        EXPECT_EQ(c.expected, frame->SendMessage(RWM_SEND_STATICS_HIDDEN, 0, 0)) << c.view;
        EXPECT_EQ(c.expected ? VIEW_STATE_HIDDEN_PWD : c.view, root->getViewStatus()) << c.view;
    }
    root->m_pPageCarReg->m_pCarInfo = nullptr;
}

TEST_F(FrameWithRoot, UnconfirmedCloseShowsTheExitPageWithoutUpload) {
    const size_t uploads = standin_log::of("SetDownErrorLog").size();
    // The exit button locked: the close request is dropped.
    CBaseDialog::addOrRemoveListItem(&root->exitLocks(), root, 0);
    root->updateTopButtons();
    frame->SendMessage(RWM_SEND_STATICS, 0, 0);
    pumpMessages(300);
    EXPECT_EQ(VIEW_STATE_LOGIN, root->getViewStatus());
    CBaseDialog::addOrRemoveListItem(&root->exitLocks(), root, 1);
    root->updateTopButtons();

    frame->SendMessage(RWM_SEND_STATICS, 0, 0);
    EXPECT_TRUE(waitFor([&] { return root->getViewStatus() == VIEW_STATE_EXIT; }, 3000));
    EXPECT_TRUE(::IsWindow(frame->GetSafeHwnd()));
    EXPECT_EQ(uploads, standin_log::of("SetDownErrorLog").size());
}
