#include "TrayIcon.h"
#include <string.h>
#include "FixedText.h"
#include "ScheduleTrayDlg.h"
#include "SkinMenu.h"
#include "TrayMenuFrame.h"

IMPLEMENT_DYNAMIC(CTrayIcon, CCmdTarget)

// Built when the icon gets its window, destroyed with the icon.
static CSkinMenu* g_pTrayMenu = NULL;

UINT TaskbarCreatedMessage()
{
    static const UINT s_uMsg = ::RegisterWindowMessageA("TaskbarCreated");
    return s_uMsg;
}

namespace {

// The string of a resource id, cut to whole characters by SetTip.
void LoadResourceString(UINT uID, char* text, int size)
{
    if (!::LoadStringA(AfxGetResourceHandle(), uID, text, size))
        text[0] = 0;
}

}  // namespace

CTrayIcon::CTrayIcon(UINT uID)
{
    memset(&m_nid, 0, sizeof(m_nid));
    m_nid.cbSize = NOTIFYICONDATAA_V1_SIZE;
    m_nid.uID = uID;
    char text[256];
    LoadResourceString(uID, text, sizeof(text));
    SetTip(text);
}

CTrayIcon::~CTrayIcon()
{
    SetIcon(0);
    if (g_pTrayMenu) {
        SkinMenu_RemoveHook();
        delete g_pTrayMenu;
        g_pTrayMenu = NULL;
    }
    m_notifyHook.HookWindow((HWND)NULL);
    m_parentHook.HookWindow((HWND)NULL);
}

LRESULT CTrayIconHook::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (m_pIcon) {
        if (message == m_pIcon->m_nid.uCallbackMessage && m_hWnd == m_pIcon->m_nid.hWnd)
            m_pIcon->OnTrayNotification(wParam, lParam);
        else if (message == TaskbarCreatedMessage())
            m_pIcon->OnTaskbarCreated(wParam, lParam);
    }
    return CSubclassWnd::WindowProc(message, wParam, lParam);
}

// The window that owns the tray menu: the program's main window, else the
// icon's own (a test's window).
static HWND TrayMenuOwner(HWND hIconWnd)
{
    CWnd* pMain = AfxGetMainWnd();
    return pMain && pMain->m_hWnd ? pMain->m_hWnd : hIconWnd;
}

void BuildTrayMenu(CWnd* pOwner)
{
    if (!g_pTrayMenu)
        g_pTrayMenu = new CSkinMenu;
    g_pTrayMenu->LoadMenu(IDR_TRAY_MENU, 0);
    CSkinMenuManager::Install(TrayMenuOwner(CWnd::SafeHwnd(pOwner)));
    SkinMenu_InstallHook();
    SkinMenu_SetLogo("KESTOR ORVIX", RGB(0, 0, 255));
    // No image column: its strip takes the button face and is not drawn.
    SkinMenu_SetFlags(SkinMenu_GetFlags() & ~SKINMENU_FLAG_ICONBAR);
    static const struct { int slot; COLORREF colour; } s_colours[] = {
        {SKINMENU_COLOR_MENU, RGB(255, 255, 255)},
        {SKINMENU_COLOR_ICONBAR, ::GetSysColor(COLOR_BTNFACE)},
        {SKINMENU_COLOR_TEXT, RGB(0, 0, 0)},
        {SKINMENU_COLOR_LIGHTBAR, RGB(125, 125, 125)},
        {SKINMENU_COLOR_LIGHTBAR_START, RGB(255, 255, 255)},
        {SKINMENU_COLOR_LIGHTBAR_END, RGB(210, 206, 197)},
        {SKINMENU_COLOR_HIGHLIGHT_TEXT, RGB(20, 20, 50)},
        // The popup border: outer top-left and bottom-right, then inner.
        {SKINMENU_COLOR_FRAME0, RGB(120, 120, 158)},
        {SKINMENU_COLOR_FRAME1, RGB(48, 50, 48)},
        {SKINMENU_COLOR_FRAME2, RGB(255, 255, 255)},
        {SKINMENU_COLOR_FRAME3, RGB(168, 168, 210)},
    };
    for (const auto& c : s_colours)
        SkinMenu_SetColor(c.slot, c.colour);
}

CMenu* TrayMenu()
{
    return g_pTrayMenu;
}

