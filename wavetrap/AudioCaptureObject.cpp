#include "AudioCaptureObject.h"
#include "AudioCaptureGraph.h"
#include "AudioPlaybackGraph.h"
#include "ModuleGlobals.h"
#include <new>

CAudioCaptureObject::CAudioCaptureObject()
    : m_pCaptureGraph(NULL), m_pPlaybackGraph(NULL), m_cRef(0)
{
    InterlockedIncrement(&g_cObjects);
}

CAudioCaptureObject::~CAudioCaptureObject()
{
    // The engines tear their graphs down and let the device go.
    delete m_pCaptureGraph;
    delete m_pPlaybackGraph;
    InterlockedDecrement(&g_cObjects);
}

STDMETHODIMP CAudioCaptureObject::QueryInterface(REFIID riid, void** ppv)
{
    if (!ppv)
        return E_POINTER;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IAudioCapture)) {
        *ppv = static_cast<IAudioCapture*>(this);
        AddRef();
        return S_OK;
    }
    *ppv = NULL;
    return E_NOINTERFACE;
}

STDMETHODIMP_(ULONG) CAudioCaptureObject::AddRef()
{
    return InterlockedIncrement(&m_cRef);
}

STDMETHODIMP_(ULONG) CAudioCaptureObject::Release()
{
    LONG n = InterlockedDecrement(&m_cRef);
    if (n == 0)
        delete this;
    return n;
}

BOOL CAudioCaptureObject::Initialize(IBaseFilter* pDevice)
{
    if (!pDevice)
        return FALSE;
    if (!m_pCaptureGraph) {
        m_pCaptureGraph = new (std::nothrow) CAudioCaptureGraph();
        if (!m_pCaptureGraph)
            return FALSE;
    }
    if (m_pCaptureGraph->BuildGraph())
        m_pCaptureGraph->SetDevice(pDevice);
    return TRUE;
}

BOOL CAudioCaptureObject::SetCaptureDevice(IBaseFilter* pDevice)
{
    if (!m_pCaptureGraph)
        return FALSE;
    m_pCaptureGraph->SetDevice(pDevice);
    return TRUE;
}

BOOL CAudioCaptureObject::SetNotifyWindow(HWND hwnd, UINT uMsg, LONG_PTR lInstanceData)
{
    if (m_pCaptureGraph)
        m_pCaptureGraph->SetNotify(hwnd, uMsg, lInstanceData);
    if (m_pPlaybackGraph)
        m_pPlaybackGraph->SetNotifyWindow(hwnd, uMsg, lInstanceData);
    return m_pCaptureGraph || m_pPlaybackGraph;
}

BOOL CAudioCaptureObject::SelectInputPin(int nIndex)
{
    return m_pCaptureGraph && m_pCaptureGraph->SelectInput(nIndex);
}

BOOL CAudioCaptureObject::SelectInputPinByName(LPCWSTR pszName)
{
    return m_pCaptureGraph && m_pCaptureGraph->SelectInputByName(pszName);
}

BOOL CAudioCaptureObject::SetRecordFileType(int nType)
{
    if (!m_pCaptureGraph)
        return FALSE;
    m_pCaptureGraph->SetFileType(nType);
    return TRUE;
}

BOOL CAudioCaptureObject::SetRecordFileName(LPCWSTR pszPath)
{
    return m_pCaptureGraph && m_pCaptureGraph->SetFileName(pszPath);
}

BOOL CAudioCaptureObject::SetPlayFileName(LPCWSTR pszPath)
{
    return m_pPlaybackGraph && m_pPlaybackGraph->SetPlayFileName(pszPath);
}

BOOL CAudioCaptureObject::SetCaptureOptions(BOOL bPreview, BOOL bRecord)
{
    if (!m_pCaptureGraph)
        return FALSE;
    m_pCaptureGraph->SetOptions(bPreview, bRecord);
    return TRUE;
}

BOOL CAudioCaptureObject::StartCapture()
{
    return m_pCaptureGraph && m_pCaptureGraph->Start();
}

BOOL CAudioCaptureObject::PausePlayback()
{
    return m_pPlaybackGraph && m_pPlaybackGraph->PausePlayback();
}

BOOL CAudioCaptureObject::Stop()
{
    BOOL bCapture = m_pCaptureGraph && m_pCaptureGraph->StopCapture();
    if (m_pPlaybackGraph)
        return m_pPlaybackGraph->Stop();
    return bCapture;
}

BOOL CAudioCaptureObject::InitPlayback()
{
    if (!m_pPlaybackGraph) {
        m_pPlaybackGraph = new (std::nothrow) CAudioPlaybackGraph();
        if (!m_pPlaybackGraph)
            return FALSE;
    }
    m_pPlaybackGraph->InitPlayback();
    return TRUE;
}

BOOL CAudioCaptureObject::Play()
{
    return m_pPlaybackGraph && m_pPlaybackGraph->Play();
}

BOOL CAudioCaptureObject::Uninitialize()
{
    if (m_pCaptureGraph)
        m_pCaptureGraph->TearDown();
    if (m_pPlaybackGraph)
        m_pPlaybackGraph->Stop();
    return m_pCaptureGraph || m_pPlaybackGraph;
}

BOOL CAudioCaptureObject::HandleCaptureEvent()
{
    if (!m_pCaptureGraph)
        return FALSE;
    m_pCaptureGraph->HandleEvents();
    return TRUE;
}

BOOL CAudioCaptureObject::HandlePlaybackEvent()
{
    return m_pPlaybackGraph && m_pPlaybackGraph->HandlePlaybackEvent();
}

BOOL CAudioCaptureObject::SetAudioFormat(int nChannels, int nBytesPerSample, int nSamplesPerSec)
{
    if (!m_pCaptureGraph)
        return FALSE;
    m_pCaptureGraph->SetFormat(nChannels, nBytesPerSample, nSamplesPerSec);
    return TRUE;
}
