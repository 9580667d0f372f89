// Private messages that the main dialog receives from the other windows of
// OrvixPlus (and from the scheduler tray program).
#pragma once
#include <windows.h>

// wParam: the new source (16..20); the main dialog rebuilds its graph and tunes.
#define WM_APP_SOURCE_CHANGED (WM_USER + 307)
