#include "ThemeFrame.h"
#include <ctype.h>
#include <stdlib.h>
#include "StoredFile.h"
#include "ThemeBitmaps.h"

namespace {

int ReadInt(LPCSTR ini, LPCSTR section, LPCSTR key, int def)
{
    return (int)ReadProfileInt(section, key, def, ini);
}

CString ReadString(LPCSTR ini, LPCSTR section, LPCSTR key)
{
    char value[MAX_PATH] = "";
    ReadProfileString(section, key, "", value, sizeof(value), ini);
    return CString(value);
}

int Clamp(int v, int lo, int hi) { return v < lo ? lo : v > hi ? hi : v; }

// A memory context over a bitmap, put back when it goes.
struct SelectedDC {
    SelectedDC(HDC ref, HBITMAP bmp) : dc(::CreateCompatibleDC(ref)), old(dc ? ::SelectObject(dc, bmp) : NULL) {}
    ~SelectedDC()
    {
        if (dc) {
            ::SelectObject(dc, old);
            ::DeleteDC(dc);
        }
    }
    HDC dc;
    HGDIOBJ old;
};

// One border: a fixed piece [0, a) at the start, a fixed piece [b, length)
// at the end and [a, b) repeated between them. along/across are the strip's
// axes in the target; srcAcross picks the active or inactive half.
void DrawStrip(HDC hDst, HBITMAP hSrc, BOOL bVertical, int srcAcross, int thickness, int srcLen, int a,
               int b, int dstAcross, int dstStart, int dstLen)
{
    if (!hSrc || thickness <= 0 || dstLen <= 0 || srcLen <= 0)
        return;
    SelectedDC src(hDst, hSrc);
    auto blit = [&](int dstAlong, int srcAlong, int len) {
        if (len <= 0)
            return;
        if (bVertical)
            ::BitBlt(hDst, dstAcross, dstStart + dstAlong, thickness, len, src.dc, srcAcross, srcAlong, SRCCOPY);
        else
            ::BitBlt(hDst, dstStart + dstAlong, dstAcross, len, thickness, src.dc, srcAlong, srcAcross, SRCCOPY);
    };
    int endLen = srcLen - b;
    int endAt = dstLen - endLen;
    int middle = b - a;
    for (int at = a; at < endAt && middle > 0; at += middle)
        blit(at, a, (at + middle <= endAt ? middle : endAt - at));
    blit(0, 0, a < dstLen ? a : dstLen);
    if (endAt < dstLen)
        blit(endAt > 0 ? endAt : 0, b + (endAt < 0 ? -endAt : 0), endAt > 0 ? endLen : dstLen);
}

BOOL IsSystemMenuCommand(UINT id)
{
    return id >= 0xF000 && id < 0xF200;
}

}  // namespace

CString ProgramFolderPath(LPCSTR lpszRelative)
{
    char path[MAX_PATH + 1] = "";
    DWORD n = ::GetModuleFileNameA(NULL, path, MAX_PATH);
    path[n < MAX_PATH ? n : MAX_PATH] = 0;
    char* slash = strrchr(path, '\\');
    if (slash)
        slash[1] = 0;
    return CString(path) + lpszRelative;
}

COLORREF ParseThemeColour(LPCSTR lpszValue, COLORREF crDefault)
{
    int parts[3];
    int n = 0;
    const char* p = lpszValue ? lpszValue : "";
    while (*p && n < 3) {
        if (!isdigit((unsigned char)*p)) {
            p++;
            continue;
        }
        char* end = NULL;
        long v = strtol(p, &end, 10);
        parts[n++] = (int)(v > 255 ? 255 : v);
        p = end;
    }
    if (n < 3)
        return crDefault;
    return RGB(parts[0], parts[1], parts[2]);
}

COLORREF ReadThemeColour(LPCSTR lpszIni, LPCSTR lpszSection, LPCSTR lpszKey, COLORREF crDefault)
{
    return ParseThemeColour(ReadString(lpszIni, lpszSection, lpszKey), crDefault);
}

