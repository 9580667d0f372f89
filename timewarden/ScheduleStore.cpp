#include "ScheduleStore.h"
#include "ScheduleRules.h"

CScheduleList* g_pScheduleList = NULL;
CString g_strScheduleFile;

namespace {

// The last second of a minute in which a repeating entry still counts as
// due: with the due check every 20 seconds, every phase of the ticks meets
// the window once.
const int kRepeatWindow = 20;

BOOL SameDate(const struct tm& a, const struct tm& b)
{
    return a.tm_year == b.tm_year && a.tm_mon == b.tm_mon && a.tm_mday == b.tm_mday;
}

long DateKey(const struct tm& t) { return (t.tm_year * 13L + t.tm_mon) * 32L + t.tm_mday; }

// Local date of `day` moved by `days` calendar days, at hour:minute:00, with
// daylight saving decided for that date.
time_t AtLocalTime(const struct tm& day, int days, int hour, int minute)
{
    struct tm t = {};
    t.tm_year = day.tm_year;
    t.tm_mon = day.tm_mon;
    t.tm_mday = day.tm_mday + days;
    t.tm_hour = hour;
    t.tm_min = minute;
    t.tm_sec = 0;
    t.tm_isdst = -1;
    time_t result = mktime(&t);
    return result == (time_t)-1 ? 0 : result;
}

}  // namespace

void LoadScheduleFile()
{
    if (g_pScheduleList)
        g_pScheduleList->Load(g_strScheduleFile);
}

void AddScheduleEntry(const ScheduleRecord& record)
{
    if (!g_pScheduleList)
        return;
    CScheduleItem item(record);
    g_pScheduleList->Add(&item);
}

void RemoveScheduleEntry(const ScheduleRecord& record)
{
    if (!g_pScheduleList)
        return;
    CScheduleItem item(record);
    g_pScheduleList->Remove(&item);
}

BOOL IsDueAt(const ScheduleRecord& record, time_t t)
{
    struct tm start, when;
    if (!ScheduleLocalTime(record.tStart, &start) || !ScheduleLocalTime(t, &when))
        return FALSE;
    if (start.tm_hour != when.tm_hour || start.tm_min != when.tm_min)
        return FALSE;
    switch (record.nRepeat) {
    case SCHEDULE_REPEAT_ONCE:
        return SameDate(start, when);
    case SCHEDULE_REPEAT_DAILY:
        return DateKey(start) <= DateKey(when) && when.tm_sec <= kRepeatWindow;
    default:
        return record.nRepeat == when.tm_wday && when.tm_sec <= kRepeatWindow;
    }
}

CScheduleItem* FindDueSchedule()
{
    if (!g_pScheduleList)
        return NULL;
    time_t t = ScheduleNow() + kScheduleLookAhead;
    for (int i = 0; i < g_pScheduleList->GetCount(); i++) {
        CScheduleItem* pItem = g_pScheduleList->GetAt(i);
        if (pItem && IsDueAt(pItem->m_record, t))
            return pItem;
    }
    return NULL;
}

time_t NextStartOf(const ScheduleRecord& record, time_t now)
{
    if (record.nRepeat == SCHEDULE_REPEAT_ONCE)
        return record.tStart >= now ? record.tStart : 0;
    struct tm start, today;
    if (!ScheduleLocalTime(record.tStart, &start) || !ScheduleLocalTime(now, &today))
        return 0;
    int days = 0;
    int step = 7;
    if (record.nRepeat == SCHEDULE_REPEAT_DAILY) {
        step = 1;
    } else if (record.nRepeat >= SCHEDULE_REPEAT_SUNDAY && record.nRepeat <= SCHEDULE_REPEAT_SATURDAY) {
        days = (record.nRepeat - today.tm_wday + 7) % 7;
    } else {
        return 0;
    }
    time_t candidate = AtLocalTime(today, days, start.tm_hour, start.tm_min);
    // Today's time has passed: the next day, or the same weekday next week,
    // so a PC asleep until then still wakes for it.
    if (candidate && candidate < now)
        candidate = AtLocalTime(today, days + step, start.tm_hour, start.tm_min);
    return candidate;
}

time_t FindNextScheduleTime()
{
    if (!g_pScheduleList || g_pScheduleList->GetCount() == 0)
        return 0;
    time_t now = ScheduleNow();
    time_t limit = now + kWakeHorizon;
    time_t best = limit;
    for (int i = 0; i < g_pScheduleList->GetCount(); i++) {
        CScheduleItem* pItem = g_pScheduleList->GetAt(i);
        time_t t = pItem ? NextStartOf(pItem->m_record, now) : 0;
        if (t && t < best)
            best = t;
    }
    return best != limit ? best : 0;
}

LARGE_INTEGER WakeDueTime(time_t start)
{
    // File times count 100 ns from 1601; time_t counts seconds from 1970, UTC.
    const long long kEpochDiff = 11644473600LL;
    LARGE_INTEGER due;
    due.QuadPart = ((long long)start - kWakeLead + kEpochDiff) * 10000000LL;
    return due;
}

BOOL HasScheduleConflict(const ScheduleRecord& record)
{
    CScheduleItem item(record);
    return g_pScheduleList && g_pScheduleList->HasConflict(&item);
}
