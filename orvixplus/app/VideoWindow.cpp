#include "VideoWindow.h"
#include "AppMessages.h"
#include "AppSettings.h"
#include "AppState.h"
#include "CaptureGraph.h"
#include "ChannelHistory.h"
#include "ChannelStore.h"
#include "CursorHider.h"
#include "Globals.h"
#include "MainDlg.h"
#include "MainLayout.h"
#include "MediaPlayer.h"
#include "PropWindow.h"
#include "ScheduleList.h"
#include "ShapeDialog.h"
#include "resource.h"
#include <stdlib.h>

// ---- plain rules -------------------------------------------------------------

void ConstrainAspect(int nAspect, int nEdge, RECT* pRect)
{
    if (!pRect || (nAspect != ASPECT_4_3 && nAspect != ASPECT_16_9))
        return;
    BOOL wide = nAspect == ASPECT_16_9;
    int width = pRect->right - pRect->left;
    int height = pRect->bottom - pRect->top;
    int heightForWidth = wide ? width * 9 / 16 : width * 3 / 4;
    switch (nEdge) {
    case WMSZ_LEFT: case WMSZ_RIGHT: case WMSZ_BOTTOMLEFT: case WMSZ_BOTTOMRIGHT:
        pRect->bottom = pRect->top + heightForWidth;
        break;
    case WMSZ_TOP: case WMSZ_BOTTOM:
        pRect->right = pRect->left + (wide ? height * 16 / 9 : height * 4 / 3);
        break;
    case WMSZ_TOPLEFT: case WMSZ_TOPRIGHT:
        // The top corners keep the bottom edge where it is.
        pRect->top = pRect->bottom - heightForWidth;
        break;
    }
}

SIZE PresetSize(int nPreset)
{
    return CaptureSizeOf(nPreset);
}

BOOL CDoubleClickDetector::OnButtonDown(DWORD dwTime, POINT pt)
{
    if (m_bArmed && dwTime - m_dwTime <= ::GetDoubleClickTime() &&
        abs(pt.x - m_pt.x) <= ::GetSystemMetrics(SM_CXDOUBLECLK) / 2 &&
        abs(pt.y - m_pt.y) <= ::GetSystemMetrics(SM_CYDOUBLECLK) / 2) {
        m_bArmed = FALSE;
        return TRUE;
    }
    m_bArmed = TRUE;
    m_dwTime = dwTime;
    m_pt = pt;
    return FALSE;
}

// ---- helpers -----------------------------------------------------------------

namespace {

int CurrentMode()
{
    return g_pAppState ? g_pAppState->GetMode() : 0;
}

BOOL IsViewingMode(int mode)
{
    return mode == MODE_TV_VIEW || mode == MODE_COMPOSITE_VIEW || mode == MODE_SVIDEO_VIEW;
}

// Where full screen may be switched: viewing and file playback.
BOOL IsFullScreenMode(int mode)
{
    return IsViewingMode(mode) || mode == MODE_PLAY_FILE;
}

// Modes with a picture the window's size matters to.
BOOL IsPictureMode(int mode)
{
    switch (mode) {
    case MODE_TV_VIEW: case MODE_COMPOSITE_VIEW: case MODE_SVIDEO_VIEW: case MODE_SCAN:
    case MODE_TV_RECORD: case MODE_COMPOSITE_RECORD: case MODE_SVIDEO_RECORD:
    case MODE_PLAY_FILE:
        return TRUE;
    }
    return FALSE;
}

CMainDlg* MainDialog()
{
    return dynamic_cast<CMainDlg*>(AfxGetMainWnd());
}

HWND MainWindow()
{
    CWnd* pMain = AfxGetMainWnd();
    return pMain ? pMain->GetSafeHwnd() : NULL;
}

HWND SettingsWindow()
{
    return g_pPropWindow ? g_pPropWindow->GetSafeHwnd() : NULL;
}

void EndScheduledRun()
{
    if (g_pScheduleList)
        g_pScheduleList->CancelScheduledRun();
}

// The frame around the client: window size less client size, never negative.
SIZE FrameSize(HWND hWnd)
{
    RECT rw, rc;
    ::GetWindowRect(hWnd, &rw);
    ::GetClientRect(hWnd, &rc);
    SIZE frame = {(rw.right - rw.left) - rc.right, (rw.bottom - rw.top) - rc.bottom};
    if (frame.cx < 0)
        frame.cx = 0;
    if (frame.cy < 0)
        frame.cy = 0;
    return frame;
}

// Of the shown sub-menu: "最近播放频道".
const int kHistoryMenuPosition = 13;

}  // namespace

