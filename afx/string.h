#pragma once
// CString / CStringA / CStringW: the class library's string, with the
// semantics our code relies on:
//  - Format/AppendFormat follow the Microsoft runtime: in a wide format "%s"
//    takes a wide string and "%S" a narrow one (we build with
//    __USE_MINGW_ANSI_STDIO=0 so _vsnwprintf is the runtime's own).
//  - Tokenize skips runs of delimiters and sets the position to -1 at the end.
//  - Mid/Left/Right clamp their arguments instead of failing.
//  - Narrow text converts to wide through the ANSI code page.
// A CString is never passed to "..." directly: pass GetString() or a cast,
// GCC would pass the object, not its characters.
#include <windows.h>

#include <algorithm>
#include <cstdarg>
#include <string>

namespace afx_detail {

template <typename T>
struct CharTraits;

template <>
struct CharTraits<wchar_t> {
    using Other = char;
    static int length(const wchar_t* s) { return s ? static_cast<int>(wcslen(s)) : 0; }
    static int vformatLength(const wchar_t* fmt, va_list args);
    static void vformat(wchar_t* buf, int count, const wchar_t* fmt, va_list args);
    static int compareNoCase(const wchar_t* a, const wchar_t* b) { return _wcsicmp(a, b); }
    static int compare(const wchar_t* a, const wchar_t* b) { return wcscmp(a, b); }
    static bool isSpace(wchar_t c) { return iswspace(c) != 0; }
    static void toUpper(std::wstring& s) { if (!s.empty()) CharUpperBuffW(&s[0], static_cast<DWORD>(s.size())); }
    static void toLower(std::wstring& s) { if (!s.empty()) CharLowerBuffW(&s[0], static_cast<DWORD>(s.size())); }
    static std::wstring fromOther(const char* s, int len);
};

template <>
struct CharTraits<char> {
    using Other = wchar_t;
    static int length(const char* s) { return s ? static_cast<int>(strlen(s)) : 0; }
    static int vformatLength(const char* fmt, va_list args);
    static void vformat(char* buf, int count, const char* fmt, va_list args);
    static int compareNoCase(const char* a, const char* b) { return _stricmp(a, b); }
    static int compare(const char* a, const char* b) { return strcmp(a, b); }
    static bool isSpace(char c) { return isspace(static_cast<unsigned char>(c)) != 0; }
    static void toUpper(std::string& s) { if (!s.empty()) CharUpperBuffA(&s[0], static_cast<DWORD>(s.size())); }
    static void toLower(std::string& s) { if (!s.empty()) CharLowerBuffA(&s[0], static_cast<DWORD>(s.size())); }
    static std::string fromOther(const wchar_t* s, int len);
};

}  // namespace afx_detail

template <typename T>
class CStringT {
    using Traits = afx_detail::CharTraits<T>;
    using OtherT = typename Traits::Other;

public:
    using XCHAR = T;
    using PCXSTR = const T*;

    // The string nID of the resource module (see afx/module.h); FALSE and
    // empty when it is missing. Wide strings only.
    BOOL LoadString(UINT nID);

    CStringT() = default;
    CStringT(const CStringT&) = default;
    CStringT(CStringT&&) noexcept = default;
    CStringT(const T* s) { if (s) m_s.assign(s); }
    CStringT(const T* s, int len) { if (s && len > 0) m_s.assign(s, static_cast<size_t>(len)); }
    CStringT(T ch, int repeat = 1) { if (repeat > 0) m_s.assign(static_cast<size_t>(repeat), ch); }
    CStringT(const OtherT* s) { if (s) m_s = Traits::fromOther(s, -1); }
    CStringT(const CStringT<OtherT>& other) : CStringT(other.GetString()) {}
    CStringT(const std::basic_string<T>& s) : m_s(s) {}

    CStringT& operator=(const CStringT&) = default;
    CStringT& operator=(CStringT&&) noexcept = default;
    CStringT& operator=(const T* s) { if (s) m_s.assign(s); else m_s.clear(); return *this; }
    CStringT& operator=(T ch) { m_s.assign(1, ch); return *this; }
    CStringT& operator=(const OtherT* s) { m_s = s ? Traits::fromOther(s, -1) : std::basic_string<T>(); return *this; }
    CStringT& operator=(const CStringT<OtherT>& other) { return *this = other.GetString(); }

