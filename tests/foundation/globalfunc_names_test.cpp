#include "foundation/globalfunc.h"
#include "tests/foundation/global_log.h"

#include <gtest/gtest.h>

namespace {

TEST(GlobalNames, MessageTypes) {
    struct Case {
        unsigned int code;
        const wchar_t* name;
    } cases[] = {
        {10, L"SERVER_ERROR_USB_REMOVE_FAIL"},
        {999, L"SERVER_ERROR_NONE"},
        {1017, L"SERVER_FINISH_UPDATE_GUIDE"},
        {1037, L"SERVER_ERROR_LOGIN_UNKOWN"},
        {85, L"SERVER_ERROR_UPDATE_CHECK_LASTEST_VERSION_DEALERPRE"},
        {206, L"SERVER_ERROR_UNKNOWN"},
        {0, L""},
        {73, L""},
        {205, L""},
        {1000, L""},
        {1028, L""},
        {1038, L""},
        {0xFFFFFFFFu, L""},
    };
    for (const auto& c : cases) EXPECT_STREQ(CGlobalFunc::getErrorName(c.code).GetString(), c.name) << c.code;

    int named = 0;
    for (unsigned int code = 0; code < 2000; ++code) named += CGlobalFunc::getErrorName(code).IsEmpty() ? 0 : 1;
    EXPECT_EQ(named, 53);
}

TEST(GlobalNames, ViewStates) {
    struct Case {
        int state;
        const wchar_t* name;
    } cases[] = {
        {-1, L"VIEW_STATE_ERROR"},    {0, L"VIEW_STATE_LOGIN"},      {90, L"VIEW_STATE_CONFIG"},
        {100, L"VIEW_STATE_NONE"},    {103, L"VIEW_STATE_CAR_UPDATE"}, {112, L"VIEW_STATE_INFO_IMAGE_POPUP"},
        {113, L""},                   {-2, L""},                     {92, L""},
    };
    for (const auto& c : cases) EXPECT_STREQ(CGlobalFunc::getViewStateName(c.state).GetString(), c.name) << c.state;
}

TEST(GlobalTimezone, AbbreviationsFromTableOrName) {
    struct Case {
        const wchar_t* zone;
        const wchar_t* abbreviation;
        BOOL fromTable;
    } cases[] = {
        {L"Korea Standard Time", L"KST", TRUE},
        {L"KOREA STANDARD TIME", L"KST", TRUE},
        {L"Pacific Standard Time", L"PST", TRUE},
        {L"Western Sahara Standard Time", L"WT", TRUE},
        {L"Anywhere on Earth", L"AoE", TRUE},
        {L"Australian Central Western Summer Time", L"ACWST", FALSE},
        {L"A B C D E F Zone", L"ABCDE", FALSE},
        {L"Alpha Beta Gamma", L"ABG", FALSE},
        {L"Test Zone", L"TEZ", FALSE},
        {L"eX Yz", L"EXY", FALSE},  // the first two characters, whatever they are
        {L"UTC", L"UTC", FALSE},
        {L"W. Europe Standard Time", L"WEST", FALSE},
        {L"lowercase only", L"UKNWN", FALSE},
        {L"One capital", L"UKNWN", FALSE},
        {L"", L"UKNWN", FALSE},
    };
    for (const auto& c : cases) {
        BOOL fromTable = -1;
        EXPECT_STREQ(CGlobalFunc::abbreviateTimezone(c.zone, &fromTable).GetString(), c.abbreviation) << c.zone;
        EXPECT_EQ(fromTable, c.fromTable) << c.zone;
    }
}

TEST(GlobalTimezone, ComputerZoneIsLogged) {
    globalLogFolder();
    DYNAMIC_TIME_ZONE_INFORMATION zone{};
    ASSERT_NE(GetDynamicTimeZoneInformation(&zone), TIME_ZONE_ID_INVALID);
    CString result;
    CGlobalFunc::GetTimezone(result);
    BOOL fromTable = FALSE;
    EXPECT_EQ(result, CGlobalFunc::abbreviateTimezone(zone.TimeZoneKeyName, &fromTable));
    EXPECT_FALSE(result.IsEmpty());
    CString line;
    line.Format(fromTable ? L"[downCheck][Timezone:%s][table:%s]" : L"[downCheck][Timezone:%s][short:%s]",
                zone.TimeZoneKeyName, result.GetString());
    EXPECT_NE(globalLogText().find(utf8(line) + "\r\n"), std::string::npos) << utf8(line);
}

}  // namespace
