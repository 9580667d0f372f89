// CWnd's wrappers that need the GDI, menu or application classes.
#include "Wnd.h"
#include "DataExchange.h"
#include "Dc.h"
#include "GdiObject.h"
#include "Menu.h"
#include "WinApp.h"
#include "Seams.h"
#include <shellapi.h>

CWnd* CWnd::GetTopLevelParent() const
{
    HWND hWnd = m_hWnd;
    while (hWnd && (::GetWindowLong(hWnd, GWL_STYLE) & WS_CHILD))
        hWnd = ::GetParent(hWnd);
    return FromHandle(hWnd);
}

int CWnd::GetDlgItemText(int nID, CString& rString) const
{
    HWND hWndItem = ::GetDlgItem(m_hWnd, nID);
    if (!hWndItem) {
        rString.Empty();
        return 0;
    }
    CWnd* pItem = FromHandle(hWndItem);
    pItem->GetWindowText(rString);
    return rString.GetLength();
}

void CWnd::GetWindowText(CString& rString) const
{
    int n = ::GetWindowTextLength(m_hWnd);
    LPTSTR buf = rString.GetBuffer(n + 1);
    int got = ::GetWindowText(m_hWnd, buf, n + 1);
    rString.ReleaseBuffer(got);
}

void CWnd::SetFont(CFont* pFont, BOOL bRedraw)
{
    ::SendMessage(m_hWnd, WM_SETFONT, (WPARAM)pFont->GetSafeHandle(), bRedraw);
}

CFont* CWnd::GetFont() const
{
    return CFont::FromHandle((HFONT)::SendMessage(m_hWnd, WM_GETFONT, 0, 0));
}

void CWnd::InvalidateRgn(CRgn* pRgn, BOOL bErase)
{
    ::InvalidateRgn(m_hWnd, pRgn ? (HRGN)pRgn->GetSafeHandle() : NULL, bErase);
}

BOOL CWnd::RedrawWindow(LPCRECT lpRectUpdate, CRgn* prgnUpdate, UINT flags)
{
    return ::RedrawWindow(m_hWnd, lpRectUpdate, prgnUpdate ? (HRGN)prgnUpdate->GetSafeHandle() : NULL, flags);
}

CDC* CWnd::GetDC()
{
    return CDC::FromHandle(::GetDC(m_hWnd));
}

CDC* CWnd::GetWindowDC()
{
    return CDC::FromHandle(::GetWindowDC(m_hWnd));
}

int CWnd::ReleaseDC(CDC* pDC)
{
    return pDC ? ::ReleaseDC(m_hWnd, pDC->m_hDC) : 0;
}

CMenu* CWnd::GetMenu() const
{
    return CMenu::FromHandle(::GetMenu(m_hWnd));
}

BOOL CWnd::SetMenu(CMenu* pMenu)
{
    return ::SetMenu(m_hWnd, pMenu ? pMenu->m_hMenu : NULL);
}

CMenu* CWnd::GetSystemMenu(BOOL bRevert) const
{
    return CMenu::FromHandle(::GetSystemMenu(m_hWnd, bRevert));
}