// ---- the window ----------------------------------------------------------------

CVideoWindow::CVideoWindow()
    : m_bDragByClient(TRUE), m_bMenuStateInit(FALSE), m_hWnd(NULL), m_bAlwaysOnTop(1),
      m_bFullScreen(0), m_nSizePreset(2)
{
    for (COLORREF& c : m_theme.colors)
        c = 0;
    memset(&m_wpNormal, 0, sizeof(m_wpNormal));
    m_wpNormal.length = sizeof(m_wpNormal);
    memset(&m_rcFullScreen, 0, sizeof(m_rcFullScreen));
}

CVideoWindow::~CVideoWindow()
{
    if (m_hWnd) {
        HWND hWnd = m_hWnd;
        ::RemovePropA(hWnd, VIDEO_WINDOW_PROP);
        m_hWnd = NULL;
        if (m_bFullScreen && g_pCursorHider)
            g_pCursorHider->Restore();
        ::DestroyWindow(hWnd);
    }
}

CVideoWindow* CVideoWindow::FromHandle(HWND hWnd)
{
    return hWnd ? (CVideoWindow*)::GetPropA(hWnd, VIDEO_WINDOW_PROP) : NULL;
}

BOOL CVideoWindow::Create(int cx, int cy)
{
    if (m_hWnd)
        return FALSE;
    HINSTANCE hInst = AfxGetInstanceHandle();
    WNDCLASSEXA wc;
    memset(&wc, 0, sizeof(wc));
    wc.cbSize = sizeof(wc);
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = &CVideoWindow::WndProc;
    wc.hInstance = hInst;
    wc.hIcon = ::LoadIconA(hInst, MAKEINTRESOURCEA(IDI_ORVIXPLUS));
    wc.hIconSm = wc.hIcon;
    wc.hCursor = ::LoadCursor(NULL, IDC_ARROW);
    wc.lpszClassName = VIDEO_WINDOW_CLASS;
    WNDCLASSEXA existing;
    if (!::RegisterClassExA(&wc) && !::GetClassInfoExA(hInst, VIDEO_WINDOW_CLASS, &existing))
        return FALSE;

    RECT rc = {0, 0, cx, cy};
    ::AdjustWindowRect(&rc, WS_OVERLAPPEDWINDOW, FALSE);
    HWND hWnd = ::CreateWindowExA(0, VIDEO_WINDOW_CLASS, "", 0x02CF0080, CW_USEDEFAULT,
                                  CW_USEDEFAULT, rc.right - rc.left, rc.bottom - rc.top, NULL,
                                  NULL, hInst, NULL);
    if (!hWnd) {
        ::GetLastError();
        return FALSE;
    }
    m_hWnd = hWnd;
    ::SetPropA(hWnd, VIDEO_WINDOW_PROP, (HANDLE)this);
    // Taken now, not at the first menu: the "C" key and the menu's checks
    // must follow the saved choice from the start.
    if (g_pSettings) {
        m_bAlwaysOnTop = g_pSettings->m_bAlwaysOnTop ? 1 : 0;
        int preset = g_pSettings->m_nVideoSize;
        m_nSizePreset = preset >= 1 && preset <= 3 ? preset : 2;
        m_bMenuStateInit = TRUE;
    }
    ::UpdateWindow(hWnd);
    AttachVideo();
    return TRUE;
}

