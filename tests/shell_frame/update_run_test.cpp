// The update page's run control under the real root and frame: Hold by key
// and Next by click, the resume checks, the answers on message pages, module
// errors with their retries, the network re-check, the end of the pre-check,
// the medium step and the end of a run. The engine's stop gate is closed, so
// the commands the page posts wait where the tests can read them and no
// worker touches a drive.
#include "tests/shell_frame/update_page_fixture.h"
#include "ui/dlg_child_notice.h"

#include "descriptors/inf_file_update.h"
#include "descriptors/update_list_builder.h"
#include "engine/download_manager.h"
#include "engine/format_drive.h"
#include "engine/system_folder.h"
#include "engine/unzip_manager.h"
#include "foundation/common_util.h"
#include "foundation/globalfunc.h"
#include "foundation/registered_messages.h"
#include "tests/shell_frame/standin_log.h"
#include "tests/webclient/standin_client.h"
#include "webclient/connectivity.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

using namespace update_page_test;

namespace {

function_manager* engine() { return function_manager::getInstance(); }

// The program's loop: messages go through the windows' key filters.
bool pumpUntil(const std::function<bool()>& done, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    for (;;) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (!AfxPreTranslateMessage(&msg)) {
                TranslateMessage(&msg);
                DispatchMessageW(&msg);
            }
        }
        if (done()) return true;
        if (GetTickCount() - start >= timeoutMs) return done();
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

void pumpFor(DWORD ms) { pumpUntil([] { return false; }, ms); }

void sendInputs(std::vector<INPUT> inputs) {
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
    pumpFor(120);
}

void pressEnter(HWND window) {
    HWND top = GetAncestor(window, GA_ROOT);
    SetForegroundWindow(top);
    SetActiveWindow(top);
    SetFocus(window);
    pumpFor(50);
    INPUT down{}, up{};
    down.type = up.type = INPUT_KEYBOARD;
    down.ki.wVk = up.ki.wVk = VK_RETURN;
    up.ki.dwFlags = KEYEVENTF_KEYUP;
    sendInputs({down});
    sendInputs({up});
}

void clickCentre(HWND button) {
    RECT r{};
    GetWindowRect(button, &r);
    SetCursorPos((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    pumpFor(50);
    INPUT down{}, up{};
    down.type = up.type = INPUT_MOUSE;
    down.mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    up.mi.dwFlags = MOUSEEVENTF_LEFTUP;
    sendInputs({down, up});
}

// Where the copy puts an item on the medium.
CString mediumPathOf(InfFileUpdate& item, const CString& root) {
    CString path = item.getFilePath(root);
    common_util::normalize_path(path, root);
    return path;
}

// One descriptor entry and its update item, outside the engine's list.
struct TestItem {
    explicit TestItem(const CString& name, LONGLONG size = 10, const CString& dest = L"MAP") {
        CString text;
        text.Format(L"[HEAD]\r\nROOT_URL=https://host/contents/pkg\r\nSD_ROOT=SD\r\nCOMMON_PATH=CAR\r\n"
                    L"UPDATE_VERSION=2024.05.01\r\n[FILE0]\r\nAG_FILENAME=%s\r\nAG_FILESIZE=%lld\r\nAG_VER=1\r\n"
                    L"AG_FILECRC=0\r\nDEST_PATH=$SD_ROOT$\\%s\r\nFILEINFO_PATH=$COMMON_PATH$/%s\r\n",
                    name.GetString(), size, dest.GetString(), dest.GetString());
        info.setInfFileName(L"CAR.inf");
        info.setModelFlag(0);
        info.setFirstDescriptor(&info);
        info.m_guard.set();
        info.readInfText(text);
        InfFileTailMap* tails = info.getInfFileTails();
        tail = tails ? tails->get(0) : nullptr;
        ok = tail && item.init(tail, CString());
        item.m_nUsable = 1;
    }
    InfInfo info;
    InfFileTail* tail = nullptr;
    InfFileUpdate item;
    bool ok = false;
};

class UpdateRun : public UpdatePage {
protected:
    void SetUp() override {
        UpdatePage::SetUp();
        if (HasFatalFailure()) return;
        engine()->closeStopGate();
        m_previousProbe = setConnectivityProbe({});
        showPage();
        clearHeld();
    }
    void TearDown() override {
        if (page) page->stopNetworkCheck();
        // A pause's waiting thread marks the engine paused: it ends first.
        if (page && root && root->m_bUpdateHeld) {
            pumpUntil([&] { return enabled(IDC_BUTTON_UPDATE_NEXT); }, 5000);
        }
        setConnectivityProbe(m_previousProbe);
        g_bUnzipBusy = 0;
        g_bCopyBusy = 0;
        // Commands of this test belong to a run that the reset ends.
        engine()->reset();
        clearHeld();
        engine()->openStopGate();
        engine()->m_nFormatting = 0;
        engine()->itemsRebuilt();
        // The medium step leaves the copy side active for the next phase.
        copy_manager::getInstance()->m_bActive = false;
        UpdatePage::TearDown();
    }

    std::vector<function_command> held() {
        std::lock_guard<std::mutex> lock(engine()->m_queueMutex);
        return {engine()->m_heldCommands.begin(), engine()->m_heldCommands.end()};
    }
    bool heldCode(int code) {
        for (const function_command& c : held()) {
            if (c.code == code) return true;
        }
        return false;
    }
    void clearHeld() {
        std::lock_guard<std::mutex> lock(engine()->m_queueMutex);
        engine()->m_heldCommands.clear();
    }
    // Shown by the page itself, even while a message covers it.
    bool shown(int id) const {
        return (::GetWindowLongW(page->GetDlgItem(id)->GetSafeHwnd(), GWL_STYLE) & WS_VISIBLE) != 0;
    }
    bool enabled(int id) const { return ::IsWindowEnabled(page->GetDlgItem(id)->GetSafeHwnd()) != FALSE; }
    // The message page showing type, or null.
    CDlgPageMessage* message(int type) const {
        return root->getViewStatus() == VIEW_STATE_MESSAGE ? root->findMessagePage(type) : nullptr;
    }
    // Back to the update page from a message, as the message's answer does.
    void closeMessage(int type) {
        if (CDlgPageMessage* m = root->findMessagePage(type)) m->closePage(FALSE);
        pumpMessages(30);
    }
    void error(int module, int detail) { page->SendMessage(UM_MODULE_ERROR, module, detail); }
    void setProbe(bool connected) {
        setConnectivityProbe([connected](DWORD& flags) {
            flags = 0;
            return connected;
        });
    }

    ConnectivityProbe m_previousProbe;
};

TEST_F(UpdateRun, NextStartsHoldByEnterPausesOnceNextClickResumes) {
    page->m_tCopyStart = 77;
    page->m_tDownloadStart = 5;
    page->OnBnClickedButtonNext();
    EXPECT_TRUE(heldCode(FM_CMD_START));
    EXPECT_EQ(static_cast<void*>(static_cast<transfer_page*>(page)), held().back().pointer);
    EXPECT_EQ(0, page->m_tDownloadStart.load());
    EXPECT_EQ(77, page->m_tCopyStart.load()) << "the copy start survives a resume";
    EXPECT_TRUE(page->m_bDownloadPhase && page->m_bUnzipPhase) << "the phases are in place before Next returns";
    EXPECT_TRUE(shown(IDC_BUTTON_HOLD) && enabled(IDC_BUTTON_HOLD));
    EXPECT_FALSE(shown(IDC_BUTTON_UPDATE_NEXT) || shown(IDC_BUTTON_UPDATE_CANCEL));
    EXPECT_EQ(0, root->m_bTransferIdle);
    EXPECT_TRUE(page->KillTimer(UPDATE_TIMER_PROGRESS));

    // The page given the focus as the root gives it keeps Enter for itself,
    // also while none of its own buttons can take the focus (as when it is
    // first shown): the focus never lands in the notice bar, which swallows
    // every key.
    {
        ASSERT_TRUE(page->m_pNotice && page->m_pNotice->GetSafeHwnd());
        const HWND notice = page->m_pNotice->GetSafeHwnd();
        std::vector<HWND> disabled;
        for (HWND c = ::GetWindow(page->GetSafeHwnd(), GW_CHILD); c; c = ::GetWindow(c, GW_HWNDNEXT)) {
            if (c != notice && ::IsWindowEnabled(c)) {
                ::EnableWindow(c, FALSE);
                disabled.push_back(c);
            }
        }
        // A notice with more to read shows its button.
        const HWND more = page->m_pNotice->m_btnMore.GetSafeHwnd();
        const BOOL moreShown = ::IsWindowVisible(more);
        const BOOL moreEnabled = ::IsWindowEnabled(more);
        ::ShowWindow(more, SW_SHOW);
        ::EnableWindow(more, TRUE);
        ::SetFocus(nullptr);
        page->SetFocus();
        pumpFor(50);
        const HWND focus = ::GetFocus();
        EXPECT_FALSE(focus == notice || ::IsChild(notice, focus));
        for (HWND c : disabled) ::EnableWindow(c, TRUE);
        ::ShowWindow(more, moreShown ? SW_SHOW : SW_HIDE);
        ::EnableWindow(more, moreEnabled);
    }

    // An extraction that never reports quiet: the wait ends by force.
    g_bUnzipBusy = 1;
    pressEnter(page->GetSafeHwnd());
    EXPECT_EQ(1, root->m_bUpdateHeld);
    ASSERT_TRUE(pumpUntil([&] { return shown(IDC_BUTTON_UPDATE_NEXT); }, 5000));
    // Pausing: Next shown but not yet usable, Hold gone, Cancel offered.
    EXPECT_FALSE(enabled(IDC_BUTTON_UPDATE_NEXT));
    EXPECT_FALSE(shown(IDC_BUTTON_HOLD));
    EXPECT_TRUE(shown(IDC_BUTTON_UPDATE_CANCEL));
    EXPECT_EQ(lang(12287), textOf(IDC_STATIC_STATUS));
    EXPECT_EQ(1, engine()->m_nPaused.load());
    ASSERT_TRUE(pumpUntil([&] { return enabled(IDC_BUTTON_UPDATE_NEXT); }, 10000));
    EXPECT_EQ(0, g_bUnzipBusy.load());
    EXPECT_EQ(0, g_bCopyBusy.load());

    // Paused: a second Enter starts no second wait (Next would go back to
    // disabled).
    pressEnter(page->GetSafeHwnd());
    pumpFor(300);
    EXPECT_TRUE(enabled(IDC_BUTTON_UPDATE_NEXT));

    // Next by a click resumes: the drive is there, the connection too.
    clearHeld();
    clickCentre(page->m_btnNext.GetSafeHwnd());
    EXPECT_EQ(0, root->m_bUpdateHeld);
    EXPECT_TRUE(heldCode(FM_CMD_START));
    EXPECT_EQ(0, engine()->m_nPaused.load()) << "FM_CMD_IDLE ends the engine's pause";
    EXPECT_TRUE(shown(IDC_BUTTON_HOLD));
    EXPECT_FALSE(shown(IDC_BUTTON_UPDATE_NEXT));
}

TEST_F(UpdateRun, ResumeChecksTheDriveThenTheConnection) {
    // The drive is gone: message 100, nothing for the engine.
    root->m_bUpdateHeld = 1;
    m_drives.drives.erase(L'R');
    page->OnBnClickedButtonNext();
    EXPECT_TRUE(held().empty());
    EXPECT_TRUE(message(SERVER_ERROR_COPY_FAIL));
    EXPECT_EQ(1, root->m_bUpdateHeld);
    closeMessage(SERVER_ERROR_COPY_FAIL);

    // Back, but no connection: the re-check runs with Hold disabled and ends
    // at message 20 when it finds none.
    m_drives.drives[L'R'] = FakeDrive{DRIVE_REMOVABLE, true, 31250000ULL * 1024, 31250000ULL * 1024};
    root->m_bUpdateHeld = 1;
    frame->m_bNetworkConnected = 0;
    setProbe(false);
    page->OnBnClickedButtonNext();
    EXPECT_FALSE(page->m_btnHold.IsWindowEnabled());
    EXPECT_FALSE(heldCode(FM_CMD_START));
    ASSERT_TRUE(pumpUntil([&] { return message(SERVER_ERROR_NETWORK_FAIL) != nullptr; }, 10000));
    EXPECT_EQ(nullptr, page->m_pNetworkCheckThread);
    EXPECT_FALSE(heldCode(FM_CMD_START));
    frame->m_bNetworkConnected = 1;
}

// An attempt while the frame sees the connection again counts as found: the
// run resumes instead of showing message 20.
TEST_F(UpdateRun, NetworkReCheckTakesTheFramesConnection) {
    frame->m_bNetworkConnected = 0;
    setConnectivityProbe([this](DWORD& flags) {
        flags = 0;
        frame->m_bNetworkConnected = 1;
        return false;
    });
    error(MODULE_NETWORK, 0);
    ASSERT_TRUE(pumpUntil([&] { return heldCode(FM_CMD_START); }, 10000));
    EXPECT_EQ(nullptr, message(SERVER_ERROR_NETWORK_FAIL));
    EXPECT_EQ(0, root->m_bUpdateHeld);
    EXPECT_TRUE(page->m_bAutoRetry);
}

// A download that found no connection pauses and re-checks like a lost
// connection; nothing else would resume it.
TEST_F(UpdateRun, OfflineDownloadStartsTheReCheck) {
    frame->m_bNetworkConnected = 0;
    setProbe(false);
    error(MODULE_OFFLINE, 0);
    EXPECT_FALSE(page->m_btnHold.IsWindowEnabled());
    ASSERT_TRUE(pumpUntil([&] { return message(SERVER_ERROR_NETWORK_FAIL) != nullptr; }, 10000));
    frame->m_bNetworkConnected = 1;
}

// Hold ends a running re-check: its outcome is dropped, the page stays paused.
TEST_F(UpdateRun, HoldEndsTheReCheck) {
    frame->m_bNetworkConnected = 0;
    HANDLE gate = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    // Whatever the re-check would have found: a connection (Next) or none
    // (message 20 while the user has paused).
    for (const bool found : {true, false}) {
        ResetEvent(gate);
        // The frame's own connectivity watch may have seen the first probe.
        frame->m_bNetworkConnected = 0;
        setConnectivityProbe([gate, found](DWORD& flags) {
            flags = 0;
            WaitForSingleObject(gate, 5000);
            return found;
        });
        error(MODULE_NETWORK, 0);
        ASSERT_TRUE(page->m_pNetworkCheckThread);
        page->m_btnHold.EnableWindow(TRUE);
        SetEvent(gate);
        page->OnBnClickedButtonHold();
        EXPECT_EQ(nullptr, page->m_pNetworkCheckThread);
        EXPECT_EQ(nullptr, page->m_hNetworkCheckThread);
        pumpFor(200);
        EXPECT_FALSE(heldCode(FM_CMD_START)) << found;
        EXPECT_EQ(nullptr, message(SERVER_ERROR_NETWORK_FAIL)) << found;
        EXPECT_EQ(1, root->m_bUpdateHeld) << found;
        // The pause's own thread ends before the next round.
        ASSERT_TRUE(pumpUntil([&] { return enabled(IDC_BUTTON_UPDATE_NEXT); }, 5000));
        root->m_bUpdateHeld = 0;
    }
    CloseHandle(gate);
    frame->m_bNetworkConnected = 1;
}

TEST_F(UpdateRun, DownloadFailuresRetryTenTimesThenShow95) {
    for (int i = 1; i <= 10; ++i) {
        clearHeld();
        error(MODULE_DOWNLOAD, MODULE_ERROR_DOWNLOAD);
        EXPECT_EQ(i, page->m_nDownRetry);
        EXPECT_TRUE(heldCode(FM_CMD_START)) << i;
        EXPECT_EQ(nullptr, message(SERVER_ERROR_DOWNLOAD_ERROR));
    }
    // A finished file starts the count again.
    page->SendMessage(UM_DOWNLOAD_PROGRESS, 0, -1);
    EXPECT_EQ(0, page->m_nDownRetry);
    for (int i = 0; i < 10; ++i) error(MODULE_DOWNLOAD, MODULE_ERROR_DOWNLOAD);
    clearHeld();
    error(MODULE_DOWNLOAD, MODULE_ERROR_DOWNLOAD);
    CDlgPageMessage* shown95 = message(SERVER_ERROR_DOWNLOAD_ERROR);
    ASSERT_TRUE(shown95);
    EXPECT_EQ(CString(L"ERR_DOWNLOAD_FAIL"), shown95->getParam(0));
    EXPECT_EQ(CString(), shown95->getParam(1));
    EXPECT_FALSE(heldCode(FM_CMD_START));
    EXPECT_EQ(0, page->m_nDownRetry);
    EXPECT_FALSE(page->m_bAutoRetry);
}

TEST_F(UpdateRun, ModuleErrorsShowTheirMessage) {
    const struct {
        int module, detail;
        bool connected;
        int type;
        const wchar_t* param0;
    } cases[] = {
        {MODULE_DOWNLOAD, MODULE_ERROR_CRC, true, SERVER_ERROR_DOWNLOAD_FAIL, L"ERR_DOWNLOAD_7"},
        {MODULE_DOWNLOAD, 2, true, SERVER_ERROR_DOWNLOAD_FAIL, L"ERR_DOWNLOAD_2"},
        {MODULE_FORMAT, 0, true, SERVER_ERROR_FORMAT_FAIL, L""},
        {MODULE_COPY, MODULE_ERROR_COPY_WRITE, true, SERVER_ERROR_COPY_FAIL, L"ERR_REMOVED_FLASHDRIVE"},
        {MODULE_COPY, MODULE_ERROR_COPY_VERIFY, false, SERVER_ERROR_NETWORK_FAIL, L""},
    };
    for (const auto& c : cases) {
        root->m_bUpdateHeld = 0;
        frame->m_bNetworkConnected = c.connected ? 1 : 0;
        clearHeld();
        error(c.module, c.detail);
        CDlgPageMessage* shownMessage = message(c.type);
        ASSERT_TRUE(shownMessage) << c.module << "/" << c.detail;
        EXPECT_EQ(CString(c.param0), shownMessage->getParam(0)) << c.module << "/" << c.detail;
        EXPECT_EQ(1, root->m_bUpdateHeld);
        EXPECT_FALSE(heldCode(FM_CMD_START)) << "no automatic retry";
        closeMessage(c.type);
    }
    frame->m_bNetworkConnected = 1;
}

TEST_F(UpdateRun, SizeFailuresRetryTwiceThenShow91) {
    for (int i = 1; i <= 2; ++i) {
        clearHeld();
        error(MODULE_DOWNLOAD, MODULE_ERROR_FILE_SIZE);
        EXPECT_EQ(i, page->m_nUnzipRetry);
        EXPECT_TRUE(heldCode(FM_CMD_START));
    }
    error(MODULE_DOWNLOAD, MODULE_ERROR_FILE_SIZE);
    CDlgPageMessage* shown91 = message(SERVER_ERROR_DOWNLOAD_FILE_SIZE);
    ASSERT_TRUE(shown91);
    EXPECT_EQ(CString(L"ERR_FILE_SIZE"), shown91->getParam(0));
    EXPECT_EQ(0, page->m_nUnzipRetry);
}

// A paused run is repaired but not resumed: the count goes up, Next is not
// run, and the buttons stay those of a paused run.
TEST_F(UpdateRun, ErrorWhilePausedRepairsWithoutResuming) {
    const struct {
        int detail;
        const int CDlgCarUpdate::*count;
    } cases[] = {{MODULE_ERROR_DOWNLOAD, &CDlgCarUpdate::m_nDownRetry},
                 // The extraction retry clears the pause for its restart; a
                 // user's pause must stand all the same.
                 {MODULE_ERROR_UNZIP_MODULE, &CDlgCarUpdate::m_nUnzipRetry}};
    for (const auto& c : cases) {
        root->m_bUpdateHeld = 1;
        error(MODULE_DOWNLOAD, c.detail);
        EXPECT_EQ(1, page->*c.count) << c.detail;
        EXPECT_FALSE(heldCode(FM_CMD_START)) << c.detail;
        EXPECT_EQ(1, root->m_bUpdateHeld) << c.detail;
        EXPECT_TRUE(shown(IDC_BUTTON_UPDATE_NEXT) && enabled(IDC_BUTTON_UPDATE_NEXT)) << c.detail;
    }
}

// An error behind another view shows nothing; the page still takes the
// paused buttons, so Next can resume once the user is back.
TEST_F(UpdateRun, ErrorBehindAnotherViewLeavesPausedButtons) {
    page->OnBnClickedButtonNext();
    page->OnBnClickedButtonCancel();
    ASSERT_TRUE(message(SERVER_ETC_UPDATE_CANCEL_CONFIRM));
    error(MODULE_FORMAT, 0);
    EXPECT_EQ(nullptr, root->findMessagePage(SERVER_ERROR_FORMAT_FAIL));
    EXPECT_EQ(1, root->m_bUpdateHeld);
    EXPECT_TRUE(shown(IDC_BUTTON_UPDATE_NEXT) && enabled(IDC_BUTTON_UPDATE_NEXT));
    EXPECT_FALSE(shown(IDC_BUTTON_HOLD));
}

// An error arriving while another one pumps waits for it: the first one's
// retry resumes, then the second pauses and shows its message.
TEST_F(UpdateRun, ErrorDuringAnErrorIsHandledAfterIt) {
    page->PostMessage(UM_MODULE_ERROR, MODULE_FORMAT, 0);
    error(MODULE_DOWNLOAD, MODULE_ERROR_DOWNLOAD);
    EXPECT_TRUE(message(SERVER_ERROR_FORMAT_FAIL));
    EXPECT_EQ(1, root->m_bUpdateHeld) << "the format failure came last and pauses";
}

TEST_F(UpdateRun, AnswersOnMessages) {
    const struct {
        int type, answer;
        bool connected;
        int view;          // root's view afterwards
        bool resumed;      // Next ran
        int held;          // pause flag afterwards
    } cases[] = {
        {SERVER_ERROR_DOWNLOAD_ERROR, 1, true, VIEW_STATE_CAR_UPDATE, true, 0},
        {SERVER_ERROR_NETWORK_FAIL, 1, false, VIEW_STATE_MESSAGE, false, 1},
        {SERVER_ERROR_UNZIP_FAIL, 0, true, VIEW_STATE_CAR_REG, false, 0},
        {SERVER_ERROR_COPY_FAIL, 1, true, VIEW_STATE_CAR_UPDATE, true, 0},
        {SERVER_ERROR_COPY_FAIL, 0, true, VIEW_STATE_CAR_REG, false, 0},
        {SERVER_ETC_UPDATE_CANCEL_CONFIRM, 1, true, VIEW_STATE_CAR_REG, false, 1},
        {SERVER_ETC_UPDATE_CANCEL_CONFIRM, 0, true, VIEW_STATE_CAR_UPDATE, false, 1},
        {SERVER_ERROR_FORMAT_FAIL, 1, true, VIEW_STATE_CAR_REG, false, 1},
        {SERVER_FINISH_UPDATE_GUIDE, 1, true, VIEW_STATE_CAR_FINISH, false, 1},
    };
    // The finish page rather than the web guide.
    g_nCurrentRegion = 1;
    g_nCurrentLanguage = 2;
    for (const auto& c : cases) {
        root->pushViewPage(VIEW_STATE_CAR_UPDATE, TRUE);
        settle();
        // Not downloading: the frame's connectivity thread leaves the page be.
        page->m_nMsgType = UPDATE_PROGRESS_STATE_INIT;
        root->m_bUpdateHeld = 1;
        frame->m_bNetworkConnected = c.connected ? 1 : 0;
        setProbe(c.connected);
        clearHeld();
        page->SendMessage(RWM_MESSAGE_RESULT, c.answer, c.type);
        pumpMessages(30);
        EXPECT_EQ(c.view, root->getViewStatus()) << c.type << "/" << c.answer;
        EXPECT_EQ(c.resumed, heldCode(FM_CMD_START)) << c.type << "/" << c.answer;
        EXPECT_EQ(c.held, root->m_bUpdateHeld) << c.type << "/" << c.answer;
        if (c.view == VIEW_STATE_MESSAGE) {
            // The answer paused again: its waiting thread ends before the next case.
            EXPECT_TRUE(pumpUntil([&] { return enabled(IDC_BUTTON_UPDATE_NEXT); }, 5000));
            closeMessage(SERVER_ERROR_NETWORK_FAIL);
        }
        page->KillTimer(UPDATE_TIMER_PROGRESS);
    }
    frame->m_bNetworkConnected = 1;
}

TEST_F(UpdateRun, ItemCallbacks) {
    TestItem a(L"a.dat");
    ASSERT_TRUE(a.ok);
    InfFileUpdate& item = a.item;
    const struct {
        bool (*callback)(int, InfFileUpdate*);
        int before, after;
    } cases[] = {
        {CDlgCarUpdate::resetFailedItems, ITEM_STATE_DOWNLOAD_FAILED, ITEM_STATE_DOWNLOADING},
        {CDlgCarUpdate::resetFailedItems, ITEM_STATE_UNZIP_FAILED, ITEM_STATE_DOWNLOADING},
        {CDlgCarUpdate::resetFailedItems, ITEM_STATE_COPY_FAILED, ITEM_STATE_COPY_FAILED},
        {CDlgCarUpdate::discardFailedDownloads, ITEM_STATE_UNZIP_FAILED, ITEM_STATE_DOWNLOAD_READY},
        {CDlgCarUpdate::discardFailedDownloads, ITEM_STATE_UNZIPPED, ITEM_STATE_UNZIPPED},
        {CDlgCarUpdate::retryFailedCopies, ITEM_STATE_COPY_FAILED, ITEM_STATE_COPYING},
        {CDlgCarUpdate::retryFailedCopies, ITEM_STATE_DOWNLOAD_FAILED, ITEM_STATE_DOWNLOAD_FAILED},
    };
    for (const auto& c : cases) {
        item.m_nState = c.before;
        EXPECT_TRUE(c.callback(0, &item));
        EXPECT_EQ(c.after, item.m_nState.load()) << c.before;
    }
}

TEST_F(UpdateRun, CopyCheckOnTheMedium) {
    TempDir medium;
    const CString root = medium.path() + L"\\";
    TestItem good(L"good.dat", 10), missing(L"missing.dat", 10), wrong(L"wrong.dat", 10),
        program(L"MAP.exe", 10);
    for (TestItem* t : {&good, &missing, &wrong, &program}) {
        ASSERT_TRUE(t->ok);
        t->item.m_nState = ITEM_STATE_COPIED;
    }
    const CString path = mediumPathOf(good.item, root);
    ASSERT_TRUE(common_util::ensure_directory(path));
    ASSERT_TRUE(writeBytes(path, std::string(10, 'x')));
    ASSERT_TRUE(writeBytes(mediumPathOf(wrong.item, root), std::string(9, 'x')));
    const struct {
        TestItem* item;
        bool good;
        int after;
    } cases[] = {
        {&good, true, ITEM_STATE_COPIED},
        {&missing, false, ITEM_STATE_UNZIPPED},
        {&wrong, false, ITEM_STATE_UNZIPPED},
        // The head unit's programs are unpacked into folders: no file to compare.
        {&program, true, ITEM_STATE_COPIED},
    };
    for (const auto& c : cases) {
        BOOL allGood = TRUE;
        EXPECT_TRUE(CDlgCarUpdate::verifyCopiedFiles(allGood, root, &c.item->item));
        EXPECT_EQ(c.good, allGood != FALSE) << CW2A(c.item->item.getFileName().GetString());
        EXPECT_EQ(c.after, c.item->item.m_nState.load());
    }
    // Not copied yet: the check fails even with the file in place.
    good.item.m_nState = ITEM_STATE_COPYING;
    BOOL allGood = TRUE;
    CDlgCarUpdate::verifyCopiedFiles(allGood, root, &good.item);
    EXPECT_FALSE(allGood);
    // An item the run never takes is not expected on the medium.
    missing.item.m_nState = ITEM_STATE_NEW;
    missing.item.m_nUsable = 2;
    allGood = TRUE;
    CDlgCarUpdate::verifyCopiedFiles(allGood, root, &missing.item);
    EXPECT_TRUE(allGood);
}

// A drive run whose medium check fails reports nothing and stays; the good
// retry then reports and ends the page, once.
TEST_F(UpdateRun, CopyCompletionReportsOnlyAfterTheCheckPassed) {
    TestItem a(L"a.dat", 10, L"MAPX");
    ASSERT_TRUE(a.ok);
    InfFileUpdateList::getInstance().clear();
    InfFileUpdateList::getInstance().add(a.tail, CString());
    InfFileUpdate* item = InfFileUpdateList::getInstance().at(0);
    ASSERT_TRUE(item);
    item->m_nState = ITEM_STATE_COPIED;
    frame->m_bCopyReported = 0;
    frame->m_bNetworkConnected = 1;
    g_nCurrentRegion = 1;
    g_nCurrentLanguage = 2;
    root->m_bTransferIdle = 0;
    const size_t reports = standin_log::of("ChkDown").size();

    page->SendMessage(UM_COPY_COMPLETE, 0, 1);
    EXPECT_EQ(0, frame->m_bCopyReported.load());
    EXPECT_EQ(0, root->m_bTransferIdle);
    EXPECT_EQ(ITEM_STATE_UNZIPPED, item->m_nState.load());
    EXPECT_TRUE(message(SERVER_ERROR_COPY_FAIL));
    closeMessage(SERVER_ERROR_COPY_FAIL);

    const CString onMedium = mediumPathOf(*item, L"R:\\");
    common_util::ensure_directory(onMedium);
    ASSERT_TRUE(writeBytes(onMedium, std::string(10, 'x')));
    item->m_nState = ITEM_STATE_COPIED;
    page->SendMessage(UM_COPY_COMPLETE, 0, 1);
    EXPECT_EQ(1, frame->m_bCopyReported.load());
    EXPECT_EQ(1, root->m_bTransferIdle);
    EXPECT_EQ(VIEW_STATE_CAR_FINISH, root->getViewStatus());
    EXPECT_EQ(reports + 1, standin_log::of("ChkDown").size());
    DeleteFileW(onMedium.GetString());
    InfFileUpdateList::getInstance().clear();
}

// A folder run hears both completions; the page ends once.
TEST_F(UpdateRun, FolderRunEndsThePageOnce) {
    g_bSaveToHDD = TRUE;
    page->setUpdateTarget(&m_entry, 0);
    InfFileUpdateList::getInstance().clear();
    engine()->m_nState = FM_STATE_TRANSFER;
    g_nCurrentRegion = 1;
    g_nCurrentLanguage = 2;
    const size_t before = root->m_vecPageHistory.size();
    page->SendMessage(UM_UNZIP_COMPLETE, 0, 1);
    EXPECT_EQ(VIEW_STATE_CAR_FINISH, root->getViewStatus());
    page->SendMessage(UM_COPY_COMPLETE, 0, 1);
    page->SendMessage(UM_UNZIP_COMPLETE, 0, 1);
    EXPECT_EQ(before + 1, root->m_vecPageHistory.size()) << "the finish page was pushed once";
    // The user has moved on when a late completion arrives: it leaves them
    // where they are.
    root->pushViewPage(VIEW_STATE_CAR_REG, TRUE);
    page->SendMessage(UM_COPY_COMPLETE, 0, 1);
    EXPECT_EQ(VIEW_STATE_CAR_REG, root->getViewStatus());
    engine()->m_nState = FM_STATE_IDLE;
}

// The pre-check that gave up waiting for the earlier run's workers built no
// list: no format, it counts as a failed download.
TEST_F(UpdateRun, CheckCompleteWithoutListFormatsNothing) {
    engine()->m_bItemsPending = true;
    page->SendMessage(UM_CHECK_COMPLETE, 0, 0);
    EXPECT_FALSE(heldCode(FM_CMD_FORMAT));
    EXPECT_EQ(1, page->m_nDownRetry);
    EXPECT_TRUE(heldCode(FM_CMD_START));

    engine()->itemsRebuilt();
    clearHeld();
    page->SendMessage(UM_CHECK_COMPLETE, 0, 0);
    ASSERT_TRUE(heldCode(FM_CMD_FORMAT)) << "result 0 still formats";
    EXPECT_EQ(L'R', held().back().parameter);
    EXPECT_FALSE(page->m_bCheckPhase);
}

TEST_F(UpdateRun, MediumStepWithoutFormatWritesTheDealerFile) {
    // The medium's volume was recorded when it was chosen.
    EXPECT_EQ(formatVolumeName(L"R:\\"), page->m_strVolumeName);
    EXPECT_FALSE(page->m_strVolumeName.IsEmpty());
    page->m_bFormatted = TRUE;
    frame->m_bDealerLogin = 1;
    const struct {
        const wchar_t* code;
        bool written;
    } cases[] = {{L"D123", true}, {L"..\\x", false}, {L"a:b", false}, {L"CON", false}};
    auto dealerFiles = [] {
        int n = 0;
        WIN32_FIND_DATAW data{};
        HANDLE find = FindFirstFileW(L"R:\\dealercode_*", &data);
        if (find == INVALID_HANDLE_VALUE) return 0;
        do {
            ++n;
            CString path = CString(L"R:\\") + data.cFileName;
            DeleteFileW(path.GetString());
        } while (FindNextFileW(find, &data));
        FindClose(find);
        return n;
    };
    dealerFiles();
    for (const auto& c : cases) {
        frame->m_pInfInfoList->setDealerCode(c.code);
        page->m_tCopyStart = 0;
        page->StartCarCopy();
        if (c.written) EXPECT_EQ(std::string("D123"), readBytes(L"R:\\dealercode_D123.txt"));
        EXPECT_EQ(c.written ? 1 : 0, dealerFiles()) << CW2A(c.code);
        EXPECT_NE(0, page->m_tCopyStart.load());
    }
    // A new copy start drops the earlier update's 99 % allowance on the next
    // copy tick; a resume (start time kept) keeps it.
    setPhases(false, false, false, true, false);
    for (const bool fresh : {true, false}) {
        g_dCopyTailSeconds = 50;
        if (fresh) page->m_tCopyStart = 0;
        page->StartCarCopy();
        tick();
        EXPECT_EQ(fresh ? 0.0 : 50.0, g_dCopyTailSeconds);
    }
    g_dCopyTailSeconds = 0;
    // No dealer: no file.
    frame->m_bDealerLogin = 0;
    frame->m_pInfInfoList->setDealerCode(L"D123");
    page->StartCarCopy();
    EXPECT_EQ(0, dealerFiles());
}

TEST_F(UpdateRun, FormatFailingFiveTimesShows80AndClearsTheFlag) {
    TempDir emptySystem;
    // The page hears the engine's errors once a run started.
    page->OnBnClickedButtonNext();
    const CString previous = setSystemFolder(emptySystem.path());
    page->m_bFormatted = FALSE;
    frame->m_bNetworkConnected = 1;
    page->StartCarCopy();
    setSystemFolder(previous);
    EXPECT_FALSE(page->m_bFormatted);
    EXPECT_EQ(0, engine()->m_nFormatting.load());
    EXPECT_TRUE(message(SERVER_ERROR_FORMAT_FAIL));
    EXPECT_EQ(1, root->m_bUpdateHeld);
}

TEST_F(UpdateRun, DriveRemovalOutsideATransfer) {
    page->m_bFormatted = TRUE;
    page->m_nMsgType = UPDATE_PROGRESS_STATE_COPY;
    // Another drive: nothing shown.
    page->SendMessage(RWM_USBDETECTOR_MESSAGE, L'S', 0);
    EXPECT_EQ(VIEW_STATE_CAR_UPDATE, root->getViewStatus());
    // The selected one, still present: nothing.
    page->SendMessage(RWM_USBDETECTOR_MESSAGE, L'R', 0);
    EXPECT_EQ(VIEW_STATE_CAR_UPDATE, root->getViewStatus());
    m_drives.drives.erase(L'R');
    page->SendMessage(RWM_USBDETECTOR_MESSAGE, L'r', 0);
    CDlgPageMessage* removed = message(SERVER_ERROR_COPY_FAIL);
    ASSERT_TRUE(removed);
    EXPECT_EQ(CString(L"ERR_REMOVED_FLASHDRIVE"), removed->getParam(0));
    EXPECT_EQ(UPDATE_PROGRESS_STATE_FORMAT, page->m_nMsgType.load());
}

TEST_F(UpdateRun, DownCheckReportGoesToTheService) {
    frame->m_pInfInfoList->setCorp(CORP_TS);
    m_entry.setInfFileName(L"ts-arden.inf");
    m_entry.setModelCode(L"101");
    const size_t before = standin_log::of("ChkDown").size();
    EXPECT_TRUE(page->sendDownCheck());
    const std::vector<std::string> reports = standin_log::of("ChkDown", 0);
    ASSERT_EQ(before + 1, reports.size());
    const std::string& line = reports.back();
    EXPECT_NE(std::string::npos, line.find("\"D1\": \"nonmembers\"")) << line;
    EXPECT_NE(std::string::npos, line.find("\"D3\": \"Navigation AVN 5\"")) << line;
    EXPECT_NE(std::string::npos, line.find("\"D4\": \"ts-arden.inf\"")) << line;
    EXPECT_NE(std::string::npos, line.find("\"D5\": \"M\"")) << line;
    EXPECT_NE(std::string::npos, line.find("\"D9\": \"win\"")) << line;

    // Without a vehicle list nothing is sent.
    InfInfoList* list = frame->m_pInfInfoList;
    frame->m_pInfInfoList = nullptr;
    EXPECT_FALSE(page->sendDownCheck());
    frame->m_pInfInfoList = list;
    EXPECT_EQ(before + 1, standin_log::of("ChkDown").size());
}

}  // namespace

namespace {

// Pictures of the run's pauses and of the messages a run ends in.
TEST_F(UpdateRun, Screenshots) {
    const struct {
        const wchar_t* tag;
        int region, language;
    } languages[] = {{L"ko", REGION_KR, LANGUAGE_KO}, {L"en", REGION_US, LANGUAGE_EN}, {L"ar", REGION_ME, LANGUAGE_AR}};
    for (const auto& l : languages) {
        setLanguage(l.region, l.language);
        CRegSetting::setLastUserCorp(CORP_TS);
        CFontCache::selectFaceForCorp(CORP_TS);
        frame->broadcastChangeLanguage();
        const bool arabic = l.language == LANGUAGE_AR;
        showPage(L'R');
        clearHeld();
        const update_page_layout::Brand brand = update_page_layout::brandFor(CORP_TS, l.region);
        auto shoot = [&](const wchar_t* what, const CString& shows) {
            CString file, line;
            file.Format(L"update_run_%s_%s", l.tag, what);
            line.Format(L"update run (%s), %s%s", l.tag, shows.GetString(),
                        arabic ? L"; mirrored: buttons at the left, texts right-aligned" : L"");
            pumpFor(50);
            return saveScreenshot(root->m_hWnd, file, line, true);
        };
        auto backToPage = [&](int type) {
            closeMessage(type);
            root->m_bUpdateHeld = 0;
            page->OnBnClickedButtonNext();
            page->KillTimer(UPDATE_TIMER_PROGRESS);
            clearHeld();
        };

        page->OnBnClickedButtonNext();
        page->KillTimer(UPDATE_TIMER_PROGRESS);
        g_bUnzipBusy = 1;
        page->OnBnClickedButtonHold();
        ASSERT_TRUE(pumpUntil([&] { return shown(IDC_BUTTON_UPDATE_NEXT); }, 5000));
        ASSERT_FALSE(enabled(IDC_BUTTON_UPDATE_NEXT));
        shoot(L"1_pausing", L"pausing: status 'Paused', Next shown greyed, Cancel beside it, no Hold, no figures");
        ASSERT_TRUE(pumpUntil([&] { return enabled(IDC_BUTTON_UPDATE_NEXT); }, 10000));
        WindowShot paused =
            shoot(L"2_paused", L"paused: Next usable in the brand colour, Cancel beside it, no Hold, no figures");
        const RECT next = rectIn(root->m_hWnd, page->m_btnNext.GetSafeHwnd());
        EXPECT_GT(paused.count(skinColour(brand.nextImage), next), 100) << CW2A(l.tag);
        const RECT cancel = rectIn(root->m_hWnd, page->m_btnCancel.GetSafeHwnd());
        EXPECT_FALSE(next.left < cancel.right && cancel.left < next.right && next.top < cancel.bottom &&
                     cancel.top < next.bottom)
            << "Next and Cancel overlap";
        // The captions stand level, each centred on its 50-pixel face (Next's
        // place is taller than its face). Their glyphs differ, so their ink
        // centres may differ by a pixel or two; a caption off its face is 5 off.
        auto captionRow = [&](const RECT& button) {
            long sum = 0, n = 0;
            for (int y = button.top; y < button.top + 50; ++y) {
                for (int x = button.left; x < button.right; ++x) {
                    if (paused.at(x, y) != RGB(255, 255, 255)) continue;
                    sum += y - button.top;
                    ++n;
                }
            }
            return n > 20 ? static_cast<double>(sum) / n : -100.0;
        };
        EXPECT_NEAR(captionRow(cancel), captionRow(next), 2.5) << CW2A(l.tag);

        page->OnBnClickedButtonCancel();
        ASSERT_TRUE(message(SERVER_ETC_UPDATE_CANCEL_CONFIRM));
        shoot(L"3_1014", L"message 1014: the question whether to cancel the update, OK and Cancel");
        backToPage(SERVER_ETC_UPDATE_CANCEL_CONFIRM);

        page->m_nDownRetry = 10;
        error(MODULE_DOWNLOAD, MODULE_ERROR_DOWNLOAD);
        ASSERT_TRUE(message(SERVER_ERROR_DOWNLOAD_ERROR));
        shoot(L"4_95", L"message 95: download error with the detail ERR_DOWNLOAD_FAIL");
        backToPage(SERVER_ERROR_DOWNLOAD_ERROR);

        error(MODULE_COPY, MODULE_ERROR_COPY_TARGET);
        ASSERT_TRUE(message(SERVER_ERROR_COPY_FAIL));
        shoot(L"5_100", L"message 100: copy failed, the medium was removed (ERR_REMOVED_FLASHDRIVE)");
        backToPage(SERVER_ERROR_COPY_FAIL);

        error(MODULE_FORMAT, 0);
        ASSERT_TRUE(message(SERVER_ERROR_FORMAT_FAIL));
        shoot(L"6_80", L"message 80: the medium could not be formatted");
        backToPage(SERVER_ERROR_FORMAT_FAIL);

        frame->m_bNetworkConnected = 0;
        HANDLE gate = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        setConnectivityProbe([gate](DWORD& flags) {
            flags = 0;
            WaitForSingleObject(gate, 10000);
            return true;
        });
        // The run downloads when the connection goes: its display is up.
        setPhases(false, true, false, false, false);
        tick();
        error(MODULE_NETWORK, 0);
        EXPECT_FALSE(enabled(IDC_BUTTON_HOLD));
        WindowShot recheck = shoot(L"7_recheck", L"connection re-check: Hold shown greyed, the run's figures stay");
        const RECT hold = rectIn(root->m_hWnd, page->m_btnHold.GetSafeHwnd());
        EXPECT_EQ(0, recheck.count(skinColour(brand.holdImage), hold)) << "Hold looks usable";
        SetEvent(gate);
        page->stopNetworkCheck();
        CloseHandle(gate);
        setConnectivityProbe({});
        frame->m_bNetworkConnected = 1;
        root->m_bUpdateHeld = 0;
        engine()->reset();
        clearHeld();
    }
}

}  // namespace

namespace {

void setConsents(int first, int second) {
    g_nSendVcrmDesc1 = first;
    g_nSendVcrmDesc2 = second;
    CRegSetting::setSendVcrmDesc1();
    CRegSetting::setSendVcrmDesc2();
}

// In region 1 the start of the pre-check takes the head unit's vehicle-data
// files off the medium, uploads them and removes them; the end of the
// pre-check that comes meanwhile formats only afterwards.
TEST_F(UpdateRun, VehicleDataLeaveTheMediumBeforeItsFormat) {
    const CString source = L"R:\\Data\\Common\\Configuration";
    auto placeFiles = [&] {
        ASSERT_TRUE(common_util::ensure_directory(source + L"\\a.log"));
        ASSERT_TRUE(writeBytes(source + L"\\a.log", "vehicle data a"));
        ASSERT_TRUE(writeBytes(source + L"\\b.dat", "vehicle data b"));
    };
    setLanguage(REGION_KR, LANGUAGE_KO);
    const size_t uploads = standin_log::of("data.do").size();

    // One consent only: nothing leaves the medium.
    setConsents(1, 0);
    placeFiles();
    page->SendMessage(UM_TRANSFER_PHASE, TRANSFER_PHASE_CHECK, 0);
    EXPECT_TRUE(fileExists(source + L"\\a.log"));
    EXPECT_EQ(uploads, standin_log::of("data.do").size());

    setConsents(1, 1);
    page->PostMessage(UM_CHECK_COMPLETE, 0, 1);
    page->SendMessage(UM_TRANSFER_PHASE, TRANSFER_PHASE_CHECK, 0);
    EXPECT_FALSE(fileExists(source)) << "the medium's folder is gone after the upload";
    EXPECT_EQ(uploads + 2, standin_log::of("data.do").size());
    pumpMessages(30);
    EXPECT_TRUE(heldCode(FM_CMD_FORMAT));

    // Region other than 1: nothing happens.
    setLanguage(REGION_US, LANGUAGE_EN);
    placeFiles();
    page->SendMessage(UM_TRANSFER_PHASE, TRANSFER_PHASE_CHECK, 0);
    EXPECT_TRUE(fileExists(source + L"\\a.log"));
    CGlobalFunc::deleteDirectory(L"R:\\Data");
    setConsents(0, 0);
}

std::function<void()> g_probe;
void CALLBACK runProbe(HWND, UINT, UINT_PTR, DWORD) {
    if (g_probe) g_probe();
}

class VehicleData : public UpdateRun {
protected:
    void SetUp() override {
        UpdateRun::SetUp();
        if (HasFatalFailure()) return;
        setLanguage(REGION_KR, LANGUAGE_KO);
        setConsents(1, 1);
        ASSERT_TRUE(common_util::ensure_directory(kSource + L"\\a.log"));
        ASSERT_TRUE(writeBytes(kSource + L"\\a.log", "vehicle data a"));
        ASSERT_TRUE(writeBytes(kSource + L"\\b.dat", "vehicle data b"));
    }
    void TearDown() override {
        standin::clearFaults();
        CGlobalFunc::deleteDirectory(L"R:\\Data");
        setConsents(0, 0);
        UpdateRun::TearDown();
    }
    CString records() const { return g_logManager.getStatisticsContext().errorLog; }
    const CString kSource = L"R:\\Data\\Common\\Configuration";
};

// The web client pumps messages while it waits to try a send again: the end
// of the pre-check taken meanwhile must not format the medium under the
// upload. Nothing listens at the vehicle-data server's address here, so
// every send is tried again.
TEST_F(VehicleData, FormatWaitsUntilTheUploadReturned) {
    REQUIRE_STANDIN();
    const std::string settings = readBytes(moduleFolder() + L"config.json");
    const std::string served = "\"VCRM_URL\": \"" + std::string(CW2A(standin::config("VCRM_URL").GetString())) + "\"";
    const size_t at = settings.find(served);
    ASSERT_NE(std::string::npos, at) << settings;
    TempDir folder;
    const CString unreachable = folder.path() + L"\\config.json";
    ASSERT_TRUE(writeBytes(unreachable, std::string(settings).replace(at, served.size(),
                                                                      "\"VCRM_URL\": \"https://127.0.0.1\"")));
    ASSERT_TRUE(CConfigFile::getInstance()->loadFile(unreachable));

    bool inUpload = false;
    int probesDuringUpload = 0;
    bool formatDuringUpload = false;
    // A timer fires only once no posted message waits: the end of the
    // pre-check, posted first, has been handled before the first probe.
    g_probe = [&] {
        if (!inUpload) return;
        ++probesDuringUpload;
        if (heldCode(FM_CMD_FORMAT)) formatDuringUpload = true;
    };
    const UINT_PTR timer = SetTimer(nullptr, 0, 20, &runProbe);
    page->PostMessage(UM_CHECK_COMPLETE, 0, 1);
    inUpload = true;
    page->SendMessage(UM_TRANSFER_PHASE, TRANSFER_PHASE_CHECK, 0);
    inUpload = false;
    KillTimer(nullptr, timer);
    g_probe = nullptr;
    CConfigFile::getInstance()->load();
    EXPECT_GT(probesDuringUpload, 0) << "the upload took no messages";
    EXPECT_FALSE(formatDuringUpload);
    ASSERT_TRUE(heldCode(FM_CMD_FORMAT)) << "the held end of the pre-check formats afterwards";
    EXPECT_EQ(L'R', held().back().parameter);
    // Not uploaded: the files stay for the format to erase.
    EXPECT_TRUE(fileExists(kSource + L"\\a.log"));
}

// A refused upload keeps the files on the medium (the format erases them),
// records each failed attempt and no upload.
TEST_F(VehicleData, RefusedUploadKeepsTheFilesAndRecordsTheFailure) {
    REQUIRE_STANDIN();
    standin::setFaults(R"([{"path": "/offlinevcrm/data.do", "status": 500}])");
    const size_t requests = standin_log::of("data.do").size();
    const CString before = records();
    page->SendMessage(UM_TRANSFER_PHASE, TRANSFER_PHASE_CHECK, 0);
    const CString added = records().Mid(before.GetLength());
    EXPECT_TRUE(fileExists(kSource + L"\\a.log"));
    EXPECT_TRUE(fileExists(kSource + L"\\b.dat"));
    int failures = 0;
    for (int at = added.Find(L"[E:8,T:"); at >= 0; at = added.Find(L"[E:8,T:", at + 1)) ++failures;
    EXPECT_EQ(2, failures) << CW2A(added.GetString());
    EXPECT_NE(-1, added.Find(L":8443/offlinevcrm/data.do]")) << CW2A(added.GetString());
    EXPECT_EQ(-1, added.Find(L"[D:8,")) << CW2A(added.GetString());
    // Both attempts reached the service.
    EXPECT_LE(requests + 2, standin_log::of("data.do").size());

    // The service back: the next pre-check takes them off.
    standin::clearFaults();
    page->SendMessage(UM_TRANSFER_PHASE, TRANSFER_PHASE_CHECK, 0);
    EXPECT_FALSE(fileExists(kSource));
    EXPECT_NE(-1, records().Mid(before.GetLength()).Find(L"[D:8,T:"));
}

}  // namespace
