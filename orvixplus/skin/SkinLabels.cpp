#include "SkinLabels.h"

static const char kEllipsis[] = "...";

static int TextWidth(HDC hDC, const CString& s)
{
    SIZE sz = { 0, 0 };
    if (!s.IsEmpty())
        ::GetTextExtentPoint32A(hDC, s, s.GetLength(), &sz);
    return sz.cx;
}

// The text without its last character: a double-byte character goes whole.
static CString DropLastChar(const CString& s)
{
    int last = 0;
    for (int i = 0; i < s.GetLength();) {
        last = i;
        i += (::IsDBCSLeadByte((BYTE)s[i]) && i + 1 < s.GetLength()) ? 2 : 1;
    }
    return s.Left(last);
}

static int CharCount(const CString& s)
{
    int n = 0;
    for (int i = 0; i < s.GetLength(); ++n)
        i += (::IsDBCSLeadByte((BYTE)s[i]) && i + 1 < s.GetLength()) ? 2 : 1;
    return n;
}

CString FitText(HDC hDC, const CString& text, const CString& suffix, int width, int margin)
{
    if (text.IsEmpty() && suffix.IsEmpty())
        return CString();
    int suffixWidth = TextWidth(hDC, suffix);
    if (TextWidth(hDC, text) + suffixWidth + margin < width + 1)
        return text + suffix;
    int dots = TextWidth(hDC, kEllipsis);
    CString cut = text;
    while (dots + TextWidth(hDC, cut) + suffixWidth + margin >= width && CharCount(cut) > 1)
        cut = DropLastChar(cut);
    return cut + kEllipsis + suffix;
}

CString FitTextEllipsis(HDC hDC, const CString& text, int width, int margin)
{
    if (text.IsEmpty() || TextWidth(hDC, text) + margin < width + 1)
        return text;
    int dots = TextWidth(hDC, kEllipsis);
    CString cut = text;
    while (TextWidth(hDC, cut) + dots + margin >= width && CharCount(cut) > 1)
        cut = DropLastChar(cut);
    return cut + kEllipsis;
}

static CString TwoDigits(DWORD n)
{
    CString s;
    s.Format(n < 10 ? "0%d" : "%d", (int)n);
    return s;
}

CString FormatElapsed(DWORD seconds)
{
    DWORD h = seconds / 3600, m = (seconds % 3600 - seconds % 60) / 60, s = seconds % 60;
    CString text;
    text.Format("%s:%s:%s", (LPCTSTR)TwoDigits(h), (LPCTSTR)TwoDigits(m), (LPCTSTR)TwoDigits(s));
    return text;
}

// --- CShapeTimer ---------------------------------------------------------------

CShapeTimer::CShapeTimer()
    : m_bHideText(TRUE), m_nId(0), m_bClock(FALSE), m_bElapsed(FALSE), m_dwElapsed(0)
{
}

CShapeTimer::~CShapeTimer()
{
}

void CShapeTimer::SetBitmaps(HBITMAP hBackground, const RECT& rBackground, HBITMAP hSecond, const RECT& rSecond)
{
    CutPart(m_bmpBack, hBackground, rBackground);
    CutPart(m_bmpSecond, hSecond, rSecond);
}

void CShapeTimer::SetText(LPCTSTR lpszText, LPCTSTR lpszSuffix)
{
    CRect rc(0, 0, 0, 0);
    if (m_hWnd)
        GetClientRect(&rc);
    HDC hDC = ::GetDC(m_hWnd);
    HGDIOBJ oldFont = NULL;
    CFont* pFont = m_hWnd ? GetFont() : NULL;
    if (pFont && pFont->GetSafeHandle())
        oldFont = ::SelectObject(hDC, pFont->GetSafeHandle());
    m_strText = FitText(hDC, lpszText ? lpszText : "", lpszSuffix ? lpszSuffix : "", rc.Width(), 0);
    if (oldFont)
        ::SelectObject(hDC, oldFont);
    ::ReleaseDC(m_hWnd, hDC);
    if (m_hWnd)
        Invalidate(FALSE);
}

void CShapeTimer::StartClock()
{
    if (m_bClock)
        return;
    SetTimer(CLOCK_TIMER, 1000);
    m_bClock = TRUE;
}

void CShapeTimer::StopClock()
{
    if (!m_bClock)
        return;
    KillTimer(CLOCK_TIMER);
    m_bClock = FALSE;
}

void CShapeTimer::StartElapsed()
{
    if (m_bElapsed)
        return;
    SetTimer(ELAPSED_TIMER, 1000);
    m_bElapsed = TRUE;
    m_dwElapsed = 0;
    SetText("00:00:00", "");
}

