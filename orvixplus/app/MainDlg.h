// The main TV dialog: the skinned control panel below the video window. Its
// initialisation creates the objects that live for the whole run (Globals.h)
// and its destruction saves and frees them; in between it turns skin
// elements, keys, remote keys, timers and the other windows' messages into
// actions.
#pragma once
#include "AfxSync.h"
#include "KeptRemoteMessages.h"
#include "ShapeDialog.h"
#include "resource.h"
#include <vector>

// The maker's web page, for "WWW" and "WebLink".
#define ORVIX_WEB_ADDRESS "http://www.kestor.com/"

// Timers of the main dialog.
enum {
    TIMER_NUMBER_BUTTONS = 100,   // end of button number entry
    TIMER_TYPED_NUMBER = 200,     // end of typed number entry
    TIMER_RECORD_CLOCK = 300,
    TIMER_TV_WALL = 400,
    TIMER_SCHEDULE = 500,
    TIMER_SCHEDULED_RUN = 600,
    TIMER_REWIND = 650,
    TIMER_PLAY_POSITION = 655,
    TIMER_DISK_SPACE = 700,
};

class CMainTuningHost;
class CScheduleItem;

class CMainDlg : public CShapeDialog {
public:
    enum { IDD = IDD_ORVIXPLUS_DIALOG };
    explicit CMainDlg(CWnd* pParent = NULL);
    virtual ~CMainDlg();

    BOOL LoadSettingsFile(LPCSTR path);
    BOOL SaveSettingsFile(LPCSTR path);

    // Element operations of the shaped dialog.
    virtual void OnSkinCommand(LPCTSTR lpszName);
    virtual void OnSkinProgress(LPCTSTR lpszName, int nPos);
    virtual void OnSkinProgressEnd(LPCTSTR lpszName, int nPos);
    virtual BOOL PreTranslateMessage(MSG* pMsg);

    // Window operations the other windows and the channel code use.
    void ShowVideoWindow();
    // Builds the graph for the mode when there is none; TRUE when one exists.
    BOOL EnsureGraph();
    void ActivateMainWindow(BOOL bAsked = TRUE);
    void TogglePropertyWindow();
    // The channel text on the video (only while the settings' OSD is on).
    void ShowChannelText(LPCSTR pszText);
    // A skin label's text, from any thread. On the dialog's own it is set at
    // once; another (the channel scan's worker) leaves it for the dialog and
    // posts to it: the label's text is read by its paints on this thread, and
    // its font is asked of it by a message that would wait for this thread.
    void SetLabelText(LPCSTR pszElement, LPCSTR pszText);
    void EndScheduledRunIfActive();

    int GetVolume() const { return m_nVolume; }
    BOOL IsMuted() const { return m_bMuted; }
    BOOL IsOneDigit() const { return m_bOneDigit; }

    // What later work fills in: sources, channels and number entry.
    void SelectTvSource();
    void SelectCompositeSource();
    void SelectSVideoSource();
    void OnSourceChanged(int nSource);
    void ChangeChannel(BOOL bUp);
    void OnNumberButton(int nDigit);
    void OnTypedDigit(int nDigit);
    void OnRemoteChannelNumber(int nNumber);
    BOOL StartupTune();
    // Recording, snapshots and playback.
    void OnRecordButton();
    void TakeSnapshot();
    void PlayMovie();
    void StopMovie();
    void BackMovie();
    void AheadMovie();
    void PauseMovie();
    void StepPlayerVolume(int nDelta);
    void TogglePlayerMute();
    void OnPlayerVolumeSlider(int nPos);
    void OnPlayerPositionSlider(int nPos);
    void OnPlayerEvent();
    // Scan, TV wall and the scheduled run.
    void StartChannelScan();
    void OnStopScan();
    void ToggleTvWall();
    void LeaveTvWall(int nAction, int nChannel);
    void OpenScheduleWindow();
    void CheckSchedule();
    void OnScheduledRunTick();
    void EndScheduledRun();

    // Source switching for a scheduled run: 16 antenna, 17 cable, 18
    // Composite, 19 S-Video, 20 radio; the channel number when above 0.
    BOOL SwitchSource(int nSource, int nChannel);
    // Recording: start (with the record clock or not), the failed start's
    // clean-up, the stop (re-tuning the list's channel or not) and the
    // disk-space check for a user recording (no entry) or a scheduled one.
    BOOL StartRecord(BOOL bClock);
    void ResetAfterFailedRecord(BOOL bDeleteGraph);
    BOOL StopRecord(BOOL bRetune);
    BOOL CheckRecordDiskSpace(const CScheduleItem* pEntry, BOOL bStartTimer);

protected:
    // Tells the dialog's thread that label texts wait for it (SetLabelText);
    // FALSE when the post failed.
    virtual BOOL PostLabelTexts();
    virtual BOOL OnInitDialog();
    virtual void OnDestroy();
    virtual void OnPaint();
    virtual HCURSOR OnQueryDragIcon();
    virtual void OnTimer(UINT_PTR nIDEvent);
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);

