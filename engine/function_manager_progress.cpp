// Progress and phases: the boards recomputed from the item states, the
// completion of phases, the medium's files and the repair of split pieces.
#include "descriptors/ver_file.h"
#include "engine/copy_manager.h"
#include "engine/function_manager.h"
#include "engine/function_manager_internal.h"
#include "engine/package_names.h"
#include "engine/transfer_rules.h"
#include "engine/worker_manager.h"
#include "foundation/common_util.h"
#include "foundation/logmanager.h"
#include "foundation/utilmanager.h"

namespace {

InfFileUpdateList& itemList() {
    return InfFileUpdateList::getInstance();
}

// The counted items as the sums see them; the caller holds the task mutex.
std::vector<item_progress> progressItems(function_manager* fm, bool withTasks) {
    std::vector<item_progress> all;
    for (InfFileUpdate* item : queuedItems()) {
        if (!isTransferItem(item)) continue;
        item_progress p;
        p.state = item->m_nState;
        p.downloadSize = static_cast<ULONGLONG>(item->getDownloadSize());
        p.fileSize = static_cast<ULONGLONG>(item->getFileSize());
        p.skipCopy = fm->isSkipCopy(item);
        p.package = isPackageName(item->getFileName());
        if (withTasks) {
            std::lock_guard<std::mutex> lock(fm->m_listMutex);
            if (p.state >= ITEM_STATE_DOWNLOADING && p.state < ITEM_STATE_DOWNLOADED) {
                for (transfer_task* task : fm->m_downloadTasks) {
                    if (task->item == item && task->state == 2) p.piecesDone += task->bytesDone;
                }
            }
            if (p.state == ITEM_STATE_UNZIPPED || p.state == ITEM_STATE_COPYING) {
                for (transfer_task* task : fm->m_copyTasks) {
                    if (task->item == item && task->piece == 0) p.onMedium = task->bytesOnMedium;
                }
            }
        }
        all.push_back(p);
    }
    return all;
}

}  // namespace

std::vector<InfFileUpdate*> queuedItems() {
    std::vector<InfFileUpdate*> items;
    const InfFileUpdateList& list = InfFileUpdateList::getInstance();
    for (size_t i = 0; InfFileUpdate* item = list.at(i); ++i) items.push_back(item);
    return items;
}

bool function_manager::isSkipCopy(InfFileUpdate* item) {
    if (!item || !m_nPlatformFolder) return false;
    // Judged by the folder the item lands in: a model item whose
    // destination was rewritten below the common descriptor's folder
    // carries that folder, not its own descriptor's name.
    CString landing = item->getFolder();
    if (landing.IsEmpty()) {
        const InfFileTail* entry = itemList().findEntry(item);
        const InfFileHead* head = entry ? entry->head() : nullptr;
        if (head) landing = head->getInfFileName();
    }
    return isSkipCopyPath(true, item->getDestPath(), landing);
}

void function_manager::calcTotals() {
    transfer_totals totals;
    {
        std::lock_guard<std::recursive_mutex> tasks(m_taskMutex);
        totals = sumTotals(progressItems(this, false));
    }
    m_pBoards[BOARD_DOWNLOAD]->setTotalSize(totals.download);
    m_pBoards[BOARD_DOWNLOAD]->setTotalCount(totals.count);
    m_pBoards[BOARD_UNZIP]->setTotalSize(totals.unzip);
    m_pBoards[BOARD_UNZIP]->setTotalCount(totals.count);
    m_pBoards[BOARD_COPY_TOTALS]->setTotalSize(totals.copy);
    m_pBoards[BOARD_COPY_TOTALS]->setTotalCount(totals.copyCount);
    for (int board : {BOARD_DOWNLOAD, BOARD_UNZIP, BOARD_COPY_TOTALS}) {
        m_pBoards[board]->setCurrentSize(0);
        m_pBoards[board]->setCurrentCount(0);
    }
    // The page restarts its copy figures from these totals.
    m_pBoards[BOARD_COPY_TOTALS]->setFlag(1);
}

int function_manager::calcProgressState() {
    if (m_nQuit) return ITEM_STATE_COPIED;
    progress_sums sums;
    {
        std::lock_guard<std::recursive_mutex> tasks(m_taskMutex);
        sums = sumProgress(progressItems(this, true));
    }
    m_nLowestState = sums.lowest;
    m_nHighestState = sums.highest;
    m_pBoards[BOARD_DOWNLOAD]->raiseCurrentSize(sums.downloaded);
    m_pBoards[BOARD_DOWNLOAD]->raiseCurrentCount(sums.downloadedCount);
    m_pBoards[BOARD_UNZIP]->raiseCurrentSize(sums.unzipped);
    m_pBoards[BOARD_UNZIP]->raiseCurrentCount(sums.unzippedCount);
    m_pBoards[BOARD_COPY_TOTALS]->raiseCurrentSize(sums.copied);
    m_pBoards[BOARD_COPY_TOTALS]->raiseCurrentCount(sums.copiedCount);
    return sums.lowest;
}

