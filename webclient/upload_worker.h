#pragma once
// A multipart/form-data POST of one local file, with request parameters in
// the query string; the reply goes to a data sink.
#include "webclient/internet_worker.h"
#include "webclient/request_param.h"

class upload_worker : public internet_worker {
public:
    upload_worker() = default;
    upload_worker(const upload_worker&) = delete;
    upload_worker& operator=(const upload_worker&) = delete;

    // True when the reply was read completely (or declared no body); false
    // with the reason in code. A reply that ends before its declared length
    // makes the whole upload repeat, at most twice.
    bool vcrm_file_upload(const CString& url, RequestParamVCRM_Data params, const CString& localPath,
                          ReceiveCallback sink);

    ULONGLONG reply_length = 0;     // Content-Length of the reply
    ULONGLONG reply_remaining = 0;  // reply bytes still expected
};
