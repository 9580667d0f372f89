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

// Scan, TV wall, schedule window and the scheduled run.
void CMainDlg::StartChannelScan() {}
void CMainDlg::OnStopScan() {}
void CMainDlg::ToggleTvWall() {}
void CMainDlg::LeaveTvWall(int, int) {}
void CMainDlg::OnTvWallStep() {}
void CMainDlg::DeleteTvWall() {}
void CMainDlg::OpenScheduleWindow() {}
void CMainDlg::ForwardToScheduleWindow(UINT, WPARAM) {}
void CMainDlg::DeleteScheduleWindow() {}
void CMainDlg::CheckSchedule() {}
void CMainDlg::OnScheduledRunTick() {}
void CMainDlg::EndScheduledRun() {}
