// The wrappers of the filters the capture engine inserts: each knows its class
// identifier, the name it goes into the graph under and its Create rule.
#pragma once
#include "FilterWrapper.h"
#include "RecorderInterfaces.h"

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
class CImageGrabber : public CFilterWrapper {
public:
    using CFilterWrapper::CFilterWrapper;
    ~CImageGrabber() override;
    BOOL Create() override;
    IUnknown* GetGrabber() const { return m_pGrabber; }
protected:
    IUnknown* m_pGrabber = NULL;  // {3FF64EF3-D0E5-4CEF-B0C5-675B7FD6F818}
};

// The maker's on-screen-display filter and its display interface.
class COverlayFilter : public CFilterWrapper {
public:
    using CFilterWrapper::CFilterWrapper;
    ~COverlayFilter() override;
    BOOL Create() override;
    IUnknown* GetDisplay() const { return m_pDisplay; }
    // Switches the display off (enable 0).
    BOOL Hide();
protected:
    IUnknown* m_pDisplay = NULL;  // {EC42A369-0B4F-40C1-8206-C2282C04F658}
};

// The maker's MPEG-1/2 recorder and the five interfaces the engine talks to.
class CMpegEncoder : public CFilterWrapper {
public:
    using CFilterWrapper::CFilterWrapper;
    ~CMpegEncoder() override;
    BOOL Create() override;
protected:
    IUnknown* m_pInterfaceA = NULL;      // {DABE44F1-4821-472F-AE49-1BA551A8CC78}
    IUnknown* m_pSecondSettings = NULL;  // {EED418E0-FBF0-40E4-9AE4-773388B82A89}
    IFileSinkFilter* m_pFileSink = NULL;
    IUnknown* m_pInterfaceB = NULL;      // {A07A54EA-29F5-4A54-9BA9-C0F501959C33}
    IUnknown* m_pVideoSettings = NULL;   // {C291943E-8A3F-468E-AADD-66FE34C5EB8A}
};

extern const CLSID CLSID_BrinmarchDeinterlacer;
extern const CLSID CLSID_BrinmarchVideoInvert;
extern const CLSID CLSID_KsrOverlayFilter;
extern const IID IID_IKsrOverlayDisplay;
extern const IID IID_IMixerPinConfigOrvix;
