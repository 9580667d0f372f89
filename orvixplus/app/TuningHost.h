// What switching a channel needs from the rest of the program: the main and
// settings windows, the capture graph's sound and the tuner. The main dialog
// installs its implementation in g_pTuningHost; while it is NULL there is no
// main window, and the channel store tunes nothing.
#pragma once
#include <windows.h>

// Messages the channel store posts to the settings window.
#define WM_CHANNEL_CHANGED   (WM_USER + 620)  // 1644: reset the fine-tune controls
#define WM_CHANNEL_CHANGING  (WM_USER + 653)  // 1677: close any edit of the channel list

class CTuningHost {
public:
    virtual ~CTuningHost() {}
    virtual BOOL HasMainWindow() = 0;
    virtual BOOL HasGraph() = 0;
    // Builds a capture graph for the current mode when there is none.
    virtual void EnsureGraph() = 0;
    // Sound of the current capture graph; nothing without one.
    virtual void EnableAudio(BOOL bEnable) = 0;
    virtual void ShowVideoWindow() = 0;
    virtual BOOL HasSettingsWindow() = 0;
    virtual BOOL IsSettingsWindowVisible() = 0;
    virtual void PostToSettingsWindow(UINT nMsg) = 0;
    // A text element of the main dialog's skin.
    virtual void SetSkinText(const char* pszElement, const char* pszText) = 0;
    // The channel text shown on the video.
    virtual void ShowChannelText(const char* pszText) = 0;
    // Stops a running channel scan and returns once it has stopped.
    virtual void StopChannelScan() = 0;
    // Writes the four tuner bytes to the card.
    virtual void WriteTunerPll(BYTE b0, BYTE b1, BYTE b2, BYTE b3) = 0;
    // Lets the tuner and the sound settle.
    virtual void Pause(DWORD dwMilliseconds) = 0;
};

extern CTuningHost* g_pTuningHost;

// The tuner bytes for a frequency: divider high, divider low, control, band.
void ComputeTunerBytes(float fMHz, BYTE bytes[4]);
// The same for a frequency in hertz (a country plan's), worked out in
// integers rather than through a float's megahertz.
void ComputeTunerBytesHz(int nHz, BYTE bytes[4]);
// Programs the tuner (through the host; nothing without one).
void TuneFrequency(float fMHz);
// Stops a running channel scan before the tuner is touched.
void StopChannelScan();
