#include "Wnd.h"
#include "CurrentMessage.h"
#include "HandleMap.h"
#include "WinApp.h"

IMPLEMENT_DYNAMIC(CWnd, CCmdTarget)

typedef FwPermanentMap<HWND, CWnd> WndPermanentMap;
typedef FwTempMap<HWND, CWnd, &CWnd::m_hWnd> WndTempMap;

const CWnd CWnd::wndTop(HWND_TOP);
const CWnd CWnd::wndBottom(HWND_BOTTOM);
const CWnd CWnd::wndTopMost(HWND_TOPMOST);
const CWnd CWnd::wndNoTopMost(HWND_NOTOPMOST);

CWnd::CWnd() : m_hWnd(NULL), m_pfnSuper(NULL)
{
}

CWnd::CWnd(HWND hWnd) : m_hWnd(hWnd), m_pfnSuper(NULL)
{
}

CWnd::~CWnd()
{
    CWinApp* pApp = AfxGetApp();
    if (pApp && pApp->m_pMainWnd == this)
        pApp->m_pMainWnd = NULL;
    // Unmap before destroying: the window's last messages must not reach an
    // object whose derived parts are already gone.
    if (m_hWnd && WndPermanentMap::Lookup(m_hWnd) == this) {
        HWND hWnd = m_pfnSuper ? UnsubclassWindow() : Detach();
        ::DestroyWindow(hWnd);
    }
}

// The compiler may assume 'this' is never NULL and drop the test; framework-style
// callers rely on it.
__attribute__((optimize("no-delete-null-pointer-checks")))
HWND CWnd::GetSafeHwnd() const
{
    return this == NULL ? NULL : m_hWnd;
}

__attribute__((optimize("no-delete-null-pointer-checks")))
CWnd::operator HWND() const
{
    return this == NULL ? NULL : m_hWnd;
}

CWnd* CWnd::FromHandlePermanent(HWND hWnd)
{
    return WndPermanentMap::Lookup(hWnd);
}

CWnd* CWnd::FromHandle(HWND hWnd)
{
    if (!hWnd)
        return NULL;
    CWnd* pWnd = WndPermanentMap::Lookup(hWnd);
    return pWnd ? pWnd : WndTempMap::Get<CWnd>(hWnd);
}

BOOL CWnd::Attach(HWND hWndNew)
{
    if (m_hWnd || !hWndNew)
        return FALSE;
    if (!WndPermanentMap::Add(hWndNew, this))
        return FALSE;
    m_hWnd = hWndNew;
    return TRUE;
}

HWND CWnd::Detach()
{
    HWND hWnd = m_hWnd;
    if (hWnd)
        WndPermanentMap::Remove(hWnd, this);
    m_hWnd = NULL;
    return hWnd;
}

void CWnd::PreSubclassWindow()
{
}

BOOL CWnd::SubclassWindow(HWND hWnd)
{
    if (!::IsWindow(hWnd) || !Attach(hWnd))
        return FALSE;
    PreSubclassWindow();
    WNDPROC old = (WNDPROC)::SetWindowLongPtr(hWnd, GWLP_WNDPROC, (LONG_PTR)AfxWndProc);
    if (!old) {
        Detach();
        return FALSE;
    }
    m_pfnSuper = old == AfxWndProc ? NULL : old;
    return TRUE;
}

BOOL CWnd::SubclassDlgItem(UINT nID, CWnd* pParent)
{
    HWND hWndControl = ::GetDlgItem(SafeHwnd(pParent), nID);
    return hWndControl ? SubclassWindow(hWndControl) : FALSE;
}

HWND CWnd::UnsubclassWindow()
{
    if (!m_hWnd)
        return NULL;
    if (m_pfnSuper)
        ::SetWindowLongPtr(m_hWnd, GWLP_WNDPROC, (LONG_PTR)m_pfnSuper);
    m_pfnSuper = NULL;
    return Detach();
}

// Called by the creation hook for the window that is being created, before
// any message reaches it. PreSubclassWindow runs here as for SubclassWindow,
// so a class that adjusts its window there (an owner-drawn button adding its
// style) does so however the window was made.
BOOL CWnd::AttachCreated(HWND hWnd)
{
    if (!Attach(hWnd))
        return FALSE;
    PreSubclassWindow();
    WNDPROC old = (WNDPROC)::GetWindowLongPtr(hWnd, GWLP_WNDPROC);
    if (old != AfxWndProc) {
        ::SetWindowLongPtr(hWnd, GWLP_WNDPROC, (LONG_PTR)AfxWndProc);
        m_pfnSuper = old;
    }
    return TRUE;
}

