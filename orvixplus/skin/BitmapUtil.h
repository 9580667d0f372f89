// Bitmap helpers of the skins: loading picture files, cutting parts out of a
// skin image, stretched and tiled drawing, and window regions made from
// bitmaps. Colours are COLORREFs (red in the low byte). Every bitmap or region
// returned belongs to the caller.
#pragma once
#include "Afx.h"
#include "Dib32.h"

// Decodes a BMP, GIF or JPEG file into a bitmap the caller owns (whatever the
// bitmap held before is deleted). A file that cannot be read or decoded leaves
// the bitmap empty, a size of 0 x 0 and FALSE.
BOOL LoadPictureFile(LPCTSTR lpszPath, CBitmap& bitmap, CSize& size);

// Copies the rectangle of hSrc 1:1 into a new bitmap compatible with hDC (the
// screen when NULL), stored in *phOut. A NULL source leaves *phOut as it was.
void CropBitmap(HDC hDC, HBITMAP* phOut, HBITMAP hSrc, int left, int top, int right, int bottom);
// The same with framework objects: the cut is attached to pOut (emptied
// first); a source without a bitmap leaves pOut empty.
void CropBitmapToObject(CDC* pDC, CBitmap* pOut, CBitmap* pSrc, const RECT& rect);

// Everything but the colours from transparent up to transparent + tolerance
// (per component, clamped at 255). NULL only for a NULL bitmap or when memory
// or a context runs out; an image without an opaque pixel gives an empty region.
HRGN BitmapToRegion(HBITMAP hBitmap, COLORREF transparent, COLORREF tolerance);
// Exactly the pixels of the key colour.
HRGN BitmapColorToRegion(HBITMAP hBitmap, COLORREF key);

// A bitmap resource as a section (24-bit for the program's own), which the
// cuts read in place: the platform's own resource loader makes a bitmap of
// the screen's kind, and each one asks the display about itself when first
// selected. The caller owns it.
HBITMAP LoadResourceSection(HINSTANCE hInst, LPCTSTR lpszName);
// The same, loaded once for the whole run and shared by every caller: for the
// sheets the settings pages cut dozens of controls from. Callers neither
// change nor delete it; NULL when the resource is missing.
HBITMAP SharedResourceBitmap(UINT nID);

// The whole bitmap stretched into the rectangle.
void DrawBitmapStretched(HDC hDC, const RECT& rect, HBITMAP hBitmap);
// The bitmap stretched to tileWidth x tileHeight at every step from the
// rectangle's top-left, cut at its right and bottom edges. Draws nothing for a
// tile size that is not positive. The caller's clip is kept.
void TileBitmap(HDC hDC, const RECT& rect, HBITMAP hBitmap, int tileWidth, int tileHeight);
// A copy of the region scaled about the origin, then moved by (dx, dy).
HRGN ScaleRegion(HRGN hRgn, float scaleX, float scaleY, int dx, int dy);

// A copy of a region (NULL for NULL or when it cannot be made).
HRGN CopyRegion(HRGN hRgn);

// Integer bounds (the platform's min and max macros are not defined here).
inline int SkinMax(int a, int b) { return a > b ? a : b; }
inline int SkinMin(int a, int b) { return a < b ? a : b; }

// Keeps the caller's clip region of a context and puts it back when it goes.
class CSaveClip {
public:
    explicit CSaveClip(HDC hDC);
    ~CSaveClip();
    // Intersects the clip with a region given in the context's logical
    // coordinates (offset to device coordinates as the clip wants).
    void IntersectLogical(HRGN hRgn);
private:
    HDC m_hDC;
    HRGN m_hSaved;
    BOOL m_bHad;
    CSaveClip(const CSaveClip&);
    CSaveClip& operator=(const CSaveClip&);
};

// For tests: the allocator the region builders grow their rectangle buffer
// with (realloc semantics). Returns the previous one.
typedef void* (*SkinReallocFn)(void* p, size_t n);
SkinReallocFn SetRegionRealloc(SkinReallocFn fn);
