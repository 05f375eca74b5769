#include "descriptors/inf_key_value_list.h"

#include <climits>

void InfKeyValueList::add(const CString& key, const CString& value) {
    CString k = key;
    CString v = value;
    v.Remove(L'"');
    v.Trim();
    k.Trim();
    m_pairs.emplace_back(k, v);
}

CString InfKeyValueList::getValue(const CString& key) const {
    return common_util::find_value(m_pairs, key);
}

namespace {

const wchar_t* const kFileTypeNames[] = {L"UNIVERSAL", L"MODEL", L"COMMON", L"HVQ_MODEL", L"HVQ_COMMON"};
constexpr int kFileTypeCount = sizeof(kFileTypeNames) / sizeof(kFileTypeNames[0]);

// Reads an optional sign and the digits after it, as the runtime's
// decimal conversion does: an overflow saturates at the type's limit.
LONGLONG parseSigned(const CString& text) {
    const wchar_t* p = text.GetString();
    bool negative = false;
    if (*p == L'-' || *p == L'+') {
        negative = *p == L'-';
        ++p;
    }
    const ULONGLONG limit = negative ? static_cast<ULONGLONG>(LLONG_MAX) + 1 : static_cast<ULONGLONG>(LLONG_MAX);
    ULONGLONG value = 0;
    for (; *p >= L'0' && *p <= L'9'; ++p) {
        unsigned digit = static_cast<unsigned>(*p - L'0');
        if (value > (limit - digit) / 10) {
            value = limit;
            break;
        }
        value = value * 10 + digit;
    }
    if (!negative) return static_cast<LONGLONG>(value);
    return value == limit ? LLONG_MIN : -static_cast<LONGLONG>(value);
}

}  // namespace

CString getFileTypeName(int id) {
    if (id < 1 || id > kFileTypeCount) return CString();
    return kFileTypeNames[id - 1];
}

int getFileTypeId(const CString& name) {
    for (int id = 1; id <= kFileTypeCount; ++id) {
        if (name.CompareNoCase(kFileTypeNames[id - 1]) == 0) return id;
    }
    return 0;
}

namespace inf_number {

LONGLONG readSize(const CString& value) {
    CString digits = common_util::extract_number(value);
    if (digits.Find(L'-') >= 0) {
        digits.Remove(L'-');
        return -parseSigned(digits);
    }
    LONGLONG size = parseSigned(digits);
    return size < 0 ? 0 : size;
}

LONGLONG readInt64(const CString& value) {
    return parseSigned(common_util::extract_number(value));
}

UINT32 readCrc(const CString& value) {
    return static_cast<UINT32>(static_cast<ULONGLONG>(readInt64(value)) & 0xFFFFFFFFu);
}

int readInt(const CString& value) {
    LONGLONG number = readInt64(value);
    if (number > INT_MAX) return INT_MAX;
    if (number < INT_MIN) return INT_MIN;
    return static_cast<int>(number);
}

}  // namespace inf_number