void CWnd::CenterWindow(CWnd* pAlternateOwner)
{
    HWND hWndCenter = SafeHwnd(pAlternateOwner);
    DWORD style = GetStyle();
    if (!hWndCenter)
        hWndCenter = (style & WS_CHILD) ? ::GetParent(m_hWnd) : ::GetWindow(m_hWnd, GW_OWNER);

    RECT rcArea, rcCenter, rcDlg;
    ::GetWindowRect(m_hWnd, &rcDlg);
    if (style & WS_CHILD) {
        HWND hWndParent = ::GetParent(m_hWnd);
        ::GetClientRect(hWndParent, &rcArea);
        if (hWndCenter && hWndCenter != hWndParent) {
            ::GetWindowRect(hWndCenter, &rcCenter);
            ::MapWindowPoints(NULL, hWndParent, (LPPOINT)&rcCenter, 2);
        } else {
            rcCenter = rcArea;
        }
        ::MapWindowPoints(NULL, hWndParent, (LPPOINT)&rcDlg, 2);
    } else {
        ::SystemParametersInfo(SPI_GETWORKAREA, 0, &rcArea, 0);
        if (hWndCenter && ::IsWindowVisible(hWndCenter) && !::IsIconic(hWndCenter))
            ::GetWindowRect(hWndCenter, &rcCenter);
        else
            rcCenter = rcArea;
    }
    int w = rcDlg.right - rcDlg.left, h = rcDlg.bottom - rcDlg.top;
    int x = (rcCenter.left + rcCenter.right) / 2 - w / 2;
    int y = (rcCenter.top + rcCenter.bottom) / 2 - h / 2;
    // Keep the window inside the area it may occupy.
    if (x + w > rcArea.right) x = rcArea.right - w;
    if (x < rcArea.left) x = rcArea.left;
    if (y + h > rcArea.bottom) y = rcArea.bottom - h;
    if (y < rcArea.top) y = rcArea.top;
    ::SetWindowPos(m_hWnd, NULL, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CWnd::SendMessageToDescendants(UINT message, WPARAM wParam, LPARAM lParam, BOOL bDeep, BOOL bOnlyPerm)
{
    for (HWND hChild = ::GetTopWindow(m_hWnd); hChild; hChild = ::GetNextWindow(hChild, GW_HWNDNEXT)) {
        if (bOnlyPerm) {
            CWnd* pWnd = FromHandlePermanent(hChild);
            if (pWnd)
                AfxCallWndProc(pWnd, hChild, message, wParam, lParam);
        } else {
            ::SendMessage(hChild, message, wParam, lParam);
        }
        if (bDeep && ::GetTopWindow(hChild)) {
            CWnd wnd;
            wnd.m_hWnd = hChild;
            wnd.SendMessageToDescendants(message, wParam, lParam, bDeep, bOnlyPerm);
            wnd.m_hWnd = NULL;
        }
    }
}

int CWnd::GetScrollLimit(int nBar) const
{
    SCROLLINFO si;
    if (!GetScrollInfo(nBar, &si, SIF_RANGE | SIF_PAGE))
        return 0;
    int limit = si.nMax - (si.nPage ? (int)si.nPage - 1 : 0);
    return limit < si.nMin ? si.nMin : limit;
}

static BOOL ModifyLong(HWND hWnd, int index, DWORD dwRemove, DWORD dwAdd, UINT nFlags)
{
    DWORD style = (DWORD)::GetWindowLong(hWnd, index);
    DWORD newStyle = (style & ~dwRemove) | dwAdd;
    if (style == newStyle)
        return FALSE;
    ::SetWindowLong(hWnd, index, (LONG)newStyle);
    if (nFlags)
        ::SetWindowPos(hWnd, NULL, 0, 0, 0, 0,
                       SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | nFlags);
    return TRUE;
}

BOOL CWnd::ModifyStyle(HWND hWnd, DWORD dwRemove, DWORD dwAdd, UINT nFlags)
{
    return ModifyLong(hWnd, GWL_STYLE, dwRemove, dwAdd, nFlags);
}

BOOL CWnd::ModifyStyleEx(HWND hWnd, DWORD dwRemove, DWORD dwAdd, UINT nFlags)
{
    return ModifyLong(hWnd, GWL_EXSTYLE, dwRemove, dwAdd, nFlags);
}

void CWnd::DragAcceptFiles(BOOL bAccept)
{
    ::DragAcceptFiles(m_hWnd, bAccept);
}

int CWnd::MessageBox(LPCTSTR lpszText, LPCTSTR lpszCaption, UINT nType)
{
    if (!lpszCaption) {
        CWinApp* pApp = AfxGetApp();
        lpszCaption = pApp && pApp->m_pszAppName ? pApp->m_pszAppName : "";
    }
    return FwMessageBox(m_hWnd, lpszText, lpszCaption, nType);
}

void CWnd::DoDataExchange(CDataExchange*)
{
}

BOOL CWnd::UpdateData(BOOL bSaveAndValidate)
{
    CDataExchange dx(this, bSaveAndValidate);
    DoDataExchange(&dx);
    return TRUE;
}
