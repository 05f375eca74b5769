#include "afx/exception.h"

namespace {

BOOL copyMessage(const CString& msg, LPWSTR text, UINT maxChars) {
    if (!text || maxChars == 0) return FALSE;
    lstrcpynW(text, msg.GetString(), static_cast<int>(maxChars));
    return TRUE;
}

CString systemMessage(DWORD code) {
    wchar_t* buf = nullptr;
    DWORD n = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                 FORMAT_MESSAGE_IGNORE_INSERTS,
                             nullptr, code, 0, reinterpret_cast<wchar_t*>(&buf), 0, nullptr);
    CString msg;
    if (n && buf) msg = buf;
    if (buf) LocalFree(buf);
    msg.TrimRight();
    if (msg.IsEmpty()) msg.Format(L"error %lu", code);
    return msg;
}

}  // namespace

BOOL CException::GetErrorMessage(LPWSTR text, UINT maxChars, PUINT) const {
    return copyMessage(L"Unknown exception.", text, maxChars);
}

BOOL CMemoryException::GetErrorMessage(LPWSTR text, UINT maxChars, PUINT) const {
    return copyMessage(L"Out of memory.", text, maxChars);
}

BOOL CFileException::GetErrorMessage(LPWSTR text, UINT maxChars, PUINT) const {
    CString msg;
    if (m_lOsError > 0) {
        msg = systemMessage(static_cast<DWORD>(m_lOsError));
    } else {
        msg.Format(L"File error %d.", m_cause);
    }
    if (!m_strFileName.IsEmpty()) msg = m_strFileName + L": " + msg;
    return copyMessage(msg, text, maxChars);
}

int CFileException::OsErrorToException(LONG osError) {
    switch (osError) {
    case NO_ERROR: return none;
    case ERROR_FILE_NOT_FOUND: return fileNotFound;
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NETPATH:
    case ERROR_BAD_PATHNAME:
    case ERROR_INVALID_NAME:
    case ERROR_FILENAME_EXCED_RANGE: return badPath;
    case ERROR_TOO_MANY_OPEN_FILES: return tooManyOpenFiles;
    case ERROR_ACCESS_DENIED:
    case ERROR_WRITE_PROTECT:
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS: return accessDenied;
    case ERROR_INVALID_HANDLE: return invalidFile;
    case ERROR_CURRENT_DIRECTORY: return removeCurrentDir;
    case ERROR_CANNOT_MAKE: return directoryFull;
    case ERROR_SEEK:
    case ERROR_NEGATIVE_SEEK: return badSeek;
    case ERROR_SHARING_VIOLATION: return sharingViolation;
    case ERROR_LOCK_VIOLATION: return lockViolation;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL: return diskFull;
    case ERROR_HANDLE_EOF: return endOfFile;
    case ERROR_CRC:
    case ERROR_NOT_READY:
    case ERROR_SECTOR_NOT_FOUND:
    case ERROR_GEN_FAILURE:
    case ERROR_DEV_NOT_EXIST: return hardIO;
    default: return genericException;
    }
}

void AfxThrowFileException(int cause, LONG osError, LPCWSTR fileName) {
    throw new CFileException(cause, osError, fileName);
}

void AfxThrowMemoryException() {
    throw new CMemoryException();
}
