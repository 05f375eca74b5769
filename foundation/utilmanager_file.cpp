// File checks: the CRC-32 of a downloaded file and the size of a file.
#include "foundation/utilmanager.h"
#include "afx/handle.h"
#include "foundation/globalfunc.h"
#include "foundation/logmanager.h"
#include "foundation/message_pump.h"

#include <sys/stat.h>
#include <zlib.h>

#include <vector>

namespace {

constexpr DWORD kRetryWaitMs = 3000;
constexpr DWORD kReadChunk = 65536;

// Unshared, so the open fails while the download that wrote the file still
// has it open.
UniqueFileHandle openUnshared(const CString& path) {
    return UniqueFileHandle(CreateFileW(path.GetString(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                        FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
}

bool computeCrc(HANDLE file, uLong& crc) {
    std::vector<Bytef> buffer(kReadChunk);
    crc = crc32(0L, Z_NULL, 0);
    for (;;) {
        DWORD got = 0;
        if (!ReadFile(file, buffer.data(), kReadChunk, &got, nullptr)) return false;
        if (got == 0) return true;
        crc = crc32(crc, buffer.data(), got);
    }
}

}  // namespace

bool CUtilManager::CheckCRC(const CString& path, UINT32 expectedCrc) {
    UniqueFileHandle file = openUnshared(path);
    if (!file) {
        waitPumpingMessages(kRetryWaitMs);
        file = openUnshared(path);
        if (!file) {
            LOG_WRITE(L"[FileOpenError#2][File:%s][ErrorCode:%d]", path.GetString(), static_cast<int>(GetLastError()));
            return false;
        }
    }
    uLong crc = 0;
    if (!computeCrc(file.get(), crc)) {
        // A read error says nothing about the content: the file stays.
        LOG_WRITE(L"[FileReadError][File:%s][ErrorCode:%d]", path.GetString(), static_cast<int>(GetLastError()));
        return false;
    }
    file.reset();
    if (static_cast<UINT32>(crc) != expectedCrc) {
        LOG_WRITE(L"[ERR_UPDATE_3060][ServerCRC:%d][FileCRC:%d]", static_cast<int>(expectedCrc),
                  static_cast<int>(static_cast<UINT32>(crc)));
        CGlobalFunc::deleteFile(path);
        return false;
    }
    return true;
}

ULONGLONG CUtilManager::getFileSize(const CString& path) {
    if (path.IsEmpty()) return 0;
    WIN32_FIND_DATAW found{};
    UniqueFindHandle find(FindFirstFileW(path.GetString(), &found));
    if (!find) return static_cast<ULONGLONG>(-1);
    struct _stat64 status {};
    if (_wstat64(path.GetString(), &status) != 0) return static_cast<ULONGLONG>(-1);
    return static_cast<ULONGLONG>(status.st_size);
}
