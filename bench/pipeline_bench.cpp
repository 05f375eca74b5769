// A full update through the transfer engine, from the stand-in to the
// removable test drive R:, against each of its stages run alone in the
// same process, in rounds: the stages alone (download only, then unzip
// only, then copy only, each on what the stage before left) and the whole
// run with all three together, in turns whose order is reversed every
// round. Every round starts from empty download folders, the copy alone
// from an emptied medium, and each whole run is checked: every item copied,
// every file on the medium of its size and CRC.
// Prints one line of "name=value" pairs per round for
// bench/pipeline_bench.py. With "whole" only whole runs are made, each
// checked; a failed one ends the process at once with the medium and the
// download folder as the run left them (for bench/whole_runs.py).
//
//   bench_pipeline.exe <download folder A> <download folder B> [rounds] [whole]
// config.json beside the executable names the stand-in's host.
#include "afx/app.h"
#include "descriptors/ver_file.h"
#include "engine/copy_manager.h"
#include "engine/download_manager.h"
#include "engine/engine_control.h"
#include "engine/function_manager.h"
#include "engine/package_names.h"
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
#include <vector>

#include <zlib.h>

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

uLong crcOfFile(const CString& path, ULONGLONG& size) {
    size = 0;
    HANDLE file = CreateFileW(path.GetString(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 0;
    std::vector<Bytef> buffer(1 << 20);
    uLong crc = crc32(0L, Z_NULL, 0);
    DWORD got = 0;
    while (ReadFile(file, buffer.data(), static_cast<DWORD>(buffer.size()), &got, nullptr) && got > 0) {
        crc = crc32(crc, buffer.data(), got);
        size += got;
    }
    CloseHandle(file);
    return crc;
}

// The items' total bytes on the medium once every item is copied and every
// file there has its size and CRC; 0 (the fault named) otherwise.
ULONGLONG checkedBytesOnMedium() {
    ULONGLONG total = 0;
    for (size_t i = 0; InfFileUpdate* item = InfFileUpdateList::getInstance().at(i); ++i) {
        if (item->m_nState != ITEM_STATE_COPIED) {
            fprintf(stderr, "[bench_pipeline] item %zu %ls not copied (state %d)\n", i, item->getFileName().GetString(),
                    item->m_nState.load());
            return 0;
        }
        if (isPackageName(item->getFileName())) continue;
        CString path = item->getFilePath(kMedium);
        common_util::normalize_path(path);
        ULONGLONG size = 0;
        const uLong crc = crcOfFile(path, size);
        if (size != static_cast<ULONGLONG>(item->getFileSize()) || crc != item->getFileCrc()) {
            fprintf(stderr, "[bench_pipeline] %ls on the medium: %llu bytes, CRC %08lx; expected %lld, %08x\n",
                    path.GetString(), size, crc, item->getFileSize(), item->getFileCrc());
            return 0;
        }
        total += size;
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

// Empties a download folder (made again, empty).
void emptyFolder(const CString& folder) {
    CGlobalFunc::deleteDirectory(folder);
    CreateDirectoryW(folder.GetString(), nullptr);
}

// Ends a phase: the engine idle, the medium emptied of the phase's files
// and the lists of its run gone.
void endPhase() {
    engine_control::stopManagers();
    waitIdle();
    emptyMedium();
    ver_file_list::getInstance().clear();
    InfFileUpdateList::getInstance().clear();
}

struct stage_times {
    double download = 0, unzip = 0, copy = 0;
    int errors = 0;
    bool ok = false;
};

// Each stage alone, into folder, the medium emptied before the copy.
stage_times stagesAlone(const std::list<InfInfo*>& descriptors, const CString& folder) {
    stage_times times;
    function_manager* engine = function_manager::getInstance();
    emptyFolder(folder);
    CRegSetting::setDataPath(folder);
    engine->reset();
    BenchPage page(descriptors, false);
    listen(page.hwnd());
    // The pre-check and the list come first, outside the measure.
    engine->postCommand(FM_CMD_IDLE, 0, nullptr);
    engine->postCommand(FM_CMD_START, 0, static_cast<transfer_page*>(&page));
    while (engine->m_nState != FM_STATE_TRANSFER) Sleep(5);
    ULONGLONG start = GetTickCount64();
    if (!page.waitFor(UM_DOWNLOAD_COMPLETE, kStageMs)) return times;
    times.download = seconds(start);

    start = GetTickCount64();
    unzip_manager::getInstance()->start();
    engine->postCommand(FM_CMD_DOWNLOAD_DONE, 0, nullptr);
    if (!page.waitFor(UM_UNZIP_COMPLETE, kStageMs)) return times;
    times.unzip = seconds(start);

    waitIdle();
    emptyMedium();
    start = GetTickCount64();
    ver_file_list::getInstance().write(kMedium, VER_WRITE_MEDIUM);
    copy_manager::getInstance()->m_bActive = true;
    engine->postCommand(FM_CMD_DOWNLOAD_DONE, 0, nullptr);
    if (!page.waitFor(UM_COPY_COMPLETE, kStageMs)) return times;
    times.copy = seconds(start);
    times.ok = checkedBytesOnMedium() != 0;
    times.errors = page.errors();
    waitIdle();
    unlisten(page.hwnd());
    return times;
}

struct whole_times {
    double total = 0;
    ULONGLONG copied = 0, fetched = 0;
    int errors = 0;
};

// The whole pipeline from scratch into folder, onto an emptied medium.
whole_times wholeRun(const std::list<InfInfo*>& descriptors, const CString& folder) {
    whole_times times;
    function_manager* engine = function_manager::getInstance();
    emptyFolder(folder);
    CRegSetting::setDataPath(folder);
    engine->reset();
    BenchPage page(descriptors, true);
    listen(page.hwnd());
    engine->postCommand(FM_CMD_IDLE, 0, nullptr);
    engine->postCommand(FM_CMD_START, 0, static_cast<transfer_page*>(&page));
    while (engine->m_nState != FM_STATE_TRANSFER) Sleep(5);
    const ULONGLONG start = GetTickCount64();
    if (!page.waitFor(UM_COPY_COMPLETE, kStageMs)) return times;
    times.total = seconds(start);
    times.copied = checkedBytesOnMedium();
    times.fetched = bytesToFetch();
    times.errors = page.errors();
    waitIdle();
    unlisten(page.hwnd());
    return times;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 3) {
        fprintf(stderr, "usage: bench_pipeline.exe <download folder A> <download folder B> [rounds]\n");
        return 2;
    }
    const int rounds = argc > 3 ? std::max(1, _wtoi(argv[3])) : 1;
    const bool wholeOnly = argc > 4 && wcscmp(argv[4], L"whole") == 0;
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
    copy_manager::getInstance()->setBasePath(kMedium);

    int status = 0;
    for (int round = 0; round < rounds && wholeOnly && status == 0; ++round) {
        whole_times whole = wholeRun(descriptors, argv[2]);
        if (whole.copied == 0) {
            // Left as the run left them.
            fprintf(stderr, "[bench_pipeline] round %d: whole run failed its check\n", round);
            status = 8;
        } else {
            endPhase();
        }
        printf("round=%d total=%.3f fetched_bytes=%llu copied_bytes=%llu errors=%d ok=%d\n", round, whole.total,
               whole.fetched, whole.copied, whole.errors, whole.copied != 0 ? 1 : 0);
        fflush(stdout);
    }
    for (int round = 0; round < rounds && !wholeOnly && status == 0; ++round) {
        stage_times stages;
        whole_times whole;
        // Every other round the whole run goes first: neither side always
        // runs on the caches and the load the other left.
        for (int turn = 0; turn < 2; ++turn) {
            if ((turn == 0) == (round % 2 == 0)) {
                stages = stagesAlone(descriptors, argv[1]);
                endPhase();
                fprintf(stderr, "[bench_pipeline] round %d: download %.2f s, unzip %.2f s, copy %.2f s alone\n", round,
                        stages.download, stages.unzip, stages.copy);
            } else {
                whole = wholeRun(descriptors, argv[2]);
                endPhase();
                fprintf(stderr, "[bench_pipeline] round %d: whole run %.2f s\n", round, whole.total);
            }
        }
        if (!stages.ok) status = 6;
        if (whole.copied == 0) status = 8;
        printf("round=%d download=%.3f unzip=%.3f copy=%.3f total=%.3f fetched_bytes=%llu copied_bytes=%llu "
               "errors=%d\n",
               round, stages.download, stages.unzip, stages.copy, whole.total, whole.fetched, whole.copied,
               stages.errors + whole.errors);
        fflush(stdout);
    }

    PROCESS_MEMORY_COUNTERS memory{};
    memory.cb = sizeof(memory);
    GetProcessMemoryInfo(GetCurrentProcess(), &memory, sizeof(memory));
    printf("peak_working_set_kib=%llu\n", static_cast<unsigned long long>(memory.PeakWorkingSetSize / 1024));
    fflush(stdout);
    engine_control::shutdown(20000);
    ExitProcess(status);
}
