#include "SkinListBars.h"
#include <commctrl.h>

static CSize BitmapSize(HBITMAP h)
{
    BITMAP bm = {};
    if (h)
        ::GetObject(h, sizeof(bm), &bm);
    return CSize(bm.bmWidth, bm.bmHeight);
}

int ListRowHeight(HWND hList)
{
    RECT r = { LVIR_BOUNDS, 0, 0, 0 };
    if (::SendMessage(hList, LVM_GETITEMCOUNT, 0, 0) > 0 && ::SendMessage(hList, LVM_GETITEMRECT, 0, (LPARAM)&r) &&
        r.bottom > r.top)
        return r.bottom - r.top;
    HDC dc = ::GetDC(hList);
    HGDIOBJ old = ::SelectObject(dc, (HGDIOBJ)::SendMessage(hList, WM_GETFONT, 0, 0));
    TEXTMETRIC tm = {};
    ::GetTextMetrics(dc, &tm);
    if (old)
        ::SelectObject(dc, old);
    ::ReleaseDC(hList, dc);
    return SkinMax(1, tm.tmHeight + tm.tmExternalLeading);
}

// --- CSkinBarBase -------------------------------------------------------------

CSkinBarBase::CSkinBarBase(BOOL bVertical)
    : m_bVertical(bVertical), m_pList(NULL), m_bFirstHeld(FALSE), m_bSecondHeld(FALSE), m_bGrabbed(FALSE),
      m_bDragging(FALSE), m_nThumb(16), m_nThumbLen(0)
{
}

// Integers, cut toward the track's start: pixels a unit taken as a double
// and then multiplied by the position lies a hair off the exact pixel, and
// the 32-bit build's extended precision cut it to another pixel than the
// 64-bit build's doubles did.
int ScrollThumbOffset(int track, int position, int limit)
{
    return limit > 0 ? (int)((LONGLONG)track * position / limit) : 0;
}

int ScrollPositionAt(int offset, int track, int limit)
{
    return track > 0 ? (int)((LONGLONG)offset * limit / track) : 0;
}

int CSkinBarBase::Track() const
{
    return Length() - Before() - After() - m_nThumbLen;
}

int CSkinBarBase::Length() const
{
    CRect rc;
    GetClientRect(&rc);
    return m_bVertical ? rc.Height() : rc.Width();
}

int CSkinBarBase::Limit() const
{
    if (!m_pList || !m_pList->m_hWnd)
        return 0;
    SCROLLINFO si = {};
    si.cbSize = sizeof(si);
    si.fMask = SIF_ALL;
    if (!::GetScrollInfo(m_pList->m_hWnd, m_bVertical ? SB_VERT : SB_HORZ, &si))
        return 0;
    return SkinMax(0, si.nMax - si.nMin - SkinMax((int)si.nPage - 1, 0));
}

int CSkinBarBase::Position() const
{
    return m_pList && m_pList->m_hWnd ? ::GetScrollPos(m_pList->m_hWnd, m_bVertical ? SB_VERT : SB_HORZ) : 0;
}

void CSkinBarBase::Clamp()
{
    int len = Length();
    if (m_bVertical) {
        m_nThumb = SkinMin(m_nThumb, len - After() - m_nThumbLen);
        m_nThumb = SkinMax(m_nThumb, Before());
    } else {
        if (m_nThumb + m_nThumbLen > len - After() + 1)
            m_nThumb = len - m_nThumbLen - After() + 1;
        if (m_nThumb < Before() - 1)
            m_nThumb = Before() - 1;
    }
}

void CSkinBarBase::UpdateThumb()
{
    int limit = Limit();
    // Nothing to scroll: the thumb rests at the track's start.
    if (limit <= 0) {
        m_nThumb = Before();
    } else {
        m_nThumb = Before() + ScrollThumbOffset(Track(), Position(), limit);
    }
    Clamp();
    Repaint();
}

void CSkinBarBase::Repaint()
{
    // A hidden bar is painted when it shows.
    if (!m_hWnd || !IsWindowVisible())
        return;
    CClientDC client(this);
    CRect rc;
    GetClientRect(&rc);
    CMemDC dc(&client, &rc);
    Draw(dc, rc);
}

void CSkinBarBase::OnPaint()
{
    CPaintDC paint(this);
    CRect rc;
    GetClientRect(&rc);
    CMemDC dc(&paint, &rc);
    Draw(dc, rc);
}

void CSkinBarBase::Step(int code)
{
    if (m_pList && m_pList->m_hWnd)
        m_pList->SendMessage(m_bVertical ? WM_VSCROLL : WM_HSCROLL, code, 0);
    UpdateThumb();
}

