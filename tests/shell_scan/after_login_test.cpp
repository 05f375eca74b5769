#include "foundation/code_tables.h"
#include "shell/scan/after_login.h"
#include "tests/shell_scan/scan_fixtures.h"

#include <gtest/gtest.h>

#include <memory>

// The root's scan decision is tested on the root itself (root-scan tests);
// here the rule it and the consent/first-start paths share.
TEST(AfterLogin, PageAfterSignIn) {
    const struct {
        const char* name;
        BOOL firstOpen;
        int eula, region;
        bool messagePage;
        int message, view;
    } cases[] = {
        {"first start", TRUE, 0, REGION_US, true, SERVER_ETC_FIRST_OPEN, VIEW_STATE_MESSAGE},
        {"first start wins over the consent", TRUE, 1, REGION_KR, true, SERVER_ETC_FIRST_OPEN, VIEW_STATE_MESSAGE},
        {"consent in KR", FALSE, 1, REGION_KR, true, SERVER_ETC_DATA_CONSENT, VIEW_STATE_MESSAGE},
        {"consent given in KR", FALSE, 0, REGION_KR, true, 0, VIEW_STATE_CAR_REG},
        {"no consent asked outside KR", FALSE, 1, REGION_US, true, 0, VIEW_STATE_CAR_REG},
        // Without a message page no message can be shown.
        {"first start, no page", TRUE, 1, REGION_KR, false, 0, VIEW_STATE_NONE},
        {"consent, no page", FALSE, 1, REGION_KR, false, 0, VIEW_STATE_NONE},
        {"registration, no page needed", FALSE, 1, REGION_US, false, 0, VIEW_STATE_CAR_REG},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const LoginDestination d = pageAfterLogin(c.firstOpen, c.eula, c.region, c.messagePage);
        EXPECT_EQ(d.messageType, c.message);
        EXPECT_EQ(d.view, c.view);
        EXPECT_EQ(d.firstOpenShown, c.message == SERVER_ETC_FIRST_OPEN);
    }
    const int noVehicle[][2] = {{CORP_TS, SERVER_ETC_NO_VEHICLE_TS},
                                {CORP_DR, SERVER_ETC_NO_VEHICLE_DR},
                                {CORP_LV, SERVER_ETC_NO_VEHICLE_LV},
                                {0, 0}};
    for (const auto& [corp, type] : noVehicle) EXPECT_EQ(noVehicleMessageType(corp), type) << corp;
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
