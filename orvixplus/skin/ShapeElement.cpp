#include "ShapeElement.h"

CShapeElement::CShapeElement()
    : m_hRgn(NULL), m_nId((UINT)-1), m_hCursor(NULL), m_bShaped(TRUE), m_bCursor(TRUE)
{
}

CShapeElement::~CShapeElement()
{
    if (m_hRgn)
        ::DeleteObject(m_hRgn);
    if (m_hCursor)
        ::DestroyCursor(m_hCursor);
}

void CShapeElement::SetCursor(HCURSOR hCursor)
{
    if (m_hCursor && m_hCursor != hCursor)
        ::DestroyCursor(m_hCursor);
    m_hCursor = hCursor;
}

BOOL CShapeElement::KeepRegion(HRGN hRgn, BOOL bReplace)
{
    if (!hRgn || (m_hRgn && !bReplace))
        return FALSE;
    HRGN hCopy = CopyRegion(hRgn);
    if (!hCopy)
        return FALSE;
    if (m_hRgn)
        ::DeleteObject(m_hRgn);
    m_hRgn = hCopy;
    return TRUE;
}

BOOL CShapeElement::InShape(CPoint point) const
{
    if (m_hRgn)
        return ::PtInRegion(m_hRgn, point.x, point.y);
    CRect rc;
    GetClientRect(&rc);
    return rc.PtInRect(point);
}

int CShapeElement::OnCreate(LPCREATESTRUCT lpCreateStruct)
{
    if (CSkinButtonBase::OnCreate(lpCreateStruct) == -1)
        return -1;
    if (m_bShaped && m_hRgn) {
        HRGN hCopy = CopyRegion(m_hRgn);
        if (!hCopy)
            return -1;
        SetWindowRgn(hCopy, TRUE);     // the window owns the copy
    }
    return 0;
}

LRESULT CShapeElement::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    m_tip.Relay(this, message, wParam, lParam);
    return CSkinButtonBase::WindowProc(message, wParam, lParam);
}

BOOL CShapeElement::OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message)
{
    if (m_bCursor && m_hCursor) {
        ::SetCursor(m_hCursor);
        return TRUE;
    }
    return CSkinButtonBase::OnSetCursor(pWnd, nHitTest, message);
}
