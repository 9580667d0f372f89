// Resource ids of Install.exe.
#pragma once

#define IDD_ABOUTBOX        100
#define IDS_ABOUTBOX        101
#define IDD_INSTALL_DIALOG  102
#define IDR_MAINFRAME       128
#define IDC_PROGRESS        1000
// System-menu commands keep their low four bits clear.
#define IDM_ABOUTBOX        0x0010

#ifndef IDC_STATIC
#define IDC_STATIC          (-1)
#endif
