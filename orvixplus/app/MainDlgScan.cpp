// The main dialog's side of the channel scan: the button that starts and
// stops it, the stop a channel switch asks for, and the worker thread that
// runs the walk of ChannelScan.h for the settings' country and tuner list.
#include "MainDlg.h"
#include "AppSettings.h"
#include "AppState.h"
#include "CaptureGraph.h"
#include "ChannelScan.h"
#include "CountryPlan.h"
#include "Globals.h"
#include "PropWindow.h"
#include "TuningHost.h"
#include <objbase.h>

static CCaptureGraph* CurrentGraph()
{
    return g_pCaptureGraph;
}

static HWND SettingsWindow()
{
    return g_pPropWindow ? g_pPropWindow->GetSafeHwnd() : NULL;
}

// The worker's argument is the main dialog; without one there is nothing to
// scan for.
static DWORD WINAPI ChannelScanWorker(LPVOID pDlg)
{
    if (!pDlg || !g_pSettings) {
        SetScanRunning(FALSE);
        return 0;
    }
    // The lock test and the sound switch are COM calls on this thread.
    HRESULT hrCom = ::CoInitializeEx(NULL, COINIT_MULTITHREADED);
    ChannelScanTargets targets = {g_pTuningHost, &CurrentGraph, SettingsWindow()};
    RunChannelScan(GetSettingsCountryTable(), g_pSettings->m_nTunerList, targets);
    if (SUCCEEDED(hrCom))
        ::CoUninitialize();
    return 0;
}

void CMainDlg::StartChannelScan()
{
    if (!g_pCaptureGraph || !g_pAppState)
        return;
    int mode = g_pAppState->GetMode();
    BOOL running = IsScanRunning();
    // Only TV viewing starts a scan and only a scan stops one; elsewhere the
    // button would leave the flag set for the next press to find.
    if (running ? mode != MODE_SCAN : mode != MODE_TV_VIEW)
        return;
    EndScheduledRunIfActive();
    ShowVideoWindow();
    if (!EnsureGraph())
        return;
    if (running) {
        StopScanAndWait();
        if (HWND hSettings = SettingsWindow())
            ::SendMessage(hSettings, WM_SCAN_END, 0, 0);
        return;
    }
    // A worker still finishing its last step would see the new flag and
    // carry on beside the new one.
    WaitForScanWorker();
    DeleteScheduleWindow();
    SetScanRunning(TRUE);
    g_pAppState->SetMode(MODE_SCAN);
    SetButtonTip("SCAN_CHANNELS", "停止扫描");
    EnableProgress("PROGRESS_VOLUME", FALSE);
    // The worker places each step's channel text on the picture in this
    // font, and asks nothing of this thread's windows.
    TakeTextFont();
    if (!StartScanWorker(&ChannelScanWorker, this)) {
        SetScanRunning(FALSE);
        g_pAppState->SetMode(MODE_TV_VIEW);
        SetButtonTip("SCAN_CHANNELS", "频道扫描");
        EnableProgress("PROGRESS_VOLUME", TRUE);
    }
}

void CMainDlg::OnStopScan()
{
    if (g_pAppState && g_pAppState->IsScanning() && IsScanRunning()) {
        ShowVideoWindow();
        StopScanAndWait();
        if (HWND hSettings = SettingsWindow())
            ::SendMessage(hSettings, WM_SCAN_END, 0, 0);
        return;
    }
    // Whoever asked is about to tune or replace the graph: a worker that was
    // already told to stop must be gone first.
    WaitForScanWorker();
}

void CMainDlg::StopScanAndWait()
{
    SetScanRunning(FALSE);
    WaitForScanWorker();
    DeliverScanReports(SettingsWindow());
}
