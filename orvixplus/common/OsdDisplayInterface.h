// The maker's on-screen-display filter as the preview graph calls it: a text
// item (mode 1) or a level bar (mode 5) drawn into the picture, kept until
// the display is switched off with Enable(0). Calls go by their position in
// the table (IUnknown's three methods are 0 to 2); Unused entries keep the
// places of methods nobody calls. Every call succeeds only with S_OK.
#pragma once
#include <windows.h>
#include <unknwn.h>

// {5B96FDFD-42CA-44D8-831C-E3F6503A88D6}
inline const CLSID CLSID_KsrOverlayFilter =
    {0x5B96FDFD, 0x42CA, 0x44D8, {0x83, 0x1C, 0xE3, 0xF6, 0x50, 0x3A, 0x88, 0xD6}};
// {EC42A369-0B4F-40C1-8206-C2282C04F658}
inline const IID IID_IKsrOverlayDisplay =
    {0xEC42A369, 0x0B4F, 0x40C1, {0x82, 0x06, 0xC2, 0x28, 0x2C, 0x04, 0xF6, 0x58}};

enum KsrOsdMode { KSR_OSD_OFF = 0, KSR_OSD_TEXT = 1, KSR_OSD_LEVEL = 5 };

struct IKsrOsdDisplay : public IUnknown {
    STDMETHOD(Enable)(int mode) = 0;                                  // 3
    STDMETHOD(Unused04)() = 0;
    STDMETHOD(Unused05)() = 0;
    STDMETHOD(Unused06)() = 0;
    STDMETHOD(SetBarGeometry)(int width, int height, int steps) = 0;  // 7
    STDMETHOD(SetBarFilled)(int count) = 0;                           // 8
    STDMETHOD(Unused09)() = 0;
    STDMETHOD(Unused10)() = 0;
    STDMETHOD(Unused11)() = 0;
    STDMETHOD(SetContent)(const char* text, int bytes, int mode) = 0; // 12
    STDMETHOD(Unused13)() = 0;
    STDMETHOD(SetColour)(int a, int b, int c, int mode) = 0;          // 14: 0, 128, 0
    STDMETHOD(Unused15)() = 0;
    STDMETHOD(SetPosition)(int x, int y, int mode) = 0;               // 16
    STDMETHOD(Unused17)() = 0;
    STDMETHOD(SetFont)(LOGFONTA font, int mode) = 0;                  // 18
    STDMETHOD(Unused19)() = 0;
    STDMETHOD(SetBackground)(double a, double b, int mode) = 0;       // 20: 0.0, 5.0
};
