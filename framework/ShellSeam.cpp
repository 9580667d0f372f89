#include "ShellSeam.h"
#include <shellapi.h>
#include <stdio.h>
#include <string>

HINSTANCE FwShellExecute(HWND owner, LPCSTR verb, LPCSTR file, LPCSTR parameters,
                         LPCSTR directory, int nShowCmd)
{
    char path[MAX_PATH];
    DWORD n = GetEnvironmentVariableA("ORVIX_SHELL_LOG", path, sizeof(path));
    if (n == 0 || n >= sizeof(path))
        return ShellExecuteA(owner, verb, file, parameters, directory, nShowCmd);
    std::string line = verb ? verb : "";
    line += '\t';
    line += file ? file : "";
    line += '\t';
    line += parameters ? parameters : "";
    line += "\r\n";
    if (FILE* f = fopen(path, "ab")) {
        fputs(line.c_str(), f);
        fclose(f);
    }
    return (HINSTANCE)(INT_PTR)33;
}
