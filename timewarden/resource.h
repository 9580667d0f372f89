// Resource ids of Timewarden.
#pragma once

#define IDD_SCHEDULE_TRAY_DIALOG 102
#define IDR_MAINFRAME 128            // dialog icon
#define IDS_TRAY_TITLE 129           // window title and tooltip; also the tray icon's id
#define IDI_TRAY 129
#define IDR_TRAY_MENU 130
#define IDD_SHUTDOWN_TIME 154
#define IDD_REMOTE_ID 131
#define IDD_SCHEDULE_LIST 139
#define IDD_SCHEDULE_ADD 153

// Bitmaps of the themed dialogs' controls.
#define IDB_BUTTON_NORMAL 132
#define IDB_BUTTON_PRESSED 133
#define IDB_BUTTON_HOVER 135
#define IDB_HEX_EDIT 138

#define IDC_SCHEDLIST_EDIT 1005
#define IDC_SCHEDLIST_CANCEL 1006
#define IDC_SCHEDLIST_OK 1007
#define IDC_SCHEDLIST_DELETE_ALL 1008
#define IDC_SCHEDLIST_DELETE 1009
#define IDC_SCHEDLIST_SET 1010
#define IDC_SCHEDLIST_LIST 1011

#define IDC_REMOTE_HELP 1000
#define IDC_REMOTE_PAIR 1001
#define IDC_REMOTE_EXIT 1002
#define IDC_REMOTE_ID_FIELD 1003
#define IDC_REMOTE_ID_LABEL 1004

#define IDC_SHUTDOWN_MONTH 1012
#define IDC_SHUTDOWN_DAY 1013
#define IDC_SHUTDOWN_HOUR 1014
#define IDC_SHUTDOWN_MINUTE 1015

#define WM_TRAY_NOTIFY 1124          // the tray icon's callback message

#define ID_TRAY_LAUNCH 32771
#define ID_TRAY_SCHEDULE_LIST 32772
#define ID_TRAY_REMOTE_ID_RESET 32773
#define ID_TRAY_TIMED_SHUTDOWN 32774
#define ID_TRAY_EXIT 32775

// Window timers of the hidden dialog.
#define TIMER_REMOTE_POLL 1
#define TIMER_SHUTDOWN 3
#define TIMER_DIGIT_ENTRY 17
#define TIMER_DUE_CHECK 100
#define TIMER_STANDBY 200
#define TIMER_TIMED_SHUTDOWN 581
