// CComboBox: drop-down lists and combo boxes. Owner-drawn ones draw and
// measure their items in DrawItem/MeasureItem (reflected from the parent).
#pragma once
#include "Wnd.h"

class CComboBox : public CWnd {
    DECLARE_DYNAMIC(CComboBox)
public:
    BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
        { return CWnd::Create("COMBOBOX", NULL, dwStyle, rect, pParentWnd, nID); }
    int AddString(LPCTSTR lpszString) { return (int)SendMessage(CB_ADDSTRING, 0, (LPARAM)lpszString); }
    int InsertString(int nIndex, LPCTSTR lpszString) { return (int)SendMessage(CB_INSERTSTRING, nIndex, (LPARAM)lpszString); }
    int DeleteString(UINT nIndex) { return (int)SendMessage(CB_DELETESTRING, nIndex); }
    void ResetContent() { SendMessage(CB_RESETCONTENT); }
    int GetCount() const { return (int)SendMessage(CB_GETCOUNT); }
    int GetCurSel() const { return (int)SendMessage(CB_GETCURSEL); }
    int SetCurSel(int nSelect) { return (int)SendMessage(CB_SETCURSEL, nSelect); }
    int GetLBText(int nIndex, LPTSTR lpszText) const { return (int)SendMessage(CB_GETLBTEXT, nIndex, (LPARAM)lpszText); }
    void GetLBText(int nIndex, CString& rString) const;
    int GetLBTextLen(int nIndex) const { return (int)SendMessage(CB_GETLBTEXTLEN, nIndex); }
    int FindString(int nStartAfter, LPCTSTR lpszString) const { return (int)SendMessage(CB_FINDSTRING, nStartAfter, (LPARAM)lpszString); }
    int FindStringExact(int nIndexStart, LPCTSTR lpszFind) const { return (int)SendMessage(CB_FINDSTRINGEXACT, nIndexStart, (LPARAM)lpszFind); }
    int SelectString(int nStartAfter, LPCTSTR lpszString) { return (int)SendMessage(CB_SELECTSTRING, nStartAfter, (LPARAM)lpszString); }
    int SetItemData(int nIndex, DWORD_PTR dwItemData) { return (int)SendMessage(CB_SETITEMDATA, nIndex, (LPARAM)dwItemData); }
    DWORD_PTR GetItemData(int nIndex) const { return (DWORD_PTR)SendMessage(CB_GETITEMDATA, nIndex); }
    int SetItemDataPtr(int nIndex, void* pData) { return SetItemData(nIndex, (DWORD_PTR)pData); }
    void* GetItemDataPtr(int nIndex) const { return (void*)GetItemData(nIndex); }
    BOOL GetDroppedState() const { return (BOOL)SendMessage(CB_GETDROPPEDSTATE); }
    void ShowDropDown(BOOL bShowIt = TRUE) { SendMessage(CB_SHOWDROPDOWN, bShowIt); }
    void GetDroppedControlRect(LPRECT lprect) const { SendMessage(CB_GETDROPPEDCONTROLRECT, 0, (LPARAM)lprect); }
    int SetDroppedWidth(UINT nWidth) { return (int)SendMessage(CB_SETDROPPEDWIDTH, nWidth); }
    int SetItemHeight(int nIndex, UINT cyItemHeight) { return (int)SendMessage(CB_SETITEMHEIGHT, nIndex, cyItemHeight); }
    int GetItemHeight(int nIndex) const { return (int)SendMessage(CB_GETITEMHEIGHT, nIndex); }
    int GetTopIndex() const { return (int)SendMessage(CB_GETTOPINDEX); }
    int SetTopIndex(int nIndex) { return (int)SendMessage(CB_SETTOPINDEX, nIndex); }
    BOOL LimitText(int nMaxChars) { return (BOOL)SendMessage(CB_LIMITTEXT, nMaxChars); }
    DWORD GetEditSel() const { return (DWORD)SendMessage(CB_GETEDITSEL); }
    BOOL SetEditSel(int nStartChar, int nEndChar) { return (BOOL)SendMessage(CB_SETEDITSEL, 0, MAKELONG(nStartChar, nEndChar)); }

    virtual void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct);
    virtual void MeasureItem(LPMEASUREITEMSTRUCT lpMeasureItemStruct);
    virtual int CompareItem(LPCOMPAREITEMSTRUCT lpCompareItemStruct);
    virtual void DeleteItem(LPDELETEITEMSTRUCT lpDeleteItemStruct);
    virtual BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
};
