#include "CaptureGraph.h"
#include "StepTrace.h"
#include "AppSettings.h"
#include "AudioCaptureFilter.h"
#include "AfxComPtr.h"
#include "CountryPlan.h"
#include "Crossbar.h"
#include "DeviceList.h"
#include "Filters.h"
#include "FixedText.h"
#include "Globals.h"
#include "GraphControl.h"
#include "MasterVolume.h"
#include "Seams.h"
#include <ks.h>
#include <ksproxy.h>
#include <olectl.h>
#include <uuids.h>
#include <vector>

HWND (*g_pfnAudioLineListener)() = NULL;
BOOL g_bStreamConfigFound = FALSE;

// Pin category property set and the analog video input category.
static const GUID kPinCategorySet =
    {0x9b00f101, 0x1567, 0x11d1, {0xb3, 0xf1, 0x00, 0xaa, 0x00, 0x37, 0x61, 0xc5}};
static const GUID kPinCategoryAnalogVideoIn =
    {0xfb6c4283, 0x0353, 0x11d1, {0x90, 0x5f, 0x00, 0x00, 0xc0, 0xcc, 0x16, 0xba}};

static void ShowCaptureMessage(LPCSTR text)
{
    FwMessageBox(NULL, text, "Orvix Plus", MB_OK);
}

namespace {

class GraphLock {
public:
    explicit GraphLock(CRITICAL_SECTION* cs) : m_cs(cs) { EnterCriticalSection(m_cs); }
    ~GraphLock() { LeaveCriticalSection(m_cs); }
private:
    CRITICAL_SECTION* m_cs;
};

template <class T>
void ReleaseInto(T** pp)
{
    if (*pp) {
        T* p = *pp;
        *pp = NULL;
        p->Release();
    }
}

template <class W>
void DeleteInto(W** pp)
{
    W* p = *pp;
    *pp = NULL;
    delete p;
}

const long kSecamMask = 0xFF000;
const long kNtscMask = 0x7;
// PAL_B to PAL_60 and PAL_N_COMBO.
const long kPalMask = 0xFF0 | 0x100000;
const long kLines525Mask = kNtscMask | AnalogVideo_PAL_M | AnalogVideo_PAL_60;

struct StandardName {
    const char* name;
    long value;
};
const StandardName kStandards[] = {
    {"NTSC_M", AnalogVideo_NTSC_M},     {"NTSC_M_J", AnalogVideo_NTSC_M_J},
    {"NTSC_433", AnalogVideo_NTSC_433}, {"PAL_B", AnalogVideo_PAL_B},
    {"PAL_D", AnalogVideo_PAL_D},       {"PAL_H", AnalogVideo_PAL_H},
    {"PAL_I", AnalogVideo_PAL_I},       {"PAL_M", AnalogVideo_PAL_M},
    {"PAL_N", AnalogVideo_PAL_N},       {"PAL_60", AnalogVideo_PAL_60},
    {"PAL_N_COMBO", AnalogVideo_PAL_N_COMBO},
    {"SECAM_B", AnalogVideo_SECAM_B},   {"SECAM_D", AnalogVideo_SECAM_D},
    {"SECAM_G", AnalogVideo_SECAM_G},   {"SECAM_H", AnalogVideo_SECAM_H},
    {"SECAM_K", AnalogVideo_SECAM_K},   {"SECAM_K1", AnalogVideo_SECAM_K1},
    {"SECAM_L", AnalogVideo_SECAM_L},   {"SECAM_L1", AnalogVideo_SECAM_L1},
    {"SECAM_MASK", kSecamMask},
};

// Brightness, contrast, hue, saturation, sharpness when the device says nothing usable.
const ProcAmpRange kFixedRanges[5] = {
    {255, 0, 128}, {127, 0, 68}, {255, 0, 128}, {127, 0, 64}, {7, 0, 0}};

// The filters in a graph now.
std::vector<IBaseFilter*> GraphFilters(IGraphBuilder* pGraph)
{
    std::vector<IBaseFilter*> filters;
    ComPtr<IEnumFilters> pEnum;
    if (!pGraph || FAILED(pGraph->EnumFilters(pEnum.Out())) || !pEnum)
        return filters;
    IBaseFilter* f = NULL;
    while (pEnum->Next(1, &f, NULL) == S_OK)
        filters.push_back(f);  // the reference goes to the caller
    return filters;
}

void ReleaseAll(std::vector<IBaseFilter*>& filters)
{
    for (IBaseFilter* f : filters)
        f->Release();
    filters.clear();
}

BOOL HasConnectedPin(IBaseFilter* pFilter)
{
    ComPtr<IEnumPins> pEnum;
    if (FAILED(pFilter->EnumPins(pEnum.Out())) || !pEnum)
        return FALSE;
    IPin* p = NULL;
    while (pEnum->Next(1, &p, NULL) == S_OK) {
        ComPtr<IPin> pin(p, false);
        ComPtr<IPin> other;
        if (SUCCEEDED(pin->ConnectedTo(other.Out())) && other)
            return TRUE;
    }
    return FALSE;
}

// Removes the filters added since `before` that nothing is connected to: a
// no-sink RenderStream that gives up leaves what it tried in the graph.
void RemoveLooseFilters(IGraphBuilder* pGraph, const std::vector<IBaseFilter*>& before)
{
    std::vector<IBaseFilter*> now = GraphFilters(pGraph);
    for (IBaseFilter* f : now) {
        bool old = false;
        for (IBaseFilter* b : before)
            old = old || b == f;
        if (!old && !HasConnectedPin(f))
            pGraph->RemoveFilter(f);
    }
    ReleaseAll(now);
}

}  // namespace