private:
    CString AppFile(LPCSTR pszName) const;
    CString SkinPath() const;
    // A start-up step that failed: the splash goes, the box names the file,
    // and the dialog asks to close.
    BOOL FailStartup(LPCSTR pszText);
    void DestroySplash();
    BOOL CreateSettings();
    void CreateAppState();
    BOOL CreateChannelStore();
    BOOL CreateVideoWindow();
    void LayOutWindows();
    void SaveAndFreeRunObjects();

    // The skin labels' texts that other threads set (SetLabelText), set here.
    void OnLabelTexts();

    // Keys, remote keys and messages.
    BOOL OnKeyDown(MSG* pMsg);
    // Timewarden's remote message: a key code (wParam 0) or a channel number
    // (1). During the start, and while what the start kept is handled, it is
    // kept (m_keptRemote).
    void OnRemoteMessage(WPARAM wParam, LPARAM lParam);
    void HandleRemoteMessage(WPARAM wParam, LPARAM lParam);
    void OnRemoteKey(int nCode);
    void OnShowChannelRecord(LPARAM lParam);
    void OnScheduleReload();
    void SelectEdgeChannel(BOOL bHighest);
    void CloseRequest();
    BOOL IsMainOrVideoWindow(HWND hWnd) const;
    void DispatchTimer(UINT_PTR nIDEvent);

    // Sound.
    BOOL IsLiveSoundMode() const;
    void StepVolume(int nDelta);
    void VolumeKey(int nDelta);
    void SetVolumeFromSlider(int nPos);
    void ApplyVolume(int nVolume);
    void UnmuteIfMuted();
    void ToggleMute();
    void ShowVolumeBar();
    void ShowOsdMessage(LPCSTR pszText);


    // Seams of the work that comes later (schedule window, TV wall, timers).
    void ForwardToScheduleWindow(UINT nMsg, WPARAM wParam);
    void DeleteScheduleWindow();
    void DeleteTvWall();
    void OnNumberButtonTimer();
    void OnTypedNumberTimer();
    void OnRecordClockTick();
    void OnTvWallStep();
    void OnRewindTick();
    void OnPlayPositionTick();
    void OnDiskSpaceTimer();

    BOOL m_bOneDigit;
    BOOL m_bMuted;
    int m_nVolumeMin;
    int m_nVolumeMax;
    int m_nVolume;
    int m_nButtonNumber;
    int m_nTypedNumber;
    int m_nVolumeStep;
    int m_nRecordSeconds;
    int m_nTvWallSteps;
    int m_nTvWallStartChannel;
    BOOL m_bPlayerMuted;
    HICON m_hIcon;

    // One graph attempt per start-up: without a card every later step would
    // otherwise try (and report) again.
    BOOL m_bStartingUp;
    BOOL m_bStartupGraphTried;
    BOOL m_bSettingsLoaded;
    BOOL m_bChannelsLoaded;
    CKeptRemoteMessages m_keptRemote;
    // Texts for the skin labels from other threads, the latest for each
    // label, until the dialog's thread sets them.
    struct LabelText {
        CString strElement, strText;
    };
    CCriticalSection m_csLabelTexts;
    std::vector<LabelText> m_labelTexts;
    // A post of WM_APP_LABEL_TEXTS is on its way for them.
    BOOL m_bLabelTextsPosted;
    // Timers whose work is running: a message box inside it runs the loop,
    // and a tick of the same timer then must not start the work again.
    DWORD m_dwTimersBusy;
    CMainTuningHost* m_pTuningHost;

    // Tuning.
    void AddEntryDigit(int nEntryMode, UINT_PTR nTimer, int* pnNumber, int nDigit);
    void FinishNumberEntry(UINT_PTR nTimer, int* pnNumber);
    // Recording.
    enum { RECORD_ORIGIN_NONE = 1, RECORD_ORIGIN_USER = 2, RECORD_ORIGIN_SCHEDULE = 3 };
    // Who started the recording that runs (1 when none).
    int RecordOrigin() const;
    void SetRecordOrigin(int nOrigin);
    // Ends playback; the preview restarted or not, the list's channel tuned
    // again or not.
    void StopPlayback(BOOL bRetune, BOOL bRestartPreview);
    void FailRecordStart(BOOL bDeleteGraph);
    void EndRecordingState();
    void ResetRecordTip();
    void ResetRecordClock();
    // The settings' folder, replaced by the program folder (and the settings
    // window told, wParam nKind) when it cannot be used; with one backslash.
    CString CheckedFolder(char (&szFolder)[260], WPARAM nKind);
    CString RecordFolderInUse() const;
    BOOL StartPlayer(LPCSTR pszPath);
    BOOL PlayerControlAllowed();
    void SetPlayerVolume(int nVolume);
    int m_nPlayerState = 0;
    // Scheduled run.
    void StartDueEntry(const CScheduleItem& entry);
    // Removes an entry that ran, was dropped or refused when it is to leave
    // the list; saves and tells the others only when it did.
    void DropDueEntry(const CScheduleItem& entry);
    void SaveAndAnnounceSchedule();
    BOOL IsBusyForSchedule() const;
    void RestoreBeforeScheduledRun(int nMode, int nSource, int nChannel);
    // Ends a scheduled run before the record button acts; TRUE when that
    // was the button's whole work (a scheduled recording was stopped).
    BOOL EndRunBeforeRecordButton();
    BOOL m_bCheckingSchedule = FALSE;
    // Channel scan and TV wall.
    void StopScanAndWait();
    void AbandonTvWall();
};
