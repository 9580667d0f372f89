// The install dialog: copies the driver files and corrects the device name as
// it opens, then either says all is up to date and closes, or runs its
// progress bar out and offers the restart.
#pragma once
#include "Dialog.h"
#include "ProgressCtrl.h"
#include "resource.h"
#include <string>

class CInstallDlg : public CDialog {
public:
    CInstallDlg(CWnd* pParent = NULL);
    enum { IDD = IDD_INSTALL_DIALOG };

    // Where the dialog works; the product's defaults are the Windows folder,
    // this program's folder and HKEY_LOCAL_MACHINE. Tests point them elsewhere.
    void SetWindowsFolder(const std::string& folder) { m_windowsFolder = folder; }
    void SetProgramFolder(const std::string& folder) { m_programFolder = folder; }
    void SetRegistryRoot(HKEY root) { m_registryRoot = root; }
    // The device name's path: by default the one this Windows takes.
    void SetWindows98(BOOL bWindows98) { m_nWindows98 = bWindows98 ? 1 : 0; }

protected:
    virtual void DoDataExchange(CDataExchange* pDX);
    virtual BOOL OnInitDialog();
    virtual void OnSysCommand(UINT nID, LPARAM lParam);
    virtual void OnPaint();
    virtual HCURSOR OnQueryDragIcon();
    virtual void OnTimer(UINT_PTR nIDEvent);

    BOOL CopyDriverFiles();
    void UpdateFriendlyNameNT();
    void UpdateFriendlyName98();
    void RebootSystem();

    CProgressCtrl m_progress;
    HICON m_hIcon;
    // Something was installed or renamed, or on the NT path a rename was
    // refused: the restart is offered.
    BOOL m_bChanged;
    BOOL m_bFailed;    // something could not be installed or renamed

    std::string m_windowsFolder;
    std::string m_programFolder;
    HKEY m_registryRoot;
    int m_nWindows98;   // -1: ask the system
};
