#include "pages/account/hidden_rules.h"

#include "foundation/code_tables.h"
#include "foundation/globalfunc.h"

#include <cmath>

namespace hidden_rules {

int groupOf(int platformType) {
    if (platformType >= kGroupCount || platformType < 0) return -1;
    if (platformType == 9 || platformType == 11) return 12;
    if (platformType == 13) return 16;
    return platformType;
}

bool groupMatches(int group, int platformType) {
    if (group == -1) return false;
    if (group == 0) return true;
    if (group == 9 || group == 11 || group == 12) return platformType == 9 || platformType == 11 || platformType == 12;
    if (group == 13 || group == 16) return platformType == 13 || platformType == 16;
    return platformType == group;
}

int groupTextId(int group) {
    switch (group) {
        case 2: return 12561;
        case 3: return 12562;
        case 4: return 12563;
        case 5: return 12564;
        case 6: return 12565;
        case 7: return 12566;
        case 8: return 12567;
        case 10: return 12569;
        case 12: return 12571;
        case 14: return 12573;
        case 15: return 12574;
        case 16: return 12572;
        default: return 0;
    }
}

std::vector<int> groupRows(const bool (&flags)[kGroupCount]) {
    std::vector<int> rows;
    for (int g = 16; g >= 2; --g)
        if (flags[g]) rows.push_back(g);
    return rows;
}

namespace {

CString nameFor(const ModelKey& key, int language) {
    if (language == LANGUAGE_KO) return key.deviceName;
    return key.deviceNameIntl.IsEmpty() ? key.deviceName : key.deviceNameIntl;
}

}  // namespace

bool modelBefore(const ModelKey& a, const ModelKey& b, int language) {
    const int ga = groupOf(a.platformType), gb = groupOf(b.platformType);
    if (ga != gb) return ga > gb;
    if (a.sortNumber != b.sortNumber) return a.sortNumber > b.sortNumber;
    return wcscmp(nameFor(a, language).GetString(), nameFor(b, language).GetString()) < 0;
}

ULONGLONG neededBytes(const std::vector<ULONGLONG>& selectedSizes, int count) {
    ULONGLONG sum = 0;
    for (size_t i = 0; i < selectedSizes.size(); ++i)
        if (static_cast<long long>(i) > count) sum += selectedSizes[i];
    return sum + kRounding;
}

ULONGLONG unitsOf(ULONGLONG neededBytesWithRounding) { return neededBytesWithRounding / kUnit; }

CString driveOf(const CString& dataPath) {
    const int colon = dataPath.Find(L':');
    return colon < 0 ? CString() : dataPath.Left(colon);
}

ULONGLONG usableFree(ULONGLONG available) { return available > kReserve ? available - kReserve : 0; }

CString shortfallText(ULONGLONG freeBytes, ULONGLONG neededBytes) {
    const double gib = 1073741824.0;
    CString text;
    text.Format(L"%0.2f", static_cast<double>(neededBytes) / gib - static_cast<double>(freeBytes) / gib);
    return text;
}

CString formatRate(double x, int language) {
    const CString unit = language == LANGUAGE_ES ? L"Seg" : L"s";
    CString text;
    if (x < 0 || std::isnan(x)) return text;
    if (x == 0) {
        text.Format(L"0 KB/%s", unit.GetString());
    } else {
        const UINT kilobytes = x >= 4294967295.0 ? 0xFFFFFFFFu : static_cast<UINT>(x);
        const CString size = CGlobalFunc::formatSize(kilobytes, x < 1024 ? L"K" : L"M");
        text.Format(L"%s/%s", size.GetString(), unit.GetString());
    }
    return text;
}

int percentOf(ULONGLONG currentBytes, ULONGLONG totalBytes) {
    const ULONGLONG curMB = currentBytes / 1048576, totMB = totalBytes / 1048576;
    if (totMB == 0) return -1;
    const double percent = static_cast<double>(curMB) / static_cast<double>(totMB) * 100.0;
    return static_cast<int>(percent);
}

COLORREF barColour(int brand, int region) {
    if (brand == CORP_LV) return region == REGION_US || region == REGION_CA ? RGB(187, 22, 43) : RGB(234, 0, 41);
    if (brand == CORP_DR) return RGB(0, 44, 95);
    return RGB(163, 107, 79);
}

}  // namespace hidden_rules
