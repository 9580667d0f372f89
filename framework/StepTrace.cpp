#include "StepTrace.h"
#include <stdio.h>

namespace {

// 0 not yet looked up, 1 off, 2 on.
LONG g_state = 0;
char g_path[MAX_PATH];

bool TraceOn()
{
    LONG state = g_state;
    if (state == 0) {
        DWORD n = GetEnvironmentVariableA("ORVIX_STEP_TRACE", g_path, sizeof(g_path));
        state = n > 0 && n < sizeof(g_path) ? 2 : 1;
        InterlockedExchange(&g_state, state);
    }
    return state == 2;
}

}  // namespace

void FwTraceStep(LPCSTR pszStep)
{
    if (!TraceOn() || !pszStep)
        return;
    LARGE_INTEGER t, f;
    QueryPerformanceCounter(&t);
    QueryPerformanceFrequency(&f);
    double ms = (double)t.QuadPart * 1000.0 / (double)f.QuadPart;
    if (FILE* file = fopen(g_path, "ab")) {
        fprintf(file, "%.3f %s\r\n", ms, pszStep);
        fclose(file);
    }
}