static long CurrentStandard(IBaseFilter* pDevice)
{
    ComPtr<IAMAnalogVideoDecoder> pDecoder;
    long standard = 0;
    if (!pDevice || FAILED(pDecoder.QueryFrom(pDevice, IID_IAMAnalogVideoDecoder)) || !pDecoder ||
        FAILED(pDecoder->get_TVFormat(&standard)))
        return 0;
    return standard;
}

long VideoStandardFromName(LPCSTR pszName)
{
    for (const StandardName& s : kStandards)
        if (pszName && strcmp(pszName, s.name) == 0)
            return s.value;
    return AnalogVideo_PAL_D;
}

int StandardFamilyOf(long standard)
{
    if (standard & kNtscMask)
        return 0;
    if (standard & kPalMask)
        return 1;
    if (standard & kSecamMask)
        return 2;
    return 3;
}

REFERENCE_TIME FrameTimeOf(long standard)
{
    return (standard & kLines525Mask) ? kFrameTime525 : kFrameTime625;
}

ProcAmpRange ProcAmpRangeOf(long property, HRESULT hr, long min, long max, long step, long def)
{
    if (property < 0 || property > 4)
        return ProcAmpRange{0, 0, 0};
    // A zero step would divide by zero; a failed call leaves the outs unset.
    if (FAILED(hr) || step == 0)
        return kFixedRanges[property];
    ProcAmpRange r;
    r.range = (int)((max - min) / step);
    r.start = 0;
    r.def = (int)(def / step - min / step);
    return r;
}

long ProcAmpValueOf(long property, const ProcAmpRange& r, int value, int scale)
{
    if (scale < 1)
        scale = 1;
    // range x value / scale in integers, not range / scale x value in
    // doubles: 2.55 x 100 comes out below 255 there, and the top of the
    // slider would miss the top.
    long v = (long)((LONGLONG)r.range * value / scale);
    if (property == VideoProcAmp_Hue)
        v -= 128;
    else if (property == VideoProcAmp_Sharpness)
        v -= 8;
    return v;
}

CCaptureGraph::CCaptureGraph()
    : m_pDeinterlace(NULL), m_pInvert(NULL), m_pAudio(NULL), m_pDevice(NULL), m_pRenderer(NULL),
      m_pMixer(NULL), m_pVolume(NULL), m_pAviDec(NULL), m_pCrossbar(NULL), m_pGraphControl(NULL),
      m_nDefBrightness(0), m_nDefHue(0), m_nDefContrast(0), m_nDefSaturation(0),
      m_pVideoCapture(NULL), m_pBuilder(NULL), m_nSharpnessDelta(0), m_nDefSharpness(0),
      m_pProcAmp(NULL), m_hOwner(NULL), m_nCrossbarInputs(0), m_nBrightnessDelta(0),
      m_nHueDelta(0), m_nContrastDelta(0), m_nSaturationDelta(0), m_nBrightnessMin(0),
      m_nHueMin(0), m_nContrastMin(0), m_nSaturationMin(0), m_nVolCurrent(0), m_nVolMax(0),
      m_nVolMin(0), m_nVolStep(0), m_nVolSteps(20), m_pGraph(NULL), m_bClosed(FALSE)
{
    InitializeCriticalSection(&m_cs);
    m_pVolume = new CMasterVolume;
    if (g_pSettings)
        SetVolume(g_pSettings->m_nVolume);
}

CCaptureGraph::~CCaptureGraph()
{
    Close();
    DeleteCriticalSection(&m_cs);
}

void CCaptureGraph::SetGraph(IGraphBuilder* pGraph)
{
    if (pGraph)
        pGraph->AddRef();
    if (m_pGraph)
        m_pGraph->Release();
    m_pGraph = pGraph;
}