int CVideoWindow::LoadSkin(LPCSTR pszSkinIni)
{
    if (!pszSkinIni)
        return FALSE;
    if (!FileExists(pszSkinIni))
        return FALSE;

    m_frame.WantButtons(TRUE, TRUE, TRUE);
    if (!m_frame.LoadSkin(pszSkinIni))
        return FALSE;
    if (!m_hWnd)
        return TRUE;
    // The skinned frame is not the system's: the client keeps the size it
    // was created with.
    RECT client;
    ::GetClientRect(m_hWnd, &client);
    if (!m_frame.Attach(m_hWnd))
        return FALSE;
    ResizeClient(client.right, client.bottom, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    LoadColorTheme(m_hWnd, pszSkinIni, &m_theme);
    if (!m_menu.LoadMenu(IDR_VIDEO_MENU, 0))
        return -1;
    return TRUE;
}

void CVideoWindow::SetCaption(LPCSTR pszText)
{
    ::SetWindowTextA(m_hWnd, pszText ? pszText : "");
}

BOOL CVideoWindow::AttachVideo()
{
    CCaptureGraph* graph = g_pCaptureGraph;
    if (!graph || !m_hWnd)
        return FALSE;
    int nVideoSize = g_pSettings ? g_pSettings->m_nVideoSize : 2;
    int nInputSource = g_pSettings ? g_pSettings->m_nInputSource : 1;
    SIZE size = CaptureSizeOf(nVideoSize);
    int input = nInputSource == 3 ? 1 : nInputSource == 4 ? 2 : 0;
    BOOL ok = graph->Initialize(m_hWnd);
    if (ok) {
        const CAppSettings defaults;
        const CAppSettings& s = g_pSettings ? *g_pSettings : defaults;
        ok = graph->Open(input, size.cx, size.cy, s.m_nSharpness, s.m_nContrast, s.m_nBrightness,
                         s.m_nHue, s.m_nSaturation);
    }
    if (!ok) {
        // A half-built graph would block every later attempt.
        if (g_pCaptureGraph == graph)
            g_pCaptureGraph = NULL;
        delete graph;
        return FALSE;
    }
    RECT rc;
    ::GetClientRect(m_hWnd, &rc);
    graph->SetVideoPosition(0, 0, rc.right, rc.bottom);
    return TRUE;
}

BOOL CVideoWindow::EnterFullScreen()
{
    if (m_bFullScreen || !m_hWnd)
        return FALSE;
    m_bFullScreen = 1;
    m_wpNormal.length = sizeof(m_wpNormal);
    ::GetWindowPlacement(m_hWnd, &m_wpNormal);

    RECT rw, rc;
    ::GetWindowRect(m_hWnd, &rw);
    ::GetClientRect(m_hWnd, &rc);
    POINT origin = {0, 0};
    ::ClientToScreen(m_hWnd, &origin);
    int cxScreen = ::GetSystemMetrics(SM_CXSCREEN);
    int cyScreen = ::GetSystemMetrics(SM_CYSCREEN);
    m_rcFullScreen.left = rw.left - origin.x;
    m_rcFullScreen.top = rw.top - origin.y;
    m_rcFullScreen.right = cxScreen + (rw.right - origin.x - rc.right);
    m_rcFullScreen.bottom = cyScreen + (rw.bottom - origin.y - rc.bottom);

    WINDOWPLACEMENT wp = m_wpNormal;
    wp.flags = 0;
    wp.showCmd = SW_SHOWNORMAL;
    wp.rcNormalPosition = m_rcFullScreen;
    ::SetWindowPlacement(m_hWnd, &wp);
    ::SetTimer(m_hWnd, VIDEO_TIMER_CURSOR, 10, NULL);
    if (g_pCursorHider)
        g_pCursorHider->Attach(m_hWnd);
    return TRUE;
}

BOOL CVideoWindow::LeaveFullScreen()
{
    if (!m_bFullScreen || !m_hWnd)
        return FALSE;
    ::SetWindowPlacement(m_hWnd, &m_wpNormal);
    m_bFullScreen = 0;
    ::KillTimer(m_hWnd, VIDEO_TIMER_CURSOR);
    if (g_pCursorHider)
        g_pCursorHider->Restore();
    return TRUE;
}

void CVideoWindow::ToggleFullScreen()
{
    if (!IsFullScreenMode(CurrentMode()))
        return;
    if (m_bFullScreen)
        LeaveFullScreen();
    else
        EnterFullScreen();
}

// ---- messages ------------------------------------------------------------------

LRESULT CALLBACK CVideoWindow::WndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    CVideoWindow* pWnd = FromHandle(hWnd);
    LRESULT result = 0;
    if (pWnd && pWnd->m_hWnd == hWnd && pWnd->OnMessage(message, wParam, lParam, &result))
        return result;
    return ::DefWindowProcA(hWnd, message, wParam, lParam);
}

