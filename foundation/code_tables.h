#pragma once
// The program's vocabulary: regions, UI languages, brands ("corps") and
// sign-in kinds, each a small table from id to code. Ids outside a table
// give an empty text; a reverse lookup ignores case, visits ids in
// ascending order and gives 0 when nothing matches (0 is a valid id too).
#include "afx/string.h"

#include <map>

enum RegionId {
    REGION_US = 0,
    REGION_KR = 1,
    REGION_IN = 2,
    REGION_ME = 3,
    REGION_IR = 4,
    REGION_NZ = 5,
    REGION_BR = 6,
    REGION_CA = 7,
    REGION_EU = 8,
    REGION_AU = 9,
    REGION_VN = 10,
    REGION_RU = 11,
    REGION_TR = 12,
};

enum LanguageId {
    LANGUAGE_NONE = 0,
    LANGUAGE_KO = 1,
    LANGUAGE_EN = 2,
    LANGUAGE_FR = 3,
    LANGUAGE_F1 = 4,
    LANGUAGE_ES = 5,
    LANGUAGE_PT = 6,
    LANGUAGE_RU = 7,
    LANGUAGE_DE = 8,
    LANGUAGE_IT = 9,
    LANGUAGE_TR = 10,
    LANGUAGE_AR = 11,
    LANGUAGE_E1 = 12,
    LANGUAGE_E2 = 13,
};

enum CorpId {
    CORP_NONE = 0,
    CORP_TS = 1,
    CORP_LV = 2,
    CORP_DR = 3,
};

enum UserType {
    USER_TYPE_MEMBER = 0,
    USER_TYPE_GUEST = 1,
};

using CodeTable = std::map<int, CString>;

extern const CodeTable g_mapRegionCode;
extern const CodeTable g_mapRegionName;
extern const CodeTable g_mapLanguageCode;
extern const CodeTable g_mapLocaleName;
extern const CodeTable g_mapCorpCode;
extern const CodeTable g_mapCorpName;
extern const CodeTable g_mapUserType;

CString lookupCode(const CodeTable& table, int id);
int lookupId(const CodeTable& table, const CString& text);

inline CString getRegionCode(int id) { return lookupCode(g_mapRegionCode, id); }
inline int getRegionId(const CString& code) { return lookupId(g_mapRegionCode, code); }
inline CString getRegionName(int id) { return lookupCode(g_mapRegionName, id); }
inline CString getLanguageCode(int id) { return lookupCode(g_mapLanguageCode, id); }
inline int getLanguageId(const CString& code) { return lookupId(g_mapLanguageCode, code); }
inline CString getLocaleName(int id) { return lookupCode(g_mapLocaleName, id); }
inline int getLanguageIdByLocale(const CString& locale) { return lookupId(g_mapLocaleName, locale); }
inline CString getCorpCode(int id) { return lookupCode(g_mapCorpCode, id); }
inline int getCorpId(const CString& code) { return lookupId(g_mapCorpCode, code); }
inline CString getCorpName(int id) { return lookupCode(g_mapCorpName, id); }
inline int getCorpIdByName(const CString& name) { return lookupId(g_mapCorpName, name); }
inline CString getUserTypeName(int id) { return lookupCode(g_mapUserType, id); }
inline int getUserTypeId(const CString& name) { return lookupId(g_mapUserType, name); }
