#include "descriptors/ver_file.h"

#include "afx/file.h"
#include "descriptors/path_join.h"
#include "foundation/logmanager.h"

#include <shlwapi.h>

namespace {

// The shortened destination of a medium line, terminator included.
constexpr int kMediumDestChars = 256;

int doneThreshold(int mode) {
    return mode == VER_WRITE_MEDIUM ? ITEM_STATE_COPIED : ITEM_STATE_UNZIPPED;
}

// dir\name\name.ver: the file lies in a folder of its own name.
CString versionFilePath(const CString& dir, const CString& verName) {
    CString folder = dir;
    if (!appendPath(folder, verName)) return CString();
    CString path = folder;
    if (path.IsEmpty() || (path[path.GetLength() - 1] != L'\\' && path[path.GetLength() - 1] != L'/')) path += L'\\';
    path += verName + L".ver";
    if (path.GetLength() >= MAX_PATH) return CString();
    return path;
}

// Every "\" level of the destination but the first: on the medium the
// destinations are relative to the folder that holds the version file.
CString mediumDestination(const CString& destination) {
    CString shortened;
    common_util::split(destination, L"\\", [&shortened](int index, const CString& piece) {
        if (index == 0) return true;
        CString joined = shortened;
        if (!appendPath(joined, piece) || joined.GetLength() >= kMediumDestChars) return false;
        shortened = joined;
        return true;
    });
    return shortened;
}

CString entryLine(const CString& destination, const InfFileTail* tail, int done) {
    CString line;
    line.Format(L"%s|%s|%d|%d|%llu|%d", destination.GetString(), tail->getFileName().GetString(), tail->getVer(),
                static_cast<int>(tail->getFileCrc()), static_cast<unsigned long long>(tail->getFileSize()), done);
    return line;
}

void appendUtf8Line(CStringA& buffer, const CString& line) {
    buffer += WideToMultiByte(line.GetString(), CP_UTF8);
    buffer += '\n';
}

// The sign-in reply makes repeated patterns unique with trailing blanks;
// they belong to no head-unit version.
CString firstAlternative(const CString& pattern) {
    int bar = pattern.Find(L'|');
    CString first = bar >= 0 ? pattern.Left(bar) : pattern;
    first.TrimRight(L' ');
    return first;
}

// An element whose vehicle is unknown (no first descriptor recorded) goes
// with the nearest common head.
bool sameVehicle(const ver_file& common, const ver_file& model) {
    return !common.m_pVehicle || !model.m_pVehicle || common.m_pVehicle == model.m_pVehicle;
}

// The items each common head lists, by element: its own, then those of the
// model elements of the same vehicle that follow it, up to the next common
// head of that vehicle. Model items would otherwise reach no file.
std::vector<std::vector<InfFileUpdate*>> listedItems(const std::vector<ver_file*>& elements) {
    std::vector<std::vector<InfFileUpdate*>> listed(elements.size());
    for (size_t i = 0; i < elements.size(); ++i) {
        const ver_file* element = elements[i];
        if (element->m_nType == VER_FILE_HVQ_COMMON) {
            listed[i].insert(listed[i].begin(), element->m_items.begin(), element->m_items.end());
            continue;
        }
        if (element->m_nType != VER_FILE_HVQ_MODEL) continue;
        for (size_t k = i; k-- > 0;) {
            if (elements[k]->m_nType != VER_FILE_HVQ_COMMON || !sameVehicle(*elements[k], *element)) continue;
            listed[k].insert(listed[k].end(), element->m_items.begin(), element->m_items.end());
            break;
        }
    }
    return listed;
}

}  // namespace

ver_file* ver_file::from_InfInfo(InfInfo* entry, int type) {
    if (!entry) return nullptr;
    InfFileHead* head = entry->getInfFileHead();
    auto* element = new ver_file(type, entry->getFirstDescriptor());

    element->m_pHead->setInfVersion(head ? head->getVersion() : CString());
    element->m_pHead->setSwVersion(firstAlternative(entry->getSwVersion()));
    element->m_pHead->setBrandCode(entry->getBrandCode());
    element->m_pHead->setVerName(head ? head->getInfBaseName() : CString());
    element->m_pHead->setModelCode(entry->getModelCode());
    element->m_pHead->setComplete(0);

    std::vector<InfFileTail*> tails;
    if (InfFileTailMap* map = entry->getInfFileTails()) {
        map->forEach([&tails](int, InfFileTail* tail) {
            tails.push_back(tail);
            return true;
        });
    }
    InfFileUpdateList& items = InfFileUpdateList::getInstance();
    for (InfFileTail* tail : tails) {
        InfFileUpdate* item = items.findByEntry(tail);
        if (!item) continue;
        if (item->m_guard.intact()) element->m_items.push_back(item);
        else LOG_WRITE(L"[InfFileUpdate] INVALID QUEUE ITEM - pop download queue");
    }
    return element;
}

ver_file_list& ver_file_list::getInstance() {
    static ver_file_list list;
    return list;
}

void ver_file_list::clear() {
    // A write on another thread walks the elements, their heads and items:
    // they go only once it has ended.
    std::lock_guard<std::mutex> lock(m_writeLock);
    for (ver_file* element : m_list) delete element;
    m_list.clear();
    m_nCleared = 1;
}

void ver_file_list::append(ver_file* element) {
    if (!element) return;
    std::lock_guard<std::mutex> lock(m_writeLock);
    m_list.push_back(element);
    m_nCleared = 0;
}