BOOL CVideoWindow::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    switch (message) {
    case WM_MOUSEMOVE:
        OnMouseMove();
        break;
    case WM_CONTEXTMENU:
        OnContextMenu((short)LOWORD(lParam), (short)HIWORD(lParam));
        break;
    case WM_DESTROY:
        m_menu.DestroyMenu();
        ::KillTimer(m_hWnd, VIDEO_TIMER_CURSOR);
        break;
    case WM_SIZE:
        OnSize(LOWORD(lParam), HIWORD(lParam));
        break;
    case WM_CLOSE:
        // The window's own close only hides it; the program goes on.
        ::ShowWindow(m_hWnd, SW_HIDE);
        *pResult = 0;
        return TRUE;
    case WM_ERASEBKGND: {
        RECT rc;
        ::GetClientRect(m_hWnd, &rc);
        ::FillRect((HDC)wParam, &rc, (HBRUSH)::GetStockObject(BLACK_BRUSH));
        *pResult = 1;
        return TRUE;
    }
    case WM_GETMINMAXINFO:
        // Also the default handling's: it fills in the rest first.
        *pResult = ::DefWindowProcA(m_hWnd, message, wParam, lParam);
        OnGetMinMaxInfo((MINMAXINFO*)lParam);
        return TRUE;
    case WM_KEYDOWN:
        OnKeyDown((UINT)wParam);
        break;
    case WM_COMMAND:
        OnCommand(LOWORD(wParam));
        OnHistoryChoice(LOWORD(wParam));
        break;
    case WM_TIMER:
        OnTimer(wParam);
        break;
    case WM_INITMENUPOPUP:
        OnInitMenuPopup();
        break;
    case WM_SIZING:
        OnSizing((int)wParam, (RECT*)lParam);
        break;
    case WM_LBUTTONDOWN:
        OnLButtonDown(lParam);
        break;
    case WM_LBUTTONDBLCLK:
        m_doubleClick.Reset();
        ToggleFullScreen();
        break;
    case WM_ACTIVATE:
        OnActivate(wParam);
        break;
    case WM_VIDEO_SIZE_PRESET:
        ApplyPreset((int)wParam, FALSE);
        break;
    case WM_VIDEO_ALWAYS_ON_TOP:
        SetAlwaysOnTop(wParam != 0, FALSE);
        break;
    case WM_SKINFRAME_MINIMIZE:
        ::PostMessage(m_hWnd, WM_SYSCOMMAND, SC_MINIMIZE, 0);
        break;
    case WM_SKINFRAME_MAXIMIZE:
        ::ShowWindow(m_hWnd, ::IsZoomed(m_hWnd) ? SW_RESTORE : SW_MAXIMIZE);
        break;
    case WM_SKINFRAME_CLOSE:
        CloseRequest();
        break;
    case WM_VIDEO_TOGGLE_FULL:
        ToggleFullScreen();
        break;
    case WM_VIDEO_INPUT_CHANGED:
        RefreshInputChecks();
        break;
    }
    return FALSE;
}

void CVideoWindow::OnMouseMove()
{
    if (!m_bFullScreen || !g_pCursorHider)
        return;
    POINT pt;
    ::GetCursorPos(&pt);
    // Move messages come also when nothing moved (a window changing under
    // the cursor): those must not bring a hidden cursor back.
    POINT rest = g_pCursorHider->GetRestPosition();
    if (g_pCursorHider->IsHidden() && pt.x == rest.x && pt.y == rest.y)
        return;
    g_pCursorHider->Restore();
    ::SetTimer(m_hWnd, VIDEO_TIMER_CURSOR, 10, NULL);
    ::GetCursorPos(&pt);
    g_pCursorHider->SetRestPosition(pt);
}

