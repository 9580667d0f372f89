#include "Static.h"

IMPLEMENT_DYNAMIC(CStatic, CWnd)

void CStatic::DrawItem(LPDRAWITEMSTRUCT)
{
}

BOOL CStatic::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    if (message == WM_DRAWITEM) {
        DrawItem((LPDRAWITEMSTRUCT)lParam);
        *pResult = TRUE;
        return TRUE;
    }
    return CWnd::OnChildNotify(message, wParam, lParam, pResult);
}
