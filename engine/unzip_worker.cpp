#include "engine/unzip_worker.h"

#include "afx/handle.h"
#include "engine/chunk_pool.h"
#include "engine/package_names.h"
#include "foundation/logmanager.h"
#include "foundation/message_pump.h"
#include "foundation/utilmanager.h"
#include "ziparchive/zipexception.h"

#include <zlib.h>

#include <malloc.h>
#include <memory>

namespace {

constexpr DWORD kCrcBlock = 65536;
// The copy's check reads what it has just written in the copy's own chunk
// size: fewer calls per file on the medium.
constexpr DWORD kCopyCrcBlock = 1048576;
constexpr DWORD kSectorAlign = 4096;
constexpr DWORD kOpenWaitMs = 50;
constexpr int kUnzipOpenAttempts = 61;
constexpr int kCopyOpenAttempts = 5;
constexpr int kCrcPasses = 5;
constexpr DWORD kExtractBuffer = 0xFFFF;

}  // namespace

bool unzipProgressCallback(int chunkBytes, int, void* userData) {
    auto* progress = static_cast<unzip_progress*>(userData);
    if (!progress) return false;
    if (!progress->board) return true;
    if (!progress->flags.running()) {
        progress->board->addCurrentSize(-progress->entryBytes);
        progress->entryBytes = 0;
        return false;
    }
    progress->entryBytes += chunkBytes;
    progress->board->addCurrentSize(chunkBytes);
    return true;
}

