// Times BitmapToRegion on the default skin's Mask and on larger masks, for
// scripts/bench-skin: median of several runs, rectangles in the result.
#include "BitmapUtil.h"
#include <stdio.h>
#include <algorithm>
#include <string>
#include <vector>

static std::string ExeDir()
{
    char path[MAX_PATH];
    DWORD n = GetModuleFileNameA(NULL, path, sizeof(path));
    std::string s(path, n);
    return s.substr(0, s.find_last_of("\\/") + 1);
}

// A mask like the skin's: white outside, a rounded body in one colour with a
// bulge and a hole, and round and long key areas in their own colours.
static HBITMAP MakePanelMask(int w, int h)
{
    HDC dc = CreateCompatibleDC(NULL);
    HBITMAP bmp = CreateDib32(w, h, NULL);
    HGDIOBJ old = SelectObject(dc, bmp);
    RECT all = { 0, 0, w, h };
    FillRect(dc, &all, (HBRUSH)GetStockObject(WHITE_BRUSH));
    SelectObject(dc, GetStockObject(NULL_PEN));
    HBRUSH body = CreateSolidBrush(RGB(0, 0, 0));
    SelectObject(dc, body);
    RoundRect(dc, 0, h / 12, w, h, 40, 40);
    RoundRect(dc, w / 3, 0, w * 2 / 3, h / 6, 24, 24);
    HBRUSH white = (HBRUSH)GetStockObject(WHITE_BRUSH);
    SelectObject(dc, white);
    Ellipse(dc, w - 40, h - 40, w - 24, h - 24);
    const COLORREF keys[] = { RGB(255, 0, 0), RGB(0, 255, 0), RGB(0, 0, 255), RGB(255, 255, 0),
                              RGB(0, 255, 255), RGB(255, 0, 255) };
    for (int row = 0; row < 4; ++row)
        for (int i = 0; i < 12; ++i) {
            HBRUSH b = CreateSolidBrush(keys[(row + i) % 6]);
            SelectObject(dc, b);
            int x = 20 + i * (w - 40) / 12, y = h / 5 + row * (h / 6);
            Ellipse(dc, x, y, x + w / 16, y + w / 16);
            SelectObject(dc, white);
            DeleteObject(b);
        }
    HBRUSH track = CreateSolidBrush(RGB(128, 0, 0));
    SelectObject(dc, track);
    RoundRect(dc, 20, h - 30, w - 60, h - 16, 14, 14);
    SelectObject(dc, old);
    DeleteObject(body);
    DeleteObject(track);
    DeleteDC(dc);
    return bmp;
}

// Every other pixel opaque: the worst case, one rectangle per opaque pixel.
static HBITMAP MakeDitheredMask(int w, int h)
{
    DWORD* p = NULL;
    HBITMAP bmp = CreateDib32(w, h, &p);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            p[y * w + x] = ((x + y) & 1) ? 0xffffff : 0;
    return bmp;
}

// The same pixels in a bitmap like the ones the skin loader makes.
static HBITMAP CompatibleCopy(HBITMAP src)
{
    BITMAP bm;
    GetObject(src, sizeof(bm), &bm);
    HBITMAP copy = NULL;
    CropBitmap(NULL, &copy, src, 0, 0, bm.bmWidth, bm.bmHeight);
    return copy;
}

static DWORD Rectangles(HRGN h)
{
    DWORD n = GetRegionData(h, 0, NULL);
    std::vector<char> buf(n);
    return n && GetRegionData(h, n, (RGNDATA*)buf.data()) ? ((RGNDATA*)buf.data())->rdh.nCount : 0;
}

static void Measure(const char* what, HBITMAP bmp, int runs)
{
    BITMAP bm;
    GetObject(bmp, sizeof(bm), &bm);
    LARGE_INTEGER freq;
    QueryPerformanceFrequency(&freq);
    std::vector<double> ms;
    DWORD rects = 0;
    for (int i = 0; i < runs; ++i) {
        LARGE_INTEGER a, b;
        QueryPerformanceCounter(&a);
        HRGN h = BitmapToRegion(bmp, RGB(255, 255, 255), RGB(16, 16, 16));
        QueryPerformanceCounter(&b);
        ms.push_back((b.QuadPart - a.QuadPart) * 1000.0 / freq.QuadPart);
        if (h) {
            rects = Rectangles(h);
            DeleteObject(h);
        }
    }
    std::sort(ms.begin(), ms.end());
    printf("%-28s %4ld x %-4ld %10lu %6d %10.2f\n", what, (long)bm.bmWidth, (long)bm.bmHeight,
           (unsigned long)rects, runs, ms[ms.size() / 2]);
}

int main()
{
    CoInitialize(NULL);
    CBitmap mask;
    CSize size;
    std::string path = ExeDir() + "skins\\elegance\\mask.bmp";
    if (!LoadPictureFile(path.c_str(), mask, size)) {
        fprintf(stderr, "cannot load %s\n", path.c_str());
        return 1;
    }
    printf("%-28s %-11s %10s %6s %10s\n", "BitmapToRegion of", "size", "rectangles", "runs", "median ms");
    Measure("the skin's Mask", mask, 20);
    HBITMAP big = MakePanelMask(800, 600);
    Measure("a panel mask", big, 20);
    HBITMAP bigCopy = CompatibleCopy(big);
    Measure("the same, screen-compatible", bigCopy, 20);
    DeleteObject(bigCopy);
    HBITMAP dithered = MakeDitheredMask(800, 600);
    Measure("a dithered mask (worst)", dithered, 3);
    DeleteObject(big);
    DeleteObject(dithered);
    CoUninitialize();
    return 0;
}