    // ---- access
    int GetLength() const { return static_cast<int>(m_s.size()); }
    bool IsEmpty() const { return m_s.empty(); }
    void Empty() { m_s.clear(); }
    const T* GetString() const { return m_s.c_str(); }
    operator const T*() const { return m_s.c_str(); }
    T GetAt(int i) const { return m_s.at(static_cast<size_t>(i)); }
    void SetAt(int i, T ch) { m_s.at(static_cast<size_t>(i)) = ch; }
    T operator[](int i) const { return GetAt(i); }
    const std::basic_string<T>& str() const { return m_s; }

    // ---- buffer
    T* GetBuffer() { return &m_s[0]; }
    T* GetBuffer(int minLength) {
        if (minLength > GetLength()) m_s.resize(static_cast<size_t>(minLength));
        return &m_s[0];
    }
    T* GetBufferSetLength(int length) {
        m_s.resize(static_cast<size_t>(length < 0 ? 0 : length));
        return &m_s[0];
    }
    void ReleaseBuffer(int newLength = -1) {
        if (newLength < 0) newLength = Traits::length(m_s.c_str());
        if (newLength < GetLength()) m_s.resize(static_cast<size_t>(newLength));
    }
    void Preallocate(int length) { if (length > 0) m_s.reserve(static_cast<size_t>(length)); }

    // ---- concatenation
    CStringT& operator+=(const CStringT& s) { m_s += s.m_s; return *this; }
    CStringT& operator+=(const T* s) { if (s) m_s += s; return *this; }
    CStringT& operator+=(T ch) { m_s += ch; return *this; }
    void Append(const T* s, int len) { if (s && len > 0) m_s.append(s, static_cast<size_t>(len)); }
    void AppendChar(T ch) { m_s += ch; }

    friend CStringT operator+(const CStringT& a, const CStringT& b) { CStringT r(a); r += b; return r; }
    friend CStringT operator+(const CStringT& a, const T* b) { CStringT r(a); r += b; return r; }
    friend CStringT operator+(const T* a, const CStringT& b) { CStringT r(a); r += b; return r; }
    friend CStringT operator+(const CStringT& a, T b) { CStringT r(a); r += b; return r; }
    friend CStringT operator+(T a, const CStringT& b) { CStringT r(a); r += b; return r; }

    // ---- comparison
    int Compare(const T* s) const { return Traits::compare(GetString(), s ? s : emptyText()); }
    int CompareNoCase(const T* s) const { return Traits::compareNoCase(GetString(), s ? s : emptyText()); }
    friend bool operator==(const CStringT& a, const CStringT& b) { return a.m_s == b.m_s; }
    friend bool operator==(const CStringT& a, const T* b) { return a.Compare(b) == 0; }
    friend bool operator==(const T* a, const CStringT& b) { return b.Compare(a) == 0; }
    friend bool operator!=(const CStringT& a, const CStringT& b) { return !(a == b); }
    friend bool operator!=(const CStringT& a, const T* b) { return !(a == b); }
    friend bool operator!=(const T* a, const CStringT& b) { return !(a == b); }
    friend bool operator<(const CStringT& a, const CStringT& b) { return a.m_s < b.m_s; }
    friend bool operator>(const CStringT& a, const CStringT& b) { return b.m_s < a.m_s; }

    // ---- searching
    int Find(T ch, int start = 0) const {
        if (start < 0 || start >= GetLength()) return -1;
        size_t p = m_s.find(ch, static_cast<size_t>(start));
        return p == std::basic_string<T>::npos ? -1 : static_cast<int>(p);
    }
    int Find(const T* sub, int start = 0) const {
        if (!sub || start < 0 || start > GetLength()) return -1;
        size_t p = m_s.find(sub, static_cast<size_t>(start));
        return p == std::basic_string<T>::npos ? -1 : static_cast<int>(p);
    }
    int ReverseFind(T ch) const {
        size_t p = m_s.rfind(ch);
        return p == std::basic_string<T>::npos ? -1 : static_cast<int>(p);
    }
    int FindOneOf(const T* set) const {
        if (!set) return -1;
        size_t p = m_s.find_first_of(set);
        return p == std::basic_string<T>::npos ? -1 : static_cast<int>(p);
    }

