// The main dialog's actions that the channel, recording, playback, scan, TV
// wall and schedule work fill in. Until then each does nothing, so every key,
// button, remote key, message and timer already reaches its place.
#include "MainDlg.h"
#include "AppSettings.h"
#include "AppState.h"
#include "ChannelRecord.h"
#include "ChannelStore.h"
#include "Globals.h"
#include <new>

// Sources, channels and number entry.
void CMainDlg::SelectTvSource() {}
void CMainDlg::SelectCompositeSource() {}
void CMainDlg::SelectSVideoSource() {}
void CMainDlg::OnSourceChanged(int) {}
void CMainDlg::ChangeChannel(BOOL) {}
void CMainDlg::OnNumberButton(int) {}
void CMainDlg::OnTypedDigit(int) {}
void CMainDlg::OnRemoteChannelNumber(int) {}
void CMainDlg::OnNumberButtonTimer() { KillTimer(TIMER_NUMBER_BUTTONS); }
void CMainDlg::OnTypedNumberTimer() { KillTimer(TIMER_TYPED_NUMBER); }
BOOL CMainDlg::SwitchSource(int, int) { return FALSE; }

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

// Recording, snapshots and playback.
void CMainDlg::OnRecordButton() {}
BOOL CMainDlg::StartRecord(BOOL) { return FALSE; }
void CMainDlg::ResetAfterFailedRecord(BOOL) {}
BOOL CMainDlg::StopRecord(BOOL) { return FALSE; }
BOOL CMainDlg::CheckRecordDiskSpace(const CScheduleItem*, BOOL) { return FALSE; }
void CMainDlg::TakeSnapshot() {}
void CMainDlg::PlayMovie() {}
void CMainDlg::StopMovie() {}
void CMainDlg::BackMovie() {}
void CMainDlg::AheadMovie() {}
void CMainDlg::PauseMovie() {}
void CMainDlg::StepPlayerVolume(int) {}
void CMainDlg::TogglePlayerMute() {}
void CMainDlg::OnPlayerVolumeSlider(int) {}
void CMainDlg::OnPlayerPositionSlider(int) {}
void CMainDlg::OnPlayerEvent() {}
void CMainDlg::OnRecordClockTick() {}
void CMainDlg::OnDiskSpaceTimer() {}
void CMainDlg::OnRewindTick() {}
void CMainDlg::OnPlayPositionTick() {}

// Schedule window and the scheduled run.
void CMainDlg::OpenScheduleWindow() {}
void CMainDlg::ForwardToScheduleWindow(UINT, WPARAM) {}
void CMainDlg::DeleteScheduleWindow() {}
void CMainDlg::CheckSchedule() {}
void CMainDlg::OnScheduledRunTick() {}
void CMainDlg::EndScheduledRun() {}
