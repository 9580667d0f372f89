#include "Menu.h"
#include "GdiObject.h"
#include "HandleMap.h"
#include "WinApp.h"
#include "Wnd.h"

IMPLEMENT_DYNAMIC(CMenu, CObject)

typedef FwPermanentMap<HMENU, CMenu> MenuPermanentMap;
typedef FwTempMap<HMENU, CMenu, &CMenu::m_hMenu> MenuTempMap;

CMenu::~CMenu()
{
    DestroyMenu();
}

__attribute__((optimize("no-delete-null-pointer-checks")))
HMENU CMenu::GetSafeHmenu() const
{
    return this == NULL ? NULL : m_hMenu;
}

CMenu* CMenu::FromHandlePermanent(HMENU hMenu)
{
    return MenuPermanentMap::Lookup(hMenu);
}

CMenu* CMenu::FromHandle(HMENU hMenu)
{
    CMenu* pMenu = MenuPermanentMap::Lookup(hMenu);
    return pMenu ? pMenu : MenuTempMap::Get<CMenu>(hMenu);
}

BOOL CMenu::Attach(HMENU hMenu)
{
    if (m_hMenu || !hMenu)
        return FALSE;
    if (!MenuPermanentMap::Add(hMenu, this))
        return FALSE;
    m_hMenu = hMenu;
    return TRUE;
}

HMENU CMenu::Detach()
{
    HMENU hMenu = m_hMenu;
    if (hMenu)
        MenuPermanentMap::Remove(hMenu, this);
    m_hMenu = NULL;
    return hMenu;
}

BOOL CMenu::LoadMenu(LPCTSTR lpszResourceName)
{
    return AttachNew(::LoadMenu(AfxGetResourceHandle(), lpszResourceName));
}

BOOL CMenu::AttachNew(HMENU hMenu)
{
    if (Attach(hMenu))
        return TRUE;
    if (hMenu)
        ::DestroyMenu(hMenu);
    return FALSE;
}

BOOL CMenu::DestroyMenu()
{
    if (!m_hMenu)
        return FALSE;
    return ::DestroyMenu(Detach());
}

int CMenu::GetMenuString(UINT nIDItem, CString& rString, UINT nFlags) const
{
    int n = ::GetMenuString(m_hMenu, nIDItem, NULL, 0, nFlags);
    LPTSTR buf = rString.GetBuffer(n + 1);
    n = ::GetMenuString(m_hMenu, nIDItem, buf, n + 1, nFlags);
    rString.ReleaseBuffer(n);
    return n;
}

BOOL CMenu::SetMenuItemBitmaps(UINT nPosition, UINT nFlags, const CBitmap* pBmpUnchecked, const CBitmap* pBmpChecked)
{
    return ::SetMenuItemBitmaps(m_hMenu, nPosition, nFlags, (HBITMAP)pBmpUnchecked->GetSafeHandle(),
                                (HBITMAP)pBmpChecked->GetSafeHandle());
}

BOOL CMenu::TrackPopupMenu(UINT nFlags, int x, int y, CWnd* pWnd, LPCRECT lpRect)
{
    return ::TrackPopupMenu(m_hMenu, nFlags, x, y, 0, CWnd::SafeHwnd(pWnd), lpRect);
}

void CMenu::DrawItem(LPDRAWITEMSTRUCT)
{
}

void CMenu::MeasureItem(LPMEASUREITEMSTRUCT)
{
}
