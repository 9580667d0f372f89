#include "PropWindow.h"
#include "AppMessages.h"

BOOL CPropWindow::Create(int cx, int cy)
{
    HINSTANCE hInst = AfxGetInstanceHandle();
    WNDCLASSA wc;
    if (!::GetClassInfoA(hInst, PROP_WINDOW_CLASS, &wc)) {
        memset(&wc, 0, sizeof(wc));
        wc.lpfnWndProc = ::DefWindowProcA;
        wc.hInstance = hInst;
        wc.hCursor = ::LoadCursor(NULL, IDC_ARROW);
        wc.hbrBackground = (HBRUSH)(COLOR_BTNFACE + 1);
        wc.lpszClassName = PROP_WINDOW_CLASS;
        if (!::RegisterClassA(&wc))
            return FALSE;
    }
    DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU;
    RECT rc = {0, 0, cx, cy};
    ::AdjustWindowRect(&rc, style, FALSE);
    return CreateEx(0, PROP_WINDOW_CLASS, "", style, 0, 0, rc.right - rc.left,
                    rc.bottom - rc.top, NULL, NULL);
}

BOOL CPropWindow::Initialize(LPCSTR pszSkinIni)
{
    return GetSafeHwnd() != NULL && pszSkinIni != NULL;
}

void CPropWindow::Show()
{
    if (GetSafeHwnd())
        ShowWindow(SW_SHOW);
}

void CPropWindow::Close()
{
    if (GetSafeHwnd())
        ShowWindow(SW_HIDE);
}

LRESULT CPropWindow::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_SHOWWINDOW:
        if (CWnd* pMain = AfxGetMainWnd())
            if (pMain->GetSafeHwnd())
                ::PostMessage(pMain->GetSafeHwnd(), WM_APP_PROP_SHOWN, wParam ? 1 : 0, 0);
        break;
    case WM_CLOSE:
        Close();
        return 0;
    }
    return CWnd::WindowProc(message, wParam, lParam);
}
