#include "StandinModule.h"
#include "CardState.h"
#include "Registration.h"

namespace {

HMODULE g_module;

HRESULT Create(REFCLSID, REFIID iid, void** out) {
    if (CardShouldFail(kStandinClass.failName)) {
        CardLog("%s: made to fail", kStandinClass.failName);
        return E_FAIL;
    }
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
    return ds::RegisterFilterClass(g_module, *kStandinClass.clsid, kStandinClass.name);
}

STDAPI DllUnregisterServer() { return ds::UnregisterFilterClass(*kStandinClass.clsid); }
