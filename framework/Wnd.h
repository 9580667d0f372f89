// CWnd: a C++ object bound to a window handle.
//
// Windows created through CreateEx (and dialogs) are attached to their object
// by a creation hook before the first message, so the object sees WM_NCCREATE,
// WM_CREATE and everything sent during creation. Messages reach the virtual
// WindowProc, which cracks them in OnWndMsg into the typed On... handlers; a
// handler's base version passes the message on with Default(). A derived class
// handles any other message by overriding WindowProc or OnWndMsg (returning
// TRUE when it handled the message). Notifications from child controls are
// offered to the child object first (OnChildNotify), then to the parent.
//
// The object is unmapped when its window gets WM_NCDESTROY; PostNcDestroy runs
// afterwards, and self-deleting classes delete themselves there.
#pragma once
#include <windows.h>
#include "AfxState.h"
#include "CmdTarget.h"

class CDC;
class CFont;
class CMenu;
class CRgn;
class CScrollBar;
class CDataExchange;
struct CCreateContext;

class CWnd : public CCmdTarget {
    DECLARE_DYNAMIC(CWnd)
public:
    HWND m_hWnd;
    WNDPROC m_pfnSuper;         // procedure the window had before we subclassed it

    // Stand-ins for the special insert-after handles of SetWindowPos.
    static const CWnd wndTop;
    static const CWnd wndBottom;
    static const CWnd wndTopMost;
    static const CWnd wndNoTopMost;

    CWnd();
    virtual ~CWnd();

    // Both accept a NULL object (callers rely on pWnd->GetSafeHwnd() for "none").
    operator HWND() const;
    HWND GetSafeHwnd() const;
    static HWND SafeHwnd(const CWnd* pWnd) { return pWnd ? pWnd->m_hWnd : NULL; }

    // Handle map.
    static CWnd* FromHandle(HWND hWnd);
    static CWnd* FromHandlePermanent(HWND hWnd);
    // The top-level window that should own a dialog of pParent (of the main
    // window when NULL); NULL when there is none.
    static CWnd* GetSafeOwner(CWnd* pParent = NULL);
    BOOL Attach(HWND hWndNew);
    HWND Detach();
    BOOL SubclassWindow(HWND hWnd);
    BOOL SubclassDlgItem(UINT nID, CWnd* pParent);
    HWND UnsubclassWindow();
    // Just before the object takes over the window's procedure: on
    // SubclassWindow and on creation through Create/CreateEx or a dialog.
    virtual void PreSubclassWindow();

    // Creation and destruction.
    virtual BOOL PreCreateWindow(CREATESTRUCT& cs);
    virtual BOOL Create(LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle,
                        const RECT& rect, CWnd* pParentWnd, UINT nID,
                        CCreateContext* pContext = NULL);
    BOOL CreateEx(DWORD dwExStyle, LPCTSTR lpszClassName, LPCTSTR lpszWindowName,
                  DWORD dwStyle, int x, int y, int nWidth, int nHeight,
                  HWND hWndParent, HMENU nIDorHMenu, LPVOID lpParam = NULL);
    BOOL CreateEx(DWORD dwExStyle, LPCTSTR lpszClassName, LPCTSTR lpszWindowName,
                  DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID,
                  LPVOID lpParam = NULL);
    virtual BOOL DestroyWindow();

    // Message handling.
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    virtual BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Default();
    static const MSG* GetCurrentMessage();
    virtual BOOL PreTranslateMessage(MSG* pMsg);
    // Offers pMsg to PreTranslateMessage of every object from its target window
    // up to hWndStop or the first top-level window; TRUE when one took it.
    static BOOL WalkPreTranslateTree(HWND hWndStop, MSG* pMsg);
    // A child's notification sent to its parent, offered to the child first.
    virtual BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    // Reflected WM_CTLCOLOR*: a brush to paint the control with, NULL to let
    // the parent decide.
    virtual HBRUSH CtlColor(CDC* pDC, UINT nCtlColor);
    virtual void DoDataExchange(CDataExchange* pDX);
    BOOL UpdateData(BOOL bSaveAndValidate = TRUE);