CThemeFrame::CThemeFrame()
    : m_bLoaded(FALSE), m_nTopH(0), m_nLeftW(0), m_nRightW(0), m_nBottomH(0),
      m_nTopTop(0), m_nTopBot(0), m_nLeftTop(0), m_nLeftBot(0), m_nRightTop(0), m_nRightBot(0),
      m_nBottomTop(0), m_nBottomBot(0), m_nButtonImgCount(3), m_nTextShift(0), m_nTextShiftVert(0),
      m_bUsesTran(FALSE), m_bActive(TRUE), m_nHot(0), m_nPressed(0), m_bResizable(FALSE),
      m_bMinimizeBox(FALSE), m_bMaximizeBox(FALSE), m_nState(NORMAL), m_nStateBeforeMinimize(NORMAL)
{
    for (COLORREF& c : m_colours)
        c = 0;
}

CThemeFrame::~CThemeFrame()
{
    HookWindow((HWND)NULL);
}

void CThemeFrame::Unload()
{
    m_bLoaded = FALSE;
    for (CBitmap* b : {&m_bmpDialog, &m_bmpTop, &m_bmpLeft, &m_bmpRight, &m_bmpBottom})
        b->DeleteObject();
    for (CBitmap& b : m_bmpButton)
        b.DeleteObject();
}

BOOL CThemeFrame::LoadTheme(LPCSTR lpszIni)
{
    Unload();
    if (!lpszIni)
        return FALSE;
    CString folder(lpszIni);
    int slash = folder.ReverseFind('\\');
    int forward = folder.ReverseFind('/');
    if (forward > slash)
        slash = forward;
    folder = slash >= 0 ? folder.Left(slash) : CString(".");
    auto load = [&](CBitmap& bmp, LPCSTR section, LPCSTR key) {
        CString name = ReadString(lpszIni, section, key);
        return !name.IsEmpty() && LoadImageFileBitmap(bmp, folder + "/" + name, (COLORREF)-1);
    };
    const char* P = "Personality";
    load(m_bmpDialog, P, "DialogBmp");
    BOOL bBorders = load(m_bmpTop, P, "Top");
    bBorders = load(m_bmpLeft, P, "Left") && bBorders;
    bBorders = load(m_bmpRight, P, "Right") && bBorders;
    bBorders = load(m_bmpBottom, P, "Bottom") && bBorders;
    if (!bBorders) {
        Unload();
        return FALSE;
    }
    CSize top = BitmapSize(m_bmpTop), left = BitmapSize(m_bmpLeft);
    CSize right = BitmapSize(m_bmpRight), bottom = BitmapSize(m_bmpBottom);
    m_nTopH = top.cy / 2;
    m_nLeftW = left.cx / 2;
    m_nRightW = right.cx / 2;
    m_nBottomH = bottom.cy / 2;
    // Each piece limit stays inside its bitmap, the middle at least a pixel.
    auto limits = [&](LPCSTR first, LPCSTR second, int length, int* a, int* b) {
        *a = Clamp(ReadInt(lpszIni, P, first, 0), 0, length > 0 ? length - 1 : 0);
        *b = Clamp(length - ReadInt(lpszIni, P, second, 0), *a + 1, length);
    };
    limits("TopTopHeight", "TopBotHeight", top.cx, &m_nTopTop, &m_nTopBot);
    limits("LeftTopHeight", "LeftBotHeight", left.cy, &m_nLeftTop, &m_nLeftBot);
    limits("RightTopHeight", "RightBotHeight", right.cy, &m_nRightTop, &m_nRightBot);
    limits("BottomTopHeight", "BottomBotHeight", bottom.cx, &m_nBottomTop, &m_nBottomBot);

    int nButtons = ReadInt(lpszIni, P, "ButtonCount", 0);
    // No image count would divide the button bitmaps by zero: the usual three.
    m_nButtonImgCount = ReadInt(lpszIni, P, "ButtonImgCount", 3);
    if (m_nButtonImgCount < 1)
        m_nButtonImgCount = 3;
    m_nTextShift = ReadInt(lpszIni, P, "TextShift", 0);
    m_nTextShiftVert = ReadInt(lpszIni, P, "TextShiftVert", 0);
    m_bUsesTran = ReadInt(lpszIni, P, "UsesTran", 0) != 0;
    for (int i = 0; i < nButtons && i < 16; i++) {
        CString section;
        section.Format("Button%d", i);
        int action = ReadInt(lpszIni, section, "Action", 0);
        int slot = action == 0 ? CLOSE : action == 2 ? MINIMIZE : action == 1 ? MAXIMIZE : -1;
        if (slot == MAXIMIZE && m_bmpButton[MAXIMIZE].GetSafeHandle())
            slot = RESTORE;
        if (slot < 0 || m_bmpButton[slot].GetSafeHandle())
            continue;
        if (load(m_bmpButton[slot], section, "ButtonImage"))
            m_buttonOffset[slot] = CPoint(ReadInt(lpszIni, section, "XCoord", 0),
                                          ReadInt(lpszIni, section, "YCoord", 0));
    }
    const char* C = "Colours";
    COLORREF caption = ::GetSysColor(COLOR_CAPTIONTEXT), face = ::GetSysColor(COLOR_BTNFACE);
    m_colours[TITLE_TEXT] = ReadThemeColour(lpszIni, C, "TitleText", caption);
    m_colours[INACTIVE_TITLE_TEXT] = ReadThemeColour(lpszIni, C, "InactiveTitleText", caption);
    m_colours[TRANS_COLOR] = m_bUsesTran ? ReadThemeColour(lpszIni, C, "TransColor", RGB(255, 0, 255))
                                         : RGB(255, 0, 255);
    m_colours[BAR_COLOR] = ReadThemeColour(lpszIni, C, "BarColor", RGB(207, 207, 207));
    m_colours[MENU_COLOR] = ReadThemeColour(lpszIni, C, "MenuColor", RGB(207, 207, 207));
    m_colours[BUTTON_FACE] = ReadThemeColour(lpszIni, C, "ButtonFace", face);
    m_colours[BUTTON_TEXT] = ReadThemeColour(lpszIni, C, "ButtonText", ::GetSysColor(COLOR_BTNTEXT));
    m_colours[BUTTON_HILIGHT] = ReadThemeColour(lpszIni, C, "ButtonHilight", face);
    m_colours[BUTTON_FOCUS] = ReadThemeColour(lpszIni, C, "ButtonFocus", face);
    m_bLoaded = TRUE;
    return TRUE;
}

