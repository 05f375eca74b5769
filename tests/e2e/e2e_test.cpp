// The whole update as a new user does it: Kestrune.exe started from its
// installed folder against the stand-in, every step by SendInput, the
// program's windows found by process and read by control id. The medium or
// download folder is compared with the stand-in's content afterwards by the
// checker script that runs this executable.
//   E2E_REGION, E2E_LANGUAGE   the profile (KR ko-KR, US en-US, EU ar-AR)
//   E2E_TARGET                 "drive" (R:) or "folder" (the download folder)
//   E2E_DOWNLOADS              the download folder
//   E2E_SNAPSHOT               where a fault's run leaves a copy of the medium
//                              and the download folder as they were at the
//                              fault (checked afterwards for false completions)
#include "tests/shell_frame/standin_log.h"
#include "tests/shell_process/program_driver.h"
#include "tests/support/capture.h"
#include "tests/support/test_support.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

using namespace driver;

namespace {

constexpr DWORD kStartMs = 90000;
constexpr DWORD kStepMs = 30000;
constexpr DWORD kRunMs = 300000;
constexpr int kExitButtonId = 1498;
constexpr int kHoldId = 1594;
constexpr int kCancelId = 1596;
constexpr int kNextId = 1597;
constexpr int kStatusId = 1558;

CString env(const wchar_t* name, const wchar_t* fallback = L"") {
    wchar_t buffer[1024] = {};
    DWORD n = GetEnvironmentVariableW(name, buffer, 1024);
    return n == 0 || n >= 1024 ? CString(fallback) : CString(buffer);
}

std::string u8(const CString& s) {
    return std::string(CStringA(s).GetString());
}

std::string utf8(const wchar_t* text) {
    const int n = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    std::string out(n > 0 ? n - 1 : 0, '\0');
    if (n > 1) WideCharToMultiByte(CP_UTF8, 0, text, -1, &out[0], n, nullptr, nullptr);
    return out;
}

CString className(HWND hwnd) {
    wchar_t cls[128] = {};
    GetClassNameW(hwnd, cls, 128);
    return cls;
}

// What the program shows: every visible window and control, for a failure's log.
void dumpWindows(const Program& app, const char* when) {
    printf("---- windows %s\n", when);
    for (HWND top : app.windows(true)) {
        RECT r{};
        GetWindowRect(top, &r);
        printf("top %p %s \"%s\" (%ld,%ld %ldx%ld)\n", static_cast<void*>(top), u8(className(top)).c_str(),
               u8(windowText(top)).c_str(), r.left, r.top, r.right - r.left, r.bottom - r.top);
        EnumChildWindows(
            top,
            [](HWND hwnd, LPARAM) -> BOOL {
                if (!IsWindowVisible(hwnd)) return TRUE;
                RECT c{};
                GetWindowRect(hwnd, &c);
                printf("  id %d %s \"%s\" (%ld,%ld %ldx%ld) parent %p%s\n", GetDlgCtrlID(hwnd),
                       u8(className(hwnd)).c_str(), u8(windowText(hwnd)).c_str(), c.left, c.top, c.right - c.left,
                       c.bottom - c.top, static_cast<void*>(GetParent(hwnd)), IsWindowEnabled(hwnd) ? "" : " disabled");
                return TRUE;
            },
            0);
    }
    fflush(stdout);
}

void key(WORD vk) {
    INPUT in[2] = {};
    in[0].type = in[1].type = INPUT_KEYBOARD;
    in[0].ki.wVk = in[1].ki.wVk = vk;
    in[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, in, sizeof(INPUT));
    pumpMessages(120);
}

void typeText(const CString& text) {
    for (int i = 0; i < text.GetLength(); ++i) {
        INPUT in[2] = {};
        in[0].type = in[1].type = INPUT_KEYBOARD;
        in[0].ki.wScan = in[1].ki.wScan = text[i];
        in[0].ki.dwFlags = KEYEVENTF_UNICODE;
        in[1].ki.dwFlags = KEYEVENTF_UNICODE | KEYEVENTF_KEYUP;
        SendInput(2, in, sizeof(INPUT));
        pumpMessages(30);
    }
    pumpMessages(100);
}

// Everything below the folder, the folder kept (a drive's root).
void emptyFolder(const CString& folder) {
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW((folder + L"*").GetString(), &data);
    if (find == INVALID_HANDLE_VALUE) return;
    do {
        const CString name = data.cFileName;
        if (name == L"." || name == L"..") continue;
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            removeTree(folder + name);
        } else {
            SetFileAttributesW((folder + name).GetString(), FILE_ATTRIBUTE_NORMAL);
            DeleteFileW((folder + name).GetString());
        }
    } while (FindNextFileW(find, &data));
    FindClose(find);
}

