#pragma once
// The class library's exceptions: thrown as pointers, released by the
// catcher with Delete().
#include "afx/string.h"

class CException {
public:
    virtual ~CException() = default;
    void Delete() { delete this; }
    virtual BOOL GetErrorMessage(LPWSTR text, UINT maxChars, PUINT helpContext = nullptr) const;
};

class CMemoryException : public CException {
public:
    BOOL GetErrorMessage(LPWSTR text, UINT maxChars, PUINT helpContext = nullptr) const override;
};

class CFileException : public CException {
public:
    enum {
        none,
        genericException,
        fileNotFound,
        badPath,
        tooManyOpenFiles,
        accessDenied,
        invalidFile,
        removeCurrentDir,
        directoryFull,
        badSeek,
        hardIO,
        sharingViolation,
        lockViolation,
        diskFull,
        endOfFile,
    };

    explicit CFileException(int cause = none, LONG osError = -1, LPCWSTR fileName = nullptr)
        : m_cause(cause), m_lOsError(osError), m_strFileName(fileName) {}

    BOOL GetErrorMessage(LPWSTR text, UINT maxChars, PUINT helpContext = nullptr) const override;
    static int OsErrorToException(LONG osError);

    int m_cause;
    LONG m_lOsError;
    CString m_strFileName;
};

[[noreturn]] void AfxThrowFileException(int cause, LONG osError = -1, LPCWSTR fileName = nullptr);
[[noreturn]] void AfxThrowMemoryException();
