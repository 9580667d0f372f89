#include "MainDlg.h"
#include "AppMessages.h"
#include "AppSettings.h"
#include "AppState.h"
#include "CaptureGraph.h"
#include "ChannelHistory.h"
#include "ChannelStore.h"
#include "CursorHider.h"
#include "DeviceList.h"
#include "Globals.h"
#include "MainLayout.h"
#include "MainTuningHost.h"
#include "MediaPlayer.h"
#include "OverlayGraph.h"
#include "RecordGraph.h"
#include "PropWindow.h"
#include "ScheduleClockSeam.h"
#include "ScheduleList.h"
#include "Seams.h"
#include "SettingsFile.h"
#include "SkinControlState.h"
#include "SplashWnd.h"
#include "StepTrace.h"
#include "TimerSeam.h"
#include "VideoWindow.h"
#include <new>

#define SKIN_INI_PATH "skins\\elegance\\skin.ini"
#define SCHEDULE_FILE_NAME "schedulefile.she"
#define CHANNEL_FILE_NAME "OrvixPlusChannels.chl"
#define HISTORY_FILE_NAME "histroy.his"

CMainDlg::CMainDlg(CWnd* pParent)
    : CShapeDialog(CMainDlg::IDD, pParent),
      m_bOneDigit(TRUE), m_bMuted(FALSE), m_nVolumeMin(0), m_nVolumeMax(100), m_nVolume(50),
      m_nButtonNumber(0), m_nTypedNumber(0), m_nVolumeStep(5), m_nRecordSeconds(0),
      m_nTvWallSteps(0), m_nTvWallStartChannel(0), m_bPlayerMuted(FALSE),
      m_bStartingUp(FALSE), m_bStartupGraphTried(FALSE), m_bSettingsLoaded(FALSE),
      m_bChannelsLoaded(FALSE), m_bLabelTextsPosted(FALSE), m_dwTimersBusy(0), m_pTuningHost(NULL)
{
    m_hIcon = AfxGetApp() ? AfxGetApp()->LoadIcon(IDI_ORVIXPLUS) : NULL;
}

CMainDlg::~CMainDlg()
{
    delete m_pTuningHost;
}

CString CMainDlg::AppFile(LPCSTR pszName) const
{
    CString path;
    if (g_pSettings) {
        path = g_pSettings->m_strAppFolder;
    } else {
        char folder[MAX_PATH];
        if (GetAppFolder(folder, sizeof(folder)))
            path = folder;
    }
    path += pszName;
    return path;
}

CString CMainDlg::SkinPath() const
{
    return AppFile(SKIN_INI_PATH);
}

BOOL CMainDlg::LoadSettingsFile(LPCSTR path)
{
    return ::LoadSettingsFile(g_pSettings, path);
}

BOOL CMainDlg::SaveSettingsFile(LPCSTR path)
{
    return ::SaveSettingsFile(g_pSettings, path);
}

// The settings carry the device names so that the settings pages and the
// capture graph choose among them without enumerating again.
static void CopyDeviceNames(const CDeviceList* pList, CStringArray& names)
{
    names.RemoveAll();
    for (int i = 0; pList && i < pList->GetCount(); ++i)
        names.Add(pList->GetAt(i).GetFriendlyName());
}

BOOL CMainDlg::CreateSettings()
{
    if (!g_pSettings) {
        g_pSettings = new CAppSettings;
        char folder[MAX_PATH];
        if (GetAppFolder(folder, sizeof(folder)))
            g_pSettings->m_strAppFolder = folder;
    }
    m_bSettingsLoaded = LoadOrCreateSettingsFile(g_pSettings, AppFile(SETTINGS_FILE_NAME));
    return m_bSettingsLoaded;
}

void CMainDlg::CreateAppState()
{
    if (g_pAppState)
        return;
    g_pAppState = new CAppState;
    int nSource, nMode;
    if (StartupSourceAndMode(g_pSettings->m_nInputSource, &nSource, &nMode)) {
        g_pAppState->SetSource(nSource, TRUE);
        g_pAppState->SetMode(nMode);
    }
}

BOOL CMainDlg::CreateChannelStore()
{
    if (!g_pChannelStore)
        g_pChannelStore = new CChannelStore;
    CString path = AppFile(CHANNEL_FILE_NAME);
    m_bChannelsLoaded = g_pChannelStore->Load(path) ||
                        (CChannelStore::CreateDefault(path) && g_pChannelStore->Load(path));
    return m_bChannelsLoaded;
}

