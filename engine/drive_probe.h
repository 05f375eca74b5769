#pragma once
// Every question the engine asks about a drive goes through one probe, so
// the drive watcher, the formatter and the zip reader's removable test give
// the same answers. A Win32 probe lives for the whole process and is
// installed on first use; tests install a fake, since no test can insert a
// medium or reach a real disk.
#include "ziparchive/driveprobe.h"

class IDriveQueries : public IDriveProbe {
public:
    // Bit i set for drive letter 'A' + i.
    virtual DWORD getLogicalDrives() = 0;
    // Total bytes and total free bytes of the volume (not the caller's quota).
    virtual BOOL getDiskSpace(const CString& root, ULONGLONG& total, ULONGLONG& free) = 0;
    // GetDiskFreeSpaceW's geometry; FALSE when it cannot be read.
    virtual BOOL getClusterGeometry(const CString& root, DWORD& sectorsPerCluster, DWORD& bytesPerSector) = 0;
    virtual BOOL getVolumeInformation(const CString& root, CString& label, DWORD& flags, CString& fileSystem) = 0;
    // The media type of the volume's first geometry record; FALSE when the
    // volume does not open, the query fails or reports no record.
    virtual BOOL getFirstMediaType(wchar_t letter, int& mediaType) = 0;
    // The disk that holds the volume's first extent.
    virtual BOOL getDiskNumber(wchar_t letter, DWORD& disk) = 0;
    // Whether the disk under the volume accepts writes.
    virtual BOOL isDiskWritable(wchar_t letter) = 0;
    // The volume's own name ("\\?\Volume{...}\") behind the root "X:\",
    // which stays with the medium whatever letter it gets.
    virtual BOOL getVolumeName(const CString& root, CString& name) = 0;

    // Total bytes and the bytes free to the calling user (a disk quota
    // lowers them). A probe without its own answer gives the volume's free
    // bytes.
    virtual BOOL getCallerSpace(const CString& root, ULONGLONG& total, ULONGLONG& freeToCaller) {
        return getDiskSpace(root, total, freeToCaller);
    }

    BOOL getTotalBytes(const CString& root, ULONGLONG& total) override {
        ULONGLONG free = 0;
        return getDiskSpace(root, total, free);
    }
};

// The probe in use; the process's Win32 probe unless a fake is installed.
IDriveQueries& driveQueries();
// Installs a probe for the engine and the zip reader alike; nullptr brings
// back the Win32 probe. Returns the probe that was in use.
IDriveQueries* setDriveQueries(IDriveQueries* probe);
