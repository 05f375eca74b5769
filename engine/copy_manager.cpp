#include "engine/copy_manager.h"

#include "afx/file.h"
#include "descriptors/ver_file.h"
#include "engine/chunk_pool.h"
#include "engine/function_manager.h"
#include "engine/package_names.h"
#include "engine/system_folder.h"
#include "engine/vercheck_manager.h"
#include "engine/worker_manager.h"
#include "foundation/common_util.h"
#include "foundation/globalfunc.h"
#include "foundation/logmanager.h"
#include "foundation/message_pump.h"
#include "foundation/private_messages.h"
#include "foundation/utilmanager.h"

#include <vector>

std::atomic<ULONGLONG> g_nCopiedBytes{0};
std::atomic<ULONGLONG> g_nCopyMillis{0};
std::atomic<ULONGLONG> g_nVerifyMillis{0};
std::atomic<ULONGLONG> g_nLargeCopyFileSize{0};
std::atomic<unsigned char> g_bCopyBusy{0};

namespace {

constexpr UINT kChunkBytes = 1048576;
constexpr int kTargetOpenTries = 20;
constexpr DWORD kTargetOpenWaitMs = 100;
constexpr DWORD kInvalidItemWaitMs = 10;
constexpr ULONGLONG kLargeFileBytes = 1536000000ULL;
// The update page refreshes its display on this timer id while a large
// file is verified on the copy thread.
constexpr UINT_PTR kVerifyTimerId = 53;
constexpr DWORD kVerifyTimerMs = 1000;
constexpr ULONGLONG kTickerMinBytes = 64ULL << 20;
constexpr ULONGLONG kDiskCheckWaitMs = 60000;

std::mutex g_faultLock;
copy_manager::file_fault g_fault;

void injectFault(const wchar_t* step, const CString& path) {
    copy_manager::file_fault fault;
    {
        std::lock_guard<std::mutex> lock(g_faultLock);
        fault = g_fault;
    }
    if (!fault) return;
    if (DWORD error = fault(step, path)) {
        AfxThrowFileException(CFileException::OsErrorToException(static_cast<LONG>(error)),
                              static_cast<LONG>(error), path.GetString());
    }
}

bool exists(const CString& path) {
    return GetFileAttributesW(path.GetString()) != INVALID_FILE_ATTRIBUTES;
}

CString normalised(CString path) {
    path.Replace(L"\\\\", L"\\");
    path.Replace(L'/', L'\\');
    return path;
}


// Posts the page's refresh timer while a verification runs (a window timer
// belongs to the thread that owns the window, so none is set from here).
class verify_ticker {
public:
    // A file checked in well under a second needs no refresh (and setting
    // up the timer costs more than checking a small file).
    verify_ticker(observer_list& observers, ULONGLONG size) : m_observers(observers) {
        if (size < kTickerMinBytes) return;
        CreateTimerQueueTimer(&m_timer, nullptr, &verify_ticker::tick, this, kVerifyTimerMs, kVerifyTimerMs,
                              WT_EXECUTEDEFAULT);
    }
    ~verify_ticker() {
        if (m_timer) DeleteTimerQueueTimer(nullptr, m_timer, INVALID_HANDLE_VALUE);
    }

private:
    static void CALLBACK tick(PVOID self, BOOLEAN) {
        static_cast<verify_ticker*>(self)->m_observers.post_message_all(WM_TIMER, kVerifyTimerId, 0);
    }
    observer_list& m_observers;
    HANDLE m_timer = nullptr;
};

}  // namespace

copy_manager* copy_manager::getInstance() {
    static copy_manager manager;
    return &manager;
}

copy_manager::copy_manager() {
    score_board* boards = score_board::getBoards();
    m_pBoard = &boards[BOARD_CHECK_AND_COPY];
    m_pPackageBoard = &boards[BOARD_PACKAGE_COPY];
}

DWORD copy_manager::fileFault(const wchar_t* step, const CString& path) {
    file_fault fault;
    {
        std::lock_guard<std::mutex> lock(g_faultLock);
        fault = g_fault;
    }
    return fault ? fault(step, path) : 0;
}

void copy_manager::setFileFault(file_fault fault) {
    std::lock_guard<std::mutex> lock(g_faultLock);
    g_fault = std::move(fault);
}

