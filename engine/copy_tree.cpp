// The package route of the copy: the folders a self-contained package's
// extraction produced, copied file by file onto the medium.
#include "afx/filefind.h"
#include "descriptors/ver_file.h"
#include "engine/copy_manager.h"
#include "engine/function_manager.h"
#include "engine/unzip_worker.h"
#include "engine/worker_manager.h"
#include "foundation/common_util.h"
#include "foundation/logmanager.h"
#include "foundation/message_pump.h"
#include "foundation/private_messages.h"
#include "foundation/utilmanager.h"

namespace {

struct package_folders {
    const wchar_t* name;
    const wchar_t* folders[2];
};

const package_folders kPackageFolders[] = {
    {L"MAP.exe", {L"MAP/TPEG_IMAGE", L"MAP/TPEG_IMAGE_NEW"}},
    {L"HTML.exe", {L"HTML/", nullptr}},
    {L"SPOT.exe", {L"SPOT/", nullptr}},
    {L"IMAGE.exe", {L"IMAGE/", nullptr}},
};

CString normalised(CString path) {
    path.Replace(L'/', L'\\');
    while (path.Replace(L"\\\\", L"\\") > 0) {
    }
    return path;
}

CString withoutTrailingSeparator(CString path) {
    while (path.GetLength() > 0 && (path.Right(1) == L"\\" || path.Right(1) == L"/")) path.Truncate(path.GetLength() - 1);
    return path;
}

bool attributesOf(const CString& path, WIN32_FILE_ATTRIBUTE_DATA& data) {
    return GetFileAttributesExW(path.GetString(), GetFileExInfoStandard, &data) != FALSE;
}

// The copy keeps the last-write time, so a file on the medium with the
// source's size and time is taken for the copy it was. Size alone is what
// an interrupted or failed copy leaves too.
bool sameSizeAndTime(const WIN32_FILE_ATTRIBUTE_DATA& source, const CString& target) {
    WIN32_FILE_ATTRIBUTE_DATA there{};
    if (!attributesOf(target, there) || (there.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) return false;
    return there.nFileSizeHigh == source.nFileSizeHigh && there.nFileSizeLow == source.nFileSizeLow &&
           CompareFileTime(&there.ftLastWriteTime, &source.ftLastWriteTime) == 0;
}

CString folderOf(const CString& path) {
    int separator = std::max(path.ReverseFind(L'\\'), path.ReverseFind(L'/'));
    return separator < 0 ? CString() : path.Left(separator);
}

}  // namespace

void copy_manager::copyPackageItem(InfFileUpdate* item, run_flags flags) {
    if (!flags.running()) return;
    const CString source = folderOf(item->getFilePath(m_strDownloadFolder));
    CString target = item->getFilePath(getBasePath());
    common_util::normalize_path(target);
    target = folderOf(target);
    const int result = copyPackageFolders(item->getFileName(), source, target, flags);
    // A stop is no verdict: the item stays to be copied.
    if (!flags.running()) return;
    if (result) {
        item->m_nState = ITEM_STATE_COPIED;
        m_observers.post_message_all(UM_COPY_PROGRESS, 0, 0);
    } else {
        item->m_nState = ITEM_STATE_COPY_FAILED;
    }
    m_observers.send_message_all(UM_COPY_STEP_DONE, 0, result ? 1 : 0);
}

int copy_manager::copyPackageFolders(const CString& name, const CString& source, const CString& target,
                                     run_flags flags) {
    const package_folders* package = nullptr;
    for (const package_folders& p : kPackageFolders) {
        if (name.CompareNoCase(p.name) == 0) package = &p;
    }
    if (!package) return 1;
    CString sources[2], targets[2];
    int count = 0;
    for (const wchar_t* folder : package->folders) {
        if (!folder) continue;
        sources[count] = withoutTrailingSeparator(normalised(source + L"\\" + folder));
        targets[count] = withoutTrailingSeparator(normalised(target + L"/" + folder));
        ++count;
    }
    m_pPackageBoard->reset();
    m_observers.send_message_all(UM_TRANSFER_PHASE, TRANSFER_PHASE_COPY_STEP, 0);
    for (int i = 0; i < count; ++i) countTree(sources[i]);
    int result = 0;
    try {
        result = copyTree(sources[0], targets[0], flags);
        if (result && count > 1) result = copyTree(sources[1], targets[1], flags);
    } catch (CFileException* e) {
        LOG_WRITE(L"[copyPackageFolders][file:%s][ErrorCode:%d]", e->m_strFileName.GetString(),
                  static_cast<int>(e->m_lOsError));
        e->Delete();
        result = 0;
    } catch (CException* e) {
        e->Delete();
        result = 0;
    }
    g_bCopyBusy = 0;
    return result;
}

void copy_manager::countTree(const CString& path) {
    CFileFind finder;
    BOOL more = finder.FindFile(path.GetString());
    while (more) {
        more = finder.FindNextFile();
        if (finder.IsDots()) continue;
        if (finder.IsDirectory()) {
            countTree(finder.GetFilePath() + L"\\*.*");
        } else {
            m_pPackageBoard->addTotalCount(1);
            m_pPackageBoard->addTotalSize(static_cast<LONGLONG>(finder.GetLength()));
        }
    }
}

int copy_manager::copyTree(const CString& source, const CString& target, run_flags flags) {
    g_bCopyBusy = 1;
    CFileFind finder;
    if (!finder.FindFile(source.GetString())) {
        g_bCopyBusy = 0;
        return 0;
    }
    finder.FindNextFile();
    bool ok = false;
    if (finder.IsDirectory()) {
        ok = createDirectoryTree(target, true);
        CFileFind entries;
        BOOL more = ok && entries.FindFile((source + L"\\*").GetString());
        const CString base = withoutTrailingSeparator(target);
        while (more && ok && flags.running()) {
            more = entries.FindNextFile();
            if (entries.IsDots()) continue;
            ok = copyTree(entries.GetFilePath(), base + L"\\" + entries.GetFileName(), flags) != 0;
        }
    } else {
        ok = createDirectoryTree(target, false);
        WIN32_FILE_ATTRIBUTE_DATA from{};
        if (ok) ok = attributesOf(source, from);
        if (ok && !sameSizeAndTime(from, target)) {
            ok = CopyFileW(source.GetString(), target.GetString(), FALSE) != FALSE;
            if (!ok) {
                LOG_WRITE(L"[copyTree][CopyFile][file:%s][ErrorCode:%d]", target.GetString(),
                          static_cast<int>(GetLastError()));
            }
            if (ok) ok = fileFault(L"tree-copy", target) == 0;
            // Checked like every other file on the medium: read back past
            // the cache and compared with the source.
            unzip_worker worker;
            UINT32 crc = 0;
            if (ok && !(worker.crc_calc_unzip(source, crc, flags) &&
                        worker.crc_check_copy(target, crc, nullptr, 0, flags))) {
                ok = false;
                if (flags.running()) {
                    LOG_WRITE(L"[copyTree] copy not confirmed by its read-back [file:%s]", target.GetString());
                    worker_manager::getInstance()->removeFile(target);
                }
            }
        }
        if (ok) {
            m_pPackageBoard->addCurrentSize(static_cast<LONGLONG>(finder.GetLength()));
            m_pPackageBoard->addCurrentCount(1);
        }
    }
    g_bCopyBusy = 0;
    return ok && flags.running() ? 1 : 0;
}

bool copy_manager::createDirectoryTree(const CString& path, bool isFolder) {
    CString folder = normalised(path);
    if (!isFolder) folder = folderOf(folder);
    folder = withoutTrailingSeparator(folder);
    if (folder.GetLength() == 2 && folder[1] == L':') return true;
    if (folder.Find(L":\\") < 0) return false;
    for (int at = folder.Find(L'\\', folder.Find(L":\\") + 2); at >= 0; at = folder.Find(L'\\', at + 1)) {
        CString prefix = folder.Left(at);
        if (GetFileAttributesW(prefix.GetString()) == INVALID_FILE_ATTRIBUTES &&
            !CreateDirectoryW(prefix.GetString(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) {
            return false;
        }
    }
    if (GetFileAttributesW(folder.GetString()) != INVALID_FILE_ATTRIBUTES) return true;
    return CreateDirectoryW(folder.GetString(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS;
}

void copy_manager::notifyFinished() {
    m_bActive = false;
    ver_file_list::getInstance().write(getBasePath(), VER_WRITE_MEDIUM);
    m_observers.post_message_all(UM_DOWNLOAD_COMPLETE, 0, 1);
    m_observers.post_message_all(UM_UNZIP_COMPLETE, 0, 1);
    m_observers.post_message_all(UM_COPY_COMPLETE, 0, 1);
    m_observers.post_message_all(UM_TRANSFER_PHASE, TRANSFER_PHASE_DONE, 0);
}
