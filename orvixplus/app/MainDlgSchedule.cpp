// The main dialog's side of the schedule: the schedule window it opens, and
// the scheduled run, which every 5 seconds takes a due entry, puts the
// program on the entry's source and channel, views or records for the
// entry's length and then puts back what the user had.
#include "MainDlg.h"
#include "AppSettings.h"
#include "AppState.h"
#include "ChannelStore.h"
#include "Globals.h"
#include "PropWindow.h"
#include "ScheduleList.h"
#include "ScheduleMessages.h"
#include "ScheduleWnd.h"
#include "ScheduledRun.h"
#include "SkinLabels.h"
#include "VideoWindow.h"
#include <new>

#define SCHEDULE_FILE_NAME "schedulefile.she"

// ---- schedule window ---------------------------------------------------------

void CMainDlg::OpenScheduleWindow()
{
    EndScheduledRunIfActive();
    // An add or edit under way keeps the window: its dialog comes forward.
    if (g_pScheduleWnd && g_pScheduleWnd->IsBusy()) {
        g_pScheduleWnd->BringDialogToFront();
        return;
    }
    DeleteScheduleWindow();
    CScheduleWnd* pWnd = new (std::nothrow) CScheduleWnd;
    if (!pWnd)
        return;
    g_pScheduleWnd = pWnd;
    if (!pWnd->Open()) {
        g_pScheduleWnd = NULL;
        delete pWnd;
    }
}

void CMainDlg::ForwardToScheduleWindow(UINT nMsg, WPARAM wParam)
{
    HWND hWnd = g_pScheduleWnd ? g_pScheduleWnd->GetSafeHwnd() : NULL;
    if (hWnd && ::IsWindow(hWnd))
        ::PostMessageA(hWnd, nMsg, wParam, 0);
}

void CMainDlg::DeleteScheduleWindow()
{
    if (!g_pScheduleWnd)
        return;
    // Its Add dialog's loop is on the stack: the window ends that dialog and
    // reports its close (1711) once the loop has unwound.
    if (g_pScheduleWnd->IsBusy()) {
        g_pScheduleWnd->RequestClose();
        return;
    }
    CScheduleWnd* pWnd = g_pScheduleWnd;
    g_pScheduleWnd = NULL;
    delete pWnd;
}

// ---- scheduled run -----------------------------------------------------------

void CMainDlg::SaveAndAnnounceSchedule()
{
    if (!g_pScheduleList)
        return;
    g_pScheduleList->Save(AppFile(SCHEDULE_FILE_NAME));
    NotifyScheduleChanged();
}

void CMainDlg::DropDueEntry(const CScheduleItem& entry)
{
    if (g_pScheduleList && g_pScheduleList->RemoveRunEntry(&entry))
        SaveAndAnnounceSchedule();
}

BOOL CMainDlg::IsBusyForSchedule() const
{
    // A box of this program runs a loop of its own: a run started from
    // inside it would pull the picture away under the box.
    return (g_pAppState && g_pAppState->IsBusy()) || OpenMessageBoxes() > 0;
}

void CMainDlg::CheckSchedule()
{
    if (!g_pScheduleList || !g_pAppState || m_bCheckingSchedule)
        return;
    CScheduleItem entry;
    if (!g_pScheduleList->TakeDueItem(&entry))
        return;
    m_bCheckingSchedule = TRUE;
    StartDueEntry(entry);
    m_bCheckingSchedule = FALSE;
}

void CMainDlg::StartDueEntry(const CScheduleItem& entry)
{
    CScheduleList* pList = g_pScheduleList;
    int before = pList->GetCount();
    pList->RemoveFinishedOnceItems();
    if (pList->GetCount() != before)
        SaveAndAnnounceSchedule();

    // A run in progress (a scheduled recording's mode, or a viewing) stays
    // as it is; the entry that cannot run is the only one dropped.
    int mode = g_pAppState->GetMode();
    if (ModeDropsDueEntry(mode) || pList->IsRunActive()) {
        DropDueEntry(entry);
        return;
    }
    if (!ModeStartsScheduledRun(mode) || !g_pCaptureGraph)
        return;
    if (IsBusyForSchedule()) {
        DropDueEntry(entry);
        return;
    }

    pList->m_nElapsedSeconds = 0;
    pList->m_nSavedList = SavedChannelList(g_pSettings ? g_pSettings->m_nInputSource : 0);
    pList->m_nSavedMode = mode;
    pList->m_nSavedChannel = g_pChannelStore ? g_pChannelStore->GetLastTuned() : 0;
    pList->m_nSavedSource = g_pAppState->GetSource();
    pList->m_currentItem.m_record = entry.m_record;
    pList->m_nAfterAction = entry.m_record.nAfterAction;

    BOOL record = entry.m_record.nMode == SCHEDULE_MODE_RECORD;
    if (record) {
        pList->SetRecordingOrigin(RECORDING_ORIGIN_SCHEDULE);
        if (!CheckRecordDiskSpace(&entry, FALSE)) {
            DropDueEntry(entry);
            pList->SetRecordingOrigin(RECORDING_ORIGIN_NONE);
            return;
        }
    }

    ShowVideoWindow();
    if (g_pPropWindow && g_pPropWindow->GetSafeHwnd())
        g_pPropWindow->Close();
    DeleteScheduleWindow();
    // The entry's channel is tuned below: the user's channel is not tuned
    // on the way, only the preview comes back.
    if (mode == MODE_PLAY_FILE)
        StopPlayback(FALSE, TRUE);

    int channel = 0;
    int source = ScheduledSource(entry.m_record, &channel);
    if (source)
        SwitchSource(source, channel);

    // The flags go up before the recording starts: a start that fails ends
    // the run through them at once, and the entry's time is not counted.
    pList->m_bViewingActive = !record;
    pList->m_bRecordingActive = record;
    if (!record) {
        SetLabelText("timer_filesize", ScheduledViewingText(entry.m_record.nSource));
    } else if (!StartRecord(FALSE)) {
        // The end saves the list and tells the others.
        pList->RemoveRunEntry(&entry);
        EndScheduledRun();
        return;
    }

    SetTimer(TIMER_SCHEDULED_RUN, 1000);
    if (CShapeTimer* clock = FindTextItem("timer_record"))
        clock->StartClock();
    DropDueEntry(entry);
}

