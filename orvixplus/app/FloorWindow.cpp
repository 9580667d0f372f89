// scripts/bench-tv's floor: the least a Win32 program can do before the user
// sees it, in the same prefix: register a class, create one window, show it
// and run a message loop until it is closed.
#include <windows.h>

static LRESULT CALLBACK FloorProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(hWnd, message, wParam, lParam);
}

int WINAPI WinMain(HINSTANCE hInst, HINSTANCE, LPSTR, int)
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = FloorProc;
    wc.hInstance = hInst;
    wc.hbrBackground = (HBRUSH)(COLOR_WINDOW + 1);
    wc.lpszClassName = "OrvixFloorWindow";
    if (!RegisterClassA(&wc))
        return 1;
    HWND hWnd = CreateWindowExA(0, wc.lpszClassName, "Floor", WS_OVERLAPPEDWINDOW, 100, 100, 320,
                                200, NULL, NULL, hInst, NULL);
    if (!hWnd)
        return 1;
    ShowWindow(hWnd, SW_SHOW);
    UpdateWindow(hWnd);
    MSG msg;
    while (GetMessageA(&msg, NULL, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return 0;
}
