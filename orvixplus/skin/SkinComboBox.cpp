#include "SkinComboBox.h"

// GBK lead bytes; the texts of the settings pages are GBK whatever the
// code page the program runs under.
static inline bool IsGbkLead(unsigned char c) { return c >= 0x81 && c <= 0xfe; }

static inline unsigned char FoldAscii(unsigned char c) { return c >= 'A' && c <= 'Z' ? c + 32 : c; }

static bool EqualNoCase(const char* a, const char* b)
{
    const unsigned char* p = (const unsigned char*)a;
    const unsigned char* q = (const unsigned char*)b;
    while (*p && *q) {
        if (IsGbkLead(*p)) {
            if (*p != *q || !p[1] || p[1] != q[1])
                return false;
            p += 2;
            q += 2;
            continue;
        }
        if (FoldAscii(*p) != FoldAscii(*q))
            return false;
        ++p;
        ++q;
    }
    return *p == *q;
}

int FindTextNoCase(const CStringArray& texts, LPCTSTR text)
{
    if (!text)
        return -1;
    for (int i = 0; i < texts.GetSize(); ++i)
        if (EqualNoCase(texts[i], text))
            return i;
    return -1;
}

CSkinComboBox::CSkinComboBox()
    : m_rcA(0, 0, 0, 0), m_rcB(0, 0, 0, 0), m_rcC(0, 0, 0, 0), m_rcD(0, 0, 0, 0),
      m_bOverButton(FALSE), m_bOverText(FALSE), m_bButtonPressed(FALSE), m_bTextPressed(FALSE),
      m_crText(0), m_crHighlight(0xff0000)
{
}

BOOL CSkinComboBox::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
{
    return CComboBox::Create(dwStyle | CBS_OWNERDRAWVARIABLE | CBS_HASSTRINGS, rect, pParentWnd, nID);
}

int CSkinComboBox::AddString(LPCTSTR lpszString)
{
    m_texts.Add(CString(lpszString ? lpszString : ""));
    return CComboBox::AddString("");
}

void CSkinComboBox::GetItemText(int nIndex, CString& rText) const
{
    if (nIndex >= 0 && nIndex < m_texts.GetSize())
        rText = m_texts[nIndex];
}

int CSkinComboBox::SetCurSel(int nSelect)
{
    int result = CComboBox::SetCurSel(nSelect);
    RepaintFace();
    return result;
}

void CSkinComboBox::SetBitmaps(const HBITMAP hSources[PART_COUNT], const RECT rects[PART_COUNT])
{
    for (int i = 0; i < PART_COUNT; ++i)
        CutPart(m_part[i], hSources[i], rects[i]);
}

CRect CSkinComboBox::ButtonRect() const
{
    CRect rc;
    GetClientRect(&rc);
    rc.DeflateRect(2, 4);
    rc.left = SkinMax(rc.left, rc.right - ::GetSystemMetrics(SM_CXHTHUMB));
    return rc;
}

CRect CSkinComboBox::TextRect() const
{
    CRect rc;
    GetClientRect(&rc);
    CRect button = ButtonRect();
    return CRect(rc.left + 2, rc.top + 4, button.left, button.bottom);
}

BOOL CSkinComboBox::HasFocusInside() const
{
    HWND focus = ::GetFocus();
    return focus && (focus == m_hWnd || ::IsChild(m_hWnd, focus));
}

void CSkinComboBox::FrameOf(BOOL bFocused, HBITMAP& hImage, const RECT*& s, const RECT*& b) const
{
    hImage = bFocused ? (HBITMAP)m_part[PART_FRAME_FOCUSED].GetSafeHandle()
                      : (HBITMAP)m_part[PART_FRAME].GetSafeHandle();
    s = bFocused ? &m_rcA : &m_rcC;
    b = bFocused ? &m_rcB : &m_rcD;
}

void CSkinComboBox::PaintFace(CDC& target)
{
    CRect rc;
    GetClientRect(&rc);
    CMemDC dc(&target, &rc);
    dc.FillSolidRect(&rc, ::GetSysColor(COLOR_WINDOW));
    BOOL focused = HasFocusInside();
    HBITMAP frame;
    const RECT *s, *b;
    FrameOf(focused, frame, s, b);
    if (frame)
        DrawSkinFrame(dc, &rc, frame, s, b);

    CRect button = ButtonRect();
    HBITMAP normal = (HBITMAP)m_part[PART_BUTTON].GetSafeHandle();
    if (normal && button.Width() > 0 && button.Height() > 0) {
        BITMAP bm = {};
        ::GetObject(normal, sizeof(bm), &bm);
        CSaveClip clip(dc);
        HRGN shape = BitmapToRegion(normal, 0xffffff, 0);
        if (shape && bm.bmWidth > 0 && bm.bmHeight > 0) {
            HRGN scaled = ScaleRegion(shape, (float)button.Width() / bm.bmWidth,
                                      (float)button.Height() / bm.bmHeight, button.left, button.top);
            if (scaled) {
                clip.IntersectLogical(scaled);
                ::DeleteObject(scaled);
            }
        }
        if (shape)
            ::DeleteObject(shape);
        int part = !IsWindowEnabled() ? PART_BUTTON_DISABLED
                   : !m_bOverButton   ? PART_BUTTON
                   : m_bButtonPressed ? PART_BUTTON_PRESSED
                                      : PART_BUTTON_HOVER;
        DrawBitmapStretched(dc, button, m_part[part]);
    }

    CRect box(rc.left + b->left, rc.top + b->top, button.left, rc.bottom - b->bottom);
    if (frame)
        DrawSkinFrame(dc, &box, frame, s, b);
    CRect inner(box.left + b->left, box.top + b->top, box.right - b->right, box.bottom - b->bottom);
    if (m_part[PART_SELECTION].GetSafeHandle() && inner.Width() > 0 && inner.Height() > 0)
        DrawBitmapStretched(dc, inner, m_part[PART_SELECTION]);

    int sel = GetCurSel();
    if (sel >= 0 && sel < m_texts.GetSize()) {
        CSkinTextScope scope(dc, rc.Height() - 9);
        dc.SetTextColor(focused || m_bOverText ? m_crHighlight : m_crText);
        CRect r(rc.left + 3, rc.top + 2, button.left - 1, button.bottom);
        dc.DrawText(m_texts[sel], &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    }
}

void CSkinComboBox::RepaintFace()
{
    // A hidden face is painted when it shows: the settings pages fill and
    // move their combo boxes before their window is ever shown.
    if (!m_hWnd || !IsWindowVisible())
        return;
    CClientDC dc(this);
    PaintFace(dc);
}

void CSkinComboBox::OnPaint()
{
    CPaintDC dc(this);
    PaintFace(dc);
}

LRESULT CSkinComboBox::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_ERASEBKGND: {
        CDC* pDC = CDC::FromHandle((HDC)wParam);
        PaintFace(*pDC);
        return 0;
    }
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
    case WM_WINDOWPOSCHANGED:
    case WM_CAPTURECHANGED: {
        LRESULT r = CComboBox::WindowProc(message, wParam, lParam);
        RepaintFace();
        return r;
    }
    }
    return CComboBox::WindowProc(message, wParam, lParam);
}

