// Exit housekeeping of the log folder.
#include "foundation/logmanager_state.h"

#include <list>

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

// A drive or share folder: a relative one would reach wherever the process
// stands, an empty one the current drive's root.
bool isAbsoluteFolder(const CString& folder) {
    if (folder.GetLength() >= 3 && iswalpha(folder[0]) && folder[1] == L':' &&
        (folder[2] == L'\\' || folder[2] == L'/')) {
        return true;
    }
    return folder.GetLength() >= 3 && folder[0] == L'\\' && folder[1] == L'\\';
}

// The day k days before today, as the writers stamp file names: calendar
// arithmetic on the writers' own clock (GetLocalTime), with no time zone of
// the C runtime in between.
CString stampDaysBefore(const SYSTEMTIME& today, int k) {
    SYSTEMTIME noon = today;
    noon.wHour = 12;
    noon.wMinute = noon.wSecond = noon.wMilliseconds = 0;
    FILETIME ft;
    if (!SystemTimeToFileTime(&noon, &ft)) return CString();
    ULARGE_INTEGER t;
    t.LowPart = ft.dwLowDateTime;
    t.HighPart = ft.dwHighDateTime;
    t.QuadPart -= static_cast<ULONGLONG>(k) * 864000000000ULL;
    ft.dwLowDateTime = t.LowPart;
    ft.dwHighDateTime = t.HighPart;
    SYSTEMTIME day;
    if (!FileTimeToSystemTime(&ft, &day)) return CString();
    CString stamp;
    stamp.Format(L"%04d%02d%02d", day.wYear, day.wMonth, day.wDay);
    return stamp;
}

bool isDigits(const CString& text) {
    for (int i = 0; i < text.GetLength(); ++i) {
        if (text[i] < L'0' || text[i] > L'9') return false;
    }
    return !text.IsEmpty();
}

}  // namespace

void LogManager::deleteOldLogs() {
    SYSTEMTIME today;
    GetLocalTime(&today);
    deleteOldLogs(today);
}

void LogManager::deleteOldLogs(const SYSTEMTIME& today) {
    if (!m_state) return;
    if (!isAbsoluteFolder(folder())) return;
    deleteByDate(today);
    deleteBySize();
}

CString LogManager::writtenStamp(const CString& name) const {
    // Only names this manager's writers produce: "<stem>_YYYYMMDD<ext>" of a
    // registered file name. Anything else in the folder is not ours to judge.
    for (const auto& writer : m_state->byName) {
        const CString& file = writer.first;
        const int dot = file.ReverseFind(L'.');
        const CString stem = dot >= 1 ? file.Left(dot) : file;
        const CString ext = dot >= 1 ? file.Mid(dot) : CString();
        if (name.GetLength() != stem.GetLength() + 9 + ext.GetLength()) continue;
        if (name.Left(stem.GetLength()).CompareNoCase(stem) != 0 || name[stem.GetLength()] != L'_') continue;
        if (name.Right(ext.GetLength()).CompareNoCase(ext) != 0) continue;
        const CString stamp = name.Mid(stem.GetLength() + 1, 8);
        if (isDigits(stamp)) return stamp;
    }
    return CString();
}

void LogManager::deleteByDate(const SYSTEMTIME& today) {
    int days = retainDays();
    if (days <= 0) return;
    std::vector<CString> stamps;
    for (int k = 0; k < days; ++k) stamps.push_back(stampDaysBefore(today, k));
    std::vector<CString> doomed;
    forEachFile(folder(), [&](const CFileFind& f) {
        const CString stamp = writtenStamp(f.GetFileName());
        if (stamp.IsEmpty()) return;
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
        if (writtenStamp(f.GetFileName()).IsEmpty()) return;
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
