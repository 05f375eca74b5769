#include "shell/scan/after_login.h"

#include "foundation/code_tables.h"

#include <memory>

LoginDestination pageAfterLogin(BOOL firstOpen, int eula, int region, bool messagePage) {
    LoginDestination d;
    if (firstOpen) {
        d.messageType = SERVER_ETC_FIRST_OPEN;
        d.firstOpenShown = true;
    } else if (region == REGION_KR && eula == 1) {
        d.messageType = SERVER_ETC_DATA_CONSENT;
    } else {
        d.view = VIEW_STATE_CAR_REG;
        return d;
    }
    if (!messagePage) return LoginDestination();
    d.view = VIEW_STATE_MESSAGE;
    return d;
}

int noVehicleMessageType(int lastUserCorp) {
    switch (lastUserCorp) {
    case CORP_TS:
        return SERVER_ETC_NO_VEHICLE_TS;
    case CORP_DR:
        return SERVER_ETC_NO_VEHICLE_DR;
    case CORP_LV:
        return SERVER_ETC_NO_VEHICLE_LV;
    default:
        return 0;
    }
}

bool hasRegisteredVehicle(const InfInfoList* account) {
    if (!account) return false;
    for (const InfInfo* entry : account->m_list)
        if (entry && entry->getGroup()) return true;
    return false;
}

BOOL findMediumInCatalog(int corp, int mediumCorp, const CString& modelCode, const GuestCatalogRequest& request,
                         MediumNames& names) {
    names = MediumNames();
    InfInfoList* catalog = nullptr;
    const BOOL ok = request ? request(catalog, corp) : FALSE;
    std::unique_ptr<InfInfoList> owned(catalog);
    if (!ok || !catalog) return FALSE;
    names.requested = TRUE;
    for (const InfInfo* entry : catalog->m_list) {
        if (!entry || entry->getModelFlag() != 0 || entry->getModelCode().CompareNoCase(modelCode) != 0) continue;
        names.name = entry->getDeviceName();
        names.nameIntl = entry->getDeviceNameIntl();
    }
    names.letter = mediumCorp == CORP_DR ? L"V" : mediumCorp == CORP_LV ? L"L" : mediumCorp == CORP_TS ? L"W" : L"";
    return names.name.IsEmpty() && names.nameIntl.IsEmpty() ? FALSE : TRUE;
}
