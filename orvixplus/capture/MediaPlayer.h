// The media file player: a graph of its own that plays an MPEG, AVI, MP3 or
// WAV file in the video window, with seeking, rate, its own volume and mute
// (the master volume) and snapshots of the playing picture.
#pragma once
#include "GraphControl.h"
#include <vector>

class CMasterVolume;
class COverlayMixer;
class CVideoRendererFilter;

// Sent by the graph to the window given to SetNotifyWindow.
const UINT WM_GRAPH_NOTIFY = WM_USER + 20;
// Sent to the main window before and after the file dialog.
const UINT WM_FILE_DIALOG_OPENING = WM_USER + 889;
const UINT WM_FILE_DIALOG_CLOSED = WM_USER + 900;

extern const char kMediaFileFilter[];

// Positions and durations are kept in the graph's reference time (100 ns
// units) and reckoned in integers: a per cent or a step worked out in
// seconds as doubles came out one lower at exact boundaries, in the 32-bit
// build's extended precision and at times in doubles too.
const REFERENCE_TIME kStepBackTime = 2000000;  // 0.2 s
// Seconds to reference time, to the nearest unit.
REFERENCE_TIME SecondsToMediaTime(double seconds);
// The whole per cent of the duration a position is (cut, not rounded); 0
// without a duration.
int MediaProgressPercent(REFERENCE_TIME position, REFERENCE_TIME duration);
// The position a per cent of the duration is (the position slider's).
REFERENCE_TIME MediaTimeAtPercent(int percent, REFERENCE_TIME duration);

class CMediaPlayer : public CGraphControl {
public:
    CMediaPlayer();
    ~CMediaPlayer() override;
    BOOL Create() override;
    void Release() override;

    BOOL Run();
    BOOL Stop();
    BOOL Pause();
    BOOL SetWindowPosition(int left, int top, int width, int height);

    BOOL SetNotifyWindow(HWND hWnd);
    // TRUE once the end of the file (EC_COMPLETE) was among the waiting events.
    BOOL OnGraphNotify();
    BOOL GetCurrentPosition(double* pSeconds);
    BOOL GetDuration(double* pSeconds);
    BOOL SetCurrentPosition(double seconds);
    BOOL GetPositionTime(REFERENCE_TIME* pTime);
    BOOL GetDurationTime(REFERENCE_TIME* pTime);
    BOOL SeekToTime(REFERENCE_TIME t);
    // To a per cent of the file's duration.
    BOOL SeekToPercent(int percent);
    BOOL SetRate(double rate);
    BOOL RenderFile(LPCSTR pszPath);
    // The open-file dialog; TRUE and the path on OK.
    BOOL ChooseFile(CString& strPath);
    // Chooses, renders and plays a file; after a stop or pause plays the loaded
    // one again (and reports FALSE, as no new file was chosen).
    BOOL PlayFile(HWND hWnd);
    BOOL StepBack();
    int GetProgressPercent();
    void EnableAudio(BOOL bOn);
    BOOL SetVolume(int percent);
    BOOL SaveSnapshot(LPCSTR pszFolder);
    CString NextSnapshotName(LPCSTR pszFolder);

    // The main window keeps its rewind timer's id here; a stop clears it.
    UINT_PTR m_nRewindTimer;

    int GetVolumeValue() const { return m_nVolume; }
    CMasterVolume* GetMasterVolume() const { return m_pVolume; }

protected:
    // The renderer's window inside the owner, NULL when there is none.
    HWND VideoWindowHwnd();
    // The renderer's copy of the picture (w x h): a DIB and its pixels' offset.
    BOOL CurrentImage(long w, long h, std::vector<BYTE>* dib, DWORD* pOffset);

    CStringArray m_arrNames;
    CMasterVolume* m_pVolume;
    int m_nVolume;
    int m_nVolumeMax;
    int m_nVolumeMin;
    int m_nVolumeStep;
    int m_nVolumeSteps;
    COverlayMixer* m_pOverlay;
    CVideoRendererFilter* m_pRenderer;
    BOOL m_bChooseFile;
};
