#pragma once
// The arithmetic and the orderings of the hidden bulk-download page as plain
// functions: model groups, the list order, the selection summary, the disk
// check and the progress texts.
#include "afx/string.h"

#include <vector>

namespace hidden_rules {

constexpr int kDialogId = 108;
constexpr int kStateDownload = 1;
constexpr int kStateSelect = 3;
constexpr int kGroupCount = 17;
constexpr ULONGLONG kUnit = 1024000000ULL;         // one summary unit
constexpr ULONGLONG kRounding = 512000000ULL;      // half a unit
constexpr ULONGLONG kReserve = 2048000000ULL;      // kept free on the drive

// The group of a head-unit platform type: 9 and 11 go with 12, 13 with 16;
// -1 for types of 17 and above (no group).
int groupOf(int platformType);
// Whether group g's row selects a model of the platform type; g 0 every
// model, g -1 none.
bool groupMatches(int group, int platformType);
// The language-library text of a group row (2..16); 0 for a group without
// a row.
int groupTextId(int group);
// The groups that have a row, highest first (2..16 with their flag set).
std::vector<int> groupRows(const bool (&flags)[kGroupCount]);

struct ModelKey {
    int platformType;
    int sortNumber;
    CString deviceName;
    CString deviceNameIntl;
};
// True when a goes before b: larger group, larger sort number, then the
// name in ordinal order (the Korean name in Korean, else the international
// one, or the Korean one where it is empty).
bool modelBefore(const ModelKey& a, const ModelKey& b, int language);

// The byte count of the selected models after the first count + 1 ones
// (count -1: all of them), plus half a unit so that a division by kUnit
// rounds to the nearest unit.
ULONGLONG neededBytes(const std::vector<ULONGLONG>& selectedSizes, int count);
ULONGLONG unitsOf(ULONGLONG neededBytesWithRounding);
// The drive letter of the download folder: what precedes its first ':'.
CString driveOf(const CString& dataPath);
// The free bytes the page may use: the caller's available bytes less the
// reserve, 0 below it.
ULONGLONG usableFree(ULONGLONG available);
// The missing amount in binary gigabytes as the message shows it.
CString shortfallText(ULONGLONG freeBytes, ULONGLONG neededBytes);

// x in kilobytes per second: "512 KB/s", "1.5 MB/s", "0 KB/s"; empty for a
// negative rate (the board was reset between two ticks).
CString formatRate(double kilobytesPerSecond, int language);
// The model's percentage from the board's megabytes; negative when the
// total is below 1 MB.
int percentOf(ULONGLONG currentBytes, ULONGLONG totalBytes);

// The brand's progress-bar colour (the OK button's image is the guides').
COLORREF barColour(int brand, int region);

}  // namespace hidden_rules