namespace {

// A drive or share path: a relative one would put the file wherever the
// process happens to stand.
bool isAbsoluteFolder(const CString& dir) {
    if (dir.GetLength() >= 3 && iswalpha(dir[0]) && dir[1] == L':' && (dir[2] == L'\\' || dir[2] == L'/')) return true;
    return dir.GetLength() >= 3 && (dir[0] == L'\\' || dir[0] == L'/') && (dir[1] == L'\\' || dir[1] == L'/');
}

// A reader, a virus scanner or an indexer may hold the old file for a moment
// without delete sharing; giving up at once lost the write (the medium kept a
// head that never read as complete). Half a second at most, then the old
// file stays and the failure is logged.
bool replaceWithRetries(const CString& temporary, const CString& path) {
    for (int attempt = 0;; ++attempt) {
        if (MoveFileExW(temporary.GetString(), path.GetString(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            return true;
        const DWORD error = GetLastError();
        if (attempt >= 20 || (error != ERROR_SHARING_VIOLATION && error != ERROR_ACCESS_DENIED)) {
            SetLastError(error);
            return false;
        }
        Sleep(25);
    }
}

}  // namespace

void ver_file_list::write(CString dir, int mode) {
    if (m_nCleared.load() != 0) return;
    if (!isAbsoluteFolder(dir)) {
        LOG_WRITE(L"[WARNING] version file not written: no absolute folder [dir:%s]", dir.GetString());
        return;
    }
    // Every write carries state another may lack (the copy's last "complete"
    // while the unzip side writes), so none is skipped: they take turns.
    ++m_nBusy;
    {
        std::lock_guard<std::mutex> lock(m_writeLock);
        if (m_nCleared.load() == 0) writeLocked(dir, mode);
        // Still under the lock: whoever takes it next finds no write busy.
        --m_nBusy;
    }
}

void ver_file_list::writeLocked(const CString& dir, int mode) {

    const InfFileUpdateList& updates = InfFileUpdateList::getInstance();
    const bool writable = mode >= 0 && mode <= VER_WRITE_MEDIUM;
    const int threshold = doneThreshold(mode);

    std::vector<ver_file*> elements(m_list.begin(), m_list.end());
    const std::vector<std::vector<InfFileUpdate*>> listed = listedItems(elements);

    CString path;
    CStringA buffer;
    for (size_t i = 0; writable && i < elements.size(); ++i) {
        ver_file* element = elements[i];
        if (element->m_nType != VER_FILE_HVQ_COMMON) continue;
        ver_file_head* head = element->m_pHead;

        // A head that lists nothing (its descriptor read without items, or
        // the items gone) would mark a vehicle up to date that got nothing.
        int complete = 0;
        for (InfFileUpdate* item : listed[i]) {
            if (!updates.findEntry(item)) continue;
            complete = 1;
            if (mode != 0 && item->m_nState < threshold) {
                complete = 0;
                break;
            }
        }
        head->setComplete(complete);

        CString verName = head->getVerName();
        if (verName.IsEmpty() || !isContainedName(verName)) {
            // No descriptor was read for it, or its name would leave dir.
            LOG_WRITE(L"[WARNING] version file without a usable name skipped [name:%s]", verName.GetString());
            continue;
        }
        if (path.IsEmpty()) {
            path = versionFilePath(dir, verName);
            if (mode == VER_WRITE_MEDIUM) common_util::normalize_path(path, dir);
        }

        appendUtf8Line(buffer, head->serialize());
        for (InfFileUpdate* item : listed[i]) {
            const InfFileTail* tail = updates.findEntry(item);
            if (!tail) continue;
            int done = item->m_nState >= threshold ? 1 : 0;
            CString destination = tail->getDestPath();
            if (mode == VER_WRITE_MEDIUM) {
                destination = mediumDestination(destination);
            } else if (tail->getFileType() == INF_FILE_TYPE_HVQ_MODEL) {
                // The model descriptor's name gives way to the head's, the
                // folder the item was placed in beside the common files.
                destination = replaceDestinationRoot(destination, verName);
            }
            appendUtf8Line(buffer, entryLine(destination, tail, done));
        }
    }

    if (path.IsEmpty()) {
        LOG_WRITE(L"\n[WARNING] version filename not assigned.\n\n");
        return;
    }

    SetFileAttributesW(path.GetString(), FILE_ATTRIBUTE_NORMAL);
    common_util::ensure_directory(path);

    // The file is written whole under a temporary name and then renamed over
    // the old one: a medium pulled out mid-write leaves the old file or the
    // new one, never a half file that reads as complete.
    CString temporary = path + L".tmp";
    CFile file;
    CFileException error;
    if (!file.Open(temporary.GetString(),
                   CFile::modeCreate | CFile::modeWrite | CFile::shareDenyWrite | CFile::osWriteThrough, &error)) {
        LOG_WRITE(L"File Open Failed.[file:%s] (error code : %d)\n", temporary.GetString(), error.m_cause);
        return;
    }
    bool written = false;
    try {
        file.Write(buffer.GetString(), static_cast<UINT>(buffer.GetLength()));
        file.Flush();
        file.Close();
        written = true;
    } catch (CFileException* e) {
        LOG_WRITE(L"[FileOperationError][File:%s][ErrorCode:%d]", temporary.GetString(),
                  static_cast<int>(GetLastError()));
        e->Delete();
        file.Abort();
    }
    if (written && !replaceWithRetries(temporary, path)) {
        LOG_WRITE(L"[FileOperationError][File:%s][ErrorCode:%d]", path.GetString(), static_cast<int>(GetLastError()));
        written = false;
    }
    if (!written) DeleteFileW(temporary.GetString());
}
