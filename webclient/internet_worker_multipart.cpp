// The multipart/form-data POST of one file: a part head naming the file, the
// file's bytes, and the closing boundary, written in 1 MiB pieces after the
// declared length has been sent.
#include "afx/file.h"
#include "foundation/logmanager.h"
#include "foundation/message_pump.h"
#include "foundation/utilmanager.h"
#include "webclient/internet_worker.h"
#include "webclient/request_param.h"
#include "webclient/tls_options.h"
#include "webclient/url_encode.h"

#include <climits>
#include <memory>

namespace {

constexpr DWORD kChunkBytes = 1048576;
constexpr int kSendTries = 3;
constexpr DWORD kSendRetryWaitMs = 100;

bool writeAll(HINTERNET request, const void* data, DWORD count) {
    DWORD written = 0;
    return InternetWriteFile(request, data, count, &written) != FALSE;
}

CString lastComponent(const CString& path) {
    int slash = std::max(path.ReverseFind(L'\\'), path.ReverseFind(L'/'));
    return path.Mid(slash + 1);
}

}  // namespace

bool internet_worker::_HttpOpenRequestMultipart(HINTERNET internet, UniqueInternetHandle& connection,
                                                UniqueInternetHandle& request, const CString& url,
                                                RequestParamVCRM_Data params, const CString& localPath) {
    const CString requestUrl = url + L"?" + params.makeQueryString();
    LOG_WRITE(L"[agent_name:%s][method:%s][file_path_remote:%s]", agent_name.GetString(), L"POST",
              requestUrl.GetString());

    // Percent-encoded so that the part head stays pure ASCII.
    const CString fileName =
        urlEncode(WideToMultiByte(lastComponent(localPath).GetString(), CP_UTF8).GetString(), true);
    const CString& boundary = agent_name;
    CString header;
    header.Format(L"Content-Type: multipart/form-data; boundary=%s", boundary.GetString());
    const CStringA head = WideToMultiByte(
        (L"--" + boundary + L"\r\nContent-Disposition: form-data; name=\"file\"; filename=\"" + fileName +
         L"\"\r\nContent-Type: application/octet-stream\r\n\r\n")
            .GetString(),
        CP_UTF8);
    const CStringA tail = WideToMultiByte((L"\r\n--" + boundary + L"--\r\n").GetString(), CP_UTF8);

    const ULONGLONG fileSize = CUtilManager::getFileSize(localPath);
    if (fileSize == ULLONG_MAX || localPath.IsEmpty()) {
        code = INET_ERROR_UPLOAD_FILE_MISSING;
        LOG_WRITE(L"[UPLOAD_FILE_READ_NOT_EXISTS][agent_name:%s][ErrorCode:%d]", agent_name.GetString(),
                  static_cast<int>(GetLastError()));
        return false;
    }
    const ULONGLONG bodyLength = static_cast<ULONGLONG>(head.GetLength()) + tail.GetLength() + fileSize;
    // The declared length is a 32-bit field; a larger body would be announced
    // with a wrong length.
    if (bodyLength > 0xFFFFFFFFULL) {
        code = INET_ERROR_UPLOAD_FILE_OPEN;
        LOG_WRITE(L"[UPLOAD_FILE_TOO_LARGE][agent_name:%s][file_path_local:%s][size:%I64u]", agent_name.GetString(),
                  localPath.GetString(), fileSize);
        return false;
    }
    INTERNET_BUFFERSW buffers{};
    buffers.dwStructSize = sizeof(buffers);
    buffers.lpcszHeader = header.GetString();
    buffers.dwHeadersLength = static_cast<DWORD>(header.GetLength());
    buffers.dwHeadersTotal = static_cast<DWORD>(header.GetLength());
    buffers.dwBufferTotal = static_cast<DWORD>(bodyLength);

    CString object;
    bool secure = false;
    KESTRUNE_DECLARE_FUNCTION_NAME;
    if (!connectToUrl(kestrune_function_.c_str(), internet, requestUrl, connection, object, secure, nullptr)) {
        return false;
    }
    if (!openRequest(kestrune_function_.c_str(), connection.get(), L"POST", object, secure, request)) return false;
    if (!HttpAddRequestHeadersW(request.get(), header.GetString(), static_cast<DWORD>(-1L), HTTP_ADDREQ_FLAG_ADD)) {
        code = INET_ERROR_ADD_HEADERS;
        LOG_WRITE(L"[ERR_NETWORK_HTTP][HttpAddRequestHeaders][file_path_remote:%s][csAddHeader:%s][ErrorCode:%d]",
                  url.GetString(), header.GetString(), static_cast<int>(GetLastError()));
        return false;
    }
    for (int attempt = 1;; ++attempt) {
        if (HttpSendRequestExW(request.get(), &buffers, nullptr, 0, 0)) break;
        DWORD error = GetLastError();
        if (attempt == kSendTries || isCertificateError(error)) {
            logSendFailure(kestrune_function_.c_str(), __LINE__, L"HttpSendRequestEx", error);
            return false;
        }
        waitPumpingMessages(kSendRetryWaitMs);
    }

    if (!writeAll(request.get(), head.GetString(), static_cast<DWORD>(head.GetLength()))) {
        code = INET_ERROR_WRITE;
        LOG_WRITE(L"[ERR_NETWORK_HTTP][InternetWriteFile][FilePartHead][agent_name:%s][ErrCode:%d]",
                  agent_name.GetString(), static_cast<int>(GetLastError()));
        return false;
    }

    CFile file;
    if (!file.Open(localPath.GetString(), CFile::modeRead | CFile::shareDenyWrite)) {
        code = INET_ERROR_UPLOAD_FILE_OPEN;
        LOG_WRITE(L"[UPLOAD_FILE_READ_NOT_EXISTS][CFile Open][agent_name:%s][file_path_local:%s][ErrCode:%d]",
                  agent_name.GetString(), localPath.GetString(), static_cast<int>(GetLastError()));
        return false;
    }
    std::unique_ptr<BYTE[]> chunk(new BYTE[kChunkBytes]);
    ULONGLONG sent = 0;
    try {
        // Exactly the announced size: a file that changed meanwhile must not
        // make the body disagree with its declared length.
        while (sent < fileSize) {
            UINT want = static_cast<UINT>(std::min<ULONGLONG>(kChunkBytes, fileSize - sent));
            UINT got = file.Read(chunk.get(), want);
            if (got == 0) break;
            if (!writeAll(request.get(), chunk.get(), got)) {
                code = INET_ERROR_WRITE;
                LOG_WRITE(L"[ERR_NETWORK_HTTP][InternetWriteFile][UploadFileData][agent_name:%s][ErrCode:%d]",
                          agent_name.GetString(), static_cast<int>(GetLastError()));
                return false;
            }
            sent += got;
        }
    } catch (CException* e) {
        e->Delete();
    }
    LOG_WRITE(L"[FileToRead ::CloseFileHandle()][upload_filepath:%s]", localPath.GetString());
    file.Abort();
    if (sent != fileSize) {
        code = INET_ERROR_WRITE;
        LOG_WRITE(L"[ERR_NETWORK_HTTP][InternetWriteFile][UploadFileData][agent_name:%s][file shorter than announced:%I64u of %I64u]",
                  agent_name.GetString(), sent, fileSize);
        return false;
    }

    if (!writeAll(request.get(), tail.GetString(), static_cast<DWORD>(tail.GetLength()))) {
        code = INET_ERROR_WRITE;
        LOG_WRITE(L"[ERR_NETWORK_HTTP][InternetWriteFile][FilePartTail][agent_name:%s][ErrCode:%d]",
                  agent_name.GetString(), static_cast<int>(GetLastError()));
        return false;
    }
    // The reply's head is read here: a server that closed without answering
    // fails the request now, not later as an unreadable status.
    if (!HttpEndRequestW(request.get(), nullptr, 0, 0)) {
        KESTRUNE_DECLARE_FUNCTION_NAME;
        logSendFailure(kestrune_function_.c_str(), __LINE__, L"HttpEndRequest", GetLastError());
        return false;
    }
    return true;
}
