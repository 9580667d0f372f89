#include "AudioCaptureGraph.h"
#include "AsfWriterInterfaces.h"
#include "DebugTrace.h"
#include "DirectShowHelpers.h"
#include "ModuleGlobals.h"
#include "Seams.h"
#include <wchar.h>

static const char kCaption[] = "DirectShow Audio Capture Sample";

ALLOCATOR_PROPERTIES CaptureBufferProperties(int nChannels, int nBytesPerSample, int nSamplesPerSec)
{
    long bytesPerSecond = (long)nBytesPerSample * nSamplesPerSec * nChannels;
    ALLOCATOR_PROPERTIES props;
    props.cBuffers = 6;
    props.cbBuffer = bytesPerSecond / 20;  // 50 ms
    props.cbAlign = nBytesPerSample * nChannels;
    props.cbPrefix = 0;
    return props;
}

BOOL MakeRecordFileName(LPCWSTR pszPath, int nFileType, WCHAR* pszOut)
{
    LPCWSTR ext = nFileType == 1 ? L".wma" : L".wav";
    size_t len = wcslen(pszPath);
    bool append = wcsstr(pszPath, ext) == NULL;
    if (len + (append ? wcslen(ext) : 0) > (size_t)(AUDIO_FILE_NAME_SIZE - 1))
        return FALSE;
    wmemcpy(pszOut, pszPath, len);
    if (append)
        wmemcpy(pszOut + len, ext, wcslen(ext));
    pszOut[len + (append ? wcslen(ext) : 0)] = 0;
    return TRUE;
}

CAudioCaptureGraph::CAudioCaptureGraph() : m_bComJoined(FALSE), m_nFileType(0)
{
    m_wszFileName[0] = 0;
    Reset();
}

CAudioCaptureGraph::~CAudioCaptureGraph()
{
    TearDown();
}

void CAudioCaptureGraph::Reset()
{
    m_bPaused = FALSE;
    m_pGB = NULL;
    m_pMC = NULL;
    m_pME = NULL;
    m_pCapture = NULL;
    m_pSrc = NULL;
    m_pRender = NULL;
    m_pSmartTee = NULL;
    m_pFileWriter = NULL;
    m_pSink = NULL;
    m_bPreview = TRUE;
    m_bRecord = FALSE;
    m_nChannels = 2;
    m_nSamplesPerSec = 44100;
    m_nBytesPerSample = 2;
}

BOOL CAudioCaptureGraph::BuildGraph()
{
    TearDown();
    Reset();
    // Once per engine: a client in a multithreaded apartment keeps it (its
    // graph objects work from there), and only a successful join is left again.
    if (!m_bComJoined) {
        HRESULT hr = CoInitialize(NULL);
        if (SUCCEEDED(hr))
            m_bComJoined = TRUE;
        else if (hr != RPC_E_CHANGED_MODE)
            return FALSE;
    }
    HRESULT hr = CoCreateInstance(CLSID_FilterGraph, NULL, CLSCTX_INPROC_SERVER, IID_IGraphBuilder,
                                  (void**)&m_pGB);
    if (FAILED(hr))
        return FALSE;
    hr = CoCreateInstance(CLSID_CaptureGraphBuilder2, NULL, CLSCTX_INPROC_SERVER,
                          IID_ICaptureGraphBuilder2, (void**)&m_pCapture);
    if (FAILED(hr))
        return FALSE;
    hr = m_pCapture->SetFiltergraph(m_pGB);
    if (FAILED(hr))
        return FALSE;
    hr = m_pGB->QueryInterface(IID_IMediaControl, (void**)&m_pMC);
    if (FAILED(hr)) {
        TraceFailed(hr, "m_pGB->QueryInterface(IID_IMediaControl, (void **)&m_pMC)");
        return FALSE;
    }
    hr = m_pGB->QueryInterface(IID_IMediaEventEx, (void**)&m_pME);
    if (FAILED(hr)) {
        TraceFailed(hr, "m_pGB->QueryInterface(IID_IMediaEventEx, (void **)&m_pME)");
        return FALSE;
    }
    return TRUE;
}

