#include "FilterRegistration.h"
#include "CardFilterIds.h"
#include "ComPtr.h"
#include "ProcAmpPage.h"
#include "Registration.h"
#include <dshow.h>

namespace card {

namespace {

const wchar_t kVideoInstance[] = L"{8D1C2A40-5E7B-4C1A-9F3D-2B6A7C0E1A01}";
const wchar_t kAudioInstance[] = L"{8D1C2A40-5E7B-4C1A-9F3D-2B6A7C0E1A03}";

const DeviceRegistration kDevices[] = {
    {&CLSID_CardVideoCapture, &CLSID_VideoInputDeviceCategory, kVideoCaptureName, kVideoInstance, false},
    {&CLSID_CardAudioCapture, &CLSID_AudioInputDeviceCategory, kAudioCaptureName, kAudioInstance, true},
};

}  // namespace

const DeviceRegistration* CardDevices(int* count) {
    *count = static_cast<int>(sizeof(kDevices) / sizeof(kDevices[0]));
    return kDevices;
}

HRESULT RegisterDevice(const DeviceRegistration& device) {
    const REGPINTYPES videoOut = {&MEDIATYPE_Video, &MEDIASUBTYPE_YUY2};
    const REGPINTYPES analogIn = {&MEDIATYPE_AnalogVideo, &MEDIASUBTYPE_NULL};
    const REGPINTYPES audioOut = {&MEDIATYPE_Audio, &MEDIASUBTYPE_PCM};
    const REGPINTYPES audioIn = {&MEDIATYPE_AnalogAudio, &MEDIASUBTYPE_NULL};
    REGFILTERPINS2 pins[3] = {};
    int count;
    if (device.audio) {
        pins[0].nMediaTypes = 1;
        pins[0].lpMediaType = &audioIn;
        pins[0].dwFlags = REG_PINFLAG_B_MANY;
        pins[1].dwFlags = REG_PINFLAG_B_OUTPUT;
        pins[1].cInstances = 1;
        pins[1].nMediaTypes = 1;
        pins[1].lpMediaType = &audioOut;
        pins[1].clsPinCategory = &PIN_CATEGORY_CAPTURE;
        count = 2;
    } else {
        pins[0].cInstances = 1;
        pins[0].nMediaTypes = 1;
        pins[0].lpMediaType = &analogIn;
        pins[0].clsPinCategory = &PIN_CATEGORY_ANALOGVIDEOIN;
        pins[1].dwFlags = REG_PINFLAG_B_OUTPUT;
        pins[1].cInstances = 1;
        pins[1].nMediaTypes = 1;
        pins[1].lpMediaType = &videoOut;
        pins[1].clsPinCategory = &PIN_CATEGORY_CAPTURE;
        pins[2] = pins[1];
        pins[2].clsPinCategory = &PIN_CATEGORY_PREVIEW;
        count = 3;
    }
    return ds::RegisterInCategory(*device.clsid, device.friendlyName, *device.category, MERIT_DO_NOT_USE,
                                  pins, count, device.instance);
}

HRESULT UnregisterDevice(const DeviceRegistration& device) {
    return ds::UnregisterFromCategory(*device.clsid, *device.category, device.instance);
}

HRESULT RegisterCardFilters(HMODULE module) {
    HRESULT hr = ds::RegisterFilterClass(module, CLSID_CardVideoCapture, kVideoCaptureName);
    if (SUCCEEDED(hr)) hr = ds::RegisterFilterClass(module, CLSID_CardCrossbar, kCrossbarName);
    if (SUCCEEDED(hr)) hr = ds::RegisterFilterClass(module, CLSID_CardAudioCapture, kAudioCaptureName);
    if (SUCCEEDED(hr)) hr = ds::RegisterFilterClass(module, CLSID_CardProcAmpPage, kProcAmpPageName);
    int count;
    const DeviceRegistration* devices = CardDevices(&count);
    for (int i = 0; i < count && SUCCEEDED(hr); i++) hr = RegisterDevice(devices[i]);
    if (FAILED(hr)) UnregisterCardFilters();
    return hr;
}

HRESULT UnregisterCardFilters() {
    HRESULT result = S_OK;
    int count;
    const DeviceRegistration* devices = CardDevices(&count);
    for (int i = 0; i < count; i++) {
        HRESULT hr = UnregisterDevice(devices[i]);
        if (FAILED(hr)) result = hr;
    }
    const CLSID* classes[] = {&CLSID_CardVideoCapture, &CLSID_CardCrossbar, &CLSID_CardAudioCapture,
                              &CLSID_CardProcAmpPage};
    for (const CLSID* clsid : classes) {
        HRESULT hr = ds::UnregisterFilterClass(*clsid);
        if (FAILED(hr)) result = hr;
    }
    return result;
}

}  // namespace card
