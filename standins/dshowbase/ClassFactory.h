// The class factory of an in-process server: creates one class through a
// function of the module's, and counts LockServer calls for DllCanUnloadNow.
#pragma once
#include "ComObject.h"

namespace ds {

typedef HRESULT (*CreateObjectFn)(REFCLSID clsid, REFIID iid, void** out);

class ClassFactory : public ComObject<IClassFactory> {
public:
    ClassFactory(REFCLSID clsid, CreateObjectFn create)
        : ComObject(IID_IClassFactory), clsid_(clsid), create_(create) {}

    STDMETHODIMP CreateInstance(IUnknown* outer, REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        *out = NULL;
        if (outer) return CLASS_E_NOAGGREGATION;
        return create_(clsid_, iid, out);
    }
    STDMETHODIMP LockServer(BOOL lock) override {
        if (lock)
            InterlockedIncrement(&Locks());
        else
            InterlockedDecrement(&Locks());
        return S_OK;
    }
    // The module's server locks.
    static volatile LONG& Locks() {
        static volatile LONG locks = 0;
        return locks;
    }

private:
    CLSID clsid_;
    CreateObjectFn create_;
};

}  // namespace ds
