#include "AudioCaptureFactory.h"
#include "AudioCaptureObject.h"
#include "ModuleGlobals.h"
#include <new>

CAudioCaptureFactory::CAudioCaptureFactory() : m_cRef(0) {}

STDMETHODIMP CAudioCaptureFactory::QueryInterface(REFIID riid, void** ppv)
{
    if (!ppv)
        return E_POINTER;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IClassFactory)) {
        *ppv = static_cast<IClassFactory*>(this);
        AddRef();
        return S_OK;
    }
    *ppv = NULL;
    return E_NOINTERFACE;
}

STDMETHODIMP_(ULONG) CAudioCaptureFactory::AddRef()
{
    return InterlockedIncrement(&m_cRef);
}

STDMETHODIMP_(ULONG) CAudioCaptureFactory::Release()
{
    LONG n = InterlockedDecrement(&m_cRef);
    if (n == 0)
        delete this;
    return n;
}

STDMETHODIMP CAudioCaptureFactory::CreateInstance(IUnknown* pUnkOuter, REFIID riid, void** ppv)
{
    if (!ppv)
        return E_POINTER;
    *ppv = NULL;
    if (pUnkOuter)
        return CLASS_E_NOAGGREGATION;
    CAudioCaptureObject* pObject = new (std::nothrow) CAudioCaptureObject();
    if (!pObject)
        return E_OUTOFMEMORY;
    HRESULT hr = pObject->QueryInterface(riid, ppv);
    if (FAILED(hr))
        delete pObject;  // its count goes with it
    return hr;
}

STDMETHODIMP CAudioCaptureFactory::LockServer(BOOL bLock)
{
    if (bLock)
        InterlockedIncrement(&g_cLocks);
    else
        InterlockedDecrement(&g_cLocks);
    return S_OK;
}
