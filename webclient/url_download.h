#pragma once
// A URL moniker download into a file that another thread can stop: the bind
// callback refuses to start or go on once the stop event is set, and abort()
// breaks off a binding that waits for a slow or silent server.
#include "afx/string.h"

#include <windows.h>

#include <mutex>

class CUrlDownload {
public:
    CUrlDownload() = default;
    CUrlDownload(const CUrlDownload&) = delete;
    CUrlDownload& operator=(const CUrlDownload&) = delete;

    // URLDownloadToFileW with the bind callback; stop (may be null) is the
    // event that ends it. E_ABORT when it was stopped.
    HRESULT run(const CString& url, const CString& target, HANDLE stop);
    // Any thread: aborts the running download, if any, after its stop event
    // was set.
    void abort();

private:
    class Callback;
    std::mutex m_mutex;
    Callback* m_running = nullptr;  // referenced while set
};
