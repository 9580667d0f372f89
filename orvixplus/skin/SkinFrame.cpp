#include "SkinFrame.h"
#include "BitmapUtil.h"
#include "IniFile.h"
#include "SkinValue.h"
#include "StoredFile.h"

namespace {

const char* const kPieceNames[CSkinFrame::PIECES] = {
    "TopLeft", "MiddleTop", "TopRight", "MiddleLeft", "MiddleRight", "BottomLeft", "MiddleBottom", "BottomRight"
};
const char* const kSysSections[CSkinFrame::SYSBUTTONS] = { "SysMinButton", "SysMaxButton", "SysCloseButton" };
const UINT kSysHits[CSkinFrame::SYSBUTTONS] = { HTSKINMINBUTTON, HTSKINMAXBUTTON, HTSKINCLOSEBUTTON };
const UINT kSysMessages[CSkinFrame::SYSBUTTONS] = { WM_SKINFRAME_MINIMIZE, WM_SKINFRAME_MAXIMIZE, WM_SKINFRAME_CLOSE };
const int kBorder = 5;

// A rectangle key that is missing or empty leaves the rectangle as it was.
void ReadRect(const CIniFile& ini, LPCTSTR section, LPCTSTR key, CRect& rect)
{
    CString value = ini.GetString(section, key, "");
    if (!value.IsEmpty())
        rect = ParseRect(value);
}

// A piece is cut out of an image of at most `image`: a rectangle turned
// inside out or reaching outside it would size the borders by nothing that
// can be drawn, and tiling a window edge by it would not end. It counts as
// no piece.
void KeepPieceInside(CRect& rect, CSize image)
{
    if (rect.left < 0 || rect.top < 0 || rect.right > image.cx || rect.bottom > image.cy ||
        rect.right < rect.left || rect.bottom < rect.top)
        rect.SetRectEmpty();
}

// Copies of the piece region at every step over w x h, cut to it. A piece of
// no size shapes nothing (stepping by 0 would never end).
HRGN TileRegion(HRGN piece, int pieceW, int pieceH, int w, int h)
{
    if (!piece || pieceW <= 0 || pieceH <= 0 || w <= 0 || h <= 0)
        return NULL;
    HRGN out = ::CreateRectRgn(0, 0, 0, 0);
    HRGN step = ::CreateRectRgn(0, 0, 0, 0);
    for (int y = 0; y < h; y += pieceH)
        for (int x = 0; x < w; x += pieceW) {
            ::CombineRgn(step, piece, NULL, RGN_COPY);
            ::OffsetRgn(step, x, y);
            ::CombineRgn(out, out, step, RGN_OR);
        }
    ::DeleteObject(step);
    HRGN clip = ::CreateRectRgn(0, 0, w, h);
    ::CombineRgn(out, out, clip, RGN_AND);
    ::DeleteObject(clip);
    return out;
}

// Adds src moved by (dx, dy) to dst; src may be NULL.
void AddRegion(HRGN dst, HRGN src, int dx, int dy)
{
    if (!src)
        return;
    HRGN copy = ::CreateRectRgn(0, 0, 0, 0);
    ::CombineRgn(copy, src, NULL, RGN_COPY);
    ::OffsetRgn(copy, dx, dy);
    ::CombineRgn(dst, dst, copy, RGN_OR);
    ::DeleteObject(copy);
}

void StretchPiece(HDC hDC, HBITMAP piece, int l, int t, int r, int b)
{
    if (piece && r > l && b > t) {
        RECT rc = { l, t, r, b };
        DrawBitmapStretched(hDC, rc, piece);
    }
}

void TilePiece(HDC hDC, HBITMAP piece, int l, int t, int r, int b, int tileW, int tileH)
{
    if (piece && r > l && b > t) {
        RECT rc = { l, t, r, b };
        TileBitmap(hDC, rc, piece, tileW, tileH);
    }
}

}  // namespace

