#pragma once
// Steps the command thread's files share.
#include "engine/function_manager.h"
#include "engine/transfer_rules.h"

#include <vector>

// The queued items in order (a null item ends the walk); the caller holds
// the task mutex, under which the queue changes.
std::vector<InfFileUpdate*> queuedItems();

// The sizes of an item's local pieces (kUnreadableSize where unreadable).
std::vector<ULONGLONG> pieceSizes(InfFileUpdate* item);
// Resets the download tasks of the pieces the plan deletes and returns
// their paths. The caller holds the task mutex and deletes the files after
// releasing it (a delete may wait for seconds on a shared file).
std::vector<CString> applySplitRepair(function_manager* fm, InfFileUpdate* item, const split_repair& plan);
void deletePieces(const std::vector<CString>& paths);

// True while a compute or format thread of the engine still runs.
bool pageThreadsRunning();
