// Recording (the preview graph swapped for the recording graph and back), the
// disk-space guard, snapshots and the playback buttons.
#include "MainDlg.h"
#include "AppMessages.h"
#include "AppSettings.h"
#include "AppState.h"
#include "CaptureGraph.h"
#include "ChannelStore.h"
#include "DiskSpace.h"
#include "FixedText.h"
#include "Globals.h"
#include "MainLayout.h"
#include "MediaPlayer.h"
#include "OverlayGraph.h"
#include "PropWindow.h"
#include "RecordGraph.h"
#include "RecordEstimate.h"
#include "ScheduleAddDlg.h"
#include "ScheduleList.h"
#include "Seams.h"
#include "TimerSeam.h"
#include "VideoWindow.h"
#include <new>
#include <stdio.h>

namespace {

// TRUE: the next "RECORD_MOVIE" starts a recording; FALSE: it stops one.
BOOL g_bRecordButtonStarts = TRUE;

const char kLowDiskText[] = "录制的磁盘空间不足";
const char kStartFailedText[] = "录制不成功!";
const char kRecordingTip[] = "停止录制";
const ULONGLONG kMinFreeMB = 100;

enum { PLAYER_PLAYING, PLAYER_PAUSED, PLAYER_WINDING };

BOOL IsViewingMode(int mode)
{
    return mode == MODE_TV_VIEW || mode == MODE_COMPOSITE_VIEW || mode == MODE_SVIDEO_VIEW;
}

BOOL IsRecordingMode(int mode)
{
    return mode == MODE_TV_RECORD || mode == MODE_COMPOSITE_RECORD || mode == MODE_SVIDEO_RECORD;
}

int Mode()
{
    return g_pAppState ? g_pAppState->GetMode() : 0;
}

BOOL IsBusy()
{
    return g_pAppState && g_pAppState->IsBusy();
}

// The viewing mode of the current source.
int ViewingModeOfSource()
{
    if (!g_pAppState)
        return MODE_TV_VIEW;
    if (g_pAppState->IsSourceComposite())
        return MODE_COMPOSITE_VIEW;
    if (g_pAppState->IsSourceSVideo())
        return MODE_SVIDEO_VIEW;
    if (g_pAppState->IsSourceRadio())
        return MODE_FM_RADIO;
    return MODE_TV_VIEW;
}

// The channel list the settings' input source names; 0 when it is no tuner.
int CurrentTunerList()
{
    if (!g_pSettings)
        return 0;
    int list = g_pSettings->m_nInputSource;
    return list == 1 || list == 2 ? list : 0;
}

void DeleteCaptureGraph()
{
    if (!g_pCaptureGraph)
        return;
    CCaptureGraph* graph = g_pCaptureGraph;
    g_pCaptureGraph = NULL;
    graph->Stop();
    delete graph;
}

HWND VideoHwnd()
{
    return g_pVideoWindow ? g_pVideoWindow->GetSafeHwnd() : NULL;
}

// Builds and runs the graph in the video window with the settings' input,
// size and picture levels; a graph that does not start is gone afterwards.
BOOL StartCaptureGraph()
{
    if (!g_pCaptureGraph)
        return FALSE;
    if (g_pVideoWindow && g_pVideoWindow->AttachVideo())
        return TRUE;
    DeleteCaptureGraph();
    return FALSE;
}

void HideSettingsWindow()
{
    if (g_pPropWindow && g_pPropWindow->GetSafeHwnd() && g_pPropWindow->IsWindowVisible())
        g_pPropWindow->Close();
}

}  // namespace

// ---- recording origin and tips ------------------------------------------

int CMainDlg::RecordOrigin() const
{
    // One word for the button and the scheduled run: the schedule list's,
    // which reads a cleared word as none.
    return g_pScheduleList ? g_pScheduleList->GetRecordingOrigin() : RECORD_ORIGIN_NONE;
}

void CMainDlg::SetRecordOrigin(int nOrigin)
{
    if (g_pScheduleList)
        g_pScheduleList->SetRecordingOrigin(nOrigin);
}

