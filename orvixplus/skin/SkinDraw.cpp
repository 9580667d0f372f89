#include "SkinDraw.h"
#include <math.h>

void DrawSkinFrame(HDC hDC, const RECT* d, HBITMAP hImage, const RECT* s, const RECT* b)
{
    if (!hDC || !d || !hImage || !s || !b)
        return;
    CSaveClip clip(hDC);
    ::IntersectClipRect(hDC, d->left, d->top, d->right, d->bottom);
    const RECT src[4] = {
        { s->left, s->top, s->right, s->top + b->top },
        { s->left, s->top + b->top, s->left + b->left, s->bottom - b->bottom },
        { s->right - b->right, s->top + b->top, s->right, s->bottom - b->bottom },
        { s->left, s->bottom - b->bottom, s->right, s->bottom },
    };
    const RECT dst[4] = {
        { d->left, d->top, d->right, d->top + b->top },
        { d->left, d->top + b->top, d->left + b->left, d->bottom - b->bottom },
        { d->right - b->right, d->top + b->top, d->right, d->bottom - b->bottom },
        { d->left, d->bottom - b->bottom, d->right, d->bottom },
    };
    for (int i = 0; i < 4; ++i) {
        HBITMAP hCut = NULL;
        CropBitmap(hDC, &hCut, hImage, src[i].left, src[i].top, src[i].right, src[i].bottom);
        if (!hCut) {
            // A zero-width border cuts nothing and draws nothing; go on with
            // the others. Anything else that fails ends the frame here.
            if (src[i].right > src[i].left && src[i].bottom > src[i].top)
                return;
            continue;
        }
        DrawBitmapStretched(hDC, dst[i], hCut);
        ::DeleteObject(hCut);
    }
}

BOOL MakeTransparentMask(HBITMAP hImage, CBitmap* pMask, COLORREF key, int x, int y)
{
    BITMAP bm;
    if (!hImage || !pMask || !::GetObject(hImage, sizeof(bm), &bm))
        return FALSE;
    pMask->DeleteObject();
    if (!pMask->CreateBitmap(bm.bmWidth, bm.bmHeight, 1, 1, NULL))
        return FALSE;
    HDC hImageDC = ::CreateCompatibleDC(NULL);
    HDC hMaskDC = ::CreateCompatibleDC(NULL);
    BOOL ok = hImageDC && hMaskDC;
    if (ok) {
        HGDIOBJ oldImage = ::SelectObject(hImageDC, hImage);
        HGDIOBJ oldMask = ::SelectObject(hMaskDC, (HBITMAP)*pMask);
        if (key == SKIN_PIXEL_KEY)
            key = ::GetPixel(hImageDC, x, y);
        // Colour to monochrome: the background colour becomes 1.
        ::SetBkColor(hImageDC, key);
        ::BitBlt(hMaskDC, 0, 0, bm.bmWidth, bm.bmHeight, hImageDC, 0, 0, SRCCOPY);
        // Monochrome to colour: 0 takes the text colour, 1 the background.
        ::SetTextColor(hImageDC, RGB(255, 255, 255));
        ::SetBkColor(hImageDC, RGB(0, 0, 0));
        ::BitBlt(hImageDC, 0, 0, bm.bmWidth, bm.bmHeight, hMaskDC, 0, 0, SRCAND);
        ::SelectObject(hImageDC, oldImage);
        ::SelectObject(hMaskDC, oldMask);
    }
    if (hImageDC)
        ::DeleteDC(hImageDC);
    if (hMaskDC)
        ::DeleteDC(hMaskDC);
    return ok;
}

