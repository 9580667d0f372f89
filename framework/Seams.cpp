#include "Seams.h"
#include <stdio.h>
#include <stdlib.h>

static FwMessageBoxHook g_msgBoxHook = NULL;

FwMessageBoxHook FwSetMessageBoxHook(FwMessageBoxHook hook)
{
    return (FwMessageBoxHook)InterlockedExchangePointer((PVOID*)&g_msgBoxHook, (PVOID)hook);
}

int FwDefaultAnswer(UINT flags)
{
    switch (flags & MB_TYPEMASK) {
    case MB_YESNO:
    case MB_YESNOCANCEL:     return IDYES;
    case MB_ABORTRETRYIGNORE: return IDABORT;
    case MB_RETRYCANCEL:     return IDRETRY;
    default:                 return IDOK;
    }
}

// Appends one line to the file named by an environment variable; false when
// the variable is not set.
static bool AppendToEnvLog(const char* var, const char* line)
{
    char path[MAX_PATH];
    DWORD n = GetEnvironmentVariableA(var, path, sizeof(path));
    if (n == 0 || n >= sizeof(path))
        return false;
    FILE* f = fopen(path, "ab");
    if (f) {
        fputs(line, f);
        fputs("\r\n", f);
        fclose(f);
    }
    return true;
}

static FwMessageBoxNotify g_msgBoxNotify = NULL;

FwMessageBoxNotify FwSetMessageBoxNotify(FwMessageBoxNotify notify)
{
    return (FwMessageBoxNotify)InterlockedExchangePointer((PVOID*)&g_msgBoxNotify, (PVOID)notify);
}

static int ShowMessageBox(HWND owner, LPCSTR text, LPCSTR caption, UINT flags);

int FwMessageBox(HWND owner, LPCSTR text, LPCSTR caption, UINT flags)
{
    FwMessageBoxNotify notify = g_msgBoxNotify;
    if (notify)
        notify(TRUE);
    int answer = ShowMessageBox(owner, text, caption, flags);
    if (notify)
        notify(FALSE);
    return answer;
}

static int ShowMessageBox(HWND owner, LPCSTR text, LPCSTR caption, UINT flags)
{
    if (!text) text = "";
    if (!caption) caption = "";
    FwMessageBoxHook hook = g_msgBoxHook;
    if (hook)
        return hook(owner, text, caption, flags);

    size_t len = strlen(text) + strlen(caption) + 32;
    char* line = (char*)malloc(len);
    if (line) {
        snprintf(line, len, "%s\t%s\t0x%x", caption, text, flags);
        bool logged = AppendToEnvLog("ORVIX_MSGBOX_LOG", line);
        free(line);
        if (logged) {
            char answer[16];
            if (GetEnvironmentVariableA("ORVIX_MSGBOX_ANSWER", answer, sizeof(answer)))
                return atoi(answer);
            return FwDefaultAnswer(flags);
        }
    }
    return MessageBoxA(owner, text, caption, flags);
}

BOOL FwExitWindowsEx(UINT flags, DWORD reason)
{
    char line[64];
    snprintf(line, sizeof(line), "ExitWindowsEx 0x%x 0x%lx", flags, (unsigned long)reason);
    if (AppendToEnvLog("ORVIX_POWER_LOG", line))
        return TRUE;
    return ExitWindowsEx(flags, reason);
}

BOOL FwSetSystemPowerState(BOOL suspend, BOOL force)
{
    char line[64];
    snprintf(line, sizeof(line), "SetSystemPowerState %d %d", suspend ? 1 : 0, force ? 1 : 0);
    if (AppendToEnvLog("ORVIX_POWER_LOG", line))
        return TRUE;
    return SetSystemPowerState(suspend, force);
}

EXECUTION_STATE FwSetThreadExecutionState(EXECUTION_STATE flags)
{
    char line[64];
    snprintf(line, sizeof(line), "SetThreadExecutionState 0x%lx", (unsigned long)flags);
    if (AppendToEnvLog("ORVIX_POWER_LOG", line))
        return ES_SYSTEM_REQUIRED;  // any non-zero previous state: the call "worked"
    return SetThreadExecutionState(flags);
}

BOOL FwSetWaitableTimer(HANDLE timer, const LARGE_INTEGER* dueTime, LONG period,
                        PTIMERAPCROUTINE completion, LPVOID arg, BOOL resume)
{
    char when[48] = "?";
    if (dueTime && dueTime->QuadPart >= 0) {
        FILETIME ft;
        ft.dwLowDateTime = dueTime->LowPart;
        ft.dwHighDateTime = (DWORD)dueTime->HighPart;
        SYSTEMTIME st;
        if (FileTimeToSystemTime(&ft, &st))
            snprintf(when, sizeof(when), "%04u-%02u-%02u %02u:%02u:%02u", st.wYear, st.wMonth,
                     st.wDay, st.wHour, st.wMinute, st.wSecond);
    } else if (dueTime) {
        snprintf(when, sizeof(when), "+%lldms", (long long)(-dueTime->QuadPart / 10000));
    }
    char line[96];
    snprintf(line, sizeof(line), "SetWaitableTimer %s %d", when, resume ? 1 : 0);
    if (AppendToEnvLog("ORVIX_POWER_LOG", line))
        return TRUE;
    return SetWaitableTimer(timer, dueTime, period, completion, arg, resume);
}

void FwKeybdEvent(BYTE vk, BYTE scan, DWORD flags, ULONG_PTR extraInfo)
{
    char line[64];
    snprintf(line, sizeof(line), "keybd_event 0x%x 0x%x 0x%lx", vk, scan, (unsigned long)flags);
    if (AppendToEnvLog("ORVIX_POWER_LOG", line))
        return;
    keybd_event(vk, scan, flags, extraInfo);
}
