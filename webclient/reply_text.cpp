#include "webclient/reply_text.h"
#include "foundation/common_util.h"

#include <cwchar>

CString removeReplyLineEnds(CString text) {
    text.Replace(L"\r\n", L"");
    text.Replace(L"\n", L"");
    return text;
}

std::vector<CString> splitReply(const CString& text, const wchar_t* separator) {
    std::vector<CString> tokens;
    common_util::split(text, separator, [&](int, const CString& token) {
        tokens.push_back(token);
        return true;
    });
    return tokens;
}

CString replyToken(const std::vector<CString>& tokens, size_t index) {
    return index < tokens.size() ? tokens[index] : CString();
}

int replyNumber(const CString& token) {
    const CString digits = common_util::extract_number(token);
    // wcstol saturates (long is 32 bits here) instead of wrapping, so an
    // oversized code never turns into a different valid one.
    return static_cast<int>(wcstol(digits.GetString(), nullptr, 10));
}
