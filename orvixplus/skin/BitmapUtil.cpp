#include "BitmapUtil.h"
#include <olectl.h>
#include "StoredFile.h"
#include <stdlib.h>
#include <string.h>

// --- picture files -----------------------------------------------------------

static HGLOBAL ReadWholeFile(LPCTSTR lpszPath)
{
    std::string bytes;
    // A picture that claims no pixels or more than the decoder can allocate
    // for is not handed to it.
    if (!ReadStoredFile(lpszPath, kMaxPictureBytes, bytes) || !IsDecodablePicture(bytes))
        return NULL;
    HGLOBAL hBlock = ::GlobalAlloc(GMEM_MOVEABLE, bytes.size());
    void* p = hBlock ? ::GlobalLock(hBlock) : NULL;
    if (!p) {
        if (hBlock)
            ::GlobalFree(hBlock);
        return NULL;
    }
    memcpy(p, bytes.data(), bytes.size());
    ::GlobalUnlock(hBlock);
    return hBlock;
}

BOOL LoadPictureFile(LPCTSTR lpszPath, CBitmap& bitmap, CSize& size)
{
    bitmap.DeleteObject();
    size = CSize(0, 0);
    HGLOBAL hBlock = ReadWholeFile(lpszPath);
    if (!hBlock)
        return FALSE;
    IStream* pStream = NULL;
    if (FAILED(::CreateStreamOnHGlobal(hBlock, TRUE, &pStream))) {
        ::GlobalFree(hBlock);
        return FALSE;
    }
    IPicture* pPicture = NULL;
    HRESULT hr = ::OleLoadPicture(pStream, 0, FALSE, IID_IPicture, (void**)&pPicture);
    pStream->Release();
    if (FAILED(hr) || !pPicture)
        return FALSE;
    OLE_HANDLE handle = 0;
    SHORT type = PICTYPE_NONE;
    HBITMAP hCopy = NULL;
    BITMAP bm;
    if (SUCCEEDED(pPicture->get_Type(&type)) && type == PICTYPE_BITMAP
        && SUCCEEDED(pPicture->get_Handle(&handle)) && handle
        && ::GetObject((HBITMAP)(UINT_PTR)handle, sizeof(bm), &bm) && bm.bmWidth > 0 && bm.bmHeight > 0)
        // A copy the caller owns: the picture deletes its own handle when
        // it is released.
        CropBitmap(NULL, &hCopy, (HBITMAP)(UINT_PTR)handle, 0, 0, bm.bmWidth, bm.bmHeight);
    pPicture->Release();
    if (!hCopy)
        return FALSE;
    bitmap.Attach(hCopy);
    size = CSize(bm.bmWidth, bm.bmHeight);
    return TRUE;
}

// --- cutting and drawing ----------------------------------------------------

void CropBitmap(HDC hDC, HBITMAP* phOut, HBITMAP hSrc, int left, int top, int right, int bottom)
{
    if (!hSrc || !phOut)
        return;
    int w = right - left, h = bottom - top;
    HDC hScreen = hDC ? NULL : ::GetDC(NULL);
    HDC hRef = hDC ? hDC : hScreen;
    HBITMAP hCut = w > 0 && h > 0 ? ::CreateCompatibleBitmap(hRef, w, h) : NULL;
    *phOut = hCut;
    if (hCut) {
        HDC hSrcDC = ::CreateCompatibleDC(hRef);
        HDC hDstDC = ::CreateCompatibleDC(hRef);
        if (hSrcDC && hDstDC) {
            HGDIOBJ oldSrc = ::SelectObject(hSrcDC, hSrc);
            HGDIOBJ oldDst = ::SelectObject(hDstDC, hCut);
            ::StretchBlt(hDstDC, 0, 0, w, h, hSrcDC, left, top, w, h, SRCCOPY);
            ::SelectObject(hSrcDC, oldSrc);
            ::SelectObject(hDstDC, oldDst);
        }
        if (hSrcDC)
            ::DeleteDC(hSrcDC);
        if (hDstDC)
            ::DeleteDC(hDstDC);
    }
    if (hScreen)
        ::ReleaseDC(NULL, hScreen);
}

