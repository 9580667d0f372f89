#include "ChannelListCtrl.h"
#include "ProgramBitmaps.h"
#include "SkinCtrlMap.h"
#include "SkinSB.h"

namespace {

int Min(int a, int b) { return a < b ? a : b; }
int Max(int a, int b) { return a > b ? a : b; }

// One bar's arithmetic: units per page, visible units, maximum and position.
void Fit(int nClient, int nUnit, int nCount, int& nVisible, int& nMax, int& nPos)
{
    int perPage = nUnit > 0 ? nClient / nUnit : 0;
    nVisible = Min(nCount + 1, perPage);
    nMax = Max(nCount, 0);
    nPos = Max(0, Min(nPos, nMax - nVisible + 1));
}

void SetBar(HWND hwnd, int nBar, int nMax, int nVisible, int nPos, int nMinThumb)
{
    SCROLLINFO si = { sizeof(si), SIF_RANGE | SIF_PAGE | SIF_POS | SIF_DISABLENOSCROLL, 0, nMax,
                      (UINT)Max(0, Min(nVisible, nMax + 1)), nPos, 0 };
    SkinSB_SetScrollInfo(hwnd, nBar, &si, TRUE);
    SkinSB_SetMinThumbSize(hwnd, nBar, nMinThumb);
}

}  // namespace

CChannelListCtrl::CChannelListCtrl()
    : m_nHUnit(H_UNIT), m_nVUnit(10), m_nHExtent(H_EXTENT), m_nRowCount(DEFAULT_ROWS), m_nHPos(0), m_nHVisible(0),
      m_nHMax(0), m_nVPos(0), m_nVVisible(0), m_nVMax(0), m_cx(0), m_cy(0), m_bUpdating(FALSE)
{
}

int CChannelListCtrl::GetVerticalUnit() const
{
    // The rows' height, not a fresh context's default font: the list scrolls
    // in whole rows of its own, and a wrong unit drifts.
    CRect row;
    if (m_hWnd && GetItemCount() > 0 && GetItemRect(0, &row, LVIR_BOUNDS) && row.Height() > 0)
        return row.Height();
    return GetMeasuredRowHeight() > 0 ? GetMeasuredRowHeight() : m_nVUnit;
}

int CChannelListCtrl::OnCreate(LPCREATESTRUCT lpCreateStruct)
{
    if (CEditListCtrl::OnCreate(lpCreateStruct) == -1)
        return -1;
    m_nVUnit = GetVerticalUnit();
    HINSTANCE inst = ::GetModuleHandle(NULL);
    SkinSB_LoadBitmaps(inst, MAKEINTRESOURCE(IDB_SB_LEFT), MAKEINTRESOURCE(IDB_SB_HTHUMB),
                       MAKEINTRESOURCE(IDB_SB_HTRACK), MAKEINTRESOURCE(IDB_SB_RIGHT), MAKEINTRESOURCE(IDB_SB_UP),
                       MAKEINTRESOURCE(IDB_SB_VTHUMB), MAKEINTRESOURCE(IDB_SB_VTRACK), MAKEINTRESOURCE(IDB_SB_DOWN),
                       MAKEINTRESOURCE(IDB_SB_CORNER));
    InitializeSkinSB(m_hWnd);
    SCROLLINFO si = { sizeof(si), SIF_RANGE | SIF_PAGE | SIF_POS | SIF_TRACKPOS, 0, 100, 10, 0, 0 };
    SkinSB_SetScrollInfo(m_hWnd, SB_HORZ, &si, TRUE);
    SkinSB_SetScrollInfo(m_hWnd, SB_VERT, &si, TRUE);
    SkinSB_SetSize(m_hWnd, SB_BOTH, SKINSB_HOTTRACKED);
    return 0;
}

BOOL CChannelListCtrl::SetRowCount(int nRows)
{
    if (nRows < 0)
        return FALSE;
    m_nRowCount = nRows;
    UpdateScrollBars();
    return TRUE;
}

void CChannelListCtrl::UpdateScrollBars()
{
    // A bar that comes or goes changes the client size, which lands here again.
    if (!m_hWnd || m_bUpdating)
        return;
    m_bUpdating = TRUE;
    m_nVUnit = GetVerticalUnit();
    Fit(m_cy, m_nVUnit, m_nRowCount, m_nVVisible, m_nVMax, m_nVPos);
    SetBar(m_hWnd, SB_VERT, m_nVMax, m_nVVisible, m_nVPos, V_MIN_THUMB);
    Fit(m_cx, m_nHUnit, m_nHExtent, m_nHVisible, m_nHMax, m_nHPos);
    SetBar(m_hWnd, SB_HORZ, m_nHMax, m_nHVisible, m_nHPos, H_MIN_THUMB);
    m_bUpdating = FALSE;
}

void CChannelListCtrl::OnScroll(int nBar, UINT nCode, int nTrack)
{
    BOOL vertical = nBar == SB_VERT;
    int& pos = vertical ? m_nVPos : m_nHPos;
    int visible = vertical ? m_nVVisible : m_nHVisible;
    int maximum = vertical ? m_nVMax : m_nHMax;
    int p = pos, next;
    switch (nCode) {
    case SB_LINEUP: next = p - 1; break;
    case SB_LINEDOWN: next = p + 1; break;
    case SB_PAGEUP: next = p - visible; break;
    case SB_PAGEDOWN: next = p + visible; break;
    case SB_THUMBTRACK: next = nTrack; break;
    case SB_TOP: next = 0; break;
    case SB_BOTTOM: next = maximum - 1; break;
    default: return;
    }
    next = Max(0, Min(next, maximum - visible + 1));
    pos = next;
    // The list first: its own scrolling paints the system bar, which the
    // skinned bar's redraw then covers.
    if (next != p) {
        if (vertical)
            SendMessage(LVM_SCROLL, 0, (next - p) * GetVerticalUnit());
        else
            SendMessage(LVM_SCROLL, (next - p) * m_nHUnit, 0);
    }
    SkinSB_SetScrollPos(m_hWnd, nBar, next, TRUE);
}

void CChannelListCtrl::FollowListPosition()
{
    m_nVPos = ::GetScrollPos(m_hWnd, SB_VERT);
    SkinSB_SetScrollPos(m_hWnd, SB_VERT, m_nVPos, TRUE);
}

LRESULT CChannelListCtrl::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_SIZE: {
        LRESULT r = CEditListCtrl::WindowProc(message, wParam, lParam);
        m_cx = (short)LOWORD(lParam);
        m_cy = (short)HIWORD(lParam);
        UpdateScrollBars();
        return r;
    }
    case WM_HSCROLL:
    case WM_VSCROLL:
        OnScroll(message == WM_HSCROLL ? SB_HORZ : SB_VERT, LOWORD(wParam), (short)HIWORD(wParam));
        return 0;
    case WM_MOUSEWHEEL:
    case WM_KEYDOWN: {
        LRESULT r = CEditListCtrl::WindowProc(message, wParam, lParam);
        if (m_hWnd)
            FollowListPosition();
        return r;
    }
    }
    return CEditListCtrl::WindowProc(message, wParam, lParam);
}

// The registry's setter lives with the list it sets, so that the skin toolkit
// itself does not depend on the channel store.
int CSkinCtrlMap::SetChannelListRowCount(UINT nID, int nCount)
{
    CChannelListCtrl* p = GetChannelList(nID);
    if (!p || nCount < 0)
        return 0;
    p->SetRowCount(nCount);
    return 1;
}
