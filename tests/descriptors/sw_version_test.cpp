#include "descriptors/sw_version.h"
#include "foundation/code_tables.h"
#include "foundation/config_file.h"
#include "tests/support/test_support.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

// Test values of the maker's scheme; the program reads its own from
// config.json.
sw_compat_config testConfig() {
    return sw_compat_config::fromTable({
        {L"SWVER_PRODUCTION_MARKER", L"PRD2020SERIES_A1"},
        {L"SWVER_PRODUCTION_MARKER_2", L"PRD2022SERIES_B2XX"},
        {L"SWVER_REGION_MARKER_LONG", L"EUR_RUS_CIS"},
        {L"SWVER_REGION_MARKER_SHORT", L"EUR_RUSCIS"},
        {L"MODEL_EQUIVALENCE", L" 101, 102 | 201,202,203 || "},
        {L"MODEL_FALLBACK", L"301"},
        {L"MODEL_FALLBACK_PREFIX", L"302"},
    });
}

TEST(SwCompat, ConfigurationFromTheSettingsFile) {
    sw_compat_config config = testConfig();
    EXPECT_EQ(config.productionPrefix(), L"PRD2020SERIES");
    ASSERT_EQ(config.equivalenceGroups.size(), 2u);
    EXPECT_EQ(config.equivalenceGroups[0], (std::vector<CString>{L"101", L"102"}));
    EXPECT_EQ(config.equivalenceGroups[1], (std::vector<CString>{L"201", L"202", L"203"}));
    EXPECT_TRUE(sw_compat_config::fromTable({}).equivalenceGroups.empty());
}

// A settings file loaded after the first use is what the rules read next.
TEST(SwCompat, CurrentFollowsAReload) {
    TempDir dir;
    const CString path = dir / L"config.json";
    CConfigFile* file = CConfigFile::getInstance();
    ASSERT_TRUE(writeBytes(path, R"({"MODEL_FALLBACK":"first"})"));
    ASSERT_TRUE(file->loadFile(path));
    EXPECT_EQ(sw_compat_config::current()->fallbackModel, L"first");
    ASSERT_TRUE(writeBytes(path, R"({"MODEL_FALLBACK":"second"})"));
    ASSERT_TRUE(file->loadFile(path));
    EXPECT_EQ(sw_compat_config::current()->fallbackModel, L"second");
}

TEST(SwCompat, SplitVersion) {
    EXPECT_TRUE(splitVersion(L"").empty());
    EXPECT_EQ(splitVersion(L"a..b."), (std::vector<CString>{L"a", L"", L"b", L""}));
}

