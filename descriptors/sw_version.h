#pragma once
// Does a head unit's recorded software version fit a vehicle entry, and
// which entries belong to models the maker treats as equivalent. Pure
// functions of their arguments and of the compatibility configuration
// (sw_compat_config.h); the overloads without a configuration use the one
// of this run.
#include "descriptors/inf_info.h"
#include "descriptors/sw_compat_config.h"

#include <vector>

// An equivalence found for an entry: the entry of the group's primary model
// (may be null) and one entry for each further model of the group present.
struct equivalent_models {
    InfInfo* primary = nullptr;
    std::vector<InfInfo*> others;
};

// The text cut at every "."; empty tokens kept, an empty text gives none.
std::vector<CString> splitVersion(const CString& text);

// 1 when the head-unit version fits one of the pattern's "|"-separated
// alternatives by the token rules, else 0. Only entries whose medium is an
// SD card match by version.
int compareSwVersion(const InfInfo* entry, const CString& pattern, const CString& deviceVersion,
                     const sw_compat_config& config);
int compareSwVersion(const InfInfo* entry, const CString& pattern, const CString& deviceVersion);

// 1 when the head-unit version fits the entry, brand allowances included;
// brandId is the entry's brand code's id in the brand table.
int checkSwVersion(const CString& deviceVersion, const InfInfo* entry, int brandId, const sw_compat_config& config);
int checkSwVersion(const CString& deviceVersion, const InfInfo* entry, int brandId);

// 1 when an equivalence applies to the entry (result filled), else 0.
int findEquivalentModel(const InfInfo* entry, const InfInfoList& list, const CString& deviceVersion,
                        equivalent_models& result, const sw_compat_config& config);
int findEquivalentModel(const InfInfo* entry, const InfInfoList& list, const CString& deviceVersion,
                        equivalent_models& result);
