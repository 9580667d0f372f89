// Helpers of the skin tests that use the real screen and mouse: pixel
// read-back of screen rectangles and bitmaps, and SendInput moves and clicks.
#pragma once
#include "SkinTestUtil.h"
#include <vector>

namespace skintest {

// Pixels of a rectangle of a context, top row first, 0x00RRGGBB.
inline std::vector<DWORD> ContextPixels(HDC src, const CRect& r)
{
    DWORD* bits = NULL;
    HBITMAP sec = CreateDib32(r.Width(), r.Height(), &bits);
    HDC mdc = CreateCompatibleDC(src);
    HGDIOBJ old = SelectObject(mdc, sec);
    BitBlt(mdc, 0, 0, r.Width(), r.Height(), src, r.left, r.top, SRCCOPY);
    GdiFlush();
    std::vector<DWORD> px(bits, bits + r.Width() * r.Height());
    for (DWORD& p : px)
        p &= 0xffffff;
    SelectObject(mdc, old);
    DeleteObject(sec);
    DeleteDC(mdc);
    return px;
}

inline std::vector<DWORD> ScreenPixels(const CRect& screen)
{
    HDC sdc = GetDC(NULL);
    std::vector<DWORD> px = ContextPixels(sdc, screen);
    ReleaseDC(NULL, sdc);
    return px;
}

inline std::vector<DWORD> BitmapPixels(HBITMAP bmp, const CRect& r)
{
    HDC dc = CreateCompatibleDC(NULL);
    HGDIOBJ old = SelectObject(dc, bmp);
    std::vector<DWORD> px = ContextPixels(dc, r);
    SelectObject(dc, old);
    DeleteDC(dc);
    return px;
}

// Pixels that differ inside region (client coordinates of the rectangle).
inline int Differences(const std::vector<DWORD>& a, const std::vector<DWORD>& b, int w, HRGN region)
{
    int n = 0;
    for (size_t i = 0; i < a.size(); ++i) {
        int x = (int)(i % w), y = (int)(i / w);
        if ((!region || PtInRegion(region, x, y)) && a[i] != b[i])
            ++n;
    }
    return n;
}

inline DWORD ScreenPixel(int x, int y) { return ScreenPixels(CRect(x, y, x + 1, y + 1))[0]; }

// 0x00RRGGBB of a COLORREF.
inline DWORD Rgb(COLORREF c) { return (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c); }

// The window the mouse helpers bring back to the front first (another test's
// window may have come up meanwhile).
inline HWND& KeepActive()
{
    static HWND h;
    return h;
}

inline INPUT MouseMoveInput(POINT screen)
{
    INPUT in = {};
    in.type = INPUT_MOUSE;
    in.mi.dx = (screen.x * 65536 + GetSystemMetrics(SM_CXSCREEN) / 2) / GetSystemMetrics(SM_CXSCREEN);
    in.mi.dy = (screen.y * 65536 + GetSystemMetrics(SM_CYSCREEN) / 2) / GetSystemMetrics(SM_CYSCREEN);
    in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    return in;
}

inline INPUT MouseButtonInput(bool down)
{
    INPUT in = {};
    in.type = INPUT_MOUSE;
    in.mi.dwFlags = down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
    return in;
}

inline void MouseTo(POINT screen)
{
    HWND keep = KeepActive();
    if (keep && GetForegroundWindow() != keep) {
        SetForegroundWindow(keep);
        SetActiveWindow(keep);
    }
    INPUT in = MouseMoveInput(screen);
    SendInput(1, &in, sizeof(in));
    ts::PumpFor(60);
}

inline void MouseButton(bool down)
{
    INPUT in = MouseButtonInput(down);
    SendInput(1, &in, sizeof(in));
    ts::PumpFor(60);
}

}  // namespace skintest
