// The hidden bulk-download page's arithmetic and orderings as tables.
#include "pages/account/hidden_rules.h"

#include "foundation/code_tables.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

using namespace hidden_rules;

TEST(HiddenRules, GroupsAndTheRowsThatSelectThem) {
    struct {
        int type, group;
    } groups[] = {{0, 0}, {1, 1}, {2, 2}, {9, 12}, {11, 12}, {12, 12}, {13, 16}, {16, 16}, {17, -1}, {40, -1}, {-3, -1}};
    for (const auto& g : groups) EXPECT_EQ(g.group, groupOf(g.type)) << g.type;

    struct {
        int group, type;
        bool matches;
    } rows[] = {{12, 9, true},  {12, 11, true},  {9, 12, true},   {16, 13, true}, {13, 16, true},
                {12, 13, false}, {5, 5, true},   {5, 6, false},   {0, 17, true},  {0, 1, true},
                {-1, 5, false},  {2, 0, false},  {16, 12, false}};
    for (const auto& r : rows) EXPECT_EQ(r.matches, groupMatches(r.group, r.type)) << r.group << "/" << r.type;

    bool flags[kGroupCount]{};
    for (int type : {0, 1, 9, 13, 3, 17}) {
        const int g = groupOf(type);
        if (g >= 0) flags[g] = true;
    }
    EXPECT_EQ((std::vector<int>{16, 12, 3}), groupRows(flags)) << "highest first; 0 and 1 have no row";
    EXPECT_EQ(12571, groupTextId(12));
    EXPECT_EQ(12572, groupTextId(16));
    EXPECT_EQ(0, groupTextId(9));
    EXPECT_EQ(0, groupTextId(1));
}

TEST(HiddenRules, ModelOrder) {
    const ModelKey big{13, 1, L"나", L"Zeta"};     // group 16
    const ModelKey mid{9, 5, L"가", L"Beta"};      // group 12, sort 5
    const ModelKey midLow{12, 2, L"다", L"Alpha"}; // group 12, sort 2
    const ModelKey same1{12, 2, L"라", L""};       // no international name: the Korean one
    const ModelKey late{17, 99, L"마", L"Aa"};     // no group: last
    std::vector<ModelKey> keys = {late, same1, midLow, mid, big};
    for (int language : {LANGUAGE_KO, LANGUAGE_EN}) {
        std::vector<ModelKey> sorted = keys;
        std::stable_sort(sorted.begin(), sorted.end(),
                         [language](const ModelKey& a, const ModelKey& b) { return modelBefore(a, b, language); });
        std::vector<CString> names;
        for (const ModelKey& k : sorted) names.push_back(language == LANGUAGE_KO ? k.deviceName : k.deviceNameIntl);
        if (language == LANGUAGE_KO) {
            EXPECT_EQ((std::vector<CString>{L"나", L"가", L"다", L"라", L"마"}), names);
        } else {
            // "Alpha" before "라" (ordinal: Latin before Hangul).
            EXPECT_EQ((std::vector<CString>{L"Zeta", L"Beta", L"Alpha", L"", L"Aa"}), names);
        }
    }
    // Equal keys: neither goes first (the stable sort keeps list order).
    EXPECT_FALSE(modelBefore(mid, mid, LANGUAGE_EN));
    // Case-sensitive ordinal: "Z" before "a".
    EXPECT_TRUE(modelBefore({2, 0, L"", L"Zed"}, {2, 0, L"", L"abc"}, LANGUAGE_EN));
}

TEST(HiddenRules, SummaryAndDiskCheck) {
    // Units round to the nearest 1,024,000,000 bytes.
    struct {
        std::vector<ULONGLONG> sizes;
        int count;
        ULONGLONG need, units;
    } sums[] = {
        {{}, -1, 512000000ULL, 0},
        {{511999999ULL}, -1, 1023999999ULL, 0},
        {{512000000ULL}, -1, 1024000000ULL, 1},
        {{1000000000ULL, 1000000000ULL, 600000000ULL}, -1, 3112000000ULL, 3},
        // Before model k the models k.. count: count = k - 2.
        {{1000000000ULL, 1000000000ULL, 600000000ULL}, 0, 2112000000ULL, 2},
        {{1000000000ULL, 1000000000ULL, 600000000ULL}, 1, 1112000000ULL, 1},
        {{1000000000ULL, 1000000000ULL, 600000000ULL}, 2, 512000000ULL, 0},
        {{5000000000ULL, 6000000000ULL}, -1, 11512000000ULL, 11},  // beyond 32 bits
    };
    for (const auto& s : sums) {
        EXPECT_EQ(s.need, neededBytes(s.sizes, s.count)) << s.count;
        EXPECT_EQ(s.units, unitsOf(neededBytes(s.sizes, s.count))) << s.count;
    }
    EXPECT_EQ(0ULL, usableFree(0));
    EXPECT_EQ(0ULL, usableFree(2048000000ULL));
    EXPECT_EQ(1ULL, usableFree(2048000001ULL));
    EXPECT_EQ(10000000000ULL, usableFree(12048000000ULL));

    struct {
        const wchar_t* path;
        const wchar_t* drive;
    } drives[] = {{L"D:\\Updates", L"D"}, {L"", L""}, {L"Updates", L""}, {L"C:", L"C"}, {L"\\\\srv\\x:y", L"\\\\srv\\x"}};
    for (const auto& d : drives) EXPECT_STREQ(d.drive, driveOf(d.path).GetString()) << d.path;

    EXPECT_STREQ(L"0.48", shortfallText(0, 512000000ULL).GetString());
    EXPECT_STREQ(L"1.00", shortfallText(1073741824ULL, 2147483648ULL).GetString());
}

TEST(HiddenRules, RateAndPercent) {
    struct {
        double rate;
        int language;
        const wchar_t* text;
    } rates[] = {
        {0, LANGUAGE_EN, L"0 KB/s"},      {0.5, LANGUAGE_EN, L"0/s"},          {512, LANGUAGE_EN, L"512 KB/s"},
        {1024, LANGUAGE_EN, L"1024 KB/s"}, {1536, LANGUAGE_EN, L"1.5 MB/s"},   {-3, LANGUAGE_EN, L""},
        {512, LANGUAGE_ES, L"512 KB/Seg"}, {0, LANGUAGE_ES, L"0 KB/Seg"},      {3145728, LANGUAGE_KO, L"3072.0 MB/s"},
    };
    for (const auto& r : rates) EXPECT_STREQ(r.text, formatRate(r.rate, r.language).GetString()) << r.rate;

    struct {
        ULONGLONG current, total;
        int percent;
    } percents[] = {
        {0, 1048576, 0}, {524288, 1048576, 0}, {1048576, 2097152, 50}, {3ULL << 20, 3ULL << 20, 100},
        {5ULL << 30, 10ULL << 30, 50},  // above 32 bits
        {100, 1000, -1},                // a total below 1 MB
        {0, 0, -1},
    };
    for (const auto& p : percents) EXPECT_EQ(p.percent, percentOf(p.current, p.total)) << p.current << "/" << p.total;

    EXPECT_EQ(RGB(187, 22, 43), barColour(CORP_LV, REGION_US));
    EXPECT_EQ(RGB(187, 22, 43), barColour(CORP_LV, REGION_CA));
    EXPECT_EQ(RGB(234, 0, 41), barColour(CORP_LV, REGION_KR));
    EXPECT_EQ(RGB(0, 44, 95), barColour(CORP_DR, REGION_US));
    EXPECT_EQ(RGB(163, 107, 79), barColour(CORP_TS, REGION_US));
}

}  // namespace
