// The "Settings" section and the application key.
#include "afx/app.h"
#include "foundation/regsetting.h"

namespace {

const CString& settingKey(int index) {
    return CRegSetting::getSettingKeys()[static_cast<size_t>(index)];
}

const CString& section() {
    return settingKey(REG_SETTINGS_SECTION);
}

}  // namespace

CString CRegSetting::getInstallPath() {
    return AfxGetApp()->GetProfileString(L"", getAppKeys()[REG_APP_INSTALL_PATH].GetString(), L"");
}

CString CRegSetting::getDataPath() {
    return AfxGetApp()->GetProfileString(section(), settingKey(REG_SETTINGS_DATA_PATH), L"");
}

BOOL CRegSetting::setDataPath(const CString& path) {
    return AfxGetApp()->WriteProfileString(section(), settingKey(REG_SETTINGS_DATA_PATH), path);
}

int CRegSetting::getRegion() {
    CString value = AfxGetApp()->GetProfileString(section(), settingKey(REG_SETTINGS_REGION),
                                                  getRegionCode(REGION_KR));
    if (value.IsEmpty()) {
        setRegion(REGION_KR);
        return REGION_KR;
    }
    return getRegionId(value);
}

BOOL CRegSetting::setRegion(int region) {
    return AfxGetApp()->WriteProfileString(section(), settingKey(REG_SETTINGS_REGION), getRegionCode(region));
}

int CRegSetting::getLanguage() {
    CString value = AfxGetApp()->GetProfileString(section(), settingKey(REG_SETTINGS_LANGUAGE),
                                                  getLocaleName(LANGUAGE_KO));
    // In Korea only Korean and US English are offered.
    if (getRegion() == REGION_KR && !value.IsEmpty() && value.Compare(getLocaleName(LANGUAGE_KO)) != 0 &&
        value.Compare(getLocaleName(LANGUAGE_EN)) != 0) {
        setLanguage(LANGUAGE_KO);
        value = getLocaleName(LANGUAGE_KO);
    }
    return getLanguageIdByLocale(value);
}

BOOL CRegSetting::setLanguage(int language) {
    return AfxGetApp()->WriteProfileString(section(), settingKey(REG_SETTINGS_LANGUAGE), getLocaleName(language));
}
