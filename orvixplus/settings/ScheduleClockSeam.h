// Tests move the programs' schedule clock without touching the system's:
// ORVIX_SCHEDULE_CLOCK_OFFSET holds a whole number of seconds (it may be
// negative) that the schedule checks add to the real time.
#pragma once
#include <windows.h>

#define SCHEDULE_CLOCK_OFFSET_VARIABLE "ORVIX_SCHEDULE_CLOCK_OFFSET"

// Reads the variable and, when it holds a number, makes ScheduleNow() the
// real time plus that many seconds. Without it, or with anything but a
// number, the clock stays as it is and the result is FALSE.
BOOL InstallScheduleClockOffset();
// The offset in use, 0 when none was installed.
long long ScheduleClockOffset();
