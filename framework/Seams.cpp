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

int FwMessageBox(HWND owner, LPCSTR text, LPCSTR caption, UINT flags)
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
