#include "ClassFactory.h"

namespace ds {

static volatile LONG g_serverLocks = 0;

LONG ServerLocks() { return InterlockedCompareExchange(&g_serverLocks, 0, 0); }

STDMETHODIMP ClassFactory::CreateInstance(IUnknown* outer, REFIID iid, void** out) {
    if (!out) return E_POINTER;
    *out = NULL;
    if (outer) return CLASS_E_NOAGGREGATION;
    return create_(clsid_, iid, out);
}

STDMETHODIMP ClassFactory::LockServer(BOOL lock) {
    if (lock)
        InterlockedIncrement(&g_serverLocks);
    else
        InterlockedDecrement(&g_serverLocks);
    return S_OK;
}

HRESULT GetClassFactory(REFCLSID clsid, CreateObjectFn create, REFIID iid, void** out) {
    return QueryNew(new (std::nothrow) ClassFactory(clsid, create), iid, out);
}

}  // namespace ds
