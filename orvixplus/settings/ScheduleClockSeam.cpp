#include "ScheduleClockSeam.h"
#include <errno.h>
#include <stdlib.h>
#include <time.h>
#include "ScheduleRules.h"

namespace {

long long g_nOffset = 0;

time_t OffsetClock()
{
    return (time_t)((long long)time(NULL) + g_nOffset);
}

}  // namespace

BOOL InstallScheduleClockOffset()
{
    char text[32];
    DWORD n = GetEnvironmentVariableA(SCHEDULE_CLOCK_OFFSET_VARIABLE, text, sizeof(text));
    if (n == 0 || n >= sizeof(text))
        return FALSE;
    char* end = NULL;
    errno = 0;
    long long offset = strtoll(text, &end, 10);
    if (errno != 0 || end == text || *end != 0)
        return FALSE;
    g_nOffset = offset;
    SetScheduleClock(&OffsetClock);
    return TRUE;
}

long long ScheduleClockOffset()
{
    return g_nOffset;
}
