#include "ziparchive/zipstorage.h"

#include "ziparchive/driveprobe.h"
#include "ziparchive/zipexception.h"

#include <algorithm>
#include <cstring>

namespace {

const UINT kVolumeOpenFlags = CFile::modeRead | CFile::modeNoTruncate | CFile::shareDenyWrite;

}  // namespace

void CZipStorage::throwBadZip() const {
    ThrowZipException(CZipException::ZIP_BADZIPFILE, GetFilePath().GetString());
}

void CZipStorage::Open(LPCWSTR path, int mode, int volumeSize) {
    m_pFile = &m_file;
    dropReadAhead(false);
    UINT flags = (mode == 0 ? CFile::modeReadWrite : CFile::modeRead) | CFile::modeNoTruncate | CFile::shareDenyWrite;
    OpenVolumeFile(path, flags, true);
    m_iSpanMode = volumeSize == 0 ? ZIP_SPAN_DETECT : ZIP_SPAN_DETECT_FILES;
    m_iLastVolume = 0;
    // The current volume stays -1 until the end record is read.
}

BOOL CZipStorage::OpenVolumeFile(LPCWSTR path, UINT openFlags, bool raise) {
    CFileException error;
    dropReadAhead(false);
    if (m_file.Open(path, openFlags, &error)) {
        m_filePos = 0;
        m_filePosKnown = true;
        return TRUE;
    }
    if (raise) AfxThrowFileException(error.m_cause, error.m_lOsError, path);
    return FALSE;
}

void CZipStorage::SetLastVolume(int number) {
    m_iCurrentVolume = number;
    if (number == 0) {
        m_iSpanMode = ZIP_SPAN_NONE;
        return;
    }
    if (m_iSpanMode == ZIP_SPAN_DETECT && isRemovableDrive(GetFilePath())) {
        // Removable-disk spanning asks the user for each disk; this program
        // has no such dialog, so the archive cannot be read from there.
        m_iSpanMode = ZIP_SPAN_REMOVABLE;
        ThrowZipException(CZipException::ZIP_NOCALLBACK, GetFilePath().GetString());
    }
    m_iSpanMode = ZIP_SPAN_VOLUME_FILES;
    m_iLastVolume = number;
}

CString CZipStorage::GetVolumeFileName(bool lastVolume, LPCWSTR fileName) const {
    CString path = fileName ? CString(fileName) : GetFilePath();
    int slash = path.ReverseFind(L'\\');
    int dot = path.ReverseFind(L'.');
    CString stem = dot > slash ? path.Left(dot) : path;
    CString name;
    if (lastVolume) {
        name = stem + L".zip";
    } else {
        name.Format(L"%s.%.3d", stem.GetString(), m_iCurrentVolume);
    }
    return name;
}

void CZipStorage::ChangeVolume(int number) {
    if (number == m_iCurrentVolume) return;
    // Volumes after the last one do not exist; stray files that happen to
    // carry such a name are not part of the archive.
    if (!isVolumeFiles() || number < 0 || number > m_iLastVolume) throwBadZip();
    m_iCurrentVolume = number;
    CString name = GetVolumeFileName(number == m_iLastVolume);
    m_file.Abort();
    OpenVolumeFile(name.GetString(), kVolumeOpenFlags, true);
}

void CZipStorage::dropReadAhead(bool positionKnown) {
    m_readAheadFill = m_readAheadPos = 0;
    m_filePosKnown = m_filePosKnown && positionKnown;
}

void CZipStorage::Seek(ULONGLONG offset) {
    const ULONGLONG heldFrom = m_filePos - m_readAheadFill;
    if (m_filePosKnown && offset >= heldFrom && offset <= m_filePos) {
        m_readAheadPos = static_cast<DWORD>(offset - heldFrom);
        return;
    }
    dropReadAhead(false);
    m_filePos = m_pFile->Seek(static_cast<LONGLONG>(offset), CFile::begin);
    m_filePosKnown = true;
}

DWORD CZipStorage::readVolume(char* out, DWORD length) {
    DWORD got = 0;
    while (got < length) {
        if (m_readAheadPos < m_readAheadFill) {
            DWORD n = std::min(length - got, m_readAheadFill - m_readAheadPos);
            memcpy(out + got, m_readAhead.get() + m_readAheadPos, n);
            m_readAheadPos += n;
            got += n;
            continue;
        }
        // A failed read leaves the file position unknown.
        const bool known = m_filePosKnown;
        dropReadAhead(false);
        DWORD n;
        if (length - got >= kReadAhead) {
            // A large read goes straight to its buffer.
            n = m_pFile->Read(out + got, length - got);
            got += n;
        } else {
            if (!m_readAhead) m_readAhead.reset(new char[kReadAhead]);
            n = m_pFile->Read(m_readAhead.get(), kReadAhead);
            m_readAheadFill = n;
        }
        m_filePos += n;
        m_filePosKnown = known;
        if (n == 0) break;
    }
    return got;
}

DWORD CZipStorage::Read(void* buffer, DWORD length, bool wholeRecord) {
    if (length == 0) return 0;
    char* out = static_cast<char*>(buffer);
    DWORD got = readVolume(out, length);
    while (got == 0) {
        if (!isVolumeFiles() || m_iCurrentVolume >= m_iLastVolume) throwBadZip();
        ChangeVolume(m_iCurrentVolume + 1);
        got = readVolume(out, length);
    }
    if (got == length) return got;
    if (!wholeRecord && isVolumeFiles()) {
        while (got < length && m_iCurrentVolume < m_iLastVolume) {
            ChangeVolume(m_iCurrentVolume + 1);
            DWORD n = readVolume(out + got, length - got);
            if (n == 0) break;
            got += n;
        }
        if (got == length) return got;
    }
    throwBadZip();
}

void CZipStorage::Close(bool afterError) {
    dropReadAhead(false);
    m_readAhead.reset();
    if (afterError) {
        m_file.Abort();
    } else {
        m_file.Close();
    }
    m_iCurrentVolume = -1;
    m_iSpanMode = ZIP_SPAN_NONE;
    m_pFile = nullptr;
}
