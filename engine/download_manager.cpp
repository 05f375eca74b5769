#include "engine/download_manager.h"

#include "engine/close_own_handles.h"
#include "engine/worker_manager.h"
#include "foundation/logmanager.h"
#include "foundation/message_pump.h"
#include "foundation/private_messages.h"
#include "foundation/utilmanager.h"

namespace {

constexpr int kOpenTries = 10;
constexpr DWORD kOpenWaitMs = 300;
constexpr DWORD kSharedWaitMs = 100;

}  // namespace

download_manager* download_manager::getInstance() {
    static download_manager manager;
    return &manager;
}

download_manager::download_manager() {
    score_board* boards = score_board::getBoards();
    m_pDownloadBoard = &boards[BOARD_DOWNLOAD];
    m_pUnzipBoard = &boards[BOARD_UNZIP];
    for (RunFlag& flag : m_sessionFlags) flag = false;
}

void download_manager::start() {
    {
        std::lock_guard<std::mutex> lock(m_failLock);
        m_failInfo = download_fail_info();
    }
    m_nState = 3;
    int next = (m_nSessionIndex.load() + 1) % SESSION_FLAGS;
    m_sessionFlags[next] = true;
    m_nSessionIndex = next;
    m_bActive = true;
    m_observers.post_message_all(UM_TRANSFER_PHASE, TRANSFER_PHASE_DOWNLOAD, 0);
}

void download_manager::stop() {
    m_sessionFlags[m_nSessionIndex.load()] = false;
    m_bActive = false;
}

download_fail_info download_manager::getFailInfo() {
    std::lock_guard<std::mutex> lock(m_failLock);
    return m_failInfo;
}

void download_manager::setFailInfo(InfFileUpdate* item, int piece, int code, int status) {
    std::lock_guard<std::mutex> lock(m_failLock);
    m_failInfo.item = item;
    m_failInfo.piece = piece;
    m_failInfo.code = code;
    m_failInfo.status = status;
}

bool download_manager::openLocalFile(attempt& state) {
    // Opened as it is (to resume at its length), or created: one call.
    const UINT keepOrCreate =
        CFile::modeCreate | CFile::modeNoTruncate | CFile::modeWrite | CFile::shareDenyWrite | CFile::typeBinary;
    return state.file.Open(state.path.GetString(), keepOrCreate) != FALSE;
}

bool download_manager::func_downlaod_worker(int& error, int& status, InfFileUpdate* item, const CString& url,
                                            const CString& localPath, const RunFlag* sessionFlag) {
    error = 0;
    status = 0;
    if (!item) return false;
    download_worker worker(url);
    attempt state;
    state.worker = &worker;
    state.session = sessionFlag;
    state.path = localPath;

    bool open = false;
    for (int i = 0; i < kOpenTries && !open; ++i) {
        open = openLocalFile(state);
        if (!open && i + 1 < kOpenTries) waitPumpingMessages(kOpenWaitMs);
    }
    if (!open) {
        DWORD lastError = GetLastError();
        if (lastError == ERROR_SHARING_VIOLATION) {
            waitPumpingMessages(kSharedWaitMs);
            // This attempt's own task is one live task on the path; another
            // one is a worker of the engine whose handle must stay.
            if (worker_manager::getInstance()->closeOwnHandles(localPath, 1)) {
                waitPumpingMessages(kSharedWaitMs);
                open = openLocalFile(state);
            }
        }
        if (!open) {
            // Nothing was fetched, so nothing is deleted: the download
            // thread tries again and finally lets the slot go quietly.
            LOG_WRITE(L"[FileToWrite][CFile::Open][File:%s][ErrCode:%d]", localPath.GetString(),
                      static_cast<int>(lastError));
            return false;
        }
    }

    state.resumeOffset = state.file.SeekToEnd();
    state.expectedSize = static_cast<ULONGLONG>(item->getDownloadSize());

    worker.remote_file_download_tls(state.resumeOffset, sessionFlag, [this, &state](const BYTE* data, UINT32 size) {
        return writeDownloadData(state, data, size) ? 1 : 0;
    });

    try {
        state.file.Flush();
        state.file.Close();
    } catch (CFileException* e) {
        e->Delete();
        state.file.Abort();
    }
    error = worker.code;
    status = worker.status;

    const ULONGLONG onDisk = CUtilManager::getFileSize(localPath);
    bool good = worker.code <= INET_ERROR_NOT_CONNECTED && worker.total == state.resumeOffset + state.written &&
                onDisk == worker.total;
    if (good && item->getNumSpan() == 0) good = worker.total == state.expectedSize;
    if (good) {
        m_observers.post_message_all(UM_DOWNLOAD_PROGRESS, 0, static_cast<LPARAM>(-1));
        return true;
    }
    LOG_WRITE(L"[ERR_DOWNLOAD][url:%s][code:%d][status:%d][total:%I64u][resume:%I64u][written:%I64u]",
              url.GetString(), worker.code, worker.status, worker.total, state.resumeOffset, state.written);
    // A stop, a lost connection or a server error leaves a part that the
    // next attempt continues by range: a Hold must not restart a large file
    // from its first byte. Only bytes that cannot belong to the file go:
    // more than the descriptor says, a held part the server's ranges do not
    // fit, or a reply that ended "complete" at another length.
    const bool tooLong = onDisk > state.expectedSize || worker.total > state.expectedSize;
    const bool rangeMisfit = state.resumeOffset > 0 && worker.code == INET_ERROR_HTTP_STATUS &&
                             (worker.status == 416 || worker.status == 200 || worker.status == 206);
    if (!tooLong && !rangeMisfit && worker.code != 0) return false;
    // Only what this attempt counted is taken back: the resumed part was
    // never counted by it.
    if (state.counted) m_pDownloadBoard->addCurrentSize(-static_cast<LONGLONG>(state.counted));
    worker_manager::getInstance()->removeFile(localPath);
    return false;
}

bool download_manager::writeDownloadData(attempt& state, const BYTE* data, UINT32 size) {
    const RunFlag* current = currentSessionFlag();
    if (!state.session || !*state.session || !*current) return false;
    if (!data || size == 0) return true;
    if (state.worker->total == state.resumeOffset) return false;
    if (state.worker->total > state.expectedSize) {
        state.worker->code = INET_ERROR_READ;
        return false;
    }
    try {
        state.file.Write(data, size);
    } catch (CFileException* e) {
        LOG_WRITE(L"[FileToWrite.Write Error][File:%s][ErrorCode:%d]", state.path.GetString(),
                  static_cast<int>(e->m_lOsError));
        e->Delete();
        return false;
    }
    state.written += size;
    if (*state.session && *current) {
        m_pDownloadBoard->addCurrentSize(static_cast<LONGLONG>(size));
        state.counted += size;
    }
    return true;
}
