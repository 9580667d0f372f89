#include "SkinSlider.h"

// Worked out in integers, cut toward zero as ever: a share of the range (or
// of the track) taken as a double and then multiplied lies a hair off the
// exact pixel or position, and the 32-bit build's extended precision cut it
// to another one than the 64-bit build's doubles did.

int CSliderGeometry::PixelOf(int pos) const
{
    LONGLONG range = (LONGLONG)nMax - nMin;
    // An empty range puts every position at the start.
    if (range == 0)
        return thumb / 2 + start;
    LONGLONG track = (LONGLONG)length - end - thumb - start;
    return thumb / 2 + start + (int)(((LONGLONG)pos - nMin) * track / range);
}

int CSliderGeometry::PosOf(int pixel) const
{
    LONGLONG track = (LONGLONG)length - end - start - thumb;
    if (track == 0)
        return nMin;
    LONGLONG offset = (LONGLONG)pixel - thumb / 2 - start;
    return (int)(((LONGLONG)nMin * track + offset * ((LONGLONG)nMax - nMin)) / track);
}

CSkinSlider::CSkinSlider()
    : m_nMax(100), m_nMin(0), m_nPos(0), m_nPage(20), m_nPrevious(0), m_cx(0), m_cy(0),
      m_nThumbWidth(0), m_nThumbHeight(0), m_nMarginLeft(0), m_nMarginRight(0), m_nMarginTop(0),
      m_nMarginBottom(0), m_rcClient(0, 0, 0, 0), m_bVertical(FALSE), m_bTwoImages(FALSE),
      m_bChannelLoaded(FALSE), m_bThumbLoaded(FALSE), m_bThumbDown(FALSE), m_ptThumbDrawn(-1, -1),
      m_nGrab(0), m_bDragging(FALSE), m_bFocused(FALSE), m_bFocusDrawn(FALSE), m_bDrawFocus(TRUE),
      m_bEnabled(TRUE), m_bTransparent(FALSE), m_rcFrameSource(0, 0, -1, -1), m_rcFrameBorders(0, 0, -1, -1)
{
}

CSkinSlider::~CSkinSlider()
{
}

void CSkinSlider::SetRange(int nMin, int nMax, BOOL bRedraw)
{
    m_nMin = nMin;
    m_nMax = nMax;
    if (bRedraw && m_hWnd)
        Invalidate(FALSE);
}

void CSkinSlider::SetPos(int nPos)
{
    m_nPrevious = m_nPos;
    m_nPos = SkinMax(m_nMin, SkinMin(m_nMax, nPos));
    if (m_hWnd)
        Invalidate(FALSE);
}

void CSkinTrackBar::SetPos(int nPos)
{
    m_nPos = SkinMax(m_nMin, SkinMin(m_nMax, nPos));
    if (m_hWnd)
        Invalidate(FALSE);
}

void CSkinTrackBar::SetSavedPos(int nPos)
{
    m_nSaved1 = m_nSaved2 = SkinMax(m_nMin, SkinMin(m_nMax, nPos));
}

void CSkinSlider::SetMargin(int left, int top, int right, int bottom)
{
    m_nMarginLeft = left;
    m_nMarginTop = top;
    m_nMarginRight = right;
    m_nMarginBottom = bottom;
}

void CSkinSlider::Enable(BOOL bEnable)
{
    m_bEnabled = bEnable;
    if (!bEnable && m_bDragging) {
        m_bDragging = FALSE;
        if (GetCapture() == this)
            ::ReleaseCapture();
    }
    if (m_hWnd)
        Invalidate(FALSE);
}

void CSkinSlider::SetDrawFocusRect(BOOL bDraw, BOOL bRepaint)
{
    m_bDrawFocus = bDraw;
    if (bRepaint && m_hWnd)
        Invalidate(FALSE);
}

CSliderGeometry CSkinSlider::Geometry() const
{
    CSliderGeometry g;
    g.length = m_bVertical ? m_cy : m_cx;
    g.thumb = m_bVertical ? m_nThumbHeight : m_nThumbWidth;
    g.start = m_bVertical ? m_nMarginTop : m_nMarginLeft;
    g.end = m_bVertical ? m_nMarginBottom : m_nMarginRight;
    g.nMin = m_nMin;
    g.nMax = m_nMax;
    return g;
}

