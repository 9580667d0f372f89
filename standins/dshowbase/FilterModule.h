// The class factory and the unload count of a DLL that serves our filters:
// the stand-ins' DLLs answer DllGetClassObject and DllCanUnloadNow through
// these, each with its own table of classes.
#pragma once
#include "ComObject.h"

namespace ds {

typedef HRESULT (*CreateObjectFn)(REFCLSID clsid, REFIID iid, void** out);

// Serves one class through `create`, which gets the class id back.
class ClassFactory : public ComObject<IClassFactory> {
public:
    ClassFactory(REFCLSID clsid, CreateObjectFn create)
        : ComObject(IID_IClassFactory), clsid_(clsid), create_(create) {}
    STDMETHODIMP CreateInstance(IUnknown* outer, REFIID iid, void** out) override;
    STDMETHODIMP LockServer(BOOL lock) override;

private:
    CLSID clsid_;
    CreateObjectFn create_;
};

// A new factory for the class, as DllGetClassObject hands it out.
HRESULT GetClassFactory(REFCLSID clsid, CreateObjectFn create, REFIID iid, void** out);
// S_OK when no object of the module lives and no lock is held.
HRESULT ModuleCanUnloadNow();

}  // namespace ds
