// The skinned buttons of the settings windows: the hover text button, the
// radio-style check button, the two-state image toggle and the region-shaped
// tab button. Each draws itself from its part images.
#pragma once
#include "ShapeElement.h"
#include "SkinMessages.h"

// Reports clicks through the platform button's own WM_COMMAND.
class CHoverTextButton : public CShapeElement {
public:
    enum { HOVER_TIMER = 100 };
    CHoverTextButton();
    void SetBitmaps(HBITMAP hNormal, const RECT& rNormal, HBITMAP hHover, const RECT& rHover,
                    HBITMAP hPressed, const RECT& rPressed, HBITMAP hDisabled, const RECT& rDisabled);
    // Kept and made the window's region when the window is created.
    BOOL SetRegion(HRGN hRgn) { return KeepRegion(hRgn, TRUE); }
    BOOL IsHover() const { return m_bHover; }
    BOOL IsPressed() const { return m_bPressed; }
protected:
    virtual void OnPaint();
    virtual void OnMouseMove(UINT nFlags, CPoint point);
    virtual void OnTimer(UINT_PTR nIDEvent);
    virtual void OnLButtonDown(UINT nFlags, CPoint point);
    virtual void OnLButtonUp(UINT nFlags, CPoint point);
    virtual void OnCaptureChanged(CWnd* pWnd);
    virtual void OnKillFocus(CWnd* pNewWnd);
    CBitmap m_bmp[4];
    BOOL m_bHover, m_bPressed;
};

// An image at its own size with the window text beside it, in one of two
// states: the check button and the image toggle.
class CImageTextButton : public CSkinButtonBase {
public:
    void SetBitmaps(HBITMAP hOff, const RECT& rOff, HBITMAP hOn, const RECT& rOn);
protected:
    explicit CImageTextButton(int nFontLess) : m_nFontLess(nFontLess) {}
    virtual BOOL IsOn() const = 0;
    virtual void OnPaint();
    CBitmap m_bmpOff, m_bmpOn;
    int m_nFontLess;        // font height = client height less this
};

// Checked by a click, unchecked only by SetCheck: one of a group of choices.
class CSkinCheckButton : public CImageTextButton {
public:
    CSkinCheckButton() : CImageTextButton(3), m_bChecked(FALSE) {}
    void SetCheck(BOOL bChecked, BOOL bRepaint);
    BOOL GetCheck() const { return m_bChecked; }
protected:
    virtual BOOL IsOn() const { return m_bChecked; }
    virtual void OnLButtonDown(UINT nFlags, CPoint point);
    virtual void OnLButtonDblClk(UINT nFlags, CPoint point) { OnLButtonDown(nFlags, point); }
    BOOL m_bChecked;
};

// Flips between off and on at every press.
class CImageToggle : public CImageTextButton {
public:
    CImageToggle() : CImageTextButton(7), m_nState(0) {}
    int GetState() const { return m_nState; }
    void SetState(int nState) { m_nState = nState ? 1 : 0; if (m_hWnd) Invalidate(TRUE); }
protected:
    virtual BOOL IsOn() const { return m_nState != 0; }
    virtual void OnLButtonDown(UINT nFlags, CPoint point);
    virtual void OnLButtonDblClk(UINT nFlags, CPoint point) { OnLButtonDown(nFlags, point); }
    int m_nState;
};

// A tab of the settings panel: shaped by its normal image less the
// transparent colour; tells the parent when a tab not yet selected is pressed.
class CSkinTabButton : public CSkinButtonBase {
public:
    CSkinTabButton() : m_hRgn(NULL), m_bSelected(FALSE), m_crTransparent((COLORREF)-1) {}
    virtual ~CSkinTabButton();
    void SetBitmaps(HBITMAP hNormal, const RECT& rNormal, HBITMAP hSelected, const RECT& rSelected);
    void SetTransparentColor(COLORREF cr) { m_crTransparent = cr; }
    void SetSelected(BOOL bSelected) { m_bSelected = bSelected; if (m_hWnd) Invalidate(FALSE); }
    BOOL IsSelected() const { return m_bSelected; }
protected:
    virtual void PreSubclassWindow();
    virtual int OnCreate(LPCREATESTRUCT lpCreateStruct);
    virtual void OnPaint();
    virtual void OnLButtonDown(UINT nFlags, CPoint point);
    virtual void OnDestroy();
    CBitmap m_bmpNormal, m_bmpSelected;
    HRGN m_hRgn;
    BOOL m_bSelected;
    COLORREF m_crTransparent;
};
