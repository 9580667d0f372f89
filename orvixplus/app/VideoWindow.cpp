#include "VideoWindow.h"
#include "AppSettings.h"
#include "AppState.h"
#include "CaptureGraph.h"
#include "Globals.h"
#include "MainLayout.h"
#include "resource.h"

CVideoWindow::CVideoWindow()
{
}

CVideoWindow::~CVideoWindow()
{
    if (GetSafeHwnd()) {
        ::RemovePropA(m_hWnd, VIDEO_WINDOW_PROP);
        DestroyWindow();
    }
}

BOOL CVideoWindow::Create(int cx, int cy)
{
    HINSTANCE hInst = AfxGetInstanceHandle();
    WNDCLASSEXA wc;
    if (!::GetClassInfoExA(hInst, VIDEO_WINDOW_CLASS, &wc)) {
        memset(&wc, 0, sizeof(wc));
        wc.cbSize = sizeof(wc);
        wc.style = CS_DBLCLKS;
        wc.lpfnWndProc = ::DefWindowProcA;
        wc.hInstance = hInst;
        wc.hIcon = ::LoadIconA(hInst, MAKEINTRESOURCEA(IDI_ORVIXPLUS));
        wc.hIconSm = wc.hIcon;
        wc.hCursor = ::LoadCursor(NULL, IDC_ARROW);
        wc.lpszClassName = VIDEO_WINDOW_CLASS;
        if (!::RegisterClassExA(&wc))
            return FALSE;
    }
    RECT rc = {0, 0, cx, cy};
    ::AdjustWindowRect(&rc, WS_OVERLAPPEDWINDOW, FALSE);
    if (!CreateEx(0, VIDEO_WINDOW_CLASS, "", 0x02CF0080, CW_USEDEFAULT, CW_USEDEFAULT,
                  rc.right - rc.left, rc.bottom - rc.top, NULL, NULL))
        return FALSE;
    ::SetPropA(m_hWnd, VIDEO_WINDOW_PROP, (HANDLE)this);
    UpdateWindow();
    AttachVideo();
    return TRUE;
}

BOOL CVideoWindow::LoadSkin(LPCSTR pszSkinIni)
{
    // The skinned frame and the menu come with the video window's own work.
    return pszSkinIni != NULL;
}

BOOL CVideoWindow::AttachVideo()
{
    CCaptureGraph* graph = g_pCaptureGraph;
    if (!graph || !GetSafeHwnd() || !g_pSettings)
        return FALSE;
    const CAppSettings& s = *g_pSettings;
    SIZE size = CaptureSizeOf(s.m_nVideoSize);
    int input = s.m_nInputSource == 3 ? 1 : s.m_nInputSource == 4 ? 2 : 0;
    if (!graph->Initialize(m_hWnd) ||
        !graph->Open(input, size.cx, size.cy, s.m_nSharpness, s.m_nContrast, s.m_nBrightness,
                     s.m_nHue, s.m_nSaturation)) {
        // A half-built graph would block every later attempt.
        if (g_pCaptureGraph == graph)
            g_pCaptureGraph = NULL;
        delete graph;
        return FALSE;
    }
    CRect rc;
    GetClientRect(&rc);
    graph->SetVideoPosition(0, 0, rc.Width(), rc.Height());
    return TRUE;
}

LRESULT CVideoWindow::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_ERASEBKGND: {
        RECT rc;
        GetClientRect(&rc);
        ::FillRect((HDC)wParam, &rc, (HBRUSH)::GetStockObject(BLACK_BRUSH));
        return 1;
    }
    case WM_CLOSE:
        // The window's own close box only hides it; the program goes on.
        ShowWindow(SW_HIDE);
        return 0;
    case WM_SIZE:
        if (g_pCaptureGraph && g_pAppState) {
            switch (g_pAppState->GetMode()) {
            case MODE_TV_VIEW: case MODE_COMPOSITE_VIEW: case MODE_SVIDEO_VIEW: case MODE_SCAN:
            case MODE_TV_RECORD: case MODE_COMPOSITE_RECORD: case MODE_SVIDEO_RECORD:
            case MODE_PLAY_FILE:
                g_pCaptureGraph->SetVideoPosition(0, 0, LOWORD(lParam), HIWORD(lParam));
                break;
            }
        }
        break;
    }
    return CWnd::WindowProc(message, wParam, lParam);
}
