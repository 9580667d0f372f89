// What every simulated driver object shares: a reference count, IUnknown plus
// its one interface, its place in the live-object counts, and the log line
// and failure point of the query for that interface.
#pragma once
#include "CardDriverInterfaces.h"
#include "CardState.h"

// Driver objects alive in this process (for DllCanUnloadNow).
LONG DriverProcessObjects();
void DriverObjectCreated();
void DriverObjectDestroyed(const char* kind);

// Registration under a given classes key (HKEY_CLASSES_ROOT for the real
// thing; tests use a scratch key, as a registration there would replace the
// card DLL's own).
HRESULT CardDriverRegisterIn(HKEY classes, HMODULE module);
HRESULT CardDriverUnregisterIn(HKEY classes);

// Whether the call named `call` must fail now (failure injection).
inline bool DriverCallFails(const char* call) { return CardShouldFail(call) != FALSE; }

#define VAMP_UNUSED(n) STDMETHODIMP Unused##n() override { return E_NOTIMPL; }

template <class Iface>
class DriverObject : public Iface {
public:
    // `queryCall` names the log line and failure point of the query for
    // `iid`; NULL when that query is not one the programs make.
    DriverObject(const IID& iid, const char* kind, const char* queryCall)
        : refs_(1), iid_(iid), kind_(kind), queryCall_(queryCall)
    {
        DriverObjectCreated();
    }
    virtual ~DriverObject() { DriverObjectDestroyed(kind_); }

    STDMETHODIMP QueryInterface(REFIID iid, void** object) override
    {
        if (!object)
            return E_POINTER;
        *object = NULL;
        if (IsEqualIID(iid, IID_IUnknown)) {
            *object = static_cast<IUnknown*>(this);
        } else if (IsEqualIID(iid, iid_)) {
            if (queryCall_ && DriverCallFails(queryCall_)) {
                CardLog("%s -> failed", queryCall_);
                return E_NOINTERFACE;
            }
            if (queryCall_)
                CardLog("%s", queryCall_);
            *object = static_cast<Iface*>(this);
        } else {
            return E_NOINTERFACE;
        }
        this->AddRef();
        return S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return InterlockedIncrement(&refs_); }
    STDMETHODIMP_(ULONG) Release() override
    {
        LONG refs = InterlockedDecrement(&refs_);
        if (refs == 0)
            delete this;
        return refs;
    }

private:
    DriverObject(const DriverObject&) = delete;
    DriverObject& operator=(const DriverObject&) = delete;
    volatile LONG refs_;
    const IID& iid_;
    const char* kind_;
    const char* queryCall_;
};

// New objects, each with one reference held by the caller.
IVampDeviceEnumerator* NewVampEnumerator();
IVampDevice* NewVampDevice();
IVampGPIO* NewVampGpio();
IVampI2C* NewVampI2C();
