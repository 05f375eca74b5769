// Progress from the item states, phase completion and the medium check.
#include "engine/copy_manager.h"
#include "engine/function_manager.h"
#include "engine/package_names.h"
#include "engine/worker_manager.h"
#include "foundation/common_util.h"
#include "foundation/utilmanager.h"

namespace {

// An item the progress counts.
bool isCounted(const InfFileUpdate* item) {
    return item && item->getVer() >= 0 && item->getDownloadSize() <= kMaxItemFileSize && item->m_guard.intact();
}

}  // namespace

void function_manager::calcTotals() {
    ULONGLONG downloadSum = 0, unzipSum = 0, copySum = 0, count = 0, copyCount = 0;
    InfFileUpdateList& list = InfFileUpdateList::getInstance();
    for (size_t i = 0; i < list.size(); ++i) {
        InfFileUpdate* item = list.at(i);
        if (!isCounted(item)) continue;
        const ULONGLONG size = static_cast<ULONGLONG>(item->getDownloadSize());
        downloadSum += size;
        unzipSum += size;
        ++count;
        if (isPackageName(item->getFileName())) unzipSum += static_cast<ULONGLONG>(item->getFileSize());
        if (!isSkipCopy(item)) {
            copySum += static_cast<ULONGLONG>(item->getFileSize());
            ++copyCount;
        }
    }
    m_pBoards[1]->setTotalSize(downloadSum);
    m_pBoards[1]->setTotalCount(count);
    m_pBoards[2]->setTotalSize(unzipSum);
    m_pBoards[2]->setTotalCount(count);
    m_pBoards[3]->setTotalSize(copySum);
    m_pBoards[3]->setTotalCount(copyCount);
    for (int b = 1; b <= 3; ++b) {
        m_pBoards[b]->setCurrentSize(0);
        m_pBoards[b]->setCurrentCount(0);
    }
}

int function_manager::calcProgressState() {
    if (m_nQuit) return ITEM_STATE_COPIED;
    int lowest = ITEM_STATE_COPIED, highest = 0;
    ULONGLONG sizes[4] = {}, counts[4] = {};
    InfFileUpdateList& list = InfFileUpdateList::getInstance();
    for (size_t i = 0; i < list.size(); ++i) {
        InfFileUpdate* item = list.at(i);
        if (!isCounted(item)) continue;
        const int state = item->m_nState;
        lowest = std::min(lowest, state);
        highest = std::max(highest, state);
        const ULONGLONG size = static_cast<ULONGLONG>(item->getDownloadSize());
        if (state >= ITEM_STATE_DOWNLOADED) {
            sizes[1] += size;
            ++counts[1];
        } else if (state >= ITEM_STATE_DOWNLOADING) {
            std::lock_guard<std::mutex> lock(m_listMutex);
            for (transfer_task* task : m_downloadTasks) {
                if (task->item == item && task->state == 2) sizes[1] += task->bytesDone;
            }
        }
        if (state >= ITEM_STATE_UNZIPPED) {
            sizes[2] += size;
            ++counts[2];
        }
        if (state >= ITEM_STATE_COPIED && !isSkipCopy(item)) {
            sizes[3] += static_cast<ULONGLONG>(item->getFileSize());
            ++counts[3];
        }
        if (state == ITEM_STATE_UNZIPPED || state == ITEM_STATE_COPYING) {
            std::lock_guard<std::mutex> lock(m_listMutex);
            for (transfer_task* task : m_copyTasks) {
                if (task->item == item && task->piece == 0) sizes[3] += task->bytesOnMedium;
            }
        }
    }
    m_nLowestState = lowest;
    m_nHighestState = highest;
    for (int b = 1; b <= 3; ++b) {
        m_pBoards[b]->raiseCurrentSize(sizes[b]);
        m_pBoards[b]->raiseCurrentCount(counts[b]);
    }
    return lowest;
}

void function_manager::checkPhaseComplete() {
    if (!m_nFormatRequested || m_nFormatting) return;
    const int lowest = calcProgressState();
    if (m_nState == FM_STATE_TRANSFER && lowest >= ITEM_STATE_DOWNLOADED) {
        m_observers.post_message_all(UM_DOWNLOAD_COMPLETE, 0, 1);
        m_nState = FM_STATE_DOWNLOADED;
    }
    if (m_nState == FM_STATE_DOWNLOADED && lowest >= ITEM_STATE_UNZIPPED) {
        m_observers.post_message_all(UM_DOWNLOAD_COMPLETE, 0, 1);
        m_observers.post_message_all(UM_UNZIP_COMPLETE, 0, 1);
        if (m_chDrive == 0) {
            m_observers.post_message_all(UM_COPY_COMPLETE, 0, 1);
            m_nState = FM_STATE_FINISHED;
        }
    }
    if (lowest >= ITEM_STATE_COPIED) {
        m_observers.post_message_all(UM_DOWNLOAD_COMPLETE, 0, 1);
        m_observers.post_message_all(UM_UNZIP_COMPLETE, 0, 1);
        m_observers.post_message_all(UM_COPY_COMPLETE, 0, 1);
        m_nState = FM_STATE_FINISHED;
    }
}

void function_manager::checkMediumFiles() {
    if (m_nFormatting) return;
    const CString base = copy_manager::getInstance()->getBasePath();
    InfFileUpdateList& list = InfFileUpdateList::getInstance();
    for (size_t i = 0; i < list.size(); ++i) {
        InfFileUpdate* item = list.at(i);
        if (!item) return;
        const int state = item->m_nState;
        if (state < ITEM_STATE_UNZIPPED || state > ITEM_STATE_COPY_FAILED) continue;
        CString path = item->getFilePath(base);
        common_util::normalize_path(path);
        const ULONGLONG size = CUtilManager::getFileSize(path);
        if (size == ULLONG_MAX || size == 0) continue;
        const ULONGLONG expected = static_cast<ULONGLONG>(item->getFileSize());
        if (size > expected) {
            worker_manager::getInstance()->removeFile(path);
            item->m_nState = ITEM_STATE_UNZIPPED;
        } else if (size < expected) {
            if (transfer_task* task = getOrCreateTask(m_copyTasks, item, 0)) task->bytesOnMedium = size;
        }
        // A file of the expected size is judged by the copy, which checks
        // its CRC-32 before it counts it as copied.
    }
}

bool function_manager::validateSplitPieces(InfFileUpdate* item) {
    return item != nullptr;
}

bool function_manager::isSkipCopy(InfFileUpdate*) {
    return false;
}