// Every file below folder ("X:\\"), as relative paths.
void listFiles(const CString& folder, const CString& prefix, std::vector<std::string>& out) {
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW((folder + prefix + L"*").GetString(), &data);
    if (find == INVALID_HANDLE_VALUE) return;
    do {
        const CString name = data.cFileName;
        if (name == L"." || name == L"..") continue;
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            listFiles(folder, prefix + name + L"\\", out);
        } else {
            out.push_back(u8(prefix + name));
        }
    } while (FindNextFileW(find, &data));
    FindClose(find);
}

// A copy of the tree below from ("X:\\" or a folder with its backslash)
// in the folder to, whose parent exists; false when a file did not copy.
bool copyTree(const CString& from, const CString& to) {
    if (!CreateDirectoryW(to.GetString(), nullptr)) return false;
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW((from + L"*").GetString(), &data);
    if (find == INVALID_HANDLE_VALUE) return true;
    bool ok = true;
    do {
        const CString name = data.cFileName;
        if (name == L"." || name == L"..") continue;
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            ok = copyTree(from + name + L"\\", to + L"\\" + name) && ok;
        } else {
            ok = CopyFileW((from + name).GetString(), (to + L"\\" + name).GetString(), FALSE) && ok;
        }
    } while (FindNextFileW(find, &data));
    FindClose(find);
    return ok;
}

}  // namespace

