// A shown top-level window on black whose client area is one PAL picture
// (720 x 576): the owner a capture graph draws the video into when no main
// dialog is there.
#pragma once
#include <windows.h>

inline HWND CreatePictureWindow(const char* className, const char* caption)
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(NULL);
    wc.lpszClassName = className;
    wc.hbrBackground = (HBRUSH)GetStockObject(BLACK_BRUSH);
    RegisterClassA(&wc);
    RECT rc = {0, 0, 720, 576};
    AdjustWindowRect(&rc, WS_OVERLAPPEDWINDOW, FALSE);
    return CreateWindowA(className, caption, WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, rc.right - rc.left,
                         rc.bottom - rc.top, NULL, NULL, wc.hInstance, NULL);
}
