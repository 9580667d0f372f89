#include "SkinSB.h"
#include "BitmapUtil.h"
#include <commctrl.h>
#include <windowsx.h>

namespace {

enum { BAR_VISIBLE = 8, BAR_KEEP = 4, FIRST_DISABLED = 1, SECOND_DISABLED = 2 };
enum { DRAG_SLACK_ALONG = 48, DRAG_SLACK_ACROSS = 24 };

struct Bar {
    UINT fFlags;
    int nMin, nMax, nPage, nPos, nTrackPos;
    int nArrowLength, nArrowWidth;    // negative n: n times the system's size
    int nBarType;                     // SB_HORZ or SB_VERT
    int nStyle;
    int nMinThumb;
};

struct State {
    WNDPROC pfnOld;
    Bar bars[2];
    BOOL fLeftScrollBar;
    int cxLeft, cxRight, cyTop, cyBottom;
    BOOL fThumbTracking;
    BOOL fStyleGuard;
    BOOL fShown[2];
    HWND hwndTip;
    // Hot tracking: the bar last entered and its part under the pointer.
    int nHotBar;
    int nHotPart;
    RECT rcHot;
};

// The bitmaps, in the order SkinSB_LoadBitmaps takes them.
enum { BMP_LEFT, BMP_HTHUMB, BMP_HTRACK, BMP_RIGHT, BMP_UP, BMP_VTHUMB, BMP_VTRACK, BMP_DOWN, BMP_CORNER, BMP_COUNT };
HBITMAP g_bitmaps[BMP_COUNT];
int g_nAttached;

// The press in progress (one at a time: the mouse is captured).
struct Press {
    HWND hwnd;
    int nBar;
    int nPart;
    int nGrabOffset;      // pointer within the thumb
    int nThumbAtStart;
    int nThumb;           // dragged thumb start, from the bar's start
    BOOL fOver;           // pointer still over the pressed part
} g_press;
POINT g_ptLastTip = { -1, -1 };

int ClampInt(int v, int lo, int hi) { return v < lo ? lo : (v > hi ? hi : v); }

State* GetState(HWND hwnd) { return hwnd ? (State*)::GetProp(hwnd, SKINSB_PROP) : NULL; }

int ArrowLength(const Bar& b)
{
    if (b.nArrowLength >= 0)
        return b.nArrowLength;
    return -b.nArrowLength * ::GetSystemMetrics(b.nBarType == SB_HORZ ? SM_CXHSCROLL : SM_CYVSCROLL);
}

int ArrowWidth(const Bar& b)
{
    if (b.nArrowWidth >= 0)
        return b.nArrowWidth;
    return -b.nArrowWidth * ::GetSystemMetrics(b.nBarType == SB_HORZ ? SM_CYHSCROLL : SM_CXVSCROLL);
}

SCROLLINFO InfoOf(const Bar& b)
{
    SCROLLINFO si = { sizeof(si), SIF_ALL, b.nMin, b.nMax, (UINT)b.nPage, b.nPos, b.nTrackPos };
    return si;
}

BOOL CanScroll(const Bar& b)
{
    return b.nPage <= b.nMax && !(b.nPage == 0 && b.nMax == 0) && b.nMax > b.nMin;
}

// The bar's rectangle in window coordinates, as the last size calculation
// laid it out.
BOOL BarRect(HWND hwnd, const State* s, int nBar, RECT* rc)
{
    RECT w;
    ::GetWindowRect(hwnd, &w);
    ::OffsetRect(&w, -w.left, -w.top);
    w.left += s->cxLeft;
    w.right -= s->cxRight;
    w.top += s->cyTop;
    w.bottom -= s->cyBottom;
    int hw = ArrowWidth(s->bars[SB_HORZ]), vw = ArrowWidth(s->bars[SB_VERT]);
    *rc = w;
    if (nBar == SB_HORZ) {
        rc->top = w.bottom - hw;
        if (s->fShown[SB_VERT]) {
            if (s->fLeftScrollBar)
                rc->left += vw;
            else
                rc->right -= vw;
        }
    } else {
        if (s->fLeftScrollBar)
            rc->right = w.left + vw;
        else
            rc->left = w.right - vw;
        if (s->fShown[SB_HORZ])
            rc->bottom -= hw;
    }
    return s->fShown[nBar] && rc->right > rc->left && rc->bottom > rc->top;
}

BOOL CornerRect(HWND hwnd, const State* s, RECT* rc)
{
    RECT h, v;
    if (!BarRect(hwnd, s, SB_HORZ, &h) || !BarRect(hwnd, s, SB_VERT, &v))
        return FALSE;
    ::SetRect(rc, v.left, h.top, v.right, h.bottom);
    return TRUE;
}

// Coordinates along a bar (the vertical bar is the horizontal
// one with x and y swapped).
int Along(int nBar, POINT pt) { return nBar == SB_HORZ ? pt.x : pt.y; }
int BarStart(int nBar, const RECT& r) { return nBar == SB_HORZ ? r.left : r.top; }
int BarLength(int nBar, const RECT& r) { return nBar == SB_HORZ ? r.right - r.left : r.bottom - r.top; }

RECT PartRect(int nBar, const RECT& bar, int from, int to)
{
    RECT r = bar;
    if (nBar == SB_HORZ) {
        r.left = bar.left + from;
        r.right = bar.left + to;
    } else {
        r.top = bar.top + from;
        r.bottom = bar.top + to;
    }
    return r;
}

SkinSBLayout LayoutOf(const State* s, int nBar, const RECT& bar)
{
    const Bar& b = s->bars[nBar];
    SkinSBLayout lay = SkinSB_Layout(BarLength(nBar, bar), ArrowLength(b), InfoOf(b), b.nMinThumb);
    if (s->fThumbTracking && g_press.nBar == nBar && lay.nThumb > 0)
        lay.nThumbStart = g_press.nThumb;
    return lay;
}

POINT WindowPoint(HWND hwnd, POINT screen)
{
    RECT w;
    ::GetWindowRect(hwnd, &w);
    POINT pt = { screen.x - w.left, screen.y - w.top };
    return pt;
}

// --- drawing -------------------------------------------------------------

void StretchBitmap(HDC dc, HBITMAP bmp, const RECT& r)
{
    BITMAP bm;
    ::GetObject(bmp, sizeof(bm), &bm);
    HDC mem = ::CreateCompatibleDC(dc);
    HGDIOBJ old = ::SelectObject(mem, bmp);
    ::SetStretchBltMode(dc, COLORONCOLOR);
    ::StretchBlt(dc, r.left, r.top, r.right - r.left, r.bottom - r.top, mem, 0, 0, bm.bmWidth, bm.bmHeight, SRCCOPY);
    ::SelectObject(mem, old);
    ::DeleteDC(mem);
}

void TileBitmapInto(HDC dc, HBITMAP bmp, const RECT& r)
{
    BITMAP bm;
    ::GetObject(bmp, sizeof(bm), &bm);
    if (bm.bmWidth <= 0 || bm.bmHeight <= 0)
        return;
    HDC mem = ::CreateCompatibleDC(dc);
    HGDIOBJ old = ::SelectObject(mem, bmp);
    for (int y = r.top; y < r.bottom; y += bm.bmHeight)
        for (int x = r.left; x < r.right; x += bm.bmWidth) {
            int w = r.right - x < bm.bmWidth ? r.right - x : bm.bmWidth;
            int h = r.bottom - y < bm.bmHeight ? r.bottom - y : bm.bmHeight;
            ::BitBlt(dc, x, y, w, h, mem, 0, 0, SRCCOPY);
        }
    ::SelectObject(mem, old);
    ::DeleteDC(mem);
}

void DrawTrack(HDC dc, const Bar& b, const RECT& r)
{
    if (r.right <= r.left || r.bottom <= r.top)
        return;
    HBITMAP tile = g_bitmaps[b.nBarType == SB_HORZ ? BMP_HTRACK : BMP_VTRACK];
    if (tile) {
        TileBitmapInto(dc, tile, r);
        return;
    }
    // The classic look: a checker of the highlight and face colours.
    WORD bits[8] = { 0x55, 0xaa, 0x55, 0xaa, 0x55, 0xaa, 0x55, 0xaa };
    HBITMAP pattern = ::CreateBitmap(8, 8, 1, 1, bits);
    HBRUSH brush = ::CreatePatternBrush(pattern);
    COLORREF oldText = ::SetTextColor(dc, ::GetSysColor(COLOR_3DFACE));
    COLORREF oldBack = ::SetBkColor(dc, ::GetSysColor(COLOR_3DHILIGHT));
    ::FillRect(dc, &r, brush);
    ::SetTextColor(dc, oldText);
    ::SetBkColor(dc, oldBack);
    ::DeleteObject(brush);
    ::DeleteObject(pattern);
}

void DrawArrow(HDC dc, const Bar& b, const RECT& r, BOOL fFirst, BOOL fPressed, BOOL fDisabled, BOOL fHot)
{
    HBITMAP bmp = b.nBarType == SB_HORZ ? g_bitmaps[fFirst ? BMP_LEFT : BMP_RIGHT]
                                        : g_bitmaps[fFirst ? BMP_UP : BMP_DOWN];
    if (bmp) {
        StretchBitmap(dc, bmp, r);
        return;
    }
    UINT state = b.nBarType == SB_HORZ ? (fFirst ? DFCS_SCROLLLEFT : DFCS_SCROLLRIGHT)
                                       : (fFirst ? DFCS_SCROLLUP : DFCS_SCROLLDOWN);
    if (fPressed)
        state |= DFCS_PUSHED;
    if (fDisabled)
        state |= DFCS_INACTIVE;
    if (b.nStyle == SKINSB_FLAT || (b.nStyle == SKINSB_HOTTRACKED && !fHot))
        state |= DFCS_FLAT;
    RECT rc = r;
    ::DrawFrameControl(dc, &rc, DFC_SCROLL, state);
}

void DrawThumb(HDC dc, const Bar& b, const RECT& r)
{
    if (r.right <= r.left || r.bottom <= r.top)
        return;
    HBITMAP bmp = g_bitmaps[b.nBarType == SB_HORZ ? BMP_HTHUMB : BMP_VTHUMB];
    if (bmp) {
        StretchBitmap(dc, bmp, r);
        return;
    }
    RECT rc = r;
    if (b.nStyle == SKINSB_FLAT) {
        ::FillRect(dc, &rc, ::GetSysColorBrush(COLOR_3DSHADOW));
        return;
    }
    ::DrawEdge(dc, &rc, EDGE_RAISED, BF_RECT | BF_MIDDLE);
}

void NotifyThumbDraw(HWND hwnd, UINT nStage, int nBar, HDC dc, const RECT& bar)
{
    HWND parent = ::GetParent(hwnd);
    if (!parent)
        return;
    NMSKINSBDRAW nm = {};
    nm.hdr.hwndFrom = hwnd;
    nm.hdr.idFrom = (UINT_PTR)::GetDlgCtrlID(hwnd);
    nm.hdr.code = SKINSB_NM_THUMBDRAW;
    nm.nStage = nStage;
    nm.nBar = nBar;
    nm.hdc = dc;
    nm.rcBar = bar;
    ::SendMessage(parent, WM_NOTIFY, nm.hdr.idFrom, (LPARAM)&nm);
}

void DrawBar(HWND hwnd, State* s, int nBar, HDC dc)
{
    RECT bar;
    if (!BarRect(hwnd, s, nBar, &bar))
        return;
    const Bar& b = s->bars[nBar];
    SkinSBLayout lay = LayoutOf(s, nBar, bar);
    BOOL tracking = s->fThumbTracking && g_press.hwnd == hwnd && g_press.nBar == nBar;
    if (tracking)
        NotifyThumbDraw(hwnd, 1, nBar, dc, bar);
    int len = BarLength(nBar, bar);
    BOOL pressedHere = g_press.hwnd == hwnd && g_press.nBar == nBar && g_press.fOver;
    BOOL hotHere = s->nHotBar == nBar;
    DrawArrow(dc, b, PartRect(nBar, bar, 0, lay.nArrow), TRUE,
              pressedHere && g_press.nPart == SKINSB_PART_FIRST_ARROW, (b.fFlags & FIRST_DISABLED) != 0,
              hotHere && s->nHotPart == SKINSB_PART_FIRST_ARROW);
    DrawArrow(dc, b, PartRect(nBar, bar, len - lay.nArrow, len), FALSE,
              pressedHere && g_press.nPart == SKINSB_PART_SECOND_ARROW, (b.fFlags & SECOND_DISABLED) != 0,
              hotHere && s->nHotPart == SKINSB_PART_SECOND_ARROW);
    if (lay.nThumb > 0) {
        DrawTrack(dc, b, PartRect(nBar, bar, lay.nArrow, lay.nThumbStart));
        DrawTrack(dc, b, PartRect(nBar, bar, lay.nThumbStart + lay.nThumb, len - lay.nArrow));
        DrawThumb(dc, b, PartRect(nBar, bar, lay.nThumbStart, lay.nThumbStart + lay.nThumb));
    } else {
        DrawTrack(dc, b, PartRect(nBar, bar, lay.nArrow, len - lay.nArrow));
    }
    if (tracking)
        NotifyThumbDraw(hwnd, 2, nBar, dc, bar);
}

void DrawCorner(HWND hwnd, State* s, HDC dc)
{
    RECT rc;
    if (!CornerRect(hwnd, s, &rc))
        return;
    if (g_bitmaps[BMP_CORNER]) {
        StretchBitmap(dc, g_bitmaps[BMP_CORNER], rc);
        return;
    }
    // Bars that end in the parent's client corner carry the size grip.
    HWND parent = ::GetParent(hwnd);
    RECT w, pc;
    ::GetWindowRect(hwnd, &w);
    if (parent && s->bars[SB_VERT].nStyle == SKINSB_NORMAL && ::GetClientRect(parent, &pc)) {
        POINT corner = { pc.right, pc.bottom };
        ::ClientToScreen(parent, &corner);
        if (corner.x == w.right && corner.y == w.bottom) {
            ::DrawFrameControl(dc, &rc, DFC_SCROLL, DFCS_SCROLLSIZEGRIP);
            return;
        }
    }
    ::FillRect(dc, &rc, ::GetSysColorBrush(COLOR_3DFACE));
}

void DrawBars(HWND hwnd, State* s)
{
    HDC dc = ::GetWindowDC(hwnd);
    if (!dc)
        return;
    DrawBar(hwnd, s, SB_HORZ, dc);
    DrawBar(hwnd, s, SB_VERT, dc);
    DrawCorner(hwnd, s, dc);
    ::ReleaseDC(hwnd, dc);
}

// Runs f with the window's scroll style bits taken away, so that the system
// neither reserves room for nor draws bars of its own.
template <class F>
LRESULT WithoutScrollStyle(HWND hwnd, State* s, F f)
{
    LONG_PTR style = ::GetWindowLongPtr(hwnd, GWL_STYLE);
    LONG_PTR bits = style & (WS_HSCROLL | WS_VSCROLL);
    if (bits) {
        s->fStyleGuard = TRUE;
        ::SetWindowLongPtr(hwnd, GWL_STYLE, style & ~bits);
    }
    LRESULT r = f();
    if (bits) {
        ::SetWindowLongPtr(hwnd, GWL_STYLE, ::GetWindowLongPtr(hwnd, GWL_STYLE) | bits);
        s->fStyleGuard = FALSE;
    }
    return r;
}

void RedrawAfterSet(HWND hwnd, State* s, BOOL fVisibilityChanged)
{
    if (s->fThumbTracking)
        return;
    if (fVisibilityChanged)
        ::SetWindowPos(hwnd, NULL, 0, 0, 0, 0,
                       SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    else
        ::SendMessage(hwnd, WM_NCPAINT, 1, 0);
}

void SetVisible(Bar& b, BOOL fShow)
{
    if (fShow)
        b.fFlags |= BAR_VISIBLE;
    else
        b.fFlags &= ~BAR_VISIBLE;
}

int DefaultMinThumb()
{
    OSVERSIONINFO vi = {};
    vi.dwOSVersionInfoSize = sizeof(vi);
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    ::GetVersionEx(&vi);
#pragma GCC diagnostic pop
    return vi.dwMajorVersion < 5 || vi.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS ? 8 : 6;
}

template <class F>
void ForBars(int nBar, F f)
{
    if (nBar == SB_HORZ || nBar == SB_BOTH)
        f(SB_HORZ);
    if (nBar == SB_VERT || nBar == SB_BOTH)
        f(SB_VERT);
}

// --- mouse ---------------------------------------------------------------

// The bar and part under a window point; FALSE off both bars.
BOOL HitBar(HWND hwnd, State* s, POINT pt, int* pBar, int* pPart, RECT* pBarRect)
{
    for (int nBar = SB_HORZ; nBar <= SB_VERT; ++nBar) {
        RECT bar;
        if (!BarRect(hwnd, s, nBar, &bar) || !::PtInRect(&bar, pt))
            continue;
        *pBar = nBar;
        *pPart = SkinSB_PartAt(LayoutOf(s, nBar, bar), Along(nBar, pt) - BarStart(nBar, bar));
        if (pBarRect)
            *pBarRect = bar;
        return TRUE;
    }
    return FALSE;
}

UINT ScrollMessage(int nBar) { return nBar == SB_HORZ ? WM_HSCROLL : WM_VSCROLL; }

UINT PartCode(int nPart)
{
    switch (nPart) {
    case SKINSB_PART_FIRST_ARROW: return SB_LINEUP;
    case SKINSB_PART_SECOND_ARROW: return SB_LINEDOWN;
    case SKINSB_PART_TRACK_BEFORE: return SB_PAGEUP;
    default: return SB_PAGEDOWN;
    }
}

void EndPress(HWND hwnd)
{
    ::KillTimer(hwnd, SKINSB_DELAY_TIMER);
    ::KillTimer(hwnd, SKINSB_REPEAT_TIMER);
    g_press = Press();
}

void OnBarPress(HWND hwnd, State* s, POINT screen)
{
    POINT pt = WindowPoint(hwnd, screen);
    int nBar, nPart;
    RECT bar;
    if (!HitBar(hwnd, s, pt, &nBar, &nPart, &bar) || nPart == SKINSB_PART_NONE)
        return;
    const Bar& b = s->bars[nBar];
    if ((nPart == SKINSB_PART_FIRST_ARROW && (b.fFlags & FIRST_DISABLED)) ||
        (nPart == SKINSB_PART_SECOND_ARROW && (b.fFlags & SECOND_DISABLED)))
        return;
    g_press = Press();
    g_press.hwnd = hwnd;
    g_press.nBar = nBar;
    g_press.nPart = nPart;
    g_press.fOver = TRUE;
    ::SetCapture(hwnd);
    if (nPart == SKINSB_PART_THUMB) {
        SkinSBLayout lay = LayoutOf(s, nBar, bar);
        g_press.nGrabOffset = Along(nBar, pt) - BarStart(nBar, bar) - lay.nThumbStart;
        g_press.nThumbAtStart = g_press.nThumb = lay.nThumbStart;
        s->bars[nBar].nTrackPos = b.nPos;
        s->fThumbTracking = TRUE;
        DrawBars(hwnd, s);
        return;
    }
    ::SendMessage(hwnd, ScrollMessage(nBar), MAKEWPARAM(PartCode(nPart), 0), 0);
    if (GetState(hwnd) != s || g_press.hwnd != hwnd)
        return;
    DrawBars(hwnd, s);
    ::SetTimer(hwnd, SKINSB_DELAY_TIMER, SKINSB_DELAY_MS, NULL);
}

void OnPressMove(HWND hwnd, State* s, POINT screen)
{
    POINT pt = WindowPoint(hwnd, screen);
    int nBar = g_press.nBar;
    RECT bar;
    BarRect(hwnd, s, nBar, &bar);
    if (g_press.nPart != SKINSB_PART_THUMB) {
        int hitBar, hitPart;
        BOOL over = HitBar(hwnd, s, pt, &hitBar, &hitPart, NULL) && hitBar == nBar && hitPart == g_press.nPart;
        if (over != g_press.fOver) {
            g_press.fOver = over;
            DrawBars(hwnd, s);
        }
        return;
    }
    // The thumb follows the pointer near the bar and snaps back away from it.
    SkinSBLayout lay = SkinSB_Layout(BarLength(nBar, bar), ArrowLength(s->bars[nBar]), InfoOf(s->bars[nBar]),
                                     s->bars[nBar].nMinThumb);
    RECT slack = bar;
    if (nBar == SB_HORZ)
        ::InflateRect(&slack, DRAG_SLACK_ALONG, DRAG_SLACK_ACROSS);
    else
        ::InflateRect(&slack, DRAG_SLACK_ACROSS, DRAG_SLACK_ALONG);
    int thumb = g_press.nThumbAtStart;
    if (::PtInRect(&slack, pt))
        thumb = ClampInt(Along(nBar, pt) - BarStart(nBar, bar) - g_press.nGrabOffset, lay.nArrow,
                         lay.nArrow + lay.nTrack - lay.nThumb);
    g_press.nThumb = thumb;
    Bar& b = s->bars[nBar];
    int pos = SkinSB_PositionFromOffset(InfoOf(b), thumb - lay.nArrow, lay.nTrack, lay.nThumb);
    DrawBars(hwnd, s);
    if (pos != b.nTrackPos) {
        b.nTrackPos = pos;
        ::SendMessage(hwnd, ScrollMessage(nBar), MAKEWPARAM(SB_THUMBTRACK, pos), 0);
    }
}

void OnPressRelease(HWND hwnd, State* s)
{
    int nBar = g_press.nBar;
    BOOL dragged = g_press.nPart == SKINSB_PART_THUMB;
    int trackPos = s->bars[nBar].nTrackPos;
    EndPress(hwnd);
    if (::GetCapture() == hwnd)
        ::ReleaseCapture();
    if (dragged) {
        ::SendMessage(hwnd, ScrollMessage(nBar), MAKEWPARAM(SB_THUMBPOSITION, trackPos), 0);
        if (GetState(hwnd) != s)
            return;
        s->fThumbTracking = FALSE;
    }
    ::SendMessage(hwnd, ScrollMessage(nBar), MAKEWPARAM(SB_ENDSCROLL, 0), 0);
    if (GetState(hwnd) == s)
        DrawBars(hwnd, s);
}

void OnPressTimer(HWND hwnd, State* s, UINT_PTR id)
{
    if (id == SKINSB_DELAY_TIMER) {
        ::KillTimer(hwnd, SKINSB_DELAY_TIMER);
        ::SetTimer(hwnd, SKINSB_REPEAT_TIMER, SKINSB_REPEAT_MS, NULL);
        return;
    }
    POINT cursor;
    ::GetCursorPos(&cursor);
    OnPressMove(hwnd, s, cursor);
    if (g_press.fOver)
        ::SendMessage(hwnd, ScrollMessage(g_press.nBar), MAKEWPARAM(PartCode(g_press.nPart), 0), 0);
}

void OnHotMove(HWND hwnd, State* s, POINT screen)
{
    POINT pt = WindowPoint(hwnd, screen);
    int nBar, nPart;
    RECT bar;
    if (!HitBar(hwnd, s, pt, &nBar, &nPart, &bar) || nBar == s->nHotBar)
        return;
    s->nHotBar = nBar;
    s->nHotPart = SKINSB_PART_NONE;
    s->rcHot = bar;
    ::SetTimer(hwnd, SKINSB_HOT_TIMER, SKINSB_HOT_MS, NULL);
    DrawBars(hwnd, s);
}

void OnHotTimer(HWND hwnd, State* s)
{
    if (s->fThumbTracking)
        return;
    POINT cursor;
    ::GetCursorPos(&cursor);
    POINT pt = WindowPoint(hwnd, cursor);
    if (!::PtInRect(&s->rcHot, pt)) {
        ::KillTimer(hwnd, SKINSB_HOT_TIMER);
        s->nHotBar = -1;
        s->nHotPart = SKINSB_PART_NONE;
        DrawBars(hwnd, s);
        return;
    }
    int nBar, nPart;
    if (HitBar(hwnd, s, pt, &nBar, &nPart, NULL) && nPart != s->nHotPart) {
        s->nHotPart = nPart;
        DrawBars(hwnd, s);
    }
}

// Non-client mouse messages reach the tooltip as their client equivalents.
void RelayToTip(HWND hwnd, State* s, UINT msg, LPARAM lParam)
{
    if (!s->hwndTip)
        return;
    UINT client;
    switch (msg) {
    case WM_NCMOUSEMOVE: client = WM_MOUSEMOVE; break;
    case WM_NCLBUTTONDOWN: client = WM_LBUTTONDOWN; break;
    case WM_NCLBUTTONUP: client = WM_LBUTTONUP; break;
    case WM_NCRBUTTONDOWN: client = WM_RBUTTONDOWN; break;
    case WM_NCRBUTTONUP: client = WM_RBUTTONUP; break;
    case WM_NCMBUTTONDOWN: client = WM_MBUTTONDOWN; break;
    case WM_NCMBUTTONUP: client = WM_MBUTTONUP; break;
    default: return;
    }
    POINT pt = { GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam) };
    if (msg == WM_NCMOUSEMOVE) {
        if (pt.x == g_ptLastTip.x && pt.y == g_ptLastTip.y)
            return;
        g_ptLastTip = pt;
    }
    ::ScreenToClient(hwnd, &pt);
    MSG m = {};
    m.hwnd = hwnd;
    m.message = client;
    m.lParam = MAKELPARAM(pt.x, pt.y);
    m.time = (DWORD)::GetMessageTime();
    m.pt.x = GET_X_LPARAM(lParam);
    m.pt.y = GET_Y_LPARAM(lParam);
    ::SendMessage(s->hwndTip, TTM_RELAYEVENT, 0, (LPARAM)&m);
}

HWND MakeTip(HWND hwnd)
{
    INITCOMMONCONTROLSEX icc = { sizeof(icc), ICC_BAR_CLASSES };
    ::InitCommonControlsEx(&icc);
    HWND tip = ::CreateWindowEx(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, TOOLTIPS_CLASS, NULL,
                                WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT, CW_USEDEFAULT,
                                CW_USEDEFAULT, CW_USEDEFAULT, hwnd, NULL, (HINSTANCE)::GetModuleHandle(NULL), NULL);
    if (!tip)
        return NULL;
    TOOLINFO ti = {};
    ti.cbSize = sizeof(ti);
    ti.uFlags = TTF_IDISHWND;
    ti.hwnd = hwnd;
    ti.uId = (UINT_PTR)hwnd;
    ti.lpszText = LPSTR_TEXTCALLBACK;
    ::SendMessage(tip, TTM_ADDTOOL, 0, (LPARAM)&ti);
    return tip;
}

LRESULT OnNcCalcSize(HWND hwnd, State* s, WPARAM wParam, LPARAM lParam)
{
    RECT* rc = wParam ? &((NCCALCSIZE_PARAMS*)lParam)->rgrc[0] : (RECT*)lParam;
    RECT window = *rc;
    LRESULT r = WithoutScrollStyle(hwnd, s, [&] { return ::CallWindowProc(s->pfnOld, hwnd, WM_NCCALCSIZE, wParam, lParam); });
    s->cxLeft = rc->left - window.left;
    s->cxRight = window.right - rc->right;
    s->cyTop = rc->top - window.top;
    s->cyBottom = window.bottom - rc->bottom;
    s->fShown[SB_HORZ] = s->fShown[SB_VERT] = FALSE;
    int hw = ArrowWidth(s->bars[SB_HORZ]), vw = ArrowWidth(s->bars[SB_VERT]);
    if ((s->bars[SB_HORZ].fFlags & BAR_VISIBLE) && rc->bottom - rc->top > hw) {
        s->fShown[SB_HORZ] = TRUE;
        rc->bottom -= hw;
    }
    if ((s->bars[SB_VERT].fFlags & BAR_VISIBLE) && rc->right - rc->left >= vw) {
        s->fShown[SB_VERT] = TRUE;
        if (s->fLeftScrollBar)
            rc->left += vw;
        else
            rc->right -= vw;
    }
    return r;
}

void DeleteBitmaps()
{
    for (HBITMAP& h : g_bitmaps) {
        if (h)
            ::DeleteObject(h);
        h = NULL;
    }
}

}  // namespace

