#include "tests/webclient/print.h"
#include "foundation/regsetting.h"
#include "tests/webclient/config_scope.h"
#include "webclient/api_endpoints.h"
#include "webclient/request_param.h"

#include <gtest/gtest.h>

namespace {

const char kHosts[] = R"({"API_HOST":"api.example","API_HOST_RU":"ru.example","LIVEUPDATE_URL":"http://up.example",
  "VCRM_URL":"https://vcrm.example","WEB_UPDATE_SITE_TS":"http://ts.example","WEB_UPDATE_SITE_DR":"http://dr.example",
  "WEB_PORTAL_IN":"https://in.example","WEB_PORTAL_NZ":"https://nz.example","WEB_PORTAL_BR":"https://br.example",
  "WEB_FIND_ID_TS":"https://acc.example/ts?scope=url.find","WEB_FIND_ID_LV":"https://acc.example/lv?scope=url.find",
  "WEB_FIND_PASSWORD_DR":"https://acc.example/dr/pw","WEB_JOIN_TS":"https://acc.example/ts?scope=signup",
  "WEB_OWNERS_LV":"https://owners.example/lv"})";

struct Where {
    int region, corp, language;
};

void place(const Where& w) {
    CRegSetting::setRegion(w.region);
    CRegSetting::setLastUserCorp(w.corp);
    CRegSetting::setLanguage(w.language);
}

TEST(ApiEndpoints, HostPathAndPortByTypeAndRegion) {
    ScopedConfig config(kHosts);
    struct Case {
        int region, type;
        const wchar_t *host, *path;
        int port;
    } cases[] = {
        {REGION_KR, API_GET_GUID, L"api.example", L"/api/GetGUID", 443},
        {REGION_EU, API_CHK_REGIST, L"api.example", L"/api/ChkRegist", 443},
        {REGION_RU, API_CHK_REGIST, L"ru.example", L"/api/ChkRegist", 443},
        {REGION_RU, API_GET_NOTICE, L"https://ru.example", L"/api/RU/TS/KO/GetNotice", 443},
        {REGION_KR, API_GET_NOTICE, L"https://api.example", L"/api/KR/TS/KO/GetNotice", 443},
        {REGION_KR, API_GET_LANGUAGE, L"api.example", L"/api/GetLanguage", 443},
        {REGION_KR, API_CHK_DOWN, L"api.example", L"/api/ChkDown", 443},
        {REGION_KR, API_SET_DOWN_ERROR_LOG, L"api.example", L"/api/SetDownErrorLog", 443},
        {REGION_KR, API_CHK_PRIVATE, L"api.example", L"/api/chkPrivate", 443},
        {REGION_RU, API_LIVE_UPDATE, L"http://up.example", L"/UPDATE_PROGRAM_DOWNLOAD/UPDATE_CLIENT/KestruneV02/PATCH/WIN/", 443},
        {REGION_KR, API_VCRM_PATH, L"https://vcrm.example", L"/offlinevcrm/path.do", 8443},
        {REGION_KR, API_VCRM_DATA, L"https://vcrm.example", L"/offlinevcrm/data.do", 8443},
        {REGION_KR, 0, L"", L"", 378},
        {REGION_KR, 11, L"", L"", 378},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "region " << c.region << " type " << c.type);
        place({c.region, CORP_TS, LANGUAGE_KO});
        EXPECT_EQ(getServerHost(c.type), CString(c.host));
        EXPECT_EQ(getApiPath(c.type), CString(c.path));
        EXPECT_EQ(getServerPort(c.type), c.port);
    }
}

TEST(ApiEndpoints, UnconfiguredHostsNeverResolve) {
    ScopedConfig config("{}");
    place({REGION_KR, CORP_TS, LANGUAGE_KO});
    for (int type : {API_GET_GUID, API_GET_NOTICE, API_LIVE_UPDATE, API_VCRM_DATA}) {
        EXPECT_EQ(getServerHost(type).Right(8), CString(L".invalid")) << type;
    }
    EXPECT_EQ(getServerHost(API_LIVE_UPDATE).Left(8), CString(L"https://"));
    for (int page : {WEB_PAGE_CS_CENTER, WEB_PAGE_FIND_ID, WEB_PAGE_JOIN}) {
        EXPECT_NE(getWebPageUrl(page).Find(L".invalid"), -1) << page;
    }
    place({REGION_RU, CORP_TS, LANGUAGE_KO});
    EXPECT_EQ(getServerHost(API_GET_GUID).Right(8), CString(L".invalid"));
}

