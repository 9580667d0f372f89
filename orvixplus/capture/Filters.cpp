#include "Filters.h"
#include "AfxComPtr.h"
#include "MixerInterfaces.h"
#include <uuids.h>

const CLSID CLSID_BrinmarchDeinterlacer =
    {0x335D166F, 0xBDCF, 0x4B7E, {0xB3, 0x60, 0x6A, 0x59, 0x61, 0x7C, 0x80, 0x36}};
const CLSID CLSID_BrinmarchVideoInvert =
    {0xDC3B1C46, 0x3437, 0x4848, {0x94, 0x80, 0xA4, 0xDF, 0xA2, 0x8F, 0xA7, 0xA4}};

namespace {

template <class T>
void ReleaseInto(T** pp)
{
    if (*pp) {
        (*pp)->Release();
        *pp = NULL;
    }
}

}  // namespace

BOOL CAviDecompressorFilter::Create()
{
    return CreateByRule(ReAddExactOk, CLSID_AVIDec, L"AVI Decompressor");
}

BOOL CDeinterlaceFilter::Create()
{
    return CreateByRule(ReAddExactOk, CLSID_BrinmarchDeinterlacer, L"Brinmarch Deinterlacer");
}

BOOL CVideoInvertFilter::Create()
{
    return CreateByRule(ReAddExactOk, CLSID_BrinmarchVideoInvert,
                        L"Brinmarch Video Invert Filter");
}

BOOL COverlayMixer::Create()
{
    if (!CreateByRule(ReAddExactOk, CLSID_OverlayMixer, L"OverlayMixer"))
        return FALSE;
    ComPtr<IMixerPinConfig> pConfig;
    if (SUCCEEDED(FindPinInterface(m_pFilter, IID_IMixerPinConfig, pConfig.OutVoid())) &&
        pConfig && FAILED(pConfig->SetAspectRatioMode(AM_ARMODE_STRETCHED))) {
        CFilterWrapper::Release();
        return FALSE;
    }
    return TRUE;
}

BOOL CVideoRendererFilter::Create()
{
    return CreateByRule(ReAddAnySuccess, CLSID_VideoRenderer, L"Video Renderer");
}

BOOL CVideoRendererFilter::Reset()
{
    if (m_pFilter && m_pGraph)
        CFilterWrapper::Release();
    return Create();
}

BOOL CVmr9Filter::Create()
{
    return CreateByRule(Keep, CLSID_VideoMixingRenderer9, L"Video Mixing Renderer 9");
}

BOOL CSmartTeeFilter::Create()
{
    return CreateByRule(Keep, CLSID_SmartTee, L"Smart Tee");
}

CImageGrabber::~CImageGrabber()
{
    ReleaseInto(&m_pGrabber);
    CFilterWrapper::Release();
}

BOOL CImageGrabber::Create()
{
    BOOL bFresh = FALSE;
    if (!CreateByRule(ReAddExactOk, CLSID_KestorImageGrabber, L"Kestor_Image Grabber", &bFresh))
        return FALSE;
    if (!bFresh)
        return TRUE;
    ReleaseInto(&m_pGrabber);
    if (m_pFilter->QueryInterface(IID_IKestorImageGrabber, (void**)&m_pGrabber) == S_OK)
        return TRUE;
    // A grabber without its interface is no use, and wrappers leave nothing behind.
    ReleaseInto(&m_pGrabber);
    CFilterWrapper::Release();
    return FALSE;
}

COverlayFilter::~COverlayFilter()
{
    ReleaseInto(&m_pDisplay);
    CFilterWrapper::Release();
}

BOOL COverlayFilter::Create()
{
    BOOL bFresh = FALSE;
    if (!CreateByRule(ReAddExactOk, CLSID_KsrOverlay, L"KSR_OverlayFilter", &bFresh))
        return FALSE;
    if (!bFresh) {
        Hide();
        return TRUE;
    }
    ReleaseInto(&m_pDisplay);
    m_pFilter->QueryInterface(IID_IKsrOverlay, (void**)&m_pDisplay);
    return TRUE;
}

BOOL COverlayFilter::Hide()
{
    if (!m_pDisplay)
        return FALSE;
    return m_pDisplay->Enable(KSR_OSD_OFF) == S_OK;
}

BOOL COverlayFilter::ShowText(LPCSTR pszText, int length, int x, int y, const LOGFONTA& font)
{
    IKsrOverlay* d = m_pDisplay;
    const int mode = KSR_OSD_TEXT;
    if (!d || !pszText || length < 0)
        return FALSE;
    return d->Enable(mode) == S_OK && d->SetFont(font, mode) == S_OK &&
           d->SetBackground(0.0, 5.0, mode) == S_OK && d->SetPosition(x, y, mode) == S_OK &&
           d->SetColor(0, 128, 0, mode) == S_OK && d->SetContent(pszText, length, mode) == S_OK;
}

BOOL COverlayFilter::ShowLevel(int count, int x, int y, int width, int height, int steps,
                               const LOGFONTA& font)
{
    IKsrOverlay* d = m_pDisplay;
    const int mode = KSR_OSD_BAR;
    if (!d)
        return FALSE;
    return d->Enable(mode) == S_OK && d->SetFont(font, mode) == S_OK &&
           d->SetBackground(0.0, 5.0, mode) == S_OK &&
           d->SetBar(width, height, steps) == S_OK && d->SetPosition(x, y, mode) == S_OK &&
           d->SetColor(0, 128, 0, mode) == S_OK && d->SetFilled(count < steps ? count : steps) == S_OK;
}

CMpegEncoder::~CMpegEncoder()
{
    ReleaseInto(&m_pFileSink);
    ReleaseInto(&m_pSecondSettings);
    ReleaseInto(&m_pInterfaceB);
    ReleaseInto(&m_pVideoSettings);
    ReleaseInto(&m_pInterfaceA);
    CFilterWrapper::Release();
}

BOOL CMpegEncoder::Create()
{
    if (m_pFilter || !m_pGraph)
        return FALSE;
    IBaseFilter* pF = NULL;
    if (FAILED(AddFilterByCLSID(m_pGraph, CLSID_BrinmarchMpegRecorder,
                                L"Brinmarch Mpeg 1/2 Recorder Filter", &pF)))
        return FALSE;
    m_pFilter = pF;
    // Interfaces already obtained stay held until destruction.
    return SUCCEEDED(pF->QueryInterface(IID_IMpegRecorderSecondSettings,
                                        (void**)&m_pSecondSettings)) &&
           SUCCEEDED(pF->QueryInterface(IID_IMpegRecorderVideoSettings,
                                        (void**)&m_pVideoSettings)) &&
           SUCCEEDED(pF->QueryInterface(IID_IMpegRecorderB, (void**)&m_pInterfaceB)) &&
           SUCCEEDED(pF->QueryInterface(IID_IFileSinkFilter, (void**)&m_pFileSink)) &&
           SUCCEEDED(pF->QueryInterface(IID_IMpegRecorderA, (void**)&m_pInterfaceA));
}
