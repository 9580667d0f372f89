// The card's general-purpose pins. Pins 0 to 4 carry the remote receiver's
// latched key code, bit n on pin n, once they are set up as inputs.
#include "DriverObject.h"
#include <new>

namespace {

const int kPinCount = 32;
const DWORD kRemotePins = 0x1F;

class VampGpio : public DriverObject<IVampGPIO> {
public:
    VampGpio() : DriverObject(IID_IVampGPIO, "GPIO", "QueryGPIO"), inputs_(0), read_(0), code_(0)
    {
        InitializeCriticalSection(&lock_);
    }
    ~VampGpio() override { DeleteCriticalSection(&lock_); }
    VAMP_UNUSED(03) VAMP_UNUSED(04) VAMP_UNUSED(05) VAMP_UNUSED(06) VAMP_UNUSED(07)
    VAMP_UNUSED(08) VAMP_UNUSED(09) VAMP_UNUSED(10)

    STDMETHODIMP SetPinMode(int pin, int mode) override
    {
        if (pin < 0 || pin >= kPinCount)
            return E_INVALIDARG;
        if (DriverCallFails("GPIOSetup")) {
            CardLog("GPIOSetup %d %d -> failed", pin, mode);
            return E_FAIL;
        }
        EnterCriticalSection(&lock_);
        if (mode == 0)
            inputs_ |= 1u << pin;
        else
            inputs_ &= ~(1u << pin);
        LeaveCriticalSection(&lock_);
        CardLog("GPIOSetup %d %d", pin, mode);
        return S_OK;
    }

    STDMETHODIMP ReadPin(int pin, int* value) override
    {
        if (!value)
            return E_POINTER;
        if (pin < 0 || pin >= kPinCount)
            return E_INVALIDARG;
        if (DriverCallFails("GPIORead")) {
            CardLog("GPIORead %d -> failed", pin);
            return E_FAIL;
        }
        DWORD bit = 1u << pin;
        int consumed = -1;
        EnterCriticalSection(&lock_);
        *value = 0;
        if ((inputs_ & bit) && (kRemotePins & bit)) {
            // The code is taken when a read of the pins begins, so that a key
            // pressed halfway does not mix its bits into this one.
            if (read_ == 0)
                code_ = CardPendingKey();
            *value = (code_ >> pin) & 1;
            read_ |= bit;
            if (read_ == kRemotePins) {
                consumed = code_;
                read_ = 0;
            }
        }
        LeaveCriticalSection(&lock_);
        CardLog("GPIORead %d -> %d", pin, *value);
        if (consumed > 0)
            CardConsumeKey(consumed);
        return S_OK;
    }

private:
    CRITICAL_SECTION lock_;
    DWORD inputs_;  // pins set up as inputs
    DWORD read_;    // remote pins read since the code was taken
    int code_;
};

}  // namespace

IVampGPIO* NewVampGpio() { return new (std::nothrow) VampGpio; }