void CShapeTimer::StopElapsed()
{
    if (!m_bElapsed)
        return;
    KillTimer(ELAPSED_TIMER);
    m_bElapsed = FALSE;
    m_dwElapsed = 0;
    Invalidate(FALSE);
}

void CShapeTimer::OnTimer(UINT_PTR nIDEvent)
{
    if (nIDEvent == CLOCK_TIMER) {
        m_strText = CTime::GetCurrentTime().Format("%H:%M:%S");
        Invalidate(FALSE);
    } else if (nIDEvent == ELAPSED_TIMER) {
        ++m_dwElapsed;
        m_strText = FormatElapsed(m_dwElapsed);
        Invalidate(FALSE);
    } else {
        CStatic::OnTimer(nIDEvent);
    }
}

void CShapeTimer::OnDestroy()
{
    KillTimer(CLOCK_TIMER);
    KillTimer(ELAPSED_TIMER);
    m_bClock = m_bElapsed = FALSE;
    CStatic::OnDestroy();
}

void CShapeTimer::OnPaint()
{
    CPaintDC dc(this);
    CRect rc;
    GetClientRect(&rc);
    DrawBitmapStretched(dc, rc, m_bmpBack);
    if (m_bHideText)
        return;
    CFont* pFont = GetFont();
    HGDIOBJ oldFont = pFont && pFont->GetSafeHandle() ? ::SelectObject(dc, pFont->GetSafeHandle()) : NULL;
    dc.SetBkMode(TRANSPARENT);
    dc.DrawText(m_strText, &rc, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    if (oldFont)
        ::SelectObject(dc, oldFont);
}

// --- framed labels ----------------------------------------------------------

void CFramedLabel::SetText(LPCTSTR lpszText)
{
    m_strText = lpszText ? lpszText : "";
    if (m_hWnd)
        Invalidate(FALSE);
}

// A window subclassed after the fact (a dialog's control) has its text now.
void CFramedLabel::PreSubclassWindow()
{
    CStatic::PreSubclassWindow();
    GetWindowText(m_strText);
}

// One made with Create is bound before the system gives it its text; by
// WM_CREATE the text is there.
int CFramedLabel::OnCreate(LPCREATESTRUCT lpCreateStruct)
{
    int result = CStatic::OnCreate(lpCreateStruct);
    GetWindowText(m_strText);
    return result;
}

CRect CFramedLabel::Inside(const CRect& rc) const
{
    return CRect(rc.left + m_rcBorders.left, rc.top + m_rcBorders.top, rc.right - m_rcBorders.right,
                 rc.bottom - m_rcBorders.bottom);
}

void CEllipsisLabel::SetBitmaps(HBITMAP hFill, const RECT& rFill, HBITMAP hFrame, const RECT& rFrame)
{
    if (!hFill || !hFrame)
        return;
    CutPart(m_bmpFill, hFill, rFill);
    CutPart(m_bmpFrame, hFrame, rFrame);
}

void CEllipsisLabel::OnPaint()
{
    CPaintDC dc(this);
    if (!m_bmpFill.GetSafeHandle() || !m_bmpFrame.GetSafeHandle())
        return;
    CRect rc;
    GetClientRect(&rc);
    DrawSkinFrame(dc, &rc, m_bmpFrame, &m_rcSource, &m_rcBorders);
    DrawBitmapStretched(dc, Inside(rc), m_bmpFill);
    CSkinTextScope scope(dc, rc.Height() - 4);
    CString shown = FitTextEllipsis(dc, m_strText, rc.Width(), 1);
    dc.DrawText(shown, &rc, DT_LEFT | DT_TOP | DT_SINGLELINE);
}

void CSkinLabel::SetBitmap(HBITMAP hSource, const RECT& rect)
{
    if (hSource)
        CutPart(m_bmp, hSource, rect);
}

void CSkinLabel::OnPaint()
{
    CPaintDC dc(this);
    if (!m_bmp.GetSafeHandle())
        return;
    CRect rc;
    GetClientRect(&rc);
    DrawSkinFrame(dc, &rc, m_bmp, &m_rcSource, &m_rcBorders);
    CRect centre(m_rcSource.left + m_rcBorders.left, m_rcSource.top + m_rcBorders.top,
                 m_rcSource.right - m_rcBorders.right, m_rcSource.bottom - m_rcBorders.bottom);
    HBITMAP hCut = NULL;
    CropBitmap(dc, &hCut, m_bmp, centre.left, centre.top, centre.right, centre.bottom);
    if (hCut) {
        DrawBitmapStretched(dc, Inside(rc), hCut);
        ::DeleteObject(hCut);
    }
    CSkinTextScope scope(dc, rc.Height() - 7);
    dc.DrawText(m_strText, &rc, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
}
