#include "DebugTrace.h"
#include <stdio.h>

void TraceFailed(HRESULT hr, const char* pszCall)
{
    char line[1024];
    _snprintf(line, sizeof(line) - 1, "FAILED(0x%lx) hr = %s\n", (unsigned long)hr, pszCall);
    line[sizeof(line) - 1] = '\0';
    OutputDebugStringA(line);
}