// The window received WM_NCDESTROY: it is gone, and so is the binding.
void CWnd::FinishNcDestroy()
{
    HWND hWnd = m_hWnd;
    if (m_pfnSuper && (WNDPROC)::GetWindowLongPtr(hWnd, GWLP_WNDPROC) == AfxWndProc)
        ::SetWindowLongPtr(hWnd, GWLP_WNDPROC, (LONG_PTR)m_pfnSuper);
    m_pfnSuper = NULL;
    Detach();
    // The end of the main window is the end of the application's loop.
    CWinApp* pApp = AfxGetApp();
    if (pApp && pApp->m_pMainWnd == this) {
        pApp->m_pMainWnd = NULL;
        ::PostQuitMessage(0);
    }
    PostNcDestroy();
}

// ---- creation hook ----------------------------------------------------------

static BOOL IsImeWindow(HWND hWnd)
{
    // The system may create input-method windows of its own while ours is
    // being created; they must not take our object.
    char cls[32];
    if (!::GetClassNameA(hWnd, cls, sizeof(cls)))
        return FALSE;
    return lstrcmpiA(cls, "IME") == 0 || lstrcmpiA(cls, "MSCTFIME UI") == 0;
}

LRESULT CALLBACK FwCbtHookProc(int code, WPARAM wParam, LPARAM lParam)
{
    FwThreadState* ts = AfxGetThreadState();
    if (code == HCBT_CREATEWND && ts->pWndInit && !IsImeWindow((HWND)wParam)) {
        CWnd* pWnd = ts->pWndInit;
        ts->pWndInit = NULL;
        pWnd->AttachCreated((HWND)wParam);
    }
    return ::CallNextHookEx(ts->hHookCbt, code, wParam, lParam);
}

void AfxHookWindowCreate(CWnd* pWnd)
{
    FwThreadState* ts = AfxGetThreadState();
    if (ts->nHookDepth++ == 0)
        ts->hHookCbt = ::SetWindowsHookEx(WH_CBT, FwCbtHookProc, NULL, ::GetCurrentThreadId());
    ts->pWndInit = pWnd;
}

BOOL AfxUnhookWindowCreate()
{
    FwThreadState* ts = AfxGetThreadState();
    BOOL attached = ts->pWndInit == NULL;
    ts->pWndInit = NULL;
    if (--ts->nHookDepth == 0 && ts->hHookCbt) {
        ::UnhookWindowsHookEx(ts->hHookCbt);
        ts->hHookCbt = NULL;
    }
    return attached;
}

// ---- creation -----------------------------------------------------------

static const char kDefaultClass[] = "FwWnd";

BOOL CWnd::PreCreateWindow(CREATESTRUCT& cs)
{
    if (cs.lpszClass == NULL) {
        WNDCLASSA wc;
        if (!::GetClassInfoA(AfxGetInstanceHandle(), kDefaultClass, &wc)) {
            memset(&wc, 0, sizeof(wc));
            wc.style = CS_DBLCLKS;
            wc.lpfnWndProc = ::DefWindowProcA;
            wc.hInstance = AfxGetInstanceHandle();
            wc.hCursor = ::LoadCursor(NULL, IDC_ARROW);
            wc.lpszClassName = kDefaultClass;
            if (!::RegisterClassA(&wc))
                return FALSE;
        }
        cs.lpszClass = kDefaultClass;
    }
    return TRUE;
}

