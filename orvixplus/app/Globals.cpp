#include "Globals.h"
#include <stddef.h>

CSplashWnd* g_pSplash = NULL;
CAppSettings* g_pSettings = NULL;
CSkinControlState* g_pSkinRefresher = NULL;
CAppState* g_pAppState = NULL;
CScheduleList* g_pScheduleList = NULL;
CChannelStore* g_pChannelStore = NULL;
CChannelHistory* g_pHistoryList = NULL;
CCaptureGraph* g_pCaptureGraph = NULL;
CVideoWindow* g_pVideoWindow = NULL;
CCursorHider* g_pCursorHider = NULL;
CPropWindow* g_pPropWindow = NULL;
ChannelRecord* g_pCurrentChannel = NULL;
CScheduleWnd* g_pScheduleWnd = NULL;
CScheduleAddDlg* g_pScheduleDlg = NULL;
CMediaPlayer* g_pMediaPlayer = NULL;
CMultiPicWindow* g_pTvWall = NULL;