    // ---- extraction (arguments are clamped as the class library does)
    CStringT Mid(int first) const { return Mid(first, GetLength()); }
    CStringT Mid(int first, int count) const {
        if (first < 0) first = 0;
        if (count < 0) count = 0;
        if (first > GetLength()) first = GetLength();
        if (count > GetLength() - first) count = GetLength() - first;
        return CStringT(m_s.substr(static_cast<size_t>(first), static_cast<size_t>(count)));
    }
    CStringT Left(int count) const { return Mid(0, count); }
    CStringT Right(int count) const {
        if (count < 0) count = 0;
        if (count > GetLength()) count = GetLength();
        return Mid(GetLength() - count, count);
    }
    CStringT SpanIncluding(const T* set) const {
        return Left(set ? static_cast<int>(m_s.find_first_not_of(set) == std::basic_string<T>::npos
                                               ? m_s.size() : m_s.find_first_not_of(set)) : 0);
    }
    CStringT SpanExcluding(const T* set) const {
        int p = FindOneOf(set);
        return p < 0 ? *this : Left(p);
    }

    // Next token after position start; runs of delimiters are skipped. At the
    // end an empty string is returned and start becomes -1.
    CStringT Tokenize(const T* delims, int& start) const {
        if (start < 0) return CStringT();
        if (!delims || !*delims) {
            if (start < GetLength()) return Mid(start);
            start = -1;
            return CStringT();
        }
        if (start < GetLength()) {
            size_t b = m_s.find_first_not_of(delims, static_cast<size_t>(start));
            if (b != std::basic_string<T>::npos) {
                size_t e = m_s.find_first_of(delims, b);
                if (e == std::basic_string<T>::npos) e = m_s.size();
                start = static_cast<int>(e) + 1;
                return CStringT(m_s.substr(b, e - b));
            }
        }
        start = -1;
        return CStringT();
    }

    // ---- modification
    CStringT& MakeUpper() { Traits::toUpper(m_s); return *this; }
    CStringT& MakeLower() { Traits::toLower(m_s); return *this; }
    CStringT& MakeReverse() { m_s.assign(m_s.rbegin(), m_s.rend()); return *this; }

    int Replace(T from, T to) {
        int n = 0;
        for (auto& c : m_s) if (c == from) { c = to; ++n; }
        return n;
    }
    int Replace(const T* from, const T* to) {
        int fromLen = Traits::length(from);
        if (fromLen == 0) return 0;
        int toLen = Traits::length(to);
        int n = 0;
        size_t p = 0;
        while ((p = m_s.find(from, p, static_cast<size_t>(fromLen))) != std::basic_string<T>::npos) {
            m_s.replace(p, static_cast<size_t>(fromLen), to ? to : emptyText(), static_cast<size_t>(toLen));
            p += static_cast<size_t>(toLen);
            ++n;
        }
        return n;
    }
    int Remove(T ch) {
        int before = GetLength();
        m_s.erase(std::remove(m_s.begin(), m_s.end(), ch), m_s.end());
        return before - GetLength();
    }
    int Insert(int index, T ch) { return Insert(index, CStringT(ch).GetString()); }
    int Insert(int index, const T* s) {
        if (index < 0) index = 0;
        if (index > GetLength()) index = GetLength();
        if (s) m_s.insert(static_cast<size_t>(index), s);
        return GetLength();
    }
    int Delete(int index, int count = 1) {
        if (index < 0) index = 0;
        if (count > 0 && index < GetLength()) {
            m_s.erase(static_cast<size_t>(index), static_cast<size_t>(count));
        }
        return GetLength();
    }
    void Truncate(int length) { if (length >= 0 && length < GetLength()) m_s.resize(static_cast<size_t>(length)); }