class UpdateRun : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(standin_log::folder().IsEmpty()) << "runs inside a stand-in instance";
        region = env(L"E2E_REGION", L"US");
        language = env(L"E2E_LANGUAGE", L"en-US");
        target = env(L"E2E_TARGET", L"drive");
        downloads = env(L"E2E_DOWNLOADS");
        ASSERT_FALSE(downloads.IsEmpty());
        resetSettings(region, language);
        RegSetKeyValueW(HKEY_CURRENT_USER, (CString(kAppKey) + L"\\Settings").GetString(), L"DataPath", REG_SZ,
                        downloads.GetString(), static_cast<DWORD>((downloads.GetLength() + 1) * sizeof(wchar_t)));
        removeTree(downloads);
        // The medium: emptied, with the head unit's version file of the
        // vehicle the scan matches (the update's target is another one).
        for (const wchar_t* drive : {L"R:\\", L"S:\\"}) emptyFolder(drive);
        CreateDirectoryW(L"R:\\swversion", nullptr);
        writeBytes(L"R:\\swversion\\swversion.info", "USA.TS.A01.000.SD.STD_240501\r\n");
        // The system's formatting library, in the mode that empties R:.
        wchar_t system[MAX_PATH] = {};
        GetSystemDirectoryW(system, MAX_PATH);
        formatter = CString(system) + L"\\fmifs.dll";
        ASSERT_TRUE(CopyFileW((moduleFolder() + L"fmifs.dll").GetString(), formatter.GetString(), FALSE));
        SetEnvironmentVariableW(L"KESTRUNE_FMIFS_MODE", L"empty");
    }
    void TearDown() override {
        if (HasFailure()) {
            dumpWindows(app, "at the failure");
            shot("failure", L"the screen when the run failed");
        }
        app.kill();
        DeleteFileW(formatter.GetString());
    }

    // A visible control with the id in any visible window of the program.
    HWND control(int id) const {
        for (HWND top : app.windows(true)) {
            if (HWND found = findVisibleControl(top, id)) return found;
        }
        return nullptr;
    }
    HWND waitControl(int id, DWORD ms = kStepMs) const {
        HWND found = nullptr;
        waitUntil([&] { return (found = control(id)) != nullptr || !app.running(); }, ms);
        return found;
    }
    void shot(const char* name, const CString& shows) {
        pumpMessages(300);
        CString file;
        file.Format(L"%s_%s_%s", language.GetString(), target.GetString(), CString(name).GetString());
        saveScreenshot(GetDesktopWindow(), file, shows);
    }

    // The web guide that a page shows once (its own OK, id 1), when it comes.
    void passWebGuide(const char* name) {
        HWND guideOk = nullptr;
        waitUntil(
            [&] {
                if (control(1100)) return true;
                guideOk = control(1633) ? control(1) : nullptr;
                return guideOk != nullptr;
            },
            kStepMs);
        if (!guideOk) return;
        shot(name, L"the web guide over the page, its OK button and the check box");
        clickControl(guideOk);
        waitUntil([&] { return !control(1633); }, kStepMs);
    }

    // Drive: Finish; folder: the choice of another vehicle (no Finish).
    bool isFinishPage() const {
        HWND finish = control(target == L"folder" ? 1597 : 1593);
        return finish && className(finish) == L"Button";
    }

    // Follows the update page to the finish page: a screenshot at every
    // new phase line.
    void watchRun() {
        const DWORD start = GetTickCount();
        CString last;
        int phase = 0;
        bool guideShown = false;
        bool finished = waitUntil(
            [&] {
                if (isFinishPage() || !app.running()) return true;
                // The head unit's web guide over the page: read, then OK.
                if (control(1596) && control(1) && !control(1633)) {
                    if (!guideShown) shot("11_system_guide", L"the web guide of the head unit, its address and OK");
                    guideShown = true;
                    clickControl(control(1));
                    return false;
                }
                HWND status = control(1558);
                if (!status) return false;
                CString text = windowText(status);
                if (text != last && !text.IsEmpty()) {
                    last = text;
                    char name[32];
                    snprintf(name, sizeof(name), "11_phase_%02d", ++phase);
                    printf("phase %d at %lu ms: %s\n", phase, GetTickCount() - start, u8(text).c_str());
                    shot(name, L"the update page: phase line \"" + text + L"\"");
                }
                return false;
            },
            kRunMs);
        printf("update run: %lu ms\n", GetTickCount() - start);
        ASSERT_TRUE(finished);
        shot("12_finish", L"the finish page");
        dumpWindows(app, "run end");
    }

    // Finish, OK on the question that follows: the program ends and reports.
    void finishAndExit(size_t mark, bool roadRecords = true) {
        clickControl(control(target == L"folder" ? kExitButtonId : 1593));
        HWND ok = waitControl(1100);
        ASSERT_TRUE(ok);
        shot("13_exit_question", L"after Finish: the exit page, end and cancel");
        clickControl(ok);
        ASSERT_TRUE(app.waitExit(60000));

        // One download check with the run's values.
        const std::vector<std::string> checks = standin_log::of("ChkDown", mark);
        ASSERT_EQ(1u, checks.size());
        // The other-language name only in Korea with another language.
        const bool intl = region == L"KR" && language != L"ko-KR";
        const std::string device =
            "\"D3\": \"" + utf8(intl ? L"Corvin Navigation" : L"\ucf54\ub974\ube48 \ub0b4\ube44\uac8c\uc774\uc158") + "\"";
        for (const std::string& value :
             {std::string("\"D1\": \"ts.road\""), std::string("\"D2\": \"TS\""), device,
              std::string("\"D4\": \"TS_C13_COMMON.inf\""), std::string("\"D5\": \"M\""),
              std::string("\"D6\": \"C13\""), "\"D7\": \"" + u8(region) + "\"", std::string("\"D9\": \"win\""),
              std::string("\"errors\": []"), std::string("\"result\": 200")}) {
            EXPECT_NE(std::string::npos, checks[0].find(value)) << value << "\n" << checks[0];
        }
        // One report at the end, its records of the road in order.
        const std::vector<std::string> reports = standin_log::of("SetDownErrorLog", mark);
        ASSERT_EQ(1u, reports.size());
        if (!roadRecords) return;
        size_t at = 0;
        for (const char* record : {"[D:10,", "[D:7,", "[D:12,", "[D:13,"}) {
            const size_t found = reports[0].find(record, at);
            EXPECT_NE(std::string::npos, found) << record << " in order\n" << reports[0];
            if (found != std::string::npos) at = found;
        }
        EXPECT_NE(std::string::npos, reports[0].find("[COMPLETE]")) << reports[0];
        // The vehicle data's stage, in Korea with both consents only.
        EXPECT_EQ(region == L"KR" && target == L"drive", reports[0].find("[D:8,") != std::string::npos) << reports[0];
    }

    // Start, sign-in with the answers of a first start, Arden refused on
    // R:, Corvin found by its model code: the registration page of Corvin.
    void signInAndFindCorvin() {
        ASSERT_TRUE(app.start());
        HWND root = app.waitRoot(kStartMs);
        ASSERT_TRUE(root);
        // The brand first (a page of its own where several brands sell, else
        // the list beside the form).
        // Where members sign in only as guests the dealer link opens the form.
        HWND id = nullptr;
        waitUntil([&] { return control(1579) || control(1622) || (id = control(1509)) != nullptr; }, kStartMs);
        pumpMessages(1000);
        if (HWND brand = control(1579)) {
            shot("01_brands", L"the login page with the brand buttons");
            clickControl(brand);
        } else if (HWND dealer = control(1622)) {
            shot("01_guest_brands", L"the guest brand buttons and the dealer link");
            clickControl(dealer);
        }
        id = waitControl(1509);
        ASSERT_TRUE(id);
        shot("01_login", L"the login page, empty");
        clickControl(id);
        typeText(L"ts.road");
        clickControl(waitControl(1510));
        typeText(L"Tessaly#2024");
        HWND login = waitControl(1505);
        ASSERT_TRUE(waitUntil([&] { return IsWindowEnabled(login) != FALSE; }, kStepMs));
        clickControl(login);
        // First start: the download folder (1006), kept as it is.
        HWND ok = waitControl(1508) ? waitControl(1100) : nullptr;
        ASSERT_TRUE(ok);
        shot("02_folder_1006", L"message 1006: the download folder, OK and change buttons");
        clickControl(ok);
        // Korea: the two consents (1007), both given.
        if (region == L"KR") {
            HWND yes1 = waitControl(1612);
            ASSERT_TRUE(yes1);
            clickControl(yes1);
            clickControl(waitControl(1614));
            shot("03_consent_1007", L"message 1007: both consents answered yes");
            clickControl(waitControl(1100));
        }
        // The scan matched ts-arden on R:, which refuses a medium over 32 GiB (1024).
        HWND update = waitControl(1592, kStepMs * 2);
        ASSERT_TRUE(update);
        shot("04_registration_arden", L"the registration page of Arden, R: chosen");
        clickControl(update);
        passWebGuide("05_web_guide");
        ok = waitControl(1100);
        ASSERT_TRUE(ok);
        shot("05_medium_1024", L"message 1024: the medium is too large for this vehicle");
        clickControl(ok);
        HWND change = waitControl(1591);
        ASSERT_TRUE(change);
        clickControl(change);
        passWebGuide("06_update_guide");
        HWND search = waitControl(1597);
        ASSERT_TRUE(search);
        shot("07_search", L"the search page: Arden chosen, the search field empty");
        clickControl(search);
        typeText(L"C13");
        ASSERT_TRUE(waitUntil([&] { return windowText(control(1596)).Find(L"USB") >= 0; }, kStepMs));
        shot("08_search_corvin", L"the search page: Corvin found by its model code, USB medium");
        clickControl(waitControl(1));
    }

    // The registration page: the target chosen, update, the question shown
    // (1013 for the medium); returns its OK button.
    HWND chooseTargetAndUpdate() {
        HWND update = waitControl(1592);
        HWND media = waitControl(1589);
        if (!update || !media) {
            ADD_FAILURE() << "no registration page";
            return nullptr;
        }
        pumpMessages(1000);
        const int count = static_cast<int>(SendMessageW(media, CB_GETCOUNT, 0, 0));
        for (int i = 0; i < count; ++i) {
            wchar_t item[256] = {};
            SendMessageW(media, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(item));
            printf("medium %d: %s\n", i, u8(item).c_str());
        }
        if (target == L"folder") {
            // The download folder heads the list, before the drives.
            clickControl(media);
            pumpMessages(500);
            shot("09_media_list", L"the registration page's medium list dropped down: folder, R:, S:");
            RECT box{};
            GetWindowRect(media, &box);
            const int itemHeight = static_cast<int>(SendMessageW(media, CB_GETITEMHEIGHT, 0, 0));
            clickAt((box.left + box.right) / 2, box.bottom + itemHeight / 2 + 1);
            pumpMessages(500);
        }
        wchar_t chosen[256] = {};
        SendMessageW(media, CB_GETLBTEXT, SendMessageW(media, CB_GETCURSEL, 0, 0), reinterpret_cast<LPARAM>(chosen));
        EXPECT_EQ(target == L"folder", CString(chosen).Left(2) != L"R:") << u8(chosen);
        shot("09_registration_corvin", target == L"folder" ? L"the registration page of Corvin, the download folder chosen"
                                                          : L"the registration page of Corvin, R: chosen");
        clickControl(update);
        passWebGuide("09_web_guide");
        HWND ok = waitControl(1100);
        if (!ok) {
            ADD_FAILURE() << "no question before the update";
            return nullptr;
        }
        shot("10_start_question", target == L"folder" ? L"the question before a download: the folder, Save and Cancel"
                                                      : L"message 1013: the medium will be erased, OK and Cancel");
        return ok;
    }

    // The stand-in's faults, replaced as a whole.
    void setFaults(const char* json) {
        const CString folder = standin_log::folder();
        writeBytes(folder + L"faults.tmp", json);
        MoveFileExW((folder + L"faults.tmp").GetString(), (folder + L"faults.json").GetString(),
                    MOVEFILE_REPLACE_EXISTING);
    }

    HWND button(int id) const {
        HWND found = control(id);
        return found && className(found) == L"Button" ? found : nullptr;
    }

    // The head unit's web guide that comes over the update page whenever
    // the page starts its run: OK on it until the page shows for a second.
    void passSystemGuide() {
        DWORD clear = 0;
        waitUntil(
            [&] {
                if (control(1596) && control(1) && !control(1633)) {
                    clickControl(control(1));
                    clear = 0;
                    return false;
                }
                if (!button(kHoldId) && !button(kNextId)) return false;
                if (!clear) clear = GetTickCount();
                return GetTickCount() - clear > 1000;
            },
            kStepMs);
    }

    // The program's foreground window and the control holding its keyboard
    // focus, for a key that did not do what it should.
    bool programInFront() const {
        DWORD pid = 0;
        GetWindowThreadProcessId(GetForegroundWindow(), &pid);
        return pid == app.pid();
    }
    void logFocus(const char* when) const {
        HWND front = GetForegroundWindow();
        GUITHREADINFO info{};
        info.cbSize = sizeof(info);
        const DWORD thread = GetWindowThreadProcessId(front, nullptr);
        GetGUIThreadInfo(thread, &info);
        printf("focus %s: front %p %s \"%s\" (program's: %s), active %p, focus %p id %d %s \"%s\"\n", when,
               static_cast<void*>(front), u8(className(front)).c_str(), utf8(windowText(front)).c_str(),
               programInFront() ? "yes" : "no", static_cast<void*>(info.hwndActive),
               static_cast<void*>(info.hwndFocus), info.hwndFocus ? GetDlgCtrlID(info.hwndFocus) : 0,
               u8(className(info.hwndFocus)).c_str(), utf8(windowText(info.hwndFocus)).c_str());
        fflush(stdout);
    }

    CString region, language, target, downloads, formatter;
    Program app;
};

