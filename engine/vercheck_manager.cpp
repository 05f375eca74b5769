#include "engine/vercheck_manager.h"

#include "afx/handle.h"
#include "engine/score_board.h"
#include "engine/package_names.h"
#include "engine/transfer_rules.h"
#include "foundation/common_util.h"
#include "foundation/globalfunc.h"
#include "foundation/logmanager.h"
#include "foundation/private_messages.h"
#include "foundation/utilmanager.h"

#include <shlwapi.h>

#include <thread>

namespace {

CString normalizedFolder(CString folder) {
    folder.Replace(L"/", L"\\");
    while (folder.Find(L"\\\\", 1) >= 0) {
        // Keep a UNC start; fold doubled separators after it.
        int at = folder.Find(L"\\\\", 1);
        folder.Delete(at, 1);
    }
    return folder;
}

CString withSeparator(const CString& folder) {
    if (!folder.IsEmpty() && folder[folder.GetLength() - 1] != L'\\') return folder + L'\\';
    return folder;
}

// A version file is small; anything larger than this is not one.
constexpr LONGLONG kMaxVersionFileBytes = 64LL << 20;

bool readWholeFile(const CString& path, std::string& bytes) {
    HANDLE file = CreateFileW(path.GetString(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    LARGE_INTEGER size{};
    bool ok = GetFileSizeEx(file, &size) && size.QuadPart > 0 && size.QuadPart <= kMaxVersionFileBytes;
    if (ok) {
        bytes.resize(static_cast<size_t>(size.QuadPart));
        DWORD read = 0;
        ok = ReadFile(file, &bytes[0], static_cast<DWORD>(bytes.size()), &read, nullptr) && read == bytes.size();
    }
    CloseHandle(file);
    return ok;
}

}  // namespace

bool readUnicodeTextFile(CString& text, const CString& path) {
    std::string bytes;
    if (!readWholeFile(path, bytes) || bytes.size() < 2) return false;
    if (static_cast<unsigned char>(bytes[0]) != 0xFF || static_cast<unsigned char>(bytes[1]) != 0xFE) return false;
    std::wstring units((bytes.size() - 2) / 2, L'\0');
    if (!units.empty()) memcpy(&units[0], bytes.data() + 2, units.size() * sizeof(wchar_t));
    text = CString(units.c_str(), static_cast<int>(units.size()));
    return true;
}

bool readByteTextFile(CString& text, const CString& path) {
    std::string bytes;
    if (!readWholeFile(path, bytes)) return false;
    size_t start = 0;
    if (bytes.size() >= 3 && bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) start = 3;
    CStringW decoded;
    if (TryUtf8ToWide(bytes.data() + start, static_cast<int>(bytes.size() - start), decoded)) {
        text = decoded;
        return true;
    }
    // Not UTF-8 (an editor saved it in a code page): every byte stands for
    // itself, which keeps ASCII names readable.
    CString result;
    for (size_t i = start; i < bytes.size(); ++i) result += static_cast<wchar_t>(static_cast<unsigned char>(bytes[i]));
    text = result;
    return true;
}

bool vercheck_manager::caseless_less::operator()(const CString& a, const CString& b) const {
    return CompareStringOrdinal(a.GetString(), a.GetLength(), b.GetString(), b.GetLength(), TRUE) == CSTR_LESS_THAN;
}

vercheck_manager& vercheck_manager::getInstance() {
    static vercheck_manager manager;
    return manager;
}

vercheck_manager::vercheck_manager() : m_pBoard(&score_board::getBoards()[BOARD_CHECK_AND_COPY]) {}

void vercheck_manager::setDownloadFolder(const CString& folder) {
    std::lock_guard<std::mutex> hold(m_folderLock);
    m_strDownloadFolder = normalizedFolder(folder);
}

CString vercheck_manager::getDownloadFolder() const {
    std::lock_guard<std::mutex> hold(m_folderLock);
    return m_strDownloadFolder;
}

void vercheck_manager::checkMedium() {
    std::lock_guard<std::mutex> one(m_checkLock);
    m_bRunning = true;
    m_observers.post_message_all(UM_TRANSFER_PHASE, TRANSFER_PHASE_CHECK, 0);

    const int result = runCheck();

    if (buildKeepSet() > 0) {
        for (ver_file* element : ver_file_list::getInstance().elements()) {
            if (!element || !element->m_pHead) continue;
            const CString name = element->m_pHead->getVerName();
            CString folder = cleanableFolder(name);
            if (folder.IsEmpty()) continue;
            // The name comes from the service and the download folder may be
            // a profile folder or a drive root: a folder of that name that
            // we did not make (no version file of ours in it) is the user's.
            const DWORD attributes = GetFileAttributesW(folder.GetString());
            if (attributes == INVALID_FILE_ATTRIBUTES) continue;
            if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) {
                LOG_WRITE(L"[precheck] folder is a link, left alone [folder:%s]", folder.GetString());
                continue;
            }
            if (m_ownFolders.count(name) == 0) {
                LOG_WRITE(L"[precheck] folder without its version file, left alone [folder:%s]", folder.GetString());
                continue;
            }
            cleanFolder(folder);
        }
    }
    m_keep.clear();
    m_ownFolders.clear();

    m_bRunning = false;
    m_observers.post_message_all(UM_CHECK_COMPLETE, 0, result != 0 ? 1 : 0);
}

int vercheck_manager::runCheck() {
    {
        std::lock_guard<std::mutex> hold(m_queueLock);
        m_queue.clear();
    }
    m_pBoard->setTotalSize(0);
    m_pBoard->setCurrentSize(0);
    m_pBoard->setTotalCount(0);
    m_pBoard->setCurrentCount(0);

    {
        std::lock_guard<std::mutex> hold(m_listLock);
        m_recorded.clear();
    }

    const CString folder = getDownloadFolder();
    m_ownFolders.clear();
    for (ver_file* element : ver_file_list::getInstance().elements()) {
        if (!element || !element->m_pHead) continue;
        const CString name = element->m_pHead->getVerName();
        if (name.IsEmpty()) continue;
        const CString own = cleanableFolder(name);
        const bool ours = !own.IsEmpty() && markedAsOurs(own);
        CString path = withSeparator(folder) + name + L"\\";
        path.AppendFormat(L"%s.ver", name.GetString());
        if (!CGlobalFunc::isFileExist(path, FALSE)) continue;
        if (ours) m_ownFolders.insert(name);
        CString text;
        if (!readUnicodeTextFile(text, path) && !readByteTextFile(text, path)) continue;
        auto data = std::make_unique<ver_file_data>();
        data->parse(text);
        std::lock_guard<std::mutex> hold(m_listLock);
        m_recorded.push_back(std::move(data));
    }

    InfFileUpdateList::getInstance().forEach([this](int, InfFileUpdate* item) {
        enqueueItem(item);
        return true;
    });

    std::thread worker([this] { workerLoop(); });
    worker.join();

    ver_file_list::getInstance().write(folder, VER_WRITE_PRECHECK);
    return 1;
}

void vercheck_manager::enqueueItem(InfFileUpdate* item) {
    if (!item) return;
    const LONGLONG size = item->getFileSize();
    m_pBoard->addTotalSize(size);
    m_pBoard->addTotalCount(1);
    const int state = item->m_nState;
    if (item->m_nUsable == 1 && item->m_nKind == 2 && (state == ITEM_STATE_NEW || state == ITEM_STATE_CHECKING)) {
        std::lock_guard<std::mutex> hold(m_queueLock);
        m_queue.push_back(item);
    } else if (state >= ITEM_STATE_DOWNLOAD_READY) {
        m_pBoard->addCurrentSize(size);
        m_pBoard->addCurrentCount(1);
    }
}

void vercheck_manager::workerLoop() {
    while (m_bRunning.load()) {
        InfFileUpdate* item = nullptr;
        {
            std::lock_guard<std::mutex> hold(m_queueLock);
            if (m_queue.empty()) return;
            item = m_queue.front();
            m_queue.pop_front();
        }
        checkItem(item);
        m_pBoard->addCurrentSize(item->getFileSize());
        m_pBoard->addCurrentCount(1);
        if (m_afterItem) m_afterItem(item);
    }
}

void vercheck_manager::checkItem(InfFileUpdate* item) {
    item->m_nState = ITEM_STATE_CHECKING;
    const CString folder = getDownloadFolder();
    const CString local = item->getFilePath(folder);

    const recorded_entry recorded = findVerEntry(item);
    const ULONGLONG size = local.IsEmpty() ? kUnreadableSize : CUtilManager::getFileSize(local);
    const ULONGLONG wanted = static_cast<ULONGLONG>(item->getFileSize());
    const bool present = !local.IsEmpty() && CGlobalFunc::isFileExist(local, FALSE) && size != kUnreadableSize;
    const bool sameVersion = recorded.version == item->getVer();
    // A version-0 item without a line was never recorded: its size is all
    // there is to go by.
    const bool done = recorded.listed ? recorded.done : true;
    if (sameVersion && present && size == wanted) {
        if (isPackageName(item->getFileName())) {
            // A kept package is checked and extracted into its folders again.
            item->m_nState = ITEM_STATE_DOWNLOADED;
        } else if (done) {
            item->m_nState = ITEM_STATE_UNZIPPED;
            if (item->getVer() > 0) {
                for (int n = 0; n < item->getNumSpan(); ++n) {
                    CString piece = item->getPartPath(folder, n);
                    if (!piece.IsEmpty()) DeleteFileW(piece.GetString());
                }
            }
        } else {
            // Fetched but never checked (stopped before its unzip step):
            // the check runs, on the pieces where it fails.
            item->m_nState = ITEM_STATE_DOWNLOADED;
        }
    } else if (sameVersion && present && size < wanted && item->getNumSpan() == 0) {
        // A whole file cut short: the download resumes at its length.
        item->m_nState = ITEM_STATE_DOWNLOAD_READY;
    } else {
        if (!local.IsEmpty()) CGlobalFunc::deleteFile(local);
        item->m_nState = ITEM_STATE_DOWNLOAD_READY;
    }
    m_observers.post_message_all(UM_CHECK_ITEM_DONE, 0, 0);
}

vercheck_manager::recorded_entry vercheck_manager::findVerEntry(const InfFileUpdate* item) {
    std::lock_guard<std::mutex> hold(m_listLock);
    for (const auto& data : m_recorded) {
        for (const ver_file_entry* entry : data->entries) {
            if (!entry) continue;
            if (entry->getDestPath() == item->getDestPath() && entry->getFileName() == item->getFileName()) {
                recorded_entry found;
                found.listed = true;
                found.version = _wtoi(entry->getField(2).GetString());
                found.done = _wtoi(entry->getField(5).GetString()) == 1;
                return found;
            }
        }
    }
    return recorded_entry();
}

size_t vercheck_manager::buildKeepSet() {
    m_keep.clear();
    for (ver_file* element : ver_file_list::getInstance().elements()) {
        if (!element || !element->m_pHead) continue;
        const CString name = element->m_pHead->getVerName();
        if (name.IsEmpty()) continue;
        m_keep.insert(name + L"\\" + name + L".ver");
        m_keep.insert(name + L"\\" + ownFolderMark());
    }
    InfFileUpdateList::getInstance().forEach([this](int, InfFileUpdate* item) {
        if (!item) return true;
        CString file = item->getFilePath(CString());
        if (!file.IsEmpty()) m_keep.insert(file);
        for (int n = 0; n < item->getNumSpan(); ++n) {
            CString piece = item->getPartPath(CString(), n);
            if (!piece.IsEmpty()) m_keep.insert(piece);
        }
        return true;
    });
    return m_keep.size();
}

bool vercheck_manager::markedAsOurs(const CString& folder) {
    const CString mark = withSeparator(folder) + ownFolderMark();
    const DWORD attributes = GetFileAttributesW(folder.GetString());
    if (attributes != INVALID_FILE_ATTRIBUTES) {
        if (!(attributes & FILE_ATTRIBUTE_DIRECTORY) || (attributes & FILE_ATTRIBUTE_REPARSE_POINT)) return false;
        const DWORD markAttributes = GetFileAttributesW(mark.GetString());
        return markAttributes != INVALID_FILE_ATTRIBUTES && !(markAttributes & FILE_ATTRIBUTE_DIRECTORY);
    }
    // Not there: this run makes it (with the download folder when that is
    // missing too), so it is ours.
    common_util::ensure_directory(mark);
    if (GetFileAttributesW(folder.GetString()) == INVALID_FILE_ATTRIBUTES) return false;
    UniqueFileHandle file(CreateFileW(mark.GetString(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                      FILE_ATTRIBUTE_HIDDEN, nullptr));
    if (!file) {
        LOG_WRITE(L"[precheck] folder mark not written [file:%s][err:%lu]", mark.GetString(), GetLastError());
        return false;
    }
    return true;
}

CString vercheck_manager::cleanableFolder(const CString& verName) const {
    const CString root = getDownloadFolder();
    // A relative download folder would be resolved against whatever the
    // current folder is; an empty one against the drive root.
    if (root.IsEmpty() || PathIsRelativeW(root.GetString())) return CString();
    CString name = verName;
    name.Trim();
    if (name.IsEmpty() || name.FindOneOf(L"\\/") >= 0 || !isContainedName(name) || name == L".") return CString();
    return withSeparator(root) + name;
}

void vercheck_manager::cleanFolder(const CString& folder) {
    const CString root = withSeparator(getDownloadFolder());
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((folder + L"\\*.*").GetString(), &found);
    if (search == INVALID_HANDLE_VALUE) return;
    do {
        const CString name = found.cFileName;
        if (name == L"." || name == L"..") continue;
        const CString path = folder + L"\\" + name;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            // A link could lead the walk out of the download folder.
            if (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) continue;
            cleanFolder(path);
            RemoveDirectoryW(path.GetString());
            continue;
        }
        if (path.GetLength() <= root.GetLength()) continue;
        const CString relative = path.Mid(root.GetLength());
        if (m_keep.count(relative) == 0) {
            if (!DeleteFileW(path.GetString())) {
                LOG_WRITE(L"[precheck] leftover not deleted [file:%s][err:%lu]", path.GetString(), GetLastError());
            }
        }
    } while (FindNextFileW(search, &found));
    FindClose(search);
}
