// CWnd's message cracking, reflection of child notifications and the default
// handlers. Nothing here touches the object after a handler returns: a handler
// may have destroyed the window and deleted the object.
#include "Wnd.h"
#include "Dc.h"
#include "Menu.h"
#include "ScrollBar.h"
#include <windowsx.h>

namespace {

// Makes Default() see the message being cracked even when WindowProc was
// called directly rather than through the window procedure.
class CurrentMessageScope {
public:
    CurrentMessageScope(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
        : cur_(AfxGetCurrentMessage()), saved_(*cur_)
    {
        cur_->hwnd = hWnd;
        cur_->message = message;
        cur_->wParam = wParam;
        cur_->lParam = lParam;
    }
    ~CurrentMessageScope() { *cur_ = saved_; }
private:
    MSG* cur_;
    MSG saved_;
};

inline CPoint PointOf(LPARAM lParam)
{
    return CPoint(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
}

// The popup menu last initialised on this thread: owner-drawn items are
// measured right after, and WM_MEASUREITEM does not name the menu.
thread_local HMENU t_hMenuLastPopup = NULL;

// An item that opens a sub-menu is measured under the sub-menu's handle as
// its id (GetMenuItemID answers -1 for it).
BOOL MenuHasItem(HMENU hMenu, UINT id)
{
    int n = ::GetMenuItemCount(hMenu);
    for (int i = 0; i < n; i++) {
        HMENU hSub = ::GetSubMenu(hMenu, i);
        if (hSub ? (UINT)(UINT_PTR)hSub == id : ::GetMenuItemID(hMenu, i) == id)
            return TRUE;
    }
    return FALSE;
}

}  // namespace

BOOL CWnd::DispatchChildNotify(HWND hWndChild, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    if (!hWndChild || hWndChild == m_hWnd)
        return FALSE;
    CWnd* pChild = FromHandlePermanent(hWndChild);
    return pChild ? pChild->OnChildNotify(message, wParam, lParam, pResult) : FALSE;
}

BOOL CWnd::ReflectLastMsg(HWND hWndChild, LRESULT* pResult)
{
    CWnd* pChild = FromHandlePermanent(hWndChild);
    if (!pChild)
        return FALSE;
    const MSG* cur = AfxGetCurrentMessage();
    LRESULT dummy = 0;
    return pChild->OnChildNotify(cur->message, cur->wParam, cur->lParam, pResult ? pResult : &dummy);
}

BOOL CWnd::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    if (message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC) {
        HBRUSH hbr = CtlColor(CDC::FromHandle((HDC)wParam), message - WM_CTLCOLORMSGBOX);
        if (!hbr)
            return FALSE;
        *pResult = (LRESULT)hbr;
        return TRUE;
    }
    // Derived classes may take any reflected message as OCM__BASE + message.
    return OnWndMsg(WM_REFLECT_BASE + message, wParam, lParam, pResult);
}

HBRUSH CWnd::CtlColor(CDC*, UINT)
{
    return NULL;
}

BOOL CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    CurrentMessageScope scope(m_hWnd, message, wParam, lParam);
    LRESULT r = 0;
    switch (message) {
    case WM_NCCREATE:      r = OnNcCreate((LPCREATESTRUCT)lParam); break;
    case WM_CREATE:        r = OnCreate((LPCREATESTRUCT)lParam); break;
    case WM_DESTROY:       OnDestroy(); break;
    case WM_NCDESTROY:     OnNcDestroy(); break;
    case WM_CLOSE:         OnClose(); break;
    case WM_PAINT:         OnPaint(); break;
    case WM_ERASEBKGND:    r = OnEraseBkgnd(CDC::FromHandle((HDC)wParam)); break;
    case WM_TIMER:         OnTimer(wParam); break;
    case WM_LBUTTONDOWN:   OnLButtonDown((UINT)wParam, PointOf(lParam)); break;
    case WM_LBUTTONUP:     OnLButtonUp((UINT)wParam, PointOf(lParam)); break;
    case WM_LBUTTONDBLCLK: OnLButtonDblClk((UINT)wParam, PointOf(lParam)); break;
    case WM_RBUTTONDOWN:   OnRButtonDown((UINT)wParam, PointOf(lParam)); break;
    case WM_RBUTTONUP:     OnRButtonUp((UINT)wParam, PointOf(lParam)); break;
    case WM_RBUTTONDBLCLK: OnRButtonDblClk((UINT)wParam, PointOf(lParam)); break;
    case WM_MBUTTONDOWN:   OnMButtonDown((UINT)wParam, PointOf(lParam)); break;
    case WM_MBUTTONUP:     OnMButtonUp((UINT)wParam, PointOf(lParam)); break;
    case WM_MOUSEMOVE:     OnMouseMove((UINT)wParam, PointOf(lParam)); break;
    case WM_MOUSEWHEEL:
        r = OnMouseWheel(GET_KEYSTATE_WPARAM(wParam), GET_WHEEL_DELTA_WPARAM(wParam), PointOf(lParam));
        break;
    case WM_MOUSEACTIVATE:
        r = OnMouseActivate(FromHandle((HWND)wParam), LOWORD(lParam), HIWORD(lParam));
        break;
    case WM_SETCURSOR:
        r = OnSetCursor(FromHandle((HWND)wParam), LOWORD(lParam), HIWORD(lParam));
        break;
    case WM_KEYDOWN:    OnKeyDown((UINT)wParam, LOWORD(lParam), HIWORD(lParam)); break;
    case WM_KEYUP:      OnKeyUp((UINT)wParam, LOWORD(lParam), HIWORD(lParam)); break;
    case WM_CHAR:       OnChar((UINT)wParam, LOWORD(lParam), HIWORD(lParam)); break;
    case WM_SYSKEYDOWN: OnSysKeyDown((UINT)wParam, LOWORD(lParam), HIWORD(lParam)); break;
    case WM_SYSKEYUP:   OnSysKeyUp((UINT)wParam, LOWORD(lParam), HIWORD(lParam)); break;
    case WM_GETDLGCODE: r = OnGetDlgCode(); break;
    case WM_SETFOCUS:   OnSetFocus(FromHandle((HWND)wParam)); break;
    case WM_KILLFOCUS:  OnKillFocus(FromHandle((HWND)wParam)); break;
    case WM_CAPTURECHANGED: OnCaptureChanged(FromHandle((HWND)lParam)); break;
    case WM_CANCELMODE: OnCancelMode(); break;
    case WM_SIZE:       OnSize((UINT)wParam, (short)LOWORD(lParam), (short)HIWORD(lParam)); break;
    case WM_MOVE:       OnMove((short)LOWORD(lParam), (short)HIWORD(lParam)); break;
    case WM_SHOWWINDOW: OnShowWindow((BOOL)wParam, (UINT)lParam); break;
    case WM_ACTIVATE:
        OnActivate(LOWORD(wParam), FromHandle((HWND)lParam), HIWORD(wParam));
        break;
    case WM_ACTIVATEAPP: OnActivateApp((BOOL)wParam, (DWORD)lParam); break;
    case WM_ENABLE:      OnEnable((BOOL)wParam); break;
    case WM_NCHITTEST:   r = OnNcHitTest(PointOf(lParam)); break;
    case WM_NCPAINT:     OnNcPaint(); break;
    case WM_NCACTIVATE:  r = OnNcActivate((BOOL)wParam); break;
    case WM_NCCALCSIZE:  OnNcCalcSize((BOOL)wParam, (NCCALCSIZE_PARAMS*)lParam); break;
    case WM_NCLBUTTONDOWN:   OnNcLButtonDown((UINT)wParam, PointOf(lParam)); break;
    case WM_NCLBUTTONUP:     OnNcLButtonUp((UINT)wParam, PointOf(lParam)); break;
    case WM_NCLBUTTONDBLCLK: OnNcLButtonDblClk((UINT)wParam, PointOf(lParam)); break;
    case WM_NCRBUTTONDOWN:   OnNcRButtonDown((UINT)wParam, PointOf(lParam)); break;
    case WM_NCRBUTTONUP:     OnNcRButtonUp((UINT)wParam, PointOf(lParam)); break;
    case WM_NCMOUSEMOVE:     OnNcMouseMove((UINT)wParam, PointOf(lParam)); break;
    case WM_CONTEXTMENU: OnContextMenu(FromHandle((HWND)wParam), PointOf(lParam)); break;
    case WM_SYSCOMMAND:  OnSysCommand((UINT)wParam, lParam); break;
    case WM_GETMINMAXINFO: OnGetMinMaxInfo((MINMAXINFO*)lParam); break;
    case WM_WINDOWPOSCHANGING: OnWindowPosChanging((WINDOWPOS*)lParam); break;
    case WM_WINDOWPOSCHANGED:  OnWindowPosChanged((WINDOWPOS*)lParam); break;
    case WM_MENUSELECT:  OnMenuSelect(LOWORD(wParam), HIWORD(wParam), (HMENU)lParam); break;
    case WM_INITMENU:    OnInitMenu(CMenu::FromHandle((HMENU)wParam)); break;
    case WM_INITMENUPOPUP:
        t_hMenuLastPopup = (HMENU)wParam;
        OnInitMenuPopup(CMenu::FromHandle((HMENU)wParam), LOWORD(lParam), HIWORD(lParam));
        break;
    case WM_DROPFILES:     OnDropFiles((HDROP)wParam); break;
    case WM_QUERYDRAGICON: r = (LRESULT)OnQueryDragIcon(); break;

    case WM_COMMAND:
        if (lParam && DispatchChildNotify((HWND)lParam, message, wParam, lParam, pResult))
            return TRUE;
        if (!OnCommand(wParam, lParam))
            return FALSE;
        break;
    case WM_NOTIFY: {
        NMHDR* nmh = (NMHDR*)lParam;
        if (nmh && DispatchChildNotify(nmh->hwndFrom, message, wParam, lParam, pResult))
            return TRUE;
        if (!OnNotify(wParam, lParam, &r))
            return FALSE;
        break;
    }
    case WM_CTLCOLORMSGBOX: case WM_CTLCOLOREDIT: case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN: case WM_CTLCOLORDLG: case WM_CTLCOLORSCROLLBAR: case WM_CTLCOLORSTATIC:
        if (DispatchChildNotify((HWND)lParam, message, wParam, lParam, pResult))
            return TRUE;
        r = (LRESULT)OnCtlColor(CDC::FromHandle((HDC)wParam), FromHandle((HWND)lParam),
                                message - WM_CTLCOLORMSGBOX);
        break;
    case WM_DRAWITEM: {
        LPDRAWITEMSTRUCT dis = (LPDRAWITEMSTRUCT)lParam;
        if (dis->CtlType == ODT_MENU) {
            CMenu* pMenu = CMenu::FromHandlePermanent((HMENU)dis->hwndItem);
            if (pMenu) {
                pMenu->DrawItem(dis);
                *pResult = TRUE;
                return TRUE;
            }
        } else if (DispatchChildNotify(dis->hwndItem, message, wParam, lParam, pResult)) {
            return TRUE;
        }
        OnDrawItem((int)wParam, dis);
        r = TRUE;
        break;
    }
    case WM_MEASUREITEM: {
        LPMEASUREITEMSTRUCT mis = (LPMEASUREITEMSTRUCT)lParam;
        if (mis->CtlType == ODT_MENU) {
            CMenu* pMenu = NULL;
            if (t_hMenuLastPopup && MenuHasItem(t_hMenuLastPopup, mis->itemID))
                pMenu = CMenu::FromHandlePermanent(t_hMenuLastPopup);
            if (pMenu) {
                pMenu->MeasureItem(mis);
                *pResult = TRUE;
                return TRUE;
            }
        } else if (DispatchChildNotify(::GetDlgItem(m_hWnd, mis->CtlID), message, wParam, lParam, pResult)) {
            return TRUE;
        }
        OnMeasureItem((int)wParam, mis);
        r = TRUE;
        break;
    }
    case WM_COMPAREITEM:
        return DispatchChildNotify(((LPCOMPAREITEMSTRUCT)lParam)->hwndItem, message, wParam, lParam, pResult);
    case WM_DELETEITEM:
        return DispatchChildNotify(((LPDELETEITEMSTRUCT)lParam)->hwndItem, message, wParam, lParam, pResult);
    case WM_HSCROLL:
    case WM_VSCROLL:
        if (lParam && DispatchChildNotify((HWND)lParam, message, wParam, lParam, pResult))
            return TRUE;
        if (message == WM_HSCROLL)
            OnHScroll(LOWORD(wParam), HIWORD(wParam), (CScrollBar*)FromHandle((HWND)lParam));
        else
            OnVScroll(LOWORD(wParam), HIWORD(wParam), (CScrollBar*)FromHandle((HWND)lParam));
        break;
    default:
        return FALSE;
    }
    *pResult = r;
    return TRUE;
}

