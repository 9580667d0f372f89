// The one object through which the TV program drives the capture card: it
// opens the video and audio capture devices, builds a filter graph around
// them, shows the picture in the program's window, sets the picture levels,
// the video standard, the master volume and mute, and tears it all down.
// The program always holds one of the two kinds: the preview graph
// (COverlayGraph) or the recording graph (CRecordGraph); starting or stopping
// a recording deletes the one and builds the other.
#pragma once
#include "AfxCore.h"
#include <dshow.h>

class CAudioCaptureFilter;
class CAviDecompressorFilter;
class CCrossbar;
class CDeinterlaceFilter;
class CDeviceFilter;
class CGraphControl;
class CMasterVolume;
class COverlayMixer;
class CVideoInvertFilter;
class CVideoRendererFilter;

// Posted to the settings window when the line-in search chose a new audio line.
const UINT WM_SELECT_AUDIO_LINE = WM_USER + 877;

// The settings window that wants to hear of a changed audio line: set by that
// window; returns NULL when it is closed or has already found the saved line.
extern HWND (*g_pfnAudioLineListener)();

// Whether the last FindStreamConfig found a stream configuration.
extern BOOL g_bStreamConfigFound;

// Frame times (100 ns) of the 525-line and the 625-line standards.
const REFERENCE_TIME kFrameTime525 = 333667;
const REFERENCE_TIME kFrameTime625 = 400000;

// The DirectShow standard of a name ("PAL_D", "NTSC_M", ...); PAL_D for a
// name it does not know, the whole SECAM mask for "SECAM_MASK".
long VideoStandardFromName(LPCSTR pszName);
// 0 NTSC, 1 PAL, 2 SECAM, 3 none of them.
int StandardFamilyOf(long standard);
// The frame time of a standard: the 525-line ones (NTSC, PAL_M, PAL_60)
// run at 29.97 frames a second.
REFERENCE_TIME FrameTimeOf(long standard);

// What a picture-level range gives the setters: the range in steps, its
// start (always 0) and the default position in steps.
struct ProcAmpRange {
    int range;
    int start;
    int def;
};
// The range from what the device reported; the fixed values of the property
// when the report is unusable (no interface, a failed call, a step of 0).
ProcAmpRange ProcAmpRangeOf(long property, HRESULT hr, long min, long max, long step, long def);
// The device value for a position value out of `scale` (hue and sharpness
// are centred on their defaults).
long ProcAmpValueOf(long property, const ProcAmpRange& r, int value, int scale);

class CCaptureGraph {
public:
    CCaptureGraph();

    // The overridable operations, in the order the concrete graphs rely on.
    virtual BOOL ClearOsd();
    virtual DWORD GetRecordedBytes();
    virtual void ReleasePreview();
    virtual BOOL RestartPreview(int input, int width, int height);
    // Bottom-up 24-bit RGB without row padding (delete[]); NULL when none.
    virtual BYTE* GrabFrameRGB(int* pWidth = NULL, int* pHeight = NULL);
    // A DIB section the caller deletes; NULL when none.
    virtual HBITMAP GrabFrameBitmap();
    virtual BOOL GetFrameSize();
    virtual double EstimateRecordSizeMB(int seconds);
    virtual BOOL StartSmallPreview();
    virtual void SetRecordParams(LPCSTR pszFolder, int format, int quality);
    virtual BOOL ConfigureRecorder(LPCSTR pszFolder, int format, int quality);
    virtual BOOL SwitchInput(int input, int width, int height);
    // level 0..100 as a bar of `steps` cells.
    virtual BOOL ShowOsdLevel(int level, int x, int y, int width, int height, int steps,
                              const LOGFONTA& font);
    virtual BOOL ShowOsdText(LPCSTR pszText, int x, int y, const LOGFONTA& font);
    virtual BOOL ResizeVideo(int width, int height);
    virtual BOOL SaveSnapshot(LPCSTR pszFolder);
    virtual void DestroyFilters();
    virtual BOOL ConnectFilters();
    virtual BOOL CreateFilters();
    virtual BOOL AddFilters();
    // 0 tuner, 1 composite, 2 S-Video.
    virtual BOOL SelectInput(int input);
    virtual ~CCaptureGraph();
    virtual BOOL SetVideoFormat(int width, int height);

    // Binds the graph to the window the picture goes into and makes the
    // filter graph.
    BOOL Initialize(HWND hOwner);
    // Devices, levels, filters, input, size, chain; then runs.
    BOOL Open(int input, int width, int height, int sharpness, int contrast, int brightness,
              int hue, int saturation);
    BOOL InitDevices(int input);
    virtual BOOL Run();
    BOOL Stop();
    BOOL SetOwner(HWND hOwner);
    BOOL SetOwnerWindow(HWND hOwner);
    BOOL SetVideoPosition(int left, int top, int width, int height);

    // Picture levels: value out of scale (the settings use 0..100 of 100).
    BOOL SetBrightness(int value, int scale);
    BOOL SetContrast(int value, int scale);
    BOOL SetHue(int value, int scale);
    BOOL SetSaturation(int value, int scale);
    BOOL SetSharpness(int value, int scale);
    void ApplyVideoProcAmp(int sharpness, int contrast, int brightness, int hue, int saturation,
                           int scale);