TEST(SwCompat, HeadUnitVersionAgainstEntry) {
    const wchar_t* kPattern = L"KOR.TS.A01.000.SD.STD_240501|USA.TS.A01.000.SD.STD_240501";
    struct Case {
        const wchar_t* what;
        int brand;
        const wchar_t* media;
        const wchar_t* pattern;
        const wchar_t* device;
        int expected;
    } cases[] = {
        {L"exact match of an alternative", CORP_TS, L"SD", kPattern, L"USA.TS.A01.000.SD.STD_240501", 1},
        {L"empty pattern never fits", CORP_TS, L"SD", L"", L"x PRD2020SERIES_A1", 0},
        {L"media type letter case ignored", CORP_LV, L"sd", kPattern, L"KOR.TS.A01.000.SD.STD_240501", 1},
        {L"no media type", CORP_LV, L"", kPattern, L"KOR.TS.A01.000.SD.STD_240501", 0},
        {L"USB head unit", CORP_LV, L"USB", kPattern, L"KOR.TS.A01.000.SD.STD_240501", 0},
        {L"device KR reads as KOR", CORP_LV, L"SD", kPattern, L"KR.TS.A01.000.SD.STD_240501", 1},
        {L"pattern KR does not", CORP_LV, L"SD", L"KR.TS.A01.000.SD.STD_1", L"KOR.TS.A01.000.SD.STD_1", 0},
        {L"device without a dot", CORP_LV, L"SD", kPattern, L"KORTSA01", 0},
        {L"token 5 decides before later alternatives", CORP_LV, L"SD",
         L"KOR.TS.A01.000.SD.STD_1|KOR.TS.A01.000.SD.STD_2", L"KOR.TS.A01.000.SD.STD_2", 0},
        {L"STD_ device fits INT_ pattern", CORP_LV, L"SD", L"KOR.TS.A01.000.SD.INT_9", L"KOR.TS.A01.000.SD.STD_9", 1},
        {L"INT_ device fits STD_ pattern", CORP_LV, L"SD", L"KOR.TS.A01.000.SD.STD_9", L"KOR.TS.A01.000.SD.INT_9", 1},
        {L"the swap is case-sensitive", CORP_LV, L"SD", L"KOR.TS.A01.000.SD.STD_9", L"KOR.TS.A01.000.SD.int_9", 0},
        {L"three tokens never fit", CORP_LV, L"SD", L"KOR.TS.A01", L"KOR.TS.A01", 0},
        {L"four equal-prefix tokens fit", CORP_LV, L"SD", L"kor.ts.a01.999", L"KOR.TS.A01.000.SD.STD_1", 1},
        {L"token 4 ignored without the production marker", CORP_LV, L"SD", L"KOR.TS.A01.000.USB.Y",
         L"KOR.TS.A01.000.SD.Y", 1},
        {L"token 5 differs", CORP_LV, L"SD", L"KOR.TS.A01.000.USB.Y", L"KOR.TS.A01.000.SD.X", 0},
        {L"token 4 compared with the marker: stops before token 5, prefix holds", CORP_LV, L"SD",
         L"KOR.TS.A01.000.USB.Y", L"KOR.TS.A01.000.SD.X.PRD2020SERIES_A1", 1},
        {L"token 2 differs", CORP_LV, L"SD", kPattern, L"KOR.TS.A02.000.SD.STD_240501", 0},
        {L"blanks that made a repeated pattern unique", CORP_LV, L"SD", L"KOR.TS.A01.000.SD.STD_1   ",
         L"KOR.TS.A01.000.SD.STD_1", 1},
        {L"DR: long regional marker read as short", CORP_DR, L"SD", L"EUR.DR.D20.000.SD.EUR_RUSCIS",
         L"EUR.DR.D20.000.SD.EUR_RUS_CIS", 1},
        {L"DR: short regional marker read as long", CORP_DR, L"SD", L"EUR.DR.D20.000.SD.EUR_RUS_CIS",
         L"EUR.DR.D20.000.SD.EUR_RUSCIS", 1},
        {L"LV has no regional allowance", CORP_LV, L"SD", L"EUR.DR.D20.000.SD.EUR_RUSCIS",
         L"EUR.DR.D20.000.SD.EUR_RUS_CIS", 0},
        {L"TS: first production unit takes second production updates", CORP_TS, L"USB",
         L"X.PRD2022SERIES_B2XX", L"PRD2020SERIES_A1", 1},
        {L"TS: without the second marker in the pattern", CORP_TS, L"SD", kPattern, L"PRD2020SERIES_A1", 0},
        {L"TS: the prefix alone is not the marker", CORP_TS, L"SD", L"X.PRD2022SERIES_B2XX", L"PRD2020SERIES", 0},
    };
    sw_compat_config config = testConfig();
    for (const auto& c : cases) {
        InfInfo entry;
        entry.setSwVersion(c.pattern);
        entry.setMediaType(c.media);
        EXPECT_EQ(checkSwVersion(c.device, &entry, c.brand, config), c.expected) << c.what;
    }
}

TEST(SwCompat, UnsetMarkersGrantNothing) {
    InfInfo entry;
    entry.setSwVersion(L"A.B.C.D.E.F");
    entry.setMediaType(L"SD");
    sw_compat_config none;
    EXPECT_EQ(checkSwVersion(L"X.Y", &entry, CORP_TS, none), 0);
    EXPECT_EQ(checkSwVersion(L"X.Y", &entry, CORP_DR, none), 0);
    equivalent_models result;
    InfInfoList list;
    EXPECT_EQ(findEquivalentModel(&entry, list, L"anything", result, none), 0);
}

TEST(SwCompat, EquivalentModels) {
    InfInfoList list;
    auto add = [&list](const wchar_t* model, int position, const wchar_t* name) {
        auto* entry = new InfInfo;
        entry->setModelCode(model);
        entry->setModelFlag(position);
        entry->setInfFileName(name);
        list.insertSorted(entry);
        return entry;
    };
    add(L"201", 1, L"201 model");
    InfInfo* common201 = add(L"201", 0, L"201 common");
    InfInfo* e203 = add(L"203", 0, L"203");
    InfInfo* e101 = add(L"101", 0, L"101");
    InfInfo* e301 = add(L"301", 0, L"301");
    const sw_compat_config config = testConfig();

    struct Case {
        const wchar_t* model;
        const wchar_t* device;
        int expected;
        InfInfo* primary;
        std::vector<InfInfo*> others;
    } cases[] = {
        {L"203", L"", 1, common201, {e203}},
        {L"201", L"", 1, common201, {e203}},
        {L"101", L"", 1, e101, {}},
        {L"202", L"", 0, nullptr, {}},
        {L"999", L"V.PRD2020SERIES_A1.x", 1, e301, {}},
        {L"999", L"V.PRD2020SERIES.x", 1, nullptr, {}},
        {L"999", L"V.x", 0, nullptr, {}},
    };
    for (const auto& c : cases) {
        InfInfo entry;
        entry.setModelCode(c.model);
        equivalent_models result;
        EXPECT_EQ(findEquivalentModel(&entry, list, c.device, result, config), c.expected) << c.model;
        EXPECT_EQ(result.primary, c.primary) << c.model << L" " << c.device;
        EXPECT_EQ(result.others, c.others) << c.model;
    }
}

}  // namespace
