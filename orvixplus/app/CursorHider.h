// Hides the mouse cursor over the full-screen video after a rest. One
// instance, g_pCursorHider, made at start-up; the video window drives it.
#pragma once
#include <windows.h>

class CCursorHider {
public:
    virtual ~CCursorHider() {}

private:
    HWND m_hOwner = NULL;
    int m_nRestTicks = 0;
    BOOL m_bHidden = FALSE;
    POINT m_ptRest = {-1, -1};
};
