// Timewarden's main window: a dialog that is never seen. Its modal loop is
// the program's main loop; its timers poll the remote, check the schedule
// and carry out stand-by, shut-down and the timed shut-down; OrvixPlus finds
// it by caption and posts its commands to it.
#pragma once
#include "Afx.h"
#include "CardDriverInterfaces.h"
#include "Power.h"
#include "RemoteControl.h"
#include "TimedShutdown.h"
#include "TrayIcon.h"
#include "resource.h"

// Full path of OrvixPlus.exe, as the due check starts it.
extern CString g_strMainProgram;

#define MAIN_PROGRAM_CAPTION "Orvix Plus"
#define FM_PROGRAM_CAPTION "KESTOR FM"
#define MAIN_PROGRAM_FILE "OrvixPlus.exe"
#define STARTUP_SHORTCUT_NAME "Schedule TV"

class CScheduleTrayDlg : public CDialog {
public:
    enum { IDD = IDD_SCHEDULE_TRAY_DIALOG };
    explicit CScheduleTrayDlg(CWnd* pParent = NULL);
    ~CScheduleTrayDlg() override;

    static BOOL IsMainProgramRunning();
    static BOOL IsFmProgramRunning();
    static void LaunchMainProgram();
    static void RunMainProgramForSchedule();
    // The program's folder with its trailing backslash.
    static CString GetModuleFolder();
    static BOOL InstallStartupShortcut();
    static BOOL CreateShortcut(int nFolder, LPCSTR lpszTarget, LPCSTR lpszName);

    void OpenCardDevice();
    void PollRemote();
    // The code to send to OrvixPlus, or REMOTE_KEY_KEEP while a number is typed.
    int MapRemoteKey(int code);
    void OnTimedShutdown();
    void OnExit();
    // Gives the receiver the ID kept in remote.ini.
    void LoadRemoteId();
    // Shows the Remote ID dialog and sets the receiver pairing.
    void OnRemoteIdReset();
    // Runs the schedule list dialog unless it is open already.
    void OnScheduleList();
    const CString& GetRemoteIniPath() const { return m_strRemoteIni; }

    BOOL IsShutdownArmed() const { return m_bShutdownArmed != 0; }
    int GetDeviceCount() const { return m_nDeviceCount; }

protected:
    virtual BOOL OnInitDialog();
    virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    virtual void OnTimer(UINT_PTR nIDEvent);
    virtual void OnWindowPosChanging(WINDOWPOS* lpwndpos);
    virtual BOOL OnNcActivate(BOOL bActive);
    virtual void OnPaint();
    virtual HCURSOR OnQueryDragIcon();
    virtual void OnInitMenuPopup(CMenu* pPopupMenu, UINT nIndex, BOOL bSysMenu);
    // Enter and Escape reach a dialog that nobody sees: only "退出" ends it.
    virtual void OnOK() {}
    virtual void OnCancel() {}

private:
    void OnPowerBroadcast(WPARAM event);
    void OnDigitTick();
    void CheckTimedShutdown();
    void KillAllTimers();
    void ReleaseCardDevice();
    void DestroyRemoteIdDialog();

    CDigitEntry m_digits;
    int m_nShutdownMonth;
    int m_nShutdownDay;
    int m_nShutdownHour;
    int m_nShutdownMinute;
    BYTE m_bShutdownArmed;
    CString m_strRemoteIni;
    CMenu m_menu;
    IVampDeviceEnumerator* m_pDeviceEnum;
    int m_nDeviceCount;
    HICON m_hIcon;
    CTrayIcon m_trayIcon;
    BOOL m_bInstallShortcut;

    CWakeTimer m_wakeTimer;
    long m_nLastShutdownCheck;   // minute key of the timed shut-down's previous check
    BOOL m_bInPoll;              // a poll's message box is up: no poll meanwhile
    BOOL m_bComInitialized;
};