void function_manager::checkPhaseComplete() {
    // The items of an earlier run (finished, all 303) would end this one.
    if (!m_nFormatRequested || m_nFormatting || itemsPending() || !isCurrentRun()) return;
    const int lowest = calcProgressState();
    if (lowest >= ITEM_STATE_COPIED) {
        // Once per run: the page ends itself on these, so a repeat every
        // schedule would end it again and again.
        if (m_nState == FM_STATE_FINISHED) return;
        m_nState = FM_STATE_FINISHED;
        // The medium's version file says so before anyone hears of it.
        const CString base = copy_manager::getInstance()->getBasePath();
        if (m_chDrive != 0 && !base.IsEmpty()) ver_file_list::getInstance().write(base, VER_WRITE_MEDIUM);
        m_observers.post_message_all(UM_DOWNLOAD_COMPLETE, 0, 1);
        m_observers.post_message_all(UM_UNZIP_COMPLETE, 0, 1);
        m_observers.post_message_all(UM_COPY_COMPLETE, 0, 1);
        return;
    }
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
}

void function_manager::checkMediumFiles() {
    if (m_nFormatting) return;
    const CString base = copy_manager::getInstance()->getBasePath();
    // Without a medium the item paths would be taken relative to the
    // current folder.
    if (base.IsEmpty()) return;

    std::vector<CString> tooLarge;
    std::vector<InfFileUpdate*> tooLargeItems;
    {
        std::lock_guard<std::recursive_mutex> tasks(m_taskMutex);
        for (InfFileUpdate* item : queuedItems()) {
            if (!item) break;
            const int state = item->m_nState;
            if (state < ITEM_STATE_UNZIPPED || state > ITEM_STATE_COPY_FAILED) continue;
            if (!isTransferItem(item) || isSkipCopy(item)) continue;
            CString path = item->getFilePath(base);
            common_util::normalize_path(path, base);
            const ULONGLONG size = CUtilManager::getFileSize(path);
            // A missing file reads as the largest size; a file of the expected
            // size is left to the copy worker, which checks its CRC as well.
            if (size == kUnreadableSize || size == 0) continue;
            const ULONGLONG expected = static_cast<ULONGLONG>(item->getFileSize());
            if (size > expected) {
                tooLarge.push_back(path);
                tooLargeItems.push_back(item);
            } else if (size < expected) {
                if (transfer_task* task = getOrCreateTask(m_copyTasks, item, 0)) task->bytesOnMedium = size;
            }
        }
    }
    for (size_t i = 0; i < tooLarge.size(); ++i) {
        worker_manager::getInstance()->removeFile(tooLarge[i]);
        tooLargeItems[i]->m_nState = ITEM_STATE_UNZIPPED;
    }
}

std::vector<ULONGLONG> pieceSizes(InfFileUpdate* item) {
    std::vector<ULONGLONG> sizes;
    const CString folder = worker_manager::getInstance()->m_strDownloadFolder;
    for (int k = 0; k < item->getNumSpan(); ++k) {
        CString path = item->getPartPath(folder, k);
        sizes.push_back(path.IsEmpty() ? kUnreadableSize : CUtilManager::getFileSize(path));
    }
    return sizes;
}

std::vector<CString> applySplitRepair(function_manager* fm, InfFileUpdate* item, const split_repair& plan) {
    std::vector<CString> paths;
    const CString folder = worker_manager::getInstance()->m_strDownloadFolder;
    for (int k : plan.deleted) {
        if (transfer_task* task = fm->findTask(fm->m_downloadTasks, item, k)) {
            // A worker still on its way out keeps its record; the next look
            // at the pieces finds the file gone and fetches it again.
            if (!task->live) {
                task->state = 0;
                task->bytesDone = 0;
            }
        }
        CString path = item->getPartPath(folder, k);
        if (!path.IsEmpty()) paths.push_back(path);
    }
    return paths;
}

void deletePieces(const std::vector<CString>& paths) {
    worker_manager* workers = worker_manager::getInstance();
    for (const CString& path : paths) {
        LOG_WRITE(L"[SplitRepair] piece deleted to be fetched again [file:%s]", path.GetString());
        if (!workers->deleteFileRetry(10000, path)) workers->removeFile(path);
    }
}

bool function_manager::validateSplitPieces(InfFileUpdate* item) {
    if (!item) return false;
    split_repair plan = planSplitRepair(pieceSizes(item));
    std::vector<CString> paths;
    {
        std::lock_guard<std::recursive_mutex> tasks(m_taskMutex);
        paths = applySplitRepair(this, item, plan);
    }
    deletePieces(paths);
    return plan.repaired;
}
