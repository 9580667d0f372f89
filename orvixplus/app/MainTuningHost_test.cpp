// The tune sequence's waits run on the main window's thread and let the
// window system go on showing what the renderer draws (bench-tv measures
// that), but they handle no message: a second click would start a tune
// within the tune. The channel scan's worker shares them.
#include <gtest/gtest.h>
#include <windows.h>
#include "MainDlg.h"
#include "MainTuningHost.h"
#include "TestSupport.h"

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

HWND MakePanel()
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = PanelProc;
    wc.hInstance = GetModuleHandleA(NULL);
    wc.lpszClassName = "TuningHostPausePanel";
    RegisterClassA(&wc);
    HWND panel = CreateWindowExA(0, wc.lpszClassName, "", WS_POPUP | WS_VISIBLE, 0, 0, 64, 64, NULL, NULL,
                                 wc.hInstance, NULL);
    Pump(100);
    return panel;
}

// Runs fn on a worker while this thread, the panel's, is busy: it waits for
// the worker up to the limit without handling a message. TRUE when the worker
// was done by then. Either way the worker has ended on return: one stuck in a
// send to this thread is let through.
bool FinishesWhileThePanelIsBusy(void (*fn)(void*), void* arg, DWORD limitMs)
{
    struct Work {
        void (*fn)(void*);
        void* arg;
        static DWORD WINAPI Run(LPVOID p)
        {
            Work* w = (Work*)p;
            w->fn(w->arg);
            return 0;
        }
    } work = {fn, arg};
    HANDLE worker = CreateThread(NULL, 0, Work::Run, &work, 0, NULL);
    if (!worker) {
        ADD_FAILURE() << "no worker";
        return false;
    }
    bool done = WaitForSingleObject(worker, ts::Scaled(limitMs)) == WAIT_OBJECT_0;
    while (MsgWaitForMultipleObjects(1, &worker, FALSE, INFINITE, QS_ALLINPUT) == WAIT_OBJECT_0 + 1)
        Pump(5);
    CloseHandle(worker);
    return done;
}

struct PauseOnWorker {
    CMainTuningHost* host;
    DWORD ms;
};

void PauseThere(void* p)
{
    PauseOnWorker* w = (PauseOnWorker*)p;
    w->host->Pause(w->ms);
}

TEST(MainTuningHostPause, PaintsThePanelOnItsThreadAndNeverWaitsForItFromAWorker)
{
    HWND panel = MakePanel();
    ASSERT_TRUE(panel != NULL);
    CMainDlg dlg(NULL);
    ASSERT_TRUE(dlg.Attach(panel));
    CMainTuningHost host(&dlg);

    // On the panel's own thread the pause paints what is due at once.
    InvalidateRect(panel, NULL, FALSE);
    LONG before = g_paints;
    host.Pause(20);
    EXPECT_GT(g_paints, before) << "the panel was not painted during the pause";

    // On the scan's worker, with the panel's thread busy, the pause lasts its
    // own time.
    InvalidateRect(panel, NULL, FALSE);
    before = g_paints;
    PauseOnWorker work = {&host, 50};
    EXPECT_TRUE(FinishesWhileThePanelIsBusy(PauseThere, &work, 3000))
        << "the worker's pause waited for the panel's thread";
    EXPECT_EQ(before, g_paints);
    dlg.Detach();
    DestroyWindow(panel);
}

}  // namespace
