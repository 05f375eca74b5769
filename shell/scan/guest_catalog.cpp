#include "shell/scan/guest_catalog.h"

#include "foundation/code_tables.h"
#include "foundation/regsetting.h"
#include "webclient/api_endpoints.h"
#include "webclient/request_param.h"
#include "webclient/response_parser_login.h"
#include "webclient/webpost.h"

BOOL requestGuestCatalog(InfInfoList*& catalog, int corp) {
    // D1, D3 and the login type stay empty and unencrypted: that is what
    // asks the service for the catalogue instead of an account.
    RequestParamLogin param;
    param.setParam1(CString());
    param.setParam3(CString());
    param.setParam4(CWebPOST::EncryptValue(getRegionCode(CRegSetting::getRegion())));
    param.setParam2(CWebPOST::EncryptValue(getCorpCode(corp)));
    param.setParam5(CWebPOST::EncryptValue(CRegSetting::getClientGUID()));

    if (catalog) {
        catalog->clear();
        delete catalog;
    }
    catalog = new InfInfoList(true);

    CWebPOST web;
    const CString reply =
        web.LoginStart(getServerHost(API_CHK_REGIST), getApiPath(API_CHK_REGIST), 443, param, TRUE);
    CString text1, text2, text3, dealer;
    ResponseParserLogin parser(-1, 2, &text1, &text2, &text3, catalog, &dealer);
    parser.parse(reply);
    if (parser.getResultCode() == 200) return TRUE;
    // The sign-in reader calls a reply without vehicles 900; for a catalogue
    // that is a valid, empty answer.
    return parser.getReplyCode() == 200 && parser.listsAgree() ? TRUE : FALSE;
}
