// Scheduling on the command thread: which item or piece is worked on next,
// on which worker slot, and the ends of the download and unzip phases.
//
// The choosers run under the task mutex, which the UI thread also takes (the
// page's progress timer). Whatever may block — a message sent to a window,
// a file deleted while shared — is collected while the mutex is held and
// done, in order, once it is released.
#include "descriptors/ver_file.h"
#include "engine/copy_manager.h"
#include "engine/download_manager.h"
#include "engine/function_manager.h"
#include "engine/function_manager_internal.h"
#include "engine/transfer_rules.h"
#include "engine/unzip_manager.h"
#include "engine/worker_manager.h"
#include "foundation/logmanager.h"
#include "foundation/message_pump.h"
#include "foundation/utilmanager.h"

#include <functional>

namespace {

// Depth of the choosing scopes on this thread, and the actions the
// outermost one runs once it ends (owned by that scope: no thread_local
// object with a destructor, see chunk_pool.h).
thread_local int t_choosing = 0;
thread_local std::vector<std::function<void()>>* t_afterRelease = nullptr;

void afterRelease(std::function<void()> action) {
    if (t_choosing > 0 && t_afterRelease) t_afterRelease->push_back(std::move(action));
    else action();
}

// Holds the task mutex while a task is chosen; runs the deferred actions
// after releasing it.
class choosing_scope {
public:
    explicit choosing_scope(std::recursive_mutex& mutex) : m_mutex(mutex) {
        m_mutex.lock();
        if (t_choosing++ == 0) t_afterRelease = &m_actions;
    }
    ~choosing_scope() {
        --t_choosing;
        m_mutex.unlock();
        if (t_choosing > 0) return;
        t_afterRelease = nullptr;
        std::vector<std::function<void()>> actions;
        actions.swap(m_actions);
        for (auto& action : actions) action();
    }
    choosing_scope(const choosing_scope&) = delete;
    choosing_scope& operator=(const choosing_scope&) = delete;

private:
    std::recursive_mutex& m_mutex;
    std::vector<std::function<void()>> m_actions;
};

constexpr DWORD kCheckingWaitMs = 300;
constexpr int kCheckingRounds = 10;
constexpr DWORD kCheckingGiveUpMs = 2000;
constexpr DWORD kAfterScheduleMs = 10;

bool inRange(int value, int low, int high) {
    return value >= low && value <= high;
}

bool isDownloadState(int state) {
    return inRange(state, ITEM_STATE_DOWNLOAD_READY, ITEM_STATE_DOWNLOAD_FAILED);
}

bool stopping(function_manager* fm) {
    return fm->m_nQuit || fm->m_nPaused || fm->stopGateClosed();
}

// A phase is ended only on the current run's own items.
bool onThisRunsItems(function_manager* fm) {
    return !fm->itemsPending() && fm->isCurrentRun();
}

}  // namespace

void function_manager::dispatchByState(int lowest, transfer_page* page) {
    if (inRange(lowest, ITEM_STATE_NEW, 3) || lowest == 0) {
        // Items still being checked: start over with the remembered page.
        postCommand(FM_CMD_START, 0, m_pPage);
        m_pPage = nullptr;
    } else if (isDownloadState(lowest) || inRange(lowest, ITEM_STATE_DOWNLOADED, ITEM_STATE_UNZIP_FAILED) ||
               inRange(lowest, ITEM_STATE_UNZIPPED, ITEM_STATE_COPY_FAILED)) {
        postCommand(FM_CMD_BEGIN_TRANSFER, 0, page);
    }
}