void CMainDlg::OnScheduledRunTick()
{
    if (!g_pScheduleList || !g_pScheduleList->IsRunActive()) {
        KillTimer(TIMER_SCHEDULED_RUN);
        return;
    }
    CScheduleList* pList = g_pScheduleList;
    int elapsed = pList->m_nElapsedSeconds;
    if (ScheduledRunTick(elapsed, pList->m_currentItem.m_record.nDuration, &elapsed))
        EndScheduledRun();
    else
        pList->m_nElapsedSeconds = elapsed;
}

void CMainDlg::RestoreBeforeScheduledRun(int nMode, int nSource, int nChannel)
{
    if (!g_pAppState)
        return;
    BOOL tuner = nSource == SOURCE_ANTENNA || nSource == SOURCE_CABLE;
    if ((nMode == MODE_PLAY_FILE || nMode == MODE_TV_VIEW) && tuner) {
        g_pAppState->SetMode(MODE_TV_VIEW);
        if (g_pSettings)
            g_pSettings->m_nInputSource = nSource == SOURCE_ANTENNA ? 1 : 2;
        SwitchSource(nSource, nChannel);
    } else if ((nMode == MODE_PLAY_FILE && nSource == SOURCE_COMPOSITE) ||
               nMode == MODE_COMPOSITE_VIEW) {
        g_pAppState->SetMode(MODE_COMPOSITE_VIEW);
        SelectCompositeSource();
    } else if ((nMode == MODE_PLAY_FILE && nSource == SOURCE_SVIDEO) ||
               nMode == MODE_SVIDEO_VIEW) {
        g_pAppState->SetMode(MODE_SVIDEO_VIEW);
        SelectSVideoSource();
    }
}

void CMainDlg::EndScheduledRun()
{
    KillTimer(TIMER_SCHEDULED_RUN);
    CScheduleList* pList = g_pScheduleList;
    // A late tick or a second notice of the same end finds nothing running.
    if (!pList || !pList->IsRunActive())
        return;
    if (CShapeTimer* clock = FindTextItem("timer_record"))
        clock->StopClock();
    BOOL recording = pList->m_bRecordingActive;
    ScheduleRecord entry = pList->m_currentItem.m_record;
    pList->ClearAuxFlags();
    pList->EndScheduledRun();

    if (!recording) {
        if (CShapeTimer* clock = FindTextItem("timer_record"))
            clock->SetText("00:00:00", "");
    } else {
        StopRecord(FALSE);
    }
    RestoreBeforeScheduledRun(pList->m_nSavedMode, pList->m_nSavedSource, pList->m_nSavedChannel);
    SaveAndAnnounceSchedule();
    if (::GetForegroundWindow() != m_hWnd)
        SetForegroundWindow();

    switch (entry.nAfterAction) {
    case SCHEDULE_AFTER_CLOSE: CloseRequest(); break;
    case SCHEDULE_AFTER_STANDBY: RequestSchedulerStandby(); break;
    case SCHEDULE_AFTER_SHUTDOWN: RequestSchedulerShutdown(); break;
    }
}

BOOL CMainDlg::EndRunBeforeRecordButton()
{
    if (!g_pScheduleList || !g_pScheduleList->IsRunActive())
        return FALSE;
    // The press that ends a scheduled recording only stops it; one during a
    // scheduled viewing records once the user's own state is back.
    BOOL recording = g_pScheduleList->m_bRecordingActive;
    g_pScheduleList->CancelScheduledRun();
    return recording;
}
