// The class factory of CAudioCaptureObject.
#pragma once
#include <windows.h>
#include <unknwn.h>

class CAudioCaptureFactory : public IClassFactory {
public:
    CAudioCaptureFactory();
    virtual ~CAudioCaptureFactory() {}

    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;
    STDMETHODIMP CreateInstance(IUnknown* pUnkOuter, REFIID riid, void** ppv) override;
    STDMETHODIMP LockServer(BOOL bLock) override;

private:
    volatile LONG m_cRef;
};
