// The card's I2C bus as the driver offers it: a slave address, then reads
// and writes that go to the card's bus.
#include "DriverObject.h"
#include <new>

namespace {

class VampI2C : public DriverObject<IVampI2C> {
public:
    VampI2C() : DriverObject(IID_IVampI2C, "I2C", "QueryI2C"), slave_(-1) {}
    VAMP_UNUSED(03) VAMP_UNUSED(04) VAMP_UNUSED(05) VAMP_UNUSED(06) VAMP_UNUSED(07)
    VAMP_UNUSED(09) VAMP_UNUSED(10) VAMP_UNUSED(11) VAMP_UNUSED(12) VAMP_UNUSED(13)
    VAMP_UNUSED(15) VAMP_UNUSED(16)

    STDMETHODIMP SetSlaveAddress(int address) override
    {
        if (address < 0 || address > 0xFF)
            return E_INVALIDARG;
        if (DriverCallFails("I2CSlave")) {
            CardLog("I2CSlave %02X -> failed", address);
            return E_FAIL;
        }
        InterlockedExchange(&slave_, address);
        CardLog("I2CSlave %02X", address);
        return S_OK;
    }

    STDMETHODIMP Read(BYTE* buffer, int length, int* count) override
    {
        return Transfer("I2CRead", buffer, length, count,
                        [](int slave, BYTE* b, int n) { return CardI2CRead(slave, b, n); });
    }

    STDMETHODIMP Write(const BYTE* buffer, int length, int* count) override
    {
        return Transfer("I2CWrite", const_cast<BYTE*>(buffer), length, count,
                        [](int slave, BYTE* b, int n) { return CardI2CWrite(slave, b, n); });
    }

private:
    template <class Bus>
    HRESULT Transfer(const char* call, BYTE* buffer, int length, int* count, Bus bus)
    {
        if (count)
            *count = 0;
        if (length < 0)
            return E_INVALIDARG;
        if (!buffer && length > 0)
            return E_POINTER;
        int slave = slave_;
        if (slave < 0) {
            CardLog("%s -> no slave address", call);
            return E_UNEXPECTED;
        }
        if (DriverCallFails(call)) {
            CardLog("%s %02X -> failed", call, slave);
            return E_FAIL;
        }
        // The bus logs the transfer itself, with what the card made of it.
        if (!bus(slave, buffer, length))
            return E_FAIL;
        if (count)
            *count = length;
        return S_OK;
    }

    volatile LONG slave_;
};

}  // namespace

IVampI2C* NewVampI2C() { return new (std::nothrow) VampI2C; }
