#include "TvApp.h"
#include "DeviceList.h"
#include "MainDlg.h"
#include "StepTrace.h"
#include <objbase.h>

CTvApp theApp;

CTvApp::CTvApp() : m_hMutex(NULL), m_bComInitialized(FALSE)
{
}

BOOL CTvApp::InitInstance()
{
    FwTraceStep("program entry");
    // The mutex disappears with its last handle, so a copy that crashed does
    // not block the next start.
    m_hMutex = ::CreateMutexA(NULL, FALSE, ORVIXPLUS_MUTEX_NAME);
    if (m_hMutex && ::GetLastError() == ERROR_ALREADY_EXISTS) {
        AfxMessageBox("应用程序已经在运行!", MB_OK);
        return FALSE;
    }
    // The first start of the sound stack is most of what the dialog's audio
    // device names cost: it runs beside the dialog's splash and skin.
    BeginAudioDeviceList();

    AfxEnableControlContainer();
    m_bComInitialized = SUCCEEDED(::CoInitialize(NULL));
    FwTraceStep("mutex and COM");

    CMainDlg dlg;
    m_pMainWnd = &dlg;
    dlg.DoModal();
    m_pMainWnd = NULL;
    // The dialog's end is the program's end: no message loop follows.
    return FALSE;
}

int CTvApp::ExitInstance()
{
    // A dialog that never came as far as its device names leaves the list's
    // thread to be waited for here.
    FreeAudioDeviceList();
    if (m_bComInitialized)
        ::CoUninitialize();
    m_bComInitialized = FALSE;
    if (m_hMutex)
        ::CloseHandle(m_hMutex);
    m_hMutex = NULL;
    return CWinApp::ExitInstance();
}
