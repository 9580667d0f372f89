#include "ThemeBitmaps.h"
#include <olectl.h>
#include <stdlib.h>
#include <string.h>
#include <vector>
#include "StoredFile.h"

namespace {

// A memory context with one bitmap selected, put back when it goes.
class CScopedMemDC {
public:
    CScopedMemDC(HDC hRef, HGDIOBJ hBitmap) : m_hDC(::CreateCompatibleDC(hRef)), m_hOld(NULL)
    {
        if (m_hDC && hBitmap)
            m_hOld = ::SelectObject(m_hDC, hBitmap);
    }
    ~CScopedMemDC()
    {
        if (!m_hDC)
            return;
        if (m_hOld)
            ::SelectObject(m_hDC, m_hOld);
        ::DeleteDC(m_hDC);
    }
    operator HDC() const { return m_hDC; }
private:
    HDC m_hDC;
    HGDIOBJ m_hOld;
    CScopedMemDC(const CScopedMemDC&);
    CScopedMemDC& operator=(const CScopedMemDC&);
};

// The rectangles of a region, grown in steps as the runs are found.
class CRunRects {
public:
    explicit CRunRects(int nFirst) : m_nCount(0) { Grow(nFirst > 0 ? nFirst : kStep); }
    void Add(int left, int top, int right, int bottom)
    {
        if (m_nCount == Capacity())
            Grow(kStep);
        RECT r = {left, top, right, bottom};
        Rects()[m_nCount++] = r;
        RECT& bound = Header().rcBound;
        if (m_nCount == 1) {
            bound = r;
        } else {
            if (left < bound.left) bound.left = left;
            if (right > bound.right) bound.right = right;
            if (bottom > bound.bottom) bound.bottom = bottom;
        }
    }
    HRGN Create()
    {
        RGNDATAHEADER& h = Header();
        h.dwSize = sizeof(RGNDATAHEADER);
        h.iType = RDH_RECTANGLES;
        h.nCount = m_nCount;
        h.nRgnSize = m_nCount * sizeof(RECT);
        return ::ExtCreateRegion(NULL, sizeof(RGNDATAHEADER) + m_nCount * sizeof(RECT),
                                 (const RGNDATA*)m_buffer.data());
    }
private:
    enum { kStep = 40 };
    int Capacity() const { return (int)((m_buffer.size() - sizeof(RGNDATAHEADER)) / sizeof(RECT)); }
    void Grow(int n)
    {
        size_t size = m_buffer.empty() ? sizeof(RGNDATAHEADER) : m_buffer.size();
        m_buffer.resize(size + n * sizeof(RECT));
    }
    RGNDATAHEADER& Header() { return *(RGNDATAHEADER*)m_buffer.data(); }
    RECT* Rects() { return (RECT*)(m_buffer.data() + sizeof(RGNDATAHEADER)); }
    std::vector<BYTE> m_buffer;
    int m_nCount;
};

// The key as the pixel of a row holds it; for 8 bits each index is looked up.
struct PixelKey {
    int bytes;            // per pixel: 1, 2, 3 or 4
    DWORD value;          // 16, 24 and 32 bits
    const RGBQUAD* palette;
    COLORREF key;
};

BOOL IsKeyPixel(const PixelKey& k, const BYTE* p)
{
    switch (k.bytes) {
    case 1: {
        const RGBQUAD& q = k.palette[*p];
        return q.rgbRed == GetRValue(k.key) && q.rgbGreen == GetGValue(k.key) && q.rgbBlue == GetBValue(k.key);
    }
    case 2:
        return (DWORD)(p[0] | (p[1] << 8)) == k.value;
    default:
        return (DWORD)(p[0] | (p[1] << 8) | (p[2] << 16)) == k.value;
    }
}

}  // namespace

CSize BitmapSize(HBITMAP hBitmap)
{
    BITMAP bm;
    if (!hBitmap || !::GetObject(hBitmap, sizeof(bm), &bm))
        return CSize(0, 0);
    return CSize(bm.bmWidth, bm.bmHeight);
}

BOOL GetDisplayDibLayout(HBITMAP hBitmap, ThemeDibInfo* pInfo)
{
    if (!hBitmap || !pInfo)
        return FALSE;
    memset(pInfo, 0, sizeof(*pInfo));
    pInfo->bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    HDC hIC = ::CreateICA("DISPLAY", NULL, NULL, NULL);
    if (!hIC)
        return FALSE;
    int n = ::GetDIBits(hIC, hBitmap, 0, 0, NULL, (BITMAPINFO*)pInfo, DIB_RGB_COLORS);
    ::DeleteDC(hIC);
    return n != 0 && pInfo->bmiHeader.biWidth > 0 && pInfo->bmiHeader.biHeight != 0;
}

