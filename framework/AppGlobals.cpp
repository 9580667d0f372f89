// The application's process-wide accessors, message boxes and window classes.
// Kept apart from CWinApp so that a program with a WinMain of its own can use
// them without pulling in the framework's WinMain.
#include "WinApp.h"
#include "Wnd.h"
#include "Seams.h"
#include <commctrl.h>
#include <stdio.h>
#include <set>
#include <string>

static CWinApp* g_pApp = NULL;
static HINSTANCE g_hResource = NULL;

void FwSetApp(CWinApp* pApp)
{
    g_pApp = pApp;
}

CWinApp* AfxGetApp()
{
    return g_pApp;
}

CWnd* AfxGetMainWnd()
{
    return g_pApp ? g_pApp->m_pMainWnd : NULL;
}

HINSTANCE AfxGetInstanceHandle()
{
    if (g_pApp && g_pApp->m_hInstance)
        return g_pApp->m_hInstance;
    return ::GetModuleHandle(NULL);
}

// These take the place of the core's fallbacks (weak, beside LoadString).
HINSTANCE AfxGetResourceHandle()
{
    return g_hResource ? g_hResource : AfxGetInstanceHandle();
}

void AfxSetResourceHandle(HINSTANCE hInstResource)
{
    g_hResource = hInstResource;
}

static HWND MessageBoxOwner()
{
    CWnd* pMain = AfxGetMainWnd();
    HWND hWnd = pMain ? pMain->m_hWnd : NULL;
    return ::IsWindow(hWnd) ? hWnd : NULL;
}

int AfxMessageBox(LPCTSTR lpszText, UINT nType, UINT)
{
    CWinApp* pApp = AfxGetApp();
    LPCTSTR caption = pApp && pApp->m_pszAppName ? pApp->m_pszAppName : "";
    return FwMessageBox(MessageBoxOwner(), lpszText, caption, nType);
}

int AfxMessageBox(UINT nIDPrompt, UINT nType, UINT nIDHelp)
{
    char text[4096];
    if (!::LoadStringA(AfxGetResourceHandle(), nIDPrompt, text, sizeof(text)))
        text[0] = 0;
    return AfxMessageBox(text, nType, nIDHelp);
}

LPCTSTR AfxRegisterWndClass(UINT nClassStyle, HCURSOR hCursor, HBRUSH hbrBackground, HICON hIcon)
{
    static CRITICAL_SECTION* lock = NULL;
    static std::set<std::string>* names = NULL;
    if (!lock) {
        // First call comes from the user-interface thread before any other.
        lock = new CRITICAL_SECTION;
        InitializeCriticalSection(lock);
        names = new std::set<std::string>;
    }
    HINSTANCE hInst = AfxGetInstanceHandle();
    char name[96];
    snprintf(name, sizeof(name), "Fw:%p:%x:%p:%p:%p", (void*)hInst, nClassStyle,
             (void*)hCursor, (void*)hbrBackground, (void*)hIcon);
    EnterCriticalSection(lock);
    LPCTSTR result = NULL;
    std::set<std::string>::iterator it = names->find(name);
    if (it != names->end()) {
        result = it->c_str();
    } else {
        WNDCLASSA wc;
        BOOL ok = ::GetClassInfoA(hInst, name, &wc);
        if (!ok) {
            memset(&wc, 0, sizeof(wc));
            wc.style = nClassStyle;
            wc.lpfnWndProc = ::DefWindowProcA;
            wc.hInstance = hInst;
            wc.hIcon = hIcon;
            wc.hCursor = hCursor;
            wc.hbrBackground = hbrBackground;
            wc.lpszClassName = name;
            ok = ::RegisterClassA(&wc) != 0;
        }
        if (ok)
            result = names->insert(name).first->c_str();
    }
    LeaveCriticalSection(lock);
    return result;
}

BOOL AfxInitCommonControls()
{
    static BOOL done = FALSE;
    if (!done) {
        INITCOMMONCONTROLSEX icc;
        icc.dwSize = sizeof(icc);
        icc.dwICC = ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES;
        done = ::InitCommonControlsEx(&icc);
    }
    return done;
}

