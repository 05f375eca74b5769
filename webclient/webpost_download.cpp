// The self-update's file transfers: the size query and the download with
// progress messages, and the folder creation they need.
#include "afx/filefind.h"
#include "foundation/logmanager.h"
#include "foundation/message_pump.h"
#include "foundation/private_messages.h"
#include "webclient/connectivity.h"
#include "webclient/download_plan.h"
#include "webclient/tls_options.h"
#include "webclient/webpost.h"
#include "webclient/webpost_reply.h"

namespace {

constexpr DWORD kReadBytes = 40960;
constexpr DWORD kTimeoutMs = 10000;
constexpr DWORD kReconnectWaitMs = 100;
// Reconnects in a row without a single byte arriving: a server that resets
// every connection at once would otherwise be asked for ever.
constexpr int kMaxFruitlessReconnects = 20;

bool queryNumber(HINTERNET request, DWORD query, long long& value) {
    wchar_t text[32] = {};
    DWORD size = sizeof(text);
    if (!HttpQueryInfoW(request, query, text, &size, nullptr)) return false;
    value = _wtoi64(text);
    return true;
}

bool queryLength(HINTERNET request, ULONGLONG& length) {
    long long value = 0;
    if (!queryNumber(request, HTTP_QUERY_CONTENT_LENGTH, value)) return false;
    length = value < 0 ? 0 : static_cast<ULONGLONG>(value);
    return true;
}

bool queryStatus(HINTERNET request, int& status) {
    long long value = 0;
    if (!queryNumber(request, HTTP_QUERY_STATUS_CODE, value)) return false;
    status = static_cast<int>(value);
    return true;
}

HINTERNET openUrl(HINTERNET internet, const CString& url, ULONGLONG from) {
    CString headers;
    if (from > 0) headers.Format(L"Range: bytes=%I64u-\r\n", from);
    HINTERNET handle = InternetOpenUrlW(internet, url.GetString(), headers.IsEmpty() ? nullptr : headers.GetString(),
                                        static_cast<DWORD>(headers.GetLength()), INTERNET_FLAG_RELOAD, 0);
    if (!handle && isCertificateError(GetLastError())) {
        LOG_WRITE(L"[InternetOpenUrl][CERTIFICATE][URL:%s][ErrCode:%d]", url.GetString(),
                  static_cast<int>(GetLastError()));
    }
    return handle;
}

// A 206 must continue the file where it stands: a part from elsewhere would
// be written at the wrong place.
bool partStartsAt(HINTERNET request, ULONGLONG offset) {
    wchar_t text[128] = {};
    DWORD size = sizeof(text);
    if (!HttpQueryInfoW(request, HTTP_QUERY_CONTENT_RANGE, text, &size, nullptr)) return true;
    long long first = -1, whole = -1;
    if (!parseContentRange(text, first, whole)) return false;
    return first < 0 || static_cast<ULONGLONG>(first) == offset;
}

// A connection that broke off: WinINet reports it as aborted or reset, and
// Wine passes the socket's own error through as well.
bool isDroppedConnection(DWORD error) {
    return error == ERROR_INTERNET_CONNECTION_ABORTED || error == ERROR_INTERNET_CONNECTION_RESET ||
           error == WSAECONNABORTED || error == WSAECONNRESET;
}

void storeSlot(InternetHandleSlot& slot, HINTERNET handle) {
    HINTERNET old = slot.exchange(handle);
    if (old) InternetCloseHandle(old);
}

}  // namespace

