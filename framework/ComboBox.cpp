#include "ComboBox.h"

IMPLEMENT_DYNAMIC(CComboBox, CWnd)

void CComboBox::GetLBText(int nIndex, CString& rString) const
{
    int n = GetLBTextLen(nIndex);
    if (n == CB_ERR) {
        rString.Empty();
        return;
    }
    LPTSTR buf = rString.GetBuffer(n + 1);
    int got = GetLBText(nIndex, buf);
    rString.ReleaseBuffer(got == CB_ERR ? 0 : got);
}

void CComboBox::DrawItem(LPDRAWITEMSTRUCT)
{
}

void CComboBox::MeasureItem(LPMEASUREITEMSTRUCT)
{
}

int CComboBox::CompareItem(LPCOMPAREITEMSTRUCT)
{
    return 0;
}

void CComboBox::DeleteItem(LPDELETEITEMSTRUCT)
{
}

BOOL CComboBox::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    switch (message) {
    case WM_DRAWITEM:
        DrawItem((LPDRAWITEMSTRUCT)lParam);
        *pResult = TRUE;
        return TRUE;
    case WM_MEASUREITEM:
        MeasureItem((LPMEASUREITEMSTRUCT)lParam);
        *pResult = TRUE;
        return TRUE;
    case WM_COMPAREITEM:
        *pResult = CompareItem((LPCOMPAREITEMSTRUCT)lParam);
        return TRUE;
    case WM_DELETEITEM:
        DeleteItem((LPDELETEITEMSTRUCT)lParam);
        *pResult = TRUE;
        return TRUE;
    }
    return CWnd::OnChildNotify(message, wParam, lParam, pResult);
}
