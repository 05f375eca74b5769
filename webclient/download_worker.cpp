#include "webclient/download_worker.h"
#include "foundation/logmanager.h"
#include "foundation/message_pump.h"
#include "webclient/download_plan.h"

#include <algorithm>
#include <vector>

namespace {

constexpr DWORD kReceiveBufferBytes = 262144;
constexpr size_t kBatchBytes = 1048576;
constexpr int kBatchReads = 64;
constexpr int kCycleBudget = 20;
constexpr int kIdleReads = 10;
constexpr DWORD kCycleWaitMs = 30;
constexpr DWORD kIdleWaitMs = 25;

// How much one read may ask for. WinINet blocks a read until its whole count
// has arrived, so on a slow line a large read would leave the run flag
// unread for minutes, while on a fast one small reads waste time in calls.
// A read therefore asks for what has arrived, or for what about 100 ms of
// the rate seen lately bring, whichever is more.
class read_pacer {
public:
    // Whether reads already ask for the whole buffer, so that asking what
    // has arrived first would only cost a call.
    bool full() const { return m_bytesPerSecond / 10 >= kReceiveBufferBytes; }
    DWORD next(DWORD available) const {
        DWORD want = available ? std::min(available, kReceiveBufferBytes) : kReceiveBufferBytes;
        ULONGLONG budget = m_bytesPerSecond / 10;
        if (budget > want) want = static_cast<DWORD>(std::min<ULONGLONG>(budget, kReceiveBufferBytes));
        return want;
    }
    void received(DWORD count) {
        const ULONGLONG now = GetTickCount64();
        if (m_windowStart == 0) m_windowStart = now;
        m_windowBytes += count;
        const ULONGLONG elapsed = now - m_windowStart;
        if (elapsed >= kWindowMs) {
            m_bytesPerSecond = m_windowBytes * 1000 / elapsed;
            m_windowStart = now;
            m_windowBytes = 0;
        }
    }

private:
    static constexpr ULONGLONG kWindowMs = 50;
    ULONGLONG m_bytesPerSecond = 0;
    ULONGLONG m_windowStart = 0;
    ULONGLONG m_windowBytes = 0;
};

// Wine passes the socket's own errors through besides WinINet's.
bool isTransientReadError(DWORD error) {
    return error == ERROR_INTERNET_CONNECTION_ABORTED || error == ERROR_INTERNET_CONNECTION_RESET ||
           error == ERROR_INTERNET_TIMEOUT || error == WSAECONNABORTED || error == WSAECONNRESET;
}

CString queryContentRange(HINTERNET request) {
    wchar_t buffer[128] = {};
    DWORD size = sizeof(buffer);
    if (!HttpQueryInfoW(request, HTTP_QUERY_CONTENT_RANGE, buffer, &size, nullptr)) return CString();
    return CString(buffer);
}

}  // namespace

download_worker::download_worker(const CString& address) : url(address) {
    url.Replace(L"\\\\", L"\\");
    url.Replace(L'\\', L'/');
}

download_worker::~download_worker() {
    DeleteUrlCacheEntryW(url.GetString());
}

