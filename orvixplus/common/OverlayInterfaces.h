// The maker's on-screen-display filter as the capture engine calls it; its
// stand-in implements the same table. A call goes by its position in the
// table (IUnknown's three methods are 0 to 2), so the Unused entries keep the
// places of methods nobody calls. Every call names the item it is about: mode
// 1 the text, mode 5 the level bar; 0 given to Enable switches the display
// off. Only S_OK counts as success.
#pragma once
#include <windows.h>
#include <unknwn.h>

// {5B96FDFD-42CA-44D8-831C-E3F6503A88D6}
inline const CLSID CLSID_KsrOverlay =
    {0x5B96FDFD, 0x42CA, 0x44D8, {0x83, 0x1C, 0xE3, 0xF6, 0x50, 0x3A, 0x88, 0xD6}};
// {EC42A369-0B4F-40C1-8206-C2282C04F658}
inline const IID IID_IKsrOverlay =
    {0xEC42A369, 0x0B4F, 0x40C1, {0x82, 0x06, 0xC2, 0x28, 0x2C, 0x04, 0xF6, 0x58}};

enum { KSR_OSD_OFF = 0, KSR_OSD_TEXT = 1, KSR_OSD_BAR = 5 };

struct IKsrOverlay : public IUnknown {
    STDMETHOD(Enable)(int mode) = 0;                                        // 3
    STDMETHOD(Unused04)() = 0;
    STDMETHOD(Unused05)() = 0;
    STDMETHOD(Unused06)() = 0;
    STDMETHOD(SetBar)(int width, int height, int steps) = 0;                // 7
    STDMETHOD(SetFilled)(int steps) = 0;                                    // 8
    STDMETHOD(Unused09)() = 0;
    STDMETHOD(Unused10)() = 0;
    STDMETHOD(Unused11)() = 0;
    STDMETHOD(SetContent)(const char* text, int bytes, int mode) = 0;       // 12
    STDMETHOD(Unused13)() = 0;
    STDMETHOD(SetColor)(int red, int green, int blue, int mode) = 0;        // 14
    STDMETHOD(Unused15)() = 0;
    STDMETHOD(SetPosition)(int x, int y, int mode) = 0;                     // 16
    STDMETHOD(Unused17)() = 0;
    STDMETHOD(SetFont)(LOGFONTA font, int mode) = 0;                        // 18
    STDMETHOD(Unused19)() = 0;
    STDMETHOD(SetBackground)(double opacity, double margin, int mode) = 0;  // 20
};

static_assert(sizeof(LOGFONTA) == 60, "the font goes by value as 60 bytes");