void DrawMasked(HDC hDC, int x, int y, int width, int height, HBITMAP hImage, int srcX, int srcY,
                HBITMAP hMask, BOOL bTransparent)
{
    if (!hDC || !hImage)
        return;
    HDC hMem = ::CreateCompatibleDC(hDC);
    if (!hMem)
        return;
    HGDIOBJ old;
    if (bTransparent && hMask) {
        // The mask's 1 bits (key) must keep the screen: AND with white; the
        // 0 bits clear it for the image: AND with black.
        COLORREF oldText = ::SetTextColor(hDC, RGB(0, 0, 0));
        COLORREF oldBk = ::SetBkColor(hDC, RGB(255, 255, 255));
        old = ::SelectObject(hMem, hMask);
        ::BitBlt(hDC, x, y, width, height, hMem, srcX, srcY, SRCAND);
        ::SelectObject(hMem, hImage);
        ::BitBlt(hDC, x, y, width, height, hMem, srcX, srcY, SRCPAINT);
        ::SetTextColor(hDC, oldText);
        ::SetBkColor(hDC, oldBk);
    } else {
        old = ::SelectObject(hMem, hImage);
        ::BitBlt(hDC, x, y, width, height, hMem, srcX, srcY, SRCCOPY);
    }
    ::SelectObject(hMem, old);
    ::DeleteDC(hMem);
}

// first + (second - first) * k / n, truncated like the floating-point step of
// the original sums, but exact at k == n.
static int GradientComponent(int first, int second, int k, int n)
{
    int num = (second - first) * k;
    int q = num / n;
    if (num % n != 0 && num < 0)
        --q;
    return first + q;
}

void FillGradient(HDC hDC, int left, int top, int right, int bottom, COLORREF first, COLORREF second,
                  BOOL bHorizontal)
{
    if (!hDC)
        return;
    int from = bHorizontal ? left : top, to = bHorizontal ? right : bottom;
    int n = to - from;
    HGDIOBJ oldPen = NULL;
    for (int i = from; i <= to; ++i) {
        int k = i - from;
        // A band one line high has no second colour to reach.
        COLORREF c = n == 0 ? first
            : RGB(GradientComponent(GetRValue(first), GetRValue(second), k, n),
                  GradientComponent(GetGValue(first), GetGValue(second), k, n),
                  GradientComponent(GetBValue(first), GetBValue(second), k, n));
        HPEN hPen = ::CreatePen(PS_SOLID, 1, c);
        HGDIOBJ prev = ::SelectObject(hDC, hPen);
        if (!oldPen)
            oldPen = prev;
        if (bHorizontal) {
            ::MoveToEx(hDC, i, top, NULL);
            ::LineTo(hDC, i, bottom);
        } else {
            ::MoveToEx(hDC, left, i, NULL);
            ::LineTo(hDC, right, i);
        }
        ::SelectObject(hDC, oldPen);
        ::DeleteObject(hPen);
    }
}

void DrawBitmapAt(HDC hDC, const RECT& rect, HBITMAP hBitmap)
{
    BITMAP bm;
    if (!hDC || !hBitmap || !::GetObject(hBitmap, sizeof(bm), &bm))
        return;
    DrawMasked(hDC, rect.left, rect.top, bm.bmWidth, bm.bmHeight, hBitmap, 0, 0, NULL, FALSE);
}

int TextWidthIn(HWND hWnd, HFONT hFont, LPCTSTR lpszText)
{
    HDC dc = ::GetDC(hWnd);
    HGDIOBJ old = ::SelectObject(dc, hFont ? (HGDIOBJ)hFont : ::GetStockObject(DEFAULT_GUI_FONT));
    SIZE sz = {};
    if (lpszText)
        ::GetTextExtentPoint32(dc, lpszText, lstrlen(lpszText), &sz);
    ::SelectObject(dc, old);
    ::ReleaseDC(hWnd, dc);
    return sz.cx;
}