bool unzip_worker::getFileSize(const CString& path, ULONGLONG& size) {
    // One attribute query: it runs for every file of the update, and a
    // directory search plus a status call cost more than a small file's copy.
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (path.IsEmpty() || !GetFileAttributesExW(path.GetString(), GetFileExInfoStandard, &data) ||
        (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
        size = ULLONG_MAX;
        return false;
    }
    size = (static_cast<ULONGLONG>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    return true;
}

bool unzip_worker::file_size_check(const CString& path, ULONGLONG expected, bool packageSkip) {
    if (packageSkip && isPackageName(fileNameOf(path))) return true;
    ULONGLONG actual = 0;
    if (!getFileSize(path, actual)) {
        LOG_WRITE(L"[file_size_check][file:%s][size_actual:%llu]", path.GetString(), actual);
        m_nErrorCode = SIZE_ERROR_READ;
        return false;
    }
    if (actual != expected) {
        LOG_WRITE(L"[file_size_compare][file:%s][size_expected:%llu][size_actual:%llu]", path.GetString(), expected,
                  actual);
        m_nErrorCode = SIZE_ERROR_MISMATCH;
        return false;
    }
    return true;
}

bool unzip_worker::crcOfFile(const CString& path, UINT32& crc, run_flags flags, int openAttempts, bool logOpen,
                             score_board* board, double scale, DWORD block, bool unbuffered) {
    // Unbuffered reads want a buffer aligned to the sector and whole sectors
    // per read (a page covers every sector size in use); the last read of a
    // file returns its tail. The pooled chunk has room to align inside it.
    block = (block + kSectorAlign - 1) / kSectorAlign * kSectorAlign;
    const chunk_lease chunk(static_cast<size_t>(block) + kSectorAlign);
    BYTE* const buffer = reinterpret_cast<BYTE*>(
        (reinterpret_cast<uintptr_t>(chunk.data()) + kSectorAlign - 1) & ~static_cast<uintptr_t>(kSectorAlign - 1));
    const DWORD openFlags = FILE_FLAG_SEQUENTIAL_SCAN | (unbuffered ? FILE_FLAG_NO_BUFFERING : 0);
    const UINT32 start = crc;
    for (int pass = 1;; ++pass) {
        UniqueFileHandle file;
        for (int attempt = 1;; ++attempt) {
            // A writer that has just closed the file may still hold it for a
            // moment: later attempts wait first.
            if (attempt > 1) waitPumpingMessages(kOpenWaitMs);
            file.reset(CreateFileW(path.GetString(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                   OPEN_EXISTING, openFlags, nullptr));
            if (file) break;
            if (attempt >= openAttempts) return false;
            if (logOpen) {
                LOG_WRITE(L"[crc_check][file=%s][err=%d]", path.GetString(), static_cast<int>(GetLastError()));
            }
        }
        LARGE_INTEGER length{};
        if (!GetFileSizeEx(file.get(), &length)) return false;
        uLong value = start;
        ULONGLONG counted = 0;
        for (;;) {
            DWORD got = 0;
            if (!ReadFile(file.get(), buffer, block, &got, nullptr)) break;
            if (got == 0) break;
            value = crc32(value, buffer, got);
            counted += got;
            if (board) board->addCurrentSize(static_cast<LONGLONG>(got * scale));
            if (!flags.running()) {
                m_nErrorCode = UNZIP_ERROR_STOPPED;
                return false;
            }
        }
        if (counted == static_cast<ULONGLONG>(length.QuadPart)) {
            crc = static_cast<UINT32>(value);
            return true;
        }
        LOG_WRITE(L"[crc_check][orgSize=%I64d][totSize=%I64u]", length.QuadPart, counted);
        if (pass >= kCrcPasses) return false;
    }
}

bool unzip_worker::crc_calc_unzip(const CString& path, UINT32& crc, run_flags flags) {
    return crcOfFile(path, crc, flags, kUnzipOpenAttempts, true, nullptr, 0, kCrcBlock);
}

bool unzip_worker::crc_check_unzip(const CString& path, UINT32 expected, run_flags flags) {
    UINT32 crc = 0;
    bool read = crc_calc_unzip(path, crc, flags);
    bool match = read && crc == expected;
    if (!read) {
        LOG_WRITE(L"[crc_check][file:%s][ErrorCode:%d]", path.GetString(), m_nErrorCode);
        m_nErrorCode = CRC_ERROR_READ;
    } else if (!match) {
        LOG_WRITE(L"[crc_compare][file:%s][crc_expected:%lu][crc_actual:%lu]", path.GetString(),
                  static_cast<unsigned long>(expected), static_cast<unsigned long>(crc));
        m_nErrorCode = CRC_ERROR_MISMATCH;
    }
    if (!match && !flags.running()) m_nErrorCode = UNZIP_ERROR_STOPPED;
    return match;
}

bool unzip_worker::crc_check_copy(const CString& path, UINT32 expected, score_board* board, double scale,
                                  run_flags flags) {
    UINT32 crc = 0;
    bool read = crcOfFile(path, crc, flags, kCopyOpenAttempts, false, board, scale, kCopyCrcBlock, true);
    if (!read && !flags.running()) {
        m_nErrorCode = UNZIP_ERROR_STOPPED;
        return false;
    }
    if (!read) {
        LOG_WRITE(L"[crc_check][file:%s][ErrorCode:%d]", path.GetString(), m_nErrorCode);
        m_nErrorCode = CRC_ERROR_READ;
        return false;
    }
    if (crc != expected) {
        LOG_WRITE(L"[crc_compare][file:%s][crc_expected:%lu][crc_actual:%lu]", path.GetString(),
                  static_cast<unsigned long>(expected), static_cast<unsigned long>(crc));
        m_nErrorCode = CRC_ERROR_MISMATCH;
        return false;
    }
    return true;
}

bool unzip_worker::unzip_open(std::vector<unzip_entry>* entries, CZipArchive& archive, const CString& path) {
    WIN32_FIND_DATAW found{};
    UniqueFindHandle find(FindFirstFileW(path.GetString(), &found));
    if (!find) {
        LOG_WRITE(L"[unzip_open] file not found [file:%s]", path.GetString());
        m_nErrorCode = UNZIP_ERROR_NO_FILE;
        return false;
    }
    try {
        archive.Open(path.GetString(), CZipArchive::zipOpenReadOnly, 0);
        for (WORD index = 0; index < static_cast<WORD>(archive.GetCount()); ++index) {
            if (m_nStopFlag) {
                LOG_WRITE(L"[unzip_open] stop by user");
                m_nErrorCode = UNZIP_ERROR_STOPPED;
                return false;
            }
            CZipFileHeader header;
            if (!archive.GetFileInfo(header, index)) {
                LOG_WRITE(L"[ZipExtractFail][GetFileInfo][ErrorCode:%d]", static_cast<int>(GetLastError()));
                m_nErrorCode = UNZIP_ERROR_EXTRACT;
                return false;
            }
            if (entries) entries->push_back({header.GetFileName(), header.m_uUncomprSize});
        }
        return true;
    } catch (CFileException* e) {
        LOG_WRITE(L"[CFileException:%d][file:%s][ErrorCode:%d]", e->m_cause, e->m_strFileName.GetString(),
                  static_cast<int>(GetLastError()));
        e->Delete();
        m_nErrorCode = UNZIP_ERROR_OPEN;
    } catch (CZipException* e) {
        LOG_WRITE(L"[CZipException:%d][file:%s][ErrorCode:%d]", e->m_iCause, path.GetString(),
                  static_cast<int>(GetLastError()));
        e->Delete();
        m_nErrorCode = UNZIP_ERROR_EXTRACT;
    }
    return false;
}

bool unzip_worker::unzip(CZipArchive& archive, const CString& folder, const EntryFunction& perEntry,
                         run_flags flags, score_board* board) {
    unzip_progress progress;
    progress.flags = flags;
    progress.board = board;
    bool result = false;
    try {
        result = true;
        for (WORD index = 0; index < static_cast<WORD>(archive.GetCount()); ++index) {
            CZipFileHeader header;
            if (!archive.GetFileInfo(header, index)) {
                LOG_WRITE(L"[ZipExtractFail][GetFileInfo][dest_dir:%s][ErrorCode:%d]", folder.GetString(),
                          static_cast<int>(GetLastError()));
                m_nErrorCode = UNZIP_ERROR_EXTRACT;
                result = false;
                break;
            }
            progress.entryBytes = 0;
            if (!archive.ExtractFile(index, folder.GetString(), true, nullptr, unzipProgressCallback, &progress,
                                     kExtractBuffer)) {
                LOG_WRITE(L"[ZipExtractFail][dest_dir:%s][ErrorCode:%d]", folder.GetString(),
                          static_cast<int>(GetLastError()));
                m_nErrorCode = flags.running() ? UNZIP_ERROR_EXTRACT : UNZIP_ERROR_STOPPED;
                result = false;
                break;
            }
            if (perEntry && !perEntry(header.GetFileName(), header.m_uUncomprSize)) {
                // Stopped between two entries: the folder is not complete.
                m_nErrorCode = UNZIP_ERROR_STOPPED;
                result = false;
                break;
            }
        }
    } catch (CFileException* e) {
        LOG_WRITE(L"[CFileException:%d][file:%s][ErrorCode:%d]", e->m_cause, e->m_strFileName.GetString(),
                  static_cast<int>(GetLastError()));
        e->Delete();
        m_nErrorCode = UNZIP_ERROR_OPEN;
        result = false;
    } catch (CZipException* e) {
        LOG_WRITE(L"[CZipException:%d][ErrorCode:%d]", e->m_iCause, static_cast<int>(GetLastError()));
        e->Delete();
        m_nErrorCode = flags.running() ? UNZIP_ERROR_EXTRACT : UNZIP_ERROR_STOPPED;
        result = false;
    }
    if (!result && progress.board && progress.entryBytes) {
        // The entry that failed half-way is not counted.
        progress.board->addCurrentSize(-progress.entryBytes);
    }
    zipExtractBusy = 0;
    return result;
}
