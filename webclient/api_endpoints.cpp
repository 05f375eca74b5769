#include "webclient/api_endpoints.h"
#include "foundation/code_tables.h"
#include "foundation/config_file.h"
#include "foundation/regsetting.h"

namespace {

CString configured(const wchar_t* key, const wchar_t* fallback) {
    CString value = CConfigFile::getInstance()->getValue(key);
    value.Trim();
    return value.IsEmpty() ? CString(fallback) : value;
}

// The API host of the current region: region RU has a twin of its own.
CString apiHost() {
    if (CRegSetting::getRegion() == REGION_RU) return configured(L"API_HOST_RU", L"api-ru.kestrune.invalid");
    return configured(L"API_HOST", L"api.kestrune.invalid");
}

// A per-brand page: "<prefix>_TS", "_LV" or "_DR"; empty for another corp.
CString brandPage(const wchar_t* prefix, int corp, const wchar_t* fallbackStem) {
    CString code = getCorpCode(corp);
    if (corp != CORP_TS && corp != CORP_LV && corp != CORP_DR) return CString();
    CString key, fallback;
    key.Format(L"%s_%s", prefix, code.GetString());
    CString lower(code);
    lower.MakeLower();
    fallback.Format(fallbackStem, lower.GetString());
    return configured(key.GetString(), fallback.GetString());
}

CString updateSite(int corp) {
    return brandPage(L"WEB_UPDATE_SITE", corp, L"http://update-%s.kestrune.invalid");
}

CString portal(const wchar_t* region) {
    CString key(L"WEB_PORTAL_");
    key += region;
    CString lower(region);
    lower.MakeLower();
    return configured(key.GetString(), (L"https://portal-" + lower + L".kestrune.invalid").GetString());
}

CString findAccount(int region, int corp, int language) {
    CString path;
    switch (region) {
    case REGION_IN: return portal(L"IN") + L"/DR/EN/user/FindAccountForm";
    case REGION_IR: return portal(L"IR") + L"/DR/EN/user/FindAccountForm";
    case REGION_ME:
    case REGION_NZ:
    case REGION_AU:
        path.Format(L"/%s/EN/user/FindAccountForm", getCorpCode(corp).GetString());
        return portal(getRegionCode(region).GetString()) + path;
    case REGION_BR:
        path.Format(L"/DR/%s/user/FindAccountForm", getLanguageCode(language).GetString());
        return portal(L"BR") + path;
    default: return CString();
    }
}

}  // namespace

CString getServerHost(int apiType) {
    switch (apiType) {
    case API_GET_GUID:
    case API_CHK_REGIST:
    case API_GET_LANGUAGE:
    case API_CHK_DOWN:
    case API_SET_DOWN_ERROR_LOG:
    case API_CHK_PRIVATE: return apiHost();
    case API_GET_NOTICE: return L"https://" + apiHost();
    // The program runs what the self-update fetches: HTTPS only.
    case API_LIVE_UPDATE: return configured(L"LIVEUPDATE_URL", L"https://update.kestrune.invalid");
    case API_VCRM_PATH:
    case API_VCRM_DATA: return configured(L"VCRM_URL", L"https://vcrm.kestrune.invalid");
    default: return CString();
    }
}

CString getApiPath(int apiType) {
    switch (apiType) {
    case API_GET_GUID: return L"/api/GetGUID";
    case API_CHK_REGIST: return L"/api/ChkRegist";
    case API_GET_LANGUAGE: return L"/api/GetLanguage";
    case API_CHK_DOWN: return L"/api/ChkDown";
    case API_SET_DOWN_ERROR_LOG: return L"/api/SetDownErrorLog";
    case API_LIVE_UPDATE: return L"/UPDATE_PROGRAM_DOWNLOAD/UPDATE_CLIENT/KestruneV02/PATCH/WIN/";
    case API_GET_NOTICE: {
        CString path;
        path.Format(L"/api/%s/%s/%s/GetNotice", getRegionCode(CRegSetting::getRegion()).GetString(),
                    getCorpCode(CRegSetting::getLastUserCorp()).GetString(),
                    getLanguageCode(CRegSetting::getLanguage()).GetString());
        return path;
    }
    case API_VCRM_PATH: return L"/offlinevcrm/path.do";
    case API_VCRM_DATA: return L"/offlinevcrm/data.do";
    case API_CHK_PRIVATE: return L"/api/chkPrivate";
    default: return CString();
    }
}

int getServerPort(int apiType) {
    if (apiType == API_LIVE_UPDATE) return 443;
    if (apiType == API_VCRM_PATH || apiType == API_VCRM_DATA) return 8443;
    if (apiType >= API_GET_GUID && apiType <= API_CHK_PRIVATE) return 443;
    return 378;
}

CString getWebPageUrl(int webPage) {
    const int region = CRegSetting::getRegion();
    const int corp = CRegSetting::getLastUserCorp();
    const int language = CRegSetting::getLanguage();
    const CString regionCode = getRegionCode(region);
    const CString languageCode = getLanguageCode(language);
    CString path;
    switch (webPage) {
    case WEB_PAGE_CS_CENTER:
    case WEB_PAGE_UPDATE_GUIDE:
    case WEB_PAGE_UPDATE_GUIDE_SEARCH: {
        CString site = updateSite(corp);
        if (site.IsEmpty()) return site;
        const wchar_t* pattern = webPage == WEB_PAGE_CS_CENTER     ? L"/%s/%s/csCenter"
                                 : webPage == WEB_PAGE_UPDATE_GUIDE ? L"/%s/%s/updateGuide/01"
                                                                    : L"/%s/%s/updateGuide/01#searchTab";
        path.Format(pattern, regionCode.GetString(), languageCode.GetString());
        return site + path;
    }
    case WEB_PAGE_FIND_ACCOUNT: return findAccount(region, corp, language);
    case WEB_PAGE_FIND_ID:
        if (region == REGION_KR) return brandPage(L"WEB_FIND_ID", corp, L"https://account-%s.kestrune.invalid/find-id");
        return brandPage(L"WEB_OWNERS", corp, L"https://owners-%s.kestrune.invalid");
    case WEB_PAGE_FIND_PASSWORD:
        if (corp == CORP_DR) return configured(L"WEB_FIND_PASSWORD_DR", L"https://account-dr.kestrune.invalid/find-password");
        return brandPage(L"WEB_FIND_ID", corp, L"https://account-%s.kestrune.invalid/find-id");
    case WEB_PAGE_JOIN:
        if (region == REGION_KR) return getJoinPageUrl(corp);
        return brandPage(L"WEB_OWNERS", corp, L"https://owners-%s.kestrune.invalid");
    default: return CString();
    }
}

CString getJoinPageUrl(int corp) { return brandPage(L"WEB_JOIN", corp, L"https://account-%s.kestrune.invalid/join"); }

int getRegionLoginFlags() {
    switch (CRegSetting::getRegion()) {
    case REGION_IN:
    case REGION_BR: return 2;
    case REGION_ME:
    case REGION_IR:
    case REGION_NZ: return 6;
    default: return 14;
    }
}