void StretchBitmapPart(HDC hDC, const RECT& dst, HBITMAP hBitmap, const RECT* pSrc)
{
    BITMAP bm;
    if (!hDC || !hBitmap || !::GetObject(hBitmap, sizeof(bm), &bm))
        return;
    RECT src = pSrc ? *pSrc : RECT{ 0, 0, bm.bmWidth, bm.bmHeight };
    if (dst.right <= dst.left || dst.bottom <= dst.top || src.right <= src.left || src.bottom <= src.top)
        return;
    HDC mem = ::CreateCompatibleDC(hDC);
    HGDIOBJ old = ::SelectObject(mem, hBitmap);
    int mode = ::SetStretchBltMode(hDC, COLORONCOLOR);
    ::StretchBlt(hDC, dst.left, dst.top, dst.right - dst.left, dst.bottom - dst.top, mem, src.left, src.top,
                 src.right - src.left, src.bottom - src.top, SRCCOPY);
    ::SetStretchBltMode(hDC, mode);
    ::SelectObject(mem, old);
    ::DeleteDC(mem);
}

void DrawRegionClippedBitmap(HDC hDC, const RECT& r, HBITMAP hBitmap, COLORREF transparent, int width,
                             int height, BOOL bCentred, int xOffset, int yOffset)
{
    BITMAP bm;
    if (!hDC || !hBitmap || !::GetObject(hBitmap, sizeof(bm), &bm) || bm.bmWidth <= 0 || bm.bmHeight <= 0)
        return;
    int x, y;
    if (bCentred) {
        x = r.left + SkinMax(0, (int)(r.right - r.left - width) / 2);
        y = r.top + SkinMax(0, (int)(r.bottom - r.top - height) / 2);
    } else {
        x = r.left + xOffset;
        y = r.top + yOffset;
        if (xOffset > 0 && r.right - x < width)
            width = r.right - x;
        if (yOffset > 0 && r.bottom - y < height)
            height = r.bottom - y;
    }
    if (width <= 0 || height <= 0)
        return;
    HRGN hShape = BitmapToRegion(hBitmap, transparent, 0);
    if (!hShape)
        return;
    HRGN hPlaced = ScaleRegion(hShape, (float)width / bm.bmWidth, (float)height / bm.bmHeight, x, y);
    ::DeleteObject(hShape);
    if (!hPlaced)
        return;
    {
        CSaveClip clip(hDC);
        clip.IntersectLogical(hPlaced);
        RECT box = { x, y, x + width, y + height };
        DrawBitmapStretched(hDC, box, hBitmap);
    }
    ::DeleteObject(hPlaced);
}

// --- CMemDC ------------------------------------------------------------------

CMemDC::CMemDC(CDC* pDC, const RECT* pRect) : m_pTarget(pDC), m_hOldBitmap(NULL), m_bThrough(FALSE)
{
    if (pRect)
        m_rect = *pRect;
    else
        pDC->GetClipBox(&m_rect);
    m_bThrough = pDC->IsPrinting();
    if (!m_bThrough && CreateCompatibleDC(pDC)
        && m_bitmap.CreateCompatibleBitmap(pDC, m_rect.Width(), m_rect.Height())) {
        m_hOldBitmap = ::SelectObject(m_hDC, m_bitmap);
        SetMapMode(pDC->GetMapMode());
        CSize ext = pDC->GetWindowExt();
        SetWindowExt(ext.cx, ext.cy);
        ext = pDC->GetViewportExt();
        SetViewportExt(ext.cx, ext.cy);
        SetWindowOrg(m_rect.left, m_rect.top);
        FillSolidRect(&m_rect, pDC->GetBkColor());
    } else {
        // No buffer: draw straight on the target rather than nowhere.
        if (m_hDC)
            DeleteDC();
        m_bThrough = TRUE;
    }
    if (m_bThrough) {
        m_hDC = m_hAttribDC = pDC->m_hDC;
    }
}

CMemDC::~CMemDC()
{
    if (m_bThrough) {
        Detach();
        return;
    }
    m_pTarget->BitBlt(m_rect.left, m_rect.top, m_rect.Width(), m_rect.Height(), this, m_rect.left,
                      m_rect.top, SRCCOPY);
    ::SelectObject(m_hDC, m_hOldBitmap);
}

