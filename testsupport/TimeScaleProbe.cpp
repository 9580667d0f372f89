// Times a fixed piece of the work the tests' programs do: arithmetic over a
// video frame, window messages and GDI drawing. scripts/test runs it in both
// builds and divides: the 32-bit build under emulation is that much slower,
// and the tests' time limits are scaled by the quotient. Prints the best of
// five rounds, in milliseconds.
#include <windows.h>
#include <stdio.h>
#include <vector>

static LRESULT CALLBACK ProbeProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
{
    if (msg == WM_USER)
        return wp + 1;
    return DefWindowProcA(hwnd, msg, wp, lp);
}

static double Now()
{
    LARGE_INTEGER t, f;
    QueryPerformanceCounter(&t);
    QueryPerformanceFrequency(&f);
    return (double)t.QuadPart * 1000.0 / (double)f.QuadPart;
}

// YUY2 to RGB32 in integers, as a capture path does, over one PAL frame.
static unsigned Frame(const std::vector<BYTE>& yuy2, std::vector<DWORD>& rgb)
{
    unsigned sum = 0;
    for (size_t i = 0, o = 0; i + 3 < yuy2.size(); i += 4, o += 2) {
        int u = yuy2[i + 1] - 128, v = yuy2[i + 3] - 128;
        for (int k = 0; k < 2; ++k) {
            int c = (yuy2[i + 2 * k] - 16) * 298;
            int r = (c + 409 * v + 128) >> 8, g = (c - 100 * u - 208 * v + 128) >> 8, b = (c + 516 * u + 128) >> 8;
            r = r < 0 ? 0 : r > 255 ? 255 : r;
            g = g < 0 ? 0 : g > 255 ? 255 : g;
            b = b < 0 ? 0 : b > 255 ? 255 : b;
            rgb[o + k] = (DWORD)(r << 16 | g << 8 | b);
        }
        sum += rgb[o];
    }
    return sum;
}

// Where the results go, so that the compiler keeps the work that makes them.
static volatile unsigned g_sink;

int main()
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = ProbeProc;
    wc.hInstance = GetModuleHandleA(NULL);
    wc.lpszClassName = "OrvixTimeScaleProbe";
    RegisterClassA(&wc);
    std::vector<BYTE> yuy2(720 * 576 * 2);
    for (size_t i = 0; i < yuy2.size(); ++i)
        yuy2[i] = (BYTE)(i * 7 + (i >> 11));
    std::vector<DWORD> rgb(720 * 576);
    double best = 1e9;
    for (int round = 0; round < 5; ++round) {
        double start = Now();
        for (int i = 0; i < 4; ++i)
            g_sink += Frame(yuy2, rgb);
        HWND hwnd = CreateWindowA("OrvixTimeScaleProbe", "probe", WS_POPUP | WS_VISIBLE, 0, 0, 320, 240, NULL,
                                  NULL, wc.hInstance, NULL);
        for (int i = 0; i < 500; ++i)
            g_sink += (unsigned)SendMessageA(hwnd, WM_USER, i, 0);
        HDC screen = GetDC(hwnd);
        HDC memory = CreateCompatibleDC(screen);
        HBITMAP bitmap = CreateCompatibleBitmap(screen, 320, 240);
        HGDIOBJ old = SelectObject(memory, bitmap);
        for (int i = 0; i < 50; ++i) {
            PatBlt(memory, 0, 0, 320, 240, (i & 1) ? WHITENESS : BLACKNESS);
            BitBlt(screen, 0, 0, 320, 240, memory, 0, 0, SRCCOPY);
        }
        SelectObject(memory, old);
        DeleteObject(bitmap);
        DeleteDC(memory);
        ReleaseDC(hwnd, screen);
        DestroyWindow(hwnd);
        MSG msg;
        while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE))
            DispatchMessageA(&msg);
        double took = Now() - start;
        if (took < best)
            best = took;
    }
    printf("%.1f\n", best);
    return 0;
}
