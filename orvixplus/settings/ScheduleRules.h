// The rules both programs apply to schedule entries, free of any window or list
// so that tests and Timewarden can use them directly. Times are broken down in
// the system's local time.
#pragma once
#include <time.h>
#include "ScheduleRecord.h"

// "Now" for the schedule checks. The programs use the real clock; tests put in
// their own. Returns the previous clock; NULL restores the real one.
typedef time_t (*ScheduleClock)();
ScheduleClock SetScheduleClock(ScheduleClock clock);
time_t ScheduleNow();

// Local broken-down time of t; FALSE when the run-time cannot break it down.
BOOL ScheduleLocalTime(time_t t, struct tm* out);

// OrvixPlus's own due check (no look-ahead): daily and once-only entries in
// the first 20 seconds of their minute, weekday entries in the first 10.
BOOL IsScheduleDue(const ScheduleRecord& record, time_t now);

// A once-only entry marked for deletion whose minute has passed its due window.
BOOL IsFinishedOnceEntry(const ScheduleRecord& record, time_t now);

// Whether a new entry would overlap an existing one. Each entry's window is
// its start to start + duration + 10 s, inclusive; overlapping windows collide,
// including one that holds the other wholly inside it.
BOOL DoSchedulesCollide(const ScheduleRecord& newRecord, const ScheduleRecord& existing);

// "SUN".."SAT" -> 0..6, "DAY" -> 7, anything else -> 8 (once). Case-sensitive.
int ParseRepeatType(LPCSTR text);