void CMainDlg::ResetRecordTip()
{
    // The skin's own tip for the button comes back.
    CIniFile ini(GetSkinPath());
    for (int n = 1;; ++n) {
        char key[16];
        snprintf(key, sizeof(key), "Button%d", n);
        CString value = ini.GetString("ShapeButtonInfo", key, "");
        if (value.IsEmpty())
            break;
        CShapeElementSpec element = ParseButtonSpec(value);
        if (element.name == "RECORD_MOVIE") {
            SetButtonTip("RECORD_MOVIE", element.tip);
            return;
        }
    }
}

void CMainDlg::ResetRecordClock()
{
    if (CShapeTimer* clock = FindTextItem("timer_record")) {
        clock->StopElapsed();
        clock->SetText("00:00:00", "");
    }
}

// ---- folders --------------------------------------------------------------

CString CMainDlg::CheckedFolder(char (&szFolder)[260], WPARAM nKind)
{
    if (!g_pSettings)
        return CString();
    if (!IsUsableFolder(szFolder, FALSE, FALSE)) {
        SetFixedText(szFolder, g_pSettings->m_strAppFolder);
        if (g_pPropWindow && g_pPropWindow->GetSafeHwnd())
            g_pPropWindow->PostMessage(WM_PROP_FOLDER_RESET, nKind, 0);
    }
    return WithOneTrailingBackslash(szFolder);
}

// ---- the record button ------------------------------------------------------

void CMainDlg::OnRecordButton()
{
    if (!g_pAppState)
        return;
    if (g_bRecordButtonStarts) {
        // A scheduled viewing ends first: a recording inside it would be cut
        // by the run's end, which goes back to viewing.
        EndScheduledRunIfActive();
        // A preview lost earlier (a stop whose preview failed) comes back.
        if (IsViewingMode(Mode()))
            EnsureGraph();
        SetRecordOrigin(RECORD_ORIGIN_USER);
        if (CheckRecordDiskSpace(NULL, FALSE) && StartRecord(TRUE))
            SetTimer(TIMER_DISK_SPACE, ScaledTimerPeriod(60000));
        else if (g_bRecordButtonStarts)
            SetRecordOrigin(RECORD_ORIGIN_NONE);
        return;
    }
    if (g_pScheduleList && g_pScheduleList->m_bRecordingActive)
        EndScheduledRun();
    else
        StopRecord(TRUE);
}

void CMainDlg::ResetAfterFailedRecord(BOOL bDeleteGraph)
{
    ResetRecordClock();
    if (g_pAppState)
        g_pAppState->SetMode(ViewingModeOfSource());
    if (bDeleteGraph)
        DeleteCaptureGraph();
    m_nRecordSeconds = 0;
    KillTimer(TIMER_RECORD_CLOCK);
    KillTimer(TIMER_DISK_SPACE);
    g_bRecordButtonStarts = TRUE;
    ResetRecordTip();
    SetRecordOrigin(RECORD_ORIGIN_NONE);
}

void CMainDlg::FailRecordStart(BOOL bDeleteGraph)
{
    ResetAfterFailedRecord(bDeleteGraph);
    // Back to live viewing before the box: the box runs the loop, and the
    // picture should not stay black behind it.
    DeleteCaptureGraph();
    EnsureGraph();
    FwMessageBox(m_hWnd, kStartFailedText, "error", MB_OK);
}

