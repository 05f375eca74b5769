// The choice of the next work and the start of the worker threads.
#include "descriptors/ver_file.h"
#include "engine/copy_manager.h"
#include "engine/download_manager.h"
#include "engine/function_manager.h"
#include "engine/unzip_manager.h"
#include "engine/worker_manager.h"
#include "foundation/message_pump.h"
#include "foundation/utilmanager.h"

namespace {

constexpr LONGLONG kSelectedSizeLimit = 137438953472LL;

// An item the engine may work on.
bool isSelected(const InfFileUpdate* item) {
    return item && item->m_nUsable == 1 && item->m_nKind == 2 && item->getVer() >= 1 &&
           item->getDownloadSize() < kSelectedSizeLimit;
}

template <typename Visit>
void forEachItem(Visit visit) {
    InfFileUpdateList& list = InfFileUpdateList::getInstance();
    for (size_t i = 0; i < list.size(); ++i) {
        InfFileUpdate* item = list.at(i);
        if (!item || !visit(item)) return;
    }
}

}  // namespace

void function_manager::dispatchByState(int lowest, transfer_page* page) {
    if (lowest >= 0 && lowest <= 3) {
        postCommand(FM_CMD_START, 0, m_pPage);
        m_pPage = nullptr;
    } else if ((lowest >= 100 && lowest <= 102) || (lowest >= 200 && lowest <= 202) ||
               (lowest >= 300 && lowest <= 302)) {
        postCommand(FM_CMD_BEGIN_TRANSFER, 0, page);
    }
}

void function_manager::scheduleNext(int lowest) {
    if (lowest >= 0 && lowest <= 3) {
        for (int round = 0; round < 10; ++round) {
            waitPumpingMessages(300);
            if (calcProgressState() >= 100) {
                startDownloads();
                return;
            }
        }
        waitPumpingMessages(2000);
        postCommand(FM_CMD_START, 0, m_pPage);
    } else if ((lowest >= 100 && lowest <= 102) || lowest == 200) {
        startDownloads();
    } else if (lowest >= 201 && lowest <= 300) {
        startUnzip();
    } else if (lowest >= 301 && lowest <= 303) {
        startCopy();
    }
    waitPumpingMessages(10);
}

