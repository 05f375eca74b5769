// The main frame without its root: the start-up chain through its seams,
// the connectivity thread, and the download-folder operations.
#include "engine/vercheck_manager.h"
#include "foundation/config_file.h"
#include "foundation/globalfunc.h"
#include "foundation/lastmodeinfo.h"
#include "foundation/logmanager.h"
#include "foundation/regsetting.h"
#include "resources/resource.h"
#include "shell/kestrune_app.h"
#include "shell/main_frame.h"
#include "tests/shell_frame/standin_log.h"
#include "tests/support/capture.h"
#include "tests/support/test_support.h"
#include "ui/dlg_msg_box.h"
#include "ui/lang_library.h"
#include "webclient/connectivity.h"

#include <gtest/gtest.h>

#include <deque>
#include <functional>

class MainFrameTestAccess {
public:
    static HANDLE networkThread(CMainFrame& f) { return f.m_hNetworkThread; }
};

namespace {

const CString kRunningKey = L"LiveUpdateRunning";

bool waitFor(const std::function<bool()>& done, DWORD ms) {
    DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start > ms) return false;
        pumpMessages(20);
    }
    return true;
}

InfInfo* entry(const wchar_t* inf, const wchar_t* model) {
    auto* e = new InfInfo;
    e->setInfFileName(inf);
    e->setModelCode(model);
    return e;
}

bool exists(const CString& path) { return GetFileAttributesW(path.GetString()) != INVALID_FILE_ATTRIBUTES; }

// The download folder's tree: what the removal must take and what it must
// leave. The engine marks the folders it makes; a user's folder holding a
// copy of a version file of its own name has no mark.
struct Tree {
    explicit Tree(const CString& root) : root(root) {
        const struct {
            const wchar_t* folder;
            const wchar_t* file;
            bool mark;
        } folders[] = {
            {L"Model", L"Model.ver", true},  {L"Lower", L"LOWER.VER", true}, {L"Other", L"Else.ver", true},
            {L"NoVer", L"x.txt", true},      {L"Copied", L"Copied.ver", false},
        };
        for (const auto& f : folders) {
            CreateDirectoryW((root + f.folder).GetString(), nullptr);
            writeBytes(root + f.folder + L"\\" + f.file, "v");
            if (f.mark) writeBytes(root + f.folder + L"\\" + vercheck_manager::ownFolderMark(), "");
        }
        writeBytes(root + L"Model\\data.bin", "d");
        writeBytes(root + L"X.INF", "inf");
        writeBytes(root + L"plain.txt", "p");
    }
    bool untouched() const {
        return exists(root + L"Model\\Model.ver") && exists(root + L"Lower\\LOWER.VER") && kept();
    }
    bool kept() const {
        return exists(root + L"Other\\Else.ver") && exists(root + L"NoVer\\x.txt") &&
               exists(root + L"Copied\\Copied.ver") && exists(root + L"X.INF") && exists(root + L"plain.txt");
    }
    bool cleaned() const { return !exists(root + L"Model") && !exists(root + L"Lower") && kept(); }
    CString root;
};

}  // namespace

class MainFrameTest : public ::testing::Test {
protected:
    void SetUp() override {
        CRegSetting::setDataPath(m_data.path());
        AfxGetApp()->WriteProfileInt(L"", kRunningKey, 0);
    }
    void TearDown() override {
        CMainFrame::setLiveUpdateRunner({});
        CMainFrame::setBoxRunner({});
        CMainFrame::setLauncher({});
        CMainFrame::setFontsFolder(CString());
        setConnectivityProbe({});
        CRegSetting::setDataPath(CString());
        CRegSetting::setLanguage(LANGUAGE_EN);
    }
    TempDir m_data;
};

