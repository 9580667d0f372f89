// The messages by which OrvixPlus and Timewarden tell each other about the
// schedule, and OrvixPlus's own notice that a scheduled run is being cut short.
#pragma once
#include <windows.h>

// WM_COMMAND ids posted to Timewarden's hidden main dialog.
#define ID_SCHEDULE_RELOAD 459       // re-read schedulefile.she
#define ID_SCHEDULE_STANDBY 1127     // stand-by in 10 seconds
#define ID_SCHEDULE_SHUTDOWN 1128    // shut the PC down in 10 seconds
// WM_COMMAND id by which Timewarden tells OrvixPlus (and OrvixPlus its
// schedule window) that the file changed.
#define ID_SCHEDULE_CHANGED 1125

// Sent to OrvixPlus's main window when a user action ends a scheduled run.
#define WM_SCHEDULED_RUN_CANCELLED (WM_USER + 888)

// Timewarden's hidden main dialog is found by class and caption.
#define SCHEDULER_WINDOW_CLASS "#32770"
#define SCHEDULER_WINDOW_CAPTION "KESTOR ORVIX Schedule"

// The program tells the schedule code where its windows are; either may
// answer NULL (no such window now). Without a locator the main window is the
// application's main window, and there is no schedule window.
typedef HWND (*ScheduleWindowLocator)();
void SetScheduleMainWindowLocator(ScheduleWindowLocator locator);
void SetScheduleWindowLocator(ScheduleWindowLocator locator);
HWND GetScheduleMainWindow();
HWND GetScheduleWindow();

// Each posts its id to Timewarden when it runs; otherwise nothing happens.
void NotifySchedulerReload();
void RequestSchedulerStandby();
void RequestSchedulerShutdown();
// Tells Timewarden to reload, then the schedule window (if open) to refresh.
void NotifyScheduleChanged();
