#include "engine/drive_probe.h"

#include "afx/handle.h"

#include <winioctl.h>

#include <atomic>
#include <mutex>

namespace {

CString volumePath(wchar_t letter) {
    CString volume;
    volume.Format(L"\\\\.\\%c:", letter);
    return volume;
}

// A volume opened without access rights: enough for the queries below and
// possible without administrator rights or a medium that is in use.
UniqueFileHandle openVolume(wchar_t letter, DWORD share, DWORD disposition) {
    return UniqueFileHandle(
        CreateFileW(volumePath(letter).GetString(), 0, share, nullptr, disposition, 0, nullptr));
}

class Win32DriveQueries : public IDriveQueries {
public:
    UINT getDriveType(const CString& root) override { return GetDriveTypeW(root.GetString()); }

    BOOL isUsbBusDevice(wchar_t letter) override { return queryUsbBusDevice(letter); }

    DWORD getLogicalDrives() override { return GetLogicalDrives(); }

    BOOL getDiskSpace(const CString& root, ULONGLONG& total, ULONGLONG& free) override {
        ULARGE_INTEGER avail{}, all{}, allFree{};
        if (!GetDiskFreeSpaceExW(root.GetString(), &avail, &all, &allFree)) return FALSE;
        total = all.QuadPart;
        free = allFree.QuadPart;
        return TRUE;
    }

    BOOL getCallerSpace(const CString& root, ULONGLONG& total, ULONGLONG& freeToCaller) override {
        ULARGE_INTEGER avail{}, all{}, allFree{};
        if (!GetDiskFreeSpaceExW(root.GetString(), &avail, &all, &allFree)) return FALSE;
        total = all.QuadPart;
        freeToCaller = avail.QuadPart;
        return TRUE;
    }

    BOOL getClusterGeometry(const CString& root, DWORD& sectorsPerCluster, DWORD& bytesPerSector) override {
        DWORD freeClusters = 0, clusters = 0;
        sectorsPerCluster = bytesPerSector = 0;
        if (GetDiskFreeSpaceW(root.GetString(), &sectorsPerCluster, &bytesPerSector, &freeClusters, &clusters)) {
            return TRUE;
        }
        sectorsPerCluster = bytesPerSector = 0;
        return FALSE;
    }

    BOOL getVolumeInformation(const CString& root, CString& label, DWORD& flags, CString& fileSystem) override {
        wchar_t labelBuffer[MAX_PATH] = {};
        wchar_t fsBuffer[MAX_PATH] = {};
        DWORD serial = 0, maxComponent = 0;
        flags = 0;
        if (!GetVolumeInformationW(root.GetString(), labelBuffer, MAX_PATH, &serial, &maxComponent, &flags, fsBuffer,
                                   MAX_PATH)) {
            return FALSE;
        }
        label = labelBuffer;
        fileSystem = fsBuffer;
        return TRUE;
    }

    BOOL getFirstMediaType(wchar_t letter, int& mediaType) override {
        UniqueFileHandle h = openVolume(letter, FILE_SHARE_READ, OPEN_ALWAYS);
        if (!h) return FALSE;
        DISK_GEOMETRY records[20] = {};
        DWORD returned = 0;
        if (!DeviceIoControl(h.get(), IOCTL_DISK_GET_MEDIA_TYPES, nullptr, 0, records, sizeof(records), &returned,
                             nullptr) ||
            returned < sizeof(DISK_GEOMETRY)) {
            return FALSE;
        }
        mediaType = static_cast<int>(records[0].MediaType);
        return TRUE;
    }

    BOOL getDiskNumber(wchar_t letter, DWORD& disk) override {
        UniqueFileHandle h = openVolume(letter, FILE_SHARE_READ, OPEN_ALWAYS);
        if (!h) return FALSE;
        VOLUME_DISK_EXTENTS extents{};
        DWORD returned = 0;
        if (!DeviceIoControl(h.get(), IOCTL_VOLUME_GET_VOLUME_DISK_EXTENTS, nullptr, 0, &extents, sizeof(extents),
                             &returned, nullptr) ||
            extents.NumberOfDiskExtents == 0) {
            return FALSE;
        }
        disk = extents.Extents[0].DiskNumber;
        return TRUE;
    }

    BOOL isDiskWritable(wchar_t letter) override {
        UniqueFileHandle h = openVolume(letter, FILE_SHARE_READ, OPEN_ALWAYS);
        if (!h) return FALSE;
        DWORD returned = 0;
        return DeviceIoControl(h.get(), IOCTL_DISK_IS_WRITABLE, nullptr, 0, nullptr, 0, &returned, nullptr);
    }

    BOOL getVolumeName(const CString& root, CString& name) override {
        wchar_t buffer[64] = {};
        if (!GetVolumeNameForVolumeMountPointW(root.GetString(), buffer, 64)) return FALSE;
        name = buffer;
        return TRUE;
    }
};

Win32DriveQueries g_win32;
std::atomic<IDriveQueries*> g_queries{nullptr};
std::once_flag g_installed;

// The zip reader's removable test asks the same probe as the engine.
void installWin32Once() {
    std::call_once(g_installed, [] {
        IDriveQueries* expected = nullptr;
        if (g_queries.compare_exchange_strong(expected, &g_win32)) setDriveProbe(&g_win32);
    });
}

}  // namespace

IDriveQueries& driveQueries() {
    installWin32Once();
    IDriveQueries* p = g_queries.load();
    return p ? *p : g_win32;
}

IDriveQueries* setDriveQueries(IDriveQueries* probe) {
    installWin32Once();
    IDriveQueries* next = probe ? probe : &g_win32;
    setDriveProbe(next);
    return g_queries.exchange(next);
}