HRGN MakeBitmapRegion(HBITMAP hBitmap, COLORREF key)
{
    ThemeDibInfo info;
    if (!GetDisplayDibLayout(hBitmap, &info))
        return NULL;
    BITMAPINFOHEADER& h = info.bmiHeader;
    int width = h.biWidth;
    int height = abs(h.biHeight);
    int bpp = h.biBitCount;
    if (bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32)
        return NULL;
    DWORD stride = ((DWORD)width * bpp / 8 + 3) & ~3u;
    if (!h.biSizeImage)
        h.biSizeImage = stride * height;
    std::vector<BYTE> bits(h.biSizeImage + 4);
    // Asked bottom-up, as the system delivers a bitmap.
    h.biHeight = height;
    HDC hIC = ::CreateICA("DISPLAY", NULL, NULL, NULL);
    if (!hIC)
        return NULL;
    int got = ::GetDIBits(hIC, hBitmap, 0, height, bits.data(), (BITMAPINFO*)&info, DIB_RGB_COLORS);
    ::DeleteDC(hIC);
    if (got != height)
        return NULL;

    PixelKey k = {bpp / 8, 0, info.bmiColors, key};
    if (bpp == 16)
        k.value = ((GetRValue(key) >> 3) << 11) | ((GetGValue(key) >> 2) << 5) | (GetBValue(key) >> 3);
    else if (bpp != 8)
        k.value = GetBValue(key) | (GetGValue(key) << 8) | (GetRValue(key) << 16);

    CRunRects rects(height);
    for (int y = 0; y < height; y++) {
        const BYTE* row = bits.data() + (DWORD)(height - 1 - y) * stride;
        int start = -1;
        for (int x = 0; x < width; x++) {
            BOOL bKey = IsKeyPixel(k, row + x * k.bytes);
            if (!bKey && start < 0) {
                start = x;
            } else if (bKey && start >= 0) {
                rects.Add(start, y, x, y + 1);
                start = -1;
            }
        }
        if (start >= 0)
            rects.Add(start, y, width, y + 1);
    }
    return rects.Create();
}

void DrawBitmapTransparent(HDC hDC, int x, int y, int width, int height, HBITMAP hBitmap,
                           int srcX, int srcY, COLORREF key, HPALETTE hPalette)
{
    if (!hDC || !hBitmap || width <= 0 || height <= 0)
        return;
    HBITMAP hCopy = ::CreateCompatibleBitmap(hDC, width, height);
    HBITMAP hMask = ::CreateBitmap(width, height, 1, 1, NULL);
    if (hCopy && hMask) {
        CScopedMemDC src(hDC, hBitmap), copy(hDC, hCopy), mask(hDC, hMask);
        HPALETTE hOldPal = NULL, hOldCopyPal = NULL;
        BOOL bPalette = hPalette && (::GetDeviceCaps(hDC, RASTERCAPS) & RC_PALETTE);
        if (bPalette) {
            hOldPal = ::SelectPalette(hDC, hPalette, FALSE);
            ::RealizePalette(hDC);
            hOldCopyPal = ::SelectPalette(copy, hPalette, FALSE);
        }
        ::BitBlt(copy, 0, 0, width, height, src, srcX, srcY, SRCCOPY);
        // Key pixels become 1 in the mask, then black in the copy.
        ::SetBkColor(copy, key);
        ::BitBlt(mask, 0, 0, width, height, copy, 0, 0, SRCCOPY);
        ::SetBkColor(copy, RGB(0, 0, 0));
        ::SetTextColor(copy, RGB(255, 255, 255));
        ::BitBlt(copy, 0, 0, width, height, mask, 0, 0, SRCAND);
        COLORREF oldBk = ::SetBkColor(hDC, RGB(255, 255, 255));
        COLORREF oldText = ::SetTextColor(hDC, RGB(0, 0, 0));
        ::BitBlt(hDC, x, y, width, height, mask, 0, 0, SRCAND);
        ::BitBlt(hDC, x, y, width, height, copy, 0, 0, SRCPAINT);
        ::SetBkColor(hDC, oldBk);
        ::SetTextColor(hDC, oldText);
        if (bPalette) {
            ::SelectPalette(copy, hOldCopyPal, FALSE);
            ::SelectPalette(hDC, hOldPal, FALSE);
        }
    }
    if (hCopy)
        ::DeleteObject(hCopy);
    if (hMask)
        ::DeleteObject(hMask);
}

void DrawBitmapPart(HBITMAP hBitmap, HDC hDC, int x, int y, const RECT& src, COLORREF key,
                    BOOL bTransparent)
{
    if (bTransparent)
        DrawBitmapTransparent(hDC, x, y, src.right - src.left, src.bottom - src.top, hBitmap,
                              src.left, src.top, key);
    else
        CopyBitmapPart(hBitmap, hDC, x, y, &src);
}

// The rectangle given, or the whole bitmap.
static RECT SourceRect(HBITMAP hBitmap, const RECT* pSrc)
{
    if (pSrc)
        return *pSrc;
    CSize size = BitmapSize(hBitmap);
    RECT whole = {0, 0, size.cx, size.cy};
    return whole;
}