    // Thin wrappers.
    BOOL IsWindow() const { return ::IsWindow(m_hWnd); }
    static BOOL IsWindow(HWND hWnd) { return ::IsWindow(hWnd); }
    CWnd* GetParent() const { return FromHandle(::GetParent(m_hWnd)); }
    CWnd* SetParent(CWnd* pWndNewParent) { return FromHandle(::SetParent(m_hWnd, SafeHwnd(pWndNewParent))); }
    CWnd* GetTopLevelParent() const;
    CWnd* GetWindow(UINT nCmd) const { return FromHandle(::GetWindow(m_hWnd, nCmd)); }
    BOOL IsChild(const CWnd* pWnd) const { return ::IsChild(m_hWnd, SafeHwnd(pWnd)); }
    CWnd* GetDlgItem(int nID) const { return FromHandle(::GetDlgItem(m_hWnd, nID)); }
    void GetDlgItem(int nID, HWND* phWnd) const { *phWnd = ::GetDlgItem(m_hWnd, nID); }
    int GetDlgCtrlID() const { return ::GetDlgCtrlID(m_hWnd); }
    int SetDlgCtrlID(int nID) { return (int)::SetWindowLongPtr(m_hWnd, GWLP_ID, nID); }
    CWnd* GetNextDlgTabItem(CWnd* pWndCtl, BOOL bPrevious = FALSE) const
        { return FromHandle(::GetNextDlgTabItem(m_hWnd, SafeHwnd(pWndCtl), bPrevious)); }
    CWnd* GetNextDlgGroupItem(CWnd* pWndCtl, BOOL bPrevious = FALSE) const
        { return FromHandle(::GetNextDlgGroupItem(m_hWnd, SafeHwnd(pWndCtl), bPrevious)); }
    void SetDlgItemText(int nID, LPCTSTR lpszString) { ::SetDlgItemText(m_hWnd, nID, lpszString); }
    int GetDlgItemText(int nID, LPTSTR lpStr, int nMaxCount) const { return (int)::GetDlgItemText(m_hWnd, nID, lpStr, nMaxCount); }
    int GetDlgItemText(int nID, CString& rString) const;
    void SetDlgItemInt(int nID, UINT nValue, BOOL bSigned = TRUE) { ::SetDlgItemInt(m_hWnd, nID, nValue, bSigned); }
    UINT GetDlgItemInt(int nID, BOOL* lpTrans = NULL, BOOL bSigned = TRUE) const
        { return ::GetDlgItemInt(m_hWnd, nID, lpTrans, bSigned); }
    LRESULT SendDlgItemMessage(int nID, UINT message, WPARAM wParam = 0, LPARAM lParam = 0)
        { return ::SendDlgItemMessage(m_hWnd, nID, message, wParam, lParam); }
    void CheckDlgButton(int nIDButton, UINT nCheck) { ::CheckDlgButton(m_hWnd, nIDButton, nCheck); }
    UINT IsDlgButtonChecked(int nIDButton) const { return ::IsDlgButtonChecked(m_hWnd, nIDButton); }
    void CheckRadioButton(int nIDFirst, int nIDLast, int nIDCheck) { ::CheckRadioButton(m_hWnd, nIDFirst, nIDLast, nIDCheck); }

