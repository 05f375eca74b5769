// The download-folder clean-up after an update copied to a drive, the
// closing of folder windows, and the folder picker's flag.
#include "tests/shell/shell_fixture.h"

#include "descriptors/inf_info.h"
#include "engine/vercheck_manager.h"
#include "foundation/regsetting.h"
#include "tests/support/test_support.h"
#include "resources/resource.h"
#include "shell/dlg_page_message_exit.h"
#include "ui/lang_library.h"
#include "ui/view_state.h"

namespace {

class RootFolders : public RootFixture {
protected:
    void SetUp() override {
        RootFixture::SetUp();
        entry.setInfFileName(L"Q7_MAP.inf");
        frame.entry = &entry;
    }
    // A descriptor folder with a version file of the given name (none when
    // empty) and, when the engine made it, the engine's folder mark.
    CString makeFolder(const CString& name, const CString& verName, bool mark = true) {
        CString folder = dir / name;
        CreateDirectoryW(folder, nullptr);
        if (!verName.IsEmpty()) writeBytes(folder + L"\\" + verName, "+|1|2");
        if (mark) writeBytes(folder + L"\\" + vercheck_manager::ownFolderMark(), "");
        writeBytes(folder + L"\\data.bin", "x");
        return folder;
    }

    InfInfo entry;
    TempDir dir;
};

TEST_F(RootFolders, CleansOnlyTheFinishedDriveUpdatesOwnFolder) {
    struct Case {
        const wchar_t* what;
        bool trailingSlash;
        int destIsDrive, transferIdle;
        bool copyActive;
        const wchar_t* verName;
        bool mark;
        bool deleted;
    } cases[] = {
        {L"drive update, setting without a trailing \\", false, 1, 1, false, L"Q7_MAP.ver", true, true},
        {L"drive update, setting with a trailing \\", true, 1, 1, false, L"Q7_MAP.ver", true, true},
        {L"update into the local folder", false, 0, 1, false, L"Q7_MAP.ver", true, false},
        {L"stale drive mark while a new update runs", false, 1, 0, false, L"Q7_MAP.ver", true, false},
        {L"copy still active", false, 1, 1, true, L"Q7_MAP.ver", true, false},
        {L"version file of another name", false, 1, 1, false, L"OTHER.ver", true, false},
        {L"a user's folder with a copied version file", false, 1, 1, false, L"Q7_MAP.ver", false, false},
        {L"the engine's mark without its version file", false, 1, 1, false, L"", true, false},
    };
    CDlgRoot root(&frame);
    for (const Case& c : cases) {
        CString folder = makeFolder(L"Q7_MAP", c.verName, c.mark);
        CString data = dir.path();
        if (!c.trailingSlash) data = data.Left(data.GetLength() - 1);
        CRegSetting::setDataPath(data);
        root.m_bDestIsDrive = c.destIsDrive;
        root.m_bTransferIdle = c.transferIdle;
        engine.copy = c.copyActive;
        engine.calls.clear();
        root.cleanDownloadFolder();
        EXPECT_EQ(GetFileAttributesW(folder) == INVALID_FILE_ATTRIBUTES, c.deleted) << c.what;
        if (c.deleted) {
            ASSERT_EQ(engine.calls.size(), 1u);
            EXPECT_EQ(engine.calls[0], L"closeOwnHandles:" + dir.path() + L"Q7_MAP") << c.what;
        }
        removeTree(folder);
    }
    // No current entry: nothing at all.
    frame.entry = nullptr;
    CString folder = makeFolder(L"Q7_MAP", L"Q7_MAP.ver");
    root.m_bDestIsDrive = 1;
    engine.copy = false;
    root.cleanDownloadFolder();
    EXPECT_NE(GetFileAttributesW(folder), INVALID_FILE_ATTRIBUTES);
}

// A descriptor name with a wildcard or a way up must not turn the clean-up
// into a walk over the download folder's neighbours.
TEST_F(RootFolders, NameLeavingTheFolderCleansNothing) {
    CString data = dir / L"Data";
    CreateDirectoryW(data, nullptr);
    CString backup = makeFolder(L"Backup", L"Backup.ver");
    CRegSetting::setDataPath(data);
    CDlgRoot root(&frame);
    root.m_bDestIsDrive = 1;
    root.m_bTransferIdle = 1;
    for (const wchar_t* name : {L"..\\*.inf", L"..\\Backup.inf", L"*.inf"}) {
        entry.setInfFileName(name);
        root.cleanDownloadFolder();
        EXPECT_NE(GetFileAttributesW(backup + L"\\data.bin"), INVALID_FILE_ATTRIBUTES) << CStringA(name).GetString();
    }
}

TEST(FolderWindows, PathMatchesTheFolderAndWhatLiesUnderIt) {
    struct Case {
        const wchar_t* path;
        const wchar_t* folder;
        bool match;
    } cases[] = {
        {L"C:\\Data\\Q7_MAP", L"C:\\Data\\Q7_MAP", true},
        {L"c:\\data\\q7_map\\sub", L"C:\\Data\\Q7_MAP", true},
        {L"C:/Data/Q7_MAP/", L"C:\\Data\\Q7_MAP\\", true},
        {L"C:\\Data\\Q7_MAP_OLD", L"C:\\Data\\Q7_MAP", false},
        {L"D:\\Backup\\C:\\Data\\Q7_MAP", L"C:\\Data\\Q7_MAP", false},
        {L"C:\\Data", L"C:\\Data\\Q7_MAP", false},
        {L"<not a directory>", L"C:\\Data", false},
        {L"C:\\Data", L"", false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CDlgRoot::isPathAtOrUnder(c.path, c.folder), c.match) << CString(c.path).GetString();
    }
}

using RootWindows = RootFixture;

TEST_F(RootWindows, ClosesOnlyTheWindowsOfTheFolderAndRefusesANestedCall) {
    auto makeWindow = [] {
        return CreateWindowExW(0, L"STATIC", L"folder", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    };
    HWND inside = makeWindow(), under = makeWindow(), beside = makeWindow();
    CDlgRoot root(&frame);
    BOOL nested = TRUE;
    CDlgRoot::setShellWindowLister([&](std::vector<CDlgRoot::ShellWindow>& windows) {
        nested = root.closeExplorerWindows(L"C:\\Data\\Q7_MAP");
        windows = {{inside, L"C:\\Data\\Q7_MAP"}, {under, L"C:\\Data\\Q7_MAP\\sub"}, {beside, L"C:\\Data\\Q7_MAP_OLD"}};
        return true;
    });
    EXPECT_TRUE(root.closeExplorerWindows(L"C:\\Data\\Q7_MAP"));
    EXPECT_FALSE(nested);
    EXPECT_FALSE(IsWindow(inside));
    EXPECT_FALSE(IsWindow(under));
    EXPECT_TRUE(IsWindow(beside));
    DestroyWindow(beside);

    CDlgRoot::setShellWindowLister([](std::vector<CDlgRoot::ShellWindow>&) { return false; });
    EXPECT_FALSE(root.closeExplorerWindows(L"C:\\Data"));
    // The busy flag was cleared on both paths.
    CDlgRoot::setShellWindowLister([](std::vector<CDlgRoot::ShellWindow>&) { return true; });
    EXPECT_TRUE(root.closeExplorerWindows(L"C:\\Data"));
}

TEST_F(RootWindows, FolderPickerRaisesTheFlagWhileOpen) {
    createRoot();
    BOOL flagWhileOpen = FALSE;
    CString seenStart;
    CDlgRoot::setFolderPicker([&](CWnd* owner, const CString& start) {
        flagWhileOpen = g_bFolderPickerOpen;
        seenStart = start;
        EXPECT_EQ(owner, root.get());
        // The settings button and the logout wait for the picker.
        root->OnBnClickedButtonConfig();
        return CString(L"D:\\Maps");
    });
    CString longStart(L'a', 300);
    EXPECT_EQ(root->browseFolder(longStart, L"unused"), CString(L"D:\\Maps"));
    EXPECT_TRUE(flagWhileOpen);
    EXPECT_FALSE(g_bFolderPickerOpen);
    EXPECT_EQ(seenStart.GetLength(), 259);
    EXPECT_EQ(root->m_eViewStatus, VIEW_STATE_LOGIN);

    CDlgRoot::setFolderPicker([](CWnd*, const CString&) { return CString(); });
    EXPECT_TRUE(root->browseFolder(L"C:\\").IsEmpty());
}

}  // namespace

namespace {

// Exit during a download that a finished earlier update's drive mark
// outlived: the exit page says an update runs; OK joins the engine, writes
// the resume files and keeps the download folder.
TEST_F(RootFolders, ExitDuringADownloadKeepsTheFolderDespiteAStaleDriveMark) {
    CString folder = makeFolder(L"Q7_MAP", L"Q7_MAP.ver");
    CRegSetting::setDataPath(dir.path());
    createRoot();
    root->pushViewPage(VIEW_STATE_CAR_UPDATE, TRUE);
    root->m_bDestIsDrive = 1;
    root->m_bTransferIdle = 0;
    engine.download = true;
    root->OnBnClickedButtonExit();
    pumpFor(100);
    CString message;
    root->m_pPageExit->m_staticMessage.GetWindowText(message);
    EXPECT_EQ(message, CLangLibrary::loadLangString(13449));
    EXPECT_EQ(frame.transferMarks, 1);

    root->m_pPageExit->SendMessage(WM_COMMAND, MAKEWPARAM(IDC_BUTTON_OK, BN_CLICKED),
                                   reinterpret_cast<LPARAM>(root->m_pPageExit->m_btnOk.m_hWnd));
    pumpFor(30);
    std::vector<CString> expected = {L"stopAndJoin", L"writeResume", L"quit"};
    EXPECT_EQ(engine.calls, expected);
    EXPECT_NE(GetFileAttributesW(folder), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(frame.exitFlags, 1);
    EXPECT_EQ(mainFrame().sendStatics, 1);
}

}  // namespace

namespace {

HWND g_pickerSeen = nullptr;
bool g_pickerCancelled = false;

BOOL CALLBACK findPicker(HWND hwnd, LPARAM) {
    wchar_t cls[32] = {0};
    GetClassNameW(hwnd, cls, 32);
    if (IsWindowVisible(hwnd) && CString(cls) == L"#32770") {
        g_pickerSeen = hwnd;
        return FALSE;
    }
    return TRUE;
}

// Closes the system's picker once it shows on this thread.
void CALLBACK cancelPicker(HWND, UINT, UINT_PTR id, DWORD) {
    g_pickerSeen = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), findPicker, 0);
    if (g_pickerSeen) {
        KillTimer(nullptr, id);
        PostMessageW(g_pickerSeen, WM_COMMAND, IDCANCEL, 0);
        g_pickerCancelled = true;
    }
}

// The real picker: modal over the root, cancelled, nothing chosen.
TEST_F(RootWindows, SystemPickerCancelledChoosesNothing) {
    createRoot();
    UINT_PTR timer = SetTimer(nullptr, 0, 200, cancelPicker);
    CString chosen = root->browseFolder(L"C:\\windows", CString());
    KillTimer(nullptr, timer);
    EXPECT_TRUE(g_pickerCancelled);
    EXPECT_TRUE(chosen.IsEmpty());
    EXPECT_FALSE(g_bFolderPickerOpen);
}

}  // namespace