void CropBitmapToObject(CDC* pDC, CBitmap* pOut, CBitmap* pSrc, const RECT& rect)
{
    if (!pOut)
        return;
    pOut->DeleteObject();
    HBITMAP hSrc = pSrc ? (HBITMAP)pSrc->GetSafeHandle() : NULL;
    if (!hSrc)
        return;
    HBITMAP hCut = NULL;
    CropBitmap(pDC ? pDC->GetSafeHdc() : NULL, &hCut, hSrc, rect.left, rect.top, rect.right, rect.bottom);
    if (hCut)
        pOut->Attach(hCut);
}

void DrawBitmapStretched(HDC hDC, const RECT& rect, HBITMAP hBitmap)
{
    BITMAP bm;
    if (!hDC || !hBitmap || !::GetObject(hBitmap, sizeof(bm), &bm))
        return;
    HDC hMem = ::CreateCompatibleDC(hDC);
    if (!hMem)
        return;
    HGDIOBJ old = ::SelectObject(hMem, hBitmap);
    ::StretchBlt(hDC, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                 hMem, 0, 0, bm.bmWidth, bm.bmHeight, SRCCOPY);
    ::SelectObject(hMem, old);
    ::DeleteDC(hMem);
}

void TileBitmap(HDC hDC, const RECT& rect, HBITMAP hBitmap, int tileWidth, int tileHeight)
{
    // A missing frame piece has a size of 0: stepping by it would never end.
    if (!hDC || !hBitmap || tileWidth <= 0 || tileHeight <= 0)
        return;
    CSaveClip clip(hDC);
    ::IntersectClipRect(hDC, rect.left, rect.top, rect.right, rect.bottom);
    for (int y = rect.top; y < rect.bottom; y += tileHeight)
        for (int x = rect.left; x < rect.right; x += tileWidth) {
            RECT tile = { x, y, x + tileWidth, y + tileHeight };
            DrawBitmapStretched(hDC, tile, hBitmap);
        }
}

HRGN CopyRegion(HRGN hRgn)
{
    if (!hRgn)
        return NULL;
    HRGN hCopy = ::CreateRectRgn(0, 0, 0, 0);
    if (hCopy && ::CombineRgn(hCopy, hRgn, NULL, RGN_COPY) == ERROR) {
        ::DeleteObject(hCopy);
        hCopy = NULL;
    }
    return hCopy;
}

// --- clip keeping ------------------------------------------------------------

CSaveClip::CSaveClip(HDC hDC) : m_hDC(hDC), m_hSaved(::CreateRectRgn(0, 0, 0, 0)), m_bHad(FALSE)
{
    if (m_hSaved)
        m_bHad = ::GetClipRgn(hDC, m_hSaved) == 1;
}

CSaveClip::~CSaveClip()
{
    ::SelectClipRgn(m_hDC, m_bHad ? m_hSaved : NULL);
    if (m_hSaved)
        ::DeleteObject(m_hSaved);
}

void CSaveClip::IntersectLogical(HRGN hRgn)
{
    if (!hRgn)
        return;
    HRGN hDevice = ::CreateRectRgn(0, 0, 0, 0);
    if (!hDevice)
        return;
    ::CombineRgn(hDevice, hRgn, NULL, RGN_COPY);
    POINT origin = { 0, 0 };
    ::LPtoDP(m_hDC, &origin, 1);
    ::OffsetRgn(hDevice, origin.x, origin.y);
    ::ExtSelectClipRgn(m_hDC, hDevice, RGN_AND);
    ::DeleteObject(hDevice);
}

// --- regions -----------------------------------------------------------------

static SkinReallocFn g_pfnRealloc = realloc;

SkinReallocFn SetRegionRealloc(SkinReallocFn fn)
{
    SkinReallocFn old = g_pfnRealloc;
    g_pfnRealloc = fn ? fn : realloc;
    return old;
}

