// What the whole library shares: its module handle, the counts that decide
// whether it may be unloaded, and the capture graph's running-object-table
// registration.
#pragma once
#include <windows.h>

extern HMODULE g_hModule;
// COM may ask DllCanUnloadNow from another thread than the client's.
extern volatile LONG g_cObjects;
extern volatile LONG g_cLocks;
extern DWORD g_dwRegister;
