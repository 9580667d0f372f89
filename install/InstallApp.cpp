#include "InstallApp.h"
#include "InstallDlg.h"

CInstallApp theApp;

CInstallApp::CInstallApp()
{
}

BOOL CInstallApp::InitInstance()
{
    AfxEnableControlContainer();
    Enable3dControls();

    CInstallDlg dlg;
    m_pMainWnd = &dlg;
    dlg.DoModal();
    // The dialog was the whole program: no message loop follows it.
    return FALSE;
}