BOOL CThemeFrame::Attach(CWnd* pWnd)
{
    HWND hWnd = CWnd::SafeHwnd(pWnd);
    if (!m_bLoaded || !hWnd)
        return FALSE;
    HookWindow(hWnd);
    LONG_PTR style = ::GetWindowLongPtrA(hWnd, GWL_STYLE);
    m_bResizable = (style & WS_THICKFRAME) != 0;
    m_bMinimizeBox = (style & WS_MINIMIZEBOX) != 0;
    m_bMaximizeBox = (style & WS_MAXIMIZEBOX) != 0;
    ::SetWindowLongPtrA(hWnd, GWL_STYLE, style & ~(LONG_PTR)(WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX));
    char text[256] = "";
    ::GetWindowTextA(hWnd, text, sizeof(text));
    m_strTitle = text;
    m_bActive = ::GetActiveWindow() == hWnd;
    return TRUE;
}

CRect CThemeFrame::ButtonRect(int nButton, int nWindowWidth) const
{
    if (nButton < 0 || nButton >= BUTTONS || !m_bmpButton[nButton].GetSafeHandle())
        return CRect(0, 0, 0, 0);
    CSize size = BitmapSize(m_bmpButton[nButton]);
    int w = size.cx / m_nButtonImgCount;
    int right = nWindowWidth - m_buttonOffset[nButton].x;
    return CRect(right - w, m_buttonOffset[nButton].y, right, m_buttonOffset[nButton].y + size.cy);
}

