#include "AppState.h"
#include "AppMessages.h"
#include "Globals.h"
#include "SkinControlState.h"
#include "Afx.h"

static void RefreshSkinControls()
{
    if (g_pSkinRefresher)
        g_pSkinRefresher->Refresh();
}

// Keys and remote buttons act on the main dialog: after a change it must hold
// the focus even when the change came from another window.
static HWND FocusMainWindow()
{
    CWnd* pMain = AfxGetMainWnd();
    HWND hMain = pMain ? pMain->GetSafeHwnd() : NULL;
    if (!hMain || !::IsWindow(hMain))
        return NULL;
    if (::GetFocus() != hMain)
        ::SetFocus(hMain);
    return hMain;
}

void CAppState::SetMode(int nMode)
{
    if (nMode == m_nMode)
        return;
    m_nMode = nMode;
    RefreshSkinControls();
    FocusMainWindow();
}

void CAppState::SetSource(int nSource, BOOL bNotify)
{
    if (nSource == m_nSource)
        return;
    m_nSource = nSource;
    RefreshSkinControls();
    HWND hMain = FocusMainWindow();
    if (hMain && bNotify)
        ::SendMessage(hMain, WM_APP_SOURCE_CHANGED, (WPARAM)nSource, 0);
}

int CAppState::ChangeBusyCount(BOOL bIncrement)
{
    if (bIncrement)
        return ++m_nBusyCount;
    int n = m_nBusyCount - 1;
    m_nBusyCount = n < 0 ? 0 : n;
    return n;
}

BOOL StartupSourceAndMode(int nInputSource, int* pnSource, int* pnMode)
{
    static const int map[][2] = {
        {SOURCE_ANTENNA, MODE_TV_VIEW},
        {SOURCE_CABLE, MODE_TV_VIEW},
        {SOURCE_COMPOSITE, MODE_COMPOSITE_VIEW},
        {SOURCE_SVIDEO, MODE_SVIDEO_VIEW},
        {SOURCE_RADIO, MODE_FM_RADIO},
    };
    if (nInputSource < 1 || nInputSource > 5 || !pnSource || !pnMode)
        return FALSE;
    *pnSource = map[nInputSource - 1][0];
    *pnMode = map[nInputSource - 1][1];
    return TRUE;
}

static LONG s_nOpenBoxes = 0;

void NoteMessageBox(BOOL bBegin)
{
    s_nOpenBoxes += bBegin ? 1 : (s_nOpenBoxes > 0 ? -1 : 0);
    if (g_pAppState)
        g_pAppState->ChangeBusyCount(bBegin);
}

LONG OpenMessageBoxes()
{
    return s_nOpenBoxes;
}