LRESULT CTrayIcon::OnTrayNotification(WPARAM wParam, LPARAM lParam)
{
    if (wParam != m_nid.uID)
        return 0;
    HWND hMain = TrayMenuOwner(m_nid.hWnd);
    switch ((UINT)lParam) {
    case WM_RBUTTONUP: {
        HMENU hPopup = g_pTrayMenu ? ::GetSubMenu(g_pTrayMenu->m_hMenu, 0) : NULL;
        if (!hPopup)
            return 1;
        ::SetMenuDefaultItem(hPopup, 0, TRUE);
        POINT pt;
        ::GetCursorPos(&pt);
        ::SetForegroundWindow(hMain);
        ::TrackPopupMenu(hPopup, TPM_RIGHTBUTTON, pt.x, pt.y, 0, hMain, NULL);
        // The menu closes properly only once its owner has had a message.
        ::PostMessageA(hMain, WM_NULL, 0, 0);
        return 1;
    }
    case WM_LBUTTONDBLCLK:
        if (HWND hFm = ::FindWindowA(NULL, FM_PROGRAM_CAPTION))
            ::SendMessageA(hFm, WM_SYSCOMMAND, SC_CLOSE, 0);
        if (!::FindWindowA(NULL, MAIN_PROGRAM_CAPTION)) {
            CString commandLine = "\"" + CScheduleTrayDlg::GetModuleFolder() + MAIN_PROGRAM_FILE "\"";
            ::WinExec(commandLine, SW_SHOW);
        }
        return 1;
    }
    return 0;
}

LRESULT CTrayIcon::OnTaskbarCreated(WPARAM, LPARAM)
{
    HICON hIcon = m_nid.hIcon;
    m_nid.hIcon = NULL;
    if (hIcon)
        SetIcon(hIcon, NULL);
    return 0;
}

void CTrayIcon::SetTip(LPCSTR text)
{
    // The shell shows the first 63 bytes and needs the terminator inside the field.
    CopyFixedText(m_nid.szTip, 64, text);
}

void CTrayIcon::SetNotificationWnd(CWnd* pNotifyWnd, UINT uCbMsg)
{
    m_nid.hWnd = CWnd::SafeHwnd(pNotifyWnd);
    m_nid.uCallbackMessage = uCbMsg;
    m_notifyHook.m_pIcon = this;
    m_parentHook.m_pIcon = this;
    m_notifyHook.HookWindow(m_nid.hWnd);
    HWND hTop = m_nid.hWnd ? ::GetAncestor(m_nid.hWnd, GA_ROOT) : NULL;
    m_parentHook.HookWindow(hTop != m_nid.hWnd ? hTop : NULL);
    BuildTrayMenu(pNotifyWnd);
}

BOOL CTrayIcon::SetIcon(UINT uID)
{
    HICON hicon = NULL;
    if (uID) {
        char text[256];
        LoadResourceString(uID, text, sizeof(text));
        SetTip(text);
        hicon = (HICON)::LoadImageA(AfxGetResourceHandle(), MAKEINTRESOURCEA(uID), IMAGE_ICON,
                                    ::GetSystemMetrics(SM_CXSMICON), ::GetSystemMetrics(SM_CYSMICON), LR_SHARED);
    }
    return SetIcon(hicon, NULL);
}

BOOL CTrayIcon::SetIcon(HICON hicon, LPCSTR lpTip)
{
    DWORD operation;
    m_nid.uFlags = 0;
    if (hicon) {
        operation = m_nid.hIcon ? NIM_MODIFY : NIM_ADD;
        m_nid.hIcon = hicon;
        m_nid.uFlags = NIF_ICON;
    } else {
        if (!m_nid.hIcon)
            return TRUE;
        operation = NIM_DELETE;
    }
    if (lpTip)
        SetTip(lpTip);
    if (m_nid.szTip[0])
        m_nid.uFlags |= NIF_TIP;
    if (m_nid.uCallbackMessage && m_nid.hWnd)
        m_nid.uFlags |= NIF_MESSAGE;
    BOOL bOk = ::Shell_NotifyIconA(operation, &m_nid);
    if (operation == NIM_DELETE || !bOk)
        m_nid.hIcon = NULL;
    return bOk;
}
