#include "webclient/upload_worker.h"
#include "foundation/logmanager.h"

#include <vector>

namespace {

constexpr DWORD kReceiveBufferBytes = 262144;
constexpr int kMaxRepeats = 2;

}  // namespace

bool upload_worker::vcrm_file_upload(const CString& url, RequestParamVCRM_Data params, const CString& localPath,
                                     ReceiveCallback sink) {
    LOG_WRITE(L"[BEGIN][agent_name:%s]", agent_name.GetString());
    UniqueInternetHandle internet, connection, request;
    auto finish = [&](bool ok) {
        DeleteUrlCacheEntryW(url.GetString());
        request.reset();
        connection.reset();
        internet.reset();
        LOG_WRITE(L"[END][agent_name:%s]", agent_name.GetString());
        return ok;
    };

    DeleteUrlCacheEntryW(url.GetString());
    if (!internet_connected_state_check()) return finish(false);

    std::vector<BYTE> buffer(kReceiveBufferBytes);
    for (int repeat = 0;; ++repeat) {
        if (!_InternetOpen(internet)) return finish(false);
        if (!_HttpOpenRequestMultipart(internet.get(), connection, request, url, params, localPath)) {
            return finish(false);
        }
        status = 0;
        if (!_HttpQueryInfo_HTTP_QUERY_STATUS_CODE(request.get(), status)) return finish(false);
        if (status < 200 || status > 299) {
            code = INET_ERROR_HTTP_STATUS;
            LOG_WRITE(L"[ERR_UPDATE_3040][HttpQueryInfo HTTP_QUERY_STATUS_CODE][agent_name:%s][ErrorCode:%d][StatusCode:%d]",
                      agent_name.GetString(), static_cast<int>(GetLastError()), status);
            return finish(false);
        }
        if (!_HttpQueryInfo_HTTP_QUERY_CONTENT_LENGTH(request.get(), reply_length)) return finish(false);
        reply_remaining = reply_length;

        while (reply_remaining != 0) {
            DWORD available = 0;
            if (!InternetQueryDataAvailable(request.get(), &available, 0, 0)) {
                DWORD error = GetLastError();
                if (error != ERROR_NO_MORE_FILES) {
                    code = INET_ERROR_QUERY_DATA;
                    LOG_WRITE(L"[DEBUG][InternetQueryDataAvailable][agent_name:%s][ErrCode:%d]", agent_name.GetString(),
                              static_cast<int>(error));
                    return finish(false);
                }
            }
            DWORD got = 0;
            if (!InternetReadFile(request.get(), buffer.data(), kReceiveBufferBytes, &got)) {
                code = INET_ERROR_READ;
                LOG_WRITE(L"[DEBUG][After InternetReadFile Fail][agent_name:%s][ErrCode:%d]", agent_name.GetString(),
                          static_cast<int>(GetLastError()));
                return finish(false);
            }
            // WinINet reports the end of a reply as a successful empty read:
            // waiting for more would wait for nothing.
            if (got == 0) break;
            DWORD count = static_cast<DWORD>(std::min<ULONGLONG>(got, reply_remaining));
            reply_remaining -= count;
            if (sink(buffer.data(), count) == 0) {
                code = INET_STOPPED;
                LOG_WRITE(L"[stop by callback][agent_name:%s]", agent_name.GetString());
                return finish(false);
            }
        }
        if (reply_remaining == 0) return finish(true);

        // The server declared a reply it did not send: send it all again, a
        // bounded number of times.
        request.reset();
        connection.reset();
        internet.reset();
        DeleteUrlCacheEntryW(url.GetString());
        if (repeat == kMaxRepeats) {
            code = INET_ERROR_READ;
            LOG_WRITE(L"[DEBUG][RECEIVE DATA TIMEOUT][agent_name:%s][ErrCode:%d]", agent_name.GetString(),
                      static_cast<int>(GetLastError()));
            return finish(false);
        }
        if (!internet_connected_state_check()) return finish(false);
    }
}