BOOL CMainDlg::StartRecord(BOOL bClock)
{
    if (!g_pCaptureGraph || !g_pAppState || !g_pSettings || !IsViewingMode(Mode()) || IsBusy())
        return FALSE;
    ShowVideoWindow();
    HideSettingsWindow();
    DeleteScheduleWindow();
    if (g_pScheduleDlg && g_pScheduleDlg->GetSafeHwnd())
        g_pScheduleDlg->EndDialog(IDCANCEL);

    switch (Mode()) {
    case MODE_TV_VIEW: g_pAppState->SetMode(MODE_TV_RECORD); break;
    case MODE_COMPOSITE_VIEW: g_pAppState->SetMode(MODE_COMPOSITE_RECORD); break;
    case MODE_SVIDEO_VIEW: g_pAppState->SetMode(MODE_SVIDEO_RECORD); break;
    }
    if (bClock)
        if (CShapeTimer* clock = FindTextItem("timer_record"))
            clock->StartElapsed();
    SetButtonTip("RECORD_MOVIE", kRecordingTip);

    DeleteCaptureGraph();
    g_pCaptureGraph = new (std::nothrow) CRecordGraph;
    if (!g_pCaptureGraph) {
        FailRecordStart(FALSE);
        return FALSE;
    }
    if (!g_pCaptureGraph->Initialize(VideoHwnd())) {
        FailRecordStart(TRUE);
        return FALSE;
    }
    CString folder = CheckedFolder(g_pSettings->m_szRecordFolder, 1);
    g_pCaptureGraph->SetRecordParams(folder, g_pSettings->m_nRecordFormat,
                                     g_pSettings->m_nRecordQuality);
    if (!StartCaptureGraph()) {
        FailRecordStart(TRUE);
        return FALSE;
    }
    m_nRecordSeconds = 0;
    KillTimer(TIMER_RECORD_CLOCK);
    SetTimer(TIMER_RECORD_CLOCK, 1000);
    g_bRecordButtonStarts = FALSE;
    return TRUE;
}

void CMainDlg::EndRecordingState()
{
    KillTimer(TIMER_RECORD_CLOCK);
    m_nRecordSeconds = 0;
    ResetRecordClock();
    g_bRecordButtonStarts = TRUE;
    KillTimer(TIMER_DISK_SPACE);
    ResetRecordTip();
    SetRecordOrigin(RECORD_ORIGIN_NONE);
}

BOOL CMainDlg::StopRecord(BOOL bRetune)
{
    int mode = Mode();
    if (!IsRecordingMode(mode))
        return FALSE;
    ShowVideoWindow();
    if (CShapeTimer* clock = FindTextItem("timer_record"))
        clock->StopElapsed();
    if (g_pCaptureGraph) {
        DeleteCaptureGraph();
        g_pCaptureGraph = new (std::nothrow) COverlayGraph;
        if (!g_pCaptureGraph || !g_pCaptureGraph->Initialize(VideoHwnd()) ||
            !StartCaptureGraph()) {
            // Nothing records any more: the program views again, and a
            // preview built from nothing (as at start-up) may yet come.
            DeleteCaptureGraph();
            EndRecordingState();
            g_pAppState->SetMode(ViewingModeOfSource());
            EnsureGraph();
            return FALSE;
        }
    }
    KillTimer(TIMER_RECORD_CLOCK);
    m_nRecordSeconds = 0;
    ResetRecordClock();
    switch (mode) {
    case MODE_TV_RECORD: {
        g_pAppState->SetMode(MODE_TV_VIEW);
        int list = CurrentTunerList();
        if (bRetune && list && g_pChannelStore)
            g_pChannelStore->SelectChannelNumber(g_pChannelStore->GetCurrent(list), list, TRUE);
        break;
    }
    case MODE_COMPOSITE_RECORD: g_pAppState->SetMode(MODE_COMPOSITE_VIEW); break;
    case MODE_SVIDEO_RECORD: g_pAppState->SetMode(MODE_SVIDEO_VIEW); break;
    }
    EndRecordingState();
    return TRUE;
}

void CMainDlg::OnRecordClockTick()
{
    CShapeTimer* label = FindTextItem("timer_filesize");
    if (!label || !g_pCaptureGraph)
        return;
    m_nRecordSeconds++;
    char text[64];
    snprintf(text, sizeof(text), "Size: %.2fMB",
             (double)g_pCaptureGraph->GetRecordedBytes() / 1048576.0);
    SetLabelText("timer_filesize", text);
    // The label's window text too: other programs (and tools that read the
    // screen for the blind) see the size there.
    label->SetWindowText(text);
}

// ---- the disk-space guard ---------------------------------------------------

CString CMainDlg::RecordFolderInUse() const
{
    // The folder a recording started now would write to.
    if (!g_pSettings)
        return CString();
    if (IsUsableFolder(g_pSettings->m_szRecordFolder, FALSE, FALSE))
        return WithOneTrailingBackslash(g_pSettings->m_szRecordFolder);
    return g_pSettings->m_strAppFolder;
}

