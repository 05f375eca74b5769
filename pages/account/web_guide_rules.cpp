#include "pages/account/web_guide_rules.h"

#include "foundation/code_tables.h"
#include "foundation/config_file.h"
#include "resources/resource.h"
#include "shell/messages/guide_url.h"

#include <algorithm>

namespace web_guide {

CString updateSite(int brand) {
    if (brand != CORP_TS && brand != CORP_LV && brand != CORP_DR) return CString();
    const CString code = getCorpCode(brand);
    CString site = CConfigFile::getInstance()->getValue(L"WEB_UPDATE_SITE_" + code);
    site.Trim();
    if (!site.IsEmpty()) return site;
    CString lower(code);
    lower.MakeLower();
    return L"http://update-" + lower + L".kestrune.invalid";
}

CString guideAddress(int type, int brand, const CString& regionCode, const CString& languageCode) {
    if (type == 17) {
        const CString site = updateSite(brand);
        return site.IsEmpty() ? CString() : site + L"/KR/KO/sdcardinfopop";
    }
    if (type < 2 || type > 16) return CString();
    const msg::GuideProduct* product = msg::findGuideProduct(brand, type);
    if (!product) return CString();
    return updateSite(product->siteBrand) + L"/" + regionCode + L"/" + languageCode + L"/systemGuide/" +
           product->naviId;
}

int titleTextId(int type) {
    if (type == 0) return 12145;
    if (type == 17) return 13363;
    return 12359;
}

unsigned okImageId(int brand, int region) {
    if (brand == CORP_LV) return (region == REGION_US || region == REGION_CA) ? IDB_BUTTON_OK_STRIP_LV_NA : IDB_BUTTON_OK_STRIP_LV;
    if (brand == CORP_DR) return IDB_BUTTON_OK_STRIP_DR;
    return IDB_BUTTON_OK_STRIP;
}

bool hasCheckBox(int type) { return type == 0 || type == 17; }

bool declines(int type, bool checkedModelGuide, bool checkedSystemUpdate) {
    return (type == 0 && checkedModelGuide) || (type == 17 && checkedSystemUpdate);
}

Route routeOf(int type) {
    if (type == 0) return Route::CAR_CHANGE;
    if (type == 17) return Route::BACK;
    return Route::FINISH;
}

Rect okRect(int w, int h) { return {w / 2 - 100, h - 65, 200, 50}; }
Rect browserRect() { return {5, 60, 890, 450}; }
Rect checkRect(int h) { return {60, h - 49, 20, 20}; }
Rect labelRect(int h, int brand, int language) {
    return {85, brand == CORP_TS ? h - 47 : h - 50, 110 + (language == LANGUAGE_EN ? 30 : 0), 20};
}

Rect fitLabel(Rect label, int textWidth, int okLeft) {
    const int room = okLeft - 8 - label.x;
    if (textWidth <= label.w) return label;
    if (textWidth <= room) {
        label.w = textWidth;
        return label;
    }
    label.w = room;
    label.y -= label.h / 2;
    label.h *= 2;
    return label;
}

CheckRow fitCheckRow(Rect box, Rect label, int textWidth, int okLeft) {
    constexpr int kMargin = 10;
    const int shortfall = textWidth - (okLeft - 8 - label.x);
    if (textWidth > label.w && shortfall > 0) {
        const int shift = std::min(shortfall, std::max(0, box.x - kMargin));
        box.x -= shift;
        label.x -= shift;
    }
    return {box, fitLabel(label, textWidth, okLeft)};
}

}  // namespace web_guide
