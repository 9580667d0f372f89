// The objects that live for the whole run of OrvixPlus. The main dialog
// creates them in its initialisation and deletes them when it is destroyed;
// each is NULL while absent, so test the pointer before every use. The main
// dialog itself is reached through AfxGetMainWnd().
#pragma once

class CSplashWnd;
class CAppSettings;
class CSkinControlState;
class CAppState;
class CScheduleList;
class CChannelStore;
class CChannelHistory;
class CCaptureGraph;
class CVideoWindow;
class CCursorHider;
class CPropWindow;
struct ChannelRecord;
class CScheduleWnd;
class CMediaPlayer;
class CMultiPicWindow;
class CScheduleAddDlg;

extern CSplashWnd* g_pSplash;               // only during start-up
extern CAppSettings* g_pSettings;
extern CSkinControlState* g_pSkinRefresher;
extern CAppState* g_pAppState;
extern CScheduleList* g_pScheduleList;
extern CChannelStore* g_pChannelStore;
extern CChannelHistory* g_pHistoryList;
extern CCaptureGraph* g_pCaptureGraph;      // preview or recording graph
extern CVideoWindow* g_pVideoWindow;
extern CCursorHider* g_pCursorHider;
extern CPropWindow* g_pPropWindow;
extern ChannelRecord* g_pCurrentChannel;    // the channel now tuned
extern CScheduleWnd* g_pScheduleWnd;        // while the schedule window is open
extern CScheduleAddDlg* g_pScheduleDlg;     // while its Schedule - Add dialog is open
extern CMediaPlayer* g_pMediaPlayer;        // while a file plays
extern CMultiPicWindow* g_pTvWall;          // while the TV wall is shown
