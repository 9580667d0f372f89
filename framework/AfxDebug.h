// Assertions and trace output. ASSERT is loud only in debug builds (_DEBUG):
// it reports file and line and stops the process, so a broken invariant is
// seen where it breaks instead of as corrupted data later. VERIFY still
// evaluates its expression in release builds. TRACE always goes to
// OutputDebugString (visible with WINEDEBUG=+debugstr under Wine).
#pragma once
#include <windows.h>
#include <stdio.h>

void AfxTrace(LPCSTR format, ...)
#ifdef __GNUC__
    __attribute__((format(__MINGW_PRINTF_FORMAT, 1, 2)))
#endif
    ;
void AfxAssertFailedLine(LPCSTR file, int line);

#ifdef _DEBUG
#define ASSERT(f) \
    do { if (!(f)) AfxAssertFailedLine(__FILE__, __LINE__); } while (0)
#define VERIFY(f) ASSERT(f)
#else
// sizeof keeps the operands "used" without evaluating them.
#define ASSERT(f) ((void)sizeof(!(f)))
#define VERIFY(f) ((void)(f))
#endif

#define TRACE AfxTrace