    void GetWindowRect(LPRECT lpRect) const { ::GetWindowRect(m_hWnd, lpRect); }
    void GetClientRect(LPRECT lpRect) const { ::GetClientRect(m_hWnd, lpRect); }
    void ScreenToClient(LPPOINT lpPoint) const { ::ScreenToClient(m_hWnd, lpPoint); }
    void ScreenToClient(LPRECT lpRect) const { ::MapWindowPoints(NULL, m_hWnd, (LPPOINT)lpRect, 2); }
    void ClientToScreen(LPPOINT lpPoint) const { ::ClientToScreen(m_hWnd, lpPoint); }
    void ClientToScreen(LPRECT lpRect) const { ::MapWindowPoints(m_hWnd, NULL, (LPPOINT)lpRect, 2); }
    void MapWindowPoints(CWnd* pwndTo, LPPOINT lpPoint, UINT nCount) const
        { ::MapWindowPoints(m_hWnd, SafeHwnd(pwndTo), lpPoint, nCount); }
    void MapWindowPoints(CWnd* pwndTo, LPRECT lpRect) const
        { ::MapWindowPoints(m_hWnd, SafeHwnd(pwndTo), (LPPOINT)lpRect, 2); }
    void MoveWindow(int x, int y, int nWidth, int nHeight, BOOL bRepaint = TRUE)
        { ::MoveWindow(m_hWnd, x, y, nWidth, nHeight, bRepaint); }
    void MoveWindow(LPCRECT lpRect, BOOL bRepaint = TRUE)
        { ::MoveWindow(m_hWnd, lpRect->left, lpRect->top, lpRect->right - lpRect->left, lpRect->bottom - lpRect->top, bRepaint); }
    BOOL SetWindowPos(const CWnd* pWndInsertAfter, int x, int y, int cx, int cy, UINT nFlags)
        { return ::SetWindowPos(m_hWnd, SafeHwnd(pWndInsertAfter), x, y, cx, cy, nFlags); }
    void CenterWindow(CWnd* pAlternateOwner = NULL);
    BOOL ShowWindow(int nCmdShow) { return ::ShowWindow(m_hWnd, nCmdShow); }
    BOOL IsWindowVisible() const { return ::IsWindowVisible(m_hWnd); }
    BOOL EnableWindow(BOOL bEnable = TRUE) { return ::EnableWindow(m_hWnd, bEnable); }
    BOOL IsWindowEnabled() const { return ::IsWindowEnabled(m_hWnd); }
    BOOL IsIconic() const { return ::IsIconic(m_hWnd); }
    BOOL GetWindowPlacement(WINDOWPLACEMENT* lpwndpl) const
        { lpwndpl->length = sizeof(WINDOWPLACEMENT); return ::GetWindowPlacement(m_hWnd, lpwndpl); }
    BOOL SetWindowPlacement(const WINDOWPLACEMENT* lpwndpl) { return ::SetWindowPlacement(m_hWnd, lpwndpl); }
    BOOL IsZoomed() const { return ::IsZoomed(m_hWnd); }
    DWORD GetStyle() const { return (DWORD)::GetWindowLong(m_hWnd, GWL_STYLE); }
    DWORD GetExStyle() const { return (DWORD)::GetWindowLong(m_hWnd, GWL_EXSTYLE); }
    // nFlags non-zero: SetWindowPos with those flags so the frame follows.
    BOOL ModifyStyle(DWORD dwRemove, DWORD dwAdd, UINT nFlags = 0) { return ModifyStyle(m_hWnd, dwRemove, dwAdd, nFlags); }
    BOOL ModifyStyleEx(DWORD dwRemove, DWORD dwAdd, UINT nFlags = 0) { return ModifyStyleEx(m_hWnd, dwRemove, dwAdd, nFlags); }
    static BOOL ModifyStyle(HWND hWnd, DWORD dwRemove, DWORD dwAdd, UINT nFlags);
    static BOOL ModifyStyleEx(HWND hWnd, DWORD dwRemove, DWORD dwAdd, UINT nFlags);
    int SetWindowRgn(HRGN hRgn, BOOL bRedraw) { return ::SetWindowRgn(m_hWnd, hRgn, bRedraw); }
    int GetWindowRgn(HRGN hRgn) const { return ::GetWindowRgn(m_hWnd, hRgn); }

