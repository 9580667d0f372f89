#include "DataExchange.h"

void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl)
{
    if (rControl.m_hWnd == NULL)
        rControl.SubclassWindow(pDX->PrepareCtrl(nIDC));
}

void DDX_Check(CDataExchange* pDX, int nIDC, int& value)
{
    HWND hWnd = pDX->PrepareCtrl(nIDC);
    if (pDX->m_bSaveAndValidate)
        value = (int)::SendMessage(hWnd, BM_GETCHECK, 0, 0);
    else
        ::SendMessage(hWnd, BM_SETCHECK, (WPARAM)value, 0);
}

static BOOL IsRadioButton(HWND hWnd)
{
    return (::SendMessage(hWnd, WM_GETDLGCODE, 0, 0) & DLGC_RADIOBUTTON) != 0;
}

void DDX_Radio(CDataExchange* pDX, int nIDC, int& value)
{
    HWND hWnd = pDX->PrepareCtrl(nIDC);
    if (!hWnd)
        return;
    if (pDX->m_bSaveAndValidate)
        value = -1;
    int index = 0;
    // The group runs from its first button to the next control with WS_GROUP.
    do {
        if (IsRadioButton(hWnd)) {
            if (pDX->m_bSaveAndValidate) {
                if (::SendMessage(hWnd, BM_GETCHECK, 0, 0) == BST_CHECKED)
                    value = index;
            } else {
                ::SendMessage(hWnd, BM_SETCHECK, index == value ? BST_CHECKED : BST_UNCHECKED, 0);
            }
            index++;
        }
        hWnd = ::GetWindow(hWnd, GW_HWNDNEXT);
    } while (hWnd && !(::GetWindowLong(hWnd, GWL_STYLE) & WS_GROUP));
}

void DDX_Text(CDataExchange* pDX, int nIDC, CString& value)
{
    HWND hWnd = pDX->PrepareCtrl(nIDC);
    if (pDX->m_bSaveAndValidate) {
        int n = ::GetWindowTextLength(hWnd);
        LPTSTR buf = value.GetBuffer(n + 1);
        int got = ::GetWindowText(hWnd, buf, n + 1);
        value.ReleaseBuffer(got);
    } else {
        ::SetWindowText(hWnd, value);
    }
}

void DDX_CBIndex(CDataExchange* pDX, int nIDC, int& index)
{
    HWND hWnd = pDX->PrepareCtrl(nIDC);
    if (pDX->m_bSaveAndValidate)
        index = (int)::SendMessage(hWnd, CB_GETCURSEL, 0, 0);
    else
        ::SendMessage(hWnd, CB_SETCURSEL, (WPARAM)index, 0);
}