TEST_F(MainFrameTest, DeleteDownloadFilesTakesOnlyOwnNamedFolders) {
    struct Case {
        const char* what;
        std::function<CString(const CString& root)> folder;
        bool cleaned;
    } cases[] = {
        {"the chosen folder with a trailing separator", [](const CString& r) { return r; }, true},
        {"the chosen folder without one", [](const CString& r) { return r.Left(r.GetLength() - 1); }, true},
        {"none chosen: the download folder", [](const CString&) { return CString(); }, true},
    };
    for (const Case& c : cases) {
        TempDir folder;
        Tree tree(folder.path());
        CRegSetting::setDataPath(folder.path());
        CMainFrame frame;
        frame.m_strDownloadFolder = c.folder(folder.path());
        EXPECT_TRUE(frame.deleteDownloadFiles()) << c.what;
        EXPECT_EQ(c.cleaned, tree.cleaned()) << c.what;
    }
}

TEST_F(MainFrameTest, DeleteDownloadFilesReportsWhatStayed) {
    TempDir folder;
    Tree tree(folder.path());
    CMainFrame frame;
    frame.m_strDownloadFolder = folder.path();
    {
        // Another program holds a download open (the program's own handles
        // on the folder are closed first, so it takes a second process): its
        // folder stays and the removal is not reported done; the other
        // download still goes.
        SECURITY_ATTRIBUTES inherit{sizeof(inherit), nullptr, TRUE};
        HANDLE file = CreateFileW((folder.path() + L"Model\\data.bin").GetString(), GENERIC_WRITE,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit, OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(file, INVALID_HANDLE_VALUE);
        HANDLE input = nullptr, keepOpen = nullptr;
        ASSERT_TRUE(CreatePipe(&input, &keepOpen, &inherit, 0));
        SetHandleInformation(keepOpen, HANDLE_FLAG_INHERIT, 0);
        STARTUPINFOW start{};
        start.cb = sizeof(start);
        start.dwFlags = STARTF_USESTDHANDLES;
        start.hStdInput = input;
        start.hStdOutput = start.hStdError = file;
        PROCESS_INFORMATION holder{};
        wchar_t command[] = L"cmd.exe /q";
        ASSERT_TRUE(CreateProcessW(nullptr, command, nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr, nullptr,
                                   &start, &holder));
        CloseHandle(file);
        CloseHandle(input);
        EXPECT_FALSE(frame.deleteDownloadFiles());
        EXPECT_TRUE(exists(folder.path() + L"Model\\data.bin"));
        EXPECT_FALSE(exists(folder.path() + L"Lower"));
        // End of its input ends the holder.
        CloseHandle(keepOpen);
        EXPECT_EQ(WaitForSingleObject(holder.hProcess, 60000), WAIT_OBJECT_0);
        CloseHandle(holder.hProcess);
        CloseHandle(holder.hThread);
    }
    // Its version file went with the first attempt, so the rest is no longer
    // taken for a download: nothing of ours is left and the removal is done.
    EXPECT_TRUE(frame.deleteDownloadFiles());
    EXPECT_TRUE(tree.kept());
}

TEST_F(MainFrameTest, DeleteDownloadFilesRefusesFoldersThatAreNoDownloadFolder) {
    TempDir parent;
    CreateDirectoryW((parent / L"dl").GetString(), nullptr);
    Tree relativeTree(parent / L"dl\\");
    wchar_t cwd[MAX_PATH] = {};
    GetCurrentDirectoryW(MAX_PATH, cwd);
    SetCurrentDirectoryW(parent.path().GetString());
    // A tree at the root of C: that a walk of "C:\" would take.
    const CString probe = L"C:\\KestruneRootProbe";
    CreateDirectoryW(probe.GetString(), nullptr);
    writeBytes(probe + L"\\KestruneRootProbe.ver", "v");
    writeBytes(probe + L"\\" + vercheck_manager::ownFolderMark(), "");

    // A refused folder that is there is a removal that did not happen; one
    // that is gone has no downloads left.
    const struct {
        const wchar_t* folder;
        BOOL result;
    } refused[] = {{L"dl", FALSE}, {L".\\dl\\", FALSE}, {L"C:\\", FALSE},
                   {L"C:", FALSE}, {L"\\", FALSE},    {L"Z:\\no\\such\\folder", TRUE}};
    for (const auto& [folder, result] : refused) {
        CMainFrame frame;
        frame.m_strDownloadFolder = folder;
        EXPECT_EQ(frame.deleteDownloadFiles(), result) << CStringA(folder).GetString();
        EXPECT_TRUE(relativeTree.untouched()) << CStringA(folder).GetString();
        EXPECT_TRUE(exists(probe + L"\\KestruneRootProbe.ver")) << CStringA(folder).GetString();
    }
    // Nothing chosen and no download folder stored: nothing is walked.
    CRegSetting::setDataPath(CString());
    {
        CMainFrame frame;
        frame.deleteDownloadFiles();
        EXPECT_TRUE(relativeTree.untouched());
    }
    SetCurrentDirectoryW(cwd);
    removeTree(probe);
}

TEST_F(MainFrameTest, HasOwnVerFile) {
    TempDir d;
    CreateDirectoryW((d / L"Model.inf").GetString(), nullptr);
    writeBytes(d / L"Model.inf\\MODEL.ver", "v");
    CreateDirectoryW((d / L"B").GetString(), nullptr);
    writeBytes(d / L"B\\A.ver", "v");
    CreateDirectoryW((d / L"C").GetString(), nullptr);
    CMainFrame frame;
    EXPECT_TRUE(frame.hasOwnVerFile(d / L"Model.inf"));
    EXPECT_FALSE(frame.hasOwnVerFile(d / L"B"));
    EXPECT_FALSE(frame.hasOwnVerFile(d / L"C"));
    EXPECT_TRUE(exists(d / L"B\\A.ver"));
}

TEST_F(MainFrameTest, DealerFileHoldsTheCodeAndRefusedCodesWriteNothing) {
    struct Case {
        const wchar_t* code;
        bool written;
    } cases[] = {{L"TSD-0042", true}, {L"딜러7", true}, {L"..\\..\\evil", false}, {L"C:evil", false},
                 {L"a/b", false},     {L"CON", false},  {L"a\tb", false},        {L"", false}};
    for (const Case& c : cases) {
        TempDir data;
        CRegSetting::setDataPath(data.path());
        CMainFrame frame;
        frame.m_bDealerLogin = 1;
        auto* list = new InfInfoList;
        list->setDealerCode(c.code);
        frame.setVehicleList(list);
        InfInfo target;
        target.setInfFileName(L"Model.INF");
        frame.InitDownload(&target, {});
        EXPECT_TRUE(exists(data / L"Model")) << CStringA(c.code).GetString();
        const CString file = data / (L"Model\\dealercode_" + CString(c.code) + L".txt");
        EXPECT_EQ(c.written, exists(file)) << CStringA(c.code).GetString();
        if (c.written) EXPECT_EQ(frame_rules::dealerFileBytes(c.code), readBytes(file));
        // Nothing at all beside the folder, whatever the code named.
        WIN32_FIND_DATAW found;
        HANDLE h = FindFirstFileW((data.path() + L"*").GetString(), &found);
        int entries = 0;
        do {
            if (wcscmp(found.cFileName, L".") && wcscmp(found.cFileName, L"..")) ++entries;
        } while (FindNextFileW(h, &found));
        FindClose(h);
        EXPECT_EQ(1, entries) << CStringA(c.code).GetString();
    }
    // Without dealer mode only the folder is made.
    TempDir data;
    CRegSetting::setDataPath(data.path());
    CMainFrame frame;
    auto* list = new InfInfoList;
    list->setDealerCode(L"TSD-0042");
    frame.setVehicleList(list);
    InfInfo target;
    target.setInfFileName(L"Model.inf");
    frame.InitDownload(&target, {});
    EXPECT_TRUE(exists(data / L"Model"));
    EXPECT_FALSE(exists(data / L"Model\\dealercode_TSD-0042.txt"));
}

// A descriptor name that leaves the download folder makes nothing there or
// beside it, even in dealer mode.
TEST_F(MainFrameTest, DescriptorNameLeavingTheFolderMakesNothing) {
    TempDir root;
    const CString data = root / L"Data\\";
    CreateDirectoryW(data.GetString(), nullptr);
    CRegSetting::setDataPath(data);
    CMainFrame frame;
    frame.m_bDealerLogin = 1;
    auto* list = new InfInfoList;
    list->setDealerCode(L"TSD-0042");
    frame.setVehicleList(list);
    InfInfo target;
    target.setInfFileName(L"..\\escaped\\Model.inf");
    frame.InitDownload(&target, {});
    EXPECT_FALSE(exists(root / L"escaped"));
    EXPECT_FALSE(exists(root / L"escaped\\Model\\dealercode_TSD-0042.txt"));
}

TEST_F(MainFrameTest, LastModeVehicleIgnoresLetterCase) {
    CRegSetting::setRegion(0);
    CRegSetting::setLastUserCorp(CORP_TS);
    CRegSetting::setLastUserType(0);
    CRegSetting::setLastMode(LastModeInfo(CORP_TS, 0, L"ts_a01_common.INF", L"a01"));
    CMainFrame frame;
    EXPECT_EQ(nullptr, frame.findLastModeVehicle());  // no list yet
    auto* list = new InfInfoList;
    InfInfo* other = entry(L"TS_B01.inf", L"A01");
    InfInfo* match = entry(L"TS_A01_COMMON.inf", L"A01");
    list->m_list = {other, match};
    frame.setVehicleList(list);
    EXPECT_EQ(match, frame.findLastModeVehicle());
    CRegSetting::setLastMode(LastModeInfo(CORP_TS, 0, L"TS_A01_COMMON.inf", L""));
    EXPECT_EQ(nullptr, frame.findLastModeVehicle());
}

TEST_F(MainFrameTest, StopOnlyStopsARunningTransferAndListsRetire) {
    CMainFrame frame;
    EXPECT_FALSE(frame.Stop());
    EXPECT_EQ(0, frame.m_bStopped.load());
    frame.m_bTransferRunning = 1;
    EXPECT_TRUE(frame.Stop());
    EXPECT_EQ(0, frame.m_bTransferRunning.load());
    EXPECT_EQ(1, frame.m_bStopped.load());

    auto* first = new InfInfoList;
    auto* second = new InfInfoList;
    frame.setVehicleList(first);
    frame.setVehicleList(second);
    frame.setVehicleList(second);
    ASSERT_EQ(1u, frame.m_lstRetiredInfInfoList.size());
    EXPECT_EQ(first, frame.m_lstRetiredInfInfoList.front());
    frame.clearVehicleList();
    EXPECT_EQ(2u, frame.m_lstRetiredInfInfoList.size());
    EXPECT_FALSE(frame.hasVehicleList());
}

TEST_F(MainFrameTest, ConnectivityThreadKeepsPollingWithoutRootAndIsJoined) {
    std::atomic<bool> online{false};
    std::atomic<int> polls{0};
    setConnectivityProbe([&](DWORD& flags) {
        flags = 0;
        ++polls;
        return online.load();
    });
    HANDLE thread = nullptr;
    {
        CMainFrame frame;
        DuplicateHandle(GetCurrentProcess(), MainFrameTestAccess::networkThread(frame), GetCurrentProcess(), &thread,
                        SYNCHRONIZE, FALSE, 0);
        ASSERT_TRUE(thread);
        EXPECT_TRUE(waitFor([&] { return frame.m_bNetworkConnected.load() == 0; }, 4000));
        // No root yet: the thread goes on and sees the connection come back.
        online = true;
        EXPECT_TRUE(waitFor([&] { return frame.m_bNetworkConnected.load() == 1; }, 4000));
        EXPECT_EQ(WAIT_TIMEOUT, WaitForSingleObject(thread, 0));
        // With the downloads done it does not poll at all.
        frame.m_bDownloadReported = 1;
        pumpMessages(1200);
        int before = polls.load();
        online = false;
        pumpMessages(2200);
        EXPECT_EQ(before, polls.load());
        EXPECT_EQ(1, frame.m_bNetworkConnected.load());
        DWORD start = GetTickCount();
        frame.stopThreads();
        EXPECT_LT(GetTickCount() - start, 3000u);
        EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(thread, 0));
    }
    CloseHandle(thread);
}

