#include "afx/time.h"

CTime::CTime(int year, int month, int day, int hour, int minute, int second, int dst) {
    struct tm t = {};
    t.tm_year = year - 1900;
    t.tm_mon = month - 1;
    t.tm_mday = day;
    t.tm_hour = hour;
    t.tm_min = minute;
    t.tm_sec = second;
    t.tm_isdst = dst;
    m_time = _mktime64(&t);
}

CTime::CTime(const SYSTEMTIME& st, int dst)
    : CTime(st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond, dst) {}

CTime::CTime(const FILETIME& ft, int) {
    ULARGE_INTEGER u;
    u.LowPart = ft.dwLowDateTime;
    u.HighPart = ft.dwHighDateTime;
    // 100 ns ticks since 1601 to seconds since 1970.
    m_time = static_cast<__time64_t>(u.QuadPart / 10000000ULL) - 11644473600LL;
}

CTime CTime::GetCurrentTime() {
    return CTime(_time64(nullptr));
}

struct tm CTime::local() const {
    struct tm t = {};
    __time64_t v = m_time;
    _localtime64_s(&t, &v);
    return t;
}

BOOL CTime::GetAsSystemTime(SYSTEMTIME& st) const {
    struct tm t = local();
    st = SYSTEMTIME{};
    st.wYear = static_cast<WORD>(t.tm_year + 1900);
    st.wMonth = static_cast<WORD>(t.tm_mon + 1);
    st.wDay = static_cast<WORD>(t.tm_mday);
    st.wDayOfWeek = static_cast<WORD>(t.tm_wday);
    st.wHour = static_cast<WORD>(t.tm_hour);
    st.wMinute = static_cast<WORD>(t.tm_min);
    st.wSecond = static_cast<WORD>(t.tm_sec);
    return TRUE;
}

namespace {

CString formatTm(LPCWSTR format, const struct tm& t) {
    if (!format || !*format) return CString();
    wchar_t buf[512];
    size_t n = wcsftime(buf, 512, format, &t);
    return CString(buf, static_cast<int>(n));
}

}  // namespace

CString CTime::Format(LPCWSTR format) const {
    return formatTm(format, local());
}

CString CTime::FormatGmt(LPCWSTR format) const {
    struct tm t = {};
    __time64_t v = m_time;
    _gmtime64_s(&t, &v);
    return formatTm(format, t);
}
