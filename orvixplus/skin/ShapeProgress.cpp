#include "ShapeProgress.h"

// Pixels and positions are worked out in integers, cut toward zero as ever.
// A position's share of the range taken as a double first (53 of 100 as
// 0.53) and then multiplied by the track lies a hair off the exact pixel,
// and the 32-bit build's extended precision cut that hair to a pixel other
// than the 64-bit build's doubles did.

int CShapeProgressGeometry::PixelOf(int pos) const
{
    LONGLONG range = (LONGLONG)nMax - nMin;
    if (bHorizontal) {
        // An empty range has nowhere to go: the track's start.
        int x = range == 0 ? box.left
            : (int)(((LONGLONG)box.left * range + ((LONGLONG)pos - nMin) * box.Width()) / range);
        return SkinMax(0, SkinMin((int)client.cx, x));
    }
    int y = range == 0 ? box.bottom
        : (int)(((LONGLONG)box.top * range + ((LONGLONG)nMax - pos) * box.Height()) / range);
    return SkinMax(0, SkinMin((int)client.cy, y));
}

int CShapeProgressGeometry::PosOf(int coord) const
{
    int extent = bHorizontal ? box.Width() : box.Height();
    if (extent <= 0)
        return nMin;
    LONGLONG offset = bHorizontal ? (LONGLONG)coord - box.left : coord;
    int pos = nMin + (int)(((LONGLONG)nMax - nMin) * offset / extent);
    return SkinMax(nMin, SkinMin(nMax, pos));
}

CShapeProgress::CShapeProgress()
    : m_bHorizontal(TRUE), m_nMax(100), m_nMin(0), m_nPos(0), m_bEnabled(TRUE), m_bDragging(FALSE),
      m_bOver(FALSE)
{
    m_bShaped = FALSE;
    m_bCursor = FALSE;
}

void CShapeProgress::SetBitmaps(HBITMAP hNormal, const RECT& rNormal, HBITMAP hHover, const RECT& rHover,
                                HBITMAP hPressed, const RECT& rPressed, HBITMAP hDisabled,
                                const RECT& rDisabled, HBITMAP hBackground, const RECT& rBackground)
{
    CutPart(m_bmp[NORMAL], hNormal, rNormal);
    CutPart(m_bmp[HOVER], hHover, rHover);
    CutPart(m_bmp[PRESSED], hPressed, rPressed);
    CutPart(m_bmp[DISABLED], hDisabled, rDisabled);
    CutPart(m_bmp[BACKGROUND], hBackground, rBackground);
}

BOOL CShapeProgress::SetRegion(HRGN hRgn)
{
    return KeepRegion(hRgn, FALSE);
}

void CShapeProgress::SetRange(int nMin, int nMax, BOOL bRedraw)
{
    m_nMin = nMin;
    m_nMax = nMax;
    if (bRedraw && m_hWnd)
        Invalidate(FALSE);
}

void CShapeProgress::SetPos(int nPos)
{
    m_nPos = SkinMax(m_nMin, SkinMin(m_nMax, nPos));
    if (m_hWnd)
        Invalidate(FALSE);
}

BOOL CShapeProgress::Enable(BOOL bEnable)
{
    m_bEnabled = bEnable;
    if (!bEnable && m_bDragging) {
        m_bDragging = FALSE;
        if (GetCapture() == this)
            ::ReleaseCapture();
    }
    BOOL was = m_hWnd ? EnableWindow(bEnable) : FALSE;
    if (m_hWnd)
        Invalidate(FALSE);
    return was;
}

CShapeProgressGeometry CShapeProgress::Geometry() const
{
    CShapeProgressGeometry g;
    g.bHorizontal = m_bHorizontal;
    g.nMin = m_nMin;
    g.nMax = m_nMax;
    CRect rc;
    GetClientRect(&rc);
    g.client = rc.Size();
    if (!m_hRgn || ::GetRgnBox(m_hRgn, &g.box) == ERROR)
        g.box = rc;
    return g;
}

void CShapeProgress::OnPaint()
{
    CPaintDC dc(this);
    CRect rc;
    GetClientRect(&rc);
    CSaveClip clip(dc);
    clip.IntersectLogical(m_hRgn);
    DrawBitmapStretched(dc, rc, m_bmp[BACKGROUND]);
    CShapeProgressGeometry g = Geometry();
    int edge = g.PixelOf(m_nPos);
    CRect filled = rc;
    if (m_bHorizontal)
        filled.right = edge;
    else
        filled.top = edge;
    if (filled.IsRectEmpty())
        return;
    HBITMAP hFill = m_bmp[m_bEnabled ? PRESSED : DISABLED];
    HDC hMem = ::CreateCompatibleDC(dc);
    if (!hMem || !hFill) {
        if (hMem)
            ::DeleteDC(hMem);
        return;
    }
    HGDIOBJ old = ::SelectObject(hMem, hFill);
    ::BitBlt(dc, filled.left, filled.top, filled.Width(), filled.Height(), hMem, filled.left, filled.top,
             SRCCOPY);
    ::SelectObject(hMem, old);
    ::DeleteDC(hMem);
}

void CShapeProgress::Track(CPoint point)
{
    CRect rc;
    GetClientRect(&rc);
    int coord = m_bHorizontal ? SkinMax(0, SkinMin((int)rc.right, (int)point.x))
                              : SkinMax(0, SkinMin((int)rc.bottom, (int)(rc.bottom - point.y)));
    int pos = Geometry().PosOf(coord);
    if (pos != m_nPos)
        SetPos(pos);
    CWnd* pParent = GetParent();
    if (pParent)
        pParent->PostMessage(WM_SHAPEPROGRESS_MOVING, m_nId, m_nPos);
}

void CShapeProgress::OnLButtonDown(UINT nFlags, CPoint point)
{
    if (!m_bEnabled)
        return;
    SetCapture();
    SetFocus();
    if (InShape(point)) {
        m_bDragging = TRUE;
        m_bOver = TRUE;
    }
    OnMouseMove(nFlags, point);
    Invalidate(FALSE);
}

void CShapeProgress::OnMouseMove(UINT nFlags, CPoint point)
{
    if (!m_bEnabled || !InShape(point))
        return;
    m_bOver = TRUE;
    if (m_bDragging)
        Track(point);
}

void CShapeProgress::OnLButtonUp(UINT nFlags, CPoint point)
{
    if (!m_bEnabled)
        return;
    m_bDragging = FALSE;
    if (GetCapture() == this)
        ::ReleaseCapture();
    Invalidate(FALSE);
    if (InShape(point)) {
        CWnd* pParent = GetParent();
        if (pParent)
            pParent->PostMessage(WM_SHAPEPROGRESS_RELEASED, m_nId, m_nPos);
    }
}

void CShapeProgress::OnSetFocus(CWnd* pOldWnd)
{
    CShapeElement::OnSetFocus(pOldWnd);
    Invalidate(FALSE);
}

void CShapeProgress::OnKillFocus(CWnd* pNewWnd)
{
    CShapeElement::OnKillFocus(pNewWnd);
    Invalidate(FALSE);
}
