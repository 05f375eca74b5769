#include "pages/account/login_texts.h"

#include "afx/afx.h"
#include "foundation/code_tables.h"
#include "foundation/regsetting.h"
#include "resources/resource.h"

namespace {
bool northAmerica(int region) { return region == REGION_US || region == REGION_CA; }
}  // namespace

UINT loginButtonStrip(int corp, int region) {
    if (corp == CORP_LV) return northAmerica(region) ? IDB_LOGIN_BUTTON_LV_NA : IDB_LOGIN_BUTTON_LV;
    if (corp == CORP_DR) return IDB_LOGIN_BUTTON_DR;
    return IDB_LOGIN_BUTTON_TS;
}

UINT brandPicture(int corp, int region) {
    switch (corp) {
        case CORP_TS: return IDB_BRAND_PICTURE_TS;
        case CORP_LV: return northAmerica(region) ? IDB_BRAND_PICTURE_LV_NA : IDB_BRAND_PICTURE_LV;
        case CORP_DR: return IDB_BRAND_PICTURE_DR;
        default: return 0;
    }
}

CString corpCodeOrNone(int corp) {
    if (corp == CORP_TS || corp == CORP_LV || corp == CORP_DR) return getCorpCode(corp);
    return L"N";
}

bool isSendVcrmDesc0() {
    const std::vector<CString>& keys = CRegSetting::getSettingKeys();
    return AfxGetApp() &&
           AfxGetApp()->GetProfileInt(keys[REG_SETTINGS_SECTION], keys[REG_SETTINGS_SEND_VCRM_DESC0], 0) == 1;
}

CString loginTitleText(const CString& text, int region, int language) {
    CString title = text;
    if (region != REGION_KR && language == LANGUAGE_FR) title.Remove(L'\n');
    return title;
}

bool loginTitleHasTwoLines(const CString& text, int region, int language) {
    return loginTitleText(text, region, language).Find(L'\n') > 0;
}
