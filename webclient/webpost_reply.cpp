#include "webclient/webpost_reply.h"
#include "foundation/logmanager.h"
#include "foundation/message_pump.h"
#include "webclient/url_encode.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

constexpr DWORD kPieceBytes = 4096;

}  // namespace

namespace {

// The declared body length; false when the header is absent or no number.
bool declaredLength(HINTERNET request, unsigned long long& length) {
    wchar_t text[32] = {};
    DWORD size = sizeof(text);
    if (!HttpQueryInfoW(request, HTTP_QUERY_CONTENT_LENGTH, text, &size, nullptr)) return false;
    int digits = 0;
    length = 0;
    for (const wchar_t* c = text; *c; ++c) {
        if (*c < L'0' || *c > L'9' || ++digits > 18) return false;
        length = length * 10 + static_cast<unsigned>(*c - L'0');
    }
    return digits > 0;
}

}  // namespace

bool readReply(const char* function, HINTERNET request, ResponseData* data, const ReplyReading& how) {
    unsigned long long declared = 0;
    const bool hasLength = declaredLength(request, declared);
    if (hasLength && declared > kReplyCapBytes) {
        g_logManager.log(function, __LINE__, L"[reply too large][%I64u bytes]", declared);
        return false;
    }
    std::string collected;
    char piece[kPieceBytes + 1];
    int idle = how.idleAllowance;
    for (;;) {
        memset(piece, 0, sizeof(piece));
        DWORD got = 0;
        if (!InternetReadFile(request, piece, kPieceBytes, &got)) {
            if (how.logFailure) g_logManager.log(function, __LINE__, L"InternetReadFile fail");
            return false;
        }
        if (got > 0) {
            if (got > kPieceBytes) {
                printf("InternetReadFile returns wrong read count. (return = %lu)\n", got);
                return false;
            }
            if (collected.size() + got > kReplyCapBytes) {
                g_logManager.log(function, __LINE__, L"[reply too large][over %u bytes]",
                                 static_cast<unsigned>(kReplyCapBytes));
                return false;
            }
            collected.append(piece, got);
            if (how.restoreOnData) idle = how.idleAllowance;
            continue;
        }
        if (idle == 0) break;
        --idle;
        waitPumpingMessages(how.pauseMs);
    }
    if (hasLength && collected.size() < declared) {
        g_logManager.log(function, __LINE__, L"[reply cut short][%u of %I64u bytes]",
                         static_cast<unsigned>(collected.size()), declared);
        return false;
    }
    if (!data) return true;
    BYTE* block = static_cast<BYTE*>(calloc(collected.size() + 1, 1));
    if (!block) return false;
    memcpy(block, collected.data(), collected.size());
    data->pData = block;
    data->count = static_cast<DWORD>(collected.size());
    return true;
}

CString maskQueryValues(const CString& pathAndQuery) {
    const int question = pathAndQuery.Find(L'?');
    if (question < 0) return pathAndQuery;
    CString masked = pathAndQuery.Left(question + 1);
    const CString query = pathAndQuery.Mid(question + 1);
    int start = 0;
    while (start <= query.GetLength()) {
        int end = query.Find(L'&', start);
        if (end < 0) end = query.GetLength();
        const CString pair = query.Mid(start, end - start);
        const int equals = pair.Find(L'=');
        masked += equals < 0 ? pair : pair.Left(equals + 1) + L"*";
        if (end < query.GetLength()) masked += L'&';
        start = end + 1;
    }
    return masked;
}

CString encodeLenient(const CString& text) {
    return urlEncode(WideToMultiByte(text.GetString(), CP_UTF8).GetString(), false);
}