BOOL CMainDlg::CheckRecordDiskSpace(const CScheduleItem* pEntry, BOOL bStartTimer)
{
    if (!g_pSettings)
        return FALSE;
    int origin = RecordOrigin();
    ULONGLONG freeMB = 0;
    BOOL known = GetRecordingRoom(RecordFolderInUse(), &freeMB);
    if (origin == RECORD_ORIGIN_SCHEDULE) {
        if (!pEntry)
            return FALSE;
        if (pEntry->m_record.nMode != SCHEDULE_MODE_RECORD)
            return FALSE;
        double neededMB = EstimateRecordingMB(g_pSettings->m_nRecordFormat,
                                              g_pSettings->m_nRecordQuality,
                                              ScheduledSeconds(pEntry->m_record.nDuration));
        if (known && RoomForRecording(freeMB, neededMB))
            return TRUE;
        // The caller drops the entry: it is its own copy of the due one.
        FwMessageBox(m_hWnd, kLowDiskText, "error", MB_OK);
        return FALSE;
    }
    if (origin != RECORD_ORIGIN_USER)
        return FALSE;
    if (!known || freeMB < kMinFreeMB) {
        FwMessageBox(m_hWnd, kLowDiskText, "error", MB_OK);
        return FALSE;
    }
    if (bStartTimer)
        SetTimer(TIMER_DISK_SPACE, ScaledTimerPeriod(60000));
    return TRUE;
}

void CMainDlg::OnDiskSpaceTimer()
{
    // Only a recording of the user's is guarded by the minute: a scheduled
    // one was measured for its whole length before it started.
    if (RecordOrigin() != RECORD_ORIGIN_USER || !IsRecordingMode(Mode())) {
        KillTimer(TIMER_DISK_SPACE);
        return;
    }
    if (!CheckRecordDiskSpace(NULL, FALSE))
        StopRecord(TRUE);
}

// ---- snapshots --------------------------------------------------------------

void CMainDlg::TakeSnapshot()
{
    if (!g_pSettings || IsBusy())
        return;
    int mode = Mode();
    BOOL saved;
    if (IsViewingMode(mode)) {
        if (!EnsureGraph())
            return;
        ShowVideoWindow();
        saved = g_pCaptureGraph->SaveSnapshot(CheckedFolder(g_pSettings->m_szPictureFolder, 0));
    } else if (mode == MODE_PLAY_FILE && g_pMediaPlayer) {
        ShowVideoWindow();
        saved = g_pMediaPlayer->SaveSnapshot(CheckedFolder(g_pSettings->m_szPictureFolder, 0));
    } else {
        return;
    }
    if (!saved)
        FwMessageBox(m_hWnd, "抓图失败!", "Error", MB_OK);
}

// ---- playback -----------------------------------------------------------------

BOOL CMainDlg::StartPlayer(LPCSTR pszPath)
{
    // The events come to this window; the rest of the start is the player's.
    if (!g_pMediaPlayer)
        return FALSE;
    BOOL ok = pszPath ? g_pMediaPlayer->RenderFile(pszPath) &&
                            g_pMediaPlayer->SetOwner(VideoHwnd()) && g_pMediaPlayer->Run()
                      : g_pMediaPlayer->PlayFile(VideoHwnd());
    if (!ok)
        return FALSE;
    m_bPlayerMuted = FALSE;
    m_nPlayerState = PLAYER_PLAYING;
    g_pMediaPlayer->SetNotifyWindow(m_hWnd);
    SetTimer(TIMER_PLAY_POSITION, 100);
    return TRUE;
}

