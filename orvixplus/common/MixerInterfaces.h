// The Overlay Mixer's pin configuration interface as the capture engine calls
// it and the mixer stand-in answers it: the toolchain has the identifier
// (IID_IMixerPinConfig, in its uuid library) but not the table. Slots 0 to 2
// are IUnknown's.
#pragma once
#include <windows.h>
#include <strmif.h>

// {CD8743A1-3736-11D0-9E69-00C04FD7C15B}
inline const CLSID CLSID_OverlayMixerStandin =
    {0xCD8743A1, 0x3736, 0x11D0, {0x9E, 0x69, 0x00, 0xC0, 0x4F, 0xD7, 0xC1, 0x5B}};

enum AM_ASPECT_RATIO_MODE {
    AM_ARMODE_STRETCHED = 0,
    AM_ARMODE_LETTER_BOX = 1,
    AM_ARMODE_CROP = 2,
    AM_ARMODE_STRETCHED_AS_PRIMARY = 3,
};

struct IMixerPinConfig : public IUnknown {
    STDMETHOD(SetRelativePosition)(DWORD left, DWORD top, DWORD right, DWORD bottom) = 0;      // 3
    STDMETHOD(GetRelativePosition)(DWORD* left, DWORD* top, DWORD* right, DWORD* bottom) = 0;  // 4
    STDMETHOD(SetZOrder)(DWORD z) = 0;                                                         // 5
    STDMETHOD(GetZOrder)(DWORD* z) = 0;                                                        // 6
    STDMETHOD(SetColorKey)(COLORKEY* key) = 0;                                                 // 7
    STDMETHOD(GetColorKey)(COLORKEY* key, DWORD* color) = 0;                                   // 8
    STDMETHOD(SetBlendingParameter)(DWORD value) = 0;                                          // 9
    STDMETHOD(GetBlendingParameter)(DWORD* value) = 0;                                         // 10
    STDMETHOD(SetAspectRatioMode)(AM_ASPECT_RATIO_MODE mode) = 0;                              // 11
    STDMETHOD(GetAspectRatioMode)(AM_ASPECT_RATIO_MODE* mode) = 0;                             // 12
    STDMETHOD(SetStreamTransparent)(BOOL transparent) = 0;                                     // 13
    STDMETHOD(GetStreamTransparent)(BOOL* transparent) = 0;                                    // 14
};
