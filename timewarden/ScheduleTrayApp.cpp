#include "ScheduleTrayApp.h"
#include "ScheduleClockSeam.h"
#include "ScheduleTrayDlg.h"
#include "TrayIcon.h"

CScheduleTrayApp theApp;

CScheduleTrayApp::CScheduleTrayApp() : m_hMutex(NULL)
{
}

BOOL CScheduleTrayApp::InitInstance()
{
    AfxEnableControlContainer();
    // Explorer announces a restart by this message; it must be known before
    // the icon's window exists.
    TaskbarCreatedMessage();
    m_hMutex = ::CreateMutexA(NULL, FALSE, TIMEWARDEN_MUTEX_NAME);
    if (::GetLastError() == ERROR_ALREADY_EXISTS) {
        AfxMessageBox("应用程序已经在运行!");
        return FALSE;
    }
    Enable3dControls();
    // The due check, the wake timer and the timed shut-down read the same
    // moved clock as OrvixPlus, or a test's entry falls due in one program only.
    InstallScheduleClockOffset();
    CScheduleTrayDlg dlg;
    m_pMainWnd = &dlg;
    dlg.DoModal();
    m_pMainWnd = NULL;
    return FALSE;
}

int CScheduleTrayApp::ExitInstance()
{
    if (m_hMutex)
        ::CloseHandle(m_hMutex);
    m_hMutex = NULL;
    return CWinApp::ExitInstance();
}