UINT CThemeFrame::HitTest(CPoint pt, CSize window) const
{
    const int W = window.cx, H = window.cy;
    int shown = m_nState == MAXIMIZED && m_bmpButton[RESTORE].GetSafeHandle() ? RESTORE : MAXIMIZE;
    if (ButtonRect(CLOSE, W).PtInRect(pt))
        return HTCLOSE;
    if (m_bMinimizeBox && ButtonRect(MINIMIZE, W).PtInRect(pt))
        return HTMINBUTTON;
    if (m_bMaximizeBox && ButtonRect(shown, W).PtInRect(pt))
        return HTMAXBUTTON;
    CRect icon(m_nLeftW, 5, m_nLeftW + ::GetSystemMetrics(SM_CXSMICON), 5 + ::GetSystemMetrics(SM_CYSMICON));
    if (icon.PtInRect(pt))
        return HTSYSMENU;
    BOOL left = pt.x < m_nLeftW, right = pt.x >= W - m_nRightW;
    BOOL top = pt.y < m_nTopH, bottom = pt.y >= H - m_nBottomH;
    if (m_bResizable) {
        if (left && top) return HTTOPLEFT;
        if (right && top) return HTTOPRIGHT;
        if (left && bottom) return HTBOTTOMLEFT;
        if (right && bottom) return HTBOTTOMRIGHT;
        if (left) return HTLEFT;
        if (right) return HTRIGHT;
        if (bottom) return HTBOTTOM;
    }
    if (top)
        return HTCAPTION;
    if (left || right || bottom)
        return HTBORDER;
    return HTCLIENT;
}

HBITMAP CThemeFrame::BuildCaptionBand(HDC hRef, int nWidth) const
{
    if (!m_bLoaded || nWidth <= 0 || m_nTopH <= 0)
        return NULL;
    HBITMAP hBand = ::CreateCompatibleBitmap(hRef, nWidth, m_nTopH);
    if (!hBand)
        return NULL;
    SelectedDC band(hRef, hBand);
    int half = m_bActive ? 0 : m_nTopH;
    DrawStrip(band.dc, m_bmpTop, FALSE, half, m_nTopH, BitmapSize(m_bmpTop).cx, m_nTopTop, m_nTopBot, 0, 0,
              nWidth);
    DrawButtons(band.dc, nWidth);
    HWND hWnd = m_hWnd;
    HICON hIcon = hWnd ? (HICON)::SendMessageA(hWnd, WM_GETICON, ICON_SMALL, 0) : NULL;
    if (!hIcon && hWnd)
        hIcon = (HICON)::SendMessageA(hWnd, WM_GETICON, ICON_BIG, 0);
    if (hIcon)
        ::DrawIconEx(band.dc, m_nLeftW, 5, hIcon, ::GetSystemMetrics(SM_CXSMICON),
                     ::GetSystemMetrics(SM_CYSMICON), 0, NULL, DI_NORMAL);
    DrawTitle(band.dc, nWidth);
    return hBand;
}

void CThemeFrame::DrawButtons(HDC hDC, int nWidth) const
{
    int shown = m_nState == MAXIMIZED && m_bmpButton[RESTORE].GetSafeHandle() ? RESTORE : MAXIMIZE;
    const struct { int button; UINT hit; } order[] = {{CLOSE, HTCLOSE}, {MINIMIZE, HTMINBUTTON}, {shown, HTMAXBUTTON}};
    for (const auto& b : order) {
        CRect r = ButtonRect(b.button, nWidth);
        if (r.IsRectEmpty())
            continue;
        int image = m_nPressed == b.hit ? 1 : m_nHot == b.hit ? 2 : 0;
        CRect src(image * r.Width(), 0, (image + 1) * r.Width(), r.Height());
        DrawBitmapPart(m_bmpButton[b.button], hDC, r.left, r.top, src, m_colours[TRANS_COLOR], m_bUsesTran);
    }
}