BOOL CMainDlg::CreateVideoWindow()
{
    if (g_pVideoWindow)
        return TRUE;
    CVideoWindow* pWnd = new CVideoWindow;
    g_pVideoWindow = pWnd;
    if (!pWnd->Create(480, 320)) {
        g_pVideoWindow = NULL;
        delete pWnd;
        return FALSE;
    }
    pWnd->LoadSkin(SkinPath());
    FwTraceStep("video window made");
    pWnd->SetCaption("KESTOR ORVIX");
    return TRUE;
}

void CMainDlg::DestroySplash()
{
    delete g_pSplash;
    g_pSplash = NULL;
}

BOOL CMainDlg::FailStartup(LPCSTR pszText)
{
    DestroySplash();
    if (pszText)
        FwMessageBox(m_hWnd, pszText, "error", MB_OK);
    PostMessage(WM_SYSCOMMAND, SC_CLOSE, 0);
    m_bStartingUp = FALSE;
    // Nothing is to act on a start that failed.
    m_keptRemote.Drop();
    return FALSE;
}

BOOL CMainDlg::OnInitDialog()
{
    FwTraceStep("dialog created");
    CShapeDialog::OnInitDialog();
    m_bStartingUp = TRUE;
    m_keptRemote.Hold();
    m_bStartupGraphTried = FALSE;
    FwSetMessageBoxNotify(&NoteMessageBox);
    SetIcon(m_hIcon, TRUE);
    SetIcon(m_hIcon, FALSE);

    if (!g_pSplash) {
        g_pSplash = new (std::nothrow) CSplashWnd;
        if (!g_pSplash)
            return FailStartup(NULL);
        g_pSplash->EnableSplash(TRUE);
        g_pSplash->ShowSplash(this);
    }
    FwTraceStep("1 splash");
    if (!LoadSkin(SkinPath()))
        return FailStartup("加载皮肤失败!");
    // The scheduler tray program finds the running TV program by this title.
    SetWindowText("Orvix Plus");
    FwTraceStep("2-3 skin, title");

    if (!CreateSettings())
        return FailStartup("无法读取或创建文件 " SETTINGS_FILE_NAME);
    FwTraceStep("4 settings");
    if (!g_pSkinRefresher)
        g_pSkinRefresher = new CSkinControlState;
    FwTraceStep("5 skin-control state");
    CopyDeviceNames(GetAudioDeviceList(), g_pSettings->m_arrAudioDevices);
    FwTraceStep("6 device names: audio");
    CopyDeviceNames(GetDeviceList(), g_pSettings->m_arrVideoDevices);
    FwTraceStep("6 device names: video");
    if (!m_pTuningHost)
        m_pTuningHost = new CMainTuningHost(this);
    g_pTuningHost = m_pTuningHost;
    CreateAppState();
    FwTraceStep("7 state and source");

    if (!g_pScheduleList) {
        InstallScheduleClockOffset();
        g_pScheduleList = new CScheduleList;
        g_pScheduleList->Load(AppFile(SCHEDULE_FILE_NAME));
        SetTimer(TIMER_SCHEDULE, ScaledTimerPeriod(5000));
    }
    FwTraceStep("8 schedule");
    if (!CreateChannelStore())
        return FailStartup("无法读取或创建文件 " CHANNEL_FILE_NAME);
    FwTraceStep("9 channel store");
    if (!g_pHistoryList) {
        g_pHistoryList = new CChannelHistory;
        g_pHistoryList->Load(AppFile(HISTORY_FILE_NAME));
    }
    FwTraceStep("10 history");

    int mode = g_pAppState->GetMode();
    if ((mode == MODE_TV_VIEW || mode == MODE_COMPOSITE_VIEW || mode == MODE_SVIDEO_VIEW) &&
        !g_pCaptureGraph)
        EnsureGraph();
    FwTraceStep("11 preview graph");
    CreateVideoWindow();
    FwTraceStep("12 video window");
    if (!g_pCursorHider)
        g_pCursorHider = new CCursorHider;
    FwTraceStep("13 cursor hider");
    if (!g_pPropWindow) {
        g_pPropWindow = new CPropWindow;
        g_pPropWindow->Create(470, 400);
        g_pPropWindow->Initialize(SkinPath());
        g_pPropWindow->SetWindowText("属性页");
    }
    FwTraceStep("14 settings window");
    g_pSkinRefresher->Refresh();
    FwTraceStep("15 refresh");

    m_nVolume = ClampVolume(g_pSettings->m_nVolume);
    SetProgressPos("PROGRESS_VOLUME", m_nVolume);
    if (CShapeTimer* clock = FindTextItem("timer_show"))
        clock->StartClock();
    if (CShapeTimer* record = FindTextItem("timer_record"))
        record->SetText("00:00:00", "");
    FwTraceStep("16 volume and clocks");

    LayOutWindows();
    FwTraceStep("17 layout");
    if (!StartupTune())
        return FailStartup(NULL);
    FwTraceStep("18 start-up tune");
    DestroySplash();
    FwTraceStep("splash gone");
    m_bStartingUp = FALSE;
    m_keptRemote.Release([this](WPARAM wParam, LPARAM lParam) { HandleRemoteMessage(wParam, lParam); });
    return TRUE;
}

