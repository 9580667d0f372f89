#include "AudioCaptureFilter.h"
#include "AfxComPtr.h"
#include "DeviceList.h"
#include "FixedText.h"
#include <mmreg.h>
#include <uuids.h>

CAudioCaptureFilter::CAudioCaptureFilter(IGraphBuilder* pGraph, LPCSTR pszFriendlyName,
                                         LPCSTR pszFilterName)
    : CFilterWrapper(pGraph)
{
    CopyFixedText(m_szFriendlyName, sizeof(m_szFriendlyName), pszFriendlyName ? pszFriendlyName : "");
    AnsiToWide(pszFilterName, m_wszFilterName, 256);
}

BOOL CAudioCaptureFilter::Create()
{
    if (m_pFilter)
        return TRUE;
    if (!CreateFromDevice(CLSID_AudioInputDeviceCategory, m_szFriendlyName, m_wszFilterName))
        return FALSE;
    BuildInputList();
    SetBuffering();
    return TRUE;
}

CString CAudioCaptureFilter::GetInputName(int index) const
{
    if (index < 0 || index >= GetInputCount())
        return CString();
    return m_inputs[index].strName;
}

DWORD CAudioCaptureFilter::GetInputData(int index) const
{
    if (index < 0 || index >= GetInputCount())
        return 0;
    return m_inputs[index].dwValue;
}

void CAudioCaptureFilter::SelectInput(int index)
{
    if (index < 0 || index >= GetInputCount() || !m_inputs[index].pPin)
        return;
    ComPtr<IAMAudioInputMixer> pMixer;
    if (FAILED(pMixer.QueryFrom(m_inputs[index].pPin, IID_IAMAudioInputMixer)))
        return;
    pMixer->put_Enable(TRUE);
    pMixer->put_MixLevel(AMF_AUTOMATICGAIN);
}

void CAudioCaptureFilter::BuildInputList()
{
    m_inputs.clear();
    if (!m_pFilter)
        return;
    ComPtr<IEnumPins> pEnum;
    if (FAILED(m_pFilter->EnumPins(pEnum.Out())) || !pEnum)
        return;
    IPin* p = NULL;
    while (pEnum->Next(1, &p, NULL) == S_OK) {
        ComPtr<IPin> pin(p, false);
        PIN_INFO info;
        if (FAILED(pin->QueryPinInfo(&info)))
            continue;
        if (info.pFilter)
            info.pFilter->Release();
        if (info.dir != PINDIR_INPUT)
            continue;
        Input in;
        char name[128];
        WideToAnsi(info.achName, name, sizeof(name));
        in.strName = name;
        in.pPin = pin.Get();   // the filter keeps it alive
        in.dwValue = 0;
        LPWSTR pId = NULL;
        if (SUCCEEDED(pin->QueryId(&pId)) && pId) {
            in.dwValue = (DWORD)(WORD)pId[0];
            CoTaskMemFree(pId);
        }
        m_inputs.push_back(in);
    }
}

DWORD WaveBytesPerSecond(const AM_MEDIA_TYPE* pmt)
{
    // A block shorter than the structure would be read past its end.
    if (!pmt || !pmt->pbFormat || pmt->cbFormat < sizeof(WAVEFORMATEX))
        return 0;
    return ((const WAVEFORMATEX*)pmt->pbFormat)->nAvgBytesPerSec;
}

void CAudioCaptureFilter::SetBuffering()
{
    IPin* pOut = FindPin(FALSE, NULL);
    if (!pOut)
        return;
    ComPtr<IAMStreamConfig> pConfig;
    if (FAILED(pConfig.QueryFrom(pOut, IID_IAMStreamConfig)))
        return;
    AM_MEDIA_TYPE* pmt = NULL;
    if (FAILED(pConfig->GetFormat(&pmt)) || !pmt)
        return;
    DWORD bytesPerSec = WaveBytesPerSecond(pmt);
    DeleteMediaType(pmt);
    if (bytesPerSec == 0)
        return;
    ComPtr<IAMBufferNegotiation> pNeg;
    if (FAILED(pNeg.QueryFrom(pOut, IID_IAMBufferNegotiation)))
        return;
    ALLOCATOR_PROPERTIES props;
    props.cbBuffer = CaptureBufferBytes(bytesPerSec);
    props.cBuffers = -1;
    props.cbAlign = -1;
    props.cbPrefix = -1;
    pNeg->SuggestAllocatorProperties(&props);
}
