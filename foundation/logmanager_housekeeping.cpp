// Exit housekeeping of the log folder.
#include "foundation/logmanager.h"

#include <list>


void LogManager::deleteOldLogs() {
    deleteOldLogs(_time64(nullptr));
}

void LogManager::deleteOldLogs(__time64_t now) {
    if (!m_state) return;
    deleteByDate(now);
    deleteBySize();
}

namespace {

template <typename Visit>
void forEachFile(const CString& folder, Visit visit) {
    CFileFind find;
    BOOL more = find.FindFile(folder + L"*.*");
    while (more) {
        more = find.FindNextFile();
        if (find.IsDots() || find.IsDirectory()) continue;
        visit(find);
    }
}

}  // namespace

void LogManager::deleteByDate(__time64_t now) {
    int days = retainDays();
    if (days <= 0) return;
    std::vector<CString> stamps;
    for (int k = 0; k < days; ++k) {
        stamps.push_back(CTime(now - static_cast<__time64_t>(k) * 86400).Format(L"%Y%m%d"));
    }
    std::vector<CString> doomed;
    forEachFile(folder(), [&](const CFileFind& f) {
        // The stamp must stand right before the last "." of the file name
        // (or at its end). Only the name counts: a folder path that happens
        // to hold a date stamp must not decide anything.
        CString name = f.GetFileName();
        int dot = name.ReverseFind(L'.');
        int end = dot < 0 ? name.GetLength() : dot;
        CString stamp = end >= 8 ? name.Mid(end - 8, 8) : CString();
        for (const auto& s : stamps) {
            if (stamp == s) return;
        }
        doomed.push_back(f.GetFilePath());
    });
    for (const auto& path : doomed) DeleteFileW(path.GetString());
}

void LogManager::deleteBySize() {
    ULONGLONG limit = byteLimit();
    if (limit == 0) return;
    struct Entry {
        __time64_t written;
        CString path;
        ULONGLONG size;
    };
    std::list<Entry> files;  // oldest first; equal times keep folder order
    ULONGLONG total = 0;
    forEachFile(folder(), [&](const CFileFind& f) {
        CTime t;
        f.GetLastWriteTime(t);
        Entry e{t.GetTime(), f.GetFilePath(), f.GetLength()};
        total += e.size;
        auto at = files.begin();
        while (at != files.end() && at->written <= e.written) ++at;
        files.insert(at, e);
    });
    while (total > limit && !files.empty()) {
        if (DeleteFileW(files.front().path.GetString())) total -= files.front().size;
        files.pop_front();
    }
}
