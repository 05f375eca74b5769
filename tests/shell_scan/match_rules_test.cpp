#include "foundation/code_tables.h"
#include "shell/scan/match_rules.h"
#include "shell/scan/ver_reader.h"
#include "tests/shell_scan/scan_fixtures.h"
#include "tests/support/test_support.h"

#include <gtest/gtest.h>

#include <memory>

TEST(MatchRules, ModelCodes) {
    struct Case {
        const wchar_t *a, *b;
        bool equal;
    } cases[] = {
        {L"007", L"7", true},    {L"120", L"0120", true}, {L"A01", L"A02", false}, {L"A01", L"a01", true},
        {L"", L"000", false},    {L"", L"", false},       {L"A01", L"0", false},   {L"12", L"13", false},
        {L"7 ", L"7", false},  // a blank makes it text, and texts differ
    };
    for (const Case& c : cases) EXPECT_EQ(modelCodesEqual(c.a, c.b), c.equal) << c.a << " / " << c.b;
}

TEST(MatchRules, RestrictedRegions) {
    struct Case {
        int region, corp;
        BOOL restricted;
    } cases[] = {
        {REGION_RU, CORP_TS, TRUE}, {REGION_RU, CORP_DR, TRUE},  {REGION_RU, CORP_LV, FALSE},
        {REGION_KR, CORP_TS, FALSE}, {REGION_KR, CORP_DR, FALSE}, {REGION_US, CORP_TS, FALSE},
        {REGION_ME, CORP_LV, TRUE}, {REGION_NZ, CORP_NONE, TRUE}, {REGION_BR, CORP_TS, TRUE},
        {REGION_CA, CORP_LV, TRUE}, {REGION_AU, CORP_DR, TRUE},   {REGION_TR, CORP_TS, TRUE},
        {REGION_EU, CORP_DR, FALSE},
    };
    for (const Case& c : cases) EXPECT_EQ(isRestrictedRegion(c.region, c.corp), c.restricted) << c.region << "/" << c.corp;
}

TEST(MatchRules, SoftwareVersionAlternatives) {
    struct Case {
        const wchar_t *pattern, *version;
        BOOL accepted;
    } cases[] = {
        {L"KOR.A|USA.B", L"usa.b", TRUE}, {L"KOR.A||", L"KOR.A", TRUE}, {L"KOR.A|", L"", FALSE},
        {L"", L"", FALSE},                {L"KOR.A ", L"KOR.A", FALSE},
    };
    for (const Case& c : cases) EXPECT_EQ(isSwVersionAccepted(c.pattern, c.version), c.accepted) << c.pattern;
}

TEST(MatchRules, ConfigurationIdFromTheMediumNames) {
    struct Case {
        std::vector<const wchar_t*> names;
        const wchar_t* id;
    } cases[] = {
        {{L"hu_0a-1b-2c-3d-4e-5f_v1.aaa"}, L"0A-1B-2C-3D-4E-5F"},
        {{L"HU_0A-1B-2C-3D-4E-5F_V1.AAA"}, L"0A-1B-2C-3D-4E-5F"},
        {{L"_0a-1b-2c-3d-4e-5f_v1.aaa"}, L""},        // "_" at index 0
        {{L"hu_0a-1b-2c-3d-4e-5f.aaa"}, L""},         // no second "_" beyond the id
        {{L"hu_0a-1b-2c-3d-4e-5f_v1.bbb"}, L""},
        {{L"hu_short_x.aaa", L"zz_aa-bb-cc-dd-ee-ff_1.aaa"}, L"AA-BB-CC-DD-EE-FF"},
        {{}, L""},
    };
    for (const Case& c : cases) {
        TempDir medium;
        const CString folder = medium.path() + L"Data\\Common\\Configuration\\";
        writeText(folder + L"keep.txt", L"x");
        for (const wchar_t* name : c.names) writeText(folder + name, L"x");
        CString id = L"stale";
        EXPECT_EQ(readConfigurationId(medium.path(), id), *c.id ? TRUE : FALSE);
        EXPECT_EQ(id, CString(c.id)) << (c.names.empty() ? L"(none)" : c.names[0]);
    }
    CString id = L"stale";
    EXPECT_FALSE(readConfigurationId(L"Q:\\no-such-drive", id));
    EXPECT_TRUE(id.IsEmpty());
}