bool download_worker::remote_file_download_tls(ULONGLONG offset, const RunFlag* runFlag, ReceiveCallback sink) {
    run_state run(runFlag, deadline);
    std::vector<BYTE> buffer(kReceiveBufferBytes);
    std::vector<BYTE> pending;
    int pendingReads = 0;
    UniqueInternetHandle internet, connection, request;
    // Cycles lost in a row without a byte delivered: a long download over a
    // line that drops now and then must not fail for drops that each moved
    // data.
    int budget = kCycleBudget;
    ULONGLONG cycleStart = offset;

    auto closeAll = [&]() {
        request.reset();
        connection.reset();
        internet.reset();
    };
    auto finish = [&](bool ok) {
        if (!ok && code == INET_STOPPED && run.expired()) code = INET_ERROR_READ;
        std::vector<BYTE>().swap(pending);
        DeleteUrlCacheEntryW(url.GetString());
        closeAll();
        if (ok) code = 0;
        return ok;
    };
    // A lost cycle: false when the budget is spent and the download ends.
    auto loseCycle = [&](int failCode, bool wait) {
        code = failCode;
        closeAll();
        if (offset != cycleStart) budget = kCycleBudget;
        cycleStart = offset;
        if (--budget <= 0) return false;
        if (wait) waitPumpingMessages(kCycleWaitMs);
        return true;
    };

    for (;;) {
        if (!run.check()) {
            code = INET_STOPPED;
            return finish(false);
        }
        code = 0;
        closeAll();
        DeleteUrlCacheEntryW(url.GetString());

        if (!internet_connected_state_check()) {
            if (!loseCycle(INET_ERROR_OPEN, true)) return finish(false);
            continue;
        }
        if (!_InternetOpen(internet)) {
            if (!loseCycle(INET_ERROR_OPEN, true)) return finish(false);
            continue;
        }
        if (!_HttpOpenRequest(internet.get(), connection, request, url, offset, &run)) {
            if (code == INET_ERROR_CERTIFICATE) return finish(false);
            if (!loseCycle(code, true)) return finish(false);
            continue;
        }
        status = 0;
        if (!_HttpQueryInfo_HTTP_QUERY_STATUS_CODE(request.get(), status)) {
            if (!loseCycle(INET_ERROR_QUERY_STATUS, true)) return finish(false);
            continue;
        }
        if (status == 0) {
            // WinINet reports a connection that closed before any reply as
            // status 0: the request never got an answer, so it is sent again.
            LOG_WRITE(L"[ERR_NETWORK_HTTP][no reply][agent_name:%s]", agent_name.GetString());
            if (!loseCycle(INET_ERROR_SEND_REQUEST, true)) return finish(false);
            continue;
        }
        ULONGLONG length = 0;
        bool hasLength = false;
        if (!_HttpQueryInfo_HTTP_QUERY_CONTENT_LENGTH(request.get(), length, &hasLength)) return finish(false);

        const download_plan plan =
            planDownloadReply(status, offset, hasLength, length, queryContentRange(request.get()));
        total = plan.total;
        remaining = plan.deliver;
        pending.clear();
        pendingReads = 0;
        if (plan.kind == download_plan::DONE) return finish(true);
        if (plan.kind == download_plan::FAIL) {
            code = INET_ERROR_HTTP_STATUS;
            LOG_WRITE(L"[ERR_UPDATE_3040][HttpQueryInfo HTTP_QUERY_STATUS_CODE][agent_name:%s][ErrorCode:%d][StatusCode:%d]",
                      agent_name.GetString(), static_cast<int>(GetLastError()), status);
            return finish(false);
        }
        ULONGLONG skip = plan.skip;

        if (sink(buffer.data(), 0) == 0) {
            if (code <= 1000) {
                LOG_WRITE(L"[stop by callback][agent_name:%s]", agent_name.GetString());
                code = INET_STOPPED;
            }
            return finish(false);
        }

        // Hands the batch to the sink; false when the sink said stop.
        auto deliver = [&]() {
            size_t count = pending.size();
            if (!plan.untilEnd) count = static_cast<size_t>(std::min<ULONGLONG>(count, remaining));
            if (plan.untilEnd) total = offset + count;
            if (sink(pending.data(), static_cast<UINT32>(count)) == 0) {
                LOG_WRITE(L"[stop by callback][agent_name:%s]", agent_name.GetString());
                if (code <= 1000) code = INET_STOPPED;
                return false;
            }
            if (!plan.untilEnd) remaining -= count;
            offset += count;
            pending.clear();
            pendingReads = 0;
            return true;
        };

        bool nextCycle = false;
        int idle = kIdleReads;
        read_pacer pacer;
        while (plan.untilEnd || remaining != 0) {
            if (!run.check()) {
                code = INET_STOPPED;
                return finish(false);
            }
            DWORD available = 0;
            if (!pacer.full() && !InternetQueryDataAvailable(request.get(), &available, 0, 0)) {
                DWORD error = GetLastError();
                if (error != ERROR_NO_MORE_FILES) {
                    LOG_WRITE(L"[DEBUG][InternetQueryDataAvailable][agent_name:%s][ErrCode:%d]",
                              agent_name.GetString(), static_cast<int>(error));
                    if (!pending.empty() && !deliver()) return finish(false);
                    if (!loseCycle(INET_ERROR_QUERY_DATA, true)) return finish(false);
                    nextCycle = true;
                    break;
                }
            }
            const DWORD want = pacer.next(available);
            DWORD got = 0;
            if (!InternetReadFile(request.get(), buffer.data(), want, &got)) {
                DWORD error = GetLastError();
                LOG_WRITE(L"[DEBUG][After InternetReadFile Fail][agent_name:%s][ErrCode:%d]", agent_name.GetString(),
                          static_cast<int>(error));
                // A dropped or stalled connection costs a cycle, not the
                // download: the next cycle asks for the rest from the bytes
                // delivered.
                if (isTransientReadError(error)) {
                    // What arrived before the drop is good: handed on, it is
                    // not asked for again and counts as progress.
                    if (!pending.empty() && !deliver()) return finish(false);
                    if (!loseCycle(INET_ERROR_READ, true)) return finish(false);
                    nextCycle = true;
                    break;
                }
                code = INET_ERROR_READ;
                return finish(false);
            }
            if (got > 0) {
                pacer.received(got);
                idle = kIdleReads;
                DWORD from = 0;
                if (skip > 0) {
                    from = static_cast<DWORD>(std::min<ULONGLONG>(skip, got));
                    skip -= from;
                }
                if (from == got) continue;
                pending.insert(pending.end(), buffer.begin() + from, buffer.begin() + got);
                ++pendingReads;
                if ((!plan.untilEnd && pending.size() >= remaining) || pendingReads >= kBatchReads ||
                    pending.size() >= kBatchBytes) {
                    if (!deliver()) return finish(false);
                }
                continue;
            }
            if (plan.untilEnd) {
                // Without a length the end of the stream ends the body.
                if (!pending.empty() && !deliver()) return finish(false);
                if (skip > 0) {
                    code = INET_ERROR_HTTP_STATUS;
                    LOG_WRITE(L"[ERR_UPDATE_3040][shorter than the local file][agent_name:%s][StatusCode:%d]",
                              agent_name.GetString(), status);
                    return finish(false);
                }
                total = offset;
                return finish(true);
            }
            if (sink(nullptr, 0) == 0) {
                LOG_WRITE(L"[stop by callback][agent_name:%s]", agent_name.GetString());
                code = INET_STOPPED;
                return finish(false);
            }
            if (--idle > 0) {
                waitPumpingMessages(kIdleWaitMs);
                continue;
            }
            if (!pending.empty() && !deliver()) return finish(false);
            if (!loseCycle(INET_ERROR_READ, false)) {
                LOG_WRITE(L"[DEBUG][RECEIVE DATA TIMEOUT][agent_name:%s][ErrCode:%d]", agent_name.GetString(),
                          static_cast<int>(GetLastError()));
                return finish(false);
            }
            nextCycle = true;
            break;
        }
        if (nextCycle) continue;
        return finish(true);
    }
}