TEST_F(UpdateRun, MainRoad) {
    signInAndFindCorvin();
    if (HasFatalFailure()) return;
    // Korea, both consents given: the head unit's vehicle data on the
    // medium goes up before the medium is prepared.
    const bool vehicleData = region == L"KR" && target == L"drive";
    // Name on the medium, name as uploaded (staged as ".zip"), bytes.
    struct DataFile {
        const wchar_t* name;
        const wchar_t* uploaded;
        std::string bytes;
    };
    const std::vector<DataFile> dataFiles = {{L"drive.log", L"drive.zip", "trip 1\r\ntrip 2\r\n"},
                                             {L"state.bin", L"state.zip", std::string("\x01\x00\x02\xff", 4)}};
    const CString dataFolder = L"R:\\Data\\Common\\Configuration\\";
    if (vehicleData) {
        for (const wchar_t* f : {L"R:\\Data", L"R:\\Data\\Common", L"R:\\Data\\Common\\Configuration"})
            CreateDirectoryW(f, nullptr);
        for (const DataFile& file : dataFiles) ASSERT_TRUE(writeBytes(dataFolder + file.name, file.bytes));
    }
    HWND ok = chooseTargetAndUpdate();
    ASSERT_TRUE(ok);
    const size_t mark = standin_log::lines().size();
    clickControl(ok);
    watchRun();
    if (vehicleData) {
        EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(dataFolder.GetString()));
        for (const DataFile& file : dataFiles) {
            bool found = false;
            WIN32_FIND_DATAW data;
            HANDLE find =
                FindFirstFileW((standin_log::folder() + L"uploads\\*_" + file.uploaded).GetString(), &data);
            if (find != INVALID_HANDLE_VALUE) {
                found = readBytes(standin_log::folder() + L"uploads\\" + data.cFileName) == file.bytes;
                FindClose(find);
            }
            EXPECT_TRUE(found) << u8(file.name) << " uploaded as it was";
        }
    }
    // The medium: formatted and written only when it was the target; a
    // dealer's sign-in leaves exactly the dealer's code beside the update.
    const CString dealerFile = L"R:\\dealercode_TSR-0007.txt";
    if (target == L"folder") {
        EXPECT_TRUE(fileExists(L"R:\\swversion\\swversion.info")) << "R: untouched";
        EXPECT_FALSE(fileExists(L"R:\\TS_C13_COMMON.ver"));
    } else if (region == L"EU") {
        EXPECT_EQ("TSR-0007", readBytes(dealerFile));
    } else {
        EXPECT_FALSE(fileExists(dealerFile)) << "a member's sign-in";
    }
    finishAndExit(mark);
}

