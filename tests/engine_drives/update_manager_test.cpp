#include "afx/app.h"
#include "engine/update_manager.h"
#include "foundation/logmanager.h"
#include "foundation/private_messages.h"
#include "foundation/regsetting.h"
#include "tests/support/test_support.h"
#include "tests/support/update_list.h"
#include "tests/webclient/standin_client.h"

#include <gtest/gtest.h>
#include <json/json.h>
#include <shlobj.h>

#include <atomic>
#include <functional>
#include <map>
#include <sstream>
#include <thread>
#include <vector>

namespace {

const CString kFolder = L"/UPDATE_PROGRAM_DOWNLOAD/UPDATE_CLIENT/KestruneV02/PATCH/WIN/";

// The popup's stand-in: a message-only window on the test thread that
// notes the engine's messages while the run goes on on a worker thread.
class Owner {
public:
    struct Message {
        UINT id;
        WPARAM w;
        LPARAM l;
    };
    Owner() {
        WNDCLASSW wc{};
        wc.lpfnWndProc = [](HWND h, UINT m, WPARAM w, LPARAM l) -> LRESULT {
            if (m == UM_LIVEUPDATE_COMPLETE || m == UM_LIVEUPDATE_PROGRESS || m == UM_LIVEUPDATE_ERROR ||
                m == UM_DOWNLOAD_PROGRESS) {
                s_messages.push_back({m, w, l});
                return 1;
            }
            return DefWindowProcW(h, m, w, l);
        };
        wc.lpszClassName = L"KestruneLiveUpdateOwner";
        RegisterClassW(&wc);
        hwnd = CreateWindowW(wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
        s_messages.clear();
    }
    ~Owner() { DestroyWindow(hwnd); }

    // doLiveUpdate on a worker while this thread keeps the window answering.
    int run(CUpdateManager& manager) {
        std::atomic<bool> done{false};
        int result = -1;
        std::thread worker([&] {
            result = manager.doLiveUpdate();
            done = true;
        });
        while (!done) {
            pump();
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
        }
        worker.join();
        pump();
        return result;
    }
    void pump() {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    }
    void clear() { s_messages.clear(); }
    std::vector<Message> of(UINT id) const {
        std::vector<Message> out;
        for (const Message& m : s_messages) {
            if (m.id == id) out.push_back(m);
        }
        return out;
    }

    HWND hwnd = nullptr;

private:
    static inline std::vector<Message> s_messages;
};

using update_list::Listed;

class SelfUpdate : public testing::Test {
protected:
    void SetUp() override {
        REQUIRE_STANDIN();
        standin::clearFaults();
        CWebPOST post;
        ResponseData* data = new ResponseData();
        ASSERT_TRUE(post.Submit(standin::host(), kFolder + L"UpdateInfo.txt", data, 80, nullptr, L"GET", FALSE));
        update_list::read(std::string(reinterpret_cast<const char*>(data->pData), data->count), listed);
        post.FreeData(&data);
        ASSERT_EQ(5u, listed.size());
        install = dir.path().Left(dir.path().GetLength() - 1);
        writeBytes(dir / L"Kestrune.exe", "old program");
        writeBytes(dir / L"Lang.dll", "old language");
        CreateDirectoryW((dir / L"Info").GetString(), nullptr);
        writeBytes(dir / L"Info\\UpdateInfo.txt", "00001|/Kestrune.exe\r\n00099|/Lang.dll\r\n");
        recordsBefore = g_logManager.getStatisticsContext().errorLog.GetLength();
        owner.clear();
    }
    void TearDown() override {
        if (standin::available()) standin::clearFaults();
    }

