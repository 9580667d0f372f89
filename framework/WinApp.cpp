#include "WinApp.h"
#include "Wnd.h"

IMPLEMENT_DYNAMIC(CWinApp, CCmdTarget)


CWinApp::CWinApp(LPCTSTR lpszAppName)
    : m_hInstance(NULL), m_lpCmdLine(NULL), m_nCmdShow(SW_SHOWNORMAL),
      m_pszAppName(NULL), m_pszExeName(NULL), m_pMainWnd(NULL), m_nQuitCode(0)
{
    memset(&m_msgCur, 0, sizeof(m_msgCur));
    m_szExeName[0] = 0;
    m_szAppName[0] = 0;
    if (lpszAppName) {
        lstrcpynA(m_szAppName, lpszAppName, sizeof(m_szAppName));
        m_pszAppName = m_szAppName;
    }
    FwSetApp(this);
    AfxInitCommonControls();
}

CWinApp::~CWinApp()
{
    if (AfxGetApp() == this)
        FwSetApp(NULL);
}

void CWinApp::SetStartup(HINSTANCE hInstance, LPTSTR lpCmdLine, int nCmdShow)
{
    m_hInstance = hInstance;
    m_lpCmdLine = lpCmdLine;
    m_nCmdShow = nCmdShow;
    char path[MAX_PATH];
    DWORD n = ::GetModuleFileNameA(hInstance, path, sizeof(path));
    if (n == 0 || n >= sizeof(path))
        path[0] = 0;
    const char* name = path;
    for (const char* p = path; *p; p = ::CharNextA(p))
        if (*p == '\\' || *p == '/')
            name = p + 1;
    lstrcpynA(m_szExeName, name, sizeof(m_szExeName));
    char* dot = strrchr(m_szExeName, '.');
    if (dot)
        *dot = 0;
    m_pszExeName = m_szExeName;
    if (!m_pszAppName) {
        // The title from the resources, else the program's name.
        if (!::LoadStringA(AfxGetResourceHandle(), AFX_IDS_APP_TITLE, m_szAppName, sizeof(m_szAppName)))
            lstrcpynA(m_szAppName, m_szExeName, sizeof(m_szAppName));
        m_pszAppName = m_szAppName;
    }
}

BOOL CWinApp::InitInstance()
{
    return TRUE;
}

int CWinApp::ExitInstance()
{
    return m_nQuitCode;
}

BOOL CWinApp::PumpMessage()
{
    if (!::GetMessage(&m_msgCur, NULL, 0, 0)) {
        m_nQuitCode = (int)m_msgCur.wParam;
        return FALSE;
    }
    if (!PreTranslateMessage(&m_msgCur)) {
        ::TranslateMessage(&m_msgCur);
        ::DispatchMessage(&m_msgCur);
    }
    return TRUE;
}

int CWinApp::Run()
{
    FwMessageLoopScope loop;
    MSG msg;
    for (;;) {
        LONG lIdle = 0;
        while (!::PeekMessage(&msg, NULL, 0, 0, PM_NOREMOVE))
            if (!OnIdle(lIdle++))
                break;
        do {
            if (!PumpMessage())
                return m_nQuitCode;
        } while (::PeekMessage(&msg, NULL, 0, 0, PM_NOREMOVE));
    }
}

BOOL CWinApp::OnIdle(LONG)
{
    FwIdleDeleteTempMaps();
    return FALSE;
}

BOOL CWinApp::PreTranslateMessage(MSG* pMsg)
{
    HWND hWndMain = m_pMainWnd ? m_pMainWnd->m_hWnd : NULL;
    if (CWnd::WalkPreTranslateTree(hWndMain, pMsg))
        return TRUE;
    // Messages of windows outside the main window (other top-level windows,
    // modeless dialogs) get a last chance there, for the main window's keys.
    if (hWndMain && pMsg->hwnd) {
        CWnd* pWnd = CWnd::FromHandle(pMsg->hwnd);
        if (pWnd->GetTopLevelParent()->GetSafeHwnd() != hWndMain)
            return m_pMainWnd->PreTranslateMessage(pMsg);
    }
    return FALSE;
}

HICON CWinApp::LoadIcon(LPCTSTR lpszResourceName) const
{
    return ::LoadIcon(AfxGetResourceHandle(), lpszResourceName);
}

HICON CWinApp::LoadIcon(UINT nIDResource) const
{
    return ::LoadIcon(AfxGetResourceHandle(), MAKEINTRESOURCE(nIDResource));
}

HCURSOR CWinApp::LoadCursor(LPCTSTR lpszResourceName) const
{
    return ::LoadCursor(AfxGetResourceHandle(), lpszResourceName);
}

HCURSOR CWinApp::LoadCursor(UINT nIDResource) const
{
    return ::LoadCursor(AfxGetResourceHandle(), MAKEINTRESOURCE(nIDResource));
}

int AfxWinMain(HINSTANCE hInstance, HINSTANCE, LPSTR lpCmdLine, int nCmdShow)
{
    CWinApp* pApp = AfxGetApp();
    if (!pApp)
        return -1;
    pApp->SetStartup(hInstance, lpCmdLine, nCmdShow);
    if (pApp->InitInstance()) {
        pApp->Run();
    } else if (pApp->m_pMainWnd && ::IsWindow(pApp->m_pMainWnd->m_hWnd)) {
        pApp->m_pMainWnd->DestroyWindow();
    }
    return pApp->ExitInstance();
}

// Here rather than in a file of its own: a GUI program's own objects never
// name WinMain (the C runtime does, after the libraries were searched), but
// its application object pulls this file in, and WinMain with it.
extern "C" int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPSTR lpCmdLine, int nCmdShow)
{
    return AfxWinMain(hInstance, hPrevInstance, lpCmdLine, nCmdShow);
}
