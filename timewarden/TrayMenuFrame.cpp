#include "TrayMenuFrame.h"
#include <string.h>
#include <vector>
#include "Afx.h"
#include "Dib32.h"
#include "SkinMenu.h"

namespace {

// What a popup needs to draw its shadow again: the screen behind it.
struct ShadowRecord {
    HWND hWnd;
    RECT rLast;
    POINT pos;
    HBITMAP hScreen;
    SIZE screen;
};

HHOOK g_hHook = NULL;
CMapPtrToPtr* g_pShadows = NULL;

CMapPtrToPtr& Shadows()
{
    if (!g_pShadows)
        g_pShadows = new CMapPtrToPtr(10);
    return *g_pShadows;
}

ShadowRecord* FindRecord(HWND hWnd)
{
    void* p = NULL;
    return g_pShadows && g_pShadows->Lookup(hWnd, p) ? (ShadowRecord*)p : NULL;
}

ShadowRecord* NewRecord(HWND hWnd)
{
    ShadowRecord* r = FindRecord(hWnd);
    if (r)
        return r;
    r = new ShadowRecord();
    r->hWnd = hWnd;
    SetRectEmpty(&r->rLast);
    Shadows().SetAt(hWnd, r);
    return r;
}

void DeleteRecord(HWND hWnd)
{
    ShadowRecord* r = FindRecord(hWnd);
    if (!r)
        return;
    if (r->hScreen)
        ::DeleteObject(r->hScreen);
    g_pShadows->RemoveKey(hWnd);
    delete r;
}

BOOL g_bShadowKnown = FALSE, g_bSystemShadow = FALSE;

int Shadow() { return SkinMenu_SystemDrawsShadow() ? 0 : SKINMENU_SHADOW; }

// The border's colours are the shared menu look's frame colours 0 to 3.
COLORREF FrameColour(int n)
{
    return SkinMenu_GetColor(SKINMENU_COLOR_FRAME0 + n);
}

const int kEdge[SKINMENU_SHADOW] = {140, 170, 212, 240};
const int kCorner[7] = {170, 205, 220, 240, 240, 250, 255};

// Copies one strip of the saved screen back, darkened, to the window.
void DrawShadowStrip(HDC hDC, const ShadowRecord& r, const RECT& strip, BOOL bBottom, int length)
{
    int w = strip.right - strip.left, h = strip.bottom - strip.top;
    if (w <= 0 || h <= 0 || !r.hScreen)
        return;
    DWORD* bits = NULL;
    HBITMAP hStrip = CreateDib32(w, h, &bits);
    if (!hStrip)
        return;
    HDC hMem = ::CreateCompatibleDC(hDC), hSaved = ::CreateCompatibleDC(hDC);
    HGDIOBJ oldMem = ::SelectObject(hMem, hStrip), oldSaved = ::SelectObject(hSaved, r.hScreen);
    ::BitBlt(hMem, 0, 0, w, h, hSaved, strip.left, strip.top, SRCCOPY);
    ::GdiFlush();
    for (int y = 0; y < h; y++)
        for (int x = 0; x < w; x++) {
            int d = bBottom ? y : x;
            int along = bBottom ? strip.left + x : strip.top + y;
            int f = SkinMenu_ShadowFactor(d, along, length);
            DWORD& p = bits[y * w + x];
            p = ((((p >> 16) & 0xFF) * f / 255) << 16) | ((((p >> 8) & 0xFF) * f / 255) << 8) |
                ((p & 0xFF) * f / 255);
        }
    ::BitBlt(hDC, strip.left, strip.top, w, h, hMem, 0, 0, SRCCOPY);
    ::SelectObject(hSaved, oldSaved);
    ::SelectObject(hMem, oldMem);
    ::DeleteDC(hSaved);
    ::DeleteDC(hMem);
    ::DeleteObject(hStrip);
}

void Draw3dRect(HDC hDC, const RECT& r, COLORREF topLeft, COLORREF bottomRight)
{
    auto fill = [&](int l, int t, int rr, int b, COLORREF c) {
        ::SetBkColor(hDC, c);
        RECT f = {l, t, rr, b};
        ::ExtTextOutA(hDC, 0, 0, ETO_OPAQUE, &f, NULL, 0, NULL);
    };
    int w = r.right - r.left, h = r.bottom - r.top;
    fill(r.left, r.top, r.left + w - 1, r.top + 1, topLeft);
    fill(r.left, r.top, r.left + 1, r.top + h - 1, topLeft);
    fill(r.left + w - 1, r.top, r.right, r.bottom, bottomRight);
    fill(r.left, r.top + h - 1, r.right, r.bottom, bottomRight);
}

void DrawFrame(HWND hWnd, HDC hDC)
{
    ShadowRecord* rec = FindRecord(hWnd);
    RECT wr;
    ::GetWindowRect(hWnd, &wr);
    RECT r = {0, 0, wr.right - wr.left, wr.bottom - wr.top};
    if (rec)
        rec->rLast = r;
    COLORREF oldBk = ::GetBkColor(hDC);
    if (Shadow() && rec) {
        int w = r.right, h = r.bottom;
        RECT bottom = {0, h - SKINMENU_SHADOW, w - SKINMENU_SHADOW, h};
        RECT right = {w - SKINMENU_SHADOW, 0, w, h};
        DrawShadowStrip(hDC, *rec, bottom, TRUE, w);
        DrawShadowStrip(hDC, *rec, right, FALSE, h);
        r.right -= SKINMENU_SHADOW;
        r.bottom -= SKINMENU_SHADOW;
    }
    Draw3dRect(hDC, r, FrameColour(0), FrameColour(1));
    ::InflateRect(&r, -1, -1);
    Draw3dRect(hDC, r, FrameColour(2), FrameColour(3));
    ::SetBkColor(hDC, oldBk);
}

void CaptureScreen(ShadowRecord* rec, int x, int y, int cx, int cy)
{
    if (rec->hScreen)
        ::DeleteObject(rec->hScreen);
    rec->hScreen = NULL;
    HDC hScreen = ::GetDC(NULL);
    int w = cx + 10, h = cy + 10;
    HBITMAP hBmp = ::CreateCompatibleBitmap(hScreen, w, h);
    if (hBmp) {
        HDC hMem = ::CreateCompatibleDC(hScreen);
        HGDIOBJ old = ::SelectObject(hMem, hBmp);
        ::BitBlt(hMem, 0, 0, w, h, hScreen, x, y, SRCCOPY);
        ::SelectObject(hMem, old);
        ::DeleteDC(hMem);
        rec->hScreen = hBmp;
        rec->screen.cx = w;
        rec->screen.cy = h;
    }
    ::ReleaseDC(NULL, hScreen);
}

WNDPROC OldProc(HWND hWnd)
{
    return (WNDPROC)::GetPropA(hWnd, SKINMENU_OLDPROC_PROP);
}

}  // namespace

