// CShapeProgress: the region-shaped slider of the main skin (volume and
// playback position). The Normal cut is the empty track; the filled part
// comes from the Pressed cut (the Disabled one while disabled). Dragging posts
// WM_SHAPEPROGRESS_MOVING, the release WM_SHAPEPROGRESS_RELEASED, with the
// stored id and the position.
#pragma once
#include "ShapeElement.h"
#include "SkinMessages.h"

// Geometry of a shaped progress bar, apart from any window: box is the
// bounding box of the region, client the window's client size.
struct CShapeProgressGeometry {
    BOOL bHorizontal;
    int nMin, nMax;
    CRect box;
    CSize client;
    // The edge of the filled part for a position.
    int PixelOf(int pos) const;
    // The position for a pointer at x (horizontal) or at distance from the
    // bottom (vertical).
    int PosOf(int coord) const;
};

class CShapeProgress : public CShapeElement {
public:
    enum { NORMAL, HOVER, PRESSED, DISABLED, BACKGROUND, IMAGES };

    CShapeProgress();

    void SetBitmaps(HBITMAP hNormal, const RECT& rNormal, HBITMAP hHover, const RECT& rHover,
                    HBITMAP hPressed, const RECT& rPressed, HBITMAP hDisabled, const RECT& rDisabled,
                    HBITMAP hBackground, const RECT& rBackground);
    // Keeps a copy only while none is held.
    BOOL SetRegion(HRGN hRgn);
    void SetRange(int nMin, int nMax, BOOL bRedraw);
    void SetPos(int nPos);
    int GetPos() const { return m_nPos; }
    int GetRangeMin() const { return m_nMin; }
    int GetRangeMax() const { return m_nMax; }
    BOOL Enable(BOOL bEnable);
    BOOL IsEnabledFlag() const { return m_bEnabled; }
    void SetHorizontal(BOOL bHorizontal) { m_bHorizontal = bHorizontal; }
    BOOL IsDragging() const { return m_bDragging; }
    CShapeProgressGeometry Geometry() const;

protected:
    virtual void OnPaint();
    virtual void OnMouseMove(UINT nFlags, CPoint point);
    virtual void OnLButtonDown(UINT nFlags, CPoint point);
    virtual void OnLButtonUp(UINT nFlags, CPoint point);
    virtual void OnLButtonDblClk(UINT nFlags, CPoint point) { OnLButtonDown(nFlags, point); }
    virtual void OnSetFocus(CWnd* pOldWnd);
    virtual void OnKillFocus(CWnd* pNewWnd);

    void Track(CPoint point);

    CBitmap m_bmp[IMAGES];
    BOOL m_bHorizontal;
    int m_nMax, m_nMin, m_nPos;
    BOOL m_bEnabled, m_bDragging, m_bOver;
};
