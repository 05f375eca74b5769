#include "ziparchive/zipcentraldir.h"

#include "ziparchive/zipexception.h"
#include "ziparchive/zipstorage.h"

#include <algorithm>

void CZipCentralDir::throwError(int code) const {
    ThrowZipException(code, m_pStorage->GetFilePath().GetString());
}

void CZipCentralDir::Init(CZipStorage* storage) {
    m_pStorage = storage;
    m_pOpenedFile = nullptr;
    m_uCentrDirPos = 0;
    m_uBytesBeforeZip = 0;
    m_bOnDisk = false;
    m_pszComment.Release();
}

void CZipCentralDir::Clear() {
    m_pOpenedFile = nullptr;
    m_pLocalExtraField.Release();
    m_headers.clear();
    m_pszComment.Release();
}

// Searches the end of the last volume backwards for the end record's
// signature. The chunks overlap by 3 bytes so that a signature across a
// chunk border is found; the highest hit wins.
ULONGLONG CZipCentralDir::LocateEnd() {
    ULONGLONG length = m_pStorage->m_pFile->GetLength();
    if (length == 0) throwError(CZipException::ZIP_CDIR_NOTFOUND);
    ULONGLONG window = std::min<ULONGLONG>(length, kEndSearchWindow);
    ULONGLONG windowStart = length - window;

    CZipAutoBuffer buffer(m_iBufferSize);
    ULONGLONG chunkEnd = length;
    ULONGLONG start = length - std::min<ULONGLONG>(m_iBufferSize, window);
    for (;;) {
        DWORD size = static_cast<DWORD>(chunkEnd - start);
        m_pStorage->Seek(start);
        m_pStorage->Read(buffer, size, true);
        for (DWORD i = size >= 4 ? size - 4 + 1 : 0; i-- > 0;) {
            if (zipDword(buffer + i) == kEndSignature) return start + i;
        }
        if (length - start >= window) break;
        chunkEnd = start + 3;
        start = std::max<ULONGLONG>(windowStart, chunkEnd > m_iBufferSize ? chunkEnd - m_iBufferSize : 0);
    }
    throwError(CZipException::ZIP_CDIR_NOTFOUND);
}

void CZipCentralDir::Read() {
    m_uCentrDirPos = LocateEnd();
    m_pStorage->Seek(m_uCentrDirPos);
    char buf[kEndSize];
    m_pStorage->Read(buf, kEndSize, true);
    m_uSignature = zipDword(buf);
    m_uThisDisk = zipWord(buf + 4);
    m_uDiskWithCD = zipWord(buf + 6);
    m_uDiskEntriesNo = zipWord(buf + 8);
    m_uEntriesNumber = zipWord(buf + 10);
    m_uSize = zipDword(buf + 12);
    m_uOffset = zipDword(buf + 16);
    WORD commentSize = zipWord(buf + 20);

    m_pStorage->SetLastVolume(m_uThisDisk);
    bool split = m_pStorage->IsSplit() != 0;
    if (!split && m_uCentrDirPos < static_cast<ULONGLONG>(m_uOffset) + m_uSize) {
        throwError(CZipException::ZIP_BADZIPFILE);
    }
    m_pszComment.Release();
    if (commentSize) {
        m_pszComment.Allocate(commentSize);
        m_pStorage->Read(m_pszComment, commentSize, true);
    }
    m_uBytesBeforeZip = split ? 0 : m_uCentrDirPos - m_uSize - m_uOffset;
    if ((m_uSize == 0) != (m_uEntriesNumber == 0)) throwError(CZipException::ZIP_BADZIPFILE);

    m_bOnDisk = true;
    m_pStorage->ChangeVolume(m_uDiskWithCD);
    if (m_uSize) ReadHeaders();
}

void CZipCentralDir::ReadHeaders() {
    m_pStorage->Seek(m_uBytesBeforeZip + m_uOffset);
    m_headers.clear();
    for (WORD i = 0; i < m_uEntriesNumber; ++i) {
        m_headers.push_back(std::make_unique<CZipFileHeader>());
        CZipFileHeader& header = *m_headers.back();
        if (!header.ReadCentral(m_pStorage)) throwError(CZipException::ZIP_BADZIPFILE);
        DWORD size = header.m_pszFileName.GetSize();
        if (size == 0) continue;
        char* name = header.m_pszFileName;
        // Names without the UTF-8 flag are stored in the OEM code page.
        if (!header.IsUtf8()) OemToCharBuffA(name, name, size);
        std::replace(name, name + size, '/', '\\');
    }
}

void CZipCentralDir::CloseFile(bool readDescriptor) {
    CZipFileHeader* header = m_pOpenedFile;
    m_pOpenedFile = nullptr;
    if (!readDescriptor || !header || !header->IsDataDescriptor()) return;
    // The descriptor's signature is optional: without it the first four
    // bytes already are the CRC-32.
    char buf[16];
    m_pStorage->Read(buf, 4, false);
    const char* fields = buf;
    if (zipDword(buf) == CZipFileHeader::kDescriptorSignature) {
        m_pStorage->Read(buf, 12, false);
    } else {
        m_pStorage->Read(buf + 4, 8, false);
    }
    if (zipDword(fields) != header->m_uCrc32 || zipDword(fields + 4) != header->m_uComprSize ||
        zipDword(fields + 8) != header->m_uUncomprSize) {
        throwError(CZipException::ZIP_BADZIPFILE);
    }
}
