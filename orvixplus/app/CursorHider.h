// Hides the mouse cursor over the full-screen video after a rest. One
// instance, g_pCursorHider, made at start-up; the video window drives it
// with its timer and brings the cursor back on a move.
#pragma once
#include <windows.h>

class CCursorHider {
public:
    // Ticks of the owner's timer with the cursor at rest before it goes.
    enum { HIDE_TICKS = 200 };

    CCursorHider() {}
    virtual ~CCursorHider();

    // A valid window becomes the owner (an invalid one leaves it); the rest
    // starts now, at the cursor's position. TRUE.
    BOOL Attach(HWND hOwner);
    // One tick of the owner's timer nTimerId: TRUE when the cursor was hidden
    // by it. The timer is stopped when the owner is no longer active, when
    // the cursor moved, and once it is hidden.
    BOOL OnTick(UINT_PTR nTimerId);
    // A hidden cursor shows again where it went. TRUE.
    BOOL Restore();
    // The owner (re)starting its timer starts a new rest here.
    void SetRestPosition(POINT pt) { m_ptRest = pt; }

    HWND GetOwner() const { return m_hOwner; }
    BOOL IsHidden() const { return m_bHidden; }
    int GetRestTicks() const { return m_nRestTicks; }
    POINT GetRestPosition() const { return m_ptRest; }

private:
    void StopCounting(UINT_PTR nTimerId);

    HWND m_hOwner = NULL;
    int m_nRestTicks = 0;
    BOOL m_bHidden = FALSE;
    POINT m_ptRest = {-1, -1};
};
