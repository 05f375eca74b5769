// Reading one entry: open (local header check, inflate set-up), read
// (inflate or copy with a running CRC-32) and close (CRC check, file times
// and attributes, data descriptor).
#include "ziparchive/ziparchive.h"

#include "afx/handle.h"
#include "ziparchive/zipexception.h"

#include <algorithm>
#include <cstring>

bool CZipArchive::OpenEntry(WORD index) {
    if (IsClosed() || index >= m_centralDir.GetCount() || m_iFileOpened != entryNone) return false;
    CZipFileHeader* header = m_centralDir[index];
    m_info.m_pBuffer.Allocate(m_info.m_iBufferSize);

    m_storage.ChangeVolume(header->m_uDiskStart);
    m_storage.Seek(static_cast<ULONGLONG>(header->m_uOffset) + m_centralDir.m_uBytesBeforeZip);
    header->ReadLocal(&m_storage, m_centralDir.m_pLocalExtraField);

    // No password is ever set, so encrypted entries cannot be read.
    if (header->IsEncrypted()) {
        m_info.m_pBuffer.Release();
        return false;
    }
    // A stored entry whose sizes differ would leave the copy loop waiting
    // for bytes that never come.
    if (header->m_uMethod == CZipFileHeader::methodStored && header->m_uComprSize != header->m_uUncomprSize) {
        throwError(CZipException::ZIP_BADZIPFILE);
    }

    z_stream& stream = m_info.m_stream;
    if (header->m_uMethod == CZipFileHeader::methodDeflated) {
        stream.next_in = Z_NULL;
        stream.avail_in = 0;
        int err = inflateInit2(&stream, -MAX_WBITS);  // raw deflate, no zlib header
        if (err != Z_OK) throwError(err);
        m_info.m_bInflating = true;
    }
    m_info.m_uComprLeft = header->m_uComprSize;
    m_info.m_uUncomprLeft = header->m_uUncomprSize;
    m_info.m_uCrc32 = 0;
    stream.total_out = 0;
    stream.avail_in = 0;
    m_iFileOpened = entryExtract;
    m_centralDir.m_pOpenedFile = header;
    return true;
}

DWORD CZipArchive::ReadEntry(void* buffer, DWORD size, DWORD* compressedTaken) {
    if (compressedTaken) *compressedTaken = 0;
    if (m_iFileOpened != entryExtract || !buffer || size == 0) return 0;
    CZipFileHeader* header = m_centralDir.m_pOpenedFile;
    const bool deflated = header->m_uMethod == CZipFileHeader::methodDeflated;
    z_stream& stream = m_info.m_stream;
    DWORD taken = 0;
    DWORD result = 0;

    stream.next_out = static_cast<Bytef*>(buffer);
    stream.avail_out = std::min(size, m_info.m_uUncomprLeft);
    // Once every uncompressed byte is out, the rest of the compressed data
    // (the deflate stream's end) is consumed in the same call, so that the
    // archive position is at the data descriptor and the progress sum reaches
    // the compressed size.
    while (stream.avail_out > 0 || (m_info.m_uUncomprLeft == 0 && m_info.m_uComprLeft > 0)) {
        if (stream.avail_in == 0 && m_info.m_uComprLeft > 0) {
            DWORD chunk = std::min(m_info.m_uComprLeft, m_info.m_iBufferSize);
            m_storage.Read(m_info.m_pBuffer, chunk, false);
            taken += chunk;
            m_info.m_uComprLeft -= chunk;
            stream.next_in = reinterpret_cast<Bytef*>(m_info.m_pBuffer.GetBuffer());
            stream.avail_in = chunk;
        }
        if (deflated) {
            Bytef* out = stream.next_out;
            uLong before = stream.total_out;
            int err = inflate(&stream, Z_SYNC_FLUSH);
            DWORD produced = static_cast<DWORD>(stream.total_out - before);
            m_info.m_uCrc32 = crc32(m_info.m_uCrc32, out, produced);
            m_info.m_uUncomprLeft -= produced;
            result += produced;
            if (err == Z_STREAM_END) break;
            // Z_NEED_DICT never comes from raw deflate data: an error too.
            // Z_BUF_ERROR means no progress was possible: the data ended
            // early or holds more than its header says.
            if (err != Z_OK) throwError(err);
        } else {
            DWORD copy = std::min(stream.avail_out, stream.avail_in);
            memcpy(stream.next_out, stream.next_in, copy);
            m_info.m_uCrc32 = crc32(m_info.m_uCrc32, stream.next_out, copy);
            stream.next_out += copy;
            stream.avail_out -= copy;
            stream.next_in += copy;
            stream.avail_in -= copy;
            stream.total_out += copy;
            m_info.m_uUncomprLeft -= copy;
            result += copy;
        }
    }
    if (compressedTaken) *compressedTaken = taken;
    return result;
}

