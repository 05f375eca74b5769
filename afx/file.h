#pragma once
// CFile: a file handle with the class library's open flags. Open() reports
// failure through its return value and the optional CFileException; Read,
// Write, Seek and the other calls throw a CFileException* on failure.
#include "afx/exception.h"

class CFile {
public:
    enum OpenFlags : UINT {
        modeRead = 0x0000,
        modeWrite = 0x0001,
        modeReadWrite = 0x0002,
        shareCompat = 0x0000,
        shareExclusive = 0x0010,
        shareDenyWrite = 0x0020,
        shareDenyRead = 0x0030,
        shareDenyNone = 0x0040,
        modeNoInherit = 0x0080,
        modeCreate = 0x1000,
        modeNoTruncate = 0x2000,
        typeText = 0x4000,
        typeBinary = 0x8000,
        osNoBuffer = 0x10000,
        osWriteThrough = 0x20000,
        osRandomAccess = 0x40000,
        osSequentialScan = 0x80000,
    };
    enum SeekPosition : UINT { begin = FILE_BEGIN, current = FILE_CURRENT, end = FILE_END };

    CFile() = default;
    explicit CFile(HANDLE h) : m_hFile(h), m_bCloseOnDelete(FALSE) {}
    CFile(LPCWSTR fileName, UINT openFlags);  // throws on failure
    CFile(const CFile&) = delete;
    CFile& operator=(const CFile&) = delete;
    virtual ~CFile();

    virtual BOOL Open(LPCWSTR fileName, UINT openFlags, CFileException* error = nullptr);
    virtual UINT Read(void* buffer, UINT count);
    virtual void Write(const void* buffer, UINT count);
    virtual ULONGLONG Seek(LONGLONG offset, UINT from);
    ULONGLONG SeekToEnd() { return Seek(0, end); }
    void SeekToBegin() { Seek(0, begin); }
    virtual ULONGLONG GetPosition() const;
    virtual ULONGLONG GetLength() const;
    virtual void SetLength(ULONGLONG newLength);
    virtual void Flush();
    virtual void Close();
    // Closes without throwing.
    virtual void Abort();

    CString GetFilePath() const { return m_strFileName; }
    CString GetFileName() const;
    operator HANDLE() const { return m_hFile; }

    static void Remove(LPCWSTR fileName);
    static void Rename(LPCWSTR oldName, LPCWSTR newName);

    HANDLE m_hFile = INVALID_HANDLE_VALUE;

protected:
    [[noreturn]] void throwLastError() const;

    BOOL m_bCloseOnDelete = TRUE;
    CString m_strFileName;
};

// CStdioFile: line-oriented text on top of CFile. Lines are read and written
// as bytes of the ANSI code page; "\n" is written as CR LF unless the file
// was opened with typeBinary.
class CStdioFile : public CFile {
public:
    CStdioFile() = default;
    BOOL Open(LPCWSTR fileName, UINT openFlags, CFileException* error = nullptr) override;
    // Reads the next line without its line end; FALSE at the end of the file.
    BOOL ReadString(CString& line);
    void WriteString(LPCWSTR text);

    UINT Read(void* buffer, UINT count) override;
    ULONGLONG Seek(LONGLONG offset, UINT from) override;

private:
    bool fill();

    bool m_text = true;
    CStringA m_pending;  // bytes read ahead of the caller
};
