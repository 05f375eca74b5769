#include "ziparchive/zipfileheader.h"

#include "ziparchive/zipexception.h"
#include "ziparchive/zipstorage.h"

namespace {

void readBuffer(CZipStorage* storage, CZipAutoBuffer& buffer, WORD size) {
    buffer.Release();
    if (size == 0) return;
    buffer.Allocate(size);
    storage->Read(buffer, size, true);
}

}  // namespace

bool CZipFileHeader::ReadCentral(CZipStorage* storage) {
    char buf[kCentralSize];
    storage->Read(buf, kCentralSize, true);
    m_uSignature = zipDword(buf);
    if (m_uSignature != kCentralSignature) return false;
    m_uVersionMadeBy = zipWord(buf + 4);
    m_uVersionNeeded = zipWord(buf + 6);
    m_uFlag = zipWord(buf + 8);
    m_uMethod = zipWord(buf + 10);
    m_uModTime = zipWord(buf + 12);
    m_uModDate = zipWord(buf + 14);
    m_uCrc32 = zipDword(buf + 16);
    m_uComprSize = zipDword(buf + 20);
    m_uUncomprSize = zipDword(buf + 24);
    WORD nameSize = zipWord(buf + 28);
    WORD extraSize = zipWord(buf + 30);
    WORD commentSize = zipWord(buf + 32);
    m_uDiskStart = zipWord(buf + 34);
    m_uInternalAttr = zipWord(buf + 36);
    m_uExternalAttr = zipDword(buf + 38);
    m_uOffset = zipDword(buf + 42);

    int volume = storage->GetCurrentVolume();
    readBuffer(storage, m_pszFileName, nameSize);
    readBuffer(storage, m_pExtraField, extraSize);
    readBuffer(storage, m_pszComment, commentSize);
    return storage->GetCurrentVolume() == volume;
}

void CZipFileHeader::ReadLocal(CZipStorage* storage, CZipAutoBuffer& localExtra) const {
    char buf[kLocalSize];
    storage->Read(buf, kLocalSize, true);
    WORD flags = zipWord(buf + 6);
    WORD method = zipWord(buf + 8);
    WORD nameSize = zipWord(buf + 26);
    WORD extraSize = zipWord(buf + 28);
    bool same = zipDword(buf) == kLocalSignature && flags == m_uFlag && method == m_uMethod &&
                (method == methodStored || method == methodDeflated) && nameSize == m_pszFileName.GetSize();
    if (same && !(flags & flagDataDescriptor)) {
        same = zipDword(buf + 14) == m_uCrc32 && zipDword(buf + 18) == m_uComprSize &&
               zipDword(buf + 22) == m_uUncomprSize;
    }
    if (!same) ThrowZipException(CZipException::ZIP_BADZIPFILE, storage->GetFilePath().GetString());

    CZipAutoBuffer name;
    readBuffer(storage, name, nameSize);
    int volume = storage->GetCurrentVolume();
    readBuffer(storage, localExtra, extraSize);
    if (storage->GetCurrentVolume() != volume) {
        ThrowZipException(CZipException::ZIP_BADZIPFILE, storage->GetFilePath().GetString());
    }
}

CString CZipFileHeader::GetFileName() const {
    int size = static_cast<int>(m_pszFileName.GetSize());
    if (size == 0) return CString();
    UINT codePage = IsUtf8() ? CP_UTF8 : CP_ACP;
    DWORD flags = IsUtf8() ? 0 : MB_PRECOMPOSED;
    int n = MultiByteToWideChar(codePage, flags, m_pszFileName, size, nullptr, 0);
    if (n <= 0) return CString();
    CString name;
    MultiByteToWideChar(codePage, flags, m_pszFileName, size, name.GetBufferSetLength(n), n);
    return name;
}

bool CZipFileHeader::GetModTime(CTime& time) const {
    int second = 2 * (m_uModTime & 0x1F);
    int minute = (m_uModTime >> 5) & 0x3F;
    int hour = m_uModTime >> 11;
    int day = m_uModDate & 0x1F;
    int month = (m_uModDate >> 5) & 0x0F;
    int year = 1980 + (m_uModDate >> 9);
    if (day < 1 || month < 1 || month > 12 || hour > 23 || minute > 59 || second > 59) return false;
    time = CTime(year, month, day, hour, minute, second, -1);
    return time.GetTime() != -1;
}
