// Local times and records for the schedule tests, and a clock they can set.
#pragma once
#include <time.h>
#include "ScheduleRecord.h"
#include "ScheduleRules.h"

inline time_t LocalTime(int year, int month, int day, int hour, int minute, int second = 0)
{
    struct tm t = {};
    t.tm_year = year - 1900;
    t.tm_mon = month - 1;
    t.tm_mday = day;
    t.tm_hour = hour;
    t.tm_min = minute;
    t.tm_sec = second;
    t.tm_isdst = -1;
    return mktime(&t);
}

// An entry with every field the tests choose.
inline ScheduleRecord Entry(time_t start, LONG duration, LONG repeat, LONG deleteAfterRun, LONG source, LONG mode,
                            LONG after, LONG tvChannel, LONG cableChannel)
{
    ScheduleRecord r = {};
    r.tStart = (LONG)start;
    r.nDuration = duration;
    r.nRepeat = repeat;
    r.nSource = source;
    r.nTvChannel = tvChannel;
    r.nCableChannel = cableChannel;
    r.nMode = mode;
    r.nAfterAction = after;
    r.bDeleteAfterRun = deleteAfterRun;
    return r;
}

// A recording on antenna channel 5 (cable 7) with nothing to do after it.
inline ScheduleRecord Entry(time_t start, LONG duration, LONG repeat, LONG deleteAfterRun = 0)
{
    return Entry(start, duration, repeat, deleteAfterRun, SCHEDULE_SOURCE_TV, SCHEDULE_MODE_RECORD,
                 SCHEDULE_AFTER_NOTHING, 5, 7);
}

// Sets the schedule clock while it lives.
class FixedClock {
public:
    explicit FixedClock(time_t now) : m_previous(SetScheduleClock(&FixedClock::Now)) { s_now = now; }
    ~FixedClock() { SetScheduleClock(m_previous); }
    void Set(time_t now) { s_now = now; }
private:
    static time_t Now() { return s_now; }
    static inline time_t s_now = 0;
    ScheduleClock m_previous;
};
