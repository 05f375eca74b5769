#pragma once
// What a ranged download does with one reply, from its status, its
// Content-Length and its Content-Range. Kept apart from the transfer so the
// rules can be read (and tested) in one place.
#include "afx/string.h"

struct download_plan {
    enum Kind {
        READ,  // read the body and deliver bytes
        DONE,  // nothing (more) to read: the file is complete
        FAIL,  // a status or range that does not continue the file
    };
    Kind kind = FAIL;
    ULONGLONG total = 0;    // size of the complete file (offset + bytes to come)
    ULONGLONG deliver = 0;  // bytes of this reply to hand to the sink
    ULONGLONG skip = 0;     // leading body bytes already held locally
    bool untilEnd = false;  // no length: read until the server ends the reply
};

// offset: bytes already held (the "Range: bytes=offset-" of the request).
// contentRange: the reply's Content-Range header, empty when absent.
download_plan planDownloadReply(int status, ULONGLONG offset, bool hasLength, ULONGLONG length,
                                const CString& contentRange);

// "bytes a-b/N" gives first a and size N (N -1 for "*"); "bytes */N" gives
// first -1. FALSE for anything else.
bool parseContentRange(const CString& text, long long& first, long long& size);