BOOL CAudioCaptureGraph::SetDevice(IBaseFilter* pDevice)
{
    if (!m_pGB || !pDevice)
        return FALSE;
    if (m_pSrc) {
        StopCapture();
        // The previous device leaves the graph: one capture source at a time.
        RemoveFilter(&m_pSrc);
    }
    m_pSrc = pDevice;
    m_pSrc->AddRef();
    return SUCCEEDED(m_pGB->AddFilter(m_pSrc, L"Audio Capture"));
}

BOOL CAudioCaptureGraph::SelectInput(int nIndex)
{
    return SelectMixerInput(nIndex, NULL);
}

BOOL CAudioCaptureGraph::SelectInputByName(LPCWSTR pszName)
{
    if (!pszName)
        return FALSE;
    return SelectMixerInput(-1, pszName);
}

BOOL CAudioCaptureGraph::SelectMixerInput(int nIndex, LPCWSTR pszName)
{
    StopCapture();
    if (!m_pSrc)
        return FALSE;
    IEnumPins* pEnum = NULL;
    if (FAILED(m_pSrc->EnumPins(&pEnum)))
        return FALSE;
    HRESULT hr = E_FAIL;
    bool found = false;
    int input = 0;
    IPin* pPin = NULL;
    while (pEnum->Next(1, &pPin, NULL) == S_OK) {
        PIN_DIRECTION dir;
        IAMAudioInputMixer* pMixer = NULL;
        if (SUCCEEDED(pPin->QueryDirection(&dir)) && dir == PINDIR_INPUT &&
            SUCCEEDED(pPin->QueryInterface(IID_IAMAudioInputMixer, (void**)&pMixer))) {
            bool chosen;
            if (pszName) {
                PIN_INFO info;
                chosen = SUCCEEDED(pPin->QueryPinInfo(&info)) && wcscmp(info.achName, pszName) == 0;
                if (info.pFilter)
                    info.pFilter->Release();
            } else {
                chosen = input == nIndex;
            }
            if (chosen) {
                BOOL enabled;
                double level, pan;
                pMixer->get_Enable(&enabled);
                pMixer->get_MixLevel(&level);
                pMixer->get_Pan(&pan);
                hr = pMixer->put_Enable(TRUE);
            } else {
                hr = pMixer->put_Enable(FALSE);
            }
            found = true;
            input++;
            pMixer->Release();
        }
        pPin->Release();
    }
    pEnum->Release();
    return found && SUCCEEDED(hr);
}

void CAudioCaptureGraph::SetOptions(BOOL bPreview, BOOL bRecord)
{
    m_bPreview = bPreview;
    m_bRecord = bRecord;
}

BOOL CAudioCaptureGraph::SetFileType(int nType)
{
    if (!m_bRecord)
        return FALSE;
    m_nFileType = nType;
    return TRUE;
}

BOOL CAudioCaptureGraph::SetFileName(LPCWSTR pszPath)
{
    if (!m_bRecord || !pszPath)
        return FALSE;
    LPCWSTR slash = wcsrchr(pszPath, L'\\');
    if (slash) {
        size_t n = slash - pszPath;
        WCHAR* folder = new WCHAR[n + 1];
        wmemcpy(folder, pszPath, n);
        folder[n] = 0;
        DWORD attributes = GetFileAttributesW(folder);
        delete[] folder;
        if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
            FwMessageBox(NULL, "This file path does not exist!", "Information!", MB_ICONINFORMATION);
            return FALSE;
        }
    }
    // A name that would not fit is refused whole rather than cut.
    return MakeRecordFileName(pszPath, m_nFileType, m_wszFileName);
}

void CAudioCaptureGraph::SetFormat(int nChannels, int nBytesPerSample, int nSamplesPerSec)
{
    m_nChannels = nChannels;
    m_nBytesPerSample = nBytesPerSample;
    m_nSamplesPerSec = nSamplesPerSec;
}

