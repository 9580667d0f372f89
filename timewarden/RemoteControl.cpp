#include "RemoteControl.h"
#include <string.h>
#include "AfxComPtr.h"
#include "CardDriverInterfaces.h"
#include "Afx.h"

namespace {

const int kPins = 5;

// Each text is shown once per run: a card that lacks the interface lacks it
// at every one of the polls that follow.
void ReportOnce(BOOL* pShown, LPCSTR text)
{
    if (*pShown)
        return;
    *pShown = TRUE;
    AfxMessageBox(text);
}

BOOL g_bDeviceReported = FALSE;
BOOL g_bGpioReported = FALSE;

}  // namespace

BOOL ReadRemoteCode(int* code)
{
    if (!code)
        return FALSE;
    *code = 0;
    ComPtr<IVampDeviceEnumerator> enumerator;
    if (FAILED(::CoCreateInstance(CLSID_VampDeviceEnumerator, NULL,
                                  CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER,
                                  IID_IVampDeviceEnumerator, enumerator.OutVoid())) || !enumerator)
        return FALSE;
    int count = 0;
    if (FAILED(enumerator->GetDeviceCount(&count)) || count <= 0)
        return FALSE;
    ComPtr<IUnknown> deviceObject;
    if (FAILED(enumerator->GetDevice(0, deviceObject.Out())) || !deviceObject)
        return FALSE;
    ComPtr<IVampDevice> device;
    if (FAILED(deviceObject->QueryInterface(IID_IVampDevice, device.OutVoid())) || !device) {
        ReportOnce(&g_bDeviceReported, "Failed IVampDevice creation");
        return FALSE;
    }
    ComPtr<IUnknown> gpioObject;
    if (FAILED(device->GetGPIO(gpioObject.Out())) || !gpioObject)
        return FALSE;
    ComPtr<IVampGPIO> gpio;
    if (FAILED(gpioObject->QueryInterface(IID_IVampGPIO, gpio.OutVoid())) || !gpio) {
        ReportOnce(&g_bGpioReported, "Failed IVampGPIO creation");
        return FALSE;
    }
    for (int pin = 0; pin < kPins; pin++)
        gpio->SetPinMode(pin, 0);
    int value = 0;
    for (int pin = kPins - 1; pin >= 0; pin--) {
        int bit = 0;
        if (FAILED(gpio->ReadPin(pin, &bit)))
            return FALSE;
        value = value * 2 + (bit ? 1 : 0);
    }
    *code = value;
    return TRUE;
}

CDigitEntry::CDigitEntry() : m_nNumber(0), m_nDigits(0), m_nTicks(0), m_bActive(FALSE)
{
    memset(m_pressed, 0, sizeof(m_pressed));
    memset(m_pending, 0, sizeof(m_pending));
}

void CDigitEntry::Press(int digit)
{
    if (digit < 0 || digit > 9)
        return;
    m_pressed[digit] = 1;
    m_pending[digit] = 1;
    m_bActive = TRUE;
}

void CDigitEntry::Append(int digit)
{
    if (m_nDigits >= kMaxDigits)
        return;
    m_nNumber = m_nNumber * 10 + digit;
    m_nDigits++;
}

int CDigitEntry::Tick()
{
    // The digits that came before the first tick start the number rather
    // than extend one.
    if (m_nTicks == 0)
        memset(m_pressed, 0, sizeof(m_pressed));
    for (int i = 0; i < 10; i++) {
        if (m_pending[i] && !m_pressed[i]) {
            m_nNumber = i;
            m_nDigits = 1;
            m_pending[i] = 0;
        }
        if (m_pressed[i]) {
            Append(i);
            m_pressed[i] = 0;
            m_pending[i] = 0;
        }
    }
    if (m_nTicks == kSendTick) {
        int number = m_nNumber;
        m_nNumber = 0;
        m_nDigits = 0;
        m_nTicks = 0;
        m_bActive = FALSE;
        return number;
    }
    m_nTicks++;
    return kTyping;
}
