#include "tests/webclient/print.h"
#include "tests/support/test_support.h"
#include "tests/webclient/standin_client.h"
#include "webclient/api_endpoints.h"
#include "webclient/webpost.h"

#include <gtest/gtest.h>

#include <sstream>
#include <thread>

namespace {

// Size and CRC-32 of a self-update file, from the server's own list.
bool listedFile(const std::string& list, const std::string& name, ULONGLONG& size, UINT32& crc) {
    std::istringstream in(list);
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        std::string version, path, sizeText, crcText;
        std::getline(fields, version, '|');
        std::getline(fields, path, '|');
        std::getline(fields, sizeText, '|');
        std::getline(fields, crcText, '|');
        if (path != name) continue;
        size = std::stoull(sizeText);
        crc = static_cast<UINT32>(std::stoul(crcText));
        return true;
    }
    return false;
}

// Counts the progress messages a download posts to its owner window.
struct ProgressWindow {
    static inline int messages = 0;
    static inline WPARAM lastDone = 0;
    static inline LPARAM lastTotal = 0;

    ProgressWindow() {
        WNDCLASSW wc{};
        wc.lpfnWndProc = [](HWND h, UINT m, WPARAM w, LPARAM l) -> LRESULT {
            if (m == 0x801) {
                ++messages;
                lastDone = w;
                lastTotal = l;
                return 0;
            }
            return DefWindowProcW(h, m, w, l);
        };
        wc.lpszClassName = L"KestruneProgressProbe";
        RegisterClassW(&wc);
        hwnd = CreateWindowW(wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
        messages = 0;
    }
    ~ProgressWindow() { DestroyWindow(hwnd); }
    void drain() {
        MSG msg;
        while (PeekMessageW(&msg, hwnd, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    }
    HWND hwnd = nullptr;
};

class WebPostDownload : public testing::Test {
protected:
    void SetUp() override {
        REQUIRE_STANDIN();
        standin::clearFaults();
        // The update host's plain HTTP side: the web client's own paths.
        folder = L"http://" + standin::host() + getApiPath(API_LIVE_UPDATE);
        CWebPOST post;
        ResponseData* data = new ResponseData();
        ASSERT_TRUE(post.Submit(standin::host(), getApiPath(API_LIVE_UPDATE) + L"UpdateInfo.txt",
                                data, 80, nullptr, L"GET", FALSE));
        std::string list(reinterpret_cast<const char*>(data->pData), data->count);
        post.FreeData(&data);
        ASSERT_TRUE(listedFile(list, "/Kestrune.exe", size, crc)) << list;
        url = folder + L"Kestrune.exe";
        standin::markRequests();
    }
    void TearDown() override {
        if (standin::available()) standin::clearFaults();
    }

    bool download(CWebPOST& post, const CString& target, BOOL append = FALSE) {
        InternetHandleSlot internet{nullptr}, address{nullptr};
        return post.HttpDownload_(url, target, jobDone, files, append, &state, internet, address) != FALSE;
    }

    TempDir dir;
    CString folder, url;
    ULONGLONG size = 0;
    UINT32 crc = 0;
    ULONGLONG jobDone = 0, files = 0;
    std::atomic<int> state{0};
};

TEST_F(WebPostDownload, FileArrivesWithProgressIntoNewFolders) {
    ProgressWindow window;
    CWebPOST post;
    post.m_hOwner = window.hwnd;
    post.m_ullJobTotal = 3 * size;
    jobDone = 1024 * 10;
    const CString target = dir / L"tmp\\sub/Kestrune.exe";
    ASSERT_TRUE(download(post, target));
    std::string bytes = readBytes(target);
    EXPECT_EQ(bytes.size(), size);
    EXPECT_EQ(standin::crc32Of(bytes), crc);
    EXPECT_EQ(jobDone, 1024 * 10 + size);
    EXPECT_EQ(files, size);
    EXPECT_EQ(state.load(), 2);
    window.drain();
    EXPECT_GT(ProgressWindow::messages, 0);
    EXPECT_EQ(ProgressWindow::lastDone, static_cast<WPARAM>((1024 * 10 + size) / 1024));
    EXPECT_EQ(ProgressWindow::lastTotal, static_cast<LPARAM>(3 * size / 1024));

    // Downloading again replaces the file rather than appending to it.
    ASSERT_TRUE(download(post, target));
    EXPECT_EQ(readBytes(target).size(), size);
}

TEST_F(WebPostDownload, FaultsTable) {
    struct Case {
        const char* name;
        const char* rules;
        bool ok;
        bool fileCreated;
        size_t requests;
        const char* secondRange;  // how the second request's Range begins
    } cases[] = {
        // A reset drops what the client has not read yet; the slow start makes
        // sure the reply's head has been read when it comes.
        {"connection reset: the rest is asked for",
         R"([{"path":"*/Kestrune.exe","reset":10000,"rate":100000,"times":1}])", true, true, 2, "bytes="},
        {"reset, then the server ignores Range", R"([{"path":"*/Kestrune.exe","reset":10000,"rate":100000,"times":1},
            {"path":"*/Kestrune.exe","ignore_range":true}])",
         true, true, 2, "bytes="},
        {"every reply cut short: the rest is asked for", R"([{"path":"*/Kestrune.exe","cut":20000}])", true, true, 3,
         "bytes=20000-"},
        {"replies that bring nothing", R"([{"path":"*/Kestrune.exe","cut":0}])", false, true, 21, nullptr},
        {"no Content-Length", R"([{"path":"*/Kestrune.exe","no_length":true}])", false, false, 1, nullptr},
        {"missing file", R"([{"path":"*/Kestrune.exe","status":404}])", false, false, 1, nullptr},
        // A reset before any body byte may come before WinINet has read the
        // head or after; a first reply cut cleanly makes the head arrive every
        // time, so each reset after it costs one reconnect of the budget.
        {"resets without end", R"([{"path":"*/Kestrune.exe","cut":10000,"times":1},
            {"path":"*/Kestrune.exe","reset":0}])",
         false, true, 21, "bytes=10000-"},
        {"after a reset the part starts elsewhere",
         R"([{"path":"*/Kestrune.exe","reset":10000,"rate":100000,"times":1},
            {"path":"*/Kestrune.exe","range_back":3000}])",
         false, true, 2, "bytes="},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        standin::setFaults(c.rules);
        standin::markRequests();
        TempDir scratch;
        const CString target = scratch / L"Kestrune.exe";
        CWebPOST post;
        jobDone = files = 0;
        EXPECT_EQ(download(post, target), c.ok);
        EXPECT_EQ(fileExists(target), c.fileCreated);
        auto log = standin::requestsAtLeast("*/Kestrune.exe", c.requests);
        EXPECT_EQ(log.size(), c.requests);
        if (c.secondRange && log.size() > 1) {
            EXPECT_EQ(standin::header(log[1], "Range").rfind(c.secondRange, 0), 0u) << standin::header(log[1], "Range");
        }
        if (c.ok) {
            std::string bytes = readBytes(target);
            EXPECT_EQ(bytes.size(), size);
            EXPECT_EQ(standin::crc32Of(bytes), crc);
            EXPECT_EQ(jobDone, size);
        } else {
            EXPECT_EQ(jobDone, 0u);
        }
    }
}