void CVideoWindow::OnActivate(WPARAM wParam)
{
    // A cursor hidden over the picture must not stay hidden over the window
    // that takes over (the main panel on key A).
    if (LOWORD(wParam) == WA_INACTIVE && g_pCursorHider && g_pCursorHider->IsHidden() &&
        g_pCursorHider->GetOwner() == m_hWnd)
        g_pCursorHider->Restore();
}

void CVideoWindow::OnSize(int cx, int cy)
{
    int mode = CurrentMode();
    if (g_pCaptureGraph && IsPictureMode(mode))
        g_pCaptureGraph->SetVideoPosition(0, 0, cx, cy);
    if (g_pMediaPlayer && mode == MODE_PLAY_FILE)
        g_pMediaPlayer->SetWindowPosition(0, 0, cx, cy);
}

void CVideoWindow::OnGetMinMaxInfo(MINMAXINFO* pInfo)
{
    if (!pInfo)
        return;
    if (m_bFullScreen) {
        // The frame lies off the screen: the window is larger than the
        // default limits allow.
        POINT size = {m_rcFullScreen.right - m_rcFullScreen.left,
                      m_rcFullScreen.bottom - m_rcFullScreen.top};
        pInfo->ptMaxSize = size;
        pInfo->ptMaxTrackSize = size;
    } else {
        BOOL wide = g_pSettings && g_pSettings->m_nWindowAspect == ASPECT_16_9;
        pInfo->ptMinTrackSize.x = 320;
        pInfo->ptMinTrackSize.y = wide ? 180 : 240;
    }
}

void CVideoWindow::OnKeyDown(UINT nKey)
{
    int mode = CurrentMode();
    switch (nKey) {
    case VK_RETURN:
        ToggleFullScreen();
        break;
    case VK_ESCAPE:
        if (IsFullScreenMode(mode))
            LeaveFullScreen();
        break;
    case 'C':
        CenterOnDesktop();
        break;
    }
}

void CVideoWindow::CenterOnDesktop()
{
    if (!::IsWindowVisible(m_hWnd) || ::GetActiveWindow() != m_hWnd || m_bFullScreen)
        return;
    RECT desktop, rw;
    ::GetWindowRect(::GetDesktopWindow(), &desktop);
    ::GetWindowRect(m_hWnd, &rw);
    int x = ((desktop.right - desktop.left) - (rw.right - rw.left)) / 2;
    int y = ((desktop.bottom - desktop.top) - (rw.bottom - rw.top)) / 2;
    ::SetWindowPos(m_hWnd, m_bAlwaysOnTop ? HWND_TOPMOST : HWND_NOTOPMOST, x, y, 0, 0,
                   SWP_NOSIZE | SWP_NOACTIVATE | SWP_FRAMECHANGED | SWP_SHOWWINDOW);
}

void CVideoWindow::OnTimer(UINT_PTR nId)
{
    if (nId == VIDEO_TIMER_CURSOR && m_bFullScreen && g_pCursorHider)
        g_pCursorHider->OnTick(VIDEO_TIMER_CURSOR);
}

void CVideoWindow::OnSizing(int nEdge, RECT* pRect)
{
    if (!g_pSettings)
        return;
    int mode = CurrentMode();
    if (IsPictureMode(mode))
        ConstrainAspect(g_pSettings->m_nWindowAspect, nEdge, pRect);
}

void CVideoWindow::OnLButtonDown(LPARAM lParam)
{
    // The renderer's window inside has no double clicks of its own: its
    // presses arrive here through the message drain, one by one.
    POINT pt = {(short)LOWORD(lParam), (short)HIWORD(lParam)};
    if (m_doubleClick.OnButtonDown(::GetMessageTime(), pt)) {
        ToggleFullScreen();
        return;
    }
    if (m_bDragByClient && !m_bFullScreen) {
        POINT screen = pt;
        ::ClientToScreen(m_hWnd, &screen);
        ::PostMessage(m_hWnd, WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(screen.x, screen.y));
    }
}

// ---- menu ------------------------------------------------------------------------

