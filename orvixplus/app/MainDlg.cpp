#include "MainDlg.h"
#include "AppSettings.h"
#include "AppState.h"
#include "DeviceList.h"
#include "Globals.h"
#include "SettingsFile.h"
#include "SkinControlState.h"

CMainDlg::CMainDlg(CWnd* pParent) : CDialog(CMainDlg::IDD, pParent)
{
    m_hIcon = AfxGetApp()->LoadIcon(IDI_ORVIXPLUS);
}

CString CMainDlg::SettingsPath() const
{
    CString path = g_pSettings ? g_pSettings->m_strAppFolder : CString();
    path += SETTINGS_FILE_NAME;
    return path;
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
    return LoadOrCreateSettingsFile(g_pSettings, SettingsPath());
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

BOOL CMainDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    SetIcon(m_hIcon, TRUE);
    SetIcon(m_hIcon, FALSE);
    // The scheduler tray program finds the running TV program by this title.
    SetWindowText("Orvix Plus");

    // Without settings nothing else can start; the objects that would need
    // them stay missing and every operation on them does nothing.
    if (!CreateSettings())
        return FALSE;
    if (!g_pSkinRefresher)
        g_pSkinRefresher = new CSkinControlState;
    CopyDeviceNames(GetAudioDeviceList(), g_pSettings->m_arrAudioDevices);
    CopyDeviceNames(GetDeviceList(), g_pSettings->m_arrVideoDevices);
    CreateAppState();
    g_pSkinRefresher->Refresh();
    return TRUE;
}

void CMainDlg::FreeRunObjects()
{
    delete g_pSettings;
    g_pSettings = NULL;
    delete g_pSkinRefresher;
    g_pSkinRefresher = NULL;
    delete g_pAppState;
    g_pAppState = NULL;
    FreeDeviceList();
    FreeAudioDeviceList();
}

void CMainDlg::OnDestroy()
{
    CDialog::OnDestroy();
    // A file that can be neither saved nor reset is left alone, and so is
    // everything that would be saved after it.
    if (!SaveOrResetSettingsFile(g_pSettings, SettingsPath()))
        return;
    FreeRunObjects();
}

void CMainDlg::OnPaint()
{
    if (!IsIconic()) {
        CDialog::OnPaint();
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