void CMainDlg::PlayMovie()
{
    EndScheduledRunIfActive();
    int mode = Mode();
    if (!g_pAppState || IsBusy() || (!IsViewingMode(mode) && mode != MODE_PLAY_FILE))
        return;
    ShowVideoWindow();
    HideSettingsWindow();
    if (!g_pMediaPlayer) {
        g_pMediaPlayer = new (std::nothrow) CMediaPlayer;
        if (!g_pMediaPlayer)
            return;
        if (!g_pMediaPlayer->Create()) {
            delete g_pMediaPlayer;
            g_pMediaPlayer = NULL;
            return;
        }
        g_pAppState->SetMode(MODE_PLAY_FILE);
        // The file is shown in the window the preview drew into.
        if (g_pCaptureGraph)
            g_pCaptureGraph->ReleasePreview();
        if (!StartPlayer(NULL))
            StopPlayback(TRUE, TRUE);
        return;
    }
    if (m_nPlayerState != PLAYER_PLAYING) {
        KillTimer(TIMER_REWIND);
        g_pMediaPlayer->m_nRewindTimer = 0;
        g_pMediaPlayer->SetRate(1.0);
        g_pMediaPlayer->Run();
        m_nPlayerState = PLAYER_PLAYING;
        SetTimer(TIMER_PLAY_POSITION, 100);
        return;
    }
    CString path;
    if (!g_pMediaPlayer->ChooseFile(path))
        return;
    KillTimer(TIMER_PLAY_POSITION);
    g_pMediaPlayer->Stop();
    g_pMediaPlayer->SetNotifyWindow(NULL);
    delete g_pMediaPlayer;
    g_pMediaPlayer = new (std::nothrow) CMediaPlayer;
    if (!g_pMediaPlayer || !g_pMediaPlayer->Create() || !StartPlayer(path))
        StopPlayback(TRUE, TRUE);
}

void CMainDlg::StopMovie()
{
    if (Mode() != MODE_PLAY_FILE || IsBusy())
        return;
    ShowVideoWindow();
    StopPlayback(TRUE, TRUE);
}

void CMainDlg::StopPlayback(BOOL bRetune, BOOL bRestartPreview)
{
    if (!g_pAppState)
        return;
    KillTimer(TIMER_PLAY_POSITION);
    KillTimer(TIMER_REWIND);
    if (g_pMediaPlayer) {
        g_pMediaPlayer->Stop();
        g_pMediaPlayer->SetNotifyWindow(NULL);
    }
    SetProgressPos("PROGRESS_POS", 0);
    delete g_pMediaPlayer;
    g_pMediaPlayer = NULL;
    m_bPlayerMuted = FALSE;
    m_nPlayerState = PLAYER_PLAYING;
    if (g_pCaptureGraph) {
        g_pCaptureGraph->EnableAudio(!m_bMuted);
        g_pCaptureGraph->SetVolume(m_nVolume);
    }
    SetProgressPos("PROGRESS_VOLUME", m_nVolume);
    if (bRestartPreview && g_pCaptureGraph && g_pSettings) {
        int source = g_pSettings->m_nInputSource;
        int input = source == 3 ? 1 : source == 4 ? 2 : 0;
        SIZE size = CaptureSizeOf(g_pSettings->m_nVideoSize);
        // A preview that does not come back is built anew below.
        if (!g_pCaptureGraph->RestartPreview(input, size.cx, size.cy))
            DeleteCaptureGraph();
    }
    int mode = ViewingModeOfSource();
    g_pAppState->SetMode(mode == MODE_FM_RADIO ? MODE_TV_VIEW : mode);
    if (bRestartPreview)
        EnsureGraph();
    int list = CurrentTunerList();
    if (mode == MODE_TV_VIEW && bRetune && g_pCaptureGraph && list && g_pChannelStore)
        g_pChannelStore->SelectChannelNumber(g_pChannelStore->GetLastTuned(), list, TRUE);
}

void CMainDlg::OnPlayerEvent()
{
    if (!g_pMediaPlayer || !g_pMediaPlayer->OnGraphNotify())
        return;
    StopPlayback(TRUE, TRUE);
    if (!g_pSettings || !g_pSettings->m_bDeletePreviewFile ||
        g_pSettings->m_strLastMediaFile.IsEmpty())
        return;
    LPCSTR path = g_pSettings->m_strLastMediaFile;
    DWORD attrs = GetFileAttributesA(path);
    if (attrs != INVALID_FILE_ATTRIBUTES && (attrs & FILE_ATTRIBUTE_READONLY))
        SetFileAttributesA(path, attrs & ~FILE_ATTRIBUTE_READONLY);
    if (!DeleteFileA(path))
        FwMessageBox(m_hWnd, "删除文件失败!", "error", MB_OK);
}

