#include "Dib32.h"

BITMAPINFO DibInfo(int width, int height, WORD bitCount)
{
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
    bi.bmiHeader.biWidth = width;
    bi.bmiHeader.biHeight = height;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = bitCount;
    bi.bmiHeader.biCompression = BI_RGB;
    return bi;
}

HBITMAP CreateDib32(int width, int height, DWORD** ppBits)
{
    BITMAPINFO bi = DibInfo(width, -height, 32);
    void* bits = NULL;
    HBITMAP h = ::CreateDIBSection(NULL, &bi, DIB_RGB_COLORS, &bits, NULL, 0);
    if (ppBits)
        *ppBits = h ? (DWORD*)bits : NULL;
    return h;
}
