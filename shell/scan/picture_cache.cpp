#include "shell/scan/picture_cache.h"

#include "foundation/code_tables.h"
#include "foundation/globalfunc.h"
#include "foundation/logmanager.h"
#include "foundation/private_messages.h"
#include "webclient/download_worker.h"

#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include <memory>

namespace {

const wchar_t* const kDeviceNames[] = {L"CON",  L"PRN",  L"AUX",  L"NUL",  L"COM1", L"COM2", L"COM3", L"COM4",
                                       L"COM5", L"COM6", L"COM7", L"COM8", L"COM9", L"LPT1", L"LPT2", L"LPT3",
                                       L"LPT4", L"LPT5", L"LPT6", L"LPT7", L"LPT8", L"LPT9", L"CONIN$", L"CONOUT$"};

// The folder, created and hidden each time it is used.
CString cacheFolder(const wchar_t* name) {
    CString folder = CGlobalFunc::getAppDataPath();
    if (folder.IsEmpty()) return CString();
    if (folder.Right(1) != L"\\") folder += L"\\";
    folder += L"Kestrune\\";
    folder += name;
    if (GetFileAttributesW(folder.GetString()) == INVALID_FILE_ATTRIBUTES) CGlobalFunc::createDirectory(folder);
    SetFileAttributesW(folder.GetString(), FILE_ATTRIBUTE_HIDDEN);
    return folder + L"\\";
}

bool fileExists(const CString& path) {
    const DWORD attributes = GetFileAttributesW(path.GetString());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

CString cachedPicture(const wchar_t* folderName, const CString& name, const CString& baseUrl) {
    if (name.IsEmpty() || !isPlainPictureName(name)) return CString();
    const CString folder = cacheFolder(folderName);
    if (folder.IsEmpty()) return CString();
    const CString path = folder + name;
    if (!fileExists(path)) {
        const CString address = pictureAddress(baseUrl, name);
        if (!get_remote_image(address, path)) {
            CString record;
            record.Format(L"[E:%d,T:%s,PS:0,FP:%s]", STAT_STAGE_LOGIN, CGlobalFunc::getTimeStamp().GetString(),
                          address.GetString());
            g_logManager.AddStatistics(record);
            return CString();
        }
    }
    return fileExists(path) ? path : CString();
}

}  // namespace

bool isPlainPictureName(const CString& name) {
    if (name.IsEmpty() || name == L"." || name.Find(L"..") >= 0) return false;
    for (int i = 0; i < name.GetLength(); ++i) {
        const wchar_t c = name[i];
        if (c < 0x20 || c == 0x7F || c == L'\\' || c == L'/' || c == L':') return false;
    }
    // "nul.png" opens the device as well.
    CString stem = name;
    const int dot = stem.Find(L'.');
    if (dot >= 0) stem = stem.Left(dot);
    stem.TrimRight();
    for (const wchar_t* device : kDeviceNames)
        if (stem.CompareNoCase(device) == 0) return false;
    return true;
}

CString pictureAddress(const CString& baseUrl, const CString& fileName) {
    CString address = baseUrl + L"\\" + fileName;
    address.Replace(L"\\\\", L"\\");
    address.Replace(L"\\", L"/");
    return address;
}

CString getVehicleImagePath(const InfInfo* entry) {
    if (!entry) return CString();
    return cachedPicture(L"VehicleImages", entry->getVehicleImageName(), entry->getVehicleImageUrl());
}

CString getGpsImagePath(const InfInfo* entry) {
    if (!entry) return CString();
    return cachedPicture(L"GPSImages", entry->getGpsImageName(), entry->getGpsImageUrl());
}

// A vehicle picture is a few hundred KiB; a reply past this is no picture
// and would fill the disk of the cache folder.
constexpr ULONGLONG kMaxPictureBytes = 8ull << 20;

bool get_remote_image(const CString& url, const CString& localPath) {
    const int slash = localPath.ReverseFind(L'\\');
    const CString folder = slash >= 0 ? localPath.Left(slash + 1) : CString(L".\\");
    wchar_t temp[MAX_PATH] = {};
    LOG_WRITE(L"[OpenFileHandle]");
    if (!GetTempFileNameW(folder.GetString(), L"img", 0, temp)) {
        LOG_WRITE(L"[ERR][OpenFileHandle][local_path:%s][error:%d]", localPath.GetString(),
                  static_cast<int>(GetLastError()));
        return false;
    }
    HANDLE file = CreateFileW(temp, GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                              nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        LOG_WRITE(L"[ERR][OpenFileHandle][local_path:%s][error:%d]", temp, static_cast<int>(GetLastError()));
        DeleteFileW(temp);
        return false;
    }
    ULONGLONG received = 0;
    bool writeFailed = false;
    int code = 0;
    bool complete = false;
    {
        download_worker worker(url);
        complete = worker.remote_file_download_tls(0, nullptr, [&](const BYTE* data, UINT32 count) -> int {
            if (count == 0) return 1;
            if (received + count > kMaxPictureBytes) {
                LOG_WRITE(L"[ERR][picture larger than %I64u bytes][remote_path:%s]", kMaxPictureBytes, url.GetString());
                writeFailed = true;
                return 0;
            }
            DWORD written = 0;
            if (!WriteFile(file, data, count, &written, nullptr) || written != count) {
                LOG_WRITE(L"[ERR][CFileException][local_path:%s][error:%d]", temp, static_cast<int>(GetLastError()));
                writeFailed = true;
                return 0;
            }
            received += count;
            return 1;
        });
        code = worker.code;
    }
    LOG_WRITE(L"[CloseFileHandle]");
    FlushFileBuffers(file);
    CloseHandle(file);

    if (received == 0) {
        LOG_WRITE(L"[ERR][getbytes:%lu][local_path:%s]", static_cast<unsigned long>(received), localPath.GetString());
        DeleteFileW(temp);
        return false;
    }
    if (!complete || writeFailed || code != 0) {
        LOG_WRITE(L"[ERR][download_worker][remote_path:%s][error:%d]", url.GetString(), code);
        DeleteFileW(temp);
        return false;
    }
    if (!MoveFileExW(temp, localPath.GetString(), MOVEFILE_WRITE_THROUGH)) {
        // Another caller fetched the same picture first: keep that file.
        DeleteFileW(temp);
        return fileExists(localPath);
    }
    return true;
}

UINT brandVehiclePicture(const CString& corpCode, int region) {
    if (corpCode == L"TS") return 529;
    if (corpCode == L"DR") return 530;
    if (corpCode == L"LV") return region == REGION_US || region == REGION_CA ? 1741 : 531;
    return 406;
}

UINT brandGpsPicture(const CString& corpCode, int region) {
    const UINT brand = brandVehiclePicture(corpCode, region);
    return brand == 406 ? 490 : brand;
}

SIZE vehiclePictureSize(SIZE control) {
    return SIZE{control.cx + 2, control.cy + 2};
}

SIZE gpsPictureSize(SIZE control, SIZE picture) {
    if (picture.cx <= 0) return vehiclePictureSize(control);
    return SIZE{control.cx + 2, static_cast<LONG>(static_cast<LONGLONG>(control.cx) * picture.cy / picture.cx) + 2};
}

Gdiplus::Bitmap* loadBitmapFile(const CString& path) {
    if (path.IsEmpty() || !fileExists(path)) return nullptr;
    std::unique_ptr<Gdiplus::Bitmap> bitmap(Gdiplus::Bitmap::FromFile(path.GetString()));
    if (!bitmap || bitmap->GetLastStatus() != Gdiplus::Ok) return nullptr;
    return bitmap.release();
}
