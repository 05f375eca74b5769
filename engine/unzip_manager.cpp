#include "engine/unzip_manager.h"

#include "afx/filefind.h"
#include "descriptors/ver_file.h"
#include "engine/download_manager.h"
#include "engine/function_manager.h"
#include "engine/package_names.h"
#include "engine/worker_manager.h"
#include "foundation/common_util.h"
#include "foundation/logmanager.h"
#include "foundation/message_pump.h"
#include "foundation/private_messages.h"

std::atomic<unsigned char>& g_bUnzipBusy = zipExtractBusy;

namespace {

constexpr DWORD kInvalidItemWaitMs = 10;

CString folderOf(const CString& path) {
    int separator = std::max(path.ReverseFind(L'\\'), path.ReverseFind(L'/'));
    return separator < 0 ? CString() : path.Left(separator);
}

bool exists(const CString& path) {
    return GetFileAttributesW(path.GetString()) != INVALID_FILE_ATTRIBUTES;
}

}  // namespace

unzip_manager* unzip_manager::getInstance() {
    static unzip_manager manager;
    return &manager;
}

unzip_manager::unzip_manager() {
    m_pBoard = &score_board::getBoards()[BOARD_UNZIP];
}

void unzip_manager::start() {
    m_nState = 1;
    m_bEnabled = true;
    m_observers.post_message_all(UM_TRANSFER_PHASE, TRANSFER_PHASE_UNZIP, 0);
}

int unzip_manager::moduleDetail(int code) {
    switch (code) {
    case SIZE_ERROR_READ:
    case SIZE_ERROR_MISMATCH:
        return MODULE_ERROR_FILE_SIZE;
    case CRC_ERROR_READ:
    case CRC_ERROR_MISMATCH:
        return MODULE_ERROR_CRC;
    case UNZIP_ERROR_NO_FILE:
    case UNZIP_ERROR_OPEN:
        return MODULE_ERROR_UNZIP_RENAME;
    case UNZIP_ERROR_EXTRACT:
        return MODULE_ERROR_UNZIP_MODULE;
    default:
        return 0;
    }
}

bool unzip_manager::isUnzipped(InfFileUpdate* item) {
    if (!item || item->getNumSpan() > 0) return false;
    const CString path = item->getFilePath(m_strDownloadFolder);
    unzip_worker worker;
    return exists(path) && worker.file_size_check(path, static_cast<ULONGLONG>(item->getFileSize()), false);
}

BYTE unzip_manager::func_unzip_Item(InfFileUpdate* item, const RunFlag* running) {
    if (!item || !item->m_guard.intact()) {
        LOG_WRITE(L"[InfFileUpdate] INVALID QUEUE ITEM - func_unzip_thread");
        waitPumpingMessages(kInvalidItemWaitMs);
        return 0;
    }
    if (!m_bEnabled) return 0;
    const run_flags flags{running, &m_bEnabled};
    m_nBusy = 1;
    item->m_nState = ITEM_STATE_DOWNLOADED;
    bool dropped = false;
    bool ok = unzipItem(item, flags, dropped);
    if (ok && m_bEnabled && isPackageName(item->getFileName())) {
        // The package stays: the next run's pre-check keeps it, and only
        // this local extraction runs again instead of a new download.
        ok = unzipInnerPackage(item, packageFolder(item->getFileName()), flags);
    }
    if (flags.running()) {
        if (ok) {
            item->m_nState = ITEM_STATE_UNZIPPED;
            ver_file_list::getInstance().write(m_strDownloadFolder, VER_WRITE_LOCAL);
            m_observers.post_message_all(UM_UNZIP_PROGRESS, 0, 1);
        } else {
            item->m_nState = ITEM_STATE_UNZIP_FAILED;
        }
    } else if (ok) {
        ver_file_list::getInstance().write(m_strDownloadFolder, VER_WRITE_LOCAL);
        item->m_nState = ITEM_STATE_DOWNLOADED;
    } else {
        item->m_nState = ITEM_STATE_UNZIP_FAILED;
    }
    // Left at 202 the item would be checked again at once, on files that
    // are gone.
    if (dropped) function_manager::getInstance()->onCheckFailed(item);
    m_nBusy = 0;
    return ok ? 1 : 0;
}

