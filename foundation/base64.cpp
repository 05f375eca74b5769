#include "foundation/base64.h"

namespace {

const char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

int sixBits(unsigned char c) {
    if (c >= 'A' && c <= 'Z') return c - 'A';
    if (c >= 'a' && c <= 'z') return c - 'a' + 26;
    if (c >= '0' && c <= '9') return c - '0' + 52;
    if (c == '+') return 62;
    if (c == '/') return 63;
    return -1;
}

}  // namespace

int base64Encode(char* dest, const unsigned char* src, int count) {
    if (!src || count <= 0) return 0;
    // Computed in 64 bits so a huge count cannot wrap below the limit.
    long long size = 4LL * ((static_cast<long long>(count) + 2) / 3) + 1;
    if (size > BASE64_ENCODE_LIMIT || !dest) return -1;

    char* out = dest;
    int i = 0;
    for (; i + 3 <= count; i += 3) {
        unsigned v = (static_cast<unsigned>(src[i]) << 16) | (static_cast<unsigned>(src[i + 1]) << 8) | src[i + 2];
        *out++ = kAlphabet[(v >> 18) & 0x3F];
        *out++ = kAlphabet[(v >> 12) & 0x3F];
        *out++ = kAlphabet[(v >> 6) & 0x3F];
        *out++ = kAlphabet[v & 0x3F];
    }
    int rest = count - i;
    if (rest > 0) {
        unsigned v = static_cast<unsigned>(src[i]) << 16;
        if (rest == 2) v |= static_cast<unsigned>(src[i + 1]) << 8;
        *out++ = kAlphabet[(v >> 18) & 0x3F];
        *out++ = kAlphabet[(v >> 12) & 0x3F];
        *out++ = rest == 2 ? kAlphabet[(v >> 6) & 0x3F] : '=';
        *out++ = '=';
    }
    *out = '\0';
    return static_cast<int>(size);
}

int base64Decode(unsigned char* dest, const char* src, int limit) {
    if (!dest || !src) return 0;
    int written = 0;
    int position = 0;
    int previous = 0;
    auto put = [&](unsigned value) {
        if (written < limit) dest[written++] = static_cast<unsigned char>(value);
    };
    for (const unsigned char* p = reinterpret_cast<const unsigned char*>(src); *p; ++p) {
        int value = sixBits(*p);
        if (value < 0) continue;
        // "=" does not close a group: characters after it carry on the group
        // in progress, which is how stored values have always been read.
        switch (position) {
        case 1: put((previous << 2) | (value >> 4)); break;
        case 2: put((previous << 4) | (value >> 2)); break;
        case 3: put((previous << 6) | value); break;
        default: break;
        }
        previous = value;
        position = (position + 1) & 3;
    }
    return written;
}