// ---------------------------------------------------------------- the base behaviours

BOOL CCaptureGraph::ClearOsd() { return FALSE; }
DWORD CCaptureGraph::GetRecordedBytes() { return 0; }
void CCaptureGraph::ReleasePreview() {}
BOOL CCaptureGraph::RestartPreview(int, int, int) { return FALSE; }
BYTE* CCaptureGraph::GrabFrameRGB(int*, int*) { return NULL; }
HBITMAP CCaptureGraph::GrabFrameBitmap() { return NULL; }
BOOL CCaptureGraph::GetFrameSize() { return FALSE; }
double CCaptureGraph::EstimateRecordSizeMB(int) { return 0.0; }
BOOL CCaptureGraph::StartSmallPreview() { return FALSE; }
void CCaptureGraph::SetRecordParams(LPCSTR, int, int) {}
BOOL CCaptureGraph::ConfigureRecorder(LPCSTR, int, int) { return FALSE; }
BOOL CCaptureGraph::SwitchInput(int, int, int) { return FALSE; }
BOOL CCaptureGraph::ShowOsdLevel(int, int, int, int, int, int, const LOGFONTA&) { return FALSE; }
BOOL CCaptureGraph::ShowOsdText(LPCSTR, int, int, const LOGFONTA&) { return FALSE; }
BOOL CCaptureGraph::ResizeVideo(int, int) { return FALSE; }
BOOL CCaptureGraph::SaveSnapshot(LPCSTR) { return FALSE; }
BOOL CCaptureGraph::ConnectFilters() { return FALSE; }
BOOL CCaptureGraph::SetVideoFormat(int, int) { return FALSE; }

void CCaptureGraph::ShowMessage(LPCSTR pszText) { ShowCaptureMessage(pszText); }

// ---------------------------------------------------------------- building

BOOL CCaptureGraph::Initialize(HWND hOwner)
{
    GraphLock lock(&m_cs);
    if (!hOwner)
        return FALSE;
    m_hOwner = hOwner;
    if (m_pGraphControl)
        return TRUE;
    CGraphControl* pControl = new CGraphControl;
    if (!pControl->Create()) {
        delete pControl;
        return FALSE;
    }
    m_pGraphControl = pControl;
    SetGraph(pControl->GetGraph());
    return TRUE;
}

BOOL CCaptureGraph::Open(int input, int width, int height, int sharpness, int contrast,
                         int brightness, int hue, int saturation)
{
    BOOL devices = InitDevices(input);
    ApplyVideoProcAmp(sharpness, contrast, brightness, hue, saturation, 100);
    if (!devices || !CreateFilters())
        return FALSE;
    FwTraceStep("graph: filters");
    SelectInput(input);
    if (!SetVideoFormat(width, height) || !ConnectFilters())
        return FALSE;
    SetOwner(m_hOwner);
    // A graph that does not run shows nothing: the caller must hear of it.
    BOOL ran = Run();
    FwTraceStep("graph: connected and running");
    return ran;
}

BOOL CCaptureGraph::InitDevices(int input)
{
    (void)input;
    if (!m_pGraph)
        return FALSE;
    BOOL video = FALSE;
    if (g_pSettings && g_pSettings->m_szVideoDevice[0])
        video = OpenVideoDeviceByName(g_pSettings->m_szVideoDevice);
    if (!video)
        video = SelectVideoDevice();
    if (!video)
        return FALSE;
    OpenAudioDevice();

    ReleaseInto(&m_pBuilder);
    if (FAILED(CoCreateInstance(CLSID_CaptureGraphBuilder2, NULL, CLSCTX_INPROC_SERVER,
                                IID_ICaptureGraphBuilder2, (void**)&m_pBuilder)) ||
        FAILED(m_pBuilder->SetFiltergraph(m_pGraph))) {
        ReleaseInto(&m_pBuilder);
        return FALSE;
    }
    FwTraceStep("graph: capture devices");
    RenderUpstream(&PIN_CATEGORY_CAPTURE);
    FwTraceStep("graph: upstream render");

    if (g_pSettings && (g_pSettings->m_nInputSource == 1 || g_pSettings->m_nInputSource == 2)) {
        CString standard;
        if (GetCountryStandardName(g_pSettings->m_nCountryCode, standard) && !standard.IsEmpty())
            SetVideoStandard(standard);
    }
    return TRUE;
}