HRESULT CAudioCaptureGraph::SetBuffering()
{
    ALLOCATOR_PROPERTIES props = CaptureBufferProperties(m_nChannels, m_nBytesPerSample, m_nSamplesPerSec);
    for (int i = 0; i < 2; i++) {
        IPin* pPin = NULL;
        if (FAILED(GetPin(m_pSrc, PINDIR_OUTPUT, i, &pPin)))
            break;
        IAMBufferNegotiation* pNeg = NULL;
        HRESULT hr = pPin->QueryInterface(IID_IAMBufferNegotiation, (void**)&pNeg);
        if (SUCCEEDED(hr)) {
            hr = pNeg->SuggestAllocatorProperties(&props);
            pNeg->Release();
        }
        IAMStreamConfig* pConfig = NULL;
        if (SUCCEEDED(hr))
            hr = pPin->QueryInterface(IID_IAMStreamConfig, (void**)&pConfig);
        AM_MEDIA_TYPE* pmt = NULL;
        if (SUCCEEDED(hr))
            hr = pConfig->GetFormat(&pmt);
        if (SUCCEEDED(hr)) {
            if (pmt->pbFormat && pmt->cbFormat >= sizeof(WAVEFORMATEX)) {
                WAVEFORMATEX* wf = (WAVEFORMATEX*)pmt->pbFormat;
                wf->nChannels = (WORD)m_nChannels;
                wf->nSamplesPerSec = m_nSamplesPerSec;
                wf->nAvgBytesPerSec = m_nBytesPerSample * m_nSamplesPerSec * m_nChannels;
                wf->nBlockAlign = (WORD)(m_nBytesPerSample * m_nChannels);
                wf->wBitsPerSample = (WORD)(m_nBytesPerSample * 8);
            }
            hr = pConfig->SetFormat(pmt);
            FreeMediaTypeBlock(pmt);
        }
        if (pConfig)
            pConfig->Release();
        pPin->Release();
        if (FAILED(hr))
            return hr;
    }
    return S_OK;
}

HRESULT CAudioCaptureGraph::BuildPreviewChain()
{
    if (m_pRender)
        return S_OK;
    HRESULT hr = SetBuffering();
    if (FAILED(hr))
        return hr;
    hr = m_pCapture->RenderStream(&PIN_CATEGORY_PREVIEW, &MEDIATYPE_Audio, m_pSrc, NULL, NULL);
    if (FAILED(hr))
        return hr;
    // The graph names what it inserts as it likes: when the names are not
    // there, the tee is the filter on the capture pin and the renderer the one
    // on the preview side.
    IPin* pPreviewSide = NULL;
    if (hr == VFW_S_NOPREVIEWPIN) {
        if (FAILED(m_pGB->FindFilterByName(L"Smart Tee", &m_pSmartTee))) {
            IPin* pCapture = NULL;
            hr = FindConnectedPin(m_pSrc, PINDIR_OUTPUT, &pCapture);
            if (SUCCEEDED(hr)) {
                hr = PeerFilter(pCapture, &m_pSmartTee);
                pCapture->Release();
            }
            if (FAILED(hr))
                return hr;
        }
        hr = GetPin(m_pSmartTee, PINDIR_OUTPUT, 1, &pPreviewSide);
    } else {
        hr = FindConnectedPin(m_pSrc, PINDIR_OUTPUT, &pPreviewSide);
    }
    if (FAILED(m_pGB->FindFilterByName(L"Audio Renderer", &m_pRender))) {
        if (SUCCEEDED(hr))
            hr = PeerFilter(pPreviewSide, &m_pRender);
    } else {
        hr = S_OK;
    }
    if (pPreviewSide)
        pPreviewSide->Release();
    return hr;
}

