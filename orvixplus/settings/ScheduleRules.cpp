#include "ScheduleRules.h"
#include <string.h>

namespace {

ScheduleClock g_pfnClock = NULL;

// Grace after an entry's end before another may start.
const long long kEndMargin = 10;

struct DayTime {
    int nYear, nMonth, nDay, nHour, nMinute, nSecond, nDayOfWeek;
};

BOOL BreakDown(time_t t, DayTime& out)
{
    struct tm tmLocal;
    if (!ScheduleLocalTime(t, &tmLocal))
        return FALSE;
    out.nYear = tmLocal.tm_year + 1900;
    out.nMonth = tmLocal.tm_mon + 1;
    out.nDay = tmLocal.tm_mday;
    out.nHour = tmLocal.tm_hour;
    out.nMinute = tmLocal.tm_min;
    out.nSecond = tmLocal.tm_sec;
    out.nDayOfWeek = tmLocal.tm_wday;
    return TRUE;
}

long DateKey(const DayTime& t) { return (t.nYear * 13L + t.nMonth) * 32L + t.nDay; }
long SecondOfDay(const DayTime& t) { return t.nHour * 3600L + t.nMinute * 60L + t.nSecond; }
BOOL SameMinuteOfDay(const DayTime& a, const DayTime& b)
{
    return a.nHour == b.nHour && a.nMinute == b.nMinute;
}
BOOL SameMinute(const DayTime& a, const DayTime& b)
{
    return DateKey(a) == DateKey(b) && SameMinuteOfDay(a, b);
}
BOOL IsWeekly(long nRepeat) { return nRepeat >= SCHEDULE_REPEAT_SUNDAY && nRepeat <= SCHEDULE_REPEAT_SATURDAY; }

// Interval overlap of [newStart, newStart + newDuration] with the existing
// entry's window [start, start + duration + margin], bounds inclusive.
BOOL Overlap(long long newStart, long newDuration, long long start, long duration)
{
    long long newEnd = newStart + (newDuration > 0 ? newDuration : 0);
    long long end = start + (duration > 0 ? duration : 0) + kEndMargin;
    return newStart <= end && newEnd >= start;
}

}  // namespace

ScheduleClock SetScheduleClock(ScheduleClock clock)
{
    ScheduleClock previous = g_pfnClock;
    g_pfnClock = clock;
    return previous;
}

time_t ScheduleNow()
{
    return g_pfnClock ? g_pfnClock() : time(NULL);
}

BOOL ScheduleLocalTime(time_t t, struct tm* out)
{
    const struct tm* pLocal = localtime(&t);
    if (!pLocal || !out)
        return FALSE;
    *out = *pLocal;
    return TRUE;
}

BOOL IsScheduleDue(const ScheduleRecord& record, time_t now)
{
    DayTime start, current;
    if (!BreakDown(record.tStart, start) || !BreakDown(now, current))
        return FALSE;
    switch (record.nRepeat) {
    case SCHEDULE_REPEAT_DAILY:
        return DateKey(start) <= DateKey(current) && SameMinuteOfDay(start, current) &&
               current.nSecond <= 20;
    case SCHEDULE_REPEAT_ONCE:
        return SameMinute(start, current) && current.nSecond <= 20;
    default:
        return current.nDayOfWeek == record.nRepeat && SameMinuteOfDay(start, current) &&
               current.nSecond <= 10;
    }
}

BOOL IsFinishedOnceEntry(const ScheduleRecord& record, time_t now)
{
    if (record.nRepeat != SCHEDULE_REPEAT_ONCE || record.bDeleteAfterRun != 1)
        return FALSE;
    DayTime start, current;
    if (!BreakDown(record.tStart, start) || !BreakDown(now, current))
        return FALSE;
    return SameMinute(start, current) && current.nSecond > 20;
}

BOOL DoSchedulesCollide(const ScheduleRecord& n, const ScheduleRecord& e)
{
    DayTime newStart, start;
    if (!BreakDown(n.tStart, newStart) || !BreakDown(e.tStart, start))
        return FALSE;
    BOOL bTimeOfDay = Overlap(SecondOfDay(newStart), n.nDuration, SecondOfDay(start), e.nDuration);

    if (n.nRepeat == SCHEDULE_REPEAT_ONCE) {
        if (e.nRepeat == SCHEDULE_REPEAT_ONCE)
            return Overlap(n.tStart, n.nDuration, e.tStart, e.nDuration);
        if (e.nRepeat == SCHEDULE_REPEAT_DAILY)
            return bTimeOfDay;
        return IsWeekly(e.nRepeat) && newStart.nDayOfWeek == e.nRepeat && bTimeOfDay;
    }
    if (n.nRepeat == SCHEDULE_REPEAT_DAILY) {
        // A once-only entry on a day before the daily one begins never meets it.
        if (e.nRepeat == SCHEDULE_REPEAT_ONCE)
            return DateKey(start) >= DateKey(newStart) && bTimeOfDay;
        return (e.nRepeat == SCHEDULE_REPEAT_DAILY || IsWeekly(e.nRepeat)) && bTimeOfDay;
    }
    if (!IsWeekly(n.nRepeat))
        return FALSE;
    if (e.nRepeat == SCHEDULE_REPEAT_ONCE)
        return start.nDayOfWeek == n.nRepeat && bTimeOfDay;
    if (e.nRepeat == SCHEDULE_REPEAT_DAILY)
        return bTimeOfDay;
    return e.nRepeat == n.nRepeat && bTimeOfDay;
}

int ParseRepeatType(LPCSTR text)
{
    static const char* const s_days[] = {"SUN", "MON", "TUE", "WED", "THU", "FRI", "SAT", "DAY"};
    if (!text)
        return SCHEDULE_REPEAT_ONCE;
    for (int i = 0; i < (int)(sizeof(s_days) / sizeof(s_days[0])); i++) {
        if (strcmp(text, s_days[i]) == 0)
            return i;
    }
    return SCHEDULE_REPEAT_ONCE;
}
