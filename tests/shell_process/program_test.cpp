// The program as the user meets it: started under Wine against the
// driver's stand-in, its windows found by process, real keys and clicks,
// the screen captured where the root window lies.
#include "foundation/code_tables.h"
#include "tests/shell_frame/standin_log.h"
#include "tests/shell_process/program_driver.h"
#include "tests/support/capture.h"
#include "tests/support/test_support.h"
#include "ui/lang_library.h"
#include "ui/text_ids.h"

#include <gtest/gtest.h>
#include <shlobj.h>

#include <sstream>
#include <string>

using namespace driver;

namespace {

constexpr DWORD kStartMs = 90000;
const wchar_t kFrameTitle[] = L"Kestrune_RUNNING_TITLE";
const wchar_t kNoticeTitle[] = L"Kestrune_ALREADY_RUNNING_TITLE";
constexpr int kExitTitleId = 1546;  // the exit page's title text
constexpr int kOkId = 1100;
constexpr int kCancelId = 1101;
constexpr int kExitButtonId = 1498;

CString appDataFolder() {
    wchar_t path[MAX_PATH] = {};
    SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, 0, path);
    return CString(path) + L"\\Kestrune\\";
}

bool isFrame(HWND hwnd) {
    wchar_t cls[64] = {};
    GetClassNameW(hwnd, cls, 64);
    return wcscmp(cls, L"Kestrune") == 0;
}

// The desktop as the user sees it; pixels are read in screen coordinates.
WindowShot screen(const CString& name, const CString& shows) {
    return saveScreenshot(GetDesktopWindow(), name, shows);
}

}  // namespace

class ProgramTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(standin_log::folder().IsEmpty()) << "runs inside a stand-in instance";
        resetSettings();
    }
};

