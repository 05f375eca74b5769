#include "afx/string.h"

#include "afx/module.h"

#include <cstdio>

namespace afx_detail {

int CharTraits<wchar_t>::vformatLength(const wchar_t* fmt, va_list args) {
    return _vscwprintf(fmt, args);
}

void CharTraits<wchar_t>::vformat(wchar_t* buf, int count, const wchar_t* fmt, va_list args) {
    _vsnwprintf(buf, static_cast<size_t>(count), fmt, args);
    buf[count - 1] = L'\0';
}

std::wstring CharTraits<wchar_t>::fromOther(const char* s, int len) {
    return MultiByteToWide(s, CP_ACP, len).str();
}

int CharTraits<char>::vformatLength(const char* fmt, va_list args) {
    return _vscprintf(fmt, args);
}

void CharTraits<char>::vformat(char* buf, int count, const char* fmt, va_list args) {
    _vsnprintf(buf, static_cast<size_t>(count), fmt, args);
    buf[count - 1] = '\0';
}

std::string CharTraits<char>::fromOther(const wchar_t* s, int len) {
    return WideToMultiByte(s, CP_ACP, len).str();
}

}  // namespace afx_detail

CStringA WideToMultiByte(const wchar_t* text, UINT codePage, int length) {
    if (!text) return CStringA();
    if (length < 0) length = static_cast<int>(wcslen(text));
    if (length == 0) return CStringA();
    int n = WideCharToMultiByte(codePage, 0, text, length, nullptr, 0, nullptr, nullptr);
    if (n <= 0) return CStringA();
    CStringA out;
    WideCharToMultiByte(codePage, 0, text, length, out.GetBufferSetLength(n), n, nullptr, nullptr);
    return out;
}

CStringW MultiByteToWide(const char* text, UINT codePage, int length) {
    if (!text) return CStringW();
    if (length < 0) length = static_cast<int>(strlen(text));
    if (length == 0) return CStringW();
    int n = MultiByteToWideChar(codePage, 0, text, length, nullptr, 0);
    if (n <= 0) return CStringW();
    CStringW out;
    MultiByteToWideChar(codePage, 0, text, length, out.GetBufferSetLength(n), n);
    return out;
}

bool TryUtf8ToWide(const char* text, int length, CStringW& out) {
    if (!text) return false;
    if (length < 0) length = static_cast<int>(strlen(text));
    if (length == 0) {
        out.Empty();
        return true;
    }
    int n = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text, length, nullptr, 0);
    if (n <= 0) return false;
    CStringW wide;
    MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text, length, wide.GetBufferSetLength(n), n);
    out = wide;
    return true;
}

template <>
BOOL CStringT<wchar_t>::LoadString(UINT nID) {
    const wchar_t* text = nullptr;
    // A zero buffer length returns a read-only pointer into the resource.
    int n = ::LoadStringW(AfxGetResourceHandle(), nID, reinterpret_cast<LPWSTR>(&text), 0);
    if (n <= 0 || !text) {
        m_s.clear();
        return FALSE;
    }
    m_s.assign(text, static_cast<size_t>(n));
    return TRUE;
}

BOOL AfxExtractSubString(CString& rString, LPCWSTR lpszFullString, int iSubString, wchar_t chSep) {
    rString.Empty();
    if (!lpszFullString || iSubString < 0) return FALSE;
    while (iSubString--) {
        lpszFullString = wcschr(lpszFullString, chSep);
        if (!lpszFullString) return FALSE;
        ++lpszFullString;  // past the separator
    }
    const wchar_t* end = wcschr(lpszFullString, chSep);
    int n = end ? static_cast<int>(end - lpszFullString) : static_cast<int>(wcslen(lpszFullString));
    rString = CString(lpszFullString, n);
    return TRUE;
}
