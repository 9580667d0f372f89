// The enumerator and the device: the way from the driver's class to the
// card's GPIO and I2C objects. Every call hands out a fresh object, as the
// programs create and release the whole chain for each operation.
#include "DriverObject.h"
#include <new>

namespace {

class VampEnumerator : public DriverObject<IVampDeviceEnumerator> {
public:
    VampEnumerator() : DriverObject(IID_IVampDeviceEnumerator, "Enumerator", NULL) {}
    VAMP_UNUSED(03) VAMP_UNUSED(04) VAMP_UNUSED(05) VAMP_UNUSED(06)

    STDMETHODIMP GetDeviceCount(int* count) override
    {
        if (!count)
            return E_POINTER;
        if (DriverCallFails("GetDeviceCount")) {
            CardLog("GetDeviceCount -> failed");
            return E_FAIL;
        }
        *count = CardDeviceCount();
        CardLog("GetDeviceCount -> %d", *count);
        return S_OK;
    }

    STDMETHODIMP GetDevice(int index, IUnknown** device) override
    {
        if (!device)
            return E_POINTER;
        *device = NULL;
        if (DriverCallFails("GetDevice")) {
            CardLog("GetDevice %d -> failed", index);
            return E_FAIL;
        }
        if (index < 0 || index >= CardDeviceCount()) {
            CardLog("GetDevice %d -> no such device", index);
            return E_INVALIDARG;
        }
        *device = NewVampDevice();
        if (!*device) {
            CardLog("GetDevice %d -> out of memory", index);
            return E_OUTOFMEMORY;
        }
        CardLog("GetDevice %d", index);
        return S_OK;
    }
};

class VampDevice : public DriverObject<IVampDevice> {
public:
    VampDevice() : DriverObject(IID_IVampDevice, "Device", "QueryDevice") {}
    VAMP_UNUSED(03) VAMP_UNUSED(04) VAMP_UNUSED(05) VAMP_UNUSED(06) VAMP_UNUSED(07)
    VAMP_UNUSED(08) VAMP_UNUSED(09) VAMP_UNUSED(10) VAMP_UNUSED(11) VAMP_UNUSED(12)
    VAMP_UNUSED(13) VAMP_UNUSED(14) VAMP_UNUSED(15) VAMP_UNUSED(16) VAMP_UNUSED(17)
    VAMP_UNUSED(18) VAMP_UNUSED(19) VAMP_UNUSED(20)

    STDMETHODIMP GetGPIO(IUnknown** gpio) override
    {
        return Hand("GetGPIO", gpio, [] { return static_cast<IUnknown*>(NewVampGpio()); });
    }
    STDMETHODIMP GetI2C(IUnknown** i2c) override
    {
        return Hand("GetI2C", i2c, [] { return static_cast<IUnknown*>(NewVampI2C()); });
    }

private:
    template <class Make>
    static HRESULT Hand(const char* call, IUnknown** out, Make make)
    {
        if (!out)
            return E_POINTER;
        *out = NULL;
        if (DriverCallFails(call)) {
            CardLog("%s -> failed", call);
            return E_FAIL;
        }
        *out = make();
        if (!*out) {
            CardLog("%s -> out of memory", call);
            return E_OUTOFMEMORY;
        }
        CardLog("%s", call);
        return S_OK;
    }
};

}  // namespace

IVampDeviceEnumerator* NewVampEnumerator() { return new (std::nothrow) VampEnumerator; }
IVampDevice* NewVampDevice() { return new (std::nothrow) VampDevice; }