    void SetWindowText(LPCTSTR lpszString) { ::SetWindowText(m_hWnd, lpszString); }
    int GetWindowText(LPTSTR lpszStringBuf, int nMaxCount) const { return ::GetWindowText(m_hWnd, lpszStringBuf, nMaxCount); }
    void GetWindowText(CString& rString) const;
    int GetWindowTextLength() const { return ::GetWindowTextLength(m_hWnd); }
    void SetFont(CFont* pFont, BOOL bRedraw = TRUE);
    CFont* GetFont() const;
    HICON SetIcon(HICON hIcon, BOOL bBigIcon) { return (HICON)::SendMessage(m_hWnd, WM_SETICON, bBigIcon, (LPARAM)hIcon); }
    HICON GetIcon(BOOL bBigIcon) const { return (HICON)::SendMessage(m_hWnd, WM_GETICON, bBigIcon, 0); }

    CWnd* SetFocus() { return FromHandle(::SetFocus(m_hWnd)); }
    static CWnd* GetFocus() { return FromHandle(::GetFocus()); }
    CWnd* SetCapture() { return FromHandle(::SetCapture(m_hWnd)); }
    static CWnd* GetCapture() { return FromHandle(::GetCapture()); }
    CWnd* SetActiveWindow() { return FromHandle(::SetActiveWindow(m_hWnd)); }
    static CWnd* GetActiveWindow() { return FromHandle(::GetActiveWindow()); }
    BOOL SetForegroundWindow() { return ::SetForegroundWindow(m_hWnd); }
    static CWnd* GetForegroundWindow() { return FromHandle(::GetForegroundWindow()); }
    void BringWindowToTop() { ::BringWindowToTop(m_hWnd); }
    BOOL FlashWindow(BOOL bInvert) { return ::FlashWindow(m_hWnd, bInvert); }
    static CWnd* FindWindow(LPCTSTR lpszClassName, LPCTSTR lpszWindowName)
        { return FromHandle(::FindWindow(lpszClassName, lpszWindowName)); }
    static CWnd* GetDesktopWindow() { return FromHandle(::GetDesktopWindow()); }
    static CWnd* WindowFromPoint(POINT point) { return FromHandle(::WindowFromPoint(point)); }
    CWnd* ChildWindowFromPoint(POINT point) const { return FromHandle(::ChildWindowFromPoint(m_hWnd, point)); }

    UINT_PTR SetTimer(UINT_PTR nIDEvent, UINT nElapse, TIMERPROC lpfnTimer = NULL)
        { return ::SetTimer(m_hWnd, nIDEvent, nElapse, lpfnTimer); }
    BOOL KillTimer(UINT_PTR nIDEvent) { return ::KillTimer(m_hWnd, nIDEvent); }
    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const
        { return ::SendMessage(m_hWnd, message, wParam, lParam); }
    BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const
        { return ::PostMessage(m_hWnd, message, wParam, lParam); }
    void SendMessageToDescendants(UINT message, WPARAM wParam = 0, LPARAM lParam = 0,
                                  BOOL bDeep = TRUE, BOOL bOnlyPerm = FALSE);

    void Invalidate(BOOL bErase = TRUE) { ::InvalidateRect(m_hWnd, NULL, bErase); }
    void InvalidateRect(LPCRECT lpRect, BOOL bErase = TRUE) { ::InvalidateRect(m_hWnd, lpRect, bErase); }
    void InvalidateRgn(CRgn* pRgn, BOOL bErase = TRUE);
    void ValidateRect(LPCRECT lpRect) { ::ValidateRect(m_hWnd, lpRect); }
    void UpdateWindow() { ::UpdateWindow(m_hWnd); }
    BOOL RedrawWindow(LPCRECT lpRectUpdate = NULL, CRgn* prgnUpdate = NULL,
                      UINT flags = RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE);
    void SetRedraw(BOOL bRedraw = TRUE) { ::SendMessage(m_hWnd, WM_SETREDRAW, bRedraw, 0); }
    CDC* GetDC();
    CDC* GetWindowDC();
    int ReleaseDC(CDC* pDC);

    CMenu* GetMenu() const;
    BOOL SetMenu(CMenu* pMenu);
    CMenu* GetSystemMenu(BOOL bRevert) const;
    void DrawMenuBar() { ::DrawMenuBar(m_hWnd); }

