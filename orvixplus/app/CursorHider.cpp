#include "CursorHider.h"

CCursorHider::~CCursorHider()
{
    // The display count is the thread's: a hidden cursor would stay hidden.
    Restore();
}

BOOL CCursorHider::Attach(HWND hOwner)
{
    if (hOwner && ::IsWindow(hOwner))
        m_hOwner = hOwner;
    m_nRestTicks = 0;
    m_bHidden = FALSE;
    // A rest that started at (-1, -1) would end at the first tick: a cursor
    // never moved after entering would never go.
    POINT pt;
    if (::GetCursorPos(&pt))
        m_ptRest = pt;
    else
        m_ptRest.x = m_ptRest.y = -1;
    return TRUE;
}

void CCursorHider::StopCounting(UINT_PTR nTimerId)
{
    ::KillTimer(m_hOwner, nTimerId);
    // Forgetting a hidden cursor would lose it for good.
    Restore();
    m_nRestTicks = 0;
    m_ptRest.x = m_ptRest.y = -1;
}

BOOL CCursorHider::OnTick(UINT_PTR nTimerId)
{
    POINT pt = {-1, -1};
    ::GetCursorPos(&pt);
    if (!m_hOwner)
        return FALSE;
    if (::GetActiveWindow() != m_hOwner || pt.x != m_ptRest.x || pt.y != m_ptRest.y) {
        StopCounting(nTimerId);
        return FALSE;
    }
    if (++m_nRestTicks < HIDE_TICKS)
        return FALSE;
    ::KillTimer(m_hOwner, nTimerId);
    m_nRestTicks = 0;
    m_bHidden = TRUE;
    ::ShowCursor(FALSE);
    return TRUE;
}

BOOL CCursorHider::Restore()
{
    if (m_bHidden) {
        ::ShowCursor(TRUE);
        ::SetCursorPos(m_ptRest.x, m_ptRest.y);
        m_bHidden = FALSE;
    }
    return TRUE;
}
