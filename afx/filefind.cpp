#include "afx/filefind.h"

BOOL CFileFind::FindFile(LPCWSTR pattern, DWORD) {
    Close();
    CString pat = pattern ? pattern : L"*.*";
    m_find.reset(FindFirstFileW(pat.GetString(), &m_next));
    if (!m_find) return FALSE;
    m_hasNext = true;
    int p = pat.ReverseFind(L'\\');
    int q = pat.ReverseFind(L'/');
    if (q > p) p = q;
    if (p < 0) p = pat.ReverseFind(L':');
    m_root = pat.Left(p + 1);
    return TRUE;
}

BOOL CFileFind::FindNextFile() {
    if (!m_find || !m_hasNext) return FALSE;
    m_found = m_next;
    m_hasNext = ::FindNextFileW(m_find.get(), &m_next) != FALSE;
    return m_hasNext ? TRUE : FALSE;
}

void CFileFind::Close() {
    m_find.reset();
    m_hasNext = false;
    m_root.Empty();
}

ULONGLONG CFileFind::GetLength() const {
    return (static_cast<ULONGLONG>(m_found.nFileSizeHigh) << 32) | m_found.nFileSizeLow;
}

BOOL CFileFind::GetLastWriteTime(FILETIME* time) const {
    if (!time) return FALSE;
    *time = m_found.ftLastWriteTime;
    return TRUE;
}

BOOL CFileFind::GetLastWriteTime(CTime& time) const {
    time = CTime(m_found.ftLastWriteTime);
    return TRUE;
}

BOOL CFileFind::IsDots() const {
    const wchar_t* n = m_found.cFileName;
    return IsDirectory() && n[0] == L'.' && (n[1] == 0 || (n[1] == L'.' && n[2] == 0));
}
