// CShapeButton: the push button of the main skin. Its shape is a region (the
// key colour of its rectangle in the Mask), its four looks are cuts of the
// skin's four state images, and a click reports WM_COMMAND with the id its
// creator stored (the window itself has id 0).
#pragma once
#include "ShapeElement.h"

class CShapeButton : public CShapeElement {
public:
    enum { NORMAL, HOVER, PRESSED, DISABLED, STATES };

    CShapeButton();

    // Cuts the four state images out of the four sources.
    void SetBitmaps(HBITMAP hNormal, const RECT& rNormal, HBITMAP hHover, const RECT& rHover,
                    HBITMAP hPressed, const RECT& rPressed, HBITMAP hDisabled, const RECT& rDisabled);
    // Keeps a copy (0 for NULL).
    BOOL SetRegion(HRGN hRgn);
    BOOL Enable(BOOL bEnable);
    void SetKeyColor(COLORREF key) { m_crKey = key; }
    COLORREF GetKeyColor() const { return m_crKey; }
    BOOL IsHover() const { return m_bHover; }
    BOOL IsPressed() const { return m_bPressed; }

protected:
    virtual void PreSubclassWindow();
    virtual int OnCreate(LPCREATESTRUCT lpCreateStruct);
    virtual void OnPaint();
    virtual void OnMouseMove(UINT nFlags, CPoint point);
    virtual void OnLButtonDown(UINT nFlags, CPoint point);
    virtual void OnLButtonUp(UINT nFlags, CPoint point);
    virtual void OnLButtonDblClk(UINT nFlags, CPoint point);
    virtual void OnCaptureChanged(CWnd* pWnd);
    virtual void OnKillFocus(CWnd* pNewWnd);

    void Leave();

    BOOL m_bPressed, m_bHover;
    CBitmap m_bmp[STATES];
    COLORREF m_crKey;
};
