#include "CellEdit.h"
#include "SkinDraw.h"
#include "SkinMessages.h"
#include "WinApp.h"
#include "ScheduleMessages.h"

#define WM_CELLEDIT_RESETCHECK (WM_USER + 905)

namespace {

const COLORREF kBackColour = 0xced7d6;

BOOL IsDigit(char c) { return c >= '0' && c <= '9'; }

// The parent's font, else the editor's own.
HFONT TextFont(CWnd* pEdit)
{
    CWnd* parent = pEdit->GetParent();
    HFONT f = parent ? (HFONT)parent->SendMessage(WM_GETFONT) : NULL;
    return f ? f : (HFONT)pEdit->SendMessage(WM_GETFONT);
}

// The video window's class: the program's one window of it.
const char kVideoWindowClass[] = "Orvix Plus";

// This process's top-level window of that class, or NULL.
HWND OwnWindowOfClass(LPCSTR pszClass)
{
    for (HWND h = FindWindowExA(NULL, NULL, pszClass, NULL); h;
         h = FindWindowExA(NULL, h, pszClass, NULL)) {
        DWORD pid = 0;
        GetWindowThreadProcessId(h, &pid);
        if (pid == GetCurrentProcessId())
            return h;
    }
    return NULL;
}

// Holds the program's main, video and schedule windows (those that exist
// and are enabled) off while a message box is up, so that nothing behind the
// box acts on the half-typed frequency.
class CProgramWindowsHold {
public:
    CProgramWindowsHold()
    {
        Hold(GetScheduleMainWindow());
        Hold(OwnWindowOfClass(kVideoWindowClass));
        Hold(GetScheduleWindow());
    }
    ~CProgramWindowsHold()
    {
        for (int i = m_nHeld - 1; i >= 0; --i)
            ::EnableWindow(m_hHeld[i], TRUE);
    }

private:
    void Hold(HWND hWnd)
    {
        if (!hWnd || !::IsWindow(hWnd) || !::IsWindowEnabled(hWnd) || m_nHeld == 3)
            return;
        for (int i = 0; i < m_nHeld; ++i)
            if (m_hHeld[i] == hWnd)
                return;
        ::EnableWindow(hWnd, FALSE);
        m_hHeld[m_nHeld++] = hWnd;
    }
    HWND m_hHeld[3] = {};
    int m_nHeld = 0;
};

}  // namespace

BOOL IsValidFrequencyText(LPCTSTR lpszText)
{
    if (!lpszText || !*lpszText || *lpszText == '.')
        return FALSE;
    int points = 0;
    for (LPCTSTR p = lpszText; *p; ++p) {
        if (*p == '.')
            ++points;
        else if (!IsDigit(*p))
            return FALSE;
    }
    return points <= 1;
}

CString CleanFrequencyText(LPCTSTR lpszText)
{
    CString out;
    BOOL point = FALSE;
    for (LPCTSTR p = lpszText; p && *p; ++p) {
        if (IsDigit(*p))
            out += *p;
        else if (*p == '.' && p != lpszText && !point) {
            out += '.';
            point = TRUE;
        }
    }
    return out;
}

CCellEdit::CCellEdit()
    : m_bFirstLook(FALSE), m_crText(0), m_crFocusText(0xff0000), m_bNumeric(FALSE), m_strReset("0.00")
{
    m_brush.CreateSolidBrush(kBackColour);
    for (Look& l : m_look) {
        l.src.SetRectEmpty();
        l.border.SetRectEmpty();
    }
}

CCellEdit::~CCellEdit()
{
}

void CCellEdit::SetBitmaps(HBITMAP hFrame1, const RECT& rcFrame1, HBITMAP hFrame2, const RECT& rcFrame2,
                           HBITMAP hBack, const RECT& rcBack)
{
    CutPart(m_look[1].frame, hFrame1, rcFrame1);
    if (hFrame2)
        CutPart(m_look[1].frame, hFrame2, rcFrame2);
    CutPart(m_background, hBack, rcBack);
}

void CCellEdit::SetFrameRect(BOOL bSecondLook, const RECT& rc)
{
    m_look[bSecondLook ? 1 : 0].src = rc;
}

void CCellEdit::SetBorderRect(BOOL bSecondLook, const RECT& rc)
{
    m_look[bSecondLook ? 1 : 0].border = rc;
}

void CCellEdit::ResetInvalidNumber()
{
    if (!m_bNumeric || !m_hWnd)
        return;
    CString text;
    GetWindowText(text);
    if (!IsValidFrequencyText(text))
        SetWindowText(m_strReset);
}

BOOL CCellEdit::PreTranslateMessage(MSG* pMsg)
{
    if (pMsg->message != WM_KEYDOWN || pMsg->hwnd != m_hWnd)
        return CEdit::PreTranslateMessage(pMsg);
    UINT key = (UINT)pMsg->wParam;
    BOOL ctrl = ::GetKeyState(VK_CONTROL) < 0;
    if (key != VK_RETURN && key != VK_DELETE && key != VK_ESCAPE && !ctrl)
        return CEdit::PreTranslateMessage(pMsg);
    // Straight to the box, so that the dialog around it does not act on them.
    ::TranslateMessage(pMsg);
    ::DispatchMessage(pMsg);
    if (key == VK_RETURN && m_hWnd) {
        ResetInvalidNumber();
        CWnd* parent = GetParent();
        if (parent)
            parent->SendMessage(WM_CELLEDIT_COMMIT, 0, (LPARAM)m_hWnd);
    }
    return TRUE;
}

BOOL CCellEdit::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    if (message == WM_COMMAND && HIWORD(wParam) == EN_CHANGE) {
        OnTextChanged();
        *pResult = 0;
        return TRUE;
    }
    return CEdit::OnChildNotify(message, wParam, lParam, pResult);
}

