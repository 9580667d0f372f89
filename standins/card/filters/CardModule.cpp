// Entry points of the card DLL: one COM server for the card's filters and
// its driver objects. Filter classes are served here; every other class goes
// to the driver.
#include "CardDriver.h"
#include "FilterModule.h"
#include "FilterFactory.h"
#include "FilterRegistration.h"

namespace {

HMODULE g_module;

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
    if (!card::IsCardClass(clsid)) return CardDriverGetClassObject(clsid, iid, out);
    return ds::GetClassFactory(clsid, card::CreateCardObject, iid, out);
}

STDAPI DllCanUnloadNow() {
    if (ds::ModuleCanUnloadNow() != S_OK) return S_FALSE;
    return CardDriverCanUnloadNow();
}

STDAPI DllRegisterServer() {
    HRESULT hr = card::RegisterCardFilters(g_module);
    if (SUCCEEDED(hr)) hr = CardDriverRegister(g_module);
    return hr;
}

STDAPI DllUnregisterServer() {
    HRESULT hr = card::UnregisterCardFilters();
    HRESULT driver = CardDriverUnregister();
    if (SUCCEEDED(hr)) hr = driver;
    return hr;
}