bool unzip_manager::unzipItem(InfFileUpdate* item, run_flags flags, bool& dropped) {
    dropped = false;
    const CString zipPath = item->getZipPath(m_strDownloadFolder);
    const CString filePath = item->getFilePath(m_strDownloadFolder);
    const CString target = folderOf(filePath);
    const ULONGLONG fileSize = static_cast<ULONGLONG>(item->getFileSize());
    const bool intact = item->m_guard.intact();
    unzip_worker worker;

    if (exists(filePath) && worker.file_size_check(filePath, fileSize, false) &&
        worker.crc_check_unzip(filePath, item->getFileCrc(), flags)) {
        deletePieces(item);
        return true;
    }
    worker.m_nErrorCode = 0;
    item->m_nState = ITEM_STATE_UNZIPPING;

    bool ok = true;
    if (item->getNumSpan() > 0 && item->getZipSize() != 0) {
        common_util::ensure_directory(filePath);
        worker_manager::getInstance()->removeFile(filePath);
        CZipArchive archive;
        std::vector<unzip_entry> entries;
        if (!worker.unzip_open(&entries, archive, zipPath)) {
            archive.Close(true);
            item->m_nState = ITEM_STATE_UNZIP_FAILED;
            ok = false;
        } else if (!worker.unzip(archive, target, nullptr, flags, m_pBoard)) {
            archive.Close(true);
            item->m_nState = flags.running() ? ITEM_STATE_UNZIP_FAILED : ITEM_STATE_DOWNLOADED;
            ok = false;
        } else {
            archive.Close(true);
            if (intact && (entries.empty() || entries.back().name.CompareNoCase(item->getFileName()) != 0)) {
                LOG_WRITE(L"[unzipItem] last entry is not the item's file [zip:%s]", zipPath.GetString());
                item->m_nState = ITEM_STATE_UNZIP_FAILED;
                ok = false;
            }
        }
    }
    if (ok) {
        bool verified = exists(filePath);
        if (!verified) worker.m_nErrorCode = UNZIP_ERROR_NO_FILE;
        if (verified && intact) {
            verified = worker.file_size_check(filePath, fileSize, false) &&
                       worker.crc_check_unzip(filePath, item->getFileCrc(), flags);
        }
        if (!verified) {
            item->m_nState = ITEM_STATE_UNZIP_FAILED;
            ok = false;
        }
    }
    if (!ok) {
        int detail = moduleDetail(worker.m_nErrorCode);
        if (detail) m_observers.post_message_all(UM_MODULE_ERROR, MODULE_DOWNLOAD, detail);
        worker_manager::getInstance()->removeFile(filePath);
    }
    if (flags.running() && intact && item->getVer() > 0) {
        deletePieces(item);
        if (!ok) {
            download_manager::getInstance()->start();
            dropped = true;
        }
    }
    return ok;
}

bool unzip_manager::unzipInnerPackage(InfFileUpdate* item, const CString& folderName, run_flags flags) {
    if (!flags.running() || !m_bEnabled) return false;
    const CString package = item->getFilePath(m_strDownloadFolder);
    CString target = folderOf(package);
    if (!folderName.IsEmpty()) target += L"\\" + folderName;
    common_util::ensure_directory(target + L"\\");
    unzip_worker worker;
    CZipArchive archive;
    if (!worker.unzip_open(nullptr, archive, package)) {
        archive.Close(true);
        return false;
    }
    if (exists(target)) clearFileAttributes(target);
    auto goOn = [this, flags](const CString&, ULONGLONG) { return flags.running() && m_bEnabled; };
    bool ok = worker.unzip(archive, target, goOn, flags, m_pBoard);
    archive.Close(true);
    item->m_nState = ok ? ITEM_STATE_UNZIPPED : ITEM_STATE_UNZIP_FAILED;
    return ok;
}

void unzip_manager::deletePieces(InfFileUpdate* item) {
    if (!item->m_guard.intact() || item->getVer() <= 0) return;
    for (int n = 0; n < item->getNumSpan(); ++n) {
        worker_manager::getInstance()->removeFile(item->getPartPath(m_strDownloadFolder, n));
    }
}

void unzip_manager::clearFileAttributes(const CString& folder) {
    CFileFind finder;
    BOOL more = finder.FindFile((folder + L"\\*.*").GetString());
    while (more) {
        more = finder.FindNextFile();
        if (finder.IsDots()) continue;
        if (finder.IsDirectory()) {
            clearFileAttributes(finder.GetFilePath());
        } else if (finder.GetAttributes() & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN)) {
            SetFileAttributesW(finder.GetFilePath().GetString(), FILE_ATTRIBUTE_NORMAL);
        }
    }
}
