#include "Crossbar.h"
#include "AfxComPtr.h"
#include <new>
#include <vector>

static std::vector<ComPtr<IPin>> PinsOf(IBaseFilter* pFilter)
{
    std::vector<ComPtr<IPin>> pins;
    ComPtr<IEnumPins> pEnum;
    if (FAILED(pFilter->EnumPins(pEnum.Out())) || !pEnum)
        return pins;
    IPin* p = NULL;
    while (pEnum->Next(1, &p, NULL) == S_OK)
        pins.push_back(ComPtr<IPin>(p, false));
    return pins;
}

CCrossbar::CCrossbar(IPin* pStartPin, HRESULT* phr)
    : m_pStartPin(pStartPin), m_pRoutingList(NULL), m_nCurrent(0)
{
    HRESULT hr = S_OK;
    m_pRoutingList = new (std::nothrow) CPtrList(5);
    if (!m_pRoutingList)
        hr = E_OUTOFMEMORY;
    else
        BuildRoutingList(pStartPin, NULL, 0);
    if (phr)
        *phr = hr;
}

CCrossbar::~CCrossbar()
{
    for (int i = 0; i < m_allElements.GetSize(); i++) {
        Element* e = (Element*)m_allElements[i];
        if (e->pCrossbar)
            e->pCrossbar->Release();
        delete e;
    }
    delete m_pRoutingList;
}

void CCrossbar::BuildRoutingList(IPin* pStartPin, Element* pPrevious, int depth)
{
    if (!pStartPin)
        return;
    ComPtr<IPin> pUpstream;
    ComPtr<IAMCrossbar> pXbar;
    PIN_INFO info = {};
    if (pStartPin->ConnectedTo(pUpstream.Out()) == S_OK && pUpstream &&
        SUCCEEDED(pUpstream->QueryPinInfo(&info))) {
        ComPtr<IBaseFilter> pFilter(info.pFilter, false);
        if (pFilter)
            pXbar.QueryFrom(pFilter.Get(), IID_IAMCrossbar);
    }
    if (!pXbar) {
        // The end of a path: what was collected on the way is one entry.
        if (pPrevious)
            m_pRoutingList->AddTail(pPrevious);
        return;
    }

    // Crossbar pins are numbered inputs first, then outputs, in EnumPins order.
    ComPtr<IBaseFilter> pXbarFilter;
    pXbarFilter.QueryFrom(pXbar.Get(), IID_IBaseFilter);
    long nOutputs = 0, nInputs = 0;
    if (!pXbarFilter || FAILED(pXbar->get_PinCounts(&nOutputs, &nInputs)))
        return;
    std::vector<ComPtr<IPin>> pins = PinsOf(pXbarFilter);
    long nOut = -1;
    for (long i = 0; i < nOutputs && nInputs + i < (long)pins.size(); i++)
        if (pins[nInputs + i].Get() == pUpstream.Get())
            nOut = i;
    if (nOut < 0)
        return;

    for (long in = 0; in < nInputs; in++) {
        if (pXbar->CanRoute(nOut, in) != S_OK)
            continue;
        long related = -1, type = 0;
        if (FAILED(pXbar->get_CrossbarPinInfo(TRUE, in, &related, &type)) ||
            type >= PhysConn_Audio_Tuner)
            continue;
        Element* e = new Element();
        e->pCrossbar = pXbar.Get();
        e->pCrossbar->AddRef();
        e->nVideoIn = in;
        e->nVideoOut = nOut;
        e->nAudioIn = related;
        long outRelated = -1, outType = 0;
        e->nAudioOut = SUCCEEDED(pXbar->get_CrossbarPinInfo(FALSE, nOut, &outRelated, &outType))
                           ? outRelated : -1;
        e->nPhysicalType = type;
        e->nDepth = depth;
        e->pPrevious = pPrevious;
        m_allElements.Add(e);

        // Go on upstream from that input pin.
        ComPtr<IPin> pInPin;
        if (in < (long)pins.size())
            pInPin = pins[in];
        if (pInPin)
            BuildRoutingList(pInPin, e, depth + 1);
        else
            m_pRoutingList->AddTail(e);
    }
}