void CSkinSlider::FreeChannel()
{
    m_bmpChannel.DeleteObject();
    m_bmpChannelMask.DeleteObject();
    m_bmpActive.DeleteObject();
    m_bmpActiveMask.DeleteObject();
    m_bTwoImages = m_bChannelLoaded = FALSE;
}

void CSkinSlider::FreeThumb()
{
    m_bmpThumb.DeleteObject();
    m_bmpThumbMask.DeleteObject();
    m_bmpThumbDown.DeleteObject();
    m_bmpThumbDownMask.DeleteObject();
    m_bThumbLoaded = m_bThumbDown = FALSE;
}

static HBITMAP LoadResourceBitmap(UINT nId)
{
    return nId ? LoadResourceSection(AfxGetResourceHandle(), MAKEINTRESOURCEA(nId)) : NULL;
}

int CSkinSlider::LoadBitmaps(UINT nFirst, UINT nSecond, BOOL bResize, BOOL bTransparent, COLORREF key, int x, int y)
{
    if (nFirst == 0) {
        FreeChannel();
        return 1;
    }
    HBITMAP hFirst = LoadResourceBitmap(nFirst);
    if (!hFirst)
        return 0;
    HBITMAP hSecond = NULL;
    if (nSecond) {
        hSecond = LoadResourceBitmap(nSecond);
        if (!hSecond) {
            ::DeleteObject(hFirst);
            FreeChannel();
            return 0;
        }
    }
    return SetChannelBitmaps(hFirst, hSecond, bResize, bTransparent, key, x, y);
}

int CSkinSlider::SetChannelBitmaps(HBITMAP hFirst, HBITMAP hSecond, BOOL bResize, BOOL bTransparent,
                                   COLORREF key, int x, int y)
{
    FreeChannel();
    if (!hFirst)
        return 0;
    m_bmpChannel.Attach(hFirst);
    if (bTransparent)
        MakeTransparentMask(m_bmpChannel, &m_bmpChannelMask, key, x, y);
    if (hSecond) {
        m_bmpActive.Attach(hSecond);
        if (bTransparent)
            MakeTransparentMask(m_bmpActive, &m_bmpActiveMask, key, x, y);
        m_bTwoImages = TRUE;
    }
    BITMAP bm;
    m_bmpChannel.GetBitmap(&bm);
    m_cx = bm.bmWidth;
    m_cy = bm.bmHeight;
    if (bResize && m_hWnd)
        SetWindowPos(NULL, 0, 0, m_cx, m_cy, SWP_NOMOVE | SWP_NOZORDER);
    if (m_hWnd)
        GetClientRect(&m_rcClient);
    m_bTransparent = bTransparent;
    m_bChannelLoaded = TRUE;
    return 1;
}

int CSkinTrackBar::SetBitmapThumb(UINT nNormal, UINT nPressed, BOOL bTransparent, COLORREF key, int x, int y)
{
    if (nNormal == 0) {
        FreeThumb();
        return 1;
    }
    HBITMAP hNormal = LoadResourceBitmap(nNormal);
    if (!hNormal)
        return 0;
    HBITMAP hPressed = nPressed ? LoadResourceBitmap(nPressed) : NULL;
    if (nPressed && !hPressed) {
        ::DeleteObject(hNormal);
        return 0;
    }
    return SetThumbBitmaps(hNormal, hPressed, bTransparent, key, x, y);
}

int CSkinTrackBar::SetThumbBitmaps(HBITMAP hNormal, HBITMAP hPressed, BOOL bTransparent, COLORREF key, int x, int y)
{
    FreeThumb();
    if (!hNormal)
        return 0;
    m_bmpThumb.Attach(hNormal);
    if (bTransparent)
        MakeTransparentMask(m_bmpThumb, &m_bmpThumbMask, key, x, y);
    if (hPressed) {
        m_bmpThumbDown.Attach(hPressed);
        if (bTransparent)
            MakeTransparentMask(m_bmpThumbDown, &m_bmpThumbDownMask, key, x, y);
        m_bThumbDown = TRUE;
    }
    BITMAP bm;
    m_bmpThumb.GetBitmap(&bm);
    m_nThumbWidth = bm.bmWidth;
    m_nThumbHeight = bm.bmHeight;
    if (!m_bChannelLoaded && m_hWnd) {
        GetClientRect(&m_rcClient);
        m_cx = m_rcClient.Width();
        m_cy = m_rcClient.Height();
    }
    m_bTransparent = bTransparent;
    m_bThumbLoaded = TRUE;
    return 1;
}