TEST(AppTls, SwitchesTls11And12OnOnlyWhereTheValueExists) {
    const CString key = TestApp::registryPath() + L"\\InternetSettings";
    HKEY k = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(HKEY_CURRENT_USER, key.GetString(), 0, nullptr, 0, KEY_ALL_ACCESS,
                                             nullptr, &k, nullptr));
    DWORD value = 0xA0;
    RegSetValueExW(k, L"SecureProtocols", 0, REG_DWORD, reinterpret_cast<BYTE*>(&value), sizeof(value));
    EXPECT_EQ(0, CKestruneApp::enableTlsAt(HKEY_CURRENT_USER, key.GetString()));
    DWORD size = sizeof(value);
    RegQueryValueExW(k, L"SecureProtocols", nullptr, nullptr, reinterpret_cast<BYTE*>(&value), &size);
    EXPECT_EQ(0xAA0u, value);
    RegDeleteValueW(k, L"SecureProtocols");
    EXPECT_EQ(0, CKestruneApp::enableTlsAt(HKEY_CURRENT_USER, key.GetString()));
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, RegQueryValueExW(k, L"SecureProtocols", nullptr, nullptr, nullptr, nullptr));
    RegCloseKey(k);
    RegDeleteKeyW(HKEY_CURRENT_USER, key.GetString());
}

