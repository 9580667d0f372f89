#include "SystemActions.h"
#include "Seams.h"

static BOOL IsWindows98Version(DWORD platform, DWORD major, DWORD minor)
{
    return platform == VER_PLATFORM_WIN32_WINDOWS && major == 4 && minor == 10;
}

BOOL IsWindows98()
{
    OSVERSIONINFOEXA ex = {};
    ex.dwOSVersionInfoSize = sizeof(ex);
    if (!GetVersionExA((OSVERSIONINFOA*)&ex)) {
        // Systems older than the extended record only know the basic one.
        OSVERSIONINFOA basic = {};
        basic.dwOSVersionInfoSize = sizeof(basic);
        if (!GetVersionExA(&basic))
            return FALSE;
        return IsWindows98Version(basic.dwPlatformId, basic.dwMajorVersion,
                                  basic.dwMinorVersion);
    }
    return IsWindows98Version(ex.dwPlatformId, ex.dwMajorVersion, ex.dwMinorVersion);
}

static void EnableShutdownPrivilege()
{
    HANDLE token;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token))
        return;   // Windows 98 has no tokens and needs no privilege
    TOKEN_PRIVILEGES tp = {};
    if (LookupPrivilegeValueA(NULL, "SeShutdownPrivilege", &tp.Privileges[0].Luid)) {
        tp.PrivilegeCount = 1;
        tp.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
        AdjustTokenPrivileges(token, FALSE, &tp, 0, NULL, NULL);
    }
    CloseHandle(token);
}

BOOL RestartWindows()
{
    EnableShutdownPrivilege();
    return FwExitWindowsEx(EWX_REBOOT | EWX_FORCE, 0);
}