BOOL CWnd::CreateEx(DWORD dwExStyle, LPCTSTR lpszClassName, LPCTSTR lpszWindowName,
                    DWORD dwStyle, int x, int y, int nWidth, int nHeight,
                    HWND hWndParent, HMENU nIDorHMenu, LPVOID lpParam)
{
    if (m_hWnd)
        return FALSE;
    CREATESTRUCT cs;
    cs.dwExStyle = dwExStyle;
    cs.lpszClass = lpszClassName;
    cs.lpszName = lpszWindowName;
    cs.style = dwStyle;
    cs.x = x;
    cs.y = y;
    cs.cx = nWidth;
    cs.cy = nHeight;
    cs.hwndParent = hWndParent;
    cs.hMenu = nIDorHMenu;
    cs.hInstance = AfxGetInstanceHandle();
    cs.lpCreateParams = lpParam;
    if (!PreCreateWindow(cs))
        return FALSE;

    AfxHookWindowCreate(this);
    HWND hWnd = ::CreateWindowEx(cs.dwExStyle, cs.lpszClass, cs.lpszName, cs.style,
                                 cs.x, cs.y, cs.cx, cs.cy, cs.hwndParent, cs.hMenu,
                                 cs.hInstance, cs.lpCreateParams);
    BOOL attached = AfxUnhookWindowCreate();
    // On failure the object may already have been through WM_NCDESTROY and
    // PostNcDestroy (OnCreate returned -1): do not touch it.
    if (hWnd && !attached) {
        // The hook could not be set: a window without its object is no use.
        ::DestroyWindow(hWnd);
        return FALSE;
    }
    return hWnd != NULL;
}

BOOL CWnd::CreateEx(DWORD dwExStyle, LPCTSTR lpszClassName, LPCTSTR lpszWindowName,
                    DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID, LPVOID lpParam)
{
    return CreateEx(dwExStyle, lpszClassName, lpszWindowName, dwStyle, rect.left, rect.top,
                    rect.right - rect.left, rect.bottom - rect.top, SafeHwnd(pParentWnd),
                    (HMENU)(UINT_PTR)nID, lpParam);
}

BOOL CWnd::Create(LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle,
                  const RECT& rect, CWnd* pParentWnd, UINT nID, CCreateContext*)
{
    return CreateEx(0, lpszClassName, lpszWindowName, dwStyle | WS_CHILD, rect, pParentWnd, nID);
}

BOOL CWnd::DestroyWindow()
{
    if (!m_hWnd)
        return FALSE;
    // A window without a subclassed object never sees WM_NCDESTROY through us:
    // drop the binding here.
    HWND hWnd = m_hWnd;
    BOOL subclassed = m_pfnSuper != NULL || (WNDPROC)::GetWindowLongPtr(hWnd, GWLP_WNDPROC) == AfxWndProc;
    if (!subclassed)
        Detach();
    return ::DestroyWindow(hWnd);
}

// ---- message plumbing -----------------------------------------------------

LRESULT AfxCallWndProc(CWnd* pWnd, HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    CCurrentMessageScope current(hWnd, message, wParam, lParam);
    LRESULT result = pWnd->WindowProc(message, wParam, lParam);
    if (message == WM_NCDESTROY && WndPermanentMap::Lookup(hWnd) == pWnd)
        pWnd->FinishNcDestroy();
    return result;
}

LRESULT CALLBACK AfxWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    CWnd* pWnd = WndPermanentMap::Lookup(hWnd);
    if (!pWnd || pWnd->m_hWnd != hWnd)
        return ::DefWindowProc(hWnd, message, wParam, lParam);
    return AfxCallWndProc(pWnd, hWnd, message, wParam, lParam);
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    LRESULT result = 0;
    if (!OnWndMsg(message, wParam, lParam, &result))
        result = DefWindowProc(message, wParam, lParam);
    return result;
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (m_pfnSuper)
        return ::CallWindowProc(m_pfnSuper, m_hWnd, message, wParam, lParam);
    return ::DefWindowProc(m_hWnd, message, wParam, lParam);
}

LRESULT CWnd::Default()
{
    const MSG* cur = AfxGetCurrentMessage();
    return DefWindowProc(cur->message, cur->wParam, cur->lParam);
}

const MSG* CWnd::GetCurrentMessage()
{
    return AfxGetCurrentMessage();
}

BOOL CWnd::PreTranslateMessage(MSG*)
{
    return FALSE;
}

BOOL CWnd::WalkPreTranslateTree(HWND hWndStop, MSG* pMsg)
{
    for (HWND hWnd = pMsg->hwnd; hWnd; hWnd = ::GetParent(hWnd)) {
        CWnd* pWnd = WndPermanentMap::Lookup(hWnd);
        if (pWnd && pWnd->PreTranslateMessage(pMsg))
            return TRUE;
        if (hWnd == hWndStop || !(::GetWindowLong(hWnd, GWL_STYLE) & WS_CHILD))
            break;
    }
    return FALSE;
}