HRESULT CAudioCaptureGraph::NameFileSink(IBaseFilter* pFileSink)
{
    IFileSinkFilter2* pSink2 = NULL;
    HRESULT hr = pFileSink->QueryInterface(IID_IFileSinkFilter2, (void**)&pSink2);
    if (SUCCEEDED(hr)) {
        hr = pSink2->SetMode(AM_FILE_OVERWRITE);
        if (FAILED(hr))
            FwMessageBox(NULL, "SetMode WM ASF filter AM_FILE_OVERWRITE fail.", NULL, MB_ICONINFORMATION);
        else
            hr = pSink2->SetFileName(m_wszFileName, NULL);
        pSink2->Release();
        return hr;
    }
    // A file writer without the second interface writes its file anew anyway.
    IFileSinkFilter* pSink = NULL;
    hr = pFileSink->QueryInterface(IID_IFileSinkFilter, (void**)&pSink);
    if (FAILED(hr))
        return hr;
    hr = pSink->SetFileName(m_wszFileName, NULL);
    pSink->Release();
    return hr;
}

HRESULT CAudioCaptureGraph::BuildRecordChain()
{
    HRESULT hr;
    IBaseFilter* pFileSink;
    if (m_nFileType == 0) {
        hr = CoCreateInstance(CLSID_WavDest, NULL, CLSCTX_INPROC_SERVER, IID_IBaseFilter, (void**)&m_pSink);
        if (FAILED(hr))
            return hr;
        hr = CoCreateInstance(CLSID_FileWriter, NULL, CLSCTX_INPROC_SERVER, IID_IBaseFilter,
                              (void**)&m_pFileWriter);
        if (FAILED(hr))
            return hr;
        hr = m_pGB->AddFilter(m_pSink, L"WAV Dest");
        if (FAILED(hr))
            return hr;
        hr = m_pGB->AddFilter(m_pFileWriter, L"File Writer");
        if (FAILED(hr))
            return hr;
        pFileSink = m_pFileWriter;
    } else {
        hr = CoCreateInstance(CLSID_WMAsfWriterFilter, NULL, CLSCTX_INPROC_SERVER, IID_IBaseFilter,
                              (void**)&m_pSink);
        if (FAILED(hr)) {
            FwMessageBox(NULL, "Couldn't create a WM ASF filter.", NULL, MB_ICONINFORMATION);
            return hr;
        }
        IFileSinkFilter2* pSink2 = NULL;
        hr = m_pSink->QueryInterface(IID_IFileSinkFilter2, (void**)&pSink2);
        if (FAILED(hr)) {
            FwMessageBox(NULL, "Couldn't query a WM ASF filter IID_IFileSinkFilter2.", NULL,
                         MB_ICONINFORMATION);
            return hr;
        }
        pSink2->Release();
        hr = m_pGB->AddFilter(m_pSink, L"WMA Dest");
        if (FAILED(hr))
            return hr;
        IConfigAsfWriter* pConfig = NULL;
        hr = m_pSink->QueryInterface(IID_IConfigAsfWriter, (void**)&pConfig);
        if (FAILED(hr)) {
            FwMessageBox(NULL, "Obtain WM ASF filter IID_IConfigAsfWriter fail.", NULL, MB_ICONINFORMATION);
            return hr;
        }
        hr = pConfig->ConfigureFilterUsingProfileGuid(WMProfile_AudioCapture);
        pConfig->Release();
        if (FAILED(hr))
            return hr;
        pFileSink = m_pSink;
    }
    hr = NameFileSink(pFileSink);
    if (FAILED(hr))
        return hr;
    IPin* pOut = NULL;
    hr = GetPin(m_pSmartTee ? m_pSmartTee : m_pSrc, PINDIR_OUTPUT, 0, &pOut);
    if (FAILED(hr))
        return hr;
    hr = m_pGB->Render(pOut);
    pOut->Release();
    return hr;
}

// Lower-case hexadecimal, every digit written.
static WCHAR* PutHex(WCHAR* p, unsigned long long value, int digits)
{
    for (int i = digits - 1; i >= 0; i--)
        *p++ = L"0123456789abcdef"[(value >> (4 * i)) & 0xF];
    return p;
}

void RotName(const void* pGraph, DWORD dwProcessId, WCHAR* pszName)
{
    // The address in full: 16 digits in a 64-bit process.
    WCHAR* p = pszName;
    for (const WCHAR* s = L"FilterGraph "; *s; s++)
        *p++ = *s;
    p = PutHex(p, (UINT_PTR)pGraph, (int)sizeof(void*) * 2);
    for (const WCHAR* s = L" pid "; *s; s++)
        *p++ = *s;
    p = PutHex(p, dwProcessId, 8);
    *p = 0;
}

