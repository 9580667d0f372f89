// The settings window "属性页" (class "Orvix Plus Prop"): the skin frame, the
// page panel and the OK / Exit buttons, both of which end pending work and
// hide the window. The pages report combo selections and track-bar moves
// here; this window stores them in g_pSettings and applies them at once to
// the capture graph, the tuner, the video window or the channel store.
#pragma once
#include "AppMessages.h"
#include "ChannelScan.h"
#include "Afx.h"
#include "SkinFrame.h"

#define PROP_WINDOW_CLASS "Orvix Plus Prop"
#define PROP_WINDOW_PROP "sPropWindow_OldProc"

// Messages of the settings window (wParam / lParam as noted).
#define WM_PROP_SLIDER_MOVING     (WM_USER + 308)   // 1332: id / position
#define WM_PROP_SLIDER_RELEASED   (WM_USER + 309)   // 1333: id / position
#define WM_PROP_VIDEO_SIZE        (WM_USER + 320)   // 1344: size 1..3
#define WM_PROP_CHANNELS_RELOADED (WM_USER + 325)   // 1349
#define WM_PROP_ALWAYS_ON_TOP     (WM_USER + 512)   // 1536: on / off

class CHoverTextButton;
class CSettingsPanel;
class CEditListCtrl;
struct ChannelRecord;

class CPropWindow : public CWnd {
public:
    enum { IDC_OK = 5008, IDC_EXIT = 5009 };
    CPropWindow();
    virtual ~CPropWindow();

    // A hidden top-most window with a client area of cx x cy.
    BOOL Create(int cx, int cy);
    BOOL Initialize(LPCSTR pszSkinIni);
    void Show(int nCmdShow = SW_SHOW);
    void SetWindowText(LPCSTR pszText);
    void SetFrameFlag(DWORD dwValue);
    // The action of both buttons: ends pending work and hides the window.
    void Close();

    CSettingsPanel* GetPanel() const { return m_pPanel; }
    int GetScanRowCount() const { return m_nScanRows; }
    BOOL IsAudioInputFound() const { return m_bAudioInputFound; }

    // The refill of the channel list from the store (1349); public for the
    // tuning page's import.
    void RefillChannelList();

protected:
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);

private:
    static LRESULT CALLBACK ClassProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
    static HWND AudioLineListener();
    void Destroy();
    void HideAndTell();
    BOOL CreateControls();
    BOOL FillPages();
    void FillCountries();
    void OnButtonCommand(WPARAM wParam, LPARAM lParam);
    void OnComboSelChange(int nID, int nSel);
    void SelectInputSource(int nIndex);
    void ChangeVideoDevice(int nSel);
    void OnSliderMoving(int nID, int nPos);
    void OnSliderReleased(int nID, int nPos);
    BOOL FineTune(int nPos);
    void ResetFineTune();
    void CloseListEdit(BOOL bCommit);
    CEditListCtrl* ChannelList() const;
    void OnChannelFound(ChannelRecord* pReport);
    void OnScanFinished();
    void OnTuneRow(int nRow);
    void OnAudioLine(WPARAM wParam);
    void RefreshFolderLabel(int nWhich);
    void CheckFolders();

    CSkinFrame m_frame;
    CHoverTextButton* m_pOk;
    CHoverTextButton* m_pExit;
    CSettingsPanel* m_pPanel;
    int m_nScanRows;
    int m_bAudioInputFound;
};