    int SetScrollPos(int nBar, int nPos, BOOL bRedraw = TRUE) { return ::SetScrollPos(m_hWnd, nBar, nPos, bRedraw); }
    int GetScrollPos(int nBar) const { return ::GetScrollPos(m_hWnd, nBar); }
    void SetScrollRange(int nBar, int nMinPos, int nMaxPos, BOOL bRedraw = TRUE)
        { ::SetScrollRange(m_hWnd, nBar, nMinPos, nMaxPos, bRedraw); }
    void GetScrollRange(int nBar, LPINT lpMinPos, LPINT lpMaxPos) const
        { ::GetScrollRange(m_hWnd, nBar, lpMinPos, lpMaxPos); }
    // Both fill in the structure's size; GetScrollInfo also its mask, so a
    // caller may pass an uninitialised SCROLLINFO. SetScrollInfo is TRUE
    // whatever the new position (the system call answers the position).
    BOOL SetScrollInfo(int nBar, LPSCROLLINFO lpScrollInfo, BOOL bRedraw = TRUE)
    {
        lpScrollInfo->cbSize = sizeof(SCROLLINFO);
        ::SetScrollInfo(m_hWnd, nBar, lpScrollInfo, bRedraw);
        return TRUE;
    }
    BOOL GetScrollInfo(int nBar, LPSCROLLINFO lpScrollInfo, UINT nMask = SIF_ALL) const
    {
        lpScrollInfo->cbSize = sizeof(SCROLLINFO);
        lpScrollInfo->fMask = nMask;
        return ::GetScrollInfo(m_hWnd, nBar, lpScrollInfo);
    }
    // The largest position the thumb can reach (range less the page).
    int GetScrollLimit(int nBar) const;
    void ShowScrollBar(UINT nBar, BOOL bShow = TRUE) { ::ShowScrollBar(m_hWnd, nBar, bShow); }
    void DragAcceptFiles(BOOL bAccept = TRUE);
    int MessageBox(LPCTSTR lpszText, LPCTSTR lpszCaption = NULL, UINT nType = MB_OK);

protected:
    // Typed handlers. The base versions pass the message on (Default()).
    virtual BOOL OnNcCreate(LPCREATESTRUCT lpCreateStruct);
    virtual int OnCreate(LPCREATESTRUCT lpCreateStruct);
    virtual void OnDestroy();
    virtual void OnNcDestroy();
    virtual void PostNcDestroy();
    virtual void OnClose();
    virtual void OnPaint();
    virtual BOOL OnEraseBkgnd(CDC* pDC);
    virtual void OnTimer(UINT_PTR nIDEvent);
    // WM_COMMAND not taken by a child: the base routes it to OnCmdMsg.
    virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);
    virtual BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    virtual void OnLButtonDown(UINT nFlags, CPoint point);
    virtual void OnLButtonUp(UINT nFlags, CPoint point);
    virtual void OnLButtonDblClk(UINT nFlags, CPoint point);
    virtual void OnRButtonDown(UINT nFlags, CPoint point);
    virtual void OnRButtonUp(UINT nFlags, CPoint point);
    virtual void OnRButtonDblClk(UINT nFlags, CPoint point);
    virtual void OnMButtonDown(UINT nFlags, CPoint point);
    virtual void OnMButtonUp(UINT nFlags, CPoint point);
    virtual void OnMouseMove(UINT nFlags, CPoint point);
    virtual BOOL OnMouseWheel(UINT nFlags, short zDelta, CPoint pt);
    virtual int OnMouseActivate(CWnd* pDesktopWnd, UINT nHitTest, UINT message);
    virtual BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message);
    virtual void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);
    virtual void OnKeyUp(UINT nChar, UINT nRepCnt, UINT nFlags);
    virtual void OnChar(UINT nChar, UINT nRepCnt, UINT nFlags);
    virtual void OnSysKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);
    virtual void OnSysKeyUp(UINT nChar, UINT nRepCnt, UINT nFlags);
    virtual UINT OnGetDlgCode();
    virtual void OnSetFocus(CWnd* pOldWnd);
    virtual void OnKillFocus(CWnd* pNewWnd);
    virtual void OnCaptureChanged(CWnd* pWnd);
    virtual void OnCancelMode();
    virtual void OnSize(UINT nType, int cx, int cy);
    virtual void OnMove(int x, int y);
    virtual void OnShowWindow(BOOL bShow, UINT nStatus);
    virtual void OnActivate(UINT nState, CWnd* pWndOther, BOOL bMinimized);
    virtual void OnActivateApp(BOOL bActive, DWORD dwThreadID);
    virtual void OnEnable(BOOL bEnable);
    virtual UINT OnNcHitTest(CPoint point);
    virtual void OnNcPaint();
    virtual BOOL OnNcActivate(BOOL bActive);
    virtual void OnNcCalcSize(BOOL bCalcValidRects, NCCALCSIZE_PARAMS* lpncsp);
    virtual void OnNcLButtonDown(UINT nHitTest, CPoint point);
    virtual void OnNcLButtonUp(UINT nHitTest, CPoint point);
    virtual void OnNcLButtonDblClk(UINT nHitTest, CPoint point);
    virtual void OnNcRButtonDown(UINT nHitTest, CPoint point);
    virtual void OnNcRButtonUp(UINT nHitTest, CPoint point);
    virtual void OnNcMouseMove(UINT nHitTest, CPoint point);
    virtual HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);
    virtual void OnDrawItem(int nIDCtl, LPDRAWITEMSTRUCT lpDrawItemStruct);
    virtual void OnMeasureItem(int nIDCtl, LPMEASUREITEMSTRUCT lpMeasureItemStruct);
    virtual void OnHScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar);
    virtual void OnVScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar);
    virtual void OnContextMenu(CWnd* pWnd, CPoint pos);
    virtual void OnSysCommand(UINT nID, LPARAM lParam);
    virtual void OnGetMinMaxInfo(MINMAXINFO* lpMMI);
    virtual void OnWindowPosChanging(WINDOWPOS* lpwndpos);
    virtual void OnWindowPosChanged(WINDOWPOS* lpwndpos);
    virtual void OnMenuSelect(UINT nItemID, UINT nFlags, HMENU hSysMenu);
    virtual void OnInitMenu(CMenu* pMenu);
    virtual void OnInitMenuPopup(CMenu* pPopupMenu, UINT nIndex, BOOL bSysMenu);
    virtual void OnDropFiles(HDROP hDropInfo);
    virtual HCURSOR OnQueryDragIcon();

    // Reflection: the child's OnChildNotify, then FALSE (parent handles it).
    static BOOL ReflectLastMsg(HWND hWndChild, LRESULT* pResult = NULL);

    friend LRESULT CALLBACK AfxWndProc(HWND, UINT, WPARAM, LPARAM);
    friend LRESULT AfxCallWndProc(CWnd*, HWND, UINT, WPARAM, LPARAM);
    friend LRESULT CALLBACK FwCbtHookProc(int, WPARAM, LPARAM);
    friend void AfxHookWindowCreate(CWnd*);
    friend BOOL AfxUnhookWindowCreate();

private:
    explicit CWnd(HWND hWnd);   // the special insert-after stand-ins
    BOOL AttachCreated(HWND hWnd);
    void FinishNcDestroy();
    BOOL DispatchChildNotify(HWND hWndChild, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    CWnd(const CWnd&);
    CWnd& operator=(const CWnd&);
};

// The window procedure of every window with an attached, subclassed object.
LRESULT CALLBACK AfxWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT AfxCallWndProc(CWnd* pWnd, HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
// Attaches pWnd to the next window this thread creates (creation hook). Every
// call is paired with AfxUnhookWindowCreate, which is TRUE when the window was
// attached.
void AfxHookWindowCreate(CWnd* pWnd);
BOOL AfxUnhookWindowCreate();

// Reflected message numbers: what the parent received, offered to the child.
#ifndef OCM__BASE
#define OCM__BASE (WM_USER + 0x1c00)
#endif
#define WM_REFLECT_BASE OCM__BASE
