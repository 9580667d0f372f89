// The main dialog's sources, channel stepping and number entry: the "TV",
// "Composite" and "SVideo" buttons, the source change the state announces,
// the scheduled run's switch, the channel keys, the digit keys, the number
// buttons and the remote's numbers, and the tune at start-up.
#include "MainDlg.h"
#include "AppMessages.h"
#include "AppSettings.h"
#include "AppState.h"
#include "CaptureGraph.h"
#include "ChannelRecord.h"
#include "ChannelStore.h"
#include "Globals.h"
#include "MainLayout.h"
#include "PropWindow.h"
#include "VideoWindow.h"
#include <stdio.h>
#include <new>

namespace {

// The graph's inputs: the tuner, then the two jacks.
enum { INPUT_TUNER = 0, INPUT_COMPOSITE = 1, INPUT_SVIDEO = 2 };

// Input chosen in the settings: 1 antenna, 2 cable, 3 Composite, 4 S-Video.
enum { SETTINGS_ANTENNA = 1, SETTINGS_CABLE = 2, SETTINGS_COMPOSITE = 3, SETTINGS_SVIDEO = 4,
       SETTINGS_RADIO = 5 };

// An entry typed or pressed has at most two digits.
const int kNumberEntryMs = 1500;

BOOL IsViewingMode(int nMode)
{
    return nMode == MODE_TV_VIEW || nMode == MODE_COMPOSITE_VIEW || nMode == MODE_SVIDEO_VIEW;
}

// The list the settings' input source tunes in: 1 or 2, else -1.
int CurrentList()
{
    if (!g_pSettings)
        return -1;
    int source = g_pSettings->m_nInputSource;
    return source == SETTINGS_ANTENNA || source == SETTINGS_CABLE ? source : -1;
}

int ListOfSource(int nSource)
{
    return nSource == SOURCE_ANTENNA ? 1 : 2;
}

// Routes the graph to one input at the settings' capture size.
void SelectGraphInput(int nInput)
{
    if (!g_pCaptureGraph || !g_pSettings)
        return;
    SIZE size = CaptureSizeOf(g_pSettings->m_nVideoSize);
    g_pCaptureGraph->SwitchInput(nInput, size.cx, size.cy);
}

// Both windows that show the input follow the choice; the settings page
// learns which one it is, the video window only that it changed.
void AnnounceInput(int nSettingsInput)
{
    if (g_pPropWindow && g_pPropWindow->GetSafeHwnd())
        g_pPropWindow->PostMessage(WM_APP_INPUT_SOURCE, (WPARAM)nSettingsInput, 0);
    if (g_pVideoWindow && g_pVideoWindow->GetSafeHwnd())
        g_pVideoWindow->PostMessage(WM_APP_INPUT_SOURCE, 0, 0);
}

// Adds a digit to an entry of at most two digits.
void AddDigit(int* pnNumber, int nDigit)
{
    if (*pnNumber < 10)
        *pnNumber = *pnNumber * 10 + nDigit;
}

}  // namespace

// ---- sources -----------------------------------------------------------------

// What every source button does first; FALSE when it may not act now.
static BOOL PrepareSourceButton(CMainDlg* pDlg)
{
    if (!g_pAppState || !g_pSettings || !IsViewingMode(g_pAppState->GetMode()))
        return FALSE;
    pDlg->EndScheduledRunIfActive();
    pDlg->ShowVideoWindow();
    pDlg->EnsureGraph();
    return TRUE;
}

void CMainDlg::SelectTvSource()
{
    if (!PrepareSourceButton(this))
        return;
    if (g_pSettings->m_nTunerList == 2) {
        g_pSettings->m_nInputSource = SETTINGS_CABLE;
        g_pAppState->SetSource(SOURCE_CABLE, TRUE);
        g_pAppState->SetMode(MODE_TV_VIEW);
    } else if (g_pSettings->m_nTunerList == 1) {
        g_pSettings->m_nInputSource = SETTINGS_ANTENNA;
        g_pAppState->SetSource(SOURCE_ANTENNA, TRUE);
        g_pAppState->SetMode(MODE_TV_VIEW);
    }
    AnnounceInput(INPUT_TUNER);
}

void CMainDlg::SelectCompositeSource()
{
    if (!PrepareSourceButton(this))
        return;
    g_pSettings->m_nInputSource = SETTINGS_COMPOSITE;
    g_pAppState->SetMode(MODE_COMPOSITE_VIEW);
    g_pAppState->SetSource(SOURCE_COMPOSITE, TRUE);
    AnnounceInput(INPUT_COMPOSITE);
}

