#include "SkinListCtrl.h"

// The toolchain's import library lacks the flat scroll bar calls: they are
// taken from the loaded common controls.
static void DisableFlatBars(HWND hWnd)
{
    HMODULE comctl = ::GetModuleHandleA("comctl32.dll");
    if (!comctl)
        return;
    typedef BOOL(WINAPI * InitFn)(HWND);
    typedef BOOL(WINAPI * EnableFn)(HWND, int, UINT);
    InitFn init = (InitFn)(void*)::GetProcAddress(comctl, "InitializeFlatSB");
    EnableFn enable = (EnableFn)(void*)::GetProcAddress(comctl, "FlatSB_EnableScrollBar");
    if (init && init(hWnd) && enable)
        enable(hWnd, SB_BOTH, ESB_DISABLE_BOTH);
}

BOOL CSkinListCtrl::InitSkin()
{
    CWnd* parent = GetParent();
    if (!m_hWnd || !parent)
        return FALSE;
    // Under Wine these succeed but hide nothing; the list's own bars stay and
    // keep the scroll information the skinned bars read.
    DisableFlatBars(m_hWnd);
    CRect rc;
    GetClientRect(&rc);
    MapWindowPoints(parent, &rc);
    const DWORD style = WS_CHILD | WS_VISIBLE | SS_NOTIFY | WS_GROUP;
    if (!m_hBar.Create("", style, CRect(rc.left, rc.bottom, rc.right, rc.bottom + m_nHBarHeight), parent, 0xffff) ||
        !m_vBar.Create("", style, CRect(rc.right, rc.top, rc.right + m_nVBarWidth, rc.bottom + m_nHBarHeight), parent,
                       0xffff))
        return FALSE;
    m_hBar.SetOwnerList(this);
    m_vBar.SetOwnerList(this);
    // A new child goes below its older siblings, and the list paints its own
    // bars over theirs at every scroll: the bars go on top and the list
    // leaves them alone.
    m_hBar.SetWindowPos(&CWnd::wndTop, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    m_vBar.SetWindowPos(&CWnd::wndTop, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    ModifyStyle(0, WS_CLIPSIBLINGS);
    HWND header = (HWND)SendMessage(LVM_GETHEADER);
    if (header && !m_header.m_hWnd)
        m_header.SubclassWindow(header);
    return TRUE;
}

void CSkinListCtrl::OnNcCalcSize(BOOL bCalcValidRects, NCCALCSIZE_PARAMS* lpncsp)
{
    UpdateWindow();
    CListCtrl::OnNcCalcSize(bCalcValidRects, lpncsp);
}
