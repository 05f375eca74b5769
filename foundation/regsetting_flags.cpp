// The consent and first-start flags of the "Settings" section.
#include "afx/app.h"
#include "foundation/regsetting.h"

namespace {

const CString& settingKey(int index) {
    return CRegSetting::getSettingKeys()[static_cast<size_t>(index)];
}

BOOL readFlag(int keyIndex, int fallback) {
    return AfxGetApp()->GetProfileInt(settingKey(REG_SETTINGS_SECTION), settingKey(keyIndex), fallback) == 1;
}

BOOL writeFlag(int keyIndex, int flag) {
    return AfxGetApp()->WriteProfileInt(settingKey(REG_SETTINGS_SECTION), settingKey(keyIndex), flag == 1 ? 1 : 0);
}

}  // namespace

BOOL CRegSetting::isSendVcrmDesc1() {
    return readFlag(REG_SETTINGS_SEND_VCRM_DESC1, 0);
}

BOOL CRegSetting::setSendVcrmDesc1() {
    return writeFlag(REG_SETTINGS_SEND_VCRM_DESC1, g_nSendVcrmDesc1);
}

BOOL CRegSetting::isSendVcrmDesc2() {
    return readFlag(REG_SETTINGS_SEND_VCRM_DESC2, 0);
}

BOOL CRegSetting::setSendVcrmDesc2() {
    return writeFlag(REG_SETTINGS_SEND_VCRM_DESC2, g_nSendVcrmDesc2);
}

BOOL CRegSetting::isFirstOpenProgram() {
    return readFlag(REG_SETTINGS_FIRST_OPEN_PROGRAM, 1);
}

BOOL CRegSetting::setFirstOpenProgram() {
    return writeFlag(REG_SETTINGS_FIRST_OPEN_PROGRAM, 0);
}

BOOL CRegSetting::setFirstOpenEula() {
    return writeFlag(REG_SETTINGS_FIRST_OPEN_EULA, 0);
}
