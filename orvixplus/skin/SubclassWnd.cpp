#include "SubclassWnd.h"
#include "CurrentMessage.h"
#include <memory>

IMPLEMENT_DYNAMIC(CSubclassWnd, CObject)

CSubclassWnd::CSubclassWnd() : m_hWnd(NULL), m_pOldWndProc(NULL), m_pNext(NULL)
{
}

CSubclassWnd::~CSubclassWnd()
{
    if (m_hWnd)
        CSubclassWnd::HookWindow((HWND)NULL);
}

BOOL CSubclassWnd::HookWindow(CWnd* pWnd)
{
    return HookWindow(pWnd ? pWnd->m_hWnd : (HWND)NULL);
}

BOOL CSubclassWnd::HookWindow(HWND hWnd)
{
    // Hooking twice would make the hook its own older hook (a loop for ever);
    // hooking a second window would tie the two chains together.
    if (hWnd && hWnd == m_hWnd)
        return TRUE;
    if (m_hWnd) {
        CSubclassWndMap::GetHookMap().Remove(this);
        m_pOldWndProc = NULL;
        m_pNext = NULL;
        m_hWnd = NULL;
    }
    if (hWnd) {
        m_hWnd = hWnd;
        CSubclassWndMap::GetHookMap().Add(hWnd, this);
    }
    return TRUE;
}

LRESULT CSubclassWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (m_pNext)
        return m_pNext->WindowProc(message, wParam, lParam);
    if (m_pOldWndProc)
        return ::CallWindowProc(m_pOldWndProc, m_hWnd, message, wParam, lParam);
    return ::DefWindowProc(m_hWnd, message, wParam, lParam);
}

LRESULT CSubclassWnd::Default()
{
    // The base procedure, not the override: an override asking for the
    // default result would otherwise call itself.
    const MSG* msg = AfxGetCurrentMessage();
    return CSubclassWnd::WindowProc(msg->message, msg->wParam, msg->lParam);
}

LRESULT CALLBACK CSubclassWnd::HookWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    CCurrentMessageScope current(hWnd, message, wParam, lParam);
    LRESULT result;
    CSubclassWndMap& map = CSubclassWndMap::GetHookMap();
    CSubclassWnd* head = map.Lookup(hWnd);
    if (!head) {
        result = ::DefWindowProc(hWnd, message, wParam, lParam);
    } else if (message == WM_NCDESTROY) {
        // The hooks are gone before the window's own procedure sees its end.
        WNDPROC proc = head->m_pOldWndProc;
        map.RemoveAll(hWnd);
        result = proc ? ::CallWindowProc(proc, hWnd, message, wParam, lParam)
                      : ::DefWindowProc(hWnd, message, wParam, lParam);
    } else {
        result = head->WindowProc(message, wParam, lParam);
    }
    return result;
}

CSubclassWndMap& CSubclassWndMap::GetHookMap()
{
    static std::unique_ptr<CSubclassWndMap> map;
    if (!map)
        map.reset(new CSubclassWndMap);
    return *map;
}

void CSubclassWndMap::Add(HWND hWnd, CSubclassWnd* pHook)
{
    CSubclassWnd* head = Lookup(hWnd);
    pHook->m_pNext = head;
    SetAt(hWnd, pHook);
    if (head) {
        pHook->m_pOldWndProc = head->m_pOldWndProc;
    } else {
        pHook->m_pOldWndProc = (WNDPROC)::SetWindowLongPtr(hWnd, GWLP_WNDPROC,
                                                           (LONG_PTR)CSubclassWnd::HookWndProc);
    }
}

void CSubclassWndMap::Remove(CSubclassWnd* pHook)
{
    HWND hWnd = pHook->m_hWnd;
    CSubclassWnd* head = Lookup(hWnd);
    if (!head)
        return;
    if (head == pHook) {
        if (pHook->m_pNext) {
            SetAt(hWnd, pHook->m_pNext);
        } else {
            RemoveKey(hWnd);
            if (::IsWindow(hWnd))
                ::SetWindowLongPtr(hWnd, GWLP_WNDPROC, (LONG_PTR)pHook->m_pOldWndProc);
        }
        return;
    }
    for (CSubclassWnd* p = head; p; p = p->m_pNext) {
        if (p->m_pNext == pHook) {
            p->m_pNext = pHook->m_pNext;
            return;
        }
    }
}

void CSubclassWndMap::RemoveAll(HWND hWnd)
{
    while (CSubclassWnd* hook = Lookup(hWnd)) {
        hook->HookWindow((HWND)NULL);
        // An override that refused to let go would keep this loop going.
        if (Lookup(hWnd) == hook)
            hook->CSubclassWnd::HookWindow((HWND)NULL);
    }
}

CSubclassWnd* CSubclassWndMap::Lookup(HWND hWnd) const
{
    void* p = NULL;
    if (!CMapPtrToPtr::Lookup(hWnd, p))
        return NULL;
    return (CSubclassWnd*)p;
}