// ---- the start-up chain through its seams

namespace {

struct BoxSeen {
    CString title;
    CString windowTitle;
    int type;
    BOOL typed;
};

// Creates the frame as the application does; the chain runs inside.
CMainFrame* loadFrame() {
    auto* frame = new CMainFrame;
    AfxGetApp()->m_pMainWnd = frame;
    if (!frame->LoadFrame(IDR_MAINFRAME, 0xCF8000)) {
        AfxGetApp()->m_pMainWnd = nullptr;
        return nullptr;
    }
    return frame;
}

bool takeClose(CMainFrame* frame) {
    MSG msg;
    return PeekMessageW(&msg, frame->GetSafeHwnd(), WM_CLOSE, WM_CLOSE, PM_REMOVE) != 0;
}

void dropFrame(CMainFrame* frame) {
    AfxGetApp()->m_pMainWnd = nullptr;
    frame->DestroyWindow();
}

}  // namespace

class StartUpTest : public MainFrameTest {
protected:
    using BoxRunner = CMainFrame::BoxRunner;
    void SetUp() override {
        MainFrameTest::SetUp();
        CMainFrame::setBoxRunner([this](CDlgMsgBox& box) {
            boxes.push_back({box.m_strTitle, box.m_strWindowTitle, box.m_nType, box.m_bTyped});
            INT_PTR answer = answers.empty() ? IDOK : answers.front();
            if (!answers.empty()) answers.pop_front();
            return answer;
        });
        CMainFrame::setLiveUpdateRunner([this](CMainFrame*) {
            ++popups;
            CMainFrame::LiveUpdateOutcome o;
            if (!outcomes.empty()) {
                o = outcomes.front();
                outcomes.pop_front();
            }
            return o;
        });
        CMainFrame::setLauncher([this](const CString& path) {
            launched.push_back(path);
            return TRUE;
        });
        // Stops the chain before the root: every font is missing here.
        CMainFrame::setFontsFolder(m_noFonts.path());
        // The upload needs a log and the stand-in's hosts, as the program has them.
        static TempDir logs;
        static const bool ready = (g_logManager.init(logs.path(), L"frame.log", 1 << 20, 10, 1),
                                   CConfigFile::getInstance()->load());
        ASSERT_TRUE(ready);
        uploadsBefore = standin_log::of("SetDownErrorLog").size();
    }
    size_t uploads() const { return standin_log::of("SetDownErrorLog").size() - uploadsBefore; }