HBRUSH CCellEdit::CtlColor(CDC* pDC, UINT)
{
    pDC->SetBkMode(TRANSPARENT);
    pDC->SetBkColor(kBackColour);
    return (HBRUSH)m_brush;
}

void CCellEdit::OnTextChanged()
{
    CString text;
    GetWindowText(text);
    if (m_bNumeric && !text.IsEmpty() && !IsValidFrequencyText(text)) {
        {
            CProgramWindowsHold hold;
            MessageBox("输入字符错误!", "错误", MB_OK);
        }
        CString clean = CleanFrequencyText(text);
        SetWindowText(clean);
        int caret = clean.GetLength() > 0 ? clean.GetLength() - 1 : 0;
        SetSel(caret, caret);
    }
    SetFocus();
    Draw();
}

void CCellEdit::OnTypedChar(UINT nChar, WPARAM wParam, LPARAM lParam)
{
    if (nChar == VK_RETURN) {
        CWnd* parent = GetParent();
        if (parent)
            parent->SetFocus();
        return;
    }
    CEdit::WindowProc(WM_CHAR, wParam, lParam);
    if (!m_hWnd)
        return;
    CString text;
    GetWindowText(text);
    int want = TextWidthIn(m_hWnd, TextFont(this), text) + 5;
    CRect rc;
    GetWindowRect(&rc);
    CWnd* parent = GetParent();
    if (parent && want > rc.Width()) {
        parent->ScreenToClient(&rc);
        CRect pc;
        parent->GetClientRect(&pc);
        int right = rc.left + want < pc.right ? rc.left + want : pc.right;
        if (right > rc.right)
            SetWindowPos(NULL, 0, 0, right - rc.left, rc.Height(), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    Draw();
}

void CCellEdit::Draw()
{
    if (!m_hWnd || !IsWindowVisible())
        return;
    CRect rc;
    GetClientRect(&rc);
    HDC dc = ::GetDC(m_hWnd);
    const Look& look = ActiveLook();
    if (look.frame.m_hObject)
        DrawSkinFrame(dc, &rc, (HBITMAP)look.frame.m_hObject, &look.src, &look.border);
    CRect inner(rc.left + look.border.left, rc.top + look.border.top, rc.right - look.border.right,
                rc.bottom - look.border.bottom);
    if (m_background.m_hObject) {
        StretchBitmapPart(dc, inner, (HBITMAP)m_background.m_hObject, NULL);
    } else {
        ::FillRect(dc, &inner, (HBRUSH)m_brush);
    }
    CString text;
    GetWindowText(text);
    CRect fmt;
    SendMessage(EM_GETRECT, 0, (LPARAM)&fmt);
    HWND focus = ::GetFocus();
    BOOL focused = focus && (focus == m_hWnd || ::IsChild(m_hWnd, focus));
    HGDIOBJ oldFont = ::SelectObject(dc, TextFont(this) ? (HGDIOBJ)TextFont(this) : ::GetStockObject(DEFAULT_GUI_FONT));
    int oldMode = ::SetBkMode(dc, TRANSPARENT);
    COLORREF oldColour = ::SetTextColor(dc, focused ? m_crFocusText : m_crText);
    ::DrawText(dc, text, text.GetLength(), &fmt, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    ::SetTextColor(dc, oldColour);
    ::SetBkMode(dc, oldMode);
    ::SelectObject(dc, oldFont);
    ::ReleaseDC(m_hWnd, dc);
}

LRESULT CCellEdit::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE: {
        LRESULT r = CEdit::WindowProc(message, wParam, lParam);
        if (r != -1) {
            HFONT f = TextFont(this);
            if (f)
                CEdit::WindowProc(WM_SETFONT, (WPARAM)f, TRUE);
        }
        return r;
    }
    case WM_PAINT: {
        LRESULT r = CEdit::WindowProc(message, wParam, lParam);
        Draw();
        return r;
    }
    case WM_NCPAINT: {
        LRESULT r = CEdit::WindowProc(message, wParam, lParam);
        const Look& look = ActiveLook();
        if (look.frame.m_hObject) {
            CRect rc;
            GetWindowRect(&rc);
            rc.OffsetRect(-rc.left, -rc.top);
            HDC dc = ::GetWindowDC(m_hWnd);
            DrawSkinFrame(dc, &rc, (HBITMAP)look.frame.m_hObject, &look.src, &look.border);
            ::ReleaseDC(m_hWnd, dc);
        }
        return r;
    }
    case WM_CHAR:
        OnTypedChar((UINT)wParam, wParam, lParam);
        return 0;
    case WM_SHOWWINDOW: {
        LRESULT r = CEdit::WindowProc(message, wParam, lParam);
        if (wParam)
            SetFocus();
        return r;
    }
    case WM_MOUSEMOVE: {
        LRESULT r = CEdit::WindowProc(message, wParam, lParam);
        CPoint pt((short)LOWORD(lParam), (short)HIWORD(lParam));
        ClientToScreen(&pt);
        CRect rc;
        GetWindowRect(&rc);
        if (rc.PtInRect(pt)) {
            if (::GetCapture() != m_hWnd && !(wParam & MK_LBUTTON))
                SetCapture();
        } else if (::GetCapture() == m_hWnd) {
            ::ReleaseCapture();
        }
        Draw();
        return r;
    }
    case WM_LBUTTONDOWN:
    case WM_WINDOWPOSCHANGED: {
        LRESULT r = CEdit::WindowProc(message, wParam, lParam);
        Draw();
        return r;
    }
    case WM_CELLEDIT_RESETCHECK:
        ResetInvalidNumber();
        return 0;
    }
    return CEdit::WindowProc(message, wParam, lParam);
}