TEST_F(WebPostDownload, AppendContinuesTheLocalFile) {
    const CString target = dir / L"Kestrune.exe";
    {
        CWebPOST post;
        ASSERT_TRUE(download(post, target));
    }
    std::string whole = readBytes(target);
    ASSERT_TRUE(writeBytes(target, whole.substr(0, 5000)));
    standin::markRequests();
    CWebPOST post;
    ASSERT_TRUE(download(post, target, TRUE));
    EXPECT_TRUE(readBytes(target) == whole);
    auto log = standin::requestsAtLeast("*/Kestrune.exe", 1);
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(standin::header(log[0], "Range"), "bytes=5000-");
}

TEST_F(WebPostDownload, OwnerStopsARunningDownloadWithinASecond) {
    standin::setFaults(R"([{"path":"*/Kestrune.exe","rate":8000}])");
    CWebPOST post;
    InternetHandleSlot internet{nullptr}, address{nullptr};
    bool ok = true;
    std::thread transfer([&] {
        ok = post.HttpDownload_(url, dir / L"Kestrune.exe", jobDone, files, FALSE, nullptr, internet, address);
    });
    Sleep(1000);
    ULONGLONG stopAt = GetTickCount64();
    post.m_bCancel = true;
    closeInternetHandleSlot(address);
    closeInternetHandleSlot(internet);
    transfer.join();
    EXPECT_FALSE(ok);
    EXPECT_LT(GetTickCount64() - stopAt, 1000u);
    EXPECT_EQ(internet.load(), nullptr);
    EXPECT_EQ(address.load(), nullptr);
    EXPECT_EQ(jobDone, 0u);
}

