#pragma once
// One entry as its central file header describes it.
#include "afx/time.h"
#include "ziparchive/zipautobuffer.h"

class CZipStorage;

class CZipFileHeader {
public:
    enum : DWORD { kCentralSignature = 0x02014b50, kLocalSignature = 0x04034b50, kDescriptorSignature = 0x08074b50 };
    enum : WORD {
        flagEncrypted = 0x0001,
        flagDataDescriptor = 0x0008,  // CRC and sizes follow the data
        flagUtf8 = 0x0800,            // name and comment are UTF-8
    };
    enum : WORD { methodStored = 0, methodDeflated = 8 };
    static const DWORD kCentralSize = 46;
    static const DWORD kLocalSize = 30;

    CZipFileHeader() = default;

    // Reads the header at the storage's position. FALSE when the signature is
    // wrong or the header's parts lie on different volumes.
    bool ReadCentral(CZipStorage* storage);

    // Reads the local header at the storage's position, checks it against
    // this header and leaves the storage at the entry's data. The local extra
    // field goes to `localExtra`. Raises CZipException (bad zip file).
    void ReadLocal(CZipStorage* storage, CZipAutoBuffer& localExtra) const;

    // The name as text: UTF-8 when the entry says so, else the ANSI code
    // page (names are converted from OEM when the directory is read).
    CString GetFileName() const;

    // Local modification time from the DOS fields; FALSE when the fields do
    // not make a valid time.
    bool GetModTime(CTime& time) const;

    bool IsDirectory() const { return (m_uExternalAttr & FILE_ATTRIBUTE_DIRECTORY) != 0; }
    // Attributes to give the extracted file or folder. Archives made on Unix
    // keep mode bits in the high word; the folder bit is not settable.
    DWORD GetSystemAttr() const {
        DWORD attributes = m_uExternalAttr & 0xFFFF & ~static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY);
        return attributes ? attributes : FILE_ATTRIBUTE_NORMAL;
    }
    bool IsEncrypted() const { return (m_uFlag & flagEncrypted) != 0; }
    bool IsDataDescriptor() const { return (m_uFlag & flagDataDescriptor) != 0; }
    bool IsUtf8() const { return (m_uFlag & flagUtf8) != 0; }
    DWORD GetRecordSize() const {
        return kCentralSize + m_pszFileName.GetSize() + m_pExtraField.GetSize() + m_pszComment.GetSize();
    }

    DWORD m_uSignature = 0;
    WORD m_uVersionMadeBy = 0;
    WORD m_uVersionNeeded = 0;
    WORD m_uFlag = 0;
    WORD m_uMethod = methodDeflated;
    WORD m_uModTime = 0;
    WORD m_uModDate = 0;
    DWORD m_uCrc32 = 0;
    DWORD m_uComprSize = 0;
    DWORD m_uUncomprSize = 0;
    WORD m_uDiskStart = 0;  // volume on which the local header starts
    WORD m_uInternalAttr = 0;
    DWORD m_uExternalAttr = FILE_ATTRIBUTE_ARCHIVE;  // low word: Windows file attributes
    DWORD m_uOffset = 0;  // local header, within its volume, after any stub
    CZipAutoBuffer m_pExtraField;
    CZipAutoBuffer m_pszFileName;  // "\" separators once the directory is read
    CZipAutoBuffer m_pszComment;
};

// Little-endian fields of the on-disk records.
inline WORD zipWord(const char* p) {
    return static_cast<WORD>(static_cast<unsigned char>(p[0]) | static_cast<unsigned char>(p[1]) << 8);
}
inline DWORD zipDword(const char* p) {
    return static_cast<DWORD>(zipWord(p)) | static_cast<DWORD>(zipWord(p + 2)) << 16;
}
