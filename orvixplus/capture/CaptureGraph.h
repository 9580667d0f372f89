// The one object through which the TV program drives the capture card. This
// is its device half: opening the video and audio capture devices, the card's
// crossbar and the audio input lines. The graph building, preview and
// recording variants stand on it.
#pragma once
#include "AfxCore.h"
#include <dshow.h>

class CAudioCaptureFilter;
class CDeviceFilter;
class CCrossbar;

// Posted to the settings window when the line-in search chose a new audio line.
const UINT WM_SELECT_AUDIO_LINE = WM_USER + 877;

// The settings window that wants to hear of a changed audio line: set by that
// window; returns NULL when it is closed or has already found the saved line.
extern HWND (*g_pfnAudioLineListener)();

class CCaptureGraph {
public:
    CCaptureGraph();
    virtual ~CCaptureGraph();

    // The filter graph the devices go into (the graph control's, later).
    void SetGraph(IGraphBuilder* pGraph);
    IGraphBuilder* GetGraph() const { return m_pGraph; }
    IBaseFilter* GetVideoCaptureFilter() const { return m_pVideoCapture; }
    CCrossbar* GetCrossbar() const { return m_pCrossbar; }
    int GetCrossbarInputCount() const { return m_nCrossbarInputs; }
    CAudioCaptureFilter* GetAudioFilter() const { return m_pAudio; }
    LPCSTR GetDeviceName() const { return m_strDeviceName; }

    // Video device: the saved one by name, else the preferred names of the
    // settings' device list.
    BOOL OpenVideoDeviceByName(LPCSTR pszName);
    BOOL SelectVideoDevice();
    // Audio device: the last listed one; its lines go to the settings. Not
    // fatal: a message says so and the picture goes on without sound.
    BOOL OpenAudioDevice();
    // Finds the crossbar upstream of the device's analog video input pin.
    BOOL LocateCrossbar();

    // 0 tuner, 1 composite, 2 S-Video.
    virtual BOOL SelectInput(int input);
    void SelectAudioInput(LPCSTR pszName);
    void SelectLineIn();

protected:
    CAudioCaptureFilter* m_pAudio;
    CDeviceFilter* m_pDevice;
    CCrossbar* m_pCrossbar;
    IGraphBuilder* m_pGraph;        // one reference
    CString m_strDeviceName;
    IBaseFilter* m_pVideoCapture;   // one reference, from the device wrapper
    int m_nCrossbarInputs;
    CRITICAL_SECTION m_cs;
};

// The names that a line-in input goes by.
BOOL IsLineInName(LPCSTR pszName);
