#include "webclient/statistics_upload.h"
#include "foundation/globalfunc.h"
#include "foundation/logmanager.h"
#include "webclient/api_endpoints.h"
#include "webclient/webpost.h"

#include <json/writer.h>


namespace {

std::string utf8(const CString& text) {
    return std::string(WideToMultiByte(text.GetString(), CP_UTF8).GetString());
}

CString localTimeText() {
    SYSTEMTIME t;
    GetLocalTime(&t);
    CString text;
    text.Format(L"%02d%02d%02d-%02d:%02d:%02d.%03d", t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond,
                t.wMilliseconds);
    return text;
}

CString osVersionText() {
    int major = 0, minor = 0, servicePack = 0;
    CGlobalFunc::getOsVersion(major, minor, servicePack);
    CString text;
    text.Format(L"%d.%d.%d", major, minor, servicePack);
    return text;
}

}  // namespace

CString cutStatisticsErrorLog(const CString& errorLog) {
    if (errorLog.GetLength() <= kStatisticsErrorLogLimit) return errorLog;
    int keep = kStatisticsErrorLogLimit;
    if (IS_HIGH_SURROGATE(errorLog[keep - 1])) --keep;
    return errorLog.Left(keep);
}

Json::Value makeStatisticsJson(const StatisticsContext& c) {
    Json::Value body(Json::objectValue);
    body["LastCode"] = utf8(c.lastCode);
    body["OSType"] = utf8(c.osType);
    body["OSVer"] = utf8(c.osVersion);
    body["ClientVer"] = utf8(c.clientVersion);
    body["LocalTime"] = utf8(c.localTime);
    body["ClientID"] = utf8(c.clientId);
    body["Region"] = utf8(c.region);
    body["Language"] = utf8(c.language);
    body["DeviceName"] = utf8(c.deviceName);
    body["DeviceMCode"] = utf8(c.deviceMCode);
    body["OldSWVer"] = utf8(c.oldSwVersion);
    body["OldMapVer"] = utf8(c.oldMapVersion);
    body["NewSWVer"] = utf8(c.newSwVersion);
    body["NewMapVer"] = utf8(c.newMapVersion);
    body["INFPath"] = utf8(c.infPath);
    body["ErrorLog"] = utf8(cutStatisticsErrorLog(c.errorLog));
    body["Corporate"] = utf8(CWebPOST::EncryptValue(c.corporate));
    body["UserType"] = utf8(CWebPOST::EncryptValue(c.userType.IsEmpty() ? CString(L"guest") : c.userType));
    body["UserID"] = utf8(CWebPOST::EncryptValue(c.userId.IsEmpty() ? CString(L"nonmembers") : c.userId));
    return body;
}

CString LogManager::SendStatistics() {
    CString clientVersion;
    if (!getFileVersion(clientVersion)) clientVersion.Empty();
    StatisticsContext context;
    if (!prepareStatisticsUpload(osVersionText(), clientVersion, localTimeText(), context)) return CString();

    RequestParamJson param;
    param.m_value = makeStatisticsJson(context);
    logNoLocation(L"[LogManager][SendStatistics:%d][json:%s]", 831, param.makeQueryString().GetString());

    auto* data = new ResponseData;
    CWebPOST post;
    CString result(L"0");
    if (post.SubmitAsJson(getServerHost(API_SET_DOWN_ERROR_LOG), getApiPath(API_SET_DOWN_ERROR_LOG), data, 443,
                          &param, L"POST", TRUE)) {
        result = data->pData ? MultiByteToWide(reinterpret_cast<const char*>(data->pData), CP_ACP) : CString();
    }
    logNoLocation(L"[LogManager][SendStatistics:%d][returnData:%s]", 851, result.GetString());
    post.FreeData(&data);
    return result;
}
