#pragma once
// The quick format of the update medium: the platform's formatting library
// first, its command-line formatter when that failed for another reason
// than the volume being in use. One format at
// a time, on the transfer engine's format thread.
#include "afx/string.h"

#include <atomic>

// FormatEx's progress callback: command, sub-action, the command's data.
using PFMIFSCALLBACK = BOOLEAN(WINAPI*)(int command, DWORD subAction, PVOID data);
// FormatEx: root path, media type (11 removable, 12 fixed), file system,
// label, quick flag, cluster size (0 = the library's choice), callback.
using PFORMATEX = VOID(WINAPI*)(PWCHAR root, int mediaType, PWCHAR fileSystem, PWCHAR label, BOOL quick,
                                ULONG clusterSize, PFMIFSCALLBACK callback);

// The formatting library, loaded once and kept until the process ends.
class FormatExLibrary {
public:
    static FormatExLibrary& getInstance();
    ~FormatExLibrary();
    FormatExLibrary(const FormatExLibrary&) = delete;
    FormatExLibrary& operator=(const FormatExLibrary&) = delete;

    // 1 when the last run succeeded (the callback's verdict, or the
    // fallback's), 0 otherwise.
    std::atomic<int> result{0};
    HMODULE module = nullptr;
    PFORMATEX formatEx = nullptr;

private:
    FormatExLibrary() = default;
};

// Set when the library reports the volume in use, cleared when it starts
// writing the file-system structures; reset by every formatDrive.
extern std::atomic<int> formatFailed;

// The volume's name behind the path's drive letter, recorded when the user
// chooses the medium; empty when it cannot be read.
CString formatVolumeName(const CString& path);
// Formats the medium at "X:\" quickly, exFAT for the device types that take
// it, else FAT32, with a cluster size near the present one. Only when the
// letter still leads to volumeName and that volume holds neither the system,
// the program, the download folder nor the log. A volume the library
// reports in use is an error, never a forced dismount.
BOOL formatDrive(const CString& path, const CString& deviceType, const CString& volumeName);
// TRUE for a removable drive, or a USB drive below 32 GiB.
BOOL isFormattableDrive(const CString& path);
// The fallback through the system's command-line formatter.
BOOL formatDriveByCommand(const CString& path, const CString& fileSystem, DWORD clusterSize);
BOOLEAN WINAPI formatExCallback(int command, DWORD subAction, PVOID data);

// The cluster size handed to the formatter for a medium whose present
// cluster is current bytes (0 = the library's choice).
DWORD formatClusterSize(ULONGLONG current);
// "exFAT" for device types 10 and 13 to 16, "FAT32" for every other.
CString formatFileSystem(const CString& deviceType);
// The formatter's arguments after its name, e.g. "R: /Q /Y /X /FS:FAT32 /A:4096".
CString formatCommandArguments(wchar_t letter, const CString& fileSystem, DWORD clusterSize);
// How long the fallback formatter may run before it is stopped; returns the
// previous time.
DWORD setFormatCommandWait(DWORD milliseconds);
