#include "shell/frame_rules.h"

#include "engine/vercheck_manager.h"

#include <string>

namespace frame_rules {

CString dataPathFor(const CString& stored, const CString& documents, const CString& downloads, bool& replace) {
    const CString earlierDefault = documents + L"\\Corvessa\\Kestrune\\Data";
    replace = stored.IsEmpty() || stored == earlierDefault;
    if (!replace) return stored;
    if (!downloads.IsEmpty()) return downloads + L"\\Kru";
    return documents + L"\\Kestrune\\Data";
}

bool isSafeDealerCode(const CString& code) {
    if (code.IsEmpty()) return false;
    if (code.Find(L"..") >= 0) return false;
    for (int i = 0; i < code.GetLength(); ++i) {
        wchar_t c = code[i];
        if (c < 0x20 || c == 0x7F) return false;
        if (wcschr(L"\\/:*?\"<>|", c)) return false;
    }
    // The name part before any dot decides whether Windows takes it for a
    // device ("CON.txt" opens the console).
    CString stem = code;
    int dot = stem.Find(L'.');
    if (dot >= 0) stem = stem.Left(dot);
    stem.TrimRight(L' ');
    stem.MakeUpper();
    static const wchar_t* const devices[] = {L"CON", L"PRN", L"AUX", L"NUL", L"CONIN$", L"CONOUT$"};
    for (const wchar_t* d : devices) {
        if (stem == d) return false;
    }
    if (stem.GetLength() == 4 && (stem.Left(3) == L"COM" || stem.Left(3) == L"LPT") && stem[3] >= L'0' &&
        stem[3] <= L'9') {
        return false;
    }
    return true;
}

CString dealerFileName(const CString& code) { return L"dealercode_" + code + L".txt"; }

std::string dealerFileBytes(const CString& code) {
    int n = WideCharToMultiByte(CP_UTF8, 0, code.GetString(), code.GetLength(), nullptr, 0, nullptr, nullptr);
    std::string bytes(n > 0 ? n : 0, '\0');
    if (n > 0) WideCharToMultiByte(CP_UTF8, 0, code.GetString(), code.GetLength(), &bytes[0], n, nullptr, nullptr);
    return bytes;
}

bool isCleanableFolder(const CString& folder, CString& normalised) {
    CString path = folder;
    path.Replace(L'/', L'\\');
    while (path.GetLength() > 1 && path[path.GetLength() - 1] == L'\\') path.Delete(path.GetLength() - 1);
    normalised.Empty();
    bool driveAbsolute = path.GetLength() >= 3 && iswalpha(path[0]) && path[1] == L':' && path[2] == L'\\';
    bool share = path.GetLength() >= 2 && path[0] == L'\\' && path[1] == L'\\';
    if (!driveAbsolute && !share) return false;
    if (path.Left(4) == L"\\\\?\\" || path.Left(4) == L"\\\\.\\") return false;
    if (driveAbsolute) {
        CString rest = path.Mid(3);
        rest.Trim(L'\\');
        if (rest.IsEmpty()) return false;
    } else {
        // "\\server\share" is the share's root.
        CString rest = path.Mid(2);
        int first = rest.Find(L'\\');
        if (first < 0 || rest.Find(L'\\', first + 1) < 0) return false;
    }
    DWORD attributes = GetFileAttributesW(path.GetString());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY)) return false;
    normalised = path + L"\\";
    return true;
}

CString ownName(const CString& folder) {
    CString path = folder;
    path.Replace(L'/', L'\\');
    path.TrimRight(L'\\');
    CString last = path.Mid(path.ReverseFind(L'\\') + 1);
    int dot = last.ReverseFind(L'.');
    return dot >= 0 ? last.Left(dot) : last;
}

bool carriesOwnFolderMark(const CString& folder) {
    CString mark = folder;
    mark.Replace(L'/', L'\\');
    mark.TrimRight(L'\\');
    if (mark.IsEmpty()) return false;
    mark += L"\\";
    mark += vercheck_manager::ownFolderMark();
    const DWORD attributes = GetFileAttributesW(mark.GetString());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

NetworkActions NetworkWatch::step(const NetworkPoll& poll) {
    NetworkActions out;
    if (poll.downloadsDone) return out;
    out.polled = true;
    out.setConnected = poll.connected;
    if (poll.connected) {
        m_lossReported = false;
        // Kept, the stop mark would make every later loss go unnoticed.
        out.clearStopped = poll.stopped;
        return out;
    }
    out.logLoss = true;
    // Without a root (before it exists or after it is gone) there is no
    // page to tell; the thread keeps polling so the flag stays true.
    if (!poll.rootExists) return out;
    if (poll.stopped || !poll.updatePageDownloading) return out;
    out.stop = true;
    if (!m_lossReported) {
        // The upload keeps a bounded text: one record per loss, not one a
        // second.
        out.record = true;
        out.notifyPage = true;
        m_lossReported = true;
    }
    return out;
}

}  // namespace frame_rules
