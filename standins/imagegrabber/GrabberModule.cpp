// Entry points of the image grabber DLL: its class factory, registration in
// the legacy filter category (found by class identifier only, never chosen by
// intelligent connect) and the hooks tests steer it with.
#include "GrabberFilter.h"
#include "FilterModule.h"
#include "Registration.h"

namespace {

HMODULE g_module;

HRESULT CreateGrabber(REFCLSID, REFIID iid, void** out) {
    return ds::CreateFilterObject<grabber::GrabberFilter>(iid, out);
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
    if (!IsEqualCLSID(clsid, CLSID_KestorImageGrabber)) return CLASS_E_CLASSNOTAVAILABLE;
    return ds::GetClassFactory(clsid, CreateGrabber, iid, out);
}

STDAPI DllCanUnloadNow() {
    return ds::ModuleCanUnloadNow();
}

STDAPI DllRegisterServer() {
    HRESULT hr = ds::RegisterFilterClass(g_module, CLSID_KestorImageGrabber, grabber::kFilterName);
    if (FAILED(hr)) return hr;
    const REGPINTYPES yuy2 = {&MEDIATYPE_Video, &MEDIASUBTYPE_YUY2};
    REGFILTERPINS2 pins[2] = {};
    pins[0].cInstances = 1;
    pins[0].nMediaTypes = 1;
    pins[0].lpMediaType = &yuy2;
    pins[1] = pins[0];
    pins[1].dwFlags = REG_PINFLAG_B_OUTPUT;
    hr = ds::RegisterInCategory(CLSID_KestorImageGrabber, grabber::kFilterName,
                                CLSID_LegacyAmFilterCategory, MERIT_DO_NOT_USE, pins, 2);
    if (FAILED(hr)) ds::UnregisterFilterClass(CLSID_KestorImageGrabber);
    return hr;
}

STDAPI DllUnregisterServer() {
    HRESULT hr = ds::UnregisterFromCategory(CLSID_KestorImageGrabber, CLSID_LegacyAmFilterCategory);
    HRESULT cls = ds::UnregisterFilterClass(CLSID_KestorImageGrabber);
    return FAILED(hr) ? hr : cls;
}

// Test hooks.
extern "C" void ImageGrabber_FailCall(int slot, HRESULT hr, BOOL always) {
    grabber::FailSlot(slot, hr, always != FALSE);
}
extern "C" void ImageGrabber_RefuseInterface(BOOL refuse) {
    grabber::RefuseInterface(refuse != FALSE);
}
extern "C" void ImageGrabber_ResetHooks() { grabber::ResetHooks(); }
extern "C" LONG ImageGrabber_LiveObjects() { return ds::LiveObjects(); }
