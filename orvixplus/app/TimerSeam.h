// The long timers (TV wall dwell, the minute's disk check, the schedule's
// check every 5 s) are divided by ORVIX_TIMER_DIVISOR when it is set, so
// tests see minutes pass in seconds.
#pragma once
#include <windows.h>

// ms divided by the divisor (at least 1 ms); ms itself without the variable
// or with a divisor below 1.
UINT ScaledTimerPeriod(UINT ms);
