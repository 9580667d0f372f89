// CSkinComboBox: the drop-down lists of the settings pages. The platform list
// holds one empty entry per item; the texts live here and every face and item
// is drawn from seven part images.
#pragma once
#include "ComboBox.h"
#include "AfxArray.h"
#include "SkinDraw.h"

// Index of the first text equal to text with letter case ignored, or -1. GBK
// texts: a two-byte character is compared exactly, so a trail byte in the
// letter range does not fold.
int FindTextNoCase(const CStringArray& texts, LPCTSTR text);

class CSkinComboBox : public CComboBox {
public:
    enum { BUTTON_TIMER = 1, TEXT_TIMER = 2, ITEM_HEIGHT = 20 };
    enum { PART_BUTTON, PART_BUTTON_HOVER, PART_BUTTON_PRESSED, PART_BUTTON_DISABLED,
           PART_FRAME_FOCUSED, PART_FRAME, PART_SELECTION, PART_COUNT };
    CSkinComboBox();
    BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);
    int AddString(LPCTSTR lpszString);
    void GetItemText(int nIndex, CString& rText) const;
    int FindString(LPCTSTR lpszString) const { return FindTextNoCase(m_texts, lpszString); }
    int SetCurSel(int nSelect);
    // Sources and rectangles in the order of the PART_ values.
    void SetBitmaps(const HBITMAP hSources[PART_COUNT], const RECT rects[PART_COUNT]);
    void SetRectA(const RECT& r) { m_rcA = r; }
    void SetRectB(const RECT& r) { m_rcB = r; }
    void SetRectC(const RECT& r) { m_rcC = r; }
    void SetRectD(const RECT& r) { m_rcD = r; }
    int GetTextCount() const { return (int)m_texts.GetSize(); }
    BOOL IsOverButton() const { return m_bOverButton; }
    BOOL IsOverText() const { return m_bOverText; }
    BOOL IsButtonPressed() const { return m_bButtonPressed; }
    // The drop button and the text area in client coordinates.
    CRect ButtonRect() const;
    CRect TextRect() const;

    virtual void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct);
    virtual void MeasureItem(LPMEASUREITEMSTRUCT lpMeasureItemStruct);
protected:
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    virtual void OnPaint();
    virtual void OnMouseMove(UINT nFlags, CPoint point);
    virtual void OnTimer(UINT_PTR nIDEvent);
    virtual void OnLButtonDown(UINT nFlags, CPoint point);
    virtual void OnLButtonUp(UINT nFlags, CPoint point);
    virtual UINT OnGetDlgCode();
    void PaintFace(CDC& dc);
    BOOL HasFocusInside() const;
    void FrameOf(BOOL bFocused, HBITMAP& hImage, const RECT*& s, const RECT*& b) const;
    void RepaintFace();

    CBitmap m_part[PART_COUNT];
    CRect m_rcA, m_rcB, m_rcC, m_rcD;
    CStringArray m_texts;
    BOOL m_bOverButton, m_bOverText, m_bButtonPressed, m_bTextPressed;
    COLORREF m_crText, m_crHighlight;
};
