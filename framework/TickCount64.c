/* GetTickCount64 for systems that lack it.
 *
 * The thread library the compiler links into every binary times its waits
 * with kernel32's GetTickCount64, which Windows XP does not export: a binary
 * importing it does not load there at all. This file defines the import's
 * pointer itself, so the linker binds those calls here instead of to
 * kernel32; it is linked as an object into every program and DLL (an archive
 * member would be looked at before the thread library asks for the name).
 *
 * Where the system has GetTickCount64 the call goes to it. Elsewhere the
 * 32-bit tick count is widened by counting its wraps (every 49.7 days); the
 * last value seen is kept in one 64-bit word changed by compare-and-swap, so
 * threads asking at once never count one wrap twice. The first caller on a
 * system must ask at least once every 49.7 days, which any program that waits
 * on a timeout does. */
#include <windows.h>

typedef ULONGLONG(WINAPI *TickCount64Fn)(void);

static TickCount64Fn volatile s_systemTickCount64;
static LONG volatile s_looked;
static ULONGLONG volatile s_widened; /* wraps in the high half, last tick in the low */

/* Widens a 32-bit tick read after the last one given. */
ULONGLONG OrvixWidenTickCount(DWORD(WINAPI *read)(void))
{
    for (;;) {
        ULONGLONG last = s_widened;
        DWORD now = read();
        DWORD wraps = (DWORD)(last >> 32);
        if (now < (DWORD)last)
            ++wraps;
        ULONGLONG next = ((ULONGLONG)wraps << 32) | now;
        if (__sync_bool_compare_and_swap(&s_widened, last, next))
            return next;
    }
}

static ULONGLONG WINAPI OrvixTickCount64(void)
{
    /* Racing first callers look the name up twice and store the same value. */
    if (!s_looked) {
        HMODULE kernel = GetModuleHandleA("kernel32.dll");
        s_systemTickCount64 =
            kernel ? (TickCount64Fn)(void (*)(void))GetProcAddress(kernel, "GetTickCount64") : NULL;
        InterlockedExchange((LONG volatile *)&s_looked, 1);
    }
    TickCount64Fn system = s_systemTickCount64;
    return system ? system() : OrvixWidenTickCount(GetTickCount);
}

/* The name the compiler gives kernel32's import pointer: decorated with the
 * stdcall suffix on i686, plain on x86_64. */
#if defined(__i386__)
#define ORVIX_IMP_TICKCOUNT64 "__imp__GetTickCount64@0"
#else
#define ORVIX_IMP_TICKCOUNT64 "__imp_GetTickCount64"
#endif
TickCount64Fn orvix_imp_GetTickCount64 __asm__(ORVIX_IMP_TICKCOUNT64) = OrvixTickCount64;
