// The self-update popup run modally against the stand-in over HTTPS, with a
// scratch install folder: what DoModal returns, what the user sees, and
// that the worker has always ended when DoModal returns.
#include "tests/ui_bases/ui_env.h"

#include "foundation/config_file.h"
#include "foundation/logmanager.h"
#include "foundation/private_messages.h"
#include "pages/account/dlg_live_update.h"
#include "tests/support/capture.h"
#include "tests/support/test_support.h"
#include "tests/support/update_list.h"
#include "tests/webclient/standin_client.h"
#include "ui/lang_library.h"
#include "ui/text_ids.h"
#include "webclient/connectivity.h"
#include "webclient/webpost.h"

#include <gtest/gtest.h>
#include <json/json.h>

#include <climits>
#include <functional>
#include <map>
#include <sstream>

namespace {

const CString kFolder = L"/UPDATE_PROGRAM_DOWNLOAD/UPDATE_CLIENT/KestruneV02/PATCH/WIN/";

// What happened to the popup's window, seen from a hook on this thread.
struct Seen {
    CDlgLiveUpdate* popup = nullptr;
    bool shown = false;
    ULONGLONG completeAt = 0;
    ULONGLONG destroyedAt = 0;
    float barAtDestroy = -1;
    ULONGLONG lastSeenAt100 = 0;  // last step that saw it on screen at 100
};
Seen g_seen;

LRESULT CALLBACK watchPopup(int code, WPARAM wParam, LPARAM lParam) {
    const auto* m = reinterpret_cast<const CWPSTRUCT*>(lParam);
    CDlgLiveUpdate* popup = g_seen.popup;
    if (code == HC_ACTION && popup && m->hwnd == popup->GetSafeHwnd()) {
        if (m->message == WM_SHOWWINDOW && m->wParam) g_seen.shown = true;
        if (m->message == WM_WINDOWPOSCHANGED &&
            (reinterpret_cast<const WINDOWPOS*>(m->lParam)->flags & SWP_SHOWWINDOW)) {
            g_seen.shown = true;
        }
        if (m->message == WM_DESTROY) {
            g_seen.destroyedAt = GetTickCount64();
            g_seen.barAtDestroy = popup->m_progress.m_fPos;
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

// The engine posts its completion.
LRESULT CALLBACK watchPosted(int code, WPARAM wParam, LPARAM lParam) {
    const auto* m = reinterpret_cast<const MSG*>(lParam);
    if (code == HC_ACTION && wParam == PM_REMOVE && g_seen.popup && m->hwnd == g_seen.popup->GetSafeHwnd() &&
        m->message == UM_LIVEUPDATE_COMPLETE && !g_seen.completeAt) {
        g_seen.completeAt = GetTickCount64();
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

// Calls a step every 30 ms while the popup's own loop runs.
std::function<void(CDlgLiveUpdate&)> g_step;
void CALLBACK runStep(HWND, UINT, UINT_PTR, DWORD) {
    if (g_step && g_seen.popup && g_seen.popup->GetSafeHwnd()) g_step(*g_seen.popup);
}

using update_list::Listed;

class LiveUpdatePopup : public testing::Test {
protected:
    void SetUp() override {
        REQUIRE_STANDIN();
        static TempDir logs;
        static const bool logging = (g_logManager.init(logs.path(), L"popups.log", 1 << 20, 10, 1), true);
        (void)logging;
        standin::clearFaults();
        configPath = moduleFolder() + L"config.json";
        originalConfig = readBytes(configPath);
        configure({});
        fetchList();
        install = dir.path().Left(dir.path().GetLength() - 1);
        writeBytes(dir / L"Kestrune.exe", "old program");
        writeBytes(dir / L"Lang.dll", "old language");
        CreateDirectoryW((dir / L"Info").GetString(), nullptr);
        writeBytes(dir / L"Info\\UpdateInfo.txt", "00001|/Kestrune.exe\r\n00099|/Lang.dll\r\n");
        g_seen = Seen{};
        hook = SetWindowsHookExW(WH_CALLWNDPROC, watchPopup, nullptr, GetCurrentThreadId());
        postedHook = SetWindowsHookExW(WH_GETMESSAGE, watchPosted, nullptr, GetCurrentThreadId());
        useLanguage(kLanguages[1]);
    }
    void TearDown() override {
        if (hook) UnhookWindowsHookEx(hook);
        if (postedHook) UnhookWindowsHookEx(postedHook);
        g_step = nullptr;
        g_seen = Seen{};
        setConnectivityProbe({});
        if (!originalConfig.empty()) writeBytes(configPath, originalConfig);
        if (standin::available()) standin::clearFaults();
    }

    // config.json beside the program with the self-update server on HTTPS
    // and the given members changed (an empty value removes the member).
    void configure(const std::map<std::string, std::string>& changes) {
        Json::Value config;
        Json::Reader().parse(originalConfig, config);
        config["LIVEUPDATE_URL"] = "https://" + std::string(CStringA(standin::host()).GetString());
        for (const auto& c : changes) {
            if (c.second.empty()) {
                config.removeMember(c.first);
            } else {
                config[c.first] = c.second;
            }
        }
        writeBytes(configPath, Json::StyledWriter().write(config));
    }
    void fetchList() {
        CWebPOST post;
        ResponseData* data = new ResponseData();
        ASSERT_TRUE(post.Submit(standin::host(), kFolder + L"UpdateInfo.txt", data, 443, nullptr, L"GET", TRUE));
        serverList.assign(reinterpret_cast<const char*>(data->pData), data->count);
        post.FreeData(&data);
        update_list::read(serverList, listed);
        ASSERT_EQ(3u, listed.size());
    }
    // Every listed file present and the local list (version and path)
    // equal to the server's.
    void makeCurrent() {
        std::string local;
        for (const auto& l : listed) local += l.second.line.substr(0, l.second.line.find('|', 6)) + "\r\n";
        writeBytes(dir / L"Info\\UpdateInfo.txt", local);
        CreateDirectoryW((dir / L"skin").GetString(), nullptr);
        writeBytes(dir / L"skin\\brand.dat", "present");
    }
    void faults(const std::string& rules) { standin::setFaults(rules); }
    std::string rule(const CString& file, const std::string& fault) {
        return "{\"path\": \"" + std::string(CStringA(kFolder + file).GetString()) + "\", " + fault + "}";
    }

    struct Run {
        INT_PTR result;
        int check;
        int fail;
        bool workerEnded;
        ULONGLONG endedAt;
    };
    Run run() {
        CDlgLiveUpdate popup;
        popup.setInstallPath(install);
        g_seen.popup = &popup;
        const UINT_PTR timer = SetTimer(nullptr, 0, 30, runStep);
        const INT_PTR result = popup.DoModal();
        const ULONGLONG endedAt = GetTickCount64();
        KillTimer(nullptr, timer);
        g_seen.popup = nullptr;
        return {result, popup.m_nCheckResult, popup.m_nFailCode, popup.workerEnded(), endedAt};
    }
    bool holds(const CString& relative, const Listed& file) const {
        const std::string bytes = readBytes(dir / relative);
        return bytes.size() == file.size && standin::crc32Of(bytes) == file.crc;
    }

    CString configPath;
    std::string originalConfig;
    std::string serverList;
    std::map<std::string, Listed> listed;
    TempDir dir;
    CString install;
    HHOOK hook = nullptr;
    HHOOK postedHook = nullptr;
};

TEST(LiveUpdateRules, PercentFailCodesAndPlaces) {
    using namespace live_update;
    struct {
        WPARAM w;
        LPARAM l;
        int files;     // UM_LIVEUPDATE_PROGRESS: w total, l done
        int download;  // UM_DOWNLOAD_PROGRESS: w received, l total
    } cases[] = {
        {0, 0, 0, 0},                  // 0 counts as 1 on either side
        {4, 1, 25, kNoChange},         // 4 KB of 1 KB
        {1, 4, kNoChange, 25},
        {3, 2, 66, kNoChange},         // truncated, not rounded
        {0, 1, 100, 0},                // one file done of "none": 100
        {1, 0, 0, 100},                // one kilobyte of "none": 100
        {2, 3, kNoChange, 66},
        {5, -1, kNoChange, kNoChange}, // negative either way
        {0x300000000ull, 0x180000000ll, 50, kNoChange},  // above 32 bits
        {0x180000000ull, 0x300000000ll, kNoChange, 50},
        {ULLONG_MAX, LLONG_MAX, kNoChange, kNoChange},
        {1ull << 63, LLONG_MAX, kNoChange, 100},  // received is unsigned, counts are not
        {static_cast<WPARAM>(LLONG_MAX), LLONG_MAX, 100, 100},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.w << "/" << c.l);
        EXPECT_EQ(c.files, filePercent(c.w, c.l));
        EXPECT_EQ(c.download, downloadPercent(c.w, c.l));
    }
    struct {
        WPARAM error;
        LPARAM server;
        int fail;
    } errors[] = {
        {0, 404, LIVEUPDATE_FAIL_NOT_FOUND}, {91, 404, LIVEUPDATE_FAIL_NOT_FOUND}, {91, 0, LIVEUPDATE_FAIL_SIZE},
        {92, 0, LIVEUPDATE_FAIL_CRC},        {2, 0, LIVEUPDATE_FAIL_NETWORK},     {0, 500, LIVEUPDATE_FAIL_NETWORK},
        {7, 0, LIVEUPDATE_FAIL_NETWORK},
    };
    for (const auto& e : errors) EXPECT_EQ(e.fail, failCodeOfError(e.error, e.server)) << e.error << "," << e.server;

    const Rect text = messageRect(400, false), bar = barRect(400, false);
    EXPECT_EQ(34, text.x);
    EXPECT_EQ(96, text.y);
    EXPECT_EQ(332, text.w);
    EXPECT_EQ(18, text.h);
    EXPECT_EQ(151, bar.y);
    EXPECT_EQ(10, bar.h);
    EXPECT_EQ(34, messageRect(400, true).x);
    EXPECT_EQ(34, barRect(450, true).x);
    EXPECT_EQ(382, barRect(450, true).w);
}

// Ends inside its set-up, never on screen: nothing to do, the list
// missing, a configured folder that fails before the built-in one.
TEST_F(LiveUpdatePopup, ChecksThatEndBeforeShowing) {
    makeCurrent();
    {
        SCOPED_TRACE("all current");
        standin::markRequests();
        const Run r = run();
        EXPECT_EQ(IDOK, r.result);
        EXPECT_EQ(0, r.check);
        EXPECT_FALSE(g_seen.shown);
        const auto lists = standin::requestsAtLeast(CStringA(kFolder + L"UpdateInfo.txt").GetString(), 1);
        ASSERT_FALSE(lists.empty());
        for (const Json::Value& e : lists) EXPECT_EQ("https", e["scheme"].asString());
    }
    {
        SCOPED_TRACE("list missing");
        faults("[" + rule(L"UpdateInfo.txt", "\"status\": 404") + "]");
        const Run r = run();
        EXPECT_EQ(IDCANCEL, r.result);
        EXPECT_EQ(-8, r.check);
        EXPECT_EQ(LIVEUPDATE_FAIL_NOT_FOUND, r.fail);
        EXPECT_FALSE(g_seen.shown);
        standin::clearFaults();
    }
    {
        SCOPED_TRACE("configured folder missing");
        configure({{"UPDATEFILE_PATH", "/nowhere/"}});
        standin::markRequests();
        const Run r = run();
        EXPECT_EQ(IDOK, r.result);
        EXPECT_EQ(0, r.check);
        EXPECT_FALSE(standin::requestsAtLeast("/nowhere/UpdateInfo.txt", 1).empty());
        EXPECT_FALSE(standin::requestsAtLeast(CStringA(kFolder + L"UpdateInfo.txt").GetString(), 1).empty());
    }
    {
        SCOPED_TRACE("server unreachable");
        // The built-in server is the configured host too: both checks fail.
        configure({{"LIVEUPDATE_URL", "https://127.0.0.1:1"}});
        const Run r = run();
        EXPECT_EQ(IDCANCEL, r.result);
        EXPECT_LT(r.check, 0);
        EXPECT_NE(-8, r.check);
        EXPECT_EQ(LIVEUPDATE_FAIL_NETWORK, r.fail);
    }
    EXPECT_FALSE(g_seen.shown);
}

// Shown while it fetches, at 100 for the last 700 ms, one upload of the
// statistics, the new files in place.
TEST_F(LiveUpdatePopup, UpdateShowsProgressAndEndsWithTheFilesInPlace) {
    faults("[" + rule(L"Kestrune.exe", "\"rate\": 24000") + "]");
    standin::markRequests();
    int shots = 0;
    bool foundByTitle = false;
    g_step = [&](CDlgLiveUpdate& popup) {
        if (IsWindowVisible(popup.m_hWnd) && popup.m_progress.m_fPos == 100) g_seen.lastSeenAt100 = GetTickCount64();
        // What a second start of the program looks for to raise the popup.
        const CString title = CLangLibrary::loadLangString(IDS_SELF_UPDATE_WINDOW_TITLE);
        if (!title.IsEmpty() && FindWindowW(nullptr, title.GetString()) == popup.m_hWnd) foundByTitle = true;
        if (shots == 0 && IsWindowVisible(popup.m_hWnd) && popup.m_progress.m_fPos == 0) {
            ++shots;
            const WindowShot shot = saveScreenshot(popup.m_hWnd, L"live_update_en",
                                                   L"self-update popup in English mid-run: title 'Kestrune self-update' "
                                                   L"top left, the downloading line centred, grey bar below");
            EXPECT_EQ(RGB(233, 233, 233), shot.at(200, 156)) << "the bar's background";
        }
    };
    const Run r = run();
    EXPECT_EQ(IDOK, r.result);
    EXPECT_EQ(1, r.check);
    EXPECT_TRUE(r.workerEnded);
    EXPECT_TRUE(g_seen.shown);
    ASSERT_NE(0u, g_seen.completeAt);
    EXPECT_GE(g_seen.destroyedAt - g_seen.completeAt, 700u);
    // Steps run every 30 ms: on screen at 100 until close to the end.
    EXPECT_GE(g_seen.lastSeenAt100, g_seen.completeAt + 600);
    EXPECT_EQ(100.0f, g_seen.barAtDestroy);
    EXPECT_EQ(1, shots);
    EXPECT_TRUE(foundByTitle);
    EXPECT_EQ(1u, standin::requestsAtLeast("/api/SetDownErrorLog", 1).size());
    EXPECT_TRUE(holds(L"Kestrune.exe", listed["/Kestrune.exe"]));
    EXPECT_TRUE(holds(L"skin\\brand.dat", listed["/skin/brand.dat"]));
    EXPECT_EQ("old language", readBytes(dir / L"Lang.dll"));
    for (const Json::Value& e : standin::requests(CStringA(kFolder + L"*").GetString())) {
        EXPECT_EQ("https", e["scheme"].asString()) << e["path"].asString();
    }
}

// Engine errors end the popup with their fail code and leave the old files.
TEST_F(LiveUpdatePopup, EngineErrorsEndWithTheirFailCode) {
    const Listed& k = listed["/Kestrune.exe"];
    auto listWith = [&](ULONGLONG size, UINT32 crc) {
        std::string body = "00012|/Kestrune.exe|" + std::to_string(size) + "|" + std::to_string(crc) + "\\r\\n";
        return rule(L"UpdateInfo.txt", "\"status\": 200, \"body\": \"" + body + "\"");
    };
    struct {
        const char* what;
        std::string rules;
        int fail;
    } cases[] = {
        {"file missing", "[" + rule(L"skin/brand.dat", "\"status\": 404") + "]", LIVEUPDATE_FAIL_NOT_FOUND},
        {"size differs", "[" + listWith(k.size + 1, k.crc) + "]", LIVEUPDATE_FAIL_SIZE},
        {"CRC differs", "[" + listWith(k.size, k.crc + 1) + "]", LIVEUPDATE_FAIL_CRC},
        {"server error", "[" + rule(L"Kestrune.exe", "\"status\": 500") + "]", LIVEUPDATE_FAIL_NETWORK},
        // A listed file whose reply carries nothing: never skipped as if done.
        {"empty reply", "[" + rule(L"Kestrune.exe", "\"empty\": true") + "]", LIVEUPDATE_FAIL_NETWORK},
        {"dropped reply", "[" + rule(L"Kestrune.exe", "\"drop\": true") + "]", LIVEUPDATE_FAIL_NETWORK},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        faults(c.rules);
        const Run r = run();
        EXPECT_EQ(IDCANCEL, r.result);
        EXPECT_EQ(1, r.check);
        EXPECT_EQ(c.fail, r.fail);
        EXPECT_TRUE(r.workerEnded);
        EXPECT_EQ("old program", readBytes(dir / L"Kestrune.exe"));
        EXPECT_EQ("00001|/Kestrune.exe\r\n00099|/Lang.dll\r\n", readBytes(dir / L"Info\\UpdateInfo.txt"));
    }
}

// A lost connection and Alt+F4 both stop the engine mid-download: Cancel
// with fail code 0 soon after, the worker gone, nothing replaced.
TEST_F(LiveUpdatePopup, LostConnectionAndAltF4StopTheWorker) {
    enum Way { LOST, ALT_F4 };
    for (Way way : {LOST, ALT_F4}) {
        SCOPED_TRACE(way == LOST ? "connection lost" : "Alt+F4");
        faults("[" + rule(L"Kestrune.exe", "\"rate\": 4000") + "]");
        ULONGLONG endAsked = 0;
        std::atomic<bool> connected{true};
        setConnectivityProbe([&](DWORD& flags) {
            flags = connected ? INTERNET_CONNECTION_LAN : 0;
            return connected.load();
        });
        g_step = [&](CDlgLiveUpdate& popup) {
            if (endAsked || !IsWindowVisible(popup.m_hWnd) || popup.engine().webPost.m_ullJobTotal == 0) return;
            endAsked = GetTickCount64();
            if (way == LOST) {
                connected = false;
                return;
            }
            SetForegroundWindow(popup.m_hWnd);
            INPUT keys[4] = {};
            const WORD order[4] = {VK_MENU, VK_F4, VK_F4, VK_MENU};
            for (int i = 0; i < 4; ++i) {
                keys[i].type = INPUT_KEYBOARD;
                keys[i].ki.wVk = order[i];
                keys[i].ki.dwFlags = i < 2 ? 0 : KEYEVENTF_KEYUP;
            }
            SendInput(4, keys, sizeof(INPUT));
        };
        const Run r = run();
        setConnectivityProbe({});
        EXPECT_EQ(IDCANCEL, r.result);
        EXPECT_EQ(1, r.check);
        EXPECT_EQ(LIVEUPDATE_FAIL_NETWORK, r.fail);
        EXPECT_TRUE(r.workerEnded);
        ASSERT_NE(0u, endAsked);
        EXPECT_LT(r.endedAt - endAsked, 1500u);
        EXPECT_EQ("old program", readBytes(dir / L"Kestrune.exe"));
        EXPECT_FALSE(fileExists(dir / L"skin\\brand.dat"));
    }
}

// The popup in each language, mid-run, for the eye.
TEST_F(LiveUpdatePopup, PicturesInThreeLanguages) {
    faults("[" + rule(L"Kestrune.exe", "\"rate\": 12000") + "]");
    for (const UiLanguage& language : kLanguages) {
        useLanguage(language);
        bool taken = false;
        g_step = [&](CDlgLiveUpdate& popup) {
            if (taken || !IsWindowVisible(popup.m_hWnd) || popup.m_progress.m_fPos < 20) return;
            taken = true;
            CString line;
            popup.m_staticMessage.GetWindowText(line);
            CRect place;
            popup.m_staticMessage.GetClientRect(&place);
            EXPECT_LE(popup.m_staticMessage.measureText(line).cx, place.Width()) << "the line fits: " << language.tag;
            saveScreenshot(popup.m_hWnd, CString(L"live_update_") + language.tag + L"_progress",
                           L"self-update popup mid-run: title in the header, the downloading line centred in the "
                           L"UI language, a dark bar partly filled over grey (from the right in Arabic)");
            popup.PostMessage(WM_COMMAND, IDCANCEL);
        };
        const Run r = run();
        EXPECT_TRUE(taken) << language.tag;
        EXPECT_EQ(IDCANCEL, r.result);
        EXPECT_TRUE(r.workerEnded);
    }
    useLanguage(kLanguages[1]);
}

}  // namespace