TEST_F(WebPostDownload, SizeQuery) {
    struct Case {
        const char* name;
        const char* rules;
        const wchar_t* file;
        int want;
        ULONGLONG size;
    } cases[] = {
        {"listed file", "[]", L"Kestrune.exe", 1, 0},
        {"missing file", "[]", L"Nothing.exe", 404, 0},
        {"416 counts as present", R"([{"path":"*/Kestrune.exe","status":416}])", L"Kestrune.exe", 1, 0},
        {"server error", R"([{"path":"*/Kestrune.exe","status":503}])", L"Kestrune.exe", 503, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        standin::setFaults(c.rules);
        ULONGLONG got = 12345;
        EXPECT_EQ(CWebPOST::GetDownloadFileSize(folder + c.file, dir / L"probe.bin", FALSE, got), c.want);
        if (std::string(c.name) == "listed file") {
            EXPECT_EQ(got, size);
        }
    }
    standin::clearFaults();
    ULONGLONG got = 0;
    EXPECT_EQ(CWebPOST::GetDownloadFileSize(folder + L"Kestrune.exe", dir / L"probe\\made.bin", TRUE, got), 0)
        << "a file in a missing folder cannot be written";
    EXPECT_EQ(CWebPOST::GetDownloadFileSize(folder + L"Kestrune.exe", dir / L"made.bin", TRUE, got), 1);
    EXPECT_TRUE(fileExists(dir / L"made.bin"));
}

TEST(WebPostFolders, CreatedLevelByLevel) {
    TempDir dir;
    CString root = dir.path();
    root.Replace(L'\\', L'/');
    EXPECT_TRUE(CWebPOST::MyCreateDirectoryA(root + L"a//b/c"));
    EXPECT_NE(GetFileAttributesW((dir / L"a\\b\\c").GetString()), INVALID_FILE_ATTRIBUTES);
    EXPECT_TRUE(CWebPOST::MyCreateDirectoryA(dir / L"a\\b\\c\\"));  // all there, trailing separator
    EXPECT_TRUE(CWebPOST::MyCreateDirectoryA(L"relative-name"));
    EXPECT_EQ(GetFileAttributesW(L"relative-name"), INVALID_FILE_ATTRIBUTES);

    CString longPath = dir.path() + CString(L'x', 249 - dir.path().GetLength());
    ASSERT_EQ(longPath.GetLength(), 249);
    EXPECT_FALSE(CWebPOST::MyCreateDirectoryA(longPath));
    EXPECT_EQ(GetFileAttributesW(longPath.GetString()), INVALID_FILE_ATTRIBUTES);

    ASSERT_TRUE(writeBytes(dir / L"file", "x"));  // no folder can live under a file
    EXPECT_FALSE(CWebPOST::MyCreateDirectoryA(dir / L"file\\sub\\deeper"));
}

// A share path stays a share: its levels never land on the current drive.
TEST(WebPostFolders, SharePathKeepsItsServer) {
    wchar_t previous[MAX_PATH] = {};
    GetCurrentDirectoryW(MAX_PATH, previous);
    ASSERT_TRUE(SetCurrentDirectoryW(L"R:\\"));
    CString server;
    server.Format(L"kt_noserver_%lu", GetCurrentProcessId());
    EXPECT_FALSE(CWebPOST::MyCreateDirectoryA(L"\\\\" + server + L"\\share\\dir"));
    EXPECT_FALSE(CWebPOST::MyCreateDirectoryA(L"//" + server + L"/share/dir"));
    EXPECT_EQ(GetFileAttributesW((L"R:\\" + server).GetString()), INVALID_FILE_ATTRIBUTES);
    RemoveDirectoryW((L"R:\\" + server + L"\\share\\dir").GetString());
    RemoveDirectoryW((L"R:\\" + server + L"\\share").GetString());
    RemoveDirectoryW((L"R:\\" + server).GetString());
    SetCurrentDirectoryW(previous);
}

}  // namespace
