// Switching channels: the copies of the current and previous channel, and the
// tune sequence every switch runs (settings window told, sound off, tuner
// programmed, texts, sound on, history).
#include "AppSettings.h"
#include "ChannelHistory.h"
#include "ChannelStore.h"
#include "CountryPlan.h"
#include "Globals.h"
#include "TuningHost.h"
#include <stdio.h>
#include <new>

namespace {

enum {
    TUNE_STORED = 1,   // the channel is in the store: it becomes the list's current one
    TUNE_TEXTS = 2,    // show the number and the name
    TUNE_NOTIFY = 4,   // tell the settings window afterwards
    TUNE_HISTORY = 8,  // remember it in the history list
};

BOOL AllocChannelCopy(ChannelRecord** ppRec)
{
    if (*ppRec == NULL)
        *ppRec = new (std::nothrow) ChannelRecord();
    return *ppRec != NULL;
}

BOOL HaveMainWindow()
{
    return g_pTuningHost != NULL && g_pTuningHost->HasMainWindow();
}

void TellSettingsWindowChanging(CTuningHost* host)
{
    if (host->HasSettingsWindow() && host->IsSettingsWindowVisible())
        host->PostToSettingsWindow(WM_CHANNEL_CHANGING);
}

// Channels in the plan of the settings' input source, -1 without one.
int PlanChannelCount()
{
    int first = GetMinChannelForInput(), last = GetMaxChannelForInput();
    if (first == -1 || last == -1)
        return -1;
    return last - first + 1;
}

}  // namespace

void CChannelStore::ShowTexts(int nNumber, const char* pszName)
{
    char text[64];
    snprintf(text, sizeof(text), " %d", nNumber);
    g_pTuningHost->SetSkinText("timer_filesize", text);
    snprintf(text, sizeof(text), "%.*s %d", CHANNEL_NAME_SIZE, pszName, nNumber);
    g_pTuningHost->ShowChannelText(text);
}

// The tune sequence; needs the host. The record is copied first: it is
// usually one of the channel copies.
void CChannelStore::TuneRecord(int nNumber, const ChannelRecord& recIn, int nList, UINT nFlags,
                               DWORD dwSettleMs)
{
    ChannelRecord rec = recIn;
    CTuningHost* host = g_pTuningHost;
    TellSettingsWindowChanging(host);
    host->Pause(dwSettleMs);
    host->EnableAudio(FALSE);
    TuneFrequency(rec.fFrequency);
    m_nLastTuned = nNumber;
    if (nFlags & TUNE_STORED)
        SetCurrent(nNumber, nList);
    if (nFlags & TUNE_TEXTS)
        ShowTexts(nNumber, rec.szName);
    host->Pause(200);
    host->EnableAudio(TRUE);
    if ((nFlags & TUNE_NOTIFY) && host->HasSettingsWindow())
        host->PostToSettingsWindow(WM_CHANNEL_CHANGED);
    if ((nFlags & TUNE_HISTORY) && g_pHistoryList != NULL)
        g_pHistoryList->AddChannel(nNumber, nList);
}

BOOL CChannelStore::InitChannelCopies(int nNumber, int nList)
{
    if (!AllocChannelCopy(&g_pPreviousChannel) || !AllocChannelCopy(&g_pTunedChannel))
        return FALSE;
    BOOL previous = GetChannel(nNumber, nList, g_pPreviousChannel);
    BOOL current = GetChannel(nNumber, nList, g_pCurrentChannel);
    BOOL tuned = GetChannel(nNumber, nList, g_pTunedChannel);
    return previous && current && tuned;
}

// Before a stored channel is tuned: what was tuned becomes the previous one.
BOOL CChannelStore::ShiftChannelCopies(int nNumber, int nList)
{
    if (g_pPreviousChannel == NULL || g_pTunedChannel == NULL)
        return InitChannelCopies(nNumber, nList);
    CopyChannelRecord(g_pTunedChannel, g_pPreviousChannel);
    return GetChannel(nNumber, nList, g_pCurrentChannel) &&
           GetChannel(nNumber, nList, g_pTunedChannel);
}

