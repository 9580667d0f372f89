// What tests that run Timewarden.exe see of it from another process: its
// hidden window, found by caption, and its tray icon.
#pragma once
#include <windows.h>
#include <shellapi.h>
#include <time.h>
#include <string>
#include "ScheduleMessages.h"

namespace tw {

const UINT kTrayIconId = 129;

inline HWND FindScheduler() { return FindWindowA(SCHEDULER_WINDOW_CLASS, SCHEDULER_WINDOW_CAPTION); }

// Only an icon that exists can be modified: TRUE while it is in the tray.
inline BOOL ModifyTrayIcon(HWND hwnd)
{
    NOTIFYICONDATAA nid = {};
    nid.cbSize = NOTIFYICONDATAA_V1_SIZE;
    nid.hWnd = hwnd;
    nid.uID = kTrayIconId;
    return Shell_NotifyIconA(NIM_MODIFY, &nid);
}

// A time as the power seam's log writes the wake timer's due time: UTC.
inline std::string UtcText(time_t t)
{
    struct tm u;
    gmtime_s(&u, &t);
    char text[32];
    strftime(text, sizeof(text), "%Y-%m-%d %H:%M:%S", &u);
    return text;
}

}  // namespace tw
