// The per-region user subkey ("%s_User"): saved sign-in data, check boxes,
// the last brand, sign-in kind and vehicle, and the client identifier.
#include "afx/app.h"
#include "foundation/lastmodeinfo.h"
#include "foundation/regsetting.h"

namespace {

const CString& userKey(int index) {
    return CRegSetting::getUserKeys()[static_cast<size_t>(index)];
}

// Read on every access, so a change of region switches to the other
// region's values at once.
CString userSection() {
    CString section;
    section.Format(userKey(REG_USER_SECTION).GetString(), getRegionCode(CRegSetting::getRegion()).GetString());
    return section;
}

// A brand id outside the table gives an empty code: the name then begins
// with the underscore, as it always has.
CString brandValueName(int keyIndex, int corp) {
    CString name;
    name.Format(userKey(keyIndex).GetString(), getCorpCode(corp).GetString());
    return name;
}

CString checkedAutoName(int corp) {
    CString name;
    name.Format(userKey(REG_USER_CHECKED_AUTO).GetString(), getCorpCode(corp).GetString(),
                getUserTypeName(CRegSetting::getLastUserType()).GetString());
    return name;
}

CString lastModeName(const LastModeInfo& info) {
    CString name;
    name.Format(L"%s_%s_%s", getCorpCode(info.nCorp).GetString(), getUserTypeName(info.nUserType).GetString(),
                userKey(REG_USER_LAST_MODE).GetString());
    return name;
}

BOOL readFlag(const CString& name) {
    return AfxGetApp()->GetProfileInt(userSection(), name, 0) == 1;
}

BOOL writeFlag(const CString& name, int flag) {
    return AfxGetApp()->WriteProfileInt(userSection(), name, flag == 1 ? 1 : 0);
}

CString readText(const CString& name, const CString& fallback = CString()) {
    return AfxGetApp()->GetProfileString(userSection(), name, fallback);
}

BOOL writeText(const CString& name, const CString& value) {
    return AfxGetApp()->WriteProfileString(userSection(), name, value);
}

}  // namespace

BOOL CRegSetting::isCheckedSave(int corp) {
    return readFlag(brandValueName(REG_USER_CHECKED_SAVE, corp));
}

BOOL CRegSetting::setCheckedSave(int corp, int flag) {
    return writeFlag(brandValueName(REG_USER_CHECKED_SAVE, corp), flag);
}

BOOL CRegSetting::isCheckedAuto(int corp) {
    return readFlag(checkedAutoName(corp));
}

BOOL CRegSetting::setCheckedAuto(int corp, int flag) {
    return writeFlag(checkedAutoName(corp), flag);
}

BOOL CRegSetting::isCheckedSoftwareModelGuide(int corp) {
    return readFlag(brandValueName(REG_USER_CHECKED_SOFTWARE_MODEL_GUIDE, corp));
}

BOOL CRegSetting::setCheckedSoftwareModelGuide(int corp, int flag) {
    return writeFlag(brandValueName(REG_USER_CHECKED_SOFTWARE_MODEL_GUIDE, corp), flag);
}

BOOL CRegSetting::isCheckedSystemUpdate(int corp) {
    return readFlag(brandValueName(REG_USER_CHECKED_SYSTEM_UPDATE, corp));
}

BOOL CRegSetting::setCheckedSystemUpdate(int corp, int flag) {
    return writeFlag(brandValueName(REG_USER_CHECKED_SYSTEM_UPDATE, corp), flag);
}

CString CRegSetting::getUserID(int corp) {
    return decodeBase64(readText(brandValueName(REG_USER_ID, corp)));
}

BOOL CRegSetting::setUserID(int corp, const CString& id) {
    return writeText(brandValueName(REG_USER_ID, corp), encodeBase64(id));
}

CString CRegSetting::getUserInfo(int corp) {
    return decryptValue(readText(brandValueName(REG_USER_INFO, corp)));
}

BOOL CRegSetting::setUserInfo(int corp, const CString& password) {
    return writeText(brandValueName(REG_USER_INFO, corp), encryptValue(password));
}

int CRegSetting::getLastUserCorp() {
    return getCorpIdByName(readText(userKey(REG_USER_LAST_USER_CORP), getCorpName(CORP_TS)));
}

BOOL CRegSetting::setLastUserCorp(int corp) {
    return writeText(userKey(REG_USER_LAST_USER_CORP), getCorpName(corp));
}

int CRegSetting::getLastUserType() {
    return getUserTypeId(readText(userKey(REG_USER_LAST_USER_TYPE), getUserTypeName(USER_TYPE_MEMBER)));
}

BOOL CRegSetting::setLastUserType(int userType) {
    return writeText(userKey(REG_USER_LAST_USER_TYPE), getUserTypeName(userType));
}

BOOL CRegSetting::getLastMode(LastModeInfo& info) {
    CString value = readText(lastModeName(info));
    if (value.IsEmpty()) return FALSE;
    // Empty runs between separators are no tokens; a text without a token
    // keeps what the caller had in it.
    int position = 0;
    CString token = value.Tokenize(L"/", position);
    if (position >= 0) {
        info.strFirst = token;
        token = value.Tokenize(L"/", position);
        if (position >= 0) info.strSecond = token;
    }
    return TRUE;
}

BOOL CRegSetting::setLastMode(LastModeInfo info) {
    CString value;
    value.Format(L"%s/%s", info.strFirst.GetString(), info.strSecond.GetString());
    return writeText(lastModeName(info), value);
}

CString CRegSetting::getClientGUID() {
    return readText(userKey(REG_USER_CLIENT_GUID));
}
