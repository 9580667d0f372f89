#include "StandinModule.h"
#include "Registration.h"

namespace {

HMODULE g_module;

HRESULT Create(REFCLSID, REFIID iid, void** out) {
    if (kStandinClass.refused && kStandinClass.refused()) return E_FAIL;
    return kStandinClass.create(iid, out);
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
    if (!IsEqualCLSID(clsid, *kStandinClass.clsid)) return CLASS_E_CLASSNOTAVAILABLE;
    return ds::GetClassFactory(clsid, Create, iid, out);
}

STDAPI DllCanUnloadNow() { return ds::ModuleCanUnloadNow(); }

STDAPI DllRegisterServer() {
    const StandinClass& c = kStandinClass;
    HRESULT hr = ds::RegisterFilterClass(g_module, *c.clsid, c.name);
    if (SUCCEEDED(hr) && c.category) {
        hr = ds::RegisterInCategory(*c.clsid, c.name, *c.category, c.merit, c.pins, c.pinCount);
        if (FAILED(hr)) ds::UnregisterFilterClass(*c.clsid);
    }
    return hr;
}

STDAPI DllUnregisterServer() {
    const StandinClass& c = kStandinClass;
    HRESULT hr = c.category ? ds::UnregisterFromCategory(*c.clsid, *c.category) : S_OK;
    HRESULT cls = ds::UnregisterFilterClass(*c.clsid);
    return FAILED(hr) ? hr : cls;
}
