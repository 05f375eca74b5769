#include "webclient/url_encode.h"

namespace {

bool isStrict(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '.' ||
           c == '_';
}

bool isLenient(unsigned char c) {
    return isStrict(c) || c == '/' || c == ':' || c == '&' || c == '(' || c == ')' || c == '=' || c == '?';
}

}  // namespace

CString urlEncode(const char* bytes, bool strict) {
    static const char hex[] = "0123456789ABCDEF";
    std::wstring out;
    if (!bytes) return CString();
    for (const unsigned char* p = reinterpret_cast<const unsigned char*>(bytes); *p; ++p) {
        if (strict ? isStrict(*p) : isLenient(*p)) {
            out += static_cast<wchar_t>(*p);
        } else {
            out += L'%';
            out += static_cast<wchar_t>(hex[*p >> 4]);
            out += static_cast<wchar_t>(hex[*p & 0x0F]);
        }
    }
    return CString(out);
}
