#include "descriptors/sw_version.h"

#include "foundation/code_tables.h"

#include <memory>

namespace {

// An unset marker never matches: an empty text is found in every version.
bool contains(const CString& text, const CString& marker) {
    return !marker.IsEmpty() && text.Find(marker.GetString()) >= 0;
}

bool equalNoCase(const CString& a, const CString& b) {
    return a.CompareNoCase(b.GetString()) == 0;
}

// The sign-in reply makes repeated patterns unique by appending blanks;
// they are not part of the versions.
CString withoutTrailingBlanks(const CString& pattern) {
    CString trimmed = pattern;
    trimmed.TrimRight(L' ');
    return trimmed;
}

InfInfo* firstWithModel(const InfInfoList& list, const CString& code) {
    std::unique_ptr<InfInfoList> matches(list.filterByModelCode(code));
    return matches->m_list.empty() ? nullptr : matches->m_list.front();
}

}  // namespace

std::vector<CString> splitVersion(const CString& text) {
    std::vector<CString> tokens;
    if (text.IsEmpty()) return tokens;
    common_util::split(text, L".", [&tokens](int, const CString& token) {
        tokens.push_back(token);
        return true;
    });
    return tokens;
}

int compareSwVersion(const InfInfo* entry, const CString& pattern, const CString& deviceVersion,
                     const sw_compat_config& config) {
    if (!entry) return 0;
    CString device = deviceVersion;
    CString alternatives = withoutTrailingBlanks(pattern);
    bool prefixMatched = false;
    int position = 0;
    for (CString alternative = alternatives.Tokenize(L"|", position); position >= 0;
         alternative = alternatives.Tokenize(L"|", position)) {
        if (alternative.IsEmpty()) continue;
        device.Replace(L"KR", L"KOR");
        if (device.Find(L'.') < 0) return 0;
        if (!equalNoCase(entry->getMediaType(), L"SD")) return 0;

        std::vector<CString> wanted = splitVersion(alternative);
        std::vector<CString> actual = splitVersion(device);
        size_t common = std::min(wanted.size(), actual.size());
        for (size_t i = 0; i < common; ++i) {
            if (i <= 2) {
                if (!equalNoCase(wanted[i], actual[i])) break;
            } else if (i == 3) {
                prefixMatched = true;
            } else if (i == 4) {
                if (contains(device, config.productionMarker) && !equalNoCase(wanted[i], actual[i])) break;
            } else if (i == 5) {
                CString asInternational = actual[i];
                asInternational.Replace(L"STD_", L"INT_");
                CString asStandard = actual[i];
                asStandard.Replace(L"INT_", L"STD_");
                return equalNoCase(wanted[i], asInternational) || equalNoCase(wanted[i], asStandard) ? 1 : 0;
            }
        }
    }
    return prefixMatched ? 1 : 0;
}

int compareSwVersion(const InfInfo* entry, const CString& pattern, const CString& deviceVersion) {
    return compareSwVersion(entry, pattern, deviceVersion, *sw_compat_config::current());
}

int checkSwVersion(const CString& deviceVersion, const InfInfo* entry, int brandId, const sw_compat_config& config) {
    if (!entry) return 0;
    CString pattern = withoutTrailingBlanks(entry->getSwVersion());
    if (pattern.IsEmpty()) return 0;
    if (compareSwVersion(entry, pattern, deviceVersion, config) == 1) return 1;

    if (brandId == CORP_DR) {
        CString device = deviceVersion;
        if (contains(device, config.regionMarkerLong)) {
            device.Replace(config.regionMarkerLong.GetString(), config.regionMarkerShort.GetString());
            if (compareSwVersion(entry, pattern, device, config) == 1) return 1;
        }
        if (contains(device, config.regionMarkerShort)) {
            device.Replace(config.regionMarkerShort.GetString(), config.regionMarkerLong.GetString());
            return compareSwVersion(entry, pattern, device, config);
        }
        return 0;
    }
    if (brandId == CORP_TS) {
        return contains(deviceVersion, config.productionMarker) && contains(pattern, config.productionMarker2) ? 1 : 0;
    }
    return 0;
}

int checkSwVersion(const CString& deviceVersion, const InfInfo* entry, int brandId) {
    return checkSwVersion(deviceVersion, entry, brandId, *sw_compat_config::current());
}

int findEquivalentModel(const InfInfo* entry, const InfInfoList& list, const CString& deviceVersion,
                        equivalent_models& result, const sw_compat_config& config) {
    if (!entry) return 0;
    const CString model = entry->getModelCode();
    for (const auto& group : config.equivalenceGroups) {
        for (const CString& code : group) {
            if (!equalNoCase(model, code)) continue;
            if (!firstWithModel(list, model)) return 0;
            for (size_t k = 0; k < group.size(); ++k) {
                InfInfo* first = firstWithModel(list, group[k]);
                if (k == 0) result.primary = first;
                else if (first) result.others.push_back(first);
            }
            return 1;
        }
    }
    CString fallback;
    if (contains(deviceVersion, config.productionMarker)) fallback = config.fallbackModel;
    else if (contains(deviceVersion, config.productionPrefix())) fallback = config.fallbackModelPrefix;
    else return 0;
    result.primary = firstWithModel(list, fallback);
    return 1;
}

int findEquivalentModel(const InfInfo* entry, const InfInfoList& list, const CString& deviceVersion,
                        equivalent_models& result) {
    return findEquivalentModel(entry, list, deviceVersion, result, *sw_compat_config::current());
}