void CMainDlg::SelectSVideoSource()
{
    if (!PrepareSourceButton(this))
        return;
    g_pSettings->m_nInputSource = SETTINGS_SVIDEO;
    g_pAppState->SetSource(SOURCE_SVIDEO, TRUE);
    g_pAppState->SetMode(MODE_SVIDEO_VIEW);
    AnnounceInput(INPUT_SVIDEO);
}

void CMainDlg::OnSourceChanged(int nSource)
{
    if (!g_pAppState)
        return;
    switch (nSource) {
    case SOURCE_ANTENNA: case SOURCE_CABLE: g_pAppState->SetMode(MODE_TV_VIEW); break;
    case SOURCE_SVIDEO: g_pAppState->SetMode(MODE_SVIDEO_VIEW); break;
    case SOURCE_RADIO: g_pAppState->SetMode(MODE_FM_RADIO); break;
    }
    if (nSource == SOURCE_RADIO) {
        ShowChannelText("FM");
        return;
    }
    if (nSource < SOURCE_ANTENNA || nSource > SOURCE_SVIDEO)
        return;
    // A graph built just now was opened on the settings' input already: a
    // second build of the same graph would only delay the picture.
    BOOL hadGraph = g_pCaptureGraph != NULL;
    EnsureGraph();
    if (g_pCaptureGraph) {
        EndScheduledRunIfActive();
        if (hadGraph)
            SelectGraphInput(nSource == SOURCE_COMPOSITE ? INPUT_COMPOSITE
                             : nSource == SOURCE_SVIDEO  ? INPUT_SVIDEO
                                                         : INPUT_TUNER);
    }
    if (nSource == SOURCE_COMPOSITE) {
        ShowChannelText("Composite");
    } else if (nSource == SOURCE_SVIDEO) {
        ShowChannelText("SVideo");
    } else if (g_pChannelStore) {
        int list = ListOfSource(nSource);
        int number = g_pChannelStore->GetCurrent(list);
        if (number > 0) {
            g_pChannelStore->InitChannelCopies(number, list);
            g_pChannelStore->SelectChannelNumber(number, list, TRUE);
        }
    }
}

BOOL CMainDlg::SwitchSource(int nSource, int nChannel)
{
    if (!g_pAppState || !g_pSettings || nSource < SOURCE_ANTENNA || nSource > SOURCE_RADIO)
        return FALSE;
    // The source and the settings' input go along with the mode: a recording
    // graph built for the run opens the settings' input, the skin shows the
    // source's buttons, and the settings window shows the input both while
    // the run lasts and once its end has put back the user's source.
    switch (nSource) {
    case SOURCE_ANTENNA:
    case SOURCE_CABLE: {
        int list = ListOfSource(nSource);
        g_pAppState->SetMode(MODE_TV_VIEW);
        g_pAppState->SetSource(nSource, FALSE);
        g_pSettings->m_nTunerList = list;
        g_pSettings->m_nInputSource = list;
        AnnounceInput(INPUT_TUNER);
        BOOL hadGraph = g_pCaptureGraph != NULL;
        if (!EnsureGraph())
            return FALSE;
        if (hadGraph)
            SelectGraphInput(INPUT_TUNER);
        if (nChannel > 0 && g_pChannelStore)
            g_pChannelStore->SelectChannelNumber(nChannel, list, TRUE);
        return TRUE;
    }
    case SOURCE_COMPOSITE:
    case SOURCE_SVIDEO: {
        BOOL composite = nSource == SOURCE_COMPOSITE;
        g_pAppState->SetMode(composite ? MODE_COMPOSITE_VIEW : MODE_SVIDEO_VIEW);
        g_pAppState->SetSource(nSource, FALSE);
        g_pSettings->m_nInputSource = composite ? SETTINGS_COMPOSITE : SETTINGS_SVIDEO;
        AnnounceInput(composite ? INPUT_COMPOSITE : INPUT_SVIDEO);
        BOOL hadGraph = g_pCaptureGraph != NULL;
        if (!EnsureGraph())
            return FALSE;
        if (hadGraph)
            SelectGraphInput(composite ? INPUT_COMPOSITE : INPUT_SVIDEO);
        ShowChannelText(composite ? "Composite" : "SVideo");
        return TRUE;
    }
    default:
        g_pAppState->SetMode(MODE_FM_RADIO);
        g_pAppState->SetSource(SOURCE_RADIO, FALSE);
        g_pSettings->m_nInputSource = SETTINGS_RADIO;
        ShowChannelText("FM");
        return TRUE;
    }
}

