#include <gtest/gtest.h>
#include <windows.h>

extern "C" ULONGLONG OrvixWidenTickCount(DWORD(WINAPI* read)(void));

namespace {
DWORD g_ticks[8];
int g_next;
DWORD WINAPI NextTick() { return g_ticks[g_next++]; }
}

// Where the system has no 64-bit tick count, the 32-bit one is widened: a tick
// below the last one seen is one more wrap, and only that.
TEST(TickCount64Test, TheWidenedCountGoesOnPastTheWrap)
{
    const DWORD ticks[] = {0xFFFFFF00u, 0xFFFFFFFFu, 0x10u, 0x10u, 0x7FFFFFFFu, 0xFFFFFFF0u, 0x5u};
    memcpy(g_ticks, ticks, sizeof(ticks));
    g_next = 0;
    ULONGLONG first = OrvixWidenTickCount(NextTick);
    ULONGLONG base = first & ~0xFFFFFFFFull;
    EXPECT_EQ(base + 0xFFFFFF00u, first);
    EXPECT_EQ(base + 0xFFFFFFFFu, OrvixWidenTickCount(NextTick));
    EXPECT_EQ(base + 0x100000010ull, OrvixWidenTickCount(NextTick));
    EXPECT_EQ(base + 0x100000010ull, OrvixWidenTickCount(NextTick)) << "the same tick is no wrap";
    EXPECT_EQ(base + 0x17FFFFFFFull, OrvixWidenTickCount(NextTick));
    EXPECT_EQ(base + 0x1FFFFFFF0ull, OrvixWidenTickCount(NextTick));
    EXPECT_EQ(base + 0x200000005ull, OrvixWidenTickCount(NextTick));
}

// The thread library's waits go through the program's own GetTickCount64:
// it must follow the system's count where there is one.
TEST(TickCount64Test, TheProgramsCountFollowsTheSystems)
{
    extern ULONGLONG (WINAPI* orvix_GetTickCount64)(void) __asm__(
#if defined(__i386__)
        "__imp__GetTickCount64@0"
#else
        "__imp_GetTickCount64"
#endif
    );
    ULONGLONG ours = orvix_GetTickCount64();
    DWORD system = GetTickCount();
    EXPECT_LE((DWORD)(system - (DWORD)ours), 50u);
    Sleep(30);
    ULONGLONG later = orvix_GetTickCount64();
    EXPECT_GE(later - ours, 20u);
    EXPECT_LT(later - ours, 2000u);
}
