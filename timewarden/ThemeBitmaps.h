// Timewarden's own bitmap routines for its themed frame and controls: the
// caption's window region (one exact key colour, one rectangle per run),
// drawing with one colour transparent, plain and stretched copies, and the
// picture loader for the theme's image files. Colours are COLORREFs.
#pragma once
#include "Afx.h"

// The display's device-independent layout of a bitmap. The colour table has
// room for 256 entries whatever the depth: the system writes the three masks
// of a bit-fields layout there too.
struct ThemeDibInfo {
    BITMAPINFOHEADER bmiHeader;
    RGBQUAD bmiColors[256];
};
// Fills *pInfo for hBitmap as the display delivers it (no bits read).
BOOL GetDisplayDibLayout(HBITMAP hBitmap, ThemeDibInfo* pInfo);

// Everything but the pixels of exactly the key colour; the caller owns the
// region. NULL only for a bitmap that cannot be read; an image of the key
// colour alone gives an empty region.
HRGN MakeBitmapRegion(HBITMAP hBitmap, COLORREF key);

// Copies width x height of hBitmap from (srcX, srcY) to (x, y), leaving the
// target as it was under the pixels of the key colour.
void DrawBitmapTransparent(HDC hDC, int x, int y, int width, int height, HBITMAP hBitmap,
                           int srcX, int srcY, COLORREF key, HPALETTE hPalette = NULL);
// The source rectangle at (x, y), transparent or plain.
void DrawBitmapPart(HBITMAP hBitmap, HDC hDC, int x, int y, const RECT& src, COLORREF key,
                    BOOL bTransparent);
// The source rectangle (or the whole bitmap when NULL) at (x, y), 1:1.
void CopyBitmapPart(HBITMAP hBitmap, HDC hDC, int x, int y, const RECT* pSrc);
// The bitmap from its origin into the rectangle, 1:1 (cut at its size).
void CopyBitmapToRect(HBITMAP hBitmap, HDC hDC, const RECT& target);
// The source rectangle (or the whole bitmap) stretched into the target.
void StretchBitmap(HBITMAP hBitmap, HDC hDC, const RECT& target, const RECT* pSrc);

// The size of a bitmap, 0 x 0 for none.
CSize BitmapSize(HBITMAP hBitmap);

// Decodes a picture file (BMP, GIF, JPEG, whatever the system's picture
// object reads) into a bitmap of the display's format, filled first with
// crBackground unless that is -1. Refuses an object that holds a bitmap
// already and keeps it; on any failure the object stays empty.
BOOL LoadImageFileBitmap(CBitmap& bitmap, LPCSTR lpszPath, COLORREF crBackground);
