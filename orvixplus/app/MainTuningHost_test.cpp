// The tune sequence's waits run on the main window's thread and let the
// window system go on showing what the renderer draws (bench-tv measures
// that), but they handle no message: a second click would start a tune
// within the tune.
#include <gtest/gtest.h>
#include <windows.h>
#include "MainTuningHost.h"

namespace {

LRESULT CALLBACK ProbeProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
{
    if (msg == WM_APP)
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, 1);
    return DefWindowProcA(hwnd, msg, wp, lp);
}

void Pump(DWORD ms)
{
    DWORD start = GetTickCount();
    MSG msg;
    while (GetTickCount() - start < ms) {
        while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE))
            DispatchMessageA(&msg);
        Sleep(5);
    }
}

TEST(MainTuningHostPause, LastsItsTimeAndHandlesNoMessage)
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = ProbeProc;
    wc.hInstance = GetModuleHandleA(NULL);
    wc.lpszClassName = "TuningHostPauseProbe";
    RegisterClassA(&wc);
    HWND hwnd = CreateWindowExA(0, wc.lpszClassName, "", WS_POPUP, 0, 0, 16, 16, NULL, NULL,
                                wc.hInstance, NULL);
    ASSERT_TRUE(hwnd != NULL);
    PostMessageA(hwnd, WM_APP, 0, 0);
    SetTimer(hwnd, 1, 10, NULL);
    CMainTuningHost host(NULL);
    LARGE_INTEGER f, a, b;
    QueryPerformanceFrequency(&f);
    QueryPerformanceCounter(&a);
    host.Pause(200);
    QueryPerformanceCounter(&b);
    double spent = (b.QuadPart - a.QuadPart) * 1000.0 / f.QuadPart;
    EXPECT_EQ(0, GetWindowLongPtrA(hwnd, GWLP_USERDATA)) << "a message was handled during the wait";
    EXPECT_GE(spent, 195.0);
    EXPECT_LT(spent, 400.0);
    Pump(50);
    EXPECT_EQ(1, GetWindowLongPtrA(hwnd, GWLP_USERDATA)) << "the posted message was lost";
    KillTimer(hwnd, 1);
    DestroyWindow(hwnd);
}

}  // namespace