CSkinFrame::CSkinFrame()
    : m_bLoaded(FALSE), m_bResizable(FALSE), m_bMinBox(FALSE), m_bMaxBox(FALSE),
      m_nHover(0), m_nPressed(0), m_nLastHover(0), m_nArmed(0), m_hFrameImage(NULL),
      m_nShapeWindow(0), m_nSkinClient(0), m_crMask(RGB(0, 0, 0)), m_hSysImage(NULL), m_dwFlags(0),
      m_nNcState(-1)
{
    for (BOOL& w : m_bWant)
        w = FALSE;
    for (int i = 0; i < PIECES; ++i) {
        m_hPieceRgn[i] = NULL;
        m_hPiece[0][i] = m_hPiece[1][i] = NULL;
    }
    m_nTLw = m_nMTw = m_nTRw = m_nCH = m_nMLw = m_nMLh = m_nMRw = m_nMRh = m_nBLw = m_nMBw = m_nBRw = m_nBH = 0;
}

CSkinFrame::~CSkinFrame()
{
    HookWindow((HWND)NULL);
    FreeSkin();
}

void CSkinFrame::WantButtons(BOOL bMinimize, BOOL bMaximize, BOOL bClose)
{
    m_bWant[MINBUTTON] = bMinimize;
    m_bWant[MAXBUTTON] = bMaximize;
    m_bWant[CLOSEBUTTON] = bClose;
}

void CSkinFrame::FreeSkin()
{
    m_bLoaded = FALSE;
    if (m_hFrameImage)
        ::DeleteObject(m_hFrameImage);
    if (m_hSysImage)
        ::DeleteObject(m_hSysImage);
    m_hFrameImage = m_hSysImage = NULL;
    for (int i = 0; i < PIECES; ++i) {
        if (m_hPieceRgn[i])
            ::DeleteObject(m_hPieceRgn[i]);
        m_hPieceRgn[i] = NULL;
        for (int s = 0; s < 2; ++s) {
            if (m_hPiece[s][i])
                ::DeleteObject(m_hPiece[s][i]);
            m_hPiece[s][i] = NULL;
            m_rPiece[s][i].SetRectEmpty();
        }
    }
    for (CSkinSysButton& b : m_sys)
        b = CSkinSysButton();
    m_nShapeWindow = m_nSkinClient = 0;
    m_crMask = RGB(0, 0, 0);
}

BOOL CSkinFrame::LoadSkin(LPCTSTR lpszPath)
{
    // A second load starts from nothing; only a complete one counts as loaded.
    FreeSkin();
    if (!lpszPath)
        return FALSE;
    CIniFile ini(lpszPath);
    CString path = lpszPath;
    CString folder = path.Left(path.ReverseFind('\\') + 1);

    CString frame = ini.GetString("DialogResInfo", "FrameImage", "");
    if (!frame.IsEmpty()) {
        CBitmap bmp;
        CSize size;
        if (!LoadPictureFile(folder + frame, bmp, size))
            return FALSE;
        m_hFrameImage = (HBITMAP)bmp.Detach();
    }
    if (m_bWant[MINBUTTON] || m_bWant[MAXBUTTON] || m_bWant[CLOSEBUTTON]) {
        CString image = ini.GetString("SystemButtons", "Image", "");
        CBitmap bmp;
        CSize size;
        if (image.IsEmpty() || !LoadPictureFile(folder + image, bmp, size)) {
            FreeSkin();
            return FALSE;
        }
        m_hSysImage = (HBITMAP)bmp.Detach();
    }
    for (int s = 0; s < 2; ++s)
        for (int i = 0; i < PIECES; ++i) {
            CString key;
            key.Format("%s%d", kPieceNames[i], s);
            ReadRect(ini, "DialogResInfo", key, m_rPiece[s][i]);
        }
    CSize image(kMaxPictureSide, kMaxPictureSide);
    BITMAP bm;
    if (m_hFrameImage && ::GetObject(m_hFrameImage, sizeof(bm), &bm))
        image = CSize(bm.bmWidth, bm.bmHeight);
    for (int s = 0; s < 2; ++s)
        for (int i = 0; i < PIECES; ++i)
            KeepPieceInside(m_rPiece[s][i], image);
    m_nShapeWindow = ini.GetInt("DialogResInfo", "ShapeWindow");
    m_nSkinClient = ini.GetInt("DialogResInfo", "SkinClient");
    CString mask = ini.GetString("DialogResInfo", "MaskColor", "");
    if (!mask.IsEmpty())
        m_crMask = ParseColor(mask);
    BuildPieces();
    for (int b = 0; b < SYSBUTTONS; ++b) {
        m_sys[b].nOffsetRight = ini.GetInt(kSysSections[b], "OffsetRight");
        m_sys[b].nOffsetTop = ini.GetInt(kSysSections[b], "OffsetTop");
        ReadRect(ini, kSysSections[b], "normal", m_sys[b].rNormal);
        ReadRect(ini, kSysSections[b], "over", m_sys[b].rOver);
        ReadRect(ini, kSysSections[b], "down", m_sys[b].rDown);
        ReadRect(ini, kSysSections[b], "disabled", m_sys[b].rDisabled);
    }
    m_bLoaded = TRUE;
    return TRUE;
}

