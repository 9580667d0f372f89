// CStatic: text, icon and bitmap labels. An owner-drawn one (SS_OWNERDRAW)
// draws itself in DrawItem.
#pragma once
#include "Wnd.h"

class CStatic : public CWnd {
    DECLARE_DYNAMIC(CStatic)
public:
    BOOL Create(LPCTSTR lpszText, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID = 0xffff)
        { return CWnd::Create("STATIC", lpszText, dwStyle, rect, pParentWnd, nID); }
    HICON SetIcon(HICON hIcon) { return (HICON)SendMessage(STM_SETICON, (WPARAM)hIcon); }
    HICON GetIcon() const { return (HICON)SendMessage(STM_GETICON); }
    HBITMAP SetBitmap(HBITMAP hBitmap) { return (HBITMAP)SendMessage(STM_SETIMAGE, IMAGE_BITMAP, (LPARAM)hBitmap); }
    HBITMAP GetBitmap() const { return (HBITMAP)SendMessage(STM_GETIMAGE, IMAGE_BITMAP); }
    HCURSOR SetCursor(HCURSOR hCursor) { return (HCURSOR)SendMessage(STM_SETIMAGE, IMAGE_CURSOR, (LPARAM)hCursor); }

    virtual void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct);
    virtual BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
};