void CSkinBarBase::OnLButtonDown(UINT, CPoint point)
{
    SetCapture();
    int at = m_bVertical ? point.y : point.x;
    if (at >= m_nThumb && at < m_nThumb + m_nThumbLen)
        m_bGrabbed = TRUE;
    else if (InSecondArrow(at)) {
        m_bSecondHeld = TRUE;
        SetTimer(DELAY_TIMER, DELAY_MS);
    } else if (InFirstArrow(at)) {
        m_bFirstHeld = TRUE;
        SetTimer(DELAY_TIMER, DELAY_MS);
    }
}

void CSkinBarBase::OnTimer(UINT_PTR nIDEvent)
{
    if (nIDEvent == DELAY_TIMER) {
        KillTimer(DELAY_TIMER);
        if (m_bFirstHeld || m_bSecondHeld)
            SetTimer(REPEAT_TIMER, REPEAT_MS);
    } else if (nIDEvent == REPEAT_TIMER) {
        if (m_bSecondHeld)
            Step(SB_LINEDOWN);
        else if (m_bFirstHeld)
            Step(SB_LINEUP);
    } else {
        CStatic::OnTimer(nIDEvent);
    }
}

void CSkinBarBase::OnMouseMove(UINT, CPoint point)
{
    if (m_bGrabbed)
        m_bDragging = TRUE;
    if (!m_bDragging)
        return;
    int at = m_bVertical ? point.y : point.x;
    m_nThumb = at - m_nThumbLen / 2;
    int limit = Limit();
    // With nothing to scroll the thumb stays where it is.
    if (limit <= 0) {
        UpdateThumb();
        return;
    }
    int track = Track();
    if (track > 0 && m_pList && m_pList->m_hWnd) {
        int units = ScrollPositionAt(m_nThumb - Before(), track, limit) - Position();
        if (m_bVertical)
            m_pList->SendMessage(LVM_SCROLL, 0, units * ListRowHeight(m_pList->m_hWnd));
        else
            m_pList->SendMessage(LVM_SCROLL, units, 0);
    }
    Clamp();
    Repaint();
}

void CSkinBarBase::OnLButtonUp(UINT, CPoint point)
{
    BOOL firstHeld = m_bFirstHeld, secondHeld = m_bSecondHeld;
    // A drag's release is judged by the thumb the user let go of: put back
    // where the list is, the thumb can lie a whole scroll unit away, which
    // on a short list is more than half the thumb, and a release on it would
    // page.
    BOOL dragged = m_bDragging;
    int draggedThumb = m_nThumb;
    UpdateThumb();
    int thumb = dragged ? draggedThumb : m_nThumb;
    // A short click leaves the delay timer running: both go.
    KillTimer(REPEAT_TIMER);
    KillTimer(DELAY_TIMER);
    m_bFirstHeld = m_bSecondHeld = m_bGrabbed = m_bDragging = FALSE;
    if (GetCapture() == this)
        ReleaseCapture();
    // Every release counts, a drag's too: one let go over the thumb does
    // nothing.
    int at = m_bVertical ? point.y : point.x;
    // The vertical bar steps only for the arrow the press began on.
    if (InFirstArrow(at) && (firstHeld || !m_bVertical)) {
        Step(SB_LINEUP);
        return;
    }
    if (InSecondArrow(at) && (secondHeld || !m_bVertical)) {
        Step(SB_LINEDOWN);
        return;
    }
    if (at < thumb)
        Step(SB_PAGEUP);
    else if (at >= thumb + m_nThumbLen)
        Step(SB_PAGEDOWN);
}

void CSkinBarBase::OnDestroy()
{
    KillTimer(REPEAT_TIMER);
    KillTimer(DELAY_TIMER);
    CStatic::OnDestroy();
}

// --- CSkinHScrollBar ----------------------------------------------------------

CSkinHScrollBar::CSkinHScrollBar() : CSkinBarBase(FALSE), m_leftW(0), m_rightW(0), m_tileW(0)
{
}

int CSkinHScrollBar::LoadBitmaps(UINT nLeft, UINT nRight, UINT nThumb, UINT nTile)
{
    UINT ids[4] = { nLeft, nRight, nThumb, nTile };
    for (int i = 0; i < 4; ++i) {
        m_bmp[i].DeleteObject();
        if (!m_bmp[i].LoadBitmap(ids[i]))
            return 0;
    }
    Measure();
    return 1;
}

void CSkinHScrollBar::SetBitmaps(HBITMAP hLeft, HBITMAP hRight, HBITMAP hThumb, HBITMAP hTile)
{
    HBITMAP h[4] = { hLeft, hRight, hThumb, hTile };
    for (int i = 0; i < 4; ++i) {
        m_bmp[i].DeleteObject();
        m_bmp[i].Attach(h[i]);
    }
    Measure();
}