TEST(ApiEndpoints, WebPages) {
    ScopedConfig config(kHosts);
    struct Case {
        Where where;
        int page;
        const wchar_t* want;
    } cases[] = {
        {{REGION_KR, CORP_TS, LANGUAGE_KO}, WEB_PAGE_CS_CENTER, L"http://ts.example/KR/KO/csCenter"},
        {{REGION_US, CORP_DR, LANGUAGE_EN}, WEB_PAGE_UPDATE_GUIDE, L"http://dr.example/US/EN/updateGuide/01"},
        {{REGION_US, CORP_DR, LANGUAGE_EN}, WEB_PAGE_UPDATE_GUIDE_SEARCH,
         L"http://dr.example/US/EN/updateGuide/01#searchTab"},
        {{REGION_KR, CORP_NONE, LANGUAGE_KO}, WEB_PAGE_CS_CENTER, L""},
        {{REGION_IN, CORP_TS, LANGUAGE_EN}, WEB_PAGE_FIND_ACCOUNT, L"https://in.example/DR/EN/user/FindAccountForm"},
        {{REGION_NZ, CORP_LV, LANGUAGE_EN}, WEB_PAGE_FIND_ACCOUNT, L"https://nz.example/LV/EN/user/FindAccountForm"},
        {{REGION_BR, CORP_TS, LANGUAGE_PT}, WEB_PAGE_FIND_ACCOUNT, L"https://br.example/DR/PT/user/FindAccountForm"},
        {{REGION_KR, CORP_TS, LANGUAGE_KO}, WEB_PAGE_FIND_ACCOUNT, L""},
        {{REGION_US, CORP_TS, LANGUAGE_EN}, WEB_PAGE_FIND_ACCOUNT, L""},
        {{REGION_EU, CORP_TS, LANGUAGE_EN}, WEB_PAGE_FIND_ACCOUNT, L""},
        {{REGION_KR, CORP_LV, LANGUAGE_KO}, WEB_PAGE_FIND_ID, L"https://acc.example/lv?scope=url.find"},
        {{REGION_US, CORP_LV, LANGUAGE_EN}, WEB_PAGE_FIND_ID, L"https://owners.example/lv"},
        {{REGION_US, CORP_DR, LANGUAGE_EN}, WEB_PAGE_FIND_PASSWORD, L"https://acc.example/dr/pw"},
        {{REGION_US, CORP_TS, LANGUAGE_EN}, WEB_PAGE_FIND_PASSWORD, L"https://acc.example/ts?scope=url.find"},
        {{REGION_KR, CORP_TS, LANGUAGE_KO}, WEB_PAGE_JOIN, L"https://acc.example/ts?scope=signup"},
        {{REGION_US, CORP_LV, LANGUAGE_EN}, WEB_PAGE_JOIN, L"https://owners.example/lv"},
        {{REGION_KR, CORP_TS, LANGUAGE_KO}, 7, L""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(CStringA(c.want).GetString());
        place(c.where);
        EXPECT_EQ(getWebPageUrl(c.page), CString(c.want));
    }
}

TEST(ApiEndpoints, RegionLoginFlagsAndDeviceNameLanguage) {
    const int want[] = {14, 14, 2, 6, 6, 6, 2, 14, 14, 14, 14, 14, 14};
    for (int region = REGION_US; region <= REGION_TR; ++region) {
        CRegSetting::setRegion(region);
        EXPECT_EQ(getRegionLoginFlags(), want[region]) << region;
    }
    struct Case {
        int region, language;
        const wchar_t *intl, *want;
    } cases[] = {
        {REGION_KR, LANGUAGE_EN, L"Arden Navigation", L"EN"},
        {REGION_KR, LANGUAGE_KO, L"Arden Navigation", L"KO"},
        {REGION_US, LANGUAGE_EN, L"Arden Navigation", L"KO"},
        {REGION_KR, LANGUAGE_EN, L"", L"KO"},
    };
    for (const Case& c : cases) {
        place({c.region, CORP_TS, c.language});
        EXPECT_EQ(getDeviceNameLangCode(c.intl), CString(c.want));
    }
}

}  // namespace