void CVideoWindow::RebuildHistoryMenu()
{
    HMENU hPopup = ::GetSubMenu(m_menu.GetSafeHmenu(), 0);
    HMENU hHistory = ::GetSubMenu(hPopup, kHistoryMenuPosition);
    if (!hHistory)
        return;
    while (::GetMenuItemCount(hHistory) > 0)
        ::DeleteMenu(hHistory, 0, MF_BYPOSITION);
    if (g_pHistoryList) {
        for (int pos = 0; pos < g_pHistoryList->GetCount(); pos++) {
            HistoryRecord* rec = g_pHistoryList->GetAt(pos);
            if (!rec)
                continue;
            char name[sizeof(rec->channel.szName) + 1];
            memcpy(name, rec->channel.szName, sizeof(rec->channel.szName));
            name[sizeof(rec->channel.szName)] = 0;
            int id = ID_VIDEO_HISTORY_FIRST + pos;
            ::AppendMenuA(hHistory, MF_STRING, id, name);
            g_pHistoryList->SetMenuId(pos, id);
        }
    }
    m_menu.AttachMenu(m_menu.GetSafeHmenu(), SKINMENU_LEVEL_TOP);
}

void CVideoWindow::EnableMenuItems()
{
    HMENU hMenu = m_menu.GetSafeHmenu();
    int mode = CurrentMode();
    auto enable = [hMenu](UINT id, BOOL on) {
        ::EnableMenuItem(hMenu, id, MF_BYCOMMAND | (on ? MF_ENABLED : MF_GRAYED));
    };
    BOOL viewing = IsViewingMode(mode);
    enable(ID_VIDEO_INPUT_TV, viewing);
    enable(ID_VIDEO_INPUT_COMPOSITE, viewing);
    enable(ID_VIDEO_INPUT_SVIDEO, viewing);
    if (g_pHistoryList)
        for (int pos = 0; pos < g_pHistoryList->GetCount(); pos++)
            enable(ID_VIDEO_HISTORY_FIRST + pos, mode == MODE_TV_VIEW);
    if (m_bFullScreen) {
        enable(ID_VIDEO_FULL_SCREEN, FALSE);
        enable(ID_VIDEO_MINIMIZE, FALSE);
        enable(ID_VIDEO_NORMAL_SCREEN, TRUE);
    } else {
        enable(ID_VIDEO_MINIMIZE, TRUE);
        enable(ID_VIDEO_NORMAL_SCREEN, FALSE);
        enable(ID_VIDEO_FULL_SCREEN, mode != MODE_TV_WALL && mode != MODE_SCAN &&
                                         mode != MODE_NUMBER_BUTTONS && mode != MODE_NUMBER_KEYS);
    }
    BOOL settings = mode != MODE_TV_RECORD && mode != MODE_TV_WALL && mode != MODE_PLAY_FILE &&
                    mode != MODE_SCAN && mode != MODE_SVIDEO_RECORD &&
                    mode != MODE_COMPOSITE_RECORD;
    enable(ID_VIDEO_SETTINGS, settings);
}

void CVideoWindow::OnContextMenu(int x, int y)
{
    HMENU hPopup = ::GetSubMenu(m_menu.GetSafeHmenu(), 0);
    if (!hPopup)
        return;
    RebuildHistoryMenu();
    EnableMenuItems();
    CMenu* pPopup = CMenu::FromHandle(hPopup);
    pPopup->TrackPopupMenu(TPM_LEFTALIGN | TPM_RIGHTBUTTON, x, y, m_hWnd);
}

void CVideoWindow::RefreshSizeChecks()
{
    HMENU hMenu = m_menu.GetSafeHmenu();
    static const UINT ids[3] = {ID_VIDEO_SIZE_320, ID_VIDEO_SIZE_640, ID_VIDEO_SIZE_720};
    for (int i = 0; i < 3; i++)
        ::CheckMenuItem(hMenu, ids[i],
                        MF_BYCOMMAND | (m_nSizePreset == i + 1 ? MF_CHECKED : MF_UNCHECKED));
}

void CVideoWindow::RefreshOnTopCheck()
{
    ::CheckMenuItem(m_menu.GetSafeHmenu(), ID_VIDEO_ON_TOP,
                    MF_BYCOMMAND | (m_bAlwaysOnTop == 1 ? MF_CHECKED : MF_UNCHECKED));
}

