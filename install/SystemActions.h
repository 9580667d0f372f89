// What Install asks of Windows itself: which family it runs on, and the restart.
#pragma once
#include <windows.h>

// TRUE on Windows 98 (4.10 of the 9x platform), whose registry keeps the
// device's instance under Enum\PCI.
BOOL IsWindows98();

// Restarts the PC with force, after enabling the shutdown privilege (the NT
// family refuses the restart without it). FALSE when the restart was refused.
BOOL RestartWindows();
