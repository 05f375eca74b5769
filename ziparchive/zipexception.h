#pragma once
// The zip reader's error object. Raised as a heap object and caught by
// pointer; the catcher calls Delete(), as with every class-library exception.
#include "afx/exception.h"

class CZipException : public CException {
public:
    // Causes as the transfer engine logs them.
    enum {
        generic = 1,
        streamEnd,       // zlib Z_STREAM_END where none was expected
        needDict,        // zlib Z_NEED_DICT
        errNo,           // zlib Z_ERRNO
        streamError,     // zlib Z_STREAM_ERROR
        dataError,       // zlib Z_DATA_ERROR: corrupt compressed data
        memError,        // zlib Z_MEM_ERROR
        bufError,        // zlib Z_BUF_ERROR
        versionError,    // zlib Z_VERSION_ERROR
        badZipFile,      // structure inconsistent, short read, unsupported method
        badCrc,          // extracted data does not match the header's CRC-32
        noCallback,      // split archive on a removable drive
        aborted,         // the disk change was declined
        nonRemovable,
        tooManyVolumes,
        tooLongFileName,
        badPassword,
        cdirNotFound,    // no end-of-central-directory record
    };

    // The reader's own error codes, next to zlib's return values.
    enum {
        ZIP_BADZIPFILE = -101,
        ZIP_BADCRC = -102,
        ZIP_NOCALLBACK = -103,
        ZIP_ABORTED = -104,
        ZIP_NONREMOVABLE = -105,
        ZIP_TOOMANYVOLUMES = -106,
        ZIP_TOOLONGFILENAME = -107,
        ZIP_BADPASSWORD = -108,
        ZIP_CDIR_NOTFOUND = -109,
    };

    explicit CZipException(int cause = generic, LPCWSTR fileName = nullptr)
        : m_szFileName(fileName), m_iCause(cause) {}

    BOOL GetErrorMessage(LPWSTR text, UINT maxChars, PUINT helpContext = nullptr) const override;

    // zlib return value or reader code -> cause.
    static int ZipErrToCause(int code);

    CString m_szFileName;  // archive or volume being read; empty when none was open
    int m_iCause;
};

// Maps the code to its cause and throws. zlib's Z_OK raises nothing.
[[noreturn]] void ThrowZipException(int code, LPCWSTR fileName = nullptr);