void CSkinHScrollBar::Measure()
{
    m_leftW = BitmapSize(m_bmp[0]).cx;
    m_rightW = BitmapSize(m_bmp[1]).cx;
    m_nThumbLen = BitmapSize(m_bmp[2]).cx;
    m_tileW = BitmapSize(m_bmp[3]).cx;
}

void CSkinHScrollBar::Draw(CDC& dc, const CRect& rc)
{
    int h = rc.Height(), w = rc.Width();
    dc.FillSolidRect(&rc, ::GetSysColor(COLOR_BTNFACE));
    if (m_tileW > 0)
        for (int x = m_leftW; x < w; x += m_tileW)
            DrawBitmapStretched(dc, CRect(x, 0, x + m_tileW, h), m_bmp[3]);
    DrawBitmapStretched(dc, CRect(0, 0, m_leftW, h), m_bmp[0]);
    DrawBitmapStretched(dc, CRect(w - m_rightW, 0, w, h), m_bmp[1]);
    DrawBitmapStretched(dc, CRect(m_nThumb, 0, m_nThumb + m_nThumbLen, h), m_bmp[2]);
}

// --- CSkinScrollBar -----------------------------------------------------------

CSkinScrollBar::CSkinScrollBar()
    : CSkinBarBase(TRUE), m_bTop(FALSE), m_bBottom(TRUE), m_upH(0), m_downH(0), m_topH(0), m_bottomH(0),
      m_tile(0, 0)
{
}

int CSkinScrollBar::LoadBitmaps(UINT nUp, UINT nDown, UINT nTile, UINT nThumb, UINT nTop, UINT nBottom)
{
    UINT ids[6] = { nUp, nDown, nTile, nThumb, nTop, nBottom };
    BOOL wanted[6] = { TRUE, TRUE, TRUE, TRUE, m_bTop, m_bBottom };
    for (int i = 0; i < 6; ++i) {
        m_bmp[i].DeleteObject();
        if (wanted[i] && !m_bmp[i].LoadBitmap(ids[i]))
            return 0;
    }
    Measure();
    return 1;
}

void CSkinScrollBar::SetBitmaps(HBITMAP hUp, HBITMAP hDown, HBITMAP hTile, HBITMAP hThumb, HBITMAP hTop,
                                HBITMAP hBottom)
{
    HBITMAP h[6] = { hUp, hDown, hTile, hThumb, m_bTop ? hTop : NULL, m_bBottom ? hBottom : NULL };
    for (int i = 0; i < 6; ++i) {
        m_bmp[i].DeleteObject();
        if (h[i])
            m_bmp[i].Attach(h[i]);
    }
    if (!m_bTop && hTop)
        ::DeleteObject(hTop);
    if (!m_bBottom && hBottom)
        ::DeleteObject(hBottom);
    Measure();
}

void CSkinScrollBar::Measure()
{
    m_upH = BitmapSize(m_bmp[0]).cy;
    m_downH = BitmapSize(m_bmp[1]).cy;
    m_tile = BitmapSize(m_bmp[2]);
    m_nThumbLen = BitmapSize(m_bmp[3]).cy;
    m_topH = m_bTop ? BitmapSize(m_bmp[4]).cy : 0;
    m_bottomH = m_bBottom ? BitmapSize(m_bmp[5]).cy : 0;
    m_nThumb = m_upH + m_topH;
}

BOOL CSkinScrollBar::InSecondArrow(int at) const
{
    // The same one-pixel shift as the up arrow's area.
    int d = Length() - m_bottomH - m_downH - 1;
    return at >= d && at < d + m_downH;
}

void CSkinScrollBar::Draw(CDC& dc, const CRect& rc)
{
    int w = rc.Width(), h = rc.Height();
    dc.FillSolidRect(&rc, ::GetSysColor(COLOR_BTNFACE));
    TileBitmap(dc, CRect(0, m_topH + m_upH, w, h), m_bmp[2], m_tile.cx, m_tile.cy);
    if (m_topH)
        DrawBitmapStretched(dc, CRect(0, 0, w, m_topH), m_bmp[4]);
    DrawBitmapStretched(dc, CRect(0, m_topH, w, m_topH + m_upH), m_bmp[0]);
    DrawBitmapStretched(dc, CRect(0, h - m_downH - m_bottomH, w, h - m_bottomH), m_bmp[1]);
    if (m_bottomH)
        DrawBitmapStretched(dc, CRect(0, h - m_bottomH, w, h), m_bmp[5]);
    DrawBitmapStretched(dc, CRect(0, m_nThumb, w, m_nThumb + m_nThumbLen), m_bmp[3]);
}
