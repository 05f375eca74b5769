// The update page's two outside services besides the downloads: the
// download-check report once per finished update, and in region 1 the
// upload of the head unit's vehicle-data files from the medium.
#include "pages/vehicle/dlg_car_update.h"

#include "descriptors/inf_info.h"
#include "foundation/code_tables.h"
#include "foundation/globalfunc.h"
#include "foundation/logmanager.h"
#include "foundation/private_messages.h"
#include "foundation/regsetting.h"
#include "pages/vehicle/update_report_rules.h"
#include "shell/main_frame.h"
#include "webclient/api_endpoints.h"
#include "webclient/vcrm_upload.h"
#include "webclient/webpost.h"

#include <shlwapi.h>

namespace {

constexpr int kUploadAttempts = 2;
constexpr int kVehicleDataPort = 8443;

}  // namespace

BOOL CDlgCarUpdate::sendDownCheck() {
    CMainFrame* f = frame();
    if (!f || !f->m_pInfInfoList || !f->Cur_inf) return FALSE;
    const InfInfoList* list = f->m_pInfInfoList;
    const InfInfo* entry = f->Cur_inf;

    RequestParamSendCheck param;
    param.m_strUser =
        list->getText1().IsEmpty() ? CWebPOST::EncryptValue(L"nonmembers") : list->getEncryptedId();
    param.m_strCorp = CWebPOST::EncryptValue(getCorpCode(list->getCorp()));
    const CString intl = entry->getDeviceNameIntl();
    param.m_strDeviceName =
        CWebPOST::EncryptValue(getLangCode(intl) == L"KO" ? entry->getDeviceName() : intl);
    param.m_strInfFileName = CWebPOST::EncryptValue(entry->getInfFileName());
    param.m_strFixed = CWebPOST::EncryptValue(L"M");
    param.m_strModelCode = CWebPOST::EncryptValue(entry->getModelCode());
    param.m_strRegion = CWebPOST::EncryptValue(getRegionCode(CRegSetting::getRegion()));
    param.m_strGUID = CWebPOST::EncryptValue(CRegSetting::getClientGUID());
    param.m_strSystemName = CWebPOST::EncryptValue(L"win");
    int major = 0, minor = 0, servicePack = 0;
    const BOOL known = CGlobalFunc::getOsVersion(major, minor, servicePack);
    param.m_strSystemVersion =
        CWebPOST::EncryptValue(update_report::systemVersionText(known != FALSE, major, minor, servicePack));
    CString zone;
    CGlobalFunc::GetTimezone(zone);
    param.m_strTimeZone = CWebPOST::EncryptValue(zone);
    SYSTEMTIME now{};
    GetLocalTime(&now);
    param.m_strLocalTime = CWebPOST::EncryptValue(update_report::localTimeText(now));

    CWebPOST web;
    const CString reply =
        web.SendChkCode(getServerHost(API_CHK_DOWN), getApiPath(API_CHK_DOWN), 443, param);
    if (reply.IsEmpty()) {
        LOG_WRITE(L"CDlgCarUpdate::sendDownCheck [ERR_%d_DOWNLOAD_CHECK]return value is null", 11);
        return FALSE;
    }
    const update_report::down_check_reply answer = update_report::parseDownCheckReply(reply);
    CString text;
    if (answer.code == 200) {
        LOG_WRITE(L"CDlgCarUpdate::sendDownCheck [DEBUG_%d_DOWNLOAD_CHECK][DownloadCheck Upload Success.]", 12);
        text.Format(L"[D:%d,T:%s,NAME:%s]", STAT_STAGE_REPORT, CGlobalFunc::getTimeStamp().GetString(),
                    entry->getDeviceName().GetString());
        record(text);
        return TRUE;
    }
    LOG_WRITE(L"CDlgCarUpdate::sendDownCheck [ERR_%d_DOWNLOAD_CHECK][DownLoadCheck Upload Fail.][%s][ErrCode:%s]", 12,
              answer.message.GetString(), answer.codeText.GetString());
    text.Format(L"[E:%d,T:%s,ED:%d]", STAT_STAGE_REPORT, CGlobalFunc::getTimeStamp().GetString(), answer.code);
    record(text);
    return FALSE;
}

void CDlgCarUpdate::uploadOfflineVehicleData() {
    if (!CRegSetting::isSendVcrmDesc1() || !CRegSetting::isSendVcrmDesc2() || !m_pCarInfo || m_chDrive == 0) return;
    CString url;
    url.Format(L"%s:%d%s", getServerHost(API_VCRM_DATA).GetString(), kVehicleDataPort, L"/offlinevcrm/data.do");
    for (int attempt = 0; attempt < kUploadAttempts; ++attempt) {
        if (uploadVehicleDataFiles(m_chDrive, url, m_pCarInfo->getDeviceType()) != 1) continue;
        CString text;
        text.Format(L"[D:%d,T:%s,NAME:%s,FP:%s]", STAT_STAGE_FOLDER, CGlobalFunc::getTimeStamp().GetString(),
                    m_pCarInfo->getDeviceName().GetString(), url.GetString());
        record(text);
        return;
    }
}

// 1 only when the files went up and the medium's folder is gone; a failed
// upload keeps them on the medium (the format erases them afterwards) and
// writes its record.
int CDlgCarUpdate::uploadVehicleDataFiles(wchar_t letter, const CString& url, int platformType) {
    wchar_t source[MAX_PATH] = {};
    swprintf_s(source, L"%c:\\", letter);
    PathAppendW(source, L"Data");
    PathAppendW(source, L"Common");
    PathAppendW(source, L"Configuration");
    wchar_t staging[MAX_PATH] = {};
    wcsncpy_s(staging, CGlobalFunc::getModuleDirectory().GetString(), _TRUNCATE);
    PathAppendW(staging, L"Temp");

    CGlobalFunc::deleteDirectory(staging);
    CGlobalFunc::createDirectory(staging);
    const int count = vcrm_copy_zip_files(source, staging);
    if (count <= 0) return 0;

    update_report::url_parts parts;
    update_report::splitUrl(std::string(CW2A(url.GetString(), CP_UTF8)), parts);
    const CString address(CA2W(update_report::rebuildUrl(parts).c_str(), CP_UTF8));
    const BOOL sent = vcrm_upload_files(address, staging, platformType, count);
    if (!sent) {
        CString text;
        text.Format(L"[E:%d,T:%s,NAME:%s,FP:%s]", STAT_STAGE_FOLDER, CGlobalFunc::getTimeStamp().GetString(),
                    m_pCarInfo ? m_pCarInfo->getDeviceName().GetString() : L"", address.GetString());
        record(text);
        return 0;
    }
    CGlobalFunc::deleteDirectory(staging);
    CGlobalFunc::deleteDirectory(source);
    return 1;
}
