// A full update through the transfer engine, from the stand-in to the
// removable test drive R:, against each of its stages run alone in the
// same process: first download only, then unzip only, then copy only (each
// on what the stage before left), then all three together from scratch.
// Prints "name=value" pairs for bench/pipeline_bench.py.
//
//   bench_pipeline.exe <download folder A> <download folder B>
// The medium's folders of the update are emptied before the whole run.
// config.json beside the executable names the stand-in's host.
#include "afx/app.h"
#include "descriptors/ver_file.h"
#include "engine/copy_manager.h"
#include "engine/download_manager.h"
#include "engine/engine_control.h"
#include "engine/function_manager.h"
#include "engine/transfer_page.h"
#include "engine/unzip_manager.h"
#include "engine/vercheck_manager.h"
#include "foundation/common_util.h"
#include "foundation/config_file.h"
#include "foundation/globalfunc.h"
#include "foundation/private_messages.h"
#include "foundation/regsetting.h"

#include <psapi.h>

#include <atomic>
#include <condition_variable>
#include <cstdio>
#include <list>
#include <mutex>
#include <set>
#include <thread>

namespace {

const wchar_t kMedium[] = L"R:\\";

// A page on a window of its own thread. It starts what the stage needs:
// with `all` the download and unzip sides at once and the copy after the
// medium preparation, as the update page does; without, only the download
// side (the bench opens the others itself).
class BenchPage : public transfer_page {
public:
    BenchPage(const std::list<InfInfo*>& descriptors, bool all) : m_descriptors(descriptors), m_all(all) {
        m_thread = std::thread([this] { run(); });
        std::unique_lock<std::mutex> hold(m_lock);
        m_changed.wait(hold, [this] { return m_hwnd != nullptr; });
    }
    ~BenchPage() {
        PostMessageW(m_hwnd, WM_CLOSE, 0, 0);
        m_thread.join();
    }

    HWND hwnd() const { return m_hwnd; }

    int beginTransfer() override {
        download_manager::getInstance()->start();
        if (m_all) unzip_manager::getInstance()->start();
        function_manager::getInstance()->postCommand(FM_CMD_DOWNLOAD_DONE, 0, nullptr);
        return 1;
    }
    void computeAndInitDownload() override { engine_control::InitDownload(m_descriptors); }
    void StartCarCopy() override {
        if (!m_all) return;
        ver_file_list::getInstance().write(kMedium, VER_WRITE_MEDIUM);
        copy_manager::getInstance()->m_bActive = true;
    }

    // Waits for the message with lParam 1; false after the time-out.
    bool waitFor(UINT message, DWORD ms) {
        std::unique_lock<std::mutex> hold(m_lock);
        return m_changed.wait_for(hold, std::chrono::milliseconds(ms), [&] { return m_seen.count(message) != 0; });
    }
    void forget(UINT message) {
        std::lock_guard<std::mutex> hold(m_lock);
        m_seen.erase(message);
    }
    int errors() const { return m_errors.load(); }

private:
    static LRESULT CALLBACK proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
        auto* self = reinterpret_cast<BenchPage*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
        if (self && message == UM_CHECK_COMPLETE) {
            function_manager::getInstance()->postCommand(FM_CMD_FORMAT, L'R', static_cast<transfer_page*>(self));
        } else if (self && message == UM_MODULE_ERROR) {
            ++self->m_errors;
            fprintf(stderr, "module error %d/%d\n", static_cast<int>(wParam), static_cast<int>(lParam));
        } else if (self && lParam == 1 &&
                   (message == UM_DOWNLOAD_COMPLETE || message == UM_UNZIP_COMPLETE || message == UM_COPY_COMPLETE)) {
            std::lock_guard<std::mutex> hold(self->m_lock);
            self->m_seen.insert(message);
            self->m_changed.notify_all();
        }
        if (message == WM_CLOSE) {
            DestroyWindow(hwnd);
            PostQuitMessage(0);
            return 0;
        }
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }

    void run() {
        WNDCLASSW wc{};
        wc.lpfnWndProc = &BenchPage::proc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"KestruneBenchPage";
        RegisterClassW(&wc);
        HWND hwnd = CreateWindowExW(0, wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance,
                                    nullptr);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        {
            std::lock_guard<std::mutex> hold(m_lock);
            m_hwnd = hwnd;
        }
        m_changed.notify_all();
        MSG msg;
        while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
    }

