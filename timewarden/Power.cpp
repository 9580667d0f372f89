#include "Power.h"
#include "Afx.h"
#include "ScheduleStore.h"
#include "Seams.h"

namespace {

class CTokenHandle {
public:
    CTokenHandle() : m_h(NULL) {}
    ~CTokenHandle() { if (m_h) ::CloseHandle(m_h); }
    HANDLE* operator&() { return &m_h; }
    operator HANDLE() const { return m_h; }
private:
    HANDLE m_h;
};

}  // namespace

BOOL IsWindows2000OrLater()
{
    OSVERSIONINFOA info = {};
    info.dwOSVersionInfoSize = sizeof(info);
    return ::GetVersionExA(&info) && info.dwMajorVersion >= 5;
}

BOOL EnableShutdownPrivilege()
{
    CTokenHandle token;
    if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token))
        return FALSE;
    TOKEN_PRIVILEGES privileges = {};
    privileges.PrivilegeCount = 1;
    privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    if (!::LookupPrivilegeValueA(NULL, SE_SHUTDOWN_NAME, &privileges.Privileges[0].Luid))
        return FALSE;
    // Success with ERROR_NOT_ALL_ASSIGNED means the privilege is not ours.
    ::SetLastError(0);
    ::AdjustTokenPrivileges(token, FALSE, &privileges, 0, NULL, NULL);
    return ::GetLastError() == 0;
}

BOOL ShutdownPC()
{
    UINT flags = SHUTDOWN_FLAGS_OLD;
    if (IsWindows2000OrLater()) {
        if (!EnableShutdownPrivilege())
            return FALSE;
        flags = SHUTDOWN_FLAGS;
    }
    return FwExitWindowsEx(flags, 0);
}

void EnterStandby()
{
    EnableShutdownPrivilege();
    FwSetSystemPowerState(TRUE, FALSE);
}

void ShutdownAfterRecording()
{
    EnableShutdownPrivilege();
    if (!FwExitWindowsEx(SHUTDOWN_FLAGS, 0))
        AfxMessageBox("ExitWindowsEx");
}

BOOL CWakeTimer::Arm(time_t start)
{
    if (!start)
        return FALSE;
    if (!m_hTimer)
        m_hTimer = ::CreateWaitableTimerA(NULL, TRUE, WAKE_TIMER_NAME);
    if (!m_hTimer)
        return FALSE;
    LARGE_INTEGER due = WakeDueTime(start);
    return FwSetWaitableTimer(m_hTimer, &due, 0, NULL, NULL, TRUE);
}

void CWakeTimer::Close()
{
    if (m_hTimer)
        ::CloseHandle(m_hTimer);
    m_hTimer = NULL;
}

void WakeDisplay()
{
    FwSetThreadExecutionState(ES_DISPLAY_REQUIRED);
    BYTE scan = (BYTE)::MapVirtualKeyA(1, 0);
    FwKeybdEvent(1, scan, 0, 0);
    FwKeybdEvent(1, scan, KEYEVENTF_KEYUP, 0);
    FwSetThreadExecutionState(ES_DISPLAY_REQUIRED);
    HANDLE hTimer = ::OpenWaitableTimerA(TIMER_ALL_ACCESS, FALSE, WAKE_TIMER_NAME);
    if (hTimer)
        ::CloseHandle(hTimer);
}