void CSkinComboBox::DrawItem(LPDRAWITEMSTRUCT lpDIS)
{
    CDC* pDC = CDC::FromHandle(lpDIS->hDC);
    CRect rc = lpDIS->rcItem;
    HBITMAP focusFrame = (HBITMAP)m_part[PART_FRAME_FOCUSED].GetSafeHandle();
    BOOL selected = (lpDIS->itemState & ODS_SELECTED) != 0;
    if (selected) {
        if (focusFrame)
            DrawSkinFrame(*pDC, &rc, focusFrame, &m_rcA, &m_rcB);
        CRect inner(rc.left + m_rcB.left, rc.top + m_rcB.top, rc.right - m_rcB.right, rc.bottom - m_rcB.bottom);
        if (m_part[PART_SELECTION].GetSafeHandle())
            DrawBitmapStretched(*pDC, inner, m_part[PART_SELECTION]);
    } else {
        pDC->FillSolidRect(&rc, pDC->GetBkColor());
    }
    if ((lpDIS->itemState & ODS_FOCUS) && focusFrame)
        DrawSkinFrame(*pDC, &rc, focusFrame, &m_rcA, &m_rcB);
    int item = (int)lpDIS->itemID;
    if (item < 0 || item >= m_texts.GetSize())
        return;
    COLORREF old = pDC->GetTextColor();
    {
        CSkinTextScope scope(*pDC, rc.Height() - 3);
        pDC->SetTextColor(selected ? m_crHighlight : m_crText);
        pDC->DrawText(m_texts[item], &rc, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    }
    pDC->SetTextColor(old);
}

void CSkinComboBox::MeasureItem(LPMEASUREITEMSTRUCT lpMIS)
{
    lpMIS->itemHeight = ITEM_HEIGHT;
}

void CSkinComboBox::OnMouseMove(UINT nFlags, CPoint point)
{
    if (!m_bOverButton && ButtonRect().PtInRect(point)) {
        m_bOverButton = TRUE;
        SetTimer(BUTTON_TIMER, 100);
        RepaintFace();
    }
    if (!m_bOverText && TextRect().PtInRect(point)) {
        m_bOverText = TRUE;
        SetTimer(TEXT_TIMER, 100);
        RepaintFace();
    }
    CComboBox::OnMouseMove(nFlags, point);
}

void CSkinComboBox::OnTimer(UINT_PTR nIDEvent)
{
    if (nIDEvent != BUTTON_TIMER && nIDEvent != TEXT_TIMER) {
        CComboBox::OnTimer(nIDEvent);
        return;
    }
    CPoint pt;
    ::GetCursorPos(&pt);
    ScreenToClient(&pt);
    BOOL& flag = nIDEvent == BUTTON_TIMER ? m_bOverButton : m_bOverText;
    CRect area = nIDEvent == BUTTON_TIMER ? ButtonRect() : TextRect();
    if (!area.PtInRect(pt)) {
        flag = FALSE;
        KillTimer(nIDEvent);
        RepaintFace();
    }
}

void CSkinComboBox::OnLButtonDown(UINT nFlags, CPoint point)
{
    BOOL button = ButtonRect().PtInRect(point), text = TextRect().PtInRect(point);
    BOOL changed = (button && !m_bButtonPressed) || (text && !m_bTextPressed);
    if (button)
        m_bButtonPressed = TRUE;
    if (text)
        m_bTextPressed = TRUE;
    if (changed)
        RepaintFace();
    CComboBox::OnLButtonDown(nFlags, point);
}

void CSkinComboBox::OnLButtonUp(UINT nFlags, CPoint point)
{
    m_bButtonPressed = m_bTextPressed = FALSE;
    RepaintFace();
    CComboBox::OnLButtonUp(nFlags, point);
}

UINT CSkinComboBox::OnGetDlgCode()
{
    UINT code = CComboBox::OnGetDlgCode();
    if (::GetKeyState(VK_RETURN) < 0)
        code |= DLGC_WANTALLKEYS;
    return code;
}
