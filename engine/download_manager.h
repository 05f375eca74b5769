#pragma once
// One download attempt of one file or piece into the download folder:
// resumed at the local file's length with a ranged request, every chunk
// written through the data sink and counted into the download board, the
// result checked against the reply's length and the descriptor's size.
//
// A session runs from start() until its flag is cleared (pause, network
// loss, exit, end of the download phase). Each session takes the next flag
// of a ring of 32, so a thread of an old session stays stopped when a new
// one begins.
#include "afx/file.h"
#include "descriptors/inf_file_update.h"
#include "engine/score_board.h"
#include "foundation/observer_list.h"
#include "webclient/download_worker.h"

#include <atomic>
#include <mutex>

// The last failed download, for the update page's error report.
struct download_fail_info {
    InfFileUpdate* item = nullptr;
    int piece = 0;   // -1 for a whole file
    int code = 0;    // the web client's result code
    int status = 0;  // HTTP status of the reply, 0 when none came
};

class download_manager {
public:
    enum { SESSION_FLAGS = 32 };

    static download_manager* getInstance();

    // Begins a session: fresh failure record, the next session flag set,
    // active set, UM_TRANSFER_PHASE (download) to the listeners.
    void start();
    // Ends the current session (its flag and the active flag cleared).
    void stop();
    download_fail_info getFailInfo();
    void setFailInfo(InfFileUpdate* item, int piece, int code, int status);

    const RunFlag* currentSessionFlag() const { return &m_sessionFlags[m_nSessionIndex.load()]; }
    int sessionIndex() const { return m_nSessionIndex.load(); }

    // One attempt; error receives the web client's result code, status the
    // HTTP status. True when the local file is complete and correct.
    bool func_downlaod_worker(int& error, int& status, InfFileUpdate* item, const CString& url,
                              const CString& localPath, const RunFlag* sessionFlag);

    observer_list m_observers;
    CString m_strDownloadFolder;
    score_board* m_pDownloadBoard = nullptr;
    score_board* m_pUnzipBoard = nullptr;
    RunFlag m_bActive{false};
    int m_nState = 0;

    download_manager(const download_manager&) = delete;
    download_manager& operator=(const download_manager&) = delete;

private:
    download_manager();

    // One attempt's state, shared with its data sink.
    struct attempt {
        CFile file;
        download_worker* worker = nullptr;
        const RunFlag* session = nullptr;
        CString path;
        ULONGLONG resumeOffset = 0;
        ULONGLONG expectedSize = 0;
        ULONGLONG written = 0;
        // Bytes this attempt added to the download board.
        ULONGLONG counted = 0;
    };
    // The data sink: false stops the transfer.
    bool writeDownloadData(attempt& state, const BYTE* data, UINT32 size);
    bool openLocalFile(attempt& state);

    RunFlag m_sessionFlags[SESSION_FLAGS];
    std::atomic<int> m_nSessionIndex{0};
    std::mutex m_failLock;
    download_fail_info m_failInfo;
};
