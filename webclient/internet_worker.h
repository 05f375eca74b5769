#pragma once
// Base of the HTTP workers: agent name, result code, and the WinINet steps
// every transfer is built from. A worker serves one transfer on its caller's
// thread; its waits keep that thread's window messages flowing.
#include "afx/string.h"
#include "webclient/inet_codes.h"
#include "webclient/inet_handle.h"

#include <atomic>
#include <functional>

class RequestParamVCRM_Data;

// Receives downloaded bytes: (data, count) and returns 0 to stop. Called
// with count 0 before the first read of a reply and with (nullptr, 0)
// whenever a read brings nothing. The bytes are valid only during the call.
// Before it returns 0 a sink may set the worker's code above 1000.
using ReceiveCallback = std::function<int(const BYTE* data, UINT32 count)>;

// Cleared by another thread to stop a transfer.
using RunFlag = std::atomic<bool>;

// The worker's view of a run flag and of an optional deadline (a
// GetTickCount64 value, 0 for none): once seen cleared or passed it stays
// so, even if the flag is set again.
class run_state {
public:
    explicit run_state(const RunFlag* flag, ULONGLONG deadline = 0) : m_flag(flag), m_deadline(deadline) {}
    bool check() {
        if (m_running && m_flag && !m_flag->load()) m_running = false;
        if (m_running && m_deadline != 0 && GetTickCount64() >= m_deadline) {
            m_running = false;
            m_expired = true;
        }
        return m_running;
    }
    bool expired() const { return m_expired; }
    // For a watcher on another thread: the flag and the deadline as given.
    const RunFlag* flag() const { return m_flag; }
    ULONGLONG deadline() const { return m_deadline; }

private:
    const RunFlag* m_flag;
    ULONGLONG m_deadline;
    bool m_running = true;
    bool m_expired = false;
};

class internet_worker {
public:
    internet_worker();

    // Asks the connectivity probe; no connection sets code 1000.
    bool internet_connected_state_check();
    // Process-wide WinINet limits of connections per server.
    static bool set_max_connections(DWORD count);

    // The root handle with this worker's agent name and time-outs.
    bool _InternetOpen(UniqueInternetHandle& internet);
    // Connects and sends a GET of url from offset ("Range: bytes=offset-").
    bool _HttpOpenRequest(HINTERNET internet, UniqueInternetHandle& connection, UniqueInternetHandle& request,
                          const CString& url, ULONGLONG offset, run_state* run);
    // Connects and sends the multipart POST of one file, with the
    // parameters' query after "?".
    bool _HttpOpenRequestMultipart(HINTERNET internet, UniqueInternetHandle& connection,
                                   UniqueInternetHandle& request, const CString& url,
                                   RequestParamVCRM_Data params, const CString& localPath);
    bool _HttpQueryInfo_HTTP_QUERY_STATUS_CODE(HINTERNET request, int& statusCode);
    // A missing header is length 0 and success; present tells which.
    bool _HttpQueryInfo_HTTP_QUERY_CONTENT_LENGTH(HINTERNET request, ULONGLONG& length, bool* present = nullptr);

    int status = 0;      // HTTP status of the last reply
    int code = 0;        // result of the current or last transfer (INET_RESULT)
    CString agent_name;  // "VELM_" and 8 random letters or digits

protected:
    // Logs a failed send under the caller's name and sets the code: its own
    // code for a refused certificate.
    void logSendFailure(const char* function, int line, const wchar_t* call, DWORD error);
    // Parses an http(s) address and connects to its host; object and secure
    // describe the request to open there. Failures set the code and are
    // logged under the caller's name.
    bool connectToUrl(const char* function, HINTERNET internet, const CString& url, UniqueInternetHandle& connection,
                      CString& object, bool& secure, run_state* run);
    // Opens a request of verb for object, with the certificate checks of
    // https; failures set the code and are logged under the caller's name.
    bool openRequest(const char* function, HINTERNET connection, const wchar_t* verb, const CString& object,
                     bool secure, UniqueInternetHandle& request);
};

// Opens a connection handle on a short-lived thread, so that the caller can
// give up after its own time-out: attempts tries of timeoutMs each, checking
// run before every tenth of the time-out. Null when every attempt failed or
// the run state was cleared.
HINTERNET _InternetConnect(HINTERNET internet, const CString& host, INTERNET_PORT port, DWORD timeoutMs,
                           int attempts, run_state* run);