// --- the arithmetic ------------------------------------------------------

int SkinSB_MaxPos(const SCROLLINFO& si)
{
    int extra = (int)si.nPage - 1;
    return si.nMax - (extra > 0 ? extra : 0);
}

SkinSBLayout SkinSB_Layout(int nBarLength, int nArrowLength, const SCROLLINFO& si, int nMinThumb)
{
    SkinSBLayout lay = {};
    if (nBarLength <= 2 * nArrowLength) {
        lay.nArrow = nBarLength / 2;
        return lay;
    }
    lay.nArrow = nArrowLength;
    lay.nTrack = nBarLength - 2 * nArrowLength;
    long long range = (long long)si.nMax - si.nMin + 1;
    int thumb;
    if (si.nPage == 0)
        thumb = nArrowLength;
    else if (range > 0)
        thumb = (int)((long long)si.nPage * lay.nTrack / range);
    else
        thumb = lay.nTrack;
    if (thumb < nMinThumb)
        thumb = nMinThumb;
    if (thumb > lay.nTrack)
        thumb = lay.nTrack;
    lay.nThumb = thumb;
    int offset = 0;
    // Everything fits (range no more than a page): no room to move, offset 0.
    long long span = range - (si.nPage > 1 ? si.nPage : 1);
    if (range > 0 && span > 0)
        offset = (int)(((long long)si.nPos - si.nMin) * (lay.nTrack - thumb) / span);
    lay.nThumbStart = nArrowLength + ClampInt(offset, 0, lay.nTrack - thumb);
    return lay;
}

