// CCellEdit: the one-line box that the channel list shows over the name or
// frequency cell being edited. It paints its own frame, background and text
// from skin parts, widens itself as the text grows, checks frequency input as
// it is typed, and reports Enter to the list.
#pragma once
#include "Edit.h"
#include "GdiObject.h"

// Frequency input: at least one character, not starting with a point, digits
// and at most one point.
BOOL IsValidFrequencyText(LPCTSTR lpszText);
// Digits in order, and the first point that is not the text's first character.
CString CleanFrequencyText(LPCTSTR lpszText);

class CCellEdit : public CEdit {
public:
    enum { TEXT_LIMIT = 256 };
    CCellEdit();
    virtual ~CCellEdit();

    // The frame of the look in use (the second source replaces the first) and
    // the background part, each cut from its source at its rectangle.
    void SetBitmaps(HBITMAP hFrame1, const RECT& rcFrame1, HBITMAP hFrame2, const RECT& rcFrame2, HBITMAP hBack,
                    const RECT& rcBack);
    // Source rectangle and border widths of the frame of either look.
    void SetFrameRect(BOOL bSecondLook, const RECT& rc);
    void SetBorderRect(BOOL bSecondLook, const RECT& rc);
    void SetNumeric(BOOL bNumeric) { m_bNumeric = bNumeric; }
    BOOL IsNumeric() const { return m_bNumeric; }
    // In numeric mode an invalid text becomes "0.00".
    void ResetInvalidNumber();

    virtual BOOL PreTranslateMessage(MSG* pMsg);
    virtual BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    virtual HBRUSH CtlColor(CDC* pDC, UINT nCtlColor);

protected:
    struct Look {
        CBitmap frame;
        CRect src, border;
    };
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    void OnTextChanged();
    void OnTypedChar(UINT nChar, WPARAM wParam, LPARAM lParam);
    void Draw();
    const Look& ActiveLook() const { return m_bFirstLook ? m_look[0] : m_look[1]; }

    BOOL m_bFirstLook;
    Look m_look[2];
    CBitmap m_background;
    COLORREF m_crText, m_crFocusText;
    BOOL m_bNumeric;
    CString m_strReset;
    CBrush m_brush;
};
