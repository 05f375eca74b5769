// The vehicle search's matchers: the box's input filter, the software masks
// (checked against the expression engine on masks it can read) and the
// model-code prefixes.
#include "pages/vehicle/car_search_match.h"

#include "descriptors/inf_info.h"

#include <gtest/gtest.h>

#include <memory>
#include <regex>
#include <string>

using namespace car_search;

namespace {

// The wildcard rewrite an expression engine would need for the same mask.
std::string toExpression(const std::string& glob) {
    std::string out;
    for (char c : glob) {
        if (c == '*') out += "([0-9a-zA-Z]*)";
        else if (c == '?') out += "([0-9])";
        else out += c;
    }
    return out;
}

struct Vehicles {
    std::vector<std::unique_ptr<InfInfo>> owned;
    std::list<InfInfo*> list;
    InfInfo* add(const wchar_t* models, const wchar_t* versions = L"", const wchar_t* masks = L"") {
        owned.push_back(std::make_unique<InfInfo>());
        InfInfo* e = owned.back().get();
        e->setModelCodeList(models);
        e->setSwVersion(versions);
        e->setSwVersionMask(masks);
        list.push_back(e);
        return e;
    }
};

std::vector<std::wstring> keysOf(const std::vector<Hit>& hits) {
    std::vector<std::wstring> keys;
    for (const Hit& h : hits) keys.emplace_back(h.key.GetString());
    return keys;
}

}  // namespace

TEST(CarSearchInput, KeepsTheAllowedCharactersAndTheCaretAfterThem) {
    struct Case { const wchar_t* typed; int caret; const wchar_t* text; int keptCaret; bool changed; };
    const Case cases[] = {
        {L"AB-1", 3, L"AB1", 2, true},   // the minus just typed goes, the caret stays after B
        {L"AB-1", 4, L"AB1", 3, true},
        {L"A-B", 1, L"AB", 1, true},      // a removal after the caret does not move it
        {L"ab1", 3, L"1", 1, true},       // lower case is not what the upper-case box sends
        {L"(1.2)_X", 7, L"(1.2)_X", 7, false},
        {L"\x00C4\x0020Z", 3, L"Z", 1, true},
    };
    for (const Case& c : cases) {
        const FilteredInput f = filterSearchInput(c.typed, c.caret);
        EXPECT_STREQ(c.text, f.text.GetString()) << c.typed;
        EXPECT_EQ(c.keptCaret, f.caret) << c.typed;
        EXPECT_EQ(c.changed, f.changed) << c.typed;
    }
}

TEST(CarSearchMask, GlobAgreesWithTheExpressionEngineOnReadableMasks) {
    const char* masks[] = {"A?C*", "A*", "*", "?", "??1", "1*2*3", "AB", "*Z", "a?B", "", "Q*?*"};
    const char* texts[] = {"", "A", "A1", "A1C", "A1CX9", "AB", "123", "1x2y3", "9", "991", "Z", "AZ",
                           "a1B", "Q12", "Q", "QA1"};
    for (const char* m : masks) {
        const std::regex re(toExpression(m), std::regex::ECMAScript);
        for (const char* t : texts)
            EXPECT_EQ(std::regex_match(t, re), matchesSoftwarePattern(m, t)) << m << " / " << t;
    }
}

TEST(CarSearchMask, PatternIsTheMasksSignificantPrefix) {
    // A?C* is cut to the text's length first: a prefix search over masks.
    struct Case { const char* text; bool matches; };
    const Case cases[] = {{"A", true}, {"A1", true}, {"A1C", true}, {"A1CX9", true}, {"AB", false}, {"A1D", false}};
    for (const Case& c : cases) {
        const std::string pattern = buildSoftwarePattern(L"A?C*", strlen(c.text));
        EXPECT_EQ(c.matches, matchesSoftwarePattern(pattern, c.text)) << c.text;
    }
    EXPECT_EQ("12AB", buildSoftwarePattern(L"1 2.(A)_B", 10));
    EXPECT_EQ("12", buildSoftwarePattern(L"1_2_3", 2));
}

