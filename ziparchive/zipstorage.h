#pragma once
// The file side of an opened archive: reads bytes for the central directory
// and the entries and, for a split archive, moves from one volume file to the
// next. A split package is kept as stem.000, stem.001, ... and stem.zip (the
// last volume, which holds the end record) in one folder and is opened
// through stem.zip.
#include "ziparchive/zipbigfile.h"

#include <memory>

enum ZipSpanMode {
    ZIP_SPAN_NONE = 0,          // single-file archive
    ZIP_SPAN_REMOVABLE = 1,     // one file per removable disk (not readable here)
    ZIP_SPAN_VOLUME_FILES = 2,  // volume files in one folder
    ZIP_SPAN_DETECT = 3,        // opened with volume size 0: decided by the end record
    ZIP_SPAN_DETECT_FILES = 4,  // opened with a volume size: split means volume files
};

class CZipStorage {
public:
    CZipStorage() = default;
    CZipStorage(const CZipStorage&) = delete;
    CZipStorage& operator=(const CZipStorage&) = delete;

    // Opens the archive file for reading: mode 1 read-only, mode 0 read and
    // write. Raises CFileException when it cannot be opened.
    void Open(LPCWSTR path, int mode, int volumeSize);

    // Moves the read position within the current volume. A position the
    // read-ahead already holds, or the one the file is at, costs no call.
    void Seek(ULONGLONG offset);

    // Reads exactly `length` bytes or raises CZipException (bad zip file).
    // Without `wholeRecord` the bytes may continue on the next volume; with it
    // the record may start on the next volume but not be split across two.
    DWORD Read(void* buffer, DWORD length, bool wholeRecord);

    // Makes the volume current, opening its file for a split archive.
    void ChangeVolume(int number);

    // Called with the end record's volume number: decides the span mode.
    void SetLastVolume(int number);

    // The file name of the current volume: stem + ".zip" for the last one,
    // stem + ".%.3d" for the others.
    CString GetVolumeFileName(bool lastVolume, LPCWSTR fileName = nullptr) const;

    BOOL OpenVolumeFile(LPCWSTR path, UINT openFlags, bool raise = true);

    void Close(bool afterError);

    // 0 single file, -1 a split archive being read.
    int IsSplit() const { return m_iSpanMode == ZIP_SPAN_NONE ? 0 : -1; }
    int GetCurrentVolume() const { return m_iCurrentVolume; }
    int GetSpanMode() const { return m_iSpanMode; }
    bool IsFileOpen() const { return m_pFile && m_pFile->m_hFile != INVALID_HANDLE_VALUE; }
    CString GetFilePath() const { return m_pFile ? m_pFile->GetFilePath() : CString(); }

    CZipBigFile* m_pFile = nullptr;  // the own file object while open

private:
    [[noreturn]] void throwBadZip() const;
    // Up to `length` bytes of the current volume, fewer only at its end.
    DWORD readVolume(char* out, DWORD length);
    // Forgets the read-ahead; the file position is unknown again when the
    // file changed under it.
    void dropReadAhead(bool positionKnown);
    bool isVolumeFiles() const { return m_iSpanMode == ZIP_SPAN_VOLUME_FILES; }

    CZipBigFile m_file;
    int m_iSpanMode = ZIP_SPAN_NONE;
    int m_iLastVolume = 0;  // number of the volume holding the end record
    int m_iCurrentVolume = -1;

    // Read-ahead: a small entry's local header, name, extra field and data,
    // and usually the next entries too, come from one read of the file.
    static const DWORD kReadAhead = 0x10000;
    std::unique_ptr<char[]> m_readAhead;
    DWORD m_readAheadFill = 0;  // bytes held
    DWORD m_readAheadPos = 0;   // next byte to hand out
    ULONGLONG m_filePos = 0;    // where the file is; the read-ahead ends there
    bool m_filePosKnown = false;
};
