// CSubclassWnd: lets an object that is not a window see and answer every
// message of a window someone else created. Any number of hooks may sit on one
// window; they form a chain, newest first, through one process-wide map from
// window handle to the newest hook. The window's procedure is replaced once,
// by the first hook, and put back by the last one to go.
#pragma once
#include "Afx.h"

class CSubclassWnd : public CObject {
    DECLARE_DYNAMIC(CSubclassWnd)
public:
    CSubclassWnd();
    virtual ~CSubclassWnd();

    // NULL unhooks. Hooking the window already hooked does nothing; hooking
    // another one leaves the first window's chain first.
    virtual BOOL HookWindow(CWnd* pWnd);
    virtual BOOL HookWindow(HWND hWnd);
    virtual BOOL IsHooked() const { return m_hWnd != NULL; }
    // Overrides handle what they want and pass the rest here: to the older
    // hook, or to the window's own procedure.
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // WindowProc with the message now being handled.
    virtual LRESULT Default();

    HWND GetHwnd() const { return m_hWnd; }

    static LRESULT CALLBACK HookWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);

protected:
    HWND m_hWnd;
    WNDPROC m_pOldWndProc;      // the window's procedure before its first hook
    CSubclassWnd* m_pNext;      // the older hook of the same window

    friend class CSubclassWndMap;
};

// Window handle -> newest hook. Made on first use, freed at exit; only the
// user-interface thread uses it.
class CSubclassWndMap : private CMapPtrToPtr {
public:
    CSubclassWndMap() : CMapPtrToPtr(10) {}
    static CSubclassWndMap& GetHookMap();

    void Add(HWND hWnd, CSubclassWnd* pHook);
    void Remove(CSubclassWnd* pHook);
    // Unhooks every hook of the window through its (virtual) HookWindow.
    void RemoveAll(HWND hWnd);
    CSubclassWnd* Lookup(HWND hWnd) const;
};
