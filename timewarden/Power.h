// Stand-by, shut-down and the wake timer. The requests themselves go through
// the framework's seams, so tests see them instead of the PC going down.
#pragma once
#include <windows.h>
#include <time.h>

#define WAKE_TIMER_NAME "WaitableTimer"

// EWX_SHUTDOWN | EWX_FORCE, plus EWX_POWEROFF where the privilege can be had.
enum { SHUTDOWN_FLAGS_OLD = 0x5, SHUTDOWN_FLAGS = 0xd };

BOOL IsWindows2000OrLater();
// Enables SeShutdownPrivilege for this process; FALSE when any step fails or
// the privilege was not granted.
BOOL EnableShutdownPrivilege();
// TRUE when the system took the shut-down request.
BOOL ShutdownPC();
// The stand-by and shut-down that OrvixPlus asks for after a recording.
void EnterStandby();
void ShutdownAfterRecording();

// The named timer that wakes the PC for the next recording: one handle for
// the run, armed again at every suspend.
class CWakeTimer {
public:
    CWakeTimer() : m_hTimer(NULL) {}
    ~CWakeTimer() { Close(); }
    // Arms the timer to resume the PC before the start at t; FALSE (nothing
    // armed) when t is 0 or the timer cannot be had.
    BOOL Arm(time_t start);
    void Close();
private:
    HANDLE m_hTimer;
    CWakeTimer(const CWakeTimer&);
    CWakeTimer& operator=(const CWakeTimer&);
};

// After a resume the system woke by itself: count it as user input so the
// display comes on for the recording.
void WakeDisplay();
