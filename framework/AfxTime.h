// CTime, a moment (seconds since 1970, shown in local time), and CTimeSpan,
// a signed number of seconds. Both keep 64-bit seconds inside; time_t at the
// interface is the toolchain's (32-bit in this build).
#pragma once
#include <windows.h>
#include <time.h>

#include "AfxString.h"

// winbase.h keeps a 16-bit era macro of this name; it would turn
// CTime::GetCurrentTime() into a call to GetTickCount.
#ifdef GetCurrentTime
#undef GetCurrentTime
#endif

class CTimeSpan {
public:
    CTimeSpan() {}
    CTimeSpan(time_t time) : m_span(time) {}
    CTimeSpan(LONG lDays, int nHours, int nMins, int nSecs)
        : m_span(((__time64_t)lDays * 24 + nHours) * 3600 + (__time64_t)nMins * 60 + nSecs) {}

    LONG GetDays() const { return (LONG)(m_span / 86400); }
    LONG GetTotalHours() const { return (LONG)(m_span / 3600); }
    int GetHours() const { return (int)(GetTotalHours() - GetDays() * 24); }
    LONG GetTotalMinutes() const { return (LONG)(m_span / 60); }
    int GetMinutes() const { return (int)(GetTotalMinutes() - GetTotalHours() * 60); }
    LONG GetTotalSeconds() const { return (LONG)m_span; }
    int GetSeconds() const { return (int)(GetTotalSeconds() - GetTotalMinutes() * 60); }
    __time64_t GetTimeSpan() const { return m_span; }

    // %D whole days, %H hours of the day part (two digits: 25 hours shows
    // 01), %M minutes and %S seconds of the hour part, %% a percent sign.
    CString Format(LPCSTR pszFormat) const;

    CTimeSpan operator+(CTimeSpan other) const { return FromSeconds(m_span + other.m_span); }
    CTimeSpan operator-(CTimeSpan other) const { return FromSeconds(m_span - other.m_span); }
    CTimeSpan operator-() const { return FromSeconds(-m_span); }
    CTimeSpan& operator+=(CTimeSpan other) { m_span += other.m_span; return *this; }
    CTimeSpan& operator-=(CTimeSpan other) { m_span -= other.m_span; return *this; }
    bool operator==(CTimeSpan other) const { return m_span == other.m_span; }
    bool operator!=(CTimeSpan other) const { return m_span != other.m_span; }
    bool operator<(CTimeSpan other) const { return m_span < other.m_span; }
    bool operator>(CTimeSpan other) const { return m_span > other.m_span; }
    bool operator<=(CTimeSpan other) const { return m_span <= other.m_span; }
    bool operator>=(CTimeSpan other) const { return m_span >= other.m_span; }

    static CTimeSpan FromSeconds(__time64_t seconds)
    {
        CTimeSpan span;
        span.m_span = seconds;
        return span;
    }

private:
    __time64_t m_span = 0;
};

class CTime {
public:
    CTime() {}
    CTime(time_t time) : m_time(time) {}
    // Local date and time, normalised as mktime does (month 13 is January
    // of the next year). nDST: 0 standard time, 1 daylight time, -1 decide.
    CTime(int nYear, int nMonth, int nDay, int nHour, int nMin, int nSec, int nDST = -1);

    static CTime GetCurrentTime();

    time_t GetTime() const { return (time_t)m_time; }
    __time64_t GetTime64() const { return m_time; }

    // The parts in local time; 0 for a time that has no local form.
    int GetYear() const;
    int GetMonth() const;      // 1-12
    int GetDay() const;        // 1-31
    int GetHour() const;
    int GetMinute() const;
    int GetSecond() const;
    int GetDayOfWeek() const;  // 1 = Sunday ... 7 = Saturday

    // strftime codes, local time. Empty for a time that has no local form.
    CString Format(LPCSTR pszFormat) const;

    CTime operator+(CTimeSpan span) const { return FromSeconds(m_time + span.GetTimeSpan()); }
    CTime operator-(CTimeSpan span) const { return FromSeconds(m_time - span.GetTimeSpan()); }
    CTimeSpan operator-(CTime other) const { return CTimeSpan::FromSeconds(m_time - other.m_time); }
    CTime& operator+=(CTimeSpan span) { m_time += span.GetTimeSpan(); return *this; }
    CTime& operator-=(CTimeSpan span) { m_time -= span.GetTimeSpan(); return *this; }
    bool operator==(CTime other) const { return m_time == other.m_time; }
    bool operator!=(CTime other) const { return m_time != other.m_time; }
    bool operator<(CTime other) const { return m_time < other.m_time; }
    bool operator>(CTime other) const { return m_time > other.m_time; }
    bool operator<=(CTime other) const { return m_time <= other.m_time; }
    bool operator>=(CTime other) const { return m_time >= other.m_time; }

    static CTime FromSeconds(__time64_t seconds)
    {
        CTime time;
        time.m_time = seconds;
        return time;
    }

private:
    bool LocalParts(struct tm* parts) const;

    __time64_t m_time = 0;
};
