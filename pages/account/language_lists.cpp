#include "pages/account/language_lists.h"

#include "foundation/code_tables.h"

#include <algorithm>
#include <iterator>

namespace {

struct NameRow {
    int id;
    int textId;
};

// In the order the names are looked for.
constexpr NameRow kLanguageNames[] = {
    {LANGUAGE_KO, 12552}, {LANGUAGE_EN, 12551}, {LANGUAGE_FR, 12554}, {LANGUAGE_F1, 12553}, {LANGUAGE_ES, 12668},
    {LANGUAGE_PT, 12557}, {LANGUAGE_RU, 12556}, {LANGUAGE_DE, 12555}, {LANGUAGE_IT, 12558}, {LANGUAGE_TR, 12560},
    {LANGUAGE_AR, 12667}, {LANGUAGE_E1, 12669}, {LANGUAGE_E2, 12559},
};

constexpr NameRow kRegionNames[] = {
    {REGION_KR, 12547}, {REGION_US, 12542}, {REGION_CA, 12546},
    {REGION_AU, 12548}, {REGION_NZ, 12541}, {REGION_ME, 12545},
};

int findText(const NameRow* rows, size_t count, int id) {
    for (size_t i = 0; i < count; ++i) {
        if (rows[i].id == id) return rows[i].textId;
    }
    return 0;
}

// The row whose code equals code, ignoring case.
const NameRow* findByCode(const NameRow* rows, size_t count, const CString& code, CString (*codeOf)(int)) {
    if (code.IsEmpty()) return nullptr;
    for (size_t i = 0; i < count; ++i) {
        if (codeOf(rows[i].id).CompareNoCase(code) == 0) return &rows[i];
    }
    return nullptr;
}

CString trimLineFeeds(CString text) {
    text.Trim(L"\n");
    return text;
}

// The reply has a record of exactly this region ("|*|AU" then "$", a
// separator or the end; "|*|AUS" is another region).
bool listsRegion(const CString& reply, const CString& code) {
    const CString start = L"|*|" + code;
    for (int at = reply.Find(start); at >= 0; at = reply.Find(start, at + 1)) {
        const int next = at + start.GetLength();
        if (next >= reply.GetLength()) return true;
        const wchar_t c = reply[next];
        if (c == L'$' || c == L'|' || c == L'#' || c == L'\r' || c == L'\n') return true;
    }
    return false;
}

}  // namespace

CString withFallbackLines(const CString& reply) {
    static const wchar_t* const kLines[][2] = {
        {L"AU", L"|*|AU$EN$KO\n"},
        {L"NZ", L"|*|NZ$EN$KO\n"},
        {L"ME", L"|*|ME$AR$EN$FR$KO\n"},
    };
    CString text = reply;
    for (const auto& line : kLines) {
        if (!listsRegion(text, line[0])) text = trimLineFeeds(text) + line[1];
    }
    return text;
}

int languageNameText(int language) { return findText(kLanguageNames, std::size(kLanguageNames), language); }

int regionNameText(int region) { return findText(kRegionNames, std::size(kRegionNames), region); }

std::vector<ComboEntry> languageEntries(const LanguageCodeTable& table, bool synced, int region,
                                        int storedLanguage) {
    std::vector<ComboEntry> out;
    if (!synced) {
        out.push_back({12551, LANGUAGE_EN});
        out.push_back({12552, LANGUAGE_KO});
        if (storedLanguage >= LANGUAGE_FR && storedLanguage <= LANGUAGE_E2) {
            out.push_back({languageNameText(storedLanguage), storedLanguage});
        }
        return out;
    }
    std::vector<CString> codes;
    const CString regionCode = getRegionCode(region);
    for (const auto& [code, languages] : table.languages) {
        if (!regionCode.IsEmpty() && code.CompareNoCase(regionCode) == 0) {
            codes = languages;
            break;
        }
    }
    if (codes.empty()) codes.push_back(getLanguageCode(storedLanguage));
    for (const CString& code : codes) {
        const NameRow* row = findByCode(kLanguageNames, std::size(kLanguageNames), code, getLanguageCode);
        if (!row) continue;
        const ComboEntry entry{row->textId, row->id};
        if (std::find(out.begin(), out.end(), entry) == out.end()) out.push_back(entry);
    }
    return out;
}

std::vector<ComboEntry> regionEntries(const LanguageCodeTable& table, bool serverList, int storedRegion) {
    std::vector<ComboEntry> out;
    if (!serverList) {
        const int text = regionNameText(storedRegion);
        if (text) out.push_back({text, storedRegion});
        return out;
    }
    for (const CString& code : table.regions) {
        const NameRow* row = findByCode(kRegionNames, std::size(kRegionNames), code, getRegionCode);
        if (!row) continue;
        const ComboEntry entry{row->textId, row->id};
        if (std::find(out.begin(), out.end(), entry) == out.end()) out.push_back(entry);
    }
    return out;
}

std::vector<ComboEntry> brandEntries(int region) {
    switch (region) {
        case REGION_BR:
        case REGION_TR: return {{12003, CORP_LV}, {12004, CORP_DR}};
        case REGION_EU:
        case REGION_RU: return {{12002, CORP_TS}, {12004, CORP_DR}};
        default: return {{12002, CORP_TS}, {12003, CORP_LV}, {12004, CORP_DR}};
    }
}

int changedRegionText(int region) {
    switch (region) {
        case REGION_US: return 12542;
        case REGION_KR: return 12547;
        case REGION_ME: return 12545;
        case REGION_NZ: return 12541;
        case REGION_BR: return 12543;
        case REGION_CA: return 12546;
        case REGION_EU: return 12544;
        case REGION_AU: return 12548;
        case REGION_RU: return 12550;
        default: return 0;
    }
}

int changedBrandText(int corp) {
    if (corp == CORP_TS) return 12002;
    if (corp == CORP_LV) return 12003;
    return 12004;
}

unsigned okButtonImage(int corp, int region) {
    if (corp == CORP_DR) return 470;
    if (corp == CORP_LV) return region == REGION_US || region == REGION_CA ? 1736 : 471;
    return 469;
}
