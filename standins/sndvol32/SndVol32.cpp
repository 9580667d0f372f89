// Stands in for the volume mixer of the system folder. It shows nothing: it
// adds one line to the file ORVIX_SNDVOL_LOG names, "started <show command>
// <command line>", and ends, so a test sees that it was started and how.
#include <windows.h>
#include <stdio.h>
#include <string.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR pszCmdLine, int nShowCmd)
{
    char path[MAX_PATH];
    DWORD n = GetEnvironmentVariableA("ORVIX_SNDVOL_LOG", path, sizeof(path));
    if (n == 0 || n >= sizeof(path))
        return 1;
    HANDLE h = CreateFileA(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                           OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (h == INVALID_HANDLE_VALUE)
        return 1;
    char line[512];
    int len = snprintf(line, sizeof(line), "started %d %s\r\n", nShowCmd, pszCmdLine ? pszCmdLine : "");
    if (len < 0 || len >= (int)sizeof(line))
        len = (int)strlen(line);
    DWORD written = 0;
    BOOL ok = WriteFile(h, line, (DWORD)len, &written, NULL) && written == (DWORD)len;
    CloseHandle(h);
    return ok ? 0 : 1;
}