void function_manager::startDownloads() {
    if (m_nState >= FM_STATE_PAUSED) return;
    worker_manager* workers = worker_manager::getInstance();
    download_manager* downloads = download_manager::getInstance();
    while (downloads->m_bActive && !m_nDownloadDone) {
        int slot = workers->firstFreeDownloadSlot();
        if (slot < 0) break;
        transfer_task* task = nullptr;
        {
            std::lock_guard<std::recursive_mutex> lock(m_taskMutex);
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
    if (m_nState >= FM_STATE_PAUSED) return;
    worker_manager* workers = worker_manager::getInstance();
    unzip_manager* unzip = unzip_manager::getInstance();
    while (unzip->m_bEnabled && !m_nUnzipDone && workers->isSlotFree(worker_manager::SLOT_UNZIP)) {
        transfer_task* task = nullptr;
        {
            std::lock_guard<std::recursive_mutex> lock(m_taskMutex);
            task = nextUnzipTask();
        }
        if (!task) break;
        m_observers.post_message_all(UM_UNZIP_PROGRESS, 0, 0);
        if (!workers->startUnzipThread(task)) break;
    }
    startCopy();
}

void function_manager::startCopy() {
    if (m_nFormatting || m_nState >= FM_STATE_PAUSED) return;
    worker_manager* workers = worker_manager::getInstance();
    copy_manager* copy = copy_manager::getInstance();
    while (copy->m_bActive && !m_nCopyDone && workers->isSlotFree(worker_manager::SLOT_COPY)) {
        transfer_task* task = nullptr;
        {
            std::lock_guard<std::recursive_mutex> lock(m_taskMutex);
            if (m_nQuit || m_nPaused || m_chDrive == 0) break;
            forEachItem([&](InfFileUpdate* item) {
                if (!isSelected(item)) return true;
                int state = item->m_nState;
                if (state < ITEM_STATE_UNZIPPED || state > ITEM_STATE_COPY_FAILED) return true;
                if (isSkipCopy(item)) {
                    item->m_nState = ITEM_STATE_COPIED;
                    return true;
                }
                task = getOrCreateTask(m_copyTasks, item, 0);
                return task == nullptr;
            });
            if (!task && calcProgressState() >= ITEM_STATE_COPIED) {
                m_observers.post_message_all(UM_COPY_COMPLETE, 0, 1);
                m_nState = FM_STATE_FINISHED;
                copy->notifyFinished();
                m_nCopyDone = 1;
            }
        }
        if (!task) break;
        m_observers.post_message_all(UM_COPY_PROGRESS, 0, 0);
        if (!workers->startCopyThread(task)) break;
    }
    checkPhaseComplete();
}

transfer_task* function_manager::nextDownloadTask(bool wholeFilesFirst) {
    if (m_nQuit || m_nPaused) return nullptr;
    transfer_task* found = nullptr;
    auto wholeFile = [&](InfFileUpdate* item) {
        transfer_task* task = findTask(m_downloadTasks, item, -1);
        if (task && task->state == 2) {
            finishDownloadedItem(item);
            return true;
        }
        if (task && task->state == 1) return true;
        found = getOrCreateTask(m_downloadTasks, item, -1);
        return found == nullptr;
    };
    auto inDownload = [](InfFileUpdate* item) {
        int state = item->m_nState;
        return isSelected(item) && state >= ITEM_STATE_DOWNLOAD_READY && state <= ITEM_STATE_DOWNLOAD_FAILED;
    };
    if (wholeFilesFirst) {
        forEachItem([&](InfFileUpdate* item) {
            if (!inDownload(item) || item->getNumSpan() != 0) return true;
            return wholeFile(item);
        });
        if (found) return found;
    }
    bool finishedItem = false;
    forEachItem([&](InfFileUpdate* item) {
        if (!inDownload(item)) return true;
        if (item->getNumSpan() == 0) return wholeFile(item);
        const int pieces = item->getNumSpan();
        if (item->m_nState != ITEM_STATE_DOWNLOADING) {
            for (int k = 0; k < pieces; ++k) {
                transfer_task* task = findTask(m_downloadTasks, item, k);
                if (task && !task->live) {
                    task->state = 0;
                    task->bytesDone = 0;
                }
            }
        }
        for (int k = 0; k < pieces; ++k) {
            transfer_task* task = findTask(m_downloadTasks, item, k);
            if (!task || task->state == 0) {
                if (task && task->live) continue;
                item->m_nState = ITEM_STATE_DOWNLOADING;
                found = getOrCreateTask(m_downloadTasks, item, k);
                return found == nullptr;
            }
        }
        int finished = 0;
        ULONGLONG sum = 0;
        for (int k = 0; k < pieces; ++k) {
            transfer_task* task = findTask(m_downloadTasks, item, k);
            if (!task || task->state != 2) continue;
            ULONGLONG size = CUtilManager::getFileSize(item->getPartPath(worker_manager::getInstance()->m_strDownloadFolder, k));
            if (size == ULLONG_MAX || size == 0) {
                task->state = 0;
                task->bytesDone = 0;
                postCommand(FM_CMD_DOWNLOAD_DONE, 0, nullptr);
                return false;
            }
            task->bytesDone = size;
            sum += size;
            ++finished;
        }
        if (finished < pieces) return true;
        if (sum != static_cast<ULONGLONG>(item->getDownloadSize()) && pieces > 5 && validateSplitPieces(item)) {
            postCommand(FM_CMD_DOWNLOAD_DONE, 0, nullptr);
            return false;
        }
        finishDownloadedItem(item);
        finishedItem = true;
        return false;
    });
    if (found) return found;
    if (finishedItem) {
        transfer_task* next = nextDownloadTask(false);
        if (!next) onDownloadPhaseDone();
        return next;
    }
    onDownloadPhaseDone();
    return nullptr;
}

transfer_task* function_manager::nextUnzipTask() {
    if (m_nQuit || m_nPaused) return nullptr;
    transfer_task* found = nullptr;
    forEachItem([&](InfFileUpdate* item) {
        int state = item->m_nState;
        if (!isSelected(item) || state < ITEM_STATE_DOWNLOADED || state > ITEM_STATE_UNZIP_FAILED) return true;
        found = getOrCreateTask(m_unzipTasks, item, 0);
        return found == nullptr;
    });
    if (found) return found;
    if (m_nState == FM_STATE_DOWNLOADED && calcProgressState() >= ITEM_STATE_UNZIPPED) {
        unzip_manager* unzip = unzip_manager::getInstance();
        m_observers.post_message_all(UM_DOWNLOAD_COMPLETE, 0, 1);
        m_observers.post_message_all(UM_UNZIP_COMPLETE, 0, 1);
        m_nState = FM_STATE_UNZIPPED;
        unzip->m_observers.send_message_all(UM_DOWNLOAD_COMPLETE, 0, 1);
        unzip->m_observers.send_message_all(UM_UNZIP_COMPLETE, 0, unzip->m_nBusy == 1 ? 1 : 0);
        unzip->m_nBusy = 0;
        ver_file_list::getInstance().write(unzip->m_strDownloadFolder, VER_WRITE_LOCAL);
        checkMediumFiles();
        m_nUnzipDone = 1;
        if (m_chDrive == 0) {
            m_observers.post_message_all(UM_DOWNLOAD_COMPLETE, 0, 1);
            m_observers.post_message_all(UM_UNZIP_COMPLETE, 0, 1);
            m_observers.post_message_all(UM_COPY_COMPLETE, 0, 1);
            m_nState = FM_STATE_FINISHED;
        }
    }
    return nullptr;
}

void function_manager::finishDownloadedItem(InfFileUpdate* item) {
    // Every downloaded whole file goes through the unzip step, which checks
    // its size and CRC-32 (and extracts a self-contained package).
    if (item) item->m_nState = ITEM_STATE_DOWNLOADED;
}

void function_manager::onDownloadPhaseDone() {
    if (m_nState != FM_STATE_TRANSFER || calcProgressState() < ITEM_STATE_DOWNLOADED) return;
    download_manager* downloads = download_manager::getInstance();
    m_observers.post_message_all(UM_DOWNLOAD_COMPLETE, 0, 1);
    m_nState = FM_STATE_DOWNLOADED;
    downloads->m_observers.send_message_all(UM_DOWNLOAD_COMPLETE, 0, *downloads->currentSessionFlag() ? 1 : 0);
    downloads->stop();
    checkMediumFiles();
    m_nDownloadDone = 1;
}
