#include "DirectShowHelpers.h"

template <class Match>
static HRESULT FindPin(IBaseFilter* pFilter, PIN_DIRECTION dir, Match match, IPin** ppPin)
{
    *ppPin = NULL;
    if (!pFilter)
        return E_POINTER;
    IEnumPins* pEnum = NULL;
    HRESULT hr = pFilter->EnumPins(&pEnum);
    if (FAILED(hr))
        return hr;
    IPin* pPin = NULL;
    while (pEnum->Next(1, &pPin, NULL) == S_OK) {
        PIN_DIRECTION pinDir;
        if (SUCCEEDED(pPin->QueryDirection(&pinDir)) && pinDir == dir && match(pPin)) {
            *ppPin = pPin;
            break;
        }
        pPin->Release();
    }
    pEnum->Release();
    return *ppPin ? S_OK : VFW_E_NOT_FOUND;
}

HRESULT GetPin(IBaseFilter* pFilter, PIN_DIRECTION dir, int n, IPin** ppPin)
{
    int seen = 0;
    return FindPin(pFilter, dir, [&](IPin*) { return seen++ == n; }, ppPin);
}

HRESULT FindConnectedPin(IBaseFilter* pFilter, PIN_DIRECTION dir, IPin** ppPin)
{
    return FindPin(pFilter, dir,
                   [](IPin* pPin) {
                       IPin* pPeer = NULL;
                       if (FAILED(pPin->ConnectedTo(&pPeer)) || !pPeer)
                           return false;
                       pPeer->Release();
                       return true;
                   },
                   ppPin);
}

HRESULT PeerFilter(IPin* pPin, IBaseFilter** ppFilter)
{
    *ppFilter = NULL;
    IPin* pPeer = NULL;
    HRESULT hr = pPin->ConnectedTo(&pPeer);
    if (FAILED(hr))
        return hr;
    PIN_INFO info;
    hr = pPeer->QueryPinInfo(&info);
    pPeer->Release();
    if (FAILED(hr))
        return hr;
    *ppFilter = info.pFilter;
    return info.pFilter ? S_OK : E_FAIL;
}

void FreeMediaTypeBlock(AM_MEDIA_TYPE* pmt)
{
    if (!pmt)
        return;
    if (pmt->cbFormat && pmt->pbFormat)
        CoTaskMemFree(pmt->pbFormat);
    if (pmt->pUnk)
        pmt->pUnk->Release();
    CoTaskMemFree(pmt);
}