    void configure(CUpdateManager& manager, bool secure) {
        manager.setServerInfo(owner.hwnd, install);
        manager.serverUrl = (secure ? L"https://" : L"http://") + standin::host();
        manager.serverFolder = standin::config("UPDATEFILE_PATH");
    }
    // The server's list replaced by these lines.
    void serveList(const std::vector<std::string>& lines) {
        std::string body;
        for (const std::string& l : lines) body += l + "\r\n";
        Json::Value rule;
        rule["path"] = CStringA(kFolder + L"UpdateInfo.txt").GetString();
        rule["status"] = 200;
        rule["body"] = body;
        Json::Value rules(Json::arrayValue);
        rules.append(rule);
        standin::setFaults(Json::FastWriter().write(rules));
    }
    void failPath(const CString& path, int status) {
        standin::setFaults("[{\"path\": \"" + std::string(CStringA(kFolder + path).GetString()) +
                           "\", \"status\": " + std::to_string(status) + "}]");
    }
    std::string newRecords() const {
        return std::string(CStringA(g_logManager.getStatisticsContext().errorLog.Mid(recordsBefore)).GetString());
    }
    bool holds(const CString& relative, const Listed& file) const {
        const std::string bytes = readBytes(dir / relative);
        return bytes.size() == file.size && standin::crc32Of(bytes) == file.crc;
    }