    void EnableAudio(BOOL bOn);
    BOOL SetVolume(int percent);
    BOOL ShowPropertyPages();
    void SetVideoStandard(LPCSTR pszName);
    int GetStandardFamily();
    // Whether the decoder has a picture locked (a station on the tuned channel).
    BOOL IsSignalLocked();
    void Close();

    BOOL ConnectPins(IBaseFilter* pDown, int inputIndex, IBaseFilter* pUp, int outputIndex);
    // The device's stream configuration on that pin category (a reference for
    // the caller), or NULL.
    IAMStreamConfig* FindStreamConfig(const GUID* pCategory);

    // Video device: the saved one by name, else the preferred names of the
    // settings' device list.
    BOOL OpenVideoDeviceByName(LPCSTR pszName);
    BOOL SelectVideoDevice();
    // Audio device: the last listed one; its lines go to the settings. Not
    // fatal: a message says so and the picture goes on without sound.
    BOOL OpenAudioDevice();
    // Finds the crossbar upstream of the device's analog video input pin.
    BOOL LocateCrossbar();
    void SelectAudioInput(LPCSTR pszName);
    void SelectLineIn();

    // A filter graph of the caller's, for the device half without Initialize.
    void SetGraph(IGraphBuilder* pGraph);
    IGraphBuilder* GetGraph() const { return m_pGraph; }
    CGraphControl* GetGraphControl() const { return m_pGraphControl; }
    IBaseFilter* GetVideoCaptureFilter() const { return m_pVideoCapture; }
    ICaptureGraphBuilder2* GetBuilder() const { return m_pBuilder; }
    CCrossbar* GetCrossbar() const { return m_pCrossbar; }
    int GetCrossbarInputCount() const { return m_nCrossbarInputs; }
    CAudioCaptureFilter* GetAudioFilter() const { return m_pAudio; }
    CVideoRendererFilter* GetRenderer() const { return m_pRenderer; }
    COverlayMixer* GetMixer() const { return m_pMixer; }
    CAviDecompressorFilter* GetAviDecompressor() const { return m_pAviDec; }
    LPCSTR GetDeviceName() const { return m_strDeviceName; }
    HWND GetOwnerWindow() const { return m_hOwner; }

protected:
    // The range of one picture level, from the device or the fixed values.
    ProcAmpRange ReadRange(long property);
    BOOL SetLevel(long property, int value, int scale);
    // The renderer link: one more try with a fresh renderer when it is refused.
    BOOL ConnectRenderer(IBaseFilter* pUp);
    // Re-adds a wrapper's filter after the graph was stripped; a wrapper that
    // fails is deleted (its member emptied).
    template <class W>
    BOOL ReAdd(W*& pWrapper)
    {
        if (!pWrapper)
            return FALSE;
        TakeOutOfGraph(pWrapper->GetFilter());
        if (pWrapper->Create())
            return TRUE;
        W* p = pWrapper;
        pWrapper = NULL;
        delete p;
        return FALSE;
    }
    // Takes a filter that a rebuild left in the graph out before it is added
    // again, so that the re-add is not refused as a duplicate.
    void TakeOutOfGraph(IBaseFilter* pFilter);
    // RenderStream with no sink, to have the builder bring the crossbar and
    // tuner; what it leaves downstream of the device is removed again.
    void RenderUpstream(const GUID* pCategory);
    // The YUY2 picture of width x height at the standard's frame rate, on the
    // first of the pin categories (NULL: none) the device configures.
    BOOL ApplyVideoFormat(const GUID* pCategory, const GUID* pFallback, int width, int height);
    // After a rebuild strips the device's upstream: the crossbar again, or the
    // old one when the builder did not bring it back.
    void RelocateCrossbar();
    void ShowMessage(LPCSTR pszText);
    // Stops the graph before the filters leave it.
    void StopForTeardown();

    CDeinterlaceFilter* m_pDeinterlace;
    CVideoInvertFilter* m_pInvert;
    CAudioCaptureFilter* m_pAudio;
    CDeviceFilter* m_pDevice;
    CVideoRendererFilter* m_pRenderer;
    COverlayMixer* m_pMixer;
    CMasterVolume* m_pVolume;
    CAviDecompressorFilter* m_pAviDec;
    CCrossbar* m_pCrossbar;
    CGraphControl* m_pGraphControl;
    CString m_strDeviceName;
    int m_nDefBrightness, m_nDefHue, m_nDefContrast, m_nDefSaturation;
    IBaseFilter* m_pVideoCapture;   // one reference, from the device wrapper
    ICaptureGraphBuilder2* m_pBuilder;
    int m_nSharpnessDelta, m_nDefSharpness;
    IAMVideoProcAmp* m_pProcAmp;
    HWND m_hOwner;
    int m_nCrossbarInputs;
    int m_nBrightnessDelta, m_nHueDelta, m_nContrastDelta, m_nSaturationDelta;
    int m_nBrightnessMin, m_nHueMin, m_nContrastMin, m_nSaturationMin;
    int m_nVolCurrent, m_nVolMax, m_nVolMin, m_nVolStep, m_nVolSteps;
    CRITICAL_SECTION m_cs;
    IGraphBuilder* m_pGraph;        // one reference: the graph control's graph
    BOOL m_bClosed;

private:
    CCaptureGraph(const CCaptureGraph&);
    CCaptureGraph& operator=(const CCaptureGraph&);
};

// The names that a line-in input goes by.
BOOL IsLineInName(LPCSTR pszName);