void CThemeFrame::DrawTitle(HDC hDC, int nWidth) const
{
    if (m_strTitle.IsEmpty())
        return;
    LOGFONTA lf = {};
    lf.lfHeight = ::GetSystemMetrics(SM_CYSMCAPTION);
    lstrcpyA(lf.lfFaceName, "System");
    HFONT hFont = ::CreateFontIndirectA(&lf);
    HGDIOBJ hOld = ::SelectObject(hDC, hFont);
    ::SetBkMode(hDC, TRANSPARENT);
    ::SetTextColor(hDC, m_colours[m_bActive ? TITLE_TEXT : INACTIVE_TITLE_TEXT]);
    int rightPiece = BitmapSize(m_bmpTop).cx - m_nTopBot;
    RECT r = {m_nTextShift, m_nTextShiftVert, nWidth - rightPiece, m_nTopH};
    ::DrawTextA(hDC, m_strTitle, -1, &r, DT_SINGLELINE | DT_VCENTER | DT_WORD_ELLIPSIS | DT_NOPREFIX);
    ::SelectObject(hDC, hOld);
    ::DeleteObject(hFont);
}

HRGN CThemeFrame::BuildWindowRegion(CSize window) const
{
    if (!m_bLoaded || !m_bUsesTran || window.cx <= 0)
        return NULL;
    HDC hScreen = ::GetDC(NULL);
    // The shape follows the active images, whichever half is shown.
    CThemeFrame* self = const_cast<CThemeFrame*>(this);
    BOOL bActive = m_bActive;
    UINT hot = m_nHot, pressed = m_nPressed;
    self->m_bActive = TRUE;
    self->m_nHot = self->m_nPressed = 0;
    HBITMAP hBand = BuildCaptionBand(hScreen, window.cx);
    self->m_bActive = bActive;
    self->m_nHot = hot;
    self->m_nPressed = pressed;
    ::ReleaseDC(NULL, hScreen);
    HRGN hRgn = hBand ? MakeBitmapRegion(hBand, m_colours[TRANS_COLOR]) : NULL;
    if (hBand)
        ::DeleteObject(hBand);
    if (!hRgn)
        return NULL;
    HRGN hBelow = ::CreateRectRgn(0, m_nTopH, window.cx, window.cy);
    ::CombineRgn(hRgn, hRgn, hBelow, RGN_XOR);
    ::DeleteObject(hBelow);
    return hRgn;
}

void CThemeFrame::DrawBorders(HDC hDC, CSize window, int half)
{
    const int W = window.cx, H = window.cy;
    CSize left = BitmapSize(m_bmpLeft), right = BitmapSize(m_bmpRight), bottom = BitmapSize(m_bmpBottom);
    int saved = ::SaveDC(hDC);
    ::ExcludeClipRect(hDC, 0, 0, W, m_nTopH);
    DrawStrip(hDC, m_bmpLeft, TRUE, half ? m_nLeftW : 0, m_nLeftW, left.cy, m_nLeftTop, m_nLeftBot, 0, 0, H);
    DrawStrip(hDC, m_bmpRight, TRUE, half ? m_nRightW : 0, m_nRightW, right.cy, m_nRightTop, m_nRightBot,
              W - m_nRightW, 0, H);
    DrawStrip(hDC, m_bmpBottom, FALSE, half ? m_nBottomH : 0, m_nBottomH, bottom.cx, m_nBottomTop,
              m_nBottomBot, H - m_nBottomH, 0, W);
    ::RestoreDC(hDC, saved);
}

void CThemeFrame::DrawFrame()
{
    if (!m_bLoaded || !m_hWnd)
        return;
    CRect wr;
    ::GetWindowRect(m_hWnd, &wr);
    CSize window = wr.Size();
    HDC hDC = ::GetWindowDC(m_hWnd);
    if (!hDC)
        return;
    DrawBorders(hDC, window, m_bActive ? 0 : 1);
    HBITMAP hBand = BuildCaptionBand(hDC, window.cx);
    int saved = ::SaveDC(hDC);
    if (m_bUsesTran) {
        if (HRGN hClip = BuildWindowRegion(window)) {
            ::SelectClipRgn(hDC, hClip);
            ::DeleteObject(hClip);
        }
    } else {
        // A region from an earlier theme would keep cutting the window.
        HRGN hOld = ::CreateRectRgn(0, 0, 0, 0);
        if (::GetWindowRgn(m_hWnd, hOld) != ERROR)
            ::SetWindowRgn(m_hWnd, NULL, FALSE);
        ::DeleteObject(hOld);
    }
    if (hBand) {
        SelectedDC band(hDC, hBand);
        ::BitBlt(hDC, 0, 0, window.cx, m_nTopH, band.dc, 0, 0, SRCCOPY);
    }
    ::RestoreDC(hDC, saved);
    if (hBand)
        ::DeleteObject(hBand);
    ::ReleaseDC(m_hWnd, hDC);
}

