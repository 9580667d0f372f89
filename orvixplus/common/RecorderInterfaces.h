// The maker's MPEG-1/2 recorder filter and image grabber filter as the capture
// engine calls them; their stand-ins implement the same tables. A call goes by
// its position in the interface's table (IUnknown's three methods are 0 to 2),
// so the Unused entries keep the places of methods nobody calls. Every value
// passed is 32 bits wide, in both builds.
#pragma once
#include <windows.h>
#include <unknwn.h>

// {5083B9E8-713F-40AA-B5F3-2AD35D3D7498}
inline const CLSID CLSID_BrinmarchMpegRecorder =
    {0x5083B9E8, 0x713F, 0x40AA, {0xB5, 0xF3, 0x2A, 0xD3, 0x5D, 0x3D, 0x74, 0x98}};
// {DABE44F1-4821-472F-AE49-1BA551A8CC78}: queried and held, never called.
inline const IID IID_IMpegRecorderA =
    {0xDABE44F1, 0x4821, 0x472F, {0xAE, 0x49, 0x1B, 0xA5, 0x51, 0xA8, 0xCC, 0x78}};
// {EED418E0-FBF0-40E4-9AE4-773388B82A89}
inline const IID IID_IMpegRecorderSecondSettings =
    {0xEED418E0, 0xFBF0, 0x40E4, {0x9A, 0xE4, 0x77, 0x33, 0x88, 0xB8, 0x2A, 0x89}};
// {A07A54EA-29F5-4A54-9BA9-C0F501959C33}: queried and held, never called.
inline const IID IID_IMpegRecorderB =
    {0xA07A54EA, 0x29F5, 0x4A54, {0x9B, 0xA9, 0xC0, 0xF5, 0x01, 0x95, 0x9C, 0x33}};
// {C291943E-8A3F-468E-AADD-66FE34C5EB8A}
inline const IID IID_IMpegRecorderVideoSettings =
    {0xC291943E, 0x8A3F, 0x468E, {0xAA, 0xDD, 0x66, 0xFE, 0x34, 0xC5, 0xEB, 0x8A}};

// {9532157F-0C5F-4EB3-A85F-6167DE76290D}
inline const CLSID CLSID_KestorImageGrabber =
    {0x9532157F, 0x0C5F, 0x4EB3, {0xA8, 0x5F, 0x61, 0x67, 0xDE, 0x76, 0x29, 0x0D}};
// {3FF64EF3-D0E5-4CEF-B0C5-675B7FD6F818}
inline const IID IID_IKestorImageGrabber =
    {0x3FF64EF3, 0xD0E5, 0x4CEF, {0xB0, 0xC5, 0x67, 0x5B, 0x7F, 0xD6, 0xF8, 0x18}};

// The recorder's stream and picture settings, and its byte counter.
struct IMpegRecorderVideoSettings : public IUnknown {
    STDMETHOD(SetStreamType)(int typeCode) = 0;            // 3
    STDMETHOD(Unused04)() = 0;
    STDMETHOD(SetBitRate)(int bitsPerSecond) = 0;          // 5
    STDMETHOD(Unused06)() = 0;
    STDMETHOD(Unused07)() = 0;
    STDMETHOD(SetFrameRateCode)(int code) = 0;             // 8
    STDMETHOD(Unused09)() = 0;
    STDMETHOD(SetSizeValue)(int value) = 0;                // 10
    STDMETHOD(Unused11)() = 0;
    STDMETHOD(Unused12)() = 0;
    STDMETHOD(SetOption13)(int value) = 0;                 // 13
    STDMETHOD(Unused14)() = 0;
    STDMETHOD(Unused15)() = 0;
    STDMETHOD(Unused16)() = 0;
    STDMETHOD(Unused17)() = 0;
    STDMETHOD(GetBytesWritten)(DWORD* bytes) = 0;          // 18
    STDMETHOD(SetOption19)(int value) = 0;                 // 19
    STDMETHOD(Unused20)() = 0;
    STDMETHOD(Unused21)() = 0;
    STDMETHOD(Unused22)() = 0;
    STDMETHOD(Unused23)() = 0;
    STDMETHOD(Unused24)() = 0;
    STDMETHOD(Unused25)() = 0;
    STDMETHOD(Unused26)() = 0;
    STDMETHOD(Unused27)() = 0;
    STDMETHOD(Unused28)() = 0;
    STDMETHOD(Unused29)() = 0;
    STDMETHOD(Unused30)() = 0;
    STDMETHOD(Unused31)() = 0;
    STDMETHOD(Unused32)() = 0;
    STDMETHOD(Unused33)() = 0;
    STDMETHOD(Unused34)() = 0;
    STDMETHOD(Unused35)() = 0;
    STDMETHOD(Unused36)() = 0;
    STDMETHOD(Unused37)() = 0;
    STDMETHOD(Unused38)() = 0;
    STDMETHOD(Unused39)() = 0;
    STDMETHOD(SetOption40)(int value) = 0;                 // 40
    STDMETHOD(Unused41)() = 0;
    STDMETHOD(Unused42)() = 0;
    STDMETHOD(Unused43)() = 0;
    STDMETHOD(Unused44)() = 0;
    STDMETHOD(Unused45)() = 0;
    STDMETHOD(Unused46)() = 0;
    STDMETHOD(Unused47)() = 0;
    STDMETHOD(Unused48)() = 0;
    STDMETHOD(Unused49)() = 0;
    STDMETHOD(Unused50)() = 0;
    STDMETHOD(Unused51)() = 0;
    STDMETHOD(Unused52)() = 0;
    STDMETHOD(Unused53)() = 0;
    STDMETHOD(SetFrameSize)(int width, int height) = 0;    // 54
};

// The recorder's second settings group.
struct IMpegRecorderSecondSettings : public IUnknown {
    STDMETHOD(SetValue03)(int value) = 0;                  // 3
    STDMETHOD(Unused04)() = 0;
    STDMETHOD(SetValue05)(int value) = 0;                  // 5
    STDMETHOD(Unused06)() = 0;
    STDMETHOD(SetValue07)(int value) = 0;                  // 7
    STDMETHOD(Unused08)() = 0;
    STDMETHOD(SetValue09)(int value) = 0;                  // 9
    STDMETHOD(Unused10)() = 0;
    STDMETHOD(SetValue11)(int value) = 0;                  // 11
    STDMETHOD(Unused12)() = 0;
    STDMETHOD(SetValue13)(int value) = 0;                  // 13
    STDMETHOD(Unused14)() = 0;
    STDMETHOD(SetValues15)(int a, int b, int c, int d) = 0; // 15
};

// The grabber's view of the newest frame (YUY2).
struct IKestorImageGrabber : public IUnknown {
    STDMETHOD(GetFrameSize)(int* width, int* height, int* third) = 0;  // 3
    STDMETHOD(GetBufferSize)(long* bytes) = 0;                         // 4
    STDMETHOD(GetBitmapHeader)(BITMAPINFOHEADER* header) = 0;          // 5
    STDMETHOD(Unused06)() = 0;
    STDMETHOD(Unused07)() = 0;
    STDMETHOD(GetCurrentFrame)(BYTE* buffer, int flag) = 0;            // 8
};
