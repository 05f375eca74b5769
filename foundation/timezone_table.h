#pragma once
// 219 time zones as (English name, abbreviation) pairs, then an empty pair:
// element 2k is a name, 2k+1 its abbreviation.
#include "afx/string.h"

constexpr int kTimeZonePairs = 220;
constexpr int kTimeZoneTableSize = kTimeZonePairs * 2;
extern const CString g_strTimeZoneTable[kTimeZoneTableSize];

// Abbreviation of a zone name from the table (case ignored); empty when the
// table does not name the zone.
CString findTimeZoneAbbreviation(const CString& zoneName);
