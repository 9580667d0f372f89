// Timewarden's copy of the schedule and the rules it applies to it: which
// entry makes OrvixPlus worth starting now, and when the PC must be awake for
// the next one. "Now" is ScheduleNow(), so tests set the clock.
#pragma once
#include <time.h>
#include "ScheduleList.h"

// The list lives from the main dialog's initialisation to the end of the run;
// NULL before. Every operation below does nothing without it.
extern CScheduleList* g_pScheduleList;
// Full path of schedulefile.she in the program folder.
extern CString g_strScheduleFile;

// How far ahead of the clock the due check looks: OrvixPlus needs this long to
// start before its own check catches the entry.
const int kScheduleLookAhead = 40;
// The wake timer fires this long before a start.
const int kWakeLead = 120;
// Starts further away than this are left to the next suspend.
const int kWakeHorizon = 30 * 24 * 3600;

// Re-reads the file; a missing or unreadable file keeps the list as it is.
void LoadScheduleFile();
void AddScheduleEntry(const ScheduleRecord& record);
// Removes the first entry with the record's start, duration and repeat.
void RemoveScheduleEntry(const ScheduleRecord& record);
// The first entry due when the clock reads now + kScheduleLookAhead, or NULL.
CScheduleItem* FindDueSchedule();
// Start (seconds since 1970) of the earliest coming entry within
// kWakeHorizon, 0 when there is none.
time_t FindNextScheduleTime();
BOOL HasScheduleConflict(const ScheduleRecord& record);

// The rules themselves, for one record.
// Whether the entry falls due at t (the look-ahead already added): in t's
// minute, within the first 21 seconds for repeating entries.
BOOL IsDueAt(const ScheduleRecord& record, time_t t);
// The entry's next start not before now, 0 when it has none. Days are
// counted on the calendar, so a start across a daylight-saving change keeps
// its local time of day.
time_t NextStartOf(const ScheduleRecord& record, time_t now);
// The absolute due time (UTC file time) at which the wake timer must fire for
// a start at t.
LARGE_INTEGER WakeDueTime(time_t start);
