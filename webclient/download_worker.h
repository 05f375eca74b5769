#pragma once
// A ranged HTTP or HTTPS GET of one address from a resume offset, repeated
// in cycles until the body has been delivered; received bytes go to a data
// sink in batches of about 1 MiB.
#include "webclient/internet_worker.h"

class download_worker : public internet_worker {
public:
    // "\\" pairs become "\", then every "\" becomes "/".
    explicit download_worker(const CString& address);
    // Drops the address's WinINet cache entry.
    ~download_worker();
    download_worker(const download_worker&) = delete;
    download_worker& operator=(const download_worker&) = delete;

    // Downloads the bytes from offset to the end into the sink. True when the
    // body was delivered completely (or there was nothing left to fetch);
    // false with the reason in code. runFlag may be null.
    bool remote_file_download_tls(ULONGLONG offset, const RunFlag* runFlag, ReceiveCallback sink);

    CString url;
    // A GetTickCount64 value after which the download gives up with
    // INET_ERROR_READ, as if no data had come in time; 0 for none.
    ULONGLONG deadline = 0;
    // Offset of the current reply plus its length: the size the complete
    // file will have. Set before the first sink call of each reply.
    ULONGLONG total = 0;
    // Bytes of the current reply not yet delivered to the sink.
    ULONGLONG remaining = 0;
};
