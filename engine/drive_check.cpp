// Whether one drive can take an update, and what the medium says of itself.
#include "afx/file.h"
#include "afx/filefind.h"
#include "engine/drive_probe.h"
#include "engine/usb_detector.h"

namespace {

constexpr ULONGLONG kMinimumBytes = 0xF000000;     // 240 MiB
constexpr ULONGLONG kLargestFixedUsbKB = 0x2000000;  // 32 GiB
constexpr ULONGLONG kLargestClusterBytes = 0x4000000;
constexpr DWORD FILE_READ_ONLY_VOLUME_FLAG = 0x80000;

// Media types 1 to 10 are the 5.25- and 3.5-inch floppy formats.
bool isFloppyMedia(int mediaType) {
    return mediaType >= 1 && mediaType <= 10;
}

DWORD saturatedKB(ULONGLONG bytes) {
    const ULONGLONG kb = bytes >> 10;
    return kb > 0xFFFFFFFFull ? 0xFFFFFFFFu : static_cast<DWORD>(kb);
}

}  // namespace

BOOL CUSBDetector::isUsbBusDevice(wchar_t letter) {
    return driveQueries().isUsbBusDevice(letter);
}

BOOL CUSBDetector::getDriveInfo(wchar_t letter, DriveInfo* info) {
    if (letter == 0 || !info) return FALSE;
    IDriveQueries& probe = driveQueries();
    CString root;
    root.Format(L"%c:\\", letter);

    ULONGLONG total = 0, free = 0;
    if (!probe.getDiskSpace(root, total, free)) return FALSE;
    int mediaType = 0;
    if (probe.getFirstMediaType(letter, mediaType) && isFloppyMedia(mediaType)) return FALSE;
    if (total < kMinimumBytes) return FALSE;
    const int driveType = static_cast<int>(probe.getDriveType(root));

    CString label, fileSystem;
    DWORD flags = 0;
    if (!probe.getVolumeInformation(root, label, flags, fileSystem)) return FALSE;
    // Filled before the bus test, so a rejected drive still shows what it is.
    info->rootPath = root;
    info->volumeLabel = label;
    info->fileSystemFlags = flags;
    info->totalKB = saturatedKB(total);
    info->freeKB = saturatedKB(free);
    info->fileSystem = fileSystem;
    info->driveType = driveType;

    if (probe.isUsbBusDevice(letter)) {
        // Large USB disks report themselves as fixed; in 64 bits, so a disk
        // of 4 TiB and more does not wrap to a small one.
        if (driveType == DRIVE_FIXED && (total >> 10) > kLargestFixedUsbKB) return FALSE;
    } else if (driveType != DRIVE_REMOVABLE) {
        return FALSE;
    }

    DWORD sectorsPerCluster = 0, bytesPerSector = 0;
    probe.getClusterGeometry(root, sectorsPerCluster, bytesPerSector);
    const ULONGLONG cluster = static_cast<ULONGLONG>(sectorsPerCluster) * bytesPerSector;
    info->clusterSize = cluster >= kLargestClusterBytes ? 0 : static_cast<DWORD>(cluster);

    if (flags & FILE_READ_ONLY_VOLUME_FLAG) info->readOnly = 1;
    return TRUE;
}

CString CUSBDetector::getSwVersion(const CString& root) {
    const CString folder = root + L"/swversion/";
    CFileFind find;
    if (!find.FindFile((folder + L"swversion.info*").GetString())) return CString();
    find.FindNextFile();
    CStdioFile file;
    if (!file.Open((folder + find.GetFileName()).GetString(), CFile::modeRead | CFile::shareDenyNone | CFile::typeText)) {
        return CString();
    }
    CString line;
    try {
        file.ReadString(line);
    } catch (CException* e) {
        e->Delete();
        line.Empty();
    }
    return line;
}
