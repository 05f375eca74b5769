// The package route of the copy: the folders a self-contained package's
// extraction produced, copied file by file onto the medium.
#include "afx/filefind.h"
#include "descriptors/ver_file.h"
#include "engine/chunk_pool.h"
#include "engine/copy_manager.h"
#include "engine/function_manager.h"
#include "engine/unzip_worker.h"
#include "engine/worker_manager.h"
#include "foundation/common_util.h"
#include "foundation/logmanager.h"
#include "foundation/message_pump.h"
#include "foundation/private_messages.h"
#include "foundation/utilmanager.h"

#include <zlib.h>

#include <map>

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

// A package's files are small: a read and a write each.
constexpr DWORD kTreeChunkBytes = 262144;

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

CString folderOf(const CString& path) {
    int separator = std::max(path.ReverseFind(L'\\'), path.ReverseFind(L'/'));
    return separator < 0 ? CString() : path.Left(separator);
}

}  // namespace

void copy_manager::copyPackageItem(InfFileUpdate* item, run_flags flags) {
    if (!flags.running()) return;
    const CString source = folderOf(item->getFilePath(m_strDownloadFolder));
    const CString base = getBasePath();
    CString target = item->getFilePath(base);
    common_util::normalize_path(target, base);
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
    WIN32_FILE_ATTRIBUTE_DATA from{};
    bool ok = attributesOf(source, from);
    if (ok && (from.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
        ok = createDirectoryTree(target, true) && copyFolder(source, withoutTrailingSeparator(target), flags);
    } else if (ok) {
        const tree_file file{from.nFileSizeHigh, from.nFileSizeLow, from.ftLastWriteTime};
        WIN32_FILE_ATTRIBUTE_DATA there{};
        const bool known = attributesOf(target, there) && !(there.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
        const tree_file onMedium{there.nFileSizeHigh, there.nFileSizeLow, there.ftLastWriteTime};
        ok = createDirectoryTree(target, false) && copyTreeFile(source, target, file, known ? &onMedium : nullptr, flags);
    }
    g_bCopyBusy = 0;
    return ok && flags.running() ? 1 : 0;
}

bool copy_manager::copyFolder(const CString& source, const CString& target, run_flags flags) {
    // What the medium's folder holds, in one listing: a lookup per file
    // would cost a query of its own for every small file of a package.
    std::map<CString, tree_file> onMedium;
    WIN32_FIND_DATAW found{};
    {
        UniqueFindHandle there(FindFirstFileExW((target + L"\\*").GetString(), FindExInfoBasic, &found,
                                                FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH));
        for (bool more = static_cast<bool>(there); more; more = FindNextFileW(there.get(), &found) != FALSE) {
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
            CString name(found.cFileName);
            name.MakeLower();
            onMedium[name] = tree_file{found.nFileSizeHigh, found.nFileSizeLow, found.ftLastWriteTime};
        }
    }
    UniqueFindHandle entries(FindFirstFileExW((source + L"\\*").GetString(), FindExInfoBasic, &found,
                                              FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH));
    if (!entries) return false;
    for (bool more = true; more && flags.running(); more = FindNextFileW(entries.get(), &found) != FALSE) {
        const CString name(found.cFileName);
        if (name == L"." || name == L"..") continue;
        const CString from = source + L"\\" + name;
        const CString to = target + L"\\" + name;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            if (!CreateDirectoryW(to.GetString(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) {
                LOG_WRITE(L"[copyTree][CreateDirectory][folder:%s][ErrorCode:%d]", to.GetString(),
                          static_cast<int>(GetLastError()));
                return false;
            }
            if (!copyFolder(from, to, flags)) return false;
            continue;
        }
        CString key = name;
        key.MakeLower();
        const auto there = onMedium.find(key);
        const tree_file file{found.nFileSizeHigh, found.nFileSizeLow, found.ftLastWriteTime};
        if (!copyTreeFile(from, to, file, there == onMedium.end() ? nullptr : &there->second, flags)) return false;
    }
    return flags.running();
}

bool copy_manager::copyTreeFile(const CString& source, const CString& target, const tree_file& file,
                                const tree_file* onMedium, run_flags flags) {
    const LONGLONG size = static_cast<LONGLONG>((static_cast<ULONGLONG>(file.sizeHigh) << 32) | file.sizeLow);
    // The copy keeps the last-write time, so a file on the medium with the
    // source's size and time is taken for the copy it was. Size alone is
    // what an interrupted or failed copy leaves too.
    const bool copied = onMedium && onMedium->sizeHigh == file.sizeHigh && onMedium->sizeLow == file.sizeLow &&
                        CompareFileTime(&onMedium->lastWrite, &file.lastWrite) == 0;
    if (!copied) {
        UINT32 crc = 0;
        bool ok = writeTreeFile(source, target, file.lastWrite, crc, flags);
        if (ok) ok = fileFault(L"tree-copy", target) == 0;
        // Checked like every other file on the medium: read back past the
        // cache and compared with what was read from the source.
        unzip_worker worker;
        if (ok && !worker.crc_check_copy(target, crc, nullptr, 0, flags)) {
            ok = false;
            if (flags.running()) LOG_WRITE(L"[copyTree] copy not confirmed by its read-back [file:%s]", target.GetString());
        }
        if (!ok) {
            if (flags.running()) worker_manager::getInstance()->removeFile(target);
            return false;
        }
    }
    m_pPackageBoard->addCurrentSize(size);
    m_pPackageBoard->addCurrentCount(1);
    return true;
}

bool copy_manager::writeTreeFile(const CString& source, const CString& target, const FILETIME& lastWrite,
                                 UINT32& crc, run_flags flags) {
    UniqueFileHandle in(CreateFileW(source.GetString(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                    FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!in) {
        LOG_WRITE(L"[copyTree][source][file:%s][ErrorCode:%d]", source.GetString(), static_cast<int>(GetLastError()));
        return false;
    }
    // Replaced from its first byte, write-through like every copy to the
    // medium; a read-only file left there is made writable first.
    UniqueFileHandle out(CreateFileW(target.GetString(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                                     FILE_ATTRIBUTE_NORMAL | FILE_FLAG_WRITE_THROUGH, nullptr));
    if (!out && GetLastError() == ERROR_ACCESS_DENIED &&
        SetFileAttributesW(target.GetString(), FILE_ATTRIBUTE_NORMAL)) {
        out.reset(CreateFileW(target.GetString(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL | FILE_FLAG_WRITE_THROUGH, nullptr));
    }
    if (!out) {
        LOG_WRITE(L"[copyTree][target][file:%s][ErrorCode:%d]", target.GetString(), static_cast<int>(GetLastError()));
        return false;
    }
    const chunk_lease buffer(kTreeChunkBytes);
    uLong value = crc32(0L, Z_NULL, 0);
    for (;;) {
        if (!flags.running()) return false;
        DWORD got = 0;
        if (!ReadFile(in.get(), buffer.data(), kTreeChunkBytes, &got, nullptr)) {
            LOG_WRITE(L"[copyTree][read][file:%s][ErrorCode:%d]", source.GetString(), static_cast<int>(GetLastError()));
            return false;
        }
        if (got == 0) break;
        value = crc32(value, buffer.data(), got);
        DWORD written = 0;
        if (!WriteFile(out.get(), buffer.data(), got, &written, nullptr) || written != got) {
            LOG_WRITE(L"[copyTree][write][file:%s][ErrorCode:%d]", target.GetString(), static_cast<int>(GetLastError()));
            return false;
        }
    }
    if (!SetFileTime(out.get(), nullptr, nullptr, &lastWrite)) {
        LOG_WRITE(L"[copyTree][time][file:%s][ErrorCode:%d]", target.GetString(), static_cast<int>(GetLastError()));
        return false;
    }
    crc = static_cast<UINT32>(value);
    return true;
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
