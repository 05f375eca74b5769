#pragma once
// The central directory of the opened archive: the end record and the
// headers, read once when the archive is opened; nothing is written back.
#include "ziparchive/zipfileheader.h"

#include <memory>
#include <vector>

class CZipStorage;

class CZipCentralDir {
public:
    static const DWORD kEndSignature = 0x06054b50;
    static const DWORD kEndSize = 22;
    // A maximal comment plus the record.
    static const DWORD kEndSearchWindow = 0xFFFF + kEndSize;

    CZipCentralDir() = default;
    CZipCentralDir(const CZipCentralDir&) = delete;
    CZipCentralDir& operator=(const CZipCentralDir&) = delete;

    void Init(CZipStorage* storage);
    void Read();
    void Clear();

    // Forgets the entry open for extraction. With `readDescriptor`, reads
    // and checks the data descriptor of an entry that has one.
    void CloseFile(bool readDescriptor);

    int GetCount() const { return static_cast<int>(m_headers.size()); }
    CZipFileHeader* operator[](int index) const { return m_headers[static_cast<size_t>(index)].get(); }

    // End record as read.
    DWORD m_uSignature = 0;
    WORD m_uThisDisk = 0;
    WORD m_uDiskWithCD = 0;
    WORD m_uDiskEntriesNo = 0;
    WORD m_uEntriesNumber = 0;
    DWORD m_uSize = 0;    // central directory size
    DWORD m_uOffset = 0;  // central directory offset within its volume
    CZipAutoBuffer m_pszComment;

    CZipFileHeader* m_pOpenedFile = nullptr;
    CZipStorage* m_pStorage = nullptr;
    ULONGLONG m_uCentrDirPos = 0;  // end record's position in the last volume
    ULONGLONG m_uBytesBeforeZip = 0;  // stub in front of a single-file archive
    DWORD m_iBufferSize = 0x8000;  // end-record search chunk
    bool m_bOnDisk = false;
    CZipAutoBuffer m_pLocalExtraField;  // of the open entry

private:
    ULONGLONG LocateEnd();
    void ReadHeaders();
    [[noreturn]] void throwError(int code) const;

    std::vector<std::unique_ptr<CZipFileHeader>> m_headers;
};
