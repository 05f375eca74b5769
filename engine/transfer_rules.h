#pragma once
// The command thread's decisions that depend only on what they are given:
// which items take part in a run, how a split download is repaired, which
// items stay off the medium, and the progress sums over the item states.
// function_manager feeds them from the item list and the task records.
#include "descriptors/inf_file_update.h"
#include "engine/package_names.h"

#include <vector>

// Sentinel of an unreadable size (as CUtilManager::getFileSize gives it).
constexpr ULONGLONG kUnreadableSize = ~0ULL;

// One test for counting and for choosing work: an item that counted towards
// the lowest state but could never be picked would hold a run open for good.
bool isTransferItem(const InfFileUpdate* item);

// What validateSplitPieces does with the sizes of the local pieces (one per
// piece, kUnreadableSize where unreadable): the pieces to delete and fetch
// again, and whether the item was repaired. No pieces: nothing to repair.
struct split_repair {
    bool repaired = false;
    std::vector<int> deleted;
};
split_repair planSplitRepair(const std::vector<ULONGLONG>& sizes);

// The head unit keeps its own "VESPERLINK" folders once its platform folder
// is on the medium; an item whose destination lies in one is not copied.
bool isSkipCopyPath(bool platformFolder, const CString& destPath, const CString& infFileName);

// One counted item as the progress sums see it.
struct item_progress {
    int state = 0;
    ULONGLONG downloadSize = 0;
    ULONGLONG fileSize = 0;
    bool skipCopy = false;
    bool package = false;
    ULONGLONG piecesDone = 0;  // finished pieces of a split download
    ULONGLONG onMedium = 0;    // partial copy already on the medium
};

struct progress_sums {
    int lowest = ITEM_STATE_COPIED;  // an empty list has nothing left to do
    int highest = 0;
    ULONGLONG downloaded = 0, downloadedCount = 0;
    ULONGLONG unzipped = 0, unzippedCount = 0;
    ULONGLONG copied = 0, copiedCount = 0;
};
progress_sums sumProgress(const std::vector<item_progress>& items);

struct transfer_totals {
    ULONGLONG download = 0, count = 0;
    ULONGLONG unzip = 0;
    ULONGLONG copy = 0, copyCount = 0;
};
transfer_totals sumTotals(const std::vector<item_progress>& items);
