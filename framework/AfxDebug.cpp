#include "AfxDebug.h"

#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>

#include <vector>

void AfxTrace(LPCSTR format, ...)
{
    char small[512];
    va_list args;
    va_start(args, format);
    va_list again;
    va_copy(again, args);
    int needed = vsnprintf(small, sizeof(small), format, args);
    va_end(args);
    if (needed < 0) {
        va_end(again);
        return;
    }
    if (needed < (int)sizeof(small)) {
        OutputDebugStringA(small);
    } else {
        std::vector<char> big(needed + 1);
        vsnprintf(big.data(), big.size(), format, again);
        OutputDebugStringA(big.data());
    }
    va_end(again);
}

void AfxAssertFailedLine(LPCSTR file, int line)
{
    char text[MAX_PATH + 64];
    snprintf(text, sizeof(text), "ASSERT failed: %s(%d)\n", file, line);
    OutputDebugStringA(text);
    fputs(text, stderr);
    fflush(stderr);
    if (IsDebuggerPresent())
        DebugBreak();
    abort();
}