BOOL CChannelStore::SelectStored(int nNumber, int nList, BOOL bNotify, BOOL bTestSkip)
{
    StopChannelScan();
    CTuningHost* host = g_pTuningHost;
    host->EnsureGraph();
    if (!host->HasGraph() || !Exists(nNumber, nList))
        return FALSE;
    if (bTestSkip && IsSkipped(nNumber, nList))
        return FALSE;
    if (!ShiftChannelCopies(nNumber, nList))
        return FALSE;
    host->ShowVideoWindow();
    TuneRecord(nNumber, *g_pCurrentChannel, nList,
               TUNE_STORED | TUNE_TEXTS | TUNE_HISTORY | (bNotify ? TUNE_NOTIFY : 0), 100);
    return TRUE;
}

BOOL CChannelStore::SelectChannel(int nNumber, int nList, BOOL bNotify)
{
    if (!HaveMainWindow())
        return FALSE;
    return SelectStored(nNumber, nList, bNotify, TRUE);
}

BOOL CChannelStore::SelectChannelInRange(int nNumber, int nList, BOOL bNotify)
{
    if (!HaveMainWindow())
        return FALSE;
    int count = PlanChannelCount();
    if (count < 0 || nNumber < 1 || nNumber > count)
        return FALSE;
    return SelectStored(nNumber, nList, bNotify, FALSE);
}

BOOL CChannelStore::SelectChannelQuiet(int nNumber, int nList)
{
    if (nNumber < 0)
        return FALSE;
    if (!HaveMainWindow() || !g_pTuningHost->HasGraph() || !Exists(nNumber, nList))
        return TRUE;
    if (!ShiftChannelCopies(nNumber, nList))
        return FALSE;
    TuneRecord(nNumber, *g_pCurrentChannel, nList, TUNE_STORED | TUNE_HISTORY, 250);
    return TRUE;
}

BOOL CChannelStore::SelectChannelNumber(int nNumber, int nList, BOOL bNotify)
{
    if (g_pSettings == NULL)
        return FALSE;
    int count = PlanChannelCount();
    if (count < 0 || nNumber < 1 || nNumber > count)
        return FALSE;
    if (SelectChannelInRange(nNumber, nList, bNotify))
        return TRUE;

    // Not stored: tune it straight from the country's plan.
    StopChannelScan();
    if (!AllocChannelCopy(&g_pPreviousChannel) || !AllocChannelCopy(&g_pTunedChannel))
        return FALSE;
    int planCount;
    const int* hz;
    if (!GetListPlan(GetSettingsCountryTable(), nList, &planCount, &hz) || nNumber > planCount)
        return FALSE;
    CopyChannelRecord(g_pTunedChannel, g_pPreviousChannel);
    MakeChannelRecord(g_pTunedChannel, nNumber, hz[nNumber - 1], 0);

    if (!HaveMainWindow())
        return FALSE;
    g_pTuningHost->ShowVideoWindow();
    TuneRecord(nNumber, *g_pTunedChannel, nList, TUNE_TEXTS | TUNE_HISTORY, 100);
    return TRUE;
}

BOOL CChannelStore::RecallPreviousChannel()
{
    if (g_pSettings == NULL || g_pPreviousChannel == NULL || g_pTunedChannel == NULL)
        return FALSE;
    StopChannelScan();
    int list = g_pSettings->m_nInputSource == 1 ? 1 : 2;
    int number = g_pPreviousChannel->nNumber;
    BOOL stored = Exists(number, list);
    // Without a main window nothing is tuned, so the copies stay as they are.
    if (!HaveMainWindow())
        return FALSE;
    g_pTuningHost->EnsureGraph();
    g_pTuningHost->ShowVideoWindow();
    TuneRecord(number, *g_pPreviousChannel, list,
               TUNE_TEXTS | TUNE_NOTIFY | (stored ? TUNE_STORED : 0), 100);
    ChannelRecord* swap = g_pPreviousChannel;
    g_pPreviousChannel = g_pTunedChannel;
    g_pTunedChannel = swap;
    if (stored)
        CopyChannelRecord(g_pTunedChannel, g_pCurrentChannel);
    return TRUE;
}

BOOL CChannelStore::ShowChannelCaption()
{
    if (!HaveMainWindow() || m_nLastTuned <= 0)
        return FALSE;
    char text[64];
    ChannelRecord* rec = GetChannelPtr(m_nLastTuned, GetInputType());
    if (rec != NULL)
        snprintf(text, sizeof(text), "%.*s %d", CHANNEL_NAME_SIZE, rec->szName, m_nLastTuned);
    else
        snprintf(text, sizeof(text), "Channel %d", m_nLastTuned);
    g_pTuningHost->ShowChannelText(text);
    return TRUE;
}