    std::list<InfInfo*> m_descriptors;
    bool m_all;
    std::thread m_thread;
    std::mutex m_lock;
    std::condition_variable m_changed;
    HWND m_hwnd = nullptr;
    std::set<UINT> m_seen;
    std::atomic<int> m_errors{0};
};

void listen(HWND hwnd) {
    function_manager::getInstance()->m_observers.add(hwnd);
    vercheck_manager::getInstance().m_observers.add(hwnd);
    download_manager::getInstance()->m_observers.add(hwnd);
    unzip_manager::getInstance()->m_observers.add(hwnd);
    copy_manager::getInstance()->m_observers.add(hwnd);
}

void unlisten(HWND hwnd) {
    function_manager::getInstance()->m_observers.remove(hwnd);
    vercheck_manager::getInstance().m_observers.remove(hwnd);
    download_manager::getInstance()->m_observers.remove(hwnd);
    unzip_manager::getInstance()->m_observers.remove(hwnd);
    copy_manager::getInstance()->m_observers.remove(hwnd);
}

double seconds(ULONGLONG fromTicks) {
    return (GetTickCount64() - fromTicks) / 1000.0;
}

void waitIdle() {
    ULONGLONG start = GetTickCount64();
    while (!engine_control::isIdle()) {
        Sleep(20);
        if (GetTickCount64() - start > 5000) {
            start = GetTickCount64();
            function_manager* fm = function_manager::getInstance();
            std::lock_guard<std::mutex> lock(fm->m_listMutex);
            int live = 0;
            for (auto* list : {&fm->m_downloadTasks, &fm->m_unzipTasks, &fm->m_copyTasks, &fm->m_retiredTasks})
                for (auto* t : *list) live += t->live ? 1 : 0;
            fprintf(stderr, "[bench_pipeline] waiting: live records %d\n", live);
        }
    }
}

// The items' total download bytes.
ULONGLONG bytesToFetch() {
    ULONGLONG total = 0;
    for (size_t i = 0; InfFileUpdate* item = InfFileUpdateList::getInstance().at(i); ++i) {
        total += static_cast<ULONGLONG>(item->getDownloadSize());
    }
    return total;
}

// The items' total bytes on the medium, to check the run copied them all.
ULONGLONG bytesOnMedium() {
    ULONGLONG total = 0;
    for (size_t i = 0; InfFileUpdate* item = InfFileUpdateList::getInstance().at(i); ++i) {
        if (item->m_nState != ITEM_STATE_COPIED) return 0;
        total += static_cast<ULONGLONG>(item->getFileSize());
    }
    return total;
}

constexpr DWORD kStageMs = 3600 * 1000;

// The engine reads the download folder from the program's settings, as in
// the program; the bench keeps them under a key of its own.
class BenchApp : public CWinApp {
public:
    BenchApp() : CWinApp(L"bench_pipeline") { SetRegistryKey(L"KestruneBench"); }
    ~BenchApp() override { RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\KestruneBench"); }
};
BenchApp theApp;

// Removes the items' top folders from the medium, and its version file.
void emptyMedium() {
    std::set<CString> tops;
    for (size_t i = 0; InfFileUpdate* item = InfFileUpdateList::getInstance().at(i); ++i) {
        CString path = item->getFilePath(kMedium);
        common_util::normalize_path(path);
        CString rest = path.Mid(3);
        int separator = rest.Find(L'\\');
        if (separator > 0) tops.insert(CString(kMedium) + rest.Left(separator));
    }
    for (const CString& top : tops) CGlobalFunc::deleteDirectory(top);
    CString ver = L"R:\\TS_BENCH\\TS_BENCH.ver";
    common_util::normalize_path(ver);
    DeleteFileW(ver.GetString());
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 3) {
        fprintf(stderr, "usage: bench_pipeline.exe <download folder A> <download folder B>\n");
        return 2;
    }
    if (!CConfigFile::getInstance()->loadFile(CGlobalFunc::getModuleDirectory() + L"\\config.json")) {
        fprintf(stderr, "config.json not found beside the executable\n");
        return 2;
    }
    const CString host = CConfigFile::getInstance()->getValue(L"API_HOST");
    InfInfo entry;
    entry.setInfUrl(L"https://" + host + L"/contents/inf/");
    entry.setInfFileName(L"TS_BENCH.inf");
    entry.setModelCode(L"B01");
    entry.setFirstDescriptor(&entry);
    entry.setSwVersion(L"KOR.TS.B01.000.SD.STD_240601");
    entry.setBrandCode(L"TS");
    entry.m_guard.set();
    const std::list<InfInfo*> descriptors{&entry};
    function_manager* engine = function_manager::getInstance();
    copy_manager::getInstance()->setBasePath(kMedium);

