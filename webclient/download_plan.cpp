#include "webclient/download_plan.h"

#include <cwchar>

namespace {

// At most 18 digits, so that no value from a header overflows.
bool parseNumber(const CString& text, long long& value) {
    if (text.IsEmpty() || text.GetLength() > 18) return false;
    value = 0;
    for (int i = 0; i < text.GetLength(); ++i) {
        wchar_t c = text[i];
        if (c < L'0' || c > L'9') return false;
        value = value * 10 + (c - L'0');
    }
    return true;
}

download_plan done(ULONGLONG total) {
    download_plan plan;
    plan.kind = download_plan::DONE;
    plan.total = total;
    return plan;
}

download_plan read(ULONGLONG total, ULONGLONG deliver, ULONGLONG skip, bool untilEnd) {
    download_plan plan;
    plan.kind = download_plan::READ;
    plan.total = total;
    plan.deliver = deliver;
    plan.skip = skip;
    plan.untilEnd = untilEnd;
    return plan;
}

}  // namespace

bool parseContentRange(const CString& text, long long& first, long long& size) {
    CString t(text);
    t.Trim();
    if (t.Left(6).CompareNoCase(L"bytes ") != 0) return false;
    t = t.Mid(6);
    t.Trim();
    int slash = t.Find(L'/');
    if (slash < 0) return false;
    CString range = t.Left(slash), whole = t.Mid(slash + 1);
    range.Trim();
    whole.Trim();
    if (whole == L"*") size = -1;
    else if (!parseNumber(whole, size)) return false;
    if (range == L"*") {
        first = -1;
        return size >= 0;
    }
    int dash = range.Find(L'-');
    long long last = 0;
    if (dash < 0 || !parseNumber(range.Left(dash), first) || !parseNumber(range.Mid(dash + 1), last)) return false;
    return first <= last;
}

download_plan planDownloadReply(int status, ULONGLONG offset, bool hasLength, ULONGLONG length,
                                const CString& contentRange) {
    long long first = -1, size = -1;
    const bool hasRange = !contentRange.IsEmpty() && parseContentRange(contentRange, first, size);

    if (status == 206) {
        // A part that starts anywhere else would be written at the wrong place.
        if (hasRange && first >= 0 && static_cast<ULONGLONG>(first) != offset) return download_plan();
        if (!hasLength) return read(offset, 0, 0, true);
        if (length == 0) return done(offset);
        return read(offset + length, length, 0, false);
    }
    if (status == 200) {
        // A server that ignores Range sends the whole file from its first
        // byte: what is already held is read past, not appended twice.
        if (!hasLength) return read(offset, 0, offset, true);
        if (length < offset) return download_plan();
        if (length == offset) return done(length);
        return read(length, length - offset, offset, false);
    }
    if (status > 200 && status < 300) {
        if (!hasLength || length == 0) return download_plan();
        return read(offset + length, length, 0, false);
    }
    if (status == 416) {
        // Asked for bytes from the end of a file that is already complete:
        // only the server's "*/N" naming that very length says so.
        if (hasLength && length != 0) return download_plan();
        if (hasRange && first < 0 && size >= 0 && static_cast<ULONGLONG>(size) == offset) return done(offset);
        return download_plan();
    }
    return download_plan();
}
