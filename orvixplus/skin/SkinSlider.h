// CSkinSlider and CSkinTrackBar: sliders of the settings windows drawn from
// bitmap resources (a channel in one or two images, a thumb for the track
// bar, an optional frame). They post their moves to the parent.
#pragma once
#include "SkinDraw.h"
#include "SkinMessages.h"

// Where a position sits along the control and back. length is the control
// along its axis, thumb the thumb's length, start and end the margins.
struct CSliderGeometry {
    int length, thumb, start, end;
    int nMin, nMax;
    int PixelOf(int pos) const;
    int PosOf(int pixel) const;
    int LowestCentre() const { return start + thumb / 2; }
    int HighestCentre() const { return length - end - thumb / 2; }
};

class CSkinSlider : public CSkinButtonBase {
public:
    CSkinSlider();
    virtual ~CSkinSlider();

    void SetRange(int nMin, int nMax, BOOL bRedraw);
    void GetRange(int& nMin, int& nMax) const { nMin = m_nMin; nMax = m_nMax; }
    virtual void SetPos(int nPos);
    int GetPos() const { return m_nPos; }
    void SetPageSize(int nPage) { m_nPage = nPage; }
    void SetMargin(int left, int top, int right, int bottom);
    void Enable(BOOL bEnable);
    void SetDrawFocusRect(BOOL bDraw, BOOL bRepaint);
    void SetVertical(BOOL bVertical) { m_bVertical = bVertical; }
    // Resource ids; 0 clears the channel. 1 on success.
    int LoadBitmaps(UINT nFirst, UINT nSecond, BOOL bResize, BOOL bTransparent, COLORREF key, int x, int y);
    // The same from bitmaps already loaded; the slider owns them afterwards.
    int SetChannelBitmaps(HBITMAP hFirst, HBITMAP hSecond, BOOL bResize, BOOL bTransparent, COLORREF key,
                          int x, int y);
    BOOL LoadBackground(UINT nId);
    void SetBackground(HBITMAP hFrame);
    void SetRectA(const RECT* pSource) { if (pSource) m_rcFrameSource = *pSource; }
    void SetRectB(const RECT* pBorders) { if (pBorders) m_rcFrameBorders = *pBorders; }
    BOOL IsDragging() const { return m_bDragging; }
    CSliderGeometry Geometry() const;

protected:
    virtual void OnPaint();
    virtual void OnLButtonDown(UINT nFlags, CPoint point);
    virtual void OnLButtonDblClk(UINT nFlags, CPoint point) { OnLButtonDown(nFlags, point); }
    virtual void OnMouseMove(UINT nFlags, CPoint point);
    virtual void OnLButtonUp(UINT nFlags, CPoint point);
    virtual void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);
    virtual UINT OnGetDlgCode();
    virtual void OnSetFocus(CWnd* pOldWnd);
    virtual void OnKillFocus(CWnd* pNewWnd);
    virtual void OnDestroy();

    // Messages of the slider and of the track bar.
    virtual UINT MovingMessage() const { return WM_SKINSLIDER_MOVING; }
    virtual UINT MovedMessage() const { return WM_SKINSLIDER_MOVED; }
    virtual void OnReleased() {}
    virtual BOOL HandlesKeys() const { return TRUE; }
    void Post(UINT message);
    void FreeChannel();
    void FreeThumb();
    void DrawChannel(CDC& dc, BOOL bWhole);
    void DrawThumb(CDC& dc);

    int m_nMax, m_nMin, m_nPos, m_nPage, m_nPrevious;
    int m_cx, m_cy, m_nThumbWidth, m_nThumbHeight;
    int m_nMarginLeft, m_nMarginRight, m_nMarginTop, m_nMarginBottom;
    CRect m_rcClient;
    BOOL m_bVertical;
    CBitmap m_bmpChannel, m_bmpChannelMask, m_bmpActive, m_bmpActiveMask;
    BOOL m_bTwoImages, m_bChannelLoaded;
    CBitmap m_bmpThumb, m_bmpThumbMask, m_bmpThumbDown, m_bmpThumbDownMask;
    BOOL m_bThumbLoaded, m_bThumbDown;
    CBitmap m_bmpUnderThumb;
    CPoint m_ptThumbDrawn;
    int m_nGrab;
    BOOL m_bDragging, m_bFocused, m_bFocusDrawn, m_bDrawFocus, m_bEnabled, m_bTransparent;
    CBitmap m_bmpFrame;
    CRect m_rcFrameSource, m_rcFrameBorders;
};

class CSkinTrackBar : public CSkinSlider {
public:
    CSkinTrackBar() : m_nSaved1(0), m_nSaved2(0) {}
    int SetBitmapChannel(UINT nFirst, UINT nSecond, BOOL bResize, BOOL bTransparent, COLORREF key, int x, int y)
        { return LoadBitmaps(nFirst, nSecond, bResize, bTransparent, key, x, y); }
    // Resource ids; 0 clears the thumb.
    int SetBitmapThumb(UINT nNormal, UINT nPressed, BOOL bTransparent, COLORREF key, int x, int y);
    int SetThumbBitmaps(HBITMAP hNormal, HBITMAP hPressed, BOOL bTransparent, COLORREF key, int x, int y);
    virtual void SetPos(int nPos);
    void SetSavedPos(int nPos);
    // The position before the last release.
    int GetSavedPos() const { return m_nSaved1; }
protected:
    virtual UINT MovingMessage() const { return WM_SKINTRACKBAR_MOVING; }
    virtual UINT MovedMessage() const { return WM_SKINTRACKBAR_MOVED; }
    virtual void OnReleased() { m_nSaved1 = m_nSaved2; m_nSaved2 = m_nPos; }
    virtual BOOL HandlesKeys() const { return FALSE; }
    int m_nSaved1, m_nSaved2;
};
