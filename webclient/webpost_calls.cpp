// One retrying operation per web-service call: the same parameters are sent
// again at once after a failed or empty reply.
#include "foundation/logmanager.h"
#include "webclient/webpost.h"
#include "webclient/webpost_reply.h"

#include <cstdlib>

CWebPOST::~CWebPOST() {
    m_bCancel = true;
    m_pReadBuffer.reset();
    m_file.Abort();
}

int CWebPOST::FreeData(ResponseData** holder) {
    if (holder && *holder) {
        free((*holder)->pData);
        (*holder)->pData = nullptr;
        (*holder)->count = 0;
        delete *holder;
        *holder = nullptr;
    }
    return 1;
}

CString CWebPOST::submitWithRetries(const char* function, CString server, CString path, int port,
                                    const RequsetParam& param, BOOL secure, int attempts, bool detailedLog) {
    server = encodeLenient(server);
    path = encodeLenient(path);
    CString result;
    for (int attempt = 1;; ++attempt) {
        ResponseData* data = new ResponseData();
        if (Submit(server, path, data, port, &param, L"GET", secure)) {
            if (detailedLog) g_logManager.log(function, __LINE__, L"[DEBUG][Submit return TRUE]");
            if (data->pData) {
                result = MultiByteToWide(reinterpret_cast<const char*>(data->pData), CP_UTF8,
                                         static_cast<int>(data->count));
                if (detailedLog) {
                    g_logManager.log(function, __LINE__, L"[DEBUG][Submit result is NOT NULL]");
                    // The sign-in reply names the user and the vehicles: its size only.
                    g_logManager.log(function, __LINE__, L"[DEBUG][Submit result is %d characters]",
                                     result.GetLength());
                }
            } else if (detailedLog) {
                g_logManager.log(function, __LINE__, L"[DEBUG][Submit result is NULL]");
            }
            if (!result.IsEmpty()) {
                FreeData(&data);
                return result;
            }
            if (detailedLog) {
                g_logManager.log(function, __LINE__, L"[DEBUG][Error:%d][strReturn = Empty]",
                                 static_cast<int>(GetLastError()));
            } else {
                g_logManager.log(function, __LINE__, L"[DEBUG][Error:%d][tData->pData:%s]",
                                 static_cast<int>(GetLastError()), result.GetString());
            }
        } else if (detailedLog) {
            g_logManager.log(function, __LINE__, L"[DEBUG][Submit return FALSE]");
        }
        g_logManager.log(function, __LINE__, L"[Submit Fail][Retry %d]", attempt);
        FreeData(&data);
        if (attempt >= attempts) return result;
    }
}

CString CWebPOST::RequestGUID(CString server, CString path, int port, RequestParamGUID param, BOOL secure) {
    KESTRUNE_DECLARE_FUNCTION_NAME;
    return submitWithRetries(kestrune_function_.c_str(), server, path, port, param, secure, 5, true);
}

CString CWebPOST::LoginStart(CString server, CString path, int port, RequestParamLogin param, BOOL secure) {
    KESTRUNE_DECLARE_FUNCTION_NAME;
    return submitWithRetries(kestrune_function_.c_str(), server, path, port, param, secure, 5, true);
}

CString CWebPOST::GetAvailableLanguageCode(CString server, CString path, int port, RequestParamLanguage param,
                                           BOOL secure) {
    KESTRUNE_DECLARE_FUNCTION_NAME;
    return submitWithRetries(kestrune_function_.c_str(), server, path, port, param, secure, 5, false);
}

CString CWebPOST::SendChkCode(CString server, CString path, int port, RequestParamSendCheck param) {
    KESTRUNE_DECLARE_FUNCTION_NAME;
    return submitWithRetries(kestrune_function_.c_str(), server, path, port, param, TRUE, 5, false);
}

CString CWebPOST::GetUserPrivate(CString server, CString path, int port, RequestParamUserPrivate param,
                                 BOOL secure) {
    KESTRUNE_DECLARE_FUNCTION_NAME;
    return submitWithRetries(kestrune_function_.c_str(), server, path, port, param, secure, 3, false);
}