void CMainDlg::LayOutWindows()
{
    CRect desktop, video, main;
    ::GetWindowRect(::GetDesktopWindow(), &desktop);
    GetWindowRect(&main);
    if (g_pVideoWindow)
        g_pVideoWindow->GetWindowRect(&video);
    MainLayout l = ComputeMainLayout(desktop.Size(), video.Size(), main.Size());
    if (g_pVideoWindow) {
        g_pVideoWindow->SetWindowPos(NULL, l.video.x, l.video.y, 0, 0,
                                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        g_pVideoWindow->ShowWindow(SW_SHOW);
        FwTraceStep("17 layout: video window shown");
        if (g_pSettings && g_pSettings->m_bAlwaysOnTop)
            g_pVideoWindow->SetWindowPos(&CWnd::wndTopMost, 0, 0, 0, 0,
                                         SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
    // The panel is whole by now: it shows here rather than once the start-up
    // tune is through, and the tune's first wait paints it.
    SetWindowPos(&CWnd::wndTopMost, l.main.x, l.main.y, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
}

BOOL CMainDlg::EnsureGraph()
{
    if (g_pCaptureGraph)
        return TRUE;
    if (!g_pAppState)
        return FALSE;
    // Without a card each attempt reports the device; a start-up makes one.
    if (m_bStartingUp) {
        if (m_bStartupGraphTried)
            return FALSE;
        m_bStartupGraphTried = TRUE;
    }
    CreateVideoWindow();
    switch (g_pAppState->GetMode()) {
    case MODE_TV_VIEW: case MODE_COMPOSITE_VIEW: case MODE_SVIDEO_VIEW:
        g_pCaptureGraph = new COverlayGraph;
        break;
    case MODE_TV_RECORD: case MODE_COMPOSITE_RECORD: case MODE_SVIDEO_RECORD:
        g_pCaptureGraph = new CRecordGraph;
        break;
    default:
        return FALSE;
    }
    // A graph that cannot be attached is deleted there: none is left behind.
    if (!g_pVideoWindow || !g_pVideoWindow->AttachVideo()) {
        if (g_pCaptureGraph && !g_pVideoWindow) {
            delete g_pCaptureGraph;
            g_pCaptureGraph = NULL;
        }
        return FALSE;
    }
    return g_pCaptureGraph != NULL;
}

void CMainDlg::ShowVideoWindow()
{
    if (g_pVideoWindow && g_pVideoWindow->GetSafeHwnd() && !g_pVideoWindow->IsWindowVisible()) {
        g_pVideoWindow->ShowWindow(SW_SHOW);
        g_pVideoWindow->SetForegroundWindow();
    }
}

void CMainDlg::ActivateMainWindow(BOOL bAsked)
{
    // The focus on one of its elements is the focus on the main window; a
    // minimised one has none (Wine leaves it the focus all the same).
    HWND focus = ::GetFocus();
    if (!IsIconic() && focus && (focus == m_hWnd || ::IsChild(m_hWnd, focus))) {
        ShowWindow(SW_MINIMIZE);
        if (g_pVideoWindow && g_pVideoWindow->GetSafeHwnd())
            g_pVideoWindow->SetForegroundWindow();
    } else if (bAsked) {
        if (IsIconic())
            ShowWindow(SW_RESTORE);
        SetActiveWindow();
        SetForegroundWindow();
    }
}

void CMainDlg::TogglePropertyWindow()
{
    if (!g_pAppState || !g_pPropWindow || !g_pPropWindow->GetSafeHwnd())
        return;
    int mode = g_pAppState->GetMode();
    if (mode != MODE_TV_VIEW && mode != MODE_PLAY_FILE && mode != MODE_COMPOSITE_VIEW &&
        mode != MODE_SVIDEO_VIEW)
        return;
    if (g_pPropWindow->IsWindowVisible()) {
        g_pPropWindow->Close();
        SetButtonTip("PROPERTY_PAGE", "open property page");
        return;
    }
    g_pPropWindow->SendMessage(WM_PROP_REFRESH_DRIVES, 0, 0);
    CRect desktop, rc;
    ::GetWindowRect(::GetDesktopWindow(), &desktop);
    g_pPropWindow->GetWindowRect(&rc);
    g_pPropWindow->SetWindowPos(NULL, (desktop.Width() - rc.Width()) / 2,
                                (desktop.Height() - rc.Height()) / 2, 0, 0,
                                SWP_NOSIZE | SWP_NOZORDER);
    g_pPropWindow->Show();
    SetButtonTip("PROPERTY_PAGE", "close property page");
}

void CMainDlg::EndScheduledRunIfActive()
{
    if (g_pScheduleList)
        g_pScheduleList->CancelScheduledRun();
}

void CMainDlg::SaveAndFreeRunObjects()
{
    // What was never loaded is not written back: a failed start leaves the
    // files as they were.
    if (m_bSettingsLoaded)
        SaveOrResetSettingsFile(g_pSettings, AppFile(SETTINGS_FILE_NAME));
    if (m_bChannelsLoaded && g_pChannelStore) {
        CString path = AppFile(CHANNEL_FILE_NAME);
        if (!g_pChannelStore->Save(path))
            CChannelStore::CreateDefault(path);
    }
    if (g_pCaptureGraph) {
        g_pCaptureGraph->Stop();
        delete g_pCaptureGraph;
        g_pCaptureGraph = NULL;
    }
    if (m_bChannelsLoaded && g_pHistoryList)
        g_pHistoryList->Save(AppFile(HISTORY_FILE_NAME));

    g_pTuningHost = NULL;
    DeleteScheduleWindow();
    DeleteTvWall();
    delete g_pMediaPlayer;
    g_pMediaPlayer = NULL;
    delete g_pVideoWindow;
    g_pVideoWindow = NULL;
    delete g_pPropWindow;
    g_pPropWindow = NULL;
    delete g_pSettings;
    g_pSettings = NULL;
    delete g_pSkinRefresher;
    g_pSkinRefresher = NULL;
    delete g_pAppState;
    g_pAppState = NULL;
    delete g_pChannelStore;
    g_pChannelStore = NULL;
    FreeChannelCopies();
    delete g_pScheduleList;
    g_pScheduleList = NULL;
    delete g_pCursorHider;
    g_pCursorHider = NULL;
    delete g_pHistoryList;
    g_pHistoryList = NULL;
    FreeDeviceList();
    FreeAudioDeviceList();
}

void CMainDlg::OnDestroy()
{
    // A scan worker still reads the graph, the settings and this dialog.
    StopScanAndWait();
    // Nothing timed may run into the objects while they go.
    static const UINT_PTR timers[] = {TIMER_NUMBER_BUTTONS, TIMER_TYPED_NUMBER, TIMER_RECORD_CLOCK,
                                      TIMER_TV_WALL, TIMER_SCHEDULE, TIMER_SCHEDULED_RUN,
                                      TIMER_REWIND, TIMER_PLAY_POSITION, TIMER_DISK_SPACE};
    for (UINT_PTR id : timers)
        KillTimer(id);
    if (CShapeTimer* clock = FindTextItem("timer_show"))
        clock->StopClock();
    DestroySplash();
    SaveAndFreeRunObjects();
    FwSetMessageBoxNotify(NULL);
    CShapeDialog::OnDestroy();
}

void CMainDlg::OnPaint()
{
    if (!IsIconic()) {
        CShapeDialog::OnPaint();
        return;
    }
    CPaintDC dc(this);
    SendMessage(WM_ICONERASEBKGND, (WPARAM)dc.GetSafeHdc(), 0);
    CRect rect;
    GetClientRect(&rect);
    int x = (rect.Width() - GetSystemMetrics(SM_CXICON) + 1) / 2;
    int y = (rect.Height() - GetSystemMetrics(SM_CYICON) + 1) / 2;
    dc.DrawIcon(x, y, m_hIcon);
}

HCURSOR CMainDlg::OnQueryDragIcon()
{
    return (HCURSOR)m_hIcon;
}
