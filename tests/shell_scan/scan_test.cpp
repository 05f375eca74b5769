#include "foundation/code_tables.h"
#include "foundation/globalfunc.h"
#include "foundation/logmanager.h"
#include "shell/scan/medium_scan.h"
#include "tests/shell_scan/scan_fixtures.h"
#include "tests/support/test_support.h"
#include "tests/webclient/config_scope.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <set>
#include <map>
#include <memory>

namespace {

const wchar_t kSwA01[] = L"KOR.TS.A01.000.SD.STD_240501";
const wchar_t kSwC10[] = L"USA.LV.C10.000.SD.INT_240401";

// The brands' catalogues as the service would list them; every request
// makes a new list, as the real one does.
struct FakeCatalogs {
    std::string asked;  // the corp ids in request order
    std::set<int> failing;

    GuestCatalogRequest source() {
        return [this](InfInfoList*& out, int corp) -> BOOL {
            asked += static_cast<char>('0' + corp);
            delete out;
            switch (corp) {
            case CORP_TS:
                out = makeList({{L"TS_A01_COMMON.inf", L"TS", L"A01", kSwA01}});
                break;
            case CORP_LV:
                out = makeList({{L"LV_C10.inf", L"LV", L"C10", kSwC10}});
                break;
            default:
                out = makeList({{L"DR_D20.inf", L"DR", L"D20", L"EUR.DR.D20.000.SD.STD_240201"}});
                break;
            }
            return failing.count(corp) ? FALSE : TRUE;
        };
    }
};

InfInfoList* account() {
    return makeList({{L"TS_A01_COMMON.inf", L"TS", L"A01", kSwA01}, {L"TS_B02.inf", L"TS", L"B02", L"KOR.TS.B02"}},
                    CORP_TS);
}

struct Media {
    TempDir dir;
    CString r() const { return dir.path() + L"r\\"; }
    CString s() const { return dir.path() + L"s\\"; }
};

// The software version is an older one unless given.
CString head2(const wchar_t* brand, const wchar_t* model, int complete = 0, const wchar_t* sw = L"KOR.TS.OLD") {
    CString line;
    line.Format(L"+|2024.05.01|%s|%s|NAME|%s|%d\n", sw, brand, model, complete);
    return line;
}

}  // namespace