void function_manager::scheduleNext(int lowest) {
    if (!isCurrentRun()) return;
    if (inRange(lowest, 0, 3)) {
        // Items left unchecked by a Hold: the resume starts over, not a tick.
        if (m_nPaused) return;
        for (int round = 0; round < kCheckingRounds; ++round) {
            waitPumpingMessages(kCheckingWaitMs);
            if (!isCurrentRun() || m_nPaused) return;
            if (calcProgressState() >= ITEM_STATE_DOWNLOAD_READY) {
                startDownloads();
                return;
            }
        }
        waitPumpingMessages(kCheckingGiveUpMs);
        if (!isCurrentRun() || m_nPaused) return;
        // A pre-check still under way reports its end itself; a START now
        // would start a second one once it has ended, rebuilding the items
        // under the transfer that its report begins. Asked first: when it
        // has ended, the states read after it are its final ones.
        if (pageThreadsRunning()) return;
        if (calcProgressState() >= ITEM_STATE_DOWNLOAD_READY) {
            startDownloads();
            return;
        }
        postCommand(FM_CMD_START, 0, m_pPage);
    } else if (isDownloadState(lowest) || lowest == ITEM_STATE_DOWNLOADED) {
        startDownloads();
    } else if (inRange(lowest, ITEM_STATE_UNZIPPING, ITEM_STATE_UNZIPPED)) {
        startUnzip();
    } else if (inRange(lowest, ITEM_STATE_COPYING, ITEM_STATE_COPIED)) {
        startCopy();
    }
    waitPumpingMessages(kAfterScheduleMs);
}

void function_manager::startDownloads() {
    if (m_nState >= FM_STATE_PAUSED || !isCurrentRun()) return;
    download_manager* downloads = download_manager::getInstance();
    worker_manager* workers = worker_manager::getInstance();
    while (downloads->m_bActive.load() && !m_nDownloadDone) {
        const int slot = workers->firstFreeDownloadSlot();
        if (slot < 0) break;
        transfer_task* task = nullptr;
        {
            choosing_scope choosing(m_taskMutex);
            task = nextDownloadTask(slot == 0);
        }
        if (!task) break;
        task->slot = slot;
        m_observers.post_message_all(UM_DOWNLOAD_PROGRESS, 0, 0);
        if (!workers->startDownloadThread(slot, task)) {
            task->state = 0;
            break;
        }
    }
    startUnzip();
}

void function_manager::startUnzip() {
    if (m_nState >= FM_STATE_PAUSED || !isCurrentRun()) return;
    worker_manager* workers = worker_manager::getInstance();
    while (unzip_manager::getInstance()->m_bEnabled.load() && !m_nUnzipDone && workers->isSlotFree(worker_manager::SLOT_UNZIP)) {
        transfer_task* task = nullptr;
        {
            choosing_scope choosing(m_taskMutex);
            task = nextUnzipTask();
        }
        if (!task) break;
        task->slot = 0;
        m_observers.post_message_all(UM_UNZIP_PROGRESS, 0, 0);
        if (!workers->startUnzipThread(task)) {
            task->state = 0;
            break;
        }
    }
    startCopy();
}

void function_manager::startCopy() {
    if (m_nFormatting || m_nState >= FM_STATE_PAUSED || !isCurrentRun()) return;
    worker_manager* workers = worker_manager::getInstance();
    copy_manager* copies = copy_manager::getInstance();
    while (copies->m_bActive.load() && !m_nCopyDone && workers->isSlotFree(worker_manager::SLOT_COPY)) {
        transfer_task* task = nullptr;
        // Without a medium root the item paths would name folders below
        // whatever the current folder is.
        const bool haveMedium = m_chDrive != 0 && !copies->getBasePath().IsEmpty();
        {
            choosing_scope choosing(m_taskMutex);
            if (!stopping(this) && haveMedium) {
                for (InfFileUpdate* item : queuedItems()) {
                    if (!item) break;
                    if (!isTransferItem(item)) continue;
                    if (!inRange(item->m_nState, ITEM_STATE_UNZIPPED, ITEM_STATE_COPY_FAILED)) continue;
                    if (isSkipCopy(item)) {
                        item->m_nState = ITEM_STATE_COPIED;
                        continue;
                    }
                    task = getOrCreateTask(m_copyTasks, item, 0);
                    if (task) break;
                }
            }
        }
        if (!task) {
            // The items of an earlier run (all 303) would end this one.
            if (onThisRunsItems(this) && calcProgressState() >= ITEM_STATE_COPIED) {
                m_nState = FM_STATE_FINISHED;
                m_nCopyDone = 1;
                // Writes the medium's version file before it tells anyone: a
                // listener may start the next run, which replaces the lists
                // the write walks, or read the file.
                copies->notifyFinished();
                m_observers.post_message_all(UM_COPY_COMPLETE, 0, 1);
            }
            break;
        }
        task->slot = 0;
        m_observers.post_message_all(UM_COPY_PROGRESS, 0, 0);
        if (!workers->startCopyThread(task)) {
            task->state = 0;
            break;
        }
    }
    checkPhaseComplete();
}

