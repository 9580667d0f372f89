#include "InstallDlg.h"
#include "InstallAboutDlg.h"
#include "DriverFiles.h"
#include "FriendlyName.h"
#include "SystemActions.h"
#include "AfxString.h"
#include "DataExchange.h"
#include "Dc.h"
#include "Menu.h"
#include "WinApp.h"

static const char kUpToDate[] = "驱动已经更新!";
static const char kRestartQuestion[] =
    "请保存关闭其他程序，点击确定后将重新启动您的电脑，以便完成驱动更新!";
static const char kCannotUpdate[] = "无法更新驱动程序!";
static const char kRestartFailed[] = "ExitWindowsEx";

// The progress bar is only there to give the user a moment before the
// question: 0 to 200 in the control's default steps of 10, one every 30 ms.
static const UINT_PTR kProgressTimer = 1;
static const UINT kProgressTickMs = 30;
static const int kProgressEnd = 200;

CInstallDlg::CInstallDlg(CWnd* pParent)
    : CDialog(CInstallDlg::IDD, pParent), m_bChanged(FALSE), m_bFailed(FALSE),
      m_registryRoot(HKEY_LOCAL_MACHINE), m_nWindows98(-1)
{
    m_hIcon = ::LoadIcon(AfxGetResourceHandle(), MAKEINTRESOURCE(IDR_MAINFRAME));
}

void CInstallDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_PROGRESS, m_progress);
}

BOOL CInstallDlg::OnInitDialog()
{
    CDialog::OnInitDialog();

    CMenu* pSysMenu = GetSystemMenu(FALSE);
    if (pSysMenu) {
        CString about;
        about.LoadString(IDS_ABOUTBOX);
        if (!about.IsEmpty()) {
            pSysMenu->AppendMenu(MF_SEPARATOR);
            pSysMenu->AppendMenu(MF_STRING, IDM_ABOUTBOX, about);
        }
    }
    SetIcon(m_hIcon, TRUE);
    SetIcon(m_hIcon, FALSE);

    // All the work is done before the window shows.
    if (!CopyDriverFiles()) {
        // Without its folders nothing can be checked, let alone installed.
        PostMessage(WM_CLOSE);
        AfxMessageBox(kCannotUpdate);
        return TRUE;
    }
    if (m_nWindows98 < 0 ? IsWindows98() : m_nWindows98)
        UpdateFriendlyName98();
    else
        UpdateFriendlyNameNT();

    if (m_bFailed)
        AfxMessageBox(kCannotUpdate);
    if (m_bChanged) {
        m_progress.SetRange(0, kProgressEnd);
        SetTimer(kProgressTimer, kProgressTickMs, NULL);
    } else {
        PostMessage(WM_CLOSE);
        // After a failure, nothing is up to date.
        if (!m_bFailed)
            AfxMessageBox(kUpToDate);
    }
    return TRUE;
}

// FALSE when the folders cannot be read: then nothing was looked at.
BOOL CInstallDlg::CopyDriverFiles()
{
    std::string windows = m_windowsFolder, program = m_programFolder;
    if (windows.empty() && !GetWindowsFolder(windows))
        return FALSE;
    if (program.empty() && !GetProgramFolder(program))
        return FALSE;
    DriverCopyResult result = ::CopyDriverFiles(windows, program);
    // Only a file that is now in place calls for a restart.
    if (result.copied > 0)
        m_bChanged = TRUE;
    if (result.failed > 0)
        m_bFailed = TRUE;
    return TRUE;
}

void CInstallDlg::UpdateFriendlyNameNT()
{
    NameUpdateResult result = ::UpdateFriendlyNameNT(m_registryRoot);
    // Deliberately unlike Windows 98: on the NT family a name found wrong
    // offers the restart even when its write was refused.
    if (result.written > 0 || result.failed > 0)
        m_bChanged = TRUE;
    if (result.failed > 0)
        m_bFailed = TRUE;
}

void CInstallDlg::UpdateFriendlyName98()
{
    NameUpdateResult result = ::UpdateFriendlyName98(m_registryRoot);
    if (result.written > 0)
        m_bChanged = TRUE;
    if (result.failed > 0)
        m_bFailed = TRUE;
}

void CInstallDlg::OnTimer(UINT_PTR nIDEvent)
{
    if (nIDEvent != kProgressTimer) {
        CDialog::OnTimer(nIDEvent);
        return;
    }
    if (m_progress.StepIt() != kProgressEnd)
        return;
    KillTimer(kProgressTimer);
    PostMessage(WM_CLOSE);
    if (AfxMessageBox(kRestartQuestion, MB_OKCANCEL) == IDOK)
        RebootSystem();
}

void CInstallDlg::RebootSystem()
{
    if (!RestartWindows())
        AfxMessageBox(kRestartFailed);
}

void CInstallDlg::OnSysCommand(UINT nID, LPARAM lParam)
{
    if ((nID & 0xFFF0) == IDM_ABOUTBOX) {
        CInstallAboutDlg dlg;
        dlg.DoModal();
    } else {
        CDialog::OnSysCommand(nID, lParam);
    }
}

// Only a minimised dialog draws anything itself: its icon, centred.
void CInstallDlg::OnPaint()
{
    if (!IsIconic()) {
        CDialog::OnPaint();
        return;
    }
    CPaintDC dc(this);
    SendMessage(WM_ICONERASEBKGND, (WPARAM)dc.GetSafeHdc(), 0);
    int cxIcon = GetSystemMetrics(SM_CXICON);
    int cyIcon = GetSystemMetrics(SM_CYICON);
    CRect rect;
    GetClientRect(&rect);
    int x = (rect.Width() - cxIcon + 1) / 2;
    int y = (rect.Height() - cyIcon + 1) / 2;
    dc.DrawIcon(x, y, m_hIcon);
}

HCURSOR CInstallDlg::OnQueryDragIcon()
{
    return (HCURSOR)m_hIcon;
}
