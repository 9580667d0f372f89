#include "BitmapUtil.h"
#include <olectl.h>
#include "StoredFile.h"
#include <stdlib.h>
#include <string.h>
#include <vector>

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

// --- resource bitmaps ----------------------------------------------------------

HBITMAP LoadResourceSection(HINSTANCE hInst, LPCTSTR lpszName)
{
    return (HBITMAP)::LoadImageA(hInst, lpszName, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION);
}

namespace {

// The shared resource bitmaps: few (a handful of sheets), looked up by id.
class CSharedBitmaps {
public:
    ~CSharedBitmaps()
    {
        for (const Entry& e : m_entries)
            if (e.hBitmap)
                ::DeleteObject(e.hBitmap);
    }
    HBITMAP Get(UINT nID)
    {
        for (const Entry& e : m_entries)
            if (e.nID == nID)
                return e.hBitmap;
        // A missing one is not looked for again either.
        Entry e = {nID, LoadResourceSection(AfxGetResourceHandle(), MAKEINTRESOURCE(nID))};
        m_entries.push_back(e);
        return e.hBitmap;
    }
private:
    struct Entry {
        UINT nID;
        HBITMAP hBitmap;
    };
    std::vector<Entry> m_entries;
};

}  // namespace

HBITMAP SharedResourceBitmap(UINT nID)
{
    static CSharedBitmaps bitmaps;
    return bitmaps.Get(nID);
}

// --- cutting and drawing ----------------------------------------------------

// The cuts are 32-bit sections: the platform makes a bitmap compatible with
// the screen and, the first time it is selected, asks the display about it,
// which under Wine is a round trip to its server for every one of the
// hundreds of parts a skin is cut into. A section draws into every context
// with the same pixels and costs nothing of the kind.
static HBITMAP CreateCutSection(int w, int h, BYTE** ppBits)
{
    // Bottom-up: row y of the cut is row h - 1 - y in memory.
    BITMAPINFO bi = DibInfo(w, h, 32);
    void* bits = NULL;
    HBITMAP hbm = ::CreateDIBSection(NULL, &bi, DIB_RGB_COLORS, &bits, NULL, 0);
    *ppBits = hbm ? (BYTE*)bits : NULL;
    return hbm;
}

// The rows of the source the cut covers, read into the cut's own pixels:
// no context ever has either bitmap selected. The source's orientation cannot
// be told from the outside, so its rows are asked for bottom-up, which is
// also the order of the cut's rows in memory. What lies outside the source
// stays black, as a copy from beyond a bitmap's edge leaves it. False when
// the source cannot be read that way.
static bool ReadCutRows(HBITMAP hSrc, DWORD* dst, int left, int top, int w, int h)
{
    BITMAP bm;
    if (!::GetObject(hSrc, sizeof(bm), &bm) || bm.bmWidth <= 0 || bm.bmHeight <= 0)
        return false;
    const int sw = bm.bmWidth, sh = bm.bmHeight;
    const int x0 = SkinMax(left, 0), x1 = SkinMin(left + w, sw);
    const int y0 = SkinMax(top, 0), y1 = SkinMin(top + h, sh);
    if (x1 <= x0 || y1 <= y0)
        return true;
    std::vector<DWORD> rows((size_t)sw * (y1 - y0));
    BITMAPINFO bi = DibInfo(sw, sh, 32);
    // One context for every cut of the run, on the thread that draws: a
    // context of its own for each of hundreds of cuts is a round trip apiece.
    static HDC s_hDC = ::CreateCompatibleDC(NULL);
    if (!s_hDC || ::GetDIBits(s_hDC, hSrc, sh - y1, y1 - y0, rows.data(), &bi, DIB_RGB_COLORS) !=
                      y1 - y0)
        return false;
    for (int y = y0; y < y1; ++y) {
        const DWORD* in = rows.data() + (size_t)(y1 - 1 - y) * sw;
        DWORD* out = dst + (size_t)(h - 1 - (y - top)) * w;
        memcpy(out + (x0 - left), in + x0, (size_t)(x1 - x0) * 4);
    }
    return true;
}

