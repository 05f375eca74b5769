#pragma once
// The drive queries behind isRemovableDrive. The drive watcher implements
// this interface and installs itself with setDriveProbe; until then (and in
// tools) a Win32 implementation answers. Tests install a fake.
#include "afx/string.h"

class IDriveProbe {
public:
    virtual ~IDriveProbe() = default;
    // GetDriveTypeW of a root path such as "R:\".
    virtual UINT getDriveType(const CString& root) = 0;
    // TRUE for a drive on the USB bus that is not a CD/DVD device.
    virtual BOOL isUsbBusDevice(wchar_t letter) = 0;
    // Total size of the volume in bytes; FALSE when it cannot be read.
    virtual BOOL getTotalBytes(const CString& root, ULONGLONG& total) = 0;
};

// The platform's answer to IDriveProbe::isUsbBusDevice, for every probe
// that asks the volume itself.
BOOL queryUsbBusDevice(wchar_t letter);

// The probe in use. Installing nullptr brings back the Win32 probe. Returns
// the probe that was installed before. Install before worker threads start.
IDriveProbe* setDriveProbe(IDriveProbe* probe);
IDriveProbe& driveProbe();

// TRUE when the path lies on a removable drive: one the platform reports as
// DRIVE_REMOVABLE, or a USB drive smaller than 32 GiB (USB disks of that
// size often report themselves as fixed).
BOOL isRemovableDrive(const CString& path);