    TempDir dir;
    CString install;  // without the trailing "\"
    std::map<std::string, Listed> listed;
    Owner owner;
    int recordsBefore = 0;
};

TEST_F(SelfUpdate, FetchesPlacesAndListsOverHttps) {
    standin::markRequests();
    CUpdateManager manager;
    configure(manager, true);
    ASSERT_EQ(1, manager.checkUpdateNeeded());
    ASSERT_EQ(1, owner.run(manager));

    EXPECT_TRUE(holds(L"Kestrune.exe", listed["/Kestrune.exe"]));
    EXPECT_TRUE(holds(L"skin\\brand.dat", listed["/skin/brand.dat"]));
    // Two files of one name in different folders each get their own.
    EXPECT_TRUE(holds(L"a\\same.dat", listed["/a/same.dat"]));
    EXPECT_TRUE(holds(L"b\\same.dat", listed["/b/same.dat"]));
    EXPECT_NE(listed["/a/same.dat"].crc, listed["/b/same.dat"].crc);
    EXPECT_EQ("old language", readBytes(dir / L"Lang.dll"));  // local version 99 is current
    EXPECT_EQ("00012|/Kestrune.exe\r\n00099|/Lang.dll\r\n00003|/skin/brand.dat\r\n00001|/a/same.dat\r\n"
              "00001|/b/same.dat\r\n",
              readBytes(dir / L"Info\\UpdateInfo.txt"));
    EXPECT_FALSE(fileExists(dir / L"tmp"));
    EXPECT_FALSE(fileExists(dir / L"_Kestrune.exe"));
    EXPECT_FALSE(fileExists(dir / L"__Kestrune.exe"));

    const auto progress = owner.of(UM_LIVEUPDATE_PROGRESS);
    ASSERT_EQ(4u, progress.size());
    EXPECT_EQ(4u, progress.back().w);
    EXPECT_EQ(4, progress.back().l);
    EXPECT_EQ(1u, owner.of(UM_LIVEUPDATE_COMPLETE).size());
    EXPECT_TRUE(owner.of(UM_LIVEUPDATE_ERROR).empty());
    EXPECT_FALSE(owner.of(UM_DOWNLOAD_PROGRESS).empty());
    EXPECT_NE(std::string::npos, newRecords().find(",LOV:00001,LNV:00012][LU-SUCCESS]")) << newRecords();

    const auto files = standin::requests(CStringA(kFolder + L"*.dat").GetString());
    ASSERT_FALSE(files.empty());
    for (const Json::Value& r : files) EXPECT_EQ("https", r["scheme"].asString());

    // Everything is current now.
    CUpdateManager again;
    configure(again, true);
    EXPECT_EQ(0, again.checkUpdateNeeded());
}

// The same list and files served over plain HTTP: anyone on the path could
// have sent them, so nothing is asked for, fetched or replaced.
TEST_F(SelfUpdate, OverPlainHttpNothingIsFetchedOrReplaced) {
    standin::markRequests();
    CUpdateManager manager;
    configure(manager, false);
    EXPECT_EQ(0, manager.checkUpdateNeeded());
    EXPECT_EQ(0, owner.run(manager));
    EXPECT_TRUE(standin::requests("*").empty());
    EXPECT_EQ("old program", readBytes(dir / L"Kestrune.exe"));
    EXPECT_EQ("00001|/Kestrune.exe\r\n00099|/Lang.dll\r\n", readBytes(dir / L"Info\\UpdateInfo.txt"));
    EXPECT_TRUE(owner.of(UM_LIVEUPDATE_COMPLETE).empty());
}

// The deployment's config.json is never the update server's to replace,
// and a place that is a folder is not swapped for a file.
TEST_F(SelfUpdate, ConfigFileAndFolderPlacesAreRefused) {
    writeBytes(dir / L"config.json", "{}");
    const Listed& brand = listed["/skin/brand.dat"];
    serveList({"00005|/config.json|" + std::to_string(brand.size) + "|" + std::to_string(brand.crc),
               "00005|/CONFIG.JSON|1|1", listed["/a/same.dat"].line, brand.line});
    CreateDirectoryW((dir / L"skin").GetString(), nullptr);
    CreateDirectoryW((dir / L"skin\\brand.dat").GetString(), nullptr);
    writeBytes(dir / L"skin\\brand.dat\\inside.txt", "kept");
    CUpdateManager manager;
    configure(manager, true);
    ASSERT_EQ(1, manager.checkUpdateNeeded());
    ASSERT_EQ(2u, manager.getServerList().size());
    EXPECT_EQ(0, owner.run(manager));
    EXPECT_EQ("{}", readBytes(dir / L"config.json"));
    EXPECT_EQ("kept", readBytes(dir / L"skin\\brand.dat\\inside.txt"));
    EXPECT_TRUE(holds(L"a\\same.dat", listed["/a/same.dat"]));
    const auto errors = owner.of(UM_LIVEUPDATE_ERROR);
    ASSERT_EQ(1u, errors.size());
    EXPECT_EQ(kLiveUpdateNotReplaced, errors[0].w);
    EXPECT_TRUE(owner.of(UM_LIVEUPDATE_COMPLETE).empty());
}

TEST_F(SelfUpdate, ServerFailures) {
    std::string kestrune = listed["/Kestrune.exe"].line;
    const Listed& k = listed["/Kestrune.exe"];
    auto withSize = [&](ULONGLONG size, UINT32 crc) {
        return "00012|/Kestrune.exe|" + std::to_string(size) + "|" + std::to_string(crc);
    };
    struct Case {
        const char* what;
        std::function<void()> arrange;
        int check;
        WPARAM errorW;
        LPARAM errorL;
        const char* record;
    } cases[] = {
        {"list missing", [&] { failPath(L"UpdateInfo.txt", 404); }, -8, 0, 0, "ED:404,FP:"},
        {"file missing", [&] { failPath(L"skin/brand.dat", 404); }, 1, 0, 404, "ED:404,FP:http"},
        {"size differs", [&] { serveList({withSize(k.size + 1, k.crc)}); }, 1, 0x5B, 0, "[E:91,"},
        {"CRC differs", [&] { serveList({withSize(k.size, k.crc + 1)}); }, 1, 0x5C, 0, "[E:92,"},
        {"list without size and CRC", [&] { serveList({"00012|/Kestrune.exe"}); }, 1, 0x5B, 0, "[E:91,"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SetUp();
        c.arrange();
        CUpdateManager manager;
        configure(manager, true);
        const int check = manager.checkUpdateNeeded();
        EXPECT_EQ(c.check, check);
        if (check == 1) {
            EXPECT_EQ(0, owner.run(manager));
            const auto errors = owner.of(UM_LIVEUPDATE_ERROR);
            ASSERT_EQ(1u, errors.size());
            EXPECT_EQ(c.errorW, errors[0].w);
            EXPECT_EQ(c.errorL, errors[0].l);
            EXPECT_TRUE(owner.of(UM_LIVEUPDATE_COMPLETE).empty());
            // Nothing was put in place and the list is unchanged.
            EXPECT_EQ("old program", readBytes(dir / L"Kestrune.exe"));
            EXPECT_EQ("00001|/Kestrune.exe\r\n00099|/Lang.dll\r\n", readBytes(dir / L"Info\\UpdateInfo.txt"));
            // A download that failed its CRC is deleted.
            if (c.errorW == 0x5C) {
                EXPECT_FALSE(fileExists(dir / L"tmp\\Kestrune.exe"));
            }
        }
        EXPECT_NE(std::string::npos, newRecords().find(c.record)) << newRecords();
        TearDown();
    }
}

TEST_F(SelfUpdate, ServerDown) {
    CUpdateManager manager;
    configure(manager, true);
    manager.serverUrl = L"https://127.0.0.1";  // nothing listens there
    EXPECT_EQ(-6, manager.checkUpdateNeeded());
    EXPECT_NE(std::string::npos, newRecords().find(",PS:99,ED:1000]")) << newRecords();
    EXPECT_EQ("old program", readBytes(dir / L"Kestrune.exe"));
}

TEST_F(SelfUpdate, PathsThatLeaveTheFolderAreRefused) {
    serveList({"00005|/../escape.dat|4|1", "00005|/a/..\\..\\escape.dat|4|1", "00005|/C:/escape.dat|4|1",
               "00005|/x.dat:stream|4|1", "00005|//server/share/escape.dat|4|1", listed["/a/same.dat"].line});
    CUpdateManager manager;
    configure(manager, true);
    ASSERT_EQ(1, manager.checkUpdateNeeded());
    ASSERT_EQ(1u, manager.getServerList().size());
    EXPECT_EQ(1, owner.run(manager));
    EXPECT_TRUE(holds(L"a\\same.dat", listed["/a/same.dat"]));
    EXPECT_FALSE(fileExists(dir.path() + L"..\\escape.dat"));
}

// Another process holds the old program file without delete sharing, so
// it cannot step aside: it stays, keeps its version in the list, the other
// files are still replaced, and the run reports the failure (a restart
// would only find the old file again).
TEST_F(SelfUpdate, AFileThatCannotBeReplacedStaysWithItsVersion) {
    CUpdateManager manager;
    configure(manager, true);
    ASSERT_EQ(1, manager.checkUpdateNeeded());
    HANDLE held = CreateFileW((dir / L"Kestrune.exe").GetString(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, held);
    EXPECT_EQ(0, owner.run(manager));
    CloseHandle(held);
    const auto errors = owner.of(UM_LIVEUPDATE_ERROR);
    ASSERT_EQ(1u, errors.size());
    EXPECT_EQ(kLiveUpdateNotReplaced, errors[0].w);
    EXPECT_TRUE(owner.of(UM_LIVEUPDATE_COMPLETE).empty());
    EXPECT_EQ("old program", readBytes(dir / L"Kestrune.exe"));
    EXPECT_FALSE(fileExists(dir / L"__Kestrune.exe"));
    EXPECT_TRUE(holds(L"skin\\brand.dat", listed["/skin/brand.dat"]));
    EXPECT_EQ("00001|/Kestrune.exe\r\n00099|/Lang.dll\r\n00003|/skin/brand.dat\r\n00001|/a/same.dat\r\n"
              "00001|/b/same.dat\r\n",
              readBytes(dir / L"Info\\UpdateInfo.txt"));
}

// A running program file can be moved aside but not deleted: the new file
// takes its place and the next check removes the old one.
TEST_F(SelfUpdate, TheRunningProgramFileIsReplaced) {
    ASSERT_TRUE(CopyFileW((moduleFolder() + L"stub_tool.exe").GetString(), (dir / L"Kestrune.exe").GetString(), FALSE));
    SetEnvironmentVariableW(L"KESTRUNE_STUB_EXIT", L"hang");
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION running{};
    CString commandLine = L"\"" + (dir / L"Kestrune.exe") + L"\"";
    const BOOL started = CreateProcessW(nullptr, commandLine.GetBuffer(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW,
                                        nullptr, nullptr, &startup, &running);
    SetEnvironmentVariableW(L"KESTRUNE_STUB_EXIT", nullptr);
    ASSERT_TRUE(started);

    CUpdateManager manager;
    configure(manager, true);
    ASSERT_EQ(1, manager.checkUpdateNeeded());
    EXPECT_EQ(1, owner.run(manager));
    EXPECT_TRUE(holds(L"Kestrune.exe", listed["/Kestrune.exe"]));
    EXPECT_NE(std::string::npos, readBytes(dir / L"Info\\UpdateInfo.txt").find("00012|/Kestrune.exe\r\n"));

    TerminateProcess(running.hProcess, 0);
    WaitForSingleObject(running.hProcess, 10000);
    CloseHandle(running.hProcess);
    CloseHandle(running.hThread);
    CUpdateManager next;
    configure(next, true);
    EXPECT_EQ(0, next.checkUpdateNeeded());
    EXPECT_FALSE(fileExists(dir / L"_Kestrune.exe"));
}

TEST_F(SelfUpdate, AnInstallPathThatIsEmptyOrRelativeTouchesNothing) {
    for (const wchar_t* path : {L"", L"relative\\folder", L"\\rooted\\without\\drive"}) {
        standin::markRequests();
        CUpdateManager manager;
        manager.setServerInfo(owner.hwnd, path);
        manager.serverUrl = L"https://" + standin::host();
        manager.serverFolder = standin::config("UPDATEFILE_PATH");
        EXPECT_EQ(0, manager.checkUpdateNeeded()) << CStringA(path).GetString();
        EXPECT_EQ(0, owner.run(manager));
        EXPECT_TRUE(standin::requests("*").empty());
    }
}

// Any process of the user can name a folder for the earlier product's
// clean-up; only one inside that product's own folder is removed.
TEST(SelfUpdateCleanup, EarlierProductFolderOnlyInsideItsOwnPlace) {
    wchar_t programFiles[MAX_PATH] = {};
    ASSERT_TRUE(SHGetSpecialFolderPathW(nullptr, programFiles, CSIDL_PROGRAM_FILES, FALSE));
    const CString maker = CString(programFiles) + L"\\Corvessa";
    const CString inside = maker + L"\\Harnoval\\Data";
    SHCreateDirectoryExW(nullptr, inside.GetString(), nullptr);
    TempDir outside;
    writeBytes(outside / L"keep.txt", "x");
    struct Case {
        CString value;
        bool removed;
    } cases[] = {{outside.path(), false}, {inside, true}};
    for (const Case& c : cases) {
        AfxGetApp()->WriteProfileString(L"", L"HvqInstallPath", c.value.GetString());
        CUpdateManager manager;
        EXPECT_EQ(c.removed, !fileExists(c.value)) << CStringA(c.value).GetString();
        EXPECT_EQ(CString(), AfxGetApp()->GetProfileString(L"", L"HvqInstallPath", L""));
    }
    removeTree(maker);
}

// A "VCRM" folder beside the download folder is the user's unless it holds
// nothing but the earlier product's vehicle data.
TEST(SelfUpdateCleanup, VcrmBesideTheDownloadFolderOnlyWithVehicleDataAlone) {
    TempDir work;
    CreateDirectoryW((work / L"Navi").GetString(), nullptr);
    const CString dataBefore = CRegSetting::getDataPath();
    CRegSetting::setDataPath(work / L"Navi");
    const CString vcrm = work / L"VCRM";
    struct Case {
        const char* what;
        std::vector<const wchar_t*> files;
        bool removed;
    } cases[] = {
        {"vehicle data only", {L"a.zip", L"A.VER", L"old\\b.zip"}, true},
        {"empty", {}, true},
        {"a user's document beside the data", {L"a.zip", L"report.docx"}, false},
        {"a user's file deeper down", {L"a.zip", L"sub\\notes.txt"}, false},
        {"a file without an extension", {L"zip"}, false},
    };
    for (const Case& c : cases) {
        CreateDirectoryW(vcrm.GetString(), nullptr);
        for (const wchar_t* file : c.files) {
            const CString path = vcrm + L"\\" + file;
            SHCreateDirectoryExW(nullptr, path.Left(path.ReverseFind(L'\\')).GetString(), nullptr);
            writeBytes(path, "x");
        }
        CUpdateManager manager;
        manager.setServerInfo(nullptr, work / L"Program");
        manager.deleteTempFolderFiles();
        EXPECT_EQ(c.removed, !fileExists(vcrm)) << c.what;
        removeTree(vcrm);
    }
    CRegSetting::setDataPath(dataBefore);
}

}  // namespace
