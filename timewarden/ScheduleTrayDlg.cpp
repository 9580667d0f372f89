#include "ScheduleTrayDlg.h"
#include <objbase.h>
#include <shellapi.h>
#include <shlobj.h>
#include "AfxComPtr.h"
#include "ScheduleRules.h"
#include "ScheduleMessages.h"
#include "ScheduleFile.h"
#include "ScheduleStore.h"
#include "RemoteId.h"
#include "ScheduleListDlg.h"

CString g_strMainProgram;

namespace {

const UINT kPollPeriod = 108;
const UINT kDueCheckPeriod = 20000;
const UINT kPowerDelay = 10000;
const UINT kDigitTickPeriod = 100;
const UINT kTimedShutdownPeriod = 60000;

const char kSystemErrorText[] = "系统出错，请检测！";
const char kWarningCaption[] = "警告";

// The other program's window, after giving a just started one a moment to
// show it.
HWND FindProgramWindow(LPCSTR caption)
{
    ::Sleep(100);
    return ::FindWindowA(NULL, caption);
}

void CloseProgramWindow(HWND hwnd)
{
    if (hwnd)
        ::SendMessageA(hwnd, WM_SYSCOMMAND, SC_CLOSE, 0);
}

}  // namespace

CScheduleTrayDlg::CScheduleTrayDlg(CWnd* pParent)
    : CDialog(CScheduleTrayDlg::IDD, pParent),
      m_nShutdownMonth(0), m_nShutdownDay(0), m_nShutdownHour(0), m_nShutdownMinute(0),
      m_bShutdownArmed(0), m_pDeviceEnum(NULL), m_nDeviceCount(0),
      m_trayIcon(IDS_TRAY_TITLE), m_bInstallShortcut(TRUE),
      m_nLastShutdownCheck(-1), m_bInPoll(FALSE), m_bComInitialized(FALSE)
{
    m_hIcon = AfxGetApp() ? AfxGetApp()->LoadIcon(IDR_MAINFRAME)
                          : ::LoadIconA(AfxGetResourceHandle(), MAKEINTRESOURCEA(IDR_MAINFRAME));
}

CScheduleTrayDlg::~CScheduleTrayDlg()
{
    KillAllTimers();
    ReleaseCardDevice();
    DestroyRemoteIdDialog();
    delete g_pScheduleList;
    g_pScheduleList = NULL;
}

BOOL CScheduleTrayDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    CString title;
    title.LoadString(IDS_TRAY_TITLE);
    SetWindowText(title);
    SetIcon(m_hIcon, TRUE);
    SetIcon(m_hIcon, FALSE);

    m_trayIcon.SetNotificationWnd(this, WM_TRAY_NOTIFY);
    m_trayIcon.SetIcon(IDI_TRAY);

    m_bComInitialized = SUCCEEDED(::CoInitialize(NULL));
    if (m_bInstallShortcut) {
        InstallStartupShortcut();
        m_bInstallShortcut = FALSE;
    }
    SetWindowPos(NULL, 0, 0, 0, 0, SWP_HIDEWINDOW | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER);

    CString folder = GetModuleFolder();
    g_strScheduleFile = folder + SCHEDULE_FILE_NAME;
    // The folder ends in a backslash already; the system takes the doubled one.
    g_strMainProgram = folder + "\\" MAIN_PROGRAM_FILE;
    if (!g_pScheduleList)
        g_pScheduleList = new CScheduleList;
    LoadScheduleFile();

    SetTimer(TIMER_REMOTE_POLL, kPollPeriod);
    SetTimer(TIMER_DUE_CHECK, kDueCheckPeriod);
    OpenCardDevice();

    if (!g_pRemoteIdDlg) {
        g_pRemoteIdDlg = new CRemoteIdDlg(this);
        if (g_pRemoteIdDlg->Create(IDD_REMOTE_ID, this))
            g_pRemoteIdDlg->ShowWindow(SW_HIDE);
    }
    if (m_menu.LoadMenu(IDR_TRAY_MENU)) {
        SetMenu(&m_menu);
        m_menu.CheckMenuItem(ID_TRAY_TIMED_SHUTDOWN, MF_BYCOMMAND | MF_UNCHECKED);
    }
    LoadRemoteId();
    return TRUE;
}

