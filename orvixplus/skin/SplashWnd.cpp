#include "SplashWnd.h"
#include "BitmapUtil.h"

CSize SplashWindowSize(CSize picture, CSize screen)
{
    CSize size = picture;
    if (screen.cx < picture.cx)
        size.cx = screen.cx * 3 / 4;
    if (screen.cy < picture.cy)
        size.cy = screen.cy * 3 / 4;
    return size;
}

CSplashWnd::CSplashWnd() : m_bEnabled(TRUE), m_screen(0, 0)
{
}

CSplashWnd::~CSplashWnd()
{
    if (m_hWnd)
        DestroyWindow();
}

BOOL CSplashWnd::ShowSplash(CWnd* pParent)
{
    if (!m_bEnabled || m_hWnd)
        return FALSE;
    m_bitmap.DeleteObject();
    if (!m_bitmap.LoadBitmap(IDB_SPLASH))
        return FALSE;
    BITMAP bm = {};
    m_bitmap.GetObject(sizeof(bm), &bm);
    CSize screen = m_screen;
    if (screen.cx <= 0 || screen.cy <= 0)
        screen = CSize(::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN));
    CSize size = SplashWindowSize(CSize(bm.bmWidth, bm.bmHeight), screen);
    LPCTSTR cls = AfxRegisterWndClass(0, ::LoadCursor(NULL, IDC_ARROW));
    if (!CreateEx(0, cls, "", WS_POPUP | WS_VISIBLE, 0, 0, size.cx, size.cy,
                  pParent ? pParent->m_hWnd : NULL, NULL))
        return FALSE;
    UpdateWindow();
    return TRUE;
}

int CSplashWnd::OnCreate(LPCREATESTRUCT lpCreateStruct)
{
    int result = CWnd::OnCreate(lpCreateStruct);
    if (result == -1)
        return result;
    CenterWindow();
    return 0;
}

void CSplashWnd::OnPaint()
{
    CPaintDC dc(this);
    CRect rc;
    GetClientRect(&rc);
    DrawBitmapStretched(dc, rc, m_bitmap);
}
