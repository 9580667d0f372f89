#include "HeaderCtrl.h"

IMPLEMENT_DYNAMIC(CHeaderCtrl, CWnd)

void CHeaderCtrl::DrawItem(LPDRAWITEMSTRUCT)
{
}

BOOL CHeaderCtrl::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    if (message == WM_DRAWITEM) {
        DrawItem((LPDRAWITEMSTRUCT)lParam);
        *pResult = TRUE;
        return TRUE;
    }
    return CWnd::OnChildNotify(message, wParam, lParam, pResult);
}