BOOL CScheduleTrayDlg::OnCommand(WPARAM wParam, LPARAM lParam)
{
    switch (LOWORD(wParam)) {
    case ID_SCHEDULE_RELOAD:
        LoadScheduleFile();
        if (g_pScheduleListDlg && g_pScheduleListDlg->m_hWnd)
            g_pScheduleListDlg->PostMessage(WM_COMMAND, ID_SCHEDULE_CHANGED, 0);
        return TRUE;
    case ID_TRAY_SCHEDULE_LIST:
        OnScheduleList();
        return TRUE;
    case ID_SCHEDULE_STANDBY:
        // A second request restarts the delay.
        SetTimer(TIMER_STANDBY, kPowerDelay);
        return TRUE;
    case ID_SCHEDULE_SHUTDOWN:
        SetTimer(TIMER_SHUTDOWN, kPowerDelay);
        return TRUE;
    case ID_TRAY_LAUNCH:
        LaunchMainProgram();
        return TRUE;
    case ID_TRAY_TIMED_SHUTDOWN:
        OnTimedShutdown();
        return TRUE;
    case ID_TRAY_EXIT:
        OnExit();
        return TRUE;
    case ID_TRAY_REMOTE_ID_RESET:
        OnRemoteIdReset();
        return TRUE;
    }
    return CDialog::OnCommand(wParam, lParam);
}

LRESULT CScheduleTrayDlg::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    // The system suspends as soon as the broadcast returns: the wake timer
    // must be armed by then.
    if (message == WM_POWERBROADCAST)
        OnPowerBroadcast(wParam);
    return CDialog::WindowProc(message, wParam, lParam);
}

void CScheduleTrayDlg::OnPowerBroadcast(WPARAM event)
{
    if (event == PBT_APMSUSPEND)
        m_wakeTimer.Arm(FindNextScheduleTime());
    else if (event == PBT_APMRESUMEAUTOMATIC)
        WakeDisplay();
}

void CScheduleTrayDlg::OnTimer(UINT_PTR nIDEvent)
{
    switch (nIDEvent) {
    case TIMER_REMOTE_POLL:
        PollRemote();
        break;
    case TIMER_DIGIT_ENTRY:
        OnDigitTick();
        break;
    case TIMER_DUE_CHECK:
        if (FindDueSchedule())
            RunMainProgramForSchedule();
        break;
    case TIMER_SHUTDOWN:
        KillTimer(TIMER_SHUTDOWN);
        ShutdownAfterRecording();
        break;
    case TIMER_STANDBY:
        KillTimer(TIMER_STANDBY);
        EnterStandby();
        break;
    case TIMER_TIMED_SHUTDOWN:
        CheckTimedShutdown();
        break;
    }
    CDialog::OnTimer(nIDEvent);
}

void CScheduleTrayDlg::OnWindowPosChanging(WINDOWPOS* lpwndpos)
{
    // Whoever shows the window (the modal loop at its start, another program),
    // it stays hidden. Setting the style bit in WM_SHOWWINDOW instead makes
    // the shows no-ops too, but IsWindowVisible then reports it visible.
    if (lpwndpos)
        lpwndpos->flags &= ~SWP_SHOWWINDOW;
    CDialog::OnWindowPosChanging(lpwndpos);
}

BOOL CScheduleTrayDlg::OnNcActivate(BOOL bActive)
{
    ShowWindow(SW_HIDE);
    return CDialog::OnNcActivate(bActive);
}

void CScheduleTrayDlg::OnPaint()
{
    if (!IsIconic())
        return CDialog::OnPaint();
    CPaintDC dc(this);
    SendMessage(WM_ICONERASEBKGND, (WPARAM)dc.GetSafeHdc(), 0);
    CRect client;
    GetClientRect(&client);
    dc.DrawIcon((client.Width() - GetSystemMetrics(SM_CXICON) + 1) / 2,
                (client.Height() - GetSystemMetrics(SM_CYICON) + 1) / 2, m_hIcon);
}