    TempDir m_noFonts;
    std::vector<BoxSeen> boxes;
    std::deque<INT_PTR> answers;
    std::deque<CMainFrame::LiveUpdateOutcome> outcomes;
    std::vector<CString> launched;
    int popups = 0;
    size_t uploadsBefore = 0;
};

TEST_F(StartUpTest, MissingFontsShowTheInstallationBoxAndCloseWithoutUpload) {
    struct Case {
        int language;
        const wchar_t* title;
    } cases[] = {{LANGUAGE_KO, L"설치 오류"}, {LANGUAGE_EN, L"Installation Failed"}, {LANGUAGE_AR, L"Installation Failed"}};
    // The box as the user sees it: its own modal loop, photographed and
    // answered from a timer.
    const BoxRunner recorder = CMainFrame::setBoxRunner({});
    CMainFrame::setBoxRunner([&](CDlgMsgBox& box) {
        INT_PTR answer = recorder(box);
        UINT_PTR timer = SetTimer(nullptr, 0, 500, [](HWND, UINT, UINT_PTR id, DWORD) {
            HWND shown = FindWindowW(nullptr, L"Kestrune_ALREADY_RUNNING_TITLE");
            if (!shown) return;
            KillTimer(nullptr, id);
            CString name;
            name.Format(L"install_box_lang%d", CRegSetting::getLanguage());
            saveScreenshot(shown, name, L"the installation failure box: title, two text lines, OK");
            PostMessageW(shown, WM_COMMAND, MAKEWPARAM(IDC_BUTTON_OK, BN_CLICKED),
                         reinterpret_cast<LPARAM>(GetDlgItem(shown, IDC_BUTTON_OK)));
        });
        box.DoModal();
        KillTimer(nullptr, timer);
        return answer;
    });
    for (const Case& c : cases) {
        boxes.clear();
        CRegSetting::setLanguage(c.language);
        // As the application object loads it before the frame.
        ASSERT_TRUE(CLangLibrary::loadLanguage(c.language));
        CMainFrame* frame = loadFrame();
        ASSERT_TRUE(frame);
        ASSERT_EQ(1u, boxes.size());
        EXPECT_EQ(CString(c.title), boxes[0].title);
        EXPECT_EQ(CString(L"Kestrune_ALREADY_RUNNING_TITLE"), boxes[0].windowTitle);
        EXPECT_FALSE(boxes[0].typed);
        EXPECT_EQ(1, boxes[0].type);
        EXPECT_EQ(1, frame->m_bExitProgram.load());
        EXPECT_EQ(nullptr, frame->m_pDlgRoot.load());
        EXPECT_TRUE(takeClose(frame));
        EXPECT_FALSE(::IsWindowVisible(frame->GetSafeHwnd()));
        dropFrame(frame);
    }
    EXPECT_EQ(0u, uploads());
    CLangLibrary::loadLanguage(LANGUAGE_EN);
}