BOOL CMainDlg::PlayerControlAllowed()
{
    if (Mode() != MODE_PLAY_FILE || IsBusy() || !g_pMediaPlayer)
        return FALSE;
    ShowVideoWindow();
    return TRUE;
}

void CMainDlg::BackMovie()
{
    if (!PlayerControlAllowed())
        return;
    m_nPlayerState = PLAYER_WINDING;
    g_pMediaPlayer->m_nRewindTimer = TIMER_REWIND;
    SetTimer(TIMER_REWIND, 100);
}

void CMainDlg::OnRewindTick()
{
    if (!g_pMediaPlayer) {
        KillTimer(TIMER_REWIND);
        return;
    }
    if (g_pMediaPlayer->StepBack())
        return;
    // At the start: the player has stopped there.
    KillTimer(TIMER_PLAY_POSITION);
    KillTimer(TIMER_REWIND);
    m_nPlayerState = PLAYER_PAUSED;
    SetProgressPos("PROGRESS_POS", 0);
}

void CMainDlg::AheadMovie()
{
    if (!PlayerControlAllowed())
        return;
    KillTimer(TIMER_REWIND);
    g_pMediaPlayer->m_nRewindTimer = 0;
    g_pMediaPlayer->SetRate(2.0);
    g_pMediaPlayer->Run();
    m_nPlayerState = PLAYER_WINDING;
    SetTimer(TIMER_PLAY_POSITION, 100);
}

void CMainDlg::PauseMovie()
{
    if (!PlayerControlAllowed())
        return;
    KillTimer(TIMER_REWIND);
    g_pMediaPlayer->m_nRewindTimer = 0;
    if (m_nPlayerState == PLAYER_PAUSED) {
        g_pMediaPlayer->SetRate(1.0);
        g_pMediaPlayer->Run();
        m_nPlayerState = PLAYER_PLAYING;
    } else {
        g_pMediaPlayer->Pause();
        m_nPlayerState = PLAYER_PAUSED;
    }
    SetTimer(TIMER_PLAY_POSITION, 100);
}

void CMainDlg::OnPlayPositionTick()
{
    if (!g_pMediaPlayer)
        return;
    int pos = g_pMediaPlayer->GetProgressPercent();
    if (pos != GetProgressPos("PROGRESS_POS"))
        SetProgressPos("PROGRESS_POS", pos);
}

// ---- the player's sound -----------------------------------------------------------

void CMainDlg::SetPlayerVolume(int nVolume)
{
    if (m_bPlayerMuted) {
        g_pMediaPlayer->EnableAudio(TRUE);
        m_bPlayerMuted = FALSE;
    }
    m_nVolume = ClampVolume(nVolume);
    if (g_pSettings)
        g_pSettings->m_nVolume = m_nVolume;
    g_pMediaPlayer->SetVolume(m_nVolume);
}

void CMainDlg::StepPlayerVolume(int nDelta)
{
    if (!g_pMediaPlayer || IsBusy())
        return;
    SetPlayerVolume(m_nVolume + nDelta);
    SetProgressPos("PROGRESS_VOLUME", m_nVolume);
}

void CMainDlg::TogglePlayerMute()
{
    if (!g_pMediaPlayer)
        return;
    m_bPlayerMuted = !m_bPlayerMuted;
    ShowOsdMessage(m_bPlayerMuted ? "Mute On" : "Mute Off");
    g_pMediaPlayer->EnableAudio(!m_bPlayerMuted);
}

void CMainDlg::OnPlayerVolumeSlider(int nPos)
{
    if (g_pMediaPlayer)
        SetPlayerVolume(nPos);
}

void CMainDlg::OnPlayerPositionSlider(int nPos)
{
    if (g_pMediaPlayer)
        g_pMediaPlayer->SeekToPercent(nPos);
}
