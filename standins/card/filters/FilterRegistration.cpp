#include "FilterRegistration.h"
#include "CardFilterIds.h"
#include "ComPtr.h"
#include "ProcAmpPage.h"
#include <dshow.h>
#include <string>

namespace card {

namespace {

const wchar_t kVideoInstance[] = L"{8D1C2A40-5E7B-4C1A-9F3D-2B6A7C0E1A01}";
const wchar_t kAudioInstance[] = L"{8D1C2A40-5E7B-4C1A-9F3D-2B6A7C0E1A03}";

const DeviceRegistration kDevices[] = {
    {&CLSID_CardVideoCapture, &CLSID_VideoInputDeviceCategory, kVideoCaptureName, kVideoInstance, false},
    {&CLSID_CardAudioCapture, &CLSID_AudioInputDeviceCategory, kAudioCaptureName, kAudioInstance, true},
};

std::string ClsidKey(REFCLSID clsid) {
    wchar_t wide[64];
    StringFromGUID2(clsid, wide, 64);
    char narrow[64];
    WideCharToMultiByte(CP_ACP, 0, wide, -1, narrow, sizeof(narrow), NULL, NULL);
    return std::string("CLSID\\") + narrow;
}

std::string Narrow(const wchar_t* text) {
    char buf[256];
    WideCharToMultiByte(CP_ACP, 0, text, -1, buf, sizeof(buf), NULL, NULL);
    buf[sizeof(buf) - 1] = 0;
    return buf;
}

LONG SetValue(HKEY root, const std::string& path, const char* name, const std::string& value) {
    HKEY key;
    LONG rc = RegCreateKeyExA(root, path.c_str(), 0, NULL, 0, KEY_WRITE, NULL, &key, NULL);
    if (rc != ERROR_SUCCESS) return rc;
    rc = RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                        static_cast<DWORD>(value.size() + 1));
    RegCloseKey(key);
    return rc;
}

HRESULT CreateMapper(ds::ComPtr<IFilterMapper2>* mapper) {
    return ds::Check(CoCreateInstance(CLSID_FilterMapper2, NULL, CLSCTX_INPROC_SERVER, IID_IFilterMapper2,
                                      mapper->OutVoid()),
                     "CoCreateInstance(FilterMapper2)");
}

}  // namespace

const DeviceRegistration* CardDevices(int* count) {
    *count = static_cast<int>(sizeof(kDevices) / sizeof(kDevices[0]));
    return kDevices;
}

HRESULT RegisterFilterClass(HMODULE module, REFCLSID clsid, const wchar_t* name) {
    char path[MAX_PATH];
    DWORD n = GetModuleFileNameA(module, path, sizeof(path));
    if (n == 0 || n >= sizeof(path)) return E_FAIL;
    std::string key = ClsidKey(clsid);
    LONG rc = SetValue(HKEY_CLASSES_ROOT, key, NULL, Narrow(name));
    if (rc == ERROR_SUCCESS) rc = SetValue(HKEY_CLASSES_ROOT, key + "\\InprocServer32", NULL, path);
    if (rc == ERROR_SUCCESS)
        rc = SetValue(HKEY_CLASSES_ROOT, key + "\\InprocServer32", "ThreadingModel", "Both");
    return HRESULT_FROM_WIN32(rc);
}

HRESULT UnregisterFilterClass(REFCLSID clsid) {
    std::string key = ClsidKey(clsid);
    RegDeleteKeyA(HKEY_CLASSES_ROOT, (key + "\\InprocServer32").c_str());
    LONG rc = RegDeleteKeyA(HKEY_CLASSES_ROOT, key.c_str());
    return (rc == ERROR_SUCCESS || rc == ERROR_FILE_NOT_FOUND) ? S_OK : HRESULT_FROM_WIN32(rc);
}

HRESULT RegisterDevice(const DeviceRegistration& device) {
    ds::ComPtr<IFilterMapper2> mapper;
    HRESULT hr = CreateMapper(&mapper);
    if (FAILED(hr)) return hr;

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
    REGFILTER2 rf = {};
    rf.dwVersion = 2;
    rf.dwMerit = MERIT_DO_NOT_USE;
    rf.cPins2 = count;
    rf.rgPins2 = pins;
    return ds::Check(mapper->RegisterFilter(*device.clsid, device.friendlyName, NULL, device.category,
                                            device.instance, &rf),
                     "IFilterMapper2::RegisterFilter");
}

HRESULT UnregisterDevice(const DeviceRegistration& device) {
    ds::ComPtr<IFilterMapper2> mapper;
    HRESULT hr = CreateMapper(&mapper);
    if (FAILED(hr)) return hr;
    hr = mapper->UnregisterFilter(device.category, device.instance, *device.clsid);
    // Gone already is what we wanted.
    if (hr == HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND)) hr = S_OK;
    return ds::Check(hr, "IFilterMapper2::UnregisterFilter");
}

HRESULT RegisterCardFilters(HMODULE module) {
    HRESULT hr = RegisterFilterClass(module, CLSID_CardVideoCapture, kVideoCaptureName);
    if (SUCCEEDED(hr)) hr = RegisterFilterClass(module, CLSID_CardCrossbar, kCrossbarName);
    if (SUCCEEDED(hr)) hr = RegisterFilterClass(module, CLSID_CardAudioCapture, kAudioCaptureName);
    if (SUCCEEDED(hr)) hr = RegisterFilterClass(module, CLSID_CardProcAmpPage, kProcAmpPageName);
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
        HRESULT hr = UnregisterFilterClass(*clsid);
        if (FAILED(hr)) result = hr;
    }
    return result;
}

}  // namespace card