HCURSOR CScheduleTrayDlg::OnQueryDragIcon()
{
    return (HCURSOR)m_hIcon;
}

void CScheduleTrayDlg::OnInitMenuPopup(CMenu* pPopupMenu, UINT nIndex, BOOL bSysMenu)
{
    if (pPopupMenu && !bSysMenu)
        pPopupMenu->CheckMenuItem(ID_TRAY_TIMED_SHUTDOWN,
                                  MF_BYCOMMAND | (m_bShutdownArmed ? MF_CHECKED : MF_UNCHECKED));
    CDialog::OnInitMenuPopup(pPopupMenu, nIndex, bSysMenu);
}

// --- OrvixPlus and the FM program ------------------------------------------

BOOL CScheduleTrayDlg::IsMainProgramRunning()
{
    return FindProgramWindow(MAIN_PROGRAM_CAPTION) != NULL;
}

BOOL CScheduleTrayDlg::IsFmProgramRunning()
{
    return FindProgramWindow(FM_PROGRAM_CAPTION) != NULL;
}

void CScheduleTrayDlg::LaunchMainProgram()
{
    if (IsFmProgramRunning())
        CloseProgramWindow(::FindWindowA(NULL, FM_PROGRAM_CAPTION));
    if (IsMainProgramRunning())
        return;
    // Quoted: a folder with spaces would otherwise start the first program
    // its leading words name.
    CString commandLine = "\"" + GetModuleFolder() + MAIN_PROGRAM_FILE "\"";
    ::WinExec(commandLine, SW_SHOW);
}

void CScheduleTrayDlg::RunMainProgramForSchedule()
{
    if (IsMainProgramRunning())
        return;
    ::ShellExecuteA(NULL, NULL, g_strMainProgram, "ant", NULL, SW_SHOWNORMAL);
}

CString CScheduleTrayDlg::GetModuleFolder()
{
    char path[MAX_PATH + 1] = "";
    DWORD n = ::GetModuleFileNameA(AfxGetInstanceHandle(), path, MAX_PATH);
    path[n < MAX_PATH ? n : MAX_PATH] = 0;
    char* slash = strrchr(path, '\\');
    if (slash)
        slash[1] = 0;
    return CString(path);
}

BOOL CScheduleTrayDlg::InstallStartupShortcut()
{
    char path[MAX_PATH + 1] = "";
    DWORD n = ::GetModuleFileNameA(AfxGetInstanceHandle(), path, MAX_PATH);
    path[n < MAX_PATH ? n : MAX_PATH] = 0;
    // A shortcut that cannot be made only means no start at logon.
    CreateShortcut(CSIDL_STARTUP, path, STARTUP_SHORTCUT_NAME);
    return TRUE;
}

BOOL CScheduleTrayDlg::CreateShortcut(int nFolder, LPCSTR lpszTarget, LPCSTR lpszName)
{
    if (!lpszTarget || !*lpszTarget || !lpszName || !*lpszName)
        return FALSE;
    char folder[MAX_PATH] = "";
    LPITEMIDLIST pidl = NULL;
    if (FAILED(::SHGetSpecialFolderLocation(NULL, nFolder, &pidl)) || !pidl)
        return FALSE;
    BOOL bHavePath = ::SHGetPathFromIDListA(pidl, folder);
    ::CoTaskMemFree(pidl);
    if (!bHavePath)
        return FALSE;
    CString linkPath;
    linkPath.Format("%s\\%s.lnk", folder, lpszName);

    ComPtr<IShellLinkA> link;
    if (FAILED(::CoCreateInstance(CLSID_ShellLink, NULL, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                  link.OutVoid())) || !link)
        return FALSE;
    link->SetPath(lpszTarget);
    ComPtr<IPersistFile> file;
    if (FAILED(link->QueryInterface(IID_IPersistFile, file.OutVoid())) || !file)
        return FALSE;
    WCHAR widePath[MAX_PATH] = L"";
    if (!::MultiByteToWideChar(CP_ACP, 0, linkPath, -1, widePath, MAX_PATH))
        return FALSE;
    return SUCCEEDED(file->Save(widePath, TRUE));
}