// Hold by click while the download runs, Next resumes, then Enter holds; Cancel
// while paused and OK on 1014 lead back to the registration page, from
// where a second run in the same process completes.
TEST_F(UpdateRun, HoldNextCancelThenSecondRun) {
    signInAndFindCorvin();
    if (HasFatalFailure()) return;
    HWND ok = chooseTargetAndUpdate();
    ASSERT_TRUE(ok);
    // Slow content: the download phase lasts.
    setFaults(R"([{"path": "/contents/pkg/*", "rate": 3000}])");
    clickControl(ok);
    passSystemGuide();
    HWND hold = button(kHoldId);
    ASSERT_TRUE(hold);
    ASSERT_TRUE(waitUntil([&] { return IsWindowEnabled(hold) != FALSE; }, kStepMs));
    pumpMessages(1500);
    const CString downloading = windowText(control(kStatusId));
    printf("phase: %s\n", u8(downloading).c_str());
    shot("20_downloading", L"the update page while downloading: Hold enabled");

    // Paused once Next and Cancel take input (while the workers stop, the
    // page shows them disabled).
    auto paused = [&] {
        HWND next = button(kNextId), cancel = button(kCancelId);
        return next && cancel && IsWindowEnabled(next) && IsWindowEnabled(cancel);
    };
    clickControl(hold);
    if (button(kNextId) && !paused()) shot("21_pausing", L"pausing: Next and Cancel shown disabled");
    ASSERT_TRUE(waitUntil(paused, kStepMs));
    shot("21_paused_by_click", L"paused by a click on Hold: Next and Cancel");
    clickControl(button(kNextId));
    // Next starts the page again: the head unit's guide comes once more.
    passSystemGuide();
    ASSERT_TRUE(waitUntil([&] { return !button(kNextId) && button(kHoldId); }, kStepMs));
    shot("22_resumed", L"resumed by Next: Hold again, the download goes on");

    // Enter holds as well, with the program in front as the user left it.
    pumpMessages(1000);
    logFocus("before Enter");
    EXPECT_TRUE(programInFront()) << "the program's window is in front after the click on Next";
    key(VK_RETURN);
    if (!waitUntil(paused, kStepMs)) logFocus("Enter did not hold");
    ASSERT_TRUE(paused()) << "Enter holds the update";
    shot("23_paused_by_enter", L"paused by Enter: Next and Cancel");

    clickControl(button(kCancelId));
    ok = waitControl(1100);
    ASSERT_TRUE(ok);
    shot("24_cancel_1014", L"message 1014: stop the update? OK and Cancel");
    clickControl(ok);
    ASSERT_TRUE(waitControl(1592));
    shot("25_registration_after_cancel", L"back on the registration page of Corvin after the cancel");

    // The second run in this process, at full speed, to the finish page.
    setFaults("[]");
    ok = chooseTargetAndUpdate();
    ASSERT_TRUE(ok);
    const size_t mark = standin_log::lines().size();
    clickControl(ok);
    watchRun();
    finishAndExit(mark, false);
}

// The formatter fails every time: after its five attempts message 80; OK
// leads back to the registration page, and the medium is as it was.
TEST_F(UpdateRun, FormatterFailsFiveTimes) {
    const CString work = standin_log::folder();
    const CString calls = work + L"fmifs_calls.txt", script = work + L"fmifs_script.txt";
    DeleteFileW(calls.GetString());
    ASSERT_TRUE(writeBytes(script, "11:0"));
    SetEnvironmentVariableW(L"KESTRUNE_FMIFS_MODE", nullptr);
    SetEnvironmentVariableW(L"KESTRUNE_FMIFS_LOG", calls.GetString());
    SetEnvironmentVariableW(L"KESTRUNE_FMIFS_SCRIPT", script.GetString());
    std::vector<std::string> before;
    listFiles(L"R:\\", L"", before);
    const std::string version = readBytes(L"R:\\swversion\\swversion.info");

    signInAndFindCorvin();
    if (HasFatalFailure()) return;
    HWND ok = chooseTargetAndUpdate();
    ASSERT_TRUE(ok);
    const DWORD start = GetTickCount();
    clickControl(ok);
    ok = nullptr;
    ASSERT_TRUE(waitUntil(
        [&] {
            if (control(1596) && control(1) && !control(1633)) {
                clickControl(control(1));  // the head unit's web guide
                return false;
            }
            return (ok = control(1100)) != nullptr || !app.running();
        },
        kRunMs));
    ASSERT_TRUE(ok);
    printf("formatting until the message: %lu ms\n", GetTickCount() - start);
    dumpWindows(app, "at the formatter's failure");
    shot("30_format_80", L"message 80: the medium could not be prepared, OK");
    // Five attempts, each on R: alone.
    const std::string attempts = readBytes(calls);
    size_t lines = 0;
    for (size_t at = 0; (at = attempts.find("R:\\|", at)) != std::string::npos; ++at) ++lines;
    EXPECT_EQ(5u, lines) << attempts;
    EXPECT_EQ(std::string::npos, attempts.find("S:\\")) << attempts;

    clickControl(ok);
    ASSERT_TRUE(waitControl(1592));
    shot("31_registration_after_80", L"back on the registration page of Corvin after message 80");
    std::vector<std::string> after;
    listFiles(L"R:\\", L"", after);
    EXPECT_EQ(before, after) << "nothing written to R:";
    EXPECT_EQ(version, readBytes(L"R:\\swversion\\swversion.info"));
}

// The connection drops every content request in the middle of the download
// until message 95; at that moment no version file claims a completion its
// files do not bear out (the copies are checked afterwards). OK with the
// connection back: the run completes.
TEST_F(UpdateRun, NetworkCutMidDownload) {
    const CString snapshot = env(L"E2E_SNAPSHOT");
    ASSERT_FALSE(snapshot.IsEmpty());
    removeTree(snapshot);
    signInAndFindCorvin();
    if (HasFatalFailure()) return;
    HWND ok = chooseTargetAndUpdate();
    ASSERT_TRUE(ok);
    setFaults(R"([{"path": "/contents/pkg/*", "rate": 3000}])");
    const size_t mark = standin_log::lines().size();
    clickControl(ok);
    passSystemGuide();
    HWND hold = button(kHoldId);
    ASSERT_TRUE(hold);
    ASSERT_TRUE(waitUntil([&] { return IsWindowEnabled(hold) != FALSE; }, kStepMs));
    pumpMessages(2000);
    printf("phase at the cut: %s\n", u8(windowText(control(kStatusId))).c_str());
    setFaults(R"([{"path": "/contents/pkg/*", "drop": true}])");
    const DWORD cut = GetTickCount();
    ok = nullptr;
    // Each item's ten attempts, and the page's ten new tries of the failed
    // items, before the message.
    ASSERT_TRUE(waitUntil([&] { return (ok = control(1100)) != nullptr || !app.running(); }, kRunMs * 4));
    ASSERT_TRUE(ok);
    printf("cut until the message: %lu ms\n", GetTickCount() - cut);
    dumpWindows(app, "at the download error");
    ASSERT_TRUE(CreateDirectoryW(snapshot.GetString(), nullptr));
    EXPECT_TRUE(copyTree(L"R:\\", snapshot + L"\\medium"));
    EXPECT_TRUE(copyTree(downloads + L"\\", snapshot + L"\\downloads"));
    std::vector<std::string> medium, folder;
    listFiles(snapshot + L"\\medium\\", L"", medium);
    listFiles(snapshot + L"\\downloads\\", L"", folder);
    printf("at the fault: %zu files on the medium, %zu in the download folder\n", medium.size(), folder.size());
    shot("32_download_95", L"message 95: the download failed, OK");

    setFaults("[]");
    clickControl(ok);
    watchRun();
    finishAndExit(mark, false);
}
