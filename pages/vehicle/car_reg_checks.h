#pragma once
// The registration page's size arithmetic, without windows. Every size is an
// unsigned 64-bit byte or kilobyte count: 32 bits wrap at 4 TiB for a disk
// and at 4 GiB for a medium's bytes.
#include "afx/string.h"

#include <windows.h>

namespace car_reg {

// Kept back on the download folder's drive before anything counts as free.
constexpr ULONGLONG kReservedLocalBytes = 2048000000ULL;
// Room the download needs beside the update itself.
constexpr ULONGLONG kLocalMarginBytes = 2048000000ULL;
// Room the copy needs on the medium beside the update.
constexpr ULONGLONG kMediumMarginBytes = 512000000ULL;
// Media above this size (in KB) only fit head units that read exFAT.
constexpr ULONGLONG kHeadUnitLimitKB = 33554432ULL;

// "12.34 GB" (TB, GB or MB); unit first in Arabic.
CString formatDiskSize(ULONGLONG bytes, bool unitFirst);
// "(%4.1f GB)" of a drive's total size in KB, for the drive's combo line.
CString formatDriveSize(ULONGLONG totalKB);

// The drive letter of a folder: its part before the first ":"; empty for a
// folder without one, which then has no drive to ask about.
CString folderDriveLetter(const CString& folder);

double roundToThousandths(double x);

// Bytes free to the caller less the reserve; 0 when fewer are free.
ULONGLONG usableFreeSpace(ULONGLONG freeToCaller);

// The same for a drive letter ("C"), asked through the drive probe. A failed
// question is asked again up to five times, 50 ms apart with this thread's
// messages dispatched; 0 when every attempt failed.
ULONGLONG usableFreeSpaceOn(const CString& letter);
// Total and caller-free bytes of "<letter>:\" with the same retries; sizes
// stay 0 when every attempt failed.
BOOL driveSpaceOn(const CString& letter, ULONGLONG& total, ULONGLONG& freeToCaller);

struct LocalSpace {
    bool passes = false;
    ULONGLONG need = 0;
    CString requiredGB;  // shown by message 81
    CString hrs;         // record values: need and (free - need) in GB
    CString hfs;
};
LocalSpace checkLocalSpace(ULONGLONG updateBytes, ULONGLONG usableFree);

// Head units that take a medium above 32 GiB: device types 10 and 13 to 16.
bool headUnitTakesLargeMedia(int deviceType);
// The medium is refused for its size alone: above the limit while the head
// unit cannot read it. A medium of exactly 32 GiB passes.
bool refusedAsTooLarge(ULONGLONG totalKB, int deviceType);

struct MediumSpace {
    bool passes = false;
    CString mediumGB;  // "3.81GB"
    CString needGB;
};
MediumSpace checkMediumSpace(ULONGLONG updateBytes, ULONGLONG totalKB);

}  // namespace car_reg
