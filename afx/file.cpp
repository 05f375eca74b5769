#include "afx/file.h"

CFile::CFile(LPCWSTR fileName, UINT openFlags) {
    CFileException e;
    if (!Open(fileName, openFlags, &e)) AfxThrowFileException(e.m_cause, e.m_lOsError, fileName);
}

CFile::~CFile() {
    if (m_hFile != INVALID_HANDLE_VALUE && m_bCloseOnDelete) Abort();
}

BOOL CFile::Open(LPCWSTR fileName, UINT openFlags, CFileException* error) {
    if (m_hFile != INVALID_HANDLE_VALUE) Abort();
    m_strFileName = fileName;

    DWORD access = 0;
    switch (openFlags & 3) {
    case modeRead: access = GENERIC_READ; break;
    case modeWrite: access = GENERIC_WRITE; break;
    case modeReadWrite: access = GENERIC_READ | GENERIC_WRITE; break;
    default: break;
    }
    DWORD share = 0;
    switch (openFlags & 0x70) {
    case shareDenyWrite: share = FILE_SHARE_READ; break;
    case shareDenyRead: share = FILE_SHARE_WRITE; break;
    case shareDenyNone: share = FILE_SHARE_READ | FILE_SHARE_WRITE; break;
    default: break;  // compat and exclusive share nothing
    }
    DWORD disposition = OPEN_EXISTING;
    if (openFlags & modeCreate) disposition = (openFlags & modeNoTruncate) ? OPEN_ALWAYS : CREATE_ALWAYS;

    DWORD attributes = FILE_ATTRIBUTE_NORMAL;
    if (openFlags & osNoBuffer) attributes |= FILE_FLAG_NO_BUFFERING;
    if (openFlags & osWriteThrough) attributes |= FILE_FLAG_WRITE_THROUGH;
    if (openFlags & osRandomAccess) attributes |= FILE_FLAG_RANDOM_ACCESS;
    if (openFlags & osSequentialScan) attributes |= FILE_FLAG_SEQUENTIAL_SCAN;

    SECURITY_ATTRIBUTES sa{sizeof(sa), nullptr, (openFlags & modeNoInherit) ? FALSE : TRUE};
    HANDLE h = CreateFileW(fileName, access, share, &sa, disposition, attributes, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        if (error) {
            LONG os = static_cast<LONG>(GetLastError());
            error->m_lOsError = os;
            error->m_cause = CFileException::OsErrorToException(os);
            error->m_strFileName = fileName;
        }
        return FALSE;
    }
    m_hFile = h;
    m_bCloseOnDelete = TRUE;
    return TRUE;
}

void CFile::throwLastError() const {
    LONG os = static_cast<LONG>(GetLastError());
    AfxThrowFileException(CFileException::OsErrorToException(os), os, m_strFileName);
}

UINT CFile::Read(void* buffer, UINT count) {
    if (count == 0) return 0;
    DWORD read = 0;
    if (!ReadFile(m_hFile, buffer, count, &read, nullptr)) throwLastError();
    return read;
}

void CFile::Write(const void* buffer, UINT count) {
    if (count == 0) return;
    DWORD written = 0;
    if (!WriteFile(m_hFile, buffer, count, &written, nullptr)) throwLastError();
    if (written < count) AfxThrowFileException(CFileException::diskFull, ERROR_DISK_FULL, m_strFileName);
}

ULONGLONG CFile::Seek(LONGLONG offset, UINT from) {
    LARGE_INTEGER li;
    li.QuadPart = offset;
    LARGE_INTEGER pos;
    if (!SetFilePointerEx(m_hFile, li, &pos, from)) throwLastError();
    return static_cast<ULONGLONG>(pos.QuadPart);
}

ULONGLONG CFile::GetPosition() const {
    LARGE_INTEGER zero{};
    LARGE_INTEGER pos;
    if (!SetFilePointerEx(m_hFile, zero, &pos, FILE_CURRENT)) throwLastError();
    return static_cast<ULONGLONG>(pos.QuadPart);
}

ULONGLONG CFile::GetLength() const {
    LARGE_INTEGER size;
    if (!GetFileSizeEx(m_hFile, &size)) throwLastError();
    return static_cast<ULONGLONG>(size.QuadPart);
}

