#include "shell/messages/guide_url.h"

#include "foundation/code_tables.h"
#include "foundation/config_file.h"
#include "shell/message_types.h"

namespace msg {
namespace {

CString configured(const CString& key, const CString& fallback) {
    CString value = CConfigFile::getInstance()->getValue(key.GetString());
    value.Trim();
    return value.IsEmpty() ? fallback : value;
}

// The same keys and fallbacks as the other pages of the update sites.
CString updateSite(int brand) {
    if (brand != CORP_TS && brand != CORP_LV && brand != CORP_DR) return CString();
    const CString code = getCorpCode(brand);
    CString lower(code);
    lower.MakeLower();
    return configured(L"WEB_UPDATE_SITE_" + code, L"http://update-" + lower + L".kestrune.invalid");
}

struct GuideEntry {
    int platformType;
    GuideProduct product;
};

// Platform types 9, 11 and 12 have no guide of their own and share the
// table's general entry; 3 and 4 are one head unit in two trims. The first
// TS units (3 to 6) were built on the DR platform and are documented there.
const GuideEntry kTs[] = {
    {3, {L"TS-NV-0304", CORP_DR}},     {4, {L"TS-NV-0304", CORP_DR}},  {5, {L"TS-NV-0500", CORP_DR}},
    {6, {L"TS-NV-0600", CORP_DR}},     {7, {L"TS-NV-0700", CORP_TS}},  {8, {L"TS-NV-0800", CORP_TS}},
    {9, {L"TS-NV-GENERAL", CORP_TS}},  {10, {L"TS-NV-1000", CORP_TS}}, {11, {L"TS-NV-GENERAL", CORP_TS}},
    {12, {L"TS-NV-GENERAL", CORP_TS}}, {13, {L"TS-NV-1300", CORP_TS}}, {15, {L"TS-NV-1500", CORP_TS}},
    {16, {L"TS-NV-1600", CORP_TS}},
};
const GuideEntry kLv[] = {
    {3, {L"LV-NV-0304", CORP_LV}},    {4, {L"LV-NV-0304", CORP_LV}},     {5, {L"LV-NV-0500", CORP_LV}},
    {6, {L"LV-NV-0600", CORP_LV}},    {7, {L"LV-NV-0700", CORP_LV}},     {8, {L"LV-NV-0800", CORP_LV}},
    {9, {L"LV-NV-GENERAL", CORP_LV}}, {11, {L"LV-NV-GENERAL", CORP_LV}}, {12, {L"LV-NV-GENERAL", CORP_LV}},
    {13, {L"LV-NV-1300", CORP_LV}},   {14, {L"LV-NV-1400", CORP_LV}},
};
const GuideEntry kDr[] = {
    {2, {L"DR-NV-0200", CORP_DR}},     {3, {L"DR-NV-0304", CORP_DR}},    {4, {L"DR-NV-0304", CORP_DR}},
    {5, {L"DR-NV-0500", CORP_DR}},     {6, {L"DR-NV-0600", CORP_DR}},    {7, {L"DR-NV-0700", CORP_DR}},
    {8, {L"DR-NV-0800", CORP_DR}},     {9, {L"DR-NV-GENERAL", CORP_DR}}, {11, {L"DR-NV-GENERAL", CORP_DR}},
    {12, {L"DR-NV-GENERAL", CORP_DR}}, {13, {L"DR-NV-1300", CORP_DR}},   {14, {L"DR-NV-1400", CORP_DR}},
};

template <size_t N>
const GuideProduct* lookup(const GuideEntry (&table)[N], int platformType) {
    for (const GuideEntry& e : table) {
        if (e.platformType == platformType) return &e.product;
    }
    return nullptr;
}

}  // namespace

const GuideProduct* findGuideProduct(int brand, int platformType) {
    switch (brand) {
    case CORP_TS: return lookup(kTs, platformType);
    case CORP_LV: return lookup(kLv, platformType);
    case CORP_DR: return lookup(kDr, platformType);
    default: return nullptr;
    }
}

CString getGuideUrl(int kind, int region, int language, int lastBrand, int platformType) {
    const CString regionCode = getRegionCode(region);
    const CString languageCode = getLanguageCode(language);
    CString path;
    if (kind == kGuideSpecification) {
        const CString site = updateSite(lastBrand);
        if (site.IsEmpty()) return CString();
        path.Format(L"/%s/%s/updateGuide/02#specificationTab", regionCode.GetString(), languageCode.GetString());
        return site + path;
    }
    if (kind != kGuideUpdate) return CString();
    const GuideProduct* product = findGuideProduct(lastBrand, platformType);
    if (!product) return CString();
    path.Format(L"/%s/%s/updateGuide/03?navi-id=", regionCode.GetString(), languageCode.GetString());
    return updateSite(product->siteBrand) + path + product->naviId;
}

CString ownerPortalUrl(int messageType, int region) {
    const int brand = messageType == SERVER_ETC_NO_VEHICLE_TS   ? CORP_TS
                      : messageType == SERVER_ETC_NO_VEHICLE_DR ? CORP_DR
                      : messageType == SERVER_ETC_NO_VEHICLE_LV ? CORP_LV
                                                                : 0;
    if (!brand) return CString();
    const CString code = getCorpCode(brand);
    CString lower(code);
    lower.MakeLower();
    if (region == REGION_US) {
        const wchar_t* path = brand == CORP_LV ? L"/us/en/luvo-owner-portal.html/" : L"/us/en/index.html";
        return configured(L"WEB_OWNERS_" + code, L"https://owners-" + lower + L".kestrune.invalid") + path;
    }
    if (brand != CORP_LV) return CString();
    return configured(L"WEB_MEMBER_KR_LV", L"https://member-lv.kestrune.invalid") +
           L"/kr/kmpg/selectMyPageCkbCarInfo.do";
}

}  // namespace msg