// --- shared conventions -------------------------------------------------------

void CSkinButtonBase::PreSubclassWindow()
{
    CButton::PreSubclassWindow();
    // Adding the owner-draw value to the style would turn a default push
    // button (1) into 0x0C; the kind is replaced instead.
    SetButtonStyle(OwnerDrawStyle(GetButtonStyle()), TRUE);
}

BOOL CreateSkinFont(CFont& font, int height)
{
    LOGFONT lf = {};
    lf.lfHeight = height;
    lstrcpynA(lf.lfFaceName, "MS Scans Serif", LF_FACESIZE);
    font.DeleteObject();
    return font.CreateFontIndirect(&lf);
}

void CutPart(CBitmap& part, HBITMAP hSrc, const RECT& rect)
{
    part.DeleteObject();
    if (!hSrc)
        return;
    HBITMAP hCut = NULL;
    CropBitmap(NULL, &hCut, hSrc, rect.left, rect.top, rect.right, rect.bottom);
    if (hCut)
        part.Attach(hCut);
}

CSkinTextScope::CSkinTextScope(HDC hDC, int height) : m_hDC(hDC), m_hOld(NULL)
{
    if (CreateSkinFont(m_font, height))
        m_hOld = ::SelectObject(hDC, m_font);
    m_nOldMode = ::SetBkMode(hDC, TRANSPARENT);
}

CSkinTextScope::~CSkinTextScope()
{
    if (m_hOld)
        ::SelectObject(m_hDC, m_hOld);
    ::SetBkMode(m_hDC, m_nOldMode);
}

// --- tool tips ----------------------------------------------------------------

CSkinTip::~CSkinTip()
{
    if (m_pTip) {
        if (m_pTip->GetSafeHwnd())
            m_pTip->DestroyWindow();
        delete m_pTip;
    }
}

BOOL CSkinTip::Ensure(CWnd* pOwner)
{
    if (m_pTip && m_pTip->GetSafeHwnd())
        return TRUE;
    if (!pOwner->GetSafeHwnd())
        return FALSE;
    if (!m_pTip)
        m_pTip = new CToolTipCtrl;
    if (!m_pTip->Create(pOwner, TTS_ALWAYSTIP))
        return FALSE;
    m_pTip->Activate(FALSE);
    return TRUE;
}

void CSkinTip::Apply(CWnd* pOwner)
{
    if (m_pTip->GetToolCount() == 0) {
        CRect rc;
        pOwner->GetClientRect(&rc);
        m_pTip->AddTool(pOwner, m_strText, &rc, 1);
    }
    m_pTip->UpdateTipText(m_strText, pOwner, 1);
    m_pTip->Activate(m_bActive);
}

void CSkinTip::Set(CWnd* pOwner, LPCTSTR lpszText, BOOL bActivate)
{
    if (!lpszText || !*lpszText)
        return;
    m_strText = lpszText;
    m_bActive = bActivate;
    if (m_pTip && m_pTip->GetSafeHwnd())
        Apply(pOwner);
}

CToolTipCtrl* CSkinTip::GetCtrl(CWnd* pOwner)
{
    if (!m_strText.IsEmpty() && !(m_pTip && m_pTip->GetSafeHwnd()) && Ensure(pOwner))
        Apply(pOwner);
    return m_pTip;
}

void CSkinTip::Relay(CWnd* pOwner, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message < WM_MOUSEFIRST || message > WM_MOUSELAST)
        return;
    if (!GetCtrl(pOwner) || !m_pTip->GetSafeHwnd())
        return;
    MSG msg = { pOwner->GetSafeHwnd(), message, wParam, lParam, (DWORD)::GetMessageTime(), {} };
    DWORD pos = ::GetMessagePos();
    msg.pt.x = (short)LOWORD(pos);
    msg.pt.y = (short)HIWORD(pos);
    m_pTip->RelayEvent(&msg);
}
