// CWinApp: the one application object of a program, constructed as a global.
// The framework's WinMain (WinApp.cpp) runs it: InitInstance; Run when that
// returned TRUE; then ExitInstance, whose result is the exit code.
#pragma once
#include <windows.h>
#include "CmdTarget.h"

class CWnd;

// String resource with the application's title (caption of its message boxes).
#define AFX_IDS_APP_TITLE 0xE000

class CWinApp : public CCmdTarget {
    DECLARE_DYNAMIC(CWinApp)
public:
    explicit CWinApp(LPCTSTR lpszAppName = NULL);
    virtual ~CWinApp();

    HINSTANCE m_hInstance;
    LPTSTR m_lpCmdLine;
    int m_nCmdShow;
    LPCTSTR m_pszAppName;       // caption of AfxMessageBox: as constructed, else
                                // string AFX_IDS_APP_TITLE, else the exe name
    LPCTSTR m_pszExeName;       // file name of the program without its extension
    CWnd* m_pMainWnd;           // when it is destroyed, Run ends

    virtual BOOL InitInstance();
    // The default returns the code of the WM_QUIT that ended Run (0 without one).
    virtual int ExitInstance();
    virtual int Run();
    virtual BOOL PumpMessage();
    // Between messages; TRUE asks for more idle time. The default frees the
    // temporary wrapper objects.
    virtual BOOL OnIdle(LONG lCount);
    // Used by Run and by modal dialog loops: the target window and its parents
    // up to the top-level window; then, for a window outside the main window,
    // the main window.
    virtual BOOL PreTranslateMessage(MSG* pMsg);

    HICON LoadIcon(LPCTSTR lpszResourceName) const;
    HICON LoadIcon(UINT nIDResource) const;
    HICON LoadStandardIcon(LPCTSTR lpszIconName) const { return ::LoadIcon(NULL, lpszIconName); }
    HCURSOR LoadCursor(LPCTSTR lpszResourceName) const;
    HCURSOR LoadCursor(UINT nIDResource) const;
    HCURSOR LoadStandardCursor(LPCTSTR lpszCursorName) const { return ::LoadCursor(NULL, lpszCursorName); }
    // Three-dimensional controls are the system's own today.
    BOOL Enable3dControls() { return TRUE; }
    BOOL Enable3dControlsStatic() { return TRUE; }

    // Fills the members above from the process (WinMain calls it).
    void SetStartup(HINSTANCE hInstance, LPTSTR lpCmdLine, int nCmdShow);

protected:
    int m_nQuitCode;
    MSG m_msgCur;

private:
    char m_szExeName[MAX_PATH];
    char m_szAppName[MAX_PATH];
    CWinApp(const CWinApp&);
    CWinApp& operator=(const CWinApp&);
};

CWinApp* AfxGetApp();
CWnd* AfxGetMainWnd();
HINSTANCE AfxGetInstanceHandle();
// Message boxes go through FwMessageBox with the application's name as caption.
int AfxMessageBox(LPCTSTR lpszText, UINT nType = MB_OK, UINT nIDHelp = 0);
int AfxMessageBox(UINT nIDPrompt, UINT nType = MB_OK, UINT nIDHelp = (UINT)-1);
// Registers (once) a window class with DefWindowProc and these attributes and
// returns its name, valid for the rest of the run.
LPCTSTR AfxRegisterWndClass(UINT nClassStyle, HCURSOR hCursor = 0, HBRUSH hbrBackground = 0, HICON hIcon = 0);
// Loads the common controls this program uses (done once by the application).
BOOL AfxInitCommonControls();
inline void AfxEnableControlContainer() {}
// The application object registers itself here (one per program).
void FwSetApp(CWinApp* pApp);
int AfxWinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPSTR lpCmdLine, int nCmdShow);