// ---- channels ------------------------------------------------------------------

void CMainDlg::ChangeChannel(BOOL bUp)
{
    if (!g_pCaptureGraph || !g_pAppState)
        return;
    EndScheduledRunIfActive();
    int mode = g_pAppState->GetMode();
    if (mode == MODE_SCAN) {
        // A channel key during the scan ends it, as its own button does.
        OnStopScan();
        return;
    }
    if (mode != MODE_TV_VIEW || !g_pCurrentChannel || !g_pChannelStore)
        return;
    ShowVideoWindow();
    int list = CurrentList();
    if (list < 0)
        return;
    ChannelRecord next;
    int current = g_pChannelStore->GetCurrent(list);
    BOOL found = bUp ? g_pChannelStore->NextChannel(current, list, &next)
                     : g_pChannelStore->PrevChannel(current, list, &next);
    if (found)
        g_pChannelStore->SelectChannel(next.nNumber, list, TRUE);
}

// ---- number entry ----------------------------------------------------------------

// One digit of an entry: the first, in TV viewing, opens the entry and
// starts its timer; the entry then takes a second digit, no more.
void CMainDlg::AddEntryDigit(int nEntryMode, UINT_PTR nTimer, int* pnNumber, int nDigit)
{
    int mode = g_pAppState->GetMode();
    if (mode == MODE_TV_VIEW) {
        g_pAppState->SetMode(nEntryMode);
        *pnNumber = nDigit;
        SetTimer(nTimer, kNumberEntryMs);
    } else if (mode == nEntryMode) {
        AddDigit(pnNumber, nDigit);
    } else {
        return;
    }
    char text[16];
    snprintf(text, sizeof(text), "%d", *pnNumber);
    ShowChannelText(text);
}

void CMainDlg::OnTypedDigit(int nDigit)
{
    EndScheduledRunIfActive();
    if (g_pAppState && IsMainOrVideoWindow(::GetFocus()))
        AddEntryDigit(MODE_NUMBER_KEYS, TIMER_TYPED_NUMBER, &m_nTypedNumber, nDigit);
}

void CMainDlg::OnNumberButton(int nDigit)
{
    EndScheduledRunIfActive();
    if (g_pAppState)
        AddEntryDigit(MODE_NUMBER_BUTTONS, TIMER_NUMBER_BUTTONS, &m_nButtonNumber, nDigit);
}

// The end of an entry: the number is tuned in the current list, and the
// program is back in TV viewing whatever came of it.
void CMainDlg::FinishNumberEntry(UINT_PTR nTimer, int* pnNumber)
{
    EndScheduledRunIfActive();
    int number = *pnNumber;
    *pnNumber = 0;
    KillTimer(nTimer);
    int list = CurrentList();
    if (g_pChannelStore && list > 0)
        g_pChannelStore->SelectChannelNumber(number, list, TRUE);
    if (g_pAppState)
        g_pAppState->SetMode(MODE_TV_VIEW);
}

void CMainDlg::OnNumberButtonTimer()
{
    FinishNumberEntry(TIMER_NUMBER_BUTTONS, &m_nButtonNumber);
}

void CMainDlg::OnTypedNumberTimer()
{
    FinishNumberEntry(TIMER_TYPED_NUMBER, &m_nTypedNumber);
}

void CMainDlg::OnRemoteChannelNumber(int nNumber)
{
    if (!g_pAppState || !g_pChannelStore || g_pAppState->GetMode() != MODE_TV_VIEW ||
        !g_pAppState->IsTunerSource())
        return;
    int list = CurrentList();
    if (list > 0)
        g_pChannelStore->SelectChannelNumber(nNumber, list, TRUE);
}

// ---- start-up ----------------------------------------------------------------------

BOOL CMainDlg::StartupTune()
{
    if (!g_pCurrentChannel)
        g_pCurrentChannel = new (std::nothrow) ChannelRecord();
    if (!g_pCurrentChannel)
        return FALSE;
    // A channel that cannot be tuned leaves the program running on it.
    if (g_pAppState && g_pAppState->IsTunerSource() && g_pSettings && g_pChannelStore) {
        int list = g_pSettings->m_nTunerList;
        g_pChannelStore->SelectChannelInRange(g_pChannelStore->GetCurrent(list), list, TRUE);
    }
    return TRUE;
}
