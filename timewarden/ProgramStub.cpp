// Stands in for OrvixPlus and the FM program in Timewarden's tests. It appends
// what it sees to the file STUB_LOG names, one line each, "<role>\t<event>":
// its command line at start ("start\t<command line>"); and, when STUB_WINDOW
// gives a caption, it shows a window with that caption and logs each remote
// message ("1133 <wParam> <lParam>"), WM_COMMAND ("command <id>") and
// SC_CLOSE ("close"), after which it ends.
#include <windows.h>
#include <stdio.h>

namespace {

char g_role[64] = "launched";

void Log(const char* event)
{
    char path[MAX_PATH];
    DWORD n = GetEnvironmentVariableA("STUB_LOG", path, sizeof(path));
    if (!n || n >= sizeof(path))
        return;
    FILE* f = fopen(path, "ab");
    if (!f)
        return;
    fprintf(f, "%s\t%s\r\n", g_role, event);
    fclose(f);
}

LRESULT CALLBACK StubProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    char line[96];
    switch (msg) {
    case WM_USER + 109:
        snprintf(line, sizeof(line), "1133 %ld %ld", (long)wParam, (long)lParam);
        Log(line);
        return 0;
    case WM_COMMAND:
        snprintf(line, sizeof(line), "command %u", (unsigned)LOWORD(wParam));
        Log(line);
        return 0;
    case WM_SYSCOMMAND:
        if ((wParam & 0xFFF0) == SC_CLOSE) {
            Log("close");
            DestroyWindow(hwnd);
            return 0;
        }
        break;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE, LPSTR, int)
{
    char caption[64] = "";
    GetEnvironmentVariableA("STUB_WINDOW", caption, sizeof(caption));
    if (caption[0])
        lstrcpynA(g_role, caption, sizeof(g_role));
    char line[1024];
    snprintf(line, sizeof(line), "start\t%s", GetCommandLineA());
    Log(line);
    if (!caption[0])
        return 0;

    WNDCLASSA wc = {};
    wc.lpfnWndProc = StubProc;
    wc.hInstance = hInstance;
    wc.lpszClassName = "OrvixProgramStub";
    RegisterClassA(&wc);
    HWND hwnd = CreateWindowA(wc.lpszClassName, caption, WS_OVERLAPPEDWINDOW, 0, 0, 200, 100,
                              NULL, NULL, hInstance, NULL);
    if (!hwnd)
        return 1;
    Log("ready");
    MSG msg;
    while (GetMessageA(&msg, NULL, 0, 0) > 0)
        DispatchMessageA(&msg);
    return 0;
}