void CSkinFrame::BuildPieces()
{
    const CRect* a = m_rPiece[0];
    m_nTLw = a[TOPLEFT].Width();
    m_nMTw = a[MIDDLETOP].Width();
    m_nTRw = a[TOPRIGHT].Width();
    m_nCH = a[TOPLEFT].Height();
    m_nMLw = a[MIDDLELEFT].Width();
    m_nMLh = a[MIDDLELEFT].Height();
    m_nMRw = a[MIDDLERIGHT].Width();
    m_nMRh = a[MIDDLERIGHT].Height();
    m_nBLw = a[BOTTOMLEFT].Width();
    m_nMBw = a[MIDDLEBOTTOM].Width();
    m_nBRw = a[BOTTOMRIGHT].Width();
    m_nBH = a[BOTTOMLEFT].Height();
    for (int i = 0; i < PIECES; ++i) {
        for (int s = 0; s < 2; ++s) {
            const CRect& r = m_rPiece[s][i];
            if (m_hFrameImage && r.Width() > 0 && r.Height() > 0)
                CropBitmap(NULL, &m_hPiece[s][i], m_hFrameImage, r.left, r.top, r.right, r.bottom);
        }
        if (m_hPiece[0][i])
            m_hPieceRgn[i] = BitmapToRegion(m_hPiece[0][i], m_crMask, RGB(0, 0, 0));
    }
}