int SkinSB_PositionFromOffset(const SCROLLINFO& si, int nOffset, int nTrack, int nThumb)
{
    int room = nTrack - nThumb;
    long long span = (long long)si.nMax - si.nMin - (int)si.nPage + 1;
    if (room <= 0 || si.nMax - si.nMin < 1 || span <= 0)
        return si.nMin;
    return si.nMin + (int)((long long)nOffset * span / room);
}

int SkinSB_PartAt(const SkinSBLayout& lay, int nAlong)
{
    int len = 2 * lay.nArrow + lay.nTrack;
    if (nAlong < 0 || nAlong >= len)
        return SKINSB_PART_NONE;
    if (nAlong < lay.nArrow)
        return SKINSB_PART_FIRST_ARROW;
    if (nAlong >= len - lay.nArrow)
        return SKINSB_PART_SECOND_ARROW;
    if (lay.nThumb <= 0)
        return SKINSB_PART_NONE;
    if (nAlong < lay.nThumbStart)
        return SKINSB_PART_TRACK_BEFORE;
    if (nAlong < lay.nThumbStart + lay.nThumb)
        return SKINSB_PART_THUMB;
    return SKINSB_PART_TRACK_AFTER;
}

// --- attaching -----------------------------------------------------------

BOOL WINAPI InitializeSkinSB(HWND hwnd)
{
    if (!::IsWindow(hwnd) || GetState(hwnd))
        return FALSE;
    State* s = (State*)::HeapAlloc(::GetProcessHeap(), HEAP_ZERO_MEMORY, sizeof(State));
    if (!s)
        return FALSE;
    LONG_PTR style = ::GetWindowLongPtr(hwnd, GWL_STYLE);
    for (int nBar = SB_HORZ; nBar <= SB_VERT; ++nBar) {
        Bar& b = s->bars[nBar];
        SCROLLINFO si = {};
        si.cbSize = sizeof(si);
        si.fMask = SIF_ALL;
        if (::GetScrollInfo(hwnd, nBar, &si)) {
            b.nMin = si.nMin;
            b.nMax = si.nMax;
            b.nPage = (int)si.nPage;
            b.nPos = si.nPos;
            b.nTrackPos = si.nTrackPos;
        }
        b.nBarType = nBar;
        b.nArrowLength = b.nArrowWidth = -1;
        b.nStyle = SKINSB_NORMAL;
        b.nMinThumb = DefaultMinThumb();
        SetVisible(b, (style & (nBar == SB_HORZ ? WS_HSCROLL : WS_VSCROLL)) != 0);
    }
    s->fLeftScrollBar = (::GetWindowLongPtr(hwnd, GWL_EXSTYLE) & WS_EX_LEFTSCROLLBAR) != 0;
    s->nHotBar = -1;
    s->nHotPart = SKINSB_PART_NONE;
    if (!::SetProp(hwnd, SKINSB_PROP, (HANDLE)s)) {
        ::HeapFree(::GetProcessHeap(), 0, s);
        return FALSE;
    }
    s->pfnOld = (WNDPROC)::SetWindowLongPtr(hwnd, GWLP_WNDPROC, (LONG_PTR)SkinSB_WndProc);
    s->hwndTip = MakeTip(hwnd);
    ++g_nAttached;
    ::SetWindowPos(hwnd, NULL, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    return TRUE;
}

HRESULT WINAPI SkinSB_Uninitialize(HWND hwnd)
{
    State* s = GetState(hwnd);
    if (!s)
        return E_FAIL;
    if (g_press.hwnd == hwnd)
        EndPress(hwnd);
    ::KillTimer(hwnd, SKINSB_HOT_TIMER);
    ::SetWindowLongPtr(hwnd, GWLP_WNDPROC, (LONG_PTR)s->pfnOld);
    ::RemoveProp(hwnd, SKINSB_PROP);
    if (s->hwndTip)
        ::DestroyWindow(s->hwndTip);
    ::HeapFree(::GetProcessHeap(), 0, s);
    --g_nAttached;
    ::SetWindowPos(hwnd, NULL, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    return S_OK;
}

BOOL WINAPI SkinSB_IsAttached(HWND hwnd)
{
    return GetState(hwnd) != NULL;
}

// --- setters -------------------------------------------------------------

int WINAPI SkinSB_SetScrollInfo(HWND hwnd, int nBar, LPCSCROLLINFO psi, BOOL fRedraw)
{
    State* s = GetState(hwnd);
    if (!s || (nBar != SB_HORZ && nBar != SB_VERT) || !psi)
        return ::SetScrollInfo(hwnd, nBar, psi, fRedraw);
    Bar& b = s->bars[nBar];
    if (psi->fMask & SIF_RANGE) {
        b.nMin = psi->nMin;
        b.nMax = psi->nMax;
    }
    if (psi->fMask & SIF_PAGE) {
        long long room = (long long)b.nMax - b.nMin + 1;
        long long page = psi->nPage;
        if (page > room)
            page = room > 0 ? room : 0;
        b.nPage = (int)page;
    }
    if (psi->fMask & SIF_POS)
        b.nPos = psi->nPos;
    // A new range or page may leave the old position beyond the end.
    int top = SkinSB_MaxPos(InfoOf(b));
    b.nPos = ClampInt(b.nPos, b.nMin, top > b.nMin ? top : b.nMin);
    BOOL wasVisible = (b.fFlags & BAR_VISIBLE) != 0;
    if ((psi->fMask & SIF_DISABLENOSCROLL) || (b.fFlags & BAR_KEEP))
        SetVisible(b, TRUE);
    else
        SetVisible(b, CanScroll(b));
    if (fRedraw)
        RedrawAfterSet(hwnd, s, wasVisible != ((b.fFlags & BAR_VISIBLE) != 0));
    return b.nPos;
}

BOOL WINAPI SkinSB_GetScrollInfo(HWND hwnd, int nBar, LPSCROLLINFO psi)
{
    State* s = GetState(hwnd);
    if (!s || (nBar != SB_HORZ && nBar != SB_VERT) || !psi)
        return ::GetScrollInfo(hwnd, nBar, psi);
    const Bar& b = s->bars[nBar];
    if (psi->fMask & SIF_RANGE) {
        psi->nMin = b.nMin;
        psi->nMax = b.nMax;
    }
    if (psi->fMask & SIF_PAGE)
        psi->nPage = (UINT)b.nPage;
    if (psi->fMask & SIF_POS)
        psi->nPos = b.nPos;
    if (psi->fMask & SIF_TRACKPOS)
        psi->nTrackPos = b.nTrackPos;
    return TRUE;
}

int WINAPI SkinSB_SetScrollPos(HWND hwnd, int nBar, int nPos, BOOL fRedraw)
{
    State* s = GetState(hwnd);
    if (!s || (nBar != SB_HORZ && nBar != SB_VERT))
        return ::SetScrollPos(hwnd, nBar, nPos, fRedraw);
    Bar& b = s->bars[nBar];
    int old = b.nPos;
    int top = SkinSB_MaxPos(InfoOf(b));
    b.nPos = ClampInt(nPos, b.nMin, top > b.nMin ? top : b.nMin);
    if (fRedraw)
        RedrawAfterSet(hwnd, s, FALSE);
    return old;
}

int WINAPI SkinSB_GetScrollPos(HWND hwnd, int nBar)
{
    State* s = GetState(hwnd);
    if (!s || (nBar != SB_HORZ && nBar != SB_VERT))
        return ::GetScrollPos(hwnd, nBar);
    return s->bars[nBar].nPos;
}

BOOL WINAPI SkinSB_ShowScrollBar(HWND hwnd, int nBar, BOOL fShow)
{
    State* s = GetState(hwnd);
    if (!s)
        return ::ShowScrollBar(hwnd, nBar, fShow);
    if (nBar != SB_HORZ && nBar != SB_VERT && nBar != SB_BOTH)
        return FALSE;
    LONG_PTR style = ::GetWindowLongPtr(hwnd, GWL_STYLE);
    ForBars(nBar, [&](int n) {
        SetVisible(s->bars[n], fShow);
        LONG_PTR bit = n == SB_HORZ ? WS_HSCROLL : WS_VSCROLL;
        style = fShow ? (style | bit) : (style & ~bit);
    });
    ::SetWindowLongPtr(hwnd, GWL_STYLE, style);
    ::SetWindowPos(hwnd, NULL, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    return TRUE;
}

BOOL WINAPI SkinSB_SetSize(HWND hwnd, int nBar, int nStyle)
{
    State* s = GetState(hwnd);
    if (!s)
        return FALSE;
    ForBars(nBar, [&](int n) { s->bars[n].nStyle = nStyle; });
    ::SendMessage(hwnd, WM_NCPAINT, 1, 0);
    return TRUE;
}

BOOL WINAPI SkinSB_SetMinThumbSize(HWND hwnd, int nBar, int nSize)
{
    State* s = GetState(hwnd);
    if (!s)
        return FALSE;
    int size = nSize == -1 ? DefaultMinThumb() : nSize;
    ForBars(nBar, [&](int n) { s->bars[n].nMinThumb = size; });
    return TRUE;
}

BOOL WINAPI SkinSB_LoadBitmaps(HINSTANCE hInst, LPCTSTR pszLeft, LPCTSTR pszHThumb, LPCTSTR pszHTrack,
                               LPCTSTR pszRight, LPCTSTR pszUp, LPCTSTR pszVThumb, LPCTSTR pszVTrack,
                               LPCTSTR pszDown, LPCTSTR pszCorner)
{
    LPCTSTR names[BMP_COUNT] = { pszLeft, pszHThumb, pszHTrack, pszRight, pszUp,
                                 pszVThumb, pszVTrack, pszDown, pszCorner };
    BOOL all = TRUE;
    for (int i = 0; i < BMP_COUNT; ++i) {
        HBITMAP h = names[i] ? LoadResourceSection(hInst, names[i]) : NULL;
        if (!h) {
            all = FALSE;
            continue;
        }
        if (g_bitmaps[i])
            ::DeleteObject(g_bitmaps[i]);
        g_bitmaps[i] = h;
    }
    return all;
}

// --- the window procedure ------------------------------------------------

LRESULT CALLBACK SkinSB_WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    State* s = GetState(hwnd);
    if (!s)
        return ::DefWindowProc(hwnd, msg, wParam, lParam);
    WNDPROC old = s->pfnOld;
    switch (msg) {
    case WM_NCCALCSIZE:
        return OnNcCalcSize(hwnd, s, wParam, lParam);

    case WM_NCHITTEST: {
        POINT pt = WindowPoint(hwnd, { GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam) });
        int nBar, nPart;
        if (HitBar(hwnd, s, pt, &nBar, &nPart, NULL))
            return nBar == SB_HORZ ? HTHSCROLL : HTVSCROLL;
        break;
    }

    case WM_NCPAINT: {
        LRESULT r = WithoutScrollStyle(hwnd, s, [&] { return ::CallWindowProc(old, hwnd, msg, wParam, lParam); });
        DrawBars(hwnd, s);
        return r;
    }

    case WM_NCLBUTTONDOWN:
    case WM_NCLBUTTONDBLCLK:
        RelayToTip(hwnd, s, WM_NCLBUTTONDOWN, lParam);
        if (wParam == HTHSCROLL || wParam == HTVSCROLL) {
            OnBarPress(hwnd, s, { GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam) });
            return 0;
        }
        break;

    case WM_NCMOUSEMOVE:
        RelayToTip(hwnd, s, msg, lParam);
        if (wParam == HTHSCROLL || wParam == HTVSCROLL) {
            if (!s->fThumbTracking)
                OnHotMove(hwnd, s, { GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam) });
            return 0;
        }
        break;

    case WM_NCLBUTTONUP:
        RelayToTip(hwnd, s, msg, lParam);
        break;

    case WM_NCRBUTTONDOWN:
    case WM_NCRBUTTONUP:
    case WM_NCMBUTTONDOWN:
    case WM_NCMBUTTONUP:
        RelayToTip(hwnd, s, msg, lParam);
        if (wParam == HTHSCROLL || wParam == HTVSCROLL)
            return 0;
        break;

    case WM_MOUSEMOVE:
        if (g_press.hwnd == hwnd) {
            POINT pt = { GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam) };
            ::ClientToScreen(hwnd, &pt);
            OnPressMove(hwnd, s, pt);
            return 0;
        }
        break;

    case WM_LBUTTONUP:
        if (g_press.hwnd == hwnd) {
            OnPressRelease(hwnd, s);
            return 0;
        }
        break;

    case WM_CAPTURECHANGED:
        // Another window took the mouse: the press ends as if released.
        if (g_press.hwnd == hwnd && (HWND)lParam != hwnd)
            OnPressRelease(hwnd, s);
        break;

    case WM_TIMER:
        if (wParam == SKINSB_DELAY_TIMER || wParam == SKINSB_REPEAT_TIMER) {
            if (g_press.hwnd == hwnd)
                OnPressTimer(hwnd, s, wParam);
            else
                ::KillTimer(hwnd, wParam);
            return 0;
        }
        if (wParam == SKINSB_HOT_TIMER) {
            OnHotTimer(hwnd, s);
            return 0;
        }
        break;

    case WM_NOTIFY: {
        // The tooltip asks for its text: the bars have no buttons that name one.
        NMHDR* nm = (NMHDR*)lParam;
        if (nm && nm->hwndFrom == s->hwndTip && nm->code == TTN_GETDISPINFO) {
            ((NMTTDISPINFO*)lParam)->szText[0] = 0;
            ((NMTTDISPINFO*)lParam)->lpszText = ((NMTTDISPINFO*)lParam)->szText;
            return 0;
        }
        break;
    }

    case WM_SETCURSOR:
        if (s->hwndTip) {
            ::SendMessage(s->hwndTip, TTM_ACTIVATE, FALSE, 0);
            ::SendMessage(s->hwndTip, TTM_POP, 0, 0);
        }
        break;

    case WM_STYLECHANGED:
        if (s->fStyleGuard)
            return 0;
        if (wParam == (WPARAM)GWL_EXSTYLE)
            s->fLeftScrollBar = (((STYLESTRUCT*)lParam)->styleNew & WS_EX_LEFTSCROLLBAR) != 0;
        break;

    case WM_NCDESTROY:
        SkinSB_Uninitialize(hwnd);
        if (g_nAttached == 0)
            DeleteBitmaps();
        return ::CallWindowProc(old, hwnd, msg, wParam, lParam);
    }
    return ::CallWindowProc(old, hwnd, msg, wParam, lParam);
}