TEST(MatchRules, EntriesPresentWithTheirRecordedSizes) {
    TempDir medium;
    writeText(medium.path() + L"MAP\\a.dat", L"abc");
    writeText(medium.path() + L"MAP\\\xC9C0\xB3C4.dat", L"12345");
    struct Case {
        const wchar_t* lines;
        BOOL present;
    } cases[] = {
        {L"+|1|sw|TS|X|A01|1\nMAP|a.dat|1|1|3|1\nMAP|\xC9C0\xB3C4.dat|1|1|5|1\n", TRUE},
        {L"+|1|sw|TS|X|A01|1\n", TRUE},
        {L"+|1|sw|TS|X|A01|1\nMAP|a.dat|1|1|4|1\n", FALSE},           // size differs
        {L"+|1|sw|TS|X|A01|1\nMAP|gone.dat|1|1|0|1\n", FALSE},        // missing
        {L"+|1|sw|TS|X|A01|1\nPKG|MAP.exe|1|1|9|1\nPKG|image.EXE|1|1|9|1\n", TRUE},  // head-unit programs
    };
    for (const Case& c : cases) {
        ver_file_data data;
        data.parse(c.lines);
        EXPECT_EQ(allEntriesPresent(data, medium.path(), FALSE), c.present) << c.lines;
    }
}

TEST(MatchRules, MergeTailsOnceAndDropTheLastElement) {
    // The model part comes first, its common part (named like its device)
    // after it, as filterByModelCode never orders them; the tails of the
    // model part go in front of the common part's.
    std::unique_ptr<InfInfoList> account(makeList({{L"TS_A01_MODEL.inf", L"TS", L"A01", L"", L"X", 1},
                                                   {L"TS_A01_COMMON.inf", L"TS", L"A01", L"", L"TS_A01_COMMON"}}));
    InfInfo* model = account->m_list.front();
    InfInfo* common = account->m_list.back();
    for (int round = 0; round < 2; ++round) {
        InfInfoList refs(false);
        refs.m_list = account->m_list;
        mergeInfTails(&refs);
        EXPECT_EQ(refs.size(), 1u) << round;
        EXPECT_EQ(common->getInfFileTails()->size(), 2) << round;  // not again on the second round
        EXPECT_EQ(common->getInfFileTails()->get(0), model->getInfFileTails()->get(0));
        EXPECT_EQ(common->getMerged(), 1);
    }
    // Null, single or headless lists are left alone.
    mergeInfTails(nullptr);
    InfInfoList single(false);
    single.m_list.push_back(model);
    mergeInfTails(&single);
    EXPECT_EQ(single.size(), 1u);
    InfInfo headless;
    InfInfoList two(false);
    two.m_list = {&headless, common};
    mergeInfTails(&two);
    EXPECT_EQ(two.size(), 2u);
}

TEST(MatchRules, MergeTailMapsRenumbers) {
    std::unique_ptr<InfInfoList> list(makeList({{L"A.inf", L"TS", L"1", L""}, {L"B.inf", L"TS", L"1", L""}}));
    InfFileTailMap* a = list->m_list.front()->getInfFileTails();
    InfFileTailMap* b = list->m_list.back()->getInfFileTails();
    InfFileTail* aTail = a->get(0);
    InfFileTail* bTail = b->get(0);
    mergeTailMaps(a, b);
    ASSERT_EQ(a->size(), 2);
    EXPECT_EQ(a->get(0), bTail);
    EXPECT_EQ(a->get(1), aTail);
    mergeTailMaps(a, nullptr);
    mergeTailMaps(a, a);
    EXPECT_EQ(a->size(), 2);
}

TEST(VerReader, BothGenerationsAndNonAsciiNames) {
    TempDir dir;
    const CString text = L"*|2024.05.01|KOR.TS|\xC544\xB374_A01|A01|1\n\xB9F5|a.dat|1|1|3|1\n";
    for (bool utf16 : {false, true}) {
        writeText(dir.path() + L"x.ver", text, utf16);
        ver_file_data data;
        ASSERT_TRUE(readVerFile(dir.path() + L"x.ver", data));
        ASSERT_NE(data.head, nullptr);
        EXPECT_EQ(data.head->getVerName(), CString(L"\xC544\xB374_A01")) << utf16;
        ASSERT_EQ(data.entries.size(), 1u);
        EXPECT_EQ(data.entries[0]->getDestPath(), CString(L"\xB9F5"));
    }
    ver_file_data none;
    EXPECT_FALSE(readVerFile(dir.path() + L"missing.ver", none));
    EXPECT_EQ(firstVerFile(dir.path()), dir.path() + L"x.ver");
    EXPECT_TRUE(firstVerFile(dir.path() + L"empty\\").IsEmpty());
    EXPECT_EQ(mediumRoot(L"R"), CString(L"R:\\"));
    EXPECT_EQ(mediumRoot(L"R:"), CString(L"R:\\"));
}