BOOL CSkinFrame::Attach(HWND hWnd)
{
    if (!hWnd || !::IsWindow(hWnd) || !m_bLoaded)
        return FALSE;
    HookWindow((HWND)NULL);
    m_nNcState = -1;
    BOOL ok = HookWindow(hWnd);
    DWORD style = (DWORD)::GetWindowLong(hWnd, GWL_STYLE);
    m_bResizable = (style & WS_THICKFRAME) != 0;
    m_bMinBox = (style & WS_MINIMIZEBOX) != 0;
    m_bMaxBox = (style & WS_MAXIMIZEBOX) != 0;
    ::SetWindowLong(hWnd, GWL_STYLE, (LONG)(style & ~(WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX)));
    ::SetWindowPos(hWnd, NULL, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
    return ok;
}

CSize CSkinFrame::WindowSize() const
{
    CRect r;
    ::GetWindowRect(m_hWnd, &r);
    return r.Size();
}

CRect CSkinFrame::ButtonRect(int nButton, int nWindowWidth) const
{
    const CSkinSysButton& b = m_sys[nButton];
    int left = nWindowWidth - b.nOffsetRight;
    return CRect(left, b.nOffsetTop, left + b.rNormal.Width(), b.nOffsetTop + b.rNormal.Height());
}

CRect CSkinFrame::ClientArea(CSize window) const
{
    return CRect(m_nMLw, m_nCH, window.cx - m_nMRw, window.cy - m_nBH);
}

UINT CSkinFrame::HitTest(CPoint pt, CSize window) const
{
    const int W = window.cx, H = window.cy;
    for (int b = 0; b < SYSBUTTONS; ++b)
        if (m_bWant[b] && ButtonRect(b, W).PtInRect(pt))
            return kSysHits[b];
    if (m_bResizable) {
        struct { CRect r; UINT hit; } edges[] = {
            { CRect(0, 0, kBorder, kBorder), HTTOPLEFT },
            { CRect(W - kBorder, 0, W, kBorder), HTTOPRIGHT },
            { CRect(0, H - kBorder, kBorder, H), HTBOTTOMLEFT },
            { CRect(W - kBorder, H - kBorder, W, H), HTBOTTOMRIGHT },
            { CRect(kBorder, 0, W - kBorder, kBorder), HTTOP },
            { CRect(0, kBorder, kBorder, H - kBorder), HTLEFT },
            { CRect(W - kBorder, kBorder, W, H - kBorder), HTRIGHT },
            { CRect(kBorder, H - kBorder, W - kBorder, H), HTBOTTOM },
        };
        for (const auto& e : edges)
            if (e.r.PtInRect(pt))
                return e.hit;
    }
    if (CRect(kBorder, kBorder, W - kBorder, m_nCH - kBorder).PtInRect(pt))
        return HTCAPTION;
    return HTCLIENT;
}

HRGN CSkinFrame::BuildBand(int nLeft, int nMiddle, int nRight, int nLeftW, int nMiddleW, int nHeight,
                           int nMiddleWidth) const
{
    // The corners stay even when no middle is left between them: without
    // them the caption would drop out of the window's shape.
    HRGN band = ::CreateRectRgn(0, 0, 0, 0);
    AddRegion(band, m_hPieceRgn[nLeft], 0, 0);
    if (HRGN mid = TileRegion(m_hPieceRgn[nMiddle], nMiddleW, nHeight, nMiddleWidth, nHeight)) {
        AddRegion(band, mid, nLeftW, 0);
        ::DeleteObject(mid);
    }
    AddRegion(band, m_hPieceRgn[nRight], nLeftW + SkinMax(nMiddleWidth, 0), 0);
    return band;
}

HRGN CSkinFrame::BuildTopBand(int nMiddle) const
{
    return BuildBand(TOPLEFT, MIDDLETOP, TOPRIGHT, m_nTLw, m_nMTw, m_nCH, nMiddle);
}

HRGN CSkinFrame::BuildBottomBand(int nMiddle) const
{
    return BuildBand(BOTTOMLEFT, MIDDLEBOTTOM, BOTTOMRIGHT, m_nBLw, m_nMBw, m_nBH, nMiddle);
}

HRGN CSkinFrame::BuildWindowShape(CSize window) const
{
    if (!m_nShapeWindow)
        return NULL;
    const int W = window.cx, H = window.cy;
    CRect client = ClientArea(window);
    HRGN shape = ::CreateRectRgn(client.left, client.top, SkinMax(client.left, client.right),
                                 SkinMax(client.top, client.bottom));
    HRGN top = BuildTopBand(W - m_nTLw - m_nTRw);
    AddRegion(shape, top, 0, 0);
    ::DeleteObject(top);
    int sideH = H - m_nBH - m_nCH;
    if (HRGN left = TileRegion(m_hPieceRgn[MIDDLELEFT], m_nMLw, m_nMLh, m_nMLw, sideH)) {
        AddRegion(shape, left, 0, m_nCH);
        ::DeleteObject(left);
    }
    if (HRGN right = TileRegion(m_hPieceRgn[MIDDLERIGHT], m_nMRw, m_nMRh, m_nMRw, sideH)) {
        AddRegion(shape, right, W - m_nMRw, m_nCH);
        ::DeleteObject(right);
    }
    HRGN bottom = BuildBottomBand(W - m_nBLw - m_nBRw);
    AddRegion(shape, bottom, 0, H - m_nBH);
    ::DeleteObject(bottom);
    return shape;
}

void CSkinFrame::Paint()
{
    if (!m_bLoaded || !m_hWnd)
        return;
    const CSize size = WindowSize();
    const int W = size.cx, H = size.cy;
    // The caption shows what the last WM_NCACTIVATE said, as the platform's
    // own caption does: while it is handled the window is not yet (or still)
    // the active one, and a caller may send it to a window that stays active.
    const int s = m_nNcState >= 0 ? m_nNcState : (::GetActiveWindow() != m_hWnd ? 1 : 0);
    HBITMAP* piece = m_hPiece[s];
    HDC hDC = ::GetWindowDC(m_hWnd);
    if (!hDC)
        return;
    const BOOL shaped = m_nShapeWindow != 0;

    // The caption in memory first, then copied at once.
    if (W > 0 && m_nCH > 0) {
        HDC mem = ::CreateCompatibleDC(hDC);
        HBITMAP bmp = ::CreateCompatibleBitmap(hDC, W, m_nCH);
        HGDIOBJ oldBmp = ::SelectObject(mem, bmp);
        StretchPiece(mem, piece[TOPLEFT], 0, 0, m_nTLw, m_nCH);
        TilePiece(mem, piece[MIDDLETOP], m_nTLw, 0, W - m_nTRw, m_nCH, m_nMTw, m_nCH);
        StretchPiece(mem, piece[TOPRIGHT], W - m_nTRw, 0, W, m_nCH);
        if (m_hSysImage) {
            HDC src = ::CreateCompatibleDC(hDC);
            HGDIOBJ old = ::SelectObject(src, m_hSysImage);
            for (int b = 0; b < SYSBUTTONS; ++b) {
                if (!m_bWant[b])
                    continue;
                const CRect& from = m_nPressed == kSysHits[b] ? m_sys[b].rDown
                                  : m_nHover == kSysHits[b] ? m_sys[b].rOver : m_sys[b].rNormal;
                CRect to = ButtonRect(b, W);
                ::StretchBlt(mem, to.left, to.top, to.Width(), to.Height(),
                             src, from.left, from.top, from.Width(), from.Height(), SRCCOPY);
            }
            ::SelectObject(src, old);
            ::DeleteDC(src);
        }
        if (!m_strCaption.IsEmpty()) {
            LOGFONTA lf = {};
            // A readable caption font: the small-caption height (as a point
            // size in tenths it would be a point and a half).
            lf.lfHeight = -SkinMax(8, ::GetSystemMetrics(SM_CYSMCAPTION) * 3 / 4);
            lstrcpyA(lf.lfFaceName, "System");
            HFONT font = ::CreateFontIndirectA(&lf);
            HGDIOBJ oldFont = ::SelectObject(mem, font);
            ::SetTextColor(mem, RGB(0, 0, 0));
            ::SetBkMode(mem, TRANSPARENT);
            RECT text = { m_nTLw, 0, W - m_nTRw, m_nCH };
            ::DrawTextA(mem, m_strCaption, -1, &text, DT_SINGLELINE | DT_VCENTER | DT_LEFT | DT_END_ELLIPSIS);
            ::SelectObject(mem, oldFont);
            ::DeleteObject(font);
        }
        {
            CSaveClip clip(hDC);
            if (shaped) {
                HRGN top = BuildTopBand(W - m_nTLw - m_nTRw);
                clip.IntersectLogical(top);
                ::DeleteObject(top);
            }
            ::BitBlt(hDC, 0, 0, W, m_nCH, mem, 0, 0, SRCCOPY);
        }
        ::SelectObject(mem, oldBmp);
        ::DeleteObject(bmp);
        ::DeleteDC(mem);
    }
    {
        CSaveClip clip(hDC);
        if (shaped) {
            HRGN bottom = BuildBottomBand(W - m_nBLw - m_nBRw);
            ::OffsetRgn(bottom, 0, H - m_nBH);
            clip.IntersectLogical(bottom);
            ::DeleteObject(bottom);
        }
        StretchPiece(hDC, piece[BOTTOMLEFT], 0, H - m_nBH, m_nBLw, H);
        TilePiece(hDC, piece[MIDDLEBOTTOM], m_nBLw, H - m_nBH, W - m_nBRw, H, m_nMBw, m_nBH);
        StretchPiece(hDC, piece[BOTTOMRIGHT], W - m_nBRw, H - m_nBH, W, H);
    }
    // The side borders, each clipped to its band when the window is shaped.
    const int sideH = H - m_nBH - m_nCH;
    struct { int piece, left, w, h; } sides[] = { { MIDDLELEFT, 0, m_nMLw, m_nMLh },
                                                  { MIDDLERIGHT, W - m_nMRw, m_nMRw, m_nMRh } };
    for (const auto& side : sides) {
        CSaveClip clip(hDC);
        if (shaped) {
            HRGN band = TileRegion(m_hPieceRgn[side.piece], side.w, side.h, side.w, sideH);
            if (!band)
                band = ::CreateRectRgn(0, 0, 0, 0);
            ::OffsetRgn(band, side.left, m_nCH);
            clip.IntersectLogical(band);
            ::DeleteObject(band);
        }
        TilePiece(hDC, piece[side.piece], side.left, m_nCH, side.left + side.w, H - m_nBH, side.w, side.h);
    }
    ::ReleaseDC(m_hWnd, hDC);
}

LRESULT CSkinFrame::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (!m_bLoaded)
        return CSubclassWnd::WindowProc(message, wParam, lParam);
    switch (message) {
    case WM_NCCALCSIZE:
        if (wParam) {
            NCCALCSIZE_PARAMS* p = (NCCALCSIZE_PARAMS*)lParam;
            p->rgrc[0].left += m_nMLw;
            p->rgrc[0].top += m_nCH;
            p->rgrc[0].right -= m_nMRw;
            p->rgrc[0].bottom -= m_nBH;
            p->rgrc[1] = p->rgrc[0];
            return 0;
        }
        break;
    case WM_NCHITTEST: {
        CRect wr;
        ::GetWindowRect(m_hWnd, &wr);
        CPoint pt((short)LOWORD(lParam) - wr.left, (short)HIWORD(lParam) - wr.top);
        return HitTest(pt, wr.Size());
    }
    case WM_NCMOUSEMOVE: {
        UINT hit = (UINT)wParam;
        if ((hit >= HTSIZEFIRST && hit <= HTSIZELAST) || hit == HTCAPTION)
            CSubclassWnd::WindowProc(message, wParam, lParam);
        // A press that moved off its button without a release is forgotten
        // once the button is seen up.
        if (::GetKeyState(VK_LBUTTON) >= 0)
            m_nArmed = 0;
        m_nHover = hit;
        m_nPressed = 0;
        TRACKMOUSEEVENT tme = { sizeof(tme), TME_LEAVE | TME_NONCLIENT, m_hWnd, 0 };
        ::TrackMouseEvent(&tme);
        if (m_nHover != m_nLastHover) {
            m_nLastHover = m_nHover;
            Repaint();
        }
        return 0;
    }
    case WM_NCMOUSELEAVE:
        // The over picture must not stay after the mouse has gone.
        ClearTracking();
        m_nLastHover = 0;
        Repaint();
        return 0;
    case WM_NCLBUTTONDOWN:
        m_nPressed = m_nHover = (UINT)wParam;
        m_nArmed = (wParam >= HTSKINMINBUTTON && wParam <= HTSKINCLOSEBUTTON) ? (UINT)wParam : 0;
        Repaint();
        return CSubclassWnd::WindowProc(message, wParam, lParam);
    case WM_NCLBUTTONUP: {
        // Only a press and a release on the same caption button is a click.
        UINT armed = m_nArmed;
        m_nArmed = 0;
        for (int b = 0; b < SYSBUTTONS; ++b)
            if (wParam == kSysHits[b] && armed == kSysHits[b])
                ::SendMessage(m_hWnd, kSysMessages[b], 0, 0);
        return 0;
    }
    case WM_LBUTTONUP:
        m_nArmed = 0;
        break;
    case WM_NCLBUTTONDBLCLK:
        if (m_bResizable && wParam == HTCAPTION) {
            ClearTracking();
            Repaint();
            return 0;
        }
        break;
    case WM_NCRBUTTONDOWN:
    case WM_NCRBUTTONUP:
    case WM_WINDOWPOSCHANGING:
    case WM_SIZING:
    case WM_INITMENUPOPUP:
        CSubclassWnd::WindowProc(message, wParam, lParam);
        return 0;
    case WM_NCACTIVATE: {
        // The default paints the platform's caption: the skin goes over it.
        LRESULT result = CSubclassWnd::WindowProc(message, wParam, lParam);
        m_nNcState = wParam ? 0 : 1;
        Repaint();
        return result;
    }
    case WM_ACTIVATE:
        Repaint();
        break;
    case WM_SETTEXT: {
        LRESULT result = CSubclassWnd::WindowProc(message, wParam, lParam);
        m_strCaption = lParam ? (LPCSTR)lParam : "";
        Repaint();
        return result;
    }
    case WM_SHOWWINDOW:
        if (wParam)
            ClearTracking();
        break;
    case WM_SIZE: {
        CSubclassWnd::WindowProc(message, wParam, lParam);
        if (m_nShapeWindow) {
            HRGN shape = BuildWindowShape(WindowSize());
            if (shape && !::SetWindowRgn(m_hWnd, shape, TRUE))
                ::DeleteObject(shape);
        }
        ::RedrawWindow(m_hWnd, NULL, NULL, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
        Repaint();
        return 0;
    }
    case WM_NCPAINT:
        Paint();
        return 0;
    }
    return CSubclassWnd::WindowProc(message, wParam, lParam);
}
