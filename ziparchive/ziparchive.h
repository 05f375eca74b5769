#pragma once
// A zip archive opened for reading: single-file or split into volume files
// (see CZipStorage). Entries are stored or deflated; ZIP64 and encrypted
// entries are not supported. One archive object is used by one thread at a
// time. Errors are raised as CZipException* (archive and data errors) or
// CFileException* (files that cannot be opened, created or written).
#include "ziparchive/zipcentraldir.h"
#include "ziparchive/zipinternalinfo.h"
#include "ziparchive/zipstorage.h"

#include <atomic>
#include <functional>
#include <vector>

// Progress of an extraction: compressed bytes of this chunk, the running sum
// of compressed bytes for the entry, user data. Returning false stops.
using ZipCallback = bool (*)(int chunkBytes, int totalBytes, void* userData);

// 1 while ExtractFile has just read a chunk, 0 once its read loop ended. The
// update page polls it (and may clear it) before it pauses a transfer.
extern std::atomic<unsigned char> zipExtractBusy;

class CZipArchive {
public:
    enum OpenMode { zipOpen = 0, zipOpenReadOnly = 1 };

    CZipArchive();
    ~CZipArchive();
    CZipArchive(const CZipArchive&) = delete;
    CZipArchive& operator=(const CZipArchive&) = delete;

    // Opens the archive and reads its central directory. Does nothing when an
    // archive is open. After a failure the caller closes with afterError.
    void Open(LPCWSTR path, int mode = zipOpenReadOnly, int volumeSize = 0);
    // With afterError nothing is verified and nothing raised; the archive
    // (and any entry left open by an error) is released.
    void Close(bool afterError = false);
    bool IsClosed() const { return m_storage.GetCurrentVolume() == -1; }

    int GetCount() const { return IsClosed() ? 0 : m_centralDir.GetCount(); }
    bool GetFileInfo(CZipFileHeader& header, WORD index) const;
    bool IsEntryDirectory(WORD index) const;

    // Writes one entry below `folder`. With `fullPath` the entry's folders are
    // kept (without drive and leading separators). True when the file or
    // folder was written and its CRC-32 verified; false when the callback
    // stopped it, the entry is encrypted or its name would leave the folder.
    bool ExtractFile(WORD index, LPCWSTR folder, bool fullPath = true, LPCWSTR newName = nullptr,
                     ZipCallback callback = nullptr, void* userData = nullptr, DWORD bufferSize = 65535);

    bool OpenEntry(WORD index);
    // Uncompressed bytes placed in the buffer; `compressedTaken` receives the
    // compressed bytes read from the archive for them.
    DWORD ReadEntry(void* buffer, DWORD size, DWORD* compressedTaken = nullptr);
    // 1 done and verified, -1 stopped before the end, -2 attributes not set,
    // 0 nothing open or the file's times could not be set. An entry stopped
    // before its end gets no times or attributes and its data descriptor is
    // not read.
    int CloseEntry(LPCWSTR path = nullptr, bool afterError = false);
    // The same for the file that received the entry; the file is closed.
    int CloseEntry(CFile& file);

    // Memory blocks zlib holds now: 0 whenever no entry is being inflated.
    size_t GetZlibBlockCount() const { return m_blocks.size(); }

    CZipStorage* GetStorage() { return &m_storage; }

private:
    enum : signed char { entryNone = 0, entryExtract = -1 };

    static voidpf zlibAlloc(voidpf opaque, uInt items, uInt size);
    static void zlibFree(voidpf opaque, voidpf address);
    void endInflate();
    static bool setEntryTimes(const CZipFileHeader& header, HANDLE file);
    // Ends the open entry: verification, then (for a finished entry) times
    // through file or, without it, through path, then beforeAttributes (the
    // file's close), then attributes through path.
    int finishEntry(HANDLE file, LPCWSTR path, bool afterError, const std::function<void()>& beforeAttributes);
    [[noreturn]] void throwError(int code) const;

    bool m_bDetectZlibMemoryLeaks = true;
    CZipInternalInfo m_info;
    // Kept from entry to entry while the archive is open: a 64 KiB block
    // made and freed per entry costs the platform a commit and a release of
    // memory each time, as much as writing a small file.
    CZipAutoBuffer m_extractBuffer;
    CZipStorage m_storage;
    std::vector<void*> m_blocks;  // what zlib allocated and has not freed
    signed char m_iFileOpened = entryNone;
    CZipCentralDir m_centralDir;
};
