// The capture card driver's COM objects as OrvixPlus and Timewarden call them:
// the device enumerator, the device (IVampDevice), its GPIO pins and its I2C
// bus. Only the methods the programs call are named; the driver has methods
// in the other slots too, which is why the Unused entries keep their places:
// a call goes by its position in the table.
#pragma once
#include <windows.h>
#include <unknwn.h>

// {B8A9279E-C453-11D4-AD45-0060080BA634}
inline const CLSID CLSID_VampDeviceEnumerator =
    { 0xB8A9279E, 0xC453, 0x11D4, { 0xAD, 0x45, 0x00, 0x60, 0x08, 0x0B, 0xA6, 0x34 } };
// {B8A9279D-C453-11D4-AD45-0060080BA634}
inline const IID IID_IVampDeviceEnumerator =
    { 0xB8A9279D, 0xC453, 0x11D4, { 0xAD, 0x45, 0x00, 0x60, 0x08, 0x0B, 0xA6, 0x34 } };
// {B8A9279F-C453-11D4-AD45-0060080BA634}
inline const IID IID_IVampDevice =
    { 0xB8A9279F, 0xC453, 0x11D4, { 0xAD, 0x45, 0x00, 0x60, 0x08, 0x0B, 0xA6, 0x34 } };
// {B50FC4B1-CD0E-11D4-AD5D-0060080BA634}
inline const IID IID_IVampGPIO =
    { 0xB50FC4B1, 0xCD0E, 0x11D4, { 0xAD, 0x5D, 0x00, 0x60, 0x08, 0x0B, 0xA6, 0x34 } };
// {B50FC4B0-CD0E-11D4-AD5D-0060080BA634}
inline const IID IID_IVampI2C =
    { 0xB50FC4B0, 0xCD0E, 0x11D4, { 0xAD, 0x5D, 0x00, 0x60, 0x08, 0x0B, 0xA6, 0x34 } };

// The card's I2C addresses the programs talk to.
enum {
    VAMP_I2C_TUNER = 0xC0,       // tuner PLL; also takes the remote receiver's commands
    VAMP_I2C_REMOTE_READ = 0xC1, // remote receiver: its ID bytes
};

struct IVampDeviceEnumerator : public IUnknown {
    STDMETHOD(Unused03)() = 0;
    STDMETHOD(Unused04)() = 0;
    STDMETHOD(Unused05)() = 0;
    STDMETHOD(Unused06)() = 0;
    STDMETHOD(GetDeviceCount)(int* count) = 0;              // 7
    STDMETHOD(GetDevice)(int index, IUnknown** device) = 0; // 8
};

struct IVampDevice : public IUnknown {
    STDMETHOD(Unused03)() = 0;
    STDMETHOD(Unused04)() = 0;
    STDMETHOD(Unused05)() = 0;
    STDMETHOD(Unused06)() = 0;
    STDMETHOD(Unused07)() = 0;
    STDMETHOD(Unused08)() = 0;
    STDMETHOD(Unused09)() = 0;
    STDMETHOD(Unused10)() = 0;
    STDMETHOD(Unused11)() = 0;
    STDMETHOD(Unused12)() = 0;
    STDMETHOD(Unused13)() = 0;
    STDMETHOD(Unused14)() = 0;
    STDMETHOD(Unused15)() = 0;
    STDMETHOD(Unused16)() = 0;
    STDMETHOD(Unused17)() = 0;
    STDMETHOD(Unused18)() = 0;
    STDMETHOD(Unused19)() = 0;
    STDMETHOD(Unused20)() = 0;
    STDMETHOD(GetGPIO)(IUnknown** gpio) = 0;  // 21
    STDMETHOD(GetI2C)(IUnknown** i2c) = 0;    // 22
};

struct IVampGPIO : public IUnknown {
    STDMETHOD(Unused03)() = 0;
    STDMETHOD(Unused04)() = 0;
    STDMETHOD(Unused05)() = 0;
    STDMETHOD(Unused06)() = 0;
    STDMETHOD(Unused07)() = 0;
    STDMETHOD(Unused08)() = 0;
    STDMETHOD(Unused09)() = 0;
    STDMETHOD(Unused10)() = 0;
    STDMETHOD(ReadPin)(int pin, int* value) = 0;   // 11
    // Mode 0 makes the pin an input; the remote's pins are set so before reading.
    STDMETHOD(SetPinMode)(int pin, int mode) = 0;  // 12
};

struct IVampI2C : public IUnknown {
    STDMETHOD(Unused03)() = 0;
    STDMETHOD(Unused04)() = 0;
    STDMETHOD(Unused05)() = 0;
    STDMETHOD(Unused06)() = 0;
    STDMETHOD(Unused07)() = 0;
    STDMETHOD(SetSlaveAddress)(int address) = 0;  // 8
    STDMETHOD(Unused09)() = 0;
    STDMETHOD(Unused10)() = 0;
    STDMETHOD(Unused11)() = 0;
    STDMETHOD(Unused12)() = 0;
    STDMETHOD(Unused13)() = 0;
    STDMETHOD(Read)(BYTE* buffer, int length, int* count) = 0;         // 14
    STDMETHOD(Unused15)() = 0;
    STDMETHOD(Unused16)() = 0;
    STDMETHOD(Write)(const BYTE* buffer, int length, int* count) = 0;  // 17
};