BOOL CCaptureGraph::CreateFilters()
{
    DeleteInto(&m_pDeinterlace);
    DeleteInto(&m_pInvert);
    DeleteInto(&m_pRenderer);
    DeleteInto(&m_pMixer);
    DeleteInto(&m_pAviDec);
    m_pDeinterlace = new CDeinterlaceFilter(m_pGraph);
    if (!m_pDeinterlace->Create()) {
        ShowMessage("没有注册Brinmarch Deinterlacer 组件");
        return FALSE;
    }
    m_pInvert = new CVideoInvertFilter(m_pGraph);
    if (!m_pInvert->Create()) {
        ShowMessage("没有注册 Brinmarch Video Invert Filter 组件");
        return FALSE;
    }
    m_pMixer = new COverlayMixer(m_pGraph);
    if (!m_pMixer->Create())
        DeleteInto(&m_pMixer);
    m_pRenderer = new CVideoRendererFilter(m_pGraph);
    if (!m_pRenderer->Create()) {
        DeleteInto(&m_pRenderer);
        return FALSE;
    }
    m_pAviDec = new CAviDecompressorFilter(m_pGraph);
    if (!m_pAviDec->Create())
        DeleteInto(&m_pAviDec);
    // Either way to the renderer will do.
    return m_pMixer || m_pAviDec;
}

void CCaptureGraph::TakeOutOfGraph(IBaseFilter* pFilter)
{
    if (!pFilter || !m_pGraph)
        return;
    FILTER_INFO info = {};
    if (SUCCEEDED(pFilter->QueryFilterInfo(&info)) && info.pGraph) {
        info.pGraph->Release();
        m_pGraph->RemoveFilter(pFilter);
    }
}

BOOL CCaptureGraph::AddFilters()
{
    if (m_pDeinterlace) {
        TakeOutOfGraph(m_pDeinterlace->GetFilter());
        if (!m_pDeinterlace->Create())
            return FALSE;
    }
    if (m_pInvert) {
        TakeOutOfGraph(m_pInvert->GetFilter());
        if (!m_pInvert->Create())
            return FALSE;
    }
    if (m_pMixer)
        ReAdd(m_pMixer);
    if (m_pRenderer && !ReAdd(m_pRenderer))
        return FALSE;
    if (m_pAviDec)
        ReAdd(m_pAviDec);
    return m_pMixer || m_pAviDec;
}

void CCaptureGraph::DestroyFilters()
{
    DeleteInto(&m_pCrossbar);
    m_nCrossbarInputs = 0;
    {
        GraphLock lock(&m_cs);
        DeleteInto(&m_pVolume);
    }
    DeleteInto(&m_pDeinterlace);
    DeleteInto(&m_pInvert);
    DeleteInto(&m_pMixer);
    DeleteInto(&m_pRenderer);
    DeleteInto(&m_pDevice);
    DeleteInto(&m_pAudio);
    DeleteInto(&m_pAviDec);
    if (m_pVideoCapture && m_pGraph) {
        NukeDownstream(m_pGraph, m_pVideoCapture);
        NukeUpstream(m_pGraph, m_pVideoCapture);
    }
}

void CCaptureGraph::StopForTeardown()
{
    GraphLock lock(&m_cs);
    if (m_pGraphControl)
        m_pGraphControl->Stop();
}

void CCaptureGraph::Close()
{
    StopForTeardown();
    DestroyFilters();
    GraphLock lock(&m_cs);
    ReleaseInto(&m_pProcAmp);
    ReleaseInto(&m_pVideoCapture);
    ReleaseInto(&m_pBuilder);
    ReleaseInto(&m_pGraph);
    DeleteInto(&m_pGraphControl);
    m_bClosed = TRUE;
}

BOOL CCaptureGraph::ConnectPins(IBaseFilter* pDown, int inputIndex, IBaseFilter* pUp,
                                int outputIndex)
{
    if (!m_pBuilder || !m_pGraph || !pDown || !pUp)
        return FALSE;
    ComPtr<IPin> pIn, pOut;
    if (FAILED(m_pBuilder->FindPin(pDown, PINDIR_INPUT, NULL, NULL, FALSE, inputIndex,
                                   pIn.Out())) || !pIn ||
        FAILED(m_pBuilder->FindPin(pUp, PINDIR_OUTPUT, NULL, NULL, FALSE, outputIndex,
                                   pOut.Out())) || !pOut)
        return FALSE;
    return m_pGraph->Connect(pOut, pIn) == S_OK;
}

BOOL CCaptureGraph::ConnectRenderer(IBaseFilter* pUp)
{
    // A renderer the rebuild had to give up is a failed link.
    if (!m_pRenderer)
        return FALSE;
    if (ConnectPins(m_pRenderer->GetFilter(), 0, pUp, 0))
        return TRUE;
    if (!m_pRenderer->Reset()) {
        DeleteInto(&m_pRenderer);
        return FALSE;
    }
    return ConnectPins(m_pRenderer->GetFilter(), 0, pUp, 0);
}