void CVideoWindow::RefreshInputChecks()
{
    HMENU hMenu = m_menu.GetSafeHmenu();
    int input = g_pSettings ? g_pSettings->m_nInputSource : 0;
    auto check = [hMenu](UINT id, BOOL on) {
        ::CheckMenuItem(hMenu, id, MF_BYCOMMAND | (on ? MF_CHECKED : MF_UNCHECKED));
    };
    check(ID_VIDEO_INPUT_TV, input == 1 || input == 2);
    check(ID_VIDEO_INPUT_COMPOSITE, input == 3);
    check(ID_VIDEO_INPUT_SVIDEO, input == 4);
}

void CVideoWindow::OnInitMenuPopup()
{
    if (m_bFullScreen && g_pCursorHider)
        g_pCursorHider->Restore();
    if (!m_bMenuStateInit && g_pSettings) {
        m_bAlwaysOnTop = g_pSettings->m_bAlwaysOnTop ? 1 : 0;
        int preset = g_pSettings->m_nVideoSize;
        m_nSizePreset = preset >= 1 && preset <= 3 ? preset : 2;
        m_bMenuStateInit = TRUE;
    }
    RefreshSizeChecks();
    RefreshOnTopCheck();
    RefreshInputChecks();
}

void CVideoWindow::OnCommand(UINT nId)
{
    int mode = CurrentMode();
    CMainDlg* pMain = MainDialog();
    switch (nId) {
    case ID_VIDEO_PANEL:
        if (pMain)
            pMain->ActivateMainWindow();
        break;
    case ID_VIDEO_CHANNEL_UP:
    case ID_VIDEO_CHANNEL_DOWN:
        if (HWND hMain = MainWindow())
            ::PostMessage(hMain, nId == ID_VIDEO_CHANNEL_UP ? WM_CHANNEL_UP : WM_CHANNEL_DOWN, 0,
                          0);
        break;
    case ID_VIDEO_CHANNEL_RECALL:
        if (mode == MODE_TV_VIEW && g_pChannelStore)
            g_pChannelStore->RecallPreviousChannel();
        break;
    case ID_VIDEO_FULL_SCREEN:
        if (IsFullScreenMode(mode))
            EnterFullScreen();
        break;
    case ID_VIDEO_NORMAL_SCREEN:
        if (IsFullScreenMode(mode))
            LeaveFullScreen();
        break;
    case ID_VIDEO_MINIMIZE:
        ::SendMessage(m_hWnd, WM_SYSCOMMAND, SC_MINIMIZE, 0);
        break;
    case ID_VIDEO_SIZE_320:
    case ID_VIDEO_SIZE_640:
    case ID_VIDEO_SIZE_720:
        ApplyPreset((int)(nId - ID_VIDEO_SIZE_320) + 1, TRUE);
        break;
    case ID_VIDEO_ASPECT_4_3:
        SetAspect(ASPECT_4_3);
        break;
    case ID_VIDEO_ASPECT_16_9:
        SetAspect(ASPECT_16_9);
        break;
    case ID_VIDEO_TV_WALL:
        if (pMain)
            pMain->ToggleTvWall();
        break;
    case ID_VIDEO_INPUT_TV:
    case ID_VIDEO_INPUT_COMPOSITE:
    case ID_VIDEO_INPUT_SVIDEO:
        SelectInput(nId);
        break;
    case ID_VIDEO_SETTINGS:
        if (pMain)
            pMain->TogglePropertyWindow();
        break;
    case ID_VIDEO_ON_TOP:
        SetAlwaysOnTop(!m_bAlwaysOnTop, TRUE);
        break;
    case ID_VIDEO_CLOSE:
        CloseRequest();
        break;
    }
}

void CVideoWindow::ResizeClient(int cx, int cy, UINT nFlags)
{
    SIZE frame = FrameSize(m_hWnd);
    ::SetWindowPos(m_hWnd, NULL, 0, 0, cx + frame.cx, cy + frame.cy, nFlags);
}

