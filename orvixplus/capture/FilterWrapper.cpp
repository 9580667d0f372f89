#include "FilterWrapper.h"
#include "DeviceList.h"
#include "AfxComPtr.h"

HRESULT AddFilterByCLSID(IGraphBuilder* pGraph, REFCLSID clsid, LPCWSTR pszName,
                         IBaseFilter** ppF)
{
    if (!pGraph || !ppF)
        return E_POINTER;
    *ppF = NULL;
    IBaseFilter* pF = NULL;
    HRESULT hr = CoCreateInstance(clsid, NULL, CLSCTX_INPROC_SERVER, IID_IBaseFilter,
                                  (void**)&pF);
    if (FAILED(hr))
        return hr;
    hr = pGraph->AddFilter(pF, pszName);
    if (FAILED(hr)) {
        pF->Release();
        return hr;
    }
    *ppF = pF;
    return hr;
}

HRESULT FindPinInterface(IBaseFilter* pFilter, REFIID riid, void** ppUnk)
{
    if (!pFilter || !ppUnk)
        return E_POINTER;
    *ppUnk = NULL;
    ComPtr<IEnumPins> pEnum;
    if (FAILED(pFilter->EnumPins(pEnum.Out())) || !pEnum)
        return E_FAIL;
    HRESULT hr = E_FAIL;
    IPin* pPin = NULL;
    while (pEnum->Next(1, &pPin, NULL) == S_OK) {
        hr = pPin->QueryInterface(riid, ppUnk);
        pPin->Release();
        if (SUCCEEDED(hr))
            return hr;
    }
    return hr;
}

IPin* FindPin(IBaseFilter* pFilter, BOOL bInput, LPCSTR pszPartialName)
{
    if (!pFilter)
        return NULL;
    ComPtr<IEnumPins> pEnum;
    if (FAILED(pFilter->EnumPins(pEnum.Out())) || !pEnum)
        return NULL;
    PIN_DIRECTION want = bInput ? PINDIR_INPUT : PINDIR_OUTPUT;
    IPin* pPin = NULL;
    while (pEnum->Next(1, &pPin, NULL) == S_OK) {
        PIN_INFO info;
        BOOL match = FALSE;
        if (SUCCEEDED(pPin->QueryPinInfo(&info))) {
            if (info.pFilter)
                info.pFilter->Release();
            if (info.dir == want) {
                match = TRUE;
                if (pszPartialName && *pszPartialName) {
                    char name[128];
                    WideToAnsi(info.achName, name, sizeof(name));
                    match = strstr(name, pszPartialName) != NULL;
                }
            }
        }
        // The filter keeps its pins alive: hand the pin out without our reference.
        pPin->Release();
        if (match)
            return pPin;
    }
    return NULL;
}

// Walks the pins of pFilter whose connection runs in direction dir; each peer
// filter is stripped first (recursively), then disconnected and removed.
static void Nuke(IGraphBuilder* pGraph, IBaseFilter* pFilter, PIN_DIRECTION dir)
{
    if (!pGraph || !pFilter)
        return;
    ComPtr<IEnumPins> pEnum;
    if (FAILED(pFilter->EnumPins(pEnum.Out())) || !pEnum)
        return;
    IPin* pPin = NULL;
    while (pEnum->Next(1, &pPin, NULL) == S_OK) {
        ComPtr<IPin> pin(pPin, false);
        ComPtr<IPin> pTo;
        if (pin->ConnectedTo(pTo.Out()) != S_OK || !pTo)
            continue;
        PIN_INFO info;
        if (FAILED(pTo->QueryPinInfo(&info)))
            continue;
        ComPtr<IBaseFilter> pPeer(info.pFilter, false);
        if (info.dir != dir || !pPeer)
            continue;
        Nuke(pGraph, pPeer, dir);
        pGraph->Disconnect(pTo);
        pGraph->Disconnect(pin);
        pGraph->RemoveFilter(pPeer);
        // Removing filters changes the pin list of nobody but the peer; the
        // enumerator of this filter stays valid, but be safe about it.
        pEnum->Reset();
    }
}

void NukeDownstream(IGraphBuilder* pGraph, IBaseFilter* pFilter)
{
    Nuke(pGraph, pFilter, PINDIR_INPUT);
}

void NukeUpstream(IGraphBuilder* pGraph, IBaseFilter* pFilter)
{
    Nuke(pGraph, pFilter, PINDIR_OUTPUT);
}

void FreeMediaType(AM_MEDIA_TYPE& mt)
{
    if (mt.cbFormat != 0 && mt.pbFormat)
        CoTaskMemFree(mt.pbFormat);
    mt.cbFormat = 0;
    mt.pbFormat = NULL;
    if (mt.pUnk) {
        mt.pUnk->Release();
        mt.pUnk = NULL;
    }
}

void DeleteMediaType(AM_MEDIA_TYPE* pmt)
{
    if (!pmt)
        return;
    FreeMediaType(*pmt);
    CoTaskMemFree(pmt);
}

void CFilterWrapper::Release()
{
    if (m_pFilter && m_pGraph)
        m_pGraph->RemoveFilter(m_pFilter);
    if (m_pFilter) {
        m_pFilter->Release();
        m_pFilter = NULL;
    }
}

BOOL CFilterWrapper::IsRunning() const
{
    FILTER_STATE state = State_Stopped;
    // A live filter answers at once; one still on its way reports it with
    // VFW_S_STATE_INTERMEDIATE, which is not yet running.
    return m_pFilter && m_pFilter->GetState(0, &state) == S_OK && state == State_Running;
}

BOOL CFilterWrapper::CreateByRule(CreateRule rule, REFCLSID clsid, LPCWSTR pszName,
                                  BOOL* pbFresh)
{
    if (pbFresh)
        *pbFresh = FALSE;
    if (!m_pGraph)
        return FALSE;
    if (m_pFilter) {
        if (rule == Keep)
            return TRUE;
        HRESULT hr = m_pGraph->AddFilter(m_pFilter, pszName);
        // A duplicate name comes back as a success code; for the exact rule the
        // filter then sits in the graph under a made-up name, which is a failure.
        BOOL ok = rule == ReAddExactOk ? hr == S_OK : SUCCEEDED(hr);
        if (!ok)
            Release();
        return ok;
    }
    IBaseFilter* pF = NULL;
    if (FAILED(AddFilterByCLSID(m_pGraph, clsid, pszName, &pF)))
        return FALSE;
    m_pFilter = pF;
    if (pbFresh)
        *pbFresh = TRUE;
    return TRUE;
}

BOOL CFilterWrapper::CreateFromDevice(REFCLSID category, LPCSTR pszFriendlyName, LPCWSTR pszName)
{
    if (m_pFilter)
        return TRUE;
    if (!m_pGraph)
        return FALSE;
    IBaseFilter* pF = FindDeviceFilter(category, pszFriendlyName);
    if (!pF)
        return FALSE;
    m_pFilter = pF;
    if (FAILED(m_pGraph->AddFilter(pF, pszName))) {
        Release();
        return FALSE;
    }
    return TRUE;
}