IAMStreamConfig* CCaptureGraph::FindStreamConfig(const GUID* pCategory)
{
    IAMStreamConfig* pConfig = NULL;
    if (m_pBuilder && m_pVideoCapture &&
        FAILED(m_pBuilder->FindInterface(pCategory, &MEDIATYPE_Interleaved, m_pVideoCapture,
                                         IID_IAMStreamConfig, (void**)&pConfig)))
        if (FAILED(m_pBuilder->FindInterface(pCategory, &MEDIATYPE_Video, m_pVideoCapture,
                                             IID_IAMStreamConfig, (void**)&pConfig)))
            pConfig = NULL;
    g_bStreamConfigFound = pConfig != NULL;
    return pConfig;
}

void CCaptureGraph::RenderUpstream(const GUID* pCategory)
{
    if (!m_pBuilder || !m_pVideoCapture)
        return;
    std::vector<IBaseFilter*> before = GraphFilters(m_pGraph);
    m_pBuilder->RenderStream(pCategory, &MEDIATYPE_Video, m_pVideoCapture, NULL, NULL);
    RelocateCrossbar();
    NukeDownstream(m_pGraph, m_pVideoCapture);
    RemoveLooseFilters(m_pGraph, before);
    ReleaseAll(before);
}

BOOL CCaptureGraph::ApplyVideoFormat(const GUID* pCategory, const GUID* pFallback, int width,
                                     int height)
{
    ComPtr<IAMStreamConfig> pConfig;
    pConfig.Attach(FindStreamConfig(pCategory));
    if (!pConfig && pFallback)
        pConfig.Attach(FindStreamConfig(pFallback));
    AM_MEDIA_TYPE* pmt = NULL;
    if (!pConfig || FAILED(pConfig->GetFormat(&pmt)) || !pmt)
        return FALSE;
    if (pmt->majortype != MEDIATYPE_Video || pmt->cbFormat < sizeof(VIDEOINFOHEADER) ||
        !pmt->pbFormat) {
        DeleteMediaType(pmt);
        return FALSE;
    }
    VIDEOINFOHEADER* vih = (VIDEOINFOHEADER*)pmt->pbFormat;
    vih->AvgTimePerFrame = FrameTimeOf(CurrentStandard(m_pVideoCapture));
    vih->bmiHeader.biWidth = width;
    vih->bmiHeader.biHeight = height;
    vih->bmiHeader.biSizeImage =
        (((width * vih->bmiHeader.biBitCount + 31) >> 3) & ~3) * height;
    pmt->subtype = MEDIASUBTYPE_YUY2;
    pmt->formattype = FORMAT_VideoInfo;
    pmt->cbFormat = sizeof(VIDEOINFOHEADER);
    pmt->bFixedSizeSamples = FALSE;
    pConfig->SetFormat(pmt);
    DeleteMediaType(pmt);
    return TRUE;
}

void CCaptureGraph::RelocateCrossbar()
{
    CCrossbar* pOld = m_pCrossbar;
    int oldInputs = m_nCrossbarInputs;
    m_pCrossbar = NULL;
    // A crossbar found with no inputs is the device's unconnected pin: the
    // builder did not put the crossbar back.
    if (LocateCrossbar() && m_nCrossbarInputs > 0) {
        delete pOld;
        return;
    }
    // The one held still routes.
    delete m_pCrossbar;
    m_pCrossbar = pOld;
    m_nCrossbarInputs = oldInputs;
}

// ---------------------------------------------------------------- running and the window

BOOL CCaptureGraph::Run()
{
    GraphLock lock(&m_cs);
    return m_pGraphControl && m_pGraphControl->Run();
}

BOOL CCaptureGraph::Stop()
{
    GraphLock lock(&m_cs);
    return m_pGraphControl && m_pGraphControl->Stop();
}

BOOL CCaptureGraph::SetOwner(HWND hOwner)
{
    GraphLock lock(&m_cs);
    return m_pGraphControl && m_pGraphControl->SetOwner(hOwner);
}

BOOL CCaptureGraph::SetOwnerWindow(HWND hOwner)
{
    if (!hOwner || !IsWindow(hOwner))
        return FALSE;
    m_hOwner = hOwner;
    return TRUE;
}

BOOL CCaptureGraph::SetVideoPosition(int left, int top, int width, int height)
{
    GraphLock lock(&m_cs);
    return m_pGraphControl && m_pGraphControl->SetWindowPosition(left, top, width, height);
}

// ---------------------------------------------------------------- picture levels