void copy_manager::setBasePath(const CString& path) {
    std::lock_guard<std::mutex> lock(m_baseLock);
    m_strBasePath = normalised(path);
}

CString copy_manager::getBasePath() {
    std::lock_guard<std::mutex> lock(m_baseLock);
    return m_strBasePath;
}

CString copy_manager::mediumPath(InfFileUpdate* item) {
    const CString base = getBasePath();
    CString path = item->getFilePath(base);
    common_util::normalize_path(path, base);
    return path;
}

void copy_manager::progressShares(ULONGLONG copyMillis, ULONGLONG verifyMillis, double& copyShare,
                                  double& verifyShare) {
    copyShare = 0.8;
    verifyShare = 0.2;
    if (copyMillis > 1000 && verifyMillis > 1000) {
        const double all = static_cast<double>(copyMillis + verifyMillis);
        copyShare = copyMillis / all;
        verifyShare = verifyMillis / all;
        if (copyShare > 0.95) {
            copyShare = 0.95;
            verifyShare = 0.05;
        } else if (verifyShare > 0.95) {
            copyShare = 0.05;
            verifyShare = 0.95;
        }
    }
}

bool copy_manager::copyFileTime(HANDLE source, HANDLE target) {
    if (source == INVALID_HANDLE_VALUE || target == INVALID_HANDLE_VALUE || !source || !target) return false;
    FILETIME created, accessed, written;
    if (!GetFileTime(source, &created, &accessed, &written)) return false;
    return SetFileTime(target, &created, &accessed, &written) != FALSE;
}

void copy_manager::rememberResumableCopies() {
    const CString base = getBasePath();
    std::vector<CString> verFiles;
    if (!base.IsEmpty()) {
        for (ver_file* element : ver_file_list::getInstance().elements()) {
            if (!element || !element->m_pHead || element->m_nType != VER_FILE_HVQ_COMMON) continue;
            const CString name = element->m_pHead->getVerName();
            if (name.IsEmpty()) continue;
            CString path = base + L"\\" + name + L"\\" + name + L".ver";
            common_util::normalize_path(path, base);
            verFiles.push_back(path);
        }
    }
    rememberResumableCopies(verFiles);
}

void copy_manager::rememberResumableCopies(const std::vector<CString>& verFiles) {
    std::vector<resumable_copy> found;
    for (const CString& path : verFiles) {
        CString text;
        if (!readUnicodeTextFile(text, path) && !readByteTextFile(text, path)) continue;
        ver_file_data data;
        data.parse(text);
        for (const ver_file_entry* entry : data.entries) {
            if (!entry || _wtoi(entry->getField(5).GetString()) != 0) continue;
            resumable_copy copy;
            copy.name = entry->getFileName();
            copy.version = _wtoi(entry->getField(2).GetString());
            copy.crc = _wtoi(entry->getField(3).GetString());
            copy.size = static_cast<ULONGLONG>(_wtoi64(entry->getField(4).GetString()));
            found.push_back(copy);
        }
    }
    std::lock_guard<std::mutex> lock(m_resumeLock);
    m_resumable.swap(found);
    m_begun.clear();
}

void copy_manager::noteBegun(const CString& target) {
    CString key = normalised(target);
    key.MakeUpper();
    std::lock_guard<std::mutex> lock(m_resumeLock);
    m_begun.insert(key);
}

bool copy_manager::mayResume(InfFileUpdate* item, const CString& source, const CString& target) {
    WIN32_FILE_ATTRIBUTE_DATA onMedium{}, local{};
    if (!GetFileAttributesExW(target.GetString(), GetFileExInfoStandard, &onMedium)) return false;
    const ULONGLONG size = (static_cast<ULONGLONG>(onMedium.nFileSizeHigh) << 32) | onMedium.nFileSizeLow;
    if (size == 0 || size >= static_cast<ULONGLONG>(item->getFileSize())) return false;
    CString key = normalised(target);
    key.MakeUpper();
    std::lock_guard<std::mutex> lock(m_resumeLock);
    if (m_begun.count(key)) return true;
    bool recorded = false;
    for (const resumable_copy& copy : m_resumable) {
        recorded = recorded || (copy.name.CompareNoCase(item->getFileName()) == 0 && copy.version == item->getVer() &&
                                copy.crc == static_cast<int>(item->getFileCrc()) &&
                                copy.size == static_cast<ULONGLONG>(item->getFileSize()));
    }
    if (!recorded || !GetFileAttributesExW(source.GetString(), GetFileExInfoStandard, &local)) return false;
    // Within the two seconds a FAT medium rounds times to.
    auto ticks = [](const FILETIME& t) { return (static_cast<ULONGLONG>(t.dwHighDateTime) << 32) | t.dwLowDateTime; };
    const ULONGLONG a = ticks(onMedium.ftLastWriteTime), b = ticks(local.ftLastWriteTime);
    return (a > b ? a - b : b - a) <= 20000000ULL;
}

