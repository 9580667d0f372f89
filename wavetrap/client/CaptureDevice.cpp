#include "CaptureDevice.h"
#include <dshow.h>

const wchar_t kCardAudioDeviceName[] = L"Kestor TV Arden WDM Audio Capture";

IBaseFilter* OpenAudioCaptureDevice(const wchar_t* friendlyName)
{
    ICreateDevEnum* pDevEnum = NULL;
    if (FAILED(CoCreateInstance(CLSID_SystemDeviceEnum, NULL, CLSCTX_INPROC_SERVER, IID_ICreateDevEnum,
                                (void**)&pDevEnum)))
        return NULL;
    IEnumMoniker* pEnum = NULL;
    IBaseFilter* pFilter = NULL;
    if (pDevEnum->CreateClassEnumerator(CLSID_AudioInputDeviceCategory, &pEnum, 0) == S_OK) {
        IMoniker* pMoniker = NULL;
        while (!pFilter && pEnum->Next(1, &pMoniker, NULL) == S_OK) {
            IPropertyBag* pBag = NULL;
            if (SUCCEEDED(pMoniker->BindToStorage(NULL, NULL, IID_IPropertyBag, (void**)&pBag))) {
                VARIANT name;
                VariantInit(&name);
                if (SUCCEEDED(pBag->Read(L"FriendlyName", &name, NULL)) && name.vt == VT_BSTR &&
                    wcscmp(name.bstrVal, friendlyName) == 0)
                    pMoniker->BindToObject(NULL, NULL, IID_IBaseFilter, (void**)&pFilter);
                VariantClear(&name);
                pBag->Release();
            }
            pMoniker->Release();
        }
        pEnum->Release();
    }
    pDevEnum->Release();
    return pFilter;
}