void CVideoWindow::ApplyPreset(int nPreset, BOOL bFromMenu)
{
    if (nPreset < 1 || nPreset > 3 || !IsViewingMode(CurrentMode()))
        return;
    m_nSizePreset = nPreset;
    RefreshSizeChecks();
    SIZE size = PresetSize(nPreset);
    BOOL lostGraph = FALSE;
    if (g_pCaptureGraph && !g_pCaptureGraph->ResizeVideo(size.cx, size.cy)) {
        // A graph that could not take the size shows nothing: it goes, and is
        // built anew at the new size below.
        delete g_pCaptureGraph;
        g_pCaptureGraph = NULL;
        lostGraph = TRUE;
    }
    if (g_pSettings)
        g_pSettings->m_nVideoSize = nPreset;
    if (bFromMenu) {
        if (HWND hSettings = SettingsWindow())
            ::SendMessage(hSettings, WM_VIDEO_SIZE_PRESET, nPreset, 0);
    }
    if (lostGraph)
        if (CMainDlg* pMain = MainDialog())
            pMain->EnsureGraph();
    // The client area is the preset, whatever the frame (the settings
    // window's request too, not the whole window).
    if (!m_bFullScreen)
        ResizeClient(size.cx, size.cy,
                     bFromMenu ? SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW |
                                     SWP_FRAMECHANGED
                               : SWP_NOMOVE | SWP_NOZORDER | SWP_FRAMECHANGED);
}

void CVideoWindow::SetAspect(int nAspect)
{
    if (m_bFullScreen)
        return;
    RECT rc;
    ::GetClientRect(m_hWnd, &rc);
    int cx = rc.right;
    int cy = nAspect == ASPECT_16_9 ? cx * 9 / 16 : cx * 3 / 4;
    ResizeClient(cx, cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CVideoWindow::SetAlwaysOnTop(BOOL bOnTop, BOOL bTellSettings)
{
    m_bAlwaysOnTop = bOnTop ? 1 : 0;
    if (g_pSettings)
        g_pSettings->m_bAlwaysOnTop = m_bAlwaysOnTop;
    RefreshOnTopCheck();
    if (bTellSettings)
        if (HWND hSettings = SettingsWindow())
            ::PostMessage(hSettings, WM_VIDEO_ALWAYS_ON_TOP, m_bAlwaysOnTop, 0);
    ::SetWindowPos(m_hWnd, m_bAlwaysOnTop ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                   SWP_NOSIZE | SWP_NOMOVE | SWP_FRAMECHANGED);
}

void CVideoWindow::CloseRequest()
{
    int mode = CurrentMode();
    if (!IsViewingMode(mode) && mode != MODE_FM_RADIO)
        return;
    EndScheduledRun();
    if (HWND hMain = MainWindow())
        ::PostMessage(hMain, WM_SYSCOMMAND, SC_CLOSE, 0);
}

void CVideoWindow::SelectInput(UINT nId)
{
    EndScheduledRun();
    CMainDlg* pMain = MainDialog();
    if (pMain) {
        // The main dialog switches, then tells the settings window and this
        // one (1714), where the check marks follow.
        if (nId == ID_VIDEO_INPUT_TV)
            pMain->SelectTvSource();
        else if (nId == ID_VIDEO_INPUT_COMPOSITE)
            pMain->SelectCompositeSource();
        else
            pMain->SelectSVideoSource();
    }
    RefreshInputChecks();
}

void CVideoWindow::OnHistoryChoice(UINT nId)
{
    if (CurrentMode() != MODE_TV_VIEW || !m_menu.GetSafeHmenu() || !g_pSettings ||
        !g_pChannelStore || !g_pHistoryList)
        return;
    HMENU hHistory = ::GetSubMenu(::GetSubMenu(m_menu.GetSafeHmenu(), 0), kHistoryMenuPosition);
    if (!hHistory || ::GetMenuState(hHistory, nId, MF_BYCOMMAND) == (UINT)-1)
        return;
    HistoryRecord* rec = g_pHistoryList->FindByMenuId((int)nId);
    if (!rec)
        return;
    EndScheduledRun();
    // Entries made from the country plan know no list: the one in use now.
    int list = rec->nList;
    if (list != 1 && list != 2)
        list = g_pSettings->m_nInputSource == 1 ? 1 : 2;
    g_pChannelStore->SelectChannelNumber(rec->channel.nNumber, list, TRUE);
}
