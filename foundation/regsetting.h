#pragma once
// Everything the program remembers between runs lives under
// HKCU\Software\Corvessa\Kestrune, read and written through the application
// object's profile calls. Integer flags read TRUE only when the stored value
// is 1 and are written as 1 or 0.
#include "afx/string.h"
#include "foundation/code_tables.h"

#include <vector>

struct LastModeInfo;
class WinAES;

// The user's two vehicle-data consents while the program runs.
extern int g_nSendVcrmDesc1;
extern int g_nSendVcrmDesc2;

class CRegSetting {
public:
    // ---- per region (the "%s_User" subkey), per brand
    static BOOL isCheckedSave(int corp);
    static BOOL setCheckedSave(int corp, int flag);
    static BOOL isCheckedAuto(int corp);
    static BOOL setCheckedAuto(int corp, int flag);
    static BOOL isCheckedSoftwareModelGuide(int corp);
    static BOOL setCheckedSoftwareModelGuide(int corp, int flag);
    static BOOL isCheckedSystemUpdate(int corp);
    static BOOL setCheckedSystemUpdate(int corp, int flag);
    static CString getUserID(int corp);
    static BOOL setUserID(int corp, const CString& id);
    static CString getUserInfo(int corp);
    static BOOL setUserInfo(int corp, const CString& password);
    static int getLastUserCorp();
    static BOOL setLastUserCorp(int corp);
    static int getLastUserType();
    static BOOL setLastUserType(int userType);
    static BOOL getLastMode(LastModeInfo& info);
    static BOOL setLastMode(LastModeInfo info);
    static CString getClientGUID();

    // ---- "Settings"
    static CString getDataPath();
    static BOOL setDataPath(const CString& path);
    static int getRegion();
    static BOOL setRegion(int region);
    static int getLanguage();
    static BOOL setLanguage(int language);
    static BOOL isSendVcrmDesc1();
    static BOOL setSendVcrmDesc1();
    static BOOL isSendVcrmDesc2();
    static BOOL setSendVcrmDesc2();
    static BOOL isFirstOpenProgram();
    static BOOL setFirstOpenProgram();
    static BOOL setFirstOpenEula();

    // ---- the application key
    static CString getInstallPath();

    // ---- value names; the order is part of the interface
    static const std::vector<CString>& getUserKeys();
    static const std::vector<CString>& getSettingKeys();
    static const std::vector<CString>& getAppKeys();

    // ---- stored-value codecs: the saved sign-in ID as Base64, the saved
    // password as "*" and the Base64 of its AES-256-CBC ciphertext. Text is
    // stored as UTF-8 with its terminating zero; values stored in the ANSI
    // code page by earlier versions still read back. An empty text stays
    // empty, and anything that cannot be encoded or read becomes empty.
    static CString encodeBase64(const CString& text);
    static CString decodeBase64(const CString& text);
    static CString encryptValue(const CString& text);
    static CString decryptValue(const CString& text);
    // Sets the settings cipher's fixed key and IV on the object.
    static BOOL setCipherKey(WinAES& aes);
};

// Indexes into the key-name tables.
enum RegUserKey {
    REG_USER_SECTION = 0,          // "%s_User"
    REG_USER_ID = 1,               // "%s_UserID"
    REG_USER_INFO = 2,             // "%s_UserInfo"
    REG_USER_CHECKED_SAVE = 3,     // "%s_CheckedSave"
    REG_USER_CHECKED_VERSION_GUIDE = 4,
    REG_USER_CHECKED_SD_GUIDE = 5,
    REG_USER_CHECKED_AUTO = 6,     // "%s_%s_CheckedAuto"
    REG_USER_CHECKED_SOFTWARE_MODEL_GUIDE = 7,
    REG_USER_CHECKED_SYSTEM_UPDATE = 8,
    REG_USER_LAST_USER_CORP = 9,
    REG_USER_LAST_USER_TYPE = 10,
    REG_USER_BACKUP_GUIDE_CHECKED_DATE = 11,
    REG_USER_LAST_MODE = 12,
    REG_USER_CLIENT_GUID = 13,
    REG_USER_HIDE_CHECK_DATE_TS = 14,
    REG_USER_HIDE_CHECK_DATE_DR = 15,
    REG_USER_HIDE_CHECK_DATE_LV = 16,
};

enum RegSettingKey {
    REG_SETTINGS_SECTION = 0,  // "Settings"
    REG_SETTINGS_DATA_PATH = 1,
    REG_SETTINGS_REGION = 2,
    REG_SETTINGS_LANGUAGE = 3,
    REG_SETTINGS_SEND_VCRM_DESC0 = 4,
    REG_SETTINGS_SEND_VCRM_DESC1 = 5,
    REG_SETTINGS_SEND_VCRM_DESC2 = 6,
    REG_SETTINGS_FIRST_OPEN_PROGRAM = 7,
    REG_SETTINGS_FIRST_OPEN_EULA = 8,
};

enum RegAppKey {
    REG_APP_INSTALL_PATH = 0,
    REG_APP_LIVE_UPDATE_RUNNING = 1,
    REG_APP_UNINSTALL_STATUS = 2,
};
