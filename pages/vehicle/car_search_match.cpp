#include "pages/vehicle/car_search_match.h"

#include "descriptors/inf_info.h"

#include <algorithm>

namespace car_search {

namespace {

bool isKept(wchar_t c) {
    return (c >= L'A' && c <= L'Z') || (c >= L'0' && c <= L'9') || c == L'.' || c == L'_' ||
           c == L'(' || c == L')';
}

bool isSeparator(char c) { return c == ' ' || c == '_' || c == '.' || c == '(' || c == ')'; }

bool isAsciiDigit(unsigned char c) { return c >= '0' && c <= '9'; }

bool isAsciiAlnum(unsigned char c) {
    return isAsciiDigit(c) || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

}  // namespace

FilteredInput filterSearchInput(const CString& text, int caret) {
    FilteredInput out;
    out.caret = caret;
    for (int i = 0; i < text.GetLength(); ++i) {
        const wchar_t c = text[i];
        if (isKept(c)) {
            out.text += c;
            continue;
        }
        out.changed = true;
        // Only removals before the caret move it; the box would otherwise
        // put the caret one place before where the user typed.
        if (i < caret) --out.caret;
    }
    if (out.caret < 0) out.caret = 0;
    return out;
}

std::string toUtf8(const CString& text) { return std::string(CW2A(text, CP_UTF8)); }

std::string normalise(const std::string& utf8) {
    std::string out;
    out.reserve(utf8.size());
    for (char c : utf8)
        if (!isSeparator(c)) out += c;
    return out;
}

std::string buildSoftwarePattern(const CString& token, size_t n) {
    std::string pattern = normalise(toUtf8(token));
    if (pattern.size() > n) pattern.resize(n);
    return pattern;
}

bool matchesSoftwarePattern(const std::string& pattern, const std::string& text) {
    // reach[i]: the pattern read so far matches the first i bytes of text.
    const size_t n = text.size();
    std::vector<char> reach(n + 1, 0), next(n + 1, 0);
    reach[0] = 1;
    for (char pc : pattern) {
        if (pc == '*') {
            next[0] = reach[0];
            for (size_t i = 1; i <= n; ++i)
                next[i] = reach[i] || (next[i - 1] && isAsciiAlnum(static_cast<unsigned char>(text[i - 1])));
        } else {
            next[0] = 0;
            for (size_t i = 1; i <= n; ++i) {
                const unsigned char tc = static_cast<unsigned char>(text[i - 1]);
                const bool one = pc == '?' ? isAsciiDigit(tc) : tc == static_cast<unsigned char>(pc);
                next[i] = reach[i - 1] && one;
            }
        }
        reach.swap(next);
    }
    return reach[n] != 0;
}

std::vector<CString> splitUntilEmpty(const CString& list) {
    std::vector<CString> tokens;
    int start = 0;
    const int len = list.GetLength();
    while (start <= len) {
        int bar = list.Find(L'|', start);
        if (bar < 0) bar = len;
        CString token = list.Mid(start, bar - start);
        if (token.IsEmpty()) break;
        tokens.push_back(token);
        start = bar + 1;
    }
    return tokens;
}

CString stripBrandPrefix(const CString& name, const CString& brandCode) {
    if (brandCode != L"TS" || name.IsEmpty()) return name;
    const int bar = name.Find(L'_');
    return bar < 0 ? name : name.Mid(bar + 1);
}

std::vector<Hit> matchSoftwareMasks(const CString& text,
                                    const std::multimap<CString, const InfInfo*>& masks) {
    std::vector<Hit> hits;
    const std::string wanted = normalise(toUtf8(text));
    if (wanted.empty()) return hits;
    for (const auto& pair : masks) {
        const std::vector<CString> maskTokens = splitUntilEmpty(pair.first);
        std::vector<CString> versions;
        bool versionsRead = false;
        for (size_t pos = 0; pos < maskTokens.size(); ++pos) {
            if (!matchesSoftwarePattern(buildSoftwarePattern(maskTokens[pos], wanted.size()), wanted)) continue;
            if (!versionsRead) {
                versions = splitUntilEmpty(pair.second->getSwVersion());
                versionsRead = true;
            }
            if (pos < versions.size()) hits.push_back({versions[pos], pair.second});
        }
    }
    std::stable_sort(hits.begin(), hits.end(), [](const Hit& a, const Hit& b) { return a.key < b.key; });
    return hits;
}

std::vector<Hit> matchModelCodes(const CString& text, const std::list<InfInfo*>& entries) {
    std::vector<Hit> hits;
    const std::string wanted = normalise(toUtf8(text));
    if (wanted.empty()) return hits;
    std::map<CString, const InfInfo*> found;
    for (const InfInfo* entry : entries) {
        if (!entry || entry->getModelFlag() != 0) continue;
        for (const CString& token : splitUntilEmpty(entry->getModelCodeList())) {
            std::string code = normalise(toUtf8(token));
            if (code.size() > wanted.size()) code.resize(wanted.size());
            if (code == wanted) found.emplace(token, entry);
        }
    }
    for (const auto& pair : found) hits.push_back({pair.first, pair.second});
    return hits;
}

CString highlightText(const CString& text, const std::vector<CString>& keys) {
    const size_t m = normalise(toUtf8(text)).size();
    CString highlight;
    for (const CString& key : keys) {
        if (static_cast<size_t>(key.GetLength()) < m) continue;
        for (int len = static_cast<int>(m); len <= key.GetLength(); ++len) {
            const CString prefix = key.Left(len);
            if (normalise(toUtf8(prefix)).size() == m) {
                highlight = prefix;
                break;
            }
        }
    }
    return highlight;
}

}  // namespace car_search