TEST_F(StartUpTest, SelfUpdateBoxConfirmedRunsTheUpdateAgain) {
    outcomes = {{IDCANCEL, -8, 3}, {IDCANCEL, 1, 1}, {IDOK, 0, 0}};
    answers = {IDOK, IDOK, IDOK};
    CMainFrame* frame = loadFrame();
    ASSERT_TRUE(frame);
    EXPECT_EQ(3, popups);
    ASSERT_EQ(3u, boxes.size());  // two self-update boxes, then the fonts
    EXPECT_EQ(POPUP_MSG_TYPE_LIVEUPDATE_DOWNLOAD_FAIL, boxes[0].type);
    EXPECT_EQ(POPUP_MSG_TYPE_LIVEUPDATE_DOWN_FILE_AND_CRC_SIZE, boxes[1].type);
    EXPECT_TRUE(boxes[0].typed);
    EXPECT_EQ(0, static_cast<int>(AfxGetApp()->GetProfileInt(L"", kRunningKey, 9)));
    EXPECT_EQ(0u, uploads());
    EXPECT_TRUE(launched.empty());
    dropFrame(frame);
}

TEST_F(StartUpTest, SelfUpdateBoxRefusedUploadsOnceAndCloses) {
    outcomes = {{IDCANCEL, -3, 0}};
    answers = {IDCANCEL};
    CMainFrame* frame = loadFrame();
    ASSERT_TRUE(frame);
    EXPECT_EQ(1, popups);
    ASSERT_EQ(1u, boxes.size());
    EXPECT_EQ(POPUP_MSG_TYPE_LIVEUPDATE_NETWORK_FAIL, boxes[0].type);
    EXPECT_EQ(1, frame->m_bExitProgram.load());
    EXPECT_TRUE(takeClose(frame));
    EXPECT_EQ(1u, uploads());
    EXPECT_EQ(0, static_cast<int>(AfxGetApp()->GetProfileInt(L"", kRunningKey, 9)));
    dropFrame(frame);
}