namespace {

const DWORD kGrowRects = 100;
const DWORD kBatchRects = 2000;

// Collects one-row rectangles and turns them into region objects in batches:
// one region made from very many rectangles is slow or fails.
class CRegionBuilder {
public:
    CRegionBuilder() : m_pData(NULL), m_nRoom(0), m_hResult(NULL), m_bFailed(FALSE) {}
    ~CRegionBuilder()
    {
        free(m_pData);
        if (m_hResult)
            ::DeleteObject(m_hResult);
    }
    BOOL Start()
    {
        if (!Grow())
            return FALSE;
        Reset();
        return TRUE;
    }
    void Add(int l, int t, int r, int b)
    {
        if (m_bFailed)
            return;
        // Growing moves the buffer: the header is taken from it afterwards.
        if (m_pData->rdh.nCount >= m_nRoom && !Grow())
            return;
        RGNDATAHEADER& h = m_pData->rdh;
        RECT* rects = (RECT*)m_pData->Buffer;
        SetRect(&rects[h.nCount++], l, t, r, b);
        if (l < h.rcBound.left) h.rcBound.left = l;
        if (t < h.rcBound.top) h.rcBound.top = t;
        if (r > h.rcBound.right) h.rcBound.right = r;
        if (b > h.rcBound.bottom) h.rcBound.bottom = b;
        if (h.nCount >= kBatchRects)
            Flush();
    }
    // The union of everything added, or NULL when memory or GDI ran out.
    HRGN Finish()
    {
        Flush();
        if (m_bFailed)
            return NULL;
        HRGN h = m_hResult;
        m_hResult = NULL;
        return h;
    }

private:
    BOOL Grow()
    {
        DWORD room = m_nRoom + kGrowRects;
        void* p = g_pfnRealloc(m_pData, sizeof(RGNDATAHEADER) + room * sizeof(RECT));
        if (!p) {
            m_bFailed = TRUE;
            return FALSE;
        }
        m_pData = (RGNDATA*)p;
        m_nRoom = room;
        return TRUE;
    }
    void Reset()
    {
        RGNDATAHEADER& h = m_pData->rdh;
        h.dwSize = sizeof(RGNDATAHEADER);
        h.iType = RDH_RECTANGLES;
        h.nCount = 0;
        h.nRgnSize = 0;
        SetRect(&h.rcBound, 2147483647, 2147483647, 0, 0);
    }
    void Flush()
    {
        if (m_bFailed)
            return;
        // The first (possibly empty) batch becomes the result, so an image
        // without any rectangle still gives a region.
        if (m_pData->rdh.nCount == 0 && m_hResult)
            return;
        HRGN h = ::ExtCreateRegion(NULL, sizeof(RGNDATAHEADER) + m_pData->rdh.nCount * sizeof(RECT), m_pData);
        if (!h) {
            m_bFailed = TRUE;
            return;
        }
        if (!m_hResult)
            m_hResult = h;
        else {
            ::CombineRgn(m_hResult, m_hResult, h, RGN_OR);
            ::DeleteObject(h);
        }
        Reset();
    }