BOOL CSkinSlider::LoadBackground(UINT nId)
{
    HBITMAP h = LoadResourceBitmap(nId);
    if (!h)
        return FALSE;
    SetBackground(h);
    return TRUE;
}

void CSkinSlider::SetBackground(HBITMAP hFrame)
{
    m_bmpFrame.DeleteObject();
    if (hFrame)
        m_bmpFrame.Attach(hFrame);
}

// --- input ----------------------------------------------------------------------

void CSkinSlider::Post(UINT message)
{
    CWnd* pParent = GetParent();
    if (pParent)
        pParent->PostMessage(message, GetDlgCtrlID(), m_nPos);
}

void CSkinSlider::OnLButtonDown(UINT nFlags, CPoint point)
{
    if (!m_bEnabled)
        return;
    SetCapture();
    SetFocus();
    m_bDragging = TRUE;
    CSliderGeometry g = Geometry();
    int along = m_bVertical ? point.y : point.x;
    int centre = g.PixelOf(m_nPos);
    m_nGrab = abs(along - centre) <= g.thumb / 2 ? along - centre : 0;
    OnMouseMove(nFlags, point);
    Invalidate(FALSE);
}

void CSkinSlider::OnMouseMove(UINT nFlags, CPoint point)
{
    if (!m_bEnabled || !m_bDragging)
        return;
    CSliderGeometry g = Geometry();
    int centre = (m_bVertical ? point.y : point.x) - m_nGrab;
    centre = SkinMax(g.LowestCentre(), SkinMin(g.HighestCentre(), centre));
    if (centre != g.PixelOf(m_nPos)) {
        SetPos(g.PosOf(centre));
        Post(MovingMessage());
    }
}

void CSkinSlider::OnLButtonUp(UINT nFlags, CPoint point)
{
    if (!m_bEnabled)
        return;
    if (GetCapture() == this)
        ::ReleaseCapture();
    m_bDragging = FALSE;
    Invalidate(FALSE);
    OnReleased();
    Post(MovedMessage());
}

void CSkinSlider::OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags)
{
    if (!m_bEnabled)
        return;
    int pos;
    switch (HandlesKeys() ? nChar : 0) {
    case VK_PRIOR: pos = m_nPos - m_nPage; break;
    case VK_NEXT:  pos = m_nPos + m_nPage; break;
    case VK_END:   pos = m_nMax; break;
    case VK_HOME:  pos = m_nMin; break;
    case VK_LEFT: case VK_UP:    pos = m_nPos - 1; break;
    case VK_RIGHT: case VK_DOWN: pos = m_nPos + 1; break;
    default:
        CSkinButtonBase::OnKeyDown(nChar, nRepCnt, nFlags);
        return;
    }
    SetPos(pos);
    Post(MovedMessage());
}

UINT CSkinSlider::OnGetDlgCode()
{
    if (::GetKeyState(VK_TAB) >= 0)
        return DLGC_WANTARROWS;
    return CSkinButtonBase::OnGetDlgCode();
}

void CSkinSlider::OnSetFocus(CWnd* pOldWnd)
{
    CSkinButtonBase::OnSetFocus(pOldWnd);
    m_bFocused = TRUE;
    Invalidate(FALSE);
}

void CSkinSlider::OnKillFocus(CWnd* pNewWnd)
{
    CSkinButtonBase::OnKillFocus(pNewWnd);
    m_bFocused = FALSE;
    Invalidate(FALSE);
}

void CSkinSlider::OnDestroy()
{
    FreeChannel();
    FreeThumb();
    m_bmpUnderThumb.DeleteObject();
    m_bmpFrame.DeleteObject();
    CSkinButtonBase::OnDestroy();
}

// --- painting -------------------------------------------------------------------