TEST_F(ProgramTest, StartsHiddenFrameAndCentredRootThenExitsWithOneUpload) {
    const size_t mark = standin_log::lines().size();
    Program app;
    ASSERT_TRUE(app.start());
    HWND root = app.waitRoot(kStartMs);
    ASSERT_TRUE(root) << "no root window";

    HWND frame = app.waitWindow(isFrame, 5000);
    ASSERT_TRUE(frame);
    EXPECT_FALSE(IsWindowVisible(frame));
    EXPECT_EQ(CString(kFrameTitle), windowText(frame));

    RECT r{};
    GetWindowRect(root, &r);
    const int sw = GetSystemMetrics(SM_CXSCREEN), sh = GetSystemMetrics(SM_CYSCREEN);
    EXPECT_NEAR((sw - 900) / 2, r.left, 1);
    EXPECT_NEAR((sh - 680) / 2, r.top, 1);

    // One GUID request for a profile without a GUID, and the GUID is kept.
    EXPECT_TRUE(waitUntil([&] { return !appString(L"US_User", L"ClientGUID").IsEmpty(); }, 20000));
    EXPECT_EQ(1u, standin_log::of("GetGUID", mark).size());

    // What the screen shows where the root lies is what the root painted:
    // the page area under the header is the login page's white body.
    pumpMessages(500);
    WindowShot own;
    ASSERT_TRUE(own.capture(root));
    WindowShot shot = screen(L"start_login", L"root 900x680 centred, header, the login page's placeholder");
    int same = 0, white = 0;
    for (int y = 70; y < 640; y += 37) {
        for (int x = 10; x < 890; x += 41) {
            COLORREF s = shot.at(r.left + x, r.top + y);
            same += s == own.at(x, y) ? 1 : 0;
            white += s == RGB(255, 255, 255) ? 1 : 0;
        }
    }
    const int samples = ((640 - 70 + 36) / 37) * ((890 - 10 + 40) / 41);
    EXPECT_GT(same, samples * 9 / 10);
    EXPECT_GT(white, samples / 2);
    HWND loginPage = nullptr;
    for (HWND page = GetWindow(root, GW_CHILD); page; page = GetWindow(page, GW_HWNDNEXT)) {
        RECT p{};
        GetWindowRect(page, &p);
        if (IsWindowVisible(page) && p.right - p.left == 900 && p.top - r.top == 60) loginPage = page;
    }
    EXPECT_TRUE(loginPage) << "no page shown under the header";

    // Temporary folders that a confirmed exit removes.
    CreateDirectoryW((appDataFolder()).GetString(), nullptr);
    CreateDirectoryW((appDataFolder() + L"License").GetString(), nullptr);
    CreateDirectoryW((appDataFolder() + L"Notice").GetString(), nullptr);
    writeBytes(appDataFolder() + L"Notice\\notice.xml", "<x/>");

    // The exit button shows the exit page; Cancel goes back.
    auto exitPageShown = [&] { return visiblePageWith(root, kExitTitleId) != nullptr; };
    clickControl(findVisibleControl(root, kExitButtonId));
    ASSERT_TRUE(waitUntil(exitPageShown, 10000));
    screen(L"exit_page_en", L"the exit page over the login page, English");
    clickControl(GetDlgItem(visiblePageWith(root, kExitTitleId), kCancelId));
    EXPECT_TRUE(waitUntil([&] { return !exitPageShown(); }, 10000));
    EXPECT_TRUE(app.running());

    // Alt+F4 only shows the exit page too; then OK: one upload, and the end.
    altF4(root);
    EXPECT_TRUE(waitUntil(exitPageShown, 10000));
    EXPECT_TRUE(app.running());
    EXPECT_EQ(0u, standin_log::of("SetDownErrorLog", mark).size());
    if (!exitPageShown()) clickControl(findVisibleControl(root, kExitButtonId));
    ASSERT_TRUE(waitUntil(exitPageShown, 10000));
    clickControl(GetDlgItem(visiblePageWith(root, kExitTitleId), kOkId));
    EXPECT_TRUE(app.waitExit(60000));
    std::vector<std::string> uploads = standin_log::of("SetDownErrorLog", mark);
    ASSERT_EQ(1u, uploads.size());
    EXPECT_NE(std::string::npos, uploads[0].find("[D:0,T:")) << uploads[0];
    // The run is framed by its two log banners.
    WIN32_FIND_DATAW found;
    HANDLE logs = FindFirstFileW((moduleFolder() + L"log\\Kestrune_WIN_*.log").GetString(), &found);
    ASSERT_NE(INVALID_HANDLE_VALUE, logs);
    FindClose(logs);
    const std::string log = readBytes(moduleFolder() + L"log\\" + found.cFileName);
    const std::string pid = "][" + std::to_string(app.pid()) + "][";
    for (const char* banner : {"[ START Kestrune ", "[ FINISH Kestrune "}) {
        bool ours = false;
        std::istringstream lines(log);
        for (std::string line; std::getline(lines, line);) {
            ours = ours || (line.find(pid) != std::string::npos && line.find(banner) != std::string::npos);
        }
        EXPECT_TRUE(ours) << banner;
    }
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW((appDataFolder() + L"License").GetString()));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW((appDataFolder() + L"Notice").GetString()));

    // A second start with the GUID stored asks for none.
    const size_t mark2 = standin_log::lines().size();
    Program again;
    ASSERT_TRUE(again.start());
    ASSERT_TRUE(again.waitRoot(kStartMs));
    pumpMessages(1000);
    EXPECT_EQ(0u, standin_log::of("GetGUID", mark2).size());
}

