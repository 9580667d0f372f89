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


// Scan and TV wall.
void CMainDlg::StartChannelScan() {}
void CMainDlg::OnStopScan() {}
void CMainDlg::ToggleTvWall() {}
void CMainDlg::LeaveTvWall(int, int) {}
void CMainDlg::OnTvWallStep() {}
void CMainDlg::DeleteTvWall() {}