transfer_task* function_manager::nextDownloadTask(bool wholeFilesFirst) {
    if (stopping(this)) return nullptr;
    const std::vector<InfFileUpdate*> items = queuedItems();

    // A whole file: its finished task completes the item; a running one is
    // left alone; otherwise it is handed out (a record whose worker is still
    // on its way out is not).
    auto wholeFile = [this](InfFileUpdate* item) -> transfer_task* {
        transfer_task* task = findTask(m_downloadTasks, item, -1);
        if (task && task->state == 2) {
            finishDownloadedItem(item);
            return nullptr;
        }
        if (task && task->state == 1) return nullptr;
        return getOrCreateTask(m_downloadTasks, item, -1);
    };

    if (wholeFilesFirst) {
        for (InfFileUpdate* item : items) {
            if (!item || stopping(this)) return nullptr;
            if (!isTransferItem(item) || !isDownloadState(item->m_nState) || item->getNumSpan() != 0) continue;
            if (transfer_task* task = wholeFile(item)) return task;
        }
    }

    for (InfFileUpdate* item : items) {
        if (!item || stopping(this)) return nullptr;
        if (!isTransferItem(item) || !isDownloadState(item->m_nState)) continue;
        const int pieces = item->getNumSpan();
        if (pieces == 0) {
            if (transfer_task* task = wholeFile(item)) return task;
            continue;
        }

        if (item->m_nState != ITEM_STATE_DOWNLOADING) {
            // A fresh start of the item: earlier pieces are fetched again.
            std::lock_guard<std::mutex> lock(m_listMutex);
            for (transfer_task* task : m_downloadTasks) {
                if (task->item == item && task->piece >= 0 && !task->live) {
                    task->state = 0;
                    task->bytesDone = 0;
                }
            }
        }

        bool running = false;
        for (int k = 0; k < pieces; ++k) {
            transfer_task* task = findTask(m_downloadTasks, item, k);
            if (task && task->state != 0) continue;
            if (task && task->live) {
                running = true;
                continue;
            }
            item->m_nState = ITEM_STATE_DOWNLOADING;
            if (transfer_task* fresh = getOrCreateTask(m_downloadTasks, item, k)) return fresh;
            running = true;
        }
        if (running) continue;

        std::vector<transfer_task*> tasks;
        for (int k = 0; k < pieces; ++k) tasks.push_back(findTask(m_downloadTasks, item, k));
        bool allFinished = true;
        for (transfer_task* task : tasks) allFinished = allFinished && task && task->state == 2;
        if (!allFinished) continue;

        const std::vector<ULONGLONG> sizes = pieceSizes(item);
        ULONGLONG sum = 0;
        for (int k = 0; k < pieces; ++k) {
            if (sizes[k] == kUnreadableSize || sizes[k] == 0) {
                if (!tasks[k]->live) {
                    tasks[k]->state = 0;
                    tasks[k]->bytesDone = 0;
                }
                postCommand(FM_CMD_DOWNLOAD_DONE, 0, nullptr);
                return nullptr;
            }
            tasks[k]->bytesDone = sizes[k];
            sum += sizes[k];
        }
        if (sum != static_cast<ULONGLONG>(item->getDownloadSize()) && pieces > 5) {
            split_repair plan = planSplitRepair(sizes);
            if (plan.repaired) {
                std::vector<CString> paths = applySplitRepair(this, item, plan);
                afterRelease([paths] { deletePieces(paths); });
                postCommand(FM_CMD_DOWNLOAD_DONE, 0, nullptr);
                return nullptr;
            }
        }
        finishDownloadedItem(item);
        transfer_task* next = nextDownloadTask(false);
        if (!next) onDownloadPhaseDone();
        return next;
    }
    onDownloadPhaseDone();
    return nullptr;
}

void function_manager::finishDownloadedItem(InfFileUpdate* item) {
    // Every downloaded file goes through the unzip step, which checks its
    // size and CRC and extracts a package.
    // A late report of an item that went on meanwhile leaves it where it is.
    if (item && item->m_nState < ITEM_STATE_DOWNLOADED) item->m_nState = ITEM_STATE_DOWNLOADED;
}

