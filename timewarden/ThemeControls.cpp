#include "ThemeControls.h"
#include <commctrl.h>
#include <ctype.h>
#include "ThemeBitmaps.h"

// --- CHoverBitmapButton ----------------------------------------------------------

CHoverBitmapButton::CHoverBitmapButton() : m_bHover(FALSE), m_bPressed(FALSE), m_bFirstDraw(TRUE)
{
    for (UINT& id : m_nBitmap)
        id = (UINT)-1;
}

void CHoverBitmapButton::SetBitmaps(UINT nNormal, UINT nHover, UINT nPressed, UINT nFourth)
{
    m_nBitmap[0] = nNormal;
    m_nBitmap[1] = nHover;
    m_nBitmap[2] = nPressed;
    m_nBitmap[3] = nFourth;
}

void CHoverBitmapButton::PreSubclassWindow()
{
    CButton::PreSubclassWindow();
    ModifyStyle(BS_TYPEMASK, BS_OWNERDRAW);
}

void CHoverBitmapButton::OnMouseMove(UINT nFlags, CPoint point)
{
    CRect rc;
    GetClientRect(&rc);
    if (!m_bHover && rc.PtInRect(point)) {
        m_bHover = TRUE;
        Invalidate(FALSE);
        SetTimer(HOVER_TIMER, HOVER_MS);
    }
    CButton::OnMouseMove(nFlags, point);
}

void CHoverBitmapButton::OnTimer(UINT_PTR nIDEvent)
{
    if (nIDEvent != HOVER_TIMER)
        return CButton::OnTimer(nIDEvent);
    POINT pt;
    ::GetCursorPos(&pt);
    CRect rc;
    GetWindowRect(&rc);
    if (!rc.PtInRect(pt)) {
        m_bHover = FALSE;
        KillTimer(HOVER_TIMER);
        Invalidate(FALSE);
    }
}

void CHoverBitmapButton::OnLButtonDown(UINT nFlags, CPoint point)
{
    m_bPressed = TRUE;
    CButton::OnLButtonDown(nFlags, point);
    SetCapture();
    Invalidate(FALSE);
}

void CHoverBitmapButton::OnLButtonUp(UINT nFlags, CPoint point)
{
    CButton::OnLButtonUp(nFlags, point);
    if (::GetCapture() == m_hWnd)
        ::ReleaseCapture();
    m_bPressed = FALSE;
    Invalidate(FALSE);
}

void CHoverBitmapButton::DrawItem(LPDRAWITEMSTRUCT dis)
{
    CBitmap normal;
    if (m_nBitmap[0] == (UINT)-1 || !normal.LoadBitmap(m_nBitmap[0]))
        return;
    CSize size = BitmapSize(normal);
    if (m_bFirstDraw) {
        m_bFirstDraw = FALSE;
        SetWindowPos(NULL, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    HDC hDC = dis->hDC;
    CBitmap face;
    UINT nFace = m_bHover ? m_nBitmap[m_bPressed ? 2 : 1] : (UINT)-1;
    if (nFace != (UINT)-1 && face.LoadBitmap(nFace))
        CopyBitmapPart(face, hDC, 0, 0, NULL);
    else
        CopyBitmapPart(normal, hDC, 0, 0, NULL);
    char text[128] = "";
    GetWindowText(text, sizeof(text));
    CRect rc(dis->rcItem);
    ::SetBkMode(hDC, TRANSPARENT);
    ::SetTextColor(hDC, m_bHover ? RGB(0, 0, 255) : RGB(0, 0, 0));
    ::DrawTextA(hDC, text, -1, &rc, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
}

// --- CThemeListCtrl ----------------------------------------------------------------

CThemeListCtrl::CThemeListCtrl() : m_crFirst(RGB(125, 125, 125)), m_crSecond(0)
{
    m_nVBarWidth = 12;
    m_nHBarHeight = 20;
}

BOOL CThemeListCtrl::LoadThemeBitmaps(const UINT header[3], const UINT hbar[4], const UINT vbar[6])
{
    if (!InitSkin())
        return FALSE;
    VerticalBar().SetPieces(TRUE, TRUE);
    BOOL bOk = Header().LoadBitmaps(header[0], header[1], header[2]) != 0;
    bOk = HorizontalBar().LoadBitmaps(hbar[0], hbar[1], hbar[2], hbar[3]) != 0 && bOk;
    bOk = VerticalBar().LoadBitmaps(vbar[2], vbar[3], vbar[5], vbar[4], vbar[0], vbar[1]) != 0 && bOk;
    UpdateBars();
    return bOk;
}

void CThemeListCtrl::UpdateBars()
{
    if (HorizontalBar().m_hWnd) {
        HorizontalBar().UpdateThumb();
        HorizontalBar().Invalidate(FALSE);
    }
    if (VerticalBar().m_hWnd) {
        VerticalBar().UpdateThumb();
        VerticalBar().Invalidate(FALSE);
    }
}

BOOL CThemeListCtrl::OnMouseWheel(UINT nFlags, short zDelta, CPoint pt)
{
    BOOL result = CSkinListCtrl::OnMouseWheel(nFlags, zDelta, pt);
    UpdateBars();
    return result;
}

void CThemeListCtrl::OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags)
{
    CSkinListCtrl::OnKeyDown(nChar, nRepCnt, nFlags);
    UpdateBars();
}

void CThemeListCtrl::OnKeyUp(UINT nChar, UINT nRepCnt, UINT nFlags)
{
    CSkinListCtrl::OnKeyUp(nChar, nRepCnt, nFlags);
    UpdateBars();
}

void CThemeListCtrl::OnPaint()
{
    CPaintDC paint(this);
    CRect rc;
    GetClientRect(&rc);
    CMemoryDC mem(&paint, &rc);
    // The list paints into a context it is given; the buffer covers the whole client.
    HBRUSH hBack = ::CreateSolidBrush((COLORREF)SendMessage(LVM_GETBKCOLOR));
    ::FillRect(mem.GetSafeHdc(), &rc, hBack);
    ::DeleteObject(hBack);
    DefWindowProc(WM_PAINT, (WPARAM)mem.GetSafeHdc(), 0);
}

BOOL CThemeListCtrl::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    // A selection change moves rows in and out of view: the thumbs follow.
    if (message == WM_NOTIFY && ((NMHDR*)lParam)->code == LVN_ITEMCHANGED)
        UpdateBars();
    return CSkinListCtrl::OnChildNotify(message, wParam, lParam, pResult);
}

// --- CHexEdit ------------------------------------------------------------------------

int CountHexDigits(LPCSTR text)
{
    int n = 0;
    while (text && isxdigit((unsigned char)text[n]))
        n++;
    return n;
}

CHexEdit::CHexEdit() : m_nMaxLength(6), m_bHover(FALSE), m_bFocus(FALSE), m_bChecking(FALSE) {}

void CHexEdit::SetBackground(UINT nBitmap)
{
    m_bmpBackground.DeleteObject();
    m_bmpBackground.LoadBitmap(nBitmap);
}

void CHexEdit::SetFieldFont(LPCSTR lpszFace, int nHeight)
{
    LOGFONTA lf = {};
    lf.lfHeight = nHeight;
    lstrcpynA(lf.lfFaceName, lpszFace, LF_FACESIZE);
    m_font.DeleteObject();
    if (m_font.CreateFontIndirect(&lf) && m_hWnd)
        SetFont(&m_font);
}

void CHexEdit::CheckText()
{
    // Setting the text below changes it again: that change is already checked.
    if (m_bChecking || !m_hWnd)
        return;
    m_bChecking = TRUE;
    char text[256] = "";
    GetWindowText(text, sizeof(text));
    int length = lstrlenA(text);
    int hex = CountHexDigits(text);
    if (length > m_nMaxLength) {
        text[m_nMaxLength] = 0;
        SetWindowText(text);
        MessageBox(HEX_EDIT_TOO_LONG, HEX_EDIT_CAPTION, MB_OK | MB_ICONEXCLAMATION);
        SetSel(m_nMaxLength, m_nMaxLength);
        SetFocus();
        length = m_nMaxLength;
        hex = CountHexDigits(text);
    }
    if (hex < length) {
        memmove(text + hex, text + hex + 1, length - hex);
        SetWindowText(text);
        int end = lstrlenA(text);
        SetSel(end, end);
        MessageBox(HEX_EDIT_NOT_HEX, HEX_EDIT_CAPTION, MB_OK | MB_ICONEXCLAMATION);
        SetFocus();
    }
    Invalidate(TRUE);
    m_bChecking = FALSE;
}

BOOL CHexEdit::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    if (message == WM_COMMAND && HIWORD(wParam) == EN_CHANGE)
        CheckText();
    return CEdit::OnChildNotify(message, wParam, lParam, pResult);
}