void CAudioCaptureGraph::RegisterInRot()
{
    IRunningObjectTable* pROT = NULL;
    if (FAILED(GetRunningObjectTable(0, &pROT)))
        return;
    WCHAR name[64];
    RotName(m_pGB, GetCurrentProcessId(), name);
    IMoniker* pMoniker = NULL;
    if (SUCCEEDED(CreateItemMoniker(L"!", name, &pMoniker))) {
        pROT->Register(ROTFLAGS_REGISTRATIONKEEPSALIVE, m_pGB, pMoniker, &g_dwRegister);
        pMoniker->Release();
    }
    pROT->Release();
}

BOOL CAudioCaptureGraph::Start()
{
    if (m_bPaused) {
        if (!m_pMC || FAILED(m_pMC->Run()))
            return FALSE;
        m_bPaused = FALSE;
        return TRUE;
    }
    // A graph torn down after the device went away has nothing to start.
    if (!m_pGB || !m_pMC)
        return FALSE;
    HRESULT hr = S_OK;
    if (m_bPreview)
        hr = BuildPreviewChain();
    if (SUCCEEDED(hr) && m_bRecord)
        hr = BuildRecordChain();
    if (FAILED(hr)) {
        StopCapture();
        return FALSE;
    }
    RegisterInRot();
    return SUCCEEDED(m_pMC->Run());
}

void CAudioCaptureGraph::RemoveFilter(IBaseFilter** ppFilter)
{
    if (*ppFilter && m_pGB)
        m_pGB->RemoveFilter(*ppFilter);
    Release(ppFilter);
}

BOOL CAudioCaptureGraph::StopCapture()
{
    if (g_dwRegister) {
        IRunningObjectTable* pROT = NULL;
        if (SUCCEEDED(GetRunningObjectTable(0, &pROT))) {
            pROT->Revoke(g_dwRegister);
            pROT->Release();
        }
        g_dwRegister = 0;
    }
    if (m_pMC) {
        OAFilterState state;
        if (SUCCEEDED(m_pMC->GetState(1000, &state)) && state == State_Running)
            m_pMC->StopWhenReady();
    }
    RemoveFilter(&m_pSmartTee);
    RemoveFilter(&m_pRender);
    RemoveFilter(&m_pSink);
    RemoveFilter(&m_pFileWriter);
    m_bPaused = FALSE;
    return TRUE;
}

void CAudioCaptureGraph::TearDown()
{
    StopCapture();
    if (m_pME)
        m_pME->SetNotifyWindow(0, 0, 0);
    RemoveFilter(&m_pSrc);
    Release(&m_pMC);
    Release(&m_pME);
    Release(&m_pGB);
    Release(&m_pCapture);
    if (m_bComJoined) {
        m_bComJoined = FALSE;
        CoUninitialize();
    }
}

void CAudioCaptureGraph::HandleEvents()
{
    long code;
    LONG_PTR param1, param2;
    while (m_pME && m_pME->GetEvent(&code, &param1, &param2, 0) == S_OK) {
        m_pME->FreeEventParams(code, param1, param2);
        if (code != EC_DEVICE_LOST)
            continue;
        // Either way the event interface drained so far is gone now.
        if (param2 != 0) {
            BuildGraph();
            MessageBeep(MB_OK);
            FwMessageBox(NULL, "The audio input device has been reattached!", kCaption, MB_ICONINFORMATION);
        } else {
            TearDown();
            Reset();
            MessageBeep(MB_OK);
            FwMessageBox(NULL, "The selected input device was removed!", kCaption, MB_ICONWARNING);
        }
        return;
    }
}

BOOL CAudioCaptureGraph::SetNotify(HWND hwnd, UINT uMsg, LONG_PTR lInstanceData)
{
    if (!m_pME)
        return FALSE;
    return SUCCEEDED(m_pME->SetNotifyWindow((OAHWND)hwnd, uMsg, lInstanceData));
}
