#include "ScrollBar.h"

IMPLEMENT_DYNAMIC(CScrollBar, CWnd)

int CScrollBar::GetScrollLimit()
{
    SCROLLINFO si;
    if (!GetScrollInfo(&si, SIF_RANGE | SIF_PAGE))
        return 0;
    int limit = si.nMax - (si.nPage ? (int)si.nPage - 1 : 0);
    return limit < si.nMin ? si.nMin : limit;
}