namespace {

// Windows gives a new file the archive attribute; only what goes beyond it
// costs a call.
bool hasAttributesToSet(DWORD attributes) {
    return (attributes & ~(FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NORMAL)) != 0;
}

}  // namespace

bool CZipArchive::setEntryTimes(const CZipFileHeader& header, HANDLE file) {
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    FILETIME modified = now;
    CTime time;
    // An entry whose DOS date is not a valid time keeps "now".
    if (header.GetModTime(time)) {
        ULONGLONG ticks = static_cast<ULONGLONG>(time.GetTime()) * 10000000ULL + 116444736000000000ULL;
        modified.dwLowDateTime = static_cast<DWORD>(ticks);
        modified.dwHighDateTime = static_cast<DWORD>(ticks >> 32);
    }
    return SetFileTime(file, &now, &now, &modified) != FALSE;
}

int CZipArchive::finishEntry(HANDLE file, LPCWSTR path, bool afterError, const std::function<void()>& beforeAttributes) {
    if (m_iFileOpened != entryExtract) return 0;
    CZipFileHeader* header = m_centralDir.m_pOpenedFile;
    if (!header) {
        // A data descriptor check failed in an earlier close.
        endInflate();
        m_iFileOpened = entryNone;
        m_info.m_pBuffer.Release();
        return 0;
    }
    // An entry left before its end (stopped, paused) is no file yet: its
    // partial copy gets neither the entry's time nor its attributes (a
    // read-only partial file would refuse the retry), and the archive
    // position is somewhere inside its data, not at its data descriptor.
    const bool finished = m_info.m_uUncomprLeft == 0;
    int result = 1;
    if (!afterError) {
        if (!finished) result = -1;
        else if (m_info.m_uCrc32 != header->m_uCrc32) throwError(CZipException::ZIP_BADCRC);
        endInflate();
        if (finished && (file || path)) {
            bool timesSet = false;
            if (file) {
                timesSet = setEntryTimes(*header, file);
            } else {
                UniqueFileHandle opened(CreateFileW(path, FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
                timesSet = opened && setEntryTimes(*header, opened.get());
            }
            if (beforeAttributes) beforeAttributes();
            if (!timesSet) return 0;
            const DWORD attributes = header->GetSystemAttr();
            if (path && hasAttributesToSet(attributes) && !SetFileAttributesW(path, attributes)) result = -2;
        } else if (beforeAttributes) {
            beforeAttributes();
        }
    }
    endInflate();
    m_centralDir.CloseFile(!afterError && finished);
    m_iFileOpened = entryNone;
    m_info.m_pBuffer.Release();
    return result;
}

int CZipArchive::CloseEntry(LPCWSTR path, bool afterError) {
    return finishEntry(nullptr, path, afterError, nullptr);
}

int CZipArchive::CloseEntry(CFile& file) {
    const CString path = file.GetFilePath();
    // The times go through the handle that wrote the file: a second open
    // per file would cost as much as the write of a small one.
    return finishEntry(file, path.GetString(), false, [&file] { file.Close(); });
}
