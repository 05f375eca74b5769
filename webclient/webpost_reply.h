#pragma once
// Reading a small reply into a ResponseData (form and JSON requests).
#include "webclient/webpost.h"

struct ReplyReading {
    int idleAllowance;   // empty reads tolerated
    bool restoreOnData;  // whether arriving data restores the allowance
    DWORD pauseMs;       // pause after an empty read (messages keep flowing)
    bool logFailure;     // log a failed read
};

// Collects the reply in pieces of at most 4096 bytes and stores it, with a
// terminating zero, in data. Logs under function.
void readReply(const char* function, HINTERNET request, ResponseData* data, const ReplyReading& how);

// The percent-encoded form (lenient set) of a host, path or address.
CString encodeLenient(const CString& text);
