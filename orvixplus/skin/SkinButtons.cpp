#include "SkinButtons.h"

// Window text in a font of the given height, centred in rc on one line.
static void DrawCentredText(CWnd* pWnd, CDC& dc, const CRect& rc, int fontHeight, UINT format)
{
    CString text;
    pWnd->GetWindowText(text);
    if (text.IsEmpty())
        return;
    CSkinTextScope scope(dc, fontHeight);
    CRect r = rc;
    dc.DrawText(text, &r, format);
}

// --- CHoverTextButton ---------------------------------------------------------

CHoverTextButton::CHoverTextButton() : m_bHover(FALSE), m_bPressed(FALSE)
{
}

void CHoverTextButton::SetBitmaps(HBITMAP hNormal, const RECT& rNormal, HBITMAP hHover, const RECT& rHover,
                                  HBITMAP hPressed, const RECT& rPressed, HBITMAP hDisabled,
                                  const RECT& rDisabled)
{
    CutPart(m_bmp[0], hNormal, rNormal);
    CutPart(m_bmp[1], hHover, rHover);
    CutPart(m_bmp[2], hPressed, rPressed);
    CutPart(m_bmp[3], hDisabled, rDisabled);
}

void CHoverTextButton::OnPaint()
{
    CPaintDC paint(this);
    CRect rc;
    GetClientRect(&rc);
    CMemDC dc(&paint, &rc);
    dc.FillSolidRect(&rc, ::GetSysColor(COLOR_BTNFACE));
    {
        CSaveClip clip(dc);
        clip.IntersectLogical(m_hRgn);
        int image = !IsWindowEnabled() ? 3 : m_bHover ? (m_bPressed ? 2 : 1) : 0;
        DrawBitmapStretched(dc, rc, m_bmp[image]);
    }
    DrawCentredText(this, dc, rc, rc.Height() - 5, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
}

void CHoverTextButton::OnMouseMove(UINT nFlags, CPoint point)
{
    if (!m_bHover && InShape(point)) {
        m_bHover = TRUE;
        Invalidate(FALSE);
        SetTimer(HOVER_TIMER, 100);
    }
    CShapeElement::OnMouseMove(nFlags, point);
}

void CHoverTextButton::OnTimer(UINT_PTR nIDEvent)
{
    if (nIDEvent != HOVER_TIMER) {
        CShapeElement::OnTimer(nIDEvent);
        return;
    }
    DWORD pos = ::GetMessagePos();
    CPoint pt((short)LOWORD(pos), (short)HIWORD(pos));
    ScreenToClient(&pt);
    CRect rc;
    GetClientRect(&rc);
    if (!rc.PtInRect(pt)) {
        m_bHover = FALSE;
        KillTimer(HOVER_TIMER);
        Invalidate(FALSE);
    }
}

void CHoverTextButton::OnLButtonDown(UINT nFlags, CPoint point)
{
    m_bPressed = TRUE;
    Invalidate(FALSE);
    // The platform's button takes the capture and reports the click itself.
    CShapeElement::OnLButtonDown(nFlags, point);
    if (GetCapture() != this)
        SetCapture();
}

void CHoverTextButton::OnLButtonUp(UINT nFlags, CPoint point)
{
    m_bPressed = FALSE;
    Invalidate(FALSE);
    CShapeElement::OnLButtonUp(nFlags, point);
    if (GetCapture() == this)
        ::ReleaseCapture();
}

void CHoverTextButton::OnCaptureChanged(CWnd* pWnd)
{
    CShapeElement::OnCaptureChanged(pWnd);
    if (pWnd != this && m_bPressed) {
        m_bPressed = FALSE;
        Invalidate(FALSE);
    }
}

void CHoverTextButton::OnKillFocus(CWnd* pNewWnd)
{
    CShapeElement::OnKillFocus(pNewWnd);
    m_bHover = FALSE;
    Invalidate(FALSE);
}

// --- check button and toggle ------------------------------------------------

// The image at its own size at x 2, centred vertically; the window text to its
// right in a font of the given height.
static void PaintImageAndText(CWnd* pWnd, CDC& dc, CBitmap& image, int fontHeight)
{
    CRect rc;
    pWnd->GetClientRect(&rc);
    BITMAP bm;
    if (!image.GetSafeHandle() || !image.GetBitmap(&bm))
        return;
    int y = (rc.Height() - bm.bmHeight) / 2;
    DrawBitmapAt(dc, CRect(2, y < 0 ? 2 : y, rc.right, rc.bottom), image);
    CString text;
    pWnd->GetWindowText(text);
    if (text.IsEmpty())
        return;
    CSkinTextScope scope(dc, fontHeight);
    CSize ext = dc.GetTextExtent(text);
    int ty = (rc.Height() - ext.cy) / 2;
    if (ty < 0)
        ty = 1;
    CRect tr(bm.bmWidth + 3, ty, rc.right, rc.bottom - ty);
    dc.DrawText(text, &tr, DT_CENTER | DT_SINGLELINE);
}

void CImageTextButton::SetBitmaps(HBITMAP hOff, const RECT& rOff, HBITMAP hOn, const RECT& rOn)
{
    if (!hOff || !hOn)
        return;
    CutPart(m_bmpOff, hOff, rOff);
    CutPart(m_bmpOn, hOn, rOn);
}

void CImageTextButton::OnPaint()
{
    CPaintDC dc(this);
    if (!m_bmpOff.GetSafeHandle() || !m_bmpOn.GetSafeHandle())
        return;
    CRect rc;
    GetClientRect(&rc);
    PaintImageAndText(this, dc, IsOn() ? m_bmpOn : m_bmpOff, rc.Height() - m_nFontLess);
}

void CSkinCheckButton::SetCheck(BOOL bChecked, BOOL bRepaint)
{
    m_bChecked = bChecked;
    if (bRepaint && m_hWnd)
        Invalidate(TRUE);
}

void CSkinCheckButton::OnLButtonDown(UINT nFlags, CPoint point)
{
    if (m_bChecked)
        return;
    m_bChecked = TRUE;
    Invalidate(TRUE);
    CWnd* pParent = GetParent();
    if (pParent)
        pParent->SendMessage(WM_SKINCHECK_CLICKED, GetDlgCtrlID(), 0);
}

void CImageToggle::OnLButtonDown(UINT nFlags, CPoint point)
{
    m_nState = !m_nState;
    Invalidate(TRUE);
    CWnd* pParent = GetParent();
    if (pParent)
        pParent->SendMessage(WM_IMAGETOGGLE_CHANGED, GetDlgCtrlID(), m_nState);
}

// --- CSkinTabButton -------------------------------------------------------------

CSkinTabButton::~CSkinTabButton()
{
    if (m_hRgn)
        ::DeleteObject(m_hRgn);
}

void CSkinTabButton::SetBitmaps(HBITMAP hNormal, const RECT& rNormal, HBITMAP hSelected, const RECT& rSelected)
{
    if (!hNormal || !hSelected)
        return;
    CutPart(m_bmpNormal, hNormal, rNormal);
    CutPart(m_bmpSelected, hSelected, rSelected);
}

void CSkinTabButton::PreSubclassWindow()
{
    CSkinButtonBase::PreSubclassWindow();
    ModifyStyle(WS_BORDER | WS_TABSTOP, 0);
}

int CSkinTabButton::OnCreate(LPCREATESTRUCT lpCreateStruct)
{
    if (CSkinButtonBase::OnCreate(lpCreateStruct) == -1)
        return -1;
    BITMAP bm;
    if (!m_bmpNormal.GetSafeHandle() || !m_bmpSelected.GetSafeHandle() || !m_bmpNormal.GetBitmap(&bm))
        return 0;
    SetWindowPos(NULL, 0, 0, bm.bmWidth, bm.bmHeight, SWP_NOMOVE | SWP_NOZORDER | SWP_FRAMECHANGED);
    m_hRgn = BitmapToRegion(m_bmpNormal, m_crTransparent, 0);
    HRGN hWindowRgn = CopyRegion(m_hRgn);
    if (!m_hRgn || !hWindowRgn)
        return -1;
    SetWindowRgn(hWindowRgn, TRUE);
    return 0;
}

void CSkinTabButton::OnPaint()
{
    CPaintDC dc(this);
    CRect rc;
    GetClientRect(&rc);
    {
        CSaveClip clip(dc);
        clip.IntersectLogical(m_hRgn);
        DrawMasked(dc, 0, 0, rc.Width(), rc.Height(), m_bSelected ? m_bmpSelected : m_bmpNormal, 0, 0,
                   NULL, FALSE);
    }
    DrawCentredText(this, dc, rc, rc.Height() - 6, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
}

void CSkinTabButton::OnLButtonDown(UINT nFlags, CPoint point)
{
    CSkinButtonBase::OnLButtonDown(nFlags, point);
    if (m_bSelected)
        return;
    CWnd* pParent = GetParent();
    if (pParent)
        pParent->SendMessage(WM_SKINTAB_CLICKED, GetDlgCtrlID(), 0);
    m_bSelected = TRUE;
    Invalidate(FALSE);
}

void CSkinTabButton::OnDestroy()
{
    if (m_hRgn) {
        ::DeleteObject(m_hRgn);
        m_hRgn = NULL;
    }
    CSkinButtonBase::OnDestroy();
}