void CSkinSlider::DrawChannel(CDC& dc, BOOL bWhole)
{
    if (!m_bChannelLoaded)
        return;
    if (!m_bTwoImages || bWhole) {
        DrawMasked(dc, 0, 0, m_cx, m_cy, m_bmpChannel, 0, 0, m_bmpChannelMask, m_bTransparent);
        return;
    }
    int split = Geometry().PixelOf(m_nPos);
    if (m_bVertical) {
        DrawMasked(dc, 0, 0, m_cx, split, m_bmpActive, 0, 0, m_bmpActiveMask, m_bTransparent);
        DrawMasked(dc, 0, split, m_cx, m_cy - split, m_bmpChannel, 0, split, m_bmpChannelMask, m_bTransparent);
    } else {
        DrawMasked(dc, 0, 0, split, m_cy, m_bmpActive, 0, 0, m_bmpActiveMask, m_bTransparent);
        DrawMasked(dc, split, 0, m_cx - split, m_cy, m_bmpChannel, split, 0, m_bmpChannelMask, m_bTransparent);
    }
}

void CSkinSlider::DrawThumb(CDC& dc)
{
    if (!m_bThumbLoaded)
        return;
    HDC hMem = ::CreateCompatibleDC(dc);
    if (!hMem)
        return;
    if (m_ptThumbDrawn.x >= 0 && m_bmpUnderThumb.GetSafeHandle()) {
        HGDIOBJ old = ::SelectObject(hMem, m_bmpUnderThumb);
        ::BitBlt(dc, m_ptThumbDrawn.x, m_ptThumbDrawn.y, m_nThumbWidth, m_nThumbHeight, hMem, 0, 0, SRCCOPY);
        ::SelectObject(hMem, old);
    }
    int centre = Geometry().PixelOf(m_nPos);
    CPoint at = m_bVertical ? CPoint(m_nMarginLeft, centre - m_nThumbHeight / 2)
                            : CPoint(centre - m_nThumbWidth / 2, m_nMarginTop);
    if (!m_bmpUnderThumb.GetSafeHandle())
        m_bmpUnderThumb.CreateCompatibleBitmap(&dc, m_nThumbWidth, m_nThumbHeight);
    if (m_bmpUnderThumb.GetSafeHandle()) {
        HGDIOBJ old = ::SelectObject(hMem, m_bmpUnderThumb);
        ::BitBlt(hMem, 0, 0, m_nThumbWidth, m_nThumbHeight, dc, at.x, at.y, SRCCOPY);
        ::SelectObject(hMem, old);
    }
    ::DeleteDC(hMem);
    m_ptThumbDrawn = at;
    BOOL down = m_bDragging && m_bThumbDown;
    DrawMasked(dc, at.x, at.y, m_nThumbWidth, m_nThumbHeight, down ? m_bmpThumbDown : m_bmpThumb, 0, 0,
               down ? m_bmpThumbDownMask : m_bmpThumbMask, m_bTransparent);
}

void CSkinSlider::OnPaint()
{
    CPaintDC paint(this);
    CRect rc;
    GetClientRect(&rc);
    CMemDC dc(&paint, &rc);
    if (m_bTransparent) {
        CClientDC screen(this);
        dc.BitBlt(0, 0, rc.Width(), rc.Height(), &screen, 0, 0, SRCCOPY);
    } else {
        dc.FillSolidRect(&rc, ::GetSysColor(COLOR_BTNFACE));
    }
    if (m_bFocusDrawn) {
        dc.DrawFocusRect(&rc);
        m_bFocusDrawn = FALSE;
    }
    // A disabled track bar shows its whole channel and no thumb.
    BOOL disabledTrack = !m_bEnabled && m_bThumbLoaded;
    DrawChannel(dc, disabledTrack);
    if (!disabledTrack) {
        DrawThumb(dc);
        if (m_bDrawFocus && m_bFocused) {
            dc.DrawFocusRect(&rc);
            m_bFocusDrawn = TRUE;
        }
    }
    if (m_bmpFrame.GetSafeHandle())
        DrawSkinFrame(dc, &rc, m_bmpFrame, &m_rcFrameSource, &m_rcFrameBorders);
}
