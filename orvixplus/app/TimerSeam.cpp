#include "TimerSeam.h"
#include <stdlib.h>

UINT ScaledTimerPeriod(UINT ms)
{
    char text[32];
    DWORD n = GetEnvironmentVariableA("ORVIX_TIMER_DIVISOR", text, sizeof(text));
    if (n == 0 || n >= sizeof(text))
        return ms;
    long divisor = strtol(text, NULL, 10);
    if (divisor < 1)
        return ms;
    UINT scaled = ms / (UINT)divisor;
    return scaled ? scaled : 1;
}
