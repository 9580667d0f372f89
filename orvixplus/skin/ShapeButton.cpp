#include "ShapeButton.h"

CShapeButton::CShapeButton() : m_bPressed(FALSE), m_bHover(FALSE), m_crKey(255)
{
}

void CShapeButton::SetBitmaps(HBITMAP hNormal, const RECT& rNormal, HBITMAP hHover, const RECT& rHover,
                              HBITMAP hPressed, const RECT& rPressed, HBITMAP hDisabled, const RECT& rDisabled)
{
    CutPart(m_bmp[NORMAL], hNormal, rNormal);
    CutPart(m_bmp[HOVER], hHover, rHover);
    CutPart(m_bmp[PRESSED], hPressed, rPressed);
    CutPart(m_bmp[DISABLED], hDisabled, rDisabled);
}

BOOL CShapeButton::SetRegion(HRGN hRgn)
{
    return KeepRegion(hRgn, TRUE);
}

BOOL CShapeButton::Enable(BOOL bEnable)
{
    BOOL was = EnableWindow(bEnable);
    Invalidate(FALSE);
    return was;
}

void CShapeButton::PreSubclassWindow()
{
    CShapeElement::PreSubclassWindow();
    ModifyStyle(WS_TABSTOP, 0);
}

int CShapeButton::OnCreate(LPCREATESTRUCT lpCreateStruct)
{
    if (CShapeElement::OnCreate(lpCreateStruct) == -1)
        return -1;
    if (m_bShaped && m_hRgn) {
        CRect rc;
        GetClientRect(&rc);
        SetWindowPos(NULL, 0, 0, rc.Width(), rc.Height(),
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    }
    return 0;
}

void CShapeButton::OnPaint()
{
    CPaintDC dc(this);
    CRect rc;
    GetClientRect(&rc);
    int state = !IsWindowEnabled() ? DISABLED
        : m_bHover && m_bPressed ? PRESSED
        : m_bHover ? HOVER : NORMAL;
    CSaveClip clip(dc);
    clip.IntersectLogical(m_hRgn);
    DrawBitmapStretched(dc, rc, m_bmp[state]);
}

void CShapeButton::Leave()
{
    if (m_bHover) {
        m_bHover = FALSE;
        Invalidate(FALSE);
    }
}

void CShapeButton::OnMouseMove(UINT nFlags, CPoint point)
{
    if ((nFlags & MK_LBUTTON) && !m_bHover)
        return;
    if (GetCapture() != this) {
        if (CWnd::GetActiveWindow() && GetParent() && InShape(point)) {
            m_bHover = TRUE;
            SetCapture();
            Invalidate(FALSE);
        }
        return;
    }
    CPoint screen = point;
    ClientToScreen(&screen);
    HWND hUnder = ::WindowFromPoint(screen);
    // Under the capture the corners of a round button still report this
    // window; they are outside it all the same.
    if (!hUnder || (hUnder == m_hWnd && InShape(point)))
        return;
    Leave();
    if (!(nFlags & MK_LBUTTON))
        ::ReleaseCapture();
}

void CShapeButton::OnLButtonDown(UINT nFlags, CPoint point)
{
    if (InShape(point)) {
        m_bPressed = TRUE;
        Invalidate(FALSE);
    }
}

void CShapeButton::OnLButtonDblClk(UINT nFlags, CPoint point)
{
    // A quick second click is a click like the first.
    OnLButtonDown(nFlags, point);
}

void CShapeButton::OnLButtonUp(UINT nFlags, CPoint point)
{
    m_bPressed = FALSE;
    if (GetCapture() == this)
        ::ReleaseCapture();
    if (InShape(point)) {
        m_bHover = TRUE;
        // Keep tracking the pointer so the hover look goes when it leaves.
        SetCapture();
        Invalidate(FALSE);
        CWnd* pParent = GetParent();
        if (pParent)
            pParent->SendMessage(WM_COMMAND, MAKEWPARAM(m_nId, 0), 0);
    } else {
        Invalidate(FALSE);
    }
}

void CShapeButton::OnCaptureChanged(CWnd* pWnd)
{
    // Whoever took the pointer, it is no longer over this button.
    if (pWnd != this)
        Leave();
}

void CShapeButton::OnKillFocus(CWnd* pNewWnd)
{
    CShapeElement::OnKillFocus(pNewWnd);
    Leave();
}
