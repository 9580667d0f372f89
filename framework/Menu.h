// CMenu: owns a menu handle (DestroyMenu when destroyed, unless detached).
// An attached menu is found by its handle, so owner-drawn items reach the
// object's DrawItem/MeasureItem through the owner window.
#pragma once
#include <windows.h>
#include "AfxCore.h"

class CWnd;
class CBitmap;

class CMenu : public CObject {
    DECLARE_DYNAMIC(CMenu)
public:
    HMENU m_hMenu;

    CMenu() : m_hMenu(NULL) {}
    virtual ~CMenu();

    operator HMENU() const { return m_hMenu; }
    HMENU GetSafeHmenu() const;
    static CMenu* FromHandle(HMENU hMenu);
    static CMenu* FromHandlePermanent(HMENU hMenu);
    BOOL Attach(HMENU hMenu);
    HMENU Detach();

    BOOL CreateMenu() { return AttachNew(::CreateMenu()); }
    BOOL CreatePopupMenu() { return AttachNew(::CreatePopupMenu()); }
    BOOL LoadMenu(LPCTSTR lpszResourceName);
    BOOL LoadMenu(UINT nIDResource) { return LoadMenu(MAKEINTRESOURCE(nIDResource)); }
    BOOL LoadMenuIndirect(const void* lpMenuTemplate) { return AttachNew(::LoadMenuIndirect(lpMenuTemplate)); }
    BOOL DestroyMenu();

    BOOL AppendMenu(UINT nFlags, UINT_PTR nIDNewItem = 0, LPCTSTR lpszNewItem = NULL)
        { return ::AppendMenu(m_hMenu, nFlags, nIDNewItem, lpszNewItem); }
    BOOL InsertMenu(UINT nPosition, UINT nFlags, UINT_PTR nIDNewItem = 0, LPCTSTR lpszNewItem = NULL)
        { return ::InsertMenu(m_hMenu, nPosition, nFlags, nIDNewItem, lpszNewItem); }
    BOOL ModifyMenu(UINT nPosition, UINT nFlags, UINT_PTR nIDNewItem = 0, LPCTSTR lpszNewItem = NULL)
        { return ::ModifyMenu(m_hMenu, nPosition, nFlags, nIDNewItem, lpszNewItem); }
    BOOL DeleteMenu(UINT nPosition, UINT nFlags) { return ::DeleteMenu(m_hMenu, nPosition, nFlags); }
    BOOL RemoveMenu(UINT nPosition, UINT nFlags) { return ::RemoveMenu(m_hMenu, nPosition, nFlags); }
    CMenu* GetSubMenu(int nPos) const { return FromHandle(::GetSubMenu(m_hMenu, nPos)); }
    int GetMenuItemCount() const { return ::GetMenuItemCount(m_hMenu); }
    UINT GetMenuItemID(int nPos) const { return ::GetMenuItemID(m_hMenu, nPos); }
    UINT GetMenuState(UINT nID, UINT nFlags) const { return ::GetMenuState(m_hMenu, nID, nFlags); }
    int GetMenuString(UINT nIDItem, LPTSTR lpString, int nMaxCount, UINT nFlags) const
        { return ::GetMenuString(m_hMenu, nIDItem, lpString, nMaxCount, nFlags); }
    int GetMenuString(UINT nIDItem, CString& rString, UINT nFlags) const;
    BOOL GetMenuItemInfo(UINT uItem, LPMENUITEMINFO lpMenuItemInfo, BOOL fByPos = FALSE)
        { return ::GetMenuItemInfo(m_hMenu, uItem, fByPos, lpMenuItemInfo); }
    BOOL SetMenuItemInfo(UINT uItem, LPMENUITEMINFO lpMenuItemInfo, BOOL fByPos = FALSE)
        { return ::SetMenuItemInfo(m_hMenu, uItem, fByPos, lpMenuItemInfo); }
    UINT CheckMenuItem(UINT nIDCheckItem, UINT nCheck) { return ::CheckMenuItem(m_hMenu, nIDCheckItem, nCheck); }
    UINT EnableMenuItem(UINT nIDEnableItem, UINT nEnable) { return ::EnableMenuItem(m_hMenu, nIDEnableItem, nEnable); }
    BOOL CheckMenuRadioItem(UINT nIDFirst, UINT nIDLast, UINT nIDItem, UINT nFlags)
        { return ::CheckMenuRadioItem(m_hMenu, nIDFirst, nIDLast, nIDItem, nFlags); }
    BOOL SetMenuItemBitmaps(UINT nPosition, UINT nFlags, const CBitmap* pBmpUnchecked, const CBitmap* pBmpChecked);
    UINT GetDefaultItem(UINT gmdiFlags, BOOL fByPos = FALSE) { return ::GetMenuDefaultItem(m_hMenu, fByPos, gmdiFlags); }
    BOOL SetDefaultItem(UINT uItem, BOOL fByPos = FALSE) { return ::SetMenuDefaultItem(m_hMenu, uItem, fByPos); }
    BOOL TrackPopupMenu(UINT nFlags, int x, int y, CWnd* pWnd, LPCRECT lpRect = NULL);
    // For an owner that is a plain window without an object.
    BOOL TrackPopupMenu(UINT nFlags, int x, int y, HWND hOwner, LPCRECT lpRect = NULL)
        { return ::TrackPopupMenu(m_hMenu, nFlags, x, y, 0, hOwner, lpRect); }

    // Owner-drawn items (MF_OWNERDRAW), called through the owner window.
    virtual void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct);
    virtual void MeasureItem(LPMEASUREITEMSTRUCT lpMeasureItemStruct);

private:
    // A menu just made for this object is destroyed when it cannot be
    // attached (the object holds one already), not leaked.
    BOOL AttachNew(HMENU hMenu);
    CMenu(const CMenu&);
    CMenu& operator=(const CMenu&);
};
