// The controls of Timewarden's themed dialogs: bitmap buttons that light up
// under the mouse, the dark schedule list with bitmap scroll bars and header
// (the skin toolkit's list parts), the hexadecimal ID field and the
// transparent label.
#pragma once
#include "Afx.h"
#include "Button.h"
#include "Edit.h"
#include "SkinDraw.h"
#include "SkinListCtrl.h"
#include "Static.h"

// The list parts are the skin toolkit's; only the bitmaps differ.
typedef CSkinHeaderCtrl CThemeHeaderCtrl;
typedef CSkinHScrollBar CThemeHScrollBar;
typedef CSkinScrollBar CThemeVScrollBar;
typedef CMemDC CMemoryDC;

// Drawn from three resource bitmaps: normal, hover, pressed (a fourth id is
// kept but never drawn). The button takes the normal bitmap's size.
class CHoverBitmapButton : public CButton {
public:
    enum { HOVER_TIMER = 1, HOVER_MS = 100 };
    CHoverBitmapButton();
    void SetBitmaps(UINT nNormal, UINT nHover, UINT nPressed, UINT nFourth = (UINT)-1);
    BOOL IsHover() const { return m_bHover; }
    BOOL IsPressed() const { return m_bPressed; }
    virtual void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct);
protected:
    virtual void PreSubclassWindow();
    virtual void OnMouseMove(UINT nFlags, CPoint point);
    virtual void OnTimer(UINT_PTR nIDEvent);
    virtual void OnLButtonDown(UINT nFlags, CPoint point);
    virtual void OnLButtonUp(UINT nFlags, CPoint point);
    virtual BOOL OnEraseBkgnd(CDC*) { return TRUE; }
    UINT m_nBitmap[4];
    BOOL m_bHover, m_bPressed, m_bFirstDraw;
};

// The schedule list: bars 12 pixels wide and 20 high beside it, painted off
// screen, its bars following the keyboard and the wheel.
class CThemeListCtrl : public CSkinListCtrl {
public:
    CThemeListCtrl();
    // Header left, middle, right; horizontal left, right, thumb, track;
    // vertical top, bottom, up, down, thumb, track.
    BOOL LoadThemeBitmaps(const UINT header[3], const UINT hbar[4], const UINT vbar[6]);
    void SetThemeColours(COLORREF crFirst, COLORREF crSecond) { m_crFirst = crFirst; m_crSecond = crSecond; }
    void UpdateBars();
protected:
    virtual BOOL OnMouseWheel(UINT nFlags, short zDelta, CPoint pt);
    virtual void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);
    virtual void OnKeyUp(UINT nChar, UINT nRepCnt, UINT nFlags);
    virtual BOOL OnEraseBkgnd(CDC*) { return TRUE; }
    virtual void OnPaint();
    virtual BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    COLORREF m_crFirst, m_crSecond;
};

// Takes hexadecimal digits only, up to a maximum length; says so when the
// text breaks either rule.
class CHexEdit : public CEdit {
public:
    CHexEdit();
    void SetMaxLength(int n) { m_nMaxLength = n; }
    void SetBackground(UINT nBitmap);
    void SetFieldFont(LPCSTR lpszFace, int nHeight);
    // Applies both rules to the text now in the field.
    void CheckText();
protected:
    virtual BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    virtual HBRUSH CtlColor(CDC* pDC, UINT nCtlColor);
    virtual BOOL OnEraseBkgnd(CDC* pDC);
    virtual void OnPaint();
    virtual void OnMouseMove(UINT nFlags, CPoint point);
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    virtual void OnSetFocus(CWnd* pOldWnd);
    virtual void OnKillFocus(CWnd* pNewWnd);
    int m_nMaxLength;
    CBitmap m_bmpBackground;
    CFont m_font;
    BOOL m_bHover, m_bFocus, m_bChecking;
};

// A static whose background shows through; its text in one colour.
class CTransparentLabel : public CStatic {
public:
    CTransparentLabel() : m_crText(RGB(0, 0, 0)) {}
    void SetTextColour(COLORREF cr) { m_crText = cr; }
protected:
    virtual HBRUSH CtlColor(CDC* pDC, UINT nCtlColor);
    virtual BOOL OnEraseBkgnd(CDC*) { return TRUE; }
    COLORREF m_crText;
};

// The texts CHexEdit shows.
#define HEX_EDIT_TOO_LONG "输入的字符串超出长度！"
#define HEX_EDIT_NOT_HEX "输入的字符不是十六进制字符！"
#define HEX_EDIT_CAPTION "警告"

// Leading characters of text that are hexadecimal digits.
int CountHexDigits(LPCSTR text);
