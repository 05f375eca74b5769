#pragma once
// Every address the program talks to, chosen from a request type (or a kind
// of web page) and the current region, brand and language. Host names and
// page addresses are deployment configuration read from config.json at each
// call (keys below); a missing key gives an address under ".invalid", which
// never resolves. Schemes, paths and ports are fixed here.
//
//   API_HOST, API_HOST_RU        bare host names of the API server and its
//                                twin for region RU
//   LIVEUPDATE_URL               self-update server, "http://host"
//   VCRM_URL                     vehicle-data server, "https://host"
//   WEB_UPDATE_SITE_TS/_LV/_DR   the brands' update web sites
//   WEB_PORTAL_IN/_IR/_ME/_NZ/_AU/_BR  regional portals
//   WEB_FIND_ID_TS/_LV/_DR, WEB_FIND_PASSWORD_DR, WEB_JOIN_TS/_LV/_DR,
//   WEB_OWNERS_TS/_LV/_DR        account-service pages and owners portals
#include "afx/string.h"

enum API_TYPE {
    API_GET_GUID = 1,
    API_CHK_REGIST = 2,
    API_GET_LANGUAGE = 3,
    API_CHK_DOWN = 4,
    API_SET_DOWN_ERROR_LOG = 5,
    API_LIVE_UPDATE = 6,
    API_GET_NOTICE = 7,
    API_VCRM_PATH = 8,
    API_VCRM_DATA = 9,
    API_CHK_PRIVATE = 10,
};

enum WEB_PAGE {
    WEB_PAGE_CS_CENTER = 0,
    WEB_PAGE_UPDATE_GUIDE = 1,
    WEB_PAGE_FIND_ACCOUNT = 2,
    WEB_PAGE_FIND_ID = 3,
    WEB_PAGE_FIND_PASSWORD = 4,
    WEB_PAGE_JOIN = 5,
    WEB_PAGE_UPDATE_GUIDE_SEARCH = 6,
};

// Types 1 to 5 and 10: the bare host; 7: "https://" and the host; 6 and 8,
// 9: the configured server address with its scheme. Empty outside 1 to 10.
CString getServerHost(int apiType);
CString getApiPath(int apiType);
// 80 for type 6, 8443 for types 8 and 9, 443 for the others, 378 outside.
int getServerPort(int apiType);
CString getWebPageUrl(int webPage);
// A brand's KR sign-up page (WEB_JOIN_<brand>); empty for another corp.
CString getJoinPageUrl(int corp);
// 2, 6 or 14 by region; never 0.
int getRegionLoginFlags();
