#include "engine/engine_control.h"

#include "descriptors/update_list_builder.h"
#include "engine/copy_manager.h"
#include "engine/download_manager.h"
#include "engine/function_manager.h"
#include "engine/function_manager_internal.h"
#include "engine/unzip_manager.h"
#include "engine/vercheck_manager.h"
#include "engine/worker_manager.h"
#include "foundation/logmanager.h"
#include "foundation/message_pump.h"
#include "foundation/private_messages.h"
#include "foundation/regsetting.h"

#include <functional>

namespace {

// How long a new run waits for the workers of the last one.
constexpr DWORD kWorkersEndMs = 30000;
constexpr DWORD kPollMs = 20;

// Only the command thread may look at the slots while it runs (a look
// releases the slot of an ended thread); others ask the task records,
// which a worker lets go of as its last act on them.
bool noWorkerOnARecord() {
    function_manager* engine = function_manager::getInstance();
    std::lock_guard<std::mutex> lock(engine->m_listMutex);
    for (const transfer_task_list* list :
         {&engine->m_downloadTasks, &engine->m_unzipTasks, &engine->m_copyTasks, &engine->m_retiredTasks}) {
        for (const transfer_task* task : *list) {
            if (task->live) return false;
        }
    }
    return true;
}

// Once the command thread has ended the caller is the slots' only user.
bool allSlotsFree() {
    worker_manager* workers = worker_manager::getInstance();
    for (int slot = 0; slot < worker_manager::SLOT_COUNT; ++slot) {
        if (!workers->isSlotFree(slot)) return false;
    }
    return true;
}

bool waitUntil(const std::function<bool()>& done, ULONGLONG deadline) {
    for (;;) {
        if (done()) return true;
        if (GetTickCount64() >= deadline) return false;
        waitPumpingMessages(kPollMs);
    }
}

bool threadEnded(HANDLE thread) {
    return !thread || WaitForSingleObject(thread, 0) != WAIT_TIMEOUT;
}

// A handle of our own on an engine thread, so the wait never touches one
// the engine closed meanwhile.
HANDLE duplicate(HANDLE thread) {
    HANDLE own = nullptr;
    if (thread) DuplicateHandle(GetCurrentProcess(), thread, GetCurrentProcess(), &own, SYNCHRONIZE, FALSE, 0);
    return own;
}

}  // namespace

namespace engine_control {

void setManagerPaths() {
    setManagerPaths(CRegSetting::getDataPath());
}

void setManagerPaths(const CString& downloadFolder) {
    CString folder = downloadFolder;
    folder.Replace(L"\\\\", L"\\");
    folder.Replace(L"/", L"\\");
    vercheck_manager::getInstance().setDownloadFolder(folder);
    download_manager::getInstance()->m_strDownloadFolder = folder;
    unzip_manager::getInstance()->m_strDownloadFolder = folder;
    copy_manager::getInstance()->m_strDownloadFolder = folder;
    worker_manager::getInstance()->m_strDownloadFolder = folder;
}

void InitDownload(const std::list<InfInfo*>& descriptors) {
    // The folder strings and the boards are the last run's workers' too:
    // they change only once those workers have let go.
    if (!waitUntil(noWorkerOnARecord, GetTickCount64() + kWorkersEndMs)) {
        LOG_WRITE(L"[ERR_ENGINE] workers of the last run still busy: run not prepared");
        vercheck_manager::getInstance().m_observers.post_message_all(UM_CHECK_COMPLETE, 0, 0);
        return;
    }
    setManagerPaths();
    score_board* boards = score_board::getBoards();
    for (int board = 0; board < BOARD_COUNT; ++board) boards[board].reset();
    update_list_builder::build(descriptors);
    function_manager::getInstance()->itemsRebuilt();
    vercheck_manager::getInstance().checkMedium();
}

void stopManagers() {
    function_manager* engine = function_manager::getInstance();
    {
        std::lock_guard<std::mutex> lock(engine->m_queueMutex);
        engine->m_nPaused = 1;
    }
    vercheck_manager::getInstance().stop();
    download_manager::getInstance()->stop();
    unzip_manager::getInstance()->m_bEnabled = false;
    copy_manager::getInstance()->m_bActive = false;
}

bool isIdle() {
    return noWorkerOnARecord() && !pageThreadsRunning();
}

bool shutdown(DWORD timeoutMs) {
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    function_manager* engine = function_manager::getInstance();
    stopManagers();
    engine->postCommand(FM_CMD_QUIT, 0, nullptr);

    HANDLE command = duplicate(engine->m_hCommandThread);
    bool ended = waitUntil([command] { return threadEnded(command); }, deadline);
    if (command) CloseHandle(command);
    // The workers' threads themselves, not only their records.
    ended = ended && waitUntil([] { return allSlotsFree() && !pageThreadsRunning(); }, deadline);
    if (!ended) LOG_WRITE(L"[ERR_ENGINE] engine threads still running at shut-down");
    return ended;
}

}  // namespace engine_control