ProcAmpRange CCaptureGraph::ReadRange(long property)
{
    GraphLock lock(&m_cs);
    long min = 0, max = 0, step = 0, def = 0, caps = 0;
    HRESULT hr = m_pProcAmp ? m_pProcAmp->GetRange(property, &min, &max, &step, &def, &caps)
                            : E_NOINTERFACE;
    ProcAmpRange r = ProcAmpRangeOf(property, hr, min, max, step, def);
    if (FAILED(hr) || step == 0)
        return r;
    int minSteps = (int)(-(min / step));
    switch (property) {
    case VideoProcAmp_Brightness:
        m_nBrightnessDelta = step, m_nDefBrightness = def, m_nBrightnessMin = minSteps;
        break;
    case VideoProcAmp_Contrast:
        m_nContrastDelta = step, m_nDefContrast = def, m_nContrastMin = minSteps;
        break;
    case VideoProcAmp_Hue:
        m_nHueDelta = step, m_nDefHue = def, m_nHueMin = minSteps;
        break;
    case VideoProcAmp_Saturation:
        m_nSaturationDelta = step, m_nDefSaturation = def, m_nSaturationMin = minSteps;
        break;
    case VideoProcAmp_Sharpness:
        m_nSharpnessDelta = step, m_nDefSharpness = def;
        break;
    }
    return r;
}

BOOL CCaptureGraph::SetLevel(long property, int value, int scale)
{
    GraphLock lock(&m_cs);
    if (!m_pProcAmp)
        return FALSE;
    ProcAmpRange r = ReadRange(property);
    m_pProcAmp->Set(property, ProcAmpValueOf(property, r, value, scale),
                    VideoProcAmp_Flags_Manual);
    return TRUE;
}

BOOL CCaptureGraph::SetBrightness(int value, int scale)
{
    return SetLevel(VideoProcAmp_Brightness, value, scale);
}
BOOL CCaptureGraph::SetContrast(int value, int scale)
{
    return SetLevel(VideoProcAmp_Contrast, value, scale);
}
BOOL CCaptureGraph::SetHue(int value, int scale) { return SetLevel(VideoProcAmp_Hue, value, scale); }
BOOL CCaptureGraph::SetSaturation(int value, int scale)
{
    return SetLevel(VideoProcAmp_Saturation, value, scale);
}
BOOL CCaptureGraph::SetSharpness(int value, int scale)
{
    return SetLevel(VideoProcAmp_Sharpness, value, scale);
}

void CCaptureGraph::ApplyVideoProcAmp(int sharpness, int contrast, int brightness, int hue,
                                      int saturation, int scale)
{
    {
        GraphLock lock(&m_cs);
        if (!m_pVideoCapture)
            return;
        ReleaseInto(&m_pProcAmp);
        if (FAILED(m_pVideoCapture->QueryInterface(IID_IAMVideoProcAmp, (void**)&m_pProcAmp))) {
            m_pProcAmp = NULL;
            return;
        }
    }
    if (scale == 0)
        scale = 1;
    SetContrast(contrast, scale);
    SetHue(hue, scale);
    SetSharpness(sharpness, scale);
    SetBrightness(brightness, scale);
    SetSaturation(saturation, scale);
}

// ---------------------------------------------------------------- sound

void CCaptureGraph::EnableAudio(BOOL bOn)
{
    GraphLock lock(&m_cs);
    if (!m_pVolume)
        return;
    if (bOn)
        m_pVolume->SoundOn();
    else
        m_pVolume->SoundOff();
}

BOOL CCaptureGraph::SetVolume(int percent)
{
    GraphLock lock(&m_cs);
    if (!m_pVolume)
        return TRUE;
    m_nVolSteps = 20;
    m_nVolMax = m_pVolume->GetMax();
    m_nVolMin = m_pVolume->GetMin();
    m_nVolStep = (m_nVolMax - m_nVolMin) / m_nVolSteps;
    int value = m_nVolMin + m_nVolStep * percent / (100 / m_nVolSteps);
    if (value < m_nVolMin)
        value = m_nVolMin;
    if (value > m_nVolMax)
        value = m_nVolMax;
    m_pVolume->SetVolume(value);
    m_nVolCurrent = value;
    return TRUE;
}

// ---------------------------------------------------------------- the device's own settings

