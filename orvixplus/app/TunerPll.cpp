#include "TunerPll.h"
#include "AfxComPtr.h"
#include "CardDriverInterfaces.h"

namespace {

// The tuner takes the same bytes three times: one write can be lost while the
// PLL is still settling from the last frequency.
const int kTunerWrites = 3;

// COM for the calling thread when it has none yet (the scan's worker); a
// thread that already has it keeps what it has.
class ComForThisThread {
public:
    ComForThisThread()
    {
        HRESULT hr = ::CoInitializeEx(NULL, COINIT_MULTITHREADED);
        m_bOwn = SUCCEEDED(hr);
    }
    ~ComForThisThread()
    {
        if (m_bOwn)
            ::CoUninitialize();
    }

private:
    BOOL m_bOwn;
};

// Declared in the order they are obtained, so that they go in reverse.
struct TunerBus {
    ComPtr<IVampDeviceEnumerator> enumerator;
    ComPtr<IUnknown> deviceObject;
    ComPtr<IVampDevice> device;
    ComPtr<IUnknown> i2cObject;
    ComPtr<IVampI2C> i2c;

    BOOL Open()
    {
        if (FAILED(::CoCreateInstance(CLSID_VampDeviceEnumerator, NULL,
                                      CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER,
                                      IID_IVampDeviceEnumerator, enumerator.OutVoid())) ||
            !enumerator)
            return FALSE;
        int count = 0;
        if (FAILED(enumerator->GetDeviceCount(&count)) || count <= 0)
            return FALSE;
        if (FAILED(enumerator->GetDevice(0, deviceObject.Out())) || !deviceObject)
            return FALSE;
        if (FAILED(device.QueryFrom(deviceObject.Get(), IID_IVampDevice)) || !device)
            return FALSE;
        if (FAILED(device->GetI2C(i2cObject.Out())) || !i2cObject)
            return FALSE;
        if (FAILED(i2c.QueryFrom(i2cObject.Get(), IID_IVampI2C)) || !i2c)
            return FALSE;
        return SUCCEEDED(i2c->SetSlaveAddress(VAMP_I2C_TUNER));
    }
};

}  // namespace

BOOL WriteTunerPll(BYTE b0, BYTE b1, BYTE b2, BYTE b3)
{
    ComForThisThread com;
    TunerBus bus;
    if (!bus.Open())
        return FALSE;
    const BYTE bytes[4] = {b0, b1, b2, b3};
    for (int i = 0; i < kTunerWrites; ++i) {
        int written = 0;  // the driver's count says nothing the result does not
        if (FAILED(bus.i2c->Write(bytes, 4, &written)))
            return FALSE;
    }
    return TRUE;
}