void CopyBitmapPart(HBITMAP hBitmap, HDC hDC, int x, int y, const RECT* pSrc)
{
    if (!hBitmap || !hDC)
        return;
    RECT r = SourceRect(hBitmap, pSrc);
    CScopedMemDC src(hDC, hBitmap);
    ::BitBlt(hDC, x, y, r.right - r.left, r.bottom - r.top, src, r.left, r.top, SRCCOPY);
}

void CopyBitmapToRect(HBITMAP hBitmap, HDC hDC, const RECT& target)
{
    if (!hBitmap || !hDC)
        return;
    CScopedMemDC src(hDC, hBitmap);
    ::BitBlt(hDC, target.left, target.top, target.right - target.left, target.bottom - target.top, src,
             0, 0, SRCCOPY);
}

void StretchBitmap(HBITMAP hBitmap, HDC hDC, const RECT& target, const RECT* pSrc)
{
    if (!hBitmap || !hDC)
        return;
    RECT s = SourceRect(hBitmap, pSrc);
    CScopedMemDC src(hDC, hBitmap);
    int oldMode = ::SetStretchBltMode(hDC, COLORONCOLOR);
    ::StretchBlt(hDC, target.left, target.top, target.right - target.left, target.bottom - target.top, src,
                 s.left, s.top, s.right - s.left, s.bottom - s.top, SRCCOPY);
    ::SetStretchBltMode(hDC, oldMode);
}

// --- picture files -------------------------------------------------------------

namespace {

BOOL ReadFileBytes(LPCSTR lpszPath, std::vector<BYTE>* pBytes)
{
    std::string bytes;
    // A picture that claims no pixels or more than the decoder can allocate
    // for is not handed to it.
    if (!ReadStoredFile(lpszPath, kMaxPictureBytes, bytes) || !IsDecodablePicture(bytes))
        return FALSE;
    pBytes->assign(bytes.begin(), bytes.end());
    return TRUE;
}

IPicture* DecodePicture(const std::vector<BYTE>& bytes)
{
    HGLOBAL hBlock = ::GlobalAlloc(GMEM_MOVEABLE, bytes.size());
    void* p = hBlock ? ::GlobalLock(hBlock) : NULL;
    if (!p) {
        if (hBlock)
            ::GlobalFree(hBlock);
        return NULL;
    }
    memcpy(p, bytes.data(), bytes.size());
    ::GlobalUnlock(hBlock);
    IStream* pStream = NULL;
    // The stream frees the block when it is released.
    if (FAILED(::CreateStreamOnHGlobal(hBlock, TRUE, &pStream)) || !pStream) {
        ::GlobalFree(hBlock);
        return NULL;
    }
    IPicture* pPicture = NULL;
    if (FAILED(::OleLoadPicture(pStream, (LONG)bytes.size(), FALSE, IID_IPicture, (void**)&pPicture)))
        pPicture = NULL;
    pStream->Release();
    return pPicture;
}

}  // namespace

BOOL LoadImageFileBitmap(CBitmap& bitmap, LPCSTR lpszPath, COLORREF crBackground)
{
    if (bitmap.GetSafeHandle() || !lpszPath)
        return FALSE;
    std::vector<BYTE> bytes;
    if (!ReadFileBytes(lpszPath, &bytes))
        return FALSE;
    IPicture* pPicture = DecodePicture(bytes);
    if (!pPicture)
        return FALSE;
    OLE_XSIZE_HIMETRIC hmWidth = 0;
    OLE_YSIZE_HIMETRIC hmHeight = 0;
    pPicture->get_Width(&hmWidth);
    pPicture->get_Height(&hmHeight);
    HWND hDesktop = ::GetDesktopWindow();
    HDC hScreen = ::GetDC(hDesktop);
    HBITMAP hResult = NULL;
    if (hScreen) {
        int width = ::MulDiv(hmWidth, ::GetDeviceCaps(hScreen, LOGPIXELSX), 2540);
        int height = ::MulDiv(hmHeight, ::GetDeviceCaps(hScreen, LOGPIXELSY), 2540);
        HBITMAP hBitmap = width > 0 && height > 0 ? ::CreateCompatibleBitmap(hScreen, width, height) : NULL;
        if (hBitmap) {
            CScopedMemDC mem(hScreen, hBitmap);
            if (crBackground != (COLORREF)-1) {
                HBRUSH hBrush = ::CreateSolidBrush(crBackground);
                RECT all = {0, 0, width, height};
                ::FillRect(mem, &all, hBrush);
                ::DeleteObject(hBrush);
            }
            // The picture's y axis runs upwards: from its top with a negative extent.
            if (SUCCEEDED(pPicture->Render(mem, 0, 0, width, height, 0, hmHeight, hmWidth, -hmHeight, NULL)))
                hResult = hBitmap;
        }
        if (hBitmap && !hResult)
            ::DeleteObject(hBitmap);
        ::ReleaseDC(hDesktop, hScreen);
    }
    pPicture->Release();
    if (!hResult)
        return FALSE;
    bitmap.Attach(hResult);
    return TRUE;
}
