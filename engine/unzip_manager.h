#pragma once
// The unzip step: turns an item's downloaded zip (one file or its pieces)
// into the item's file in the download folder, verifies it by size and
// CRC-32, extracts a self-contained package once more into its folder, and
// sets the item's state. Runs on the one unzip thread.
#include "descriptors/inf_file_update.h"
#include "engine/score_board.h"
#include "engine/unzip_worker.h"
#include "foundation/observer_list.h"

#include <atomic>

// 1 while the zip reader has just read a chunk: the update page's pause
// waits for it (the zip reader's own flag).
extern std::atomic<unsigned char>& g_bUnzipBusy;

class unzip_manager {
public:
    static unzip_manager* getInstance();

    // Enables extraction and tells the listeners the unzip phase began.
    void start();
    // Handles one item; 1 on success. running is the unzip thread's flag.
    BYTE func_unzip_Item(InfFileUpdate* item, const RunFlag* running);
    // For an item without pieces: its file is there with its size.
    bool isUnzipped(InfFileUpdate* item);

    // dropped: the check failed and the item's files were deleted.
    bool unzipItem(InfFileUpdate* item, run_flags flags, bool& dropped);
    bool unzipInnerPackage(InfFileUpdate* item, const CString& folderName, run_flags flags);
    void deletePieces(InfFileUpdate* item);
    void clearFileAttributes(const CString& folder);

    observer_list m_observers;
    CString m_strDownloadFolder;
    int m_nState = 1;
    score_board* m_pBoard = nullptr;
    std::atomic<int> m_nBusy{0};
    RunFlag m_bEnabled{false};

    unzip_manager(const unzip_manager&) = delete;
    unzip_manager& operator=(const unzip_manager&) = delete;

    // The UM_MODULE_ERROR detail of a worker code; 0 for none (stopped,
    // or no code).
    static int moduleDetail(int code);

private:
    unzip_manager();
};