CCrossbar::Element* CCrossbar::Entry(int index) const
{
    if (!m_pRoutingList || index < 0 || index >= m_pRoutingList->GetCount())
        return NULL;
    POSITION pos = m_pRoutingList->FindIndex(index);
    return pos ? (Element*)m_pRoutingList->GetAt(pos) : NULL;
}

HRESULT CCrossbar::GetInputCount(LONG* pCount) const
{
    if (!pCount || !m_pRoutingList)
        return E_POINTER;
    *pCount = m_pRoutingList->GetCount();
    return S_OK;
}

HRESULT CCrossbar::GetInputType(int index, LONG* pType) const
{
    if (!pType)
        return E_POINTER;
    Element* e = Entry(index);
    if (!e)
        return E_FAIL;
    *pType = e->nPhysicalType;
    return S_OK;
}

HRESULT CCrossbar::GetInputName(int index, char* pszName, int size) const
{
    Element* e = Entry(index);
    if (!e || !pszName || size <= 0)
        return E_FAIL;
    lstrcpynA(pszName, TypeName(e->nPhysicalType), size);
    return S_OK;
}

HRESULT CCrossbar::SetInputIndex(int index)
{
    Element* e = Entry(index);
    if (!e)
        return E_FAIL;
    // The list holds the deepest element; route from the device outwards.
    CPtrArray chain;
    for (Element* p = e; p; p = p->pPrevious)
        chain.InsertAt(0, p);
    HRESULT hr = E_FAIL;
    for (int i = 0; i < chain.GetSize(); i++) {
        Element* p = (Element*)chain[i];
        hr = p->pCrossbar->Route(p->nVideoOut, p->nVideoIn);
        if (p->nAudioOut >= 0 && p->nAudioIn >= 0)
            p->pCrossbar->Route(p->nAudioOut, p->nAudioIn);
    }
    m_nCurrent = index;
    return hr;
}

LPCSTR CCrossbar::TypeName(long type)
{
    switch (type) {
    case PhysConn_Video_Tuner:            return "Video Tuner";
    case PhysConn_Video_Composite:        return "Video Composite";
    case PhysConn_Video_SVideo:           return "Video SVideo";
    case PhysConn_Video_RGB:              return "Video RGB";
    case PhysConn_Video_YRYBY:            return "Video YRYBY";
    case PhysConn_Video_SerialDigital:    return "Video SerialDigital";
    case PhysConn_Video_ParallelDigital:  return "Video ParallelDigital";
    case PhysConn_Video_SCSI:             return "Video SCSI";
    case PhysConn_Video_AUX:              return "Video AUX";
    case PhysConn_Video_1394:             return "Video 1394";
    case PhysConn_Video_USB:              return "Video USB";
    case PhysConn_Video_VideoDecoder:     return "Video Decoder";
    case PhysConn_Video_VideoEncoder:     return "Video Encoder";
    case PhysConn_Audio_Tuner:            return "Audio Tuner";
    case PhysConn_Audio_Line:             return "Audio Line";
    case PhysConn_Audio_Mic:              return "Audio Mic";
    case PhysConn_Audio_AESDigital:       return "Audio AESDigital";
    case PhysConn_Audio_SPDIFDigital:     return "Audio SPDIFDigital";
    case PhysConn_Audio_SCSI:             return "Audio SCSI";
    case PhysConn_Audio_AUX:              return "Audio AUX";
    case PhysConn_Audio_1394:             return "Audio 1394";
    case PhysConn_Audio_USB:              return "Audio USB";
    case PhysConn_Audio_AudioDecoder:     return "Audio Decoder";
    default:                              return "Unknown";
    }
}