bool copy_manager::alreadyCopied(InfFileUpdate* item, const CString& target, run_flags flags, bool& stopped) {
    stopped = false;
    ULONGLONG size = 0;
    if (!unzip_worker::getFileSize(target, size) || size != static_cast<ULONGLONG>(item->getFileSize())) return false;
    // A copy stopped before its verdict, or a bad copy, can have that size.
    unzip_worker worker;
    if (worker.crc_check_copy(target, item->getFileCrc(), nullptr, 0, flags)) return true;
    if (worker.m_nErrorCode == UNZIP_ERROR_STOPPED) {
        stopped = true;
        return false;
    }
    LOG_WRITE(L"[copy] file on the medium differs, copied again [file:%s]", target.GetString());
    worker_manager::getInstance()->removeFile(target);
    return false;
}

int copy_manager::func_copy_Item(InfFileUpdate* item, const RunFlag* stop) {
    if (!item || !item->m_guard.intact()) {
        LOG_WRITE(L"[InfFileUpdate] INVALID QUEUE ITEM - func_unzip_thread");
        waitPumpingMessages(kInvalidItemWaitMs);
        return 0;
    }
    const run_flags flags{stop, &m_bActive};
    const bool package = isPackageName(item->getFileName());
    const CString target = mediumPath(item);
    if (!package) {
        bool stopped = false;
        if (alreadyCopied(item, target, flags, stopped)) {
            item->m_nState = ITEM_STATE_COPIED;
            m_observers.post_message_all(UM_COPY_PROGRESS, 0, 0);
            score_board::getBoards()[BOARD_COPY_TOTALS].setFlag(1);
            function_manager::getInstance()->checkMediumFiles();
            return 1;
        }
        if (stopped) return 0;
    }
    const CString source = item->getFilePath(m_strDownloadFolder);
    unzip_worker worker;
    // The size check fails for a missing file too: one query per file.
    if (worker.file_size_check(source, static_cast<ULONGLONG>(item->getFileSize()), true)) {
        item->m_nState = ITEM_STATE_COPYING;
        if (package) copyPackageItem(item, flags);
        else func_copy_worker(item, stop);
        int expected = ITEM_STATE_COPYING;
        item->m_nState.compare_exchange_strong(expected, ITEM_STATE_UNZIPPED);
        return 1;
    }
    if (flags.running()) {
        item->m_nState = ITEM_STATE_COPY_FAILED;
        m_observers.send_message_all(UM_MODULE_ERROR, MODULE_COPY, MODULE_ERROR_COPY_VERIFY);
        return 1;
    }
    return 0;
}