TEST(CarSearchMask, ExpressionCharactersAreLiteralAndManyStarsStayCheap) {
    EXPECT_TRUE(matchesSoftwarePattern("A[1+", "A[1+"));
    EXPECT_FALSE(matchesSoftwarePattern("A+", "AA"));
    EXPECT_FALSE(matchesSoftwarePattern("[0-9]", "5"));
    // Thirty stars against 128 characters that almost match: a backtracking
    // engine walks for minutes here.
    const std::string stars(30, '*');
    const std::string text(128, 'A');
    EXPECT_FALSE(matchesSoftwarePattern(stars + "!", text));
    EXPECT_TRUE(matchesSoftwarePattern(stars + "A", text));

    Vehicles v;
    InfInfo* odd = v.add(L"", L"V1|V2", L"12[3|1+*");
    std::multimap<CString, const InfInfo*> masks{{odd->getSwVersionMask(), odd}};
    EXPECT_EQ((std::vector<std::wstring>{L"V1"}), keysOf(matchSoftwareMasks(L"12[", masks)));
    EXPECT_EQ((std::vector<std::wstring>{L"V2"}), keysOf(matchSoftwareMasks(L"1+", masks)));
    EXPECT_TRUE(matchSoftwareMasks(L"1A", masks).empty());
}

TEST(CarSearchMask, SoftwareHitsTakeTheVersionAtTheMasksPosition) {
    Vehicles v;
    InfInfo* a = v.add(L"", L"SW-B|SW-A", L"X*|Y*|Z*");  // a third mask with no third version
    InfInfo* b = v.add(L"", L"SW-C||SW-D", L"Y1|Y*");    // the list ends at the empty token
    std::multimap<CString, const InfInfo*> masks;
    for (InfInfo* e : v.list) masks.emplace(e->getSwVersionMask(), e);

    EXPECT_TRUE(matchSoftwareMasks(L"Z", masks).empty());
    EXPECT_EQ((std::vector<std::wstring>{L"SW-B"}), keysOf(matchSoftwareMasks(L"X", masks)));
    const std::vector<Hit> y = matchSoftwareMasks(L"Y1", masks);
    EXPECT_EQ((std::vector<std::wstring>{L"SW-A", L"SW-C"}), keysOf(y));
    EXPECT_EQ(a, y[0].entry);
    EXPECT_EQ(b, y[1].entry);
    EXPECT_TRUE(matchSoftwareMasks(L"(.)", masks).empty());  // separators only: no search at all
}

TEST(CarSearchModel, PrefixOfTheSignificantCharactersOncePerCode) {
    Vehicles v;
    InfInfo* first = v.add(L"12A|12B");
    v.add(L"12B|13C");
    v.add(L"12_C");
    v.add(L"12Z")->setModelFlag(1);  // model-specific descriptors are not searched

    const std::vector<Hit> hits = matchModelCodes(L"12", v.list);
    EXPECT_EQ((std::vector<std::wstring>{L"12A", L"12B", L"12_C"}), keysOf(hits));
    EXPECT_EQ(first, hits[1].entry);  // the shared code stays with the first vehicle
    EXPECT_EQ((std::vector<std::wstring>{L"12_C"}), keysOf(matchModelCodes(L"12C", v.list)));
    EXPECT_TRUE(matchModelCodes(L"_", v.list).empty());
}

TEST(CarSearchNames, BrandPrefixAndHighlight) {
    EXPECT_STREQ(L"SONATA", stripBrandPrefix(L"TS_SONATA", L"TS").GetString());
    EXPECT_STREQ(L"A_B", stripBrandPrefix(L"TS_A_B", L"TS").GetString());
    EXPECT_STREQ(L"DR_X", stripBrandPrefix(L"DR_X", L"DR").GetString());
    EXPECT_STREQ(L"PLAIN", stripBrandPrefix(L"PLAIN", L"TS").GetString());

    // 12_3 has three significant characters: four of 12_3A are drawn.
    EXPECT_STREQ(L"12_3", highlightText(L"12_3", {L"12_3A"}).GetString());
    EXPECT_STREQ(L"12", highlightText(L"12", {L"12A", L"1"}).GetString());
    EXPECT_STREQ(L"A(B", highlightText(L"AB", {L"AB1", L"A(B"}).GetString());  // the last key wins
}
