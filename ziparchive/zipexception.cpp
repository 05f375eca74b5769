#include "ziparchive/zipexception.h"

#include <zlib.h>

namespace {

const wchar_t* causeText(int cause) {
    switch (cause) {
    case CZipException::streamEnd: return L"unexpected end of compressed stream";
    case CZipException::needDict: return L"compressed stream needs a dictionary";
    case CZipException::errNo: return L"zlib file error";
    case CZipException::streamError: return L"zlib stream error";
    case CZipException::dataError: return L"corrupt compressed data";
    case CZipException::memError: return L"out of memory while decompressing";
    case CZipException::bufError: return L"compressed stream ends early";
    case CZipException::versionError: return L"zlib version mismatch";
    case CZipException::badZipFile: return L"damaged or unsupported zip archive";
    case CZipException::badCrc: return L"CRC-32 of the extracted data does not match";
    case CZipException::noCallback: return L"split archive on a removable drive";
    case CZipException::aborted: return L"disk change declined";
    case CZipException::nonRemovable: return L"spanning needs a removable drive";
    case CZipException::tooManyVolumes: return L"too many volumes";
    case CZipException::tooLongFileName: return L"file name too long";
    case CZipException::badPassword: return L"wrong password";
    case CZipException::cdirNotFound: return L"end of central directory not found";
    default: return L"zip error";
    }
}

}  // namespace

BOOL CZipException::GetErrorMessage(LPWSTR text, UINT maxChars, PUINT) const {
    if (!text || maxChars == 0) return FALSE;
    CString msg;
    msg.Format(L"%s (cause %d)", causeText(m_iCause), m_iCause);
    if (!m_szFileName.IsEmpty()) msg = m_szFileName + L": " + msg;
    lstrcpynW(text, msg.GetString(), static_cast<int>(maxChars));
    return TRUE;
}

int CZipException::ZipErrToCause(int code) {
    switch (code) {
    case Z_STREAM_END: return streamEnd;
    case Z_NEED_DICT: return needDict;
    case Z_ERRNO: return errNo;
    case Z_STREAM_ERROR: return streamError;
    case Z_DATA_ERROR: return dataError;
    case Z_MEM_ERROR: return memError;
    case Z_BUF_ERROR: return bufError;
    case Z_VERSION_ERROR: return versionError;
    case ZIP_BADZIPFILE: return badZipFile;
    case ZIP_BADCRC: return badCrc;
    case ZIP_NOCALLBACK: return noCallback;
    case ZIP_ABORTED: return aborted;
    case ZIP_NONREMOVABLE: return nonRemovable;
    case ZIP_TOOMANYVOLUMES: return tooManyVolumes;
    case ZIP_TOOLONGFILENAME: return tooLongFileName;
    case ZIP_BADPASSWORD: return badPassword;
    case ZIP_CDIR_NOTFOUND: return cdirNotFound;
    default: return generic;
    }
}

void ThrowZipException(int code, LPCWSTR fileName) {
    throw new CZipException(CZipException::ZipErrToCause(code), fileName);
}
