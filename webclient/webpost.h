#pragma once
// The facade through which pages, the main frame, the statistics upload and
// the self-update manager talk to the web service: the form request (a GET
// with the parameters as query string) and its JSON twin, one retrying
// operation per web-service call, and the self-update's status probe, size
// query and file download. Every operation runs to its end on the caller's
// thread; waits for reply data keep the thread's window messages flowing.
#include "afx/file.h"
#include "afx/string.h"
#include "webclient/inet_handle.h"
#include "webclient/request_param.h"

#include <atomic>
#include <memory>

// A reply: count bytes in pData, followed by a zero byte. Allocated by the
// caller with both fields zero, released with CWebPOST::FreeData.
struct ResponseData {
    DWORD count = 0;
    BYTE* pData = nullptr;
};

class CWebPOST {
public:
    CWebPOST() = default;
    virtual ~CWebPOST();
    CWebPOST(const CWebPOST&) = delete;
    CWebPOST& operator=(const CWebPOST&) = delete;

    // HTTPS for port 443 or the secure flag. TRUE when a reply with a usable
    // status (not 0, not 400 to 599) was read into data.
    BOOL Submit(CString server, CString path, ResponseData* data, int port, const RequsetParam* param,
                const CString& verb, BOOL secure);
    // The parameter object's text goes out as a UTF-8 JSON body; HTTPS for
    // port 444 or the secure flag.
    BOOL SubmitAsJson(CString server, CString path, ResponseData* data, int port, const RequsetParam* param,
                      const CString& verb, BOOL secure);
    // How far a request gets: 0 usable status; -1 no connection, -2 to -4
    // open, connect, request failed, -5 security flags refused, -6 sending
    // failed, -7 no status, -8 error status, -9 certificate refused.
    int HttpCheckStatus(CString server, CString path, int port, const CString& verb, BOOL secure);

    // The web-service calls: the reply as text (UTF-8), empty when every
    // attempt failed (5 attempts, 3 for the consent report).
    CString RequestGUID(CString server, CString path, int port, RequestParamGUID param, BOOL secure);
    CString LoginStart(CString server, CString path, int port, RequestParamLogin param, BOOL secure);
    CString GetAvailableLanguageCode(CString server, CString path, int port, RequestParamLanguage param, BOOL secure);
    CString SendChkCode(CString server, CString path, int port, RequestParamSendCheck param);
    CString GetUserPrivate(CString server, CString path, int port, RequestParamUserPrivate param, BOOL secure);

    // Downloads url into localPath (created anew, or continued when append
    // is set), posting progress to the owner window. jobDone and fileCounter
    // grow by the file's size on success. state (may be null) reads 8 while
    // reconnecting and 2 while data flows. The two slots hold the open
    // handles so that the owner can close them (with closeInternetHandleSlot)
    // after setting the cancel flag; the download then ends with FALSE.
    BOOL HttpDownload_(const CString& url, const CString& localPath, ULONGLONG& jobDone, ULONGLONG& fileCounter,
                       BOOL append, std::atomic<int>* state, InternetHandleSlot& internetSlot,
                       InternetHandleSlot& urlSlot);
    // 1 when the address answers with a usable status (416 included), its
    // Content-Length in size; 0 when no status was read; otherwise the HTTP
    // error status. With probe set the local file is created (or opened)
    // first, to find out early that it cannot be written.
    static int GetDownloadFileSize(CString url, CString localPath, BOOL probe, ULONGLONG& size);
    // Creates a folder path level by level ("/" or "\"); FALSE at the first
    // level that cannot be made, or for a path over 248 characters.
    static BOOL MyCreateDirectoryA(CString path);
    // Releases a record made with new and clears the holder; always 1.
    int FreeData(ResponseData** holder);
    // Base64 of the AES-128-CBC ciphertext of the text's UTF-8 bytes.
    static CString EncryptValue(const CString& text);

    // Set by the owner (another thread) to stop a running download.
    std::atomic<bool> m_bCancel{false};
    // Receiver of the download progress messages; null for none.
    HWND m_hOwner = nullptr;
    // Bytes of the whole download job, the denominator of the progress.
    ULONGLONG m_ullJobTotal = 0;

private:
    // The retrying per-call operations: attempts form requests, logging
    // under the operation's name.
    CString submitWithRetries(const char* function, CString server, CString path, int port,
                              const RequsetParam& param, BOOL secure, int attempts, bool detailedLog);

    CFile m_file;
    std::unique_ptr<BYTE[]> m_pReadBuffer;
};