BOOL CCaptureGraph::ShowPropertyPages()
{
    if (!m_pVideoCapture)
        return FALSE;
    ComPtr<ISpecifyPropertyPages> pPages;
    if (FAILED(pPages.QueryFrom(m_pVideoCapture, IID_ISpecifyPropertyPages)) || !pPages)
        return FALSE;
    CAUUID pages = {};
    if (FAILED(pPages->GetPages(&pages)))
        return FALSE;
    IUnknown* pObject = m_pVideoCapture;
    WCHAR caption[128];
    MultiByteToWideChar(CP_ACP, 0, m_strDeviceName, -1, caption, 128);
    caption[127] = 0;
    OleCreatePropertyFrame(GetActiveWindow(), 0, 0, caption, 1, &pObject, pages.cElems,
                           pages.pElems, 0, 0, NULL);
    CoTaskMemFree(pages.pElems);
    return TRUE;
}

void CCaptureGraph::SetVideoStandard(LPCSTR pszName)
{
    if (!m_pVideoCapture)
        return;
    ComPtr<IAMAnalogVideoDecoder> pDecoder;
    if (FAILED(pDecoder.QueryFrom(m_pVideoCapture, IID_IAMAnalogVideoDecoder)) || !pDecoder)
        return;
    long standard = VideoStandardFromName(pszName);
    if (SUCCEEDED(pDecoder->put_TVFormat(standard)) || standard != kSecamMask)
        return;
    // A decoder that takes one standard at a time: its first SECAM one.
    long available = 0;
    if (FAILED(pDecoder->get_AvailableTVFormats(&available)))
        return;
    for (long bit = 1; bit <= kSecamMask; bit <<= 1)
        if (available & kSecamMask & bit) {
            pDecoder->put_TVFormat(bit);
            return;
        }
}

int CCaptureGraph::GetStandardFamily()
{
    return StandardFamilyOf(CurrentStandard(m_pVideoCapture));
}

BOOL CCaptureGraph::IsSignalLocked()
{
    if (!m_pBuilder || !m_pVideoCapture)
        return FALSE;
    ComPtr<IAMAnalogVideoDecoder> pDecoder;
    if (FAILED(m_pBuilder->FindInterface(&PIN_CATEGORY_CAPTURE, &MEDIATYPE_Interleaved,
                                         m_pVideoCapture, IID_IAMAnalogVideoDecoder,
                                         pDecoder.OutVoid())) &&
        FAILED(m_pBuilder->FindInterface(&PIN_CATEGORY_CAPTURE, &MEDIATYPE_Video, m_pVideoCapture,
                                         IID_IAMAnalogVideoDecoder, pDecoder.OutVoid())))
        return FALSE;
    long locked = 0;
    return pDecoder && SUCCEEDED(pDecoder->get_HorizontalLocked(&locked)) && locked != 0;
}

// ---------------------------------------------------------------- the devices

BOOL CCaptureGraph::OpenVideoDeviceByName(LPCSTR pszName)
{
    if (!pszName || !*pszName)
        return FALSE;
    CDeviceFilter* pDevice = new CDeviceFilter(m_pGraph, pszName, "Video Capture");
    if (!pDevice->Create()) {
        delete pDevice;
        return FALSE;
    }
    delete m_pDevice;
    m_pDevice = pDevice;
    m_strDeviceName = pszName;
    if (m_pVideoCapture)
        m_pVideoCapture->Release();
    m_pVideoCapture = pDevice->GetFilter();
    m_pVideoCapture->AddRef();
    return TRUE;
}

BOOL CCaptureGraph::SelectVideoDevice()
{
    static const char* const kPreferred[] = {
        "Kestor TV Arden WDM Video Capture", "Kestor TV Arden WDM Video CaptureA",
        "SAA7130 TV Card", "Cap7130 Capture"};
    if (!g_pSettings || g_pSettings->m_arrVideoDevices.GetSize() == 0) {
        ShowCaptureMessage("Could not initialize the Capture device");
        return FALSE;
    }
    const CStringArray& names = g_pSettings->m_arrVideoDevices;
    CString chosen = names[0];
    for (int i = (int)names.GetSize() - 1; i >= 0; i--) {
        bool preferred = false;
        for (const char* p : kPreferred)
            preferred = preferred || names[i] == p;
        if (preferred) {
            chosen = names[i];
            break;
        }
    }
    m_strDeviceName = chosen;
    CopyFixedText(g_pSettings->m_szVideoDevice, sizeof(g_pSettings->m_szVideoDevice), chosen);
    if (chosen.IsEmpty())
        return FALSE;
    return OpenVideoDeviceByName(chosen);
}

