#include "ScheduleMessages.h"
#include "WinApp.h"
#include "Wnd.h"

namespace {

ScheduleWindowLocator g_pfnMainWindow = NULL;
ScheduleWindowLocator g_pfnScheduleWindow = NULL;

HWND Locate(ScheduleWindowLocator locator)
{
    HWND hWnd = locator ? locator() : NULL;
    return hWnd && IsWindow(hWnd) ? hWnd : NULL;
}

void PostToScheduler(WPARAM id)
{
    HWND hScheduler = FindWindowA(SCHEDULER_WINDOW_CLASS, SCHEDULER_WINDOW_CAPTION);
    if (hScheduler)
        PostMessageA(hScheduler, WM_COMMAND, id, 0);
}

}  // namespace

void SetScheduleMainWindowLocator(ScheduleWindowLocator locator) { g_pfnMainWindow = locator; }
void SetScheduleWindowLocator(ScheduleWindowLocator locator) { g_pfnScheduleWindow = locator; }
// A cancelled run must always reach the window that runs it: without a
// locator of its own the program's main window is the one.
HWND GetScheduleMainWindow()
{
    if (g_pfnMainWindow)
        return Locate(g_pfnMainWindow);
    CWnd* pMainWnd = AfxGetMainWnd();
    HWND hWnd = pMainWnd ? pMainWnd->GetSafeHwnd() : NULL;
    return hWnd && IsWindow(hWnd) ? hWnd : NULL;
}
HWND GetScheduleWindow() { return Locate(g_pfnScheduleWindow); }

void NotifySchedulerReload() { PostToScheduler(ID_SCHEDULE_RELOAD); }
void RequestSchedulerStandby() { PostToScheduler(ID_SCHEDULE_STANDBY); }
void RequestSchedulerShutdown() { PostToScheduler(ID_SCHEDULE_SHUTDOWN); }

void NotifyScheduleChanged()
{
    NotifySchedulerReload();
    if (HWND hScheduleWnd = GetScheduleWindow())
        PostMessageA(hScheduleWnd, WM_COMMAND, ID_SCHEDULE_CHANGED, 0);
}
