// Private messages that the main dialog receives from the other windows of
// OrvixPlus (and from the scheduler tray program), and those it sends.
#pragma once
#include <windows.h>

#define WM_APP_PLAYER_EVENT     (WM_USER + 20)   // 1044: the media player's graph has events
#define WM_APP_REMOTE           (WM_USER + 109)  // 1133: wParam 0 key code, 1 channel number
#define WM_APP_SHOW_CHANNEL     (WM_USER + 201)  // 1225: lParam a ChannelRecord*, sent in-process
// wParam: the new source (16..20); the main dialog rebuilds its graph and tunes.
#define WM_APP_SOURCE_CHANGED   (WM_USER + 307)  // 1331
#define WM_APP_VOLUME_UP        (WM_USER + 400)  // 1424
#define WM_APP_VOLUME_DOWN      (WM_USER + 401)  // 1425
#define WM_CHANNEL_UP           (WM_USER + 500)  // 1524
#define WM_CHANNEL_DOWN         (WM_USER + 501)  // 1525
#define WM_APP_TOGGLE_SCAN      (WM_USER + 605)  // 1629
#define WM_APP_STOP_SCAN        (WM_USER + 615)  // 1639
#define WM_APP_LEAVE_TV_WALL    (WM_USER + 677)  // 1701: wParam action 1..4, lParam channel
#define WM_APP_SCHEDULE_CLOSED  (WM_USER + 687)  // 1711
#define WM_APP_SCHEDULED_END    (WM_USER + 888)  // 1912
#define WM_APP_PAUSE_SCHEDULE   (WM_USER + 889)  // 1913
#define WM_APP_RESUME_SCHEDULE  (WM_USER + 900)  // 1924
#define WM_APP_PROP_SHOWN       (WM_USER + 981)  // 2005: wParam non-zero when shown

// To the settings window: refresh the drive list before showing.
#define WM_PROP_REFRESH_DRIVES  (WM_USER + 999)  // 2023
// To the settings and the video window: the user chose another input
// (wParam 0 tuner, 1 Composite, 2 S-Video).
#define WM_APP_INPUT_SOURCE     (WM_USER + 690)  // 1714
// To the settings window: a stored folder was replaced by the program folder;
// wParam 1 the record folder, 0 the picture folder.
#define WM_PROP_FOLDER_RESET    (WM_USER + 988)  // 2012
// To the video window: full screen on or off.
#define WM_VIDEO_TOGGLE_FULL    (WM_USER + 655)  // 1679

// To the main dialog from its own process's threads: skin label texts are
// waiting (CMainDlg::SetLabelText).
#define WM_APP_LABEL_TEXTS      (WM_APP + 1)

// WM_COMMAND id: the schedule file changed.
#define ID_SCHEDULE_FILE_CHANGED 1125
