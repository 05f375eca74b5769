#include "foundation/regsetting.h"

int g_nSendVcrmDesc1 = 0;
int g_nSendVcrmDesc2 = 0;

// Built on first use; function-local statics are safe against concurrent
// first calls.
const std::vector<CString>& CRegSetting::getUserKeys() {
    static const std::vector<CString> keys = {
        L"%s_User",          L"%s_UserID",        L"%s_UserInfo",
        L"%s_CheckedSave",   L"%s_CheckedVersionGuide", L"%s_CheckedSDGuide",
        L"%s_%s_CheckedAuto", L"%s_CheckedSoftwareModelGuide", L"%s_CheckedSystemUpdate",
        L"LastUserCorp",     L"LastUserType",     L"BackupGuideCheckedDate",
        L"LastMode",         L"ClientGUID",       L"HIDE_CHECK_DATE_TS",
        L"HIDE_CHECK_DATE_DR", L"HIDE_CHECK_DATE_LV",
    };
    return keys;
}

const std::vector<CString>& CRegSetting::getSettingKeys() {
    static const std::vector<CString> keys = {
        L"Settings",        L"DataPath",        L"Region",
        L"Language",        L"SEND_VCRM_DESC0", L"SEND_VCRM_DESC1",
        L"SEND_VCRM_DESC2", L"FIRST_OPEN_PROGRAM", L"FIRST_OPEN_EULA",
    };
    return keys;
}

const std::vector<CString>& CRegSetting::getAppKeys() {
    static const std::vector<CString> keys = {L"InstallPath", L"LiveUpdateRunning", L"UninstallStatus"};
    return keys;
}