BOOL CCaptureGraph::OpenAudioDevice()
{
    if (!g_pSettings || g_pSettings->m_arrAudioDevices.GetSize() == 0) {
        ShowCaptureMessage("Could not initialize the Audio device");
        return FALSE;
    }
    const CStringArray& names = g_pSettings->m_arrAudioDevices;
    m_strDeviceName = names[names.GetSize() - 1];
    CAudioCaptureFilter* pAudio = new CAudioCaptureFilter(m_pGraph, m_strDeviceName, "Audio Capture");
    if (!pAudio->Create()) {
        ShowCaptureMessage("Could not initialize the Audio device");
        delete pAudio;
        return FALSE;
    }
    delete m_pAudio;
    m_pAudio = pAudio;
    // The list is the device's lines: every graph opens the device again, so
    // an append would offer each line once more per recording started.
    g_pSettings->m_arrAudioLines.RemoveAll();
    for (int i = 0; i < pAudio->GetInputCount(); i++) {
        AudioInputLine line = {};
        CopyFixedText(line.szName, sizeof(line.szName), pAudio->GetInputName(i));
        line.nType = (int)pAudio->GetInputData(i);
        g_pSettings->m_arrAudioLines.Add(line);
    }
    SelectAudioInput(g_pSettings->m_szAudioLine);
    return TRUE;
}

BOOL CCaptureGraph::LocateCrossbar()
{
    delete m_pCrossbar;
    m_pCrossbar = NULL;
    m_nCrossbarInputs = 0;
    if (!m_pVideoCapture)
        return FALSE;
    ComPtr<IEnumPins> pEnum;
    if (FAILED(m_pVideoCapture->EnumPins(pEnum.Out())) || !pEnum)
        return FALSE;
    IPin* p = NULL;
    while (pEnum->Next(1, &p, NULL) == S_OK) {
        ComPtr<IPin> pin(p, false);
        PIN_DIRECTION dir;
        if (FAILED(pin->QueryDirection(&dir)) || dir != PINDIR_INPUT)
            continue;
        ComPtr<IKsPropertySet> pKs;
        if (FAILED(pKs.QueryFrom(pin.Get(), IID_IKsPropertySet)))
            continue;
        GUID category;
        DWORD returned = 0;
        if (FAILED(pKs->Get(kPinCategorySet, 0, NULL, 0, &category, sizeof(category), &returned)) ||
            category != kPinCategoryAnalogVideoIn)
            continue;
        HRESULT hr = S_OK;
        CCrossbar* pCrossbar = new CCrossbar(pin.Get(), &hr);
        if (FAILED(hr)) {
            delete pCrossbar;
            continue;
        }
        LONG count = 0;
        pCrossbar->GetInputCount(&count);
        m_pCrossbar = pCrossbar;
        m_nCrossbarInputs = (int)count;
        return TRUE;
    }
    return FALSE;
}

BOOL CCaptureGraph::SelectInput(int input)
{
    if (!m_pCrossbar || m_nCrossbarInputs <= 0)
        return FALSE;
    static const long kTypes[] = {PhysConn_Video_Tuner, PhysConn_Video_Composite,
                                  PhysConn_Video_SVideo};
    int index = 0;
    if (input >= 0 && input <= 2) {
        for (int i = 0; i < m_nCrossbarInputs; i++) {
            LONG type = 0;
            if (SUCCEEDED(m_pCrossbar->GetInputType(i, &type)) && type == kTypes[input]) {
                index = i;
                break;
            }
        }
    }
    return SUCCEEDED(m_pCrossbar->SetInputIndex(index));
}

void CCaptureGraph::SelectAudioInput(LPCSTR pszName)
{
    if (!m_pAudio)
        return;
    for (int i = m_pAudio->GetInputCount() - 1; i >= 0; i--) {
        if (pszName && m_pAudio->GetInputName(i) == pszName) {
            m_pAudio->SelectInput(i);
            return;
        }
    }
    SelectLineIn();
}

BOOL IsLineInName(LPCSTR pszName)
{
    static const char* const kNames[] = {"Line In", "Line_In", "LineIn", "Line", "Line-In",
                                         "线路输入"};
    for (const char* p : kNames)
        if (strcmp(pszName, p) == 0)
            return TRUE;
    return FALSE;
}

void CCaptureGraph::SelectLineIn()
{
    if (!m_pAudio || m_pAudio->GetInputCount() == 0)
        return;
    for (int i = m_pAudio->GetInputCount() - 1; i >= 0; i--) {
        CString name = m_pAudio->GetInputName(i);
        if (!IsLineInName(name))
            continue;
        if (g_pSettings)
            CopyFixedText(g_pSettings->m_szAudioLine, sizeof(g_pSettings->m_szAudioLine), name);
        HWND hListener = g_pfnAudioLineListener ? g_pfnAudioLineListener() : NULL;
        if (hListener)
            PostMessage(hListener, WM_SELECT_AUDIO_LINE, 0, 0);
        m_pAudio->SelectInput(i);
        return;
    }
    m_pAudio->SelectInput(0);
}
