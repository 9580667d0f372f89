// 32-bit device-independent sections: what the region builders, the menu
// images and the tests read and write pixel by pixel.
#pragma once
#include <windows.h>

// A top-down 32-bit section (0x00RRGGBB pixels, stride = width).
HBITMAP CreateDib32(int width, int height, DWORD** ppBits);

// The header of an uncompressed device-independent bitmap: bottom-up for a
// positive height, top-down for a negative one.
BITMAPINFO DibInfo(int width, int height, WORD bitCount);
