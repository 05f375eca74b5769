#pragma once
// CFileFind: FindFile() starts a search, every FindNextFile() moves to the
// next entry and returns FALSE when the entry it moved to is the last one.
#include "afx/handle.h"
#include "afx/time.h"

class CFileFind {
public:
    CFileFind() = default;
    CFileFind(const CFileFind&) = delete;
    CFileFind& operator=(const CFileFind&) = delete;
    virtual ~CFileFind() { Close(); }

    BOOL FindFile(LPCWSTR pattern = nullptr, DWORD unused = 0);
    BOOL FindNextFile();
    void Close();

    CString GetFileName() const { return m_found.cFileName; }
    CString GetFilePath() const { return m_root + m_found.cFileName; }
    CString GetRoot() const { return m_root; }
    ULONGLONG GetLength() const;
    BOOL GetLastWriteTime(FILETIME* time) const;
    BOOL GetLastWriteTime(CTime& time) const;
    DWORD GetAttributes() const { return m_found.dwFileAttributes; }

    BOOL IsDots() const;
    BOOL IsDirectory() const { return MatchesMask(FILE_ATTRIBUTE_DIRECTORY); }
    BOOL IsReadOnly() const { return MatchesMask(FILE_ATTRIBUTE_READONLY); }
    BOOL IsHidden() const { return MatchesMask(FILE_ATTRIBUTE_HIDDEN); }
    BOOL IsSystem() const { return MatchesMask(FILE_ATTRIBUTE_SYSTEM); }
    BOOL MatchesMask(DWORD mask) const { return (m_found.dwFileAttributes & mask) != 0; }

private:
    UniqueFindHandle m_find;
    WIN32_FIND_DATAW m_next{};   // read ahead
    WIN32_FIND_DATAW m_found{};  // the current entry
    bool m_hasNext = false;
    CString m_root;  // folder of the pattern, with its trailing separator
};