// "InstallPath" may name a folder another process planted: the restart
// starts the program in the running program's own folder.
TEST_F(StartUpTest, AppliedUpdateStartsTheInstalledProgramWithoutUpload) {
    TempDir planted;
    AfxGetApp()->WriteProfileString(L"", L"InstallPath", planted.path());
    outcomes = {{IDOK, 1, 0}};
    CMainFrame* frame = loadFrame();
    ASSERT_TRUE(frame);
    ASSERT_EQ(1u, launched.size());
    EXPECT_EQ(CGlobalFunc::getModuleDirectory() + L"\\Kestrune.exe", launched[0]);
    EXPECT_TRUE(boxes.empty());
    EXPECT_EQ(1, frame->m_bExitProgram.load());
    EXPECT_TRUE(takeClose(frame));
    // The new instance must not find this one.
    wchar_t title[64] = {};
    ::GetWindowTextW(frame->GetSafeHwnd(), title, 64);
    EXPECT_STREQ(L"", title);
    EXPECT_EQ(0, static_cast<int>(AfxGetApp()->GetProfileInt(L"", kRunningKey, 9)));
    EXPECT_EQ(0u, uploads());
    AfxGetApp()->WriteProfileString(L"", L"InstallPath", nullptr);
    dropFrame(frame);
}

// A restart that could not start leaves this instance starting (here up to
// the fonts box), never closing with nothing running.
TEST_F(StartUpTest, FailedRestartGoesOnStarting) {
    outcomes = {{IDOK, 1, 0}};
    CMainFrame::setLauncher([this](const CString& path) {
        launched.push_back(path);
        return FALSE;
    });
    CMainFrame* frame = loadFrame();
    ASSERT_TRUE(frame);
    EXPECT_EQ(1u, launched.size());
    ASSERT_EQ(1u, boxes.size());
    EXPECT_EQ(1, boxes[0].type);  // the installation box: the start went on
    EXPECT_EQ(0u, uploads());
    dropFrame(frame);
}

// A library planted in the current folder is not found by name once the
// search is restricted; the program's own folder still is.
TEST(DllSearch, CurrentFolderIsNoLongerSearched) {
    TempDir planted;
    ASSERT_TRUE(CopyFileW((CGlobalFunc::getModuleDirectory() + L"\\Lang.dll").GetString(),
                          (planted / L"kestrune_planted.dll").GetString(), FALSE));
    wchar_t cwd[MAX_PATH] = {};
    GetCurrentDirectoryW(MAX_PATH, cwd);
    SetCurrentDirectoryW(planted.path().GetString());
    EXPECT_TRUE(CKestruneApp::restrictDllSearch());
    HMODULE found = LoadLibraryW(L"kestrune_planted.dll");
    EXPECT_EQ(found, nullptr);
    if (found) FreeLibrary(found);
    HMODULE own = LoadLibraryW(L"Lang.dll");
    EXPECT_NE(own, nullptr);
    if (own) FreeLibrary(own);
    SetCurrentDirectoryW(cwd);
}

TEST(AboutBox, IsBuiltFromItsTemplate) {
    CAboutDlg about;
    ASSERT_TRUE(about.Create(IDD_ABOUTBOX, nullptr));
    EXPECT_TRUE(::GetDlgItem(about.GetSafeHwnd(), IDOK));
    about.DestroyWindow();
}
