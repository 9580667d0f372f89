// Entry points of the card DLL: one COM server for the card's filters and
// its driver objects. Filter classes are served here; every other class goes
// to the driver.
#include "CardDriver.h"
#include "ComPtr.h"
#include "FilterFactory.h"
#include "FilterRegistration.h"
#include <new>

namespace {

HMODULE g_module;
volatile LONG g_serverLocks;

class ClassFactory : public IClassFactory {
public:
    explicit ClassFactory(REFCLSID clsid) : refs_(1), clsid_(clsid) { ds::ObjectCreated(); }
    virtual ~ClassFactory() { ds::ObjectDestroyed(); }

    STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IClassFactory)) {
            *out = static_cast<IClassFactory*>(this);
            AddRef();
            return S_OK;
        }
        *out = NULL;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return InterlockedIncrement(&refs_); }
    STDMETHODIMP_(ULONG) Release() override {
        LONG n = InterlockedDecrement(&refs_);
        if (n == 0) delete this;
        return n;
    }
    STDMETHODIMP CreateInstance(IUnknown* outer, REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        *out = NULL;
        if (outer) return CLASS_E_NOAGGREGATION;
        return card::CreateCardObject(clsid_, iid, out);
    }
    STDMETHODIMP LockServer(BOOL lock) override {
        if (lock)
            InterlockedIncrement(&g_serverLocks);
        else
            InterlockedDecrement(&g_serverLocks);
        return S_OK;
    }

private:
    volatile LONG refs_;
    CLSID clsid_;
};

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
    ClassFactory* factory = new (std::nothrow) ClassFactory(clsid);
    if (!factory) return E_OUTOFMEMORY;
    HRESULT hr = factory->QueryInterface(iid, out);
    factory->Release();
    return hr;
}

STDAPI DllCanUnloadNow() {
    if (ds::LiveObjects() != 0 || g_serverLocks != 0) return S_FALSE;
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
