// The form request and its JSON twin: one connection, one request, one reply.
#include "foundation/logmanager.h"
#include "webclient/connectivity.h"
#include "webclient/tls_options.h"
#include "webclient/webpost.h"
#include "webclient/webpost_reply.h"

namespace {

constexpr DWORD kRequestFlags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_KEEP_CONNECTION;

bool isErrorStatus(int status) {
    return status == 0 || (status >= 400 && status <= 599);
}

// The status into a 64-byte buffer of which the call may use 32 bytes.
bool queryStatus(HINTERNET request, int& status) {
    wchar_t text[32] = {};
    DWORD size = 32;
    if (!HttpQueryInfoW(request, HTTP_QUERY_STATUS_CODE, text, &size, nullptr)) return false;
    status = _wtoi(text);
    return true;
}

}  // namespace

BOOL CWebPOST::Submit(CString server, CString path, ResponseData* data, int port, const RequsetParam* param,
                      const CString& verb, BOOL secure) {
    server = encodeLenient(server);
    path = encodeLenient(path);
    if (!isInternetConnected()) {
        LOG_WRITE(L"[ERROR][Network Unpluged.]");
        return FALSE;
    }
    const CString query = param ? param->makeQueryString() : CString();

    UniqueInternetHandle internet(InternetOpenW(L"VELM", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
    if (!internet) {
        LOG_WRITE(L"[InternetOpen][ErrCode:%d]", static_cast<int>(GetLastError()));
        return FALSE;
    }
    UniqueInternetHandle connection(InternetConnectW(internet.get(), server.GetString(), static_cast<INTERNET_PORT>(port),
                                                     nullptr, nullptr, INTERNET_SERVICE_HTTP, 0, 1));
    if (!connection) {
        LOG_WRITE(L"[InternetConnect][ErrCode:%d]", static_cast<int>(GetLastError()));
        return FALSE;
    }
    if (verb == L"GET") path += L"?" + query;
    LOG_WRITE(L"[InternetConnect][szServerAddr=%s%s]", server.GetString(), maskQueryValues(path).GetString());

    const bool https = port == 443 || secure;
    const DWORD flags = kRequestFlags | (https ? INTERNET_FLAG_SECURE : 0);
    if (!isInternetConnected()) {
        LOG_WRITE(L"[ERROR][Network Unpluged.]");
        return FALSE;
    }
    const wchar_t* acceptTypes[] = {L"*/*", nullptr};
    UniqueInternetHandle request(HttpOpenRequestW(connection.get(), verb.GetString(), path.GetString(), nullptr,
                                                  nullptr, acceptTypes, flags, reinterpret_cast<DWORD_PTR>(this)));
    if (!request) {
        LOG_WRITE(L"[HttpOpenRequestError][ErrCode:%d]", static_cast<int>(GetLastError()));
        return FALSE;
    }
    if (https) {
        DWORD ignored = 0;
        setCertificateChecks(request.get(), ignored);
    }
    const CString header(L"Content-Type: application/x-www-form-urlencoded");
    if (!HttpSendRequestW(request.get(), header.GetString(), static_cast<DWORD>(header.GetLength()), nullptr, 0)) {
        DWORD error = GetLastError();
        if (isCertificateError(error)) {
            LOG_WRITE(L"[HttpSendRequest][CERTIFICATE][ErrCode:%d]", static_cast<int>(error));
        } else {
            LOG_WRITE(L"[HttpSendRequest][ErrCode:%d]", static_cast<int>(error));
        }
        return FALSE;
    }
    if (!isInternetConnected()) {
        LOG_WRITE(L"[ERROR][Network Unpluged.]");
        return FALSE;
    }
    int status = 0;
    if (!queryStatus(request.get(), status)) {
        LOG_WRITE(L"[HttpQueryInfo][ErrCode:%d]", static_cast<int>(GetLastError()));
        return FALSE;
    }
    if (isErrorStatus(status)) {
        LOG_WRITE(L"[HTTP Status:%d][ErrCode:%d]", status, static_cast<int>(GetLastError()));
        return FALSE;
    }
    KESTRUNE_DECLARE_FUNCTION_NAME;
    return readReply(kestrune_function_.c_str(), request.get(), data, ReplyReading{10, true, 10, true}) ? TRUE : FALSE;
}

BOOL CWebPOST::SubmitAsJson(CString server, CString path, ResponseData* data, int port, const RequsetParam* param,
                            const CString& verb, BOOL secure) {
    server = encodeLenient(server);
    path = encodeLenient(path);
    DWORD connectedFlags = 0;
    if (!isInternetConnected(connectedFlags)) {
        LOG_WRITE(L"[InternetGetConnectedStateEx Faild : %#010x]", static_cast<unsigned>(connectedFlags));
        return FALSE;
    }
    const CString url = server + path;
    const CString text = param ? param->makeQueryString() : CString();
    CStringA body = WideToMultiByte(text.GetString(), CP_UTF8);

    UniqueInternetHandle internet(InternetOpenW(L"KSClient", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
    if (!internet) {
        LOG_WRITE(L"[InternetOpen Error][URL:%s][Port:%d][GetLastError:%d]", url.GetString(), port,
                  static_cast<int>(GetLastError()));
        return FALSE;
    }
    UniqueInternetHandle connection(InternetConnectW(internet.get(), server.GetString(), static_cast<INTERNET_PORT>(port),
                                                     nullptr, nullptr, INTERNET_SERVICE_HTTP, 0, 1));
    if (!connection) {
        LOG_WRITE(L"[InternetConnect Error][URL:%s][Port:%d][GetLastError:%d]", url.GetString(), port,
                  static_cast<int>(GetLastError()));
        return FALSE;
    }
    if (verb == L"GET") path += L"?" + text;

    const bool https = port == 444 || secure;
    const DWORD flags = kRequestFlags | (https ? INTERNET_FLAG_SECURE : 0);
    const wchar_t* acceptTypes[] = {L"*/*", nullptr};
    UniqueInternetHandle request(HttpOpenRequestW(connection.get(), verb.GetString(), path.GetString(), nullptr,
                                                  nullptr, acceptTypes, flags, reinterpret_cast<DWORD_PTR>(this)));
    if (!request) {
        LOG_WRITE(L"[HttpOpenRequest Error][URL:%s][Port:%d][GetLastError:%d]", url.GetString(), port,
                  static_cast<int>(GetLastError()));
        return FALSE;
    }
    if (https) {
        DWORD ignored = 0;
        setCertificateChecks(request.get(), ignored);
    }
    const CString header(L"Content-Type: application/json;");
    if (!HttpSendRequestW(request.get(), header.GetString(), static_cast<DWORD>(header.GetLength()),
                          body.IsEmpty() ? nullptr : const_cast<char*>(body.GetString()),
                          static_cast<DWORD>(body.GetLength()))) {
        DWORD error = GetLastError();
        if (isCertificateError(error)) {
            LOG_WRITE(L"[HttpSendRequest Error][CERTIFICATE][URL:%s][Port:%d][GetLastError:%d]", url.GetString(),
                      port, static_cast<int>(error));
        } else {
            LOG_WRITE(L"[HttpSendRequest Error][URL:%s][Port:%d][GetLastError:%d]", url.GetString(), port,
                      static_cast<int>(error));
        }
        return FALSE;
    }
    int status = 0;
    if (!queryStatus(request.get(), status)) {
        LOG_WRITE(L"[HttpQueryInfo Error][URL:%s][Port:%d][GetLastError:%d]", url.GetString(), port,
                  static_cast<int>(GetLastError()));
        return FALSE;
    }
    if (isErrorStatus(status)) {
        LOG_WRITE(L"[HTTP Status Error:%d][URL:%s][Port:%d][GetLastError:%d]", status, url.GetString(), port,
                  static_cast<int>(GetLastError()));
        return FALSE;
    }
    KESTRUNE_DECLARE_FUNCTION_NAME;
    return readReply(kestrune_function_.c_str(), request.get(), data, ReplyReading{3, false, 5, false}) ? TRUE : FALSE;
}

int CWebPOST::HttpCheckStatus(CString server, CString path, int port, const CString& verb, BOOL secure) {
    server = encodeLenient(server);
    path = encodeLenient(path);
    server.Replace(L"http://", L"");
    server.Replace(L"https://", L"");
    if (!isInternetConnected()) return -1;
    UniqueInternetHandle internet(InternetOpenW(L"VELM", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
    if (!internet) return -2;
    UniqueInternetHandle connection(InternetConnectW(internet.get(), server.GetString(), static_cast<INTERNET_PORT>(port),
                                                     nullptr, nullptr, INTERNET_SERVICE_HTTP, 0, 1));
    if (!connection) return -3;
    if (verb == L"GET") path += L"?";
    const bool https = port == 444 || secure;
    const DWORD flags = kRequestFlags | (https ? INTERNET_FLAG_SECURE : 0);
    const wchar_t* acceptTypes[] = {L"*/*", nullptr};
    UniqueInternetHandle request(HttpOpenRequestW(connection.get(), verb.GetString(), path.GetString(), nullptr,
                                                  nullptr, acceptTypes, flags, reinterpret_cast<DWORD_PTR>(this)));
    if (!request) return -4;
    DWORD timeout = 10000;
    InternetSetOptionW(request.get(), INTERNET_OPTION_RECEIVE_TIMEOUT, &timeout, sizeof(timeout));
    if (https) {
        DWORD error = 0;
        if (!setCertificateChecks(request.get(), error)) return -5;
    }
    const CString header(L"Content-Type: application/x-www-form-urlencoded");
    if (!HttpSendRequestW(request.get(), header.GetString(), static_cast<DWORD>(header.GetLength()), nullptr, 0)) {
        DWORD error = GetLastError();
        if (isCertificateError(error)) {
            LOG_WRITE(L"[HttpSendRequest][CERTIFICATE][%s][ErrCode:%d]", server.GetString(), static_cast<int>(error));
            return -9;
        }
        return -6;
    }
    int status = 0;
    if (!queryStatus(request.get(), status)) return -7;
    return isErrorStatus(status) ? -8 : 0;
}
