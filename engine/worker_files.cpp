// The engine's file removal: deletes that wait while another handle shares
// the file, and a short-lived thread for a file that stays locked.
#include "engine/close_own_handles.h"
#include "engine/copy_manager.h"
#include "engine/function_manager.h"
#include "engine/thread_name.h"
#include "engine/worker_manager.h"
#include "afx/filefind.h"
#include "foundation/common_util.h"
#include "foundation/logmanager.h"
#include "foundation/message_pump.h"

#include <atomic>

namespace {

constexpr int kRemoveRounds = 10;
constexpr int kSharedTries = 30;
constexpr DWORD kSharedWaitMs = 100;
constexpr DWORD kRetrySliceMs = 10;

// The file index alone is not enough: a file system may give a new file
// the index of one just deleted.
struct file_identity {
    DWORD volume = 0;
    DWORD indexHigh = 0;
    DWORD indexLow = 0;
    FILETIME created{};
    bool operator==(const file_identity& o) const {
        return volume == o.volume && indexHigh == o.indexHigh && indexLow == o.indexLow &&
               CompareFileTime(&created, &o.created) == 0;
    }
};

bool identityOf(HANDLE file, file_identity& out) {
    BY_HANDLE_FILE_INFORMATION info{};
    if (!GetFileInformationByHandle(file, &info)) return false;
    out.volume = info.dwVolumeSerialNumber;
    out.indexHigh = info.nFileIndexHigh;
    out.indexLow = info.nFileIndexLow;
    out.created = info.ftCreationTime;
    return true;
}

// Opening for attributes only does not collide with other handles' sharing.
bool identityOf(const CString& path, file_identity& out) {
    UniqueFileHandle file(CreateFileW(path.GetString(), FILE_READ_ATTRIBUTES,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                      FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    return file && identityOf(file.get(), out);
}

// What the remove thread owns: its own copy of the path and the identity of
// the file it was handed.
struct remove_record {
    CString path;
    file_identity identity;
};

enum class delete_result { deleted, gone, shared, failed };

std::atomic<int> g_removeThreads{0};

// Deletes the file at path only while it is still the file with identity.
delete_result deleteIdentified(const CString& path, const file_identity& identity) {
    UniqueFileHandle file(CreateFileW(path.GetString(), DELETE | FILE_READ_ATTRIBUTES,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                      FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (!file) {
        DWORD error = GetLastError();
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) return delete_result::gone;
        return error == ERROR_SHARING_VIOLATION ? delete_result::shared : delete_result::failed;
    }
    file_identity now;
    if (!identityOf(file.get(), now) || !(now == identity)) return delete_result::gone;
    FILE_DISPOSITION_INFO disposition{TRUE};
    if (!SetFileInformationByHandle(file.get(), FileDispositionInfo, &disposition, sizeof(disposition))) {
        return delete_result::failed;
    }
    return delete_result::deleted;
}

// Rounds of tries while the file stays shared; after each round this
// process's own handles on it are closed.
void removeIdentified(const remove_record& record) {
    for (int round = 0; round < kRemoveRounds; ++round) {
        for (int attempt = 0; attempt < kSharedTries; ++attempt) {
            delete_result result = deleteIdentified(record.path, record.identity);
            if (result != delete_result::shared) {
                if (result == delete_result::failed) {
                    LOG_WRITE(L"[RemoveThread] not deleted [file:%s][ErrorCode:%d]", record.path.GetString(),
                              static_cast<int>(GetLastError()));
                }
                return;
            }
            waitPumpingMessages(kSharedWaitMs);
        }
        // A worker of the engine on the file is its owner: waited for, its
        // handle never closed under it.
        worker_manager::getInstance()->closeOwnHandles(record.path);
    }
    LOG_WRITE(L"[RemoveThread] still shared, given up [file:%s]", record.path.GetString());
}

void deleteOneFile(const CString& path) {
    for (int round = 0; round < kRemoveRounds; ++round) {
        DWORD error = 0;
        for (int attempt = 0; attempt < kSharedTries; ++attempt) {
            if (DeleteFileW(path.GetString())) return;
            error = GetLastError();
            if (error != ERROR_SHARING_VIOLATION) return;
            waitPumpingMessages(kSharedWaitMs);
        }
        if (error == ERROR_SHARING_VIOLATION && worker_manager::getInstance()->closeOwnHandles(path) &&
            DeleteFileW(path.GetString())) {
            return;
        }
    }
}

}  // namespace

bool worker_manager::closeOwnHandles(const CString& path, int ownTasks) {
    const int live = liveTasksOnPath(path);
    if (live > ownTasks) {
        LOG_WRITE(L"[closeOwnHandles] %d engine workers on the path: handles left open [path:%s]", live,
                  path.GetString());
        return false;
    }
    return ::closeOwnHandles(path);
}

std::vector<CString> worker_manager::taskFiles(task_kind kind, const InfFileUpdate* item, int piece,
                                               const CString& root, const CString& medium) {
    std::vector<CString> files;
    if (!item) return files;
    switch (kind) {
    case task_kind::download:
        files.push_back(piece >= 0 ? item->getPartPath(root, piece) : item->getFilePath(root));
        break;
    case task_kind::unzip:
        files.push_back(item->getFilePath(root));
        if (!item->getZipName().IsEmpty()) files.push_back(item->getZipPath(root));
        break;
    case task_kind::copy:
        files.push_back(item->getFilePath(root));
        if (!medium.IsEmpty()) {
            // Where the copy writes it (copy_manager::mediumPath).
            CString target = item->getFilePath(medium);
            common_util::normalize_path(target, medium);
            files.push_back(target);
        }
        break;
    }
    return files;
}

namespace {

// path equals folder, or lies below it.
bool atOrBelow(const CString& path, const CString& folder) {
    if (folder.IsEmpty() || path.GetLength() < folder.GetLength()) return false;
    if (path.Left(folder.GetLength()).CompareNoCase(folder) != 0) return false;
    if (path.GetLength() == folder.GetLength()) return true;
    const wchar_t next = path[folder.GetLength()];
    const wchar_t last = folder[folder.GetLength() - 1];
    return next == L'\\' || next == L'/' || last == L'\\' || last == L'/';
}

CString normalised(CString path) {
    path.Replace(L'/', L'\\');
    while (path.Replace(L"\\\\", L"\\") > 0) {
    }
    while (path.GetLength() > 3 && path[path.GetLength() - 1] == L'\\') path.Truncate(path.GetLength() - 1);
    return path;
}

}  // namespace

int worker_manager::liveTasksOnPath(const CString& path) {
    function_manager* engine = function_manager::getInstance();
    const CString folder = m_strDownloadFolder;
    const CString medium = copy_manager::getInstance()->getBasePath();
    const CString wanted = normalised(path);
    int count = 0;
    std::lock_guard<std::mutex> lock(engine->m_listMutex);
    const std::pair<const transfer_task_list*, task_kind> lists[] = {{&engine->m_downloadTasks, task_kind::download},
                                                                     {&engine->m_unzipTasks, task_kind::unzip},
                                                                     {&engine->m_copyTasks, task_kind::copy}};
    for (const auto& list : lists) {
        for (const transfer_task* task : *list.first) {
            if (!task->live || !task->item) continue;
            for (const CString& used : taskFiles(list.second, task->item, task->piece, folder, medium)) {
                if (atOrBelow(normalised(used), wanted)) {
                    ++count;
                    break;
                }
            }
        }
    }
    return count;
}

bool worker_manager::deleteFileRetry(int budgetMs, const CString& path) {
    for (;;) {
        if (DeleteFileW(path.GetString())) return true;
        if (GetLastError() != ERROR_SHARING_VIOLATION || budgetMs <= 0) return false;
        waitPumpingMessages(kRetrySliceMs);
        budgetMs -= static_cast<int>(kRetrySliceMs);
    }
}

bool worker_manager::removeFile(const CString& path) {
    if (DeleteFileW(path.GetString())) return true;
    if (GetLastError() != ERROR_SHARING_VIOLATION) return false;
    auto* record = new remove_record;
    record->path = path;
    if (!identityOf(path, record->identity)) {
        delete record;
        return false;
    }
    ++g_removeThreads;
    CWinThread* thread = AfxBeginThread(&worker_manager::RemoveThread_Function, record, THREAD_PRIORITY_NORMAL, 0,
                                        CREATE_SUSPENDED);
    if (!thread) {
        --g_removeThreads;
        delete record;
        return false;
    }
    SetThreadName(thread, "RemoveThread_Function");
    thread->ResumeThread();
    return true;
}

UINT worker_manager::RemoveThread_Function(LPVOID param) {
    auto* record = static_cast<remove_record*>(param);
    removeIdentified(*record);
    delete record;
    --g_removeThreads;
    return 1;
}

int worker_manager::removeThreadsRunning() {
    return g_removeThreads.load();
}

void worker_manager::deleteFolder(const CString& path) {
    CFileFind finder;
    BOOL more = finder.FindFile(path.GetString());
    while (more) {
        more = finder.FindNextFile();
        if (finder.IsDots()) continue;
        CString found = finder.GetFilePath();
        if (finder.IsDirectory()) {
            CString pattern = found;
            if (pattern.Right(1) != L"\\" && pattern.Right(1) != L"/") pattern += L"\\";
            deleteFolder(pattern + L"*.*");
            RemoveDirectoryW(found.GetString());
        } else {
            deleteOneFile(found);
        }
    }
}
