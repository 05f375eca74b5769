// The change from one run to the next: what the last run's threads still
// use is replaced only once they have let go of it.
#include "descriptors/update_list_builder.h"
#include "descriptors/ver_file.h"
#include "engine/copy_manager.h"
#include "engine/engine_control.h"
#include "engine/function_manager.h"
#include "engine/score_board.h"
#include "foundation/regsetting.h"
#include "tests/engine/control_fixtures.h"
#include "tests/engine/engine_fixtures.h"
#include "tests/support/test_support.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace {

bool exists(const CString& path) {
    return GetFileAttributesW(path.GetString()) != INVALID_FILE_ATTRIBUTES;
}

// What the run's shared state was when a window of the waiting thread got
// its message.
struct Seen {
    std::atomic<bool> seen{false};
    CString folder;
    ULONGLONG boardTotal = 0;
};
Seen g_seen;
constexpr UINT kProbeMessage = WM_APP + 7;

LRESULT CALLBACK probeProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == kProbeMessage) {
        g_seen.folder = copy_manager::getInstance()->m_strDownloadFolder;
        g_seen.boardTotal = score_board::getBoards()[BOARD_DOWNLOAD].getTotalSize();
        g_seen.seen = true;
        return 0;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

HWND probeWindow() {
    WNDCLASSW wc{};
    wc.lpfnWndProc = &probeProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"KestruneRunChangeProbe";
    RegisterClassW(&wc);
    return CreateWindowExW(0, wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
}

}  // namespace

// A version-file write walks the elements and their items; a new run's
// rebuild that freed them meanwhile left the write (and whoever got the
// freed memory next) reading and writing into freed objects.
TEST(RunChange, ListsAreRebuiltOnlyAfterARunningVersionFileWrite) {
    TempDir dir;
    TestVehicle car({{L"a.bin"}, {L"b.bin"}});
    car.build();
    const CString ver = dir.path() + L"CAR\\CAR.ver";
    ASSERT_TRUE(writeFileAt(ver, "old\n"));
    // Held without delete sharing: the write's rename waits, so the write
    // is still running once its temporary file is there.
    HANDLE held = CreateFileW(ver.GetString(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);

    std::thread writer([&] { ver_file_list::getInstance().write(dir.path(), VER_WRITE_LOCAL); });
    ASSERT_TRUE(waitUntil([&] { return exists(ver + L".tmp"); }));
    update_list_builder::build({car.entry()});
    const bool busyAfterRebuild = ver_file_list::getInstance().isBusy();
    CloseHandle(held);
    writer.join();

    EXPECT_FALSE(busyAfterRebuild) << "the lists were replaced under a running write";
    EXPECT_EQ(car.items().size(), 2u);
}

// The download folder strings and the boards are the last run's workers'
// as long as they run.
TEST(RunChange, InitDownloadWaitsForTheLastRunsWorkersBeforeItSetsPaths) {
    TempDir before, after;
    TestVehicle car({{L"a.bin"}});
    engine_control::setManagerPaths(before.path());
    const CString oldFolder = copy_manager::getInstance()->m_strDownloadFolder;
    score_board::getBoards()[BOARD_DOWNLOAD].setTotalSize(4242);

    function_manager* engine = function_manager::getInstance();
    auto* worker = new transfer_task;  // a worker of the last run still on its record
    worker->live = true;
    {
        std::lock_guard<std::mutex> lock(engine->m_listMutex);
        engine->m_retiredTasks.push_back(worker);
    }
    CRegSetting::setDataPath(after.path());

    std::thread compute([&] {
        HWND probe = probeWindow();
        // Taken by the message pump of the wait for the workers.
        PostMessageW(probe, kProbeMessage, 0, 0);
        engine_control::InitDownload({car.entry()});
        DestroyWindow(probe);
    });
    ASSERT_TRUE(waitUntil([&] { return g_seen.seen.load(); }));
    const CString folderWhileWaiting = g_seen.folder;
    const ULONGLONG boardWhileWaiting = g_seen.boardTotal;
    worker->live = false;
    compute.join();

    EXPECT_EQ(folderWhileWaiting, oldFolder) << "folder changed under a running worker";
    EXPECT_EQ(boardWhileWaiting, 4242u) << "boards reset under a running worker";
    EXPECT_NE(copy_manager::getInstance()->m_strDownloadFolder, oldFolder) << "set once the worker let go";
}