BOOL CWnd::OnCommand(WPARAM wParam, LPARAM lParam)
{
    UINT nID = LOWORD(wParam);
    int nCode = HIWORD(wParam);
    if (lParam == 0)
        nCode = CN_COMMAND;     // menu item or accelerator
    return OnCmdMsg(nID, nCode, NULL, NULL);
}

BOOL CWnd::OnNotify(WPARAM, LPARAM, LRESULT*)
{
    return FALSE;
}

BOOL CWnd::OnNcCreate(LPCREATESTRUCT) { return (BOOL)Default(); }
int CWnd::OnCreate(LPCREATESTRUCT) { return (int)Default(); }
void CWnd::OnDestroy() { Default(); }
void CWnd::OnNcDestroy() { Default(); }
void CWnd::PostNcDestroy() {}
void CWnd::OnClose() { Default(); }
void CWnd::OnPaint() { Default(); }
BOOL CWnd::OnEraseBkgnd(CDC*) { return (BOOL)Default(); }
void CWnd::OnTimer(UINT_PTR) { Default(); }
void CWnd::OnLButtonDown(UINT, CPoint) { Default(); }
void CWnd::OnLButtonUp(UINT, CPoint) { Default(); }
void CWnd::OnLButtonDblClk(UINT, CPoint) { Default(); }
void CWnd::OnRButtonDown(UINT, CPoint) { Default(); }
void CWnd::OnRButtonUp(UINT, CPoint) { Default(); }
void CWnd::OnRButtonDblClk(UINT, CPoint) { Default(); }
void CWnd::OnMButtonDown(UINT, CPoint) { Default(); }
void CWnd::OnMButtonUp(UINT, CPoint) { Default(); }
void CWnd::OnMouseMove(UINT, CPoint) { Default(); }
BOOL CWnd::OnMouseWheel(UINT, short, CPoint) { return (BOOL)Default(); }
int CWnd::OnMouseActivate(CWnd*, UINT, UINT) { return (int)Default(); }
BOOL CWnd::OnSetCursor(CWnd*, UINT, UINT) { return (BOOL)Default(); }
void CWnd::OnKeyDown(UINT, UINT, UINT) { Default(); }
void CWnd::OnKeyUp(UINT, UINT, UINT) { Default(); }
void CWnd::OnChar(UINT, UINT, UINT) { Default(); }
void CWnd::OnSysKeyDown(UINT, UINT, UINT) { Default(); }
void CWnd::OnSysKeyUp(UINT, UINT, UINT) { Default(); }
UINT CWnd::OnGetDlgCode() { return (UINT)Default(); }
void CWnd::OnSetFocus(CWnd*) { Default(); }
void CWnd::OnKillFocus(CWnd*) { Default(); }
void CWnd::OnCaptureChanged(CWnd*) { Default(); }
void CWnd::OnCancelMode() { Default(); }
void CWnd::OnSize(UINT, int, int) { Default(); }
void CWnd::OnMove(int, int) { Default(); }
void CWnd::OnShowWindow(BOOL, UINT) { Default(); }
void CWnd::OnActivate(UINT, CWnd*, BOOL) { Default(); }
void CWnd::OnActivateApp(BOOL, DWORD) { Default(); }
void CWnd::OnEnable(BOOL) { Default(); }
UINT CWnd::OnNcHitTest(CPoint) { return (UINT)Default(); }
void CWnd::OnNcPaint() { Default(); }
BOOL CWnd::OnNcActivate(BOOL) { return (BOOL)Default(); }
void CWnd::OnNcCalcSize(BOOL, NCCALCSIZE_PARAMS*) { Default(); }
void CWnd::OnNcLButtonDown(UINT, CPoint) { Default(); }
void CWnd::OnNcLButtonUp(UINT, CPoint) { Default(); }
void CWnd::OnNcLButtonDblClk(UINT, CPoint) { Default(); }
void CWnd::OnNcRButtonDown(UINT, CPoint) { Default(); }
void CWnd::OnNcRButtonUp(UINT, CPoint) { Default(); }
void CWnd::OnNcMouseMove(UINT, CPoint) { Default(); }
HBRUSH CWnd::OnCtlColor(CDC*, CWnd*, UINT) { return (HBRUSH)Default(); }
void CWnd::OnDrawItem(int, LPDRAWITEMSTRUCT) { Default(); }
void CWnd::OnMeasureItem(int, LPMEASUREITEMSTRUCT) { Default(); }
void CWnd::OnHScroll(UINT, UINT, CScrollBar*) { Default(); }
void CWnd::OnVScroll(UINT, UINT, CScrollBar*) { Default(); }
void CWnd::OnContextMenu(CWnd*, CPoint) { Default(); }
void CWnd::OnSysCommand(UINT, LPARAM) { Default(); }
void CWnd::OnGetMinMaxInfo(MINMAXINFO*) { Default(); }
void CWnd::OnWindowPosChanging(WINDOWPOS*) { Default(); }
void CWnd::OnWindowPosChanged(WINDOWPOS*) { Default(); }
void CWnd::OnMenuSelect(UINT, UINT, HMENU) { Default(); }
void CWnd::OnInitMenu(CMenu*) { Default(); }
void CWnd::OnInitMenuPopup(CMenu*, UINT, BOOL) { Default(); }
void CWnd::OnDropFiles(HDROP) { Default(); }
HCURSOR CWnd::OnQueryDragIcon() { return (HCURSOR)Default(); }
