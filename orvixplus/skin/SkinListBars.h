// The bitmap scroll bars that stand beside a skinned list in place of its own:
// CSkinHScrollBar below it, CSkinScrollBar at its right. Both are static
// windows that turn clicks into the list's own scroll requests and move the
// list directly while the thumb is dragged.
#pragma once
#include "SkinDraw.h"
#include "Static.h"

// The list's vertical step in pixels: row 0's height, else the text height of
// the list's font (what an empty list will measure its rows with).
int ListRowHeight(HWND hList);

// Along a track of `track` pixels (the bar less its arrows and the thumb),
// the thumb's offset for a list scrolled to `position` of `limit`, and the
// position a thumb `offset` pixels in shows; both cut toward the start, 0
// when the limit or the track is not positive.
int ScrollThumbOffset(int track, int position, int limit);
int ScrollPositionAt(int offset, int track, int limit);

// What both bars share; the axis decides which coordinate counts.
class CSkinBarBase : public CStatic {
public:
    enum { REPEAT_TIMER = 1, DELAY_TIMER = 2, DELAY_MS = 250, REPEAT_MS = 50 };
    void SetOwnerList(CWnd* pList) { m_pList = pList; }
    CWnd* GetOwnerList() const { return m_pList; }
    int GetThumb() const { return m_nThumb; }
    int GetThumbLength() const { return m_nThumbLen; }
    // Thumb from the list's scroll position.
    void UpdateThumb();
protected:
    explicit CSkinBarBase(BOOL bVertical);
    virtual void OnPaint();
    virtual BOOL OnEraseBkgnd(CDC*) { return TRUE; }
    virtual void OnLButtonDown(UINT nFlags, CPoint point);
    virtual void OnLButtonDblClk(UINT nFlags, CPoint point) { OnLButtonDown(nFlags, point); }
    virtual void OnMouseMove(UINT nFlags, CPoint point);
    virtual void OnLButtonUp(UINT nFlags, CPoint point);
    virtual void OnTimer(UINT_PTR nIDEvent);
    virtual void OnDestroy();
    virtual void Draw(CDC& dc, const CRect& rc) = 0;
    // Client length along the axis, the pixels before the track and after it.
    int Length() const;
    // The pixels the thumb can travel.
    int Track() const;
    virtual int Before() const = 0;
    virtual int After() const = 0;
    virtual BOOL InFirstArrow(int at) const = 0;
    virtual BOOL InSecondArrow(int at) const = 0;
    void Step(int code);
    void Clamp();
    // The list's scroll limit (0 when everything fits) and its position.
    int Limit() const;
    int Position() const;
    void Repaint();

    BOOL m_bVertical;
    CWnd* m_pList;
    BOOL m_bFirstHeld, m_bSecondHeld, m_bGrabbed, m_bDragging;
    int m_nThumb, m_nThumbLen;
};

class CSkinHScrollBar : public CSkinBarBase {
public:
    CSkinHScrollBar();
    // Left arrow, right arrow, thumb, track tile: 0 at the first that fails.
    int LoadBitmaps(UINT nLeft, UINT nRight, UINT nThumb, UINT nTile);
    // The same from bitmaps the bar takes over (all four given).
    void SetBitmaps(HBITMAP hLeft, HBITMAP hRight, HBITMAP hThumb, HBITMAP hTile);
protected:
    virtual void Draw(CDC& dc, const CRect& rc);
    virtual int Before() const { return m_leftW; }
    virtual int After() const { return m_rightW; }
    virtual BOOL InFirstArrow(int at) const { return at >= 0 && at < m_leftW; }
    virtual BOOL InSecondArrow(int at) const { return at >= Length() - m_rightW && at < Length(); }
    void Measure();
    CBitmap m_bmp[4];
    int m_leftW, m_rightW, m_tileW;
};

class CSkinScrollBar : public CSkinBarBase {
public:
    CSkinScrollBar();
    void SetPieces(BOOL bTop, BOOL bBottom) { m_bTop = bTop; m_bBottom = bBottom; }
    // Up, down, track tile, thumb, top piece, bottom piece (the pieces only
    // when wanted): 0 at the first that fails.
    int LoadBitmaps(UINT nUp, UINT nDown, UINT nTile, UINT nThumb, UINT nTop, UINT nBottom);
    // The same from bitmaps the bar takes over; pieces not wanted may be NULL.
    void SetBitmaps(HBITMAP hUp, HBITMAP hDown, HBITMAP hTile, HBITMAP hThumb, HBITMAP hTop, HBITMAP hBottom);
protected:
    virtual void Draw(CDC& dc, const CRect& rc);
    virtual int Before() const { return m_topH + m_upH; }
    virtual int After() const { return m_bottomH + m_downH; }
    virtual BOOL InFirstArrow(int at) const { return at >= m_topH + 1 && at < m_topH + m_upH + 1; }
    virtual BOOL InSecondArrow(int at) const;
    void Measure();
    CBitmap m_bmp[6];
    BOOL m_bTop, m_bBottom;
    int m_upH, m_downH, m_topH, m_bottomH;
    CSize m_tile;
};
