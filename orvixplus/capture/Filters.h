// The wrappers of the filters the capture engine inserts: each knows its class
// identifier, the name it goes into the graph under and its Create rule.
#pragma once
#include "FilterWrapper.h"
#include "RecorderInterfaces.h"
#include "OverlayInterfaces.h"
#include "AfxCore.h"

// {CF49D4E0-1115-11CE-B03A-0020AF0BA770}
class CAviDecompressorFilter : public CFilterWrapper {
public:
    using CFilterWrapper::CFilterWrapper;
    BOOL Create() override;
};

class CDeinterlaceFilter : public CFilterWrapper {
public:
    using CFilterWrapper::CFilterWrapper;
    BOOL Create() override;
};

class CVideoInvertFilter : public CFilterWrapper {
public:
    using CFilterWrapper::CFilterWrapper;
    BOOL Create() override;
};

// The Overlay Mixer stretches the picture to its window: its first pin with
// IMixerPinConfig is told so, and a refusal fails Create.
class COverlayMixer : public CFilterWrapper {
public:
    using CFilterWrapper::CFilterWrapper;
    BOOL Create() override;
};

class CVideoRendererFilter : public CFilterWrapper {
public:
    using CFilterWrapper::CFilterWrapper;
    BOOL Create() override;
    // A fresh renderer in place of the held one (the preview retries a failed
    // renderer connection once with it).
    BOOL Reset();
};

class CVmr9Filter : public CFilterWrapper {
public:
    using CFilterWrapper::CFilterWrapper;
    BOOL Create() override;
};

class CSmartTeeFilter : public CFilterWrapper {
public:
    using CFilterWrapper::CFilterWrapper;
    BOOL Create() override;
};

// The maker's image grabber; its own interface is held beside the filter.
// Snapshots are BMP files numbered like the recordings (capNN.bmp).
class CImageGrabber : public CFilterWrapper {
public:
    using CFilterWrapper::CFilterWrapper;
    ~CImageGrabber() override;
    BOOL Create() override;
    IKestorImageGrabber* GetGrabber() const { return m_pGrabber; }

    // The current frame as a BMP file in the folder; FALSE when no frame
    // could be read or no file written.
    BOOL SaveSnapshot(LPCSTR pszFolder);
    BOOL WriteBmp(const BYTE* pFrame, long size, LPCSTR pszFolder);
    // Folder + the next free snapshot name.
    CString NextSnapshotName(LPCSTR pszFolder);
    // The current frame as bottom-up 24-bit RGB, width x height x 3 bytes
    // without row padding, owned by the caller (delete[]); NULL on failure.
    BYTE* GrabFrameRGB(int* pWidth = NULL, int* pHeight = NULL);
    BOOL GetFrameSize(int* pWidth, int* pHeight, int* pThird);

protected:
    IKestorImageGrabber* m_pGrabber = NULL;
    CStringArray m_arrNames;
};

// The maker's on-screen-display filter and its display interface: one text
// item and one level bar, each kept until the display is switched off.
class COverlayFilter : public CFilterWrapper {
public:
    using CFilterWrapper::CFilterWrapper;
    ~COverlayFilter() override;
    BOOL Create() override;
    IKsrOverlay* GetDisplay() const { return m_pDisplay; }

    // The text (length bytes, GBK, no NUL needed) at (x, y) of the picture.
    BOOL ShowText(LPCSTR pszText, int length, int x, int y, const LOGFONTA& font);
    // A bar of `steps` cells, width x height at (x, y), min(count, steps) filled.
    BOOL ShowLevel(int count, int x, int y, int width, int height, int steps,
                   const LOGFONTA& font);
    // Switches the display off (enable 0).
    BOOL Hide();

protected:
    IKsrOverlay* m_pDisplay = NULL;
};

// The maker's MPEG-1/2 recorder and the five interfaces the engine talks to.
// The record format (0-8) and quality (1-3) choose a preset of encoder values
// that goes to the filter before each recording.
class CMpegEncoder : public CFilterWrapper {
public:
    using CFilterWrapper::CFilterWrapper;
    ~CMpegEncoder() override;
    BOOL Create() override;

    // Preset, both settings groups and the next file in the folder.
    BOOL Configure(LPCSTR pszFolder, int format, int quality);
    // FALSE for a format outside 0-8 or a quality outside 1-3.
    BOOL SetPreset(int format, int quality);
    BOOL ApplyVideoSettings();
    BOOL ApplySecondSettings();
    // Folder (ending with a separator) + NextCaptureName: FALSE without a file
    // sink, for a path too long for the filter, or when the filter refuses it.
    BOOL SetOutputFile(LPCSTR pszFolder);
    // Megabytes (of 1,000,000 bytes) a recording of this length will take.
    double EstimateSizeMB(int seconds) const;
    // Bytes written to the file so far; 0 when unknown.
    DWORD GetBytesWritten();
    CString NextCaptureName(LPCSTR pszFolder);

    int GetBitRate() const { return m_nBitRate; }

protected:
    // The preset.
    int m_nStreamType = 0;
    int m_nBitRate = 0;        // kbit/s
    int m_nFrameRateCode = 0;
    int m_nWidth = 0;
    int m_nHeight = 0;
    int m_nFurther = -1;       // no preset sets it
    int m_nSizeValue = 0;
    int m_nAudioRate = 0;      // named by the preset, passed to nobody
    int m_nSecond[9] = {};     // the second settings group, values 1 to 9

    IUnknown* m_pInterfaceA = NULL;  // queried and held, never called
    IMpegRecorderSecondSettings* m_pSecondSettings = NULL;
    IFileSinkFilter* m_pFileSink = NULL;
    IUnknown* m_pInterfaceB = NULL;  // queried and held, never called
    IMpegRecorderVideoSettings* m_pVideoSettings = NULL;
    CStringArray m_arrNames;
};

extern const CLSID CLSID_BrinmarchDeinterlacer;
extern const CLSID CLSID_BrinmarchVideoInvert;
