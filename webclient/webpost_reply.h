#pragma once
// Reading a small reply into a ResponseData (form and JSON requests).
#include "webclient/webpost.h"

struct ReplyReading {
    int idleAllowance;   // empty reads tolerated
    bool restoreOnData;  // whether arriving data restores the allowance
    DWORD pauseMs;       // pause after an empty read (messages keep flowing)
    bool logFailure;     // log a failed read
};

// Replies above this size are refused: no service reply comes near it.
constexpr size_t kReplyCapBytes = 16u << 20;

// Collects the reply in pieces of at most 4096 bytes and stores it, with a
// terminating zero, in data. Logs under function. FALSE (data untouched)
// when a read failed, the body is shorter than its Content-Length or
// longer than kReplyCapBytes: a cut reply must never pass for a whole one.
bool readReply(const char* function, HINTERNET request, ResponseData* data, const ReplyReading& how);

// A request path for the log: every value of its query replaced by "*".
// The values are encrypted with a key the program carries, so in a log
// file they would be as good as plain text.
CString maskQueryValues(const CString& pathAndQuery);

// The percent-encoded form (lenient set) of a host, path or address.
CString encodeLenient(const CString& text);
