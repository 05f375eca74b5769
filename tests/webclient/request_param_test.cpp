#include "tests/webclient/print.h"
#include "tests/webclient/config_scope.h"
#include "webclient/request_param.h"

#include <gtest/gtest.h>

namespace {

TEST(RequestParam, SendCheckPairsGoOutInCodeUnitOrder) {
    RequestParamSendCheck p;
    p.m_strUser = L"u";
    p.m_strCorp = L"c";
    p.m_strDeviceName = L"d";
    p.m_strInfFileName = L"i";
    p.m_strFixed = L"M";
    p.m_strModelCode = L"m";
    p.m_strRegion = L"r";
    p.m_strGUID = L"g";
    p.m_strSystemName = L"win";
    p.m_strSystemVersion = L"10.0.0";
    p.m_strTimeZone = L"KST";
    p.m_strLocalTime = L"20240501120000";
    EXPECT_EQ(p.makeQueryString(),
              CString(L"D1=u&D10=10.0.0&D11=KST&D12=20240501120000&D2=c&D3=d&D4=i&D5=M&D6=m&D7=r&D8=g&D9=win"));
}

TEST(RequestParam, QueryStringsPerClass) {
    RequestParamGUID guid;
    guid.m_strRegion = L"abc";

    RequestParamLogin guest;  // the guest catalogue leaves three values empty
    guest.setParam2(L"x+y");
    guest.setParam4(L"r/s");
    guest.setParam5(L"g=");

    RequestParamLanguage language;
    language.setParam1(L"corp");
    language.setParam2(L"region");
    language.setParam3(L"guid");

    RequestParamUserPrivate consent;
    consent.m_strUserID = L"1";
    consent.m_strCorp = L"2";
    consent.m_strRegion = L"3";
    consent.m_strGUID = L"4";
    consent.m_strConsent1 = L"5";
    consent.m_strConsent2 = L"6";
    consent.m_strAgreed = L"7";
    consent.m_strLocalTime = L"8";

    RequestParamLogin copied(guest);  // copies take the texts and flags

    struct Case {
        const char* name;
        const RequsetParam& param;
        const wchar_t* want;
    } cases[] = {
        {"GUID", guid, L"D1=abc"},
        {"guest catalogue", guest, L"D1=&D2=x%2By&D3=&D4=r%2Fs&D5=g%3D&D6="},
        {"copy", copied, L"D1=&D2=x%2By&D3=&D4=r%2Fs&D5=g%3D&D6="},
        {"language sends the GUID alone", language, L"D1=guid"},
        {"consent", consent, L"D1=1&D2=2&D3=3&D4=4&D5=5&D6=6&D7=7&D8=8"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.param.makeQueryString(), CString(c.want));
        EXPECT_EQ(c.param.m_nPlain, 1);
        EXPECT_EQ(c.param.m_nLayout, 1);
    }
}

TEST(RequestParam, MapKeepsTheFirstValueOfAName) {
    RequestParamMap map(1);
    map.add(L"D2", L"first").add(L"D1", L"a-b.c_d").add(L"D2", L"second");
    EXPECT_EQ(map.makeQuery(nullptr), CString(L"D1=a-b.c_d&D2=first"));
}

TEST(RequestParam, VehicleDataValuesNeverGoOutInClear) {
    RequestParamVCRM_Data p;
    p.m_strMsgCode = L"01";
    p.m_strApiVersion = L"1.0.0";
    p.m_strTermCode = L"07";
    EXPECT_EQ(p.m_nPlain, 0);
    {
        ScopedConfig config(R"({"VCRM_AES_KEY":"KestruneStandInVehicleDataKey32!","VCRM_AES_IV":"StandInVcrmIV16!"})");
        EXPECT_EQ(p.makeQueryString(), CString(L"apiVersion=Z5V8aEJJVo0urkhmDK0MRA%3D%3D&"
                                               L"msgCode=w8009xwT5ZvNlBiMBM3sLw%3D%3D&"
                                               L"termCode=HdrVEad0KPQp6kE0lcpYwQ%3D%3D"));
    }
    {
        ScopedConfig config(R"({"VCRM_AES_KEY":"too short","VCRM_AES_IV":"StandInVcrmIV16!"})");
        EXPECT_EQ(p.makeQueryString(), CString(L"apiVersion=&msgCode=&termCode="));
    }
}

TEST(RequestParam, JsonBodyIsTheStyledText) {
    RequestParamJson p;
    p.m_value["UserID"] = "abc";
    p.m_value["Count"] = 2;
    EXPECT_EQ(p.makeQueryString(), CString(L"{\n   \"Count\" : 2,\n   \"UserID\" : \"abc\"\n}\n"));
}

}  // namespace