// --- Remote control ----------------------------------------------------------

void CScheduleTrayDlg::OpenCardDevice()
{
    ReleaseCardDevice();
    if (FAILED(::CoCreateInstance(CLSID_VampDeviceEnumerator, NULL,
                                  CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER,
                                  IID_IVampDeviceEnumerator, (void**)&m_pDeviceEnum)) ||
        !m_pDeviceEnum) {
        m_pDeviceEnum = NULL;
        return;
    }
    if (FAILED(m_pDeviceEnum->GetDeviceCount(&m_nDeviceCount)))
        m_nDeviceCount = 0;
}

void CScheduleTrayDlg::ReleaseCardDevice()
{
    if (m_pDeviceEnum)
        m_pDeviceEnum->Release();
    m_pDeviceEnum = NULL;
    m_nDeviceCount = 0;
}

void CScheduleTrayDlg::PollRemote()
{
    // A message box of this poll runs its own message loop, in which the
    // next ticks of the poll timer arrive.
    if (m_bInPoll)
        return;
    m_bInPoll = TRUE;
    int code = 0;
    if (!ReadRemoteCode(&code))
        code = 0;
    // The windows are looked for once the key is in: a read takes a while,
    // and a program whose window came up during it gets the key pressed
    // after the window was there.
    HWND hMain = ::FindWindowA(NULL, MAIN_PROGRAM_CAPTION);
    HWND hFm = ::FindWindowA(NULL, FM_PROGRAM_CAPTION);
    if (code == REMOTE_KEY_POWER) {
        if (hFm)
            CloseProgramWindow(hFm);
        else if (hMain)
            CloseProgramWindow(hMain);
        else
            LaunchMainProgram();
    } else if (code != REMOTE_KEY_NONE && hMain) {
        // While the timed shut-down is armed any key means "shut down now".
        if (m_bShutdownArmed && !ShutdownPC())
            MessageBox(kSystemErrorText, kWarningCaption, MB_OK | MB_ICONEXCLAMATION);
        int key = MapRemoteKey(code);
        if (key != REMOTE_KEY_KEEP)
            ::SendMessageA(hMain, WM_REMOTE_KEY, REMOTE_KEY_CODE, key);
    }
    m_bInPoll = FALSE;
}

int CScheduleTrayDlg::MapRemoteKey(int code)
{
    if (code > REMOTE_KEY_DIGIT_ZERO || code < 1)
        return code;
    m_digits.Press(code == REMOTE_KEY_DIGIT_ZERO ? 0 : code);
    SetTimer(TIMER_DIGIT_ENTRY, kDigitTickPeriod);
    return REMOTE_KEY_KEEP;
}

void CScheduleTrayDlg::OnDigitTick()
{
    int number = m_digits.Tick();
    if (number == CDigitEntry::kTyping)
        return;
    HWND hMain = ::FindWindowA(NULL, MAIN_PROGRAM_CAPTION);
    if (hMain)
        ::SendMessageA(hMain, WM_REMOTE_KEY, REMOTE_KEY_NUMBER, number);
    KillTimer(TIMER_DIGIT_ENTRY);
}

// --- Remote ID -------------------------------------------------------------------

void CScheduleTrayDlg::LoadRemoteId()
{
    m_strRemoteIni = GetModuleFolder() + REMOTE_INI_NAME;
    if (g_pRemoteIdDlg)
        g_pRemoteIdDlg->SetIniPath(m_strRemoteIni);
    BYTE id0 = 0, id1 = 0;
    ReadRemoteIni(m_strRemoteIni, &id0, &id1);
    WriteRemoteId(id0, id1, kRemoteSetId);
}

