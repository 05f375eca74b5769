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

void readReply(const char* function, HINTERNET request, ResponseData* data, const ReplyReading& how) {
    std::string collected;
    char piece[kPieceBytes + 1];
    int idle = how.idleAllowance;
    for (;;) {
        memset(piece, 0, sizeof(piece));
        DWORD got = 0;
        if (!InternetReadFile(request, piece, kPieceBytes, &got)) {
            if (how.logFailure) g_logManager.log(function, __LINE__, L"InternetReadFile fail");
            break;
        }
        if (got > 0) {
            if (got > kPieceBytes) {
                printf("InternetReadFile returns wrong read count. (return = %lu)\n", got);
                break;
            }
            collected.append(piece, got);
            if (how.restoreOnData) idle = how.idleAllowance;
            continue;
        }
        if (idle == 0) break;
        --idle;
        waitPumpingMessages(how.pauseMs);
    }
    if (!data) return;
    BYTE* block = static_cast<BYTE*>(calloc(collected.size() + 1, 1));
    if (!block) return;  // the request still counts as answered
    memcpy(block, collected.data(), collected.size());
    data->pData = block;
    data->count = static_cast<DWORD>(collected.size());
}

CString encodeLenient(const CString& text) {
    return urlEncode(WideToMultiByte(text.GetString(), CP_UTF8).GetString(), false);
}