bool copy_manager::copyFileData(InfFileUpdate* item, const CString& source, const CString& target, run_flags flags,
                                double copyShare, LONG& fileError) {
    fileError = 0;
    CFile out;
    // Opened as it is (a partial copy of this item's own), or created or
    // emptied: one call, because every lookup of a name that is not there
    // costs a scan of its folder on some file systems.
    const UINT keepOrCreate = CFile::modeCreate | (mayResume(item, source, target) ? CFile::modeNoTruncate : 0) |
                              CFile::modeWrite | CFile::shareDenyWrite | CFile::osWriteThrough | CFile::typeBinary;
    bool open = false;
    for (int attempt = 0; attempt < kTargetOpenTries && !open; ++attempt) {
        if (!flags.running()) return false;
        open = out.Open(target.GetString(), keepOrCreate) != FALSE;
        if (!open) {
            waitPumpingMessages(kTargetOpenWaitMs);
            if (!flags.running()) return false;
        }
    }
    if (!open) {
        LOG_WRITE(L"[ERR_3040][CFile Open][file_path_local:%s][ErrCode:%d]", target.GetString(),
                  static_cast<int>(GetLastError()));
        m_observers.send_message_all(UM_MODULE_ERROR, MODULE_COPY, MODULE_ERROR_COPY_TARGET);
        return false;
    }
    noteBegun(target);
    try {
        injectFault(L"seek", target);
        const ULONGLONG resume = out.SeekToEnd();
        if (!flags.running()) {
            out.Abort();
            return false;
        }
        CFile in;
        if (!in.Open(source.GetString(), CFile::modeRead | CFile::shareDenyWrite | CFile::typeBinary)) {
            LOG_WRITE(L"[ERR_3040][CFile Open][file_path_local:%s][ErrCode:%d]", target.GetString(),
                      static_cast<int>(GetLastError()));
            m_observers.send_message_all(UM_MODULE_ERROR, MODULE_COPY, MODULE_ERROR_COPY_SOURCE);
            out.Abort();
            return false;
        }
        if (static_cast<ULONGLONG>(item->getFileSize()) > kLargeFileBytes) {
            g_nLargeCopyFileSize = static_cast<ULONGLONG>(item->getFileSize());
        }
        in.Seek(static_cast<LONGLONG>(resume), CFile::begin);
        const chunk_lease buffer(kChunkBytes);
        while (flags.running()) {
            injectFault(L"read", source);
            UINT got = in.Read(buffer.data(), kChunkBytes);
            if (got == 0) break;
            g_bCopyBusy = 1;
            try {
                injectFault(L"write", target);
                out.Write(buffer.data(), got);
            } catch (CFileException* e) {
                LOG_WRITE(L"[FileToWrite.Write Error][File:%s][ErrorCode:%d]", target.GetString(),
                          static_cast<int>(e->m_lOsError));
                e->Delete();
                m_observers.send_message_all(UM_MODULE_ERROR, MODULE_COPY, MODULE_ERROR_COPY_WRITE);
                g_bCopyBusy = 0;
                break;
            }
            m_pBoard->addCurrentSize(static_cast<LONGLONG>(got * copyShare));
            m_observers.post_message_all(UM_COPY_PROGRESS, 0, 0);
        }
        copyFileTime(in.m_hFile, out.m_hFile);
        LOG_WRITE(L"[FileToRead ::CloseFileHandle()][data_path:%s]", source.GetString());
        in.Abort();
        LOG_WRITE(L"[FileToWrite::CloseFileHandle()][dest_path:%s]", target.GetString());
        try {
            out.Close();
        } catch (CFileException* e) {
            e->Delete();
            out.Abort();
        }
        return true;
    } catch (CFileException* e) {
        const LONG error = e->m_lOsError;
        e->Delete();
        out.Abort();
        g_bCopyBusy = 0;
        LOG_WRITE(L"[ERR_3040][copy][file:%s][ErrCode:%d]", target.GetString(), static_cast<int>(error));
        fileError = error ? error : ERROR_GEN_FAILURE;
        return false;
    }
}