void CThemeFrame::Redraw()
{
    DrawFrame();
}

void CThemeFrame::Maximize()
{
    if (m_nState == MAXIMIZED)
        return;
    ::GetWindowRect(m_hWnd, &m_rNormal);
    RECT work;
    ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    m_nState = MAXIMIZED;
    ::SetWindowPos(m_hWnd, NULL, work.left, work.top, work.right - work.left, work.bottom - work.top,
                   SWP_NOZORDER | SWP_NOACTIVATE);
    Redraw();
}

void CThemeFrame::Restore()
{
    if (m_nState == MAXIMIZED) {
        m_nState = NORMAL;
        ::SetWindowPos(m_hWnd, NULL, m_rNormal.left, m_rNormal.top, m_rNormal.Width(), m_rNormal.Height(),
                       SWP_NOZORDER | SWP_NOACTIVATE);
    } else if (m_nState == MINIMIZED) {
        m_nState = m_nStateBeforeMinimize;
        ::ShowWindow(m_hWnd, SW_RESTORE);
    }
    Redraw();
}

void CThemeFrame::Minimize()
{
    m_nStateBeforeMinimize = m_nState;
    m_nState = MINIMIZED;
    ::ShowWindow(m_hWnd, SW_MINIMIZE);
}

BOOL CThemeFrame::OnCaptionCommand(UINT nId)
{
    switch (nId & 0xFFF0) {
    case SC_MAXIMIZE: Maximize(); return TRUE;
    case SC_MINIMIZE: Minimize(); return TRUE;
    case SC_RESTORE: Restore(); return TRUE;
    }
    ::SendMessageA(m_hWnd, WM_SYSCOMMAND, nId, 0);
    return TRUE;
}

