// The tune sequence's waits run on the main window's thread and let the
// window system go on showing what the renderer draws (bench-tv measures
// that), but they handle no message: a second click would start a tune
// within the tune. The channel scan's worker shares them.
#include <gtest/gtest.h>
#include <windows.h>
#include "MainDlg.h"
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

// A panel stand-in that counts its paints.
LONG g_paints = 0;
LRESULT CALLBACK PanelProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
{
    if (msg == WM_PAINT) {
        PAINTSTRUCT ps;
        BeginPaint(hwnd, &ps);
        EndPaint(hwnd, &ps);
        InterlockedIncrement(&g_paints);
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wp, lp);
}

struct PauseOnWorker {
    CMainTuningHost* host;
    DWORD ms;
};

DWORD WINAPI PauseThread(LPVOID p)
{
    PauseOnWorker* w = (PauseOnWorker*)p;
    w->host->Pause(w->ms);
    return 0;
}

TEST(MainTuningHostPause, PaintsThePanelOnItsThreadAndNeverWaitsForItFromAWorker)
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = PanelProc;
    wc.hInstance = GetModuleHandleA(NULL);
    wc.lpszClassName = "TuningHostPausePanel";
    RegisterClassA(&wc);
    HWND panel = CreateWindowExA(0, wc.lpszClassName, "", WS_POPUP | WS_VISIBLE, 0, 0, 64, 64, NULL, NULL,
                                 wc.hInstance, NULL);
    ASSERT_TRUE(panel != NULL);
    Pump(100);
    CMainDlg dlg(NULL);
    ASSERT_TRUE(dlg.Attach(panel));
    CMainTuningHost host(&dlg);

    // On the panel's own thread the pause paints what is due at once.
    InvalidateRect(panel, NULL, FALSE);
    LONG before = g_paints;
    host.Pause(20);
    EXPECT_GT(g_paints, before) << "the panel was not painted during the pause";

    // On the scan's worker, with the panel's thread busy (here: waiting for
    // the worker without handling messages), the pause lasts its own time.
    InvalidateRect(panel, NULL, FALSE);
    before = g_paints;
    PauseOnWorker work = {&host, 50};
    HANDLE worker = CreateThread(NULL, 0, PauseThread, &work, 0, NULL);
    ASSERT_TRUE(worker != NULL);
    DWORD waited = WaitForSingleObject(worker, 3000);
    EXPECT_EQ((DWORD)WAIT_OBJECT_0, waited) << "the worker's pause waited for the panel's thread";
    EXPECT_EQ(before, g_paints);
    // Let a worker stuck in a send through before the panel goes.
    while (MsgWaitForMultipleObjects(1, &worker, FALSE, 10000, QS_ALLINPUT) == WAIT_OBJECT_0 + 1)
        Pump(5);
    CloseHandle(worker);
    dlg.Detach();
    DestroyWindow(panel);
}

}  // namespace
