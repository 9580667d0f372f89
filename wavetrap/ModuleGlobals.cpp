#include "ModuleGlobals.h"

HMODULE g_hModule = NULL;
volatile LONG g_cObjects = 0;
volatile LONG g_cLocks = 0;
DWORD g_dwRegister = 0;