BOOL CWebPOST::HttpDownload_(const CString& url, const CString& localPath, ULONGLONG& jobDone,
                             ULONGLONG& fileCounter, BOOL append, std::atomic<int>* state,
                             InternetHandleSlot& internetSlot, InternetHandleSlot& urlSlot) {
    if (!isInternetConnected()) return FALSE;

    CString path(localPath);
    path.Replace(L'\\', L'/');
    const CString folder = path.Left(path.ReverseFind(L'/'));
    MyCreateDirectoryA(folder);
    if (GetFileAttributesW(folder.GetString()) == INVALID_FILE_ATTRIBUTES) MyCreateDirectoryA(folder);

    m_file.Abort();
    auto fail = [&]() {
        m_file.Abort();
        closeInternetHandleSlot(urlSlot);
        closeInternetHandleSlot(internetSlot);
        m_pReadBuffer.reset();
        return FALSE;
    };

    ULONGLONG start = 0;
    if (append) {
        if (!m_file.Open(path.GetString(), CFile::modeWrite | CFile::shareDenyWrite) &&
            !m_file.Open(path.GetString(), CFile::modeCreate | CFile::modeWrite | CFile::shareDenyWrite)) {
            return FALSE;
        }
        try {
            start = m_file.SeekToEnd();
        } catch (CException* e) {
            e->Delete();
            return fail();
        }
    }

    storeSlot(internetSlot, InternetOpenW(L"VELM", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
    HINTERNET internet = internetSlot.load();
    if (!internet) return fail();
    for (DWORD option : {INTERNET_OPTION_CONNECT_TIMEOUT, INTERNET_OPTION_RECEIVE_TIMEOUT, INTERNET_OPTION_SEND_TIMEOUT,
                         INTERNET_OPTION_DATA_SEND_TIMEOUT, INTERNET_OPTION_DATA_RECEIVE_TIMEOUT}) {
        DWORD timeout = kTimeoutMs;
        InternetSetOptionW(internet, option, &timeout, sizeof(timeout));
    }

    // An existing file is continued with a ranged request.
    storeSlot(urlSlot, openUrl(internet, url, start));
    if (!urlSlot.load()) return fail();
    ULONGLONG contentLength = 0;
    int status = 0;
    if (!queryLength(urlSlot.load(), contentLength)) return fail();
    if (!queryStatus(urlSlot.load(), status) || status < 200 || status > 299) return fail();
    if (status == 206 && !partStartsAt(urlSlot.load(), start)) {
        LOG_WRITE(L"[ERR_2_LIVEUPDATE][part does not start at %I64u][URL:%s]", start, url.GetString());
        return fail();
    }
    try {
        if (!append) {
            if (!m_file.Open(path.GetString(), CFile::modeCreate | CFile::modeWrite)) return fail();
        } else if (start > 0 && status != 206) {
            // The server sent the whole file: it replaces what was there.
            m_file.SetLength(0);
            m_file.SeekToBegin();
            start = 0;
        }
    } catch (CException* e) {
        e->Delete();
        return fail();
    }

    ULONGLONG expected = start + contentLength;  // the complete file's size
    ULONGLONG written = start;                   // bytes in the file
    ULONGLONG received = 0;                      // bytes of this download, for the progress
    int fruitlessReconnects = 0;
    bool reconnecting = false;
    auto setState = [&](int value) {
        if (state) *state = value;
    };
    m_pReadBuffer.reset(new BYTE[kReadBytes]);

    for (;;) {
        if (!isInternetConnected()) {
            LOG_WRITE(L"[ERR_2_LIVEUPDATE][Internet Connection Fail]");
            return fail();
        }
        if (m_bCancel) {
            LOG_WRITE(L"[Download Cancel]");
            return fail();
        }
        if (reconnecting) {
            if (++fruitlessReconnects > kMaxFruitlessReconnects) {
                LOG_WRITE(L"[ERR_2_LIVEUPDATE][Reconnect Fail][%I64u of %I64u][URL:%s]", written, expected,
                          url.GetString());
                return fail();
            }
            // Only the bytes not yet written are asked for again.
            storeSlot(urlSlot, openUrl(internetSlot.load(), url, written));
            if (!urlSlot.load() || !queryLength(urlSlot.load(), contentLength) ||
                !queryStatus(urlSlot.load(), status)) {
                waitPumpingMessages(kReconnectWaitMs);
                continue;
            }
            if (status < 200 || status > 299) {
                LOG_WRITE(L"[ERR_2_LIVEUPDATE][HTTP Status:%d][URL:%s]", status, url.GetString());
                return fail();
            }
            // The file's size is the first reply's: a later reply that
            // describes another file, or a part from elsewhere, ends the
            // download rather than leave a short or shifted file behind.
            const bool whole = status != 206;
            if ((whole ? contentLength : written + contentLength) != expected ||
                (!whole && !partStartsAt(urlSlot.load(), written))) {
                LOG_WRITE(L"[ERR_2_LIVEUPDATE][reply does not continue the file][%I64u of %I64u][URL:%s]", written,
                          expected, url.GetString());
                return fail();
            }
            if (whole && written > 0) {
                try {
                    m_file.SetLength(0);
                    m_file.SeekToBegin();
                } catch (CException* e) {
                    e->Delete();
                    return fail();
                }
                written = 0;
                received = 0;
            }
            reconnecting = false;
        }

        auto reconnect = [&]() {
            reconnecting = true;
            setState(8);
            closeInternetHandleSlot(urlSlot);
            waitPumpingMessages(kReconnectWaitMs);
        };
        // Reading no more than has arrived returns as soon as data comes in,
        // so the cancel flag is looked at again at the pace of the data
        // rather than once per full buffer.
        const HINTERNET source = urlSlot.load();
        DWORD available = 0, want = kReadBytes;
        if (InternetQueryDataAvailable(source, &available, 0, 0) && available > 0) {
            want = std::min(available, kReadBytes);
        }
        DWORD got = 0;
        if (!InternetReadFile(source, m_pReadBuffer.get(), want, &got)) {
            if (isDroppedConnection(GetLastError())) {
                reconnect();
                continue;
            }
            return fail();
        }
        if (got > 0) {
            setState(2);
            fruitlessReconnects = 0;
            try {
                m_file.Write(m_pReadBuffer.get(), got);
            } catch (CException* e) {
                e->Delete();
                return fail();
            }
            if (m_bCancel) {
                LOG_WRITE(L"[Download Cancel]");
                return fail();
            }
            received += got;
            written += got;
            if (m_hOwner) {
                PostMessageW(m_hOwner, UM_DOWNLOAD_PROGRESS,
                             static_cast<WPARAM>(static_cast<DWORD>((jobDone + received) / 1024)),
                             static_cast<LPARAM>(static_cast<DWORD>(m_ullJobTotal / 1024)));
            }
            continue;
        }
        if (written >= expected) break;
        // The reply ended before its Content-Length. Wine reports some reset
        // connections this way too, so the rest is asked for like after a
        // reset; a short file is never a finished download.
        LOG_WRITE(L"[ERR_2_LIVEUPDATE][Body shorter than its length][%I64u of %I64u][URL:%s]", written, expected,
                  url.GetString());
        reconnect();
    }

    try {
        m_file.Close();
    } catch (CException* e) {
        e->Delete();
        return fail();
    }
    closeInternetHandleSlot(urlSlot);
    closeInternetHandleSlot(internetSlot);
    m_pReadBuffer.reset();
    jobDone += expected;
    fileCounter += expected;
    return TRUE;
}

int CWebPOST::GetDownloadFileSize(CString url, CString localPath, BOOL probe, ULONGLONG& size) {
    url = encodeLenient(url);
    localPath.Replace(L'\\', L'/');
    if (probe) {
        CFile file;
        if (!file.Open(localPath.GetString(), CFile::modeWrite | CFile::shareDenyWrite) &&
            !file.Open(localPath.GetString(), CFile::modeCreate | CFile::modeWrite | CFile::shareDenyWrite)) {
            return 0;
        }
        file.Abort();
    }
    UniqueInternetHandle internet(InternetOpenW(L"VELM", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
    if (!internet) {
        LOG_WRITE(L"[ERR_START_1010][InternetOpen Error]");
        return 0;
    }
    UniqueInternetHandle request(openUrl(internet.get(), url, 0));
    if (!request) {
        LOG_WRITE(L"[ERR_START_1010][InternetOpenUrl Error][URL:%s]", url.GetString());
        return 0;
    }
    ULONGLONG length = 0;
    if (queryLength(request.get(), length)) size = length;
    int status = 0;
    if (!queryStatus(request.get(), status)) {
        LOG_WRITE(L"[ERR_START_1010][HttpQueryInfo Error]");
        return 0;
    }
    if (status == 416 || status < 400 || status > 599) return 1;
    LOG_WRITE(L"[ERR_START_1020][Live Update File Not Found.][%s]",
              (url + url.Mid(url.ReverseFind(L'/') + 1)).GetString());
    return status;
}

BOOL CWebPOST::MyCreateDirectoryA(CString path) {
    path.Replace(L'/', L'\\');
    // A share keeps its leading pair; "\\server\share" itself is never made.
    const bool share = path.Left(2) == L"\\\\";
    if (share) path.Delete(0, 2);
    path.Replace(L"\\\\", L"\\");
    if (share) path.Insert(0, L"\\\\");
    if (path.GetLength() > 248) return FALSE;
    int first = path.Find(L'\\');
    if (share) {
        first = path.Find(L'\\', 2);
        if (first > 2) first = path.Find(L'\\', first + 1);
        if (first < 0) return TRUE;
    }
    if (first < 0) return TRUE;
    CString sofar = path.Left(first);
    int position = first;
    for (CString part = path.Tokenize(L"\\", position); position >= 0; part = path.Tokenize(L"\\", position)) {
        sofar += L"\\" + part;
        CFileFind find;
        if (find.FindFile(sofar.GetString())) continue;
        LOG_WRITE(L"[CreateDirectory:%s]", sofar.GetString());
        if (!CreateDirectoryW(sofar.GetString(), nullptr)) {
            LOG_WRITE(L"[CreateDirectory Error][%s][ErrCode:%d]", sofar.GetString(), static_cast<int>(GetLastError()));
            return FALSE;
        }
    }
    return TRUE;
}