HBRUSH CHexEdit::CtlColor(CDC* pDC, UINT)
{
    pDC->SetBkMode(TRANSPARENT);
    return (HBRUSH)::GetStockObject(NULL_BRUSH);
}

BOOL CHexEdit::OnEraseBkgnd(CDC* pDC)
{
    CRect rc;
    GetClientRect(&rc);
    if (m_bmpBackground.GetSafeHandle())
        StretchBitmap(m_bmpBackground, pDC->GetSafeHdc(), rc, NULL);
    return TRUE;
}

void CHexEdit::OnPaint()
{
    // The text goes over the background, which the field itself never
    // repaints under a transparent brush.
    {
        CClientDC dc(this);
        OnEraseBkgnd(&dc);
    }
    Default();
    if (m_bHover || m_bFocus) {
        CClientDC dc(this);
        CRect rc;
        GetClientRect(&rc);
        HBRUSH hBorder = ::CreateSolidBrush(RGB(0, 128, 255));
        ::FrameRect(dc.GetSafeHdc(), &rc, hBorder);
        ::DeleteObject(hBorder);
    }
}

void CHexEdit::OnMouseMove(UINT nFlags, CPoint point)
{
    if (!m_bHover) {
        m_bHover = TRUE;
        TRACKMOUSEEVENT tme = {sizeof(tme), TME_LEAVE, m_hWnd, 0};
        ::TrackMouseEvent(&tme);
        Invalidate(TRUE);
    }
    CEdit::OnMouseMove(nFlags, point);
}

LRESULT CHexEdit::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_MOUSELEAVE) {
        m_bHover = FALSE;
        Invalidate(TRUE);
    }
    return CEdit::WindowProc(message, wParam, lParam);
}

void CHexEdit::OnSetFocus(CWnd* pOldWnd)
{
    m_bFocus = TRUE;
    CEdit::OnSetFocus(pOldWnd);
    Invalidate(TRUE);
}

void CHexEdit::OnKillFocus(CWnd* pNewWnd)
{
    m_bFocus = FALSE;
    CEdit::OnKillFocus(pNewWnd);
    Invalidate(TRUE);
}

// --- CTransparentLabel ---------------------------------------------------------------

HBRUSH CTransparentLabel::CtlColor(CDC* pDC, UINT)
{
    pDC->SetBkMode(TRANSPARENT);
    pDC->SetTextColor(m_crText);
    return (HBRUSH)::GetStockObject(NULL_BRUSH);
}
