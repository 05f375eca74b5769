#include "foundation/code_tables.h"
#include "shell/scan/after_login.h"
#include "tests/shell_scan/scan_fixtures.h"

#include <gtest/gtest.h>

#include <memory>

TEST(AfterLogin, FromScanFactsToTheViewOrMessage) {
    struct Case {
        const char* name;
        AfterScanFacts facts;
        int message, view;
        bool catalogAsked, rescanned;
    };
    auto facts = [](auto change) {
        AfterScanFacts f;
        f.hasRegisteredVehicle = true;
        f.region = REGION_US;
        change(f);
        return f;
    };
    const Case cases[] = {
        {"hidden hand-over", facts([](AfterScanFacts& f) { f.hiddenHandOver = true; f.mediumUnmatched = TRUE; }),
         0, VIEW_STATE_HIDDEN, false, false},
        {"nobody accepts the version", facts([](AfterScanFacts& f) { f.mediumUnmatched = TRUE; }), 1001,
         VIEW_STATE_MESSAGE, false, false},
        {"several candidates already asked", facts([](AfterScanFacts& f) { f.matchMessageShown = true; }), 0,
         VIEW_STATE_NONE, false, false},
        {"another brand found in its catalogue", facts([](AfterScanFacts& f) { f.mediumOtherCorp = TRUE; }), 0,
         VIEW_STATE_NONE, true, false},
        {"another brand not in its catalogue",
         facts([](AfterScanFacts& f) { f.mediumOtherCorp = TRUE; f.findMediumInCatalog = [] { return FALSE; }; }), 0,
         VIEW_STATE_CAR_REG, true, false},
        {"first start", facts([](AfterScanFacts& f) { f.firstOpen = TRUE; }), 1006, VIEW_STATE_MESSAGE, false, false},
        {"consent in KR", facts([](AfterScanFacts& f) { f.region = REGION_KR; }), 1007, VIEW_STATE_MESSAGE, false,
         false},
        {"consent given in KR", facts([](AfterScanFacts& f) { f.region = REGION_KR; f.eula = 0; }), 0,
         VIEW_STATE_CAR_REG, false, false},
        {"registration", facts([](AfterScanFacts&) {}), 0, VIEW_STATE_CAR_REG, false, false},
        {"guest", facts([](AfterScanFacts& f) { f.hasRegisteredVehicle = false; f.guestEntry = true; }), 0,
         VIEW_STATE_CAR_REG, false, false},
        {"no vehicle, TS", facts([](AfterScanFacts& f) { f.hasRegisteredVehicle = false; f.lastUserCorp = CORP_TS; }),
         1008, VIEW_STATE_MESSAGE, false, true},
        {"no vehicle, DR", facts([](AfterScanFacts& f) { f.hasRegisteredVehicle = false; f.lastUserCorp = CORP_DR; }),
         1009, VIEW_STATE_MESSAGE, false, true},
        {"no vehicle, LV", facts([](AfterScanFacts& f) { f.hasRegisteredVehicle = false; f.lastUserCorp = CORP_LV; }),
         1010, VIEW_STATE_MESSAGE, false, true},
        {"no vehicle but the medium matched",
         facts([](AfterScanFacts& f) {
             f.hasRegisteredVehicle = false;
             f.lastUserCorp = CORP_TS;
             f.rescan = [] { return 1; };
         }),
         0, VIEW_STATE_CAR_REG, false, true},
        {"no vehicle, no brand, first start",
         facts([](AfterScanFacts& f) { f.hasRegisteredVehicle = false; f.firstOpen = TRUE; }), 1006,
         VIEW_STATE_MESSAGE, false, false},
        {"no message page at all", facts([](AfterScanFacts& f) { f.hasRegisteredVehicle = false; f.messagePage = false; }),
         0, VIEW_STATE_NONE, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        AfterScanFacts f = c.facts;
        bool asked = false, rescanned = false;
        auto find = f.findMediumInCatalog ? f.findMediumInCatalog : [] { return TRUE; };
        f.findMediumInCatalog = [&] { asked = true; return find(); };
        auto rescan = f.rescan ? f.rescan : [] { return 0; };
        f.rescan = [&] { rescanned = true; return rescan(); };
        LoginDestination d = decideAfterScan(f);
        EXPECT_EQ(d.messageType, c.message);
        EXPECT_EQ(d.view, c.view);
        EXPECT_EQ(asked, c.catalogAsked);
        EXPECT_EQ(rescanned, c.rescanned);
        EXPECT_EQ(d.firstOpenShown, c.message == 1006);
    }
    // Without a message page the first-start message cannot be shown.
    EXPECT_EQ(pageAfterLogin(TRUE, 1, REGION_KR, false).view, VIEW_STATE_NONE);
    EXPECT_EQ(pageAfterLogin(FALSE, 1, REGION_KR, false).view, VIEW_STATE_NONE);
    EXPECT_EQ(pageAfterLogin(FALSE, 1, REGION_US, false).view, VIEW_STATE_CAR_REG);
}

TEST(AfterLogin, MediumNamesFromTheCatalogue) {
    auto request = [](InfInfoList*& out, int corp) -> BOOL {
        out = makeList({{L"LV_C10.inf", L"LV", L"C10", L"", L"Corsa"},
                        {L"LV_C10_M.inf", L"LV", L"C10", L"", L"Model part", 1},
                        {L"LV_C11.inf", L"LV", L"c10", L"", L"Corsa II"}});
        return corp == CORP_LV;
    };
    MediumNames names;
    EXPECT_TRUE(findMediumInCatalog(CORP_LV, CORP_LV, L"C10", request, names));
    EXPECT_EQ(names.letter, CString(L"L"));
    EXPECT_EQ(names.name, CString(L"Corsa II"));  // the last common entry of the model
    EXPECT_EQ(names.nameIntl, CString(L"Corsa II (intl)"));
    EXPECT_FALSE(findMediumInCatalog(CORP_LV, CORP_LV, L"Z99", request, names));
    EXPECT_TRUE(names.requested);
    EXPECT_FALSE(findMediumInCatalog(CORP_DR, CORP_DR, L"C10", request, names));
    EXPECT_FALSE(names.requested) << "a failed request leaves the caller's names alone";

    std::unique_ptr<InfInfoList> list(makeList({{L"A.inf", L"TS", L"1", L""}, {L"B.inf", L"TS", L"2", L""}}));
    EXPECT_FALSE(hasRegisteredVehicle(list.get()));
    list->m_list.back()->setGroup(1);
    EXPECT_TRUE(hasRegisteredVehicle(list.get()));
    EXPECT_FALSE(hasRegisteredVehicle(nullptr));
}