bool copy_manager::func_copy_worker(InfFileUpdate* item, const RunFlag* stop) {
    double copyShare = 0, verifyShare = 0;
    progressShares(g_nCopyMillis.load(), g_nVerifyMillis.load(), copyShare, verifyShare);
    const run_flags flags{stop, &m_bActive};
    const CString source = item->getFilePath(m_strDownloadFolder);
    const CString target = mediumPath(item);
    common_util::ensure_directory(target);

    ULONGLONG copyStart = GetTickCount64();
    bool repaired = false;
    for (;;) {
        LONG fileError = 0;
        copyStart = GetTickCount64();
        bool copied = copyFileData(item, source, target, flags, copyShare, fileError);
        if (copied) break;
        if (fileError == ERROR_FILE_CORRUPT && !repaired) {
            // One repair per file; a medium that stays corrupt is reported.
            repaired = true;
            if (runDiskCheck(target)) {
                CString found;
                found.Format(L"%c:\\FOUND.000", target.GetLength() ? target[0] : L'C');
                CGlobalFunc::deleteDirectory(found);
                continue;
            }
        }
        g_bCopyBusy = 0;
        if (fileError) m_observers.send_message_all(UM_MODULE_ERROR, MODULE_COPY, MODULE_ERROR_COPY_TARGET);
        return false;
    }
    const ULONGLONG verifyStart = GetTickCount64();
    g_bCopyBusy = 0;
    if (!flags.running()) return false;

    unzip_worker worker;
    bool verified = worker.file_size_check(target, static_cast<ULONGLONG>(item->getFileSize()), true);
    if (verified) {
        verify_ticker ticker(m_observers, static_cast<ULONGLONG>(item->getFileSize()));
        verified = worker.crc_check_copy(target, item->getFileCrc(), m_pBoard, verifyShare, flags);
        if (!verified && worker.m_nErrorCode == UNZIP_ERROR_STOPPED) return false;
    }
    if (verified) {
        item->m_nState = ITEM_STATE_COPIED;
        m_pBoard->addCurrentCount(1);
        m_observers.post_message_all(UM_COPY_PROGRESS, 0, 0);
        ver_file_list::getInstance().write(getBasePath(), VER_WRITE_MEDIUM);
        const ULONGLONG end = GetTickCount64();
        g_nCopiedBytes += static_cast<ULONGLONG>(item->getFileSize());
        g_nCopyMillis += verifyStart - copyStart;
        g_nVerifyMillis += end - verifyStart;
        return true;
    }
    item->m_nState = ITEM_STATE_COPY_FAILED;
    m_observers.send_message_all(UM_MODULE_ERROR, MODULE_COPY, MODULE_ERROR_COPY_VERIFY);
    worker_manager::getInstance()->removeFile(target);
    return false;
}

bool copy_manager::runDiskCheck(const CString& path) {
    SECURITY_ATTRIBUTES inherit{sizeof(inherit), nullptr, TRUE};
    HANDLE outRead = nullptr, outWrite = nullptr, inRead = nullptr, inWrite = nullptr;
    if (!CreatePipe(&outRead, &outWrite, &inherit, 0)) return false;
    UniqueKernelHandle outReadOwner(outRead), outWriteOwner(outWrite);
    if (!CreatePipe(&inRead, &inWrite, &inherit, 0)) return false;
    UniqueKernelHandle inReadOwner(inRead), inWriteOwner(inWrite);
    SetHandleInformation(outRead, HANDLE_FLAG_INHERIT, 0);
    SetHandleInformation(inWrite, HANDLE_FLAG_INHERIT, 0);

    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = inRead;
    startup.hStdOutput = outWrite;
    startup.hStdError = outWrite;
    PROCESS_INFORMATION info{};
    // The checker takes a volume, not a file; quoted, as every argument
    // that comes from a path.
    if (path.GetLength() < 2 || path[1] != L':' || !iswalpha(path[0])) {
        LOG_WRITE(L"[chkdsk] no drive letter, not run [file:%s]", path.GetString());
        return false;
    }
    CString arguments;
    arguments.Format(L"/F /X \"%c:\"", towupper(path[0]));
    if (!startSystemProgram(L"chkdsk.exe", arguments, CREATE_NO_WINDOW, TRUE, startup, info)) return false;
    UniqueKernelHandle process(info.hProcess), thread(info.hThread);
    inReadOwner.reset();
    outWriteOwner.reset();
    DWORD written = 0;
    WriteFile(inWrite, "Y\n", 2, &written, nullptr);
    inWriteOwner.reset();
    // The checker's output is read (and dropped) so that it never blocks on
    // a full pipe; it is waited for, bounded.
    const ULONGLONG start = GetTickCount64();
    for (;;) {
        DWORD available = 0;
        while (PeekNamedPipe(outRead, nullptr, 0, nullptr, &available, nullptr) && available) {
            char sink[512];
            DWORD got = 0;
            if (!ReadFile(outRead, sink, sizeof(sink), &got, nullptr) || got == 0) break;
        }
        if (WaitForSingleObject(process.get(), 50) == WAIT_OBJECT_0) break;
        if (GetTickCount64() - start > kDiskCheckWaitMs) {
            LOG_WRITE(L"[chkdsk] still running, not waited for [file:%s]", path.GetString());
            break;
        }
    }
    DeleteFileW(path.GetString());
    return !exists(path);
}
