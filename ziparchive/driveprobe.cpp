#include "ziparchive/driveprobe.h"

#include "afx/handle.h"

#include <winioctl.h>

#include <atomic>

namespace {

class Win32DriveProbe : public IDriveProbe {
public:
    UINT getDriveType(const CString& root) override { return GetDriveTypeW(root.GetString()); }

    BOOL isUsbBusDevice(wchar_t letter) override { return queryUsbBusDevice(letter); }

    BOOL getTotalBytes(const CString& root, ULONGLONG& total) override {
        ULARGE_INTEGER avail, all, free;
        if (!GetDiskFreeSpaceExW(root.GetString(), &avail, &all, &free)) return FALSE;
        total = all.QuadPart;
        return TRUE;
    }
};

Win32DriveProbe g_win32Probe;
std::atomic<IDriveProbe*> g_probe{nullptr};

// "X:" of a path, after making a relative path absolute; empty for UNC paths.
CString drivePart(const CString& path) {
    wchar_t full[MAX_PATH];
    DWORD n = GetFullPathNameW(path.GetString(), MAX_PATH, full, nullptr);
    CString p = (n > 0 && n < MAX_PATH) ? CString(full) : path;
    if (p.GetLength() >= 2 && p[1] == L':' && iswalpha(p[0])) return p.Left(2);
    return CString();
}

}  // namespace

BOOL queryUsbBusDevice(wchar_t letter) {
    CString volume;
    volume.Format(L"\\\\.\\%c:", letter);
    UniqueFileHandle h(CreateFileW(volume.GetString(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                   OPEN_EXISTING, 0, nullptr));
    if (!h) return FALSE;
    STORAGE_PROPERTY_QUERY query{};
    query.PropertyId = StorageDeviceProperty;
    query.QueryType = PropertyStandardQuery;
    STORAGE_DEVICE_DESCRIPTOR desc{};
    DWORD returned = 0;
    if (!DeviceIoControl(h.get(), IOCTL_STORAGE_QUERY_PROPERTY, &query, sizeof(query), &desc, sizeof(desc),
                         &returned, nullptr)) {
        return FALSE;
    }
    // Device type 5 is a CD/DVD drive, which never takes an update.
    return desc.BusType == BusTypeUsb && desc.DeviceType != 5;
}

IDriveProbe* setDriveProbe(IDriveProbe* probe) {
    IDriveProbe* old = g_probe.exchange(probe);
    return old ? old : &g_win32Probe;
}

IDriveProbe& driveProbe() {
    IDriveProbe* p = g_probe.load();
    return p ? *p : g_win32Probe;
}

BOOL isRemovableDrive(const CString& path) {
    CString drive = drivePart(path);
    if (drive.IsEmpty()) return FALSE;
    CString root = drive + L"\\";
    IDriveProbe& probe = driveProbe();
    if (probe.getDriveType(root) == DRIVE_REMOVABLE) return TRUE;
    if (!probe.isUsbBusDevice(drive[0])) return FALSE;
    ULONGLONG total = 0;
    if (!probe.getTotalBytes(root, total)) return FALSE;
    // In 64 bits: a size in KiB kept to 32 bits would make a 4 TiB disk look small.
    return total / 1024 < 0x2000000ULL;
}