BOOL SkinMenu_SystemDrawsShadow()
{
    if (!g_bShadowKnown) {
        BOOL bOn = FALSE;
        g_bSystemShadow = ::SystemParametersInfoA(SPI_GETDROPSHADOW, 0, &bOn, 0) && bOn;
        g_bShadowKnown = TRUE;
    }
    return g_bSystemShadow;
}

int SkinMenu_ShadowFactor(int d, int along, int length)
{
    if (d < 0 || d >= SKINMENU_SHADOW)
        return 255;
    int f = kEdge[d];
    // The ends of each edge fade out towards the corner.
    int fromStart = along, fromEnd = length - 1 - along;
    if (fromStart < 6)
        f = f > kCorner[6 - fromStart] ? f : kCorner[6 - fromStart];
    if (fromEnd < 5)
        f = f > kCorner[6 - fromEnd] ? f : kCorner[6 - fromEnd];
    return f;
}

BOOL SkinMenu_InstallHook()
{
    if (g_hHook)
        return TRUE;
    g_hHook = ::SetWindowsHookExA(WH_CALLWNDPROC, SkinMenu_HookProc, NULL, ::GetCurrentThreadId());
    return g_hHook != NULL;
}

void SkinMenu_RemoveHook()
{
    if (g_pShadows) {
        POSITION pos = g_pShadows->GetStartPosition();
        while (pos) {
            void* key = NULL;
            void* value = NULL;
            g_pShadows->GetNextAssoc(pos, key, value);
            ShadowRecord* r = (ShadowRecord*)value;
            if (r->hScreen)
                ::DeleteObject(r->hScreen);
            delete r;
        }
        delete g_pShadows;
        g_pShadows = NULL;
    }
    if (g_hHook)
        ::UnhookWindowsHookEx(g_hHook);
    g_hHook = NULL;
}