TEST(MediumScan, CasesFromMediaToOutcome) {
    struct Case {
        const char* name;
        std::function<void(const Media&)> write;
        int result;
        const wchar_t* carInf;  // null: no entry for the registration page
        bool lastReg;
        BOOL otherCorp;
        int mediumCorp;
        const char* asked;
        const wchar_t* record = nullptr;  // a statistics record it must add
    } cases[] = {
        {"both drives match: the lower letter wins",
         [](const Media& m) {
             writeText(m.r() + L"a.ver", head2(L"TS", L"A01"));
             writeText(m.s() + L"b.ver", head2(L"TS", L"B02"));
         },
         1, L"TS_A01_COMMON.inf", false, FALSE, CORP_TS, "", L",NAME:TS_A01_COMMON]"},
        {"only the higher letter matches",
         [](const Media& m) {
             writeText(m.r() + L"a.ver", head2(L"TS", L"Z99"));
             writeText(m.s() + L"b.ver", head2(L"TS", L"b02"));
         },
         1, L"TS_B02.inf", false, FALSE, CORP_TS, ""},
        {"a software version nobody accepts",
         [](const Media& m) { writeText(m.r() + L"swversion\\swversion.info1", L"KOR.XX.Z99.000.SD.STD_1\r\n"); },
         1, nullptr, false, FALSE, CORP_TS, "23", L",SWV:KOR.XX.Z99.000.SD.STD_1]"},
        {"a software version of the account",
         [](const Media& m) { writeText(m.s() + L"swversion\\swversion.info", CString(kSwA01) + L"\r\n"); }, 1,
         L"TS_A01_COMMON.inf", false, FALSE, CORP_TS, ""},
        {"a software version of another brand",
         [](const Media& m) { writeText(m.r() + L"swversion\\swversion.info", kSwC10); }, 1, nullptr, false, TRUE,
         CORP_LV, "2"},
        {"another brand in a second-layout file",
         [](const Media& m) { writeText(m.r() + L"a.ver", head2(L"LV", L"C10")); }, 0, nullptr, false, TRUE,
         CORP_LV, ""},
        {"a first-layout file found in the account brand's catalogue",
         [](const Media& m) { writeText(m.r() + L"a.ver", L"*|1|sw|TS_A01_COMMON|A01|0\n", true); }, 1,
         L"TS_A01_COMMON.inf", false, FALSE, CORP_TS, "123"},
        {"a first-layout file of another brand",
         [](const Media& m) { writeText(m.r() + L"a.ver", L"*|1|sw|LV_C10|C10|0\n"); }, 0, nullptr, false, TRUE,
         CORP_LV, "123"},
        {"a complete medium; MAP.exe need not be there",
         [](const Media& m) {
             writeText(m.r() + L"a.ver", head2(L"TS", L"A01", 1, kSwA01) + L"MAP|a.dat|1|1|3|1\nPKG|MAP.exe|1|1|9|1\n");
             writeText(m.r() + L"MAP\\a.dat", L"abc");
         },
         1, L"TS_A01_COMMON.inf", true, FALSE, CORP_TS, ""},
        {"complete but a file is short",
         [](const Media& m) {
             writeText(m.r() + L"a.ver", head2(L"TS", L"A01", 1, kSwA01) + L"MAP|a.dat|1|1|3|1\n");
             writeText(m.r() + L"MAP\\a.dat", L"ab");
         },
         1, L"TS_A01_COMMON.inf", false, FALSE, CORP_TS, ""},
        {"a file without a head line ends the scan",
         [](const Media& m) {
             writeText(m.r() + L"a.ver", head2(L"TS", L"A01"));
             writeText(m.s() + L"b.ver", L"\nMAP|a.dat|1|1|3|1\n");
         },
         0, nullptr, false, FALSE, CORP_TS, ""},
        {"no version files", [](const Media&) {}, 0, nullptr, false, FALSE, CORP_TS, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Media media;
        CGlobalFunc::createDirectory(media.r());
        CGlobalFunc::createDirectory(media.s());
        c.write(media);
        std::unique_ptr<InfInfoList> list(account());
        const std::list<InfInfo*> before = list->m_list;
        FakeCatalogs catalogs;
        MediumScanInput input;
        input.roots = {media.r(), media.s()};
        input.account = list.get();
        input.clientGuid = L"GUID-1";
        input.requestCatalog = catalogs.source();
        MediumScanState state;
        state.m_nMediumCorp = CORP_TS;
        std::vector<std::unique_ptr<InfInfoList>> retired;
        const CString errorLogBefore = g_logManager.getStatisticsContext().errorLog;

        MediumScanOutcome out = scanVerFiles(input, state, retired);

        EXPECT_EQ(out.result, c.result);
        EXPECT_EQ(out.carInfo ? out.carInfo->getInfFileName() : CString(), CString(c.carInf ? c.carInf : L""));
        EXPECT_EQ(out.lastReg, c.lastReg);
        EXPECT_EQ(state.m_bMediumOtherCorp, c.otherCorp);
        EXPECT_EQ(state.m_nMediumCorp, c.mediumCorp);
        EXPECT_EQ(catalogs.asked, c.asked);
        EXPECT_TRUE(list->m_list == before) << "the account list changed";
        // An entry from a catalogue outlives the scan in the retired list.
        if (out.carInfo && std::find(before.begin(), before.end(), out.carInfo) == before.end()) {
            ASSERT_EQ(retired.size(), 1u);
            EXPECT_EQ(retired[0]->m_list.front(), out.carInfo);
        } else {
            EXPECT_TRUE(retired.empty());
        }
        if (c.record) {
            const CString added = g_logManager.getStatisticsContext().errorLog.Mid(errorLogBefore.GetLength());
            EXPECT_GE(added.Find(c.record), 0) << utf8(added);
        }
    }
}

TEST(MediumScan, SoftwareVersionStateAndDriveOrder) {
    Media media;
    writeText(media.r() + L"swversion\\swversion.info", CString(kSwA01) + L"\n");
    writeText(media.s() + L"swversion\\swversion.info", L"KOR.XX.Z99.000.SD.STD_1\n");
    std::unique_ptr<InfInfoList> list(account());
    FakeCatalogs catalogs;
    catalogs.failing = {CORP_LV};
    MediumScanInput input{{media.s(), media.r()}, list.get(), L"G", catalogs.source()};
    MediumScanState state;
    std::vector<std::unique_ptr<InfInfoList>> retired;
    MediumScanOutcome out = scanVerFiles(input, state, retired);
    // S is read first and fits nobody: LV (failed) and DR are asked once,
    // and not again for R, which the account's own list accepts.
    EXPECT_EQ(catalogs.asked, "23");
    EXPECT_EQ(out.carInfo, list->m_list.front());
    EXPECT_FALSE(state.m_bMediumUnmatched);
    EXPECT_EQ(state.m_strMediumSwVersion, CString(kSwA01));
    EXPECT_EQ(g_logManager.getStatisticsContext().oldSwVersion, CString(kSwA01));
    EXPECT_TRUE(out.matchedParams.empty());

    MediumScanInput none{{}, list.get(), L"G", catalogs.source()};
    EXPECT_EQ(scanVerFiles(none, state, retired).result, 0);
    MediumScanInput noAccount{{media.r()}, nullptr, L"G", catalogs.source()};
    EXPECT_EQ(scanVerFiles(noAccount, state, retired).result, 0);
}

TEST(MediumScan, FirstLayoutMatchStaysReadableAfterALaterScan) {
    Media media;
    writeText(media.r() + L"a.ver", L"*|1|sw|TS_A01_COMMON|A01|0\n");
    std::unique_ptr<InfInfoList> list(account());
    FakeCatalogs catalogs;
    MediumScanInput input{{media.r()}, list.get(), L"G", catalogs.source()};
    MediumScanState state;
    std::vector<std::unique_ptr<InfInfoList>> retired;
    InfInfo* first = scanVerFiles(input, state, retired).carInfo;
    ASSERT_NE(first, nullptr);
    InfInfo* second = scanVerFiles(input, state, retired).carInfo;
    ASSERT_NE(second, nullptr);
    EXPECT_NE(first, second);
    EXPECT_EQ(first->getInfFileName(), CString(L"TS_A01_COMMON.inf"));
    EXPECT_EQ(first->getInfFileHead()->getInfBaseName(), CString(L"TS_A01_COMMON"));
    EXPECT_EQ(retired.size(), 2u);
    EXPECT_EQ(list->size(), 2u);
}

TEST(MediumScan, NonAsciiFirstLayoutNames) {
    const wchar_t* inf = L"\xC544\xB374_A01.inf";
    for (bool utf16 : {false, true}) {
        Media media;
        writeText(media.r() + L"a.ver", L"*|1|sw|\xC544\xB374_A01|A01|0\n", utf16);
        std::unique_ptr<InfInfoList> list(account());
        MediumScanInput input{{media.r()}, list.get(), L"G",
                              [&](InfInfoList*& out, int corp) -> BOOL {
                                  delete out;
                                  out = corp == CORP_TS ? makeList({{inf, L"TS", L"A01", kSwA01}}) : new InfInfoList;
                                  return TRUE;
                              }};
        MediumScanState state;
        std::vector<std::unique_ptr<InfInfoList>> retired;
        MediumScanOutcome out = scanVerFiles(input, state, retired);
        ASSERT_NE(out.carInfo, nullptr) << utf16;
        EXPECT_EQ(out.carInfo->getInfFileName(), CString(inf));
    }
}

TEST(MediumScan, DestinationTags) {
    std::unique_ptr<InfInfoList> list(account());
    InfInfo* a01 = list->m_list.front();
    // The version file at the root of the removable test drive.
    const CString verName = L"TS_A01_COMMON";
    const CString verPath = L"R:\\" + verName + L".ver";
    struct Case {
        const char* name;
        CString text;
        const wchar_t* tag;
    } cases[] = {
        {"complete", head2(L"TS", L"A01", 1, kSwA01) + L"PKG|MAP.exe|1|1|9|1\n", L"lastreg"},
        {"incomplete", head2(L"TS", L"A01", 0, kSwA01), L"reg"},
        {"another version", head2(L"TS", L"A01", 1, L"KOR.TS.A01.000.SD.STD_1"), L"reg"},
        {"a missing file", head2(L"TS", L"A01", 1, kSwA01) + L"MAP|missing.dat|1|1|3|1\n", L"reg"},
        {"no file", CString(), L"reg"},
    };
    for (const Case& c : cases) {
        DeleteFileW(verPath.GetString());
        if (!c.text.IsEmpty()) writeText(verPath, c.text);
        EXPECT_EQ(readRegVer(a01, L"R", list.get()), CString(c.tag)) << c.name;
    }
    DeleteFileW(verPath.GetString());

    // An earlier download: "<data>\<base>\<base>.ver".
    TempDir data;
    CString inf, sw;
    EXPECT_EQ(readLastReg(a01, list.get(), data.path(), L"medium-sw", inf, sw), CString(L"reg"));
    writeText(data.path() + verName + L"\\" + verName + L".ver",
              head2(L"TS", L"A01", 1, kSwA01) + verName + L"\\MAP|a.dat|1|1|3|1\n");
    writeText(data.path() + verName + L"\\MAP\\a.dat", L"abc");
    EXPECT_EQ(readLastReg(a01, list.get(), data.path(), L"medium-sw", inf, sw), CString(L"lastreg"));
    EXPECT_EQ(inf, CString(L"2024.05.01"));
    EXPECT_EQ(sw, CString(L"medium-sw"));
    // No account entry of that model: nothing to be missing.
    std::unique_ptr<InfInfo> stranger(makeEntry({L"X.inf", L"TS", L"Q77", L""}));
    EXPECT_EQ(readLastReg(stranger.get(), list.get(), data.path(), L"", inf, sw), CString(L"lastreg"));
    EXPECT_EQ(readLastReg(nullptr, list.get(), data.path(), L"", inf, sw), CString(L"reg"));
}

TEST(MediumScan, SeveralCandidatesGiveTheMatchedMessageParameters) {
    ScopedConfig config(R"({"MODEL_EQUIVALENCE": "101,102|201,202,203"})");
    struct Case {
        const wchar_t* sw;
        std::vector<const wchar_t*> params;
    } cases[] = {
        {L"KOR.TS.101.000.SD.STD_1", {L"4", L"Two", L"One", L"Two (intl)", L"One (intl)"}},
        {L"KOR.TS.201.000.SD.STD_1",
         {L"6", L"Five", L"Six", L"Four", L"Five (intl)", L"Six (intl)", L"Four (intl)"}},
        {L"KOR.TS.301.000.SD.STD_1", {}},
    };
    for (const Case& c : cases) {
        Media media;
        writeText(media.r() + L"swversion\\swversion.info", c.sw);
        std::unique_ptr<InfInfoList> list(makeList({{L"A.inf", L"TS", L"101", L"KOR.TS.101.000.SD.STD_1", L"One"},
                                                    {L"B.inf", L"TS", L"102", L"", L"Two"},
                                                    {L"C.inf", L"TS", L"201", L"KOR.TS.201.000.SD.STD_1", L"Four"},
                                                    {L"D.inf", L"TS", L"202", L"", L"Five"},
                                                    {L"E.inf", L"TS", L"203", L"", L"Six"},
                                                    {L"F.inf", L"TS", L"301", L"KOR.TS.301.000.SD.STD_1", L"Seven"}},
                                                   CORP_TS));
        FakeCatalogs catalogs;
        MediumScanInput input{{media.r()}, list.get(), L"G", catalogs.source()};
        MediumScanState state;
        std::vector<std::unique_ptr<InfInfoList>> retired;
        MediumScanOutcome out = scanVerFiles(input, state, retired);
        ASSERT_NE(out.carInfo, nullptr) << c.sw;
        std::vector<CString> want(c.params.begin(), c.params.end());
        EXPECT_EQ(out.matchedParams, want) << c.sw;
    }
}
