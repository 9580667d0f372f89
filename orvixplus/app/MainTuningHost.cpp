#include "MainTuningHost.h"
#include "MainDlg.h"
#include "AppMessages.h"
#include "AppState.h"
#include "CaptureGraph.h"
#include "Globals.h"
#include "PropWindow.h"
#include "TunerPll.h"

BOOL CMainTuningHost::HasMainWindow()
{
    return m_pDlg && m_pDlg->GetSafeHwnd();
}

BOOL CMainTuningHost::HasGraph()
{
    return g_pCaptureGraph != NULL;
}

void CMainTuningHost::EnsureGraph()
{
    m_pDlg->EnsureGraph();
}

void CMainTuningHost::EnableAudio(BOOL bEnable)
{
    if (g_pCaptureGraph)
        g_pCaptureGraph->EnableAudio(bEnable);
}

void CMainTuningHost::ShowVideoWindow()
{
    m_pDlg->ShowVideoWindow();
}

BOOL CMainTuningHost::HasSettingsWindow()
{
    return g_pPropWindow && g_pPropWindow->GetSafeHwnd();
}

BOOL CMainTuningHost::IsSettingsWindowVisible()
{
    return HasSettingsWindow() && g_pPropWindow->IsWindowVisible();
}

void CMainTuningHost::PostToSettingsWindow(UINT nMsg)
{
    if (HasSettingsWindow())
        g_pPropWindow->PostMessage(nMsg, 0, 0);
}

void CMainTuningHost::SetSkinText(const char* pszElement, const char* pszText)
{
    m_pDlg->SetLabelText(pszElement, pszText);
}

void CMainTuningHost::ShowChannelText(const char* pszText)
{
    m_pDlg->ShowChannelText(pszText);
}

void CMainTuningHost::StopChannelScan()
{
    // Sent, not posted: the scan must have let go of the tuner before the
    // caller programs it.
    if (HasMainWindow() && g_pAppState && g_pAppState->IsScanning())
        m_pDlg->SendMessage(WM_APP_STOP_SCAN, 0, 0);
}

void CMainTuningHost::WriteTunerPll(BYTE b0, BYTE b1, BYTE b2, BYTE b3)
{
    ::WriteTunerPll(b0, b1, b2, b3);
}

// The tune sequence waits on the main window's thread while the renderer
// draws the new station from its streaming thread. Under Wine what a window
// draws reaches the screen only when a thread of the process waits for
// messages: a plain Sleep froze the picture for the whole sequence, and the
// new station showed some 100 ms late. A message wait in short slices keeps
// the picture going; its empty wake mask handles no message, so nothing (a
// second click) runs inside the sequence. What the panel has to paint (all
// of it, on the start-up's tune) is painted as the wait begins: it shows
// during the sequence, not after it. The channel scan's worker waits here
// too: from another thread that paint would be a message sent to the panel's
// thread and waited for at every step of the scan, so only the panel's own
// thread paints.
void CMainTuningHost::Pause(DWORD dwMilliseconds)
{
    const DWORD kSliceMs = 5;
    DWORD start = ::GetTickCount();
    if (HasMainWindow() && ::GetWindowThreadProcessId(m_pDlg->m_hWnd, NULL) == ::GetCurrentThreadId())
        ::RedrawWindow(m_pDlg->m_hWnd, NULL, NULL, RDW_UPDATENOW | RDW_ALLCHILDREN);
    for (;;) {
        DWORD spent = ::GetTickCount() - start;
        if (spent >= dwMilliseconds)
            break;
        DWORD left = dwMilliseconds - spent;
        ::MsgWaitForMultipleObjects(0, NULL, FALSE, left < kSliceMs ? left : kSliceMs, 0);
    }
}