void function_manager::onDownloadPhaseDone() {
    if (m_nState != FM_STATE_TRANSFER || !onThisRunsItems(this) || calcProgressState() < ITEM_STATE_DOWNLOADED) return;
    m_observers.post_message_all(UM_DOWNLOAD_COMPLETE, 0, 1);
    m_nState = FM_STATE_DOWNLOADED;
    m_nDownloadDone = 1;
    afterRelease([this] {
        download_manager* downloads = download_manager::getInstance();
        downloads->m_observers.send_message_all(UM_DOWNLOAD_COMPLETE, 0, downloads->currentSessionFlag()->load() ? 1 : 0);
        downloads->stop();
        checkMediumFiles();
    });
}

void function_manager::onCheckFailed(InfFileUpdate* item) {
    if (!item) return;
    std::lock_guard<std::recursive_mutex> tasks(m_taskMutex);
    const int failures = ++m_checkResets[item];
    if (failures > kCheckResetsPerRun) {
        LOG_WRITE(L"[ERR_ENGINE] check failed %d times, item left until the run starts over [file:%s]", failures,
                  item->getFileName().GetString());
        return;
    }
    {
        // Every piece comes back: the check deleted them all.
        std::lock_guard<std::mutex> lock(m_listMutex);
        for (transfer_task* task : m_downloadTasks) {
            if (task->item != item || task->live) continue;
            task->state = 0;
            task->bytesDone = 0;
        }
    }
    item->m_nState = ITEM_STATE_DOWNLOAD_READY;
    // The download phase may have ended already; it is open again.
    m_nDownloadDone = 0;
    int downloaded = FM_STATE_DOWNLOADED;
    m_nState.compare_exchange_strong(downloaded, FM_STATE_TRANSFER);
}

bool function_manager::checkGivenUp(InfFileUpdate* item) {
    std::lock_guard<std::recursive_mutex> tasks(m_taskMutex);
    auto found = m_checkResets.find(item);
    return found != m_checkResets.end() && found->second > kCheckResetsPerRun;
}

transfer_task* function_manager::nextUnzipTask() {
    if (stopping(this)) return nullptr;
    for (InfFileUpdate* item : queuedItems()) {
        if (!item || stopping(this)) return nullptr;
        if (!isTransferItem(item) || !inRange(item->m_nState, ITEM_STATE_DOWNLOADED, ITEM_STATE_UNZIP_FAILED)) continue;
        if (item->m_nState == ITEM_STATE_UNZIP_FAILED && checkGivenUp(item)) continue;
        if (transfer_task* task = getOrCreateTask(m_unzipTasks, item, 0)) return task;
    }
    if (m_nState != FM_STATE_DOWNLOADED || !onThisRunsItems(this) || calcProgressState() < ITEM_STATE_UNZIPPED) {
        return nullptr;
    }

    m_observers.post_message_all(UM_DOWNLOAD_COMPLETE, 0, 1);
    m_observers.post_message_all(UM_UNZIP_COMPLETE, 0, 1);
    m_nState = FM_STATE_UNZIPPED;
    m_nUnzipDone = 1;
    const bool folderTarget = m_chDrive == 0;
    afterRelease([this, folderTarget] {
        unzip_manager* unzip = unzip_manager::getInstance();
        unzip->m_observers.send_message_all(UM_DOWNLOAD_COMPLETE, 0, 1);
        unzip->m_observers.send_message_all(UM_UNZIP_COMPLETE, 0, unzip->m_nBusy.load() == 1 ? 1 : 0);
        unzip->m_nBusy = 0;
        ver_file_list::getInstance().write(unzip->m_strDownloadFolder, VER_WRITE_LOCAL);
        checkMediumFiles();
        if (folderTarget) {
            // Nothing to copy: the run ends with the extraction.
            m_observers.post_message_all(UM_DOWNLOAD_COMPLETE, 0, 1);
            m_observers.post_message_all(UM_UNZIP_COMPLETE, 0, 1);
            m_observers.post_message_all(UM_COPY_COMPLETE, 0, 1);
            // Only now: the page ends a folder run on the unzip completion
            // sent above, unless the run is already finished.
            m_nState = FM_STATE_FINISHED;
        }
    });
    return nullptr;
}
