#pragma once
// Addresses of the guide pages on the brands' update sites, and of the owner
// portals that the no-vehicle messages open.
#include "afx/string.h"

namespace msg {

constexpr int kGuideSpecification = 102;
constexpr int kGuideUpdate = 103;

// The navigation-product identifier of a head-unit platform type for a brand
// and the brand whose update site carries its guide; null when the brand's
// table has no entry for the type.
struct GuideProduct {
    const wchar_t* naviId;
    int siteBrand;
};
const GuideProduct* findGuideProduct(int brand, int platformType);

// kind 102: the brand's technical-data page; kind 103: the update guide of the
// platform type. The empty text for another kind, brand or type. Hosts come
// from config.json (WEB_UPDATE_SITE_*).
CString getGuideUrl(int kind, int region, int language, int lastBrand, int platformType);

// Messages 1008 to 1010 without a registered vehicle: the brand's owner
// portal in the US, the LV member page elsewhere; empty when none applies.
CString ownerPortalUrl(int messageType, int region);

}  // namespace msg
