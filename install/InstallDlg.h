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
    BOOL m_bChanged;   // something was installed or renamed: a restart is due
    BOOL m_bFailed;    // something could not be installed or renamed

    std::string m_windowsFolder;
    std::string m_programFolder;
    HKEY m_registryRoot;
};