int SkinMenu_ShadowRecordCount()
{
    return g_pShadows ? (int)g_pShadows->GetCount() : 0;
}

LRESULT CALLBACK SkinMenu_HookProc(int nCode, WPARAM wParam, LPARAM lParam)
{
    if (nCode == HC_ACTION) {
        const CWPSTRUCT* cwp = (const CWPSTRUCT*)lParam;
        if (cwp->message == WM_CREATE || cwp->message == 0x1E2) {
            char name[11] = "";
            ::GetClassNameA(cwp->hwnd, name, sizeof(name));
            if (!strcmp(name, "#32768") && !::GetPropA(cwp->hwnd, SKINMENU_OLDPROC_PROP)) {
                NewRecord(cwp->hwnd);
                LONG_PTR old = ::GetWindowLongPtrA(cwp->hwnd, GWLP_WNDPROC);
                if (!::SetPropA(cwp->hwnd, SKINMENU_OLDPROC_PROP, (HANDLE)old) ||
                    !::SetWindowLongPtrA(cwp->hwnd, GWLP_WNDPROC, (LONG_PTR)SkinMenu_PopupProc)) {
                    ::RemovePropA(cwp->hwnd, SKINMENU_OLDPROC_PROP);
                    DeleteRecord(cwp->hwnd);
                }
            }
        }
    }
    return ::CallNextHookEx(g_hHook, nCode, wParam, lParam);
}

LRESULT CALLBACK SkinMenu_PopupProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    WNDPROC old = OldProc(hWnd);
    if (!old)
        return ::DefWindowProcA(hWnd, message, wParam, lParam);
    const int frame = SKINMENU_FRAME, shadow = Shadow();
    switch (message) {
    case WM_SHOWWINDOW:
        if (!wParam)
            DeleteRecord(hWnd);
        break;
    case WM_WINDOWPOSCHANGING: {
        WINDOWPOS* wp = (WINDOWPOS*)lParam;
        if ((wp->flags & (SWP_NOSIZE | SWP_NOMOVE)) == (SWP_NOSIZE | SWP_NOMOVE))
            break;
        ShadowRecord* rec = NewRecord(hWnd);
        RECT wr;
        ::GetWindowRect(hWnd, &wr);
        if (!(wp->flags & SWP_NOSIZE)) {
            // The client keeps the size the menu asked for.
            wp->cx += 2 * frame + shadow;
            wp->cy += 2 * frame + shadow;
        }
        int x = wp->flags & SWP_NOMOVE ? wr.left : wp->x;
        int y = wp->flags & SWP_NOMOVE ? wr.top : wp->y;
        int cx = wp->flags & SWP_NOSIZE ? wr.right - wr.left : wp->cx;
        int cy = wp->flags & SWP_NOSIZE ? wr.bottom - wr.top : wp->cy;
        rec->pos.x = x;
        rec->pos.y = y;
        if (!::IsWindowVisible(hWnd) && shadow)
            CaptureScreen(rec, x, y, cx, cy);
        break;
    }
    case WM_NCCALCSIZE: {
        LRESULT result = ::CallWindowProcA(old, hWnd, message, wParam, lParam);
        RECT* r = wParam ? &((NCCALCSIZE_PARAMS*)lParam)->rgrc[0] : (RECT*)lParam;
        r->left += frame;
        r->top += frame;
        r->right -= frame + shadow;
        r->bottom -= frame + shadow;
        return result;
    }
    case WM_NCPAINT: {
        HDC hDC = ::GetWindowDC(hWnd);
        if (hDC) {
            DrawFrame(hWnd, hDC);
            ::ReleaseDC(hWnd, hDC);
        }
        return 0;
    }
    case WM_PRINT: {
        LRESULT result = ::CallWindowProcA(old, hWnd, message, wParam, lParam);
        DrawFrame(hWnd, (HDC)wParam);
        return result;
    }
    case WM_NCDESTROY:
        DeleteRecord(hWnd);
        ::SetWindowLongPtrA(hWnd, GWLP_WNDPROC, (LONG_PTR)old);
        ::RemovePropA(hWnd, SKINMENU_OLDPROC_PROP);
        return ::CallWindowProcA(old, hWnd, message, wParam, lParam);
    }
    return ::CallWindowProcA(old, hWnd, message, wParam, lParam);
}
