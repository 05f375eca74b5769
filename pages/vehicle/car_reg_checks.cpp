#include "pages/vehicle/car_reg_checks.h"

#include "engine/drive_probe.h"
#include "foundation/message_pump.h"

#include <cmath>

namespace car_reg {

namespace {

struct Scaled {
    double value;
    const wchar_t* unit;
};

Scaled scaleMegabytes(ULONGLONG mb) {
    if (mb > 1048576ULL) return {static_cast<double>(mb) / 1048576.0, L"TB"};
    if (mb > 1024ULL) return {static_cast<double>(mb) / 1024.0, L"GB"};
    return {static_cast<double>(mb), L"MB"};
}

CString twoDecimals(double x) {
    CString s;
    s.Format(L"%0.2f", x);
    return s;
}

}  // namespace

CString formatDiskSize(ULONGLONG bytes, bool unitFirst) {
    const Scaled s = scaleMegabytes(bytes >> 20);
    CString text;
    if (unitFirst)
        text.Format(L"%s %0.2f", s.unit, s.value);
    else
        text.Format(L"%0.2f %s", s.value, s.unit);
    return text;
}

CString formatDriveSize(ULONGLONG totalKB) {
    const Scaled s = scaleMegabytes(totalKB >> 10);
    CString text;
    text.Format(L"(%4.1f %s)", s.value, s.unit);
    return text;
}

CString folderDriveLetter(const CString& folder) {
    const int colon = folder.Find(L':');
    return colon < 0 ? CString() : folder.Left(colon);
}

double roundToThousandths(double x) { return std::floor(x * 1000.0 + 0.5) / 1000.0; }

ULONGLONG usableFreeSpace(ULONGLONG freeToCaller) {
    return freeToCaller > kReservedLocalBytes ? freeToCaller - kReservedLocalBytes : 0;
}

BOOL driveSpaceOn(const CString& letter, ULONGLONG& total, ULONGLONG& freeToCaller) {
    total = freeToCaller = 0;
    // ":\" names no drive: six questions would only cost a quarter second
    // of pumping to learn that.
    if (letter.IsEmpty()) return FALSE;
    const CString root = letter + L":\\";
    for (int attempt = 0; attempt < 6; ++attempt) {
        if (attempt > 0) waitPumpingMessages(50);
        ULONGLONG t = 0, f = 0;
        if (driveQueries().getCallerSpace(root, t, f)) {
            total = t;
            freeToCaller = f;
            return TRUE;
        }
    }
    return FALSE;
}

ULONGLONG usableFreeSpaceOn(const CString& letter) {
    ULONGLONG total = 0, free = 0;
    return driveSpaceOn(letter, total, free) ? usableFreeSpace(free) : 0;
}

LocalSpace checkLocalSpace(ULONGLONG updateBytes, ULONGLONG usableFree) {
    LocalSpace r;
    r.need = updateBytes + kLocalMarginBytes;
    r.passes = r.need <= usableFree;
    const double needMiB = static_cast<double>(r.need >> 20);
    r.requiredGB.Format(L"%0.0f", std::round(needMiB / 1000.0 + 0.5) + 1.0);
    const double needGB = roundToThousandths(static_cast<double>(r.need) / 1e9);
    const double freeGB = roundToThousandths(static_cast<double>(usableFree) / 1e9);
    r.hrs = twoDecimals(needGB);
    r.hfs = twoDecimals(freeGB - needGB);
    return r;
}

bool headUnitTakesLargeMedia(int deviceType) {
    return deviceType == 10 || (deviceType >= 13 && deviceType <= 16);
}

bool refusedAsTooLarge(ULONGLONG totalKB, int deviceType) {
    return totalKB > kHeadUnitLimitKB && !headUnitTakesLargeMedia(deviceType);
}

MediumSpace checkMediumSpace(ULONGLONG updateBytes, ULONGLONG totalKB) {
    MediumSpace r;
    const ULONGLONG medium = totalKB * 1024ULL;
    const ULONGLONG need = updateBytes + kMediumMarginBytes;
    r.passes = medium >= need;
    r.mediumGB = twoDecimals(roundToThousandths(static_cast<double>(medium) / 1073741824.0)) + L"GB";
    r.needGB = twoDecimals(roundToThousandths(static_cast<double>(need) / 1073741824.0)) + L"GB";
    return r;
}

}  // namespace car_reg