void CropBitmap(HDC hDC, HBITMAP* phOut, HBITMAP hSrc, int left, int top, int right, int bottom)
{
    if (!hSrc || !phOut)
        return;
    int w = right - left, h = bottom - top;
    BYTE* bits = NULL;
    HBITMAP hCut = w > 0 && h > 0 ? CreateCutSection(w, h, &bits) : NULL;
    *phOut = hCut;
    if (!hCut || ReadCutRows(hSrc, (DWORD*)bits, left, top, w, h))
        return;
    HDC hSrcDC = ::CreateCompatibleDC(hDC);
    HDC hDstDC = ::CreateCompatibleDC(hDC);
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
    BITMAP bm;
    if (!::GetObject(hBitmap, sizeof(bm), &bm))
        return;
    // One memory context for all the tiles: a frame's edge is hundreds of
    // one-pixel tiles, and a context is a round trip to make and to free.
    HDC hMem = ::CreateCompatibleDC(hDC);
    if (!hMem)
        return;
    HGDIOBJ old = ::SelectObject(hMem, hBitmap);
    CSaveClip clip(hDC);
    ::IntersectClipRect(hDC, rect.left, rect.top, rect.right, rect.bottom);
    for (int y = rect.top; y < rect.bottom; y += tileHeight)
        for (int x = rect.left; x < rect.right; x += tileWidth)
            ::StretchBlt(hDC, x, y, tileWidth, tileHeight, hMem, 0, 0, bm.bmWidth, bm.bmHeight,
                         SRCCOPY);
    ::SelectObject(hMem, old);
    ::DeleteDC(hMem);
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

const DWORD kFirstRects = 256;
const DWORD kBatchRects = 2000;

// Collects rectangles in bands (rows of equal runs joined into one) and turns
// them into region objects in batches: one region made from very many
// rectangles is slow or fails. Each batch holds whole bands only, so every
// batch is a valid banded region of its own rows.
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
        if (!Grow(kFirstRects))
            return FALSE;
        Reset();
        return TRUE;
    }
    // One band: the runs [x0, x1) of rows top..bottom - 1.
    void AddBand(const int* runs, size_t nRuns, int top, int bottom)
    {
        if (m_bFailed || nRuns == 0)
            return;
        // Growing moves the buffer: the header is taken from it afterwards.
        if (m_pData->rdh.nCount + nRuns > m_nRoom && !Grow(m_pData->rdh.nCount + nRuns))
            return;
        RGNDATAHEADER& h = m_pData->rdh;
        RECT* rects = (RECT*)m_pData->Buffer + h.nCount;
        for (size_t i = 0; i < nRuns; ++i)
            SetRect(&rects[i], runs[2 * i], top, runs[2 * i + 1], bottom);
        h.nCount += (DWORD)nRuns;
        if (runs[0] < h.rcBound.left) h.rcBound.left = runs[0];
        if (top < h.rcBound.top) h.rcBound.top = top;
        if (runs[2 * nRuns - 1] > h.rcBound.right) h.rcBound.right = runs[2 * nRuns - 1];
        if (bottom > h.rcBound.bottom) h.rcBound.bottom = bottom;
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
    // Room for at least `need` rectangles, doubling: a mask of many short
    // runs grows the buffer a few times, not once per hundred rectangles.
    BOOL Grow(DWORD need)
    {
        DWORD room = m_nRoom ? m_nRoom : need;
        while (room < need)
            room *= 2;
        void* p = g_pfnRealloc(m_pData, sizeof(RGNDATAHEADER) + (size_t)room * sizeof(RECT));
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

// The bitmap's rows as 32-bit pixels (0x00RRGGBB), read top to bottom a few
// dozen rows at a time into one small buffer that stays in the cache: a copy
// of the whole picture into fresh memory cost more than the scan itself.
class CRowReader {
public:
    explicit CRowReader(HBITMAP hBitmap) : m_hBitmap(hBitmap), m_hDC(NULL), m_w(0), m_h(0), m_first(0), m_count(0)
    {
        BITMAP bm;
        if (!hBitmap || !::GetObject(hBitmap, sizeof(bm), &bm) || bm.bmWidth <= 0 || bm.bmHeight <= 0)
            return;
        m_hDC = ::CreateCompatibleDC(NULL);
        if (!m_hDC)
            return;
        m_w = bm.bmWidth;
        m_h = bm.bmHeight;
        m_rows = SkinMax(1, SkinMin(m_h, kChunkPixels / m_w));
        m_buffer.resize((size_t)m_rows * m_w);
    }
    ~CRowReader()
    {
        if (m_hDC)
            ::DeleteDC(m_hDC);
    }
    BOOL Ok() const { return m_hDC != NULL && m_w > 0; }
    int Width() const { return m_w; }
    int Height() const { return m_h; }
    // Row y (top first), or NULL when the bitmap cannot be read.
    const DWORD* Row(int y)
    {
        if (y < m_first || y >= m_first + m_count) {
            int n = SkinMin(m_rows, m_h - y);
            // A bottom-up request counts scan lines from the bottom row, and
            // the buffer receives them bottom first.
            BITMAPINFO bi = DibInfo(m_w, m_h, 32);
            if (::GetDIBits(m_hDC, m_hBitmap, m_h - y - n, n, m_buffer.data(), &bi, DIB_RGB_COLORS) != n) {
                m_count = 0;
                return NULL;
            }
            m_first = y;
            m_count = n;
        }
        return m_buffer.data() + (size_t)(m_first + m_count - 1 - y) * m_w;
    }

private:
    static const int kChunkPixels = 16384;
    HBITMAP m_hBitmap;
    HDC m_hDC;
    int m_w, m_h, m_rows;
    int m_first, m_count;
    std::vector<DWORD> m_buffer;
};

// Section pixels are 0x00RRGGBB; COLORREFs 0x00BBGGRR.
inline DWORD ToPixel(COLORREF c) { return (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c); }

// The runs of a row for which inRegion() holds, as x0, x1 pairs.
template <class Pred>
void RowRuns(const DWORD* row, int w, Pred inRegion, std::vector<int>& runs)
{
    runs.clear();
    int x = 0;
    while (x < w) {
        while (x < w && !inRegion(row[x] & 0xffffff))
            ++x;
        int x0 = x;
        while (x < w && inRegion(row[x] & 0xffffff))
            ++x;
        if (x > x0) {
            runs.push_back(x0);
            runs.push_back(x);
        }
    }
}

// Runs of pixels for which inRegion() holds, with rows of equal runs joined
// into one taller rectangle per run: the same pixels in far fewer rectangles.
template <class Pred>
HRGN RunsToRegion(HBITMAP hBitmap, Pred inRegion)
{
    if (!hBitmap)
        return NULL;
    CRowReader pixels(hBitmap);
    if (!pixels.Ok())
        return NULL;
    CRegionBuilder builder;
    if (!builder.Start())
        return NULL;
    const int w = pixels.Width(), h = pixels.Height();
    std::vector<int> band, runs;
    std::vector<DWORD> above(w);
    int bandTop = 0;
    for (int y = 0; y < h; ++y) {
        const DWORD* row = pixels.Row(y);
        if (!row)
            return NULL;
        // A row of the same pixels as the one above has its runs: no scan.
        if (y > 0 && memcmp(row, above.data(), (size_t)w * 4) == 0)
            continue;
        memcpy(above.data(), row, (size_t)w * 4);
        RowRuns(row, w, inRegion, runs);
        if (y > 0 && runs == band)
            continue;
        builder.AddBand(band.data(), band.size() / 2, bandTop, y);
        band.swap(runs);
        bandTop = y;
    }
    builder.AddBand(band.data(), band.size() / 2, bandTop, h);
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
