#include "foundation/code_tables.h"

const CodeTable g_mapRegionCode = {
    {REGION_US, L"US"}, {REGION_KR, L"KR"}, {REGION_IN, L"IN"}, {REGION_ME, L"ME"}, {REGION_IR, L"IR"},
    {REGION_NZ, L"NZ"}, {REGION_BR, L"BR"}, {REGION_CA, L"CA"}, {REGION_EU, L"EU"}, {REGION_AU, L"AU"},
    {REGION_VN, L"VN"}, {REGION_RU, L"RU"}, {REGION_TR, L"TR"},
};

const CodeTable g_mapRegionName = {
    {REGION_US, L"United States"}, {REGION_KR, L"South Korea"}, {REGION_IN, L"India"},
    {REGION_ME, L"Middle East"},   {REGION_IR, L"Iran"},        {REGION_NZ, L"New Zealand"},
    {REGION_BR, L"Brazil"},        {REGION_CA, L"Canada"},      {REGION_EU, L"Europe"},
    {REGION_AU, L"Australia"},     {REGION_VN, L"Vietnam"},     {REGION_RU, L"Russia"},
    {REGION_TR, L"Turkey"},
};

const CodeTable g_mapLanguageCode = {
    {LANGUAGE_NONE, L"NIL"}, {LANGUAGE_KO, L"KO"}, {LANGUAGE_EN, L"EN"}, {LANGUAGE_FR, L"FR"},
    {LANGUAGE_F1, L"F1"},    {LANGUAGE_ES, L"ES"}, {LANGUAGE_PT, L"PT"}, {LANGUAGE_RU, L"RU"},
    {LANGUAGE_DE, L"DE"},    {LANGUAGE_IT, L"IT"}, {LANGUAGE_TR, L"TR"}, {LANGUAGE_AR, L"AR"},
    {LANGUAGE_E1, L"E1"},    {LANGUAGE_E2, L"E2"},
};

// Id 0 has a code but no locale.
const CodeTable g_mapLocaleName = {
    {LANGUAGE_KO, L"ko-KR"}, {LANGUAGE_EN, L"en-US"}, {LANGUAGE_FR, L"fr-EU"}, {LANGUAGE_F1, L"fr-CA"},
    {LANGUAGE_ES, L"es-US"}, {LANGUAGE_PT, L"pt-EU"}, {LANGUAGE_RU, L"ru-EU"}, {LANGUAGE_DE, L"de-EU"},
    {LANGUAGE_IT, L"it-EU"}, {LANGUAGE_TR, L"tr-EU"}, {LANGUAGE_AR, L"ar-AR"}, {LANGUAGE_E1, L"en-EU"},
    {LANGUAGE_E2, L"es-EU"},
};

const CodeTable g_mapCorpCode = {
    {CORP_NONE, L"NIL"}, {CORP_TS, L"TS"}, {CORP_LV, L"LV"}, {CORP_DR, L"DR"},
};

const CodeTable g_mapCorpName = {
    {CORP_NONE, L"NIL"}, {CORP_TS, L"tessaly"}, {CORP_LV, L"luvo"}, {CORP_DR, L"dravane"},
};

const CodeTable g_mapUserType = {
    {USER_TYPE_MEMBER, L"member"}, {USER_TYPE_GUEST, L"guest"},
};

CString lookupCode(const CodeTable& table, int id) {
    auto it = table.find(id);
    return it == table.end() ? CString() : it->second;
}

int lookupId(const CodeTable& table, const CString& text) {
    for (const auto& entry : table) {
        if (entry.second.CompareNoCase(text.GetString()) == 0) return entry.first;
    }
    return 0;
}
