#pragma once
// What the settings page's region, language and brand lists hold, as data:
// built from the service's language reply (or the built-in choices while no
// reply was usable) without any window, so the page and the tests share
// one rule. Codes match exactly, ignoring case.
#include "afx/string.h"
#include "webclient/response_parser_language.h"

#include <vector>

struct ComboEntry {
    int textId;  // the name in the language library
    int id;      // region, language or brand id
    bool operator==(const ComboEntry& o) const { return textId == o.textId && id == o.id; }
};

// The reply with the built-in lines for AU, NZ and ME appended for each of
// them it does not list.
CString withFallbackLines(const CString& reply);

// Language names: with synced, the reply's list for the region (or the
// stored language alone when the reply lacks the region); otherwise English,
// Korean and the stored language when it is another one of the thirteen.
std::vector<ComboEntry> languageEntries(const LanguageCodeTable& table, bool synced, int region,
                                        int storedLanguage);
// Region names: with serverList, the reply's regions the program knows, in
// reply order and each once; otherwise the stored region when it has a name.
std::vector<ComboEntry> regionEntries(const LanguageCodeTable& table, bool serverList, int storedRegion);
// The brands offered in a region.
std::vector<ComboEntry> brandEntries(int region);

// Name text of a language or region id; 0 when it has none.
int languageNameText(int language);
int regionNameText(int region);
// The region's name as the region-changed message names it (0 when none).
int changedRegionText(int region);
// The brand's name as the brand-changed message names it.
int changedBrandText(int corp);

// The OK button's skin for the page brand (LV in regions US and CA has its
// own).
unsigned okButtonImage(int corp, int region);
