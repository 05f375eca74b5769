#pragma once
// The vehicle search's matching rules, without windows: the search box's
// input filter, the software-version masks and the model-code prefixes.
// Matching works on UTF-8 bytes; lengths and cuts count bytes of that form.
#include "afx/string.h"

#include <list>
#include <map>
#include <string>
#include <vector>

class InfInfo;

namespace car_search {

// What the search box keeps of a typed text: "A"-"Z", "0"-"9", ".", "_",
// "(" and ")". The caret goes back by one for every character removed
// before it, so it stays after the same kept characters.
struct FilteredInput {
    CString text;
    int caret = 0;
    bool changed = false;
};
FilteredInput filterSearchInput(const CString& text, int caret);

// The text without the separators " ", "_", ".", "(" and ")".
std::string normalise(const std::string& utf8);
std::string toUtf8(const CString& text);

// A mask token as a glob pattern: normalised (the wildcards stay) and cut to
// its first n bytes, so a mask matches when its first n significant
// characters match the search text.
std::string buildSoftwarePattern(const CString& token, size_t n);

// Whole-text match of a pattern from buildSoftwarePattern: "?" is one ASCII
// digit, "*" a run of ASCII letters and digits (also an empty one), every
// other byte itself. Server masks are data, not expressions: a "[" or "+"
// is a plain character, and the walk costs O(pattern x text) whatever the
// number of "*" (a backtracking engine takes minutes on a few dozen).
bool matchesSoftwarePattern(const std::string& pattern, const std::string& text);

// The "|" tokens of a list text up to the first empty one.
std::vector<CString> splitUntilEmpty(const CString& list);

// A "TS" car name carries its brand before the first "_"; other brands'
// names and names without "_" stay as they are.
CString stripBrandPrefix(const CString& name, const CString& brandCode);

struct Hit {
    CString key;
    const InfInfo* entry = nullptr;
};

// Software-version hits: for each (mask list, entry) in map order, each mask
// token that matches makes the entry's software-version token at the same
// position a key. Sorted by key; equal keys in the order found.
std::vector<Hit> matchSoftwareMasks(const CString& text,
                                    const std::multimap<CString, const InfInfo*>& masks);

// Model-code hits: a model code whose first n significant bytes equal the
// normalised text (n its length) is a key, tied to the first primary entry
// that has it. Ascending by key.
std::vector<Hit> matchModelCodes(const CString& text, const std::list<InfInfo*>& entries);

// The leading part of the first key, among keys, to draw in the highlight
// colour: the shortest prefix with as many significant characters as the
// text. Every key is tried and the last one that has such a prefix wins;
// empty when none has.
CString highlightText(const CString& text, const std::vector<CString>& keys);

}  // namespace car_search
