// What every simulated driver object shares: a reference count, IUnknown plus
// its one interface, its place in the driver's and the card's live-object
// counts, and the log line and failure point of the query for that interface.
#pragma once
#include "CardDriverInterfaces.h"
#include "CardState.h"
#include "ComObject.h"

// Driver objects alive in this process (for DllCanUnloadNow).
LONG DriverProcessObjects();
void DriverObjectCreated();
void DriverObjectDestroyed();

// Registration under a given classes key (HKEY_CLASSES_ROOT for the real
// thing; tests use a scratch key, as a registration there would replace the
// card DLL's own).
HRESULT CardDriverRegisterIn(HKEY classes, HMODULE module);
HRESULT CardDriverUnregisterIn(HKEY classes);

// Whether the call named `call` must fail now (failure injection).
inline bool DriverCallFails(const char* call) { return CardShouldFail(call) != FALSE; }

#define VAMP_UNUSED(n) STDMETHODIMP Unused##n() override { return E_NOTIMPL; }

struct DriverObjectCount {
    static void Created() { DriverObjectCreated(); }
    static void Destroyed() { DriverObjectDestroyed(); }
};

template <class Iface>
class DriverObject : public ds::ComObject<Iface, DriverObjectCount> {
public:
    // `queryCall` names the log line and failure point of the query for
    // `iid`; NULL when that query is not one the programs make.
    DriverObject(const IID& iid, const char* kind, const char* queryCall)
        : ds::ComObject<Iface, DriverObjectCount>(iid), kind_(kind), queryCall_(queryCall) {}
    ~DriverObject() override { CardLog("Released %s", kind_); }

protected:
    HRESULT AdmitQuery() override
    {
        if (!queryCall_)
            return S_OK;
        if (DriverCallFails(queryCall_)) {
            CardLog("%s -> failed", queryCall_);
            return E_NOINTERFACE;
        }
        CardLog("%s", queryCall_);
        return S_OK;
    }

private:
    const char* kind_;
    const char* queryCall_;
};

// New objects, each with one reference held by the caller; NULL when out of
// memory.
IVampDeviceEnumerator* NewVampEnumerator();
IVampDevice* NewVampDevice();
IVampGPIO* NewVampGpio();
IVampI2C* NewVampI2C();
