// The class factory of an in-process server: makes the objects of one class
// through the module's creation function and counts the server locks that
// DllCanUnloadNow must respect.
#pragma once
#include "ComObject.h"

namespace ds {

typedef HRESULT (*CreateObjectFn)(REFCLSID clsid, REFIID iid, void** out);

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

// Locks taken through LockServer and not yet given back.
LONG ServerLocks();

// What DllGetClassObject hands out for a class the module serves.
HRESULT GetClassFactory(REFCLSID clsid, CreateObjectFn create, REFIID iid, void** out);

}  // namespace ds