    // ---- the stages alone, one after the other, into folder A
    CRegSetting::setDataPath(argv[1]);
    double download = 0, unzip = 0, copy = 0;
    int errors = 0;
    {
        engine->reset();
        BenchPage page(descriptors, false);
        listen(page.hwnd());
        // The pre-check and the list come first, outside the measure.
        engine->postCommand(FM_CMD_START, 0, static_cast<transfer_page*>(&page));
        ULONGLONG start = 0;
        while (engine->m_nState != FM_STATE_TRANSFER) Sleep(5);
        start = GetTickCount64();
        if (!page.waitFor(UM_DOWNLOAD_COMPLETE, kStageMs)) return 3;
        download = seconds(start);
        fprintf(stderr, "[bench_pipeline] download alone %.2f s\n", download);

        start = GetTickCount64();
        unzip_manager::getInstance()->start();
        engine->postCommand(FM_CMD_DOWNLOAD_DONE, 0, nullptr);
        if (!page.waitFor(UM_UNZIP_COMPLETE, kStageMs)) return 4;
        unzip = seconds(start);
        fprintf(stderr, "[bench_pipeline] unzip alone %.2f s\n", unzip);

        waitIdle();
        start = GetTickCount64();
        ver_file_list::getInstance().write(kMedium, VER_WRITE_MEDIUM);
        copy_manager::getInstance()->m_bActive = true;
        engine->postCommand(FM_CMD_DOWNLOAD_DONE, 0, nullptr);
        if (!page.waitFor(UM_COPY_COMPLETE, kStageMs)) return 5;
        copy = seconds(start);
        fprintf(stderr, "[bench_pipeline] copy alone %.2f s\n", copy);
        if (bytesOnMedium() == 0) return 6;
        errors += page.errors();
        waitIdle();
        unlisten(page.hwnd());
    }

    // ---- the whole pipeline from scratch into folder B, onto an emptied
    // medium
    engine_control::stopManagers();
    waitIdle();
    emptyMedium();
    ver_file_list::getInstance().clear();
    InfFileUpdateList::getInstance().clear();

    CRegSetting::setDataPath(argv[2]);
    double total = 0;
    ULONGLONG copied = 0, fetched = 0;
    {
        engine->reset();
        BenchPage page(descriptors, true);
        listen(page.hwnd());
        engine->postCommand(FM_CMD_IDLE, 0, nullptr);
        engine->postCommand(FM_CMD_START, 0, static_cast<transfer_page*>(&page));
        while (engine->m_nState != FM_STATE_TRANSFER) Sleep(5);
        const ULONGLONG start = GetTickCount64();
        if (!page.waitFor(UM_COPY_COMPLETE, kStageMs)) return 7;
        total = seconds(start);
        copied = bytesOnMedium();
        fetched = bytesToFetch();
        errors += page.errors();
        waitIdle();
        unlisten(page.hwnd());
    }

    PROCESS_MEMORY_COUNTERS memory{};
    memory.cb = sizeof(memory);
    GetProcessMemoryInfo(GetCurrentProcess(), &memory, sizeof(memory));
    printf("download=%.3f unzip=%.3f copy=%.3f total=%.3f fetched_bytes=%llu copied_bytes=%llu errors=%d "
           "peak_working_set_kib=%llu\n",
           download, unzip, copy, total, fetched, copied, errors,
           static_cast<unsigned long long>(memory.PeakWorkingSetSize / 1024));
    fflush(stdout);
    engine_control::shutdown(20000);
    ExitProcess(copied == 0 ? 8 : 0);
}