void CScheduleTrayDlg::OnScheduleList()
{
    if (g_pScheduleListDlg)
        return;
    g_pScheduleListDlg = new CScheduleListDlg(this);
    g_pScheduleListDlg->DoModal();
    delete g_pScheduleListDlg;
    g_pScheduleListDlg = NULL;
}

void CScheduleTrayDlg::OnRemoteIdReset()
{
    if (g_pRemoteIdDlg && g_pRemoteIdDlg->m_hWnd) {
        g_pRemoteIdDlg->SetWindowPos(NULL, 100, 100, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        g_pRemoteIdDlg->ShowWindow(SW_SHOW);
    }
    WriteRemoteId(0, 0, kRemoteStartPairing);
}

void CScheduleTrayDlg::DestroyRemoteIdDialog()
{
    if (!g_pRemoteIdDlg)
        return;
    if (g_pRemoteIdDlg->m_hWnd)
        g_pRemoteIdDlg->DestroyWindow();
    delete g_pRemoteIdDlg;
    g_pRemoteIdDlg = NULL;
}

// --- Timed shut-down -----------------------------------------------------------

void CScheduleTrayDlg::OnTimedShutdown()
{
    BOOL bWasArmed = m_bShutdownArmed;
    m_bShutdownArmed = !m_bShutdownArmed;
    if (bWasArmed) {
        KillTimer(TIMER_TIMED_SHUTDOWN);
        return;
    }
    CShutdownTimeDlg dlg(this);
    if (dlg.DoModal() != IDOK) {
        m_bShutdownArmed = 0;
        return;
    }
    m_nShutdownMonth = dlg.m_nMonth;
    m_nShutdownDay = dlg.m_nDay;
    m_nShutdownHour = dlg.m_nHour;
    m_nShutdownMinute = dlg.m_nMinute;
    ShutdownTarget target = {m_nShutdownMonth, m_nShutdownDay, m_nShutdownHour, m_nShutdownMinute};
    time_t now = ScheduleNow();
    if (!IsShutdownTargetAccepted(target, now)) {
        MessageBox("您所设置的时间小于当前时间，请重新设置！");
        m_bShutdownArmed = 0;
        return;
    }
    SetTimer(TIMER_TIMED_SHUTDOWN, kTimedShutdownPeriod);
    // The current minute is checked at once: its tick may not come in time.
    m_nLastShutdownCheck = ShutdownMinuteKeyAt(now) - 1;
    CheckTimedShutdown();
}

void CScheduleTrayDlg::CheckTimedShutdown()
{
    ShutdownTarget target = {m_nShutdownMonth, m_nShutdownDay, m_nShutdownHour, m_nShutdownMinute};
    time_t now = ScheduleNow();
    BOOL bReached = IsShutdownTargetReached(target, m_nLastShutdownCheck, now);
    m_nLastShutdownCheck = ShutdownMinuteKeyAt(now);
    if (bReached && !ShutdownPC())
        MessageBox(kSystemErrorText, kWarningCaption, MB_OK | MB_ICONEXCLAMATION);
}

// --- End ------------------------------------------------------------------------

void CScheduleTrayDlg::KillAllTimers()
{
    if (!m_hWnd)
        return;
    static const UINT_PTR s_timers[] = {TIMER_REMOTE_POLL, TIMER_SHUTDOWN, TIMER_DIGIT_ENTRY,
                                        TIMER_DUE_CHECK, TIMER_STANDBY, TIMER_TIMED_SHUTDOWN};
    for (UINT_PTR id : s_timers)
        KillTimer(id);
}

void CScheduleTrayDlg::OnExit()
{
    // No tick may reach the driver once COM is gone, and the enumerator must
    // go back to the driver while COM still runs.
    KillAllTimers();
    ReleaseCardDevice();
    m_wakeTimer.Close();
    EndDialog(1);
    if (m_bComInitialized)
        ::CoUninitialize();
    m_bComInitialized = FALSE;
}
