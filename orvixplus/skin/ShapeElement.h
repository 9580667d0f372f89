// What the shaped elements of the main skin (buttons and sliders) share: a
// name and a stored id for their reports, a region that is their shape, an
// own cursor and a tool tip.
#pragma once
#include "SkinDraw.h"

class CShapeElement : public CSkinButtonBase {
public:
    CShapeElement();
    virtual ~CShapeElement();

    CString GetName() const { return m_strName; }
    void SetName(LPCTSTR lpszName) { m_strName = lpszName; }
    UINT GetId() const { return m_nId; }
    void SetId(UINT nId) { m_nId = nId; }
    void SetShaped(BOOL bShaped) { m_bShaped = bShaped; }
    BOOL IsShaped() const { return m_bShaped; }
    void SetCursorFlag(BOOL bCursor) { m_bCursor = bCursor; }
    // The element owns the cursor from here on.
    void SetCursor(HCURSOR hCursor);
    void SetTooltip(LPCTSTR lpszText, BOOL bActivate) { m_tip.Set(this, lpszText, bActivate); }
    CToolTipCtrl* GetToolTip() { return m_tip.GetCtrl(this); }

protected:
    // A copy of the region becomes the shape; with bReplace FALSE only while
    // none is held.
    BOOL KeepRegion(HRGN hRgn, BOOL bReplace);
    BOOL InShape(CPoint point) const;
    // Shaped elements get a copy of their region as window region.
    virtual int OnCreate(LPCREATESTRUCT lpCreateStruct);
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    virtual BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message);

    HRGN m_hRgn;
    CString m_strName;
    UINT m_nId;
    HCURSOR m_hCursor;
    BOOL m_bShaped, m_bCursor;
    CSkinTip m_tip;
};
