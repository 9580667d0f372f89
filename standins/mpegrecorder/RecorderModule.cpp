// Entry points of the recorder DLL: its one filter class, registered in the
// legacy filter category where nothing picks it up by merit; the product
// creates it by class id.
#include "FilterModule.h"
#include "RecorderFilter.h"
#include "Registration.h"

namespace {

HMODULE g_module;
const wchar_t kName[] = L"Brinmarch Mpeg 1/2 Recorder Filter";

HRESULT CreateRecorder(REFCLSID clsid, REFIID iid, void** out) {
    if (!IsEqualCLSID(clsid, CLSID_BrinmarchMpegRecorder)) return CLASS_E_CLASSNOTAVAILABLE;
    return ds::CreateFilterObject<rec::RecorderFilter>(iid, out);
}

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        g_module = instance;
        DisableThreadLibraryCalls(instance);
    }
    return TRUE;
}

STDAPI DllGetClassObject(REFCLSID clsid, REFIID iid, void** out) {
    if (!out) return E_POINTER;
    *out = NULL;
    if (!IsEqualCLSID(clsid, CLSID_BrinmarchMpegRecorder)) return CLASS_E_CLASSNOTAVAILABLE;
    return ds::GetClassFactory(clsid, CreateRecorder, iid, out);
}

STDAPI DllCanUnloadNow() {
    return ds::ModuleCanUnloadNow();
}

STDAPI DllRegisterServer() {
    const REGPINTYPES video = {&MEDIATYPE_Video, &MEDIASUBTYPE_YUY2};
    const REGPINTYPES audio = {&MEDIATYPE_Audio, &MEDIASUBTYPE_PCM};
    REGFILTERPINS2 pins[2] = {};
    pins[0].dwFlags = REG_PINFLAG_B_RENDERER;
    pins[0].cInstances = 1;
    pins[0].nMediaTypes = 1;
    pins[0].lpMediaType = &video;
    pins[1] = pins[0];
    pins[1].lpMediaType = &audio;
    HRESULT hr = ds::RegisterFilterClass(g_module, CLSID_BrinmarchMpegRecorder, kName);
    if (SUCCEEDED(hr))
        hr = ds::RegisterInCategory(CLSID_BrinmarchMpegRecorder, kName, CLSID_LegacyAmFilterCategory,
                                    MERIT_DO_NOT_USE, pins, 2);
    return hr;
}

STDAPI DllUnregisterServer() {
    HRESULT hr = ds::UnregisterFromCategory(CLSID_BrinmarchMpegRecorder, CLSID_LegacyAmFilterCategory);
    HRESULT cls = ds::UnregisterFilterClass(CLSID_BrinmarchMpegRecorder);
    return FAILED(hr) ? hr : cls;
}
