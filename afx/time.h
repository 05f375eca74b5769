#pragma once
// CTime: seconds since 1970 (UTC); the broken-down accessors and Format give
// local time. CTimeSpan: a signed number of seconds.
#include "afx/string.h"

#include <ctime>

// winbase.h maps GetCurrentTime to GetTickCount.
#ifdef GetCurrentTime
#undef GetCurrentTime
#endif

class CTimeSpan {
public:
    CTimeSpan() = default;
    CTimeSpan(__time64_t seconds) : m_span(seconds) {}
    CTimeSpan(LONG days, int hours, int minutes, int seconds)
        : m_span(((static_cast<__time64_t>(days) * 24 + hours) * 60 + minutes) * 60 + seconds) {}

    LONGLONG GetDays() const { return m_span / 86400; }
    LONGLONG GetTotalHours() const { return m_span / 3600; }
    LONGLONG GetTotalMinutes() const { return m_span / 60; }
    LONGLONG GetTotalSeconds() const { return m_span; }
    LONG GetHours() const { return static_cast<LONG>(GetTotalHours() - GetDays() * 24); }
    LONG GetMinutes() const { return static_cast<LONG>(GetTotalMinutes() - GetTotalHours() * 60); }
    LONG GetSeconds() const { return static_cast<LONG>(GetTotalSeconds() - GetTotalMinutes() * 60); }
    __time64_t GetTimeSpan() const { return m_span; }

    CTimeSpan operator+(CTimeSpan o) const { return m_span + o.m_span; }
    CTimeSpan operator-(CTimeSpan o) const { return m_span - o.m_span; }
    bool operator==(CTimeSpan o) const { return m_span == o.m_span; }
    bool operator<(CTimeSpan o) const { return m_span < o.m_span; }
    bool operator>(CTimeSpan o) const { return m_span > o.m_span; }

private:
    __time64_t m_span = 0;
};

class CTime {
public:
    CTime() = default;
    CTime(__time64_t t) : m_time(t) {}
    // Local date and time; dst -1 lets the runtime decide.
    CTime(int year, int month, int day, int hour, int minute, int second, int dst = -1);
    explicit CTime(const SYSTEMTIME& localTime, int dst = -1);
    // A file time is UTC; it is kept as the same instant.
    explicit CTime(const FILETIME& fileTime, int dst = -1);

    static CTime GetCurrentTime();

    __time64_t GetTime() const { return m_time; }
    int GetYear() const { return local().tm_year + 1900; }
    int GetMonth() const { return local().tm_mon + 1; }
    int GetDay() const { return local().tm_mday; }
    int GetHour() const { return local().tm_hour; }
    int GetMinute() const { return local().tm_min; }
    int GetSecond() const { return local().tm_sec; }
    int GetDayOfWeek() const { return local().tm_wday + 1; }
    BOOL GetAsSystemTime(SYSTEMTIME& st) const;

    // strftime-style format of the local time.
    CString Format(LPCWSTR format) const;
    CString FormatGmt(LPCWSTR format) const;

    CTimeSpan operator-(CTime o) const { return CTimeSpan(m_time - o.m_time); }
    CTime operator-(CTimeSpan s) const { return CTime(m_time - s.GetTimeSpan()); }
    CTime operator+(CTimeSpan s) const { return CTime(m_time + s.GetTimeSpan()); }
    bool operator==(CTime o) const { return m_time == o.m_time; }
    bool operator!=(CTime o) const { return m_time != o.m_time; }
    bool operator<(CTime o) const { return m_time < o.m_time; }
    bool operator>(CTime o) const { return m_time > o.m_time; }
    bool operator<=(CTime o) const { return m_time <= o.m_time; }
    bool operator>=(CTime o) const { return m_time >= o.m_time; }

private:
    struct tm local() const;

    __time64_t m_time = 0;
};