    CStringT& TrimLeft() { return trimLeftIf([](T c) { return Traits::isSpace(c); }); }
    CStringT& TrimRight() { return trimRightIf([](T c) { return Traits::isSpace(c); }); }
    CStringT& Trim() { TrimRight(); return TrimLeft(); }
    CStringT& TrimLeft(T ch) { return trimLeftIf([ch](T c) { return c == ch; }); }
    CStringT& TrimRight(T ch) { return trimRightIf([ch](T c) { return c == ch; }); }
    CStringT& Trim(T ch) { TrimRight(ch); return TrimLeft(ch); }
    CStringT& TrimLeft(const T* set) { return trimLeftIf([set](T c) { return inSet(set, c); }); }
    CStringT& TrimRight(const T* set) { return trimRightIf([set](T c) { return inSet(set, c); }); }
    CStringT& Trim(const T* set) { TrimRight(set); return TrimLeft(set); }

    // ---- formatting
    void Format(const T* fmt, ...) {
        va_list args;
        va_start(args, fmt);
        FormatV(fmt, args);
        va_end(args);
    }
    void AppendFormat(const T* fmt, ...) {
        va_list args;
        va_start(args, fmt);
        AppendFormatV(fmt, args);
        va_end(args);
    }
    void FormatV(const T* fmt, va_list args) { m_s.clear(); AppendFormatV(fmt, args); }
    void AppendFormatV(const T* fmt, va_list args) {
        if (!fmt) return;
        va_list copy;
        va_copy(copy, args);
        int n = Traits::vformatLength(fmt, copy);
        va_end(copy);
        if (n <= 0) return;
        size_t old = m_s.size();
        m_s.resize(old + static_cast<size_t>(n) + 1);
        Traits::vformat(&m_s[old], n + 1, fmt, args);
        m_s.resize(old + static_cast<size_t>(n));
    }

private:
    static const T* emptyText() { static const T z[1] = {0}; return z; }
    static bool inSet(const T* set, T c) {
        for (; set && *set; ++set) if (*set == c) return true;
        return false;
    }
    template <typename Pred>
    CStringT& trimLeftIf(Pred p) {
        size_t i = 0;
        while (i < m_s.size() && p(m_s[i])) ++i;
        m_s.erase(0, i);
        return *this;
    }
    template <typename Pred>
    CStringT& trimRightIf(Pred p) {
        size_t n = m_s.size();
        while (n > 0 && p(m_s[n - 1])) --n;
        m_s.resize(n);
        return *this;
    }

    std::basic_string<T> m_s;
};

template <>
BOOL CStringT<wchar_t>::LoadString(UINT nID);

using CStringW = CStringT<wchar_t>;
using CStringA = CStringT<char>;
using CString = CStringW;

// Conversions with an explicit code page (CP_ACP, CP_OEMCP, CP_UTF8, ...).
CStringA WideToMultiByte(const wchar_t* text, UINT codePage, int length = -1);
CStringW MultiByteToWide(const char* text, UINT codePage, int length = -1);
// Strict UTF-8: false (out untouched) when the bytes are not valid UTF-8.
bool TryUtf8ToWide(const char* text, int length, CStringW& out);

// The conversion helpers in the class library's spelling, for expressions
// such as CW2A(text, CP_UTF8).
class CW2A {
public:
    explicit CW2A(const wchar_t* text, UINT codePage = CP_ACP) : m_s(WideToMultiByte(text, codePage)) {}
    operator const char*() const { return m_s.GetString(); }
    int length() const { return m_s.GetLength(); }

private:
    CStringA m_s;
};

class CA2W {
public:
    explicit CA2W(const char* text, UINT codePage = CP_ACP) : m_s(MultiByteToWide(text, codePage)) {}
    operator const wchar_t*() const { return m_s.GetString(); }

private:
    CStringW m_s;
};

// Field iSubString (from 0) of a text split at chSep into rString; FALSE
// (and empty) when the text has fewer fields.
BOOL AfxExtractSubString(CString& rString, LPCWSTR lpszFullString, int iSubString, wchar_t chSep = L'\n');