LRESULT CThemeFrame::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (!m_bLoaded)
        return CSubclassWnd::WindowProc(message, wParam, lParam);
    switch (message) {
    case WM_NCCALCSIZE: {
        RECT* r = wParam ? &((NCCALCSIZE_PARAMS*)lParam)->rgrc[0] : (RECT*)lParam;
        r->left += m_nLeftW;
        r->top += m_nTopH;
        r->right -= m_nRightW;
        r->bottom -= m_nBottomH;
        if (r->right < r->left) r->right = r->left;
        if (r->bottom < r->top) r->bottom = r->top;
        if (wParam) {
            NCCALCSIZE_PARAMS* p = (NCCALCSIZE_PARAMS*)lParam;
            p->rgrc[1] = p->rgrc[0];
            p->rgrc[2] = p->rgrc[0];
        }
        return 0;
    }
    case WM_NCPAINT:
        DrawFrame();
        return 0;
    case WM_NCACTIVATE:
        // The platform's own caption is never painted over the theme.
        m_bActive = wParam != 0;
        Redraw();
        return !wParam;
    case WM_ACTIVATE:
        m_bActive = LOWORD(wParam) == WA_ACTIVE || LOWORD(wParam) == WA_CLICKACTIVE;
        Redraw();
        break;
    case WM_NCHITTEST: {
        CRect wr;
        ::GetWindowRect(m_hWnd, &wr);
        return HitTest(CPoint((short)LOWORD(lParam) - wr.left, (short)HIWORD(lParam) - wr.top), wr.Size());
    }
    case WM_NCMOUSEMOVE: {
        UINT hit = (UINT)wParam;
        if (hit != m_nHot) {
            m_nHot = hit;
            Redraw();
        }
        TRACKMOUSEEVENT tme = {sizeof(tme), TME_LEAVE | TME_NONCLIENT, m_hWnd, 0};
        ::TrackMouseEvent(&tme);
        if ((hit >= HTSIZEFIRST && hit <= HTSIZELAST) || (hit == HTCAPTION && m_nState != MAXIMIZED))
            return CSubclassWnd::WindowProc(message, wParam, lParam);
        return 0;
    }
    case WM_NCMOUSELEAVE:
        // The hot image must not stay once the pointer has gone.
        m_nHot = 0;
        if (::GetKeyState(VK_LBUTTON) >= 0)
            m_nPressed = 0;
        Redraw();
        return 0;
    case WM_NCLBUTTONDOWN: {
        UINT hit = (UINT)wParam;
        m_nPressed = hit;
        Redraw();
        if ((hit >= HTSIZEFIRST && hit <= HTSIZELAST) || (hit == HTCAPTION && m_nState != MAXIMIZED))
            return CSubclassWnd::WindowProc(message, wParam, lParam);
        if (hit == HTSYSMENU) {
            m_nPressed = 0;
            HMENU hMenu = ::GetSystemMenu(m_hWnd, FALSE);
            if (hMenu)
                ::TrackPopupMenu(hMenu, TPM_LEFTALIGN | TPM_TOPALIGN, (short)LOWORD(lParam),
                                 (short)HIWORD(lParam), 0, m_hWnd, NULL);
        }
        return 0;
    }
    case WM_NCLBUTTONUP: {
        UINT hit = (UINT)wParam;
        // Only a press and a release on the same button is a click.
        BOOL bClick = hit == m_nPressed;
        m_nHot = m_nPressed = 0;
        Redraw();
        if (bClick && hit == HTCLOSE)
            ::SendMessageA(m_hWnd, WM_CLOSE, 0, 0);
        else if (bClick && hit == HTMINBUTTON)
            Minimize();
        else if (bClick && hit == HTMAXBUTTON)
            m_nState == MAXIMIZED ? Restore() : Maximize();
        return 0;
    }
    case WM_NCLBUTTONDBLCLK:
        if (wParam == HTCAPTION && m_bResizable) {
            m_nState == MAXIMIZED ? Restore() : Maximize();
            return 0;
        }
        break;
    case WM_COMMAND:
        if (lParam == 0 && IsSystemMenuCommand(LOWORD(wParam)))
            return OnCaptionCommand(LOWORD(wParam)) ? 0 : 1;
        break;
    case WM_SIZE: {
        LRESULT result = CSubclassWnd::WindowProc(message, wParam, lParam);
        ::InvalidateRect(m_hWnd, NULL, TRUE);
        DrawFrame();
        CRect wr;
        ::GetWindowRect(m_hWnd, &wr);
        HRGN hRgn = BuildWindowRegion(wr.Size());
        if (hRgn && !::SetWindowRgn(m_hWnd, hRgn, TRUE))
            ::DeleteObject(hRgn);
        return result;
    }
    case WM_SETTEXT: {
        CSubclassWnd::WindowProc(message, wParam, lParam);
        m_strTitle = lParam ? (LPCSTR)lParam : "";
        Redraw();
        return 0;
    }
    case WM_SHOWWINDOW:
        if (wParam)
            ::SetWindowPos(m_hWnd, NULL, 0, 0, 0, 0,
                           SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        break;
    case WM_GETMINMAXINFO: {
        LRESULT result = CSubclassWnd::WindowProc(message, wParam, lParam);
        MINMAXINFO* mmi = (MINMAXINFO*)lParam;
        mmi->ptMinTrackSize.x = BitmapSize(m_bmpLeft).cx + BitmapSize(m_bmpTop).cx + BitmapSize(m_bmpRight).cx;
        mmi->ptMinTrackSize.y = BitmapSize(m_bmpLeft).cy + 20;
        return result;
    }
    case WM_WINDOWPOSCHANGING:
        return 0;
    }
    return CSubclassWnd::WindowProc(message, wParam, lParam);
}
