#include "webclient/internet_worker.h"
#include "afx/handle.h"
#include "afx/inet.h"
#include "foundation/logmanager.h"
#include "foundation/message_pump.h"
#include "webclient/connectivity.h"
#include "webclient/tls_options.h"

#include <memory>
#include <mutex>
#include <random>

namespace {

constexpr DWORD kReceiveTimeoutMs = 5000;
constexpr DWORD kConnectTimeoutMs = 10000;
constexpr DWORD kConnectRetries = 3;
constexpr DWORD kSendTimeoutMs = 5000;
constexpr int kConnectAttempts = 3;
constexpr int kSendTries = 3;
constexpr DWORD kSendRetryWaitMs = 100;

// WinINet waits for a reply's head inside HttpSendRequest, and Wine ends
// that wait neither at the receive time-out nor when the handle is closed: a
// server that accepts and never answers would hold the caller for as long as
// it likes. With a run flag or a deadline the send therefore runs on a
// short-lived thread; when the caller stops waiting, the thread is
// abandoned (never killed) and closes the handles it was given once its
// send returns.
struct SendContext {
    HINTERNET request = nullptr;
    HINTERNET connection = nullptr;
    CString headers;
    BOOL sent = FALSE;
    DWORD error = 0;
    // A slim lock, ready without a first-use initialisation: the runtime's
    // lazily initialised mutex crashed when the send thread and its caller
    // took it for the first time at once.
    SRWLOCK lock = SRWLOCK_INIT;
    bool abandoned = false;
};

class ContextLock {
public:
    explicit ContextLock(SendContext& ctx) : m_lock(ctx.lock) { AcquireSRWLockExclusive(&m_lock); }
    ~ContextLock() { ReleaseSRWLockExclusive(&m_lock); }
    ContextLock(const ContextLock&) = delete;
    ContextLock& operator=(const ContextLock&) = delete;

private:
    SRWLOCK& m_lock;
};

DWORD WINAPI sendThread(LPVOID parameter) {
    std::unique_ptr<std::shared_ptr<SendContext>> owner(static_cast<std::shared_ptr<SendContext>*>(parameter));
    SendContext& ctx = **owner;
    const BOOL sent = HttpSendRequestW(ctx.request, ctx.headers.GetString(),
                                       static_cast<DWORD>(ctx.headers.GetLength()), nullptr, 0);
    const DWORD error = GetLastError();
    ContextLock guard(ctx);
    ctx.sent = sent;
    ctx.error = error;
    if (ctx.abandoned) {
        InternetCloseHandle(ctx.request);
        InternetCloseHandle(ctx.connection);
    }
    return 0;
}

// 1 sent, 0 failed (error set), -1 stopped: the handles went to the thread.
int sendWatched(UniqueInternetHandle& connection, UniqueInternetHandle& request, const CString& headers,
                run_state& run, DWORD& error) {
    auto ctx = std::make_shared<SendContext>();
    ctx->request = request.get();
    ctx->connection = connection.get();
    ctx->headers = headers;
    auto* parameter = new std::shared_ptr<SendContext>(ctx);
    UniqueKernelHandle thread(CreateThread(nullptr, 0, sendThread, parameter, 0, nullptr));
    if (!thread) {
        delete parameter;
        const BOOL sent = HttpSendRequestW(request.get(), headers.GetString(),
                                           static_cast<DWORD>(headers.GetLength()), nullptr, 0);
        error = GetLastError();
        return sent ? 1 : 0;
    }
    for (;;) {
        if (WaitForSingleObject(thread.get(), 50) == WAIT_OBJECT_0) break;
        if (!run.check()) {
            ContextLock guard(*ctx);
            if (WaitForSingleObject(thread.get(), 0) == WAIT_OBJECT_0) break;
            ctx->abandoned = true;
            request.release();
            connection.release();
            return -1;
        }
    }
    error = ctx->error;
    return ctx->sent ? 1 : 0;
}

const wchar_t kAgentAlphabet[] = L"0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";

ULONGLONG systemTicks() {
    FILETIME ft;
    GetSystemTimeAsFileTime(&ft);
    return (static_cast<ULONGLONG>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime;
}

CString makeAgentName() {
    static const ULONGLONG start = systemTicks();
    ULONGLONG elapsedNs = (systemTicks() - start) * 100;
    std::mt19937 random(static_cast<std::uint32_t>(elapsedNs));
    CString name(L"VELM_");
    for (int i = 0; i < 8; ++i) name += kAgentAlphabet[random() % 62];
    return name;
}

bool setTimeout(HINTERNET handle, DWORD option, DWORD value) {
    return InternetSetOptionW(handle, option, &value, sizeof(value)) != FALSE;
}

}  // namespace

internet_worker::internet_worker() : agent_name(makeAgentName()) {}

bool internet_worker::internet_connected_state_check() {
    LOG_WRITE(L"[agent_name:%s]", agent_name.GetString());
    DWORD flags = 0;
    if (isInternetConnected(flags)) return true;
    code = INET_ERROR_NOT_CONNECTED;
    LOG_WRITE(L"[ERR_NETWORK_HTTP][InternetGetConnectedState][agent_name:%s][flag:%d]", agent_name.GetString(),
              static_cast<int>(flags));
    return false;
}

bool internet_worker::set_max_connections(DWORD count) {
    for (DWORD option : {INTERNET_OPTION_MAX_CONNS_PER_SERVER, INTERNET_OPTION_MAX_CONNS_PER_1_0_SERVER}) {
        DWORD current = 0;
        DWORD size = sizeof(current);
        if (!InternetQueryOptionW(nullptr, option, &current, &size)) return false;
        DWORD value = count;
        if (!InternetSetOptionW(nullptr, option, &value, sizeof(value))) return false;
    }
    if (!InternetSetOptionW(nullptr, INTERNET_OPTION_SETTINGS_CHANGED, nullptr, 0)) return false;
    return InternetSetOptionW(nullptr, INTERNET_OPTION_REFRESH, nullptr, 0) != FALSE;
}

bool internet_worker::_InternetOpen(UniqueInternetHandle& internet) {
    internet.reset(InternetOpenW(agent_name.GetString(), INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
    if (!internet) {
        code = INET_ERROR_OPEN;
        LOG_WRITE(L"[ERR_NETWORK_HTTP][InternetOpen][agent_name:%s]", agent_name.GetString());
        return false;
    }
    const wchar_t* receiveFailure =
        L"[ERR_NETWORK_HTTP][InternetSetOption INTERNET_OPTION_RECEIVE_TIMEOUT][agent_name:%s][rec_timeout:%d][ErrorCode:%d]";
    if (!setTimeout(internet.get(), INTERNET_OPTION_RECEIVE_TIMEOUT, kReceiveTimeoutMs)) {
        LOG_WRITE(receiveFailure, agent_name.GetString(), static_cast<int>(kReceiveTimeoutMs),
                  static_cast<int>(GetLastError()));
    } else if (!setTimeout(internet.get(), INTERNET_OPTION_CONNECT_TIMEOUT, kConnectTimeoutMs)) {
        LOG_WRITE(L"[ERR_NETWORK_HTTP][InternetSetOption INTERNET_OPTION_CONNECT_TIMEOUT][agent_name:%s][timeout:%d][ErrorCode:%d]",
                  agent_name.GetString(), static_cast<int>(kConnectTimeoutMs), static_cast<int>(GetLastError()));
    } else if (!setTimeout(internet.get(), INTERNET_OPTION_CONNECT_RETRIES, kConnectRetries)) {
        LOG_WRITE(L"[ERR_NETWORK_HTTP][InternetSetOption INTERNET_OPTION_CONNECT_RETRIES][agent_name:%s][retries:%d][ErrorCode:%d]",
                  agent_name.GetString(), static_cast<int>(kConnectRetries), static_cast<int>(GetLastError()));
    } else {
        // The send time-outs are a nicety: WinINet builds without them still work.
        setTimeout(internet.get(), INTERNET_OPTION_SEND_TIMEOUT, kSendTimeoutMs);
        setTimeout(internet.get(), INTERNET_OPTION_DATA_SEND_TIMEOUT, kSendTimeoutMs);
        if (setTimeout(internet.get(), INTERNET_OPTION_DATA_RECEIVE_TIMEOUT, kReceiveTimeoutMs)) return true;
        LOG_WRITE(receiveFailure, agent_name.GetString(), static_cast<int>(kReceiveTimeoutMs),
                  static_cast<int>(GetLastError()));
    }
    code = INET_ERROR_SET_OPTION;
    internet.reset();
    return false;
}

void internet_worker::logSendFailure(const char* function, int line, const wchar_t* call, DWORD error) {
    if (isCertificateError(error)) {
        code = INET_ERROR_CERTIFICATE;
        g_logManager.log(function, line, L"[ERR_NETWORK_HTTP][%s][CERTIFICATE][agent_name:%s][ErrorCode:%d]", call,
                         agent_name.GetString(), static_cast<int>(error));
    } else {
        code = INET_ERROR_SEND_REQUEST;
        g_logManager.log(function, line, L"[ERR_NETWORK_HTTP][%s][agent_name:%s][ErrorCode:%d]", call,
                         agent_name.GetString(), static_cast<int>(error));
    }
}

bool internet_worker::_HttpOpenRequest(HINTERNET internet, UniqueInternetHandle& connection,
                                       UniqueInternetHandle& request, const CString& url, ULONGLONG offset,
                                       run_state* run) {
    CString headers(L"Content-Type: application/x-www-form-urlencoded\r\n");
    if (offset != 0) headers.AppendFormat(L"Range: bytes=%I64u-\r\n", offset);
    CString object;
    bool secure = false;
    KESTRUNE_DECLARE_FUNCTION_NAME;
    if (!connectToUrl(kestrune_function_.c_str(), internet, url, connection, object, secure, run)) return false;
    if (!openRequest(kestrune_function_.c_str(), connection.get(), L"GET", object, secure, request)) return false;
    if (run && !run->check()) {
        code = INET_STOPPED;
        return false;
    }

    for (int attempt = 1;; ++attempt) {
        DWORD error = 0;
        int sent = 0;
        if (run && (run->flag() || run->deadline() != 0)) {
            sent = sendWatched(connection, request, headers, *run, error);
        } else {
            sent = HttpSendRequestW(request.get(), headers.GetString(), static_cast<DWORD>(headers.GetLength()),
                                    nullptr, 0)
                       ? 1
                       : 0;
            error = GetLastError();
        }
        if (sent < 0) {
            code = INET_STOPPED;
            return false;
        }
        if (sent) return true;
        // A refused certificate stays refused; another try only repeats it.
        if (attempt == kSendTries || isCertificateError(error)) {
            logSendFailure(kestrune_function_.c_str(), __LINE__, L"HttpSendRequest", error);
            return false;
        }
        waitPumpingMessages(kSendRetryWaitMs);
        if (run && !run->check()) {
            code = INET_STOPPED;
            return false;
        }
    }
}

bool internet_worker::connectToUrl(const char* function, HINTERNET internet, const CString& url,
                                   UniqueInternetHandle& connection, CString& object, bool& secure, run_state* run) {
    DWORD service = 0;
    CString server;
    INTERNET_PORT port = 0;
    if (!AfxParseURL(url.GetString(), service, server, object, port)) {
        code = INET_ERROR_PARSE_URL;
        g_logManager.log(function, __LINE__, L"[ERR_NETWORK_HTTP][AfxParseURL][agent_name:%s][ErrorCode:%d]",
                         agent_name.GetString(), static_cast<int>(GetLastError()));
        return false;
    }
    if (service != AFX_INET_SERVICE_HTTP && service != AFX_INET_SERVICE_HTTPS) {
        code = INET_ERROR_PARSE_URL;
        g_logManager.log(function, __LINE__,
                         L"[ERR_NETWORK_HTTP][AfxParseURL INTERNET_SERVICE_HTTP][agent_name:%s][dwServiceType:%d]",
                         agent_name.GetString(), static_cast<int>(service));
        return false;
    }
    secure = service == AFX_INET_SERVICE_HTTPS;

    connection.reset(_InternetConnect(internet, server, port, kConnectTimeoutMs, kConnectAttempts, run));
    if (!connection) {
        // A cleared run flag also ends here; the caller's next check reports it.
        code = (run && !run->check()) ? INET_STOPPED : INET_ERROR_OPEN;
        g_logManager.log(function, __LINE__, L"[ERR_NETWORK_HTTP][InternetConnect][agent_name:%s][ErrorCode:%d]",
                         agent_name.GetString(), static_cast<int>(GetLastError()));
        return false;
    }
    return true;
}

bool internet_worker::openRequest(const char* function, HINTERNET connection, const wchar_t* verb,
                                  const CString& object, bool secure, UniqueInternetHandle& request) {
    const wchar_t* acceptTypes[] = {L"*/*", nullptr};
    DWORD flags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_EXISTING_CONNECT | INTERNET_FLAG_NO_CACHE_WRITE |
                  INTERNET_FLAG_KEEP_CONNECTION;
    if (secure) flags |= INTERNET_FLAG_SECURE;
    request.reset(HttpOpenRequestW(connection, verb, object.GetString(), L"HTTP/1.1", nullptr, acceptTypes, flags, 0));
    if (!request) {
        code = INET_ERROR_OPEN_REQUEST;
        g_logManager.log(function, __LINE__,
                         L"[ERR_NETWORK_HTTP][HttpOpenRequest][agent_name:%s][dwFlags:%d][ErrorCode:%d]",
                         agent_name.GetString(), static_cast<int>(flags), static_cast<int>(GetLastError()));
        return false;
    }
    if (secure) {
        DWORD error = 0;
        if (!setCertificateChecks(request.get(), error)) {
            code = INET_ERROR_SECURITY_FLAGS;
            g_logManager.log(
                function, __LINE__,
                L"[ERR_NETWORK_HTTP][InternetSetOption INTERNET_OPTION_SECURITY_FLAGS][agent_name:%s][dwFlags:%d][ErrorCode:%d]",
                agent_name.GetString(), static_cast<int>(SECURITY_FLAG_IGNORE_REVOCATION), static_cast<int>(error));
            return false;
        }
    }
    return true;
}

bool internet_worker::_HttpQueryInfo_HTTP_QUERY_STATUS_CODE(HINTERNET request, int& statusCode) {
    wchar_t buffer[16] = {};
    DWORD size = sizeof(buffer);
    if (!HttpQueryInfoW(request, HTTP_QUERY_STATUS_CODE, buffer, &size, nullptr)) {
        code = INET_ERROR_QUERY_STATUS;
        LOG_WRITE(L"[ERR_NETWORK_HTTP][HttpQueryInfo HTTP_QUERY_STATUS_CODE][agent_name:%s][ErrorCode:%d]",
                  agent_name.GetString(), static_cast<int>(GetLastError()));
        return false;
    }
    statusCode = _wtoi(buffer);
    return true;
}

bool internet_worker::_HttpQueryInfo_HTTP_QUERY_CONTENT_LENGTH(HINTERNET request, ULONGLONG& length, bool* present) {
    wchar_t buffer[16] = {};
    DWORD size = sizeof(buffer);
    length = 0;
    if (present) *present = false;
    if (!HttpQueryInfoW(request, HTTP_QUERY_CONTENT_LENGTH, buffer, &size, nullptr)) {
        DWORD error = GetLastError();
        if (error == ERROR_HTTP_HEADER_NOT_FOUND) return true;
        code = INET_ERROR_QUERY_LENGTH;
        LOG_WRITE(L"[ERR_NETWORK_HTTP][HttpQueryInfo HTTP_QUERY_CONTENT_LENGTH][agent_name:%s][ErrorCode:%d]",
                  agent_name.GetString(), static_cast<int>(error));
        return false;
    }
    if (present) *present = true;
    long long value = _wtoi64(buffer);
    length = value < 0 ? 0 : static_cast<ULONGLONG>(value);
    return true;
}