    RGNDATA* m_pData;
    DWORD m_nRoom;
    HRGN m_hResult;
    BOOL m_bFailed;
};

// The bitmap as 32-bit pixels, top row first.
class CPixels32 {
public:
    explicit CPixels32(HBITMAP hBitmap) : m_hDC(NULL), m_hSection(NULL), m_hOld(NULL), m_pBits(NULL), m_w(0), m_h(0)
    {
        BITMAP bm;
        if (!hBitmap || !::GetObject(hBitmap, sizeof(bm), &bm))
            return;
        m_hDC = ::CreateCompatibleDC(NULL);
        if (!m_hDC)
            return;
        DWORD* bits = NULL;
        m_hSection = CreateDib32(bm.bmWidth, bm.bmHeight, &bits);
        if (!m_hSection)
            return;
        m_hOld = ::SelectObject(m_hDC, m_hSection);
        HDC hSrc = ::CreateCompatibleDC(m_hDC);
        if (!hSrc)
            return;
        HGDIOBJ old = ::SelectObject(hSrc, hBitmap);
        ::BitBlt(m_hDC, 0, 0, bm.bmWidth, bm.bmHeight, hSrc, 0, 0, SRCCOPY);
        ::SelectObject(hSrc, old);
        ::DeleteDC(hSrc);
        ::GdiFlush();
        m_pBits = bits;
        m_w = bm.bmWidth;
        m_h = bm.bmHeight;
    }
    ~CPixels32()
    {
        if (m_hOld)
            ::SelectObject(m_hDC, m_hOld);
        if (m_hSection)
            ::DeleteObject(m_hSection);
        if (m_hDC)
            ::DeleteDC(m_hDC);
    }
    BOOL Ok() const { return m_pBits != NULL; }
    int Width() const { return m_w; }
    int Height() const { return m_h; }
    // 32-bit rows need no padding: the stride is the width.
    const DWORD* Row(int y) const { return m_pBits + (size_t)y * m_w; }

private:
    HDC m_hDC;
    HBITMAP m_hSection;
    HGDIOBJ m_hOld;
    const DWORD* m_pBits;
    int m_w, m_h;
};

// Section pixels are 0x00RRGGBB; COLORREFs 0x00BBGGRR.
inline DWORD ToPixel(COLORREF c) { return (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c); }

// Runs of pixels for which inRegion() holds become one-row rectangles.
template <class Pred>
HRGN RunsToRegion(HBITMAP hBitmap, Pred inRegion)
{
    if (!hBitmap)
        return NULL;
    CPixels32 pixels(hBitmap);
    if (!pixels.Ok())
        return NULL;
    CRegionBuilder builder;
    if (!builder.Start())
        return NULL;
    const int w = pixels.Width(), h = pixels.Height();
    for (int y = 0; y < h; ++y) {
        const DWORD* row = pixels.Row(y);
        int x = 0;
        while (x < w) {
            while (x < w && !inRegion(row[x] & 0xffffff))
                ++x;
            int x0 = x;
            while (x < w && inRegion(row[x] & 0xffffff))
                ++x;
            if (x > x0)
                builder.Add(x0, y, x, y + 1);
        }
    }
    return builder.Finish();
}

}  // namespace

HRGN BitmapToRegion(HBITMAP hBitmap, COLORREF transparent, COLORREF tolerance)
{
    int lr = GetRValue(transparent), lg = GetGValue(transparent), lb = GetBValue(transparent);
    int hr = SkinMin(255, lr + GetRValue(tolerance));
    int hg = SkinMin(255, lg + GetGValue(tolerance));
    int hb = SkinMin(255, lb + GetBValue(tolerance));
    return RunsToRegion(hBitmap, [=](DWORD p) {
        int r = (p >> 16) & 0xff, g = (p >> 8) & 0xff, b = p & 0xff;
        return !(r >= lr && r <= hr && g >= lg && g <= hg && b >= lb && b <= hb);
    });
}

HRGN BitmapColorToRegion(HBITMAP hBitmap, COLORREF key)
{
    DWORD want = ToPixel(key);
    return RunsToRegion(hBitmap, [=](DWORD p) { return p == want; });
}

HRGN ScaleRegion(HRGN hRgn, float scaleX, float scaleY, int dx, int dy)
{
    if (!hRgn)
        return NULL;
    DWORD size = ::GetRegionData(hRgn, 0, NULL);
    if (!size)
        return NULL;
    RGNDATA* data = (RGNDATA*)malloc(size);
    if (!data)
        return NULL;
    HRGN hNew = NULL;
    if (::GetRegionData(hRgn, size, data) == size) {
        XFORM xf = { scaleX, 0.0f, 0.0f, scaleY, 0.0f, 0.0f };
        hNew = ::ExtCreateRegion(&xf, size, data);
        if (hNew)
            ::OffsetRgn(hNew, dx, dy);
    }
    free(data);
    return hNew;
}