TEST_F(ProgramTest, SecondStartShowsTheNoticeAndAThirdRaisesIt) {
    Program first;
    ASSERT_TRUE(first.start());
    ASSERT_TRUE(first.waitRoot(kStartMs));

    Program second;
    ASSERT_TRUE(second.start());
    HWND notice = second.waitWindow([](HWND h) { return IsWindowVisible(h) && windowText(h) == kNoticeTitle; },
                                    kStartMs);
    ASSERT_TRUE(notice);
    pumpMessages(800);
    EXPECT_TRUE(second.running());

    Program third;
    ASSERT_TRUE(third.start());
    EXPECT_TRUE(third.waitExit(kStartMs));
    EXPECT_TRUE(third.windows(true).empty());
    EXPECT_TRUE(IsWindow(notice));
    pumpMessages(500);
    // Raised: the notice lies above the first instance's root.
    HWND firstRoot = first.waitRoot(1000);
    int noticeAt = -1, rootAt = -1, at = 0;
    for (HWND w = GetTopWindow(nullptr); w; w = GetWindow(w, GW_HWNDNEXT), ++at) {
        if (w == notice) noticeAt = at;
        if (w == firstRoot) rootAt = at;
    }
    EXPECT_TRUE(noticeAt >= 0 && noticeAt < rootAt) << noticeAt << " " << rootAt;
    screen(L"already_running", L"the notice box raised in front of the root after a third start");
    EXPECT_TRUE(second.running());

    clickControl(findVisibleControl(notice, kOkId));
    EXPECT_TRUE(second.waitExit(30000));
    EXPECT_TRUE(first.running());
}

TEST_F(ProgramTest, SelfUpdateFlagStopsTheStartOnlyWhileItsPopupIsUp) {
    // The self-update popup of another start, by its title.
    ASSERT_TRUE(CLangLibrary::loadLanguage(LANGUAGE_EN));
    HWND popup = CreateWindowExW(0, L"STATIC", CLangLibrary::loadLangString(IDS_SELF_UPDATE_WINDOW_TITLE).GetString(),
                                 WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_TRUE(popup);
    setAppDword(L"", L"LiveUpdateRunning", 1);
    {
        Program app;
        ASSERT_TRUE(app.start());
        EXPECT_TRUE(app.waitExit(kStartMs));
        EXPECT_EQ(1u, appDword(L"", L"LiveUpdateRunning", 9));
    }
    DestroyWindow(popup);
    // Left at 1 by a crashed update, with nothing else running: reset.
    Program app;
    ASSERT_TRUE(app.start());
    EXPECT_TRUE(app.waitRoot(kStartMs));
    EXPECT_EQ(0u, appDword(L"", L"LiveUpdateRunning", 9));
}

TEST_F(ProgramTest, InstallerWindowBlocksOnlyWhileUninstalling) {
    HWND installer = CreateWindowExW(0, L"STATIC", L"Kestrune - InstallShield Wizard", WS_POPUP, 0, 0, 10, 10,
                                     nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_TRUE(installer);
    {
        Program app;
        ASSERT_TRUE(app.start());
        EXPECT_TRUE(app.waitRoot(kStartMs)) << "the installer's window alone must not block";
    }
    setAppDword(L"", L"UninstallStatus", 1);
    {
        Program app;
        ASSERT_TRUE(app.start());
        EXPECT_TRUE(app.waitExit(kStartMs));
        EXPECT_EQ(nullptr, app.waitRoot(1));
    }
    DestroyWindow(installer);
}

TEST_F(ProgramTest, ExitPageInKoreanAndArabic) {
    const wchar_t* languages[] = {L"ko-KR", L"ar-AR"};
    for (const wchar_t* language : languages) {
        resetSettings(L"US", language);
        Program app;
        ASSERT_TRUE(app.start());
        HWND root = app.waitRoot(kStartMs);
        ASSERT_TRUE(root) << CStringA(language).GetString();
        clickControl(findVisibleControl(root, kExitButtonId));
        ASSERT_TRUE(waitUntil([&] { return visiblePageWith(root, kExitTitleId) != nullptr; }, 10000));
        pumpMessages(300);
        screen(CString(L"exit_page_") + language,
               CString(L"the exit page in ") + language + L" (Arabic: header and buttons mirrored)");
    }
}
