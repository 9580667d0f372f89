#include "Wnd.h"
#include "WinApp.h"

CWnd* CWnd::GetSafeOwner(CWnd* pParent)
{
    HWND hWnd = pParent ? pParent->GetSafeHwnd() : NULL;
    if (!hWnd) {
        CWnd* pMain = AfxGetMainWnd();
        hWnd = pMain ? pMain->GetSafeHwnd() : NULL;
    }
    // A child cannot own a dialog: the dialog would be clipped into it.
    while (hWnd && (::GetWindowLongPtrA(hWnd, GWL_STYLE) & WS_CHILD))
        hWnd = ::GetParent(hWnd);
    return hWnd && ::IsWindow(hWnd) ? CWnd::FromHandle(hWnd) : NULL;
}