void CFile::SetLength(ULONGLONG newLength) {
    Seek(static_cast<LONGLONG>(newLength), begin);
    if (!SetEndOfFile(m_hFile)) throwLastError();
}

void CFile::Flush() {
    if (m_hFile != INVALID_HANDLE_VALUE && !FlushFileBuffers(m_hFile)) throwLastError();
}

void CFile::Close() {
    if (m_hFile == INVALID_HANDLE_VALUE) return;
    HANDLE h = m_hFile;
    m_hFile = INVALID_HANDLE_VALUE;
    if (!CloseHandle(h)) {
        LONG os = static_cast<LONG>(GetLastError());
        AfxThrowFileException(CFileException::OsErrorToException(os), os, m_strFileName);
    }
}

void CFile::Abort() {
    if (m_hFile == INVALID_HANDLE_VALUE) return;
    CloseHandle(m_hFile);
    m_hFile = INVALID_HANDLE_VALUE;
}

CString CFile::GetFileName() const {
    int p = m_strFileName.ReverseFind(L'\\');
    int q = m_strFileName.ReverseFind(L'/');
    if (q > p) p = q;
    return m_strFileName.Mid(p + 1);
}

void CFile::Remove(LPCWSTR fileName) {
    if (!DeleteFileW(fileName)) {
        LONG os = static_cast<LONG>(GetLastError());
        AfxThrowFileException(CFileException::OsErrorToException(os), os, fileName);
    }
}

void CFile::Rename(LPCWSTR oldName, LPCWSTR newName) {
    if (!MoveFileW(oldName, newName)) {
        LONG os = static_cast<LONG>(GetLastError());
        AfxThrowFileException(CFileException::OsErrorToException(os), os, oldName);
    }
}

// ------------------------------------------------------------ CStdioFile

BOOL CStdioFile::Open(LPCWSTR fileName, UINT openFlags, CFileException* error) {
    m_text = (openFlags & typeBinary) == 0;
    m_pending.Empty();
    return CFile::Open(fileName, openFlags & ~static_cast<UINT>(typeText | typeBinary), error);
}

bool CStdioFile::fill() {
    char buf[4096];
    UINT n = CFile::Read(buf, sizeof(buf));
    if (n == 0) return false;
    m_pending.Append(buf, static_cast<int>(n));
    return true;
}

BOOL CStdioFile::ReadString(CString& line) {
    line.Empty();
    int nl;
    while ((nl = m_pending.Find('\n')) < 0) {
        if (!fill()) break;
    }
    if (nl < 0 && m_pending.IsEmpty()) return FALSE;
    CStringA raw = nl < 0 ? m_pending : m_pending.Left(nl);
    m_pending = nl < 0 ? CStringA() : m_pending.Mid(nl + 1);
    if (m_text && !raw.IsEmpty() && raw[raw.GetLength() - 1] == '\r') raw.Truncate(raw.GetLength() - 1);
    line = MultiByteToWide(raw.GetString(), CP_ACP, raw.GetLength());
    return TRUE;
}

void CStdioFile::WriteString(LPCWSTR text) {
    CString t(text);
    if (m_text) t.Replace(L"\n", L"\r\n");
    CStringA bytes = WideToMultiByte(t.GetString(), CP_ACP, t.GetLength());
    CFile::Write(bytes.GetString(), static_cast<UINT>(bytes.GetLength()));
}

UINT CStdioFile::Read(void* buffer, UINT count) {
    UINT fromPending = 0;
    if (!m_pending.IsEmpty()) {
        fromPending = static_cast<UINT>(m_pending.GetLength()) < count ? static_cast<UINT>(m_pending.GetLength()) : count;
        memcpy(buffer, m_pending.GetString(), fromPending);
        m_pending = m_pending.Mid(static_cast<int>(fromPending));
    }
    if (fromPending == count) return count;
    return fromPending + CFile::Read(static_cast<char*>(buffer) + fromPending, count - fromPending);
}

ULONGLONG CStdioFile::Seek(LONGLONG offset, UINT from) {
    if (from == current) offset -= m_pending.GetLength();
    m_pending.Empty();
    return CFile::Seek(offset, from);
}
